#include "Csv.h"

namespace vorlek::store {

std::vector<CsvRecord> ParseCsv(std::string_view text, std::vector<CsvError>& errors) {
    std::vector<CsvRecord> records;
    std::size_t i = 0;
    int line = 1;
    while (i < text.size()) {
        CsvRecord record;
        record.line = line;
        bool bad = false;
        bool endOfRecord = false;
        while (!endOfRecord) {
            std::string field;
            bool quoted = false;
            if (i < text.size() && text[i] == '"') {
                quoted = true;
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        errors.push_back({record.line, "unterminated quoted field"});
                        return records;
                    }
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++line;
                    field += c;
                }
            }
            while (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
                if (quoted || text[i] == '"')
                    bad = true;
                field += text[i++];
            }
            record.fields.push_back(std::move(field));
            record.quoted.push_back(quoted);
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] == '\r')
                ++i;
            if (i < text.size() && text[i] == '\n')
                ++i;
            ++line;
            endOfRecord = true;
        }
        if (bad)
            errors.push_back(
                {record.line, "a quote inside an unquoted field, or text after a closing quote"});
        else if (!(record.fields.size() == 1 && record.fields[0].empty() && !record.quoted[0]))
            records.push_back(std::move(record)); // blank lines are skipped
    }
    return records;
}

} // namespace vorlek::store
