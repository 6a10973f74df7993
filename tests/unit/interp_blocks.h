// DoubleArray blocks laid out byte by byte as a host writes them, and a clean
// error record for tests that look at reports.
#ifndef QUOREL_TESTS_INTERP_BLOCKS_H
#define QUOREL_TESTS_INTERP_BLOCKS_H

#include "quorel_math.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <vector>

// Names kept apart from other test files of the same binary.
namespace interp_test {

struct Block {
    std::vector<unsigned char> bytes; // one lead byte, then the block
    const DoubleArray *get() const { return (const DoubleArray *)(bytes.data() + 1); }
};

inline void put_word(std::vector<unsigned char> &b, unsigned w)
{
    b.push_back((unsigned char)(w & 0xFF));
    b.push_back((unsigned char)(w >> 8 & 0xFF));
}

// Range from (col1, row1) to (col2, row2) on sheet 2 with the given cells in
// block order; errors[i] is the error word of cell i (0 when absent). The
// header's count is the number of cells unless `count` is given; the block
// holds exactly the cells passed and starts at an odd address, so nothing can
// rely on alignment and a read past the last cell leaves the allocation.
inline Block double_block(unsigned col1, unsigned row1, unsigned col2, unsigned row2,
                             const std::vector<double> &cells, const std::vector<unsigned> &errors = {},
                             long count = -1)
{
    Block t;
    std::vector<unsigned char> &b = t.bytes;
    b.push_back(0xA5);
    put_word(b, col1);
    put_word(b, row1);
    put_word(b, 2);
    put_word(b, col2);
    put_word(b, row2);
    put_word(b, 2);
    put_word(b, count < 0 ? (unsigned)cells.size() : (unsigned)count);
    unsigned c0 = col1 < col2 ? col1 : col2, r0 = row1 < row2 ? row1 : row2;
    unsigned width = (col1 < col2 ? col2 - col1 : col1 - col2) + 1;
    for (size_t i = 0; i < cells.size(); i++) {
        put_word(b, c0 + (unsigned)(i % width));
        put_word(b, r0 + (unsigned)(i / width));
        put_word(b, 2);
        put_word(b, i < errors.size() ? errors[i] : 0);
        unsigned char v[8];
        memcpy(v, &cells[i], 8);
        b.insert(b.end(), v, v + 8);
    }
    b.shrink_to_fit();
    return t;
}

inline Block column_block(const std::vector<double> &cells, const std::vector<unsigned> &errors = {})
{
    return double_block(3, 10, 3, 10 + (unsigned)cells.size() - 1, cells, errors);
}

inline Block row_block(const std::vector<double> &cells, const std::vector<unsigned> &errors = {})
{
    return double_block(3, 10, 3 + (unsigned)cells.size() - 1, 10, cells, errors);
}

inline int test_errno_value;
inline int *test_errno(void) { return &test_errno_value; }
inline int *crt_errno(void) { return &errno; }

// The error record is process-wide: every test starts from funno 0 and a
// private error number, and hands the C library's errno back at the end.
class Reports : public ::testing::Test {
protected:
    void SetUp() override
    {
        funno = 0;
        ercnt = 0;
        onerr = nullptr;
        test_errno_value = 0;
        _seterrno(test_errno);
    }
    void TearDown() override
    {
        _seterrno(crt_errno);
        funno = 0;
        ercnt = 0;
    }
};

}

#endif
