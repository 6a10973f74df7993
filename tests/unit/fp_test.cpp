#include "test_support.h"

#include <float.h>

#include "fp/reduce.h"

static uint32_t float_bits(float f)
{
    uint32_t b;
    memcpy(&b, &f, sizeof b);
    return b;
}

TEST(Constants, BitPatterns)
{
    EXPECT_EQ(float_bits(_qnan), 0xFFC00000u);
    EXPECT_EQ(float_bits(_snan), 0x7FC00000u);
    EXPECT_EQ(float_bits(_infp), 0x7F800000u);
    EXPECT_EQ(float_bits(_infn), 0xFF800000u);
    EXPECT_EQ(bits_of(_ln2), 0x3FE62E42FEFA39EFull);
    EXPECT_EQ(bits_of(_log2e), 0x3FF71547652B82FEull);
    EXPECT_EQ(bits_of(_pi), 0x400921FB54442D18ull);
    EXPECT_EQ(bits_of(_pi_2), 0x3FF921FB54442D18ull);
    EXPECT_EQ(bits_of(_pi_4), 0x3FE921FB54442D18ull);
    EXPECT_EQ(bits_of(_2_pi), 0x3FE45F306DC9C883ull);
    EXPECT_EQ(epsilon, 1e-10);
    EXPECT_EQ(_zero + _half + _one + _two + _eight, 11.5f);
    EXPECT_EQ(bits_of(no_result()), 0xFFF8000000000000ull);
}

// The bit helpers decide on the pattern alone: no flag, whatever the NaN, and
// |x| keeps a NaN's payload.
TEST(Bits, NaNAndMagnitudeWithoutFlags)
{
    const struct {
        uint64_t x;
        int nan;
        uint64_t magnitude;
    } cases[] = {
        {0x0000000000000000ull, 0, 0x0000000000000000ull}, // 0
        {0x8000000000000000ull, 0, 0x0000000000000000ull}, // -0
        {0x8000000000000001ull, 0, 0x0000000000000001ull}, // -min subnormal
        {0xFFF0000000000000ull, 0, 0x7FF0000000000000ull}, // -inf
        {0x7FF0000000000001ull, 1, 0x7FF0000000000001ull}, // signalling NaN
        {0xFFF8000000000000ull, 1, 0x7FF8000000000000ull}, // the library's NaN
        {0xFFF4000000000123ull, 1, 0x7FF4000000000123ull}, // negative signalling NaN, payload
    };
    for (const auto &c : cases) {
        fp_clear();
        double x = from_bits(c.x);
        EXPECT_EQ(is_nan(x), c.nan) << std::hex << c.x;
        EXPECT_EQ(bits_of(abs_d(x)), c.magnitude) << std::hex << c.x;
        EXPECT_EQ(sign_bit(x), (int)(c.x >> 63)) << std::hex << c.x;
        EXPECT_EQ(fp_flags() & FP_INVALID, 0u) << std::hex << c.x;
    }
}

TEST(Bits, TruncateInt32)
{
    const struct {
        double v;
        int32_t expected;
    } cases[] = {
        {2.9, 2}, {-2.9, -2}, {-0.0, 0}, {2147483647.9, INT32_MAX}, {-2147483648.9, INT32_MIN},
        {2147483648.0, INT32_MIN}, {-2147483649.0, INT32_MIN}, {__builtin_inf(), INT32_MIN},
        {__builtin_nan(""), INT32_MIN},
    };
    for (const auto &c : cases)
        EXPECT_EQ(truncate_int32(c.v), c.expected) << c.v;
}

TEST(Classification, IsFinite)
{
    const struct {
        double x;
        int expected;
    } cases[] = {
        {0.0, 1}, {-0.0, 1}, {4.9406564584124654e-324, 1}, {DBL_MAX, 1}, {-DBL_MAX, 1},
        {__builtin_inf(), 0}, {-__builtin_inf(), 0}, {__builtin_nan(""), 0}, {-__builtin_nan(""), 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(_isfinit(c.x), c.expected) << c.x;
}

TEST(Classification, IsOdd)
{
    const struct {
        double x;
        int expected;
    } cases[] = {
        {3.0, 1}, {-3.0, 1}, {1.0, 1}, {9007199254740991.0, 1},
        {0.0, -1}, {-0.0, -1}, {2.0, -1}, {9007199254740992.0, -1}, {-9223372036854775808.0, -1},
        {2.5, 0}, {-0.5, 0}, {4.9406564584124654e-324, 0}, {__builtin_inf(), 0}, {-__builtin_inf(), 0},
        {__builtin_nan(""), 0}, {9223372036854775808.0, 0}, {1e300, 0}, {-1e300, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(_isodd(c.x), c.expected) << c.x;
}

static bool same_extended(long double a, long double b) { return memcmp(&a, &b, 10) == 0; }

// Remainders by pi/2 from MPFR (20000-bit pi), correctly rounded to the
// extended format; the reduction must give them to the bit, also with the x87
// at 53 bits (it computes on integers).
TEST(Reduce, RemainderAndQuadrant)
{
    const struct {
        long double x, r;
        int q;
    } cases[] = {
        {0x8p-3L, -0x9.21fb54442d1846ap-4L, 1},
        {-0x8p-3L, 0x9.21fb54442d1846ap-4L, 3},
        {0x8p+60L, -0xc.15641bbff90aee8p-10L, 1},    // 2^63, where fsin stops
        {0x8.ac7230489e8p+60L, -0xc.4c23f08fa4a0abdp-5L, 3}, // 1e19
        {-0x8.ac7230489e8p+60L, 0xc.4c23f08fa4a0abdp-5L, 1},
        {0x8.78678326eac9p+70L, 0x8.cf55ccb19e6bf6dp-4L, 3},
        {0xb.504f333f9de68p+597L, -0xb.75daf31a72c33c4p-4L, 3},
        {0xb.562d931650ff8p+846L, 0x8.a5739735d1177a3p-64L, 1},    // the double nearest a multiple of pi/2
        {0xf.ffffffffffff8p+1020L, -0xa.298107f8359cb5fp-11L, 2},  // the largest double
        {0xd.c0c9e97af82b5ddp+994L, -0x8.23c5929804c4876p-5L, 2},  // 1e300 ln 10, beyond the doubles
        {0xf.28ab66522546ee1p+10591L, -0xb.05944258a463fafp-79L, 3}, // within 2^-76 of a multiple
        {0xf.fffffffffffffffp+16380L, 0x8.061c52487f652abp-6L, 1},   // the largest extended value
        {-0xf.fffffffffffffffp+16380L, -0x8.061c52487f652abp-6L, 3},
        {0xc.90fdaa22168c234p-4L, 0xc.90fdaa22168c234p-4L, 0},      // below pi/4: x itself
    };
    for (const auto &c : cases) {
        int q = -1, q53 = -1;
        long double r = reduce_half_pi(c.x, &q), r53 = 0;
        at_53_bits([&] { r53 = reduce_half_pi(c.x, &q53); });
        EXPECT_TRUE(same_extended(r, c.r)) << (double)c.x << ": " << (double)r;
        EXPECT_EQ(q, c.q) << (double)c.x;
        EXPECT_TRUE(same_extended(r53, c.r) && q53 == c.q) << (double)c.x;
    }
}

// sin_full and cos_full: MPFR's values at the huge arguments (qemu's fsin and
// fcos on the remainder are only double-accurate: one ulp); below 2^63 and at
// infinities and NaN the processor's own results and flags (the processor's
// fsin of an infinity is NaN, qemu's the infinity).
TEST(Reduce, SineAndCosine)
{
    const struct {
        long double x;
        double sin, cos;
    } huge[] = {
        {0x8p+60L, 0x1.fff6dfd42dc54p-1, 0x1.82aa375b3c33ep-7},
        {0x8.ac7230489e8p+60L, -0x1.daa805f702a5cp-1, -0x1.7fe7240949636p-2},
        {-0xb.f21e44003acep+993L, 0x1.a2c16b010e385p-1, -0x1.2699022adc4c1p-1},
        {0xf.ffffffffffff8p+1020L, 0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1},
        {0xd.c0c9e97af82b5ddp+994L, 0x1.01abf3cf26351p-2, -0x1.ef867a35629d4p-1},
        {0xf.28ab66522546ee1p+10591L, -0x1p+0, -0x1.60b2884b148c8p-76},
    };
    for (const auto &c : huge) {
        EXPECT_LE(ulp_distance((double)sin_full(c.x), c.sin), 1u) << (double)c.x;
        EXPECT_LE(ulp_distance((double)cos_full(c.x), c.cos), 1u) << (double)c.x;
    }
    const long double processor[] = {0x1.fffffffffffffp+62L, -0xf.fffffffffffffffp+59L, 1e18L, 3.0L, -0.0L,
                                     (long double)__builtin_inf(), -(long double)__builtin_inf(),
                                     (long double)__builtin_nan("")};
    for (long double x : processor) {
        fp_clear();
        long double s = x87_sin(x), c = x87_cos(x);
        unsigned flags = fp_flags() & FP_REPORTED;
        fp_clear();
        EXPECT_TRUE(same_extended(sin_full(x), s) && same_extended(cos_full(x), c)) << (double)x;
        EXPECT_EQ(fp_flags() & FP_REPORTED, flags) << (double)x;
    }
    fp_clear();
}

using MathErr = ErrorRecord;

TEST_F(MathErr, ErrorNumberFromFlags)
{
    const struct {
        int flags, expected;
    } cases[] = {
        {0x01, 33}, {0x08, 34}, {0x09, 34}, {0x05, 34}, {0x04, 34}, {0x40, 33}, {0x00, 33}, {0x31, 33},
    };
    for (const auto &c : cases) {
        clear_error_record();
        __matherr(c.flags, CODE_J0);
        EXPECT_EQ(error_number(), c.expected) << "flags " << c.flags;
    }
}

static int hook_calls;
static void counting_hook(void) { hook_calls++; }

TEST_F(MathErr, OnlyTheFirstReportSetsErrnoAndCallsTheHook)
{
    hook_calls = 0;
    onerr = counting_hook;
    __matherr(0x08, CODE_GAMMA);
    EXPECT_EQ(error_number(), 34);
    *test_errno_cell() = 0;
    __matherr(0x01, CODE_J0);
    EXPECT_EQ(ercnt, 2);
    EXPECT_EQ(funno, CODE_GAMMA);
    EXPECT_EQ(error_number(), 0);
    EXPECT_EQ(hook_calls, 1);

    funno = 0;
    __matherr(0x01, CODE_J0);
    EXPECT_EQ(ercnt, 3);
    EXPECT_EQ(funno, CODE_J0);
    EXPECT_EQ(error_number(), 33);
    EXPECT_EQ(hook_calls, 2);
}

TEST_F(MathErr, PrivateErrorNumberLeavesErrnoAlone)
{
    errno = 0;
    EXPECT_EQ(_geterrno(), test_errno_cell());
    __matherr(0x04, CODE_Y0);
    EXPECT_EQ(error_number(), 34);
    EXPECT_EQ(errno, 0);

    restore_default_errno_source();
    EXPECT_EQ(_geterrno(), &errno);
    funno = 0;
    __matherr(0x01, CODE_Y0);
    EXPECT_EQ(errno, 33);
    errno = 0;
}

TEST_F(MathErr, FlagsAreClearAfterEveryReport)
{
    for (int first = 0; first < 2; first++) {
        funno = first ? 0 : CODE_J1;
        fp_raise(FP_OVERFLOW | FP_INVALID | FP_INEXACT);
        volatile double big = DBL_MAX;
        volatile double sum = big + big; // overflow in MXCSR as well
        (void)sum;
        __matherr((int)fp_flags(), CODE_J1);
        EXPECT_EQ(fp_flags() & 0x7Fu, 0u) << "first " << first;
    }
}

static unsigned short hook_cw;
static unsigned hook_flags, hook_mxcsr;

static void meddling_hook(void)
{
    hook_cw = x87_control();
    hook_flags = fp_flags();
    asm volatile("stmxcsr %0" : "=m"(hook_mxcsr));
    x87_set_control(0x0E7F); // round up, 53-bit precision
    unsigned up = 0x5F80;    // round up
    asm volatile("ldmxcsr %0" : : "m"(up));
    fp_raise(FP_DIVBYZERO);
}

// The hook runs in a fresh environment; whatever it changes is undone, and the
// state saved meanwhile is the caller's.
TEST_F(MathErr, HookGetsFreshStateAndCannotLeak)
{
    onerr = meddling_hook;
    unsigned short cw = x87_control();
    unsigned mxcsr_before;
    asm volatile("stmxcsr %0" : "=m"(mxcsr_before));
    x87_set_control((unsigned short)((cw & ~0x0F00) | 0x0400 | 0x0300)); // round down, 64-bit
    fp_raise(FP_OVERFLOW);
    __matherr(FP_OVERFLOW, CODE_GAMMA);
    unsigned short cw_after = x87_control();
    unsigned mxcsr_after;
    asm volatile("stmxcsr %0" : "=m"(mxcsr_after));
    x87_set_control(cw);

    EXPECT_EQ(hook_cw, 0x037F);
    EXPECT_EQ(hook_mxcsr & 0xFFBFu, 0x1F80u);
    EXPECT_EQ(hook_flags & 0x7Fu, 0u);
    EXPECT_EQ(cw_after, (unsigned short)((cw & ~0x0F00) | 0x0700));
    EXPECT_EQ(mxcsr_after & ~0x3Fu, mxcsr_before & ~0x3Fu);
    EXPECT_EQ(fp_flags() & 0x7Fu, 0u);

    uint16_t saved_cw, saved_sw;
    memcpy(&saved_cw, _fpustate, 2);
    memcpy(&saved_sw, _fpustate + 4, 2);
    EXPECT_EQ(saved_cw, cw_after);
    EXPECT_TRUE(saved_sw & FP_OVERFLOW);
}
