// Data pages (and long-value pages, which share their layout): a header, a table of row
// offsets growing down from byte 14, and the rows packed from the end of the page upwards.
#pragma once

#include "Bytes.h"
#include "PageFile.h"

#include <cstdint>

namespace vorlek::jet {

inline constexpr std::uint8_t kDataPageType = 0x01;
inline constexpr std::uint8_t kTdefPageType = 0x02;
inline constexpr std::uint8_t kUsageMapPageType = 0x05;
inline constexpr std::uint16_t kRowDeleted = 0x8000;
inline constexpr std::uint16_t kRowLookup = 0x4000; // the row holds a pointer to where it moved
inline constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
inline constexpr std::size_t kRowTableStart = 14;
inline constexpr std::size_t kMaxRowSize = kPageSize - kRowTableStart - 2;
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C; // "LVAL"

struct RowSlot {
    std::size_t start = 0;
    std::size_t end = 0; // one past the last byte
    std::uint16_t flags = 0;
    std::size_t size() const { return end - start; }
};

inline std::uint16_t RowCount(ByteSpan page) {
    const std::uint16_t n = Get16(page, 12);
    Need(kRowTableStart + 2u * n <= page.size());
    return n;
}

inline std::uint32_t PageOwner(ByteSpan page) {
    return Get32(page, 4);
}

// Row `i` runs from its offset up to the offset of row i-1 (row 0 to the end of the page).
inline RowSlot RowAt(ByteSpan page, unsigned i) {
    const std::uint16_t n = RowCount(page);
    Need(i < n);
    RowSlot s;
    const std::uint16_t raw = Get16(page, kRowTableStart + 2 * i);
    s.flags = raw & 0xC000;
    s.start = raw & kRowOffsetMask;
    s.end = i == 0 ? page.size() : (Get16(page, kRowTableStart + 2 * (i - 1)) & kRowOffsetMask);
    Need(s.start >= kRowTableStart + 2u * n && s.start <= s.end && s.end <= page.size());
    return s;
}

} // namespace vorlek::jet
