// One formula evaluated as a spreadsheet host would: look the name up in the
// catalogue, check the arguments against the parameter types, build the
// pointers and range blocks, call, and check the result buffer afterwards.
#ifndef QUOREL_HOST_EVAL_H
#define QUOREL_HOST_EVAL_H

#include "catalogue.h"
#include "formula.h"
#include "range_block.h"

// The first corner of every range block built from an argument.
struct Origin {
    unsigned col, row, sheet; // 0 to 65535 each
};

struct Settings {
    Layout layout;
    Origin origin;
    bool dump_blocks; // print the blocks in hex instead of calling
    // The decimal separator of a nested call's number result passed where a
    // text is expected (as a cell's number is passed in a sheet).
    char text_decimal;
};

struct Result {
    bool is_text = false;
    double number = 0;
    std::string text; // ISO 8859-1
};

enum EvalStatus {
    EVAL_OK,
    EVAL_DUMPED,        // --dump-blocks: blocks printed, nothing called
    EVAL_INPUT_ERROR,   // wrong arguments: error has offset and message
    EVAL_NAME_ERROR,    // unknown function or one this tool cannot call: the same
    EVAL_UNAVAILABLE,   // in the catalogue, not exported by the library: message only
    EVAL_LIBRARY_FAULT, // the library broke the result convention: message only
};

// context names the formula for a crash report (kept until the next call).
// Nested calls are evaluated first, innermost first and left to right; the
// first that fails stops the formula with its own status and error.
EvalStatus evaluate(const Library &lib, const std::vector<Function> &functions, const Formula &formula,
                    const Settings &settings, const char *context, Result *result, SourceError *error);

// Text of a result: numbers shortest round-trip, texts in UTF-8 (quoted as a
// case-file literal when quoted is true).
std::string result_text(const Result &result, bool quoted);
std::string quote_text(const std::string &utf8);

#endif
