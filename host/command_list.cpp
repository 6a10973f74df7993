// quorel-host list: the catalogue in the chosen language, decoded in the
// process's character set as a host decodes it, printed in UTF-8.
#include "commands.h"

#include "input.h"
#include "platform.h"
#include "text.h"

#include <string.h>

int run_list(const Options &o)
{
    if (!o.operands.empty())
        return usage_error("list takes no arguments");
    Library lib;
    if (!open_library(o, &lib, nullptr))
        return EXIT_USAGE;
    uint16_t count = 0;
    lib.get_function_count(&count);
    if (o.has_lang)
        set_language(&lib, o.lang);
    bool utf8 = host_decodes_utf8();
    std::string out;
    for (unsigned index = 0; index < count; index++) {
        std::string internal_name, display;
        unsigned n = 0;
        int types[MAX_TYPES];
        read_row(&lib, index, &internal_name, &display, &n, types);
        if (n > MAX_TYPES)
            n = MAX_TYPES;
        std::string signature;
        for (unsigned k = 0; k < n; k++)
            signature += std::string(k == 0 ? "" : k == 1 ? "; " : ", ") + type_name(types[k]);
        bool present = sheet_function_entry(lib, internal_name) != nullptr;
        out += std::to_string(index) + " " + internal_name + " " + catalogue_text_to_utf8(display.data(), display.size(), utf8) + " (" + signature + ")" +
               (present ? "" : " [not in library]") + "\n";
        for (unsigned k = 0; k < (n ? n : 1u); k++) {
            char name[QR_TEXT_SIZE] = {0}, description[QR_TEXT_SIZE] = {0};
            uint16_t i = (uint16_t)index, p = (uint16_t)k;
            lib.get_parameter_description(&i, &p, name, description);
            name[QR_TEXT_SIZE - 1] = description[QR_TEXT_SIZE - 1] = '\0';
            std::string d = catalogue_text_to_utf8(description, strlen(description), utf8);
            if (k == 0)
                out += "   " + d + "\n";
            else
                out += "   " + std::to_string(k) + ". " + catalogue_text_to_utf8(name, strlen(name), utf8) + ": " + d + "\n";
        }
    }
    say(stdout, out);
    return EXIT_OK;
}
