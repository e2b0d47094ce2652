#pragma once

#include <string>
#include <string_view>
#include <vector>

// RFC 4180 text: fields separated by commas, records by CRLF or LF, a field
// in double quotes may hold commas, line breaks and doubled quotes.
namespace vorlek::store {

struct CsvRecord {
    int line = 0; // where the record starts, counting from 1
    std::vector<std::string> fields;
    std::vector<bool> quoted; // per field: written in quotes (so "" is an empty text, not a null)
};

struct CsvError {
    int line = 0;
    std::string message;
};

// Parses the whole text; a malformed record is reported and skipped.
std::vector<CsvRecord> ParseCsv(std::string_view text, std::vector<CsvError>& errors);

} // namespace vorlek::store
