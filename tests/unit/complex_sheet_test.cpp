// Complex sheet functions beyond the case file (tests/cases/complex.cases):
// the caller's precision, XSUM over every text layout, and round trips.
#include "block_builder.h"
#include "fp/x87.h"
#include "test_support.h"

#include "quorel.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdint.h>
#include <string.h>

#include <string>

namespace {

// noipa: otherwise taken as const and computed once for both precisions.
__attribute__((noipa)) long double modulus(double re, double im)
{
    return x87_sqrt((long double)re * re + (long double)im * im);
}

// A modulus computed at the caller's 53-bit precision rounds its squares and
// sum to 53 bits; the entry computes with a 64-bit significand and restores
// the caller's control word.
TEST(ComplexSheet, CallerPrecisionIgnored)
{
    unsigned short pc53 = precision_53(x87_control());
    int differ = 0;
    Rng rng = {1};
    for (int i = 0; i < 2000; i++) {
        double re = rng.uniform(0, 0x1p13);
        double im = rng.uniform(0, 0x1p13);
        long double want = modulus(re, im);
        char text[64];
        snprintf(text, sizeof text, "%.17g%+.17gi", re, im);
        long double at53 = 0;
        double got = 0;
        unsigned short after = at_53_bits([&] {
            at53 = modulus(re, im);
            QR_xabs(&got, text);
        });
        ASSERT_EQ(after, pc53);
        ASSERT_EQ(got, (double)want) << text;
        differ += (double)at53 != (double)want;
    }
    EXPECT_GT(differ, 0); // the check above can tell the two apart
}

// ---- XSUM ---------------------------------------------------------------

std::string xsum(const BlockBytes &block)
{
    char result[256];
    memset(result, 'x', sizeof result);
    QR_xsum(result, (const CellArray *)block.data());
    return result;
}

struct SumCase {
    const char *what;
    int rows, cols;
    std::vector<TestCell> cells;
    const char *want;
};

TEST(ComplexSheet, XsumEveryLayout)
{
    std::vector<TestCell> many; // 500 numbers, 250 each of 2i and 1-2j
    for (int i = 0; i < 1000; i++)
        many.push_back(i % 2 ? num(1) : txt(i % 4 ? "2i" : "1-2j"));
    const SumCase cases[] = {
        {"text and numbers", 3, 1, {txt("1+i"), num(2), txt("-3i")}, "3-2i"},
        {"empty range", 0, 0, {}, "0"},
        {"even-length texts", 2, 3, {txt("2i"), num(1), txt("3+4i"), txt("i"), num(0.5), txt("-1-j")}, "3.5+6i"},
        {"texts back to back", 1, 4, {txt("2i"), txt("3+4i"), txt("10"), txt("1e-3+2i")}, "13.001+8i"},
        {"cell in error last", 1, 4, {txt("2i"), num(1), txt("3+4i"), err(7)}, "Err:502"},
        {"cell in error first", 1, 3, {err(), txt("2i"), num(1)}, "Err:502"},
        {"unreadable text", 1, 3, {txt("2i"), txt("3+4"), num(1)}, "Err:502"},
        {"empty text", 1, 2, {num(1), txt("")}, "Err:502"},
        {"blank text", 1, 2, {txt("  "), num(1)}, "Err:502"},
        {"rounded after each cell", 4, 1, {num(1e16), num(1), num(1), num(-1e16)}, "0"},
        {"overflow", 1, 2, {num(1.7976931348623157e308), txt("1E308")}, "Err:503"},
        {"number cells are real", 1, 2, {num(0.25), num(-0.0)}, "0.25"},
        // One column (F): every entry starts with the byte 5, never with a
        // zero that would read as a pad byte (as columns 256, 512, ... would).
        {"a thousand rows", 1000, 1, many, "750"},
    };
    const Layout layouts[] = {LAYOUT_EXACT, LAYOUT_PADDED, LAYOUT_UNPADDED};
    for (const SumCase &c : cases) {
        for (Layout layout : layouts) {
            BlockBytes block = cell_array(c.rows, c.cols, c.cells, layout, 5, 9, 0);
            EXPECT_EQ(xsum(block), c.want) << c.what << ", layout " << (int)layout;
        }
    }
}

// conj and division undo themselves through the text form.
TEST(ComplexSheet, RoundTrips)
{
    Rng rng = {42};
    for (int i = 0; i < 1000; i++) {
        char a[64], b[64], p[256], q[256], c1[256], c2[256];
        snprintf(a, sizeof a, "%.15G%+.15Gi", rng.uniform(-100, 100), rng.uniform(-100, 100));
        snprintf(b, sizeof b, "%.15G%+.15Gi", rng.uniform(-100, 100), rng.uniform(-100, 100));
        QR_xconj(c1, a);
        QR_xconj(c2, c1);
        ASSERT_STREQ(c2, a);
        QR_xmul(p, a, b);
        QR_xdiv(q, p, b);
        double re0, im0, re1, im1;
        QR_xreal(&re0, a);
        QR_ximag(&im0, a);
        QR_xreal(&re1, q);
        QR_ximag(&im1, q);
        double scale = __builtin_fabs(re0) + __builtin_fabs(im0);
        EXPECT_LE(__builtin_fabs(re1 - re0) + __builtin_fabs(im1 - im0), 2e-14 * scale) << a << " " << b;
    }
}

} // namespace
