// The readers behind quorel-host sheet: CSV records with RFC 4180 quoting,
// cell and range references and nested calls in formulas, and the German
// number syntax.
#include "host/csv.h"
#include "host/formula.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

typedef std::vector<std::vector<std::string>> Records;

TEST(CsvRead, QuotingLineEndsAndLastLine)
{
    const struct {
        const char *content;
        char delimiter;
        Records records;
        bool crlf;
    } cases[] = {
        {"a,b\n1,2\n", ',', {{"a", "b"}, {"1", "2"}}, false},
        {"a,b\r\n1,2", ',', {{"a", "b"}, {"1", "2"}}, true},     // no line break at the end
        {"\xEF\xBB\xBF" "x;y\n", ';', {{"x", "y"}}, false},       // byte order mark
        {"\"a,b\",\"say \"\"hi\"\"\"\n", ',', {{"a,b", "say \"hi\""}}, false},
        {"\"two\nlines\",x\n", ',', {{"two\nlines", "x"}}, false},
        {"=F(\"t\"),2\n", ',', {{"=F(\"t\")", "2"}}, false},      // unquoted field keeps its quotes
        {",,\n\n;\n", ',', {{"", "", ""}, {""}, {";"}}, false},   // empty fields and rows
        {"1\t\"a\tb\"\r\n", '\t', {{"1", "a\tb"}}, true},
        {"\"q\"\r\n", ',', {{"q"}}, true},
    };
    for (const auto &c : cases) {
        CsvTable table;
        std::string error;
        unsigned line = 0;
        ASSERT_TRUE(csv_read(c.content, c.delimiter, &table, &error, &line)) << c.content << ": " << error;
        EXPECT_EQ(table.rows, c.records) << c.content;
        EXPECT_EQ(table.crlf, c.crlf) << c.content;
    }
}

// A quote never closed ends the reading; text after a closing quote spoils
// that field alone, which is read on to its delimiter.
TEST(CsvRead, MalformedQuotes)
{
    const struct {
        const char *content;
        unsigned line;    // of a quote never closed; 0: read with a problem
        unsigned row, col; // of the problem
        const char *text;  // the error, or the problem's message
        Records records;
    } cases[] = {
        {"a\n\"open,\nstill open\n", 2, 0, 0, "quoted field opened on line 2 is never closed", {}},
        {"a\n\"x\"y,z\n", 0, 1, 0, "text after the closing quote of its field (line 2)", {{"a"}, {"xy", "z"}}},
        {"\"a\nb\" c\r\n1\n", 0, 0, 0, "text after the closing quote of its field (line 2)", {{"a\nb c"}, {"1"}}},
    };
    for (const auto &c : cases) {
        CsvTable table;
        std::string error;
        unsigned line = 0;
        EXPECT_EQ(csv_read(c.content, ',', &table, &error, &line), c.line == 0) << c.content;
        if (c.line) {
            EXPECT_EQ(line, c.line) << c.content;
            EXPECT_EQ(error, c.text) << c.content;
            continue;
        }
        ASSERT_EQ(table.problems.size(), 1u) << c.content;
        EXPECT_EQ(table.problems[0].row, c.row) << c.content;
        EXPECT_EQ(table.problems[0].col, c.col) << c.content;
        EXPECT_EQ(table.problems[0].message, c.text) << c.content;
        EXPECT_EQ(table.rows, c.records) << c.content;
    }
}

TEST(CsvField, QuotedOnlyWhereNeededAndReadBack)
{
    const struct {
        const char *text;
        char delimiter;
        const char *field;
    } cases[] = {
        {"4+1i", ',', "4+1i"},
        {"1,5", ';', "1,5"},
        {"1,5", ',', "\"1,5\""},
        {"=XADD(\"1\"; A1)", ',', "\"=XADD(\"\"1\"\"; A1)\""},
        {"a\nb", ';', "\"a\nb\""},
        {"", ',', ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(csv_field(c.text, c.delimiter), c.field) << c.text;
        CsvTable table;
        std::string error;
        unsigned line = 0;
        ASSERT_TRUE(csv_read(csv_field(c.text, c.delimiter) + "\n", c.delimiter, &table, &error, &line));
        EXPECT_EQ(table.rows, Records{{c.text}}) << c.text;
    }
}

TEST(CellName, ColumnsInBase26WithoutZero)
{
    const struct {
        unsigned col, row;
        const char *name;
    } cases[] = {
        {0, 0, "A1"}, {25, 9, "Z10"}, {26, 0, "AA1"}, {701, 0, "ZZ1"}, {702, 0, "AAA1"}, {16383, 1048575, "XFD1048576"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cell_name(CellPosition{c.col, c.row}), c.name);
}

static FormulaSyntax sheet_syntax(bool german)
{
    FormulaSyntax s;
    s.references = true;
    if (german) {
        s.decimal = ',';
        s.array_column = '.';
    }
    return s;
}

TEST(SheetFormula, References)
{
    const struct {
        const char *line;
        unsigned col1, row1, col2, row2;
        bool range;
    } cases[] = {
        {"F(A1)", 0, 0, 0, 0, false},
        {"F($B$2)", 1, 1, 1, 1, false},
        {"F(b$2)", 1, 1, 1, 1, false},
        {"F(a1:c3)", 0, 0, 2, 2, true},
        {"F(C3:A1)", 2, 2, 0, 0, true}, // corners as written
        {"F( $XFD$1048576 )", 16383, 1048575, 16383, 1048575, false},
        {"F(E5)", 4, 4, 4, 4, false},  // a cell, not a number
    };
    for (const auto &c : cases) {
        Formula f;
        SourceError error;
        ASSERT_TRUE(parse_formula(c.line, 0, sheet_syntax(false), &f, &error)) << c.line << ": " << error.message;
        ASSERT_EQ(f.args.size(), 1u) << c.line;
        const Arg &a = f.args[0];
        EXPECT_EQ(a.kind, VALUE_REFERENCE) << c.line;
        EXPECT_EQ(a.first.col, c.col1) << c.line;
        EXPECT_EQ(a.first.row, c.row1) << c.line;
        EXPECT_EQ(a.last.col, c.col2) << c.line;
        EXPECT_EQ(a.last.row, c.row2) << c.line;
        EXPECT_EQ(a.is_range, c.range) << c.line;
        // The argument's extent is the reference as written, for messages.
        std::string written = std::string(c.line).substr(a.offset, a.end - a.offset);
        EXPECT_TRUE(written.find_first_of(" ()") == std::string::npos && !written.empty()) << written;
    }
}

// What is no cell stays what it was: numbers such as Inf, and errors.
TEST(SheetFormula, NotReferences)
{
    const struct {
        const char *line;
        bool parses;
        const char *error; // or the number's text
    } cases[] = {
        {"F(Inf)", true, ""},
        {"F(nan)", true, ""},
        {"F(XFE1)", false, "bad number \"XFE1\""},   // past column XFD
        {"F(A0)", false, "bad number \"A0\""},       // rows count from 1
        {"F(A1048577)", false, "bad number \"A1048577\""},
        {"F(A1:3)", false, "cell expected after ':' (a range is written A1:C3)"},
        {"F(A1B)", false, "bad number \"A1B\""},
    };
    for (const auto &c : cases) {
        Formula f;
        SourceError error;
        EXPECT_EQ(parse_formula(c.line, 0, sheet_syntax(false), &f, &error), c.parses) << c.line;
        if (c.parses) {
            EXPECT_EQ(f.args[0].kind, VALUE_NUMBER) << c.line;
        } else {
            EXPECT_EQ(error.message, c.error) << c.line;
        }
    }
}

// The tool's own syntax reads no references, whatever the line holds.
TEST(SheetFormula, EvalSyntaxUnchanged)
{
    Formula f;
    SourceError error;
    EXPECT_FALSE(parse_formula("F(A1)", 0, &f, &error));
    EXPECT_EQ(error.message, "bad number \"A1\"");
    ASSERT_TRUE(parse_formula("F(1.5; {1, 2.5; 3, 4})", 0, &f, &error)) << error.message;
    EXPECT_EQ(f.args[0].scalar.number, 1.5);
    EXPECT_EQ(f.args[1].cols, 2u);
    EXPECT_EQ(f.args[1].cells[1].number, 2.5);
}

TEST(SheetFormula, GermanNumbersAndArrays)
{
    Formula f;
    SourceError error;
    ASSERT_TRUE(parse_formula("F(1,5; {0,25. -2; 3. 4,5}; \"1,5+2i\")", 0, sheet_syntax(true), &f, &error))
        << error.message;
    EXPECT_EQ(f.args[0].scalar.number, 1.5);
    ASSERT_EQ(f.args[1].kind, VALUE_ARRAY);
    EXPECT_EQ(f.args[1].rows, 2u);
    EXPECT_EQ(f.args[1].cols, 2u);
    EXPECT_EQ(f.args[1].cells[0].number, 0.25);
    EXPECT_EQ(f.args[1].cells[3].number, 4.5);
    EXPECT_EQ(f.args[2].scalar.text, "1,5+2i"); // texts go to the library as written

    const struct {
        const char *line;
        const char *error;
    } bad[] = {
        {"F(1.5)", "';' or ')' expected, found '.'"},
        {"F({1, 2})", "'.', ';' or '}' expected in array, found '2'"},
        {"F({1. 2; 3})", "array row 2 has 1 cell, row 1 has 2"},
    };
    for (const auto &c : bad) {
        EXPECT_FALSE(parse_formula(c.line, 0, sheet_syntax(true), &f, &error)) << c.line;
        EXPECT_EQ(error.message, c.error) << c.line;
    }
}

TEST(SheetNumbers, DecimalSeparator)
{
    const struct {
        const char *text;
        char decimal;
        NumberStatus status;
        double value;
    } cases[] = {
        {"1.5", '.', NUMBER_OK, 1.5},    {"1,5", ',', NUMBER_OK, 1.5},      {"1.5", ',', NUMBER_SYNTAX, 0},
        {"1,5", '.', NUMBER_SYNTAX, 0},  {"-2,5e-3", ',', NUMBER_OK, -2.5e-3}, {"0x1,8p1", ',', NUMBER_OK, 3},
        {"1E-6", ',', NUMBER_OK, 1e-6},  {"1.234,5", ',', NUMBER_SYNTAX, 0},
    };
    for (const auto &c : cases) {
        double x = 0;
        std::string s = c.text;
        EXPECT_EQ(parse_number_with(s.data(), s.data() + s.size(), c.decimal, &x), c.status) << c.text;
        if (c.status == NUMBER_OK) {
            EXPECT_EQ(x, c.value) << c.text;
        }
    }
}

// Calls nest as arguments, in both syntaxes; a sheet's formula may also be a
// single reference or value. Operators are refused with their own message.
TEST(SheetFormula, NestedCallsAndWholeFormulas)
{
    Formula f;
    SourceError error;
    ASSERT_TRUE(parse_formula("F(G(1; H()); \"x\"; K (2))", 0, &f, &error)) << error.message;
    ASSERT_EQ(f.args.size(), 3u);
    ASSERT_EQ(f.args[0].kind, VALUE_CALL);
    const Formula &g = f.args[0].call[0];
    EXPECT_EQ(g.name, "G");
    ASSERT_EQ(g.args.size(), 2u);
    EXPECT_EQ(g.args[1].kind, VALUE_CALL);
    EXPECT_EQ(g.args[1].call[0].name_offset, 7u);
    EXPECT_EQ(f.args[2].call[0].name, "K");
    EXPECT_EQ(f.end, 24u);

    const struct {
        const char *line;
        ValueKind kind;
        size_t end;
    } whole[] = {
        {"=B2", VALUE_REFERENCE, 3},
        {"= $A$1:B2 => 5", VALUE_REFERENCE, 9},
        {"=1,5", VALUE_NUMBER, 4},
        {"=\"t\"", VALUE_TEXT, 4},
        {"=XADD(A1; GAMMA(B1))", VALUE_CALL, 20},
    };
    for (const auto &c : whole) {
        Arg a;
        ASSERT_TRUE(parse_cell_formula(c.line, 1, sheet_syntax(true), &a, &error)) << c.line << ": " << error.message;
        EXPECT_EQ(a.kind, c.kind) << c.line;
        EXPECT_EQ(a.end, c.end) << c.line;
    }

    const struct {
        const char *line;
        size_t offset;
        const char *error;
    } bad[] = {
        {"=A1*2", 3, "operator '*'"},
        {"=F(A1+1)", 5, "operator '+'"},
        {"=F(-A1)", 3, "operator '-'"},
        {"=F(1; G(2) / 3)", 11, "operator '/'"},
        {"=F(1-2i)", 3, "bad number \"1-2i\": a complex number is written as a text, \"1-2i\""},
        {"={1, 2}", 1, "a formula is a function call, a cell reference, a number or a text"},
        {"=", 1, "empty formula"},
    };
    for (const auto &c : bad) {
        Arg a;
        bool parsed = parse_cell_formula(c.line, 1, sheet_syntax(false), &a, &error);
        if (parsed) { // a complete formula followed by something
            size_t rest = skip_blanks(c.line, a.end);
            error.offset = rest;
            error.message = unexpected_after_formula(c.line, rest);
        }
        EXPECT_EQ(error.offset, c.offset) << c.line;
        EXPECT_EQ(error.message.compare(0, strlen(c.error), c.error), 0) << c.line << ": " << error.message;
    }
}

TEST(SheetFormula, NestingDepthIsBounded)
{
    std::string deep, deeper;
    for (int i = 0; i < MAX_CALL_DEPTH; i++)
        deep += "F(";
    deeper = "F(" + deep;
    deep += "1" + std::string(MAX_CALL_DEPTH, ')');
    deeper += "1" + std::string(MAX_CALL_DEPTH + 1, ')');
    Formula f;
    SourceError error;
    EXPECT_TRUE(parse_formula(deep, 0, &f, &error)) << error.message;
    EXPECT_FALSE(parse_formula(deeper, 0, &f, &error));
    EXPECT_EQ(error.message, "calls nested more than 64 deep");
}
