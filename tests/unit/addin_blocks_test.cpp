// Range-block readers: unaligned fields, entry order, the three text layouts
// of CellArray entries, and no read past count.
#include "addin/blocks.h"
#include "block_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<TestCell> walk(const BlockBytes &block)
{
    std::vector<TestCell> out;
    CellWalk w;
    Cell c;
    cell_walk_begin(&w, (const CellArray *)block.data());
    while (cell_next(&w, &c)) {
        if (c.kind == CELL_NUMBER)
            out.push_back(num(c.value));
        else if (c.kind == CELL_TEXT)
            out.push_back(txt(c.text));
        else
            out.push_back(err());
    }
    return out;
}

void expect_cells(const std::vector<TestCell> &got, const std::vector<TestCell> &want, const char *what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < want.size(); i++) {
        EXPECT_EQ(got[i].kind, want[i].kind) << what << " cell " << i;
        if (want[i].kind == TestCell::number) {
            EXPECT_EQ(got[i].value, want[i].value) << what << " cell " << i;
        }
        if (want[i].kind == TestCell::string) {
            EXPECT_EQ(got[i].text, want[i].text) << what << " cell " << i;
        }
    }
}

} // namespace

TEST(DoubleArray, HeaderAndUnalignedEntries)
{
    BlockBytes b = double_array(2, 3, {num(1.5), num(-2), num(1e300), num(4), num(5), num(6)}, 7, 300, 2);
    BlockHeader h = block_header(b.data());
    EXPECT_EQ(h.col1, 7);
    EXPECT_EQ(h.row1, 300);
    EXPECT_EQ(h.col2, 9);
    EXPECT_EQ(h.row2, 301);
    EXPECT_EQ(h.count, 6u);
    const double want[] = {1.5, -2, 1e300, 4, 5, 6};
    for (unsigned i = 0; i < 6; i++) {
        double v = 0;
        ASSERT_EQ(double_entry((const DoubleArray *)b.data(), i, &v), 1);
        EXPECT_EQ(v, want[i]);
    }
}

TEST(DoubleArray, ReversedCornersWidenToNegativeDifferences)
{
    BlockBytes b;
    put_header(&b.bytes, 5, 9, 3, 8, 0, 0);
    BlockHeader h = block_header(b.data());
    EXPECT_EQ(h.col2 - h.col1, -2);
    EXPECT_EQ(h.row2 - h.row1, -1);
    b.bytes[1] = 0xFF, b.bytes[2] = 0xFF; // col1 = 65535
    EXPECT_EQ(block_header(b.data()).col1, 65535);
}

TEST(DoubleArray, ErrorWordAndCountBound)
{
    BlockBytes b = double_array(1, 3, {num(1), err(7), num(3)});
    double v = -1;
    EXPECT_EQ(double_entry((const DoubleArray *)b.data(), 0, &v), 1);
    EXPECT_EQ(v, 1);
    v = -1;
    EXPECT_EQ(double_entry((const DoubleArray *)b.data(), 1, &v), 0);
    EXPECT_EQ(v, -1);
    EXPECT_EQ(double_entry((const DoubleArray *)b.data(), 3, &v), 0);
    EXPECT_EQ(double_entry((const DoubleArray *)b.data(), 65535, &v), 0);
}

// The same cells in each layout the hosts write: texts of odd and even
// length, numbers between them, a text last.
TEST(CellArray, AllThreeTextLayoutsWalkAlike)
{
    const std::vector<TestCell> cells = {txt("2i"),  num(1),      txt("3+4i"), txt("1+i"), num(-2.5),
                                         txt("x"),   txt("12345"), num(7),      txt("-3i")};
    struct {
        Layout layout;
        const char *name;
    } const layouts[] = {{LAYOUT_EXACT, "exact"}, {LAYOUT_PADDED, "padded"}, {LAYOUT_UNPADDED, "unpadded"}};
    for (const auto &l : layouts) {
        // Three columns starting at column B, so no entry begins with a zero byte.
        BlockBytes b = cell_array(3, 3, cells, l.layout, 1, 41, 3);
        expect_cells(walk(b), cells, l.name);
    }
}

TEST(CellArray, EntryLengthsFollowTheLayout)
{
    // "2i" has 3 bytes with its NUL: len 3 exact, 4 rounded.
    const std::vector<TestCell> cells = {txt("2i"), num(1)};
    EXPECT_EQ(cell_array(1, 2, cells, LAYOUT_EXACT, 1).size(), 14u + 15 + 18);
    EXPECT_EQ(cell_array(1, 2, cells, LAYOUT_PADDED, 1).size(), 14u + 16 + 18);
    EXPECT_EQ(cell_array(1, 2, cells, LAYOUT_UNPADDED, 1).size(), 14u + 15 + 18);
}

TEST(CellArray, PaddedLayoutFromColumnZero)
{
    // Rows of one column at column A: every entry starts with a zero byte,
    // which the padded and exact layouts never confuse with a pad byte.
    const std::vector<TestCell> cells = {txt("2i"), txt("3+4i"), num(5), txt("i")};
    expect_cells(walk(cell_array(4, 1, cells, LAYOUT_PADDED, 0)), cells, "padded");
    expect_cells(walk(cell_array(4, 1, cells, LAYOUT_EXACT, 0)), cells, "exact");
}

TEST(CellArray, ErrorStopsTheWalk)
{
    BlockBytes b = cell_array(1, 4, {num(1), err(7), txt("2i"), num(3)}, LAYOUT_PADDED, 1);
    std::vector<TestCell> got = walk(b);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].kind, TestCell::error);
}

TEST(CellArray, ReadsNoEntryBeyondCount)
{
    BlockBytes b = cell_array(1, 3, {num(1), txt("2i"), num(3)}, LAYOUT_UNPADDED, 1);
    b.bytes[1 + 12] = 2; // count 2: the text is the last entry read
    std::vector<TestCell> got = walk(b);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].text, "2i");
    b.bytes[1 + 12] = 0;
    EXPECT_TRUE(walk(b).empty());
}

// A last text entry without pad byte ends the block right after its NUL; the
// walk must not look one byte further. (Exact-size copy for ASan.)
TEST(CellArray, LastUnpaddedTextIsNotOverread)
{
    BlockBytes b = cell_array(1, 2, {num(1), txt("2i")}, LAYOUT_UNPADDED, 1);
    EXPECT_EQ(walk(b.exact()).size(), 2u);
}
