/* quorel: spreadsheet add-in interface.
 *
 * The host learns the catalogue through the four entry points, then calls each
 * sheet function by its internal name. The calling convention, the same for
 * all 40 (cdecl on Windows):
 *
 * - Every argument is a pointer, and the function returns nothing: the result
 *   pointer first, then one pointer per parameter in catalogue order.
 * - Its kind follows the type code (QR_ARG_*) of the catalogue row: a number
 *   is a double *; a text a NUL-terminated ISO 8859-1 string; a range a
 *   pointer to a DoubleArray or CellArray block, whose layout and builders are
 *   in quorel_blocks.h.
 * - A number result is always written, NaN for unusable input. A text result
 *   goes into a buffer of QR_TEXT_SIZE (256) bytes that the caller owns; it is
 *   always NUL-terminated within it (complex results: "Err:502" for an
 *   argument that is no complex number, "Err:503" for a result that is not
 *   finite).
 * - The caller owns every buffer and block; the library keeps no pointer
 *   after the call. A host calls from one thread; a program may call from
 *   several at once (README, "Threads": the error record, the language and
 *   the numeric locale stay shared by the whole process).
 *
 * So QR_xadd(result, "1+2i", "3-i") writes "4+1i" into result[256], and
 * QR_bessel(&y, &x, &n) stores J_n(x) in y.
 */
#ifndef QUOREL_H
#define QUOREL_H

#include <stdint.h>

#if defined(_WIN32)
#  define QR_CALL __cdecl
#  if defined(QUOREL_BUILD)
#    define QR_SHEET __declspec(dllexport)
#  else
#    define QR_SHEET
#  endif
#else
#  define QR_CALL
#  define QR_SHEET __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Type codes of results and parameters in the catalogue. */
enum { QR_ARG_NUMBER = 0, QR_ARG_STRING = 1, QR_ARG_DOUBLE_ARRAY = 2, QR_ARG_CELL_ARRAY = 4 };

enum { QR_FUNCTION_COUNT = 40, QR_TEXT_SIZE = 256 };

/* Language codes of SetLanguage (Windows language identifiers); German is
 * the library's language until SetLanguage stores another. */
enum { QR_LANGUAGE_GERMAN = 1031, QR_LANGUAGE_ENGLISH = 1033 };

/* Range blocks: packed little-endian, a 14-byte header (col1, row1, tab1,
 * col2, row2, tab2, count as 16-bit words) followed by the entries; the
 * layout and small builders are in quorel_blocks.h. */
typedef struct DoubleArray DoubleArray;
typedef struct CellArray CellArray;

/* Entry points. GetFunctionCount stores 40 (and takes the numeric locale from
 * the environment). GetFunctionData(index 0..39) writes the internal name
 * (the symbol to call) and the display name into buffers of QR_TEXT_SIZE
 * bytes, and the row's types into paramTypes: *paramCount of them (3 at
 * most), the result's type first, so the function takes *paramCount - 1
 * parameters. GetParameterDescription(index, 0) gives the
 * function's description, (index, k) for k = 1 .. *paramCount - 1 the name
 * and description of parameter k. SetLanguage(1031) serves German texts, any
 * other code English. */
QR_SHEET void QR_CALL GetFunctionCount(uint16_t *functionCount);
QR_SHEET void QR_CALL GetFunctionData(const uint16_t *index, char *internalName, uint16_t *paramCount,
                                      int32_t *paramTypes, char *displayName);
QR_SHEET void QR_CALL GetParameterDescription(const uint16_t *index, const uint16_t *param, char *paramName,
                                              char *paramDescription);
QR_SHEET void QR_CALL SetLanguage(const uint16_t *code);

/* Real special functions. */
QR_SHEET void QR_CALL QR_gamma(double *result, const double *x);
QR_SHEET void QR_CALL QR_bessel(double *result, const double *x, const double *order);
QR_SHEET void QR_CALL QR_weber(double *result, const double *x, const double *order);

/* Complex numbers as text "a+bi". */
QR_SHEET void QR_CALL QR_xreal(double *result, const char *z);
QR_SHEET void QR_CALL QR_ximag(double *result, const char *z);
QR_SHEET void QR_CALL QR_xabs(double *result, const char *z);
QR_SHEET void QR_CALL QR_xarg(double *result, const char *z);
QR_SHEET void QR_CALL QR_xconj(char *result, const char *z);
QR_SHEET void QR_CALL QR_xadd(char *result, const char *a, const char *b);
QR_SHEET void QR_CALL QR_xsub(char *result, const char *a, const char *b);
QR_SHEET void QR_CALL QR_xmul(char *result, const char *a, const char *b);
QR_SHEET void QR_CALL QR_xdiv(char *result, const char *a, const char *b);
QR_SHEET void QR_CALL QR_xsqrt(char *result, const char *z);
QR_SHEET void QR_CALL QR_xpow(char *result, const char *a, const char *b);
QR_SHEET void QR_CALL QR_xexp(char *result, const char *z);
QR_SHEET void QR_CALL QR_xpow10(char *result, const char *z);
QR_SHEET void QR_CALL QR_xlogy(char *result, const char *a, const char *b);
QR_SHEET void QR_CALL QR_xlog(char *result, const char *z);
QR_SHEET void QR_CALL QR_xlog10(char *result, const char *z);
QR_SHEET void QR_CALL QR_xsin(char *result, const char *z);
QR_SHEET void QR_CALL QR_xcos(char *result, const char *z);
QR_SHEET void QR_CALL QR_xtan(char *result, const char *z);
QR_SHEET void QR_CALL QR_xsinh(char *result, const char *z);
QR_SHEET void QR_CALL QR_xcosh(char *result, const char *z);
QR_SHEET void QR_CALL QR_xtanh(char *result, const char *z);
QR_SHEET void QR_CALL QR_xasin(char *result, const char *z);
QR_SHEET void QR_CALL QR_xacos(char *result, const char *z);
QR_SHEET void QR_CALL QR_xatan(char *result, const char *z);
QR_SHEET void QR_CALL QR_xasinh(char *result, const char *z);
QR_SHEET void QR_CALL QR_xacosh(char *result, const char *z);
QR_SHEET void QR_CALL QR_xatanh(char *result, const char *z);
QR_SHEET void QR_CALL QR_xsum(char *result, const CellArray *range);

/* Formatting and conversion. */
QR_SHEET void QR_CALL QR_euro(char *result, const double *number, const double *decimals);
QR_SHEET void QR_CALL QR_ieee(char *result, const double *number);
QR_SHEET void QR_CALL QR_roman(double *result, const char *text);

/* Interpolation and polynomials. */
QR_SHEET void QR_CALL QR_ipfunc(double *result, const double *x, const DoubleArray *table);
QR_SHEET void QR_CALL QR_iproot(double *result, const double *value, const DoubleArray *table);
QR_SHEET void QR_CALL QR_ipextr(double *result, const DoubleArray *table);
QR_SHEET void QR_CALL QR_lagrange(double *result, const double *x, const DoubleArray *table);
QR_SHEET void QR_CALL QR_poly(double *result, const double *x, const DoubleArray *coefficients);

#ifdef __cplusplus
}
#endif

#endif
