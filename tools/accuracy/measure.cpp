#include "measure.h"

#include <cmath>

static const double smallest_subnormal = 0x1p-1074;

double error_bound(double kappa)
{
    double b = kappa * 1e-15;
    return b > 1e-12 ? b : 1e-12; // a NaN condition keeps the strict bound
}

static bool finite_d(double v) { return std::isfinite(v); }

// |t| compared with (1 + scale) times the overflow threshold 2^1024 - 2^970,
// from where values round to infinity.
static int cmp_overflow(const mpfr_t t, double scale)
{
    mpfr_t m;
    mpfr_init2(m, 64);
    mpfr_set_ui_2exp(m, 1, 1024, MPFR_RNDN);
    mpfr_sub_d(m, m, 0x1p970, MPFR_RNDN);
    mpfr_mul_d(m, m, 1 + scale, MPFR_RNDN);
    int c = mpfr_cmpabs(t, m);
    mpfr_clear(m);
    return c;
}

// The S part of a pair kernel on its own: its relative error and bound, or
// -1 where its true value is 0 (the whole result holds it then).
static double part_error(const Input &in, const Value &got, const Truth &t, double *bound, double *ratio)
{
    int s = s_part(in.f);
    const mpfr_ptr tp = (mpfr_ptr)(s == 0 ? t.re : t.im);
    if (s < 0 || mpfr_zero_p(tp))
        return -1;
    mpfr_t d;
    mpfr_init2(d, reference_bits + 64);
    mpfr_sub_d(d, tp, s == 0 ? got.re : got.im, MPFR_RNDN);
    mpfr_div(d, d, tp, MPFR_RNDN);
    double e = std::fabs(mpfr_get_d(d, MPFR_RNDN));
    mpfr_set_d(d, smallest_subnormal, MPFR_RNDN);
    mpfr_div(d, d, tp, MPFR_RNDN);
    double slack = std::fabs(mpfr_get_d(d, MPFR_RNDN));
    mpfr_clear(d);
    *bound = t.plain ? 1e-12 : error_bound(t.kappa_s);
    *ratio = e / (*bound + slack);
    return e;
}

Verdict judge(const Input &in, const Value &got, const Truth &t)
{
    Verdict v = {O_OK, false, false, 0, t.plain ? 1e-12 : error_bound(t.kappa), -1, 0, 0, nullptr};
    bool cplx = is_complex(in.f);
    double g[2] = {got.re, cplx ? got.im : 0};
    const mpfr_ptr tp[2] = {(mpfr_ptr)t.re, (mpfr_ptr)t.im};
    if (t.undefined) {
        if (finite_d(g[0]) && finite_d(g[1])) {
            v.outcome = O_HARD;
            v.hard = "a finite value where the function has none";
        }
        return v;
    }
    bool overflow = false;
    for (int p = 0; p < 2; p++) {
        bool t_over = cmp_overflow(tp[p], 0) >= 0;
        if (t_over) {
            overflow = true;
            if (finite_d(g[p]) && cmp_overflow(tp[p], v.bound) >= 0) {
                v.outcome = O_HARD;
                v.hard = "a finite value where the true value overflows";
            }
        } else if (!finite_d(g[p])) {
            if (std::isinf(g[p]) && cmp_overflow(tp[p], -v.bound) >= 0) {
                overflow = true; // within the bound of the threshold
            } else {
                v.outcome = O_HARD;
                v.hard = std::isnan(g[p]) ? "NaN where the true value is finite"
                                          : "an infinity where the true value is finite";
                v.e = v.ratio = INFINITY;
                return v;
            }
        }
    }
    if (overflow)
        return v;

    mpfr_t d[2], dist, mod;
    mpfr_inits2(reference_bits + 64, d[0], d[1], dist, mod, (mpfr_ptr)0);
    for (int p = 0; p < 2; p++)
        mpfr_sub_d(d[p], tp[p], g[p], MPFR_RNDN);
    mpfr_hypot(dist, d[0], d[1], MPFR_RNDN);
    mpfr_hypot(mod, tp[0], tp[1], MPFR_RNDN);
    v.measured = true;
    // The subnormal spacing relative to the true value (which may lie far below it).
    mpfr_t slack_q;
    mpfr_init2(slack_q, 64);
    mpfr_set_d(slack_q, smallest_subnormal, MPFR_RNDN);
    mpfr_div(slack_q, slack_q, mod, MPFR_RNDN);
    double slack = mpfr_zero_p(mod) ? 0 : mpfr_get_d(slack_q, MPFR_RNDN);
    bool representable = mpfr_cmp_d(mod, smallest_subnormal) >= 0;
    v.subnormal = mpfr_cmp_d(mod, 0x1p-1022) < 0;
    mpfr_clear(slack_q);
    if (mpfr_zero_p(mod)) {
        v.e = mpfr_zero_p(dist) ? 0 : INFINITY;
    } else {
        // At a huge argument, absolute in units of the size t.scale where the
        // value falls below 1e-3 of it.
        if (t.scale > 0 && mpfr_cmp_d(mod, 1e-3 * t.scale) < 0)
            mpfr_set_d(mod, 1e-3 * t.scale, MPFR_RNDN);
        mpfr_div(dist, dist, mod, MPFR_RNDN);
        v.e = mpfr_get_d(dist, MPFR_RNDN);
    }
    bool zero = g[0] == 0 && g[1] == 0 && representable;
    v.ratio = v.e / (v.bound + slack);
    double ratio_s = 0;
    v.e_s = part_error(in, got, t, &v.bound_s, &ratio_s);
    if (v.e_s >= 0 && ratio_s > v.ratio)
        v.ratio = ratio_s;
    mpfr_clears(d[0], d[1], dist, mod, (mpfr_ptr)0);
    if (zero) {
        v.outcome = O_HARD;
        v.hard = "0 where the true value is not";
    } else if (v.ratio > 1) {
        v.outcome = O_OVER;
    }
    return v;
}

static int rank(const Verdict &v) { return v.outcome == O_OK ? 0 : v.outcome == O_OVER ? 1 : 2; }

Verdict judge_input(const Input &in, const Value &got, Truth *t, Truth *other)
{
    compute_truth(in, false, t);
    Verdict v = judge(in, got, *t);
    if (!has_zero_part(in))
        return v;
    compute_truth(in, true, other);
    Verdict w = judge(in, got, *other);
    if (rank(w) < rank(v) || (rank(w) == rank(v) && w.e < v.e))
        return w;
    return v;
}

// Per part: 0 when the result equals the rounded truth (matching infinities,
// or a NaN where the function has no value), infinite when one of the two is
// not finite, otherwise the difference. Ordered by the count of infinite parts
// first, then by the modulus of the finite differences (held exactly).
static int distance(const Value &a, const Truth &t, mpfr_t sum)
{
    int infinite = 0;
    double parts[2] = {a.re, a.im};
    const mpfr_ptr tp[2] = {(mpfr_ptr)t.re, (mpfr_ptr)t.im};
    mpfr_t diff;
    mpfr_init2(diff, 2 * (reference_bits + 64));
    mpfr_set_zero(sum, 1);
    for (int p = 0; p < 2; p++) {
        double rounded = mpfr_get_d(tp[p], MPFR_RNDN);
        if (t.undefined) {
            infinite += !std::isnan(parts[p]);
        } else if (finite_d(parts[p]) && finite_d(rounded)) {
            mpfr_sub_d(diff, tp[p], parts[p], MPFR_RNDN);
            mpfr_sqr(diff, diff, MPFR_RNDN);
            mpfr_add(sum, sum, diff, MPFR_RNDN);
        } else if (parts[p] != rounded) {
            infinite++;
        }
    }
    mpfr_clear(diff);
    return infinite;
}

// Where the moduli of the differences tie (a part far below the other changed,
// and the sum of squares cannot tell), each part is compared on its own: a
// result is closer when one part is closer and neither is farther. Of two
// zeros, the one with the sign of the true value is the closer.
static int compare_parts(const Value &a, const Value &b, const Truth &t)
{
    double pa[2] = {a.re, a.im}, pb[2] = {b.re, b.im};
    const mpfr_ptr tp[2] = {(mpfr_ptr)t.re, (mpfr_ptr)t.im};
    mpfr_t da, db; // exact: wide enough for any double against the reference
    mpfr_inits2(reference_bits + 2200, da, db, (mpfr_ptr)0);
    int closer = 0, farther = 0;
    for (int p = 0; p < 2; p++) {
        if (!finite_d(pa[p]) || !finite_d(pb[p]))
            continue;
        mpfr_sub_d(da, tp[p], pa[p], MPFR_RNDN);
        mpfr_sub_d(db, tp[p], pb[p], MPFR_RNDN);
        int c = mpfr_cmpabs(da, db);
        if (c == 0 && pa[p] == 0 && pb[p] == 0 && std::signbit(pa[p]) != std::signbit(pb[p]))
            c = std::signbit(pa[p]) == (mpfr_signbit(tp[p]) != 0) ? -1 : 1;
        closer += c < 0;
        farther += c > 0;
    }
    mpfr_clears(da, db, (mpfr_ptr)0);
    return closer && !farther ? -1 : farther && !closer ? 1 : 0;
}

int compare_closeness(const Value &a, const Value &b, const Truth &t)
{
    mpfr_t sa, sb;
    mpfr_inits2(2 * (reference_bits + 64), sa, sb, (mpfr_ptr)0);
    int ia = distance(a, t, sa), ib = distance(b, t, sb);
    int c = ia != ib ? (ia < ib ? -1 : 1) : mpfr_cmp(sa, sb);
    mpfr_clears(sa, sb, (mpfr_ptr)0);
    if (c == 0 && !t.undefined)
        c = compare_parts(a, b, t);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}
