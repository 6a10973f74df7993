// quorel-host sheet: a CSV sheet of numbers, texts and formulas, evaluated in
// dependency order as a spreadsheet would and written back as CSV.
//
// Every formula cell is parsed once; its references give the formula cells it
// depends on. Tarjan's algorithm over that graph yields the strongly connected
// components with every component's dependencies before it, so each cell is
// evaluated as its component comes out, and a component of more than one
// cell (or a cell that refers to itself) is a cycle. References are then
// resolved into ordinary arguments (a cell's value, or a range's non-empty
// cells with their positions) and the call goes through evaluate(), which
// builds the blocks as for any other formula.
#include "commands.h"

#include "csv.h"
#include "input.h"
#include "platform.h"
#include "text.h"

#include <locale.h>

#include <algorithm>

enum CellKind { CELL_EMPTY, CELL_NUMBER, CELL_TEXT, CELL_FORMULA };

// What a cell in error shows, and the error word its entry carries when a
// range holds it. A cell whose arguments are in error takes the first one's
// error, as spreadsheets pass errors on.
enum SheetError { SHEET_OK, SHEET_SYNTAX, SHEET_NAME, SHEET_VALUE, SHEET_REF, SHEET_CYCLE, SHEET_FAULT };
static const char *const error_values[] = {"", "#SYNTAX!", "#NAME?", "#VALUE!", "#REF!", "#CYCLE!", "#FAULT!"};

static const unsigned NO_FORMULA = ~0u;

struct SheetCell {
    CellKind kind = CELL_EMPTY;
    Value value;            // the constant, or the formula's result; VALUE_ERROR holds a SheetError
    bool latin1 = true;     // a text that ISO 8859-1 can hold
    unsigned formula = NO_FORMULA;
};

struct SheetFormula {
    CellPosition at;
    std::string text;       // the field, from its '='
    Formula parsed;
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
};

static SheetCell *cell_at(Sheet *s, CellPosition p)
{
    if (p.row >= s->cells.size() || p.col >= s->cells[p.row].size())
        return nullptr;
    return &s->cells[p.row][p.col];
}

// Messages name the cell, and the character in its field where one is known.
// They are kept and printed in the sheet's order at the end.
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
static std::string sheet_number(const Sheet &s, double x)
{
    std::string text = format_number(x);
    if (s.syntax.decimal != '.')
        for (char &c : text)
            if (c == '.')
                c = s.syntax.decimal;
    return text;
}

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
    cell->latin1 = utf8_to_latin1(text.data(), text.size(), &cell->value.text, &bad, &code_point) == UTF8_OK &&
                   cell->value.text.size() <= MAX_TEXT_BYTES;
}

// Parses the formula and lists the formula cells it refers to.
static void prepare_formula(Sheet *s, unsigned index)
{
    SheetFormula &f = s->formulas[index];
    if (!parse_formula(f.text, 1, s->syntax, &f.parsed, &f.where)) {
        f.error = SHEET_SYNTAX;
        return;
    }
    // A trailing "=> VALUE" is what --output case writes; it is ignored.
    size_t rest = skip_blanks(f.text, f.parsed.end);
    if (rest < f.text.size() && f.text.compare(rest, 2, "=>") != 0) {
        f.error = SHEET_SYNTAX;
        f.where.offset = rest;
        f.where.message = "unexpected text after the formula";
        return;
    }
    for (const Arg &arg : f.parsed.args) {
        if (arg.kind != VALUE_REFERENCE)
            continue;
        each_cell(s, rectangle(arg), [&](CellPosition, const SheetCell &cell) {
            if (cell.kind == CELL_FORMULA)
                f.depends_on.push_back(cell.formula);
        });
    }
}

// The reference as the formula writes it, for messages.
static std::string reference_text(const SheetFormula &f, const Arg &arg)
{
    return f.text.substr(arg.offset, arg.end - arg.offset);
}

// Turns a reference argument into what evaluate() takes for a parameter of
// this type. False, the cell's error set and reported, when it cannot.
static bool resolve(Sheet *s, const SheetFormula &f, unsigned k, int type, Arg *arg)
{
    const std::string name = f.parsed.name;
    std::string argument = "argument " + std::to_string(k + 1) + " of " + name;
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
            if (problem.empty() && cell.value.kind == VALUE_TEXT && !cell.latin1)
                problem = cell_name(p) + " holds a text that ISO 8859-1 cannot hold";
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
    if (cell->value.kind == VALUE_TEXT && !cell->latin1) {
        sheet_message(s, f, arg->offset, argument + ": " + ref + " holds a text that ISO 8859-1 cannot hold");
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

static void evaluate_cell(Sheet *s, unsigned index)
{
    const SheetFormula &f = s->formulas[index];
    if (f.error != SHEET_OK) {
        sheet_message(s, f, f.where.offset, f.where.message);
        set_error(s, f, f.error);
        return;
    }
    Formula call = f.parsed;
    std::string name;
    size_t bad = 0;
    unsigned long code_point = 0;
    const Function *function = nullptr;
    if (utf8_to_latin1(call.name.data(), call.name.size(), &name, &bad, &code_point) == UTF8_OK)
        function = catalogue_find(s->functions, name);
    // An unknown name or a wrong count is evaluate()'s to report.
    if (function && function->usable && call.args.size() + 1 == function->count)
        for (unsigned k = 0; k < call.args.size(); k++)
            if (call.args[k].kind == VALUE_REFERENCE && !resolve(s, f, k, function->types[k + 1], &call.args[k]))
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
        for (const Arg &arg : f.parsed.args)
            if (arg.kind == VALUE_REFERENCE && arg.offset == error.offset)
                error.message += " (from " + reference_text(f, arg) + ")";
        sheet_message(s, f, error.offset, error.message);
        set_error(s, f, function ? SHEET_VALUE : SHEET_NAME);
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
                std::string members;
                for (size_t i = start; i < stack.size() && i < start + 8; i++)
                    members += (i == start ? "" : ", ") + cell_name(s->formulas[stack[i]].at);
                if (stack.size() - start > 8)
                    members += ", ... (" + std::to_string(stack.size() - start) + " cells)";
                for (size_t i = start; i < stack.size(); i++) {
                    const SheetFormula &f = s->formulas[stack[i]];
                    sheet_message(s, f, std::string::npos, "circular reference among " + members);
                    set_error(s, f, SHEET_CYCLE);
                }
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
    return (f.error == SHEET_OK ? f.text.substr(0, f.parsed.end) : f.text) + " => " + value;
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
    if (o.delimiter)
        s.delimiter = o.delimiter;
    if (s.delimiter == s.syntax.decimal)
        return usage_error(std::string("the delimiter '") + s.delimiter + "' is this sheet's decimal separator");

    std::string content, why;
    if (!read_file(s.file, &content, &why)) {
        say(stderr, "quorel-host: cannot read \"" + s.file + "\": " + why + "\n");
        return EXIT_USAGE;
    }
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
        for (unsigned col = 0; col < fields.size(); col++)
            read_cell(&s, CellPosition{col, row}, fields[col], &s.cells[row][col]);
    }
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
