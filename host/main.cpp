// quorel-host: loads the add-in at run time, lists its catalogue, evaluates
// formulas and checks case files, calling every function as a spreadsheet does.
#include "block_builder.h"
#include "eval.h"
#include "formula.h"
#include "loader.h"
#include "platform.h"
#include "text.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

enum { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

static const char help_text[] =
    "Usage: quorel-host [--lib PATH] COMMAND [OPTIONS] [ARGUMENTS]\n"
    "\n"
    "Loads a quorel add-in library at run time and calls it the way a spreadsheet\n"
    "host does: catalogue through GetFunctionCount, GetFunctionData,\n"
    "GetParameterDescription and SetLanguage, sheet functions by internal name.\n"
    "\n"
    "Commands:\n"
    "  list                 the catalogue: index, internal name, display name,\n"
    "                       types (result; parameters), description, and per\n"
    "                       parameter its name and description, in UTF-8.\n"
    "                       Functions the library does not export are marked\n"
    "                       [not in library].\n"
    "  eval FORMULA...      evaluate formulas given as arguments\n"
    "  eval -f FILE         evaluate one formula per line of FILE ('#' comments\n"
    "                       and blank lines skipped; -f may be repeated)\n"
    "  check CASEFILE...    run case files; print each mismatch and a closing\n"
    "                       line \"N passed, M failed\"\n"
    "\n"
    "Options:\n"
    "  --lib PATH           the library (libquorel.so, quorel.dll); default: the\n"
    "                       environment variable QUOREL_LIB\n"
    "  --lang CODE          call SetLanguage with CODE (1031 German, 1033\n"
    "                       English; decimal or 0x hex). Without it the library\n"
    "                       keeps its own default (German).\n"
    "  --layout MODE        text cells of CellArray blocks, for a text of n bytes:\n"
    "                         exact     len = n+1, entry 12+len bytes\n"
    "                         padded    len rounded up to even, zero pad byte\n"
    "                                   written, entry 12+len bytes (default;\n"
    "                                   what spreadsheet hosts write)\n"
    "                         unpadded  len rounded up to even, no pad byte:\n"
    "                                   the next entry follows the NUL\n"
    "  --origin COL,ROW,SHEET  first corner of every range block (default\n"
    "                       0,0,0); entries carry their cell's column, row, sheet\n"
    "  --output MODE        eval only: 'value' prints one result per line;\n"
    "                       'case' prints FORMULA => RESULT lines (texts quoted),\n"
    "                       a valid case file. Default: value for a single formula\n"
    "                       on the command line, case otherwise.\n"
    "  -h, --help           this text\n"
    "\n"
    "Formulas:\n"
    "  NAME(ARG; ARG; ...)  NAME is a display name in English or German (any\n"
    "                       case; compared after ISO 8859-1 upper-casing) or the\n"
    "                       internal name. Arguments are separated by ';':\n"
    "  1.5 -2e-3 0x1.8p1    numbers in C syntax, '.' as decimal point, read the\n"
    "  NaN Infinity         same whatever the locale\n"
    "  \"1+2i\"               texts, \"\" inside for a quote; UTF-8 input is passed\n"
    "                       as ISO 8859-1 (other characters are an error)\n"
    "  {1, 2; 3, 4}         array constant: ',' between columns, ';' between\n"
    "                       rows, all rows of equal length, at most 32767 cells;\n"
    "                       it becomes a DoubleArray or CellArray block as the\n"
    "                       parameter type says. {} is an empty block.\n"
    "  #ERR  #ERR(7)        error cell: sets the entry's error word (1 for #ERR)\n"
    "  A scalar where a range is expected becomes a 1x1 block; a text cell in a\n"
    "  range of numbers is an error. Texts are limited to 65534 bytes.\n"
    "\n"
    "Results: numbers as shortest round-trip decimals, NaN, Infinity, -Infinity;\n"
    "texts verbatim in UTF-8.\n"
    "\n"
    "Case files (check) and formula files (eval -f), one entry per line:\n"
    "  FORMULA => EXPECTED        exact; expected NaN matches any NaN, other\n"
    "                             numbers must match bit for bit (0 != -0)\n"
    "  FORMULA => EXPECTED ~N     number within N units in the last place\n"
    "  @language CODE             SetLanguage(CODE) for the following lines\n"
    "  @layout exact|padded|unpadded   layout of the following lines' blocks\n"
    "  @origin COL,ROW,SHEET      origin of the following lines' blocks\n"
    "  # comment\n"
    "  eval -f reads the same files: bare formulas, @ directives, and a\n"
    "  trailing '=> EXPECTED' which it ignores.\n"
    "  Directives last to the end of their file.\n"
    "\n"
    "Exit status: 0 success; 1 a case failed, the function is missing from the\n"
    "library (check) or the library broke the result convention; 2 usage or\n"
    "input error (bad option, syntax, unknown function, wrong arguments,\n"
    "unreadable file, library not loadable or lacking an entry point, function\n"
    "missing from the library in eval). Errors name FILE:LINE:COLUMN or\n"
    "'formula K, column C' for command-line formulas.\n"
    "\n"
    "Examples:\n"
    "  quorel-host --lib build/libquorel.so list --lang 1033\n"
    "  quorel-host --lib build/libquorel.so eval 'GAMMA(0.5)'\n"
    "  quorel-host --lib build/libquorel.so eval 'XADD(\"1+2i\"; \"3-i\")' 'XSUMME({1, \"2i\"; 3, 4})'\n"
    "  quorel-host --lib build/libquorel.so eval 'römischinzahl(\"MCMXCIV\")'\n"
    "  quorel-host --lib build/libquorel.so eval --layout unpadded 'XSUM({\"1+i\", 2})'\n"
    "  quorel-host --lib build/libquorel.so eval -f examples/demo-en.txt\n"
    "  QUOREL_LIB=build/libquorel.so quorel-host check tests/cases/*.cases\n";

static void say(FILE *stream, const std::string &text)
{
    fwrite(text.data(), 1, text.size(), stream);
    fflush(stream);
}

static int usage_error(const std::string &message)
{
    say(stderr, "quorel-host: " + message + " (see quorel-host --help)\n");
    return EXIT_USAGE;
}

struct Options {
    std::string command;
    std::string lib;
    bool has_lib = false;
    bool has_lang = false;
    unsigned lang = 0;
    Settings settings = {LAYOUT_PADDED, {0, 0, 0}, false};
    std::string output; // "", "value", "case"
    // eval inputs in command-line order: a formula or a file (-f)
    std::vector<std::pair<bool, std::string>> inputs;
    std::vector<std::string> operands; // check: case files
};

static bool parse_language(const std::string &text, unsigned *code)
{
    unsigned long v = 0;
    if (!parse_unsigned(text.data(), text.data() + text.size(), 0xFFFF, &v))
        return false;
    *code = (unsigned)v;
    return true;
}

// Returns -1 to go on, otherwise the exit status.
static int parse_options(const std::vector<std::string> &args, Options *o)
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
        static const char *const valued[] = {"--lib", "--lang", "--layout", "--origin", "--output", "-f", "--file"};
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

// ---- shared line handling -------------------------------------------------

struct Place {
    std::string file;     // empty for a command-line formula
    unsigned number;      // line number, or formula number on the command line
};

// "FILE:LINE" or "formula K"; given an offset into the line, with its column:
// "FILE:LINE:COLUMN" or "formula K, column C".
static std::string where(const Place &place, const std::string &line = std::string(),
                         size_t offset = std::string::npos)
{
    bool in_file = !place.file.empty();
    std::string text = (in_file ? place.file + ":" : "formula ") + std::to_string(place.number);
    if (offset != std::string::npos)
        text += (in_file ? ":" : ", column ") + std::to_string(utf8_column(line, offset));
    return text;
}

static void report(const Place &place, const std::string &line, const SourceError &error)
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

// The library, its catalogue, and the settings of the input being read.
struct Host {
    Library lib;
    std::vector<Function> functions;
    Settings settings;
};

// Every input (a file, or a run of formulas on the command line) starts from
// the command line's settings and language.
static void start_input(Host *host, const Options &o)
{
    host->settings = o.settings;
    set_language(&host->lib, o.has_lang ? o.lang : (unsigned)LANGUAGE_GERMAN);
}

// Hands every line of the file to line_fn(place, line), the file starting from
// the command line's settings. False, reported, when the file cannot be read.
template <typename LineFn>
static bool read_lines(Host *host, const Options &o, const std::string &file, LineFn line_fn)
{
    start_input(host, o);
    std::string content, why;
    if (!read_file(file, &content, &why)) {
        say(stderr, "quorel-host: cannot read \"" + file + "\": " + why + "\n");
        return false;
    }
    std::vector<std::string> lines;
    split_lines(content, &lines);
    for (size_t n = 0; n < lines.size(); n++)
        line_fn(Place{file, (unsigned)(n + 1)}, lines[n]);
    return true;
}

enum LineKind { LINE_SKIPPED, LINE_FORMULA, LINE_BAD_DIRECTIVE, LINE_BAD_FORMULA };

// Skips blank and comment lines and applies directives; any other line must
// start with a formula, parsed into *formula from *start on. Errors are
// reported here.
static LineKind read_formula(Host *host, const Place &place, const std::string &line, size_t *start,
                             Formula *formula)
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

// Calls the formula's function; *source is the formula as written. A crash
// report names it as "PLACE: SOURCE".
static EvalStatus evaluate_formula(const Host &host, const Place &place, const std::string &line, size_t start,
                                   const Formula &formula, std::string *source, Result *result, SourceError *error)
{
    *source = line.substr(start, formula.end - start);
    std::string context = where(place) + ": " + *source;
    return evaluate(host.lib, host.functions, formula, host.settings, context.c_str(), result, error);
}

static bool open_library(const Options &o, Library *lib, std::vector<Function> *functions)
{
    std::string path = o.lib;
    if (!o.has_lib && !environment_value("QUOREL_LIB", &path)) {
        usage_error("no library given: use --lib PATH or set QUOREL_LIB");
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

// ---- list -------------------------------------------------------------------

static int run_list(const Options &o)
{
    Library lib;
    if (!open_library(o, &lib, nullptr))
        return EXIT_USAGE;
    uint16_t count = 0;
    lib.get_function_count(&count);
    if (o.has_lang)
        set_language(&lib, o.lang);
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
        out += std::to_string(index) + " " + internal_name + " " + latin1_to_utf8(display) + " (" + signature + ")" +
               (present ? "" : " [not in library]") + "\n";
        for (unsigned k = 0; k < (n ? n : 1u); k++) {
            char name[QR_TEXT_SIZE] = {0}, description[QR_TEXT_SIZE] = {0};
            uint16_t i = (uint16_t)index, p = (uint16_t)k;
            lib.get_parameter_description(&i, &p, name, description);
            name[QR_TEXT_SIZE - 1] = description[QR_TEXT_SIZE - 1] = '\0';
            std::string d = latin1_to_utf8(description, strlen(description));
            if (k == 0)
                out += "   " + d + "\n";
            else
                out += "   " + std::to_string(k) + ". " + latin1_to_utf8(name, strlen(name)) + ": " + d + "\n";
        }
    }
    say(stdout, out);
    return EXIT_OK;
}

// ---- eval -------------------------------------------------------------------

struct EvalRun : Host {
    bool case_output;
    int status;
};

static void eval_line(EvalRun *run, const Place &place, const std::string &line)
{
    size_t start;
    Formula formula;
    LineKind kind = read_formula(run, place, line, &start, &formula);
    if (kind != LINE_FORMULA) {
        if (kind != LINE_SKIPPED)
            run->status = EXIT_USAGE;
        return;
    }
    SourceError error;
    // A case file's "=> EXPECTED" is ignored, so case files can be evaluated too.
    size_t rest = skip_blanks(line, formula.end);
    if (rest < line.size() && line.compare(rest, 2, "=>") != 0) {
        error.offset = rest;
        error.message = "unexpected text after the formula";
        report(place, line, error);
        run->status = EXIT_USAGE;
        return;
    }
    std::string source;
    Result result;
    switch (evaluate_formula(*run, place, line, start, formula, &source, &result, &error)) {
    case EVAL_OK:
        say(stdout, run->case_output ? source + " => " + result_text(result, true) + "\n"
                                     : result_text(result, false) + "\n");
        break;
    case EVAL_DUMPED:
        break;
    case EVAL_INPUT_ERROR:
        report(place, line, error);
        run->status = EXIT_USAGE;
        break;
    case EVAL_UNAVAILABLE:
        say(stderr, where(place) + ": " + error.message + "\n");
        run->status = EXIT_USAGE;
        break;
    case EVAL_LIBRARY_FAULT:
        say(stderr, where(place) + ": " + error.message + "\n");
        if (run->status == EXIT_OK)
            run->status = EXIT_FAILED;
        break;
    }
}

static int run_eval(const Options &o)
{
    if (o.inputs.empty())
        return usage_error("eval needs a formula or -f FILE");
    EvalRun run;
    if (!open_library(o, &run.lib, &run.functions))
        return EXIT_USAGE;
    run.status = EXIT_OK;
    run.case_output = o.output == "case" ||
                      (o.output.empty() && (o.inputs.size() > 1 || (o.inputs.size() == 1 && o.inputs[0].first)));
    // Formulas on the command line in a row form one input, so a directive
    // among them lasts until the next file; a file starts afresh.
    unsigned formula_number = 0;
    bool after_file = true;
    for (const auto &input : o.inputs) {
        if (input.first) {
            auto line_fn = [&run](const Place &place, const std::string &line) { eval_line(&run, place, line); };
            if (!read_lines(&run, o, input.second, line_fn))
                run.status = EXIT_USAGE;
            after_file = true;
            continue;
        }
        if (after_file)
            start_input(&run, o);
        after_file = false;
        eval_line(&run, Place{std::string(), ++formula_number}, input.second);
    }
    return run.status;
}

// ---- check ------------------------------------------------------------------

// Distance in units in the last place: doubles mapped to unsigned integers in
// the order of their values (-0 and +0 meet at 2^63).
static unsigned long long ulp_distance(double a, double b)
{
    const unsigned long long sign = 1ull << 63;
    unsigned long long ua, ub;
    memcpy(&ua, &a, sizeof ua);
    memcpy(&ub, &b, sizeof ub);
    ua = (ua & sign) ? sign - (ua & ~sign) : sign + ua;
    ub = (ub & sign) ? sign - (ub & ~sign) : sign + ub;
    return ua > ub ? ua - ub : ub - ua;
}

static bool same_bits(double a, double b) { return memcmp(&a, &b, sizeof a) == 0; }

static bool matches(const Result &r, const Expected &e)
{
    if (e.value.kind == VALUE_TEXT)
        return r.is_text && r.text == e.value.text;
    if (r.is_text)
        return false;
    double want = e.value.number, got = r.number;
    if (want != want)
        return got != got;
    if (got != got)
        return false;
    // Infinities only match themselves, tolerance or not.
    bool finite = want - want == 0 && got - got == 0;
    if (!e.tolerant || !finite)
        return same_bits(got, want);
    return ulp_distance(got, want) <= e.ulps;
}

static std::string expected_text(const Expected &e)
{
    if (e.value.kind == VALUE_TEXT)
        return quote_text(latin1_to_utf8(e.value.text));
    std::string s = format_number(e.value.number);
    if (e.tolerant)
        s += " ~" + std::to_string(e.ulps);
    return s;
}

struct CheckRun : Host {
    unsigned passed, failed;
    bool input_error;
};

static void check_line(CheckRun *run, const Place &place, const std::string &line)
{
    size_t start;
    Formula formula;
    switch (read_formula(run, place, line, &start, &formula)) {
    case LINE_SKIPPED:
        return;
    case LINE_BAD_DIRECTIVE:
        run->input_error = true;
        return;
    case LINE_BAD_FORMULA:
        run->failed++;
        run->input_error = true;
        return;
    case LINE_FORMULA:
        break;
    }
    SourceError error;
    Expected expected;
    size_t arrow = skip_blanks(line, formula.end);
    bool has_arrow = line.compare(arrow, 2, "=>") == 0;
    if (!has_arrow) {
        error.offset = arrow;
        error.message = "'=>' expected after the formula";
    }
    // A missing '=>' or a bad expected value is an input error like a bad argument.
    std::string source;
    Result result;
    EvalStatus status = EVAL_INPUT_ERROR;
    if (has_arrow && parse_expected(line, arrow + 2, &expected, &error))
        status = evaluate_formula(*run, place, line, start, formula, &source, &result, &error);
    if (status == EVAL_INPUT_ERROR) {
        report(place, line, error);
        run->failed++;
        run->input_error = true;
        return;
    }
    std::string context = where(place) + ": " + source;
    if (status != EVAL_OK) {
        say(stdout, context + ": " + error.message + "\n");
        run->failed++;
        return;
    }
    if (matches(result, expected)) {
        run->passed++;
        return;
    }
    say(stdout, context + ": got " + result_text(result, true) + ", expected " + expected_text(expected) + "\n");
    run->failed++;
}

static int run_check(const Options &o)
{
    if (o.operands.empty())
        return usage_error("check needs at least one case file");
    CheckRun run;
    if (!open_library(o, &run.lib, &run.functions))
        return EXIT_USAGE;
    run.passed = run.failed = 0;
    run.input_error = false;
    for (const std::string &file : o.operands) {
        auto line_fn = [&run](const Place &place, const std::string &line) { check_line(&run, place, line); };
        if (!read_lines(&run, o, file, line_fn))
            run.input_error = true;
    }
    say(stdout, std::to_string(run.passed) + " passed, " + std::to_string(run.failed) + " failed\n");
    if (run.input_error)
        return EXIT_USAGE;
    return run.failed ? EXIT_FAILED : EXIT_OK;
}

int main(int argc, char **argv)
{
    setup_streams();
    install_crash_report();
    std::vector<std::string> args = program_arguments(argc, argv);
    Options o;
    int status = parse_options(args, &o);
    if (status >= 0)
        return status;
    if (o.command.empty())
        return usage_error("no command given: list, eval or check");
    if (o.command == "help") {
        say(stdout, help_text);
        return EXIT_OK;
    }
    bool is_eval = o.command == "eval";
    if (!is_eval && (!o.inputs.empty() || !o.output.empty() || o.settings.dump_blocks))
        return usage_error("-f, --output and --dump-blocks belong to eval");
    if (o.command == "list") {
        if (!o.operands.empty())
            return usage_error("list takes no arguments");
        return run_list(o);
    }
    if (is_eval)
        return run_eval(o);
    if (o.command == "check")
        return run_check(o);
    return usage_error("unknown command \"" + o.command + "\": list, eval or check");
}
