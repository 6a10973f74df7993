// Range blocks for the tests, written by the host tool's writer
// (host/range_block.h): cells given as a list, one spare byte in front of each
// block so that every double field lands off its natural alignment.
#ifndef QUOREL_TEST_BLOCK_BUILDER_H
#define QUOREL_TEST_BLOCK_BUILDER_H

#include "host/range_block.h"
#include "quorel.h"

#include <stdint.h>

#include <string>
#include <vector>

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
    Bytes bytes{0}; // the spare byte; data() points past it
    const void *data() const { return bytes.data() + 1; }
    size_t size() const { return bytes.size() - 1; }

    // A copy whose storage ends at the block's last byte, so that ASan
    // reports a read past it.
    BlockBytes exact() const
    {
        BlockBytes c = *this;
        c.bytes.shrink_to_fit();
        return c;
    }
};

// Cells row by row over a rows x cols range whose first corner is
// (col0, row0) on sheet `sheet`.
inline BlockBytes double_array(int rows, int cols, const std::vector<TestCell> &cells, unsigned col0 = 0,
                               unsigned row0 = 0, unsigned sheet = 0)
{
    BlockBytes b;
    put_header(&b.bytes, col0, row0, col0 + cols - 1, row0 + rows - 1, sheet, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++)
        put_double_entry(&b.bytes, col0 + (unsigned)(i % cols), row0 + (unsigned)(i / cols), sheet,
                         cells[i].kind == TestCell::error ? cells[i].error_code : 0, cells[i].value);
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
    put_header(&b.bytes, col1, row1, col2, row2, 2, count < 0 ? (unsigned)values.size() : (unsigned)count);
    unsigned c0 = col1 < col2 ? col1 : col2, r0 = row1 < row2 ? row1 : row2;
    unsigned width = (col1 < col2 ? col2 - col1 : col1 - col2) + 1;
    for (size_t i = 0; i < values.size(); i++)
        put_double_entry(&b.bytes, c0 + (unsigned)(i % width), r0 + (unsigned)(i / width), 2,
                         i < errors.size() ? errors[i] : 0, values[i]);
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

inline BlockBytes cell_array(int rows, int cols, const std::vector<TestCell> &cells, Layout layout,
                             unsigned col0 = 0, unsigned row0 = 0, unsigned sheet = 0)
{
    BlockBytes b;
    put_header(&b.bytes, col0, row0, col0 + cols - 1, row0 + rows - 1, sheet, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++) {
        const TestCell &c = cells[i];
        unsigned col = col0 + (unsigned)(i % cols), row = row0 + (unsigned)(i / cols);
        if (c.kind == TestCell::string)
            put_text_cell(&b.bytes, col, row, sheet, c.text, layout);
        else
            put_number_cell(&b.bytes, col, row, sheet, c.kind == TestCell::error ? c.error_code : 0, c.value);
    }
    return b;
}

// A sheet function of a number and a DoubleArray, called on the block; 12345
// stays where the function writes nothing.
typedef void(QR_CALL *NumberAndTable)(double *, const double *, const DoubleArray *);
inline double on_block(NumberAndTable f, double x, const BlockBytes &b)
{
    double r = 12345.0;
    f(&r, &x, (const DoubleArray *)b.data());
    return r;
}

#endif
