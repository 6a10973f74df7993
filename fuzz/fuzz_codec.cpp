// Differential fuzzing of the complex text codec: arbitrary bytes read, and
// arbitrary pairs written, by the library's codec and by the C-library
// reference, in the C and the German locale, now and then under another
// rounding mode or with flush-to-zero; any difference in return value, parts,
// text, flags or errno aborts.
//
// Input: byte 0 picks the environment (bit 0 German; bits 1-3 all set: the
// rounding mode of bits 4-5 and, with bit 6, flush-to-zero; bit 7: the pair
// from decimal digits instead of raw bits); the rest is the text, and its
// first 16 bytes are also the pair.
#include "codec_differential.h"

#include <locale.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static locale_t c_locale, german_locale;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    c_locale = newlocale(LC_ALL_MASK, "C", (locale_t)0);
    german_locale = newlocale(LC_ALL_MASK, "de_DE.UTF-8", (locale_t)0);
    if (!c_locale || !german_locale) {
        fprintf(stderr, "fuzz_codec: the C and de_DE.UTF-8 locales are needed\n");
        exit(1);
    }
    return 0;
}

static void fail(const char *what, const char *text, double re, double im)
{
    fprintf(stderr, "fuzz_codec: %s; text \"%s\", pair %a %a\n", what, text, re, im);
    abort();
}

// A decimal value m * 10^e with up to 17 digits, read exactly in the C locale:
// short decimals, halfway cases at 15 digits and 17-digit values.
static double decimal_value(const uint8_t *b)
{
    uint64_t m;
    memcpy(&m, b, 8);
    static const uint64_t limit[] = {10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000,
                                     10000000000u, 100000000000u, 1000000000000u, 10000000000000u,
                                     100000000000000u, 1000000000000000u, 10000000000000000u,
                                     100000000000000000u};
    int digits = (int)(b[7] % 17);
    int e = (int)(int8_t)b[6] * 3 % 330;
    char text[64];
    snprintf(text, sizeof text, "%s%llue%d", (b[5] & 1) ? "-" : "", (unsigned long long)(m % limit[digits]), e);
    return strtod_l(text, nullptr, c_locale);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    uint8_t control = data[0];
    data++, size--;

    const uint8_t *nul = (const uint8_t *)memchr(data, 0, size);
    size_t length = nul ? (size_t)(nul - data) : size;
    char *text = new char[length + 1]; // exact, so that ASan sees a read past the NUL
    memcpy(text, data, length);
    text[length] = 0;

    uint8_t pair_bytes[16] = {0};
    memcpy(pair_bytes, data, size < 16 ? size : 16);
    double re, im;
    if (control & 0x80) {
        re = decimal_value(pair_bytes);
        im = decimal_value(pair_bytes + 8);
    } else {
        memcpy(&re, pair_bytes, 8);
        memcpy(&im, pair_bytes + 8, 8);
    }

    uselocale((control & 1) ? german_locale : c_locale);
    if (((control >> 1) & 7) == 7)
        differential::set_environment((control >> 4) & 3, (control & 0x40) != 0);

    const char *what = differential::check_parse(text);
    if (what)
        fail(what, text, 0, 0);
    Complex z;
    unsigned short cw = fpu_enter();
    int ok = xparse(text, &z);
    fpu_leave(cw);
    if (ok && (what = differential::check_format(z.re, z.im)) != 0)
        fail(what, text, z.re, z.im);
    if ((what = differential::check_format(re, im)) != 0)
        fail(what, "", re, im);
    if ((what = differential::check_format(re, 0)) != 0)
        fail(what, "", re, 0);

    differential::restore_environment();
    uselocale(LC_GLOBAL_LOCALE);
    delete[] text;
    return 0;
}
