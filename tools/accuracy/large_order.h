// Jn(x) and Yn(x) at orders of 10^4 and more, where MPFR's jn and yn and the
// recurrence from orders 0 and 1 take seconds to hours a value.
#ifndef ACCURACY_LARGE_ORDER_H
#define ACCURACY_LARGE_ORDER_H

#include <mpfr.h>

const long large_order_from = 10000;

// Cn(x) (Jn when first_kind, Yn otherwise) for n >= large_order_from and
// finite x > 0, into value at its precision, good to about 2^-200 of the
// envelope (relative where Cn is monotonic); kappa = |x Cn'(x)/Cn(x)|.
void large_order_value(bool first_kind, long n, double x, mpfr_t value, double *kappa);

// The same by the method only: Debye's expansion (band = 0 forces it, and
// fails where it does not converge) or the steps of the differential
// equation from the edges of the band |x - n| < band n^(1/3). For the tests,
// which hold the two against each other and against MPFR.
bool large_order_debye(bool first_kind, long n, double x, mpfr_t value);
void large_order_steps(bool first_kind, long n, double x, double band, mpfr_t value);

#endif
