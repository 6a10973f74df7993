// XSUM over cells built from the input, laid out in each of the three ways
// hosts write text entries: the three blocks must give the same text, and the
// walk must stay inside the block (exact-size allocation for ASan).
#include "fuzz_common.h"
#include "quorel.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

enum Layout { EXACT, PADDED, UNPADDED };

struct Cell {
    int kind; // 0 number, 1 text, 2 error
    double value;
    std::string text;
};

static void word(std::vector<unsigned char> &b, unsigned w)
{
    b.push_back((unsigned char)w);
    b.push_back((unsigned char)(w >> 8));
}

// One row starting at column 1, so that no entry begins with a zero byte.
static std::vector<unsigned char> block(const std::vector<Cell> &cells, Layout layout)
{
    std::vector<unsigned char> b;
    word(b, 1), word(b, 0), word(b, 0), word(b, (unsigned)cells.size()), word(b, 0), word(b, 0);
    word(b, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++) {
        const Cell &c = cells[i];
        word(b, 1 + (unsigned)i), word(b, 0), word(b, 0), word(b, c.kind == 2 ? 7 : 0);
        if (c.kind != 1) {
            word(b, 0);
            unsigned char v[8];
            memcpy(v, &c.value, 8);
            b.insert(b.end(), v, v + 8);
            continue;
        }
        unsigned size = (unsigned)c.text.size() + 1;
        unsigned len = layout == EXACT ? size : (size + 1) & ~1u;
        word(b, 1), word(b, len);
        b.insert(b.end(), c.text.begin(), c.text.end());
        b.push_back(0);
        if (layout == PADDED && len > size)
            b.push_back(0);
    }
    return b;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<Cell> cells;
    size_t i = 0;
    while (i < size && cells.size() < 200) {
        uint8_t tag = data[i++];
        Cell c{tag % 3, 0, ""};
        if (c.kind == 0 && i + 8 <= size) {
            memcpy(&c.value, data + i, 8);
            i += 8;
        } else if (c.kind == 1) {
            size_t n = tag / 3 % 12;
            while (n-- && i < size && data[i])
                c.text.push_back((char)data[i++]);
        }
        cells.push_back(c);
    }
    std::string first;
    for (Layout layout : {EXACT, PADDED, UNPADDED}) {
        std::vector<unsigned char> b = block(cells, layout);
        unsigned char *exact = new unsigned char[b.size()];
        memcpy(exact, b.data(), b.size());
        GuardedText out;
        out.arm();
        QR_xsum(out.buffer(), (const CellArray *)exact);
        out.check();
        delete[] exact;
        if (layout == EXACT)
            first = out.buffer();
        else if (first != out.buffer())
            abort();
    }
    return 0;
}
