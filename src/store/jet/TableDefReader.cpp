#include "TableDefReader.h"

#include "DataPage.h"
#include "Text.h"

#include <algorithm>
#include <set>

namespace vorlek::jet {

namespace {

constexpr std::size_t kMaxTdefPages = 64;
constexpr std::size_t kColumnEntry = 25;
constexpr std::size_t kRealIndexEntry = 12;
constexpr std::size_t kRealIndexDef = 52;

Bytes LoadChain(const PageFile& file, std::uint32_t first) {
    Bytes all;
    std::set<std::uint32_t> seen;
    std::uint32_t page = first;
    while (page != 0) {
        Need(seen.insert(page).second && seen.size() <= kMaxTdefPages);
        const Bytes p = file.Read(page);
        Need(p[0] == kTdefPageType);
        if (all.empty())
            all.insert(all.end(), p.begin(), p.end());
        else
            all.insert(all.end(), p.begin() + 8, p.end());
        page = Get32(p, 4);
    }
    return all;
}

} // namespace

std::size_t FixedSize(const Column& c) {
    switch (c.type) {
    case ColumnType::Boolean:
        return 0;
    case ColumnType::Byte:
        return 1;
    case ColumnType::Integer:
        return 2;
    case ColumnType::Long:
    case ColumnType::Single:
        return 4;
    case ColumnType::Money:
    case ColumnType::Double:
    case ColumnType::DateTime:
        return 8;
    case ColumnType::GUID:
        return 16;
    case ColumnType::Numeric:
        return 17;
    default:
        return c.length;
    }
}

TableDef ReadTableDef(const PageFile& file, std::uint32_t page, const std::string& name) {
    const Bytes d = LoadChain(file, page);
    TableDef t;
    t.name = name;
    t.tdefPage = page;
    t.rowCount = Get32(d, 0x10);
    t.system = Get8(d, 0x28) == 0x53;
    t.maxColumns = Get16(d, 0x29);
    t.varColumns = Get16(d, 0x2B);
    const std::uint16_t numCols = Get16(d, 0x2D);
    const std::uint32_t numRealIdx = Get32(d, 0x33);
    t.usedPagesPointer = Get32(d, 0x37);
    t.freePagesPointer = Get32(d, 0x3B);
    Need(numRealIdx <= 1000);

    std::size_t at = 0x3F + kRealIndexEntry * numRealIdx;
    for (unsigned i = 0; i < numCols; ++i, at += kColumnEntry) {
        ByteSpan e = Slice(d, at, kColumnEntry);
        Column c;
        const std::uint8_t type = e[0];
        Need(type >= 1 && type <= 0x12); // types this engine does not know read as raw bytes
        c.type = static_cast<ColumnType>(type);
        c.number = Get16(e, 5);
        c.varIndex = Get16(e, 7);
        c.precision = e[11];
        c.scale = e[12];
        c.flags = e[15];
        c.compressed = (e[16] & 0x01) != 0;
        c.fixedOffset = Get16(e, 21);
        c.length = Get16(e, 23);
        t.columns.push_back(std::move(c));
    }
    for (auto& c : t.columns) {
        const std::uint16_t len = Get16(d, at);
        c.name = Utf16ToUtf8(DecodeText(Slice(d, at + 2, len)));
        at += 2 + len;
    }
    for (std::uint32_t i = 0; i < numRealIdx; ++i, at += kRealIndexDef) {
        ByteSpan e = Slice(d, at, kRealIndexDef);
        for (int k = 0; k < 10; ++k) {
            const std::uint16_t col = Get16(e, 4 + 3 * k);
            for (auto& c : t.columns)
                if (col != 0xFFFF && c.number == col)
                    c.indexed = true;
        }
    }
    // Logical indexes and their names, then each long-value column's page maps.
    const std::uint32_t numIdx = Get32(d, 0x2F);
    Need(numIdx <= 1000);
    at += 28 * std::size_t{numIdx};
    for (std::uint32_t i = 0; i < numIdx; ++i)
        at += 2 + std::size_t{Get16(d, at)};
    // Older or foreign definitions may end early; the maps are only needed for writing.
    for (std::size_t k = 0; k < t.columns.size() && at + 2 <= d.size(); ++k, at += 10) {
        const std::uint16_t col = Get16(d, at);
        if (col == 0xFFFF || at + 10 > d.size())
            break;
        for (auto& c : t.columns)
            if (c.number == col)
                c.longValuePagesPointer = Get32(d, at + 2);
    }
    std::stable_sort(t.columns.begin(), t.columns.end(),
                     [](const Column& a, const Column& b) { return a.number < b.number; });
    return t;
}

} // namespace vorlek::jet
