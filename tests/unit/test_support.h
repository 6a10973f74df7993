// Helpers shared by the unit tests: a fixture that gives every test a clean
// process-wide error record (and puts the caller's hook and error number
// source back afterwards), bit patterns and unit-in-the-last-place distances,
// and a random sequence that is the same on every target.
#ifndef QUOREL_TEST_SUPPORT_H
#define QUOREL_TEST_SUPPORT_H

#include "special/fpsupport.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

inline int *test_errno_cell()
{
    static int cell;
    return &cell;
}

// The library's default source is the C runtime's own errno location.
inline void restore_default_errno_source()
{
#if defined(_WIN32)
    _seterrno(&_errno);
#else
    _seterrno(&__errno_location);
#endif
}

class ErrorRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_hook_ = onerr;
        onerr = nullptr;
        funno = 0;
        ercnt = 0;
        *test_errno_cell() = 0;
        _seterrno(&test_errno_cell);
        fp_clear();
    }
    void TearDown() override
    {
        onerr = saved_hook_;
        funno = 0;
        ercnt = 0;
        restore_default_errno_source();
        fp_clear();
    }
    static int error_number() { return *test_errno_cell(); }

private:
    void (*saved_hook_)(void) = nullptr;
};

inline uint64_t bits_of(double x)
{
    uint64_t b;
    memcpy(&b, &x, sizeof b);
    return b;
}

// The same bit pattern, or both NaN.
inline bool same_bits(double a, double b) { return bits_of(a) == bits_of(b) || (a != a && b != b); }

// Distance in representable doubles (same-sign finite values).
inline double ulp_distance(double a, double b)
{
    if (a == b)
        return 0;
    int64_t ia = (int64_t)bits_of(a), ib = (int64_t)bits_of(b);
    if (ia < 0)
        ia = INT64_MIN - ia;
    if (ib < 0)
        ib = INT64_MIN - ib;
    return ia > ib ? (double)(ia - ib) : (double)(ib - ia);
}

inline bool is_nan(double x) { return x != x; }

// splitmix64: the same sequence on every target.
struct Rng {
    uint64_t state;
    uint64_t next()
    {
        uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (double)(next() >> 11) * 0x1p-53; }
    int below(int n) { return (int)(next() % (uint64_t)n); }
};

#endif
