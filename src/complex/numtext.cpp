// Exact fast conversions for the complex codec. Both give the correctly
// rounded result, as the C library's strtod and printf do in nearest mode, or
// decline and leave the case to the C library.
#include "numtext.h"

#include "fp/x87.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <fast_float/fast_float.h>

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

// 10^k, exact in a double for k <= 22.
static const double exact_powers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

static const uint64_t powers_of_ten_u64[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The run of digits at p, appended to *m: *m becomes *m * 10^n + their value
// (modulo 2^64, for n digits); returns the end of the run. Eight bytes at a
// time where eight can be read: the leading digits of a chunk are found and
// summed with SWAR (the first non-digit byte is classified exactly, since no
// borrow or carry reaches it from the digit bytes before it).
static const char *scan_digits(const char *p, const char *stop, uint64_t *m)
{
    uint64_t value = *m;
    while (stop - p >= 8) {
        uint64_t chunk = fast_float::read_u64(p);
        uint64_t t = chunk - 0x3030303030303030u;
        uint64_t other = (t | (chunk + 0x4646464646464646u)) & 0x8080808080808080u;
        int k = other ? __builtin_ctzll(other) >> 3 : 8;
        if (k == 0)
            return *m = value, p;
        // The k digits to the top bytes, zeros below: an 8-digit number.
        t <<= 8 * (8 - k);
        t = t * 10 + (t >> 8);
        t = ((t & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
             ((t >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
            32;
        value = value * powers_of_ten_u64[k] + (uint32_t)t;
        p += k;
        if (k < 8)
            return *m = value, p;
    }
    while (p < stop && is_digit(*p))
        value = value * 10 + (uint64_t)(*p++ - '0');
    *m = value;
    return p;
}

// Clinger's fast path for the unsigned number at q: with at most 19 digits m
// < 2^53 and a decimal exponent e with |e| <= 22 both m and 10^|e| are exact
// doubles, so m * 10^e or m / 10^-e is one correctly rounded operation.
static int read_short(const char *q, const char *stop, char separator, double *value, const char **end)
{
    uint64_t m = 0;
    const char *p = scan_digits(q, stop, &m);
    int count = (int)(p - q);
    int e = 0;
    if (p < stop && *p == separator) {
        const char *fraction = ++p;
        p = scan_digits(p, stop, &m);
        e = -(int)(p - fraction);
        count -= e;
    }
    if (count == 0 || count > 19)
        return 0;
    if (p < stop && (*p == 'e' || *p == 'E')) {
        const char *x = p + 1;
        int negative = x < stop && *x == '-';
        x += x < stop && (*x == '-' || *x == '+');
        if (x < stop && is_digit(*x)) {
            int n = 0;
            while (x < stop && is_digit(*x)) {
                if (n < 10000)
                    n = n * 10 + (*x - '0');
                x++;
            }
            e += negative ? -n : n;
            p = x;
        }
    }
    if (m > (uint64_t)1 << 53 || e < -22 || e > 22)
        return 0;
    double v = (double)(int64_t)m;
    *value = e < 0 ? v / exact_powers[-e] : v * exact_powers[e];
    *end = p;
    return 1;
}

int read_decimal(const char *p, const char *stop, char separator, double *value, const char **end)
{
    const char *q = p + (*p == '+' || *p == '-');
    if (!is_digit(q[0]) && q[0] != separator)
        return 0;
    // "0x" starts a hexadecimal number.
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
        return 0;
    double v;
    if (!read_short(q, stop, separator, &v, end)) {
        fast_float::parse_options options(fast_float::chars_format::general, separator);
        fast_float::from_chars_result r = fast_float::from_chars_advanced(q, stop, v, options);
        if (r.ec != std::errc() || !plain_value(v, q, r.ptr))
            return 0;
        *end = r.ptr;
    }
    *value = *p == '-' ? -v : v;
    return 1;
}

// 10^k for k = 0 ... 31 and 10^(32 j) for j = -10 ... 10, each rounded to
// nearest in the extended format (those up to 10^27 are exact); their products
// give 10^q for every q that write_g15 needs.
static const long double powers_of_ten[32] = {
    0x8000000000000000p-63L, 0xA000000000000000p-60L, 0xC800000000000000p-57L, 0xFA00000000000000p-54L,
    0x9C40000000000000p-50L, 0xC350000000000000p-47L, 0xF424000000000000p-44L, 0x9896800000000000p-40L,
    0xBEBC200000000000p-37L, 0xEE6B280000000000p-34L, 0x9502F90000000000p-30L, 0xBA43B74000000000p-27L,
    0xE8D4A51000000000p-24L, 0x9184E72A00000000p-20L, 0xB5E620F480000000p-17L, 0xE35FA931A0000000p-14L,
    0x8E1BC9BF04000000p-10L, 0xB1A2BC2EC5000000p-7L,  0xDE0B6B3A76400000p-4L,  0x8AC7230489E80000p+0L,
    0xAD78EBC5AC620000p+3L,  0xD8D726B7177A8000p+6L,  0x878678326EAC9000p+10L, 0xA968163F0A57B400p+13L,
    0xD3C21BCECCEDA100p+16L, 0x84595161401484A0p+20L, 0xA56FA5B99019A5C8p+23L, 0xCECB8F27F4200F3Ap+26L,
    0x813F3978F8940984p+30L, 0xA18F07D736B90BE5p+33L, 0xC9F2C9CD04674EDFp+36L, 0xFC6F7C4045812296p+39L,
};
static const long double powers_of_ten_32[21] = {
    0xFD00B897478238D1p-1127L, 0x9BECCE62836AC577p-1020L, 0xC0314325637A193Ap-914L, 0xECE53CEC4A314EBEp-808L,
    0x91FF83775423CC06p-701L,  0xB3F4E093DB73A093p-595L,  0xDDD0467C64BCE4A1p-489L, 0x88B402F7FD75539Bp-382L,
    0xA87FEA27A539E9A5p-276L,  0xCFB11EAD453994BAp-170L,  0x8000000000000000p-63L,  0x9DC5ADA82B70B59Ep+43L,
    0xC2781F49FFCFA6D5p+149L,  0xEFB3AB16C59B14A3p+255L,  0x93BA47C980E98CE0p+362L, 0xB616A12B7FE617AAp+468L,
    0xE070F78D3927556Bp+574L,  0x8A5296FFE33CC930p+681L,  0xAA7EEBFB9DF9DE8Ep+787L, 0xD226FC195C6A2F8Cp+893L,
    0x81842F29F2CCE376p+1000L,
};

static long double scaled(long double a, int q)
{
    return a * (powers_of_ten_32[(q >> 5) + 10] * powers_of_ten[q & 31]);
}

static const char two_digits[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                 "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                 "8081828384858687888990919293949596979899";

// The 15 significant digits of a finite a > 0, rounded to nearest: the
// 15-digit integer n into digits[0..14] and the decimal exponent x of the
// first digit, or 0 when they cannot be decided here.
//
// w = a * 10^q with q = 14 - floor(log10 a) lies in [10^14, 10^15); it is
// formed in extended precision with four roundings of at most 2^-64 relative
// each, so |w~ - w| < 4.0001 * 2^-64 w < 2^-61 w~, and n = w rounded to the
// nearest integer is w~ rounded so, unless w~ lies within that of a midpoint.
// Such cases (the ties among them, which printf breaks to even) are
// declined. The estimate of floor(log10 a) from the binary exponent may be
// one low; then w~ reaches 10^15 and q drops by one.
static int digits15(double a, char *digits, int *x)
{
    uint64_t bits;
    memcpy(&bits, &a, sizeof bits);
    int e2 = (int)(bits >> 52) - 1023;
    if (e2 == -1023) // subnormal: the binary exponent of the leading bit
        e2 = -1011 - __builtin_clzll(bits);
    int q = 14 - ((e2 * 78913) >> 18); // floor(e2 log10(2)) for |e2| < 2^11
    long double w = scaled(a, q);
    if (w >= 1e15L) {
        q--;
        w = scaled(a, q);
    }
    long long n = x87_to_int64(w);
    if (__builtin_fabsl(w - (long double)n) >= 0.5L - w * 0x1p-61L)
        return 0;
    *x = 14 - q;
    if (n == 1000000000000000) { // rounded up to the next power of ten
        n /= 10;
        ++*x;
    }
    uint32_t high = (uint32_t)(n / 100000000), low = (uint32_t)(n % 100000000);
    digits[0] = (char)('0' + high / 1000000);
    for (int i = 0; i < 3; i++) {
        memcpy(digits + 5 - 2 * i, two_digits + 2 * (high % 100), 2);
        high /= 100;
    }
    for (int i = 0; i < 4; i++) {
        memcpy(digits + 13 - 2 * i, two_digits + 2 * (low % 100), 2);
        low /= 100;
    }
    return 1;
}

// printf's %G layout at precision 15 of the digits d[0..n) whose first
// stands for 10^x (trailing zeros dropped): style E when x is below -4 or at
// least 15, else fixed, the separator only where a digit follows it; the
// exponent carries a sign and at least two digits.
char *write_g15(char *out, double v, int sign, char separator)
{
    char d[16];
    int x;
    if (!digits15(__builtin_fabs(v), d, &x))
        return out + (sign ? snprintf(out, 32, "%+.15G", v) : snprintf(out, 32, "%.15G", v));
    int n = 15;
    while (d[n - 1] == '0')
        n--;
    if (v < 0)
        *out++ = '-';
    else if (sign)
        *out++ = '+';
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
