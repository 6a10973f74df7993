// Each complex kernel is compared with the principal value of its function
// (MPC, correctly rounded at 200 bits per part), except xacosh, which for a
// negative real part (sign bit set) gives the negative of the principal value.
// xpow10 is exp(z ln 10) with ln 10 at 256 bits; xlogy is log z1 / log z2;
// xpow10 and xpow at a huge angle take it as formed (reference.h).
#include "reference.h"

#include <mpc.h>

#include "large_order.h"

#include <cmath>

// Bits for condition numbers and allowances: they need a few digits only.
static const mpfr_prec_t rough_bits = 64;

void reference_setup()
{
    mpfr_set_emax(mpfr_get_emax_max());
    mpfr_set_emin(mpfr_get_emin_min());
}

void truth_init(Truth *t)
{
    mpfr_init2(t->re, reference_bits);
    mpfr_init2(t->im, reference_bits);
    t->undefined = false;
    t->kappa = 0;
    t->kappa_s = 0;
    t->plain = false;
    t->scale = 0;
}

void truth_clear(Truth *t)
{
    mpfr_clear(t->re);
    mpfr_clear(t->im);
}

bool has_zero_part(const Input &in)
{
    int parts = func_info[in.f].kind == K_COMPLEX2 ? 4 : func_info[in.f].kind == K_COMPLEX ? 2 : 0;
    for (int i = 0; i < parts; i++)
        if (in.a[i] == 0)
            return true;
    return false;
}

static double to_double(const mpfr_t v)
{
    return mpfr_get_d(v, MPFR_RNDN);
}

static double modulus(const mpc_t v)
{
    mpfr_t m;
    mpfr_init2(m, rough_bits);
    mpc_abs(m, v, MPFR_RNDN);
    double d = to_double(m);
    mpfr_clear(m);
    return d;
}

// Jn and Yn at |n| >= 0 and x, with the condition number with respect to x:
// x C'n/Cn = x Cn-1/Cn - n (for n = 0, -x C1/C0). MPFR's yn is slow for large
// orders at moderate x, so Yn comes from Y0 and Y1 by the forward recurrence,
// which is stable for the second kind (Yn is the dominant solution), at 320 bits.
// From order 10^4 on (x finite, not zero; x > 0 for Yn) see large_order.cpp.
static void bessel_truth(bool first_kind, long n, double x, Truth *t)
{
    if (n >= large_order_from && std::isfinite(x) && (first_kind ? x != 0 : x > 0)) {
        large_order_value(first_kind, n, std::fabs(x), t->re, &t->kappa);
        if (x < 0 && (n & 1))
            mpfr_neg(t->re, t->re, MPFR_RNDN);
        return;
    }
    mpfr_t xv, below, at;
    mpfr_init2(xv, 64);
    mpfr_inits2(320, below, at, (mpfr_ptr)0);
    mpfr_set_d(xv, x, MPFR_RNDN);
    if (first_kind) {
        mpfr_jn(t->re, n, xv, MPFR_RNDN);
        // Cn-1 at |x| (one more evaluation) and Cn at |x| from the value:
        // Jn(-x) = (-1)^n Jn(x).
        mpfr_abs(xv, xv, MPFR_RNDN);
        mpfr_set_prec(below, 128);
        mpfr_jn(below, n == 0 ? 1 : n - 1, xv, MPFR_RNDN);
        mpfr_set(at, t->re, MPFR_RNDN);
        if (x < 0 && (n & 1))
            mpfr_neg(at, at, MPFR_RNDN);
    } else if (!(x > 0) || n < 2) {
        mpfr_yn(t->re, n, xv, MPFR_RNDN);
        mpfr_yn(below, n == 0 ? 1 : 0, xv, MPFR_RNDN);
        mpfr_set(at, t->re, MPFR_RNDN);
    } else {
        mpfr_t next, step;
        mpfr_inits2(320, next, step, (mpfr_ptr)0);
        mpfr_y0(below, xv, MPFR_RNDN);
        mpfr_y1(at, xv, MPFR_RNDN);
        for (long k = 1; k < n; k++) {
            mpfr_mul_si(step, at, 2 * k, MPFR_RNDN);
            mpfr_div(step, step, xv, MPFR_RNDN);
            mpfr_sub(next, step, below, MPFR_RNDN);
            mpfr_swap(below, at);
            mpfr_swap(at, next);
        }
        mpfr_set(t->re, at, MPFR_RNDN);
        mpfr_clears(next, step, (mpfr_ptr)0);
    }
    mpfr_mul(below, below, xv, MPFR_RNDN);
    mpfr_div(below, below, at, MPFR_RNDN);
    if (n != 0)
        mpfr_sub_si(below, below, n, MPFR_RNDN);
    t->kappa = std::fabs(to_double(below));
    mpfr_clears(xv, below, at, (mpfr_ptr)0);
}

static void real_truth(const Input &in, Truth *t)
{
    mpfr_set_zero(t->im, 1);
    if (in.f == F_GAMMA) {
        mpfr_t x, psi;
        mpfr_init2(x, 64);
        mpfr_init2(psi, rough_bits);
        mpfr_set_d(x, in.a[0], MPFR_RNDN);
        mpfr_gamma(t->re, x, MPFR_RNDN);
        mpfr_digamma(psi, x, MPFR_RNDN);
        mpfr_mul(psi, psi, x, MPFR_RNDN);
        t->kappa = std::fabs(to_double(psi));
        mpfr_clears(x, psi, (mpfr_ptr)0);
    } else {
        // MPFR takes a slow path for negative orders: C-n = (-1)^n Cn.
        long n = in.n < 0 ? -(long)in.n : in.n;
        bessel_truth(in.f == F_JN, n, in.a[0], t);
        if (in.n < 0 && (n & 1))
            mpfr_neg(t->re, t->re, MPFR_RNDN);
    }
    t->undefined = mpfr_nan_p(t->re);
}

// tan z, or tanh z = -i tan(iz) with hyperbolic set. MPC's tan raises its
// working precision with the imaginary part, beyond use at 1e300, so far from
// the real axis (|b| > 64, b the part that feeds the hyperbolic functions)
// the quotients are taken with q = e^(-2|b|), without cancellation:
//   tan(a + ib) = (2q sin 2a + i sgn(b)(1 - q^2)) / (1 + 2q cos 2a + q^2).
static void tan_value(mpc_t w, const mpc_t z, bool hyperbolic)
{
    mpfr_srcptr a = hyperbolic ? mpc_imagref(z) : mpc_realref(z);
    mpfr_srcptr b = hyperbolic ? mpc_realref(z) : mpc_imagref(z);
    if (mpfr_cmpabs_ui(b, 64) <= 0) {
        if (hyperbolic)
            mpc_tanh(w, z, MPC_RNDNN);
        else
            mpc_tan(w, z, MPC_RNDNN);
        return;
    }
    mpfr_t q, s, c, den, twice;
    mpfr_inits2(mpc_get_prec(w) + 32, q, s, c, den, twice, (mpfr_ptr)0);
    mpfr_abs(q, b, MPFR_RNDN);
    mpfr_mul_si(q, q, -2, MPFR_RNDN);
    mpfr_exp(q, q, MPFR_RNDN);
    mpfr_mul_2ui(twice, a, 1, MPFR_RNDN);
    mpfr_sin_cos(s, c, twice, MPFR_RNDN);
    mpfr_mul(c, c, q, MPFR_RNDN);
    mpfr_mul_2ui(c, c, 1, MPFR_RNDN);
    mpfr_sqr(den, q, MPFR_RNDN);
    mpfr_add(den, den, c, MPFR_RNDN);
    mpfr_add_ui(den, den, 1, MPFR_RNDN);
    mpfr_mul(s, s, q, MPFR_RNDN);
    mpfr_mul_2ui(s, s, 1, MPFR_RNDN);
    mpfr_div(s, s, den, MPFR_RNDN); // the part along a
    mpfr_sqr(q, q, MPFR_RNDN);
    mpfr_ui_sub(q, 1, q, MPFR_RNDN);
    mpfr_div(q, q, den, MPFR_RNDN); // the part along b, +-1 nearly
    if (mpfr_signbit(b))
        mpfr_neg(q, q, MPFR_RNDN);
    mpfr_set(hyperbolic ? mpc_imagref(w) : mpc_realref(w), s, MPFR_RNDN);
    mpfr_set(hyperbolic ? mpc_realref(w) : mpc_imagref(w), q, MPFR_RNDN);
    mpfr_clears(q, s, c, den, twice, (mpfr_ptr)0);
}

// w = f(z) at the precision of w.
static void kernel_value(Func f, mpc_t w, const mpc_t z, const mpc_t z2)
{
    const mpc_rnd_t rnd = MPC_RNDNN;
    switch (f) {
    case F_XEXP: mpc_exp(w, z, rnd); break;
    case F_XPOW10: {
        mpfr_t ln10;
        mpc_t t;
        mpfr_init2(ln10, 256);
        mpc_init2(t, 256);
        mpfr_set_ui(ln10, 10, MPFR_RNDN);
        mpfr_log(ln10, ln10, MPFR_RNDN);
        mpc_mul_fr(t, z, ln10, rnd);
        mpc_exp(w, t, rnd);
        mpc_clear(t);
        mpfr_clear(ln10);
        break;
    }
    case F_XLOG: mpc_log(w, z, rnd); break;
    case F_XLOG10: mpc_log10(w, z, rnd); break;
    case F_XSQRT: mpc_sqrt(w, z, rnd); break;
    case F_XSIN: mpc_sin(w, z, rnd); break;
    case F_XCOS: mpc_cos(w, z, rnd); break;
    case F_XTAN: tan_value(w, z, false); break;
    case F_XSINH: mpc_sinh(w, z, rnd); break;
    case F_XCOSH: mpc_cosh(w, z, rnd); break;
    case F_XTANH: tan_value(w, z, true); break;
    case F_XASIN: mpc_asin(w, z, rnd); break;
    case F_XACOS: mpc_acos(w, z, rnd); break;
    case F_XATAN: mpc_atan(w, z, rnd); break;
    case F_XASINH: mpc_asinh(w, z, rnd); break;
    case F_XACOSH:
        mpc_acosh(w, z, rnd);
        if (mpfr_signbit(mpc_realref(z)))
            mpc_neg(w, w, rnd);
        break;
    case F_XATANH: mpc_atanh(w, z, rnd); break;
    case F_XPOW: mpc_pow(w, z, z2, rnd); break;
    case F_XLOGY: {
        mpc_t l1, l2;
        mpc_init2(l1, mpc_get_prec(w) + 20);
        mpc_init2(l2, mpc_get_prec(w) + 20);
        mpc_log(l1, z, rnd);
        mpc_log(l2, z2, rnd);
        mpc_div(w, l1, l2, rnd);
        mpc_clear(l1);
        mpc_clear(l2);
        break;
    }
    default: break;
    }
}

// |z f'(z)/f(z)| from the derivative's closed form; w = f(z).
static double complex_kappa(Func f, const mpc_t z, const mpc_t z2, const mpc_t w)
{
    const mpc_rnd_t rnd = MPC_RNDNN;
    mpc_t a, b, one;
    mpc_init2(a, rough_bits);
    mpc_init2(b, rough_bits);
    mpc_init2(one, rough_bits);
    mpc_set_ui(one, 1, rnd);
    double k = NAN;
    switch (f) {
    case F_XEXP: k = modulus(z); break;
    case F_XPOW10: k = modulus(z) * 2.302585092994046; break;
    case F_XLOG: k = 1 / modulus(w); break;
    case F_XLOG10: k = 1 / (modulus(w) * 2.302585092994046); break;
    case F_XSQRT: k = 0.5; break;
    case F_XSIN:
    case F_XCOS:
    case F_XSINH:
    case F_XCOSH:
        // z cot z, z tan z, z coth z, z tanh z
        if (f == F_XSIN) mpc_cos(a, z, rnd);
        if (f == F_XCOS) mpc_sin(a, z, rnd);
        if (f == F_XSINH) mpc_cosh(a, z, rnd);
        if (f == F_XCOSH) mpc_sinh(a, z, rnd);
        mpc_mul(a, a, z, rnd);
        mpc_div(a, a, w, rnd);
        k = modulus(a);
        if (std::isnan(k)) // both overflow: the quotient tends to +-i
            k = modulus(z);
        break;
    case F_XTAN:
    case F_XTANH:
        // 2z / sin 2z and 2z / sinh 2z; far from the axis below 4|z| e^(-128).
        if (mpfr_cmpabs_ui(f == F_XTAN ? mpc_imagref(z) : mpc_realref(z), 64) > 0) {
            k = 0;
            break;
        }
        mpc_mul_ui(b, z, 2, rnd);
        if (f == F_XTAN)
            mpc_sin(a, b, rnd);
        else
            mpc_sinh(a, b, rnd);
        mpc_div(a, b, a, rnd);
        k = modulus(a);
        break;
    case F_XASIN:
    case F_XACOS:
    case F_XASINH:
        // z / (sqrt(1 -+ z^2) f)
        mpc_sqr(a, z, rnd);
        if (f == F_XASINH)
            mpc_add(a, one, a, rnd);
        else
            mpc_sub(a, one, a, rnd);
        mpc_sqrt(a, a, rnd);
        mpc_mul(a, a, w, rnd);
        mpc_div(a, z, a, rnd);
        k = modulus(a);
        break;
    case F_XACOSH:
        // z / (sqrt(z - 1) sqrt(z + 1) f)
        mpc_sub(a, z, one, rnd);
        mpc_sqrt(a, a, rnd);
        mpc_add(b, z, one, rnd);
        mpc_sqrt(b, b, rnd);
        mpc_mul(a, a, b, rnd);
        mpc_mul(a, a, w, rnd);
        mpc_div(a, z, a, rnd);
        k = modulus(a);
        break;
    case F_XATAN:
    case F_XATANH:
        // z / ((1 +- z^2) f)
        mpc_sqr(a, z, rnd);
        if (f == F_XATAN)
            mpc_add(a, one, a, rnd);
        else
            mpc_sub(a, one, a, rnd);
        mpc_mul(a, a, w, rnd);
        mpc_div(a, z, a, rnd);
        k = modulus(a);
        break;
    case F_XPOW:
        // d/dz1: z2; d/dz2: z2 log z1
        mpc_log(a, z, rnd);
        mpc_mul(a, a, z2, rnd);
        k = std::fmax(modulus(z2), modulus(a));
        break;
    case F_XLOGY:
        // d/dz1: 1/log z1; d/dz2: 1/log z2 (relative to log z1 / log z2)
        mpc_log(a, z, rnd);
        mpc_log(b, z2, rnd);
        k = std::fmax(1 / modulus(a), 1 / modulus(b));
        break;
    default: break;
    }
    mpc_clear(a);
    mpc_clear(b);
    mpc_clear(one);
    return k;
}

// The condition number of the part that carries S in a pair kernel, the sum
// of the relative partial ones, with (a, b) the arguments of the circular
// and the hyperbolic functions:
//   XSIN cos a sinh b:   |a tan a| + |b coth b|   (XCOS -sin a sinh b: |a cot a| + ...)
//   XSINH sinh b cos a:  the same with (a, b) = (y, x)  (XCOSH: cot)
//   XTAN sinh 2b / D, D = cosh 2b + cos 2a:  |2a sin 2a / D| + |2b (coth 2b - sinh 2b / D)|
// Far from the axis (|b| > 64) the tan part is +-1 to far below the last bit: 0.
static double part_kappa(Func f, double x, double y)
{
    if (s_part(f) < 0)
        return 0;
    bool circular = f == F_XSIN || f == F_XCOS || f == F_XTAN;
    double a = circular ? x : y, b = circular ? y : x;
    mpfr_t u, v, w;
    mpfr_inits2(rough_bits, u, v, w, (mpfr_ptr)0);
    double k;
    if (f == F_XTAN || f == F_XTANH) {
        if (std::fabs(b) > 64) {
            mpfr_clears(u, v, w, (mpfr_ptr)0);
            return 0;
        }
        mpfr_set_d(u, a, MPFR_RNDN);
        mpfr_mul_2ui(u, u, 1, MPFR_RNDN); // 2a
        mpfr_set_d(v, b, MPFR_RNDN);
        mpfr_mul_2ui(v, v, 1, MPFR_RNDN); // 2b
        mpfr_cos(w, u, MPFR_RNDN);
        mpfr_t d, t;
        mpfr_inits2(rough_bits, d, t, (mpfr_ptr)0);
        mpfr_cosh(d, v, MPFR_RNDN);
        mpfr_add(d, d, w, MPFR_RNDN);    // D
        mpfr_sin(w, u, MPFR_RNDN);
        mpfr_mul(w, w, u, MPFR_RNDN);
        mpfr_div(w, w, d, MPFR_RNDN);    // 2a sin 2a / D
        k = std::fabs(mpfr_get_d(w, MPFR_RNDN));
        mpfr_coth(w, v, MPFR_RNDN);
        mpfr_sinh(t, v, MPFR_RNDN);
        mpfr_div(t, t, d, MPFR_RNDN);
        mpfr_sub(w, w, t, MPFR_RNDN);
        mpfr_mul(w, w, v, MPFR_RNDN);
        k += std::fabs(mpfr_get_d(w, MPFR_RNDN));
        mpfr_clears(d, t, (mpfr_ptr)0);
    } else {
        // sin or cos carries the circular argument: a tan a or a cot a.
        bool cosine = f == F_XSIN || f == F_XSINH;
        mpfr_set_d(u, a, MPFR_RNDN);
        if (cosine)
            mpfr_tan(w, u, MPFR_RNDN);
        else
            mpfr_cot(w, u, MPFR_RNDN);
        mpfr_mul(w, w, u, MPFR_RNDN);
        k = std::fabs(mpfr_get_d(w, MPFR_RNDN));
        mpfr_set_d(v, b, MPFR_RNDN);
        mpfr_coth(w, v, MPFR_RNDN);
        mpfr_mul(w, w, v, MPFR_RNDN);
        k += std::fabs(mpfr_get_d(w, MPFR_RNDN));
    }
    mpfr_clears(u, v, w, (mpfr_ptr)0);
    return std::isnan(k) ? 0 : k;
}

// xpow10 and xpow at a huge angle: the true modulus, 10^x or e^(-y2 arg z1)
// (|z1| = 1), at the angle as formed.
static void formed_value(const Input &in, const double *a, Truth *t)
{
    mpfr_t m, b, c;
    mpfr_inits2(reference_bits + 64, m, b, c, (mpfr_ptr)0);
    if (in.f == F_XPOW10) {
        mpfr_set_ui(m, 10, MPFR_RNDN);
        mpfr_log(m, m, MPFR_RNDN);
        mpfr_mul_d(m, m, a[0], MPFR_RNDN);
    } else {
        mpfr_set_d(b, a[1], MPFR_RNDN);
        mpfr_set_d(c, a[0], MPFR_RNDN);
        mpfr_atan2(m, b, c, MPFR_RNDN);
        mpfr_mul_d(m, m, -a[3], MPFR_RNDN);
    }
    mpfr_exp(m, m, MPFR_RNDN);
    Input at = in;
    for (int i = 0; i < 4; i++)
        at.a[i] = a[i];
    mpfr_set_ld(b, formed_angle(at), MPFR_RNDN);
    mpfr_sin_cos(t->im, t->re, b, MPFR_RNDN);
    mpfr_mul(t->re, t->re, m, MPFR_RNDN);
    mpfr_mul(t->im, t->im, m, MPFR_RNDN);
    mpfr_clears(m, b, c, (mpfr_ptr)0);
}

void compute_truth(const Input &in, bool flip, Truth *t)
{
    t->undefined = false;
    t->kappa = NAN;
    t->kappa_s = 0;
    t->plain = huge_argument(in);
    t->scale = 0;
    if (!is_complex(in.f)) {
        real_truth(in, t);
        if (t->plain) // the amplitude of the large-argument form
            t->scale = std::sqrt(2 / (3.141592653589793 * std::fabs(in.a[0])));
        return;
    }
    double a[4] = {in.a[0], in.a[1], in.a[2], in.a[3]};
    if (flip)
        for (double &v : a)
            if (v == 0)
                v = -v;
    mpc_t z, z2, w;
    mpc_init2(z, 64);
    mpc_init2(z2, 64);
    mpc_init2(w, reference_bits);
    mpc_set_d_d(z, a[0], a[1], MPC_RNDNN);
    mpc_set_d_d(z2, a[2], a[3], MPC_RNDNN);
    bool formed = t->plain && (in.f == F_XPOW10 || in.f == F_XPOW);
    if (!formed)
        kernel_value(in.f, w, z, z2);
    else
        formed_value(in, a, t);
    if (!formed) {
        mpfr_set(t->re, mpc_realref(w), MPFR_RNDN);
        mpfr_set(t->im, mpc_imagref(w), MPFR_RNDN);
        t->kappa = complex_kappa(in.f, z, z2, w);
    } else {
        t->kappa = 0; // not used: the plain target
    }
    t->undefined = mpfr_nan_p(t->re) || mpfr_nan_p(t->im);
    t->kappa_s = part_kappa(in.f, a[0], a[1]);
    mpc_clear(z);
    mpc_clear(z2);
    mpc_clear(w);
}
