// Workers of the interpolation routines and of the polynomial. Hidden; the
// exported routines are in quorel_math.h, the sheet functions in quorel.h.
#ifndef QUOREL_INTERP_H
#define QUOREL_INTERP_H

#include "fp/fpenv.h"
#include "quorel.h"

// Coefficients a0 ... a4 of p(t) = a0 + a1 t + a2 t^2 + a3 t^3 + a4 t^4 through
// 3, 4 or 5 equidistant values; the origin t = 0 is y1, y1 and y2 respectively.
void __ip3_co(const double *y, long double a[5]);
void __ip4_co(const double *y, long double a[5]);
void __ip5_co(const double *y, long double a[5]);

// Evaluators. Each sets *failed when the routine must report: an invalid
// operation, division by zero, overflow or stack fault raised since the flags
// were last cleared, or (Newton) nine iterations without reaching epsilon.
// The Newton iterations also give their last step (the answer is the estimate
// before it minus the step).
long double __ip_func(const long double a[5], long double x, int *failed);
long double __ip_root(const long double a[5], long double v, int *failed, long double *step);
long double __ip_extr(const long double a[5], int *failed, long double *step);

// q(t) = q0 + q1 t + ... + q4 t^4 (finite coefficients) is zero at t within
// four rounding units of a double, measured against the largest of size and
// the terms |q_k t^k|.
int __ip_zero_within_rounding(const long double q[5], long double t, long double size);

// The real zero of q nearest to middle (the smaller of two equally near ones),
// zeros within rounding at stationary points included; 0 when q has no real
// zero or vanishes identically. Expects the x87 at a 64-bit significand.
int __ip_nearest_zero(const long double q[5], long double middle, long double size, long double *zero);

enum IpTask { IP_VALUE, IP_INVERSE, IP_EXTREMUM };

// The nine equidistant routines, by table length n (3, 4, 5) and task; arg is
// the position or the value sought (unused for the extremum). Reports through
// __matherr; expects the x87 at a 64-bit significand.
FPU_GUARDED long double __ip_run(int n, IpTask task, double arg, const double *y);

// sum y_i * prod_{j != i} (x - x_j) / (x_i - x_j) over n points x0, y0, x1, y1, ...
FPU_GUARDED long double __lagrange_sum(double x, int n, const double *points);

// The polynomial whose coefficients (highest power first) fill the block, at x;
// NaN for an empty block, an entry in error, or a block of more than one row
// and column.
FPU_GUARDED double __poly_block(double x, const DoubleArray *coefficients);

#endif
