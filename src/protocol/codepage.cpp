#include "codepage.h"

#include "Utf.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>

namespace vorlek {
namespace {

// 0x80..0x9F; bytes the code page leaves undefined map to the C1 control of
// the same value, as Windows does, so they survive a round trip.
constexpr std::array<char16_t, 32> kHigh80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x008E, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178};

// 0xA0..0xFF is Latin-1 except for the six Turkish letters.
char32_t TurkishOrLatin1(unsigned char b) {
    switch (b) {
    case 0xD0:
        return 0x011E; // G-breve
    case 0xDD:
        return 0x0130; // I-dot
    case 0xDE:
        return 0x015E; // S-cedilla
    case 0xF0:
        return 0x011F; // g-breve
    case 0xFD:
        return 0x0131; // dotless i
    case 0xFE:
        return 0x015F; // s-cedilla
    default:
        return b;
    }
}

struct CloseLetter {
    char32_t from;
    unsigned char to;
};
constexpr CloseLetter kCloseLetters[] = {
#include "CloseLetters.inc"
};

bool IsCombiningMark(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

void Append(std::string& out, char32_t c) {
    if (!IsCombiningMark(c))
        out.push_back(static_cast<char>(ToWindows1254(c)));
}

} // namespace

char32_t FromWindows1254(unsigned char b) {
    if (b < 0x80)
        return b;
    if (b < 0xA0)
        return kHigh80[b - 0x80];
    return TurkishOrLatin1(b);
}

unsigned char ToWindows1254(char32_t c) {
    if (c < 0x80)
        return static_cast<unsigned char>(c);
    if (c >= 0xA0 && c <= 0xFF && TurkishOrLatin1(static_cast<unsigned char>(c)) == c)
        return static_cast<unsigned char>(c);
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (FromWindows1254(static_cast<unsigned char>(b)) == c)
            return static_cast<unsigned char>(b);
    }
    auto it = std::lower_bound(std::begin(kCloseLetters), std::end(kCloseLetters), c,
                               [](const CloseLetter& e, char32_t v) { return e.from < v; });
    if (it != std::end(kCloseLetters) && it->from == c)
        return it->to;
    return '?';
}

std::string Utf16ToWindows1254(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachUtf16CodePoint(text, [&](char32_t c) { Append(out, c); });
    return out;
}

std::string Utf8ToWindows1254(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachUtf8CodePoint(text, [&](char32_t c) {
        if (c == kBrokenUtf8)
            out.push_back('?');
        else
            Append(out, c);
    });
    return out;
}

std::string Windows1254ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes)
        AppendUtf8(out, FromWindows1254(static_cast<unsigned char>(ch)));
    return out;
}

} // namespace vorlek
