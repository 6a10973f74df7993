// The command line of quorel-host: options, the inputs of each command, exit
// statuses and messages to the user.
#ifndef QUOREL_HOST_OPTIONS_H
#define QUOREL_HOST_OPTIONS_H

#include "eval.h"

#include <stdio.h>

#include <string>
#include <vector>

enum { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

// eval's inputs in command-line order: a formula, or a file given with -f.
struct EvalInput {
    bool is_file;
    std::string text; // the formula, or the file's path
};

struct Options {
    std::string command;
    std::string lib;
    bool has_lib = false;
    bool has_lang = false;
    bool host_locale_set = false; // --host-locale set: setlocale(LC_ALL, "") first
    unsigned lang = 0;
    Settings settings = {LAYOUT_PADDED, {0, 0, 0}, false, '.'};
    std::string output; // "", "value", "case"
    char delimiter = 0; // sheet: ',', ';' or '\t'; 0 follows the sheet's decimal separator
    std::vector<EvalInput> inputs;
    std::vector<std::string> operands; // every other command's arguments
};

// Parses args (args[0] is the program). Returns -1 to go on, otherwise the exit
// status (after --help or --version, or a usage error already reported).
int parse_options(const std::vector<std::string> &args, Options *o);

// Values of --lang / @language, --layout / @layout and --origin / @origin.
bool parse_language(const std::string &text, unsigned *code);
bool parse_layout(const std::string &word, Layout *layout);
bool parse_origin(const std::string &text, Origin *origin);

// Writes text at once (no buffering across the library's calls).
void say(FILE *stream, const std::string &text);

// "quorel-host: MESSAGE (see quorel-host --help)" on stderr; EXIT_USAGE.
int usage_error(const std::string &message);

#endif
