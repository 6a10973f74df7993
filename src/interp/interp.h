// Workers of the equidistant interpolation routines. Hidden; the exported
// routines are in quorel_math.h.
#ifndef QUOREL_INTERP_H
#define QUOREL_INTERP_H

// Coefficients a0 ... a4 of p(t) = a0 + a1 t + a2 t^2 + a3 t^3 + a4 t^4 through
// 3, 4 or 5 equidistant values; the origin t = 0 is y1, y1 and y2 respectively.
void __ip3_co(const double *y, long double a[5]);
void __ip4_co(const double *y, long double a[5]);
void __ip5_co(const double *y, long double a[5]);

// Evaluators. Each sets *failed when the routine must report: an invalid
// operation, division by zero, overflow or stack fault raised since the flags
// were last cleared, or (Newton) nine iterations without reaching epsilon.
long double __ip_func(const long double a[5], long double x, int *failed);
long double __ip_root(const long double a[5], long double v, int *failed);
long double __ip_extr(const long double a[5], int *failed);

#endif
