#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

// Reassembles the meter's 5-byte request frames (FA cmd hi lo chk) from the
// chunks the serial port delivers. The buffer lives as long as its owner and
// is never cleared by connecting or by a new upload: bytes left over from an
// earlier exchange stay in front of newer ones.
namespace vorlek {

inline constexpr std::size_t kRequestSize = 5;
inline constexpr std::size_t kRxBufSize = 100;

bool IsValidRequest(const std::uint8_t* candidate);

struct RequestReader {
    std::array<std::uint8_t, kRxBufSize> RxBuf{};
    std::int32_t RxCount = 0;

    // Stores a chunk (dropped whole unless it leaves at least one byte free),
    // then hands each valid code to dispatch before the next candidate is
    // looked at. A frame is consumed before its dispatch runs, so a throwing
    // dispatch leaves the bytes behind it for the next chunk.
    void Receive(const std::uint8_t* data, std::size_t count,
                 const std::function<void(std::uint16_t code)>& dispatch);
};

} // namespace vorlek
