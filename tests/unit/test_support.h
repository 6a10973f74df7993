// Helpers shared by the unit tests: a fixture that gives every test a clean
// process-wide error record (and puts the caller's hook and error number
// source back afterwards), bit patterns (same_bits and ulp_distance are the
// host tool's, host/ulp.h), a run at the 53-bit precision many callers set,
// and a random sequence that is the same on every target.
#ifndef QUOREL_TEST_SUPPORT_H
#define QUOREL_TEST_SUPPORT_H

#include "fp/fpenv.h"
#include "host/ulp.h"

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

inline double from_bits(uint64_t b)
{
    double x;
    memcpy(&x, &b, sizeof x);
    return x;
}

// Control word c with precision control set to a 53-bit significand.
inline unsigned short precision_53(unsigned short c) { return (unsigned short)((c & ~0x0300) | 0x0200); }

// Runs body with the x87 at a 53-bit significand, as many Windows programs
// run it (rounding mode and masks kept), and returns the control word found
// when body ends; the previous control word comes back afterwards.
template <typename Body>
unsigned short at_53_bits(Body body)
{
    unsigned short saved = x87_control();
    x87_set_control(precision_53(saved));
    body();
    unsigned short after = x87_control();
    x87_set_control(saved);
    return after;
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
