#include "hostbuf.h"

#include "quorel.h"

#include <string.h>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <langinfo.h>
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
int host_uses_utf8(void)
{
    const char *codeset = nl_langinfo(CODESET);
    if (!codeset)
        return 0;
    char name[5];
    int n = 0;
    for (const char *p = codeset; *p && n < 5; p++)
        if (*p != '-' && *p != '_')
            name[n++] = (char)(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
    return n == 4 && memcmp(name, "utf8", 4) == 0;
}
#endif

// Every ISO 8859-1 byte is the code point of the same value: below 0x80 one
// UTF-8 byte, above it two (0xC0 | b >> 6, 0x80 | b & 0x3F).
void copy_catalogue_text(char *buffer, const char *latin1)
{
    if (!host_uses_utf8()) {
        copy_to_host(buffer, latin1);
        return;
    }
    char utf8[QR_TEXT_SIZE];
    size_t n = 0;
    for (const unsigned char *p = (const unsigned char *)latin1; *p; p++) {
        size_t width = *p < 0x80 ? 1 : 2;
        if (n + width > QR_TEXT_SIZE - 1)
            break;
        if (width == 1) {
            utf8[n++] = (char)*p;
        } else {
            utf8[n++] = (char)(0xC0 | *p >> 6);
            utf8[n++] = (char)(0x80 | (*p & 0x3F));
        }
    }
    utf8[n] = '\0';
    copy_to_host(buffer, utf8);
}
