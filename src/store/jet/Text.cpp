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

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t n = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4;
        }
        if (n > 1) {
            if (i + n > s.size()) {
                n = 1;
            } else {
                cp = c & (0x7F >> n);
                for (std::size_t k = 1; k < n; ++k) {
                    const auto cc = static_cast<unsigned char>(s[i + k]);
                    if ((cc & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        n = k;
                        break;
                    }
                    cp = (cp << 6) | (cc & 0x3F);
                }
            }
        }
        i += n;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        std::uint32_t cp = t[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
            t[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace vorlek::jet
