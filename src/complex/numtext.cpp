// fast_float reads and fmt's digit generation writes; both round correctly to
// nearest, so they give the same bits and the same digits as the C library
// wherever that rounds to nearest too.
#include "numtext.h"

#include "fp/fpenv.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#if defined(_WIN32)
#include <locale.h>
#else
#include <langinfo.h>
#endif

#include <fast_float/fast_float.h>

// fmt only for its Grisu digit generation, header code that takes no locale,
// no allocation and no exceptions; its internal checks stay out of the
// library.
#define FMT_ASSERT(condition, message) ((void)0)
#include <fmt/format.h>

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

char fast_separator(void)
{
    if (!fp_plain_nearest())
        return 0;
    const char *point = decimal_point();
    if ((point[0] != '.' && point[0] != ',') || point[1] != 0)
        return 0;
    return point[0];
}

// A value that strtod returns without touching errno or the flags: a normal
// double away from both ends of the range, or a zero written with zero digits
// only (non-zero digits that underflow to zero set ERANGE).
static int plain_value(double v, const char *digits, const char *end)
{
    double a = __builtin_fabs(v);
    if (a >= 0x1p-1000 && a <= 0x1p1000)
        return 1;
    if (a != 0)
        return 0;
    for (const char *p = digits; p < end && *p != 'e' && *p != 'E'; p++)
        if (*p >= '1' && *p <= '9')
            return 0;
    return 1;
}

int read_decimal(const char *p, const char *stop, char separator, double *value, const char **end)
{
    const char *q = p + (*p == '+' || *p == '-');
    if (!(q[0] >= '0' && q[0] <= '9') && q[0] != separator)
        return 0;
    // "0x" starts a hexadecimal number.
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
        return 0;
    double v;
    fast_float::parse_options options(fast_float::chars_format::general, separator);
    fast_float::from_chars_result r = fast_float::from_chars_advanced(q, stop, v, options);
    if (r.ec != std::errc() || !plain_value(v, q, r.ptr))
        return 0;
    *value = *p == '-' ? -v : v;
    *end = r.ptr;
    return 1;
}

// Whether the decimal 0.d[0]...d[n-1] * 10^x10 reads back as v.
static int reads_back(const char *digits, int n, int x10, double v)
{
    char text[32];
    memcpy(text, digits, (size_t)n);
    char *p = text + n;
    *p++ = 'e';
    int e = x10 - n;
    if (e < 0) {
        *p++ = '-';
        e = -e;
    }
    for (int scale = 100; scale > 0; scale /= 10)
        *p++ = (char)('0' + e / scale % 10);
    double r;
    fast_float::from_chars_result result = fast_float::from_chars(text, p, r);
    return result.ec == std::errc() && result.ptr == p && r == v;
}

// The 15 significant digits of v > 0 into digits[] (room for 16), trailing
// zeros dropped; returns their count n with v = 0.d[0]d[1]...d[n-1] * 10^*x10,
// or 0 when they cannot be decided here.
//
// Grisu with precision (Loitsch): v is scaled by a cached power of ten into a
// 64-bit fixed-point number with an error of one unit, the digits are cut
// from it, and the last one is rounded only where the error cannot change the
// direction; such digits are the correctly rounded ones, which are also
// printf's in nearest mode (it rounds ties to even, and ties never pass).
//
// Grisu gives up where the digits left are within the error of zero: values
// with a short decimal form, such as 1.5. Then the digits cut so far are
// taken if they read back as v and v is normal: v then lies within half a
// unit in the last place of them, at most 2^-53 v, while the grid of
// 15-digit decimals around v is at least 10^-15 v wide, so they are v rounded
// to 15 digits.
static int digits15(double v, char *digits, int *x10)
{
    using namespace fmt::detail;
    const int min_exp = -60; // alpha in Grisu
    int cached_exp10 = 0;
    fp normalized = normalize(fp(v));
    fp cached_pow = get_cached_power(min_exp - (normalized.e + fp::num_significand_bits), cached_exp10);
    normalized = normalized * cached_pow;
    gen_digits_handler handler{digits, 0, 15, -cached_exp10, false};
    int exp = 0;
    bool exact = grisu_gen_digits(normalized, 1, exp, handler) != digits::error;
    int n = handler.size;
    exp += handler.exp10; // v = d[0]d[1]...d[n-1] * 10^exp
    while (n > 1 && digits[n - 1] == '0') {
        n--;
        exp++;
    }
    *x10 = exp + n;
    if (exact || (v >= 0x1p-1022 && reads_back(digits, n, *x10, v)))
        return n;
    return 0;
}

// printf's %G layout of digits d[0..n) with value 0.d * 10^x10 at precision
// 15: style E when the exponent x = x10 - 1 is below -4 or at least 15, else
// fixed, the separator only where a digit follows it; the exponent carries a
// sign and at least two digits.
char *write_g15(char *out, double v, int sign, char separator)
{
    char d[20];
    int x10;
    double a = __builtin_fabs(v);
    int n = digits15(a, d, &x10);
    if (n == 0) {
        return out + (sign ? snprintf(out, 32, "%+.15G", v) : snprintf(out, 32, "%.15G", v));
    }
    if (v < 0)
        *out++ = '-';
    else if (sign)
        *out++ = '+';
    int x = x10 - 1;
    if (x < -4 || x >= 15) {
        *out++ = d[0];
        if (n > 1) {
            *out++ = separator;
            memcpy(out, d + 1, (size_t)(n - 1));
            out += n - 1;
        }
        *out++ = 'E';
        *out++ = x < 0 ? '-' : '+';
        unsigned e = (unsigned)(x < 0 ? -x : x);
        if (e >= 100)
            *out++ = (char)('0' + e / 100);
        *out++ = (char)('0' + e / 10 % 10);
        *out++ = (char)('0' + e % 10);
    } else if (x < 0) {
        *out++ = '0';
        *out++ = separator;
        for (int i = x + 1; i < 0; i++)
            *out++ = '0';
        memcpy(out, d, (size_t)n);
        out += n;
    } else if (n <= x + 1) {
        memcpy(out, d, (size_t)n);
        out += n;
        for (int i = n; i <= x; i++)
            *out++ = '0';
    } else {
        memcpy(out, d, (size_t)(x + 1));
        out += x + 1;
        *out++ = separator;
        memcpy(out, d + x + 1, (size_t)(n - x - 1));
        out += n - x - 1;
    }
    return out;
}
