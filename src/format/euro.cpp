// EURO: a number as "%.*f EUR" in the process's numeric locale, cut to the
// 255 characters that a host text buffer holds.
#include "format/format.h"

#include "addin/hostbuf.h"
#include "fp/fpenv.h"

#include "quorel.h"

#include <stdio.h>

// A double is a multiple of 2^-1074, so its decimal expansion ends by the
// 1074th decimal: with more decimals "%.*f" rounds nothing and only appends
// zeros. A count above EXACT_DECIMALS therefore yields a text whose first
// 255 characters equal those of the text with EXACT_DECIMALS decimals (both
// already exceed 255 characters before the currency code), and the C library
// never has to produce the billions of zeros of a count such as 2^31 - 1.
enum { EXACT_DECIMALS = 1100 };

int32_t __euro_decimals(double decimals) { return truncate_int32(decimals); }

// The whole conversion, kept out of line so that it runs entirely under the
// 64-bit precision that QR_euro sets around it.
FPU_GUARDED void __euro_text(char *result, double number, double decimals)
{
    int32_t d = __euro_decimals(decimals);
    int precision = d < 0 ? 6 : d > EXACT_DECIMALS ? EXACT_DECIMALS : d;

    // snprintf is bounded by the buffer: it keeps exactly the first 255
    // characters of the full text, however long that is.
    char work[QR_TEXT_SIZE];
    if (snprintf(work, sizeof work, "%.*f EUR", precision, number) < 0)
        work[0] = '\0';
    copy_to_host(result, work);
}
