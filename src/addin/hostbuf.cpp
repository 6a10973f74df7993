#include "hostbuf.h"

#include "quorel.h"

#include <string.h>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

void copy_to_host(char *buffer, const char *text)
{
    strncpy(buffer, text, QR_TEXT_SIZE);
    buffer[QR_TEXT_SIZE - 1] = '\0';
}

#if defined(_WIN32)
int host_uses_utf8(void) { return GetACP() == 65001; }
#else
// glibc names the codeset "UTF-8"; other C libraries write "utf8" or "UTF8".
static int names_utf8(const char *codeset)
{
    if (!codeset)
        return 0;
    char name[5];
    int n = 0;
    for (const char *p = codeset; *p && n < 5; p++)
        if (*p != '-' && *p != '_')
            name[n++] = (char)(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
    return n == 4 && memcmp(name, "utf8", 4) == 0;
}

// The name of the calling thread's LC_CTYPE locale (its own one after
// uselocale, else the process's).
static const char *own_ctype_name(void)
{
#if defined(_NL_LOCALE_NAME)
    return nl_langinfo(_NL_LOCALE_NAME(LC_CTYPE));
#else
    return setlocale(LC_CTYPE, nullptr);
#endif
}

// Hosts come in two kinds. Some call setlocale(LC_ALL, "") and decode in the
// codeset of the locale they set; others leave their C library at "C" and
// decode in the codeset of the locale the environment names (LC_ALL, else
// LC_CTYPE, else LANG). A locale of the caller's own decides; at "C" or
// "POSIX" the environment's does, resolved by newlocale as setlocale would
// resolve it but without touching the process's locale. An environment that
// names no installed locale counts as "C". About a microsecond per call:
// the catalogue is read once, at load time.
int host_uses_utf8(void)
{
    const char *own = own_ctype_name();
    if (own && strcmp(own, "C") != 0 && strcmp(own, "POSIX") != 0)
        return names_utf8(nl_langinfo(CODESET));
    locale_t environment = newlocale(LC_CTYPE_MASK, "", (locale_t)0);
    if (environment == (locale_t)0)
        return 0;
    int utf8 = names_utf8(nl_langinfo_l(CODESET, environment));
    freelocale(environment);
    return utf8;
}
#endif

// Every ISO 8859-1 byte is the code point of the same value: below 0x80 one
// UTF-8 byte, above it two (0xC0 | b >> 6, 0x80 | b & 0x3F).
void copy_catalogue_text(char *buffer, const char *latin1, int utf8)
{
    if (!utf8) {
        copy_to_host(buffer, latin1);
        return;
    }
    char encoded[QR_TEXT_SIZE];
    size_t n = 0;
    for (const unsigned char *p = (const unsigned char *)latin1; *p; p++) {
        size_t width = *p < 0x80 ? 1 : 2;
        if (n + width > QR_TEXT_SIZE - 1)
            break;
        if (width == 1) {
            encoded[n++] = (char)*p;
        } else {
            encoded[n++] = (char)(0xC0 | *p >> 6);
            encoded[n++] = (char)(0x80 | (*p & 0x3F));
        }
    }
    encoded[n] = '\0';
    copy_to_host(buffer, encoded);
}
