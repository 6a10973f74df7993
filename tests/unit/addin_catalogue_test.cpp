// Language selection, text table and catalogue entry points.
#include "addin/hostbuf.h"
#include "addin/texts.h"
#include "quorel.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

void set_language(uint16_t code) { SetLanguage(&code); }

struct LanguageGuard {
    ~LanguageGuard() { set_language(1031); }
};

// The locale variables of the environment, put back as they were.
struct EnvironmentGuard {
    static constexpr const char *names[3] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::string saved[3];
    bool had[3];
    EnvironmentGuard()
    {
        for (int i = 0; i < 3; i++) {
            const char *v = getenv(names[i]);
            had[i] = v != nullptr;
            saved[i] = v ? v : "";
        }
    }
    ~EnvironmentGuard()
    {
        for (int i = 0; i < 3; i++)
            set(names[i], had[i] ? saved[i].c_str() : nullptr);
    }
    static void set(const char *name, const char *value)
    {
#if defined(_WIN32)
        _putenv_s(name, value ? value : "");
#else
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
#endif
    }
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
    EnvironmentGuard environment; // the table's own bytes: a single-byte environment
    EnvironmentGuard::set("LC_ALL", "C");
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
    EnvironmentGuard environment; // the table's own bytes: a single-byte environment
    EnvironmentGuard::set("LC_ALL", "C");
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

// Catalogue texts reach the host in the encoding of its LC_CTYPE codeset:
// UTF-8 under a UTF-8 locale, the table's ISO 8859-1 bytes otherwise (and
// under Windows' default code pages). Internal names and English texts are
// ASCII and the same either way; nothing comes near the 255-byte cut.
namespace {

std::string utf8_of(const std::string &latin1)
{
    std::string out;
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += (char)c;
        } else {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct CtypeGuard {
    ~CtypeGuard() { setlocale(LC_CTYPE, "C"); }
};



// Every text one language hands out, in catalogue order.
std::vector<std::string> catalogue_texts(uint16_t language)
{
    set_language(language);
    std::vector<std::string> texts;
    for (uint16_t index = 0; index < 40; index++) {
        FunctionData d = function_data(index);
        texts.push_back(d.internal_name);
        texts.push_back(d.display_name);
        for (uint16_t k = 0; k < d.count; k++) {
            auto p = parameter(index, k);
            texts.push_back(p.first);
            texts.push_back(p.second);
        }
    }
    return texts;
}

} // namespace

// Which character set the catalogue arrives in, for both kinds of host: one
// that leaves its C library at "C" and decodes by the locale the environment
// names, and one that sets its own locale (which then decides).
TEST(CatalogueEncoding, FollowsTheHostsCodeset)
{
    LanguageGuard language;
    CtypeGuard ctype;
    EnvironmentGuard environment;
    setlocale(LC_CTYPE, "C");
    for (const char *name : EnvironmentGuard::names)
        EnvironmentGuard::set(name, nullptr);
    ASSERT_FALSE(host_uses_utf8());
    const std::vector<std::string> latin1 = catalogue_texts(1031), english = catalogue_texts(1033);

    struct {
        const char *process, *lc_all, *lc_ctype, *lang;
        bool utf8;
    } const table[] = {
        {"C", nullptr, nullptr, nullptr, false},
#if !defined(_WIN32)
        {"C", "de_DE.UTF-8", nullptr, nullptr, true},
        {"C", "de_DE.ISO-8859-1", nullptr, nullptr, false},
        {"C", "C", nullptr, "de_DE.UTF-8", false},
        {"C", nullptr, "de_DE.UTF-8", "de_DE.ISO-8859-1", true},
        {"C", nullptr, nullptr, "de_DE.UTF-8", true},
        {"C", "", "", "C.UTF-8", true},
        {"POSIX", nullptr, nullptr, "de_DE.UTF-8", true},
        {"C", "xx_XX.UTF-8", nullptr, nullptr, false},   // no such locale: "C"
        {"C", "de_DE.UTF-8@nonsense", nullptr, nullptr, false},
        {"de_DE.ISO-8859-1", "de_DE.UTF-8", nullptr, nullptr, false}, // the process's own locale decides
        {"de_DE.UTF-8", "C", nullptr, nullptr, true},
        {"C.UTF-8", nullptr, nullptr, nullptr, true},
#endif
    };
    for (const auto &row : table) {
        EnvironmentGuard::set("LC_ALL", row.lc_all);
        EnvironmentGuard::set("LC_CTYPE", row.lc_ctype);
        EnvironmentGuard::set("LANG", row.lang);
        const char *set = setlocale(LC_CTYPE, row.process);
        ASSERT_NE(set, nullptr) << row.process << " is not installed (scripts/setup.sh)";
        const std::string process = set;
        const std::string where = std::string(row.process) + ", LC_ALL=" + (row.lc_all ? row.lc_all : "(unset)") +
                                  ", LC_CTYPE=" + (row.lc_ctype ? row.lc_ctype : "(unset)") +
                                  ", LANG=" + (row.lang ? row.lang : "(unset)");
        EXPECT_EQ(host_uses_utf8() != 0, row.utf8) << where;
        std::vector<std::string> german = catalogue_texts(1031);
        ASSERT_EQ(german.size(), latin1.size());
        for (size_t i = 0; i < german.size(); i++) {
            EXPECT_EQ(german[i], row.utf8 ? utf8_of(latin1[i]) : latin1[i]) << where << " text " << i;
            EXPECT_LT(german[i].size(), 128u) << "text " << i << " comes near the 255-byte cut";
        }
        EXPECT_EQ(catalogue_texts(1033), english) << where;
        // Asking leaves the process's locale as it was.
        EXPECT_EQ(setlocale(LC_CTYPE, nullptr), process);
    }
#if defined(_WIN32)
    // The default code page path: wine and most Windows systems run 1252.
    EXPECT_FALSE(host_uses_utf8());
#endif
}

TEST(CatalogueEncoding, RomanNumeralNameInUtf8)
{
    LanguageGuard language;
    CtypeGuard ctype;
    EnvironmentGuard environment;
    set_language(1031);
    setlocale(LC_CTYPE, "C");
#if !defined(_WIN32)
    // A host that stays at "C" in a UTF-8 environment, as desktop hosts do.
    EnvironmentGuard::set("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(function_data(34).display_name, "R\xC3\xB6MISCHINZAHL");
    EXPECT_EQ(parameter(34, 1).first, "R\xC3\xB6mische Ziffer");
#endif
    EnvironmentGuard::set("LC_ALL", "C");
    EXPECT_EQ(function_data(34).display_name, "R\xF6MISCHINZAHL");
}

TEST(CatalogueEncoding, UnicodeCopyNeverSplitsASequence)
{
    // 127 ASCII letters, then umlauts: 255 bytes hold the letters and 64 of them.
    std::string text(127, 'a');
    text += std::string(100, '\xE4');
    char buffer[256];
    memset(buffer, 'x', sizeof buffer);
    copy_catalogue_text(buffer, text.c_str(), 1);
    EXPECT_EQ(strlen(buffer), 127u + 2 * 64);
    EXPECT_EQ(buffer[255], 0);
    EXPECT_EQ((unsigned char)buffer[127 + 2 * 64 - 2], 0xC3);
}
