// Reading and writing CSV records, one pass over the bytes.
#include "csv.h"

bool csv_read(const std::string &content, char delimiter, CsvTable *table, std::string *error, unsigned *line)
{
    table->rows.clear();
    table->problems.clear();
    size_t i = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    size_t n = content.size();
    size_t first_break = content.find('\n', i);
    table->crlf = first_break != std::string::npos && first_break > i && content[first_break - 1] == '\r';
    unsigned line_number = 1;
    while (i < n) {
        std::vector<std::string> record;
        for (;;) {
            std::string field;
            if (i < n && content[i] == '"') {
                unsigned opened = line_number;
                size_t j = i + 1;
                for (;;) {
                    if (j >= n) {
                        *error = "quoted field opened on line " + std::to_string(opened) + " is never closed";
                        *line = opened;
                        return false;
                    }
                    if (content[j] == '"') {
                        if (j + 1 < n && content[j + 1] == '"') {
                            field += '"';
                            j += 2;
                            continue;
                        }
                        j++;
                        break;
                    }
                    if (content[j] == '\n')
                        line_number++;
                    field += content[j++];
                }
                i = j;
                bool at_end = i >= n || content[i] == delimiter || content[i] == '\n' ||
                              (content[i] == '\r' && i + 1 < n && content[i + 1] == '\n') ||
                              (content[i] == '\r' && i + 1 == n);
                if (!at_end) {
                    table->problems.push_back({(unsigned)table->rows.size(), (unsigned)record.size(),
                                               "text after the closing quote of its field (line " +
                                                   std::to_string(line_number) + ")"});
                    while (i < n && content[i] != delimiter && content[i] != '\n')
                        field += content[i++];
                    if (!field.empty() && field.back() == '\r' && (i >= n || content[i] == '\n'))
                        field.pop_back();
                }
            } else {
                size_t j = i;
                while (j < n && content[j] != delimiter && content[j] != '\n')
                    j++;
                field.assign(content, i, j - i);
                if (!field.empty() && field.back() == '\r' && (j >= n || content[j] == '\n'))
                    field.pop_back();
                i = j;
            }
            record.push_back(std::move(field));
            if (i < n && content[i] == delimiter) {
                i++;
                continue;
            }
            if (i < n && content[i] == '\r')
                i++;
            if (i < n && content[i] == '\n')
                i++;
            line_number++;
            break;
        }
        table->rows.push_back(std::move(record));
    }
    return true;
}

std::string csv_field(const std::string &text, char delimiter)
{
    bool quote = false;
    for (char c : text)
        quote = quote || c == delimiter || c == '"' || c == '\n' || c == '\r';
    if (!quote)
        return text;
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}
