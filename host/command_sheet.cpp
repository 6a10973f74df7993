// quorel-host sheet: a CSV sheet of numbers, texts and formulas, evaluated in
// dependency order as a spreadsheet would and written back as CSV.
//
// Every formula cell is parsed once; its references, at any depth of nested
// calls, give the formula cells it depends on. Tarjan's algorithm over that
// graph yields the strongly connected components with every component's
// dependencies before it, so each cell is evaluated as its component comes
// out, and a component of more than one cell (or a cell that refers to
// itself) is a cycle. References are then resolved into ordinary arguments
// (a cell's value, or a range's non-empty cells with their positions), each
// for the parameter of the call it stands in, and the call goes through
// evaluate(), which evaluates nested calls and builds the blocks as for any
// other formula. A formula that is a single reference takes the cell's value.
#include "commands.h"

#include "csv.h"
#include "input.h"
#include "platform.h"
#include "text.h"

#include <locale.h>

#include <algorithm>

// CELL_BROKEN: a field the CSV reader could only read with a fault (#SYNTAX!).
enum CellKind { CELL_EMPTY, CELL_NUMBER, CELL_TEXT, CELL_FORMULA, CELL_BROKEN };

// What a cell in error shows, and the error word its entry carries when a
// range holds it. A cell whose arguments are in error takes the first one's
// error, as spreadsheets pass errors on.
enum SheetError { SHEET_OK, SHEET_SYNTAX, SHEET_NAME, SHEET_VALUE, SHEET_REF, SHEET_CYCLE, SHEET_FAULT };
static const char *const error_values[] = {"", "#SYNTAX!", "#NAME?", "#VALUE!", "#REF!", "#CYCLE!", "#FAULT!"};

static const unsigned NO_FORMULA = ~0u;

// Why a text cell cannot be an argument.
enum TextProblem { TEXT_OK, TEXT_NOT_LATIN1, TEXT_TOO_LONG };

struct SheetCell {
    CellKind kind = CELL_EMPTY;
    Value value;            // the constant, or the formula's result; VALUE_ERROR holds a SheetError
    TextProblem problem = TEXT_OK;
    unsigned formula = NO_FORMULA;
};

struct SheetFormula {
    CellPosition at;
    std::string text;       // the field, from its '='
    Arg expression;         // a call (VALUE_CALL), a reference, a number or a text
    SheetError error = SHEET_OK; // a formula that does not parse
    SourceError where;
    std::vector<unsigned> depends_on; // formula indices
};

struct Sheet : Host {
    std::string file;
    FormulaSyntax syntax;
    char delimiter = ',';
    CsvTable csv;
    std::vector<std::vector<SheetCell>> cells; // row by row, as long as the CSV record
    std::vector<SheetFormula> formulas;
    std::vector<std::pair<CellPosition, std::string>> messages;
    bool input_error = false, library_fault = false;
    bool warned_cut = false;
};

static SheetCell *cell_at(Sheet *s, CellPosition p)
{
    if (p.row >= s->cells.size() || p.col >= s->cells[p.row].size())
        return nullptr;
    return &s->cells[p.row][p.col];
}

// Messages name the cell, and the character in its formula where one is
// known. They are kept and printed in the sheet's order at the end.
static void cell_message(Sheet *s, CellPosition at, const std::string &message)
{
    s->messages.push_back({at, s->file + ": " + cell_name(at) + ": " + message + "\n"});
}

static void sheet_message(Sheet *s, const SheetFormula &f, size_t offset, const std::string &message)
{
    std::string place = s->file + ": " + cell_name(f.at);
    if (offset != std::string::npos)
        place += ", character " + std::to_string(utf8_column(f.text, offset));
    s->messages.push_back({f.at, place + ": " + message + "\n"});
}

// Row by row; a sheet that goes wrong everywhere gets the first hundred and a count.
static void print_messages(Sheet *s)
{
    std::stable_sort(s->messages.begin(), s->messages.end(), [](const auto &a, const auto &b) {
        return a.first.row != b.first.row ? a.first.row < b.first.row : a.first.col < b.first.col;
    });
    std::string text;
    for (size_t i = 0; i < s->messages.size() && i < 100; i++)
        text += s->messages[i].second;
    if (s->messages.size() > 100)
        text += s->file + ": " + std::to_string(s->messages.size() - 100) + " more messages\n";
    say(stderr, text);
}

static void set_error(Sheet *s, const SheetFormula &f, SheetError error)
{
    SheetCell &cell = s->cells[f.at.row][f.at.col];
    cell.value = Value();
    cell.value.kind = VALUE_ERROR;
    cell.value.error = error;
    if (error == SHEET_FAULT)
        s->library_fault = true;
    else
        s->input_error = true;
}

// Numbers as the sheet writes them: shortest round trip, its decimal separator.
static std::string sheet_number(const Sheet &s, double x) { return format_number(x, s.syntax.decimal); }

// The rectangle of a reference, top left first, cut to the cells that exist.
struct Rectangle {
    CellPosition first, last;
};

static Rectangle rectangle(const Arg &arg)
{
    Rectangle r;
    r.first.col = arg.first.col < arg.last.col ? arg.first.col : arg.last.col;
    r.first.row = arg.first.row < arg.last.row ? arg.first.row : arg.last.row;
    r.last.col = arg.first.col < arg.last.col ? arg.last.col : arg.first.col;
    r.last.row = arg.first.row < arg.last.row ? arg.last.row : arg.first.row;
    return r;
}

// Calls cell_fn(position, cell) for every non-empty cell of the rectangle, row by row.
template <typename CellFn> static void each_cell(Sheet *s, const Rectangle &r, CellFn cell_fn)
{
    for (unsigned row = r.first.row; row <= r.last.row && row < s->cells.size(); row++) {
        std::vector<SheetCell> &line = s->cells[row];
        for (unsigned col = r.first.col; col <= r.last.col && col < line.size(); col++)
            if (line[col].kind != CELL_EMPTY)
                cell_fn(CellPosition{col, row}, line[col]);
    }
}

// A field: empty, a number in the sheet's syntax, '=' and a formula, or a
// text. A leading apostrophe makes the rest a text whatever it looks like.
static void read_cell(Sheet *s, CellPosition at, const std::string &field, SheetCell *cell)
{
    size_t first = skip_blanks(field, 0), last = field.size();
    while (last > first && (field[last - 1] == ' ' || field[last - 1] == '\t'))
        last--;
    if (first == last)
        return;
    size_t bad = 0;
    unsigned long code_point = 0;
    if (field[first] == '=') {
        cell->kind = CELL_FORMULA;
        cell->formula = (unsigned)s->formulas.size();
        SheetFormula f;
        f.at = at;
        f.text = field.substr(first, last - first);
        s->formulas.push_back(std::move(f));
        return;
    }
    double number = 0;
    bool forced_text = field[first] == '\'';
    if (!forced_text &&
        parse_number_with(field.data() + first, field.data() + last, s->syntax.decimal, &number) == NUMBER_OK) {
        cell->kind = CELL_NUMBER;
        cell->value.kind = VALUE_NUMBER;
        cell->value.number = number;
        return;
    }
    cell->kind = CELL_TEXT;
    cell->value.kind = VALUE_TEXT;
    std::string text = forced_text ? field.substr(first + 1) : field;
    if (utf8_to_latin1(text.data(), text.size(), &cell->value.text, &bad, &code_point) != UTF8_OK)
        cell->problem = TEXT_NOT_LATIN1;
    else if (cell->value.text.size() > MAX_TEXT_BYTES)
        cell->problem = TEXT_TOO_LONG;
}

static std::string text_problem(CellPosition p, TextProblem problem)
{
    return cell_name(p) + (problem == TEXT_TOO_LONG ? " holds a text longer than the 65534 bytes a host passes"
                                                    : " holds a text that ISO 8859-1 cannot hold");
}

// Calls ref_fn(reference) for every reference of the expression, at any depth.
template <typename RefFn> static void each_reference(const Arg &arg, RefFn ref_fn)
{
    if (arg.kind == VALUE_REFERENCE)
        ref_fn(arg);
    if (arg.kind == VALUE_CALL)
        for (const Arg &inner : arg.call[0].args)
            each_reference(inner, ref_fn);
}

// A formula that stops short at the end of its field while the record goes
// on was most likely cut at the delimiter: said once, with the fix.
static void warn_if_cut(Sheet *s, const SheetFormula &f)
{
    if (s->warned_cut || f.where.offset < f.text.size() || f.at.col + 1 >= s->cells[f.at.row].size())
        return;
    s->warned_cut = true;
    std::string d = s->delimiter == '\t' ? "tab" : std::string("'") + s->delimiter + "'";
    say(stderr, "quorel-host: warning: " + s->file + ": " + cell_name(f.at) + ": the formula stops at the field " +
                    "delimiter " + d + " before it is complete: a field whose formula holds the delimiter must be " +
                    "in double quotes, or choose another --delimiter\n");
}

// Parses the formula and lists the formula cells it refers to.
static void prepare_formula(Sheet *s, unsigned index)
{
    SheetFormula &f = s->formulas[index];
    if (!parse_cell_formula(f.text, 1, s->syntax, &f.expression, &f.where)) {
        f.error = SHEET_SYNTAX;
        warn_if_cut(s, f);
        return;
    }
    // A trailing "=> VALUE" is what --output case writes; it is ignored.
    size_t rest = skip_blanks(f.text, f.expression.end);
    if (rest < f.text.size() && f.text.compare(rest, 2, "=>") != 0) {
        f.error = SHEET_SYNTAX;
        f.where.offset = rest;
        f.where.message = unexpected_after_formula(f.text, rest);
        return;
    }
    each_reference(f.expression, [&](const Arg &arg) {
        each_cell(s, rectangle(arg), [&](CellPosition, const SheetCell &cell) {
            if (cell.kind == CELL_FORMULA)
                f.depends_on.push_back(cell.formula);
        });
    });
}

// The reference as the formula writes it, for messages.
static std::string reference_text(const SheetFormula &f, const Arg &arg)
{
    return f.text.substr(arg.offset, arg.end - arg.offset);
}

// The value of a single cell for a number or text (type) parameter, or for
// the whole formula (type -1). False, the formula's error set and reported,
// when it cannot be; argument names the place in the message.
static bool cell_value(Sheet *s, const SheetFormula &f, const std::string &argument, int type, Arg *arg)
{
    const SheetCell *cell = cell_at(s, arg->first);
    std::string ref = cell_name(arg->first);
    if (!cell || cell->kind == CELL_EMPTY) {
        sheet_message(s, f, arg->offset, argument + " refers to " + ref + ", which is empty");
        set_error(s, f, SHEET_REF);
        return false;
    }
    if (cell->value.kind == VALUE_ERROR) {
        sheet_message(s, f, arg->offset,
                      argument + " refers to " + ref + ", which is in error (" + error_values[cell->value.error] + ")");
        set_error(s, f, (SheetError)cell->value.error);
        return false;
    }
    if (cell->value.kind == VALUE_TEXT && cell->problem != TEXT_OK) {
        sheet_message(s, f, arg->offset, argument + ": " + text_problem(arg->first, cell->problem));
        set_error(s, f, SHEET_VALUE);
        return false;
    }
    arg->scalar = cell->value;
    arg->scalar.offset = arg->offset;
    // A number where a text is expected goes as its text, so that a complex
    // function takes a real number from a cell.
    if (type == QR_ARG_STRING && cell->value.kind == VALUE_NUMBER) {
        arg->scalar.kind = VALUE_TEXT;
        arg->scalar.text = sheet_number(*s, cell->value.number);
    }
    arg->kind = arg->scalar.kind;
    return true;
}

// Turns a reference argument into what evaluate() takes for parameter k of
// this call. False, the cell's error set and reported, when it cannot.
static bool resolve(Sheet *s, const SheetFormula &f, const Formula &call, unsigned k, int type, Arg *arg)
{
    std::string argument = "argument " + std::to_string(k + 1) + " of " + call.name;
    Rectangle r = rectangle(*arg);
    if (type == QR_ARG_DOUBLE_ARRAY || type == QR_ARG_CELL_ARRAY) {
        if (r.last.col > 0xFFFF || r.last.row > 0xFFFF) {
            sheet_message(s, f, arg->offset, argument + ": " + reference_text(f, *arg) +
                                                 " reaches past column or row 65536, beyond what a range block holds");
            set_error(s, f, SHEET_REF);
            return false;
        }
        // The block lists the range's non-empty cells, each where it stands;
        // its corners are the range's as written.
        std::vector<Value> cells;
        std::vector<CellPosition> positions;
        bool too_many = false;
        std::string problem;
        each_cell(s, r, [&](CellPosition p, const SheetCell &cell) {
            if (cells.size() >= MAX_BLOCK_ENTRIES) {
                too_many = true;
                return;
            }
            if (problem.empty() && cell.value.kind == VALUE_TEXT && type == QR_ARG_DOUBLE_ARRAY)
                problem = cell_name(p) + " holds a text, in a range of numbers";
            if (problem.empty() && cell.value.kind == VALUE_TEXT && cell.problem != TEXT_OK)
                problem = text_problem(p, cell.problem);
            cells.push_back(cell.value);
            cells.back().offset = arg->offset;
            positions.push_back(p);
        });
        if (too_many)
            problem = reference_text(f, *arg) + " holds more than 32767 cells, more than a range block holds";
        if (!problem.empty()) {
            sheet_message(s, f, arg->offset, argument + ": " + problem);
            set_error(s, f, SHEET_VALUE);
            return false;
        }
        arg->placed = true;
        arg->first = r.first;
        arg->last = r.last;
        if (!arg->is_range && cells.size() == 1) {
            arg->kind = cells[0].kind;
            arg->scalar = cells[0];
        } else {
            arg->kind = VALUE_ARRAY;
            arg->cells = std::move(cells);
        }
        arg->positions = std::move(positions);
        return true;
    }
    if (arg->is_range) {
        sheet_message(s, f, arg->offset, argument + " must be " + (type == QR_ARG_NUMBER ? "a number" : "a text") +
                                             ", not the range " + reference_text(f, *arg));
        set_error(s, f, SHEET_VALUE);
        return false;
    }
    return cell_value(s, f, argument, type, arg);
}

static const Function *find_function(const Sheet &s, const std::string &utf8_name)
{
    std::string name;
    size_t bad = 0;
    unsigned long code_point = 0;
    if (utf8_to_latin1(utf8_name.data(), utf8_name.size(), &name, &bad, &code_point) != UTF8_OK)
        return nullptr;
    return catalogue_find(s.functions, name);
}

// Resolves the references of a call and of the calls nested in it, each for
// the parameter it stands for. Where the function is unknown or the count of
// arguments wrong, its references stay: evaluate() reports that call.
static bool resolve_call(Sheet *s, const SheetFormula &f, Formula *call)
{
    const Function *function = find_function(*s, call->name);
    bool typed = function && function->usable && call->args.size() + 1 == function->count;
    for (unsigned k = 0; k < call->args.size(); k++) {
        Arg &arg = call->args[k];
        if (arg.kind == VALUE_CALL && !resolve_call(s, f, &arg.call[0]))
            return false;
        if (arg.kind == VALUE_REFERENCE && typed && !resolve(s, f, *call, k, function->types[k + 1], &arg))
            return false;
    }
    return true;
}

// The reference of the expression that starts at offset, if any: an input
// error there names it.
static const Arg *reference_at(const Arg &expression, size_t offset)
{
    const Arg *found = nullptr;
    each_reference(expression, [&](const Arg &arg) {
        if (arg.offset == offset)
            found = &arg;
    });
    return found;
}

static void store_value(Sheet *s, const SheetFormula &f, const Value &value)
{
    SheetCell &cell = s->cells[f.at.row][f.at.col];
    cell.value = value;
    cell.value.offset = 0;
}

static void evaluate_cell(Sheet *s, unsigned index)
{
    const SheetFormula &f = s->formulas[index];
    if (f.error != SHEET_OK) {
        sheet_message(s, f, f.where.offset, f.where.message);
        set_error(s, f, f.error);
        return;
    }
    Arg expression = f.expression;
    if (expression.kind == VALUE_REFERENCE) {
        if (expression.is_range) {
            sheet_message(s, f, expression.offset, "the range " + reference_text(f, expression) +
                                                        " cannot be a cell's value; pass it to a function");
            set_error(s, f, SHEET_VALUE);
        } else if (cell_value(s, f, "the formula", -1, &expression)) {
            store_value(s, f, expression.scalar);
        }
        return;
    }
    if (expression.kind != VALUE_CALL) {
        store_value(s, f, expression.scalar);
        return;
    }
    Formula &call = expression.call[0];
    if (!resolve_call(s, f, &call))
        return;

    Result result;
    SourceError error;
    std::string context = s->file + ": " + cell_name(f.at) + ": " + f.text;
    EvalStatus status = evaluate(s->lib, s->functions, call, s->settings, context.c_str(), &result, &error);
    SheetCell &cell = s->cells[f.at.row][f.at.col];
    switch (status) {
    case EVAL_OK:
    case EVAL_DUMPED:
        cell.value = Value();
        cell.value.kind = result.is_text ? VALUE_TEXT : VALUE_NUMBER;
        cell.value.number = result.number;
        cell.value.text = result.text;
        return;
    case EVAL_INPUT_ERROR:
    case EVAL_NAME_ERROR:
        if (const Arg *reference = reference_at(f.expression, error.offset))
            error.message += " (from " + reference_text(f, *reference) + ")";
        sheet_message(s, f, error.offset, error.message);
        set_error(s, f, status == EVAL_NAME_ERROR ? SHEET_NAME : SHEET_VALUE);
        return;
    case EVAL_UNAVAILABLE:
        sheet_message(s, f, std::string::npos, error.message);
        set_error(s, f, SHEET_NAME);
        return;
    case EVAL_LIBRARY_FAULT:
        sheet_message(s, f, std::string::npos, error.message);
        set_error(s, f, SHEET_FAULT);
        return;
    }
}

// Progress on stderr once a sheet has this many formulas: a bar redrawn in
// place on a terminal, otherwise a line at every tenth.
enum { PROGRESS_FROM = 10000 };

struct Progress {
    size_t total = 0, done = 0;
    bool shown = false, terminal = false;
    unsigned last = 0; // percent on a terminal, tenths otherwise
};

static void progress_step(const Sheet &s, Progress *p)
{
    p->done++;
    if (!p->shown)
        return;
    unsigned percent = (unsigned)(p->done * 100 / p->total);
    std::string counts = std::to_string(p->done) + " of " + std::to_string(p->total) + " formulas";
    if (p->terminal) {
        if (percent == p->last && p->done != p->total)
            return;
        p->last = percent;
        std::string bar(40, ' ');
        for (unsigned i = 0; i < percent * 40 / 100; i++)
            bar[i] = '#';
        say(stderr, "\r[" + bar + "] " + std::to_string(percent) + "% " + counts + (p->done == p->total ? "\n" : ""));
    } else if (percent / 10 > p->last) {
        p->last = percent / 10;
        say(stderr, "quorel-host: " + s.file + ": " + std::to_string(p->last * 10) + "% (" + counts + ")\n");
    }
}

// Tarjan's strongly connected components without recursion (a chain of
// references may be as long as the sheet). Components come out dependencies
// first; each is evaluated, or marked as a cycle, as it comes out.
static void evaluate_all(Sheet *s)
{
    size_t n = s->formulas.size();
    std::vector<unsigned> index(n, NO_FORMULA), low(n, 0);
    std::vector<char> on_stack(n, 0);
    std::vector<unsigned> stack;
    struct Frame {
        unsigned node;
        size_t next;
    };
    std::vector<Frame> calls;
    unsigned counter = 0;
    Progress progress;
    progress.total = n;
    progress.shown = n >= PROGRESS_FROM;
    progress.terminal = progress.shown && stderr_is_terminal();

    for (unsigned root = 0; root < n; root++) {
        if (index[root] != NO_FORMULA)
            continue;
        index[root] = low[root] = counter++;
        stack.push_back(root);
        on_stack[root] = 1;
        calls.push_back(Frame{root, 0});
        while (!calls.empty()) {
            Frame &frame = calls.back();
            unsigned v = frame.node;
            const std::vector<unsigned> &deps = s->formulas[v].depends_on;
            if (frame.next < deps.size()) {
                unsigned w = deps[frame.next++];
                if (index[w] == NO_FORMULA) {
                    index[w] = low[w] = counter++;
                    stack.push_back(w);
                    on_stack[w] = 1;
                    calls.push_back(Frame{w, 0});
                } else if (on_stack[w] && index[w] < low[v]) {
                    low[v] = index[w];
                }
                continue;
            }
            calls.pop_back();
            if (!calls.empty() && low[v] < low[calls.back().node])
                low[calls.back().node] = low[v];
            if (low[v] != index[v])
                continue;
            size_t start = stack.size();
            do
                start--;
            while (stack[start] != v);
            bool self = false;
            for (unsigned w : deps)
                self = self || w == v;
            if (stack.size() - start == 1 && !self) {
                evaluate_cell(s, v);
            } else {
                // One message per cycle, at its first cell in the sheet's order.
                std::vector<unsigned> cycle(stack.begin() + (long)start, stack.end());
                std::sort(cycle.begin(), cycle.end()); // formulas are numbered row by row
                std::string members;
                for (size_t i = 0; i < cycle.size() && i < 8; i++)
                    members += (i == 0 ? "" : ", ") + cell_name(s->formulas[cycle[i]].at);
                if (cycle.size() > 8)
                    members += ", ... (" + std::to_string(cycle.size()) + " cells)";
                sheet_message(s, s->formulas[cycle[0]], std::string::npos, "circular reference among " + members);
                for (unsigned w : cycle)
                    set_error(s, s->formulas[w], SHEET_CYCLE);
            }
            for (size_t i = start; i < stack.size(); i++) {
                on_stack[stack[i]] = 0;
                progress_step(*s, &progress);
            }
            stack.resize(start);
        }
    }
}

static std::string cell_output(const Sheet &s, const SheetCell &cell, const std::string &field, bool with_formula)
{
    if (cell.kind == CELL_BROKEN)
        return error_values[SHEET_SYNTAX];
    if (cell.kind != CELL_FORMULA)
        return field;
    std::string value;
    switch (cell.value.kind) {
    case VALUE_NUMBER: value = sheet_number(s, cell.value.number); break;
    case VALUE_TEXT: value = latin1_to_utf8(cell.value.text); break;
    default: value = error_values[cell.value.error]; break;
    }
    if (!with_formula)
        return value;
    const SheetFormula &f = s.formulas[cell.formula];
    return (f.error == SHEET_OK ? f.text.substr(0, f.expression.end) : f.text) + " => " + value;
}

int run_sheet(const Options &o)
{
    if (o.operands.size() != 1)
        return usage_error("sheet needs one CSV file");
    Sheet s;
    s.file = o.operands[0];
    if (!open_library(o, &s.lib, &s.functions))
        return EXIT_USAGE;
    start_input(&s, o);
    // German sheets (German language, and a decimal comma in the numeric
    // locale that GetFunctionCount took from the environment) write numbers
    // with a decimal comma, so their arrays separate columns with '.' and
    // their fields with ';'.
    bool german = !o.has_lang || (o.lang & 0x3FF) == 7;
    const struct lconv *conventions = localeconv();
    if (german && conventions && conventions->decimal_point && conventions->decimal_point[0] == ',') {
        s.syntax.decimal = ',';
        s.syntax.array_column = '.';
        s.delimiter = ';';
    }
    s.syntax.references = true;
    s.settings.text_decimal = s.syntax.decimal;
    if (o.delimiter)
        s.delimiter = o.delimiter;
    if (s.delimiter == s.syntax.decimal)
        return usage_error(std::string("the delimiter '") + s.delimiter + "' is this sheet's decimal separator");
    // German asked for by name, but a locale that writes a decimal point: the
    // sheet is read in the English syntax, which a German sheet does not parse.
    if (o.has_lang && (o.lang & 0x3FF) == 7 && s.syntax.decimal != ',') {
        const char *numeric = setlocale(LC_NUMERIC, nullptr);
        say(stderr, "quorel-host: warning: --lang " + std::to_string(o.lang) + " is German, but the numeric locale \"" +
                        (numeric ? numeric : "?") + "\" writes numbers with '.': " + file_name(s.file) +
                        " is read as an English sheet ('.' in numbers, '" + std::string(1, s.delimiter) +
                        "' between fields); for a German sheet set a German locale, such as LC_ALL=de_DE.UTF-8\n");
    }

    std::string content, why;
    if (!read_file(s.file, &content, &why)) {
        say(stderr, "quorel-host: cannot read \"" + file_name(s.file) + "\": " + why + "\n");
        return EXIT_USAGE;
    }
    s.file = file_name(s.file);
    unsigned line = 0;
    if (!csv_read(content, s.delimiter, &s.csv, &why, &line)) {
        say(stderr, s.file + ":" + std::to_string(line) + ": " + why + "\n");
        return EXIT_USAGE;
    }
    if (s.csv.rows.size() > MAX_SHEET_ROWS)
        return usage_error(s.file + " has more than 1048576 rows");
    s.cells.resize(s.csv.rows.size());
    for (unsigned row = 0; row < s.csv.rows.size(); row++) {
        const std::vector<std::string> &fields = s.csv.rows[row];
        if (fields.size() > MAX_SHEET_COLUMNS)
            return usage_error(s.file + ": row " + std::to_string(row + 1) + " has more than 16384 fields");
        s.cells[row].resize(fields.size());
    }
    // A field the reader took with a fault is a cell in error; the rest of the
    // sheet is read as usual.
    for (const CsvProblem &problem : s.csv.problems) {
        SheetCell &cell = s.cells[problem.row][problem.col];
        cell.kind = CELL_BROKEN;
        cell.value.kind = VALUE_ERROR;
        cell.value.error = SHEET_SYNTAX;
        cell_message(&s, CellPosition{problem.col, problem.row}, problem.message);
        s.input_error = true;
    }
    for (unsigned row = 0; row < s.cells.size(); row++)
        for (unsigned col = 0; col < s.cells[row].size(); col++)
            if (s.cells[row][col].kind != CELL_BROKEN)
                read_cell(&s, CellPosition{col, row}, s.csv.rows[row][col], &s.cells[row][col]);
    for (unsigned i = 0; i < s.formulas.size(); i++)
        prepare_formula(&s, i);
    evaluate_all(&s);
    print_messages(&s);

    bool with_formula = o.output == "case";
    std::string out, end = s.csv.crlf ? "\r\n" : "\n";
    for (unsigned row = 0; row < s.cells.size(); row++) {
        for (unsigned col = 0; col < s.cells[row].size(); col++) {
            if (col)
                out += s.delimiter;
            out += csv_field(cell_output(s, s.cells[row][col], s.csv.rows[row][col], with_formula), s.delimiter);
        }
        out += end;
    }
    say(stdout, out);
    if (s.input_error)
        return EXIT_USAGE;
    return s.library_fault ? EXIT_FAILED : EXIT_OK;
}
