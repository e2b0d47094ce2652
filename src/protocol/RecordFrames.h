#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The 21-byte record frames the program sends to the meter. Names arrive as
// Windows-1254 bytes; null values arrive as empty text and 0.
namespace vorlek {

inline constexpr std::size_t kFrameSize = 21;
using RecordFrame = std::array<std::uint8_t, kFrameSize>;

inline constexpr std::uint8_t kStartByte = 0xFA;
inline constexpr std::uint8_t kRecordCommand = 0x20;

inline constexpr int kSatSlots = 32;
inline constexpr int kTPSlots = 256;
inline constexpr std::uint16_t kSatBase = 0x0800;
inline constexpr std::uint16_t kTPBase = 0x0A00;
inline constexpr int kSlotStride = 16;
inline constexpr std::size_t kSatNameSize = 16;
inline constexpr std::size_t kTPNameSize = 12;

inline constexpr std::int32_t kMinFrequency = 10700;
inline constexpr std::int32_t kMaxFrequency = 12750;
inline constexpr std::int32_t kMinSymbolRate = 2000;
inline constexpr std::int32_t kMaxSymbolRate = 45000;

// Maps the Turkish letters of Windows-1254 onto the meter's character set.
std::uint8_t ToDeviceChar(std::uint8_t b);
// The letter the meter shows for a device byte: the inverse of ToDeviceChar
// over its mapped range (so '@' reads back as C-cedilla, as the meter shows it).
std::uint8_t FromDeviceChar(std::uint8_t b);

struct TransponderValues {
    std::string_view name; // Windows-1254
    std::int32_t frequency = 0;
    std::int32_t polarisation = 0;
    std::int32_t symbolRate = 0;
};

// Satellite slot s is the row with ID s + 1; transponder slot t the row with
// SatID t / 8 + 1 and ID t % 8 + 1.
constexpr std::uint16_t SatKey(std::int32_t slot) {
    return static_cast<std::uint16_t>(slot + 1);
}
constexpr std::int32_t TPSatKey(std::int32_t slot) {
    return slot / 8 + 1;
}
constexpr std::int32_t TPKey(std::int32_t slot) {
    return slot % 8 + 1;
}

constexpr bool IsSatSlot(std::int32_t slot) {
    return slot >= 0 && slot < kSatSlots;
}
constexpr bool IsTPSlot(std::int32_t slot) {
    return slot >= 0 && slot < kTPSlots;
}

// Empty for a slot outside the record regions: such a frame would overwrite
// meter memory that the channel list does not own.
std::optional<RecordFrame> BuildSatFrame(std::int32_t slot, std::string_view name);
std::optional<RecordFrame> BuildTPFrame(std::int32_t slot, const TransponderValues& tp);

std::uint8_t CheckByte(const std::uint8_t* bytes, std::size_t count);

} // namespace vorlek
