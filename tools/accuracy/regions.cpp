#include "regions.h"

#include "large_order.h"

#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <vector>

// ---- random numbers

static uint64_t splitmix(uint64_t *x)
{
    uint64_t z = (*x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Rng::Rng(uint64_t seed)
{
    for (uint64_t &w : s)
        w = splitmix(&seed);
}

static inline uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t Rng::next()
{
    uint64_t r = rotl(s[1] * 5, 7) * 9, t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return r;
}

double Rng::uniform() { return (double)(next() >> 11) * 0x1p-53; }

double Rng::uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

int Rng::below(int n) { return (int)((next() >> 33) % (uint64_t)n); }

// Exact and libm-free: the binade is drawn uniformly, then the significand.
double Rng::log_uniform(double lo, double hi)
{
    int elo = std::ilogb(lo), ehi = std::ilogb(hi);
    for (;;) {
        int e = elo + below(ehi - elo + 1);
        double v = std::ldexp(1 + (double)(next() >> 12) * 0x1p-52, e);
        if (v >= lo && v <= hi)
            return v;
    }
}

// ---- samplers

static const double huge_d = 1.7976931348623157e308, tiny_d = 4.9406564584124654e-324;
static const double pi = 3.141592653589793;

// x = +-log_uniform(p0, p1); p2 > 0: positive only, p2 < 0: negative only.
static void real_log(Rng &rng, const Region &r, Input *in)
{
    double s = r.p[2] > 0 ? 1 : r.p[2] < 0 ? -1 : rng.sign();
    in->a[0] = s * rng.log_uniform(r.p[0], r.p[1]);
    in->n = r.order;
}

// x uniform in [p0, p1), never 0 when p2 is set.
static void real_linear(Rng &rng, const Region &r, Input *in)
{
    do
        in->a[0] = rng.uniform(r.p[0], r.p[1]);
    while (r.p[2] != 0 && in->a[0] == 0);
    in->n = r.order;
}

// Whole range of a complex kernel: |Re| in [p0, p1], |Im| in [p2, p3]. Parts
// drawn independently (all ratios of the parts), by modulus and angle in the
// disc that fits both ranges, or on an axis with a signed zero.
static void complex_parts(Rng &rng, double lo_re, double hi_re, double lo_im, double hi_im, double *z)
{
    int mode = rng.below(10);
    if (mode < 4) {
        z[0] = rng.sign() * rng.log_uniform(lo_re, hi_re);
        z[1] = rng.sign() * rng.log_uniform(lo_im, hi_im);
    } else if (mode < 8) {
        double m = rng.log_uniform(std::fmax(lo_re, lo_im), std::fmin(hi_re, hi_im));
        double t = rng.uniform(-pi, pi);
        z[0] = m * std::cos(t);
        z[1] = m * std::sin(t);
    } else if (mode == 8) {
        z[0] = rng.sign() * rng.log_uniform(lo_re, hi_re);
        z[1] = rng.sign() * 0.0;
    } else {
        z[0] = rng.sign() * 0.0;
        z[1] = rng.sign() * rng.log_uniform(lo_im, hi_im);
    }
}

static void complex_wide(Rng &rng, const Region &r, Input *in)
{
    complex_parts(rng, r.p[0], r.p[1], r.p[2], r.p[3], in->a);
}

// c + d for c = +-1 (p2 = 0) or c = +-i (p2 = 1), |d| in [p0, p1]: a quarter
// on the axis through c (the other part a signed zero), the rest at any angle.
static void near_unit(Rng &rng, const Region &r, Input *in)
{
    double c = rng.sign(), d = rng.log_uniform(r.p[0], r.p[1]);
    double z[2];
    if (rng.below(4) == 0) {
        z[0] = c + rng.sign() * d;
        z[1] = rng.sign() * 0.0;
    } else {
        double t = rng.uniform(-pi, pi);
        z[0] = c + d * std::cos(t);
        z[1] = d * std::sin(t);
    }
    int axis = r.p[2] != 0;
    in->a[0] = z[axis];
    in->a[1] = z[1 - axis];
}

// |z| = 1 +- d with d in [p0, p1], at any angle (a quarter on the real axis):
// where the logarithm's real part is small and ill-conditioned.
static void near_unit_circle(Rng &rng, const Region &r, Input *in)
{
    double m = 1 + rng.sign() * rng.log_uniform(r.p[0], r.p[1]);
    double t = rng.below(4) == 0 ? (rng.below(2) ? 0 : pi) : rng.uniform(-pi, pi);
    in->a[0] = m * std::cos(t);
    in->a[1] = t == 0 || t == pi ? rng.sign() * 0.0 : m * std::sin(t);
}

// |z| in [p0, p1] on the side where the inverse functions cancel: Im z >= 0
// (p2 = 0) or Re z <= 0 (p2 = 1); an eighth on the real axis.
static void cancelling_side(Rng &rng, const Region &r, Input *in)
{
    double m = rng.log_uniform(r.p[0], r.p[1]);
    bool left = r.p[2] != 0;
    if (rng.below(8) == 0) {
        in->a[0] = left ? -m : rng.sign() * m;
        in->a[1] = rng.sign() * 0.0;
        if (!left)
            in->a[1] = 0.0;
        return;
    }
    double t = rng.uniform(0, pi);
    if (left)
        t += pi / 2;
    in->a[0] = m * std::cos(t);
    in->a[1] = m * std::sin(t);
}

// |z| in [p0, p1] at any angle; an eighth real, an eighth imaginary.
static void small_z(Rng &rng, const Region &r, Input *in)
{
    double m = rng.log_uniform(r.p[0], r.p[1]);
    int mode = rng.below(8);
    if (mode == 0) {
        in->a[0] = rng.sign() * m;
        in->a[1] = rng.sign() * 0.0;
    } else if (mode == 1) {
        in->a[0] = rng.sign() * 0.0;
        in->a[1] = rng.sign() * m;
    } else {
        double t = rng.uniform(-pi, pi);
        in->a[0] = m * std::cos(t);
        in->a[1] = m * std::sin(t);
    }
}

// Near a pole of tan: (k + 1/2) pi + d with |d| in [p0, p1], k small or up
// to 1e6; the other part zero or tiny. p2 = 1 puts it on the imaginary axis (tanh).
static void tan_poles(Rng &rng, const Region &r, Input *in)
{
    double k = rng.below(2) ? rng.below(21) - 10 : rng.sign() * std::floor(rng.log_uniform(1, 1e6));
    double x = (k + 0.5) * pi + rng.sign() * rng.log_uniform(r.p[0], r.p[1]);
    double y = rng.sign() * (rng.below(2) ? 0.0 : rng.log_uniform(1e-300, 1e-3));
    int axis = r.p[2] != 0;
    in->a[axis] = x;
    in->a[1 - axis] = y;
}

// Large imaginary part for tan (p2 = 0) or large real part for tanh (p2 = 1):
// the large part in [p0, p1], the other anywhere up to 2^61.
static void tan_large(Rng &rng, const Region &r, Input *in)
{
    int axis = r.p[2] != 0;
    in->a[1 - axis] = rng.sign() * rng.log_uniform(r.p[0], r.p[1]);
    in->a[axis] = rng.below(8) == 0 ? rng.sign() * 0.0 : rng.sign() * rng.log_uniform(1e-300, 0x1p61);
}

// xpow: z1 anywhere, z2 sized so that |z2 log z1| stays mostly below 1500.
static void pow_args(Rng &rng, const Region &, Input *in)
{
    complex_parts(rng, 1e-300, 1e300, 1e-300, 1e300, in->a);
    double l = std::fabs(std::log(std::hypot(in->a[0], in->a[1])));
    double m = rng.log_uniform(1e-20, 1500 / std::fmax(l, 1));
    if (rng.below(4) == 0) {
        in->a[2] = rng.sign() * m;
        in->a[3] = rng.sign() * 0.0;
    } else {
        double t = rng.uniform(-pi, pi);
        in->a[2] = m * std::cos(t);
        in->a[3] = m * std::sin(t);
    }
}

static void logy_args(Rng &rng, const Region &, Input *in)
{
    complex_parts(rng, 1e-300, 1e300, 1e-300, 1e300, in->a);
    complex_parts(rng, 1e-300, 1e300, 1e-300, 1e300, in->a + 2);
}

// A trigonometric argument from 2^63 up: the part p3 (0 real, 1 imaginary)
// log-uniform in [p0, max double], either sign; the other part zero (signed,
// an eighth) or log-uniform in [1e-300, p2].
static void huge_part(Rng &rng, const Region &r, Input *in)
{
    int axis = r.p[3] != 0;
    in->a[axis] = rng.sign() * rng.log_uniform(r.p[0], huge_d);
    in->a[1 - axis] = rng.below(8) == 0 ? rng.sign() * 0.0 : rng.sign() * rng.log_uniform(1e-300, r.p[2]);
}

// xpow of the bases -1, i and -i (ln|z1| = 0, arg z1 as fpatan rounds it), the
// angle x2 arg z1 from 2^63 up: |x2| log-uniform from p0, y2 zero (a quarter)
// or up to p1 in magnitude.
static void pow_huge_angle(Rng &rng, const Region &r, Input *in)
{
    int base = rng.below(3);
    in->a[0] = base == 0 ? -1.0 : rng.sign() * 0.0;
    in->a[1] = base == 0 ? rng.sign() * 0.0 : base == 1 ? 1.0 : -1.0;
    in->a[2] = rng.sign() * rng.log_uniform(r.p[0], huge_d);
    in->a[3] = rng.below(4) == 0 ? rng.sign() * 0.0 : rng.sign() * rng.log_uniform(1e-300, r.p[1]);
}

// xpow of a zero base (either signs of its zeros), z2 anywhere.
static void pow_zero_base(Rng &rng, const Region &, Input *in)
{
    in->a[0] = rng.sign() * 0.0;
    in->a[1] = rng.sign() * 0.0;
    complex_parts(rng, 1e-300, 1e300, 1e-300, 1e300, in->a + 2);
}

// BESSEL and WEBER from |x| = 2^63 up (x > 0 for WEBER), the order drawn from
// the orders of the other regions.
static const int orders[] = {0, 1, 2, 3, 5, 10, 20, 35, 50, 100, 150, 200, -1, -2, -3, -10, -50};

static void huge_real(Rng &rng, const Region &r, Input *in)
{
    in->a[0] = (r.p[2] > 0 ? 1 : rng.sign()) * rng.log_uniform(r.p[0], huge_d);
    in->n = orders[rng.below((int)(sizeof orders / sizeof orders[0]))];
}

double j0_zeros[40];

// BESSEL just below x = n: n from p0 to p1, x in [0.8 n, n).
static void below_order(Rng &rng, const Region &r, Input *in)
{
    in->n = (int)r.p[0] + rng.below((int)(r.p[1] - r.p[0]) + 1);
    in->a[0] = rng.uniform(0.8 * in->n, in->n);
}

// BESSEL near a zero of J0: x = j0,k +- d, d in [p0, p1], order above x by up to 40.
static void near_j0_zero(Rng &rng, const Region &r, Input *in)
{
    in->a[0] = j0_zeros[rng.below(40)] + rng.sign() * rng.log_uniform(r.p[0], r.p[1]);
    in->n = (int)std::floor(in->a[0]) + 1 + rng.below(40);
}

// WEBER near the zeros of Yn in (6, 8], where the rational forms of Y0 and Y1
// are too coarse: the order and the zero (Newton from MPFR at setup), x =
// zero +- d, d in [p0, p1], the order of either sign.
static const int weber_zero_orders[4] = {0, 2, 5, 6};
static double weber_zeros[4] = {7.086, 6.794, 6.747, 7.838};

static void find_weber_zeros()
{
    mpfr_t x, y, d;
    mpfr_inits2(128, x, y, d, (mpfr_ptr)0);
    for (int k = 0; k < 4; k++) {
        long n = weber_zero_orders[k];
        mpfr_set_d(x, weber_zeros[k], MPFR_RNDN);
        for (int i = 0; i < 8; i++) {
            // Yn' = Y(n-1) - (n/x) Yn (and Y0' = -Y1)
            mpfr_yn(y, n, x, MPFR_RNDN);
            if (n == 0) {
                mpfr_y1(d, x, MPFR_RNDN);
                mpfr_neg(d, d, MPFR_RNDN);
            } else {
                mpfr_yn(d, n - 1, x, MPFR_RNDN);
                mpfr_t t;
                mpfr_init2(t, 128);
                mpfr_mul_si(t, y, n, MPFR_RNDN);
                mpfr_div(t, t, x, MPFR_RNDN);
                mpfr_sub(d, d, t, MPFR_RNDN);
                mpfr_clear(t);
            }
            mpfr_div(y, y, d, MPFR_RNDN);
            mpfr_sub(x, x, y, MPFR_RNDN);
        }
        weber_zeros[k] = mpfr_get_d(x, MPFR_RNDN);
    }
    mpfr_clears(x, y, d, (mpfr_ptr)0);
}

static void near_weber_zero(Rng &rng, const Region &r, Input *in)
{
    int k = rng.below(4);
    in->a[0] = weber_zeros[k] + rng.sign() * rng.log_uniform(r.p[0], r.p[1]);
    in->n = (int)rng.sign() * weber_zero_orders[k];
}

// BESSEL and WEBER of large order: |n| log-uniform in [p0, p1], either sign;
// x within 40 n^(1/3) of |n| (half the samples), uniform in (0, 3|n|) (a
// quarter) or log-uniform in [1e-300, 1e300] (a quarter), for BESSEL of
// either sign.
static void large_order(Rng &rng, const Region &r, Input *in)
{
    double n = std::floor(rng.log_uniform(r.p[0], r.p[1]));
    int mode = rng.below(4);
    double x;
    if (mode < 2)
        x = n + rng.uniform(-40, 40) * std::cbrt(n);
    else if (mode == 2)
        do
            x = rng.uniform(0, 3 * n);
        while (x == 0);
    else
        x = rng.log_uniform(1e-300, 1e300);
    in->n = (int)(rng.sign() * n);
    in->a[0] = r.f == F_JN ? rng.sign() * x : x;
}

// ---- the table

static std::vector<Region> table;

static void add(const char *name, const char *what, Func f, Sampler s, double p0, double p1, double p2 = 0,
                double p3 = 0, bool named = false, int order = 0)
{
    table.push_back(Region{name, what, f, order, s, {p0, p1, p2, p3}, named});
}

static void find_j0_zeros()
{
    mpfr_t x, j0v, j1v;
    mpfr_inits2(128, x, j0v, j1v, (mpfr_ptr)0);
    for (int k = 1; k <= 40; k++) {
        // McMahon's start (k - 1/4) pi, then Newton: J0' = -J1.
        mpfr_set_d(x, (k - 0.25) * pi, MPFR_RNDN);
        for (int i = 0; i < 8; i++) {
            mpfr_j0(j0v, x, MPFR_RNDN);
            mpfr_j1(j1v, x, MPFR_RNDN);
            mpfr_div(j0v, j0v, j1v, MPFR_RNDN);
            mpfr_add(x, x, j0v, MPFR_RNDN);
        }
        j0_zeros[k - 1] = mpfr_get_d(x, MPFR_RNDN);
    }
    mpfr_clears(x, j0v, j1v, (mpfr_ptr)0);
}

const Region *regions;
int region_count;

long samples_in(const Region &r, long per_region, bool diff)
{
    long n = std::max(1L, std::lround((double)per_region * r.share));
    return diff && r.diff_cap ? std::min(n, r.diff_cap) : n;
}

void regions_setup()
{
    if (!table.empty())
        return;
    find_j0_zeros();
    find_weber_zeros();
    const double two62 = 0x1p62;
    add("positive", "0 < x <= 180, log-uniform (subnormals to overflow)", F_GAMMA, real_log, tiny_d, 180, 1);
    add("negative", "-1000 <= x < 0, log-uniform", F_GAMMA, real_log, tiny_d, 1000, -1);
    add("negative-far", "x < -1000, log-uniform (underflow and poles)", F_GAMMA, real_log, 1000, 1e300, -1);
    add("linear", "-20 <= x < 172, uniform", F_GAMMA, real_linear, -20, 172);
    for (Func f : {F_JN, F_YN}) {
        bool j = f == F_JN;
        for (int n : orders) {
            add("wide", j ? "0 < |x| < 2^62, log-uniform, both signs" : "0 < x < 2^62, log-uniform", f, real_log,
                1e-300, two62, j ? 0 : 1, 0, false, n);
            double top = std::fmax(30, 2.5 * std::abs(n));
            add("linear", "x uniform up to max(30, 2.5|n|)", f, real_linear, 0, top, 1, 0, false, n);
        }
    }
    add("below-n", "20 <= n <= 200, 0.8n <= x < n", F_JN, below_order, 20, 200, 0, 0, true);
    add("j0-zeros", "x within 1e-9..1e-3 of the first 40 zeros of J0, x < n <= x + 40", F_JN, near_j0_zero, 1e-9,
        1e-3, 0, 0, true);
    // The old build takes time linear in the order: the diff draws fewer
    // samples of the largest orders.
    for (Func f : {F_JN, F_YN}) {
        const char *what = "x within 40 n^(1/3) of |n|, in (0, 3|n|) or in [1e-300, 1e300]";
        add("large-n", what, f, large_order, 1e4, 99999, 0, 0, true);
        table.back().share = 0.1;
        add("huge-n", what, f, large_order, 1e5, 2147483647, 0, 0, true);
        table.back().share = 0.1;
        table.back().diff_cap = 60;
    }
    add("zeros-6-8", "x within 1e-12..1e-2 of the zeros of Y0, Y2, Y5, Y6 in (6, 8], n of either sign", F_YN,
        near_weber_zero, 1e-12, 1e-2, 0, 0, true);
    add("huge", "2^63 <= |x|, both signs, n from the orders above", F_JN, huge_real, 0x1p63, 0, 0, 0, true);
    add("huge", "2^63 <= x, n from the orders above", F_YN, huge_real, 0x1p63, 0, 1, 0, true);

    const double big = huge_d;
    add("wide", "|Re z| <= 760, |Im z| < 2^62", F_XEXP, complex_wide, 1e-300, 760, 1e-300, two62);
    add("wide", "|Re z| <= 330, |Im z| < 2^62 / ln 10", F_XPOW10, complex_wide, 1e-300, 330, 1e-300, 2e18);
    for (Func f : {F_XLOG, F_XLOG10, F_XSQRT, F_XASIN, F_XACOS, F_XATAN, F_XASINH, F_XACOSH, F_XATANH})
        add("wide", "all of the double range", f, complex_wide, tiny_d, big, tiny_d, big);
    add("wide", "|Re z| < 2^62, |Im z| <= 760", F_XSIN, complex_wide, 1e-300, two62, 1e-300, 760);
    add("wide", "|Re z| < 2^62, |Im z| <= 760", F_XCOS, complex_wide, 1e-300, two62, 1e-300, 760);
    add("wide", "|Re z| < 2^61, |Im z| <= 1e300", F_XTAN, complex_wide, 1e-300, 0x1p61, 1e-300, 1e300);
    add("wide", "|Re z| <= 760, |Im z| < 2^62", F_XSINH, complex_wide, 1e-300, 760, 1e-300, two62);
    add("wide", "|Re z| <= 760, |Im z| < 2^62", F_XCOSH, complex_wide, 1e-300, 760, 1e-300, two62);
    add("wide", "|Re z| <= 1e300, |Im z| < 2^61", F_XTANH, complex_wide, 1e-300, 1e300, 1e-300, 0x1p61);
    add("wide", "z1 anywhere, |z2 log z1| up to about 1500", F_XPOW, pow_args, 0, 0);
    add("wide", "z1 and z2 anywhere", F_XLOGY, logy_args, 0, 0);

    add("large-imag", "1e3 <= |Im z| <= 1e300", F_XTAN, tan_large, 1e3, 1e300, 0, 0, true);
    add("poles", "within 1e-17..1e-3 of pi/2 + k pi, |Im z| <= 1e-3", F_XTAN, tan_poles, 1e-17, 1e-3, 0, 0, true);
    add("large-real", "1e3 <= |Re z| <= 1e300", F_XTANH, tan_large, 1e3, 1e300, 1, 0, true);
    add("poles", "within 1e-17..1e-3 of i(pi/2 + k pi), |Re z| <= 1e-3", F_XTANH, tan_poles, 1e-17, 1e-3, 1, 0,
        true);
    add("near-1", "within 1e-16..1e-2 of +-1", F_XATANH, near_unit, 1e-16, 1e-2, 0, 0, true);
    add("near-i", "within 1e-16..1e-2 of +-i", F_XATAN, near_unit, 1e-16, 1e-2, 1, 0, true);
    add("upper-large", "Im z >= 0, 1e4 <= |z| <= 1e300", F_XASIN, cancelling_side, 1e4, 1e300, 0, 0, true);
    add("upper-large", "Im z >= 0, 1e4 <= |z| <= 1e300", F_XACOS, cancelling_side, 1e4, 1e300, 0, 0, true);
    add("left-large", "Re z <= 0, 1e4 <= |z| <= 1e300", F_XASINH, cancelling_side, 1e4, 1e300, 1, 0, true);
    add("left-large", "Re z <= 0, 1e4 <= |z| <= 1e300", F_XACOSH, cancelling_side, 1e4, 1e300, 1, 0, true);
    // Ill-conditioned, not named: the bound relaxes with kappa.
    add("unit-circle", "||z| - 1| in 1e-16..1e-2", F_XLOG, near_unit_circle, 1e-16, 1e-2);
    add("unit-circle", "||z| - 1| in 1e-16..1e-2", F_XLOG10, near_unit_circle, 1e-16, 1e-2);
    add("near-1", "within 1e-16..1e-2 of +-1", F_XACOS, near_unit, 1e-16, 1e-2);
    for (Func f : {F_XASIN, F_XASINH, F_XATAN, F_XATANH})
        add("small", "1e-300 <= |z| <= 1e-3", f, small_z, 1e-300, 1e-3, 0, 0, true);

    // Trigonometric arguments from 2^63 up, reduced exactly.
    add("huge", "2^63 <= |Im z|, |Re z| <= 760", F_XEXP, huge_part, 0x1p63, 0, 760, 1, true);
    add("huge", "2^63 <= |Im z| ln 10, |Re z| <= 330", F_XPOW10, huge_part, 4.0057e18, 0, 330, 1, true);
    add("huge", "2^63 <= |Re z|, |Im z| <= 760", F_XSIN, huge_part, 0x1p63, 0, 760, 0, true);
    add("huge", "2^63 <= |Re z|, |Im z| <= 760", F_XCOS, huge_part, 0x1p63, 0, 760, 0, true);
    add("huge", "2^62 <= |Re z|, |Im z| <= 1e300", F_XTAN, huge_part, 0x1p62, 0, 1e300, 0, true);
    add("huge", "2^63 <= |Im z|, |Re z| <= 760", F_XSINH, huge_part, 0x1p63, 0, 760, 1, true);
    add("huge", "2^63 <= |Im z|, |Re z| <= 760", F_XCOSH, huge_part, 0x1p63, 0, 760, 1, true);
    add("huge", "2^62 <= |Im z|, |Re z| <= 1e300", F_XTANH, huge_part, 0x1p62, 0, 1e300, 1, true);
    add("huge-angle", "z1 = -1, i or -i, 2^63 <= |Re z2 arg z1|, |Im z2| <= 200 (angle as formed)", F_XPOW,
        pow_huge_angle, 0x1p63 / 1.5, 200, 0, 0, true);
    add("zero-base", "z1 = 0 (signed zeros), z2 anywhere", F_XPOW, pow_zero_base, 0, 0, 0, 0, true);

    // Grouped by function (the tables follow this order), each group in the order added.
    std::stable_sort(table.begin(), table.end(), [](const Region &a, const Region &b) { return a.f < b.f; });
    regions = table.data();
    region_count = (int)table.size();
}

// ---- bins of the differential mode

static double mod(double x, double y) { return std::hypot(x, y); }

static bool near_j0_zero_bin(double x)
{
    mpfr_t v;
    mpfr_init2(v, 53);
    mpfr_set_d(v, x, MPFR_RNDN);
    mpfr_j0(v, v, MPFR_RNDN);
    bool small = std::fabs(mpfr_get_d(v, MPFR_RNDN)) < 1e-3;
    mpfr_clear(v);
    return small;
}

// |cosh 2b + cos 2a| / cosh 2b, the denominator of tan (a, b) = (x, y) or of
// tanh (a, b) = (y, x), relative to its size.
static double tan_denominator(double a, double b)
{
    mpfr_t c, g;
    mpfr_inits2(128, c, g, (mpfr_ptr)0);
    mpfr_set_d(c, b, MPFR_RNDN);
    mpfr_mul_2ui(c, c, 1, MPFR_RNDN);
    mpfr_cosh(c, c, MPFR_RNDN);
    mpfr_set_d(g, a, MPFR_RNDN);
    mpfr_mul_2ui(g, g, 1, MPFR_RNDN);
    mpfr_cos(g, g, MPFR_RNDN);
    mpfr_add(g, g, c, MPFR_RNDN);
    mpfr_div(g, g, c, MPFR_RNDN);
    double d = std::fabs(mpfr_get_d(g, MPFR_RNDN));
    mpfr_clears(c, g, (mpfr_ptr)0);
    return d;
}

// Below this pair argument S comes from its series (the kernels' PAIR_SMALL).
static const double pair_small = 0x1p-10;

// Olver's expansion near x = n, Debye's below and above it.
static const char *large_order_bin(double n, double x)
{
    if (std::fabs(x - n) < 16 * std::cbrt(n))
        return "large order: |x - n| < 16 n^(1/3)";
    return x < n ? "large order: x below n" : "large order: x above n";
}

const char *bin_of(const Input &in, bool *named)
{
    double x = in.a[0], y = in.a[1], m = mod(x, y);
    *named = true;
    if (huge_argument(in))
        return "huge: a trigonometric argument >= 2^63";
    double pa = pair_argument(in);
    if (s_part(in.f) >= 0 && pa > 0 && pa < pair_small)
        return "tiny: pair argument below 2^-10 (S from its series)";
    if (in.f == F_XPOW && x == 0 && y == 0)
        return "zero-base: z1 = 0";
    switch (in.f) {
    case F_JN: {
        double n = std::fabs((double)in.n), ax = std::fabs(x);
        if (n >= large_order_from)
            return large_order_bin(n, ax);
        if (n > ax && near_j0_zero_bin(ax))
            return "j0-zeros: n > |x|, |J0(x)| < 1e-3";
        if (n > ax && ax >= 0.8 * n)
            return "below-n: 0.8n <= |x| < n";
        // The continued fraction is deepened wherever sixteen terms have not
        // converged, which reaches below 0.8n for large orders.
        if (n > ax)
            return "backward branch elsewhere: n > |x|";
        *named = false;
        return "forward branch (n <= |x|)";
    }
    case F_YN: {
        double n = std::fabs((double)in.n);
        if (n >= large_order_from && x > 0)
            return large_order_bin(n, x);
        for (int k = 0; k < 4; k++)
            if (n == weber_zero_orders[k] && std::fabs(x - weber_zeros[k]) < 0.25)
                return "zeros-6-8: |x - zero of Yn in (6, 8]| < 0.25";
        break;
    }
    case F_XTAN:
    case F_XTANH: {
        double a = in.f == F_XTAN ? x : y, b = in.f == F_XTAN ? y : x;
        if (std::fabs(b) >= 1e3)
            return in.f == F_XTAN ? "large-imag: |Im z| >= 1e3" : "large-real: |Re z| >= 1e3";
        if (tan_denominator(a, b) < 1e-3)
            return "poles: (cosh 2b + cos 2a) / cosh 2b < 1e-3";
        break;
    }
    case F_XATANH:
    case F_XATAN: {
        double d = in.f == F_XATANH ? std::fmin(mod(x - 1, y), mod(x + 1, y)) : std::fmin(mod(x, y - 1), mod(x, y + 1));
        if (d < 1e-2)
            return in.f == F_XATANH ? "near-1: |z -+ 1| < 1e-2" : "near-i: |z -+ i| < 1e-2";
        if (m <= 1e-3)
            return "small: |z| <= 1e-3";
        break;
    }
    case F_XASIN:
    case F_XACOS:
    case F_XASINH:
    case F_XACOSH: {
        // XARCCOS is built on XARCSIN and shares its regions.
        if (m > 1e150)
            return "huge: |z| > 1e150 (z^2 beyond the double range)";
        // The log1p form takes over below |z| = 1/16.
        if (m < 0.0625 && in.f != F_XACOSH)
            return "small: |z| < 1/16";
        bool upper = in.f == F_XASIN || in.f == F_XACOS;
        bool cancelling = upper ? !std::signbit(y) : std::signbit(x);
        // On a cut (a zero part) the sign of that zero and the branch of the
        // square root decide which side cancels.
        if ((x == 0 || y == 0) && m > 1)
            return "cut: a zero part, |z| > 1";
        if (cancelling && m >= 1e4)
            return upper ? "upper-large: Im z >= 0, |z| >= 1e4" : "left-large: Re z <= 0, |z| >= 1e4";
        if (cancelling)
            return upper ? "upper: Im z >= 0 (iz + s cancels), |z| < 1e4" : "left: Re z <= 0 (z + s cancels), |z| < 1e4";
        break;
    }
    default:
        break;
    }
    *named = false;
    return "elsewhere";
}
