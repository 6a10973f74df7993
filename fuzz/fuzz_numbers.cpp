// Number-valued sheet functions and the number formatters on arbitrary
// doubles: no crash, no hang, text results inside their buffer.
#include "fuzz_common.h"
#include "host/range_block.h"
#include "quorel.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

static Bytes double_array(const double *v, unsigned n, unsigned rows)
{
    Bytes b;
    unsigned cols = rows ? (n + rows - 1) / rows : 0;
    put_header(&b, 0, 0, cols ? cols - 1 : 0, rows ? rows - 1 : 0, 0, n);
    for (unsigned i = 0; i < n; i++)
        put_double_entry(&b, cols ? i % cols : 0, cols ? i / cols : 0, 0, 0, v[i]);
    return b;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    double v[12] = {0};
    memcpy(v, data, size < sizeof v ? size : sizeof v);
    double r;
    GuardedText out;

    QR_gamma(&r, &v[0]);
    // Order is bounded: the recurrences take time linear in it by design.
    double order = (double)((int)(v[1] == v[1] ? (v[1] > 2000 ? 2000 : v[1] < -2000 ? -2000 : v[1]) : 0));
    QR_bessel(&r, &v[0], &order);
    QR_weber(&r, &v[0], &order);

    out.arm();
    QR_euro(out.buffer(), &v[0], &v[1]);
    out.check();
    out.arm();
    QR_ieee(out.buffer(), &v[0]);
    out.check();

    unsigned n = size > 96 ? (unsigned)(data[96] % 13) : 4;
    unsigned rows = size > 97 ? (unsigned)(data[97] % 3) : 1;
    // An exact-size copy, so that ASan sees any read past the block.
    Bytes bytes = double_array(v + 2, n > 10 ? 10 : n, rows);
    unsigned char *exact = new unsigned char[bytes.size()];
    memcpy(exact, bytes.data(), bytes.size());
    const DoubleArray *table = (const DoubleArray *)exact;
    QR_ipfunc(&r, &v[0], table);
    QR_iproot(&r, &v[0], table);
    QR_ipextr(&r, table);
    QR_lagrange(&r, &v[0], table);
    QR_poly(&r, &v[0], table);
    delete[] exact;
    return 0;
}
