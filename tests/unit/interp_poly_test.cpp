// POLYNOMIAL over DoubleArray blocks of coefficients.
#include "block_builder.h"
#include "quorel.h"
#include "test_support.h"

#include <gtest/gtest.h>

static const double INF = __builtin_inf();
static const double QNAN = __builtin_nan("");

using Polynomial = ErrorRecord;

TEST_F(Polynomial, Coefficients)
{
    const double tiny = 0x1p-60; // (x - 1)^3 at x = 1 + 2^-20, exact only in extended precision
    struct {
        const char *what;
        BlockBytes block;
        double x, expected;
    } cases[] = {
        {"column", double_column({1, 0, -3}), 2, 1},
        {"row", double_row({1, 0, -3}), 2, 1},
        {"highest power first", double_column({1, 2, 3}), 10, 123},
        {"highest power first, row", double_row({1, 2, 3}), 10, 123},
        {"reversed column", double_range(2, 9, 2, 7, {1, 2, 3}), 10, 123},
        {"extended accumulator", double_column({1, -3, 3, -1}), 1.0 + 0x1p-20, tiny},
        {"single entry", double_column({5}), 7, 5},
        {"single entry, infinite x", double_column({5}), INF, 5},
        {"single entry, NaN x", double_column({5}), QNAN, 5},
        {"count 1 of three cells", double_range(0, 0, 0, 2, {4, 8, 9}, {}, 1), 3, 4},
        {"2 x 2", double_range(0, 0, 1, 1, {1, 2, 3, 4}), 1, QNAN},
        {"first cell in error", double_column({1, 2, 3}, {5}), 1, QNAN},
        {"later cell in error", double_column({1, 2, 3}, {0, 0, 5}), 1, QNAN},
        {"row cell in error", double_row({1, 2, 3, 4}, {0, 1}), 1, QNAN},
        // No entries: nothing to evaluate, and the cell after the header is
        // not one of the range.
        {"no entries", double_range(0, 0, 0, 0, {}), 1, QNAN},
        {"count 0 before a good cell", double_range(0, 0, 0, 0, {7}, {}, 0), 1, QNAN},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        double r = on_block(QR_poly, c.x, c.block);
        EXPECT_TRUE(same_bits(r, c.expected)) << r;
    }

    EXPECT_EQ(ercnt, 0);
}
