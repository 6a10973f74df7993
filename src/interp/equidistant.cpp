// Interpolation in a table of 3, 4 or 5 equally spaced values: value, inverse
// value and extremum of the interpolating polynomial, positions in table steps
// from the origin entry. Everything is carried in extended precision.
#include "interp.h"

#include "fp/fpenv.h"

// Stirling's central-difference coefficients about y1: t = -1, 0, 1.
void __ip3_co(const double *y, long double a[5])
{
    long double m = ((long double)y[0] + y[2]) * 0.5L;
    a[1] = m - y[0];
    a[2] = m - y[1];
    a[0] = y[1];
    a[3] = 0.0L;
    a[4] = 0.0L;
}

// Newton's forward differences rearranged about y1: t = -1, 0, 1, 2.
void __ip4_co(const double *y, long double a[5])
{
    long double d = (long double)y[1] - y[0];
    long double a2 = (((long double)y[2] - y[1]) - d) * 0.5L;
    long double g = d + a2;
    long double a3 = (((long double)y[3] - y[0]) / 3.0L - a2 - g) * 0.5L;
    a[1] = g - a3;
    a[2] = a2;
    a[3] = a3;
    a[0] = y[1];
    a[4] = 0.0L;
}

// Stirling's central-difference coefficients about y2: t = -2 ... 2;
// a3 = (y4 - 2y3 + 2y1 - y0)/12, a4 = (y4 - 4y3 + 6y2 - 4y1 + y0)/24.
void __ip5_co(const double *y, long double a[5])
{
    long double d01 = (long double)y[1] - y[0];
    long double d12 = (long double)y[2] - y[1];
    long double d23 = (long double)y[3] - y[2];
    long double d34 = (long double)y[4] - y[3];
    long double u = d23 + d12;
    long double a3 = ((d34 - u) + d01) / 12.0L;
    a[1] = u * 0.5L - a3;
    long double s = d23 - d12;
    long double a4 = ((d34 - d01) - 3.0L * s) / 24.0L;
    a[2] = s * 0.5L - a4;
    a[3] = a3;
    a[4] = a4;
    a[0] = y[2];
}

// Horner's rule from the top.
long double __ip_func(const long double a[5], long double x, int *failed)
{
    long double p = a[3] + x * a[4];
    p = a[2] + x * p;
    p = a[1] + x * p;
    p = a[0] + x * p;
    *failed = must_report(p);
    return p;
}

// p'(t) = a1 + 2t (a2 + t (3/2 a3 + 2 a4 t)), the step of both Newton iterations.
static inline long double derivative(const long double a[5], long double t)
{
    return a[1] + 2.0L * t * (a[2] + t * (1.5L * a[3] + 2.0L * a[4] * t));
}

static long double tolerance(void) { return *(volatile const double *)&epsilon; }

// Newton on p(t) - v from t = v. The test looks at |F| of the old estimate but
// the step is always taken, so a converged answer gets one more correction.
// A NaN residual also ends the iteration (quietly compared).
long double __ip_root(const long double a[5], long double v, int *failed, long double *step)
{
    long double b0 = a[0] - v;
    long double t = v;
    for (int k = 0; k < 9; k++) {
        long double f = b0 + t * (a[1] + t * (a[2] + t * (a[3] + t * a[4])));
        long double slope = derivative(a, t);
        *step = f / slope;
        long double t_new = t - *step;
        if (!__builtin_isgreater(__builtin_fabsl(f), tolerance())) {
            *failed = must_report(t_new);
            return t_new;
        }
        t = t_new;
    }
    fp_force(t);
    *failed = 1;
    return t;
}

// Newton on p'(t) = 0 from the origin entry.
long double __ip_extr(const long double a[5], int *failed, long double *step)
{
    long double t = 0.0L;
    for (int k = 0; k < 9; k++) {
        long double d2 = 2.0L * (a[2] + 3.0L * t * (a[3] + 2.0L * a[4] * t));
        long double d1 = derivative(a, t);
        *step = d1 / d2;
        long double t_new = t - *step;
        if (!__builtin_isgreater(__builtin_fabsl(d1), tolerance())) {
            *failed = must_report(t_new);
            return t_new;
        }
        t = t_new;
    }
    fp_force(t);
    *failed = 1;
    return t;
}

// Builder and function codes (by task) by table length 3, 4, 5.
static const struct {
    void (*co)(const double *, long double *);
    int code[3];
} ip_table[3] = {
    {__ip3_co, {CODE_IP3_FUNC, CODE_IP3_ROOT, CODE_IP3_EXTR}},
    {__ip4_co, {CODE_IP4_FUNC, CODE_IP4_ROOT, CODE_IP4_EXTR}},
    {__ip5_co, {CODE_IP5_FUNC, CODE_IP5_ROOT, CODE_IP5_EXTR}},
};

// Middle of the span -1 ... 1, -1 ... 2, -2 ... 2 by table length.
static const long double span_middle[3] = {0.0L, 0.5L, 0.0L};

// Inverse value and extremum. The Newton iteration above is the first attempt,
// and its answer stands when it is a zero of q = p - v (q = p') within rounding
// of the table's size and of the terms at t, reached by a last step below
// 2^-26 (|t| + 1): a test that no change of the table's units can alter. The
// iteration itself is not so: it starts at t = v, in the user's units, and
// stops at an absolute |F| <= epsilon, which a table of tiny values passes at
// once and one of huge values never. Otherwise the answer is the real zero of
// q nearest to the middle of the table, found from all of them; without any,
// the result is NaN with a report, the first attempt's own when it made one
// (so the reasons on record for an error stay what they were) and a domain
// error otherwise. An answer found reports nothing. Tables or values that are
// not finite keep the first attempt and its report as they are.
static long double ip_solve(int n, IpTask task, double v, const double *y, const long double a[5], int code)
{
    int failed;
    long double step = 0.0L;
    long double t = task == IP_INVERSE ? __ip_root(a, v, &failed, &step) : __ip_extr(a, &failed, &step);
    unsigned first_flags = flags_after(t);

    long double size = 0.0L;
    int finite = __builtin_isfinite(v);
    for (int i = 0; i < n; i++) {
        finite &= __builtin_isfinite(y[i]);
        if (__builtin_isgreater(__builtin_fabsl(y[i]), size))
            size = __builtin_fabsl(y[i]);
    }
    if (!finite) {
        if (failed)
            __matherr((int)first_flags, code);
        return t;
    }

    long double q[5];
    if (task == IP_INVERSE) {
        q[0] = a[0] - v;
        for (int k = 1; k < 5; k++)
            q[k] = a[k];
    } else {
        for (int k = 1; k < 5; k++)
            q[k - 1] = (long double)k * a[k];
        q[4] = 0.0L;
    }
    if (__builtin_isfinite(t) && __builtin_fabsl(step) <= 0x1p-26L * (__builtin_fabsl(t) + 1.0L) &&
        __ip_zero_within_rounding(q, t, size))
        return t;

    fp_clear();
    long double zero;
    if (__ip_nearest_zero(q, span_middle[n - 3], size, &zero))
        return zero;
    fp_clear();
    if (failed)
        fp_raise(first_flags);
    __matherr((int)fp_flags(), code);
    return (long double)_qnan;
}

// The nine routines, by table length n and task; arg is the position or the
// value sought (unused for the extremum). Each starts from clear flags, so
// only its own arithmetic can make it report; a report keeps the computed value.
FPU_GUARDED long double __ip_run(int n, IpTask task, double arg, const double *y)
{
    fp_clear();
    long double a[5];
    ip_table[n - 3].co(y, a);
    int code = ip_table[n - 3].code[task];
    if (task != IP_VALUE)
        return ip_solve(n, task, arg, y, a, code);
    int failed;
    long double p = __ip_func(a, arg, &failed);
    if (failed)
        __matherr((int)fp_flags(), code);
    return p;
}

// The nine exported routines: the worker of their task and table length with
// the x87 at a 64-bit significand.
#define IP_ROUTINES(n)                                                                                      \
    long double ip##n##_func(double x, const double *y) { return fpu_call(__ip_run, n, IP_VALUE, x, y); }   \
    long double ip##n##_root(double v, const double *y) { return fpu_call(__ip_run, n, IP_INVERSE, v, y); } \
    long double ip##n##_extr(const double *y) { return fpu_call(__ip_run, n, IP_EXTREMUM, 0.0, y); }

extern "C" {

IP_ROUTINES(3)
IP_ROUTINES(4)
IP_ROUTINES(5)

}
