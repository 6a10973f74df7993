// Exact reduction of a trigonometric argument by π/2, for the arguments that
// the processor's fsin and fcos hand back unreduced (|x| >= 2^63), and the
// sine and cosine of any finite extended value built on it.
#ifndef QUOREL_REDUCE_H
#define QUOREL_REDUCE_H

#include "x87.h"

// x = q·π/2 + r with the exact value of x: returns r (|r| <= π/4 or very
// slightly more), *quadrant = q mod 4. Takes any finite extended value;
// r is x's remainder correctly rounded but for a tiny share of its last bit.
long double reduce_half_pi(long double x, int *quadrant);

// sin and cos of r + quadrant·π/2, |r| <= π/4: the processor's own on r.
static inline long double sin_quadrant(long double r, int quadrant)
{
    long double v = quadrant & 1 ? x87_cos(r) : x87_sin(r);
    return quadrant & 2 ? -v : v;
}

static inline long double cos_quadrant(long double r, int quadrant)
{
    return sin_quadrant(r, quadrant + 1);
}

// π/4 and π/2 rounded to the extended format (both above the true values),
// and the parts they leave out: π/4 = PI_OVER_4 + PI_OVER_4_LO.
static const long double PI_OVER_4 = 0xc.90fdaa22168c235p-4L;
static const long double PI_OVER_4_LO = -0xe.ce675d1fc8f8cbbp-70L;
static const long double PI_OVER_2 = 0xc.90fdaa22168c235p-3L;
static const long double PI_OVER_2_LO = -0xe.ce675d1fc8f8cbbp-69L;

// Where the processor takes over: below 2^63 it reduces the argument itself,
// with its own 66-bit π.
static const long double X87_TRIG_LIMIT = 0x1p63L;

long double sin_reduced(long double x);
long double cos_reduced(long double x);

// sin x and cos x for any extended x: the processor's own below 2^63 (its bits
// unchanged), the exact reduction from there up; an infinite or NaN x goes to
// the processor as well (NaN, invalid for an infinity). The test is quiet.
static inline long double sin_full(long double x)
{
    if (__builtin_expect(!__builtin_isless(__builtin_fabsl(x), X87_TRIG_LIMIT), 0))
        return sin_reduced(x);
    return x87_sin(x);
}

static inline long double cos_full(long double x)
{
    if (__builtin_expect(!__builtin_isless(__builtin_fabsl(x), X87_TRIG_LIMIT), 0))
        return cos_reduced(x);
    return x87_cos(x);
}

#endif
