// Jet 4 rows: column count, fixed-length area, variable-length data, then (from the end) the
// null mask, the count of variable columns, their offsets (reversed) and the end of the data.
#pragma once

#include "Bytes.h"
#include "Database.h"

#include <functional>
#include <vector>

namespace vorlek::jet {

// One column's stored form: NULL, a boolean's bit, or its bytes (a long value's 12-byte
// reference and whatever follows it inline).
struct Cell {
    bool null = true;
    bool flag = false;
    Bytes data;
    bool operator==(const Cell&) const = default;
};

// Cells in the table's column order.
std::vector<Cell> DecodeCells(ByteSpan row, const TableDef& table);
Bytes EncodeCells(const std::vector<Cell>& cells, const TableDef& table);

using LongValueLoader = std::function<Bytes(ByteSpan reference)>;
Value CellValue(const Column& column, const Cell& cell, const LongValueLoader& loadLong);
// The bytes a Memo or OLE value is stored as (wherever they are kept).
Bytes LongValueBody(const Column& column, const Value& value);
// Equal values; unlike ==, a NaN equals itself, so that such a row can still be updated.
bool SameValue(const Value& a, const Value& b);
// Throws JetError when the value does not suit the column (type, range, length).
Cell ValueCell(const Column& column, const Value& value);

} // namespace vorlek::jet
