#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-8 and UTF-16, the forms text takes in files, on the command line and
// in the database (UCS-2 there).
namespace vorlek {

// Passed for each byte of a broken UTF-8 sequence; decoding then goes on
// from the next byte.
inline constexpr char32_t kBrokenUtf8 = 0xFFFFFFFF;

template <class F> void ForEachUtf8CodePoint(std::string_view text, F f) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80   ? 0
                          : lead < 0xC0 ? -1
                          : lead < 0xE0 ? 1
                          : lead < 0xF0 ? 2
                          : lead < 0xF8 ? 3
                                        : -1;
        char32_t c = extra > 0 ? lead & (0x3F >> extra) : lead;
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            ok = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        if (!ok) {
            f(kBrokenUtf8);
            ++i;
            continue;
        }
        f(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
}

// A surrogate pair is one character; a lone surrogate is passed on as it is.
template <class F> void ForEachUtf16CodePoint(std::u16string_view text, F f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        f(c);
    }
}

void AppendUtf8(std::string& out, char32_t c);

// Empty for broken UTF-8 (or an encoded surrogate).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
// Broken bytes become U+FFFD.
std::u16string Utf8ToUtf16OrReplace(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace vorlek
