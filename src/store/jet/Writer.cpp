#include "Writer.h"

#include "DataPage.h"
#include "LongValueWriter.h"
#include "Messages.h"
#include "PageLayout.h"
#include "PageTransaction.h"
#include "RowCodec.h"
#include "TableScan.h"
#include "UsageMap.h"

#include <algorithm>

namespace vorlek::jet {

namespace {

Bytes LoadTablePage(const PageFile& file, const TableDef& table, std::uint32_t page) {
    if (page >= file.PageCount())
        throw JetError(msg::kRowChanged);
    Bytes bytes = file.Read(page);
    if (bytes[0] != kDataPageType || PageOwner(bytes) != table.tdefPage)
        throw JetError(msg::kRowChanged);
    return bytes;
}

struct Placement {
    std::uint32_t page = 0;
    std::uint16_t row = 0;
};

// Puts `row` on a page of the table other than `avoid`, or on a new page at the end of the
// file. The row is flagged deleted there, as Access flags moved rows, so scans see it only
// through the pointer left in its slot.
Placement PlaceElsewhere(PageFile& file, PageTransaction& tx, const TableDef& table,
                         const Bytes& row, std::uint32_t avoid, std::uint32_t avoidToo) {
    for (std::uint32_t p : MapPages(file, table.usedPagesPointer)) {
        if (p == avoid || p == avoidToo)
            continue;
        const Bytes page = file.Read(p);
        if (page[0] != kDataPageType || PageOwner(page) != table.tdefPage)
            continue;
        if (FreeSpace(page) < row.size() + 2)
            continue;
        PageRows rows = SplitPage(page);
        rows.rows.push_back({kRowDeleted, row});
        if (auto packed = PackPage(rows)) {
            tx.Stage(p, std::move(*packed));
            return {p, static_cast<std::uint16_t>(rows.rows.size() - 1)};
        }
    }
    const std::uint32_t fresh = tx.NewPage();
    PageRows rows = NewDataPage(table.tdefPage);
    rows.rows.push_back({kRowDeleted, row});
    auto packed = PackPage(rows);
    if (!packed)
        throw JetError("Record is too large.");
    tx.Stage(fresh, std::move(*packed));
    ClaimNewPage(tx, table.usedPagesPointer, fresh, "table '" + table.name + "'");
    if (table.freePagesPointer != 0)
        if (auto free = MapWithPage([&](std::uint32_t p) { return tx.Current(p); },
                                    table.freePagesPointer, fresh))
            tx.Stage(free->page, std::move(free->bytes));
    return {fresh, 0};
}

} // namespace

void WriteRow(PageFile& file, const TableDef& table, const Row& before,
              const std::vector<Value>& after) {
    if (file.ReadOnly())
        throw JetError(msg::kReadOnly);
    const std::size_t n = table.columns.size();
    if (after.size() != n || before.values.size() != n)
        throw JetError("The row has " + std::to_string(after.size()) + " values; table '" +
                       table.name + "' has " + std::to_string(n) + " fields.");
    for (std::size_t i = 0; i < n; ++i)
        if (table.columns[i].indexed && !SameValue(after[i], before.values[i]))
            throw JetError(msg::IndexedColumn(table.columns[i].name));

    // The file as it is now, not as it was when the row was read.
    const Bytes slotPage = LoadTablePage(file, table, before.id.page);
    if (before.id.row >= RowCount(slotPage))
        throw JetError(msg::kRowChanged);
    const auto stored = ReadStoredRow(file, table, before.id);
    if (!stored)
        throw JetError(msg::kRowChanged);
    std::vector<Cell> cells = stored->cells;
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < n; ++i) {
        if (!SameValue(LoadValue(file, table.columns[i], cells[i]), before.values[i]))
            throw JetError(msg::kRowChanged);
        if (!SameValue(after[i], before.values[i]))
            changed.push_back(i);
    }
    if (changed.empty())
        return;

    PageTransaction tx(file);
    for (std::size_t i : changed) {
        const Column& c = table.columns[i];
        Cell cell = ValueCell(c, after[i]);
        const bool isLong = c.type == ColumnType::Memo || c.type == ColumnType::OLE;
        if (isLong && !cells[i].null)
            ReleaseLongValue(tx, cells[i].data);
        if (isLong && !cell.null && cell.data.size() - 12 > kInlineLongValueLimit)
            cell.data = WriteLongValue(tx, c, LongValueBody(c, after[i]));
        cells[i] = std::move(cell);
    }
    const Bytes row = EncodeCells(cells, table);

    const bool moved = stored->dataPage != before.id.page || stored->dataRow != before.id.row;
    const Bytes home = moved ? LoadTablePage(file, table, stored->dataPage) : slotPage;
    PageRows homeRows = SplitPage(home);
    homeRows.rows.at(stored->dataRow).bytes = row;
    if (auto packed = PackPage(homeRows)) {
        tx.Stage(stored->dataPage, std::move(*packed), PageTransaction::kCommitPoint);
        tx.Commit();
        return;
    }

    // It no longer fits where it lies: move it, and point the slot the indexes know at it.
    const Placement to = PlaceElsewhere(file, tx, table, row, stored->dataPage, before.id.page);
    if (moved) {
        // The previous copy is left as an empty deleted row.
        PageRows old = SplitPage(home);
        old.rows.at(stored->dataRow) = {kRowDeleted, {}};
        tx.Stage(stored->dataPage, *PackPage(old), PageTransaction::kCleanUp);
    }
    PageRows slotRows = SplitPage(slotPage);
    Bytes pointer;
    Append32(pointer, DataPointer(to.page, static_cast<std::uint8_t>(to.row)));
    slotRows.rows.at(before.id.row) = {kRowLookup, pointer};
    auto packedSlot = PackPage(slotRows);
    if (!packedSlot)
        throw JetError("Record is too large.");
    tx.Stage(before.id.page, std::move(*packedSlot), PageTransaction::kCommitPoint);
    tx.Commit();
}

} // namespace vorlek::jet
