// Usage maps: which pages belong to a table. Inline maps (type 0) carry a start page and a
// bitmap; reference maps (type 1) list pages of type 0x05 that carry the bitmap.
#pragma once

#include "Bytes.h"
#include "PageFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vorlek::jet {

struct PageImage {
    std::uint32_t page = 0;
    Bytes bytes;
};

// Pages marked in the map the pointer (a tdef's used/free-pages field) names, ascending.
// A marked page beyond the end of the file is damage.
std::vector<std::uint32_t> MapPages(const PageFile& file, std::uint32_t pointer);

using PageReader = std::function<Bytes(std::uint32_t page)>;

// The page to write so that `page` is marked in the map; nullopt when the map cannot cover it.
// Pages come from `read`, so that changes not yet written are built upon.
std::optional<PageImage> MapWithPage(const PageReader& read, std::uint32_t pointer,
                                     std::uint32_t page);

// An inline map record covering pages [start, start + 8 * bitmapBytes).
Bytes InlineMap(std::uint32_t start, const std::vector<std::uint32_t>& pages,
                std::size_t bitmapBytes = 64);

} // namespace vorlek::jet
