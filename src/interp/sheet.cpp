// Sheet functions IPOLVALUE, IPOLINVERSE, IPOLEXTREMUM, LAGRANGE and
// POLYNOMIAL: the tables are read from the host's DoubleArray blocks, an entry
// in error or a table of the wrong shape gives NaN.
#include "interp.h"

#include "addin/blocks.h"
#include "fp/fpenv.h"

#include <stdlib.h>

// The table of a sheet function: 3 to 5 entries, none in error; 0 otherwise.
static int read_table(const DoubleArray *table, double y[5])
{
    BlockHeader h = block_header(table);
    if (h.count < 3 || h.count > 5)
        return 0;
    for (unsigned i = 0; i < h.count; i++)
        if (!double_entry(table, i, &y[i]))
            return 0;
    return (int)h.count;
}

FPU_GUARDED static double ip_block(IpTask task, double arg, const DoubleArray *table)
{
    double y[5];
    int n = read_table(table, y);
    return n ? (double)__ip_run(n, task, arg, y) : no_result();
}

// Two columns: one point per row, entries x0, y0, x1, y1, ... as they come.
// Otherwise two rows: x values in the first row, y values in the second,
// interleaved. Corner differences on the widened words, so reversed or
// wrapped ranges never pass; a 2 x 2 range is read by rows.
FPU_GUARDED static double lagrange_block(double x, const DoubleArray *table)
{
    BlockHeader h = block_header(table);
    int pairwise;
    if (h.col2 - h.col1 == 1)
        pairwise = 1;
    else if (h.row2 - h.row1 == 1)
        pairwise = 0;
    else
        return no_result();
    if (h.count % 2 != 0)
        return no_result();
    if (h.count == 0)
        return (double)__lagrange_sum(x, 0, nullptr);

    double *points = (double *)malloc(h.count * sizeof(double));
    if (!points)
        return no_result();
    for (unsigned i = 0; i < h.count; i++) {
        double v;
        if (!double_entry(table, i, &v)) {
            free(points);
            return no_result();
        }
        unsigned slot = pairwise ? i : 2 * i < h.count ? 2 * i : 2 * i - h.count + 1;
        points[slot] = v;
    }
    long double r = __lagrange_sum(x, (int)(h.count / 2), points);
    free(points);
    return (double)r;
}

extern "C" {

QR_SHEET void QR_CALL QR_ipfunc(double *result, const double *x, const DoubleArray *table)
{
    *result = fpu_call(ip_block, IP_VALUE, *x, table);
}

QR_SHEET void QR_CALL QR_iproot(double *result, const double *value, const DoubleArray *table)
{
    *result = fpu_call(ip_block, IP_INVERSE, *value, table);
}

QR_SHEET void QR_CALL QR_ipextr(double *result, const DoubleArray *table)
{
    *result = fpu_call(ip_block, IP_EXTREMUM, 0.0, table);
}

QR_SHEET void QR_CALL QR_lagrange(double *result, const double *x, const DoubleArray *table)
{
    *result = fpu_call(lagrange_block, *x, table);
}

QR_SHEET void QR_CALL QR_poly(double *result, const double *x, const DoubleArray *coefficients)
{
    *result = fpu_call(__poly_block, *x, coefficients);
}

}
