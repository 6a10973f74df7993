// Byte-exact range blocks. Every field is written byte by byte in little-endian
// order, so the result is the same on every platform the tool runs on.
#include "block_builder.h"

#include "text.h"

#include <string.h>

static void put16(std::vector<unsigned char> *b, unsigned v)
{
    b->push_back((unsigned char)(v & 0xFF));
    b->push_back((unsigned char)((v >> 8) & 0xFF));
}

static void put_double(std::vector<unsigned char> *b, double x)
{
    unsigned long long bits;
    memcpy(&bits, &x, sizeof bits);
    for (int i = 0; i < 8; i++)
        b->push_back((unsigned char)((bits >> (8 * i)) & 0xFF));
}

bool build_block(const Arg &arg, bool double_array, Layout layout, Origin origin, std::vector<unsigned char> *block,
                 SourceError *error)
{
    const Cell *cells = &arg.scalar;
    unsigned rows = 1, cols = 1, count = 1;
    if (arg.kind == VALUE_ARRAY) {
        cells = arg.cells.data();
        rows = arg.rows;
        cols = arg.cols;
        count = (unsigned)arg.cells.size();
    }
    if (count > MAX_BLOCK_ENTRIES)
        return fail(error, arg.offset, "range of more than 32767 cells");
    // An empty array {} is a block of count 0 whose corners both lie at the origin.
    unsigned last_col = origin.col + (cols ? cols - 1 : 0);
    unsigned last_row = origin.row + (rows ? rows - 1 : 0);
    if (last_col > 0xFFFF || last_row > 0xFFFF)
        return fail(error, arg.offset, "range reaches past column or row 65535 from the origin");

    block->clear();
    put16(block, origin.col);
    put16(block, origin.row);
    put16(block, origin.sheet);
    put16(block, last_col);
    put16(block, last_row);
    put16(block, origin.sheet);
    put16(block, count);
    for (unsigned i = 0; i < count; i++) {
        const Cell &cell = cells[i];
        put16(block, origin.col + i % cols);
        put16(block, origin.row + i / cols);
        put16(block, origin.sheet);
        put16(block, cell.kind == VALUE_ERROR ? cell.error : 0);
        if (double_array) {
            if (cell.kind == VALUE_TEXT)
                return fail(error, cell.offset, "text cell in a range of numbers");
            put_double(block, cell.kind == VALUE_NUMBER ? cell.number : 0.0);
            continue;
        }
        if (cell.kind != VALUE_TEXT) {
            put16(block, 0);
            put_double(block, cell.kind == VALUE_NUMBER ? cell.number : 0.0);
            continue;
        }
        size_t size = cell.text.size() + 1; // with the NUL
        size_t len = layout == LAYOUT_EXACT ? size : (size + 1) & ~(size_t)1;
        if (len > 0xFFFF)
            return fail(error, cell.offset, "text cell too long for a 16-bit len in this layout");
        put16(block, 1);
        put16(block, (unsigned)len);
        block->insert(block->end(), cell.text.begin(), cell.text.end());
        block->push_back(0);
        if (layout == LAYOUT_PADDED && len > size)
            block->push_back(0);
    }
    return true;
}

bool parse_layout(const std::string &word, Layout *layout)
{
    if (word == "exact")
        *layout = LAYOUT_EXACT;
    else if (word == "padded")
        *layout = LAYOUT_PADDED;
    else if (word == "unpadded")
        *layout = LAYOUT_UNPADDED;
    else
        return false;
    return true;
}

bool parse_origin(const std::string &text, Origin *origin)
{
    unsigned long v[3];
    size_t start = 0;
    for (int k = 0; k < 3; k++) {
        size_t end = k < 2 ? text.find(',', start) : text.size();
        if (end == std::string::npos)
            return false;
        size_t a = start, b = end;
        while (a < b && (text[a] == ' ' || text[a] == '\t'))
            a++;
        while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t'))
            b--;
        if (!parse_unsigned(text.data() + a, text.data() + b, 0xFFFF, &v[k]))
            return false;
        start = end + 1;
    }
    origin->col = (unsigned)v[0];
    origin->row = (unsigned)v[1];
    origin->sheet = (unsigned)v[2];
    return true;
}
