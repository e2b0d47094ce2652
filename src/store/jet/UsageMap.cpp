#include "UsageMap.h"

#include "DataPage.h"

#include <algorithm>

namespace vorlek::jet {

namespace {

constexpr std::size_t kMapPageBits = (kPageSize - 4) * 8;

struct MapRow {
    Bytes page;
    RowSlot slot;
};

MapRow LoadMapRow(const PageReader& read, std::uint32_t pointer) {
    MapRow m;
    m.page = read(PointerPage(pointer));
    Need(m.page[0] == kDataPageType);
    m.slot = RowAt(m.page, PointerRow(pointer));
    Need(m.slot.size() >= 1);
    return m;
}

} // namespace

std::vector<std::uint32_t> MapPages(const PageFile& file, std::uint32_t pointer) {
    const MapRow m = LoadMapRow([&](std::uint32_t p) { return file.Read(p); }, pointer);
    const ByteSpan rec = Slice(m.page, m.slot.start, m.slot.size());
    const std::uint32_t count = file.PageCount();
    std::vector<std::uint32_t> pages;
    const auto bitmap = [&](ByteSpan bits, std::uint64_t first) {
        for (std::size_t i = 0; i < bits.size(); ++i) {
            if (bits[i] == 0)
                continue;
            for (int b = 0; b < 8; ++b) {
                const std::uint64_t p = first + i * 8 + b;
                if (((bits[i] >> b) & 1) == 0)
                    continue;
                Need(p < count); // a table's page past the end: the file was cut short
                pages.push_back(static_cast<std::uint32_t>(p));
            }
        }
    };
    if (rec[0] == 0) {
        Need(rec.size() >= 5);
        bitmap(rec.subspan(5), Get32(rec, 1));
    } else if (rec[0] == 1) {
        for (std::size_t k = 0; 1 + 4 * (k + 1) <= rec.size(); ++k) {
            const std::uint32_t mp = Get32(rec, 1 + 4 * k);
            if (mp == 0)
                continue;
            const Bytes mapPage = file.Read(mp);
            Need(mapPage[0] == kUsageMapPageType);
            bitmap(ByteSpan(mapPage).subspan(4), k * kMapPageBits);
        }
    } else {
        Damaged();
    }
    // A damaged reference map may name the same map page twice.
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

std::optional<PageImage> MapWithPage(const PageReader& read, std::uint32_t pointer,
                                     std::uint32_t page) {
    MapRow m = LoadMapRow(read, pointer);
    const ByteSpan rec = Slice(m.page, m.slot.start, m.slot.size());
    if (rec[0] == 0) {
        if (rec.size() < 5)
            return std::nullopt;
        const std::uint32_t start = Get32(rec, 1);
        if (page < start || page - start >= (rec.size() - 5) * 8)
            return std::nullopt;
        const std::size_t bit = page - start;
        m.page[m.slot.start + 5 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
        return PageImage{PointerPage(pointer), std::move(m.page)};
    }
    if (rec[0] != 1)
        return std::nullopt;
    const std::size_t k = page / kMapPageBits;
    if (1 + 4 * (k + 1) > rec.size())
        return std::nullopt;
    const std::uint32_t mp = Get32(rec, 1 + 4 * k);
    if (mp == 0)
        return std::nullopt;
    Bytes mapPage = read(mp);
    Need(mapPage[0] == kUsageMapPageType);
    const std::size_t bit = page % kMapPageBits;
    mapPage[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    return PageImage{mp, std::move(mapPage)};
}

Bytes InlineMap(std::uint32_t start, const std::vector<std::uint32_t>& pages,
                std::size_t bitmapBytes) {
    Bytes rec(5 + bitmapBytes, 0);
    Put32(rec, 1, start);
    for (std::uint32_t p : pages)
        if (p >= start && p - start < bitmapBytes * 8)
            rec[5 + (p - start) / 8] |= static_cast<std::uint8_t>(1u << ((p - start) % 8));
    return rec;
}

} // namespace vorlek::jet
