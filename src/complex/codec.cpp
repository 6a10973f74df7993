// Complex numbers as text: "a+bi" read as strtod reads numbers and written as
// "%.15G" writes them, both in the process's numeric locale (GetFunctionCount
// sets it).
//
// The C library's conversions are exact but slow: multi-precision arithmetic
// on every call. Plain decimal numbers take exact fast paths instead
// (numtext.cpp), which round correctly to nearest and so give the same bits
// and the same digits as the C library does while it rounds to nearest. They
// are taken only where that identity holds:
//  - both units round to nearest and keep subnormals (glibc's strtod and
//    printf follow the x87 rounding mode), and the x87 runs at its 64-bit
//    significand (it does inside every sheet function);
//  - the locale's decimal separator is "." or "," (one byte). The locale is
//    asked once per conversion call, so a host that calls setlocale after
//    GetFunctionCount is followed; any other separator goes to the C library;
//  - the number is [sign] digits [separator digits] [e [sign] digits] and
//    its value a normal double well inside the range. Hexadecimal forms,
//    inf and nan, and values that overflow, underflow or come near either
//    end (where strtod sets errno or raises flags) go to strtod, as do the
//    few values whose 15th digit lies too near a rounding tie to decide.
#include "complex.h"

#include "numtext.h"
#include "addin/hostbuf.h"
#include "fp/fpenv.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#include <locale.h>
#else
#include <langinfo.h>
#endif

// The separator that the C library's strtod and printf use now. glibc reads
// the LC_NUMERIC data of the thread's locale; the mingw runtime asks
// localeconv on every conversion.
static const char *decimal_point(void)
{
#if defined(_WIN32)
    return localeconv()->decimal_point;
#else
    return nl_langinfo(RADIXCHAR);
#endif
}

// The separator for the fast paths, or 0 where only the C library gives its
// exact results.
static char fast_separator(void)
{
    if ((x87_control() & 0x0F00) != 0x0300 || (sse_control() & 0xE040) != 0)
        return 0;
    const char *point = decimal_point();
    if ((point[0] != '.' && point[0] != ',') || point[1] != 0)
        return 0;
    return point[0];
}

// The number that strtod reads at p (not white space; stop is the end of the
// text), with *end after it, or *end = p when there is none.
static double read_number(const char *p, const char *stop, char **end, char separator)
{
    if (separator) {
        char c = p[*p == '+' || *p == '-'];
        if (is_digit(c) || c == separator) {
            double v;
            if (read_decimal(p, stop, separator, &v, (const char **)end))
                return v;
        } else if (c != 'i' && c != 'I' && c != 'n' && c != 'N') {
            // Neither a digit nor the start of inf or nan: nothing to read.
            *end = (char *)p;
            return 0;
        }
    }
    return strtod(p, end);
}

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
    char separator = fast_separator();
    const char *stop = text + strlen(text);
    const char *p = skip_space(text);
    char *end;
    double a = read_number(p, stop, &end, separator);
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
        double b = read_number(p, stop, &end, separator);
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
    char separator = fast_separator();
    if (separator) {
        char *end = text;
        if (value->im == 0) {
            end = write_g15(end, value->re, 0, separator);
        } else {
            if (value->re != 0)
                end = write_g15(end, value->re, 0, separator);
            end = write_g15(end, value->im, value->re != 0, separator);
            *end++ = 'i';
        }
        *end = 0;
    } else if (value->im == 0) {
        snprintf(text, sizeof text, "%.15G", value->re);
    } else if (value->re == 0) {
        snprintf(text, sizeof text, "%.15Gi", value->im);
    } else {
        snprintf(text, sizeof text, "%.15G%+.15Gi", value->re, value->im);
    }
    copy_to_host(buffer, text);
}

void xfail(char *buffer) { memcpy(buffer, "Err:502", 8); }
