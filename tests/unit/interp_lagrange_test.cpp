// Lagrange interpolation over DoubleArray blocks, and the interpolation sheet
// functions under a caller's 53-bit precision.
#include "block_builder.h"
#include "quorel.h"
#include "quorel_math.h"
#include "fp/x87.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdint.h>

#include <vector>

namespace {

const double INF = __builtin_inf();
const double QNAN = __builtin_nan("");

// The Lagrange sum written out plainly: both running products of a weight
// rounded to double after every factor.
__attribute__((noinline)) long double plain_sum(double x, int n, const double *p)
{
    std::vector<double> den(n), num(n);
    for (int i = 0; i < n; i++) {
        den[i] = 1.0;
        num[i] = 1.0;
        for (int j = 0; j < n; j++) {
            if (j == i)
                continue;
            den[i] = (double)(den[i] * ((long double)p[2 * i] - p[2 * j]));
            num[i] = (double)(num[i] * ((long double)x - p[2 * j]));
        }
    }
    long double sum = 0.0L;
    for (int i = 0; i < n; i++)
        sum = sum + ((long double)p[2 * i + 1] * num[i]) / den[i];
    return sum;
}

long double reference(double x, int n, const double *p)
{
    unsigned short cw = fpu_enter();
    long double r = plain_sum(x, n, p);
    fpu_leave(cw);
    return r;
}

} // namespace

using Lagrange = ErrorRecord;

// Layouts: two columns are pairs by rows, two rows are x over y; a 2 x 2
// range is read by rows. Corner differences are on widened words: a reversed
// or wrapped range is not "one apart".
TEST_F(Lagrange, Layouts)
{
    struct {
        const char *what;
        BlockBytes block;
        double x, expected;
    } cases[] = {
        {"three rows of pairs", double_range(0, 0, 1, 2, {0, 1, 1, 3, 2, 7}), 1.5, 4.75},
        {"two rows of three", double_range(0, 0, 2, 1, {0, 1, 2, 1, 3, 7}), 1.5, 4.75},
        {"at a table abscissa", double_range(0, 0, 1, 2, {0, 1, 1, 3, 2, 7}), 2, 7},
        {"2 x 2 by rows", double_range(5, 5, 6, 6, {0, 1, 2, 5}), 1, 3},
        {"one column of two is one point", double_range(4, 4, 4, 5, {7, 9}), 123, 9},
        {"reversed columns, two rows", double_range(1, 0, 0, 1, {0, 1, 2, 5}), 1, 5},
        {"wrapped columns, two rows", double_range(65535, 0, 0, 1, {0, 1, 2, 5}), 1, 5},
        {"two columns, reversed rows", double_range(0, 1, 1, 0, {0, 1, 2, 5}), 1, 3},
        {"no entries, two columns", double_range(0, 0, 1, 0, {}, {}, 0), 1, 0},
        {"count below the cells", double_range(0, 0, 1, 2, {0, 1, 1, 3, 2, 7}, {0, 0, 0, 0, 0, 9}, 4), 1.5, 4},
        {"one column of three", double_range(0, 0, 0, 2, {0, 1, 2}), 1, QNAN},
        {"3 x 3", double_range(0, 0, 2, 2, {0, 1, 2, 3, 4, 5, 6, 7, 8}), 1, QNAN},
        {"one row of four", double_range(0, 0, 3, 0, {0, 1, 2, 5}), 1, QNAN},
        {"one column, reversed rows", double_range(0, 1, 0, 0, {0, 1}), 1, QNAN},
        {"wrapped rows", double_range(0, 65535, 0, 0, {0, 1}), 1, QNAN},
        {"no entries, one cell", double_range(0, 0, 0, 0, {}), 1, QNAN},
        {"odd count", double_range(0, 0, 1, 2, {0, 1, 1, 3, 2}), 1, QNAN},
        {"first cell in error", double_range(0, 0, 1, 2, {0, 1, 1, 3, 2, 7}, {7}), 1.5, QNAN},
        {"later cell in error", double_range(0, 0, 1, 2, {0, 1, 1, 3, 2, 7}, {0, 0, 0, 0, 0, 7}), 1.5, QNAN},
        {"x row cell in error", double_range(0, 0, 2, 1, {0, 1, 2, 1, 3, 7}, {0, 1}), 1.5, QNAN},
        // Two equal abscissae: a zero weight denominator, no report.
        {"equal abscissae", double_range(0, 0, 1, 1, {1, 2, 1, 3}), 0.5, -INF},
        {"equal abscissae at the node", double_range(0, 0, 1, 1, {1, 2, 1, 3}), 1, QNAN},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        double r = on_block(QR_lagrange, c.x, c.block);
        EXPECT_TRUE(same_bits(r, c.expected)) << r;
    }
    EXPECT_EQ(ercnt, 0);
}

TEST(LagrangeRoutine, EmptyAndRefused)
{
    const double p[2] = {1, 2};
    EXPECT_EQ((double)lagrange(3.0, 0, p), 0.0);
    EXPECT_EQ((double)lagrange(3.0, -4, nullptr), 0.0);
    EXPECT_EQ((double)lagrange(3.0, 1, p), 2.0);
#if SIZE_MAX <= UINT32_MAX
    // Scratch for INT_MAX points cannot be had in 32 bits: NaN, nothing read.
    long double r = lagrange(0.5, INT_MAX, p);
    EXPECT_TRUE(r != r);
#endif
}

// While every running product stays a normal double, the result is the plain
// sum to the bit.
TEST(LagrangeRoutine, InRangeIsThePlainSum)
{
    Rng rng = {12345};
    for (int n = 1; n <= 40; n++) {
        std::vector<double> p(2 * n);
        for (int i = 0; i < n; i++) {
            p[2 * i] = rng.uniform(-10, 10);
            p[2 * i + 1] = rng.uniform(-5, 5);
        }
        for (double x : {-11.0, -0.3, 0.0, 2.5, 9.75, p[0]}) {
            long double got = lagrange(x, n, p.data());
            long double want = reference(x, n, p.data());
            EXPECT_TRUE(got == want || (got != got && want != want)) << "n " << n << " x " << x;
        }
    }
    // Unit spacing stays in range up to 171 points (170! < DBL_MAX < 171!).
    for (int n : {100, 170, 171}) {
        std::vector<double> p(2 * n);
        for (int i = 0; i < n; i++) {
            p[2 * i] = i;
            p[2 * i + 1] = 1.0 + i + (double)i * i;
        }
        double x = n / 2 - 0.5;
        long double got = lagrange(x, n, p.data());
        EXPECT_TRUE(got == reference(x, n, p.data())) << n;
        EXPECT_NEAR((double)got, 1.0 + x + x * x, 1e-12 * (1.0 + x + x * x)) << n;
    }
}

// Many points: the double products overflow (unit spacing) or underflow
// (points in [0, 1]) and the plain sum turns into inf/inf, x/0 or 0/0; the
// weights concerned are formed from scaled extended products instead. The
// interpolant of a constant or a parabola is that function.
TEST(LagrangeRoutine, ProductsBeyondTheDoubleRange)
{
    enum Spacing { UNIT, UNIFORM01, CHEBYSHEV01 };
    struct {
        Spacing spacing;
        int n;
        double x;
    } cases[] = {
        {UNIT, 200, 99.5},
        {UNIT, 300, 149.5},
        {UNIT, 1000, 499.5},
        {UNIFORM01, 500, 0.5 + 0.5 / 499},
        {UNIFORM01, 1000, 0.5 + 0.5 / 999},
        {CHEBYSHEV01, 1000, 0.3},
        {CHEBYSHEV01, 1000, 0.999},
    };
    for (auto &c : cases) {
        for (int parabola = 0; parabola < 2; parabola++) {
            SCOPED_TRACE(testing::Message() << "n " << c.n << " x " << c.x << " parabola " << parabola);
            std::vector<double> p(2 * c.n);
            for (int i = 0; i < c.n; i++) {
                double xi = i;
                if (c.spacing == UNIFORM01)
                    xi = (double)i / (c.n - 1);
                else if (c.spacing == CHEBYSHEV01)
                    xi = 0.5 - 0.5 * (double)x87_cos(3.14159265358979323846L * (i + 0.5L) / c.n);
                p[2 * i] = xi;
                p[2 * i + 1] = parabola ? 1.0 + xi + xi * xi : 3.0;
            }
            double want = parabola ? 1.0 + c.x + c.x * c.x : 3.0;
            double got = (double)lagrange(c.x, c.n, p.data());
            EXPECT_NEAR(got, want, 1e-13 * want);
        }
    }
}

// The largest table a host can pass: 65534 cells, 32767 points.
TEST(LagrangeRoutine, LargestBlock)
{
#if defined(__i386__)
    GTEST_SKIP() << "32767^2 extended products take minutes under an emulated x87";
#endif
    const int n = 32767;
    std::vector<double> cells(2 * n);
    for (int i = 0; i < n; i++) {
        cells[2 * i] = i;
        cells[2 * i + 1] = 0.5 + i / 65536.0;
    }
    BlockBytes b = double_range(0, 0, 1, n - 1, cells);
    EXPECT_EQ(on_block(QR_lagrange, 16383.5, b), 0.5 + 16383.5 / 65536.0);
}

// A host running the x87 at 53 bits gets the extended answers (each of these
// differs when carried at 53 bits) and its control word back.
TEST(InterpSheets, PrecisionControl)
{
    typedef void (*Sheet)(double *, const double *, const DoubleArray *);
    BlockBytes table = double_column({2, 3.5, 7.25});
    BlockBytes points = double_range(0, 0, 1, 2, {0, 1, 1, 3, 2, 7});
    BlockBytes cubic = double_column({1, -3, 3, -1});
    struct {
        const char *what;
        Sheet f;
        double x;
        const BlockBytes *b;
    } cases[] = {
        {"IPOLINVERSE", QR_iproot, 5, &table},
        {"LAGRANGE far from the points", QR_lagrange, 100000.1, &points},
        {"POLYNOMIAL with cancellation", QR_poly, 1.0 + 0x1p-20, &cubic},
    };
    unsigned short cw53 = precision_53(x87_control());
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        double at64, at53;
        c.f(&at64, &c.x, (const DoubleArray *)c.b->data());
        unsigned short after = at_53_bits([&] { c.f(&at53, &c.x, (const DoubleArray *)c.b->data()); });
        EXPECT_EQ(at53, at64);
        EXPECT_EQ(after, cw53);
    }
    const double p[6] = {0, 1, 1, 3, 2, 7};
    EXPECT_EQ(on_block(QR_lagrange, 100000.1, points), (double)reference(100000.1, 3, p));
}
