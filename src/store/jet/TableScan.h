// Walking a table's rows: its data pages in the order of its usage map, rows in slot order,
// deleted rows skipped and moved rows fetched from where their pointer leads.
#pragma once

#include "Database.h"
#include "PageFile.h"
#include "RowCodec.h"

#include <functional>
#include <optional>

namespace vorlek::jet {

struct StoredRowRef {
    RowId id;                   // the slot the table's indexes point at
    std::uint32_t dataPage = 0; // where the bytes are (after following an overflow pointer)
    std::uint16_t dataRow = 0;
    std::vector<Cell> cells;
};

// Follows overflow pointers; nullopt for a deleted slot.
std::optional<StoredRowRef> ReadStoredRow(const PageFile& file, const TableDef& table, RowId id);
std::vector<Row> ScanRows(const PageFile& file, const TableDef& table);
Value LoadValue(const PageFile& file, const Column& column, const Cell& cell);

} // namespace vorlek::jet
