#include "Text.h"

namespace vorlek::jet {

std::u16string DecodeText(ByteSpan b) {
    std::u16string out;
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        bool compressed = true;
        std::size_t i = 2;
        while (i < b.size()) {
            if (b[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out.push_back(b[i++]);
            } else {
                if (i + 1 >= b.size())
                    break;
                out.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
                i += 2;
            }
        }
        return out;
    }
    for (std::size_t i = 0; i + 1 < b.size(); i += 2)
        out.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
    return out;
}

Bytes EncodeText(const std::u16string& text, bool compress) {
    Bytes plain;
    for (char16_t c : text)
        Append16(plain, static_cast<std::uint16_t>(c));
    if (!compress)
        return plain;
    Bytes packed{0xFF, 0xFE};
    bool compressed = true;
    for (char16_t c : text) {
        if ((c & 0xFF) == 0)
            return plain; // its low byte would read as a mode switch
        const bool narrow = c <= 0xFF;
        if (narrow != compressed) {
            packed.push_back(0);
            compressed = narrow;
        }
        if (narrow)
            packed.push_back(static_cast<std::uint8_t>(c));
        else
            Append16(packed, static_cast<std::uint16_t>(c));
    }
    return packed.size() < plain.size() ? packed : plain;
}

} // namespace vorlek::jet
