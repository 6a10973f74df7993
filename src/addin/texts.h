// Bilingual text table and the stored language code.
#ifndef QUOREL_TEXTS_H
#define QUOREL_TEXTS_H

#include <stdint.h>

enum { TEXT_COUNT = 98 };

// The text for id in the language last stored by SetLanguage; "" for id 14 and
// every id above 97. Never null.
const char *LookupText(unsigned id);

// The stored language code (QR_LANGUAGE_GERMAN until SetLanguage stores
// another).
uint16_t stored_language(void);

#endif
