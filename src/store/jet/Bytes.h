// Little-endian access to page bytes. Every read is bounds-checked: numbers come from the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <span>
#include <vector>

namespace vorlek::jet {

// Raised deep inside the decoders when the file contradicts itself; the database turns it into
// Jet's "Unrecognized database format" message with the file's path.
struct FormatError : std::exception {
    const char* what() const noexcept override { return "damaged database file"; }
};

[[noreturn]] inline void Damaged() {
    throw FormatError{};
}

inline void Need(bool ok) {
    if (!ok)
        Damaged();
}

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

inline void CheckRange(ByteSpan b, std::size_t off, std::size_t len) {
    Need(off <= b.size() && len <= b.size() - off);
}

inline std::uint8_t Get8(ByteSpan b, std::size_t off) {
    CheckRange(b, off, 1);
    return b[off];
}
inline std::uint16_t Get16(ByteSpan b, std::size_t off) {
    CheckRange(b, off, 2);
    return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}
inline std::uint32_t Get24(ByteSpan b, std::size_t off) {
    CheckRange(b, off, 3);
    return static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
           (static_cast<std::uint32_t>(b[off + 2]) << 16);
}
inline std::uint32_t Get32(ByteSpan b, std::size_t off) {
    CheckRange(b, off, 4);
    return static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
           (static_cast<std::uint32_t>(b[off + 2]) << 16) |
           (static_cast<std::uint32_t>(b[off + 3]) << 24);
}
inline std::uint64_t Get64(ByteSpan b, std::size_t off) {
    return Get32(b, off) | (static_cast<std::uint64_t>(Get32(b, off + 4)) << 32);
}
inline ByteSpan Slice(ByteSpan b, std::size_t off, std::size_t len) {
    CheckRange(b, off, len);
    return b.subspan(off, len);
}

inline void Put8(Bytes& b, std::size_t off, std::uint8_t v) {
    Need(off < b.size());
    b[off] = v;
}
inline void Put16(Bytes& b, std::size_t off, std::uint16_t v) {
    Need(off <= b.size() && b.size() - off >= 2);
    b[off] = static_cast<std::uint8_t>(v);
    b[off + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(Bytes& b, std::size_t off, std::uint32_t v) {
    Need(off <= b.size() && b.size() - off >= 4);
    for (int i = 0; i < 4; ++i)
        b[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Put64(Bytes& b, std::size_t off, std::uint64_t v) {
    Put32(b, off, static_cast<std::uint32_t>(v));
    Put32(b, off + 4, static_cast<std::uint32_t>(v >> 32));
}
inline void Append16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Append32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A pointer to a row: the row number in the low byte, the page in the three above it.
inline std::uint32_t DataPointer(std::uint32_t page, std::uint8_t row) {
    return (page << 8) | row;
}
inline std::uint32_t PointerPage(std::uint32_t dp) {
    return dp >> 8;
}
inline std::uint8_t PointerRow(std::uint32_t dp) {
    return static_cast<std::uint8_t>(dp);
}

} // namespace vorlek::jet
