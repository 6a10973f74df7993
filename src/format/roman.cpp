// ROMANTONUM: a Roman numeral read leniently, each letter compared with its
// right-hand neighbour only (subtracted if smaller, else added).
#include "format/format.h"
#include "fp/fpenv.h"

#include "quorel.h"
#include "quorel_math.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

// Letter values, either case; 0 for every other byte, the terminator included.
static int letter_value(unsigned char c)
{
    switch (c) {
    case 'I': case 'i': return 1;
    case 'V': case 'v': return 5;
    case 'X': case 'x': return 10;
    case 'L': case 'l': return 50;
    case 'C': case 'c': return 100;
    case 'D': case 'd': return 500;
    case 'M': case 'm': return 1000;
    default: return 0;
    }
}

int __roman_letters(const char *text)
{
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        if (letter_value(*p) == 0)
            return 0;
    return 1;
}

// Every letter is worth more than all smaller letters together (5 > 1,
// 10 > 6, 50 > 16, ...), so each rising run adds a positive amount and the
// sum never goes below 0; with at most 1000 per byte it stays far below 2^63.
int64_t __roman_sum(const char *text)
{
    const unsigned char *p = (const unsigned char *)text;
    int64_t sum = 0;
    int v = letter_value(*p);
    while (v != 0) {
        int w = letter_value(*++p);
        sum += v < w ? -v : v;
        v = w;
    }
    return sum;
}

extern "C" {

// A numeral beyond the int range (over two million letters M) gives
// INT32_MAX: the sum saturates instead of wrapping.
int roman(const char *text)
{
    int64_t sum = __roman_sum(text);
    return sum > INT32_MAX ? INT32_MAX : (int)sum;
}

} // extern "C"
