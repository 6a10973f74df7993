// Language selection, text table and catalogue entry points.
#include "addin/texts.h"
#include "quorel.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

void set_language(uint16_t code) { SetLanguage(&code); }

struct LanguageGuard {
    ~LanguageGuard() { set_language(1031); }
};

struct FunctionData {
    std::string internal_name, display_name;
    uint16_t count;
    int32_t types[3];
    char raw_internal[256], raw_display[256];
};

FunctionData function_data(uint16_t index)
{
    FunctionData d;
    memset(d.raw_internal, 'x', sizeof d.raw_internal);
    memset(d.raw_display, 'x', sizeof d.raw_display);
    d.count = 77;
    d.types[0] = d.types[1] = d.types[2] = -5;
    GetFunctionData(&index, d.raw_internal, &d.count, d.types, d.raw_display);
    d.internal_name = d.raw_internal;
    d.display_name = d.raw_display;
    return d;
}

std::pair<std::string, std::string> parameter(uint16_t index, uint16_t param)
{
    char name[256], description[256];
    memset(name, 'x', sizeof name);
    memset(description, 'x', sizeof description);
    GetParameterDescription(&index, &param, name, description);
    return {name, description};
}

} // namespace

TEST(SetLanguage, StoresThePrimaryLanguageMapping)
{
    LanguageGuard guard;
    struct {
        uint16_t code, stored;
    } const table[] = {
        {1031, 1031}, {2055, 1031}, {3079, 1031}, {4103, 1031}, {5127, 1031}, {7, 1031}, {1033, 9}, {9, 9},
        {2057, 9},    {22, 2070},   {2070, 2070}, {1044, 20},   {2052, 4},    {12, 1036}, {1036, 1036}, {0, 1024},
    };
    for (const auto &row : table) {
        set_language(row.code);
        EXPECT_EQ(stored_language(), row.stored) << "code " << row.code;
    }
}

TEST(SetLanguage, IgnoresUserDefinedPrimaryLanguages)
{
    LanguageGuard guard;
    for (uint16_t code : {519, 1023, 65535, 512}) {
        set_language(1033);
        set_language(code);
        EXPECT_EQ(stored_language(), 9) << "code " << code;
        EXPECT_STREQ(LookupText(0), "Number");
    }
}

TEST(LookupText, GermanOnlyForStoredGerman)
{
    LanguageGuard guard;
    struct {
        uint16_t code;
        const char *text0, *text42;
    } const table[] = {
        {1031, "Zahl", "XWURZEL"},  {7, "Zahl", "XWURZEL"},     {3079, "Zahl", "XWURZEL"}, {1033, "Number", "XSQRT"},
        {1036, "Number", "XSQRT"}, {2070, "Number", "XSQRT"}, {0, "Number", "XSQRT"},
    };
    for (const auto &row : table) {
        set_language(row.code);
        EXPECT_STREQ(LookupText(0), row.text0) << row.code;
        EXPECT_STREQ(LookupText(42), row.text42) << row.code;
    }
}

TEST(LookupText, EmptyAndOutOfRangeIds)
{
    LanguageGuard guard;
    for (uint16_t code : {1031, 1033}) {
        set_language(code);
        for (unsigned id : {14u, 98u, 99u, 1000u, 65535u, 4294967295u}) {
            ASSERT_NE(LookupText(id), nullptr);
            EXPECT_STREQ(LookupText(id), "") << id;
        }
    }
}

TEST(LookupText, Latin1BytesAndExactSpacing)
{
    LanguageGuard guard;
    set_language(1031);
    const unsigned char roman[] = {0x52, 0xF6, 0x4D, 0x49, 0x53, 0x43, 0x48, 0x49, 0x4E, 0x5A, 0x41, 0x48, 0x4C, 0};
    EXPECT_STREQ(LookupText(86), (const char *)roman);
    EXPECT_STREQ(LookupText(11), "Wert der Wurzel (0 f\xFC" "r eine Nullstelle)");
    EXPECT_STREQ(LookupText(85), "Wandelt die Zahl in das IEEE-Flie\xDF" "kommaformat um");
    EXPECT_STREQ(LookupText(83), "Formatiert die Zahl als Euro-W\xE4" "hrung");
    EXPECT_NE(strstr(LookupText(23), "Gattung  n-ter"), nullptr);
    set_language(1033);
    EXPECT_STREQ(LookupText(91), "Inverse Interpolation of the tabular values to a function value (zero) ");
    EXPECT_STREQ(LookupText(28), "ABSOLUTE");
}

TEST(LookupText, SharedTextsAreIdenticalInBothLanguages)
{
    LanguageGuard guard;
    const unsigned shared[] = {18, 20, 22, 24, 26, 30, 34, 36, 38, 40, 46, 48, 50, 52, 54, 56, 58,
                               60, 62, 64, 66, 68, 70, 72, 74, 76, 78, 82, 84, 92, 94};
    unsigned same = 0;
    for (unsigned id = 0; id < 98; id++) {
        set_language(1031);
        std::string german = LookupText(id);
        set_language(1033);
        std::string english = LookupText(id);
        bool listed = std::find(std::begin(shared), std::end(shared), id) != std::end(shared);
        if (id == 14)
            continue;
        EXPECT_EQ(german == english, listed) << "id " << id;
        same += german == english;
    }
    EXPECT_EQ(same, 31u);
}

TEST(GetFunctionCount, StoresForty)
{
    uint16_t count = 0;
    GetFunctionCount(&count);
    EXPECT_EQ(count, 40);
    setlocale(LC_NUMERIC, "C");
}

TEST(GetFunctionData, Rows)
{
    LanguageGuard guard;
    struct {
        uint16_t index;
        const char *internal_name, *english, *german;
        uint16_t count;
        int32_t types[3];
    } const table[] = {
        {0, "QR_bessel", "BESSEL", "BESSEL", 3, {0, 0, 0}},
        {1, "QR_gamma", "GAMMA", "GAMMA", 2, {0, 0, -5}},
        {5, "QR_xabs", "ABSOLUTE", "ABSOLUT", 2, {0, 1, -5}},
        {16, "QR_xlogy", "XLOG", "XLOG", 3, {1, 1, 1}},
        {17, "QR_xlog", "XLN", "XLN", 2, {1, 1, -5}},
        {31, "QR_xsum", "XSUM", "XSUMME", 2, {1, 4, -5}},
        {34, "QR_roman", "ROMANTONUM", "R\xF6" "MISCHINZAHL", 2, {0, 1, -5}},
        {37, "QR_ipextr", "IPOLEXTREMUM", "IPOLEXTREMUM", 2, {0, 2, -5}},
        {39, "QR_poly", "POLYNOMIAL", "POLYNOM", 3, {0, 0, 2}},
    };
    for (const auto &row : table) {
        set_language(1033);
        FunctionData en = function_data(row.index);
        set_language(1031);
        FunctionData de = function_data(row.index);
        EXPECT_EQ(en.internal_name, row.internal_name);
        EXPECT_EQ(de.internal_name, row.internal_name);
        EXPECT_EQ(en.display_name, row.english);
        EXPECT_EQ(de.display_name, row.german);
        EXPECT_EQ(de.count, row.count);
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(de.types[i], row.types[i]) << row.internal_name << " type " << i;
    }
}

TEST(GetFunctionData, ZeroFillsBothBuffersToTheEnd)
{
    for (uint16_t index = 0; index < 40; index++) {
        FunctionData d = function_data(index);
        for (size_t i = d.internal_name.size(); i < 256; i++)
            ASSERT_EQ(d.raw_internal[i], 0) << "index " << index << " byte " << i;
        for (size_t i = d.display_name.size(); i < 256; i++)
            ASSERT_EQ(d.raw_display[i], 0) << "index " << index << " byte " << i;
        EXPECT_EQ(d.internal_name.compare(0, 3, "QR_"), 0);
        EXPECT_GE(d.count, 2);
        EXPECT_LE(d.count, 3);
    }
}

TEST(GetFunctionData, IndexOutOfRangeLeavesTypesAlone)
{
    for (uint16_t index : {40, 41, 1000, 65535}) {
        FunctionData d = function_data(index);
        EXPECT_EQ(d.internal_name, "");
        EXPECT_EQ(d.display_name, "");
        EXPECT_EQ(d.count, 0);
        EXPECT_EQ(d.types[0], -5);
        EXPECT_EQ(d.types[1], -5);
        EXPECT_EQ(d.types[2], -5);
    }
}

TEST(GetParameterDescription, Table)
{
    LanguageGuard guard;
    struct {
        uint16_t index, param;
        const char *english_name, *english_description, *german_name, *german_description;
    } const table[] = {
        {1, 0, "", "Calculetes the gamma function", "", "Berechnet die Gamma-Funktion"},
        {1, 1, "Number", "A number", "Zahl", "Eine Zahl"},
        {1, 2, "", "", "", ""},
        {0, 2, "Order", "Order of the function", "Ordnung", "Ordnung der Funktion"},
        {0, 3, "", "", "", ""},
        {0, 65535, "", "", "", ""},
        {36, 1, "Number", "A number", "Zahl", "Eine Zahl"},
        {39, 2, "Coefficients", "cell array of coefficients", "Koeffizienten", "Zellbereich mit Koeffizienten"},
        {31, 1, "Cell array", "Cell array with table of complex numbers", "Zellbereich",
         "Zellbereich mit komplexer Zahlentabelle"},
        {34, 1, "Roman number", "String with the roman number", "R\xF6" "mische Ziffer",
         "Zeichenkette mit der r\xF6" "mischen Zahl"},
        {32, 2, "Decimals", "Number of displayed decimals", "Nachkommastellen", "Zahl der angezeigten Nachkommastellen"},
        {40, 0, "", "", "", ""},
        {65535, 1, "", "", "", ""},
    };
    for (const auto &row : table) {
        set_language(1033);
        auto en = parameter(row.index, row.param);
        set_language(1031);
        auto de = parameter(row.index, row.param);
        EXPECT_EQ(en.first, row.english_name) << row.index << "/" << row.param;
        EXPECT_EQ(en.second, row.english_description) << row.index << "/" << row.param;
        EXPECT_EQ(de.first, row.german_name) << row.index << "/" << row.param;
        EXPECT_EQ(de.second, row.german_description) << row.index << "/" << row.param;
    }
}

TEST(GetParameterDescription, EveryRowDescribesEachParameter)
{
    LanguageGuard guard;
    set_language(1033);
    for (uint16_t index = 0; index < 40; index++) {
        FunctionData d = function_data(index);
        auto description = parameter(index, 0);
        EXPECT_EQ(description.first, "");
        EXPECT_STRNE(description.second.c_str(), "") << index;
        for (uint16_t k = 1; k < d.count; k++) {
            auto p = parameter(index, k);
            EXPECT_STRNE(p.first.c_str(), "") << index << "/" << k;
            EXPECT_STRNE(p.second.c_str(), "") << index << "/" << k;
        }
        auto beyond = parameter(index, d.count);
        EXPECT_EQ(beyond.first, "");
        EXPECT_EQ(beyond.second, "");
    }
}

// Run by ctest with LC_ALL=de_DE.UTF-8 and QUOREL_EXPECT_GERMAN=1: the numeric
// locale switches to the environment's with GetFunctionCount, not before.
TEST(GermanLocaleCatalogue, GetFunctionCountTakesTheEnvironmentsDecimalComma)
{
    char text[32];
    setlocale(LC_NUMERIC, "C");
    snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1.50");
    uint16_t count = 0;
    GetFunctionCount(&count);
    snprintf(text, sizeof text, "%.2f", 1.5);
    if (getenv("QUOREL_EXPECT_GERMAN")) {
        EXPECT_STREQ(text, "1,50");
    }
    setlocale(LC_NUMERIC, "C");
}
