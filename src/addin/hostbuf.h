// Text results and catalogue texts go into buffers of QR_TEXT_SIZE bytes
// owned by the host.
#ifndef QUOREL_HOSTBUF_H
#define QUOREL_HOSTBUF_H

// Copies text into a host buffer as strncpy does (the rest of the buffer
// filled with zeros) and forces the last byte to 0, so that a longer text is
// cut to QR_TEXT_SIZE - 1 bytes.
void copy_to_host(char *buffer, const char *text);

// 1 when the calling process decodes the texts it is handed as UTF-8: on
// POSIX systems the codeset of its current LC_CTYPE locale, on Windows its
// ANSI code page (65001). Asked at every call, so a host that changes its
// locale gets the texts that follow in the new encoding.
int host_uses_utf8(void);

// A catalogue text (ISO 8859-1 in the table) into a host buffer, in the
// encoding the host decodes: UTF-8 where host_uses_utf8(), otherwise the
// table's bytes unchanged. The same bounded copy as copy_to_host; a cut never
// splits a UTF-8 sequence.
void copy_catalogue_text(char *buffer, const char *latin1);

#endif
