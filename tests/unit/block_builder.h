// Builds range blocks byte for byte as spreadsheet hosts lay them out: a
// 14-byte header, then entries whose first three words hold the cell's
// column, row and sheet.
#ifndef QUOREL_TEST_BLOCK_BUILDER_H
#define QUOREL_TEST_BLOCK_BUILDER_H

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

enum class TextLayout { exact, padded, unpadded };

struct TestCell {
    enum Kind { number, string, error } kind;
    double value;
    std::string text;
    uint16_t error_code;
};

inline TestCell num(double v) { return {TestCell::number, v, "", 0}; }
inline TestCell txt(const std::string &t) { return {TestCell::string, 0, t, 0}; }
inline TestCell err(uint16_t code = 1) { return {TestCell::error, 0, "", code}; }

struct BlockBytes {
    // One spare byte in front makes every double field land off its natural
    // alignment; data() points past it.
    std::vector<unsigned char> bytes{0};
    const void *data() const { return bytes.data() + 1; }
    size_t size() const { return bytes.size() - 1; }

    void word(unsigned w)
    {
        bytes.push_back((unsigned char)(w & 0xFF));
        bytes.push_back((unsigned char)(w >> 8));
    }
    void real(double d)
    {
        unsigned char b[8];
        memcpy(b, &d, 8);
        bytes.insert(bytes.end(), b, b + 8);
    }
    // A copy whose storage ends at the block's last byte, so that ASan
    // reports a read past it.
    BlockBytes exact() const
    {
        BlockBytes c = *this;
        c.bytes.shrink_to_fit();
        return c;
    }
};

// Header of the range from corner (col1, row1) to corner (col2, row2) on
// sheet `sheet`.
inline void write_header(BlockBytes &b, unsigned col1, unsigned row1, unsigned col2, unsigned row2,
                         unsigned sheet, unsigned count)
{
    b.word(col1);
    b.word(row1);
    b.word(sheet);
    b.word(col2);
    b.word(row2);
    b.word(sheet);
    b.word(count);
}

// Cells row by row over a rows x cols range whose first corner is
// (col0, row0) on sheet `sheet`.
inline BlockBytes double_array(int rows, int cols, const std::vector<TestCell> &cells, unsigned col0 = 0,
                               unsigned row0 = 0, unsigned sheet = 0)
{
    BlockBytes b;
    write_header(b, col0, row0, col0 + cols - 1, row0 + rows - 1, sheet, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++) {
        b.word(col0 + (unsigned)(i % cols));
        b.word(row0 + (unsigned)(i / cols));
        b.word(sheet);
        b.word(cells[i].kind == TestCell::error ? cells[i].error_code : 0);
        b.real(cells[i].value);
    }
    return b;
}

// DoubleArray over the range from (col1, row1) to (col2, row2) on sheet 2,
// corners given either way round: values in block order from the top left
// cell, errors[i] the error word of entry i (0 where absent), and a header
// count of `count` instead of the number of values when it is not negative.
// Exact size, so nothing past the last value can be read unnoticed.
inline BlockBytes double_range(unsigned col1, unsigned row1, unsigned col2, unsigned row2,
                               const std::vector<double> &values, const std::vector<unsigned> &errors = {},
                               long count = -1)
{
    BlockBytes b;
    write_header(b, col1, row1, col2, row2, 2, count < 0 ? (unsigned)values.size() : (unsigned)count);
    unsigned c0 = col1 < col2 ? col1 : col2, r0 = row1 < row2 ? row1 : row2;
    unsigned width = (col1 < col2 ? col2 - col1 : col1 - col2) + 1;
    for (size_t i = 0; i < values.size(); i++) {
        b.word(c0 + (unsigned)(i % width));
        b.word(r0 + (unsigned)(i / width));
        b.word(2);
        b.word(i < errors.size() ? errors[i] : 0);
        b.real(values[i]);
    }
    return b.exact();
}

// A column or a row of values from column 3, row 10.
inline BlockBytes double_column(const std::vector<double> &values, const std::vector<unsigned> &errors = {})
{
    return double_range(3, 10, 3, 10 + (unsigned)values.size() - 1, values, errors);
}

inline BlockBytes double_row(const std::vector<double> &values, const std::vector<unsigned> &errors = {})
{
    return double_range(3, 10, 3 + (unsigned)values.size() - 1, 10, values, errors);
}

inline BlockBytes cell_array(int rows, int cols, const std::vector<TestCell> &cells, TextLayout layout,
                             unsigned col0 = 0, unsigned row0 = 0, unsigned sheet = 0)
{
    BlockBytes b;
    write_header(b, col0, row0, col0 + cols - 1, row0 + rows - 1, sheet, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++) {
        const TestCell &c = cells[i];
        b.word(col0 + (unsigned)(i % cols));
        b.word(row0 + (unsigned)(i / cols));
        b.word(sheet);
        b.word(c.kind == TestCell::error ? c.error_code : 0);
        if (c.kind != TestCell::string) {
            b.word(0);
            b.real(c.value);
            continue;
        }
        b.word(1);
        unsigned size = (unsigned)c.text.size() + 1;
        unsigned len = (layout == TextLayout::exact) ? size : (size + 1) & ~1u;
        b.word(len);
        b.bytes.insert(b.bytes.end(), c.text.begin(), c.text.end());
        b.bytes.push_back(0);
        if (layout == TextLayout::padded && len > size)
            b.bytes.push_back(0);
    }
    return b;
}

#endif
