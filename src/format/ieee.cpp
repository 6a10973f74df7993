// IEEE: the 80-bit extended pattern of a double as 20 lowercase hexadecimal
// digits; fltoie writes the pattern of any long double the same way.
#include "format/format.h"

#include "quorel.h"
#include "fp/fpenv.h"

#include <string.h>

static const char hex_digit[] = "0123456789abcdef";

// Ten little-endian bytes, byte 9 (sign and exponent) first, then a NUL.
static char *hex80(const unsigned char *bytes, char *buffer)
{
    char *p = buffer;
    for (int i = 9; i >= 0; i--) {
        *p++ = hex_digit[bytes[i] >> 4];
        *p++ = hex_digit[bytes[i] & 15];
    }
    *p = '\0';
    return buffer;
}

// Widening on the bits alone: the 52-bit fraction moves to the top of the
// 64-bit significand below the explicit integer bit, and the exponent bias
// goes from 1023 to 16383 (+15360). A subnormal is normalised: its highest
// fraction bit k becomes the integer bit, exponent k - 1074 + 16383. A NaN
// keeps its payload and gets the quiet bit 62, as the x87 load does.
void __ieee_widen(double x, uint16_t *se, uint64_t *significand)
{
    uint64_t bits = double_bits(x);
    unsigned sign = (unsigned)(bits >> 63);
    unsigned e = (unsigned)(bits >> 52) & 0x7FF;
    uint64_t f = bits & 0xFFFFFFFFFFFFFull;
    const uint64_t top = 1ull << 63;

    unsigned exponent;
    uint64_t m;
    if (e == 0 && f == 0) {
        exponent = 0;
        m = 0;
    } else if (e == 0) {
        int k = 63 - __builtin_clzll(f);
        exponent = (unsigned)k + 15309;
        m = f << (63 - k);
    } else if (e == 0x7FF) {
        exponent = 0x7FFF;
        m = f == 0 ? top : top | 1ull << 62 | f << 11;
    } else {
        exponent = e + 15360;
        m = top | f << 11;
    }
    *se = (uint16_t)(sign << 15 | exponent);
    *significand = m;
}

void __ieee_text(char *result, double number)
{
    uint16_t se;
    uint64_t m;
    __ieee_widen(number, &se, &m);
    unsigned char bytes[10];
    for (int i = 0; i < 8; i++)
        bytes[i] = (unsigned char)(m >> (8 * i));
    bytes[8] = (unsigned char)se;
    bytes[9] = (unsigned char)(se >> 8);
    hex80(bytes, result);
}

extern "C" {

char *fltoie(long double x, char *buffer)
{
    unsigned char bytes[10];
    memcpy(bytes, &x, sizeof bytes);
    return hex80(bytes, buffer);
}

} // extern "C"
