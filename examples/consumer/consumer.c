/* A program that links libquorel like any C library: it reads the catalogue
 * as a spreadsheet host does, calls five sheet functions (two of them on
 * ranges of cells, built with quorel_blocks.h) and three routines of the math
 * library, and prints what it got. Exit status 1 if the answers are not the
 * library's: the sheet functions and the routines behind them must agree to
 * the bit.
 *
 * quorel_math.h declares gamma, j0, ... under the C library's names, so this
 * file does not include <math.h>, and the program does not link libm. */
#include <quorel.h>
#include <quorel_blocks.h>
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
    /* Three points (x, y) in the two columns of A1:B3, and the cells 1, "2+3i",
     * 4 and "-1i" of A1:B2. */
    static const double points[6] = {0, 1, 1, 3, 2, 7};
    static const char *const texts[2] = {"2+3i", "-1i"};
    unsigned char pairs[QR_BLOCK_HEADER + 6 * QR_DOUBLE_ENTRY], *p = pairs;
    unsigned char cells[QR_BLOCK_HEADER + 2 * QR_NUMBER_CELL + QR_TEXT_CELL(4) + QR_TEXT_CELL(3)], *c = cells;
    double at = 1.5, lagrange_sheet = 0;
    char range_sum[QR_TEXT_SIZE];
    unsigned i;

    p = qr_put_header(p, 0, 0, 1, 2, 0, 6);
    for (i = 0; i < 6; i++)
        p = qr_put_double_entry(p, i % 2, i / 2, 0, 0, points[i]);
    c = qr_put_header(c, 0, 0, 1, 1, 0, 4);
    for (i = 0; i < 2; i++) {
        c = qr_put_number_cell(c, 0, i, 0, 0, i ? 4.0 : 1.0);
        c = qr_put_text_cell(c, 1, i, 0, texts[i], strlen(texts[i]));
    }

    SetLanguage(&english);
    GetFunctionCount(&count);
    GetFunctionData(&index, internal, &params, types, display);
    QR_gamma(&gamma_sheet, &x);
    QR_bessel(&bessel_sheet, &t, &order);
    QR_xadd(sum, "1+2i", "3-i");
    QR_lagrange(&lagrange_sheet, &at, (const DoubleArray *)pairs);
    QR_xsum(range_sum, (const CellArray *)cells);
    double lagrange_library = (double)lagrange(1.5, 3, points);
    /* Constant arguments: a compiler that treats gamma and j0 as its own
     * built-ins answers these itself (see quorel_math.h). */
    double gamma_library = gamma(4.5);
    double bessel_library = j0(2.5);

    printf("functions: %u\n", (unsigned)count);
    printf("function 1: %s %s, %u types\n", internal, display, (unsigned)params);
    printf("GAMMA(4.5) = %.17g, gamma(4.5) = %.17g\n", gamma_sheet, gamma_library);
    printf("BESSEL(2.5; 0) = %.17g, j0(2.5) = %.17g\n", bessel_sheet, bessel_library);
    printf("XADD(\"1+2i\"; \"3-i\") = %s\n", sum);
    printf("LAGRANGE(1.5; A1:B3) = %.17g, lagrange(1.5, 3 points) = %.17g\n", lagrange_sheet, lagrange_library);
    printf("XSUM(A1:B2) = %s\n", range_sum);

    int ok = count == QR_FUNCTION_COUNT && strcmp(internal, "QR_gamma") == 0 &&
             strcmp(display, "GAMMA") == 0 && params == 2 && gamma_sheet == gamma_library &&
             bessel_sheet == bessel_library && strcmp(sum, "4+1i") == 0 && p == pairs + sizeof pairs &&
             c == cells + sizeof cells && lagrange_sheet == lagrange_library && strcmp(range_sum, "7+2i") == 0;
    return ok ? 0 : 1;
}
