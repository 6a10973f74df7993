// Shared pieces of the fuzz targets: a result buffer with guard bytes on both
// sides, checked after every call.
#ifndef QUOREL_FUZZ_COMMON_H
#define QUOREL_FUZZ_COMMON_H

#include <stdlib.h>
#include <string.h>

struct GuardedText {
    unsigned char bytes[64 + 256 + 64];
    char *buffer() { return (char *)bytes + 64; }
    void arm() { memset(bytes, 0xA5, sizeof bytes); }
    // A text result ends inside its 256 bytes and nothing around it changed.
    void check() const
    {
        for (int i = 0; i < 64; i++)
            if (bytes[i] != 0xA5 || bytes[64 + 256 + i] != 0xA5)
                abort();
        if (!memchr(bytes + 64, 0, 256))
            abort();
    }
};

#endif
