#include "Writer.h"

#include "DataPage.h"
#include "Messages.h"
#include "PageLayout.h"
#include "RowCodec.h"
#include "TableScan.h"
#include "UsageMap.h"

#include <algorithm>

namespace vorlek::jet {

namespace {

// Pages written in order, with what they held before, so that a failure can be undone.
class PageTransaction {
public:
    // Phases are written one after the other, each flushed before the next starts.
    enum Phase { kNewCopies = 0, kCommitPoint = 1, kCleanUp = 2 };

    explicit PageTransaction(PageFile& file) : file_(file), size_(file.Size()) {}

    // The page as it will be once the staged changes are written.
    Bytes Current(std::uint32_t page) const {
        for (const auto& s : staged_)
            if (s.page == page)
                return s.bytes;
        return file_.Read(page);
    }

    void Stage(std::uint32_t page, Bytes bytes, Phase phase = kNewCopies) {
        for (auto& s : staged_)
            if (s.page == page) {
                s.bytes = std::move(bytes);
                s.phase = std::max(s.phase, phase);
                return;
            }
        staged_.push_back({page, std::move(bytes), phase});
    }

    // New copies first, then the page that makes the change visible, then what the change
    // leaves behind: an interruption at any point leaves every row readable.
    void Commit() {
        try {
            for (Phase phase : {kNewCopies, kCommitPoint, kCleanUp}) {
                bool any = false;
                for (const auto& s : staged_)
                    if (s.phase == phase) {
                        Put(s.page, s.bytes);
                        any = true;
                    }
                if (any)
                    file_.Sync();
            }
        } catch (...) {
            Undo();
            throw;
        }
    }

private:
    void Put(std::uint32_t page, const Bytes& bytes) {
        if (static_cast<std::uint64_t>(page) * kPageSize < size_)
            before_.emplace_back(page, file_.ReadRaw(page));
        file_.Write(page, bytes);
    }
    void Undo() noexcept {
        try {
            for (auto it = before_.rbegin(); it != before_.rend(); ++it)
                file_.WriteRaw(it->first, it->second);
            if (file_.Size() != size_)
                file_.Truncate(size_);
            file_.Sync();
        } catch (...) {
        }
    }

    PageFile& file_;
    std::uint64_t size_;
    struct Staged {
        std::uint32_t page;
        Bytes bytes;
        Phase phase;
    };
    std::vector<Staged> staged_;
    std::vector<std::pair<std::uint32_t, Bytes>> before_;
};

Bytes LoadTablePage(const PageFile& file, const TableDef& table, std::uint32_t page) {
    if (page >= file.PageCount())
        throw JetError(msg::kRowChanged);
    Bytes bytes = file.Read(page);
    if (bytes[0] != kDataPageType || PageOwner(bytes) != table.tdefPage)
        throw JetError(msg::kRowChanged);
    return bytes;
}

// Marks `page` as in use in the database's free-page map, where that map covers it.
void ClaimInGlobalMap(PageTransaction& tx, std::uint32_t page) {
    Bytes p1 = tx.Current(1);
    if (p1[0] != kDataPageType || RowCount(p1) == 0)
        return;
    const RowSlot s = RowAt(p1, 0);
    if (s.size() < 5 || p1[s.start] != 0)
        return;
    const std::uint32_t start = Get32(p1, s.start + 1);
    if (page < start || page - start >= (s.size() - 5) * 8)
        return;
    const std::size_t bit = page - start;
    p1[s.start + 5 + bit / 8] &= static_cast<std::uint8_t>(~(1u << (bit % 8)));
    tx.Stage(1, std::move(p1));
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
    const std::uint32_t fresh = file.PageCount();
    if (fresh >= 0xFFFFFF)
        throw JetError("Database is full.");
    PageRows rows = NewDataPage(table.tdefPage);
    rows.rows.push_back({kRowDeleted, row});
    auto packed = PackPage(rows);
    if (!packed)
        throw JetError("Record is too large.");
    const auto current = [&](std::uint32_t p) { return tx.Current(p); };
    auto used = MapWithPage(current, table.usedPagesPointer, fresh);
    if (!used)
        throw JetError("Cannot move the row to a new page: the page map of table '" + table.name +
                       "' is full.");
    tx.Stage(fresh, std::move(*packed));
    tx.Stage(used->page, std::move(used->bytes));
    if (table.freePagesPointer != 0)
        if (auto free = MapWithPage(current, table.freePagesPointer, fresh))
            tx.Stage(free->page, std::move(free->bytes));
    ClaimInGlobalMap(tx, fresh);
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
    bool changed = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!SameValue(LoadValue(file, table.columns[i], cells[i]), before.values[i]))
            throw JetError(msg::kRowChanged);
        if (!SameValue(after[i], before.values[i])) {
            cells[i] = ValueCell(table.columns[i], after[i]);
            changed = true;
        }
    }
    if (!changed)
        return;
    const Bytes row = EncodeCells(cells, table);

    PageTransaction tx(file);
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
