// Number formatting and conversion: internal routines shared by the sheet
// functions EURO, IEEE and ROMANTONUM and reachable by the unit tests.
#ifndef QUOREL_FORMAT_H
#define QUOREL_FORMAT_H

#include <stdint.h>

// Decimal count of EURO: truncation toward zero; NaN and values outside the
// signed 32-bit range give INT32_MIN (read by "%.*f" as "no precision").
int32_t __euro_decimals(double decimals);

// The double's bit pattern widened exactly to the 80-bit extended format:
// sign and 15-bit exponent in *se, the 64-bit significand (explicit integer
// bit) in *significand. NaNs come out quiet with their payload kept.
void __ieee_widen(double x, uint16_t *se, uint64_t *significand);

// 1 if every character of text is a Roman letter (the empty text included).
int __roman_letters(const char *text);

// Value of the Roman numeral at the head of text, summed in 64 bits: the sum
// is never negative and cannot overflow for any text that fits in memory.
int64_t __roman_sum(const char *text);

#endif
