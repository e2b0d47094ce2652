#include "TableScan.h"

#include "DataPage.h"
#include "LongValue.h"
#include "UsageMap.h"

#include <optional>

namespace vorlek::jet {

namespace {

constexpr int kMaxOverflowHops = 4;

std::optional<StoredRowRef> RowOnPage(const PageFile& file, const TableDef& table, RowId id,
                                      const Bytes& page) {
    StoredRowRef ref;
    ref.id = id;
    RowSlot slot = RowAt(page, id.row);
    if (slot.flags & kRowDeleted)
        return std::nullopt;
    Bytes current = page;
    std::uint32_t where = id.page;
    std::uint16_t row = id.row;
    for (int hop = 0; slot.flags & kRowLookup; ++hop) {
        Need(hop < kMaxOverflowHops && slot.size() >= 4);
        const std::uint32_t dp = Get32(current, slot.start);
        where = PointerPage(dp);
        row = PointerRow(dp);
        current = file.Read(where);
        Need(current[0] == kDataPageType && PageOwner(current) == table.tdefPage);
        slot = RowAt(current, row);
        slot.flags &= static_cast<std::uint16_t>(~kRowDeleted); // moved rows are hidden from scans
    }
    ref.dataPage = where;
    ref.dataRow = row;
    ref.cells = DecodeCells(ByteSpan(current).subspan(slot.start, slot.size()), table);
    return ref;
}

} // namespace

Value LoadValue(const PageFile& file, const Column& column, const Cell& cell) {
    return CellValue(column, cell, [&](ByteSpan r) { return ReadLongValue(file, r); });
}

std::optional<StoredRowRef> ReadStoredRow(const PageFile& file, const TableDef& table, RowId id) {
    const Bytes page = file.Read(id.page);
    Need(page[0] == kDataPageType && PageOwner(page) == table.tdefPage);
    return RowOnPage(file, table, id, page);
}

std::vector<Row> ScanRows(const PageFile& file, const TableDef& table) {
    std::vector<Row> rows;
    for (std::uint32_t p : MapPages(file, table.usedPagesPointer)) {
        const Bytes page = file.Read(p);
        if (page[0] != kDataPageType || PageOwner(page) != table.tdefPage)
            continue;
        const std::uint16_t n = RowCount(page);
        for (std::uint16_t i = 0; i < n; ++i) {
            auto ref = RowOnPage(file, table, RowId{p, i}, page);
            if (!ref)
                continue;
            Row row;
            row.id = ref->id;
            row.values.reserve(table.columns.size());
            for (std::size_t k = 0; k < table.columns.size(); ++k)
                row.values.push_back(LoadValue(file, table.columns[k], ref->cells[k]));
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

} // namespace vorlek::jet
