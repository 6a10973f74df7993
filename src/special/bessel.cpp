// Bessel functions of the first kind (J) and Weber functions (Y) of integer
// order in extended precision.
//
// The order-0 and order-1 kernels are rational in x^2 up to |x| = 8 and use
// the Hankel asymptotic form sqrt(2/(πx)) (P cos a - Q sin a) beyond, with P
// and Q rational in (8/x)^2. Higher orders come by recurrence from them.
//
// The asymptotic step hands its factor pair P, Q to the calling kernel and
// also leaves it in __bessel_pq0 (order 0) or __bessel_pq1 (order 1); no
// routine reads those back, so concurrent calls cannot take each other's pair.
#include "special.h"

#include <float.h>

#include "fp/reduce.h"

BesselFactors __bessel_pq0, __bessel_pq1;

// Numerator and denominator by Horner's rule, each from its stored top entry
// c[top] down to c[0], side by side so that the two chains overlap.
struct Rational {
    long double num, den;
};

static inline Rational rational(const double *num, const double *den, int top, long double s)
{
    Rational r = {num[top], den[top]};
    for (int i = top - 1; i >= 0; i--) {
        r.num = r.num * s + num[i];
        r.den = r.den * s + den[i];
    }
    return r;
}

// J0(x) = num(x^2)/den(x^2) for |x| <= 8; num[0] = den[0] so J0(0) is exactly 1.
static const double j0_num[9] = {
    4.9337872517941336e20, -1.1791576291076106e20, 6.382059341072356e18, -1.3676203530881714e17, 1434354939140344,
    -8085222034853.794, 25071582855.36882, -40504123.71833133, 26857.86856980015,
};
static const double j0_den[9] = {
    4.9337872517941336e20, 5.428918384092285e18, 30246356167094628, 112775673967979.84, 312304311494.12134,
    669998767.298224, 1114636.0984629854, 1363.0636523289706, 1,
};

// Y0(x) = num(x^2)/den(x^2) + (2/π) J0(x) ln x for x <= 8.
static const double y0_num[9] = {
    -2.7502866786291098e19, 6.587473275719555e19, -5.247065581112765e18, 1.375624316399344e17, -1648605817185729.5,
    10255208596863.943, -34363712229.790405, 59152134.6568689, -41370.35497933149,
};
static const double y0_den[9] = {
    3.726458838986166e20, 4.19241704341084e18, 23928830434997820, 91620380340751.86, 261306575504.10812,
    579512264.070073, 1001702.6412889062, 1282.452772478994, 1,
};

// J1(x) = x num(x^2)/den(x^2) for |x| <= 8.
static const double j1_num[9] = {
    5.811993540016061e20, -6.672106568924916e19, 2.3164335806340024e18, -35888175699101060, 290879526383477.56,
    -1322983480332.1265, 3413234182.3017006, -4695753.530642996, 2701.1227108923235,
};
static const double j1_den[9] = {
    1.1623987080032122e21, 1.185770712190321e19, 60920613989175216, 208166122130760.75, 524371026216.76495,
    1013863514.358674, 1501793.5949985855, 1606.9315734814877, 1,
};

// Y1(x) = x num(x^2)/den(x^2) + (2/π)(J1(x) ln x - 1/x) for x <= 8.
static const double y1_num[10] = {
    -9.963753424306922e22, 2.6554738314348545e22, -1.2122975554145097e21, 2.1931073399177978e19,
    -1.9658874627221408e17, 956993023992168.4, -2580681702194.451, 3639488548.124002, -2108847.5401331238, 0,
};
static const double y1_den[10] = {
    5.082067366941243e23, 5.435310377188854e21, 2.9549879358971486e19, 1.0822582594088195e17, 297663212564727.7,
    646534088126.5276, 1128686837.1694422, 1563282.7548995805, 1612.361029677001, 1,
};

// Asymptotic factors in w = (8/x)^2: P = pn/pd, Q = (8/x) qn/qd. Every
// numerator ends in 0 and every denominator in 1 at index 6.
struct Asymptotic {
    double pn[7], pd[7], qn[7], qd[7];
};

// P0 and Q0 of J0 and Y0 for x > 8.
static const Asymptotic asym0 = {
    {5393485.083869439, 12332384.76817638, 8413041.45655044, 2016135.2830499837, 153982.65326239113, 2485.271928957404, 0},
    {5393485.083869439, 12338310.22786325, 8426449.050629796, 2025066.801570134, 156001.7276940031, 2615.7007369208395, 1},
    {-3984.6173575952225, -10381.416987484641, -8239.066313485606, -2365.956170779108, -226.2630641933704, -4.887199395841262, 0},
    {255015.51088609424, 666745.4239319827, 533291.3634216897, 156021.32066792916, 15704.891915153956, 408.7714673983499, 1},
};

// P1 and Q1 of J1 and Y1 for x > 8.
static const Asymptotic asym1 = {
    {-4435757.816794128, -9942246.505077641, -6603373.248364939, -1523529.3511811374, -109824.05543459347, -1611.6166443246102, 0},
    {-4435757.816794128, -9934124.389934586, -6585339.4797230875, -1511809.5066341609, -107263.8599110382, -1455.0094401904962, 1},
    {33220.913409857225, 85145.1606753357, 66178.83658127084, 18494.262873223866, 1706.375429020768, 35.26513384663603, 0},
    {708712.8194102874, 1819458.0422439973, 1419460.669603721, 400294.43582266977, 37890.2297457722, 863.8367769604992, 1},
};

// The four polynomials run side by side; P and Q are rounded to doubles.
static BesselFactors asymptotic(double x, const Asymptotic *t)
{
    long double u = (long double)_eight / x;
    long double w = u * u;
    long double pn = t->pn[6], pd = t->pd[6], qn = t->qn[6], qd = t->qd[6];
    for (int i = 5; i >= 0; i--) {
        pn = pn * w + t->pn[i];
        pd = pd * w + t->pd[i];
        qn = qn * w + t->qn[i];
        qd = qd * w + t->qd[i];
    }
    BesselFactors f = {(double)(pn / pd), (double)((u * qn) / qd)};
    return f;
}

// The pair left behind for a single-threaded reader; each double is stored
// whole, so under concurrency they hold some call's P and some call's Q.
static inline BesselFactors keep(BesselFactors f, BesselFactors *kept)
{
    __atomic_store(&kept->p, &f.p, __ATOMIC_RELAXED);
    __atomic_store(&kept->q, &f.q, __ATOMIC_RELAXED);
    return f;
}

BesselFactors __bessel_asym0(double x) { return keep(asymptotic(x, &asym0), &__bessel_pq0); }

BesselFactors __bessel_asym1(double x) { return keep(asymptotic(x, &asym1), &__bessel_pq1); }

// The common part of the asymptotic forms for x > 8: sqrt(2/(πx)) and the
// sine and cosine of a = x - π/4.
struct Hankel {
    long double k, sin_a, cos_a;
};

// From x = 2^63 on fsin and fcos would take a unreduced: x = qπ/2 + r exactly,
// and a = qπ/2 + (r - π/4) with |r - π/4| <= π/2.
static __attribute__((noinline, cold)) Hankel hankel_far(double x)
{
    int q;
    long double r = reduce_half_pi(x, &q) - PI_OVER_4;
    Hankel h = {x87_sqrt(_2_pi / (long double)x), sin_quadrant(r, q), cos_quadrant(r, q)};
    return h;
}

static inline Hankel hankel(double x)
{
    if (__builtin_expect(x >= 0x1p63 && x <= DBL_MAX, 0))
        return hankel_far(x);
    long double a = (long double)x - _pi_4;
    Hankel h = {x87_sqrt(_2_pi / (long double)x), x87_sin(a), x87_cos(a)};
    return h;
}

long double __j0_ext(double x)
{
    if (is_nan(x))
        return x;
    x = abs_d(x);
    long double r;
    if (x <= _eight) {
        long double s = (long double)x * x;
        Rational f = rational(j0_num, j0_den, 8, s);
        r = f.num / f.den;
    } else {
        BesselFactors f = __bessel_asym0(x);
        Hankel h = hankel(x);
        r = h.k * (f.p * h.cos_a - f.q * h.sin_a);
    }
    report_flags(r, CODE_J0);
    return r;
}

// No domain test: ln x supplies -inf and division by zero at 0, NaN and
// invalid below it.
// Y0 and Y1 for 6 < x <= 8 by their power series in q = x^2/4, for results
// near a zero of Yn there. The rational forms above are good to about
// 5e-15 absolute near x = 8, which is too coarse next to a zero of Y0 (7.086)
// or of a higher order reached from Y0 and Y1 (Y2 at 6.794, Y5 at 6.747, ...);
// the series, summed in the extended format, are good to about 3e-17: their
// largest term at x = 8 is about 240, with 2^-64 relative error.
//
//   J0 = sum (-q)^k / (k!)^2,  J1 = (x/2) sum (-q)^k / (k! (k+1)!)
//   Y0 = (2/pi) [(ln(x/2) + g) J0 + sum_{k>=1} (-1)^(k+1) H_k q^k / (k!)^2]
//   Y1 = (2/pi) (ln(x/2) + g) J1 - 2/(pi x)
//        - (1/pi) (x/2) sum_{k>=0} (-1)^k (H_k + H_(k+1)) q^k / (k! (k+1)!)
//
// with g Euler's constant and H_k the harmonic numbers (H_0 = 0). Only
// inexact is raised.
struct WeberPair {
    long double y0, y1;
};

static const long double LN2_EXT = 0xb.17217f7d1cf79acp-4L;     // ln 2
static const long double EULER_GAMMA = 0x9.3c467e37db0c7a5p-4L; // g

static WeberPair weber_series(double x)
{
    long double half = 0.5L * x;
    long double q = half * half;
    long double t0 = 1, t1 = 1;  // q^k / (k!)^2 and q^k / (k! (k+1)!), signed
    long double j0 = 1, j1 = 1;  // the sums of J0 and of J1 / (x/2)
    long double s0 = 0, s1 = 1;  // the harmonic sums of Y0 and of Y1 (k = 0: H_1 = 1)
    long double h = 0;           // H_k
    for (int k = 1; k < 64; k++) {
        long double kk = k;
        t0 = -t0 * q / (kk * kk);
        t1 = -t1 * q / (kk * (kk + 1));
        long double h_next = h + 1 / kk;
        j0 += t0;
        j1 += t1;
        s0 -= h_next * t0;
        s1 += (h_next + (h_next + 1 / (kk + 1))) * t1;
        h = h_next;
        if (__builtin_fabsl(t0) * h < 0x1p-80L)
            break;
    }
    long double l = x87_yl2x(LN2_EXT, half) + EULER_GAMMA;
    WeberPair w;
    w.y0 = TWO_OVER_PI * (l * j0 + s0);
    w.y1 = TWO_OVER_PI * (l * half * j1 - 1 / (long double)x) - 0.5L * TWO_OVER_PI * half * s1;
    return w;
}

// Where the series take over: 6 < x <= 8, and a result below 2^-4 (Yn near
// one of its zeros there; |Yn| is about 0.3 between them) for order 0, or
// below 2^-4 of the order before it for the recurrence.
static inline int near_weber_zero(double x, long double r, long double scale)
{
    return __builtin_isgreater(x, 6.0) && __builtin_islessequal(x, 8.0) &&
           __builtin_isless(__builtin_fabsl(r), scale * 0x1p-4L); // quiet: a NaN raises nothing
}

// Y0 with its report. refine: near a zero in (6, 8] the series takes over;
// the recurrence of yn starts from the value without it (it refines near
// zeros of Yn itself, from both series values).
static long double y0_kernel(double x, int refine)
{
    if (is_nan(x))
        return x;
    long double r;
    if (x <= _eight) {
        long double s = (long double)x * x;
        Rational f = rational(y0_num, y0_den, 8, s);
        long double q = f.num / f.den;
        fp_force(q); // flags of the rational part belong before the inner report of j0
        long double j = __j0_ext(x);
        x = after(x);
        r = q + ((long double)_2_pi * j) * ln_via_double_ln2(x);
        if (refine && near_weber_zero(x, r, 1))
            r = weber_series(x).y0;
    } else {
        BesselFactors f = __bessel_asym0(x);
        Hankel h = hankel(x);
        r = h.k * (f.p * h.sin_a + f.q * h.cos_a);
    }
    report_flags(r, CODE_Y0);
    return r;
}

long double __y0_ext(double x) { return y0_kernel(x, 1); }

// Odd in x: the rational form carries the signed x, the asymptotic one is
// evaluated at |x| and negated.
long double __j1_ext(double x)
{
    if (is_nan(x))
        return x;
    double ax = abs_d(x);
    long double r;
    if (ax <= _eight) {
        long double s = (long double)x * x;
        Rational f = rational(j1_num, j1_den, 8, s);
        r = ((long double)x * f.num) / f.den;
    } else {
        BesselFactors f = __bessel_asym1(ax);
        Hankel h = hankel(ax);
        r = h.k * (f.p * h.sin_a + f.q * h.cos_a);
        if (sign_bit(x))
            r = -r;
    }
    report_flags(r, CODE_J1);
    return r;
}

// At 0 the product J1(0) ln 0 is invalid and 1/0 divides by zero; below 0 the
// logarithm is invalid.
long double __y1_ext(double x)
{
    if (is_nan(x))
        return x;
    long double r;
    if (x <= _eight) {
        long double s = (long double)x * x;
        Rational f = rational(y1_num, y1_den, 9, s);
        double n = (double)((long double)x * f.num);
        long double q = n / f.den;
        fp_force(q);
        long double j = __j1_ext(x);
        x = after(x);
        long double l = ln_via_double_ln2(x);
        long double inv = _one / (long double)x;
        r = q + (long double)_2_pi * (j * l - inv);
    } else {
        BesselFactors f = __bessel_asym1(x);
        Hankel h = hankel(x);
        r = h.k * (f.q * h.sin_a - f.p * h.cos_a);
    }
    report_flags(r, CODE_Y1);
    return r;
}

// Jn/Jn-1 = x/(2n - x^2/(2(n+1) - x^2/(2(n+2) - ...))) for n > x, cut off at
// `depth` terms and evaluated from the deepest one up (t = 0 stands for the
// rest).
static inline long double fraction_ratio(int64_t n, double x, long double xx, int64_t depth)
{
    long double t = 0;
    for (int64_t i = n + depth; i > n; i--)
        t = xx / (2 * (long double)i - t);
    return x / (2 * (long double)n - t);
}

// The cut after sixteen terms errs by about (J[n+16]/J[n])^2 relative, the
// square of the product of the ratios r_i = J[i]/J[i-1], i = n+1 ... n+16.
// Their logarithms are convex in i, so the product is below (r1 r16)^8, with
// r1 about x/(m + sqrt(m^2 - x^2)), m = n + 1 (Debye's form), at most
// x m/(2m^2 - x^2), and r16 below x/(2n + 32 - x): the error stays below
// (r1 r16)^16, which the test takes in double beside the fraction (measured
// against the error estimated from the sixteen terms themselves: never
// below it). Where it passes 2^-49 the sixteen terms may fall short (orders
// not far above x): the fraction is then evaluated with 32 terms, and where
// the two differ by more than 2^-50 (enough to move the double result; below
// that the bits of the sixteen terms stand), deepened further, doubling the
// depth until two successive values agree to a few units of the extended
// format. Each doubling at least squares the error; n just above a large x
// needs the most terms, and the cap lies far beyond what any order needs.
static inline int may_fall_short(int64_t n, double x)
{
    double m = (double)n + 1;
    return x * x * m > 0x1.eabp-4 * (2 * m * m - x * x) * (2 * (double)n + 32 - x); // r1 r16 > 2^(-49/16)
}

static __attribute__((noinline, cold)) long double checked_ratio(int64_t n, double x, long double xx,
                                                                long double ratio)
{
    long double deeper = fraction_ratio(n, x, xx, 32);
    if (__builtin_fabsl(deeper - ratio) <= __builtin_fabsl(deeper) * 0x1p-50L)
        return ratio;
    ratio = deeper;
    for (int64_t depth = 64; depth <= (int64_t)1 << 24; depth *= 2) {
        deeper = fraction_ratio(n, x, xx, depth);
        int agree = __builtin_fabsl(deeper - ratio) <= __builtin_fabsl(deeper) * 0x1p-62L;
        ratio = deeper;
        if (agree)
            break;
    }
    return ratio;
}

// The backward recurrence from J[n]/J[n-1] = ratio down to J0 and J1: c
// stands for J[i-1], p for J[i], both scaled by 1/J[n-1]. Since |J[i-1]| <= 1,
// the result ratio/(scale) is below ratio/|c|: once |c| passes ratio * 2^1100
// the result is a zero in double (vanished), fixed long before c could
// overflow the extended range.
struct Recurrence {
    long double c, p; // J0 and J1 in the scale of the recurrence
    int vanished;
};

static inline Recurrence recurrence(int64_t n, double x, long double ratio)
{
    long double limit = x87_scale(ratio, 1100);
    Recurrence rc = {1, ratio, 0};
    for (int64_t i = n - 1; i >= 1; i--) {
        long double next = ((2 * rc.c) / x) * (long double)i - rc.p;
        rc.p = rc.c;
        rc.c = next;
        if (__builtin_fabsl(rc.c) > limit) {
            rc.vanished = 1;
            break;
        }
    }
    return rc;
}

// Near a zero of J0 both J0(x) and c are small and mostly error (the kernel's
// absolute error, the cancellation in the last steps), and so is their
// quotient; J1, for which p stands, is near its extremum there. Where
// |J0| >= |J1|/16 the error of the quotient stays within a few units of the
// double, and J0 normalises.
static inline int normalise_by_j1(Recurrence rc)
{
    return !rc.vanished && __builtin_fabsl(rc.c) < 0.0625L * __builtin_fabsl(rc.p);
}

// The backward branch near a zero of J0, where J1 normalises: the recurrence
// again (rare), for the J1 in its scale. j is J0(x), already evaluated.
static __attribute__((noinline, cold)) long double by_j1(int64_t n, double x, long double ratio, long double j)
{
    Recurrence rc = recurrence(n, x, ratio);
    if (normalise_by_j1(rc))
        return (ratio * __j1_ext(x)) / rc.p;
    return (ratio * j) / rc.c;
}

// Jn(x). Orders up to x by forward recurrence from J0 and J1; beyond x by
// backward recurrence from the ratio Jn/Jn-1 (a continued fraction of sixteen
// terms, deepened where they have not converged), normalised by J0, or by J1
// near a zero of J0. J-n = (-1)^n Jn, Jn(-x) = (-1)^n Jn(x).
long double __jn_ext(int order, double x)
{
    if (order == 0)
        return __j0_ext(x);
    int64_t n = order;
    int negate = 0;
    if (n < 0) {
        n = -n;
        negate = (int)(n & 1);
    }
    if (x == 0)
        return x;
    if (sign_bit(x) || is_nan(x)) {
        x = -x;
        negate ^= (int)(n & 1);
    }
    long double r;
    if (n >= BESSEL_LARGE_ORDER && __builtin_isfinite(x)) {
        r = __jn_large(n, x);
    } else if (n == 1) {
        r = __j1_ext(x);
    } else if (!__builtin_isgreater((double)n, x)) {
        long double a = __j0_ext(x);
        long double b = __j1_ext(after(x));
        // A NaN (x infinite or NaN) stays NaN through every step and raises nothing.
        if (__builtin_isfinite(b)) {
            for (int64_t k = 1; k < n; k++) {
                long double next = ((2 * b) / x) * (long double)k - a;
                a = b;
                b = next;
            }
        }
        r = b;
    } else {
        long double xx = (long double)x * x;
        long double ratio = fraction_ratio(n, x, xx, 16);
        if (__builtin_expect(may_fall_short(n, x), 0))
            ratio = checked_ratio(n, x, xx, ratio);
        Recurrence rc = recurrence(n, x, ratio);
        fp_force(rc.c);
        // J0 runs on every path, so that flags standing on entry are reported
        // the same way whether or not the recurrence stopped early.
        long double j = __j0_ext(x);
        if (rc.vanished)
            r = 0; // the normalisation by J0 has the sign of J0: Jn(x) > 0 here
        else if (__builtin_expect(x > 2 && j * j * x < 0.004L, 0))
            // Beyond x = 2 (J0 has no zero below) J0^2 + J1^2 is close to
            // 2/(pi x), so |J0| < |J1|/16 only where J0^2 x < 2/(257 pi),
            // about 0.0025: the margin leaves the exact test to by_j1.
            r = by_j1(n, after(x), ratio, j);
        else
            r = (ratio * j) / rc.c;
    }
    return negate ? -r : r;
}

// Yn(x) by forward recurrence from Y1 and Y0 (Y1 first). Once |Yk| passes the
// double range, k lies beyond x, where |Yk| only grows: the double result is
// fixed (the rounding of this Yk gives the infinity and the overflow flag that
// the remaining steps would), so the recurrence stops there instead of running
// on into the extended infinity and then inf - inf. A NaN stops it as well.
long double __yn_ext(int order, double x)
{
    if (order == 0)
        return __y0_ext(x);
    int64_t n = order;
    int negate = 0;
    if (n < 0) {
        n = -n;
        negate = (int)(n & 1);
    }
    if (n >= BESSEL_LARGE_ORDER && __builtin_isgreater(x, 0.0) && __builtin_isfinite(x)) {
        long double r = __yn_large(n, x);
        return negate ? -r : r;
    }
    long double b = __y1_ext(x);
    if (n != 1) {
        long double a = y0_kernel(after(x), 0);
        // Half an ulp above the largest double: from here on b rounds to infinity.
        const long double rounds_to_infinity = 0x1.fffffffffffff8p1023L;
        for (int64_t k = 1; k < n && __builtin_isless(__builtin_fabsl(b), rounds_to_infinity); k++) {
            long double next = ((2 * b) / x) * (long double)k - a;
            a = b;
            b = next;
        }
        // Near a zero of Yn the absolute error of the start values is all
        // that is left: start again from the series (n < x here, where the
        // forward recurrence is stable).
        if (near_weber_zero(x, b, __builtin_fabsl(a))) {
            WeberPair w = weber_series(x);
            a = w.y0;
            b = w.y1;
            for (int64_t k = 1; k < n; k++) {
                long double next = ((2 * b) / x) * (long double)k - a;
                a = b;
                b = next;
            }
        }
    }
    return negate ? -b : b;
}

int __bessel_order(double v) { return truncate_int32(v); }

static FPU_GUARDED double j0_guarded(double x) { return (double)__j0_ext(x); }
static FPU_GUARDED double j1_guarded(double x) { return (double)__j1_ext(x); }
static FPU_GUARDED double y0_guarded(double x) { return (double)__y0_ext(x); }
static FPU_GUARDED double y1_guarded(double x) { return (double)__y1_ext(x); }
static FPU_GUARDED double jn_guarded(int n, double x) { return (double)__jn_ext(n, x); }
static FPU_GUARDED double yn_guarded(int n, double x) { return (double)__yn_ext(n, x); }

extern "C" {

double j0(double x)
{
    return fpu_call(j0_guarded, x);
}

double j1(double x)
{
    return fpu_call(j1_guarded, x);
}

double y0(double x)
{
    return fpu_call(y0_guarded, x);
}

double y1(double x)
{
    return fpu_call(y1_guarded, x);
}

double jn(int n, double x)
{
    return fpu_call(jn_guarded, n, x);
}

double yn(int n, double x)
{
    return fpu_call(yn_guarded, n, x);
}

}
