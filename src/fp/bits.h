// Small helpers on the bits of doubles, shared by every family.
#ifndef QUOREL_BITS_H
#define QUOREL_BITS_H

#include "quorel_math.h"

#include <stdint.h>
#include <string.h>

// The bit pattern of a double, and its sign bit (set for -0 and negative NaNs).
static inline uint64_t double_bits(double x)
{
    uint64_t bits;
    memcpy(&bits, &x, sizeof bits);
    return bits;
}

static inline int sign_bit(double x) { return (int)(double_bits(x) >> 63); }

// NaN and |x| from the bits alone: no flag is raised, whatever the NaN.
static inline int is_nan(double x) { return (double_bits(x) & 0x7FFFFFFFFFFFFFFFull) > 0x7FF0000000000000ull; }

static inline double abs_d(double x)
{
    uint64_t bits = double_bits(x) & 0x7FFFFFFFFFFFFFFFull;
    memcpy(&x, &bits, sizeof x);
    return x;
}

// Pins x behind everything before it, so that work on x that follows an inner
// kernel's report cannot be scheduled ahead of that report.
static inline double after(double x)
{
#if defined(__SSE2_MATH__)
    asm volatile("" : "+x"(x));
#else
    asm volatile("" : "+m"(x));
#endif
    return x;
}

// A count or order that a sheet function takes as a double: truncated toward
// zero; NaN and values outside the signed 32-bit range give INT32_MIN. Quiet
// compares: a NaN raises nothing.
static inline int32_t truncate_int32(double v)
{
    if (__builtin_isgreater(v, -2147483649.0) && __builtin_isless(v, 2147483648.0))
        return (int32_t)v;
    return INT32_MIN;
}

// The quiet NaN that sheet functions store for unusable input.
static inline double no_result(void) { return (double)_qnan; }

#endif
