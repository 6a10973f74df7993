// Complex elementary functions on x + iy, evaluated in extended precision and
// rounded to double once per result part. e^a is 2^(a log2 e) by f2xm1/fscale,
// ln u is ln 2 * log2 u by fyl2x, angles come from fpatan, sines and cosines
// from fsin/fcos, after an exact reduction by pi/2 where the argument (as the
// kernel forms it: x, y, 2x, 2y, y ln 10, the angle of a power) is 2^63 or
// more. Poles and overflow give infinite or NaN parts; nothing is checked or
// reported. A kernel built on another passes doubles to it.
#include "complex.h"

#include "fp/fpenv.h"
#include "fp/reduce.h"

static const long double LN2 = 0xb.17217f7d1cf79acp-4L;     // ln 2
static const long double LOG2E = 0xb.8aa3b295c17f0bcp-3L;   // log2 e
static const long double LOG10_2 = 0x9.a209a84fbcff799p-5L; // log10 2
static const long double LOG2_10 = 0xd.49a784bcd1b8afep-2L; // log2 10
static const double LN10 = 2.302585092994046;               // ln 10 as a double
static const double LOG10E = 0.4342944819032518;            // log10 e as a double

// Where the usual steps lose accuracy, the kernels below change to a
// form without cancellation; these bounds say where. Each was set by
// measurement against a 200-bit reference: inside it the other form is more
// accurate, outside it the usual steps are kept, their error at most a few
// units (tan, tanh within 26; the others within 15).
static const long double POLE_D = 0x1p-16L;      // tan, tanh: D = cosh 2b + cos 2a below this
static const long double UNIT_NEAR = 0x1p-16L;   // atan, atanh: |1 -+ z|^2 below this share of 1 + |z|^2
static const long double ATAN_SMALL = 0x1p-24L;  // atan, atanh: |z|^2 below this
static const long double ASIN_SMALL = 0x1p-8L;   // asin, asinh: |z|^2 below this
static const double W_CANCELS = 0x1p-4;         // asin, asinh, acosh: |w| below this share of |s|
static const long double PAIR_SMALL = 0x1p-10L;  // the pair kernels: S of 0 < |a| below this (below)

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

// S is a difference of two numbers near 1 (E - C, or E - 1/E), so its
// relative error grows like 2^-63/|a|: measured against a 200-bit reference,
// the part that carries it errs by up to 1.9 roundings of the double for |a|
// in [2^-10, 2^-9), 2.8 in [2^-11, 2^-10), and twice as much with every
// binade below. For 0 < |a| < PAIR_SMALL the kernels take S = sinh a from its
// series instead, a + a^3/6 + a^5/120 (the next term is below 2^-72 of a), to
// half a unit of the extended format; C is free of the cancellation and keeps
// its value, and a zero a keeps S = +0.
//
// The part is S t, t = t(c) a sine, cosine or quotient of the circular
// argument c. Below 2^63 the processor reduces c with its 66-bit pi, which
// costs t up to |c t'/t| 2^-66 relative; the series is taken only where that
// stays below 1/64 of the 2^-63/|a| that S may lose (|c t'| 8|a| < |t|), or,
// from |a| < 2^-65 down, where E rounds to 1 and S to 0, below 1/2
// (|c t'| 2^-65 < |t|): so that its gain is not lost in the reduction's error
// (where it would be, S keeps the pair's value, whose loss the condition
// number covers there). At c = 0 of a sine (t = 0) the part is a zero with
// the sign that S = +0 gives it, and stays so.
static inline int pair_small(long double a)
{
    long double m = __builtin_fabsl(a);
    return m < PAIR_SMALL && m != 0;
}

static inline long double sinh_small(long double a)
{
    long double aa = a * a;
    return a + a * aa * (0xa.aaaaaaaaaaaaaabp-6L + aa * 0x8.888888888888889p-10L); // 1/6, 1/120
}

// dt: t'(c) up to its sign.
static inline int series_pays(long double a, long double c, long double t, long double dt)
{
    if (!pair_small(a))
        return 0;
    long double ac = __builtin_fabsl(c), aa = __builtin_fabsl(a);
    long double loss = aa < 0x1p-65L ? 0x1p-65L : 8 * aa;
    return !__builtin_isless(ac, X87_TRIG_LIMIT) || ac * __builtin_fabsl(dt) * loss < __builtin_fabsl(t);
}

// The kernels below that take sines, cosines or the pair have two bodies:
// the usual steps (edge = 0), and for the arguments that the doubles mark (a
// trigonometric argument that may reach 2^63, or an infinity there; a pair
// argument 0 < |a| < PAIR_SMALL) the same steps with sin_full/cos_full and S
// from its series where that pays (edge = 1). The marks take a few SSE and
// integer compares beside the usual path's x87 work, which stays as it was;
// the edge body then decides exactly (sin_full below 2^63 is the processor's
// fsin).
#define INLINE static inline __attribute__((always_inline))
#define COLD static __attribute__((noinline, cold))

// A kernel on the two bodies: BODY's edge form, out of line, where MARK holds.
#define KERNEL_WITH_EDGE(kernel, body, mark)                                                                     \
    COLD Complex body##_edge(double x, double y) { return body(x, y, 1); }                                     \
    FPU_GUARDED Complex kernel(double x, double y)                                                             \
    {                                                                                                          \
        if (__builtin_expect(mark, 0))                                                                         \
            return body##_edge(x, y);                                                                          \
        return body(x, y, 0);                                                                                  \
    }

// |v| >= limit, or v infinite (a quiet compare: NaN stays on the usual path).
static inline int reaches(double v, double limit) { return __builtin_isgreaterequal(__builtin_fabs(v), limit); }

// 0 < |v| < limit: the bits without the sign, less one, as an unsigned compare.
static inline int tiny(double v, double limit) { return (double_bits(v) << 1) - 1 < (double_bits(limit) << 1) - 1; }

INLINE long double sin_of(long double v, int edge) { return edge ? sin_full(v) : x87_sin(v); }
INLINE long double cos_of(long double v, int edge) { return edge ? cos_full(v) : x87_cos(v); }

INLINE Complex exp_body(double x, double y, int edge)
{
    long double e = exp_e(x);
    return pair(e * cos_of(y, edge), e * sin_of(y, edge));
}

KERNEL_WITH_EDGE(__xexp, exp_body, reaches(y, 0x1p63))

// y ln 10 reaches 2^63 only from |y| = 2^61.8 on.
INLINE Complex pow10_body(double x, double y, int edge)
{
    long double p = x87_exp2(x * LOG2_10);
    long double b = (long double)y * LN10;
    return pair(p * cos_of(b, edge), p * sin_of(b, edge));
}

KERNEL_WITH_EDGE(__xpow10, pow10_body, reaches(y, 0x1p61))

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

// z1^z2 = e^(z2 ln z1). A zero or NaN base to an exponent whose parts are
// both zero or subnormal gives 1. Otherwise a NaN base gives NaN, and a zero
// base: 0 for a positive real part of the exponent (|z1^z2| = |z1|^x2
// e^(-y2 arg z1) tends to 0), a pole (infinite, NaN) for a negative one, and
// NaN for a zero or NaN real part (0^(iy) has no limit: its modulus stays
// e^(-y arg z1) while its angle y ln|z1| turns without end). A zero exponent
// gives 1 with the exponent's zero as imaginary part (the test is an
// unordered-or-equal compare, so 0 + NaN i also counts as a zero exponent).
FPU_GUARDED Complex __xpow(double x1, double y1, double x2, double y2)
{
    long double th = x87_atan2(y1, x1);
    long double r2 = (long double)x1 * x1 + (long double)y1 * y1;
    if (r2 == 0 || r2 != r2) {
        if (exponent_field(x2) == 0 && exponent_field(y2) == 0)
            return pair(1.0L, r2);
        if (r2 != 0 || x2 > 0)
            return pair(r2, r2);
        return pair(x2 < 0 ? __builtin_infl() : __builtin_nanl(""), __builtin_nanl(""));
    }
    long double rho = 0.5L * ln(r2);
    if ((x2 == y2 || x2 != x2 || y2 != y2) && (x2 == 0 || x2 != x2))
        return pair(1.0L, x2);
    long double a = x2 * rho - y2 * th;
    long double b = x2 * th + y2 * rho;
    long double e = exp_e(a);
    // |th| <= pi and |rho| < 745 for double parts: b reaches 2^63 only for
    // |x2| >= 2^61 or |y2| >= 2^51.
    if (__builtin_expect(reaches(x2, 0x1p61) || reaches(y2, 0x1p51), 0))
        return pair(e * cos_full(b), e * sin_full(b));
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

INLINE Complex sin_body(double x, double y, int edge)
{
    long double c, s;
    cosh_first(exp_e(y), &c, &s);
    long double sx = sin_of(x, edge), cx = cos_of(x, edge);
    if (edge && series_pays(y, x, cx, sx))
        s = sinh_small(y);
    return pair(c * sx, s * cx);
}

KERNEL_WITH_EDGE(__xsin, sin_body, reaches(x, 0x1p63) || tiny(y, PAIR_SMALL))

// C - E is -sinh y.
INLINE Complex cos_body(double x, double y, int edge)
{
    long double e = exp_e(y);
    long double c, s;
    cosh_first(e, &c, &s);
    long double sx = sin_of(x, edge), cx = cos_of(x, edge);
    long double c_minus_e = edge && series_pays(y, x, sx, cx) ? -sinh_small(y) : c - e;
    return pair(c * cx, c_minus_e * sx);
}

KERNEL_WITH_EDGE(__xcos, cos_body, reaches(x, 0x1p63) || tiny(y, PAIR_SMALL))

// tan z = (sin 2x + i sinh 2y) / (cosh 2y + cos 2x) and tanh z = (sinh 2x
// + i sin 2y) / (cosh 2x + cos 2y) share one body: a is the argument of the
// circular, b that of the hyperbolic functions (x, y for tan; y, x for tanh).
struct TanParts {
    long double circular, hyperbolic; // sin 2a / D, sinh 2b / D
};

// The two places where the quotients of tan_parts fail:
// - E(2b) or 1/E(2b) beyond the extended range, |b| > 5678: S/D is inf/inf
//   there, but the quotient is ±1 to far below the last bit, and sin 2a / D
//   a zero with the sign of sin 2a. An undefined cos 2a (a infinite) leaves
//   D and both parts NaN.
// - Near a pole (cos 2a close to -1, b small) D = C + cos 2a cancels: there
//   D = 2 sinh^2 b + 2 cos^2 a = (E - 1)^2/(2E) + 2 cos^2 a, with E - 1 from
//   f2xm1 (|2b log2 e| < 1/2 here), free of cancellation. The sum errs by
//   2^-64/D; the processor's reduction of a and 2a by its 66-bit pi shifts
//   the distance from the pole by about |a| 2^-66 in both forms alike, so the
//   other form is worth taking only where the first error is the larger by
//   far: D (2a)^2 < 1/8. From |2a| = 2^63 on, where 2a and a are reduced
//   exactly, it is taken wherever D < POLE_D. So it is where 2b is small
//   enough for S to come from its series (pair_small) and |2a sin 2a| < 1/8:
//   D is then mostly 2 sinh^2 b, and the reduction moves D by |2a sin 2a|
//   2^-66, far less than the 2^-64 that C + cos 2a loses.
COLD TanParts tan_edge(TanParts parts, double a, double b, long double e, long double c, long double s,
                       long double d)
{
    long double a2 = 2.0L * a;
    int exact = !__builtin_isless(__builtin_fabsl(a2), X87_TRIG_LIMIT);
    if (__builtin_isinf(c)) {
        parts.hyperbolic = d != d ? d : b > 0 ? 1.0L : -1.0L;
    } else if (d < POLE_D && d >= 0 &&
               (exact || d * a2 * a2 < 0.125L ||
                (pair_small(2.0L * b) && __builtin_fabsl(a2 * x87_sin(a2)) < 0.125L))) {
        long double em1 = x87_f2xm1(2.0L * b * LOG2E);
        long double ca = exact ? cos_reduced(a) : x87_cos(a);
        long double dp = em1 * em1 / (2.0L * e) + 2.0L * ca * ca;
        parts.circular = sin_full(a2) / dp;
        parts.hyperbolic = s / dp;
    }
    return parts;
}

INLINE TanParts tan_body(double a, double b, int edge)
{
    long double e = exp_e(2.0L * b);
    long double c, s;
    cosh_first(e, &c, &s);
    long double a2 = 2.0L * a;
    long double s2 = sin_of(a2, edge);
    long double d = c + cos_of(a2, edge);
    if (edge && series_pays(2.0L * b, a2, d, s2))
        s = sinh_small(2.0L * b);
    TanParts parts = {s2 / d, s / d};
    // Beyond |b| = 1000 sinh 2b / D is 1 and sin 2a / D a zero in double
    // until E(2b) overflows; a D below POLE_D (or NaN) may be near a pole.
    if (__builtin_expect(__builtin_fabs(b) > 1000 || !(d >= POLE_D), 0))
        return tan_edge(parts, a, b, e, c, s, d);
    return parts;
}

COLD TanParts tan_body_edge(double a, double b) { return tan_body(a, b, 1); }

static inline TanParts tan_parts(double a, double b)
{
    if (__builtin_expect(reaches(a, 0x1p62) || tiny(b, 0.5 * PAIR_SMALL), 0))
        return tan_body_edge(a, b);
    return tan_body(a, b, 0);
}

FPU_GUARDED Complex __xtan(double x, double y)
{
    TanParts t = tan_parts(x, y);
    return pair(t.circular, t.hyperbolic);
}

INLINE Complex sinh_body(double x, double y, int edge)
{
    long double c, s;
    sinh_first(exp_e(x), &c, &s);
    long double sy = sin_of(y, edge), cy = cos_of(y, edge);
    if (edge && series_pays(x, y, cy, sy))
        s = sinh_small(x);
    return pair(s * cy, c * sy);
}

KERNEL_WITH_EDGE(__xsinh, sinh_body, reaches(y, 0x1p63) || tiny(x, PAIR_SMALL))

INLINE Complex cosh_body(double x, double y, int edge)
{
    long double c, s;
    cosh_first(exp_e(x), &c, &s);
    long double sy = sin_of(y, edge), cy = cos_of(y, edge);
    if (edge && series_pays(x, y, sy, cy))
        s = sinh_small(x);
    return pair(c * cy, s * sy);
}

KERNEL_WITH_EDGE(__xcosh, cosh_body, reaches(y, 0x1p63) || tiny(x, PAIR_SMALL))

FPU_GUARDED Complex __xtanh(double x, double y)
{
    TanParts t = tan_parts(y, x);
    return pair(t.hyperbolic, t.circular);
}

// The inverse functions take the logarithm of w = iz + s (asin) or z + s
// (asinh, acosh), s a square root that they form with xsqrt. Three regions
// need more than those steps:
// - w cancels (s close to -iz or -z; |z| large on one side, and the cuts):
//   then w = 1/v with v = s - iz, s - z or z - s (their product with w is 1),
//   and ln w = -ln v. A real w keeps the sign of its zero imaginary part.
// - |z| so large that the arguments of xsqrt overflow the double: the same
//   root from the unrounded arguments, and the logarithm without rounding w.
// - |z| small (asin, asinh): w is close to 1 and ln |w| loses its relative
//   accuracy; from u = w - 1, ln |w| = 1/2 log1p(2 Re u + |u|^2).
// The common path tells them apart in double, beside its extended work, and
// leaves the rest to the cold functions below.

// A complex value kept in extended precision (a root or a logarithm).
struct Ext {
    long double re, im;
};

enum Region { CANCELS, HUGE, SMALL };

static inline int finite(double v) { return __builtin_isfinite(v); }

static inline double larger_part(double re, double im)
{
    double a = __builtin_fabs(re), b = __builtin_fabs(im);
    return a > b ? a : b;
}

// w below s/16 (in the larger part of each): w is what is left of a sum
// whose parts nearly cancelled.
static inline int cancels(double wre, double wim, Complex s)
{
    return larger_part(wre, wim) < larger_part(s.re, s.im) * W_CANCELS;
}

static inline int small(double x, double y) { return x * x + y * y < (double)ASIN_SMALL; }

static inline Ext log_ext(long double re, long double im)
{
    Ext l = {0.5L * ln(re * re + im * im), x87_atan2(im, re)};
    return l;
}

// -ln v, the logarithm of w = 1/v; wim is w's imaginary part as the sum gave
// it, whose sign a zero imaginary part of v leaves to decide (on a cut).
static inline Ext log_of_inverse(long double vre, long double vim, long double wim)
{
    Ext l = {-0.5L * ln(vre * vre + vim * vim), x87_atan2(vim != 0 ? -vim : wim, vre)};
    return l;
}

// ln |1 + u| for small u.
static inline long double ln_abs_1p(long double ure, long double uim)
{
    return 0.5L * x87_yl2xp1(LN2, 2.0L * ure + (ure * ure + uim * uim));
}

// xsqrt's steps on unrounded arguments (only where they exceed the double).
COLD Ext root_ext(long double a, long double b)
{
    long double m = x87_sqrt(a * a + b * b);
    long double t = x87_sqrt((m + __builtin_fabsl(a)) * 0.5L);
    long double st = __builtin_signbit(b) ? -t : t;
    Ext r = {t, st};
    if (a > 0)
        r.im = b / (2.0L * t);
    else if (a < 0)
        r.re = __builtin_fabsl(b) / (2.0L * t);
    return r;
}

// The arguments of xsqrt overflow the double while z is finite.
static inline int huge(double x, double y, double a, double b)
{
    return __builtin_expect(!(finite(a) && finite(b)), 0) && finite(x) && finite(y);
}

static inline Complex negated_i_times(Ext l) // -i l as the full complex product
{
    return pair(-0.0L * l.re + 1.0L * l.im, -0.0L * l.im - 1.0L * l.re);
}

// ln w, w = z + s, in the three regions, for asinh (s^2 = z^2 + 1), acosh
// (s^2 = z^2 - 1) and asin (z standing for iz, s^2 = 1 - z^2 of the argument
// itself). w cancels where s is close to -z (Re z < 0, and for asinh the cut
// below -i); then v = s - z (asinh, asin) or z - s (acosh).
enum EdgeKind { EDGE_ASINH, EDGE_ACOSH, EDGE_ASIN };

COLD Ext edge_log(long double zre, long double zim, Ext s, Region region, EdgeKind kind)
{
    long double wre = zre + s.re, wim = zim + s.im;
    if (region == HUGE) {
        Complex sd = {(double)s.re, (double)s.im};
        region = cancels((double)wre, (double)wim, sd) ? CANCELS : HUGE;
    }
    Ext l;
    if (region == CANCELS) {
        l = kind == EDGE_ACOSH ? log_of_inverse(zre - s.re, zim - s.im, wim)
                               : log_of_inverse(s.re - zre, s.im - zim, wim);
    } else if (region == HUGE) {
        l = log_ext(wre, wim);
    } else {
        // Small |z| (asinh, asin): u = w - 1 is z + z^2/(1 + s) for asinh and
        // iz - z^2/(1 + s) for asin, with z^2 that of the argument (x + iy);
        // where the argument is real (asinh: imaginary), |w| = 1.
        int asin = kind == EDGE_ASIN;
        long double x = asin ? zim : zre, y = asin ? -zre : zim;
        l.im = x87_atan2((double)wim, (double)wre);
        l.re = 0;
        if (zre != 0) {
            long double qre = x * x - y * y, qim = 2.0L * x * y;
            long double dre = 1.0L + s.re, dim = s.im, dd = dre * dre + dim * dim;
            long double fre = (qre * dre + qim * dim) / dd, fim = (qim * dre - qre * dim) / dd;
            long double ure = asin ? zre - fre : zre + fre;
            long double uim = asin ? zim - fim : zim + fim;
            l.re = ln_abs_1p(ure, uim);
        } else if (zim == 0) { // z = 0: the steps as they are
            Complex c = __xlog((double)wre, (double)wim);
            l.re = c.re;
            l.im = c.im;
        }
    }
    return l;
}

// asin z = -i ln(iz + s), s the root (xsqrt's or root_ext's), in the three
// regions.
COLD Complex asin_edge(double x, double y, Ext s, Region region)
{
    long double izre = 0.0L * x - 1.0L * y, izim = 1.0L * x + 0.0L * y;
    return negated_i_times(edge_log(izre, izim, s, region, EDGE_ASIN));
}

// asin z = -i ln(iz + sqrt(1 - z^2)), the products with i and -i written out
// in full so that infinities and signed zeros pass as the arithmetic gives them.
FPU_GUARDED Complex __xasin(double x, double y)
{
    long double xx = (long double)x * x;
    long double yy = (long double)y * y;
    long double a = 1.0L - (xx - yy), b = 0.0L - 2.0L * x * y;
    if (huge(x, y, (double)a, (double)b))
        return asin_edge(x, y, root_ext(a, b), HUGE);
    Complex s = __xsqrt((double)a, (double)b);
    if (__builtin_expect(cancels(s.re - y, x + s.im, s), 0))
        return asin_edge(x, y, Ext{s.re, s.im}, CANCELS);
    if (__builtin_expect(small(x, y), 0))
        return asin_edge(x, y, Ext{s.re, s.im}, SMALL);
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

// atan z = 1/2 atan2(2x, 1 - |z|^2) + i/4 ln(|z + i|^2 / |z - i|^2), and
// atanh z = 1/4 ln(|1 + z|^2 / |1 - z|^2) + i/2 atan2(2y, 1 - |z|^2): one
// body, with p the part along the singular points (y for atan, x for atanh)
// and q the other.
struct AtanParts {
    long double angle, log; // 1/2 atan2(2q, 1 - |z|^2), 1/4 ln(quotient)
};

// Near a singular point (p near ±1, q near 0) r1 - 2p (or r1 + 2p) and 1 - r
// cancel: they are formed as (1 -+ p)^2 + q^2 and (1 - p)(1 + p) - q^2
// instead, with 1 - p and 1 + p exact (|p| lies between 1/2 and 2 there).
// At small |z| the quotient is 1 + 4p/(r1 - 2p), its logarithm log1p's.
COLD AtanParts atan_edge(double p, double q, int near)
{
    long double r = (long double)q * q + (long double)p * p;
    long double q2 = 2.0L * q;
    AtanParts parts;
    if (near) {
        long double pm = 1.0L - p, pp = 1.0L + p, qq = (long double)q * q;
        parts.log = 0.25L * ln((pp * pp + qq) / (pm * pm + qq));
        parts.angle = 0.5L * x87_atan2(q2, pm * pp - qq);
    } else {
        long double p2 = 2.0L * p, r1 = r + 1.0L;
        if (p != 0) // (else the logarithm of 1, +0 as the quotient gives it)
            parts.log = 0.25L * x87_yl2xp1(LN2, 2.0L * p2 / (r1 - p2));
        else
            parts.log = 0.25L * ln((r1 + p2) / (r1 - p2));
        parts.angle = 0.5L * x87_atan2(q2, 1.0L - r);
    }
    return parts;
}

static inline AtanParts atan_parts(double p, double q)
{
    // The regions, told in double beside the extended work: (1 - |p|)^2 + q^2
    // below UNIT_NEAR of 1 + p^2 + q^2, or p^2 + q^2 below ATAN_SMALL.
    double pp = p * p + q * q, dp = 1 - __builtin_fabs(p);
    int near = dp * dp + q * q < (1 + pp) * (double)UNIT_NEAR;
    if (__builtin_expect(near || pp < (double)ATAN_SMALL, 0))
        return atan_edge(p, q, near);
    long double r = (long double)q * q + (long double)p * p;
    long double q2 = 2.0L * q;
    long double p2 = 2.0L * p;
    long double r1 = r + 1.0L;
    AtanParts parts = {0.5L * x87_atan2(q2, 1.0L - r), 0.25L * ln((r1 + p2) / (r1 - p2))};
    return parts;
}

FPU_GUARDED Complex __xatan(double x, double y)
{
    AtanParts a = atan_parts(y, x);
    return pair(a.angle, a.log);
}

// asinh and acosh in the three regions.
COLD Complex hyperbolic_edge(double x, double y, Ext s, Region region, EdgeKind kind)
{
    Ext l = edge_log(x, y, s, region, kind);
    return pair(l.re, l.im);
}

// asinh z = ln(z + sqrt(z^2 + 1)).
FPU_GUARDED Complex __xasinh(double x, double y)
{
    long double xx = (long double)x * x;
    long double yy = (long double)y * y;
    long double a = (xx - yy) + 1.0L, b = 2.0L * x * y + 0.0L;
    if (huge(x, y, (double)a, (double)b))
        return hyperbolic_edge(x, y, root_ext(a, b), HUGE, EDGE_ASINH);
    Complex s = __xsqrt((double)a, (double)b);
    if (__builtin_expect(cancels(x + s.re, y + s.im, s), 0))
        return hyperbolic_edge(x, y, Ext{s.re, s.im}, CANCELS, EDGE_ASINH);
    if (__builtin_expect(small(x, y), 0))
        return hyperbolic_edge(x, y, Ext{s.re, s.im}, SMALL, EDGE_ASINH);
    return __xlog((double)(x + (long double)s.re), (double)(y + (long double)s.im));
}

// acosh z = ln(z + sqrt(z^2 - 1)); the principal value for x >= 0 only (for
// x < 0 the negative of it).
FPU_GUARDED Complex __xacosh(double x, double y)
{
    long double xx = (long double)x * x;
    long double yy = (long double)y * y;
    long double a = (xx - yy) - 1.0L, b = 2.0L * x * y - 0.0L;
    if (huge(x, y, (double)a, (double)b))
        return hyperbolic_edge(x, y, root_ext(a, b), HUGE, EDGE_ACOSH);
    Complex s = __xsqrt((double)a, (double)b);
    if (__builtin_expect(cancels(x + s.re, y + s.im, s), 0))
        return hyperbolic_edge(x, y, Ext{s.re, s.im}, CANCELS, EDGE_ACOSH);
    return __xlog((double)(x + (long double)s.re), (double)(y + (long double)s.im));
}

FPU_GUARDED Complex __xatanh(double x, double y)
{
    AtanParts a = atan_parts(x, y);
    return pair(a.log, a.angle);
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
