// Helpers shared by the unit tests: a fixture that gives every test a clean
// process-wide error record (and puts the caller's hook and error number
// source back afterwards), bit patterns and unit-in-the-last-place distances,
// and a random sequence that is the same on every target.
#ifndef QUOREL_TEST_SUPPORT_H
#define QUOREL_TEST_SUPPORT_H

#include "fp/fpenv.h"

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

// No report made yet: no function number, no count, error number 0 (in the
// test's own cell).
inline void clear_error_record()
{
    funno = 0;
    ercnt = 0;
    *test_errno_cell() = 0;
}

class ErrorRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_hook_ = onerr;
        onerr = nullptr;
        clear_error_record();
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

inline double from_bits(uint64_t b)
{
    double x;
    memcpy(&x, &b, sizeof x);
    return x;
}

// The same bit pattern, or both NaN.
inline bool same_bits(double a, double b) { return bits_of(a) == bits_of(b) || (a != a && b != b); }

// Distance in representable doubles (same-sign finite values). The patterns
// are mapped in order onto 1 ... 2^64 - 1, -0 and +0 both to 2^63, so that
// any two of them, NaN and opposite signs included, have an unsigned
// difference.
inline double ulp_distance(double a, double b)
{
    if (a == b)
        return 0;
    const uint64_t sign = 0x8000000000000000ull;
    uint64_t ua = bits_of(a), ub = bits_of(b);
    ua = ua & sign ? sign - (ua & ~sign) : sign + ua;
    ub = ub & sign ? sign - (ub & ~sign) : sign + ub;
    return ua > ub ? (double)(ua - ub) : (double)(ub - ua);
}

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
