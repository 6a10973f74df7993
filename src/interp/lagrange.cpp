// Lagrange interpolation through freely spaced points.
#include "interp.h"

#include "fp/fpenv.h"

#include <stdint.h>
#include <stdlib.h>

// A running product has left the double range when its stored value is no
// longer a normal double (overflow to infinity, underflow to a subnormal or
// zero) although every factor so far was finite and nonzero. Quiet compares:
// NaN operands raise nothing here.
static int left_range(double stored, long double exact)
{
    double s = __builtin_fabs(stored);
    if (__builtin_isgreaterequal(s, __DBL_MIN__) && __builtin_islessequal(s, __DBL_MAX__))
        return 0;
    long double e = __builtin_fabsl(exact);
    return __builtin_isgreater(e, 0.0L) && __builtin_islessequal(e, __LDBL_MAX__);
}

// A product of many extended factors kept as m * 2^(8192 steps), m within
// [2^-4096, 2^4096] (or zero, infinite, NaN).
struct Scaled {
    long double m;
    long long steps;
};

// One step of 2^8192 back into [2^-4096, 2^4096].
static long double rescale(long double v, long long *steps)
{
    long double a = __builtin_fabsl(v);
    if (__builtin_isgreater(a, 0x1p4096L)) {
        *steps += 1;
        return v * 0x1p-8192L;
    }
    if (__builtin_isless(a, 0x1p-4096L) && v != 0.0L) {
        *steps -= 1;
        return v * 0x1p8192L;
    }
    return v;
}

// p times prod (base - x_j), j from `from` to `to` - 1, as two partial products
// (even and odd factors, to keep the multiplier busy) rescaled after every
// four factors each: a factor, the difference of two doubles, lies within
// 2^+-1075, so nothing leaves the extended range in between.
static void scaled_product(Scaled *p, long double base, const double *points, int from, int to)
{
    long double p0 = p->m, p1 = 1.0L;
    int j = from;
    for (; j + 8 <= to; j += 8) {
        for (int k = j; k < j + 8; k += 2) {
            p0 *= base - points[2 * k];
            p1 *= base - points[2 * k + 2];
        }
        p0 = rescale(p0, &p->steps);
        p1 = rescale(p1, &p->steps);
    }
    for (; j < to; j++)
        p0 *= base - points[2 * j];
    p0 = rescale(p0, &p->steps);
    p1 = rescale(p1, &p->steps);
    p->m = rescale(p0 * p1, &p->steps);
}

// y_i * prod (x - x_j) / prod (x_i - x_j) for a weight whose double products
// would leave the range, from scaled extended products. The numerator is the
// product over all points, *all (computed once by the caller), divided by
// x - x_i, unless that product is zero or not finite (x a node, or x itself
// not finite); then it is formed directly.
static long double wide_term(double x, int i, int n, const double *points, const Scaled *all)
{
    long double xi = points[2 * i];
    Scaled num;
    if (all->m != 0.0L && __builtin_isfinite(all->m)) {
        num.steps = all->steps;
        num.m = rescale(all->m / ((long double)x - xi), &num.steps);
    } else {
        num.m = 1.0L;
        num.steps = 0;
        scaled_product(&num, x, points, 0, i);
        scaled_product(&num, x, points, i + 1, n);
    }
    Scaled den = {1.0L, 0};
    scaled_product(&den, xi, points, 0, i);
    scaled_product(&den, xi, points, i + 1, n);
    long double q = ((long double)points[2 * i + 1] * num.m) / den.m;
    // |q| lies within 2^+-9300, so four steps either way already reach
    // infinity or zero.
    long long steps = num.steps - den.steps;
    if (steps > 4)
        steps = 4;
    if (steps < -4)
        steps = -4;
    return x87_scale(q, 8192.0L * (long double)steps);
}

// sum y_i * num_i / den_i, num_i = prod_{j != i} (x - x_j), den_i = prod_{j != i}
// (x_i - x_j) in ascending j, each product rounded to double after every
// factor; O(n^2). Only a weight whose products leave the double range is
// taken from wide_term instead.
FPU_GUARDED long double __lagrange_sum(double x, int n, const double *points)
{
    if (n <= 0)
        return 0.0L;
    // One block: den[n], num[n], then a byte per weight marking the wide ones.
    if ((size_t)n > SIZE_MAX / (2 * sizeof(double) + 1))
        return no_result();
    double *den = (double *)malloc((size_t)n * (2 * sizeof(double) + 1));
    if (!den)
        return no_result();
    double *num = den + n;
    unsigned char *wide = (unsigned char *)(num + n);

    for (int i = 0; i < n; i++) {
        long double xi = points[2 * i];
        double d = 1.0, m = 1.0;
        unsigned char out = 0;
        for (int j = 0; j < n; j++) {
            if (j == i)
                continue;
            long double xj = points[2 * j];
            long double pd = d * (xi - xj);
            long double pm = m * ((long double)x - xj);
            d = (double)pd;
            m = (double)pm;
            if (left_range(d, pd) || left_range(m, pm)) {
                out = 1;
                break;
            }
        }
        den[i] = d;
        num[i] = m;
        wide[i] = out;
    }

    long double sum = 0.0L;
    Scaled all = {0.0L, 0};
    int have_all = 0;
    for (int i = 0; i < n; i++) {
        long double term;
        if (wide[i]) {
            if (!have_all) {
                all.m = 1.0L;
                scaled_product(&all, x, points, 0, n);
                have_all = 1;
            }
            term = wide_term(x, i, n, points, &all);
        } else {
            term = ((long double)points[2 * i + 1] * num[i]) / den[i];
        }
        sum = sum + term;
    }
    free(den);
    return sum;
}

extern "C" {

long double lagrange(double x, int n, const double *points)
{
    return fpu_call(__lagrange_sum, x, n, points);
}

}
