#include "Utf.h"

namespace vorlek {
namespace {

bool AppendUtf16(std::u16string& out, char32_t c) {
    if (c == kBrokenUtf8 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    if (c >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
    return true;
}

} // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    bool ok = true;
    ForEachUtf8CodePoint(text, [&](char32_t c) { ok = AppendUtf16(out, c) && ok; });
    if (!ok)
        return std::nullopt;
    return out;
}

std::u16string Utf8ToUtf16OrReplace(std::string_view text) {
    std::u16string out;
    ForEachUtf8CodePoint(text, [&](char32_t c) {
        if (!AppendUtf16(out, c))
            out.push_back(u'\xFFFD');
    });
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachUtf16CodePoint(
        text, [&](char32_t c) { AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c); });
    return out;
}

} // namespace vorlek
