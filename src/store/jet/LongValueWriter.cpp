#include "LongValueWriter.h"

#include "DataPage.h"
#include "PageLayout.h"
#include "UsageMap.h"

#include <set>

namespace vorlek::jet {

namespace {

constexpr std::uint32_t kSingleRowFlag = 0x40000000u;
constexpr std::size_t kRowRoom = kPageSize - kRowTableStart - 2; // one row alone on a page
constexpr std::size_t kChunk = kRowRoom - 4;                     // after the next-row pointer

// Clears the page's bit in the free-page map (page 1, row 0), where that map covers it.
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

void DeleteRow(PageTransaction& tx, std::uint32_t pointer) {
    PageRows rows = SplitPage(tx.Current(PointerPage(pointer)));
    Need(PointerRow(pointer) < rows.rows.size());
    rows.rows[PointerRow(pointer)] = {kRowDeleted, {}};
    tx.Stage(PointerPage(pointer), *PackPage(rows), PageTransaction::kCleanUp);
}

} // namespace

void ClaimNewPage(PageTransaction& tx, std::uint32_t mapPointer, std::uint32_t page,
                  const std::string& what) {
    if (mapPointer != 0) {
        auto image = MapWithPage([&](std::uint32_t p) { return tx.Current(p); }, mapPointer, page);
        if (!image)
            throw JetError("Cannot add a page for " + what + ": its page map is full.");
        tx.Stage(image->page, std::move(image->bytes));
    }
    ClaimInGlobalMap(tx, page);
}

Bytes WriteLongValue(PageTransaction& tx, const Column& column, const Bytes& body) {
    if (body.size() > 0x3FFFFFFF)
        throw JetError("Record is too large.");
    const std::size_t pages = body.size() <= kRowRoom ? 1 : (body.size() + kChunk - 1) / kChunk;
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < pages; ++i)
        numbers.push_back(tx.NewPage());
    for (std::size_t i = 0; i < pages; ++i) {
        Bytes row;
        if (pages == 1) {
            row = body;
        } else {
            Append32(row, i + 1 < pages ? DataPointer(numbers[i + 1], 0) : 0);
            const std::size_t from = i * kChunk;
            const std::size_t to = std::min(body.size(), from + kChunk);
            row.insert(row.end(), body.begin() + from, body.begin() + to);
        }
        PageRows page = NewDataPage(kLongValueOwner);
        page.rows.push_back({0, std::move(row)});
        tx.Stage(numbers[i], *PackPage(page));
        ClaimNewPage(tx, column.longValuePagesPointer, numbers[i], "field '" + column.name + "'");
    }
    Bytes ref;
    Append32(ref, static_cast<std::uint32_t>(body.size()) | (pages == 1 ? kSingleRowFlag : 0));
    Append32(ref, DataPointer(numbers[0], 0));
    Append32(ref, 0);
    return ref;
}

void ReleaseLongValue(PageTransaction& tx, ByteSpan ref) {
    if (ref.size() < 12)
        return;
    const std::uint32_t head = Get32(ref, 0);
    if (head & 0x80000000u)
        return; // inside the row
    std::uint32_t pointer = Get32(ref, 4);
    if (head & kSingleRowFlag) {
        DeleteRow(tx, pointer);
        return;
    }
    std::set<std::uint32_t> seen;
    while (pointer != 0 && seen.insert(pointer).second) {
        const Bytes page = tx.Current(PointerPage(pointer));
        const RowSlot s = RowAt(page, PointerRow(pointer));
        const std::uint32_t next = s.size() >= 4 ? Get32(page, s.start) : 0;
        DeleteRow(tx, pointer);
        pointer = next;
    }
}

} // namespace vorlek::jet
