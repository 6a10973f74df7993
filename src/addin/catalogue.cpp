// The function catalogue and the entry points through which the host reads it.
#include "hostbuf.h"
#include "texts.h"

#include "quorel.h"

#include <locale.h>

struct CatalogueRow {
    const char *internal_name;
    unsigned display_text; // its description is the next text id
    unsigned count;        // result and parameters
    int32_t types[3];
    unsigned param_texts[2][2]; // name and description id of parameters 1 and 2
};

// One row per function, in catalogue order. Text ids index the table in
// texts.cpp; types are the result's, then the parameters'.
static const CatalogueRow catalogue[QR_FUNCTION_COUNT] = {
    {"QR_bessel", 20, 3, {QR_ARG_NUMBER, QR_ARG_NUMBER, QR_ARG_NUMBER}, {{0, 1}, {8, 9}}},
    {"QR_gamma", 18, 2, {QR_ARG_NUMBER, QR_ARG_NUMBER}, {{0, 1}}},
    {"QR_weber", 22, 3, {QR_ARG_NUMBER, QR_ARG_NUMBER, QR_ARG_NUMBER}, {{0, 1}, {8, 9}}},
    {"QR_xreal", 24, 2, {QR_ARG_NUMBER, QR_ARG_STRING}, {{2, 3}}},
    {"QR_ximag", 26, 2, {QR_ARG_NUMBER, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xabs", 28, 2, {QR_ARG_NUMBER, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xarg", 30, 2, {QR_ARG_NUMBER, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xconj", 32, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xadd", 34, 3, {QR_ARG_STRING, QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}, {2, 3}}},
    {"QR_xsub", 36, 3, {QR_ARG_STRING, QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}, {2, 3}}},
    {"QR_xmul", 38, 3, {QR_ARG_STRING, QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}, {2, 3}}},
    {"QR_xdiv", 40, 3, {QR_ARG_STRING, QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}, {2, 3}}},
    {"QR_xsqrt", 42, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xpow", 44, 3, {QR_ARG_STRING, QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}, {2, 3}}},
    {"QR_xexp", 46, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xpow10", 48, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xlogy", 50, 3, {QR_ARG_STRING, QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}, {2, 3}}},
    {"QR_xlog", 52, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xlog10", 54, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xsin", 56, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xcos", 58, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xtan", 60, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xsinh", 62, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xcosh", 64, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xtanh", 66, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xasin", 68, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xacos", 70, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xatan", 72, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xasinh", 74, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xacosh", 76, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xatanh", 78, 2, {QR_ARG_STRING, QR_ARG_STRING}, {{2, 3}}},
    {"QR_xsum", 80, 2, {QR_ARG_STRING, QR_ARG_CELL_ARRAY}, {{12, 15}}},
    {"QR_euro", 82, 3, {QR_ARG_STRING, QR_ARG_NUMBER, QR_ARG_NUMBER}, {{0, 1}, {4, 5}}},
    {"QR_ieee", 84, 2, {QR_ARG_STRING, QR_ARG_NUMBER}, {{0, 1}}},
    {"QR_roman", 86, 2, {QR_ARG_NUMBER, QR_ARG_STRING}, {{16, 17}}},
    {"QR_ipfunc", 88, 3, {QR_ARG_NUMBER, QR_ARG_NUMBER, QR_ARG_DOUBLE_ARRAY}, {{0, 1}, {12, 13}}},
    {"QR_iproot", 90, 3, {QR_ARG_NUMBER, QR_ARG_NUMBER, QR_ARG_DOUBLE_ARRAY}, {{0, 1}, {12, 13}}},
    {"QR_ipextr", 92, 2, {QR_ARG_NUMBER, QR_ARG_DOUBLE_ARRAY}, {{12, 13}}},
    {"QR_lagrange", 94, 3, {QR_ARG_NUMBER, QR_ARG_NUMBER, QR_ARG_DOUBLE_ARRAY}, {{0, 1}, {12, 13}}},
    {"QR_poly", 96, 3, {QR_ARG_NUMBER, QR_ARG_NUMBER, QR_ARG_DOUBLE_ARRAY}, {{0, 1}, {6, 7}}},
};

extern "C" {

QR_SHEET void QR_CALL GetFunctionCount(uint16_t *functionCount)
{
    setlocale(LC_NUMERIC, "");
    *functionCount = QR_FUNCTION_COUNT;
}

QR_SHEET void QR_CALL GetFunctionData(const uint16_t *index, char *internalName, uint16_t *paramCount,
                                      int32_t *paramTypes, char *displayName)
{
    if (*index >= QR_FUNCTION_COUNT) {
        internalName[0] = '\0';
        displayName[0] = '\0';
        *paramCount = 0;
        return;
    }
    const CatalogueRow &row = catalogue[*index];
    copy_to_host(internalName, row.internal_name);
    copy_catalogue_text(displayName, LookupText(row.display_text), host_uses_utf8());
    for (unsigned i = 0; i < row.count; i++)
        paramTypes[i] = row.types[i];
    *paramCount = (uint16_t)row.count;
}

QR_SHEET void QR_CALL GetParameterDescription(const uint16_t *index, const uint16_t *param, char *paramName,
                                              char *paramDescription)
{
    paramName[0] = '\0';
    paramDescription[0] = '\0';
    if (*index >= QR_FUNCTION_COUNT)
        return;
    const CatalogueRow &row = catalogue[*index];
    unsigned k = *param;
    if (k == 0) {
        copy_catalogue_text(paramDescription, LookupText(row.display_text + 1), host_uses_utf8());
    } else if (k < row.count) {
        int utf8 = host_uses_utf8();
        copy_catalogue_text(paramName, LookupText(row.param_texts[k - 1][0]), utf8);
        copy_catalogue_text(paramDescription, LookupText(row.param_texts[k - 1][1]), utf8);
    }
}

}
