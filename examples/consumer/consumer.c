/* A program that links libquorel like any C library: it reads the catalogue
 * as a spreadsheet host does, calls three sheet functions and two routines
 * of the math library, and prints what it got. Exit status 1 if the answers
 * are not the library's: the sheet functions and the routines behind them
 * must agree to the bit.
 *
 * quorel_math.h declares gamma, j0, ... under the C library's names, so this
 * file does not include <math.h>, and the program does not link libm. */
#include <quorel.h>
#include <quorel_math.h>

#include <stdio.h>
#include <string.h>

int main(void)
{
    uint16_t count = 0, index = 1, params = 0;
    uint16_t english = QR_LANGUAGE_ENGLISH;
    int32_t types[3];
    char internal[QR_TEXT_SIZE], display[QR_TEXT_SIZE], sum[QR_TEXT_SIZE];
    double x = 4.5, gamma_sheet = 0, t = 2.5, order = 0, bessel_sheet = 0;

    SetLanguage(&english);
    GetFunctionCount(&count);
    GetFunctionData(&index, internal, &params, types, display);
    QR_gamma(&gamma_sheet, &x);
    QR_bessel(&bessel_sheet, &t, &order);
    QR_xadd(sum, "1+2i", "3-i");
    /* Constant arguments: a compiler that treats gamma and j0 as its own
     * built-ins answers these itself (see quorel_math.h). */
    double gamma_library = gamma(4.5);
    double bessel_library = j0(2.5);

    printf("functions: %u\n", (unsigned)count);
    printf("function 1: %s %s, %u types\n", internal, display, (unsigned)params);
    printf("GAMMA(4.5) = %.17g, gamma(4.5) = %.17g\n", gamma_sheet, gamma_library);
    printf("BESSEL(2.5; 0) = %.17g, j0(2.5) = %.17g\n", bessel_sheet, bessel_library);
    printf("XADD(\"1+2i\"; \"3-i\") = %s\n", sum);

    int ok = count == QR_FUNCTION_COUNT && strcmp(internal, "QR_gamma") == 0 &&
             strcmp(display, "GAMMA") == 0 && params == 2 && gamma_sheet == gamma_library &&
             bessel_sheet == bessel_library && strcmp(sum, "4+1i") == 0;
    return ok ? 0 : 1;
}
