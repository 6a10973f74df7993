#include "special/special.h"
#include "test_support.h"

using GammaErrors = ErrorRecord;

static double sheet_gamma(double x)
{
    double r;
    QR_gamma(&r, &x);
    return r;
}

// Reference values: Γ at the given points to 17 digits. The bound reflects
// the method: ln Γ goes through the double constants ln 2 and log2 e, so the
// error grows with |ln Γ(x)|.
TEST(Gamma, Values)
{
    const struct {
        double x, expected, ulps;
    } cases[] = {
        {1, 1, 0},
        {2, 1, 0},
        {3, 2, 1},
        {5, 24, 3},
        {0.5, 1.7724538509055159, 3},
        {2.5, 1.329340388179137, 2},
        {0.1, 9.5135076986687313, 3},
        {1e-5, 99999.422794225559, 8},
        {8, 5040, 4},
        {8.01, 5142.6532910591975, 6},  // first step of Stirling's branch
        {10, 362880, 8},
        {20.5, 5.4062429823350750e17, 30},
        {100, 9.3326215443944153e155, 150},
        {171.6, 1.5858969096672565e308, 400},
        {-0.5, -3.5449077018110318, 3},  // tie: y = 0.5 rounds to 0, sign -1
        {-1.5, 2.3632718012073544, 3},   // tie: y = 1.5 rounds to 2, sign flips to +1
        {-2.5, -0.94530872048294190, 3},
        {-0.3, -4.3268511088251927, 3},
        {-10.3, -5.2623632395356096e-07, 8},
        {-100.7, -1.6467012169218232e-159, 200},
    };
    for (const auto &c : cases) {
        double g = sheet_gamma(c.x);
        EXPECT_LE(ulp_distance(g, c.expected), c.ulps) << "GAMMA(" << c.x << ") = " << g;
        EXPECT_EQ(gamma(c.x), g);
    }
    EXPECT_EQ(bits_of(sheet_gamma(1)), bits_of(1.0));
    EXPECT_EQ(bits_of(sheet_gamma(2)), bits_of(1.0));
}

// ln Γ reaches the power of two in extended precision. These are the values
// of this evaluation; rounding ln Γ to double on the way would move them by
// 50 to 250 units (ln Γ(171.6) is about 706).
TEST(Gamma, ExtendedHandOff)
{
    const struct {
        double x, expected;
    } cases[] = {
        {171.6, 1.585896909667194e+308}, {170.5, 5.562092414559782e+305}, {150, 3.808922637630442e+260},
        {100, 9.332621544394225e+155},
    };
    for (const auto &c : cases)
        EXPECT_LE(ulp_distance(sheet_gamma(c.x), c.expected), 4) << c.x;
}

// Γ of the largest argument whose extended value still rounds to a finite
// double, and the step across.
TEST_F(GammaErrors, RangeEdges)
{
    EXPECT_GT(sheet_gamma(171.6), 1.58e308);
    EXPECT_EQ(sheet_gamma(171.7), __builtin_inf());
    EXPECT_GT(sheet_gamma(5.6e-309), 1.78e308);
    EXPECT_EQ(sheet_gamma(5.5e-309), __builtin_inf());
    EXPECT_EQ(sheet_gamma(-5.5e-309), -__builtin_inf());
    double tiny = sheet_gamma(-176.5); // a subnormal, without a report
    EXPECT_NEAR(tiny, -1.1940357341527994e-321, 1e-323);
    EXPECT_EQ(sheet_gamma(-1000.5), 0);
}

TEST(LogGamma, ValuesAndSign)
{
    const struct {
        double x, expected;
        int sign;
    } cases[] = {
        {-2.5, -0.056243716497674054, -1}, {-0.5, 1.2655121234846454, -1}, {-1.5, 0.86004701537648098, 1},
        {0.5, 0.57236494292470008, 1},     {3, 0.69314718055994531, 1},    {100, 359.13420536957540, 1},
        {1e300, 6.8977552789821374e302, 1},
    };
    for (const auto &c : cases) {
        int sign = 0;
        double l = lgamma(c.x, &sign);
        EXPECT_NEAR(l, c.expected, 4e-15 * (1 + __builtin_fabs(c.expected))) << c.x;
        EXPECT_EQ(sign, c.sign) << c.x;
    }
    int sign = 0;
    EXPECT_EQ(lgamma(1, &sign), 0);
    EXPECT_EQ(lgamma(2, &sign), 0);
}

TEST_F(GammaErrors, FailureTable)
{
    const double inf = __builtin_inf(), nan = __builtin_nan("");
    const struct {
        double x;
        double expected; // NaN: any NaN
        int error_number, code, reports;
    } cases[] = {
        {0.0, nan, 33, CODE_LGAMMA, 1},  {-0.0, nan, 33, CODE_LGAMMA, 1}, {-1, nan, 33, CODE_LGAMMA, 1},
        {-2, nan, 33, CODE_LGAMMA, 1},   {-1e300, nan, 33, CODE_LGAMMA, 1}, {-inf, nan, 33, CODE_LGAMMA, 1},
        {172, inf, 34, CODE_GAMMA, 1},   {1e-320, inf, 34, CODE_GAMMA, 1}, {nan, nan, 0, 0, 0},
        {inf, inf, 0, 0, 0},             {4.5, 11.631728396567448, 0, 0, 0},
    };
    for (const auto &c : cases) {
        clear_error_record();
        fp_clear();
        double g = sheet_gamma(c.x);
        unsigned flags = fp_flags() & FP_REPORTED;
        if (is_nan(c.expected))
            EXPECT_TRUE(is_nan(g)) << c.x << " gives " << g;
        else if (c.expected == __builtin_inf())
            EXPECT_EQ(g, c.expected) << c.x;
        else
            EXPECT_NEAR(g, c.expected, 1e-14 * c.expected) << c.x;
        EXPECT_EQ(error_number(), c.error_number) << c.x;
        EXPECT_EQ(funno, c.code) << c.x;
        EXPECT_EQ(ercnt, c.reports) << c.x;
        EXPECT_EQ(flags, 0u) << c.x;
    }
}

TEST_F(GammaErrors, LogGammaReportsPolesItself)
{
    int sign = 0;
    double l = lgamma(-3, &sign);
    EXPECT_TRUE(is_nan(l));
    EXPECT_EQ(funno, CODE_LGAMMA);
    EXPECT_EQ(error_number(), 33);
    funno = 0;
    EXPECT_EQ(lgamma(__builtin_inf(), &sign), __builtin_inf());
    EXPECT_EQ(sign, 1);
    EXPECT_TRUE(is_nan(lgamma(__builtin_nan(""), &sign)));
    EXPECT_EQ(funno, 0);
    EXPECT_EQ(ercnt, 1);
}

// Flags standing before the call count as the routine's own: the inner
// lgamma sees them first.
TEST_F(GammaErrors, StandingFlagsAreReported)
{
    fp_raise(FP_OVERFLOW);
    double g = sheet_gamma(4.5);
    EXPECT_NEAR(g, 11.631728396567448, 1e-14);
    EXPECT_EQ(error_number(), 34);
    EXPECT_EQ(funno, CODE_LGAMMA);
    EXPECT_EQ(ercnt, 1);

    clear_error_record();
    fp_raise(FP_UNDERFLOW | FP_INEXACT | FP_DENORMAL); // never reported
    sheet_gamma(4.5);
    EXPECT_EQ(ercnt, 0);
}

// With the x87 at 53-bit precision and stale (unreported) flags, GAMMA gives
// the same bits as at 64 bits and hands back the caller's control word.
TEST(GammaPrecision, IndependentOfCallerPrecisionControl)
{
    const double xs[] = {171.6, 0.5, -2.5, 20.5, 8.01, -100.7, 1e-5};
    unsigned short narrow = precision_53(x87_control());
    for (double x : xs) {
        double wide = sheet_gamma(x);
        int sign64 = 0, sign53 = 0;
        double l64 = lgamma(x, &sign64);
        double g, g2, l53;
        unsigned short seen = at_53_bits([&] {
            fp_raise(FP_INEXACT | FP_UNDERFLOW);
            g = sheet_gamma(x);
            g2 = gamma(x);
            l53 = lgamma(x, &sign53);
        });
        fp_clear();
        EXPECT_EQ(bits_of(g), bits_of(wide)) << x;
        EXPECT_EQ(bits_of(g2), bits_of(wide)) << x;
        EXPECT_EQ(bits_of(l53), bits_of(l64)) << x;
        EXPECT_EQ(sign53, sign64);
        EXPECT_EQ(seen, narrow);
    }
}

// The split of GAMMA's exponent follows the caller's rounding mode; the value
// stays close and the control word comes back unchanged.
TEST(GammaPrecision, KeepsCallerRoundingMode)
{
    unsigned short cw = x87_control();
    for (unsigned rc : {0x0400u, 0x0800u, 0x0C00u}) {
        unsigned short mode = (unsigned short)((cw & ~0x0C00) | rc);
        x87_set_control(mode);
        double g = sheet_gamma(30.5);
        unsigned short seen = x87_control();
        x87_set_control(cw);
        EXPECT_NEAR(g, 4.8226969334909086e31, 1e-13 * 4.8226969334909086e31) << rc;
        EXPECT_EQ(seen, mode);
    }
}
