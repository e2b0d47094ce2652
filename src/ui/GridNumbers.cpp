#include "GridNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vorlek::ui {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsExponent(char16_t c) {
    return c == u'e' || c == u'E';
}

bool IsSign(char16_t c) {
    return c == u'+' || c == u'-';
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Walks the number's grammar. With `complete` false an unfinished text
// ("", "-", "1e", "1e+") is fine as long as no character is out of place.
// On success `ascii` holds the number in the form std::from_chars reads.
bool Scan(const std::u16string& text, const NumberSymbols& symbols, bool allowGroup, bool complete,
          std::string* ascii) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    enum class Part { Sign, Integer, Fraction, ExponentSign, Exponent };
    Part part = Part::Sign;
    int mantissaDigits = 0;
    int exponentDigits = 0;
    bool exponent = false;
    std::string out;
    for (std::size_t i = begin; i < end; ++i) {
        const char16_t c = text[i];
        if (IsDigit(c)) {
            out += static_cast<char>(c);
            if (part == Part::Sign)
                part = Part::Integer;
            else if (part == Part::ExponentSign)
                part = Part::Exponent;
            if (exponent)
                ++exponentDigits;
            else
                ++mantissaDigits;
        } else if (IsSign(c) && (part == Part::Sign || part == Part::ExponentSign)) {
            if (c == u'-')
                out += '-';
            part = part == Part::Sign ? Part::Integer : Part::Exponent;
        } else if (c == symbols.decimal && (part == Part::Sign || part == Part::Integer)) {
            out += '.';
            part = Part::Fraction;
        } else if (allowGroup && c == symbols.group && part == Part::Integer &&
                   mantissaDigits > 0) {
            // Group separators are read anywhere between the integer digits.
        } else if (IsExponent(c) && !exponent && mantissaDigits > 0 &&
                   (part == Part::Integer || part == Part::Fraction)) {
            out += 'e';
            exponent = true;
            part = Part::ExponentSign;
        } else {
            return false;
        }
    }
    if (complete && (mantissaDigits == 0 || (exponent && exponentDigits == 0)))
        return false;
    if (ascii)
        *ascii = std::move(out);
    return true;
}

// Where the fraction digits of the mantissa go: after the decimal separator,
// before any exponent letter.
bool InFraction(const std::u16string& text, std::size_t at, char16_t decimal) {
    for (std::size_t i = 0; i < at && i < text.size(); ++i) {
        if (text[i] == decimal) {
            for (std::size_t j = i + 1; j < at; ++j) {
                if (IsExponent(text[j]))
                    return false;
            }
            return true;
        }
    }
    return false;
}

} // namespace

std::u16string FormatGrouped(std::int64_t value, char16_t group) {
    const std::string digits = std::to_string(value < 0 ? -static_cast<std::uint64_t>(value)
                                                        : static_cast<std::uint64_t>(value));
    std::u16string out;
    if (value < 0)
        out += u'-';
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += group;
        out += static_cast<char16_t>(digits[i]);
    }
    return out;
}

std::u16string FormatDisplay(std::optional<std::int64_t> value, const NumberRules& rules,
                             const NumberSymbols& symbols) {
    return FormatGrouped(value.value_or(0), symbols.group) + rules.unit;
}

std::u16string FormatEditing(std::optional<std::int64_t> value, const NumberRules& rules,
                             const NumberSymbols& symbols) {
    if (!value)
        return {};
    if (rules.groupWhileEditing)
        return FormatGrouped(*value, symbols.group);
    const std::string digits = std::to_string(*value);
    return {digits.begin(), digits.end()};
}

std::optional<double> ParseNumber(const std::u16string& text, const NumberSymbols& symbols,
                                  bool allowGroup) {
    std::string ascii;
    if (!Scan(text, symbols, allowGroup, true, &ascii))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsNumberPrefix(const std::u16string& text, const NumberSymbols& symbols, bool allowGroup) {
    return Scan(text, symbols, allowGroup, false, nullptr);
}

std::optional<char16_t> FilterNumberKey(const std::u16string& text, int selStart, int selLength,
                                        char16_t key, const NumberRules& rules,
                                        const NumberSymbols& symbols) {
    char16_t insert = 0;
    if (IsDigit(key) || IsSign(key) || IsExponent(key))
        insert = key;
    else if (rules.groupWhileEditing && key == symbols.group)
        insert = key;
    else if (key == u',' || key == u'.' || key == symbols.decimal)
        insert = symbols.decimal;
    else
        return std::nullopt;

    const auto size = static_cast<int>(text.size());
    const int start = std::clamp(selStart, 0, size);
    const int length = std::clamp(selLength, 0, size - start);
    std::u16string candidate = text;
    candidate.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), 1, insert);
    if (IsDigit(insert) && InFraction(candidate, static_cast<std::size_t>(start), symbols.decimal))
        return std::nullopt;
    if (!IsNumberPrefix(candidate, symbols, rules.groupWhileEditing))
        return std::nullopt;
    return insert;
}

std::optional<std::int32_t> CheckedNumber(const std::u16string& text, const NumberRules& rules,
                                          const NumberSymbols& symbols) {
    const double value = ParseNumber(text, symbols, rules.groupWhileEditing).value_or(0.0);
    if (value < rules.minimum || value > rules.maximum)
        return std::nullopt;
    return static_cast<std::int32_t>(std::llround(value));
}

} // namespace vorlek::ui
