// Calling a sheet function. Result storage sits inside a guarded area filled
// with a marker pattern, so a result that is not written, a text without a
// NUL inside its 256 bytes, and a write past the buffer are all caught.
#include "eval.h"

#include "platform.h"
#include "text.h"

#include <stdio.h>
#include <string.h>

static const char *argument_kind(const Arg &arg)
{
    switch (arg.kind) {
    case VALUE_NUMBER: return "a number";
    case VALUE_TEXT: return "a text";
    case VALUE_ERROR: return "an error marker";
    case VALUE_REFERENCE: return "a cell reference";
    case VALUE_CALL: return "a call";
    default: return arg.placed ? "a range" : "an array";
    }
}

static std::string display_name(const Function &f, const std::string &typed)
{
    return typed + " (" + f.internal_name + ")";
}

// A DoubleArray (double_array true) or CellArray block from an array argument
// or from a scalar (a 1x1 range). The first corner is the origin and the cells
// fill the rectangle from there, unless the argument is a sheet's range with
// corners and cell positions of its own. Each entry carries its cell's column,
// row and sheet.
static bool build_block(const Arg &arg, bool double_array, Layout layout, Origin origin, Bytes *block,
                        SourceError *error)
{
    const Value *cells = &arg.scalar;
    unsigned rows = 1, cols = 1, count = 1;
    if (arg.kind == VALUE_ARRAY) {
        cells = arg.cells.data();
        rows = arg.rows;
        cols = arg.cols;
        count = (unsigned)arg.cells.size();
    }
    if (count > MAX_BLOCK_ENTRIES)
        return fail(error, arg.offset, "range of more than 32767 cells");
    unsigned first_col = origin.col, first_row = origin.row, last_col, last_row;
    if (arg.placed) {
        first_col = arg.first.col;
        first_row = arg.first.row;
        last_col = arg.last.col;
        last_row = arg.last.row;
        if (last_col > 0xFFFF || last_row > 0xFFFF)
            return fail(error, arg.offset, "range reaches past column or row 65535, beyond a range block");
    } else {
        // An empty array {} is a block of count 0 whose corners both lie at the origin.
        last_col = origin.col + (cols ? cols - 1 : 0);
        last_row = origin.row + (rows ? rows - 1 : 0);
        if (last_col > 0xFFFF || last_row > 0xFFFF)
            return fail(error, arg.offset, "range reaches past column or row 65535 from the origin");
    }

    block->clear();
    put_header(block, first_col, first_row, last_col, last_row, origin.sheet, count);
    for (unsigned i = 0; i < count; i++) {
        const Value &cell = cells[i];
        unsigned col = arg.placed ? arg.positions[i].col : origin.col + i % cols;
        unsigned row = arg.placed ? arg.positions[i].row : origin.row + i / cols;
        unsigned error_word = cell.kind == VALUE_ERROR ? cell.error : 0;
        double number = cell.kind == VALUE_NUMBER ? cell.number : 0.0;
        if (cell.kind == VALUE_TEXT && double_array)
            return fail(error, cell.offset, "text cell in a range of numbers");
        if (double_array)
            put_double_entry(block, col, row, origin.sheet, error_word, number);
        else if (cell.kind != VALUE_TEXT)
            put_number_cell(block, col, row, origin.sheet, error_word, number);
        else if (!put_text_cell(block, col, row, origin.sheet, cell.text, layout))
            return fail(error, cell.offset, "text cell too long for a 16-bit len in this layout");
    }
    return true;
}

static void dump_block(unsigned argument, int type, const Bytes &block)
{
    static const char hex[] = "0123456789abcdef";
    std::string line = "block " + std::to_string(argument) + " " +
                       (type == QR_ARG_DOUBLE_ARRAY ? "DoubleArray" : "CellArray") + " " +
                       std::to_string(block.size()) + ":";
    for (unsigned char b : block) {
        line += ' ';
        line += hex[b >> 4];
        line += hex[b & 15];
    }
    line += '\n';
    fwrite(line.data(), 1, line.size(), stdout);
}

typedef void *P;
typedef void(QR_CALL *Call1)(P);
typedef void(QR_CALL *Call2)(P, P);
typedef void(QR_CALL *Call3)(P, P, P);
typedef void(QR_CALL *Call4)(P, P, P, P);
typedef void(QR_CALL *Call5)(P, P, P, P, P);
typedef void(QR_CALL *Call6)(P, P, P, P, P, P);
typedef void(QR_CALL *Call7)(P, P, P, P, P, P, P);
typedef void(QR_CALL *Call8)(P, P, P, P, P, P, P, P);

void call_sheet_function(void *entry, unsigned count, void *const *a)
{
    switch (count) {
    case 1: ((Call1)entry)(a[0]); break;
    case 2: ((Call2)entry)(a[0], a[1]); break;
    case 3: ((Call3)entry)(a[0], a[1], a[2]); break;
    case 4: ((Call4)entry)(a[0], a[1], a[2], a[3]); break;
    case 5: ((Call5)entry)(a[0], a[1], a[2], a[3], a[4]); break;
    case 6: ((Call6)entry)(a[0], a[1], a[2], a[3], a[4], a[5]); break;
    case 7: ((Call7)entry)(a[0], a[1], a[2], a[3], a[4], a[5], a[6]); break;
    case 8: ((Call8)entry)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    default: break;
    }
}

enum { GUARD_BYTES = 64, MARK = 0xA5 };

// A signalling NaN with a payload no computation produces: still there after
// the call means the number result was never written.
static const unsigned char untouched[sizeof(double)] = {0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xF7, 0x7F};

// A nested call evaluated into the scalar argument it gives its caller: a
// number or a text as its catalogue row says. A number where a text is
// expected goes as its text, as a sheet passes a cell's number. Blocks are
// dumped for the outermost call only.
static EvalStatus nested_call(const Library &lib, const std::vector<Function> &functions, const Arg &given,
                              int type, const Settings &settings, const char *context, Arg *out,
                              SourceError *error)
{
    Settings inner = settings;
    inner.dump_blocks = false;
    Result value;
    EvalStatus status = evaluate(lib, functions, given.call[0], inner, context, &value, error);
    if (status != EVAL_OK)
        return status;
    *out = Arg();
    out->offset = out->scalar.offset = given.offset;
    out->end = given.end;
    out->kind = out->scalar.kind = value.is_text ? VALUE_TEXT : VALUE_NUMBER;
    out->scalar.number = value.number;
    out->scalar.text = value.text;
    if (type == QR_ARG_STRING && !value.is_text) {
        out->kind = out->scalar.kind = VALUE_TEXT;
        out->scalar.text = format_number(value.number, settings.text_decimal);
    }
    return EVAL_OK;
}

EvalStatus evaluate(const Library &lib, const std::vector<Function> &functions, const Formula &formula,
                    const Settings &settings, const char *context, Result *result, SourceError *error)
{
    std::string name;
    size_t bad = 0;
    unsigned long cp = 0;
    const Function *f = nullptr;
    if (utf8_to_latin1(formula.name.data(), formula.name.size(), &name, &bad, &cp) == UTF8_OK)
        f = catalogue_find(functions, name);
    error->offset = formula.name_offset;
    if (!f) {
        error->message = "unknown function " + quoted_excerpt(formula.name);
        return EVAL_NAME_ERROR;
    }
    if (!f->usable) {
        error->message = "function " + display_name(*f, formula.name) + " has a catalogue row this tool cannot call";
        return EVAL_NAME_ERROR;
    }
    unsigned params = f->count - 1;
    if (formula.args.size() != params) {
        error->message = formula.name + " takes " + std::to_string(params) +
                         (params == 1 ? " argument, " : " arguments, ") + std::to_string(formula.args.size()) +
                         (formula.args.size() == 1 ? " was given" : " were given");
        return EVAL_INPUT_ERROR;
    }

    // Argument storage: doubles, NUL-terminated texts and blocks, owned here
    // for the duration of the call.
    std::vector<double> numbers(params);
    std::vector<std::string> texts(params);
    std::vector<Bytes> blocks(params);
    std::vector<Arg> results; // of nested calls, as scalar arguments
    void *pointers[MAX_TYPES];
    for (unsigned k = 0; k < params; k++) {
        int type = f->types[k + 1];
        const Arg *given = &formula.args[k];
        std::string result_of;
        if (given->kind == VALUE_CALL) {
            result_of = " (the result of " + given->call[0].name + ")";
            results.resize(params);
            EvalStatus status = nested_call(lib, functions, *given, type, settings, context, &results[k], error);
            if (status != EVAL_OK)
                return status;
            given = &results[k];
        }
        const Arg &arg = *given;
        // A range parameter takes any argument but a cell reference (a sheet
        // resolves those before the call), so only a number or a text is refused.
        bool fits = type == QR_ARG_NUMBER ? arg.kind == VALUE_NUMBER
                  : type == QR_ARG_STRING ? arg.kind == VALUE_TEXT
                                          : arg.kind != VALUE_REFERENCE;
        if (!fits) {
            error->offset = arg.offset;
            error->message = "argument " + std::to_string(k + 1) + " of " + formula.name + " must be " +
                             (type == QR_ARG_NUMBER ? "a number" : type == QR_ARG_STRING ? "a text" : "a range") +
                             ", not " + argument_kind(arg) + result_of;
            return EVAL_INPUT_ERROR;
        }
        if (type == QR_ARG_NUMBER) {
            numbers[k] = arg.scalar.number;
            pointers[k + 1] = &numbers[k];
        } else if (type == QR_ARG_STRING) {
            texts[k] = arg.scalar.text;
            pointers[k + 1] = &texts[k][0]; // c_str's buffer: NUL-terminated, writable
        } else {
            if (!build_block(arg, type == QR_ARG_DOUBLE_ARRAY, settings.layout, settings.origin, &blocks[k], error)) {
                error->message = "argument " + std::to_string(k + 1) + " of " + formula.name + ": " + error->message;
                return EVAL_INPUT_ERROR;
            }
            pointers[k + 1] = blocks[k].data();
        }
    }
    if (settings.dump_blocks) {
        for (unsigned k = 0; k < params; k++)
            if (f->types[k + 1] == QR_ARG_DOUBLE_ARRAY || f->types[k + 1] == QR_ARG_CELL_ARRAY)
                dump_block(k + 1, f->types[k + 1], blocks[k]);
        return EVAL_DUMPED;
    }
    if (!f->entry) {
        error->message = display_name(*f, formula.name) + " is not available in " + lib.path;
        return EVAL_UNAVAILABLE;
    }

    // The result: 256 bytes for a text, 8 for a number, guard bytes behind.
    bool text_result = f->types[0] == QR_ARG_STRING;
    size_t size = text_result ? (size_t)QR_TEXT_SIZE : sizeof(double);
    union {
        double align;
        unsigned char bytes[QR_TEXT_SIZE + GUARD_BYTES];
    } area;
    memset(area.bytes, MARK, sizeof area.bytes);
    if (!text_result)
        memcpy(area.bytes, untouched, sizeof untouched);
    pointers[0] = area.bytes;

    crash_report_context(context);
    call_sheet_function(f->entry, f->count, pointers);
    crash_report_context(nullptr);

    for (size_t i = size; i < sizeof area.bytes; i++)
        if (area.bytes[i] != MARK) {
            error->message = display_name(*f, formula.name) + " wrote past its " + std::to_string(size) +
                             "-byte result";
            return EVAL_LIBRARY_FAULT;
        }
    result->is_text = text_result;
    if (text_result) {
        const void *nul = memchr(area.bytes, 0, QR_TEXT_SIZE);
        if (!nul) {
            error->message = display_name(*f, formula.name) + " left its 256-byte result text without a NUL";
            return EVAL_LIBRARY_FAULT;
        }
        result->text.assign((const char *)area.bytes, (size_t)((const unsigned char *)nul - area.bytes));
    } else {
        if (memcmp(area.bytes, untouched, sizeof untouched) == 0) {
            error->message = display_name(*f, formula.name) + " did not write its result";
            return EVAL_LIBRARY_FAULT;
        }
        memcpy(&result->number, area.bytes, sizeof(double));
    }
    return EVAL_OK;
}

std::string quote_text(const std::string &utf8)
{
    std::string out = "\"";
    for (char c : utf8) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

std::string result_text(const Result &result, bool quoted)
{
    if (!result.is_text)
        return format_number(result.number);
    std::string utf8 = latin1_to_utf8(result.text);
    return quoted ? quote_text(utf8) : utf8;
}
