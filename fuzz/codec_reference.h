// The complex text codec as it was before its fast paths: every number read
// by strtod and written by snprintf("%.15G"). The differential checks hold
// the library's codec to it, byte for byte and bit for bit.
#ifndef QUOREL_CODEC_REFERENCE_H
#define QUOREL_CODEC_REFERENCE_H

#include "complex/complex.h"
#include "fp/fpenv.h"
#include "fp/x87.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace reference {

inline const char *skip_space(const char *p)
{
    while (*p != 0 && isspace((unsigned char)*p))
        p++;
    return p;
}

inline int is_unit(char c) { return c == 'i' || c == 'j'; }

inline int signed_unit(const char *p, double *im)
{
    if ((p[0] == '+' || p[0] == '-') && is_unit(p[1])) {
        *im = p[0] == '+' ? 1.0 : -1.0;
        return 1;
    }
    return 0;
}

inline int xparse(const char *text, Complex *out)
{
    out->re = 0;
    out->im = 0;
    const char *p = skip_space(text);
    char *end;
    double a = strtod(p, &end);
    if (end == p) {
        if (is_unit(p[0])) {
            if (p[1] == 0) {
                out->im = 1;
                return 1;
            }
            if (p[1] != ' ')
                return 0;
            out->im = 1;
        } else if (!signed_unit(p, &out->im)) {
            return 0;
        }
        p += 2;
    } else if (is_unit(*end)) {
        out->im = a;
        p = end + 1;
    } else {
        out->re = a;
        if (*end == 0)
            return 1;
        p = skip_space(end);
        double b = strtod(p, &end);
        if (end != p) {
            if (!is_unit(*end))
                return 0;
            out->im = b;
            p = end + 1;
        } else {
            if (!signed_unit(p, &out->im))
                return 0;
            p += 2;
        }
    }
    return *skip_space(p) == 0;
}

inline void xformat(char *buffer, Complex *value)
{
    if (!_isfinit(value->re) || !_isfinit(value->im)) {
        memcpy(buffer, "Err:503", 8);
        return;
    }
    long double re = value->re;
    long double im = value->im;
    long double m = x87_sqrt(re * re + im * im);
    if (m == 0) {
        memcpy(buffer, "0", 2);
        return;
    }
    const long double tiny = 0x1p-52L;
    if (__builtin_fabsl(im) / m < tiny)
        value->im = 0;
    else if (__builtin_fabsl(re) / m < tiny)
        value->re = 0;

    char text[256];
    if (value->im == 0)
        snprintf(text, sizeof text, "%.15G", value->re);
    else if (value->re == 0)
        snprintf(text, sizeof text, "%.15Gi", value->im);
    else
        snprintf(text, sizeof text, "%.15G%+.15Gi", value->re, value->im);
    strncpy(buffer, text, 256);
    buffer[255] = 0;
}

} // namespace reference

#endif
