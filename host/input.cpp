// Line handling shared by the commands.
#include "input.h"

#include "platform.h"
#include "text.h"

#include <locale.h>

std::string where(const Place &place, const std::string &line, size_t offset)
{
    bool in_file = !place.file.empty();
    std::string text = (in_file ? place.file + ":" : "formula ") + std::to_string(place.number);
    if (offset != std::string::npos)
        text += (in_file ? ":" : ", column ") + std::to_string(utf8_column(line, offset));
    return text;
}

std::string file_name(const std::string &path) { return path == "-" ? "(standard input)" : path; }

void report(const Place &place, const std::string &line, const SourceError &error)
{
    say(stderr, where(place, line, error.offset) + ": " + error.message + "\n");
}

static void split_lines(const std::string &content, std::vector<std::string> *lines)
{
    lines->clear();
    size_t start = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; // UTF-8 byte order mark
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines->push_back(std::move(line));
        start = end + 1;
    }
}

// @language, @layout, @origin. The line starts (after blanks) with '@'.
static bool directive(Library *lib, Settings *settings, const std::string &line, size_t at, SourceError *error)
{
    size_t i = at + 1;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t')
        i++;
    std::string word = line.substr(at, i - at);
    size_t vstart = skip_blanks(line, i), vend = line.size();
    while (vend > vstart && (line[vend - 1] == ' ' || line[vend - 1] == '\t'))
        vend--;
    std::string value = line.substr(vstart, vend - vstart);
    error->offset = vstart;
    if (word == "@language") {
        unsigned code;
        if (!parse_language(value, &code)) {
            error->message = "@language needs a language code from 0 to 65535";
            return false;
        }
        set_language(lib, code);
        return true;
    }
    if (word == "@layout") {
        if (!parse_layout(value, &settings->layout)) {
            error->message = "@layout is exact, padded or unpadded";
            return false;
        }
        return true;
    }
    if (word == "@origin") {
        if (!parse_origin(value, &settings->origin)) {
            error->message = "@origin needs COL,ROW,SHEET, each 0 to 65535";
            return false;
        }
        return true;
    }
    error->offset = at;
    error->message = "unknown directive \"" + word + "\" (@language, @layout, @origin)";
    return false;
}

void start_input(Host *host, const Options &o)
{
    host->settings = o.settings;
    // Numbers become texts in the library's own decimal separator, from the
    // numeric locale that GetFunctionCount took from the environment.
    const struct lconv *conventions = localeconv();
    if (conventions && conventions->decimal_point && conventions->decimal_point[0] == ',')
        host->settings.text_decimal = ',';
    set_language(&host->lib, o.has_lang ? o.lang : (unsigned)QR_LANGUAGE_GERMAN);
}

bool read_lines(Host *host, const Options &o, const std::string &file, const LineFn &line_fn)
{
    start_input(host, o);
    std::string content, why;
    if (!read_file(file, &content, &why)) {
        say(stderr, "quorel-host: cannot read \"" + file_name(file) + "\": " + why + "\n");
        return false;
    }
    std::vector<std::string> lines;
    split_lines(content, &lines);
    std::string name = file_name(file);
    for (size_t n = 0; n < lines.size(); n++)
        line_fn(Place{name, (unsigned)(n + 1)}, lines[n]);
    return true;
}

LineKind read_formula(Host *host, const Place &place, const std::string &line, size_t *start, Formula *formula)
{
    *start = skip_blanks(line, 0);
    if (*start >= line.size() || line[*start] == '#')
        return LINE_SKIPPED;
    SourceError error;
    if (line[*start] == '@') {
        if (directive(&host->lib, &host->settings, line, *start, &error))
            return LINE_SKIPPED;
        report(place, line, error);
        return LINE_BAD_DIRECTIVE;
    }
    if (!parse_formula(line, *start, formula, &error)) {
        report(place, line, error);
        return LINE_BAD_FORMULA;
    }
    return LINE_FORMULA;
}

EvalStatus evaluate_formula(const Host &host, const Place &place, const std::string &line, size_t start,
                            const Formula &formula, std::string *source, Result *result, SourceError *error)
{
    *source = line.substr(start, formula.end - start);
    std::string context = where(place) + ": " + *source;
    return evaluate(host.lib, host.functions, formula, host.settings, context.c_str(), result, error);
}

// The library of the tool's own package, found from the tool's directory:
// where the install rules put it (../lib/x86_64-linux-gnu in the .deb,
// ../lib in the tarball), beside the tool (the Windows zips), or one level up
// (the tool in a build tree's host/). False, with the places tried, when none
// is there.
static bool packaged_library(std::string *path, std::string *tried)
{
    std::string dir = program_directory();
    if (dir.empty()) {
        *tried = "the tool's own directory is unknown";
        return false;
    }
    char separator = dir.back();
    std::string up = std::string("..") + separator, name = QUOREL_LIBRARY_FILE;
    std::string installed = QUOREL_TOOL_TO_LIBDIR;
    const std::string candidates[] = {installed.empty() ? std::string() : dir + installed + separator + name,
                                      dir + name, dir + up + name};
    for (const std::string &candidate : candidates) {
        if (candidate.empty())
            continue;
        if (existing_file(candidate, path))
            return true;
        *tried += (tried->empty() ? "" : ", ") + candidate;
    }
    return false;
}

bool open_library(const Options &o, Library *lib, std::vector<Function> *functions)
{
    std::string path = o.lib, tried;
    if (!o.has_lib && !environment_value("QUOREL_LIB", &path) && !packaged_library(&path, &tried)) {
        usage_error("no library given and none beside the tool (" + tried + "): use --lib PATH or set QUOREL_LIB");
        return false;
    }
    std::string error;
    if (!library_open(path, lib, &error)) {
        say(stderr, "quorel-host: " + error + "\n");
        return false;
    }
    if (functions)
        catalogue_read(lib, functions);
    return true;
}
