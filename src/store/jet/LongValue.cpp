#include "LongValue.h"

#include "DataPage.h"

#include <algorithm>
#include <set>

namespace vorlek::jet {

namespace {

constexpr std::uint32_t kInline = 0x80000000u;
constexpr std::uint32_t kSingleRow = 0x40000000u;
constexpr std::uint32_t kLengthMask = 0x3FFFFFFFu;

Bytes LoadRow(const PageFile& file, std::uint32_t pointer) {
    const Bytes page = file.Read(PointerPage(pointer));
    Need(page[0] == kDataPageType);
    const RowSlot s = RowAt(page, PointerRow(pointer));
    return Bytes(page.begin() + s.start, page.begin() + s.end);
}

} // namespace

Bytes ReadLongValue(const PageFile& file, ByteSpan ref) {
    Need(ref.size() >= 12);
    const std::uint32_t head = Get32(ref, 0);
    const std::uint32_t length = head & kLengthMask;
    if (head & kInline) {
        Need(length <= ref.size() - 12);
        return Bytes(ref.begin() + 12, ref.begin() + 12 + length);
    }
    // Never more than the file could hold.
    Need(length <= file.Size());
    std::uint32_t pointer = Get32(ref, 4);
    if (head & kSingleRow) {
        Bytes row = LoadRow(file, pointer);
        Need(row.size() >= length);
        row.resize(length);
        return row;
    }
    Bytes out;
    std::set<std::uint32_t> visited; // a chain that comes back on itself is damage
    while (out.size() < length) {
        Need(pointer != 0 && visited.insert(pointer).second);
        const Bytes row = LoadRow(file, pointer);
        Need(row.size() >= 4);
        pointer = Get32(row, 0);
        const std::size_t take = std::min<std::size_t>(row.size() - 4, length - out.size());
        Need(take > 0);
        out.insert(out.end(), row.begin() + 4, row.begin() + 4 + take);
    }
    return out;
}

} // namespace vorlek::jet
