// XSUM over cells built from the input, laid out in each of the three ways
// hosts write text entries: the three blocks must give the same text, and the
// walk must stay inside the block (exact-size allocation for ASan).
#include "../tests/unit/block_builder.h"
#include "fuzz_common.h"
#include "quorel.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<TestCell> cells;
    size_t i = 0;
    while (i < size && cells.size() < 200) {
        uint8_t tag = data[i++];
        TestCell c = tag % 3 == 0 ? num(0) : tag % 3 == 1 ? txt("") : err(7);
        if (c.kind == TestCell::number && i + 8 <= size) {
            memcpy(&c.value, data + i, 8);
            i += 8;
        } else if (c.kind == TestCell::string) {
            size_t n = tag / 3 % 12;
            while (n-- && i < size && data[i])
                c.text.push_back((char)data[i++]);
        }
        cells.push_back(c);
    }
    std::string first;
    for (TextLayout layout : {TextLayout::exact, TextLayout::padded, TextLayout::unpadded}) {
        // One row starting at column 1 (B), so that no entry begins with a zero byte.
        BlockBytes block = cell_array(1, (int)cells.size(), cells, layout, 1).exact();
        GuardedText out;
        out.arm();
        QR_xsum(out.buffer(), (const CellArray *)block.data());
        out.check();
        if (layout == TextLayout::exact)
            first = out.buffer();
        else if (first != out.buffer())
            abort();
    }
    return 0;
}
