#include "PageLayout.h"

namespace vorlek::jet {

PageRows SplitPage(ByteSpan page) {
    PageRows p;
    p.header.assign(page.begin(), page.begin() + kRowTableStart);
    const std::uint16_t n = RowCount(page);
    for (unsigned i = 0; i < n; ++i) {
        const RowSlot s = RowAt(page, i);
        p.rows.push_back({s.flags, Bytes(page.begin() + s.start, page.begin() + s.end)});
    }
    return p;
}

std::optional<Bytes> PackPage(const PageRows& p) {
    const std::size_t n = p.rows.size();
    std::size_t total = kRowTableStart + 2 * n;
    for (const auto& r : p.rows)
        total += r.bytes.size();
    if (total > kPageSize || n > 255)
        return std::nullopt;
    Bytes page(kPageSize, 0);
    std::copy(p.header.begin(), p.header.end(), page.begin());
    std::size_t end = kPageSize;
    for (std::size_t i = 0; i < n; ++i) {
        const auto& r = p.rows[i];
        const std::size_t start = end - r.bytes.size();
        std::copy(r.bytes.begin(), r.bytes.end(), page.begin() + start);
        Put16(page, kRowTableStart + 2 * i, static_cast<std::uint16_t>(start | r.flags));
        end = start;
    }
    Put16(page, 12, static_cast<std::uint16_t>(n));
    Put16(page, 2, static_cast<std::uint16_t>(end - (kRowTableStart + 2 * n)));
    return page;
}

std::size_t FreeSpace(ByteSpan page) {
    const std::uint16_t n = RowCount(page);
    std::size_t lowest = kPageSize;
    for (unsigned i = 0; i < n; ++i)
        lowest = std::min(lowest, RowAt(page, i).start);
    return lowest - (kRowTableStart + 2u * n);
}

PageRows NewDataPage(std::uint32_t tdefPage) {
    PageRows p;
    p.header.assign(kRowTableStart, 0);
    p.header[0] = kDataPageType;
    p.header[1] = 0x01;
    Put32(p.header, 4, tdefPage);
    return p;
}

} // namespace vorlek::jet
