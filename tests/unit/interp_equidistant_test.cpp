// Equidistant-table interpolation: the nine routines through the sheet
// functions, their reports, and the front end's reading of the block.
#include "block_builder.h"
#include "quorel.h"
#include "quorel_math.h"
#include "fp/x87.h"
#include "interp/interp.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

enum Task { VALUE, INVERSE, EXTREMUM };
const double INF = __builtin_inf();
const double QNAN = __builtin_nan("");

struct IpCase {
    const char *what;
    Task task;
    std::vector<double> y;
    double arg;      // position or sought value
    double expected; // NaN: a NaN result
    double tol;      // absolute; 0 exact
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
    // ten for v = 200: the limit is nine. The ninth estimate is a zero all the
    // same, so it stands and nothing is reported.
    {"nine iterations suffice", INVERSE, {100, 200, 310}, 100, -1, 0, 0, 0},
    {"ten are too many", INVERSE, {100, 200, 310}, 200, 1.3204834074141777e-21, 1e-35, 0, 0},
    {"far start", INVERSE, {100, 200, 310}, 250, 0.46585609973065439, 1e-15, 0, 0},
    // No real solution: NaN and the report of the exhausted iteration.
    {"no real solution", INVERSE, {2, 3.5, 7.25}, 0, QNAN, 0, 0x2554, 33},
    // The step on the double zero is 0/0; the zero itself is the answer.
    {"double zero", INVERSE, {1, 0, 1}, 0, 0, 0, 0, 0},
    {"flat table", INVERSE, {0, 0, 0}, 1, QNAN, 0, 0x2554, 34},
    // Nothing to solve: the first attempt stands, with its report if any.
    {"NaN sought", INVERSE, {1, 2, 4}, QNAN, QNAN, 0, 0, 0},
    {"infinite entry", INVERSE, {1, INF, 4}, 3, QNAN, 0, 0x2554, 33},
    {"flat table, every position", INVERSE, {2, 2, 2}, 2, QNAN, 0, 0x2554, 33},
    // Small values pass |F| <= epsilon early: that estimate is 47 units off.
    {"small values", INVERSE, {1.7822291033237279e-4, -2.7907818871303623e-4, -7.458755113885627e-5},
     -1.0447700224549243e-4, -0.5600911658333633, 0, 0, 0},
    {"4: cubic root", INVERSE, {-1, 0, 1, 8}, 3.375, 1.5, 0, 0, 0},
    // Zeros at -3.2749 and 4.2749, equally far from the middle 0.5.
    {"4: mirrored zeros", INVERSE, {-0.2, -0.30000000000000004, -0.30000000000000004, -0.2}, 0.4,
     -3.2749172176353745, 0, 0, 0},
    {"4: flat table", INVERSE, {0, 0, 0, 0}, 0, QNAN, 0, 0x2564, 33},
    {"4: far start", INVERSE, {5.5, 0, 0.5, 19}, 19, 2, 0, 0, 0},
    {"5: table point", INVERSE, {16, 1, 0, 1, 16}, 1, 1, 0, 0, 0},
    {"5: double zero on a table point", INVERSE, {-3, 0, 2, 0, 1}, -3, -2, 0, 0, 0},
    {"5: flat table", INVERSE, {0, 0, 0, 0, 0}, 0, QNAN, 0, 0x2574, 33},
    // Newton from t = 8 does not reach the zero at the last point, 2; the
    // answer is the other one, nearer the middle.
    {"5: far start", INVERSE, {40, 11, 0, -5, 8}, 8, -0.79321650547218441, 1e-16, 0, 0},

    // Extrema: positions, not values.
    {"3: extremum", EXTREMUM, {1, 0, 2}, 0, -1.0 / 6.0, 0, 0, 0},
    {"5: symmetric", EXTREMUM, {0, 3, 4, 3, 0}, 0, 0, 0, 0, 0},
    {"3: constant", EXTREMUM, {5, 5, 5}, 0, QNAN, 0, 0x2558, 33},
    {"3: straight line", EXTREMUM, {1, 2, 3}, 0, QNAN, 0, 0x2558, 34},
    // A slope within epsilon ends the iteration at once, at -1e-11/0.
    {"3: straight line, small slope", EXTREMUM, {0, 1e-11, 2e-11}, 0, QNAN, 0, 0x2558, 34},
    // 2t^3 + 3t^2 - 4.5t: stationary at 0.5 and -1.5; Newton from 0 finds 0.5.
    {"4: extremum", EXTREMUM, {5.5, 0, 0.5, 19}, 0, 0.5, 0, 0, 0},
    {"4: constant", EXTREMUM, {2, 2, 2, 2}, 0, QNAN, 0, 0x2568, 33},
    // p' = 3(t - 0.5)^2 + e: no zero, but for e = 2^-33, a rounding unit of
    // the values 1e6 + ... of the table, one at 0.5 within rounding. Not so
    // for e = 858 2^-33.
    {"4: stationary within rounding", EXTREMUM, {999996.7499999999, 1e6, 1000000.2500000001, 1000003.5000000002},
     0, 0.5, 0, 0, 0},
    {"4: not within rounding", EXTREMUM, {999996.7499999001, 1e6, 1000000.2500000999, 1000003.5000001998}, 0, QNAN,
     0, 0x2568, 33},
    // p' = 3(t - 0.3)^2 + 3 has no real zero.
    {"4: no extremum", EXTREMUM, {-5.197, -0.027, 3.343, 10.913}, 0, QNAN, 0, 0x2568, 33},
    // t^4 + 2t^2 - 8t: p' = 4(t^3 + t - 2), zero at 1.
    {"5: extremum", EXTREMUM, {40, 11, 0, -5, 8}, 0, 1, 0, 0, 0},
    {"5: constant", EXTREMUM, {7, 7, 7, 7, 7}, 0, QNAN, 0, 0x2578, 33},
};

void expect_result(const IpCase &c, double r)
{
    if (c.expected != c.expected)
        EXPECT_TRUE(r != r) << r;
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

// epsilon is read by the first attempt. In {7.25; 3.5; 2} the value 5 is
// taken at 2.8081 and -0.4748; Newton's iteration from t = 5 reaches 2.8081,
// which stands. With a huge bound it stops after one step, at 79/23, which is
// no zero, and the zero nearest the middle of the table is the answer.
TEST_F(Equidistant, EpsilonIsRead)
{
    const double y[3] = {7.25, 3.5, 2};
    double saved = epsilon;
    double newton = (double)ip3_root(5.0, y);
    epsilon = 1e10;
    double nearest = (double)ip3_root(5.0, y);
    epsilon = saved;
    EXPECT_NEAR(newton, 7.0 / 3.0 + quadratic_root(), 1e-15);
    EXPECT_NEAR(nearest, -quadratic_root(), 1e-16);
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

namespace {

// q = p - v (or p') of a table as the routines form it, the table's size (its
// largest value) and the middle of its span.
struct ZeroProblem {
    long double q[5];
    long double size;
    long double middle;
};

void coefficients(const std::vector<double> &y, long double a[5])
{
    typedef void (*Builder)(const double *, long double *);
    static const Builder co[3] = {__ip3_co, __ip4_co, __ip5_co};
    co[y.size() - 3](y.data(), a);
}

ZeroProblem zero_problem(Task task, const std::vector<double> &y, double v)
{
    ZeroProblem z;
    long double a[5];
    coefficients(y, a);
    for (int k = 0; k < 5; k++)
        z.q[k] = task == INVERSE ? (k == 0 ? a[0] - v : a[k]) : (k < 4 ? (k + 1) * a[k + 1] : 0.0L);
    z.size = 0.0L;
    for (double yi : y)
        z.size = __builtin_fabsl(yi) > z.size ? __builtin_fabsl(yi) : z.size;
    z.middle = y.size() == 4 ? 0.5L : 0.0L;
    return z;
}

// Certainly no zero of q in [lo, hi]: at the centre m, |q(m)| exceeds the
// Taylor bound sum |q^(k)(m)/k!| r^k of the change over the half-width r,
// with room for the rounding of the coefficients. Otherwise the halves, down
// to a width of 2^-45 (|m| + 1).
bool zero_free(const ZeroProblem &z, long double lo, long double hi)
{
    long double m = lo + (hi - lo) * 0.5L, r = (hi - lo) * 0.5L;
    long double t[5], change = 0.0L, terms = 0.0L, rk = 1.0L, mk = 1.0L;
    for (int k = 0; k < 5; k++)
        t[k] = z.q[k];
    for (int k = 0; k < 4; k++)
        for (int j = 3; j >= k; j--)
            t[j] += m * t[j + 1];
    for (int k = 0; k < 5; k++) {
        change += k ? __builtin_fabsl(t[k]) * rk : 0.0L;
        terms += __builtin_fabsl(z.q[k]) * mk;
        rk *= r;
        mk *= __builtin_fabsl(m);
    }
    if (__builtin_fabsl(t[0]) > change + 0x1p-56L * (z.size + terms))
        return true;
    if (r < 0x1p-45L * (__builtin_fabsl(m) + 1.0L))
        return false;
    return zero_free(z, lo, m) && zero_free(z, m, hi);
}

// No real zero at all: none within Cauchy's bound.
bool no_real_zero(const ZeroProblem &z)
{
    int n = 4;
    while (n > 0 && z.q[n] == 0.0L)
        n--;
    long double bound = 1.0L;
    for (int k = 0; k < n; k++)
        bound += __builtin_fabsl(z.q[k] / z.q[n]);
    return n == 0 ? z.q[0] != 0.0L : zero_free(z, -bound, bound);
}

// t is a zero: q certainly changes sign within 4 to 8 rounding units of a
// double around it, or |q(t)| is within 16 units of the size of its terms.
bool is_zero(const ZeroProblem &z, long double t)
{
    long double d = 0x1p-50L * __builtin_fabsl(t) + 0x1p-62L, f[3], bound[3];
    for (int i = 0; i < 3; i++) {
        long double x = t + (i - 1) * d, terms = 0.0L, xk = 1.0L;
        f[i] = 0.0L;
        for (int k = 4; k >= 0; k--)
            f[i] = f[i] * x + z.q[k];
        for (int k = 0; k < 5; k++, xk *= __builtin_fabsl(x))
            terms += __builtin_fabsl(z.q[k]) * xk;
        bound[i] = terms > z.size ? terms : z.size;
    }
    if (__builtin_fabsl(f[0]) > 0x1p-56L * bound[0] && __builtin_fabsl(f[2]) > 0x1p-56L * bound[2] &&
        (f[0] < 0) != (f[2] < 0))
        return true;
    return __builtin_fabsl(f[1]) <= 0x1p-49L * bound[1];
}

// Newton's iteration alone, the first attempt of the routines.
double first_attempt(Task task, const std::vector<double> &y, double v)
{
    unsigned short cw = fpu_enter();
    long double a[5], step;
    int failed;
    coefficients(y, a);
    long double t = task == INVERSE ? __ip_root(a, v, &failed, &step) : __ip_extr(a, &failed, &step);
    fp_force(t);
    fp_clear();
    fpu_leave(cw);
    return (double)t;
}

double ten_to(int k)
{
    char text[16];
    snprintf(text, sizeof text, "1e%d", k);
    return strtod(text, nullptr);
}

} // namespace

// Tables on which Newton's iteration from the fixed start fails in some
// units, each written in units from 1e-200 to 1e200 and with both signs: the
// answer is a zero of the scaled table, the zero nearest its middle (as that
// of the unscaled table, within the rounding of the scaling) unless it is
// Newton's own, or NaN with a domain report in every unit.
TEST_F(Equidistant, SameAnswerInAnyUnits)
{
    const struct {
        const char *what;
        Task task;
        std::vector<double> y;
        double v;
        double expected; // exact zero of the unscaled table; NaN: none
        int code;
    } cases[] = {
        {"3: quadratic", INVERSE, {1, 2, 4}, 3, 0.56155281280883027, 0},
        {"5: thermocouple in microvolts", INVERSE, {0, 4096, 8138, 12209, 16397}, 10000, 0.45954349163259201, 0},
        {"4: the zero inside the table", INVERSE, {8.916003700843675, -8.176402716564628, -3.185189289915556,
                                                    2.216550761852485}, 7.515916585185284, -0.95938957116847179, 0},
        {"5: four zeros, the nearest", INVERSE, {3, 1, -1, 2, 6}, 0, 0.52659764007623488, 0},
        {"3: double zero", INVERSE, {1, 0, 1}, 0, 0, 0},
        {"3: no zero", INVERSE, {2, 3.5, 7.25}, 0, QNAN, 0x2554},
        {"5: quartic minimum", EXTREMUM, {4, 1, 0, 1, 4.5}, 0, 0.021247371559993056, 0},
        {"5: quartic minimum off the origin", EXTREMUM, {5, 1, 0.5, 1, 3}, 0, -0.19269722472847448, 0},
        // p''(0) = 0 stops the iteration at once. t^3 - 3t: stationary at -1
        // and 1, equally near the middle of -2 ... 2, and 1 nearer that of -1 ... 2.
        {"5: p''(0) = 0", EXTREMUM, {-2, 2, 0, -2, 2}, 0, -1, 0},
        {"4: p''(0) = 0", EXTREMUM, {2, 0, -2, 2}, 0, 1, 0},
        {"5: t^4, triple zero of p'", EXTREMUM, {16, 1, 0, 1, 16}, 0, 0, 0},
        {"4: no stationary point", EXTREMUM, {-5.197, -0.027, 3.343, 10.913}, 0, QNAN, 0x2568},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (int k = -200; k <= 200; k++) {
            for (double unit : {ten_to(k), -ten_to(k)}) {
                std::vector<double> y = c.y;
                for (double &yi : y)
                    yi *= unit;
                double r = sheet(c.task, c.v * unit, double_column(y));
                if (c.expected != c.expected) {
                    EXPECT_TRUE(r != r) << unit << " " << r;
                    EXPECT_EQ(funno, c.code) << unit;
                    EXPECT_EQ(error_number(), 33) << unit;
                } else {
                    unsigned short cw = fpu_enter();
                    EXPECT_TRUE(is_zero(zero_problem(c.task, y, c.v * unit), r)) << unit << " " << r;
                    fpu_leave(cw);
                    if (!same_bits(r, first_attempt(c.task, y, c.v * unit))) {
                        EXPECT_NEAR(r, c.expected, 1e-15 * (__builtin_fabs(c.expected) + 1)) << unit;
                    }
                    EXPECT_EQ(ercnt, 0) << unit;
                }
                clear_error_record();
            }
        }
    }
}

// Random tables (values in [-10, 10], some far outside, in several units):
// the sheet functions answer with a zero of q or with NaN where q has none;
// the zero that the solver gives for a table is the one nearest its middle,
// and the same bits in units that are powers of 2, as is the test of a first
// attempt.
TEST_F(Equidistant, RandomTablesGiveZerosOrErrors)
{
    const double units[] = {1, 1e-200, 1e200, -3e-12, -7e12, 0x1p-600};
    Rng rng{17};
    unsigned short cw = fpu_enter();
    for (int i = 0; i < 1200; i++) {
        Task task = rng.below(4) == 0 ? EXTREMUM : INVERSE;
        std::vector<double> y(3 + rng.below(3));
        for (double &yi : y)
            yi = rng.uniform(-10, 10);
        // Now and then one value, or the value sought, of another magnitude.
        if (rng.below(4) == 0)
            y[rng.below((int)y.size())] *= ten_to(rng.below(121) - 60);
        double v = task == INVERSE ? rng.uniform(-10, 10) : 0.0;
        if (task == INVERSE && rng.below(4) == 0)
            v *= ten_to(rng.below(201) - 100);
        SCOPED_TRACE(i);

        ZeroProblem z = zero_problem(task, y, v);
        long double zero;
        if (__ip_nearest_zero(z.q, z.middle, z.size, &zero)) {
            long double d = __builtin_fabsl(zero - z.middle), margin = 0x1p-40L * (__builtin_fabsl(zero) + 1.0L);
            EXPECT_TRUE(is_zero(z, zero));
            EXPECT_TRUE(d <= margin || zero_free(z, z.middle - d + margin, z.middle + d - margin));
            for (int k : {-600, -37, 45, 600}) {
                std::vector<double> scaled = y;
                for (double &yi : scaled)
                    yi = __builtin_ldexp(yi, k);
                ZeroProblem s = zero_problem(task, scaled, __builtin_ldexp(v, k));
                long double scaled_zero;
                EXPECT_TRUE(__ip_nearest_zero(s.q, s.middle, s.size, &scaled_zero) && scaled_zero == zero) << k;
                for (int j = 0; j < 8; j++) {
                    long double t = zero * (1.0L + (j - 4) * 0x1p-52L) + j * 0x1p-56L;
                    EXPECT_EQ(__ip_zero_within_rounding(s.q, t, s.size), __ip_zero_within_rounding(z.q, t, z.size));
                }
            }
        } else {
            EXPECT_TRUE(no_real_zero(z));
        }

        double unit = units[i % 6];
        for (double &yi : y)
            yi *= unit;
        z = zero_problem(task, y, v * unit);
        fpu_leave(cw);
        double r = sheet(task, v * unit, double_column(y));
        cw = fpu_enter();
        if (r != r) {
            EXPECT_TRUE(no_real_zero(z)) << unit;
            EXPECT_EQ(ercnt, 1);
        } else {
            EXPECT_TRUE(is_zero(z, r)) << unit << " " << r;
            EXPECT_EQ(ercnt, 0);
        }
        clear_error_record();
    }
    fpu_leave(cw);
}
