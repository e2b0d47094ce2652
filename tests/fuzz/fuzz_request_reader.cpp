// The request reader over arbitrary chunkings of a stream in which valid
// requests are interleaved with noise. Noise never holds the start byte, so
// it cannot start a false candidate: every inserted request must come out,
// in order, and nothing else. A second pass feeds the raw input as chunks and
// checks only that the buffer keeps its bounds.
#include "RequestReader.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace vorlek;

namespace {

struct Input {
    const std::uint8_t* p;
    std::size_t n;
    std::uint8_t Next() {
        if (n == 0)
            return 0;
        --n;
        return *p++;
    }
};

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    std::vector<std::uint8_t> stream;
    std::vector<int> expected;
    while (in.n > 0) {
        const std::uint8_t op = in.Next();
        if (op & 1) {
            const auto cmd = static_cast<std::uint8_t>(op & 2 ? 0x11 : 0x21);
            const std::uint8_t hi = in.Next(), lo = in.Next();
            stream.insert(stream.end(),
                          {0xFA, cmd, hi, lo, static_cast<std::uint8_t>(cmd ^ hi ^ lo)});
            expected.push_back(hi << 8 | lo);
        } else {
            for (int k = op >> 1 & 7; k >= 0; --k) {
                const std::uint8_t b = in.Next();
                stream.push_back(b == 0xFA ? 0xFB : b);
            }
        }
    }

    RequestReader reader;
    std::vector<int> found;
    auto dispatch = [&](std::uint16_t code) {
        Check(reader.RxCount >= 0 && reader.RxCount <= 99);
        found.push_back(code);
    };
    // Chunks shorter than the space left after a scan (at most 4 bytes held) are always stored.
    std::size_t at = 0;
    for (std::size_t i = 0; at < stream.size(); ++i) {
        const std::size_t len =
            std::min<std::size_t>(stream.size() - at, 1 + (i < size ? data[i] % 94 : 7));
        reader.Receive(stream.data() + at, len, dispatch);
        Check(reader.RxCount >= 0 && reader.RxCount < 5);
        at += len;
    }
    Check(found == expected);

    RequestReader raw;
    for (std::size_t i = 0; i < size;) {
        const std::size_t len = std::min<std::size_t>(size - i, 1 + data[i] % 128);
        raw.Receive(data + i, len,
                    [&](std::uint16_t) { Check(raw.RxCount >= 0 && raw.RxCount <= 99); });
        Check(raw.RxCount >= 0 && raw.RxCount <= 99);
        i += len;
    }
    return 0;
}
