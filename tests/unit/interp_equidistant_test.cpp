// Equidistant-table interpolation: the nine routines through the sheet
// functions, their reports, and the front end's reading of the block.
#include "block_builder.h"
#include "quorel.h"
#include "quorel_math.h"
#include "fp/x87.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <string.h>

#include <vector>

namespace {

enum Task { VALUE, INVERSE, EXTREMUM };
const double INF = __builtin_inf();
const double QNAN = __builtin_nan("");
const double ANY = -1.0; // tolerance: any finite result

struct IpCase {
    const char *what;
    Task task;
    std::vector<double> y;
    double arg;      // position or sought value
    double expected; // NaN: a NaN result
    double tol;      // absolute; 0 exact, ANY: only finite
    int code;        // 0: no report
    int err;         // error number of the report
};

double sheet(Task task, double arg, const BlockBytes &block)
{
    const DoubleArray *t = (const DoubleArray *)block.data();
    double r = 12345.0;
    if (task == VALUE)
        QR_ipfunc(&r, &arg, t);
    else if (task == INVERSE)
        QR_iproot(&r, &arg, t);
    else
        QR_ipextr(&r, t);
    return r;
}

long double routine(Task task, double arg, const std::vector<double> &y)
{
    typedef long double (*Func)(double, const double *);
    typedef long double (*Extr)(const double *);
    static const Func func[3] = {ip3_func, ip4_func, ip5_func};
    static const Func root[3] = {ip3_root, ip4_root, ip5_root};
    static const Extr extr[3] = {ip3_extr, ip4_extr, ip5_extr};
    size_t n = y.size() - 3;
    if (task == VALUE)
        return func[n](arg, y.data());
    if (task == INVERSE)
        return root[n](arg, y.data());
    return extr[n](y.data());
}

// Root of 1.125 t^2 + 2.625 t - 1.5, the inverse of 5 in {2; 3.5; 7.25}.
double quadratic_root(void)
{
    unsigned short cw = fpu_enter();
    long double t = (-2.625L + x87_sqrt(13.640625L)) / 2.25L;
    fpu_leave(cw);
    return (double)t;
}

const IpCase cases[] = {
    // Values: every table point, the origin entry of each length, and
    // polynomials of full degree reproduced off the table.
    {"3: between", VALUE, {2, 3.5, 7.25}, 0.5, 5.09375, 0, 0, 0},
    {"3: first", VALUE, {2, 3.5, 7.25}, -1, 2, 0, 0, 0},
    {"3: origin", VALUE, {2, 3.5, 7.25}, 0, 3.5, 0, 0, 0},
    {"3: last", VALUE, {2, 3.5, 7.25}, 1, 7.25, 0, 0, 0},
    {"3: extrapolated", VALUE, {2, 3.5, 7.25}, 2, 13.25, 0, 0, 0},
    {"4: origin is the second", VALUE, {1, -2, 0.5, 4}, 0, -2, 0, 0, 0},
    {"4: first", VALUE, {1, -2, 0.5, 4}, -1, 1, 0, 0, 0},
    {"4: third", VALUE, {1, -2, 0.5, 4}, 1, 0.5, 0, 0, 0},
    {"4: last", VALUE, {1, -2, 0.5, 4}, 2, 4, 0, 0, 0},
    {"4: between", VALUE, {1, -2, 0.5, 4}, 0.5, -1.15625, 0, 0, 0},
    {"4: extrapolated", VALUE, {1, -2, 0.5, 4}, -2, 14, 0, 0, 0},
    {"4: cubic", VALUE, {-1, 0, 1, 8}, 3, 27, 0, 0, 0},
    {"5: origin is the middle", VALUE, {3, 1, -1, 2, 6}, 0, -1, 0, 0, 0},
    {"5: first", VALUE, {3, 1, -1, 2, 6}, -2, 3, 0, 0, 0},
    {"5: second", VALUE, {3, 1, -1, 2, 6}, -1, 1, 0, 0, 0},
    {"5: fourth", VALUE, {3, 1, -1, 2, 6}, 1, 2, 0, 0, 0},
    {"5: last", VALUE, {3, 1, -1, 2, 6}, 2, 6, 0, 0, 0},
    {"5: between", VALUE, {3, 1, -1, 2, 6}, 0.5, -0.0859375, 0, 0, 0},
    {"5: quartic", VALUE, {16, 1, 0, 1, 16}, 3, 81, 0, 0, 0},
    {"5: quartic between", VALUE, {16, 1, 0, 1, 16}, 0.5, 0.0625, 0, 0, 0},
    // Finite in extended precision; only the rounding to double overflows,
    // after the check.
    {"finite beyond double", VALUE, {1, 2, 4}, 1e308, INF, 0, 0, 0},
    // inf * 0 in Horner's rule (a3 = a4 = 0): invalid.
    {"3: infinite position", VALUE, {1, 2, 4}, INF, QNAN, 0, 0x2550, 33},
    {"4: infinite entry", VALUE, {INF, 0, 0, 0}, 0, QNAN, 0, 0x2560, 33},
    {"5: infinite entry", VALUE, {1, INF, 0, 0, 0}, 0.5, QNAN, 0, 0x2570, 33},
    // A quiet NaN raises nothing, so nothing is reported.
    {"NaN entry", VALUE, {1, QNAN, 3}, 0, QNAN, 0, 0, 0},

    // Inverse values. The answer carries the correction of one more step after
    // the test succeeded: the iterate before it is 2e-15 off.
    {"3: inverse", INVERSE, {2, 3.5, 7.25}, 5, quadratic_root(), 0, 0, 0},
    {"3: inverse at the last point", INVERSE, {2, 3.5, 7.25}, 7.25, 1, 1e-15, 0, 0},
    {"3: inverse at the origin", INVERSE, {2, 3.5, 7.25}, 3.5, 0, 1e-15, 0, 0},
    // From t = v the table {100; 200; 310} needs nine steps for v = 100 and
    // ten for v = 200: the limit is nine.
    {"nine iterations suffice", INVERSE, {100, 200, 310}, 100, -1, 0, 0, 0},
    {"ten are too many", INVERSE, {100, 200, 310}, 200, 1.3204834074141777e-21, 1e-35, 0x2554, 33},
    {"far start", INVERSE, {100, 200, 310}, 250, 0.46585609973065439, 1e-15, 0x2554, 33},
    {"no real solution", INVERSE, {2, 3.5, 7.25}, 0, 0.50997940451230095, 1e-15, 0x2554, 33},
    // On the root, but the step there is 0/0: the final quotient counts.
    {"zero slope on the root", INVERSE, {1, 0, 1}, 0, QNAN, 0, 0x2554, 33},
    {"flat table", INVERSE, {0, 0, 0}, 1, QNAN, 0, 0x2554, 34},
    {"4: cubic root", INVERSE, {-1, 0, 1, 8}, 3.375, 1.5, 0, 0, 0},
    {"4: flat table", INVERSE, {0, 0, 0, 0}, 0, QNAN, 0, 0x2564, 33},
    {"4: far start", INVERSE, {5.5, 0, 0.5, 19}, 19, 2.0000000002378728, 1e-15, 0x2564, 33},
    {"5: table point", INVERSE, {16, 1, 0, 1, 16}, 1, 1, 0, 0, 0},
    {"5: flat table", INVERSE, {0, 0, 0, 0, 0}, 0, QNAN, 0, 0x2574, 33},
    {"5: far start", INVERSE, {40, 11, 0, -5, 8}, 8, 2.0000000000001651, 1e-15, 0x2574, 33},

    // Extrema: positions, not values.
    {"3: extremum", EXTREMUM, {1, 0, 2}, 0, -1.0 / 6.0, 0, 0, 0},
    {"5: symmetric", EXTREMUM, {0, 3, 4, 3, 0}, 0, 0, 0, 0, 0},
    {"3: constant", EXTREMUM, {5, 5, 5}, 0, QNAN, 0, 0x2558, 33},
    {"3: straight line", EXTREMUM, {1, 2, 3}, 0, QNAN, 0, 0x2558, 34},
    // 2t^3 + 3t^2 - 4.5t: stationary at 0.5 and -1.5; Newton from 0 finds 0.5.
    {"4: extremum", EXTREMUM, {5.5, 0, 0.5, 19}, 0, 0.5, 0, 0, 0},
    {"4: constant", EXTREMUM, {2, 2, 2, 2}, 0, QNAN, 0, 0x2568, 33},
    // p' = 3(t - 0.3)^2 + 3 has no real zero.
    {"4: no extremum", EXTREMUM, {-5.197, -0.027, 3.343, 10.913}, 0, 0, ANY, 0x2568, 33},
    // t^4 + 2t^2 - 8t: p' = 4(t^3 + t - 2), zero at 1.
    {"5: extremum", EXTREMUM, {40, 11, 0, -5, 8}, 0, 1, 0, 0, 0},
    {"5: constant", EXTREMUM, {7, 7, 7, 7, 7}, 0, QNAN, 0, 0x2578, 33},
};

void expect_result(const IpCase &c, double r)
{
    if (c.expected != c.expected)
        EXPECT_TRUE(r != r) << r;
    else if (c.tol == ANY)
        EXPECT_TRUE(_isfinit(r)) << r;
    else if (c.tol == 0)
        EXPECT_EQ(r, c.expected);
    else
        EXPECT_NEAR(r, c.expected, c.tol);
}

} // namespace

using Equidistant = ErrorRecord;

TEST_F(Equidistant, SheetFunctionsAndRoutines)
{
    for (const IpCase &c : cases) {
        SCOPED_TRACE(c.what);
        BlockBytes t = double_column(c.y);
        double r = sheet(c.task, c.arg, t);
        expect_result(c, r);
        EXPECT_EQ(ercnt, c.code ? 1 : 0);
        EXPECT_EQ(funno, c.code);
        EXPECT_EQ(error_number(), c.err);

        // The exported routine gives the same and reports the same.
        clear_error_record();
        double direct = (double)routine(c.task, c.arg, c.y);
        EXPECT_TRUE(same_bits(direct, r)) << direct << " " << r;
        EXPECT_EQ(funno, c.code);
        EXPECT_EQ(error_number(), c.err);
        clear_error_record();
    }
}

// epsilon is read by the iteration: a huge bound stops after one step, and the
// answer is that step, 5 - F(5)/F'(5) = 79/37.
TEST_F(Equidistant, EpsilonIsRead)
{
    const double y[3] = {2, 3.5, 7.25};
    double saved = epsilon;
    epsilon = 1e10;
    double r = (double)ip3_root(5.0, y);
    epsilon = saved;
    EXPECT_EQ(r, (double)(79.0L / 37.0L));
    EXPECT_EQ(ercnt, 0);
}

// Flags left standing by earlier work are not the routine's own.
TEST_F(Equidistant, StaleFlagsAreNotReported)
{
    const double y[3] = {2, 3.5, 7.25};
    BlockBytes t = double_column({2, 3.5, 7.25});
    const double x = 0.5, v = 5;
    double r;
    fp_raise(FP_INVALID | FP_DIVBYZERO | FP_OVERFLOW | FP_STACKFAULT);
    EXPECT_EQ((double)ip3_func(x, y), 5.09375);
    fp_raise(FP_INVALID | FP_DIVBYZERO | FP_OVERFLOW);
    QR_iproot(&r, &v, (const DoubleArray *)t.data());
    EXPECT_EQ(r, quadratic_root());
    fp_raise(FP_OVERFLOW);
    QR_ipextr(&r, (const DoubleArray *)t.data());
    EXPECT_EQ(ercnt, 0);
    EXPECT_EQ(funno, 0);
    fp_clear();
}

// The block: only count is tested, 3 to 5 entries in block order whatever the
// shape, nothing past count or past a cell in error is read.
TEST_F(Equidistant, Blocks)
{
    struct {
        const char *what;
        BlockBytes block;
        double value; // IPOLVALUE at 0.5, NaN when the table is refused
    } blocks[] = {
        {"column", double_column({2, 3.5, 7.25}), 5.09375},
        {"row", double_row({2, 3.5, 7.25}), 5.09375},
        {"2 x 2 in row order", double_range(0, 0, 1, 1, {1, -2, 0.5, 4}), -1.15625},
        {"reversed corners", double_range(7, 9, 7, 5, {3, 1, -1, 2, 6}), -0.0859375},
        {"corners never looked at", double_range(0, 0, 9, 9, {2, 3.5, 7.25}), 5.09375},
        {"two entries", double_column({2, 3.5}), QNAN},
        {"six entries", double_column({3, 1, -1, 2, 6, 8}), QNAN},
        {"no entries", double_range(0, 0, 0, 0, {}), QNAN},
        {"count 0 before good cells", double_range(0, 0, 0, 2, {2, 3.5, 7.25}, {}, 0), QNAN},
        {"count 3 of four cells", double_range(0, 0, 0, 3, {2, 3.5, 7.25, 1e300}, {0, 0, 0, 7}, 3), 5.09375},
        {"first cell in error", double_column({2, 3.5, 7.25}, {7}), QNAN},
        {"last cell in error", double_column({3, 1, -1, 2, 6}, {0, 0, 0, 0, 0x8000}), QNAN},
        {"middle cell in error", double_column({1, -2, 0.5, 4}, {0, 0, 1}), QNAN},
    };
    for (auto &b : blocks) {
        SCOPED_TRACE(b.what);
        double r = sheet(VALUE, 0.5, b.block);
        if (b.value != b.value) {
            double inverse = sheet(INVERSE, 5, b.block);
            double extremum = sheet(EXTREMUM, 0, b.block);
            EXPECT_TRUE(r != r && inverse != inverse && extremum != extremum) << r << inverse << extremum;
        } else {
            EXPECT_EQ(r, b.value);
        }
        EXPECT_EQ(ercnt, 0);
    }
}
