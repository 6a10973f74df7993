// Text results and catalogue texts go into buffers of QR_TEXT_SIZE bytes
// owned by the host.
#ifndef QUOREL_HOSTBUF_H
#define QUOREL_HOSTBUF_H

// Copies text into a host buffer as strncpy does (the rest of the buffer
// filled with zeros) and forces the last byte to 0, so that a longer text is
// cut to QR_TEXT_SIZE - 1 bytes.
void copy_to_host(char *buffer, const char *text);

#endif
