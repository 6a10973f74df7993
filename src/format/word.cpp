// QR_word: exported beside the math library (quorel_math.h), not a sheet
// function of the catalogue.
#include "format/format.h"
#include "fp/fpenv.h"

#include "quorel_math.h"

#include <stdio.h>
#include <stdlib.h>

// QR_word: the number as text with zero significant digits requested (one is
// written) into a buffer of its own; the host's result buffer is not touched.
static FPU_GUARDED void word_text(double number)
{
    char work[32];
#if defined(__GLIBC__)
    gcvt(number, 0, work);
#else
    snprintf(work, sizeof work, "%.0g", number); // what gcvt(x, 0, buf) writes
#endif
    asm volatile("" : : "r"(work) : "memory");
}

extern "C" {

void QR_CALL QR_word(char *result, const double *number)
{
    (void)result;
    fpu_call(word_text, *number);
}

} // extern "C"
