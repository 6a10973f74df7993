// Every sheet function that reads text gets arbitrary bytes: it must answer
// within the 256-byte result buffer and never read past the argument's NUL.
#include "fuzz_common.h"
#include "quorel.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

typedef void (*TextToText)(char *, const char *);
typedef void (*TextsToText)(char *, const char *, const char *);
typedef void (*TextToNumber)(double *, const char *);

static const TextToText unary[] = {QR_xconj, QR_xsqrt, QR_xexp,  QR_xpow10, QR_xlog,   QR_xlog10,
                                   QR_xsin,  QR_xcos,  QR_xtan,  QR_xsinh,  QR_xcosh,  QR_xtanh,
                                   QR_xasin, QR_xacos, QR_xatan, QR_xasinh, QR_xacosh, QR_xatanh};
static const TextsToText binary[] = {QR_xadd, QR_xsub, QR_xmul, QR_xdiv, QR_xpow, QR_xlogy};
static const TextToNumber numeric[] = {QR_xreal, QR_ximag, QR_xabs, QR_xarg, QR_roman};

// The first n bytes of text up to its first zero byte, in an allocation of
// exactly that length and the NUL.
static char *exact_text(const char *text, size_t n)
{
    n = strnlen(text, n);
    char *copy = new char[n + 1];
    memcpy(copy, text, n);
    copy[n] = 0;
    return copy;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Two texts, split at the first zero byte (the second ends at the next
    // one); each lives in its own exact allocation so that ASan sees any read
    // past its NUL.
    const uint8_t *split = (const uint8_t *)memchr(data, 0, size);
    char *a = exact_text((const char *)data, split ? (size_t)(split - data) : size);
    char *b = split ? exact_text((const char *)split + 1, size - (size_t)(split - data) - 1) : exact_text("1", 1);

    GuardedText out;
    for (TextToText f : unary) {
        out.arm();
        f(out.buffer(), a);
        out.check();
    }
    for (TextsToText f : binary) {
        out.arm();
        f(out.buffer(), a, b);
        out.check();
    }
    double r;
    for (TextToNumber f : numeric)
        f(&r, a);
    delete[] a;
    delete[] b;
    return 0;
}
