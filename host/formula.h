// Formulas as a user types them: NAME(arg; arg; ...), where an argument is a
// number, a "text" ("" for a quote), an error marker #ERR / #ERR(n), an array
// constant {1, 2; 3, 4} (',' between columns, ';' between rows), or another
// call NAME(...). In a sheet an argument may also be a cell (A1, $B$2) or a
// range (A1:C3), and a cell's formula may be a single reference or value.
#ifndef QUOREL_HOST_FORMULA_H
#define QUOREL_HOST_FORMULA_H

#include "text.h"

#include <stddef.h>

#include <string>
#include <vector>

// Calls nest at most MAX_CALL_DEPTH deep, as in spreadsheets.
enum { MAX_BLOCK_ENTRIES = 32767, MAX_TEXT_BYTES = 65534, MAX_CALL_DEPTH = 64 };

enum ValueKind { VALUE_NUMBER, VALUE_TEXT, VALUE_ERROR, VALUE_ARRAY, VALUE_REFERENCE, VALUE_CALL };

// How numbers, arrays and references are written. The default is the tool's
// own syntax; a sheet adds references, and a German sheet writes numbers with
// a decimal comma and separates the columns of an array with '.'.
struct FormulaSyntax {
    char decimal = '.';
    char array_column = ',';
    bool references = false;
};

// A cell of a sheet, counted from 0: A1 is column 0, row 0.
struct CellPosition {
    unsigned col = 0, row = 0;
};

enum { MAX_SHEET_COLUMNS = 16384, MAX_SHEET_ROWS = 1048576 }; // A to XFD, 1 to 1048576

// "A1", "XFD1048576".
std::string cell_name(CellPosition cell);

// A number, a text or an error marker: a scalar argument, a cell of an array
// constant, or an expected value.
struct Value {
    ValueKind kind = VALUE_NUMBER; // VALUE_NUMBER, VALUE_TEXT or VALUE_ERROR
    double number = 0;
    std::string text;   // ISO 8859-1, without NUL
    unsigned error = 0;  // 1 to 65535 for VALUE_ERROR
    size_t offset = 0;   // byte offset in the source line
};

struct Formula;

struct Arg {
    ValueKind kind = VALUE_NUMBER;
    Value scalar;             // VALUE_NUMBER, VALUE_TEXT, VALUE_ERROR
    unsigned rows = 0, cols = 0; // VALUE_ARRAY: rows * cols cells, row by row
    std::vector<Value> cells;
    size_t offset = 0;
    size_t end = 0;           // offset just past the argument
    // VALUE_REFERENCE: the cell `first`, or the range from `first` to `last`
    // (corners as written, in any order).
    CellPosition first, last;
    bool is_range = false;
    // A sheet's cells handed over as a range (the reference resolved): the
    // block's corners are first (top left) and last, and positions[i] is where
    // cells[i] stands (the scalar's place for a single cell). Without it a
    // block lies at the origin, its cells filling the rectangle.
    bool placed = false;
    std::vector<CellPosition> positions;
    std::vector<Formula> call; // VALUE_CALL: the nested call, one element
};

struct Formula {
    std::string name;        // as typed (UTF-8)
    size_t name_offset = 0;
    std::vector<Arg> args;
    size_t end = 0;              // offset just past the closing parenthesis
};

struct SourceError {
    size_t offset = 0;
    std::string message;
};

// Sets the error and returns false, for "return fail(...)".
bool fail(SourceError *error, size_t offset, const std::string &message);

// Parses a formula starting at pos (leading blanks allowed); stops after ')'.
bool parse_formula(const std::string &line, size_t pos, Formula *formula, SourceError *error);
bool parse_formula(const std::string &line, size_t pos, const FormulaSyntax &syntax, Formula *formula,
                   SourceError *error);

// A sheet cell's formula after its '=': a call, a cell reference, a number or
// a text (VALUE_CALL, VALUE_REFERENCE, VALUE_NUMBER, VALUE_TEXT); stops after it.
bool parse_cell_formula(const std::string &line, size_t pos, const FormulaSyntax &syntax, Arg *expression,
                        SourceError *error);

// Whether an arithmetic operator stands at pos (not the "=>" of a case).
bool operator_at(const std::string &line, size_t pos);

// The message for what follows a complete formula at pos where nothing may:
// arithmetic operators are told apart, since the tool evaluates none.
std::string unexpected_after_formula(const std::string &line, size_t pos);

// A whole token as a number written with the given decimal separator ('.' or
// ','); the other one is not a number character then.
NumberStatus parse_number_with(const char *first, const char *last, char decimal, double *out);

// The expected value of a case: a number or a "text", then optionally ~N.
struct Expected {
    Value value;              // VALUE_NUMBER or VALUE_TEXT
    bool tolerant = false;
    unsigned long ulps = 0;
};

// Parses an expected value from pos to the end of the line.
bool parse_expected(const std::string &line, size_t pos, Expected *expected, SourceError *error);

size_t skip_blanks(const std::string &line, size_t pos);

#endif
