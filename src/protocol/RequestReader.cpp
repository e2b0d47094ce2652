#include "RequestReader.h"

#include <cstring>

namespace vorlek {

bool IsValidRequest(const std::uint8_t* c) {
    return c[0] == 0xFA && (c[1] == 0x21 || c[1] == 0x11) && (c[1] ^ c[2] ^ c[3]) == c[4];
}

void RequestReader::Receive(const std::uint8_t* data, std::size_t count,
                            const std::function<void(std::uint16_t)>& dispatch) {
    const auto held = static_cast<std::size_t>(RxCount);
    if (count < kRxBufSize - held) {
        std::memcpy(RxBuf.data() + held, data, count);
        RxCount += static_cast<std::int32_t>(count);
    }
    while (RxCount >= static_cast<std::int32_t>(kRequestSize)) {
        const bool valid = IsValidRequest(RxBuf.data());
        const std::size_t drop = valid ? kRequestSize : 1;
        const auto code = static_cast<std::uint16_t>(RxBuf[2] << 8 | RxBuf[3]);
        std::memmove(RxBuf.data(), RxBuf.data() + drop, static_cast<std::size_t>(RxCount) - drop);
        RxCount -= static_cast<std::int32_t>(drop);
        if (valid)
            dispatch(code);
    }
}

} // namespace vorlek
