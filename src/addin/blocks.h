// Readers of the host's range blocks. Fields are packed little-endian words
// at 2-byte steps, so every read is a byte copy (no alignment assumed), and no
// reader looks at an entry past count.
#ifndef QUOREL_BLOCKS_H
#define QUOREL_BLOCKS_H

#include "quorel.h"

// Header fields widened to int, so corner differences of reversed ranges come
// out negative.
struct BlockHeader {
    int col1, row1, col2, row2;
    unsigned count;
};

BlockHeader block_header(const void *block);

// DoubleArray entry i (i < count; 16 bytes each): 1 and *value when its error
// word is 0, otherwise 0.
int double_entry(const DoubleArray *block, unsigned i, double *value);

enum CellKind { CELL_ERROR, CELL_NUMBER, CELL_TEXT };

struct Cell {
    CellKind kind;
    double value;     // CELL_NUMBER
    const char *text; // CELL_TEXT: the NUL-terminated text inside the block
};

// Where a walk stands: before the first entry, or just after an entry of
// that kind (the walk ends after a cell in error).
enum WalkState { WALK_START, WALK_AFTER_NUMBER, WALK_AFTER_TEXT, WALK_AFTER_ERROR };

// Sequential walk over a CellArray: number entries are 18 bytes; a text entry
// is 12 + len bytes except when len was rounded up to even and the host wrote
// no pad byte (11 + len).
struct CellWalk {
    const unsigned char *entry; // the entry last read, or the first before any read
    unsigned remaining;         // entries not yet read
    WalkState state;            // what the entry last read was
};

void cell_walk_begin(CellWalk *walk, const CellArray *block);

// Reads the next entry into *cell; 0 when all count entries have been read.
int cell_next(CellWalk *walk, Cell *cell);

#endif
