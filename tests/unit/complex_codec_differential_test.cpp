// The complex codec against the C-library codec it replaces (strtod and
// "%.15G", fuzz/codec_reference.h): hard cases from a table and generated
// texts and pairs, in the C and a German locale, under every rounding mode
// and with flush-to-zero. Same return value, parts, text, flags and errno.
#include "codec_differential.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <string>
#include <vector>

namespace {

// The German locale under the names that the C runtimes know it by; "" when
// none is installed.
const char *german_locale_name()
{
    static const char *name = [] {
        static const char *names[] = {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "German", "deu"};
        for (const char *n : names)
            if (setlocale(LC_ALL, n)) {
                setlocale(LC_ALL, "C");
                return n;
            }
        fprintf(stderr, "note: no German locale installed; the differential tests run in the C locale only\n");
        return "";
    }();
    return name;
}

// Runs check in the C and the German locale (numeric category alone, as
// GetFunctionCount sets it, and the whole locale), each under the four
// rounding modes and with flush-to-zero.
template <typename Check> void in_every_environment(Check check)
{
    std::vector<std::pair<int, const char *>> locales = {{LC_ALL, "C"}};
    if (*german_locale_name()) {
        locales.push_back({LC_NUMERIC, german_locale_name()});
        locales.push_back({LC_ALL, german_locale_name()});
    }
    for (const auto &l : locales) {
        ASSERT_NE(setlocale(l.first, l.second), nullptr) << l.second;
        for (int mode = 0; mode < 5; mode++) {
            differential::set_environment(mode & 3, mode == 4);
            check(l.second, mode);
            differential::restore_environment();
        }
        setlocale(LC_ALL, "C");
    }
}

const char *const hard_texts[] = {
    // 17 digits, the ends of the range, subnormals, underflow and overflow
    "0.30000000000000004", "1.7976931348623157e308", "1.7976931348623158e308", "1.7976931348623159e308",
    "2.2250738585072014e-308", "2.2250738585072011e-308", "2.2250738585072009e-308", "4.9406564584124654e-324",
    "2.4703282292062327e-324", "2.4703282292062328e-324", "1e308", "1e-308", "1E+308+1E-308i", "1e309",
    "-1e309i", "1e-400", "1e-400+1i", "0e999999", "0.0e-99999i", "123456789012345678901234567890e-330",
    // halfway cases at 53 bits: 2^53 + 1 and neighbours, with digits far out
    "9007199254740993", "9007199254740993.0000000000000000000000000001", "9007199254740995", "9007199254740993e-5",
    "1.00000000000000011102230246251565404236316680908203125",
    "1.000000000000000111022302462515654042363166809082031250000000001",
    // 15 and 16 significant digits: short decimals, near and exact halfway
    "1.23456789012345", "123456789012345.5", "123456789012344.5", "1000000000000005", "1000000000000015",
    "0.1000000000000005", "9.999999999999995", "99999999999999.95", "0.000123456789012345", "1.5-2.25i",
    // long digit strings
    "100000000000000000000000000000000000000000000000000000000000000000000000000000000",
    "0.00000000000000000000000000000000000000000000000000000000000000000000000000000001",
    "3.14159265358979323846264338327950288419716939937510582097494459230781640628620899",
    "000000000000000000000000000000000000000000000000000000000000000000000000000001.5",
    // signs, separators, exponents
    "-0", "+0", "-0.0-0i", "+1", "+-1", "--1", "+.5", "-.", ".", ",", "+", "-", "1.", "1,", ".5", ",5", "1,5",
    "1.5", "1,5e3", "1.5,3", "1,5-2,25i", "1.5-2.25i", "1e", "1e+", "1e-", "1e-5x", "1E5", "1e0005", "1e+0i",
    "5e-324i", "1e23", "1e22", "8.98846567431158e307",
    // every special form
    "inf", "INF", "Inf", "infinity", "INFINITY", "Infinity", "infinit", "-inf", "+inf", "infi", "-infj", "1+infi",
    "nan", "NAN", "NaN", "nan()", "nan(123)", "nan(0x7ff)", "nan(abc_1)", "nan(", "nan(1", "-nan", "nani",
    "nan(1)j", "2-nan(5)i", "in", "na", "i", "j", "-i", "+j", "I", "N",
    // hexadecimal
    "0x1p3", "0X1.8P-1", "0x", "0x.8p1", "0x1p", "+0x10", "-0x1.fffffffffffffp1023", "0x1p-1074", "0x1p-1075",
    "0x1p1024", "0x1.8p0+0x2p0i",
    // white space variants
    "\t1", "\n1+2i", "\v1", "\f1", "\r1", " 1 +2i", "1\t+2i", "1+2i\t", "1 ", "i ", "i\t", "2i \t\n", " \xA0" "1",
    "1+2i\xA0", "\xA0", "1 2i", "1 -i", "1 i",
};

TEST(ComplexCodecDifferential, HardTexts)
{
    in_every_environment([](const char *locale, int mode) {
        for (const char *text : hard_texts) {
            const char *what = differential::check_parse(text);
            EXPECT_EQ(what, nullptr) << what << ": \"" << text << "\" in " << locale << ", mode " << mode;
            Complex z;
            unsigned short cw = fpu_enter();
            int ok = xparse(text, &z);
            fpu_leave(cw);
            if (ok) {
                what = differential::check_format(z.re, z.im);
                EXPECT_EQ(what, nullptr) << what << ": \"" << text << "\" in " << locale << ", mode " << mode;
            }
        }
    });
}

const double hard_values[] = {
    // halfway at 15 digits (exact in binary): ties to even
    123456789012345.5, 123456789012344.5, 1000000000000005, 1000000000000015, 999999999999999.5, 0.5, 2.5,
    1.25e-5, 0x1p-20, 0x1p-60, 0x1p60, 12345678901234.25,
    // just beside them
    0x1.c12cfb4eb80p+46, 1.0000000000000002, 0.99999999999999989, 9.9999999999999982e14, 9.99999999999999e14,
    1e15, 1e14, 99999.99999999999, 0.0001, 0.00001, 0.000099999999999999991,
    // range ends and subnormals
    1.7976931348623157e308, 2.2250738585072014e-308, 2.2250738585072009e-308, 4.9406564584124654e-324,
    1e-310, 1e308, 1e-308, 1e100, 1e-100, 1e22, 1e23,
};

TEST(ComplexCodecDifferential, HardValues)
{
    in_every_environment([](const char *locale, int mode) {
        for (double v : hard_values) {
            for (double re : {v, -v, 0.0, 1.0})
                for (double im : {v, -v, 0.0, 1.0}) {
                    const char *what = differential::check_format(re, im);
                    EXPECT_EQ(what, nullptr)
                        << what << ": " << re << ", " << im << " in " << locale << ", mode " << mode;
                }
        }
    });
}

// Texts made of the pieces that matter to the reader.
std::string random_text(Rng &rng)
{
    static const char *const pieces[] = {
        "0", "1", "5", "9", "12345678", "0000", "999999999999999", ".", ",", "e", "E", "e-", "e+", "+", "-", "i",
        "j", " ", "\t", "\n", "inf", "nan", "nan(7)", "0x1p", "x", "\xA0", "e300", "e-300", "e22", "e-22", "3",
    };
    std::string t;
    int n = 1 + rng.below(12);
    for (int i = 0; i < n; i++)
        t += pieces[rng.below((int)(sizeof pieces / sizeof *pieces))];
    return t;
}

// Pairs from raw bits, from short decimals m * 10^e, and from 15-digit
// decimals nudged by a few units in the last place.
double random_value(Rng &rng)
{
    switch (rng.below(3)) {
    case 0:
        return from_bits(rng.next());
    case 1: {
        double m = (double)(rng.next() % 100000000000000000u);
        double scale = __builtin_ldexp(1.0, rng.below(120) - 60);
        return (rng.below(2) ? -m : m) * scale;
    }
    default: {
        char text[64];
        snprintf(text, sizeof text, "%d.%014llde%d", 1 + rng.below(9),
                 (unsigned long long)(rng.next() % 100000000000000u), rng.below(600) - 300);
        double v = strtod(text, nullptr);
        uint64_t b = bits_of(v) + (uint64_t)(rng.below(5) - 2);
        return from_bits(b);
    }
    }
}

TEST(ComplexCodecDifferential, Generated)
{
    in_every_environment([](const char *locale, int mode) {
        Rng rng = {(uint64_t)(1000 + mode)};
        int rounds = mode == 0 ? 20000 : 2000;
        int failures = 0;
        for (int i = 0; i < rounds && failures < 10; i++) {
            std::string text = random_text(rng);
            const char *what = differential::check_parse(text.c_str());
            if (what) {
                failures++;
                ADD_FAILURE() << what << ": \"" << text << "\" in " << locale << ", mode " << mode;
            }
            double re = random_value(rng), im = rng.below(4) ? random_value(rng) : 0.0;
            what = differential::check_format(re, im);
            if (what) {
                failures++;
                ADD_FAILURE() << what << ": " << re << ", " << im << " in " << locale << ", mode " << mode;
            }
        }
    });
}

// Texts written by the library read back as the values written, and the
// texts of the hard halfway values are those that printf gives.
TEST(ComplexCodecDifferential, HalfwayTexts)
{
    const struct {
        double v;
        const char *text;
    } cases[] = {
        {123456789012345.5, "123456789012346"}, {123456789012344.5, "123456789012344"},
        {1000000000000005, "1E+15"},            {1000000000000015, "1.00000000000002E+15"},
        {999999999999999.5, "1E+15"},           {0x1p-20, "9.5367431640625E-07"},
        {4.9406564584124654e-324, "4.94065645841247E-324"},
    };
    setlocale(LC_ALL, "C");
    for (const auto &c : cases) {
        char buffer[256];
        Complex z = {c.v, 0};
        unsigned short cw = fpu_enter();
        xformat(buffer, &z);
        fpu_leave(cw);
        EXPECT_STREQ(buffer, c.text);
    }
}

} // namespace
