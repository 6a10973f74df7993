// Every text the host sees, English and German, in ISO 8859-1. A host that
// decodes UTF-8 gets the German ones converted on the way out
// (copy_catalogue_text); the table itself stays single-byte.
// The texts are kept byte for byte as hosts and their users know them, slips
// included ("Calculetes", "mutiplication", "Formates", the double blank in
// text 23, the trailing blank of text 91): do not correct them.
// Non-ASCII bytes are escapes: 0xE4 a-umlaut, 0xF6 o-umlaut, 0xFC u-umlaut,
// 0xDF sharp s. Each escape closes its literal so no following letter is
// taken for a hex digit.
#include "texts.h"

#include "quorel.h"

struct TextPair {
    const char *english;
    const char *german;
};

static const TextPair text_table[TEXT_COUNT] = {
    /* 0 */ {"Number", "Zahl"},
    /* 1 */ {"A number", "Eine Zahl"},
    /* 2 */ {"complex number", "komplexe Zahl"},
    /* 3 */ {"A complex number: a+bi", "Eine komplexe Zahl: a+bi"},
    /* 4 */ {"Decimals", "Nachkommastellen"},
    /* 5 */ {"Number of displayed decimals", "Zahl der angezeigten Nachkommastellen"},
    /* 6 */ {"Coefficients", "Koeffizienten"},
    /* 7 */ {"cell array of coefficients", "Zellbereich mit Koeffizienten"},
    /* 8 */ {"Order", "Ordnung"},
    /* 9 */ {"Order of the function", "Ordnung der Funktion"},
    /* 10 */ {"Root", "Wurzel"},
    /* 11 */ {"Value of the root (0 for a zero)", "Wert der Wurzel (0 f\xFC" "r eine Nullstelle)"},
    /* 12 */ {"Cell array", "Zellbereich"},
    /* 13 */ {"Cell array with table of numbers", "Zellbereich mit Zahlentabelle"},
    /* 14 */ {"", ""},
    /* 15 */ {"Cell array with table of complex numbers", "Zellbereich mit komplexer Zahlentabelle"},
    /* 16 */ {"Roman number", "R\xF6" "mische Ziffer"},
    /* 17 */ {"String with the roman number", "Zeichenkette mit der r\xF6" "mischen Zahl"},
    /* 18 */ {"GAMMA", "GAMMA"},
    /* 19 */ {"Calculetes the gamma function", "Berechnet die Gamma-Funktion"},
    /* 20 */ {"BESSEL", "BESSEL"},
    /* 21 */ {"Calculetes the Bessel function of the 1st kind of order n",
              "Berechnet die Besselsche Funktion 1. Gattung n-ter Ordnung"},
    /* 22 */ {"WEBER", "WEBER"},
    /* 23 */ {"Calculetes the Weber function (Bessel function of the 2nd kind of order n)",
              "Berechnet die Webersche Funktion (Besselsche Funktion 2. Gattung  n-ter Ordnung)"},
    /* 24 */ {"REAL", "REAL"},
    /* 25 */ {"Determines the real part of the complex number", "Bestimmt den Realteil der komplexen Zahl"},
    /* 26 */ {"IMAG", "IMAG"},
    /* 27 */ {"Determines the imaginary part of the complex number",
              "Bestimmt den Imagin\xE4" "rteil der komplexen Zahl"},
    /* 28 */ {"ABSOLUTE", "ABSOLUT"},
    /* 29 */ {"Determines the absolute value of the complex number", "Bestimmt den Absolutbetrag der komplexen Zahl"},
    /* 30 */ {"ARGUMENT", "ARGUMENT"},
    /* 31 */ {"Determines the argument of the complex number", "Bestimmt das Argument der komplexen Zahl"},
    /* 32 */ {"CONJUGATE", "KONJUGIERT"},
    /* 33 */ {"Performs complex conjugation of the complex number", "Bestimmt die konjugiert komplexe Zahl"},
    /* 34 */ {"XADD", "XADD"},
    /* 35 */ {"Performs a complex addition", "Addiert die komplexen Zahlen"},
    /* 36 */ {"XSUB", "XSUB"},
    /* 37 */ {"Performs a complex subtraction", "Subtrahiert die komplexen Zahlen"},
    /* 38 */ {"XMUL", "XMUL"},
    /* 39 */ {"Performs a complex mutiplication", "Multipliziert die komplexen Zahlen"},
    /* 40 */ {"XDIV", "XDIV"},
    /* 41 */ {"Performs a complex division", "Dividiert die komplexen Zahlen"},
    /* 42 */ {"XSQRT", "XWURZEL"},
    /* 43 */ {"Calculates the complex square root", "Berechnet die Quadratwurzel der komplexen Zahl"},
    /* 44 */ {"XPOWER", "XPOTENZ"},
    /* 45 */ {"Calculates the complex power", "Berechnet die Potenz der komplexen Zahlen"},
    /* 46 */ {"XEXP", "XEXP"},
    /* 47 */ {"Calculates the complex exponentiation function", "Berechnet die Exponentialfunktion der komplexen Zahl"},
    /* 48 */ {"XPOW10", "XPOW10"},
    /* 49 */ {"Calculates the complex power of 10", "Berechnet die 10er Potenz der komplexen Zahl"},
    /* 50 */ {"XLOG", "XLOG"},
    /* 51 */ {"Calculates the complex logarithm", "Berechnet den Logarithmus der komplexen Zahlen"},
    /* 52 */ {"XLN", "XLN"},
    /* 53 */ {"Calculates the complex natural logarithm", "Berechnet den nat\xFC" "rlichen Logarithmus der komplexen Zahl"},
    /* 54 */ {"XLOG10", "XLOG10"},
    /* 55 */ {"Calculates the complex base-10 logarithm", "Berechnet den dekadischen Logarithmus der komplexen Zahl"},
    /* 56 */ {"XSIN", "XSIN"},
    /* 57 */ {"Calculates the complex sine", "Berechnet den Sinus der komplexen Zahl"},
    /* 58 */ {"XCOS", "XCOS"},
    /* 59 */ {"Calculates the complex cosine", "Berechnet den Kosinus der komplexen Zahl"},
    /* 60 */ {"XTAN", "XTAN"},
    /* 61 */ {"Calculates the complex tangent", "Berechnet den Tangens der komplexen Zahl"},
    /* 62 */ {"XSINHYP", "XSINHYP"},
    /* 63 */ {"Calculates the complex hyperbolic sine", "Berechnet den Sinus Hyperbolicus der komplexen Zahl"},
    /* 64 */ {"XCOSHYP", "XCOSHYP"},
    /* 65 */ {"Calculates the complex hyperbolic cosine", "Berechnet den Kosinus Hyperbolicus der komplexen Zahl"},
    /* 66 */ {"XTANHYP", "XTANHYP"},
    /* 67 */ {"Calculates the complex hyperbolic tangent", "Berechnet den Tangens Hyperbolicus der komplexen Zahl"},
    /* 68 */ {"XARCSIN", "XARCSIN"},
    /* 69 */ {"Calculates the complex arc sine", "Berechnet den Arkussinus der komplexen Zahl"},
    /* 70 */ {"XARCCOS", "XARCCOS"},
    /* 71 */ {"Calculates the complex arc cosine", "Berechnet den Arkuskosinus der komplexen Zahl"},
    /* 72 */ {"XARCTAN", "XARCTAN"},
    /* 73 */ {"Calculates the complex arc tangent", "Berechnet den Arkustangens der komplexen Zahl"},
    /* 74 */ {"XARCSINHYP", "XARCSINHYP"},
    /* 75 */ {"Calculates the complex inverse hyperbolic sine",
              "Berechnet den inversen Sinus Hyperbolicus der komplexen Zahl"},
    /* 76 */ {"XARCCOSHYP", "XARCCOSHYP"},
    /* 77 */ {"Calculates the complex inverse hyperbolic cosine",
              "Berechnet den inversen Kosinus Hyperbolicus der komplexen Zahl"},
    /* 78 */ {"XARCTANHYP", "XARCTANHYP"},
    /* 79 */ {"Calculates the complex inverse hyperbolic tangent",
              "Berechnet den inversen Tangens Hyperbolicus der komplexen Zahl"},
    /* 80 */ {"XSUM", "XSUMME"},
    /* 81 */ {"Calculates the sum of the complex numbers", "Berechnet die Summe der komplexen Zahlen"},
    /* 82 */ {"EURO", "EURO"},
    /* 83 */ {"Formates the number as Euro currency", "Formatiert die Zahl als Euro-W\xE4" "hrung"},
    /* 84 */ {"IEEE", "IEEE"},
    /* 85 */ {"Converts the number to IEEE floating point format", "Wandelt die Zahl in das IEEE-Flie\xDF" "kommaformat um"},
    /* 86 */ {"ROMANTONUM", "R\xF6" "MISCHINZAHL"},
    /* 87 */ {"Converts the roman number to decimal number", "Wandelt die r\xF6" "mische Ziffer in eine Dezimalzahl um"},
    /* 88 */ {"IPOLVALUE", "IPOLWERT"},
    /* 89 */ {"Interpolation of the tabular values to the number", "Interpolation der Tabellenwerten zur Zahl"},
    /* 90 */ {"IPOLINVERSE", "IPOLINVERS"},
    /* 91 */ {"Inverse Interpolation of the tabular values to a function value (zero) ",
              "Inverse Interpolation der Tabellenwerten zum Funktionswert (Nullstelle)"},
    /* 92 */ {"IPOLEXTREMUM", "IPOLEXTREMUM"},
    /* 93 */ {"Interpolation of the tabular values to the extremum", "Interpolation der Tabellenwerten zum Extremwert"},
    /* 94 */ {"LAGRANGE", "LAGRANGE"},
    /* 95 */ {"Lagrange interpolation of the tabular values to the function result of the number",
              "Lagrange-Interpolation der Tabellenwerte zum Funktionswert der Zahl"},
    /* 96 */ {"POLYNOMIAL", "POLYNOM"},
    /* 97 */ {"Evaluates the polynomial of the number from the coefficients",
              "Entwickelt das Polynom der Zahl aus den Koeffizienten"},
};

// Windows-style language identifier: primary language in bits 0-9.
static uint16_t language = QR_LANGUAGE_GERMAN;

extern "C" QR_SHEET void QR_CALL SetLanguage(const uint16_t *code)
{
    unsigned primary = *code & 0x3FFu;
    if (primary & 0x200u) // user-defined primary languages are ignored
        return;
    switch (primary) {
    case 4:
    case 9:
    case 20:
        language = (uint16_t)primary;
        break;
    case 22:
        language = 2070;
        break;
    default:
        language = (uint16_t)(primary | 0x400u);
        break;
    }
}

uint16_t stored_language(void) { return language; }

const char *LookupText(unsigned id)
{
    if (id >= TEXT_COUNT)
        return "";
    uint16_t current = language; // read once per text
    return current == QR_LANGUAGE_GERMAN ? text_table[id].german : text_table[id].english;
}
