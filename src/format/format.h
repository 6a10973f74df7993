// Number formatting and conversion: internal routines shared by the sheet
// functions EURO, IEEE and ROMANTONUM and reachable by the unit tests.
#ifndef QUOREL_FORMAT_H
#define QUOREL_FORMAT_H

#include "fp/fpenv.h"

#include <stdint.h>

// Decimal count of EURO: truncation toward zero; NaN and values outside the
// signed 32-bit range give INT32_MIN (read by "%.*f" as "no precision").
int32_t __euro_decimals(double decimals);

// EURO's text of number with `decimals` decimals into the 256-byte result;
// expects the x87 at a 64-bit significand.
FPU_GUARDED void __euro_text(char *result, double number, double decimals);

// The double's bit pattern widened exactly to the 80-bit extended format:
// sign and 15-bit exponent in *se, the 64-bit significand (explicit integer
// bit) in *significand. NaNs come out quiet with their payload kept.
void __ieee_widen(double x, uint16_t *se, uint64_t *significand);

// IEEE's text: the widened pattern as 20 lowercase hexadecimal digits, sign
// and exponent first, then a NUL.
void __ieee_text(char *result, double number);

// 1 if every character of text is a Roman letter (the empty text included).
int __roman_letters(const char *text);

// Value of the Roman numeral at the head of text, summed in 64 bits: the sum
// is never negative and cannot overflow for any text that fits in memory.
int64_t __roman_sum(const char *text);

#endif
