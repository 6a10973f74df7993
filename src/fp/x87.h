// The processor's own extended-precision operations. Every numeric routine of
// the library takes its square roots, logarithms, exponentials, sines,
// cosines and arc tangents from here; there is no libm. The floating-point
// environment (flags, precision control) is in fpenv.h.
#ifndef QUOREL_X87_H
#define QUOREL_X87_H

#if !defined(__i386__) && !defined(__x86_64__)
#error "quorel needs the x87 extended format (x86 or x86-64)"
#endif

static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64, "long double must be the x87 80-bit format");

static inline long double x87_sqrt(long double x)
{
    asm("fsqrt" : "+t"(x));
    return x;
}

// y * log2(x)
static inline long double x87_yl2x(long double y, long double x)
{
    long double r;
    asm("fyl2x" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

static inline long double x87_log2(long double x) { return x87_yl2x(1.0L, x); }

// y * log2(1 + x) for |x| < 1 - sqrt(2)/2, without forming 1 + x: near 1 the
// logarithm keeps the relative accuracy of x, which fyl2x on 1 + x would lose.
static inline long double x87_yl2xp1(long double y, long double x)
{
    long double r;
    asm("fyl2xp1" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// 2^x - 1 for |x| <= 1
static inline long double x87_f2xm1(long double x)
{
    asm("f2xm1" : "+t"(x));
    return x;
}

// x * 2^trunc(n)
static inline long double x87_scale(long double x, long double n)
{
    long double r;
    asm("fscale" : "=t"(r) : "0"(x), "u"(n));
    return r;
}

// Round to an integer in the current rounding mode (ties to even by default).
static inline long double x87_rndint(long double x)
{
    asm("frndint" : "+t"(x));
    return x;
}

// Round to a 64-bit integer in the current rounding mode (fistp; the value
// must be in range).
static inline long long x87_to_int64(long double x)
{
    long long r;
    asm("fistpll %0" : "=m"(r) : "t"(x) : "st");
    return r;
}

// fsin/fcos leave arguments of magnitude 2^63 and above unreduced; sin_full
// and cos_full (reduce.h) take any argument.
static inline long double x87_sin(long double x)
{
    asm("fsin" : "+t"(x));
    return x;
}

static inline long double x87_cos(long double x)
{
    asm("fcos" : "+t"(x));
    return x;
}

// Full-quadrant arc tangent of y/x with the IEEE signed-zero conventions.
static inline long double x87_atan2(long double y, long double x)
{
    long double r;
    asm("fpatan" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// 2^t: split at the nearest integer n (current rounding mode), 2^f by f2xm1
// on |f| <= 1/2, then scale by 2^n. The split would turn an infinite t into
// inf - inf, so 2^+inf = +inf and 2^-inf = +0 are taken directly.
static inline long double x87_exp2(long double t)
{
    if (__builtin_isinf(t))
        return t > 0 ? t : 0.0L;
    long double n = x87_rndint(t);
    long double f = t - n;
    return x87_scale(x87_f2xm1(f) + 1.0L, n);
}

#endif
