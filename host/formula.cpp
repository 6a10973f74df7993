// Formula reader, recursive descent: a call's arguments may be calls again
// (at most MAX_CALL_DEPTH deep, so the stack stays small), arrays inside an
// argument list nest no further.
#include "formula.h"

#include "text.h"

#include <stdio.h>
#include <string.h>

size_t skip_blanks(const std::string &line, size_t pos)
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        pos++;
    return pos;
}

bool fail(SourceError *error, size_t offset, const std::string &message)
{
    error->offset = offset;
    error->message = message;
    return false;
}

static bool is_name_char(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

static bool is_number_char(char c, char decimal)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == decimal || c == '+' ||
           c == '-';
}

static bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
static bool is_digit(char c) { return c >= '0' && c <= '9'; }
static bool is_operator(char c) { return c != '\0' && strchr("+-*/^&<>=%", c) != nullptr; }

static std::string operator_message(char op)
{
    return std::string("operator '") + op +
           "': quorel-host calls the library's functions and evaluates no arithmetic (it is not a spreadsheet)";
}

bool operator_at(const std::string &line, size_t pos)
{
    return pos < line.size() && is_operator(line[pos]) && line.compare(pos, 2, "=>") != 0;
}

std::string unexpected_after_formula(const std::string &line, size_t pos)
{
    return operator_at(line, pos) ? operator_message(line[pos]) : "unexpected text after the formula";
}

// Why a token of number characters is no number. A sign inside it (not after
// an exponent letter) or before a name is arithmetic, or an unquoted complex
// number. Sets the error at the offending character.
static bool bad_number(const std::string &line, size_t start, size_t end, SourceError *error)
{
    std::string token = line.substr(start, end - start);
    if (token.size() > 1 && (token[0] == '+' || token[0] == '-') && is_letter(token[1]))
        return fail(error, start, operator_message(token[0]));
    for (size_t k = 1; k < token.size(); k++) {
        char before = (char)(token[k - 1] | 0x20);
        if ((token[k] == '+' || token[k] == '-') && before != 'e' && before != 'p') {
            char last = (char)(token.back() | 0x20);
            if (last == 'i' || last == 'j')
                return fail(error, start, "bad number " + quoted_excerpt(token) +
                                              ": a complex number is written as a text, \"" + token + "\"");
            return fail(error, start + k, operator_message(token[k]));
        }
    }
    return fail(error, start, "bad number " + quoted_excerpt(token));
}

NumberStatus parse_number_with(const char *first, const char *last, char decimal, double *out)
{
    if (decimal == '.')
        return parse_number(first, last, out);
    std::string token(first, last);
    for (char &c : token) {
        if (c == '.')
            return NUMBER_SYNTAX;
        if (c == decimal)
            c = '.';
    }
    return parse_number(token.data(), token.data() + token.size(), out);
}

std::string cell_name(CellPosition cell)
{
    char letters[8];
    int n = 0;
    for (unsigned c = cell.col + 1; c > 0; c = (c - 1) / 26)
        letters[n++] = (char)('A' + (c - 1) % 26);
    std::string name;
    while (n > 0)
        name += letters[--n];
    return name + std::to_string(cell.row + 1);
}

// $?COLUMN$?ROW at *pos: one to three letters A to XFD, any case, and a row
// from 1 to 1048576. False, *pos unchanged, when the text there is not one.
static bool parse_cell_reference(const std::string &line, size_t *pos, CellPosition *cell)
{
    size_t i = *pos;
    if (i < line.size() && line[i] == '$')
        i++;
    unsigned long col = 0;
    size_t letters = 0;
    for (; i < line.size() && is_letter(line[i]) && letters < 4; i++, letters++)
        col = col * 26 + (unsigned long)((line[i] | 0x20) - 'a' + 1);
    if (letters == 0 || letters > 3 || col > MAX_SHEET_COLUMNS)
        return false;
    if (i < line.size() && line[i] == '$')
        i++;
    if (i >= line.size() || !is_digit(line[i]) || line[i] == '0')
        return false;
    unsigned long row = 0;
    for (; i < line.size() && is_digit(line[i]); i++) {
        row = row * 10 + (unsigned long)(line[i] - '0');
        if (row > MAX_SHEET_ROWS)
            return false;
    }
    if (i < line.size() && (is_name_char((unsigned char)line[i]) || line[i] == '$' || line[i] == '('))
        return false;
    cell->col = (unsigned)col - 1;
    cell->row = (unsigned)row - 1;
    *pos = i;
    return true;
}

enum ReferenceStatus { NOT_A_REFERENCE, REFERENCE, BAD_REFERENCE };

// A1 or A1:C3 at *pos. Text that is no cell is left alone (it may still be
// a number such as Inf); a range whose second corner is not a cell is an error.
static ReferenceStatus parse_reference(const std::string &line, size_t *pos, Arg *arg, SourceError *error)
{
    size_t i = *pos;
    if (!parse_cell_reference(line, &i, &arg->first))
        return NOT_A_REFERENCE;
    arg->kind = VALUE_REFERENCE;
    arg->last = arg->first;
    arg->is_range = false;
    if (i < line.size() && line[i] == ':') {
        size_t second = i + 1;
        if (!parse_cell_reference(line, &second, &arg->last)) {
            fail(error, i + 1, "cell expected after ':' (a range is written A1:C3)");
            return BAD_REFERENCE;
        }
        arg->is_range = true;
        i = second;
    }
    *pos = i;
    return REFERENCE;
}

static std::string hex_code_point(unsigned long cp)
{
    char buffer[16];
    snprintf(buffer, sizeof buffer, "U+%04lX", cp);
    return buffer;
}

// "text" with "" for a quote, converted to Latin-1; *pos is at the opening quote.
static bool parse_text(const std::string &line, size_t *pos, std::string *out, SourceError *error)
{
    size_t start = *pos;
    std::string utf8;
    size_t i = start + 1;
    for (;;) {
        if (i >= line.size())
            return fail(error, start, "text without closing quote");
        if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                utf8 += '"';
                i += 2;
                continue;
            }
            break;
        }
        if (line[i] == '\0')
            return fail(error, i, "NUL character inside a text");
        utf8 += line[i];
        i++;
    }
    size_t bad = 0;
    unsigned long cp = 0;
    Utf8Status status = utf8_to_latin1(utf8.data(), utf8.size(), out, &bad, &cp);
    if (status != UTF8_OK) {
        // Map the offset in the unescaped text back to the line.
        size_t at = start + 1;
        for (size_t k = 0; k < bad; k++)
            at += line[at] == '"' ? 2 : 1;
        if (status == UTF8_MALFORMED)
            return fail(error, at, "text is not valid UTF-8");
        return fail(error, at, "character " + hex_code_point(cp) + " in text is outside ISO 8859-1");
    }
    if (out->size() > MAX_TEXT_BYTES)
        return fail(error, start, "text longer than 65534 bytes");
    *pos = i + 1;
    return true;
}

// Number, text or error marker.
static bool parse_cell(const std::string &line, size_t *pos, const FormulaSyntax &syntax, Value *cell,
                       SourceError *error)
{
    size_t start = *pos;
    cell->offset = start;
    cell->number = 0;
    cell->error = 0;
    cell->text.clear();
    if (start >= line.size())
        return fail(error, start, "value expected at end of line");
    char c = line[start];
    if (c == '"') {
        cell->kind = VALUE_TEXT;
        return parse_text(line, pos, &cell->text, error);
    }
    if (c == '#') {
        size_t i = start + 1;
        while (i < line.size() && is_name_char((unsigned char)line[i]))
            i++;
        if (line.compare(start, i - start, "#ERR") != 0)
            return fail(error, start, "unknown marker " + quoted_excerpt(line.substr(start, i - start)) +
                                          " (only #ERR and #ERR(n))");
        cell->kind = VALUE_ERROR;
        cell->error = 1;
        size_t j = skip_blanks(line, i);
        if (j < line.size() && line[j] == '(') {
            size_t first = skip_blanks(line, j + 1);
            size_t last = first;
            while (last < line.size() && is_number_char(line[last], '.'))
                last++;
            unsigned long code = 0;
            if (!parse_unsigned(line.data() + first, line.data() + last, 65535, &code) || code == 0)
                return fail(error, first, "error code must be an integer from 1 to 65535");
            size_t close = skip_blanks(line, last);
            if (close >= line.size() || line[close] != ')')
                return fail(error, close, "')' expected after error code");
            cell->error = (unsigned)code;
            i = close + 1;
        }
        *pos = i;
        return true;
    }
    if (!is_number_char(c, syntax.decimal))
        return fail(error, start, std::string("value expected, found '") + c + "'");
    size_t i = start;
    while (i < line.size() && is_number_char(line[i], syntax.decimal))
        i++;
    cell->kind = VALUE_NUMBER;
    NumberStatus status = parse_number_with(line.data() + start, line.data() + i, syntax.decimal, &cell->number);
    if (status == NUMBER_RANGE)
        return fail(error, start, "number " + quoted_excerpt(line.substr(start, i - start)) +
                                      " out of the range of a double");
    if (status != NUMBER_OK)
        return bad_number(line, start, i, error);
    *pos = i;
    return true;
}

// {a, b; c, d}; *pos is at the brace.
static bool parse_array(const std::string &line, size_t *pos, const FormulaSyntax &syntax, Arg *arg,
                        SourceError *error)
{
    size_t open = *pos;
    arg->kind = VALUE_ARRAY;
    arg->rows = 0;
    arg->cols = 0;
    arg->cells.clear();
    size_t i = skip_blanks(line, open + 1);
    if (i < line.size() && line[i] == '}') {
        *pos = i + 1;
        return true;
    }
    unsigned cols_in_row = 0;
    size_t row_start = i;
    for (;;) {
        i = skip_blanks(line, i);
        if (i < line.size() && (line[i] == syntax.array_column || line[i] == ';' || line[i] == '}'))
            return fail(error, i, "empty cell in array");
        if (arg->cells.size() >= MAX_BLOCK_ENTRIES)
            return fail(error, i, "array has more than 32767 cells");
        Value cell;
        if (!parse_cell(line, &i, syntax, &cell, error))
            return false;
        arg->cells.push_back(std::move(cell));
        cols_in_row++;
        i = skip_blanks(line, i);
        if (i >= line.size())
            return fail(error, i, "missing '}' to close the '{' at column " + std::to_string(utf8_column(line, open)));
        char c = line[i];
        if (c == syntax.array_column) {
            i++;
            continue;
        }
        if (c != ';' && c != '}')
            return fail(error, i, std::string("'") + syntax.array_column + "', ';' or '}' expected in array, found '" +
                                      c + "'");
        if (arg->rows == 0)
            arg->cols = cols_in_row;
        else if (cols_in_row != arg->cols)
            return fail(error, row_start,
                        "array row " + std::to_string(arg->rows + 1) + " has " + std::to_string(cols_in_row) +
                            (cols_in_row == 1 ? " cell" : " cells") + ", row 1 has " + std::to_string(arg->cols));
        arg->rows++;
        cols_in_row = 0;
        i++;
        if (c == '}')
            break;
        row_start = skip_blanks(line, i);
    }
    *pos = i;
    return true;
}

static bool parse_call(const std::string &line, size_t pos, const FormulaSyntax &syntax, unsigned depth,
                       Formula *formula, SourceError *error);

// NAME( at i, a call: a name that starts with a letter, '_' or a non-ASCII
// byte, then '(' after optional blanks.
static bool call_follows(const std::string &line, size_t i)
{
    if (i >= line.size() || !is_name_char((unsigned char)line[i]) || is_digit(line[i]))
        return false;
    while (i < line.size() && is_name_char((unsigned char)line[i]))
        i++;
    i = skip_blanks(line, i);
    return i < line.size() && line[i] == '(';
}

// One argument at *pos: a reference (sheets), an array, a nested call, or a
// number, text or error marker. depth counts the calls around it.
static bool parse_argument(const std::string &line, size_t *pos, const FormulaSyntax &syntax, unsigned depth,
                           Arg *arg, SourceError *error)
{
    size_t i = *pos;
    arg->offset = i;
    arg->rows = arg->cols = 0;
    ReferenceStatus reference = NOT_A_REFERENCE;
    if (syntax.references && i < line.size())
        reference = parse_reference(line, &i, arg, error);
    if (reference == BAD_REFERENCE)
        return false;
    if (reference == REFERENCE) {
        // i is past the reference
    } else if (i < line.size() && line[i] == '{') {
        if (!parse_array(line, &i, syntax, arg, error))
            return false;
    } else if (call_follows(line, i)) {
        if (depth >= MAX_CALL_DEPTH)
            return fail(error, i, "calls nested more than " + std::to_string((int)MAX_CALL_DEPTH) + " deep");
        arg->kind = VALUE_CALL;
        arg->call.resize(1);
        if (!parse_call(line, i, syntax, depth + 1, &arg->call[0], error))
            return false;
        i = arg->call[0].end;
    } else {
        if (!parse_cell(line, &i, syntax, &arg->scalar, error))
            return false;
        arg->kind = arg->scalar.kind;
    }
    arg->end = i;
    *pos = i;
    return true;
}

static bool parse_call(const std::string &line, size_t pos, const FormulaSyntax &syntax, unsigned depth,
                       Formula *formula, SourceError *error)
{
    size_t i = skip_blanks(line, pos);
    size_t name_start = i;
    while (i < line.size() && is_name_char((unsigned char)line[i]))
        i++;
    if (i == name_start)
        return fail(error, name_start, "function name expected");
    formula->name = line.substr(name_start, i - name_start);
    formula->name_offset = name_start;
    formula->args.clear();
    i = skip_blanks(line, i);
    if (i >= line.size() || line[i] != '(')
        return fail(error, i, "'(' expected after the function name");
    size_t open = i;
    i = skip_blanks(line, i + 1);
    if (i < line.size() && line[i] == ')') {
        formula->end = i + 1;
        return true;
    }
    for (;;) {
        i = skip_blanks(line, i);
        if (i < line.size() && (line[i] == ';' || line[i] == ')'))
            return fail(error, i, "empty argument");
        Arg arg;
        if (!parse_argument(line, &i, syntax, depth, &arg, error))
            return false;
        formula->args.push_back(std::move(arg));
        i = skip_blanks(line, i);
        if (i >= line.size())
            return fail(error, i, "missing ')' to close the '(' at column " + std::to_string(utf8_column(line, open)));
        if (line[i] == ';') {
            i++;
            continue;
        }
        if (line[i] == ')')
            break;
        if (line[i] == ',')
            return fail(error, i, "',' between arguments: arguments are separated by ';'");
        if (is_operator(line[i]))
            return fail(error, i, operator_message(line[i]));
        return fail(error, i, std::string("';' or ')' expected, found '") + line[i] + "'");
    }
    formula->end = i + 1;
    return true;
}

bool parse_formula(const std::string &line, size_t pos, Formula *formula, SourceError *error)
{
    return parse_call(line, pos, FormulaSyntax(), 1, formula, error);
}

bool parse_formula(const std::string &line, size_t pos, const FormulaSyntax &syntax, Formula *formula,
                   SourceError *error)
{
    return parse_call(line, pos, syntax, 1, formula, error);
}

bool parse_cell_formula(const std::string &line, size_t pos, const FormulaSyntax &syntax, Arg *expression,
                        SourceError *error)
{
    size_t i = skip_blanks(line, pos);
    if (i >= line.size())
        return fail(error, i, "empty formula");
    if (!parse_argument(line, &i, syntax, 0, expression, error))
        return false;
    if (expression->kind == VALUE_ARRAY || expression->kind == VALUE_ERROR)
        return fail(error, expression->offset,
                    "a formula is a function call, a cell reference, a number or a text");
    return true;
}

bool parse_expected(const std::string &line, size_t pos, Expected *expected, SourceError *error)
{
    size_t i = skip_blanks(line, pos);
    expected->tolerant = false;
    expected->ulps = 0;
    if (i >= line.size())
        return fail(error, i, "expected value missing after '=>'");
    if (line[i] == '#' || line[i] == '{')
        return fail(error, i, "expected value must be a number or a \"text\"");
    if (!parse_cell(line, &i, FormulaSyntax(), &expected->value, error))
        return false;
    i = skip_blanks(line, i);
    if (i < line.size() && line[i] == '~') {
        if (expected->value.kind != VALUE_NUMBER)
            return fail(error, i, "a tolerance ~N applies to numbers only");
        size_t first = skip_blanks(line, i + 1);
        size_t last = first;
        while (last < line.size() && line[last] >= '0' && line[last] <= '9')
            last++;
        if (!parse_unsigned(line.data() + first, line.data() + last, 0xFFFFFFFFul, &expected->ulps))
            return fail(error, first, "tolerance ~N needs a whole number of units in the last place");
        expected->tolerant = true;
        i = skip_blanks(line, last);
    }
    if (i < line.size())
        return fail(error, i, "unexpected text after the expected value");
    return true;
}
