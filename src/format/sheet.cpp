// Sheet functions EURO, IEEE and ROMANTONUM.
#include "format/format.h"
#include "fp/fpenv.h"

#include "quorel.h"

extern "C" {

QR_SHEET void QR_CALL QR_euro(char *result, const double *number, const double *decimals)
{
    fpu_call(__euro_text, result, *number, *decimals);
}

// Integer work only: no floating-point operation, so no precision switch.
QR_SHEET void QR_CALL QR_ieee(char *result, const double *number)
{
    __ieee_text(result, *number);
}

// Integer work only; the sum (below 2^53 for any real text) converts exactly,
// also where roman() saturates.
QR_SHEET void QR_CALL QR_roman(double *result, const char *text)
{
    if (!__roman_letters(text)) {
        *result = no_result();
        return;
    }
    *result = (double)__roman_sum(text);
}

} // extern "C"
