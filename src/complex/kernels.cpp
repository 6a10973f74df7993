// Complex elementary functions on x + iy, evaluated in extended precision and
// rounded to double once per result part. e^a is 2^(a log2 e) by f2xm1/fscale,
// ln u is ln 2 * log2 u by fyl2x, angles come from fpatan, sines and cosines
// from fsin/fcos. Poles and overflow give infinite or NaN parts; nothing is
// checked or reported. A kernel built on another passes doubles to it.
#include "complex.h"

#include "fp/fpenv.h"

static const long double LN2 = 0xb.17217f7d1cf79acp-4L;     // ln 2
static const long double LOG2E = 0xb.8aa3b295c17f0bcp-3L;   // log2 e
static const long double LOG10_2 = 0x9.a209a84fbcff799p-5L; // log10 2
static const long double LOG2_10 = 0xd.49a784bcd1b8afep-2L; // log2 10
static const double LN10 = 2.302585092994046;               // ln 10 as a double
static const double LOG10E = 0.4342944819032518;            // log10 e as a double

static inline int exponent_field(double v) { return (int)((double_bits(v) >> 52) & 0x7FF); }

// e^a as 2^(a log2 e), split at the nearest integer; finite up to the
// extended range (e^11356).
static inline long double exp_e(long double a) { return x87_exp2(a * LOG2E); }

static inline long double ln(long double u) { return x87_yl2x(LN2, u); }

// The two ways of forming cosh and sinh from E = e^a.
static inline void cosh_first(long double e, long double *c, long double *s)
{
    *c = (e + 1.0L / e) * 0.5L;
    *s = e - *c;
}

static inline void sinh_first(long double e, long double *c, long double *s)
{
    *s = (e - 1.0L / e) * 0.5L;
    *c = e - *s;
}

FPU_GUARDED Complex __xexp(double x, double y)
{
    long double e = exp_e(x);
    return pair(e * x87_cos(y), e * x87_sin(y));
}

FPU_GUARDED Complex __xpow10(double x, double y)
{
    long double p = x87_exp2(x * LOG2_10);
    long double b = (long double)y * LN10;
    return pair(p * x87_cos(b), p * x87_sin(b));
}

FPU_GUARDED Complex __xlog(double x, double y)
{
    long double r2 = (long double)x * x + (long double)y * y;
    return pair(0.5L * ln(r2), x87_atan2(y, x));
}

FPU_GUARDED Complex __xlog10(double x, double y)
{
    long double r2 = (long double)x * x + (long double)y * y;
    return pair(0.5L * x87_yl2x(LOG10_2, r2), x87_atan2(y, x) * LOG10E);
}

// Quotient of the two logarithms, kept in extended precision; base 1 gives
// D = 0 and so a non-finite result.
FPU_GUARDED Complex __xlogy(double x1, double y1, double x2, double y2)
{
    long double l1re = 0.5L * ln((long double)x1 * x1 + (long double)y1 * y1);
    long double l1im = x87_atan2(y1, x1);
    long double l2re = 0.5L * ln((long double)x2 * x2 + (long double)y2 * y2);
    long double l2im = x87_atan2(y2, x2);
    long double d = l2re * l2re + l2im * l2im;
    return pair((l1re * l2re + l1im * l2im) / d, (l1im * l2re - l1re * l2im) / d);
}

// z1^z2 = e^(z2 ln z1). A zero (or NaN) base gives 0 for any exponent with a
// normal, infinite or NaN part and 1 for a zero or subnormal exponent; a zero
// exponent gives 1 with the exponent's zero as imaginary part (the test is an
// unordered-or-equal compare, so 0 + NaN i also counts as a zero exponent).
FPU_GUARDED Complex __xpow(double x1, double y1, double x2, double y2)
{
    long double th = x87_atan2(y1, x1);
    long double r2 = (long double)x1 * x1 + (long double)y1 * y1;
    if (r2 == 0 || r2 != r2) {
        if (exponent_field(x2) != 0 || exponent_field(y2) != 0)
            return pair(r2, r2);
        return pair(1.0L, r2);
    }
    long double rho = 0.5L * ln(r2);
    if ((x2 == y2 || x2 != x2 || y2 != y2) && (x2 == 0 || x2 != x2))
        return pair(1.0L, x2);
    long double a = x2 * rho - y2 * th;
    long double b = x2 * th + y2 * rho;
    long double e = exp_e(a);
    return pair(e * x87_cos(b), e * x87_sin(b));
}

// Principal root: t = sqrt((|z| + |x|)/2) is the larger part; the smaller is
// |y|/2t. The imaginary part takes its sign from the sign bit of y.
FPU_GUARDED Complex __xsqrt(double x, double y)
{
    long double ax = __builtin_fabsl(x);
    long double m = x87_sqrt((long double)x * x + (long double)y * y);
    long double t = x87_sqrt((m + ax) * 0.5L);
    long double st = sign_bit(y) ? -t : t;
    if (x == 0 || x != x)
        return pair(t, st);
    if (x > 0)
        return pair(t, y / (2.0L * t));
    return pair(__builtin_fabsl(y) / (2.0L * t), st);
}

FPU_GUARDED Complex __xsin(double x, double y)
{
    long double c, s;
    cosh_first(exp_e(y), &c, &s);
    return pair(c * x87_sin(x), s * x87_cos(x));
}

// C - E is -sinh y.
FPU_GUARDED Complex __xcos(double x, double y)
{
    long double e = exp_e(y);
    long double c, s;
    cosh_first(e, &c, &s);
    return pair(c * x87_cos(x), (c - e) * x87_sin(x));
}

// tan z = (sin 2x + i sinh 2y) / (cosh 2y + cos 2x).
FPU_GUARDED Complex __xtan(double x, double y)
{
    long double c, s;
    cosh_first(exp_e(2.0L * y), &c, &s);
    long double x2 = 2.0L * x;
    long double d = c + x87_cos(x2);
    return pair(x87_sin(x2) / d, s / d);
}

FPU_GUARDED Complex __xsinh(double x, double y)
{
    long double c, s;
    sinh_first(exp_e(x), &c, &s);
    return pair(s * x87_cos(y), c * x87_sin(y));
}

FPU_GUARDED Complex __xcosh(double x, double y)
{
    long double c, s;
    cosh_first(exp_e(x), &c, &s);
    return pair(c * x87_cos(y), s * x87_sin(y));
}

// tanh z = (sinh 2x + i sin 2y) / (cosh 2x + cos 2y).
FPU_GUARDED Complex __xtanh(double x, double y)
{
    long double c, s;
    cosh_first(exp_e(2.0L * x), &c, &s);
    long double y2 = 2.0L * y;
    long double d = c + x87_cos(y2);
    return pair(s / d, x87_sin(y2) / d);
}

// asin z = -i ln(iz + sqrt(1 - z^2)), the products with i and -i written out
// in full so that infinities and signed zeros pass as the arithmetic gives them.
FPU_GUARDED Complex __xasin(double x, double y)
{
    long double xx = (long double)x * x;
    long double yy = (long double)y * y;
    Complex s = __xsqrt((double)(1.0L - (xx - yy)), (double)(0.0L - 2.0L * x * y));
    long double wre = (0.0L * x - 1.0L * y) + s.re;
    long double wim = (1.0L * x + 0.0L * y) + s.im;
    Complex l = __xlog((double)wre, (double)wim);
    return pair(-0.0L * l.re + 1.0L * l.im, -0.0L * l.im - 1.0L * l.re);
}

FPU_GUARDED Complex __xacos(double x, double y)
{
    Complex a = __xasin(x, y);
    return pair((long double)_pi_2 - a.re, -(long double)a.im);
}

// atan z = 1/2 atan2(2x, 1 - |z|^2) + i/4 ln(|z + i|^2 / |z - i|^2).
FPU_GUARDED Complex __xatan(double x, double y)
{
    long double r = (long double)x * x + (long double)y * y;
    long double x2 = 2.0L * x;
    long double y2 = 2.0L * y;
    long double r1 = r + 1.0L;
    return pair(0.5L * x87_atan2(x2, 1.0L - r), 0.25L * ln((r1 + y2) / (r1 - y2)));
}

// asinh z = ln(z + sqrt(z^2 + 1)).
FPU_GUARDED Complex __xasinh(double x, double y)
{
    long double xx = (long double)x * x;
    long double yy = (long double)y * y;
    Complex s = __xsqrt((double)((xx - yy) + 1.0L), (double)(2.0L * x * y + 0.0L));
    return __xlog((double)(x + (long double)s.re), (double)(y + (long double)s.im));
}

// acosh z = ln(z + sqrt(z^2 - 1)); the principal value for x >= 0 only.
FPU_GUARDED Complex __xacosh(double x, double y)
{
    long double xx = (long double)x * x;
    long double yy = (long double)y * y;
    Complex s = __xsqrt((double)((xx - yy) - 1.0L), (double)(2.0L * x * y - 0.0L));
    return __xlog((double)(x + (long double)s.re), (double)(y + (long double)s.im));
}

// atanh z = 1/4 ln(|1 + z|^2 / |1 - z|^2) + i/2 atan2(2y, 1 - |z|^2).
FPU_GUARDED Complex __xatanh(double x, double y)
{
    long double r = (long double)x * x + (long double)y * y;
    long double x2 = 2.0L * x;
    long double y2 = 2.0L * y;
    long double r1 = r + 1.0L;
    return pair(0.25L * ln((r1 + x2) / (r1 - x2)), 0.5L * x87_atan2(y2, 1.0L - r));
}

// Exported entries: the same workers with the x87 at a 64-bit significand.
extern "C" {

#define GUARD1(name)                                                                                               \
    Complex name(double x, double y) { return fpu_call(__##name, x, y); }

GUARD1(xexp)
GUARD1(xpow10)
GUARD1(xlog)
GUARD1(xlog10)
GUARD1(xsqrt)
GUARD1(xsin)
GUARD1(xcos)
GUARD1(xtan)
GUARD1(xsinh)
GUARD1(xcosh)
GUARD1(xtanh)
GUARD1(xasin)
GUARD1(xacos)
GUARD1(xatan)
GUARD1(xasinh)
GUARD1(xacosh)
GUARD1(xatanh)

Complex xlogy(double x1, double y1, double x2, double y2)
{
    return fpu_call(__xlogy, x1, y1, x2, y2);
}

Complex xpow(double x1, double y1, double x2, double y2)
{
    return fpu_call(__xpow, x1, y1, x2, y2);
}
}
