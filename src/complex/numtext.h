// Exact fast conversions between doubles and decimal text for the complex
// codec, valid where they agree with the C library's strtod and "%.15G": in
// nearest mode with the x87 at its 64-bit significand (codec.cpp checks).
// Kept apart from the library's math header: fast_float pulls in <cmath>,
// whose lgamma is not the library's.
#ifndef QUOREL_NUMTEXT_H
#define QUOREL_NUMTEXT_H

// Reads the plain decimal number [sign] digits [separator digits]
// [e [sign] digits] at p (stop: the end of the text) into *value and *end,
// as strtod would read it. Returns 0, leaving both alone, for any other form
// and for values whose reading sets errno or raises flags in strtod; the
// caller then asks strtod.
// An ASCII digit (isdigit may take more under some locales).
static inline int is_digit(char c) { return c >= '0' && c <= '9'; }

int read_decimal(const char *p, const char *stop, char separator, double *value, const char **end);

// Writes the finite non-zero v at out as "%.15G" does ("%+.15G" when sign is
// set) with the given separator, and returns the end of the text (no NUL).
char *write_g15(char *out, double v, int sign, char separator);

#endif
