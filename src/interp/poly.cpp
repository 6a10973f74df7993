// Polynomial evaluation over a host's DoubleArray block of coefficients.
#include "interp.h"

#include "addin/blocks.h"
#include "fp/fpenv.h"

// Horner's rule in extended precision; the first entry is the coefficient of
// the highest power. An empty block has no polynomial.
FPU_GUARDED double __poly_block(double x, const DoubleArray *coefficients)
{
    BlockHeader h = block_header(coefficients);
    if (h.count == 0)
        return no_result();
    double c;
    if (!double_entry(coefficients, 0, &c))
        return no_result();
    if (h.col1 != h.col2 && h.row1 != h.row2)
        return no_result();
    long double r = c;
    for (unsigned k = 1; k < h.count; k++) {
        if (!double_entry(coefficients, k, &c))
            return no_result();
        r = r * x + c;
    }
    return (double)r;
}
