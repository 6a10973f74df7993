// The accuracy tool's own measure: known errors of deliberately perturbed
// results, the hard rules, the S part on its own, huge arguments, cut
// conventions and closeness.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "diff.h"
#include "large_order.h"
#include "measure.h"
#include "regions.h"

namespace {

struct Scratch {
    Truth t, other;
    Scratch()
    {
        reference_setup();
        truth_init(&t);
        truth_init(&other);
    }
    ~Scratch()
    {
        truth_clear(&t);
        truth_clear(&other);
    }
    Verdict judge(const Input &in, Value got) { return judge_input(in, got, &t, &other); }
    double kappa(const Input &in)
    {
        compute_truth(in, false, &t);
        return t.kappa;
    }
};

Input real(Func f, double x, int n = 0) { return Input{f, n, {x, 0, 0, 0}}; }
Input cplx(Func f, double x, double y) { return Input{f, 0, {x, y, 0, 0}}; }

const double sqrt_pi = 1.7724538509055160273;

TEST(AccuracyMeasure, PerturbedResultsGiveTheirError)
{
    Scratch s;
    // The true value rounded to double, its parts scaled by (1 + re) and (1 + im).
    struct Case {
        Input in;
        double re, im;
        double e; // expected E, to 1 %; 0: at most a rounding
        Outcome outcome;
    } cases[] = {
        {real(F_GAMMA, 0.5), 0, 0, 0, O_OK},
        {real(F_GAMMA, 0.5), 0x1p-30, 0, 0x1p-30, O_OVER},
        {real(F_GAMMA, 0.5), -1e-13, 0, 1e-13, O_OK},
        // Only the real part off: E = 1e-10 |Re| / |e^z| = 1e-10 cos 1.
        {cplx(F_XEXP, 1, 1), 1e-10, 0, 1e-10 * std::cos(1.0), O_OVER},
        {cplx(F_XEXP, 1, 1), 3e-13, -3e-13, 3e-13, O_OK},
        // J0 2e-6 from its first zero: kappa ~ 1.2e6 lets 1e-10 through, not 1e-8.
        {real(F_JN, 2.404825557695773 + 2e-6), 1e-10, 0, 1e-10, O_OK},
        {real(F_JN, 2.404825557695773 + 2e-6), 1e-8, 0, 1e-8, O_OVER},
    };
    for (const Case &c : cases) {
        compute_truth(c.in, false, &s.t);
        Value got = {mpfr_get_d(s.t.re, MPFR_RNDN) * (1 + c.re), mpfr_get_d(s.t.im, MPFR_RNDN) * (1 + c.im)};
        Verdict v = s.judge(c.in, got);
        EXPECT_EQ(v.outcome, c.outcome) << func_info[c.in.f].name << " " << c.in.a[0] << " " << c.re;
        if (c.e == 0) {
            EXPECT_LT(v.e, 2e-16);
        } else {
            EXPECT_NEAR(v.e / c.e, 1, 0.01) << v.e;
        }
    }
}

TEST(AccuracyMeasure, ConditionNumbers)
{
    Scratch s;
    struct Case {
        Input in;
        double kappa;
    } cases[] = {
        {real(F_GAMMA, 1), 0.57721566490153286},         // |1 psi(1)| = Euler's gamma
        {real(F_JN, 1, 0), 1 * 0.44005058574493352 / 0.76519768655796655},
        {real(F_YN, 3, 1), std::fabs(3 * 0.37685001001279034 / 0.32467442479180000 - 1)}, // x Y0/Y1 - 1
        {real(F_YN, 3, 4), -1},                          // recurrence path: only finite and positive
        {cplx(F_XEXP, 2, 0), 2},
        {cplx(F_XLOG, std::exp(1.0), 0), 1},
        {cplx(F_XSQRT, -3, 4), 0.5},
        {cplx(F_XATANH, 0.5, 0), 0.5 / (0.75 * 0.54930614433405485)},
        {Input{F_XPOW, 0, {2, 0, 3, 0}}, 3},                   // max(|z2|, |z2 log z1|)
        {Input{F_XPOW, 0, {100, 0, 3, 0}}, 3 * 4.6051701859880914},
    };
    for (const Case &c : cases) {
        double k = s.kappa(c.in);
        if (c.kappa < 0) {
            EXPECT_TRUE(std::isfinite(k) && k > 0);
        } else {
            EXPECT_NEAR(k / c.kappa, 1, 1e-6) << func_info[c.in.f].name << " " << c.in.a[0];
        }
    }
}

TEST(AccuracyMeasure, HardRules)
{
    Scratch s;
    struct Case {
        Input in;
        Value got;
        Outcome outcome;
    } cases[] = {
        {real(F_GAMMA, 200), {1.7976931348623157e308, 0}, O_HARD}, // finite where it overflows
        {real(F_GAMMA, 200), {INFINITY, 0}, O_OK},
        {real(F_GAMMA, 3), {NAN, 0}, O_HARD},
        {real(F_GAMMA, 3), {INFINITY, 0}, O_HARD},
        {real(F_GAMMA, -2), {NAN, 0}, O_OK},                    // a pole: no value
        {real(F_GAMMA, -2), {5, 0}, O_HARD},
        {real(F_JN, 1e-160, 2), {0, 0}, O_HARD},                 // 1.25e-321 is a subnormal
        {real(F_JN, 1e-170, 2), {0, 0}, O_OK},                   // 1.25e-341 is not
        {cplx(F_XEXP, 710, 0), {INFINITY, 0}, O_HARD},          // e^710 = 2.2e308 is... over DBL_MAX
        {cplx(F_XCOSH, 710, 0), {1.1169973830808557e308, 0}, O_OK},
    };
    cases[8].outcome = O_OK; // e^710 overflows: infinity is right
    for (const Case &c : cases) {
        Verdict v = s.judge(c.in, c.got);
        EXPECT_EQ(v.outcome, c.outcome) << func_info[c.in.f].name << " " << c.in.a[0] << " " << c.got.re;
    }
}

TEST(AccuracyMeasure, PairKernelsJudgeTheSPartOnItsOwn)
{
    Scratch s;
    const double sin1 = 0.8414709848078965, cos1 = 0.54030230586813977;
    const double half_pi = 1.5707963267948966, cos_half_pi = 6.123233995736766e-17;
    struct Case {
        Input in;
        Value got;
        Outcome outcome;
    } cases[] = {
        {cplx(F_XSIN, 0, 1e-20), {0, 0}, O_HARD},              // XSIN("1E-20i") = 0
        {cplx(F_XSINH, 1e-20, 0), {0, 0}, O_HARD},
        {cplx(F_XSIN, 1, 1e-20), {sin1, 0}, O_OVER},           // the whole is within 1e-20
        {cplx(F_XSIN, 1, 1e-20), {sin1, cos1 * 1e-20 * (1 + 1e-10)}, O_OVER},
        {cplx(F_XSIN, 1, 1e-20), {sin1, cos1 * 1e-20 * (1 + 1e-13)}, O_OK},
        {cplx(F_XSINH, 1e-20, 1), {cos1 * 1e-20 * (1 - 1e-10), sin1}, O_OVER}, // xsinh: the real part
        // cos x sinh y where cos x is 6e-17: ill-conditioned in x on its own
        // (kappa_s = |x tan x|, 2.6e16), though not as a whole.
        {cplx(F_XSIN, half_pi, 1e-10), {1, cos_half_pi * 1e-10 * (1 + 1e-4)}, O_OK},
    };
    for (const Case &c : cases)
        EXPECT_EQ(s.judge(c.in, c.got).outcome, c.outcome) << func_info[c.in.f].name << " " << c.in.a[0] << " "
                                                           << c.in.a[1] << " " << c.got.im;
    EXPECT_LT(s.kappa(cplx(F_XSIN, half_pi, 1e-10)), 1e-9); // |z cot z| of the whole
    compute_truth(cplx(F_XSIN, half_pi, 1e-10), false, &s.t);
    EXPECT_NEAR(s.t.kappa_s / 2.565e16, 1, 1e-3); // |x tan x| + |y coth y|
}

TEST(AccuracyMeasure, KernelConventions)
{
    Scratch s;
    // xacosh: the negative of the principal value for a negative real part.
    EXPECT_EQ(s.judge(cplx(F_XACOSH, -2, 0.4), {-1.3463562356047836, -2.9164313849283715}).outcome, O_OK);
    EXPECT_EQ(s.judge(cplx(F_XACOSH, -2, 0.4), {1.3463562356047836, 2.9164313849283715}).outcome, O_OVER);
    EXPECT_EQ(s.judge(cplx(F_XACOSH, 0.7, -0.3), {0.38559098731817488, -0.86189288582939139}).outcome, O_OK);
    // On a cut either side's limit counts.
    EXPECT_EQ(s.judge(cplx(F_XSQRT, -4, -0.0), {0, -2}).outcome, O_OK);
    EXPECT_EQ(s.judge(cplx(F_XSQRT, -4, 0.0), {0, -2}).outcome, O_OK);
    EXPECT_EQ(s.judge(cplx(F_XACOSH, -3, 0.0), {-1.7627471740390861, 3.1415926535897931}).outcome, O_OK);
    EXPECT_EQ(s.judge(cplx(F_XSQRT, -4, 1e-300), {0, -2}).outcome, O_OVER); // off the cut it does not
}

TEST(AccuracyMeasure, TanFarFromTheAxis)
{
    Scratch s;
    // tan(1 + 100i) = 2 sin 2 e^-200 (1 + O(e^-200)) + i (1 - O(e^-200)); past
    // |Im z| = 64 the reference takes this form instead of MPC's tan.
    compute_truth(cplx(F_XTAN, 1, 100), false, &s.t);
    EXPECT_NEAR(mpfr_get_d(s.t.re, MPFR_RNDN) / (2 * std::sin(2.0) * std::exp(-200.0)), 1, 1e-14);
    EXPECT_EQ(mpfr_get_d(s.t.im, MPFR_RNDN), 1.0);
    compute_truth(cplx(F_XTANH, -1e300, 2), false, &s.t);
    EXPECT_EQ(mpfr_get_d(s.t.re, MPFR_RNDN), -1.0);
    // Either side of the switch at 64 agrees.
    compute_truth(cplx(F_XTAN, 0.5, 64), false, &s.t);
    double below = mpfr_get_d(s.t.re, MPFR_RNDN);
    compute_truth(cplx(F_XTAN, 0.5, std::nextafter(64.0, 65.0)), false, &s.t);
    EXPECT_NEAR(mpfr_get_d(s.t.re, MPFR_RNDN) / below, 1, 1e-13);
}

TEST(AccuracyMeasure, Closeness)
{
    Scratch s;
    Input in = real(F_GAMMA, 0.5);
    compute_truth(in, false, &s.t);
    Value exact = {sqrt_pi, 0}, near = {std::nextafter(sqrt_pi, 2.0), 0}, nan = {NAN, 0};
    EXPECT_EQ(compare_closeness(exact, near, s.t), -1);
    EXPECT_EQ(compare_closeness(near, exact, s.t), 1);
    EXPECT_EQ(compare_closeness(near, near, s.t), 0);
    EXPECT_EQ(compare_closeness(near, nan, s.t), -1);
    // A zero with the sign of a tiny true part is the closer one.
    Input tiny = cplx(F_XCOS, 0x1p-994, 0x1.725921d913e7ap-83); // imaginary part about -2.3e-324: -0 in double
    compute_truth(tiny, false, &s.t);
    EXPECT_EQ(compare_closeness({1, -0.0}, {1, 0.0}, s.t), -1);
    EXPECT_EQ(compare_closeness({1, 0.0}, {1, -0.0}, s.t), 1);
    // Where the true value overflows, the infinity is the right answer.
    compute_truth(real(F_GAMMA, 200), false, &s.t);
    EXPECT_EQ(compare_closeness({INFINITY, 0}, {1.7976931348623157e308, 0}, s.t), -1);
}

TEST(AccuracyRegions, SamplersStayInTheirRanges)
{
    regions_setup();
    for (int i = 0; i < region_count; i++) {
        const Region &r = regions[i];
        Rng rng(7);
        for (int k = 0; k < 2000; k++) {
            Input in{r.f, r.order, {0, 0, 0, 0}};
            r.sample(rng, r, &in);
            for (double a : in.a)
                ASSERT_TRUE(std::isfinite(a)) << r.name;
            double m = std::hypot(in.a[0], in.a[1]);
            if (!strcmp(r.name, "small")) {
                ASSERT_LE(m, 1e-3 * (1 + 1e-15));
            } else if (!strcmp(r.name, "below-n")) {
                ASSERT_TRUE(in.a[0] >= 0.8 * in.n && in.a[0] < in.n);
            } else if (!strcmp(r.name, "j0-zeros")) {
                ASSERT_GT(in.n, in.a[0]);
            } else if (!strcmp(r.name, "huge") || !strcmp(r.name, "huge-angle")) {
                ASSERT_TRUE(huge_argument(in)) << func_info[r.f].name;
            }
        }
    }
    // The first zero of J0, from MPFR.
    EXPECT_NEAR(j0_zeros[0], 2.404825557695773, 1e-15);
    EXPECT_NEAR(j0_zeros[39], 124.8793089132329, 1e-12);
}

// Where the trigonometric argument reaches 2^63 (as the kernel forms it) the
// plain target holds; xpow10 and xpow are held to the angle as formed.
TEST(AccuracyMeasure, HugeArguments)
{
    const double big = 0x1p63, below = 0x1.fffffffffffffp62;
    struct Case {
        Input in;
        bool huge;
    } cases[] = {
        {cplx(F_XSIN, big, 0), true},      {cplx(F_XSIN, below, 0), false}, {cplx(F_XSIN, 0, 1e300), false},
        {cplx(F_XTAN, 0x1p62, 0), true},   {cplx(F_XTAN, below / 2, 0), false},
        {cplx(F_XTANH, 0, 0x1p62), true},  {cplx(F_XEXP, 1, -big), true},   {cplx(F_XEXP, 1e300, 1), false},
        {cplx(F_XPOW10, 0, 4.1e18), true}, {cplx(F_XPOW10, 0, 3.9e18), false},
        {real(F_JN, -big, 3), true},       {real(F_YN, below, 3), false},   {cplx(F_XASIN, big, big), false},
        {Input{F_XPOW, 0, {-1, -0.0, 1e300, 0}}, true}, {Input{F_XPOW, 0, {0, 1, 6e18, 3}}, true},
        {Input{F_XPOW, 0, {0, 1, 5e18, 0}}, false},     {Input{F_XPOW, 0, {1, 0, 1e300, 0}}, false},
        {Input{F_XPOW, 0, {2, 0, 0, 1e300}}, false},    {cplx(F_XSIN, INFINITY, 0), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(huge_argument(c.in), c.huge) << func_info[c.in.f].name << " " << c.in.a[0] << " " << c.in.a[1];

    Scratch s;
    // 10^(1e19 i) at y ln 10 as formed, and (-1)^(1e300) at 1e300 pi (the
    // extended pi), whose exact values are -0.6966...+0.7174i, not 1.
    compute_truth(cplx(F_XPOW10, 0, 1e19), false, &s.t);
    EXPECT_NEAR(mpfr_get_d(s.t.re, MPFR_RNDN), -0.29986393428903829, 1e-16);
    EXPECT_NEAR(mpfr_get_d(s.t.im, MPFR_RNDN), -0.95398198144026769, 1e-16);
    compute_truth(Input{F_XPOW, 0, {-1, 0, 1e300, 0}}, false, &s.t);
    EXPECT_NEAR(mpfr_get_d(s.t.re, MPFR_RNDN), -0.69665613405359517, 1e-16);
    EXPECT_TRUE(s.t.plain);
    // BESSEL(1e19; 0) = -2.32e-10: within 1e-12, relative; near a zero,
    // absolute in units of sqrt(2/(pi x)) = 2.52e-10.
    const double j = -2.3228731060101173e-10;
    EXPECT_EQ(s.judge(real(F_JN, 1e19, 0), {j * (1 + 3e-13), 0}).outcome, O_OK);
    EXPECT_EQ(s.judge(real(F_JN, 1e19, 0), {j * (1 + 3e-12), 0}).outcome, O_OVER);
    EXPECT_EQ(s.judge(cplx(F_XSIN, 1e19, 0), {-0.92706316604865009 * (1 + 1e-11), 0}).outcome, O_OVER);
    EXPECT_EQ(s.judge(cplx(F_XSIN, 1e19, 0), {-0.92706316604865009 * (1 + 1e-13), 0}).outcome, O_OK);
}

TEST(AccuracyRegions, DifferentialBins)
{
    regions_setup();
    struct Case {
        Input in;
        const char *prefix;
        bool named;
    } cases[] = {
        {real(F_JN, 99.9, 100), "below-n", true},
        {real(F_JN, 2.404825557695773, 4), "j0-zeros", true},
        {real(F_JN, 2.4, 40), "backward branch elsewhere", true},
        {real(F_JN, 50, 20), "forward branch", false},
        {cplx(F_XTAN, 1, 6000), "large-imag", true},
        {cplx(F_XTAN, 1.5707963, 0), "poles", true},
        {cplx(F_XTAN, 1, 1), "elsewhere", false},
        {cplx(F_XTANH, 0, 1.5707963), "poles", true},
        {cplx(F_XATANH, 0.99999999, 0), "near-1", true},
        {cplx(F_XATAN, 0, -1.001), "near-i", true},
        {cplx(F_XATAN, 1e-5, 1e-5), "small", true},
        {cplx(F_XASIN, 3e4, 1), "upper-large", true},
        {cplx(F_XASIN, 3e4, -1), "elsewhere", false},
        {cplx(F_XASIN, 3e4, -0.0), "cut", true},
        {cplx(F_XACOS, 5, 1), "upper:", true},
        {cplx(F_XACOS, 5, -1), "elsewhere", false},
        {cplx(F_XASINH, -1e7, 1), "left-large", true},
        {cplx(F_XACOSH, 1e7, 1), "elsewhere", false},
        {cplx(F_XACOSH, 1e7, 0), "cut", true},
        {cplx(F_XASINH, 1e-15, 0), "small", true},
        {cplx(F_XACOS, 1e-15, -0.0), "small", true},
        {cplx(F_XACOSH, 1e-15, 0), "elsewhere", false},
        {cplx(F_XASIN, 1e200, 1), "huge", true},
        {real(F_GAMMA, 3), "elsewhere", false},
        {real(F_YN, 1e19, 2), "huge", true},
        {cplx(F_XTANH, 1e-300, 0x1p62), "huge", true},
        {cplx(F_XTAN, 0.5, 0x1p-12), "tiny", true}, // 2y below 2^-10
        {cplx(F_XTAN, 0.5, 0x1p-11), "elsewhere", false},
        {cplx(F_XCOSH, -0.0, 1), "elsewhere", false},
        {cplx(F_XCOSH, -1e-300, 1), "tiny", true},
        {Input{F_XPOW, 0, {-0.0, 0, -1, 0}}, "zero-base", true},
    };
    for (const Case &c : cases) {
        bool named;
        std::string bin = bin_of(c.in, &named);
        EXPECT_EQ(bin.compare(0, strlen(c.prefix), c.prefix), 0) << bin << " for " << c.prefix;
        EXPECT_EQ(named, c.named) << bin;
    }
}

TEST(AccuracyLibrary, TwoCopiesSideBySide)
{
    // Two files of the same build: each opened with its own handle, and the
    // differential mode finds no change between them.
    const char *path = std::getenv("QUOREL_LIBRARY");
    if (!path)
        GTEST_SKIP() << "QUOREL_LIBRARY not set";
    std::string copy = testing::TempDir() + "/libquorel-copy.so";
    {
        std::ifstream in(path, std::ios::binary);
        std::ofstream out(copy, std::ios::binary);
        out << in.rdbuf();
    }
    Library a, b;
    std::string error;
    ASSERT_TRUE(load_library(path, &a, &error)) << error;
    ASSERT_TRUE(load_library(copy.c_str(), &b, &error)) << error;
    EXPECT_NE(a.handle, b.handle);
    EXPECT_NE((void *)a.jn, (void *)b.jn);
    regions_setup();
    reference_setup();
    FILE *sink = fopen("/dev/null", "w");
    for (Func f : {F_JN, F_XTAN, F_XASINH})
        EXPECT_EQ(diff_function(a, b, f, 2000, 1, sink), 0);
    fclose(sink);
    std::remove(copy.c_str());
}

double relative_difference(const mpfr_t a, const mpfr_t b)
{
    mpfr_t d;
    mpfr_init2(d, 64);
    mpfr_div(d, a, b, MPFR_RNDN);
    mpfr_sub_ui(d, d, 1, MPFR_RNDN);
    double r = std::fabs(mpfr_get_d(d, MPFR_RNDN));
    mpfr_clear(d);
    return r;
}

// The reference from order 10^4 on: against MPFR's jn and the forward
// recurrence of Yn from MPFR's y0 and y1 at n = 10^4 (near x = n by the
// steps, away from it by Debye), and its two methods against each other just
// outside the band at the largest order.
TEST(LargeOrderReference, AgreesWithMpfrAndAcrossMethods)
{
    reference_setup();
    const long n = 10000;
    mpfr_t mine, other, x, a, b;
    mpfr_inits2(400, mine, other, x, a, b, (mpfr_ptr)0);
    for (double xv : {9000.0, 9990.0, 10000.0, 10100.0, 11000.0}) {
        double kappa;
        mpfr_set_d(x, xv, MPFR_RNDN);
        large_order_value(true, n, xv, mine, &kappa);
        mpfr_jn(other, n, x, MPFR_RNDN);
        EXPECT_LT(relative_difference(mine, other), 1e-60) << "J at " << xv;
        large_order_value(false, n, xv, mine, &kappa);
        mpfr_y0(a, x, MPFR_RNDN);
        mpfr_y1(b, x, MPFR_RNDN);
        for (long k = 1; k < n; k++) { // a, b = Y(k-1), Y(k)
            mpfr_mul_si(other, b, 2 * k, MPFR_RNDN);
            mpfr_div(other, other, x, MPFR_RNDN);
            mpfr_sub(a, other, a, MPFR_RNDN);
            mpfr_swap(a, b);
        }
        EXPECT_LT(relative_difference(mine, b), 1e-60) << "Y at " << xv;
    }
    const long top = 2147483647;
    for (double side : {-35.0, 35.0})
        for (bool first : {true, false}) {
            double xv = std::floor(top + side * std::cbrt((double)top));
            ASSERT_TRUE(large_order_debye(first, top, xv, mine));
            large_order_steps(first, top, xv, 45, other);
            EXPECT_LT(relative_difference(mine, other), 1e-60) << first << " at " << xv;
        }
    mpfr_clears(mine, other, x, a, b, (mpfr_ptr)0);
}

TEST(AccuracyLibrary, LoadsAndMeasuresTheBuild)
{
    const char *path = std::getenv("QUOREL_LIBRARY");
    if (!path)
        GTEST_SKIP() << "QUOREL_LIBRARY not set";
    Library lib;
    std::string error;
    ASSERT_TRUE(load_library(path, &lib, &error)) << error;
    Scratch s;
    EXPECT_EQ(s.judge(real(F_GAMMA, 0.5), evaluate(lib, real(F_GAMMA, 0.5))).outcome, O_OK);
    EXPECT_EQ(s.judge(cplx(F_XEXP, 1, 1), evaluate(lib, cplx(F_XEXP, 1, 1))).outcome, O_OK);
    EXPECT_FALSE(load_library("/nonexistent/libquorel.so", &lib, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
