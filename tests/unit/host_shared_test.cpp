// What the host tool shares with the tests: the NaN rule of same_bits, ulp
// distances across zero, and the range-block writer's entry bytes.
#include "host/range_block.h"
#include "host/text.h"
#include "host/ulp.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

TEST(SameBits, OneRuleForNaN)
{
    const double nan = __builtin_nan(""), inf = __builtin_inf();
    const struct {
        double a, b;
        bool same;
    } cases[] = {
        {nan, -nan, true},
        {nan, from_bits(0x7FF0000000000001ull), true}, // any NaN matches any NaN
        {nan, inf, false},
        {1.0, nan, false},
        {0.0, -0.0, false},
        {inf, inf, true},
        {inf, -inf, false},
        {1.5, 1.5, true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(same_bits(c.a, c.b), c.same) << c.a << " " << c.b;
        EXPECT_EQ(same_bits(c.b, c.a), c.same) << c.b << " " << c.a;
    }
}

TEST(UlpDistance, AcrossZeroAndAtTheEnds)
{
    const double min_sub = 4.9406564584124654e-324, max = 1.7976931348623157e308;
    const struct {
        double a, b;
        uint64_t ulps;
    } cases[] = {
        {0.0, -0.0, 0},
        {min_sub, -min_sub, 2},
        {1.0, 1.0000000000000002, 1},
        {1.0, 0.99999999999999989, 1},
        {-1.0, 1.0, 2 * 0x3FF0000000000000ull},
        {max, __builtin_inf(), 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ulp_distance(c.a, c.b), c.ulps) << c.a << " " << c.b;
        EXPECT_EQ(ulp_distance(c.b, c.a), c.ulps) << c.b << " " << c.a;
    }
}

// Entry bytes as hosts write them: words little-endian; a text's len counts
// its NUL and is rounded up to even outside the exact layout, with a pad byte
// only in the padded one.
TEST(RangeBlockWriter, EntryBytes)
{
    Bytes b;
    put_header(&b, 0x0102, 3, 0x0104, 5, 6, 2);
    EXPECT_EQ(b, (Bytes{2, 1, 3, 0, 6, 0, 4, 1, 5, 0, 6, 0, 2, 0}));

    b.clear();
    put_double_entry(&b, 1, 2, 3, 7, 1.0);
    EXPECT_EQ(b, (Bytes{1, 0, 2, 0, 3, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    b.clear();
    put_number_cell(&b, 1, 2, 3, 0, -2.0);
    EXPECT_EQ(b, (Bytes{1, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0}));

    const struct {
        Layout layout;
        std::string text;
        Bytes tail; // after col, row, sheet, error
    } texts[] = {
        {LAYOUT_EXACT, "ab", {1, 0, 3, 0, 'a', 'b', 0}},
        {LAYOUT_PADDED, "ab", {1, 0, 4, 0, 'a', 'b', 0, 0}},
        {LAYOUT_UNPADDED, "ab", {1, 0, 4, 0, 'a', 'b', 0}},
        {LAYOUT_PADDED, "abc", {1, 0, 4, 0, 'a', 'b', 'c', 0}},
        {LAYOUT_UNPADDED, "", {1, 0, 2, 0, 0}},
    };
    for (const auto &t : texts) {
        b.clear();
        EXPECT_TRUE(put_text_cell(&b, 0, 0, 0, t.text, t.layout));
        EXPECT_EQ(Bytes(b.begin() + 8, b.end()), t.tail) << '"' << t.text << "\" layout " << t.layout;
    }
}

// A len that does not fit in 16 bits is refused, and nothing is written.
TEST(RangeBlockWriter, TextTooLongForItsLen)
{
    Bytes b;
    EXPECT_TRUE(put_text_cell(&b, 0, 0, 0, std::string(65534, 'x'), LAYOUT_EXACT));
    EXPECT_EQ(b.size(), 12u + 65535u);
    b.clear();
    EXPECT_FALSE(put_text_cell(&b, 0, 0, 0, std::string(65534, 'x'), LAYOUT_PADDED)); // 65535 rounds to 65536
    EXPECT_FALSE(put_text_cell(&b, 0, 0, 0, std::string(65535, 'x'), LAYOUT_EXACT));
    EXPECT_TRUE(b.empty());
}

// A sheet's general format with round-trip digits: plain from 1e-4 up to
// below 1e15, exponent form outside; every text reads back to the double.
TEST(FormatNumber, GeneralFormatRoundTrips)
{
    const struct {
        double x;
        const char *text;
    } cases[] = {
        {1e6, "1000000"},
        {118000, "118000"},
        {999999999999999, "999999999999999"},
        {1e15, "1e+15"},
        {-1.5e20, "-1.5e+20"},
        {1e-4, "0.0001"},
        {-0.00012345678901234567, "-0.00012345678901234567"},
        {9.999e-5, "9.999e-05"},
        {0.1 + 0.2, "0.30000000000000004"},
        {123456789012345.67, "123456789012345.67"},
        {-0.0, "-0"},
        {4.9406564584124654e-324, "5e-324"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(format_number(c.x), c.text);
        double back = 0;
        std::string text = format_number(c.x);
        ASSERT_EQ(parse_number(text.data(), text.data() + text.size(), &back), NUMBER_OK) << text;
        EXPECT_TRUE(same_bits(back, c.x)) << text;
    }
}
