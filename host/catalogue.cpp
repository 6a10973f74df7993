// Binding the entry points and reading the catalogue.
#include "catalogue.h"

#include "platform.h"
#include "text.h"

#include <string.h>

bool library_open(const std::string &path, Library *lib, std::string *error)
{
    std::string why;
    lib->path = path;
    lib->handle = library_load(path, &why);
    if (!lib->handle) {
        *error = "cannot load library \"" + path + "\": " + why;
        return false;
    }
    static const char *const names[4] = {"GetFunctionCount", "GetFunctionData", "GetParameterDescription",
                                         "SetLanguage"};
    void *entries[4];
    for (int i = 0; i < 4; i++) {
        entries[i] = library_symbol(lib->handle, names[i]);
        if (!entries[i]) {
            *error = "library \"" + path + "\" lacks the entry point " + names[i];
            return false;
        }
    }
    lib->get_function_count = (GetFunctionCountFn)entries[0];
    lib->get_function_data = (GetFunctionDataFn)entries[1];
    lib->get_parameter_description = (GetParameterDescriptionFn)entries[2];
    lib->set_language = (SetLanguageFn)entries[3];
    return true;
}

void set_language(Library *lib, unsigned code)
{
    uint16_t c = (uint16_t)code;
    lib->set_language(&c);
}

const char *type_name(int type)
{
    switch (type) {
    case QR_ARG_NUMBER: return "number";
    case QR_ARG_STRING: return "string";
    case QR_ARG_DOUBLE_ARRAY: return "DoubleArray";
    case QR_ARG_CELL_ARRAY: return "CellArray";
    default: return "unknown type";
    }
}

void read_row(Library *lib, unsigned index, std::string *internal_name, std::string *display, unsigned *count,
              int *types)
{
    char internal_buffer[QR_TEXT_SIZE], display_buffer[QR_TEXT_SIZE];
    int32_t type_buffer[MAX_TYPES + 8];
    uint16_t i = (uint16_t)index, n = 0;
    memset(internal_buffer, 0, sizeof internal_buffer);
    memset(display_buffer, 0, sizeof display_buffer);
    for (int32_t &t : type_buffer)
        t = -1;
    lib->get_function_data(&i, internal_buffer, &n, type_buffer, display_buffer);
    internal_buffer[QR_TEXT_SIZE - 1] = '\0';
    display_buffer[QR_TEXT_SIZE - 1] = '\0';
    *internal_name = internal_buffer;
    *display = display_buffer;
    *count = n;
    for (unsigned k = 0; k < MAX_TYPES; k++)
        types[k] = k < n ? type_buffer[k] : -1;
}

void catalogue_read(Library *lib, std::vector<Function> *functions)
{
    uint16_t count = 0;
    lib->get_function_count(&count);
    functions->assign(count, Function());
    for (int pass = 0; pass < 2; pass++) {
        set_language(lib, pass == 0 ? QR_LANGUAGE_ENGLISH : QR_LANGUAGE_GERMAN);
        for (unsigned i = 0; i < count; i++) {
            Function &f = (*functions)[i];
            std::string display;
            read_row(lib, i, &f.internal_name, &display, &f.count, f.types);
            (pass == 0 ? f.english : f.german) = display;
        }
    }
    // Display names are decoded in the character set the host decodes by; a
    // name that does not decode cannot be typed, as in a host.
    bool utf8 = host_decodes_utf8();
    for (unsigned i = 0; i < count; i++) {
        Function &f = (*functions)[i];
        std::string english, german;
        bool english_ok = catalogue_text_to_latin1(f.english.data(), f.english.size(), utf8, &english);
        bool german_ok = catalogue_text_to_latin1(f.german.data(), f.german.size(), utf8, &german);
        f.english = english_ok ? english : f.english;
        f.german = german_ok ? german : f.german;
        f.english_key = english_ok ? latin1_upper(f.english) : std::string();
        f.german_key = german_ok ? latin1_upper(f.german) : std::string();
        f.internal_key = latin1_upper(f.internal_name);
        f.usable = f.count >= 1 && f.count <= MAX_TYPES && !f.internal_name.empty() &&
                   (f.types[0] == QR_ARG_NUMBER || f.types[0] == QR_ARG_STRING);
        for (unsigned k = 1; k < f.count && k < MAX_TYPES; k++)
            if (f.types[k] != QR_ARG_NUMBER && f.types[k] != QR_ARG_STRING && f.types[k] != QR_ARG_DOUBLE_ARRAY &&
                f.types[k] != QR_ARG_CELL_ARRAY)
                f.usable = false;
        f.entry = sheet_function_entry(*lib, f.internal_name);
    }
}

void *sheet_function_entry(const Library &lib, const std::string &internal_name)
{
    return internal_name.empty() ? nullptr : library_symbol(lib.handle, internal_name.c_str());
}

const Function *catalogue_find(const std::vector<Function> &functions, const std::string &latin1_name)
{
    std::string key = latin1_upper(latin1_name);
    if (key.empty())
        return nullptr;
    for (const Function &f : functions)
        if (key == f.english_key || key == f.german_key)
            return &f;
    for (const Function &f : functions)
        if (key == f.internal_key)
            return &f;
    return nullptr;
}
