// Byte-exact range blocks through the builders of the installed header, so
// that the tool, the tests and integrators write the same bytes; the exact and
// unpadded text layouts, which hosts do not write, are the tool's own.
#include "range_block.h"

#include "quorel_blocks.h"

// Room for n more bytes at the end of b.
static unsigned char *grow(Bytes *b, size_t n)
{
    size_t at = b->size();
    b->resize(at + n);
    return b->data() + at;
}

void put_word(Bytes *b, unsigned w) { qr_put_word(grow(b, 2), w); }

void put_double(Bytes *b, double x) { qr_put_double(grow(b, 8), x); }

void put_header(Bytes *b, unsigned col1, unsigned row1, unsigned col2, unsigned row2, unsigned sheet,
                unsigned count)
{
    qr_put_header(grow(b, QR_BLOCK_HEADER), col1, row1, col2, row2, sheet, count);
}

void put_double_entry(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error, double value)
{
    qr_put_double_entry(grow(b, QR_DOUBLE_ENTRY), col, row, sheet, error, value);
}

void put_number_cell(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error, double value)
{
    qr_put_number_cell(grow(b, QR_NUMBER_CELL), col, row, sheet, error, value);
}

bool put_text_cell(Bytes *b, unsigned col, unsigned row, unsigned sheet, const std::string &text, Layout layout)
{
    size_t size = text.size() + 1; // with the NUL
    size_t len = layout == LAYOUT_EXACT ? size : (size + 1) & ~(size_t)1;
    if (len > 0xFFFF)
        return false;
    if (layout == LAYOUT_PADDED) {
        qr_put_text_cell(grow(b, QR_TEXT_CELL(text.size())), col, row, sheet, text.data(), text.size());
        return true;
    }
    unsigned char *p = grow(b, 12 + size);
    p = qr_put_word(qr_put_word(qr_put_cell_place(p, col, row, sheet, 0), 1), (unsigned)len);
    memcpy(p, text.data(), text.size());
    p[text.size()] = 0;
    return true;
}
