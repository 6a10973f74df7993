// Option parsing of quorel-host.
#include "options.h"

#include "help.h"
#include "text.h"
#include "version.h"

void say(FILE *stream, const std::string &text)
{
    fwrite(text.data(), 1, text.size(), stream);
    fflush(stream);
}

int usage_error(const std::string &message)
{
    say(stderr, "quorel-host: " + message + " (see quorel-host --help)\n");
    return EXIT_USAGE;
}

bool parse_language(const std::string &text, unsigned *code)
{
    unsigned long v = 0;
    if (!parse_unsigned(text.data(), text.data() + text.size(), 0xFFFF, &v))
        return false;
    *code = (unsigned)v;
    return true;
}

bool parse_layout(const std::string &word, Layout *layout)
{
    if (word == "exact")
        *layout = LAYOUT_EXACT;
    else if (word == "padded")
        *layout = LAYOUT_PADDED;
    else if (word == "unpadded")
        *layout = LAYOUT_UNPADDED;
    else
        return false;
    return true;
}

bool parse_origin(const std::string &text, Origin *origin)
{
    unsigned long v[3];
    size_t start = 0;
    for (int k = 0; k < 3; k++) {
        size_t end = k < 2 ? text.find(',', start) : text.size();
        if (end == std::string::npos)
            return false;
        size_t a = start, b = end;
        while (a < b && (text[a] == ' ' || text[a] == '\t'))
            a++;
        while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t'))
            b--;
        if (!parse_unsigned(text.data() + a, text.data() + b, 0xFFFF, &v[k]))
            return false;
        start = end + 1;
    }
    origin->col = (unsigned)v[0];
    origin->row = (unsigned)v[1];
    origin->sheet = (unsigned)v[2];
    return true;
}

int parse_options(const std::vector<std::string> &args, Options *o)
{
    bool options_done = false;
    for (size_t i = 1; i < args.size(); i++) {
        const std::string &a = args[i];
        if (options_done || a.empty() || a[0] != '-' || a == "-") {
            if (o->command.empty())
                o->command = a;
            else if (o->command == "eval")
                o->inputs.push_back({false, a});
            else
                o->operands.push_back(a);
            continue;
        }
        if (a == "--") {
            options_done = true;
            continue;
        }
        if (a == "-h" || a == "--help") {
            say(stdout, help_text);
            return EXIT_OK;
        }
        if (a == "--version") {
            say(stdout, "quorel-host " QUOREL_VERSION "\n");
            return EXIT_OK;
        }
        if (a == "--dump-blocks") {
            o->settings.dump_blocks = true;
            continue;
        }
        // Options with a value: --opt VALUE or --opt=VALUE.
        std::string name = a, value;
        size_t eq = a.find('=');
        bool inline_value = a.compare(0, 2, "--") == 0 && eq != std::string::npos;
        if (inline_value) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        static const char *const valued[] = {"--lib", "--lang", "--layout", "--origin", "--output", "-f", "--file",
                                             "--delimiter", "--host-locale"};
        bool known = false;
        for (const char *v : valued)
            known = known || name == v;
        if (!known)
            return usage_error("unknown option \"" + a + "\"");
        if (!inline_value) {
            if (i + 1 >= args.size())
                return usage_error("option " + name + " needs a value");
            value = args[++i];
        }
        if (name == "--lib") {
            o->lib = value;
            o->has_lib = true;
        } else if (name == "--lang") {
            if (!parse_language(value, &o->lang))
                return usage_error("--lang needs a language code from 0 to 65535, not \"" + value + "\"");
            o->has_lang = true;
        } else if (name == "--layout") {
            if (!parse_layout(value, &o->settings.layout))
                return usage_error("--layout is exact, padded or unpadded, not \"" + value + "\"");
        } else if (name == "--origin") {
            if (!parse_origin(value, &o->settings.origin))
                return usage_error("--origin needs COL,ROW,SHEET, each 0 to 65535, not \"" + value + "\"");
        } else if (name == "--delimiter") {
            if (value == "," || value == ";")
                o->delimiter = value[0];
            else if (value == "tab" || value == "\t")
                o->delimiter = '\t';
            else
                return usage_error("--delimiter is ',', ';' or tab, not \"" + value + "\"");
        } else if (name == "--host-locale") {
            if (value != "keep" && value != "set")
                return usage_error("--host-locale is keep or set, not \"" + value + "\"");
            o->host_locale_set = value == "set";
        } else if (name == "--output") {
            if (value != "value" && value != "case")
                return usage_error("--output is value or case, not \"" + value + "\"");
            o->output = value;
        } else {
            o->inputs.push_back({true, value});
        }
    }
    return -1;
}
