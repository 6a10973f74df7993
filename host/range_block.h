// Range blocks as a spreadsheet host lays them out: a 14-byte header (col1,
// row1, tab1, col2, row2, tab2, count as 16-bit words) and packed entries,
// every field little-endian whatever the platform, written by the builders
// of the installed include/quorel_blocks.h. One writer for the host
// tool and for the tests, fuzzers and benchmarks that hand blocks to the
// library.
//
//   DoubleArray entry  col, row, sheet, error word, value          16 bytes
//   CellArray number   col, row, sheet, error word, 0, value       18 bytes
//   CellArray text     col, row, sheet, 0, 1, len, text, NUL [pad]
#ifndef QUOREL_HOST_RANGE_BLOCK_H
#define QUOREL_HOST_RANGE_BLOCK_H

#include <string>
#include <vector>

// How a CellArray text entry is laid out, for a text of n bytes:
//   LAYOUT_EXACT     len = n + 1; entry 12 + len bytes
//   LAYOUT_PADDED    len = n + 1 rounded up to even, a zero pad byte written when
//                    rounded; entry 12 + len bytes (what spreadsheet hosts write)
//   LAYOUT_UNPADDED  len rounded up as above, no pad byte: the next entry starts
//                    right after the NUL (11 + len bytes when rounded)
enum Layout { LAYOUT_EXACT, LAYOUT_PADDED, LAYOUT_UNPADDED };

typedef std::vector<unsigned char> Bytes;

void put_word(Bytes *b, unsigned w);
void put_double(Bytes *b, double x);

// The header of the range from corner (col1, row1) to corner (col2, row2),
// both on `sheet`, with `count` entries.
void put_header(Bytes *b, unsigned col1, unsigned row1, unsigned col2, unsigned row2, unsigned sheet,
                unsigned count);

// A DoubleArray entry; a nonzero error word marks a cell in error.
void put_double_entry(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error, double value);

// A CellArray number entry, or (nonzero error word) a cell in error.
void put_number_cell(Bytes *b, unsigned col, unsigned row, unsigned sheet, unsigned error, double value);

// A CellArray text entry (text without its NUL); false, nothing written, when
// its len would not fit in 16 bits.
bool put_text_cell(Bytes *b, unsigned col, unsigned row, unsigned sheet, const std::string &text, Layout layout);

#endif
