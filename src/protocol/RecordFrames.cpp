#include "RecordFrames.h"

#include <algorithm>
#include <string>

namespace vorlek {
namespace {

struct DeviceLetter {
    std::uint8_t letter; // Windows-1254
    std::uint8_t device;
};
constexpr DeviceLetter kDeviceLetters[] = {
    {0xC7, 0x40}, {0xD0, 0x5B}, {0xDD, 0x5C}, {0xD6, 0x5D}, {0xDE, 0x5E}, {0xDC, 0x5F},
    {0xE7, 0x60}, {0xF0, 0x7B}, {0xFD, 0x7C}, {0xF6, 0x7D}, {0xFE, 0x7E}, {0xFC, 0x7F},
};

// A name that sorts before a blank (empty, or led by a control byte) is
// replaced by the prefix and the two-digit key: SAT01, TP08.
std::string NameOrDefault(std::string_view name, const char* prefix, int key) {
    if (!name.empty() && static_cast<std::uint8_t>(name[0]) >= 0x20)
        return std::string(name);
    return prefix + std::to_string(key + 100).substr(1, 2);
}

void PutName(RecordFrame& f, std::size_t at, std::size_t size, std::string text) {
    text.resize(std::max(text.size(), size), ' ');
    for (std::size_t i = 0; i < size; ++i)
        f[at + i] = ToDeviceChar(static_cast<std::uint8_t>(text[i]));
}

void PutWord(RecordFrame& f, std::size_t at, std::uint32_t word) {
    f[at] = static_cast<std::uint8_t>(word >> 8);
    f[at + 1] = static_cast<std::uint8_t>(word);
}

RecordFrame Header(std::uint16_t address) {
    RecordFrame f{};
    f[0] = kStartByte;
    f[1] = kRecordCommand;
    PutWord(f, 2, address);
    return f;
}

void Seal(RecordFrame& f) {
    f[kFrameSize - 1] = CheckByte(f.data() + 1, kFrameSize - 2);
}

} // namespace

std::uint8_t ToDeviceChar(std::uint8_t b) {
    for (const auto& m : kDeviceLetters) {
        if (m.letter == b)
            return m.device;
    }
    return b;
}

std::uint8_t FromDeviceChar(std::uint8_t b) {
    for (const auto& m : kDeviceLetters) {
        if (m.device == b)
            return m.letter;
    }
    return b;
}

std::uint8_t CheckByte(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < count; ++i)
        x ^= bytes[i];
    return x;
}

std::optional<RecordFrame> BuildSatFrame(std::int32_t slot, std::string_view name) {
    if (!IsSatSlot(slot))
        return std::nullopt;
    RecordFrame f = Header(static_cast<std::uint16_t>(kSatBase + kSlotStride * slot));
    PutName(f, 4, kSatNameSize, NameOrDefault(name, "SAT", SatKey(slot)));
    Seal(f);
    return f;
}

std::optional<RecordFrame> BuildTPFrame(std::int32_t slot, const TransponderValues& tp) {
    if (!IsTPSlot(slot))
        return std::nullopt;
    RecordFrame f = Header(static_cast<std::uint16_t>(kTPBase + kSlotStride * slot));
    const std::int32_t polarisation = std::min(tp.polarisation, 1);
    const std::int32_t symbolRate = std::clamp(tp.symbolRate, kMinSymbolRate, kMaxSymbolRate);
    const std::int32_t frequency = std::clamp(tp.frequency, kMinFrequency, kMaxFrequency);
    const std::uint32_t word =
        static_cast<std::uint32_t>(frequency) | (polarisation > 0 ? 0x8000u : 0u);
    PutWord(f, 4, word);
    PutWord(f, 6, static_cast<std::uint32_t>(symbolRate));
    PutName(f, 8, kTPNameSize, NameOrDefault(tp.name, "TP", TPKey(slot)));
    Seal(f);
    return f;
}

} // namespace vorlek
