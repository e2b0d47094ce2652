#include "codepage.h"

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
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        Append(out, c);
    }
    return out;
}

namespace {

// Calls f(code point) for each character, or f(kInvalid) for each byte of a
// broken sequence, after which decoding resynchronises.
constexpr char32_t kInvalid = 0xFFFFFFFF;
template <class F> void ForEachCodePoint(std::string_view text, F f) {
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
            const auto cont = static_cast<unsigned char>(text[i + k]);
            ok = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        if (!ok) {
            f(kInvalid);
            ++i;
            continue;
        }
        f(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
}

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

} // namespace

std::string Utf8ToWindows1254(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t c) {
        if (c == kInvalid)
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

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    bool ok = true;
    ForEachCodePoint(text, [&](char32_t c) {
        if (c == kInvalid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            ok = false;
        } else if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    });
    if (!ok)
        return std::nullopt;
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace vorlek
