// What every command does with its input: opening the library, reading
// files line by line, directives, formulas, and naming the place of an error.
#ifndef QUOREL_HOST_INPUT_H
#define QUOREL_HOST_INPUT_H

#include "catalogue.h"
#include "eval.h"
#include "formula.h"
#include "options.h"

#include <functional>
#include <string>
#include <vector>

// Where a line comes from.
struct Place {
    std::string file;     // empty for a command-line formula
    unsigned number;      // line number, or formula number on the command line
};

// "FILE:LINE" or "formula K"; given an offset into the line, with its column:
// "FILE:LINE:COLUMN" or "formula K, column C".
std::string where(const Place &place, const std::string &line = std::string(), size_t offset = std::string::npos);

// A file as messages name it: "(standard input)" for "-".
std::string file_name(const std::string &path);

// "WHERE: MESSAGE" on stderr.
void report(const Place &place, const std::string &line, const SourceError &error);

// The library, its catalogue, and the settings of the input being read.
struct Host {
    Library lib;
    std::vector<Function> functions;
    Settings settings;
};

// Opens the library of --lib, of QUOREL_LIB, or else the one of the tool's
// own package; with functions, also reads its catalogue. False, reported,
// when there is none or it cannot be loaded.
bool open_library(const Options &o, Library *lib, std::vector<Function> *functions);

// Every input (a file, or a run of formulas on the command line) starts from
// the command line's settings and language.
void start_input(Host *host, const Options &o);

// Hands every line of the file ("-": standard input) to line_fn(place, line),
// the file starting from the command line's settings. False, reported, when
// the file cannot be read.
typedef std::function<void(const Place &place, const std::string &line)> LineFn;
bool read_lines(Host *host, const Options &o, const std::string &file, const LineFn &line_fn);

enum LineKind { LINE_SKIPPED, LINE_FORMULA, LINE_BAD_DIRECTIVE, LINE_BAD_FORMULA };

// Skips blank and comment lines and applies directives; any other line must
// start with a formula, parsed into *formula from *start on. Errors are
// reported here.
LineKind read_formula(Host *host, const Place &place, const std::string &line, size_t *start, Formula *formula);

// Calls the formula's function; *source is the formula as written. A crash
// report names it as "PLACE: SOURCE".
EvalStatus evaluate_formula(const Host &host, const Place &place, const std::string &line, size_t start,
                            const Formula &formula, std::string *source, Result *result, SourceError *error);

#endif
