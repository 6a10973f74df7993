/* quorel: range blocks, for programs that call the sheet functions which take
 * a range of cells (parameter types QR_ARG_DOUBLE_ARRAY and QR_ARG_CELL_ARRAY
 * in the catalogue: XSUM, IPOLVALUE, IPOLINVERSE, IPOLEXTREMUM, LAGRANGE,
 * POLYNOMIAL).
 *
 * Such a parameter receives a pointer to one block, built and owned by the
 * caller for the duration of the call; the library only reads it. A block is
 * a header and its entries, every field little-endian and packed without a
 * gap (so the doubles are unaligned: these builders write them byte by byte):
 *
 *   header, 14 bytes         col1, row1, tab1, col2, row2, tab2, count: 16-bit
 *                            words, the range's first and last corner (column,
 *                            row and sheet, counted from 0) and the number of
 *                            entries that follow
 *   entries                  the range's cells row by row, the column varying
 *                            fastest, back to back
 *
 *   DoubleArray entry        col, row, tab, error (16-bit words), value (double):
 *                            16 bytes
 *   CellArray number         col, row, tab, error, kind 0, value: 18 bytes
 *   CellArray text           col, row, tab, error 0, kind 1, len, the text (ISO
 *                            8859-1) and its NUL, a zero pad byte when len was
 *                            rounded up: 12 + len bytes, where len is the
 *                            text's size with its NUL rounded up to even
 *
 * An error word other than 0 marks a cell in error: the function answers NaN
 * (XSUM: "Err:502"). col, row and tab of an entry are the cell's own, as hosts
 * write them; the library does not read them. Of the header it reads the
 * corners and count: POLYNOMIAL takes one row or one column; LAGRANGE two
 * columns (a pair per row) or two rows (a pair per column, x in the first);
 * IPOLVALUE, IPOLINVERSE and IPOLEXTREMUM 3 to 5 entries in any shape.
 *
 * Each builder writes at p and returns the address just past what it wrote;
 * the caller provides the memory: QR_BLOCK_HEADER bytes, then per entry
 * QR_DOUBLE_ENTRY (DoubleArray), QR_NUMBER_CELL or QR_TEXT_CELL(n) (CellArray).
 * A DoubleArray of the two-column range A1:B3 (three x, y pairs for LAGRANGE):
 *
 *   unsigned char block[QR_BLOCK_HEADER + 6 * QR_DOUBLE_ENTRY], *p = block;
 *   p = qr_put_header(p, 0, 0, 1, 2, 0, 6);
 *   for (i = 0; i < 6; i++)
 *       p = qr_put_double_entry(p, i % 2, i / 2, 0, 0, xy[i]);
 *   QR_lagrange(&result, &x, (const DoubleArray *)block);
 */
#ifndef QUOREL_BLOCKS_H
#define QUOREL_BLOCKS_H

#include <stddef.h>
#include <string.h>

enum { QR_BLOCK_HEADER = 14, QR_DOUBLE_ENTRY = 16, QR_NUMBER_CELL = 18, QR_MAX_BLOCK_ENTRIES = 32767 };

/* Bytes of a CellArray text entry for a text of n bytes (without its NUL). */
#define QR_TEXT_CELL(n) (12 + (((size_t)(n) + 2) & ~(size_t)1))

static inline unsigned char *qr_put_word(unsigned char *p, unsigned w)
{
    p[0] = (unsigned char)(w & 0xFF);
    p[1] = (unsigned char)((w >> 8) & 0xFF);
    return p + 2;
}

static inline unsigned char *qr_put_double(unsigned char *p, double x)
{
    unsigned long long bits;
    int i;
    memcpy(&bits, &x, sizeof bits);
    for (i = 0; i < 8; i++)
        p[i] = (unsigned char)((bits >> (8 * i)) & 0xFF);
    return p + 8;
}

/* The header of the range from (col1, row1) to (col2, row2) on one sheet. */
static inline unsigned char *qr_put_header(unsigned char *p, unsigned col1, unsigned row1, unsigned col2,
                                           unsigned row2, unsigned sheet, unsigned count)
{
    p = qr_put_word(p, col1);
    p = qr_put_word(p, row1);
    p = qr_put_word(p, sheet);
    p = qr_put_word(p, col2);
    p = qr_put_word(p, row2);
    p = qr_put_word(p, sheet);
    return qr_put_word(p, count);
}

static inline unsigned char *qr_put_cell_place(unsigned char *p, unsigned col, unsigned row, unsigned sheet,
                                               unsigned error)
{
    p = qr_put_word(p, col);
    p = qr_put_word(p, row);
    p = qr_put_word(p, sheet);
    return qr_put_word(p, error);
}

/* A DoubleArray entry: the cell's number, or (error not 0) a cell in error. */
static inline unsigned char *qr_put_double_entry(unsigned char *p, unsigned col, unsigned row, unsigned sheet,
                                                 unsigned error, double value)
{
    return qr_put_double(qr_put_cell_place(p, col, row, sheet, error), value);
}

/* A CellArray number entry, or (error not 0) a cell in error. */
static inline unsigned char *qr_put_number_cell(unsigned char *p, unsigned col, unsigned row, unsigned sheet,
                                                unsigned error, double value)
{
    return qr_put_double(qr_put_word(qr_put_cell_place(p, col, row, sheet, error), 0), value);
}

/* A CellArray text entry of the n bytes at text, in QR_TEXT_CELL(n) bytes;
 * NULL, nothing written, when the text is too long for its 16-bit len. */
static inline unsigned char *qr_put_text_cell(unsigned char *p, unsigned col, unsigned row, unsigned sheet,
                                              const char *text, size_t n)
{
    size_t len = QR_TEXT_CELL(n) - 12;
    if (len > 0xFFFF)
        return NULL;
    p = qr_put_word(qr_put_word(qr_put_cell_place(p, col, row, sheet, 0), 1), (unsigned)len);
    memcpy(p, text, n);
    memset(p + n, 0, len - n);
    return p + len;
}

#endif
