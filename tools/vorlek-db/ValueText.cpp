#include "ValueText.h"

#include "Text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vorlek::db {

using jet::ColumnType;

namespace {

std::string Hex(const std::vector<std::uint8_t>& b) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (auto x : b) {
        s.push_back(digits[x >> 4]);
        s.push_back(digits[x & 15]);
    }
    return s;
}

std::string Shortest(double v) {
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v < 0 ? "-inf" : "inf";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Money(std::int64_t raw) {
    const bool neg = raw < 0;
    const std::uint64_t mag = neg ? 0 - static_cast<std::uint64_t>(raw) : raw;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%llu.%04llu", neg ? "-" : "",
                  static_cast<unsigned long long>(mag / 10000),
                  static_cast<unsigned long long>(mag % 10000));
    return buf;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

std::string DateTime(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 3.0e6)
        return Shortest(v);
    // Jet keeps the time of day as the unsigned fraction, also before 1899-12-30.
    double whole = std::trunc(v);
    std::int64_t seconds = std::llround(std::fabs(v - whole) * 86400.0);
    auto days = static_cast<std::int64_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += v < 0 ? -1 : 1;
    }
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(days - 25569, y, m, d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                  static_cast<long long>(y), m, d, static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return buf;
}

std::string Guid(const std::vector<std::uint8_t>& b) {
    if (b.size() != 16)
        return Hex(b);
    char buf[40];
    std::snprintf(buf, sizeof buf,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return buf;
}

// 17 bytes: a sign byte (0x80 = negative), then a 128-bit magnitude as four little-endian
// 32-bit words, the most significant word first.
std::string Decimal(const std::vector<std::uint8_t>& b, unsigned scale) {
    if (b.size() != 17)
        return Hex(b);
    std::uint32_t words[4]; // most significant first
    for (int w = 0; w < 4; ++w)
        words[w] = static_cast<std::uint32_t>(b[1 + 4 * w]) |
                   (static_cast<std::uint32_t>(b[2 + 4 * w]) << 8) |
                   (static_cast<std::uint32_t>(b[3 + 4 * w]) << 16) |
                   (static_cast<std::uint32_t>(b[4 + 4 * w]) << 24);
    std::string digits;
    for (;;) {
        bool zero = true;
        std::uint64_t rem = 0;
        for (auto& w : words) {
            const std::uint64_t cur = (rem << 32) | w;
            w = static_cast<std::uint32_t>(cur / 10);
            rem = cur % 10;
            zero = zero && w == 0;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + rem));
        if (zero)
            break;
    }
    while (digits.size() <= scale)
        digits.insert(digits.begin(), '0');
    if (scale > 0)
        digits.insert(digits.end() - scale, '.');
    if (b[0] & 0x80)
        digits.insert(digits.begin(), '-');
    return digits;
}

} // namespace

std::string FormatValue(const jet::Column& c, const jet::Value& v) {
    if (std::holds_alternative<std::monostate>(v))
        return {};
    if (const bool* b = std::get_if<bool>(&v))
        return *b ? "1" : "0";
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return c.type == ColumnType::Money ? Money(*i) : std::to_string(*i);
    if (const double* d = std::get_if<double>(&v))
        return c.type == ColumnType::DateTime ? DateTime(*d) : Shortest(*d);
    if (const auto* s = std::get_if<std::u16string>(&v))
        return Utf16ToUtf8(*s);
    const auto& bytes = std::get<std::vector<std::uint8_t>>(v);
    if (c.type == ColumnType::GUID)
        return Guid(bytes);
    if (c.type == ColumnType::Numeric)
        return Decimal(bytes, c.scale);
    return Hex(bytes);
}

std::string CsvField(const std::string& text, bool quoteEmpty) {
    const bool quote =
        (quoteEmpty && text.empty()) || text.find_first_of(",\"\r\n") != std::string::npos;
    if (!quote)
        return text;
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"')
            out.push_back('"');
        out.push_back(ch);
    }
    out.push_back('"');
    return out;
}

jet::Value ParseValue(const jet::Column& c, const std::string& text) {
    if (text.empty())
        return std::monostate{};
    const auto bad = [&] {
        return jet::JetError("Data type mismatch: '" + text + "' for field '" + c.name + "'.");
    };
    switch (c.type) {
    case ColumnType::Text:
    case ColumnType::Memo: {
        auto utf16 = Utf8ToUtf16(text);
        if (!utf16)
            throw jet::JetError("'" + text + "' for field '" + c.name + "' is not UTF-8 text.");
        return std::move(*utf16);
    }
    case ColumnType::Boolean:
        if (text == "1" || text == "true" || text == "TRUE" || text == "-1")
            return true;
        if (text == "0" || text == "false" || text == "FALSE")
            return false;
        throw bad();
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long: {
        std::int64_t x = 0;
        auto r = std::from_chars(text.data(), text.data() + text.size(), x);
        if (r.ec != std::errc{} || r.ptr != text.data() + text.size())
            throw bad();
        return x;
    }
    case ColumnType::Single:
    case ColumnType::Double: {
        double x = 0;
        auto r = std::from_chars(text.data(), text.data() + text.size(), x);
        if (r.ec != std::errc{} || r.ptr != text.data() + text.size())
            throw bad();
        return x;
    }
    default:
        throw jet::JetError("Setting a field of this type is not supported: '" + c.name + "'.");
    }
}

} // namespace vorlek::db
