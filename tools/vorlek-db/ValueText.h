// Values as text: the CSV forms of `export` and the parsing of `set` arguments.
//
// Export forms (stable; also in --help):
//   NULL                      empty field
//   Boolean                   1 or 0
//   Byte, Integer, Long       plain decimal
//   Money                     decimal with four fraction digits, e.g. -12.5000
//   Single, Double            shortest decimal that reads back to the same number (e.g. 444.555,
//                             1e+20); inf/nan as such
//   Date/Time                 YYYY-MM-DD HH:MM:SS (Jet's day count from 1899-12-30)
//   Text, Memo                UTF-8; an empty text is "" so that it differs from NULL
//   Binary, OLE               upper-case hexadecimal of the bytes
//   GUID                      {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
//   Decimal                   plain decimal with the column's scale, e.g. -3.14
// Fields are quoted (RFC 4180) when they hold a comma, quote, CR or LF, and empty text.
#pragma once

#include "Database.h"

#include <string>

namespace vorlek::db {

std::string FormatValue(const jet::Column& column, const jet::Value& value);
std::string CsvField(const std::string& text, bool quoteEmpty);
// The value a `set` argument means for this column; empty text means NULL. Throws JetError.
jet::Value ParseValue(const jet::Column& column, const std::string& text);

} // namespace vorlek::db
