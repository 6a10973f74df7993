// The complex sheet functions: arguments read from text, results written as
// text ("Err:502" for an unreadable argument, "Err:503" for a non-finite
// part) or as a double (NaN for an unreadable argument). Arithmetic is done in
// extended precision and each part rounded to double once, when stored. Every
// entry runs its body with the x87 at a 64-bit significand.
#include "complex.h"

#include "addin/blocks.h"
#include "fp/fpenv.h"

typedef Complex (*Kernel1)(double, double);
typedef Complex (*Kernel2)(double, double, double, double);

enum Part { PART_RE, PART_IM, PART_ABS, PART_ARG };

FPU_GUARDED static double number_of(const char *text, Part part)
{
    Complex z;
    if (!xparse(text, &z))
        return no_result();
    switch (part) {
    case PART_RE:
        return z.re;
    case PART_IM:
        return z.im;
    case PART_ABS: // squares in extended precision: only the stored modulus can overflow
        return (double)x87_sqrt((long double)z.re * z.re + (long double)z.im * z.im);
    default:
        return (double)x87_atan2(z.im, z.re);
    }
}

FPU_GUARDED static void unary(char *result, const char *text, Kernel1 kernel)
{
    Complex z;
    if (!xparse(text, &z)) {
        xfail(result);
        return;
    }
    Complex r = kernel(z.re, z.im);
    xformat(result, &r);
}

FPU_GUARDED static void binary(char *result, const char *text1, const char *text2, Kernel2 kernel)
{
    Complex a, b;
    if (!xparse(text1, &a) || !xparse(text2, &b)) {
        xfail(result);
        return;
    }
    Complex r = kernel(a.re, a.im, b.re, b.im);
    xformat(result, &r);
}

static Complex conjugate(double x, double y) { return pair(x, -(long double)y); }

static Complex sum(double x1, double y1, double x2, double y2)
{
    return pair((long double)x1 + x2, (long double)y1 + y2);
}

static Complex difference(double x1, double y1, double x2, double y2)
{
    return pair((long double)x1 - x2, (long double)y1 - y2);
}

static Complex product(double x1, double y1, double x2, double y2)
{
    long double re = (long double)x1 * x2 - (long double)y1 * y2;
    long double im = (long double)y1 * x2 + (long double)x1 * y2;
    return pair(re, im);
}

// No scaling: d in extended precision neither overflows nor underflows for
// double parts. A zero divisor gives 0/0 in both parts.
static Complex quotient(double x1, double y1, double x2, double y2)
{
    long double d = (long double)x2 * x2 + (long double)y2 * y2;
    long double re = ((long double)y1 * y2 + (long double)x1 * x2) / d;
    long double im = ((long double)y1 * x2 - (long double)x1 * y2) / d;
    return pair(re, im);
}

// Numbers add to the real part; the running sums are rounded to double after
// each cell. The first cell in error or unreadable text ends the walk.
FPU_GUARDED static void sum_cells(char *result, const CellArray *range)
{
    double re = 0, im = 0;
    CellWalk walk;
    Cell cell;
    cell_walk_begin(&walk, range);
    while (cell_next(&walk, &cell)) {
        if (cell.kind == CELL_ERROR) {
            xfail(result);
            return;
        }
        if (cell.kind == CELL_NUMBER) {
            re = (double)((long double)re + cell.value);
            continue;
        }
        Complex z;
        if (!xparse(cell.text, &z)) {
            xfail(result);
            return;
        }
        re = (double)((long double)re + z.re);
        im = (double)((long double)im + z.im);
    }
    Complex s = {re, im};
    xformat(result, &s);
}

static inline void number_entry(double *result, const char *z, Part part)
{
    *result = fpu_call(number_of, z, part);
}

static inline void unary_entry(char *result, const char *z, Kernel1 kernel)
{
    fpu_call(unary, result, z, kernel);
}

static inline void binary_entry(char *result, const char *a, const char *b, Kernel2 kernel)
{
    fpu_call(binary, result, a, b, kernel);
}

extern "C" {

QR_SHEET void QR_CALL QR_xreal(double *result, const char *z) { number_entry(result, z, PART_RE); }
QR_SHEET void QR_CALL QR_ximag(double *result, const char *z) { number_entry(result, z, PART_IM); }
QR_SHEET void QR_CALL QR_xabs(double *result, const char *z) { number_entry(result, z, PART_ABS); }
QR_SHEET void QR_CALL QR_xarg(double *result, const char *z) { number_entry(result, z, PART_ARG); }

QR_SHEET void QR_CALL QR_xconj(char *result, const char *z) { unary_entry(result, z, conjugate); }
QR_SHEET void QR_CALL QR_xadd(char *result, const char *a, const char *b) { binary_entry(result, a, b, sum); }
QR_SHEET void QR_CALL QR_xsub(char *result, const char *a, const char *b) { binary_entry(result, a, b, difference); }
QR_SHEET void QR_CALL QR_xmul(char *result, const char *a, const char *b) { binary_entry(result, a, b, product); }
QR_SHEET void QR_CALL QR_xdiv(char *result, const char *a, const char *b) { binary_entry(result, a, b, quotient); }

QR_SHEET void QR_CALL QR_xsqrt(char *result, const char *z) { unary_entry(result, z, __xsqrt); }
QR_SHEET void QR_CALL QR_xpow(char *result, const char *a, const char *b) { binary_entry(result, a, b, __xpow); }
QR_SHEET void QR_CALL QR_xexp(char *result, const char *z) { unary_entry(result, z, __xexp); }
QR_SHEET void QR_CALL QR_xpow10(char *result, const char *z) { unary_entry(result, z, __xpow10); }
QR_SHEET void QR_CALL QR_xlogy(char *result, const char *a, const char *b) { binary_entry(result, a, b, __xlogy); }
QR_SHEET void QR_CALL QR_xlog(char *result, const char *z) { unary_entry(result, z, __xlog); }
QR_SHEET void QR_CALL QR_xlog10(char *result, const char *z) { unary_entry(result, z, __xlog10); }
QR_SHEET void QR_CALL QR_xsin(char *result, const char *z) { unary_entry(result, z, __xsin); }
QR_SHEET void QR_CALL QR_xcos(char *result, const char *z) { unary_entry(result, z, __xcos); }
QR_SHEET void QR_CALL QR_xtan(char *result, const char *z) { unary_entry(result, z, __xtan); }
QR_SHEET void QR_CALL QR_xsinh(char *result, const char *z) { unary_entry(result, z, __xsinh); }
QR_SHEET void QR_CALL QR_xcosh(char *result, const char *z) { unary_entry(result, z, __xcosh); }
QR_SHEET void QR_CALL QR_xtanh(char *result, const char *z) { unary_entry(result, z, __xtanh); }
QR_SHEET void QR_CALL QR_xasin(char *result, const char *z) { unary_entry(result, z, __xasin); }
QR_SHEET void QR_CALL QR_xacos(char *result, const char *z) { unary_entry(result, z, __xacos); }
QR_SHEET void QR_CALL QR_xatan(char *result, const char *z) { unary_entry(result, z, __xatan); }
QR_SHEET void QR_CALL QR_xasinh(char *result, const char *z) { unary_entry(result, z, __xasinh); }
QR_SHEET void QR_CALL QR_xacosh(char *result, const char *z) { unary_entry(result, z, __xacosh); }
QR_SHEET void QR_CALL QR_xatanh(char *result, const char *z) { unary_entry(result, z, __xatanh); }

QR_SHEET void QR_CALL QR_xsum(char *result, const CellArray *range)
{
    fpu_call(sum_cells, result, range);
}
}
