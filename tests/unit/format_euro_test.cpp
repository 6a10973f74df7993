#include "format/format.h"
#include "quorel.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <float.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <string>
#include <vector>

static void euro(char *result, double number, double decimals) { QR_euro(result, &number, &decimals); }

// The host's view: the text, then zero bytes up to and including byte 255.
static std::string euro_checked(double number, double decimals)
{
    char buf[QR_TEXT_SIZE];
    memset(buf, 0x55, sizeof buf);
    euro(buf, number, decimals);
    size_t n = strnlen(buf, sizeof buf);
    EXPECT_LT(n, sizeof buf);
    for (size_t i = n; i < sizeof buf; i++)
        if (buf[i] != 0) {
            ADD_FAILURE() << "byte " << i << " not zero after " << number << ", " << decimals;
            break;
        }
    return std::string(buf, n);
}

#pragma GCC diagnostic ignored "-Wformat-truncation"

// The full "%.*f EUR" text from the C library, cut to 255 characters.
static std::string euro_reference(double number, int decimals)
{
    int n = snprintf(nullptr, 0, "%.*f EUR", decimals, number);
    std::vector<char> full((size_t)n + 1);
    snprintf(full.data(), full.size(), "%.*f EUR", decimals, number);
    return std::string(full.data(), n < 255 ? (size_t)n : 255);
}

TEST(Euro, DecimalCount)
{
    static const struct { double decimals; int32_t count; } rows[] = {
        {2.9, 2}, {-0.5, 0}, {-2.7, -2}, {0.0, 0}, {-0.0, 0},
        {2147483647.0, 2147483647}, {2147483647.99, 2147483647},
        {2147483648.0, INT32_MIN}, {1e10, INT32_MIN},
        {-2147483648.0, INT32_MIN}, {-2147483648.99, INT32_MIN}, {-2147483647.5, -2147483647},
        {-2147483649.0, INT32_MIN}, {-1e300, INT32_MIN},
        {__builtin_inf(), INT32_MIN}, {-__builtin_inf(), INT32_MIN}, {__builtin_nan(""), INT32_MIN},
    };
    for (const auto &r : rows)
        EXPECT_EQ(__euro_decimals(r.decimals), r.count) << r.decimals;
}

TEST(Euro, CLocaleTexts)
{
    setlocale(LC_NUMERIC, "C");
    static const struct { double number, decimals; const char *text; } rows[] = {
        {1234.5678, 2, "1234.57 EUR"},
        {1234.5678, 2.9, "1234.57 EUR"},
        {-3, 0, "-3 EUR"},
        {1, -2, "1.000000 EUR"},
        {1, 1e10, "1.000000 EUR"},
        {1, 2147483648.0, "1.000000 EUR"},
        {1, -2147483649.0, "1.000000 EUR"},
        {1, __builtin_nan(""), "1.000000 EUR"},
        {1234.6, -0.5, "1235 EUR"},
        {9.995, 2, "9.99 EUR"},          // 9.99499999999999957367...
        {0.9999, 3, "1.000 EUR"},        // carry into the integer part
        {-0.0, 2, "-0.00 EUR"},
        {-1e-10, 2, "-0.00 EUR"},
        {5e-324, 2, "0.00 EUR"},
        {0.1, 30, "0.100000000000000005551115123126 EUR"},
        {1e22, 1, "10000000000000000000000.0 EUR"},
        {123456789012.25, 1, "123456789012.2 EUR"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(euro_checked(r.number, r.decimals), r.text) << r.number << " " << r.decimals;
}

// Texts longer than 255 characters arrive cut after the 255th.
TEST(Euro, CutAt255)
{
    setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(euro_checked(1, 249), "1." + std::string(249, '0') + " EUR"); // exactly 255
    EXPECT_EQ(euro_checked(1, 250), "1." + std::string(250, '0') + " EU");
    EXPECT_EQ(euro_checked(1, 400), "1." + std::string(253, '0'));
    EXPECT_EQ(euro_checked(1, 2147483647), "1." + std::string(253, '0'));
    EXPECT_EQ(euro_checked(-1, 2147483647.5), "-1." + std::string(252, '0'));
    std::string big = euro_checked(1e300, 2);
    EXPECT_EQ(big.size(), 255u);
    EXPECT_EQ(big.substr(0, 40), "1000000000000000052504760255204420248704");
    EXPECT_EQ(euro_checked(-DBL_MAX, 0), euro_reference(-DBL_MAX, 0));
}

// The bounded conversion must give the first 255 characters of the full text
// for every count, including those where only rounding far right decides
// the visible digits and those beyond the exact expansion of a double.
TEST(Euro, BoundedConversionMatchesFullText)
{
    setlocale(LC_NUMERIC, "C");
    std::vector<double> numbers = {
        0.0, -0.0, 1.0, -1.0, 0.1, 1.0 / 3, -2.0 / 3, 0.5, 1234.5678, -1234.5678, 9.995,
        0.9999999999999999, 0.49999999999999994, 4503599627370495.5, 0.000244140625, 1e-5,
        123456789.123456789, 1e15, 1e22, 1e23, 1e300, -1e300, DBL_MAX, -DBL_MAX,
        5e-324, -5e-324, 1.5e-323, 2.2250738585072009e-308, -2.2250738585072014e-308, 1e-300,
        3.0517578125e-5, 0x1.fffffffffffffp-1, 0x1.0000000000001p-1022, 0x1p-1000, 0x1.8p-1060,
        1e-100, 1e-200, 3.7e-250, -0x1.23456789abcdep-800,
    };
    // Doubles with scattered exponents and significands (fixed sequence).
    Rng rng = {0x9E3779B97F4A7C15ull};
    for (int i = 0; i < 24; i++) {
        uint64_t s = rng.next();
        numbers.push_back(from_bits((s & 0x800FFFFFFFFFFFFFull) | (uint64_t)((s >> 13) % 2047) << 52));
    }
    std::vector<int> counts;
    for (int d = 0; d <= 24; d++)
        counts.push_back(d);
    for (int d : {50, 100, 249, 250, 251, 252, 253, 254, 255, 256, 300, 500, 767, 1000, 1060, 1073, 1074, 1075,
                  1076, 1099, 1100, 1101, 1102, 1200, 1500, 2000})
        counts.push_back(d);

    for (double x : numbers) {
        for (int d : counts)
            ASSERT_EQ(euro_checked(x, d), euro_reference(x, d)) << x << " with " << d;
        // Counts beyond what the C library is asked for: same text as 2000.
        std::string at2000 = euro_reference(x, 2000);
        for (double d : {2001.0, 65536.0, 1e9, 2147483647.0})
            ASSERT_EQ(euro_checked(x, d), at2000) << x << " with " << d;
    }
}

TEST(Euro, NonFiniteKeepsCurrency)
{
    setlocale(LC_NUMERIC, "C");
    for (double x : {__builtin_inf(), -__builtin_inf(), __builtin_nan("")})
        for (double d : {2.0, 2000.0, 2147483647.0, -1.0}) {
            std::string text = euro_checked(x, d);
            EXPECT_EQ(text, euro_reference(x, d < 0 ? 6 : 2)) << x << " " << d;
            EXPECT_EQ(text.substr(text.size() - 4), " EUR");
        }
}

// A count of 2^31 - 1 must not make the C library write its zeros.
TEST(Euro, HugeCountIsPrompt)
{
    setlocale(LC_NUMERIC, "C");
    char buf[QR_TEXT_SIZE];
    double slowest = 0;
    for (double x : {1.0, 5e-324, -DBL_MAX, 0x1.fffffffffffffp-1, 1e-200}) {
        euro(buf, x, 2147483647); // warm-up
        // The best of five rounds: a loaded machine (or an emulator sharing
        // it) stretches some rounds, while writing the zeros would take seconds.
        const int calls = 20;
        double us = 1e300;
        for (int round = 0; round < 5; round++) {
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < calls; i++)
                euro(buf, x, 2147483647);
            double t = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / calls;
            us = t < us ? t : us;
        }
        EXPECT_LT(us, 1000.0) << x;
        slowest = us > slowest ? us : slowest;
    }
    RecordProperty("euro_huge_count_us", (int)slowest);
}

TEST(Euro, KeepsCallersPrecisionControl)
{
    char buf[QR_TEXT_SIZE];
    unsigned short cw = at_53_bits([&] { euro(buf, 0.1, 20); });
    EXPECT_EQ(cw, precision_53(x87_control()));
}

// Run by ctest under LC_ALL=de_DE.UTF-8 with QUOREL_EXPECT_GERMAN=1.
TEST(GermanLocale, EuroDecimalComma)
{
    uint16_t count;
    GetFunctionCount(&count);
    const char *expect = getenv("QUOREL_EXPECT_GERMAN");
    std::string point = localeconv()->decimal_point;
    if (expect && strcmp(expect, "1") == 0) {
        EXPECT_EQ(point, ",");
    }
    EXPECT_EQ(euro_checked(1234.5678, 2), "1234" + point + "57 EUR");
    EXPECT_EQ(euro_checked(-1e6, 1), "-1000000" + point + "0 EUR"); // no grouping
    EXPECT_EQ(euro_checked(1, 2147483647), "1" + point + std::string(254 - point.size(), '0'));
    EXPECT_EQ(euro_checked(5e-324, 1500), euro_reference(5e-324, 1500));
    setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(euro_checked(1234.5678, 2), "1234.57 EUR");
}
