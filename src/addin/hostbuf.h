// Text results and catalogue texts go into buffers of QR_TEXT_SIZE bytes
// owned by the host.
#ifndef QUOREL_HOSTBUF_H
#define QUOREL_HOSTBUF_H

// Copies text into a host buffer as strncpy does (the rest of the buffer
// filled with zeros) and forces the last byte to 0, so that a longer text is
// cut to QR_TEXT_SIZE - 1 bytes.
void copy_to_host(char *buffer, const char *text);

// 1 when the calling process decodes the texts it is handed as UTF-8. POSIX:
// the codeset of the caller's LC_CTYPE locale where it has set one other than
// "C"/"POSIX", otherwise that of the locale the environment names. Windows:
// the ANSI code page is 65001. Asked once per catalogue call, so a host that
// changes its locale gets the texts that follow in the new encoding.
int host_uses_utf8(void);

// A catalogue text (ISO 8859-1 in the table) into a host buffer: UTF-8 where
// utf8 (the answer of host_uses_utf8), otherwise the table's bytes unchanged.
// The same bounded copy as copy_to_host; a cut never splits a UTF-8 sequence.
void copy_catalogue_text(char *buffer, const char *latin1, int utf8);

#endif
