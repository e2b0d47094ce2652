// Frames built from arbitrary rows: a frame exists exactly for the slots of
// the two record regions, and every frame is well formed - start byte,
// command, its slot's address, the clamped numbers, the mapped name bytes
// padded with blanks, and a check byte that a meter accepts.
#include "RecordFrames.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace vorlek;

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

std::int32_t Take32(const std::uint8_t*& p, std::size_t& n) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && n > 0; ++i, --n)
        v = v << 8 | *p++;
    return static_cast<std::int32_t>(v);
}

void CheckCommon(const RecordFrame& f, int address, std::size_t nameAt, std::size_t nameSize,
                 const std::string& name) {
    Check(f[0] == 0xFA && f[1] == 0x20);
    Check((f[2] << 8 | f[3]) == address);
    Check(CheckByte(f.data() + 1, 19) == f[20]);
    const bool useDefault = name.empty() || static_cast<std::uint8_t>(name[0]) < 0x20;
    for (std::size_t i = 0; i < nameSize && !useDefault; ++i) {
        const std::uint8_t in = i < name.size() ? static_cast<std::uint8_t>(name[i]) : ' ';
        Check(f[nameAt + i] == ToDeviceChar(in));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* p = data;
    std::size_t n = size;
    const std::int32_t slot = Take32(p, n) % 300;
    const std::int32_t frequency = Take32(p, n);
    const std::int32_t polarisation = Take32(p, n);
    const std::int32_t symbolRate = Take32(p, n);
    const std::string name(reinterpret_cast<const char*>(p), n);

    const auto sat = BuildSatFrame(slot, name);
    Check(sat.has_value() == (slot >= 0 && slot < 32));
    if (sat)
        CheckCommon(*sat, 0x0800 + 16 * slot, 4, 16, name);

    const auto tp = BuildTPFrame(slot, {name, frequency, polarisation, symbolRate});
    Check(tp.has_value() == (slot >= 0 && slot < 256));
    if (tp) {
        CheckCommon(*tp, 0x0A00 + 16 * slot, 8, 12, name);
        const int word = (*tp)[4] << 8 | (*tp)[5];
        Check(((word & 0x8000) != 0) == (polarisation > 0));
        Check((word & 0x7FFF) == std::clamp(frequency, 10700, 12750));
        Check(((*tp)[6] << 8 | (*tp)[7]) == std::clamp(symbolRate, 2000, 45000));
    }
    return 0;
}
