// Complex text codec: the reading and writing tables, the locale, and texts
// that must neither crash the reader nor overrun the 256-byte result buffer.
#include "complex/complex.h"
#include "fp/x87.h"
#include "test_support.h"

#include "quorel.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const double kInf = __builtin_inf();
const double kNaN = __builtin_nan("");

// The codec runs inside the sheet functions' 64-bit precision guard.
int parse(const char *text, Complex *z)
{
    unsigned short cw = fpu_enter();
    int ok = xparse(text, z);
    fpu_leave(cw);
    return ok;
}

std::string format(double re, double im, char *buffer)
{
    Complex z = {re, im};
    unsigned short cw = fpu_enter();
    xformat(buffer, &z);
    fpu_leave(cw);
    return buffer;
}

std::string format(double re, double im)
{
    char buffer[256];
    return format(re, im, buffer);
}

struct ReadCase {
    const char *text;
    int ok;
    double re, im;
};

const ReadCase read_cases[] = {
    {"3", 1, 3, 0},
    {"  -2.5", 1, -2.5, 0},
    {"2i", 1, 0, 2},
    {"i", 1, 0, 1},
    {"j", 1, 0, 1},
    {"-i", 1, 0, -1},
    {"+j", 1, 0, 1},
    {"i ", 1, 0, 1},
    {"3+4i", 1, 3, 4},
    {"3-4j", 1, 3, -4},
    {" 3+4i ", 1, 3, 4},
    {"3 +4i", 1, 3, 4},
    {"3 2i", 1, 3, 2},
    {"3+i", 1, 3, 1},
    {"3-i", 1, 3, -1},
    {"3 -j", 1, 3, -1},
    {"1e-3+2i", 1, 0.001, 2},
    {"3e+2i", 1, 0, 300},
    {"2i \t\n", 1, 0, 2},
    {"\t3\t-4i\n", 1, 3, -4},
    {"-0", 1, -0.0, 0},
    {".5-.25i", 1, 0.5, -0.25},
    {"1E308+1E308i", 1, 1e308, 1e308},
    {"0x1p3+0x1p-1i", 1, 8, 0.5},
    {"", 0, 0, 0},
    {"   ", 0, 0, 0},
    {"3 ", 0, 0, 0},
    {"3 + 4i", 0, 0, 0},
    {"3+4 i", 0, 0, 0},
    {"3 i", 0, 0, 0},
    {"3+4", 0, 0, 0},
    {"4i+3", 0, 0, 0},
    {"I", 0, 0, 0},
    {"3+4I", 0, 0, 0},
    {"i\t", 0, 0, 0},
    {"3x", 0, 0, 0},
    {"i x", 0, 0, 0},
    {"i i", 0, 0, 0},
    {"+", 0, 0, 0},
    {"-", 0, 0, 0},
    {"- 2i", 0, 0, 0},
    {"+-i", 0, 0, 0},
    {"3+ i", 0, 0, 0},
    {"3+4ii", 0, 0, 0},
    {"3+4i+", 0, 0, 0},
    {"3+4i5", 0, 0, 0},
    {"1,5", 0, 0, 0},
    {"3\x01+4i", 0, 0, 0},
    {"\xA0" "3", 0, 0, 0},
    {"3+4i\xA0", 0, 0, 0},
};

TEST(ComplexParse, Table)
{
    for (const ReadCase &c : read_cases) {
        Complex z = {7, 7};
        EXPECT_EQ(parse(c.text, &z), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(bits_of(z.re), bits_of(c.re)) << '"' << c.text << '"';
            EXPECT_EQ(bits_of(z.im), bits_of(c.im)) << '"' << c.text << '"';
        }
    }
}

// Non-finite spellings are read as strtod reads them; the formatter rejects them.
TEST(ComplexParse, NonFiniteSpellings)
{
    Complex z;
    ASSERT_EQ(parse("inf", &z), 1);
    EXPECT_EQ(z.re, kInf);
    ASSERT_EQ(parse("-Infinity", &z), 1);
    EXPECT_EQ(z.re, -kInf);
    ASSERT_EQ(parse("1-infi", &z), 1);
    EXPECT_EQ(z.re, 1);
    EXPECT_EQ(z.im, -kInf);
    ASSERT_EQ(parse("nan", &z), 1);
    EXPECT_NE(z.re, z.re);
    ASSERT_EQ(parse("2+nanj", &z), 1);
    EXPECT_NE(z.im, z.im);
    EXPECT_EQ(parse("in", &z), 0);
    EXPECT_EQ(parse("na", &z), 0);
    EXPECT_EQ(parse("infx", &z), 0);
}

struct WriteCase {
    double re, im;
    const char *text;
};

const WriteCase write_cases[] = {
    {0, 0, "0"},
    {-0.0, -0.0, "0"},
    {3, 0, "3"},
    {3, -0.0, "3"},
    {-0.0, 2, "2i"},
    {0, 1, "1i"},
    {0, -1, "-1i"},
    {3, 4, "3+4i"},
    {3, -4, "3-4i"},
    {-1.5, -2.25, "-1.5-2.25i"},
    {1.0 / 3, 0, "0.333333333333333"},
    {2.0 / 3, -2.0 / 3, "0.666666666666667-0.666666666666667i"},
    {1e20, 0, "1E+20"},
    {1e15, 0, "1E+15"},
    {999999999999999, 0, "999999999999999"},
    {123456789012345678.0, 0, "1.23456789012346E+17"},
    {0.0001, 0, "0.0001"},
    {0.00001, 0, "1E-05"},
    {1e-300, -1e-300, "1E-300-1E-300i"},
    {4.9406564584124654e-324, 0, "4.94065645841247E-324"},
    {1, 1e-17, "1"},
    {1e-17, 1, "1i"},
    {-1, 1.2246467991473532e-16, "-1"},
    {1, 0x1p-52, "1+2.22044604925031E-16i"},
    {0x1p-52, -1, "2.22044604925031E-16-1i"},
    {1, 0x1p-53, "1"},
    {1e308, 1e308, "1E+308+1E+308i"},
    {-1.7976931348623157e308, -1.7976931348623157e308, "-1.79769313486232E+308-1.79769313486232E+308i"},
    {kInf, 0, "Err:503"},
    {0, -kInf, "Err:503"},
    {kNaN, 1, "Err:503"},
    {1, kNaN, "Err:503"},
};

TEST(ComplexFormat, Table)
{
    for (const WriteCase &c : write_cases)
        EXPECT_EQ(format(c.re, c.im), c.text) << c.re << ", " << c.im;
}

// A formatted number fills the buffer with zeros to its end; "0" and the
// error text write only their own bytes.
TEST(ComplexFormat, BufferBytes)
{
    struct {
        double re, im;
        size_t written; // 0: the whole buffer
    } cases[] = {{3, -4, 0}, {0, 0, 2}, {kInf, 1, 8}};
    for (const auto &c : cases) {
        unsigned char guard[256 + 64];
        memset(guard, 0xA5, sizeof guard);
        char *buffer = (char *)guard + 32;
        std::string text = format(c.re, c.im, buffer);
        size_t end = c.written ? c.written : 256;
        for (size_t i = 0; i < 32; i++)
            ASSERT_EQ(guard[i], 0xA5);
        for (size_t i = text.size(); i < end; i++)
            ASSERT_EQ(buffer[i], 0) << text << " at " << i;
        for (size_t i = 32 + end; i < sizeof guard; i++)
            ASSERT_EQ(guard[i], 0xA5) << text << " at " << i - 32;
    }
}

// Every formatted value reads back, to the 15 digits written (a part below
// 10^-15 of the other is written as 0).
TEST(ComplexFormat, ReadsBack)
{
    Rng rng = {7};
    for (int i = 0; i < 2000; i++) {
        double re = rng.uniform(-1, 1) * __builtin_ldexp(1.0, rng.below(2098) - 1074);
        double im = rng.uniform(-1, 1) * __builtin_ldexp(1.0, rng.below(2098) - 1074);
        char buffer[256];
        std::string text = format(re, im, buffer);
        Complex z;
        ASSERT_EQ(parse(buffer, &z), 1) << text;
        double scale = __builtin_fmax(__builtin_fabs(re), __builtin_fabs(im));
        EXPECT_LE(__builtin_fabs(z.re - re) + __builtin_fabs(z.im - im), 1e-14 * scale)
            << text << " for " << re << ", " << im;
    }
}

// Long, control-character and Latin-1 texts through the sheet functions: the
// result is an error text or a number that reads back, and nothing outside
// the 256 bytes is touched.
TEST(ComplexText, GarbageNeverOverruns)
{
    std::string digits(100000, '1');
    std::string zeros = "0." + std::string(5000, '0') + "1+1i";
    std::vector<std::string> texts = {
        digits, digits + "i", "1+" + digits + "i", zeros, std::string(300, ' ') + "2i", std::string(1000, '+'),
        "3+4i" + std::string(1000, ' '), "\x7f", "\xff\xfe", "i\x01", "nan(12345)i", "-nan", "1e99999",
        "1e-99999+1i", "0x", "0x1.fffffffffffffp1023+0x1p-1074i", "\xe4\xf6\xfc", "+i+i", "--1",
    };
    Rng rng = {99};
    for (int i = 0; i < 300; i++) {
        std::string t((size_t)rng.below(600), 'x');
        for (char &c : t)
            c = (char)(1 + rng.below(255));
        texts.push_back(t);
    }
    // Each result checked on its own: the buffer, and a number that reads back.
    const struct {
        const char *name;
        void (*call)(char *result, const char *text);
    } calls[] = {
        {"XSQRT", [](char *result, const char *t) { QR_xsqrt(result, t); }},
        {"XDIV", [](char *result, const char *t) { QR_xdiv(result, "1+1i", t); }},
        {"XMUL", [](char *result, const char *t) { QR_xmul(result, t, t); }},
    };
    for (const std::string &t : texts) {
        for (const auto &c : calls) {
            unsigned char guard[256 + 64];
            memset(guard, 0xA5, sizeof guard);
            char *result = (char *)guard + 32;
            c.call(result, t.c_str());
            for (size_t i = 0; i < 32; i++)
                ASSERT_EQ(guard[i], 0xA5) << c.name;
            for (size_t i = 32 + 256; i < sizeof guard; i++)
                ASSERT_EQ(guard[i], 0xA5) << c.name;
            ASSERT_NE(memchr(result, 0, 256), nullptr) << c.name;
            std::string out = result;
            if (out != "Err:502" && out != "Err:503") {
                Complex z;
                EXPECT_EQ(parse(result, &z), 1) << c.name << ": " << out;
            }
        }
        double d = 1;
        QR_xabs(&d, t.c_str());
    }
}

// The number results give the library's quiet NaN for unreadable text.
TEST(ComplexText, NumberResultNaN)
{
    double d = 0;
    QR_xreal(&d, "3+4");
    EXPECT_EQ(bits_of(d), 0xFFF8000000000000ull);
    QR_xabs(&d, "");
    EXPECT_EQ(bits_of(d), 0xFFF8000000000000ull);
}

} // namespace

// Run by ctest with LC_ALL=de_DE.UTF-8 and QUOREL_EXPECT_GERMAN=1: after
// GetFunctionCount numbers carry a decimal comma and read back. Without the
// variable only the round trip is checked, in whatever locale is set.
TEST(GermanLocale, CommaRoundTrip)
{
    const char *expect = getenv("QUOREL_EXPECT_GERMAN");
    bool german = expect && strcmp(expect, "1") == 0;
    uint16_t count = 0;
    GetFunctionCount(&count);
    EXPECT_EQ(count, 40);

    char buffer[256];
    std::string text = format(1.5, -2.25, buffer);
    Complex z;
    EXPECT_EQ(parse(buffer, &z), 1) << text;
    EXPECT_EQ(z.re, 1.5);
    EXPECT_EQ(z.im, -2.25);
    if (german) {
        EXPECT_EQ(text, "1,5-2,25i");
        EXPECT_EQ(format(1e15, 0.5), "1E+15+0,5i");
        EXPECT_EQ(parse("1.5", &z), 0);
        char result[256];
        QR_xadd(result, "1,25+0,5i", "0,25-2i");
        EXPECT_STREQ(result, "1,5-1,5i");
        double d = 0;
        QR_xreal(&d, "2,5-1i");
        EXPECT_EQ(d, 2.5);
    }
    setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(format(1.5, -2.25), "1.5-2.25i");
    EXPECT_EQ(parse("1,5", &z), 0);
}
