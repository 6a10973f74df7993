// A stand-in add-in with the four entry points and a few sheet functions of
// known behaviour, including broken ones, so the host tool's calling, result
// checks and case comparison are tested independently of the real library.
#include <locale.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifndef _WIN32
#include <langinfo.h>
#endif

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#define FAKE_CALL __cdecl
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#define FAKE_CALL
#endif

struct Row {
    const char *internal_name, *english, *german;
    uint16_t count;
    int32_t types[3];
};

// QR_absent is catalogued but not exported.
static const Row rows[] = {
    {"QR_same", "SAME", "GLEICH", 2, {0, 0}},
    {"QR_diff", "DIFF", "DIFFERENZ", 3, {0, 0, 0}},
    {"QR_echo", "ECHO", "ZUR\xFC" "CK", 2, {1, 1}},
    {"QR_total", "TOTAL", "SUMME", 2, {0, 2}},
    {"QR_cells", "CELLS", "ZELLEN", 2, {0, 4}},
    {"QR_nonul", "NONUL", "NONUL", 2, {1, 0}},
    {"QR_silent", "SILENT", "STUMM", 2, {0, 0}},
    {"QR_overrun", "OVERRUN", "OVERRUN", 2, {1, 0}},
    {"QR_absent", "ABSENT", "FEHLT", 2, {0, 0}},
    {"QR_layout", "LAYOUT", "AUFBAU", 2, {1, 4}},
};
enum { ROWS = sizeof rows / sizeof rows[0] };

static uint16_t language = 1031;

static void copy256(char *to, const char *from)
{
    strncpy(to, from, 256);
    to[255] = '\0';
}

// Catalogue texts. With QUOREL_FAKE_TEXTS=process they go out as an earlier
// release of the library sent them: UTF-8 when the process's own LC_CTYPE
// codeset is UTF-8, ISO 8859-1 otherwise. A host that leaves its locale at
// "C" in a UTF-8 environment cannot read them, and the tool must show that.
static void copy_text(char *to, const char *latin1)
{
#ifndef _WIN32
    const char *mode = getenv("QUOREL_FAKE_TEXTS");
    if (mode && strcmp(mode, "process") == 0 && strcmp(nl_langinfo(CODESET), "UTF-8") == 0) {
        char utf8[256];
        size_t n = 0;
        for (const unsigned char *p = (const unsigned char *)latin1; *p && n < 253; p++) {
            if (*p < 0x80) {
                utf8[n++] = (char)*p;
            } else {
                utf8[n++] = (char)(0xC0 | *p >> 6);
                utf8[n++] = (char)(0x80 | (*p & 0x3F));
            }
        }
        utf8[n] = '\0';
        copy256(to, utf8);
        return;
    }
#endif
    copy256(to, latin1);
}

static double read_double(const unsigned char *p)
{
    double x;
    memcpy(&x, p, sizeof x);
    return x;
}

static unsigned read16(const unsigned char *p) { return (unsigned)p[0] | (unsigned)p[1] << 8; }

FAKE_EXPORT void FAKE_CALL GetFunctionCount(uint16_t *count)
{
    setlocale(LC_NUMERIC, "");
    *count = ROWS;
}

FAKE_EXPORT void FAKE_CALL GetFunctionData(const uint16_t *index, char *internal_name, uint16_t *count,
                                           int32_t *types, char *display)
{
    if (*index >= ROWS) {
        internal_name[0] = display[0] = '\0';
        *count = 0;
        return;
    }
    const Row &r = rows[*index];
    copy256(internal_name, r.internal_name);
    copy_text(display, language == 1031 ? r.german : r.english);
    for (unsigned i = 0; i < r.count; i++)
        types[i] = r.types[i];
    *count = r.count;
}

FAKE_EXPORT void FAKE_CALL GetParameterDescription(const uint16_t *index, const uint16_t *param, char *name,
                                                   char *description)
{
    name[0] = description[0] = '\0';
    if (*index >= ROWS || *param >= rows[*index].count)
        return;
    if (*param == 0) {
        copy_text(description, language == 1031 ? "Testfunktion" : "Test function");
    } else {
        copy_text(name, language == 1031 ? "Gr\xF6\xDF" "e" : "Value");
        copy256(description, "x");
    }
}

FAKE_EXPORT void FAKE_CALL SetLanguage(const uint16_t *code) { language = (*code & 0x3FF) == 7 ? 1031 : 9; }

FAKE_EXPORT void FAKE_CALL QR_same(double *r, const double *x) { *r = *x; }
FAKE_EXPORT void FAKE_CALL QR_diff(double *r, const double *x, const double *y) { *r = *x - *y; }
FAKE_EXPORT void FAKE_CALL QR_echo(char *r, const char *s) { copy256(r, s); }

// Sum of a DoubleArray; NaN at the first error entry.
FAKE_EXPORT void FAKE_CALL QR_total(double *r, const unsigned char *block)
{
    double sum = 0;
    for (unsigned i = 0, n = read16(block + 12); i < n; i++) {
        const unsigned char *e = block + 14 + 16 * i;
        if (read16(e + 6)) {
            memset(r, 0xFF, sizeof *r);
            return;
        }
        sum += read_double(e + 8);
    }
    *r = sum;
}

// Sum of the number cells of a CellArray whose texts all have exact len.
FAKE_EXPORT void FAKE_CALL QR_cells(double *r, const unsigned char *block)
{
    double sum = 0;
    const unsigned char *e = block + 14;
    for (unsigned i = 0, n = read16(block + 12); i < n; i++) {
        if (read16(e + 8) == 0) {
            sum += read_double(e + 10);
            e += 18;
        } else {
            e += 12 + read16(e + 10);
        }
    }
    *r = sum;
}

FAKE_EXPORT void FAKE_CALL QR_nonul(char *r, const double *) { memset(r, 'x', 256); }
FAKE_EXPORT void FAKE_CALL QR_silent(double *, const double *) {}
FAKE_EXPORT void FAKE_CALL QR_overrun(char *r, const double *) { memset(r, 0, 260); }

// A CellArray block as text, to check how a host builds it: the corners
// "col1,row1:col2,row2", the count, then per entry "col,row" and its kind
// (n number, t text, eN error word N). Texts are taken as 12 + len bytes.
FAKE_EXPORT void FAKE_CALL QR_layout(char *r, const unsigned char *block)
{
    char text[256];
    int used = snprintf(text, sizeof text, "%u,%u:%u,%u %u", read16(block), read16(block + 2), read16(block + 6),
                        read16(block + 8), read16(block + 12));
    const unsigned char *e = block + 14;
    for (unsigned i = 0, n = read16(block + 12); i < n && used > 0 && used < (int)sizeof text; i++) {
        unsigned error = read16(e + 6), kind = read16(e + 8);
        int more = error ? snprintf(text + used, sizeof text - used, " %u,%ue%u", read16(e), read16(e + 2), error)
                         : snprintf(text + used, sizeof text - used, " %u,%u%c", read16(e), read16(e + 2),
                                    kind ? 't' : 'n');
        used += more;
        e += kind && !error ? 12 + read16(e + 10) : 18;
    }
    copy256(r, text);
}
