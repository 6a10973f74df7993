// XSUM over cells built from the input, laid out in each of the three ways
// hosts write text entries: the three blocks must give the same text, and the
// walk must stay inside the block (exact-size allocation for ASan).
#include "fuzz_common.h"
#include "host/range_block.h"
#include "quorel.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

enum FuzzCellKind { FUZZ_NUMBER, FUZZ_TEXT, FUZZ_ERROR };

struct FuzzCell {
    FuzzCellKind kind;
    double value;
    std::string text;
};

// One row of cells from column 1 (B), so that no entry begins with a zero byte.
// A spare byte in front puts the block (data() + 1) off its natural alignment.
static Bytes cell_row(const std::vector<FuzzCell> &cells, Layout layout)
{
    Bytes b{0};
    put_header(&b, 1, 0, (unsigned)cells.size(), 0, 0, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++) {
        const FuzzCell &c = cells[i];
        if (c.kind == FUZZ_TEXT)
            put_text_cell(&b, 1 + (unsigned)i, 0, 0, c.text, layout);
        else
            put_number_cell(&b, 1 + (unsigned)i, 0, 0, c.kind == FUZZ_ERROR ? 7 : 0, c.value);
    }
    b.shrink_to_fit();
    return b;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<FuzzCell> cells;
    size_t i = 0;
    while (i < size && cells.size() < 200) {
        uint8_t tag = data[i++];
        FuzzCell c = {tag % 3 == 0 ? FUZZ_NUMBER : tag % 3 == 1 ? FUZZ_TEXT : FUZZ_ERROR, 0, ""};
        if (c.kind == FUZZ_NUMBER && i + 8 <= size) {
            memcpy(&c.value, data + i, 8);
            i += 8;
        } else if (c.kind == FUZZ_TEXT) {
            size_t n = tag / 3 % 12;
            while (n-- && i < size && data[i])
                c.text.push_back((char)data[i++]);
        }
        cells.push_back(c);
    }
    std::string first;
    for (Layout layout : {LAYOUT_EXACT, LAYOUT_PADDED, LAYOUT_UNPADDED}) {
        Bytes block = cell_row(cells, layout);
        GuardedText out;
        out.arm();
        QR_xsum(out.buffer(), (const CellArray *)(block.data() + 1));
        out.check();
        if (layout == LAYOUT_EXACT)
            first = out.buffer();
        else if (first != out.buffer())
            abort();
    }
    return 0;
}
