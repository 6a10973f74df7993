// Text conversions of the host tool. Everything numeric goes through
// std::from_chars / std::to_chars: the library sets the process's numeric
// locale from the environment, so printf and strtod are not to be trusted here.
#include "text.h"

#include <charconv>
#include <string.h>

std::string latin1_to_utf8(const char *s, size_t n)
{
    std::string out;
    out.reserve(n + n / 8);
    for (size_t i = 0; i < n; i++) {
        unsigned char c = (unsigned char)s[i];
        if (c < 0x80) {
            out += (char)c;
        } else {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Length of the UTF-8 sequence that starts with c and the bits of the lead
// byte; 0 for a byte that cannot start a sequence.
static int utf8_lead(unsigned char c, unsigned long *bits)
{
    if (c < 0x80) { *bits = c; return 1; }
    if (c >= 0xC2 && c <= 0xDF) { *bits = c & 0x1F; return 2; }
    if (c >= 0xE0 && c <= 0xEF) { *bits = c & 0x0F; return 3; }
    if (c >= 0xF0 && c <= 0xF4) { *bits = c & 0x07; return 4; }
    return 0;
}

Utf8Status utf8_to_latin1(const char *s, size_t n, std::string *out, size_t *bad, unsigned long *code_point)
{
    static const unsigned long least[5] = {0, 0, 0x80, 0x800, 0x10000};
    out->clear();
    out->reserve(n);
    size_t i = 0;
    while (i < n) {
        unsigned long cp;
        int len = utf8_lead((unsigned char)s[i], &cp);
        if (len == 0 || (size_t)len > n - i) {
            *bad = i;
            return UTF8_MALFORMED;
        }
        for (int k = 1; k < len; k++) {
            unsigned char c = (unsigned char)s[i + k];
            if ((c & 0xC0) != 0x80) {
                *bad = i;
                return UTF8_MALFORMED;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            *bad = i;
            return UTF8_MALFORMED;
        }
        if (cp > 0xFF) {
            *bad = i;
            *code_point = cp;
            return UTF8_NOT_LATIN1;
        }
        *out += (char)(unsigned char)cp;
        i += (size_t)len;
    }
    return UTF8_OK;
}

bool catalogue_text_to_latin1(const char *s, size_t n, bool utf8, std::string *latin1)
{
    if (!utf8) {
        latin1->assign(s, n);
        return true;
    }
    size_t bad;
    unsigned long cp;
    return utf8_to_latin1(s, n, latin1, &bad, &cp) == UTF8_OK;
}

std::string catalogue_text_to_utf8(const char *s, size_t n, bool utf8)
{
    if (!utf8)
        return latin1_to_utf8(s, n);
    std::string out, ignored;
    size_t i = 0;
    while (i < n) {
        size_t bad;
        unsigned long cp;
        Utf8Status status = utf8_to_latin1(s + i, n - i, &ignored, &bad, &cp);
        if (status == UTF8_OK) {
            out.append(s + i, n - i);
            break;
        }
        if (status == UTF8_NOT_LATIN1) { // valid UTF-8: keep the sequence
            size_t len = cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
            out.append(s + i, bad + len);
            i += bad + len;
            continue;
        }
        out.append(s + i, bad);
        out += "\xEF\xBF\xBD"; // U+FFFD for the byte that starts no valid sequence
        i += bad + 1;
    }
    return out;
}

std::string latin1_upper(const std::string &s)
{
    std::string out(s);
    for (char &ch : out) {
        unsigned char c = (unsigned char)ch;
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            ch = (char)(c - 0x20);
    }
    return out;
}

size_t utf8_column(const std::string &line, size_t offset)
{
    size_t column = 1;
    for (size_t i = 0; i < offset && i < line.size(); i++)
        if (((unsigned char)line[i] & 0xC0) != 0x80)
            column++;
    return column;
}

std::string format_number(double x, char decimal)
{
    if (x != x)
        return "NaN";
    if (x == __builtin_inf())
        return "Infinity";
    if (x == -__builtin_inf())
        return "-Infinity";
    // A sheet's general format: plain digits from 1e-4 up to the integers
    // below 1e15, exponent form outside; either way the shortest digits that
    // read back to the same double (up to 17 significant digits).
    double magnitude = x < 0 ? -x : x;
    bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15);
    char buffer[64];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, x,
                                           plain ? std::chars_format::fixed : std::chars_format::scientific);
    std::string text(buffer, r.ptr);
    if (decimal != '.')
        for (char &c : text)
            if (c == '.')
                c = decimal;
    return text;
}

std::string quoted_excerpt(const std::string &text)
{
    enum { SHOWN = 40 };
    size_t cut = 0, characters = 0;
    while (cut < text.size() && characters < SHOWN) {
        cut++;
        while (cut < text.size() && ((unsigned char)text[cut] & 0xC0) == 0x80)
            cut++;
        characters++;
    }
    if (cut == text.size())
        return "\"" + text + "\"";
    return "\"" + text.substr(0, cut) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

static bool same_word(const char *first, const char *last, const char *word)
{
    size_t n = strlen(word);
    if ((size_t)(last - first) != n)
        return false;
    for (size_t i = 0; i < n; i++) {
        char c = first[i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

static bool is_digit(char c) { return c >= '0' && c <= '9'; }
static bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

NumberStatus parse_number(const char *first, const char *last, double *out)
{
    bool negative = false;
    if (first < last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        first++;
    }
    if (same_word(first, last, "nan")) {
        *out = negative ? -__builtin_nan("") : __builtin_nan("");
        return NUMBER_OK;
    }
    if (same_word(first, last, "inf") || same_word(first, last, "infinity")) {
        *out = negative ? -__builtin_inf() : __builtin_inf();
        return NUMBER_OK;
    }
    std::chars_format format = std::chars_format::general;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        first += 2;
        format = std::chars_format::hex;
        if (!(is_hex_digit(*first) || *first == '.'))
            return NUMBER_SYNTAX;
    } else if (first == last || !(is_digit(*first) || *first == '.')) {
        return NUMBER_SYNTAX;
    }
    double value = 0;
    std::from_chars_result r = std::from_chars(first, last, value, format);
    if (r.ec == std::errc::result_out_of_range)
        return NUMBER_RANGE;
    if (r.ec != std::errc() || r.ptr != last)
        return NUMBER_SYNTAX;
    *out = negative ? -value : value;
    return NUMBER_OK;
}

bool parse_unsigned(const char *first, const char *last, unsigned long max, unsigned long *out)
{
    int base = 10;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        first += 2;
        base = 16;
    }
    if (first == last || !is_hex_digit(*first))
        return false;
    unsigned long value = 0;
    std::from_chars_result r = std::from_chars(first, last, value, base);
    if (r.ec != std::errc() || r.ptr != last || value > max)
        return false;
    *out = value;
    return true;
}
