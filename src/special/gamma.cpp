// Gamma and log-gamma in extended precision.
//
// ln Γ(x) comes from a rational approximation of Γ on [2, 3] (reached by the
// recurrence Γ(x+1) = xΓ(x)) up to 8, from Stirling's series beyond, and from
// the reflection formula for x <= 0. Γ(x) itself is 2^(ln Γ(x) · log2 e).
// The sign of Γ(x) travels with the call (the caller's int for lgamma, a
// local one for gamma), so concurrent calls cannot exchange signs.
#include "special.h"

// Γ(2 + t) = P(t)/Q(t) on 0 <= t <= 1; P0 = Q0 so that Γ(2) is exactly 1.
// The top entries are P's absent t^8 term and Q's monic t^8 term.
static const double gamma_p[9] = {
    -71574.352153084954, -59965.023022085559, -25978.021600714641, -7966.6749962274198, -1707.3082880051029,
    -292.92997682072405, -32.515741195606232, -3.0152560266689572, 0.0,
};
static const double gamma_q[9] = {
    -71574.352153084954, -29704.508136939992, 16057.783962173471, 3316.6750801949506, -1985.2625051276132,
    56.94407990974684, 88.59467917477599, -16.795523380717885, 1.0,
};

// Stirling correction S(z) of ln Γ(x) for x > 8, in z = 1/x^2, constant term
// first.
static const double stirling[7] = {
    0.083333333333333315, -0.0027777777777503497, 0.00079365077958550706, -0.00059523458517656881,
    0.00084127232973224976, -0.001880801938119377, 0.0048850261424322706,
};
static const double half_ln_2pi = 0.91893853320467278;

// Γ(x) for 0 < x <= 8: up to two steps of Γ(x) = Γ(x+1)/x, at most five of
// Γ(x) = (x-1)Γ(x-1), then the rational form on [2, 3].
long double __gamma_small(double x)
{
    if (x < _two) {
        double up = x + _one;
        return __gamma_small(up) / x;
    }
    double down = x - _one;
    if (down > _two)
        return (long double)down * __gamma_small(down);
    long double t = down - _one;
    long double p = gamma_p[8];
    long double q = gamma_q[8];
    for (int i = 7; i >= 0; i--) {
        p = p * t + gamma_p[i];
        q = q * t + gamma_q[i];
    }
    return p / q;
}

// ln Γ(x) for x > 8: (x - 1/2) ln x - x + ln(2π)/2 + S(1/x^2)/x.
long double __lgamma_large(double x)
{
    long double l = ln_via_double_ln2(x);
    long double z = _one / ((long double)x * x);
    long double s = stirling[6];
    for (int i = 5; i >= 0; i--)
        s = stirling[i] + z * s;
    long double v = ((long double)x - _half) * l;
    v = v - x;
    v = v + half_ln_2pi;
    return v + s / x;
}

// ln |Γ(x)| for x <= 0 by reflection, Γ(x)Γ(1-x) = π/sin(πx), written with
// y = -x and Γ(1+y) = yΓ(y). Writes the sign of Γ(x) to *sign.
long double __lgamma_neg(double x, int *sign)
{
    double y = -x;
    long double r = x87_rndint(y);
    *sign = _isodd((double)r);
    long double f = y - r;
    if (f == 0)
        return f * _infp; // pole: NaN and the invalid flag
    if (f < 0) {
        f = -f;
        *sign = -*sign;
    }
    long double s = x87_sin((long double)_pi * f);
    if (y <= _eight) {
        long double g = __gamma_small(y);
        long double v = (((long double)y * g) * s) / _pi;
        return -ln_via_double_ln2(v);
    }
    long double v = ((long double)y * s) / _pi;
    return -(__lgamma_large(y) + ln_via_double_ln2(v));
}

// ln |Γ(x)| in extended precision; the sign of Γ(x) goes to *sign.
long double __lgamma_ext(double x, int *sign)
{
    *sign = 1;
    long double r;
    if (!_isfinit(x))
        r = (long double)x + __builtin_fabsl(x); // +inf stays, -inf gives NaN and invalid
    else if (x > _zero)
        r = x <= _eight ? ln_via_double_ln2(__gamma_small(x)) : __lgamma_large(x);
    else
        r = __lgamma_neg(x, sign);
    report_flags(r, CODE_LGAMMA);
    return r;
}

// Γ(x) = s · 2^t with t = ln|Γ(x)| · log2 e: finite, +inf (x = +inf) or NaN;
// never -inf, as ln|Γ(x)| is finite for every finite x. The magnitude is
// rounded to double before the report. Also the guarded worker of GAMMA and
// gamma.
FPU_GUARDED double __gamma_ext(double x)
{
    int sign;
    long double l = __lgamma_ext(x, &sign);
    long double t = l * _log2e;
    double m = (double)x87_exp2(t);
    report_flags(m, CODE_GAMMA);
    return (double)sign * m;
}

static FPU_GUARDED double lgamma_guarded(double x, int *sign)
{
    return (double)__lgamma_ext(x, sign);
}

extern "C" {

double gamma(double x)
{
    return fpu_call(__gamma_ext, x);
}

double lgamma(double x, int *sign)
{
    return fpu_call(lgamma_guarded, x, sign);
}

}
