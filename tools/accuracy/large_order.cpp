// Jn and Yn of large order n, by two methods that do not share their
// weaknesses:
//
// - Away from x = n, Debye's expansions (DLMF 10.19.3, 10.19.6) summed until
//   a term falls below 2^-(bits + 16): the polynomials u_k(p) come from their
//   recurrence (DLMF 10.41.10) in exact rational arithmetic (GMP), and the
//   phase w - n arcsec(x/n) (or the exponent n atanh(v/n) - v) is taken
//   directly at a precision that covers the integer part of x.
// - Within band n^(1/3) of n, where the expansions stop converging that far,
//   Taylor steps of Bessel's equation x^2 y'' + x y' + (x^2 - n^2) y = 0 from
//   the edge of the band, started from Debye's values of C(n) and C(n-1) there.
//   Jn is taken from the lower edge while x < n (it grows towards n, so the
//   steps are stable), Yn always from the upper edge (it grows as x falls).
//
// The tests check both against MPFR's jn and yn at n = 10^4 and against each
// other across the edges of the band.
#include "large_order.h"

#include <gmp.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

static const mpfr_prec_t bits = 224;    // beyond the integer part of x
static const double default_band = 30; // |x - n| < band n^(1/3): the steps; a = 37.8 at the edge
static const int max_terms = 120;

// ---- Debye's polynomials: u_k(p) = sum_j c[k][j] p^(k+2j)

struct Polynomials {
    std::vector<std::vector<mpfr_ptr>> c; // c[k][j] at 1024 bits, from the exact values
};

static Polynomials *polynomials()
{
    static Polynomials *all = nullptr;
    if (all)
        return all;
    all = new Polynomials;
    // Exact u_k as coefficients of p^e, e = 0 ... 3k, by
    // u_(k+1) = p^2 (1 - p^2) u_k'/2 + (1/8) int_0^p (1 - 5t^2) u_k(t) dt.
    std::vector<mpq_t *> exact;
    mpq_t t, r;
    mpq_inits(t, r, (mpq_ptr)0);
    for (int k = 0; k <= max_terms; k++) {
        int top = 3 * k;
        mpq_t *u = new mpq_t[top + 1];
        for (int e = 0; e <= top; e++)
            mpq_init(u[e]);
        if (k == 0) {
            mpq_set_ui(u[0], 1, 1);
        } else {
            mpq_t *prev = exact[k - 1];
            for (int e = 0; e <= top - 3; e++) {
                if (!mpq_sgn(prev[e]))
                    continue;
                if (e) { // e c p^(e-1) times p^2 (1 - p^2)/2
                    mpq_set_si(r, e, 2);
                    mpq_mul(t, prev[e], r);
                    mpq_add(u[e + 1], u[e + 1], t);
                    mpq_sub(u[e + 3], u[e + 3], t);
                }
                mpq_set_si(r, 1, 8 * (e + 1)); // c p^(e+1)/(8(e+1))
                mpq_mul(t, prev[e], r);
                mpq_add(u[e + 1], u[e + 1], t);
                mpq_set_si(r, 5, 8 * (e + 3)); // -5 c p^(e+3)/(8(e+3))
                mpq_mul(t, prev[e], r);
                mpq_sub(u[e + 3], u[e + 3], t);
            }
        }
        exact.push_back(u);
        std::vector<mpfr_ptr> row;
        for (int j = 0; j <= k; j++) {
            mpfr_ptr v = new __mpfr_struct;
            mpfr_init2(v, 1024);
            mpfr_set_q(v, u[k + 2 * j], MPFR_RNDN);
            row.push_back(v);
        }
        all->c.push_back(row);
    }
    for (int k = 0; k <= max_terms; k++) {
        for (int e = 0; e <= 3 * k; e++)
            mpq_clear(exact[k][e]);
        delete[] exact[k];
    }
    mpq_clears(t, r, (mpq_ptr)0);
    return all;
}

// Precision for x: the integer part of x and bits beyond it.
static mpfr_prec_t precision_for(double x)
{
    int e = 0;
    std::frexp(x, &e);
    return bits + (e > 0 ? e : 0) + 64;
}

// Debye's expansion of C(m) at x (|x - m| large against m^(1/3)). Returns
// false where the terms stop falling before they reach the precision.
static bool debye(bool first_kind, long m, const mpfr_t x, mpfr_t out)
{
    mpfr_prec_t p = mpfr_get_prec(out);
    Polynomials *poly = polynomials();
    mpfr_t mm, d, s, v, y, h, hk, term, sum, alt, acc, e, f;
    mpfr_inits2(p, mm, d, s, v, y, h, hk, term, sum, alt, acc, e, f, (mpfr_ptr)0);
    mpfr_set_si(mm, m, MPFR_RNDN);
    mpfr_sub(d, mm, x, MPFR_RNDN);
    mpfr_add(s, mm, x, MPFR_RNDN);
    bool below = mpfr_sgn(d) > 0;
    // v = sqrt|m^2 - x^2|: Debye's m tanh(alpha) below m, m tan(beta) above it.
    mpfr_mul(v, d, s, MPFR_RNDN);
    mpfr_abs(v, v, MPFR_RNDN);
    mpfr_sqrt(v, v, MPFR_RNDN);
    // Terms h^k U_k(y), h = 1/v: y = p^2 = m^2/v^2 below, -m^2/v^2 above.
    mpfr_div(y, mm, v, MPFR_RNDN);
    mpfr_sqr(y, y, MPFR_RNDN);
    if (!below)
        mpfr_neg(y, y, MPFR_RNDN);
    mpfr_ui_div(h, 1, v, MPFR_RNDN);
    mpfr_set_ui(hk, 1, MPFR_RNDN);
    mpfr_set_zero(sum, 1); // below: sum of the terms; above: P
    mpfr_set_zero(alt, 1); // below: alternating sum; above: Q
    bool converged = false;
    for (int k = 0; k < max_terms; k++) {
        const std::vector<mpfr_ptr> &c = poly->c[k];
        mpfr_set(term, c[k], MPFR_RNDN);
        for (int j = k - 1; j >= 0; j--)
            mpfr_fma(term, term, y, c[j], MPFR_RNDN);
        mpfr_mul(term, term, hk, MPFR_RNDN);
        if (below) {
            mpfr_add(sum, sum, term, MPFR_RNDN);
            (k & 1 ? mpfr_sub : mpfr_add)(alt, alt, term, MPFR_RNDN);
        } else if (k & 1) { // i^(k+1) of the odd terms: -, +, -, ...
            ((k & 2) ? mpfr_add : mpfr_sub)(alt, alt, term, MPFR_RNDN);
        } else { // i^k of the even ones: +, -, +, ...
            ((k & 2) ? mpfr_sub : mpfr_add)(sum, sum, term, MPFR_RNDN);
        }
        if (k > 0 && !mpfr_zero_p(term) && mpfr_get_exp(term) < -(mpfr_exp_t)bits - 16) {
            converged = true;
            break;
        }
        if (k > 0 && mpfr_zero_p(term)) {
            converged = true;
            break;
        }
        mpfr_mul(hk, hk, h, MPFR_RNDN);
    }
    if (below) {
        // e = m atanh(v/m) - v; J = e^-e sum / sqrt(2 pi v), Y = -e^e alt / sqrt(pi v/2)
        mpfr_div(e, v, mm, MPFR_RNDN);
        mpfr_atanh(e, e, MPFR_RNDN);
        mpfr_mul(e, e, mm, MPFR_RNDN);
        mpfr_sub(e, e, v, MPFR_RNDN);
        mpfr_const_pi(f, MPFR_RNDN);
        mpfr_mul(f, f, v, MPFR_RNDN);
        if (first_kind) {
            mpfr_mul_2ui(f, f, 1, MPFR_RNDN);
            mpfr_neg(e, e, MPFR_RNDN);
            mpfr_exp(e, e, MPFR_RNDN);
            mpfr_mul(acc, e, sum, MPFR_RNDN);
        } else {
            mpfr_div_2ui(f, f, 1, MPFR_RNDN);
            mpfr_exp(e, e, MPFR_RNDN);
            mpfr_mul(acc, e, alt, MPFR_RNDN);
            mpfr_neg(acc, acc, MPFR_RNDN);
        }
        mpfr_sqrt(f, f, MPFR_RNDN);
        mpfr_div(out, acc, f, MPFR_RNDN);
    } else {
        // xi = v - m arcsec(x/m) - pi/4; J = A (P cos xi - Q sin xi), Y = A (P sin xi + Q cos xi)
        mpfr_atan2(e, v, mm, MPFR_RNDN);
        mpfr_mul(e, e, mm, MPFR_RNDN);
        mpfr_sub(e, v, e, MPFR_RNDN);
        mpfr_const_pi(f, MPFR_RNDN);
        mpfr_div_2ui(f, f, 2, MPFR_RNDN);
        mpfr_sub(e, e, f, MPFR_RNDN);
        mpfr_sin_cos(d, s, e, MPFR_RNDN); // d = sin xi, s = cos xi
        if (first_kind) {
            mpfr_mul(acc, sum, s, MPFR_RNDN);
            mpfr_mul(term, alt, d, MPFR_RNDN);
            mpfr_sub(acc, acc, term, MPFR_RNDN);
        } else {
            mpfr_mul(acc, sum, d, MPFR_RNDN);
            mpfr_mul(term, alt, s, MPFR_RNDN);
            mpfr_add(acc, acc, term, MPFR_RNDN);
        }
        mpfr_const_pi(f, MPFR_RNDN);
        mpfr_mul(f, f, v, MPFR_RNDN);
        mpfr_ui_div(f, 2, f, MPFR_RNDN);
        mpfr_sqrt(f, f, MPFR_RNDN);
        mpfr_mul(out, acc, f, MPFR_RNDN);
    }
    mpfr_clears(mm, d, s, v, y, h, hk, term, sum, alt, acc, e, f, (mpfr_ptr)0);
    return converged;
}

// The state of the steps: y and y' at x.
struct Point {
    mpfr_t x, y, dy;
};

// One Taylor step of Bessel's equation from (X, y, y') to X + h: with
// y(X + h) = sum c_k h^k,
//   X^2 (k+2)(k+1) c(k+2) = -[X (k+1)(2k+1) c(k+1) + (k^2 + X^2 - n^2) c(k)
//                             + 2X c(k-1) + c(k-2)].
static void step(long n, Point *pt, const mpfr_t h)
{
    mpfr_prec_t p = mpfr_get_prec(pt->y);
    mpfr_t c[5], next, t, xx, nn2, hk, y, dy, bound;
    for (mpfr_t &v : c)
        mpfr_init2(v, p);
    mpfr_inits2(p, next, t, xx, nn2, hk, y, dy, bound, (mpfr_ptr)0);
    // c[0] = c(k-2), c[1] = c(k-1), c[2] = c(k), c[3] = c(k+1)
    mpfr_set_zero(c[0], 1);
    mpfr_set_zero(c[1], 1);
    mpfr_set(c[2], pt->y, MPFR_RNDN);
    mpfr_set(c[3], pt->dy, MPFR_RNDN);
    mpfr_sqr(xx, pt->x, MPFR_RNDN);
    mpfr_set_si(nn2, n, MPFR_RNDN);
    mpfr_sqr(nn2, nn2, MPFR_RNDN);
    mpfr_sub(nn2, xx, nn2, MPFR_RNDN); // X^2 - n^2
    // y = c0 + c1 h, y' = c1
    mpfr_mul(y, c[3], h, MPFR_RNDN);
    mpfr_add(y, y, c[2], MPFR_RNDN);
    mpfr_set(dy, c[3], MPFR_RNDN);
    mpfr_set(hk, h, MPFR_RNDN); // h^(k+1)
    // The size of the solution over the step, for the stopping test.
    mpfr_abs(bound, pt->y, MPFR_RNDN);
    mpfr_mul(t, pt->dy, h, MPFR_RNDN);
    mpfr_abs(t, t, MPFR_RNDN);
    mpfr_add(bound, bound, t, MPFR_RNDN);
    mpfr_exp_t limit = mpfr_get_exp(bound) - (mpfr_exp_t)bits - 40;
    int small = 0;
    for (long k = 0; k < 100000 && small < 4; k++) {
        // next = c(k+2)
        mpfr_mul_si(next, c[3], (k + 1) * (2 * k + 1), MPFR_RNDN);
        mpfr_mul(next, next, pt->x, MPFR_RNDN);
        mpfr_add_si(t, nn2, k * k, MPFR_RNDN);
        mpfr_fma(next, t, c[2], next, MPFR_RNDN);
        mpfr_mul(t, c[1], pt->x, MPFR_RNDN);
        mpfr_mul_2ui(t, t, 1, MPFR_RNDN);
        mpfr_add(next, next, t, MPFR_RNDN);
        mpfr_add(next, next, c[0], MPFR_RNDN);
        mpfr_div(next, next, xx, MPFR_RNDN);
        mpfr_div_si(next, next, -(k + 2) * (k + 1), MPFR_RNDN);
        // y' += (k+2) c(k+2) h^(k+1), y += c(k+2) h^(k+2); both measured in
        // units of y (the first times h).
        mpfr_mul(t, next, hk, MPFR_RNDN);
        mpfr_mul_si(t, t, k + 2, MPFR_RNDN);
        mpfr_add(dy, dy, t, MPFR_RNDN);
        bool tiny = mpfr_zero_p(t) || mpfr_get_exp(t) + mpfr_get_exp(h) < limit;
        mpfr_mul(hk, hk, h, MPFR_RNDN);
        mpfr_mul(t, next, hk, MPFR_RNDN);
        mpfr_add(y, y, t, MPFR_RNDN);
        tiny = tiny && (mpfr_zero_p(t) || mpfr_get_exp(t) < limit);
        small = tiny ? small + 1 : 0;
        mpfr_swap(c[0], c[1]);
        mpfr_swap(c[1], c[2]);
        mpfr_swap(c[2], c[3]);
        mpfr_swap(c[3], next);
    }
    mpfr_add(pt->x, pt->x, h, MPFR_RNDN);
    mpfr_set(pt->y, y, MPFR_RNDN);
    mpfr_set(pt->dy, dy, MPFR_RNDN);
    for (mpfr_t &v : c)
        mpfr_clear(v);
    mpfr_clears(next, t, xx, nn2, hk, y, dy, bound, (mpfr_ptr)0);
}

static double cube_root(long n) { return std::cbrt((double)n); }

// Steps from the edge of the band to x; y and y' at x.
static void steps(bool first_kind, long n, double x, double band, Point *pt)
{
    mpfr_prec_t p = mpfr_get_prec(pt->y);
    double width = band * cube_root(n);
    // The edge: below n for Jn at x < n, above it otherwise.
    bool from_below = first_kind && x < n;
    double edge = std::floor(from_below ? n - width : n + width);
    mpfr_t below, h, target, left;
    mpfr_inits2(p, below, h, target, left, (mpfr_ptr)0);
    mpfr_set_d(pt->x, edge, MPFR_RNDN);
    // y' = C(n-1) - (n/x) C(n), both by Debye at the edge.
    if (!debye(first_kind, n, pt->x, pt->y) || !debye(first_kind, n - 1, pt->x, below)) {
        fprintf(stderr, "quorel-accuracy: Debye's expansion did not converge at the edge (n %ld)\n", n);
        abort();
    }
    mpfr_mul_si(h, pt->y, n, MPFR_RNDN);
    mpfr_div(h, h, pt->x, MPFR_RNDN);
    mpfr_sub(pt->dy, below, h, MPFR_RNDN);
    // Steps of at most n^(1/3), the scale on which the solutions change here.
    mpfr_set_d(target, x, MPFR_RNDN);
    double most = cube_root(n);
    for (;;) {
        mpfr_sub(left, target, pt->x, MPFR_RNDN);
        if (mpfr_zero_p(left))
            break;
        if (mpfr_cmpabs_ui(left, (unsigned long)most) > 0)
            mpfr_set_d(h, mpfr_sgn(left) > 0 ? most : -most, MPFR_RNDN);
        else
            mpfr_set(h, left, MPFR_RNDN);
        step(n, pt, h);
    }
    mpfr_clears(below, h, target, left, (mpfr_ptr)0);
}

bool large_order_debye(bool first_kind, long n, double x, mpfr_t value)
{
    mpfr_t xv, v;
    mpfr_init2(xv, 64);
    mpfr_init2(v, precision_for(x));
    mpfr_set_d(xv, x, MPFR_RNDN);
    bool ok = debye(first_kind, n, xv, v);
    mpfr_set(value, v, MPFR_RNDN);
    mpfr_clears(xv, v, (mpfr_ptr)0);
    return ok;
}

void large_order_steps(bool first_kind, long n, double x, double band, mpfr_t value)
{
    Point pt;
    mpfr_inits2(precision_for(x) + 64, pt.x, pt.y, pt.dy, (mpfr_ptr)0);
    steps(first_kind, n, x, band, &pt);
    mpfr_set(value, pt.y, MPFR_RNDN);
    mpfr_clears(pt.x, pt.y, pt.dy, (mpfr_ptr)0);
}

void large_order_value(bool first_kind, long n, double x, mpfr_t value, double *kappa)
{
    mpfr_prec_t p = precision_for(x);
    mpfr_t xv, at, below;
    mpfr_init2(xv, 64);
    mpfr_inits2(p, at, below, (mpfr_ptr)0);
    mpfr_set_d(xv, x, MPFR_RNDN);
    // x Cn'/Cn = x C(n-1)/Cn - n
    if (std::fabs(x - (double)n) >= default_band * cube_root(n)) {
        if (!debye(first_kind, n, xv, at) || !debye(first_kind, n - 1, xv, below)) {
            fprintf(stderr, "quorel-accuracy: Debye's expansion did not converge (n %ld, x %a)\n", n, x);
            abort();
        }
        mpfr_mul(below, below, xv, MPFR_RNDN);
        mpfr_div(below, below, at, MPFR_RNDN);
        mpfr_sub_si(below, below, n, MPFR_RNDN);
    } else {
        Point pt;
        mpfr_inits2(p + 64, pt.x, pt.y, pt.dy, (mpfr_ptr)0);
        steps(first_kind, n, x, default_band, &pt);
        mpfr_set(at, pt.y, MPFR_RNDN);
        mpfr_mul(below, pt.dy, pt.x, MPFR_RNDN);
        mpfr_div(below, below, pt.y, MPFR_RNDN);
        mpfr_clears(pt.x, pt.y, pt.dy, (mpfr_ptr)0);
    }
    *kappa = std::fabs(mpfr_get_d(below, MPFR_RNDN));
    mpfr_set(value, at, MPFR_RNDN);
    mpfr_clears(xv, at, below, (mpfr_ptr)0);
}
