// The add-in's catalogue as the host sees it: the four entry points bound in
// a loaded library, the catalogue read through them, and the sheet functions
// resolved by their internal names.
#ifndef QUOREL_HOST_CATALOGUE_H
#define QUOREL_HOST_CATALOGUE_H

#include "quorel.h" // entry-point signatures and QR_CALL only; the library is never linked

#include <string>
#include <vector>

typedef decltype(&GetFunctionCount) GetFunctionCountFn;
typedef decltype(&GetFunctionData) GetFunctionDataFn;
typedef decltype(&GetParameterDescription) GetParameterDescriptionFn;
typedef decltype(&SetLanguage) SetLanguageFn;

struct Library {
    std::string path;
    void *handle;
    GetFunctionCountFn get_function_count;
    GetFunctionDataFn get_function_data;
    GetParameterDescriptionFn get_parameter_description;
    SetLanguageFn set_language;
};

// Loads the library (platform.h) and binds the four entry points; a one-line
// reason on failure.
bool library_open(const std::string &path, Library *lib, std::string *error);

enum { MAX_TYPES = 8 };

struct Function {
    std::string internal_name;         // as the catalogue gives it (ASCII)
    std::string english, german;       // display names, decoded to ISO 8859-1
    std::string english_key, german_key, internal_key; // upper-cased for lookup; empty: not typable
    unsigned count;                    // result and parameters
    int types[MAX_TYPES];
    bool usable;                       // count 1 to MAX_TYPES, every type known
    void *entry;                       // null when the library does not export it
};

// One GetFunctionData row in the current language, read into host-sized
// buffers: the texts are cut at the 256th byte whatever the library wrote, and
// the types past count are -1. count is as the library gave it.
void read_row(Library *lib, unsigned index, std::string *internal_name, std::string *display, unsigned *count,
              int *types);

// GetFunctionCount once, then every row in English and in German. The stored
// language is left at German, its value before any SetLanguage.
void catalogue_read(Library *lib, std::vector<Function> *functions);

// The row whose display name (either language) or internal name matches,
// case-insensitively after Latin-1 upper-casing; null when none does.
const Function *catalogue_find(const std::vector<Function> &functions, const std::string &latin1_name);

// The exported function of that name; null for an empty name or one the
// library does not export.
void *sheet_function_entry(const Library &lib, const std::string &internal_name);

void set_language(Library *lib, unsigned code);

const char *type_name(int type);

#endif
