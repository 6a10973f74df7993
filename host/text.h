// Text conversions of the host tool: the library speaks ISO 8859-1, the
// terminal and the input files UTF-8; numbers cross as locale-free decimals.
#ifndef QUOREL_HOST_TEXT_H
#define QUOREL_HOST_TEXT_H

#include <stddef.h>

#include <string>

// Latin-1 bytes to UTF-8 (every byte is one code point).
std::string latin1_to_utf8(const char *s, size_t n);
inline std::string latin1_to_utf8(const std::string &s) { return latin1_to_utf8(s.data(), s.size()); }

enum Utf8Status { UTF8_OK, UTF8_MALFORMED, UTF8_NOT_LATIN1 };

// UTF-8 to Latin-1. On failure *bad is the byte offset of the offending
// sequence and *code_point its value (UTF8_NOT_LATIN1 only).
Utf8Status utf8_to_latin1(const char *s, size_t n, std::string *out, size_t *bad, unsigned long *code_point);

// Catalogue texts arrive in the encoding of the process's character set, as a
// host decodes them: UTF-8 when the locale's codeset is UTF-8 (utf8 true),
// ISO 8859-1 otherwise. To the tool's own Latin-1 form (that of display names
// and text arguments); false when the bytes are not valid in that encoding or
// name a character outside Latin-1, so that no typed name can match them.
bool catalogue_text_to_latin1(const char *s, size_t n, bool utf8, std::string *latin1);

// The same text for display in UTF-8; bytes that are not valid UTF-8 under a
// UTF-8 codeset show as U+FFFD, as a host would show them.
std::string catalogue_text_to_utf8(const char *s, size_t n, bool utf8);

// Upper case within Latin-1: a-z and the accented letters 0xE0..0xFE except
// 0xF7; the sharp s and 0xFF have no upper case inside the set and stay.
std::string latin1_upper(const std::string &s);

// 1-based column of a byte offset in a UTF-8 line, counted in characters.
size_t utf8_column(const std::string &line, size_t offset);

// A number as a sheet's general format shows it, with the shortest digits
// that read back to the same double: plain for magnitudes from 1e-4 up to
// 1e15 (1000000, 0.0001), exponent form beyond (1e+15, 1e-05); NaN,
// Infinity, -Infinity. decimal replaces the '.' (a German sheet's ',').
std::string format_number(double x, char decimal = '.');

// A literal for a message: in quotes, cut after 40 characters with its size
// named, so that a megabyte of input does not come back as one line.
std::string quoted_excerpt(const std::string &text);

// A whole token as a number: decimal or 0x hexadecimal significand with
// exponent, optional sign, NaN, Inf, Infinity (any case). Locale-free.
enum NumberStatus { NUMBER_OK, NUMBER_SYNTAX, NUMBER_RANGE };
NumberStatus parse_number(const char *first, const char *last, double *out);

// An unsigned integer token (decimal, or hexadecimal with 0x) no greater than max.
bool parse_unsigned(const char *first, const char *last, unsigned long max, unsigned long *out);

#endif
