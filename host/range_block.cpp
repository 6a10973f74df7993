// Byte-exact range blocks, written byte by byte so that the result is the same
// on every platform.
#include "range_block.h"

#include <string.h>

void put_word(Bytes *b, unsigned w)
{
    b->push_back((unsigned char)(w & 0xFF));
    b->push_back((unsigned char)((w >> 8) & 0xFF));
}

void put_double(Bytes *b, double x)
{
    unsigned long long bits;
    memcpy(&bits, &x, sizeof bits);
    for (int i = 0; i < 8; i++)
        b->push_back((unsigned char)((bits >> (8 * i)) & 0xFF));
}

void put_header(Bytes *b, unsigned col1, unsigned row1, unsigned col2, unsigned row2, unsigned sheet,
                unsigned count)
{
    put_word(b, col1);
    put_word(b, row1);
    put_word(b, sheet);
    put_word(b, col2);
    put_word(b, row2);
    put_word(b, sheet);
    put_word(b, count);
}

static void put_place(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error)
{
    put_word(b, col);
    put_word(b, row);
    put_word(b, sheet);
    put_word(b, error);
}

void put_double_entry(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error, double value)
{
    put_place(b, col, row, sheet, error);
    put_double(b, value);
}

void put_number_cell(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error, double value)
{
    put_place(b, col, row, sheet, error);
    put_word(b, 0);
    put_double(b, value);
}

bool put_text_cell(Bytes *b, unsigned col, unsigned row, unsigned sheet, const std::string &text, Layout layout)
{
    size_t size = text.size() + 1; // with the NUL
    size_t len = layout == LAYOUT_EXACT ? size : (size + 1) & ~(size_t)1;
    if (len > 0xFFFF)
        return false;
    put_place(b, col, row, sheet, 0);
    put_word(b, 1);
    put_word(b, (unsigned)len);
    b->insert(b->end(), text.begin(), text.end());
    b->push_back(0);
    if (layout == LAYOUT_PADDED && len > size)
        b->push_back(0);
    return true;
}
