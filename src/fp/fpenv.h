// Floating-point support shared by every numeric routine: the exported
// constants and error record (quorel_math.h) plus the reporting step.
#ifndef QUOREL_FPSUPPORT_H
#define QUOREL_FPSUPPORT_H

#include "quorel_math.h"
#include "x87.h"

#include <stdint.h>
#include <string.h>

// Function codes handed to __matherr.
enum {
    CODE_GAMMA = 0x2004,
    CODE_LGAMMA = 0x2008,
    CODE_J0 = 0x2200,
    CODE_Y0 = 0x2204,
    CODE_J1 = 0x2208,
    CODE_Y1 = 0x220C,
    CODE_IP3_FUNC = 0x2550,
    CODE_IP3_ROOT = 0x2554,
    CODE_IP3_EXTR = 0x2558,
    CODE_IP4_FUNC = 0x2560,
    CODE_IP4_ROOT = 0x2564,
    CODE_IP4_EXTR = 0x2568,
    CODE_IP5_FUNC = 0x2570,
    CODE_IP5_ROOT = 0x2574,
    CODE_IP5_EXTR = 0x2578,
};

// The reporting step of every failing routine: after its result exists, read
// the accumulated flags and report them with the routine's code if any of
// invalid, division by zero, overflow or stack fault stands.
static inline void report_flags(long double result, int code)
{
    fp_force(result);
    unsigned flags = fp_flags();
    if (flags & FP_REPORTED)
        __matherr((int)flags, code);
}

// The bit pattern of a double, and its sign bit (set for -0 and negative NaNs).
static inline uint64_t double_bits(double x)
{
    uint64_t bits;
    memcpy(&bits, &x, sizeof bits);
    return bits;
}

static inline int sign_bit(double x) { return (int)(double_bits(x) >> 63); }

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
