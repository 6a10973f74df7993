// Every sheet function that reads text gets arbitrary bytes: it must answer
// within the 256-byte result buffer and never read past the argument's NUL.
#include "fuzz_common.h"
#include "quorel.h"

#include <stddef.h>
#include <stdint.h>

#include <string>

typedef void (*TextToText)(char *, const char *);
typedef void (*TextsToText)(char *, const char *, const char *);
typedef void (*TextToNumber)(double *, const char *);

static const TextToText unary[] = {QR_xconj, QR_xsqrt, QR_xexp,  QR_xpow10, QR_xlog,   QR_xlog10,
                                   QR_xsin,  QR_xcos,  QR_xtan,  QR_xsinh,  QR_xcosh,  QR_xtanh,
                                   QR_xasin, QR_xacos, QR_xatan, QR_xasinh, QR_xacosh, QR_xatanh};
static const TextsToText binary[] = {QR_xadd, QR_xsub, QR_xmul, QR_xdiv, QR_xpow, QR_xlogy};
static const TextToNumber numeric[] = {QR_xreal, QR_ximag, QR_xabs, QR_xarg, QR_roman};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Two texts, split at the first zero byte; each lives in its own exact
    // allocation so that ASan sees any read past its NUL.
    const uint8_t *split = (const uint8_t *)memchr(data, 0, size);
    std::string a((const char *)data, split ? (size_t)(split - data) : size);
    std::string b = split ? std::string((const char *)split + 1, size - (size_t)(split - data) - 1) : "1";
    b = b.c_str();

    GuardedText out;
    for (TextToText f : unary) {
        out.arm();
        f(out.buffer(), a.c_str());
        out.check();
    }
    for (TextsToText f : binary) {
        out.arm();
        f(out.buffer(), a.c_str(), b.c_str());
        out.check();
    }
    double r;
    for (TextToNumber f : numeric)
        f(&r, a.c_str());
    return 0;
}
