// Internal entry points of gamma, log-gamma and the Bessel/Weber routines.
// A value that one routine hands to another stays in the extended format, so
// every exported double routine has an extended twin here; the exported ones
// add only the precision-control guard and the final rounding.
#ifndef QUOREL_SPECIAL_H
#define QUOREL_SPECIAL_H

#include "fp/fpenv.h"

static const long double TWO_OVER_PI = 0xa.2f9836e4e44152ap-4L; // 2/π, extended

// ln x = ln 2 · log2 x with ln 2 rounded to double (_ln2). Gamma and Bessel
// results carry this rounding; the complex kernels' ln takes the extended ln 2.
static inline long double ln_via_double_ln2(long double x) { return x87_yl2x(_ln2, x); }

// Gamma and log-gamma.
long double __gamma_small(double x);            // Γ(x), 0 < x <= 8
long double __lgamma_large(double x);           // ln Γ(x), x > 8
long double __lgamma_neg(double x, int *sign);  // ln |Γ(x)|, x <= 0; the sign of Γ(x) to *sign
long double __lgamma_ext(double x, int *sign);  // ln |Γ(x)|; the sign to *sign
FPU_GUARDED double __gamma_ext(double x);

// Bessel and Weber kernels and the integer-order routines.
struct BesselFactors {
    double p, q;
};
// The asymptotic factor pairs of order 0 and 1 for x > 8, also left in
// __bessel_pq0 and __bessel_pq1 (each call's own pair is the one returned).
extern BesselFactors __bessel_pq0, __bessel_pq1;
BesselFactors __bessel_asym0(double x);
BesselFactors __bessel_asym1(double x);
long double __j0_ext(double x);
long double __j1_ext(double x);
long double __y0_ext(double x);
long double __y1_ext(double x);
long double __jn_ext(int n, double x);
long double __yn_ext(int n, double x);

// Orders from here on (either sign) take the direct forms of bessel_large.cpp,
// whose time does not grow with the order; below, the recurrences.
enum { BESSEL_LARGE_ORDER = 10000 };
long double __jn_large(int64_t n, double x); // n >= BESSEL_LARGE_ORDER, 0 < x < inf
long double __yn_large(int64_t n, double x);

// The order of a sheet call: truncated toward zero; NaN and values outside
// the 32-bit range give -2147483648.
int __bessel_order(double v);

#endif
