#include "hostbuf.h"

#include "quorel.h"

#include <string.h>

void copy_to_host(char *buffer, const char *text)
{
    strncpy(buffer, text, QR_TEXT_SIZE);
    buffer[QR_TEXT_SIZE - 1] = '\0';
}
