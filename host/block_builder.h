// Range blocks as a spreadsheet host lays them out: a 14-byte header (col1,
// row1, tab1, col2, row2, tab2, count) and packed little-endian entries.
#ifndef QUOREL_HOST_BLOCK_BUILDER_H
#define QUOREL_HOST_BLOCK_BUILDER_H

#include "formula.h"

#include <vector>

// How a CellArray text entry is laid out, for a text of n bytes:
//   LAYOUT_EXACT     len = n + 1; entry 12 + len bytes
//   LAYOUT_PADDED    len = n + 1 rounded up to even, a zero pad byte written when
//                    rounded; entry 12 + len bytes (what spreadsheet hosts write)
//   LAYOUT_UNPADDED  len rounded up as above, no pad byte: the next entry starts
//                    right after the NUL (11 + len bytes when rounded)
enum Layout { LAYOUT_EXACT, LAYOUT_PADDED, LAYOUT_UNPADDED };

struct Origin {
    unsigned col, row, sheet; // 0 to 65535 each
};

// Builds a DoubleArray (double_array true) or CellArray block from an array
// argument or from a scalar (a 1x1 range). The first corner is the origin; each
// entry carries its cell's column, row and sheet in the three leading words.
bool build_block(const Arg &arg, bool double_array, Layout layout, Origin origin, std::vector<unsigned char> *block,
                 SourceError *error);

bool parse_layout(const std::string &word, Layout *layout);
bool parse_origin(const std::string &text, Origin *origin);

#endif
