#include "format/format.h"
#include "quorel.h"
#include "quorel_math.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

static double roman_sheet(const char *text)
{
    double r = 12345.0;
    QR_roman(&r, text);
    return r;
}

TEST(Roman, Values)
{
    static const struct { const char *text; double value; } rows[] = {
        {"XIV", 14}, {"xiv", 14}, {"MCMXCIX", 1999}, {"mcmXcix", 1999}, {"IIII", 4}, {"IM", 999},
        {"VX", 5}, {"IIX", 10}, {"DM", 500}, {"MMMM", 4000}, {"", 0}, {"I", 1}, {"m", 1000},
        {"MMXXIV", 2024}, {"CDXLIV", 444}, {"IVXLCDM", 334}, {"MDCLXVI", 1666}, {"XM", 990},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(roman_sheet(r.text), r.value) << r.text;
        EXPECT_EQ(roman(r.text), (int)r.value) << r.text;
    }
}

// Any byte other than the fourteen letters, anywhere, gives NaN; roman itself
// reads the numeral at the head of the text and stops at the first such byte.
TEST(Roman, LetterCheck)
{
    static const struct { const char *text; int head; } rows[] = {
        {"XIV ", 14}, {" XIV", 0}, {"X1", 10}, {"A", 0}, {"MCMXCIXa", 1999}, {"XI-V", 11},
        {"IJ", 1}, {"\xCDV", 0},  {"V\xEC", 5}, {"MM\nM", 2000}, {"\t", 0}, {"IVXLCDMivxlcdm ", 668},
    };
    for (const auto &r : rows) {
        double v = roman_sheet(r.text);
        EXPECT_TRUE(v != v) << r.text;
        EXPECT_EQ(roman(r.text), r.head) << r.text;
    }
    EXPECT_EQ(bits_of(roman_sheet("X Y")), 0xFFF8000000000000ull); // the library's own NaN
}

// Beyond 2^31 - 1 the sum neither wraps nor traps: roman saturates, the sheet
// function keeps the exact value.
TEST(Roman, SumBeyondInt)
{
    std::string text(2147483, 'M');
    std::string at_max = text + "DCXLVII"; // 2147483647
    EXPECT_EQ(roman(at_max.c_str()), 2147483647);
    EXPECT_EQ(roman_sheet(at_max.c_str()), 2147483647.0);
    std::string above = text + "DCXLVIII"; // 2147483648
    EXPECT_EQ(roman(above.c_str()), 2147483647);
    EXPECT_EQ(roman_sheet(above.c_str()), 2147483648.0);
    std::string far(5000000, 'm');
    far += "IM";
    EXPECT_EQ(roman(far.c_str()), 2147483647);
    EXPECT_EQ(roman_sheet(far.c_str()), 5000000999.0);
}
