// Comma-separated values as RFC 4180 quotes them: a field in double quotes may
// hold the delimiter, line breaks and "" for a quote. The delimiter is a
// parameter (',' or ';' or a tab), since sheets written with a decimal comma
// separate their fields with ';'.
#ifndef QUOREL_HOST_CSV_H
#define QUOREL_HOST_CSV_H

#include <string>
#include <vector>

// A field read despite a fault, by record and field number from 0.
struct CsvProblem {
    unsigned row, col;
    std::string message;
};

struct CsvTable {
    std::vector<std::vector<std::string>> rows;
    std::vector<CsvProblem> problems;
    bool crlf = false; // the first line ended in CR LF
};

// Splits content into records and fields. A UTF-8 byte order mark is skipped,
// and a last line without a line break is a record all the same. A field that
// does not start with a quote is taken as it stands, quotes and all. A quoted
// field followed by more text ("x"y) is a problem of that field alone: it is
// read on to the next delimiter and the rest of the table is read. False,
// with *error and *line set, for a quoted field that is never closed.
bool csv_read(const std::string &content, char delimiter, CsvTable *table, std::string *error, unsigned *line);

// The field as it must be written: in quotes, with "" for a quote, when it
// holds the delimiter, a quote or a line break.
std::string csv_field(const std::string &text, char delimiter);

#endif
