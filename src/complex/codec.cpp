// Complex numbers as text: "a+bi" read with strtod and written with "%.15G",
// both in the process's numeric locale (GetFunctionCount sets it).
#include "complex.h"

#include "addin/hostbuf.h"
#include "fp/fpenv.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *skip_space(const char *p)
{
    while (*p != 0 && isspace((unsigned char)*p))
        p++;
    return p;
}

static int is_unit(char c) { return c == 'i' || c == 'j'; }

// "+i" / "-i" (or j) at p: the unit with its sign into *im.
static int signed_unit(const char *p, double *im)
{
    if ((p[0] == '+' || p[0] == '-') && is_unit(p[1])) {
        *im = p[0] == '+' ? 1.0 : -1.0;
        return 1;
    }
    return 0;
}

// The grammar: [ws] re [ws] (number U | +U | -U) [ws], or [ws] number U [ws],
// or [ws] (U | +U | -U) [ws]; a lone real part ends the text at once. No blank
// between a sign and its digits or between a number and its U.
int xparse(const char *text, Complex *out)
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

// Parts are squared in extended precision, so the modulus of any finite pair
// is exact enough for the flush test and never overflows.
void xformat(char *buffer, Complex *value)
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

    char text[QR_TEXT_SIZE];
    if (value->im == 0)
        snprintf(text, sizeof text, "%.15G", value->re);
    else if (value->re == 0)
        snprintf(text, sizeof text, "%.15Gi", value->im);
    else
        snprintf(text, sizeof text, "%.15G%+.15Gi", value->re, value->im);
    copy_to_host(buffer, text);
}

void xfail(char *buffer) { memcpy(buffer, "Err:502", 8); }
