#include "blocks.h"

#include <string.h>

static unsigned word_at(const unsigned char *p) { return (unsigned)p[0] | (unsigned)p[1] << 8; }

static double double_at(const unsigned char *p)
{
    double d;
    memcpy(&d, p, sizeof d);
    return d;
}

BlockHeader block_header(const void *block)
{
    const unsigned char *p = (const unsigned char *)block;
    BlockHeader h;
    h.col1 = (int)word_at(p + 0);
    h.row1 = (int)word_at(p + 2);
    h.col2 = (int)word_at(p + 6);
    h.row2 = (int)word_at(p + 8);
    h.count = word_at(p + 12);
    return h;
}

int double_entry(const DoubleArray *block, unsigned i, double *value)
{
    const unsigned char *p = (const unsigned char *)block;
    if (i >= word_at(p + 12))
        return 0;
    const unsigned char *entry = p + 14 + 16 * (size_t)i;
    if (word_at(entry + 6) != 0)
        return 0;
    *value = double_at(entry + 8);
    return 1;
}

void cell_walk_begin(CellWalk *walk, const CellArray *block)
{
    const unsigned char *p = (const unsigned char *)block;
    walk->entry = p + 14;
    walk->remaining = word_at(p + 12);
    walk->state = WALK_START;
}

// Length of a text entry whose successor exists. Hosts write the text's size
// with its NUL in len, exactly or rounded up to even; when rounded they either
// pad with a zero byte (12 + len) or start the next entry right after the NUL
// (11 + len). A NUL at text[len - 2] marks a rounded len; then text[len - 1]
// is the pad byte if zero, else the first byte of the next entry (the low
// byte of its column). Not distinguishable: no pad byte and a next entry whose
// column's low byte is 0 (columns 0, 256, ...); that is read as padded.
static unsigned text_entry_length(const unsigned char *entry)
{
    unsigned len = word_at(entry + 10);
    const unsigned char *text = entry + 12;
    if (len >= 2 && text[len - 2] == 0 && text[len - 1] != 0)
        return 11 + len;
    return 12 + len;
}

int cell_next(CellWalk *walk, Cell *cell)
{
    if (walk->remaining == 0)
        return 0;
    // Step over the entry last read. Its successor exists, so a text entry may
    // look at the byte after its NUL to measure itself.
    if (walk->state == WALK_AFTER_NUMBER)
        walk->entry += 18;
    else if (walk->state == WALK_AFTER_TEXT)
        walk->entry += text_entry_length(walk->entry);
    walk->remaining--;
    const unsigned char *e = walk->entry;
    if (word_at(e + 6) != 0) {
        cell->kind = CELL_ERROR;
        walk->remaining = 0; // nothing after a cell in error is read
    } else if (word_at(e + 8) == 0) {
        cell->kind = CELL_NUMBER;
        cell->value = double_at(e + 10);
    } else {
        cell->kind = CELL_TEXT;
        cell->text = (const char *)(e + 12);
    }
    walk->state = cell->kind == CELL_NUMBER ? WALK_AFTER_NUMBER
                  : cell->kind == CELL_TEXT ? WALK_AFTER_TEXT
                                            : WALK_AFTER_ERROR;
    return 1;
}
