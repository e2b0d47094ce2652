#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The rules of the grid's number cells: how a value is shown, how it reads
// back from the editor, which typed keys are let through, and the limits.
// Free of Qt: the locale's separators come in as plain characters.
namespace vorlek::ui {

struct NumberSymbols {
    char16_t decimal = u'.';
    char16_t group = u',';
};

struct NumberRules {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::u16string unit;            // appended to the shown value, e.g. u" MHz"
    bool groupWhileEditing = false; // thousands separators in the editor's text
};

// Digits of |value| in groups of three joined by `group`, with a leading '-'.
std::u16string FormatGrouped(std::int64_t value, char16_t group);

// The cell outside editing: a null value shows as 0.
std::u16string FormatDisplay(std::optional<std::int64_t> value, const NumberRules& rules,
                             const NumberSymbols& symbols);

// The editor's starting text: a null value starts empty.
std::u16string FormatEditing(std::optional<std::int64_t> value, const NumberRules& rules,
                             const NumberSymbols& symbols);

// The whole text as a number: optional sign, digits (with group separators
// when allowed), an optional decimal separator with digits, an optional
// exponent. Surrounding blanks are ignored. Empty or unreadable: nullopt.
std::optional<double> ParseNumber(const std::u16string& text, const NumberSymbols& symbols,
                                  bool allowGroup);

// Whether the text could still grow into a readable number.
bool IsNumberPrefix(const std::u16string& text, const NumberSymbols& symbols, bool allowGroup);

// A typed character: the character to insert in place of the selection
// [selStart, selStart + selLength), or nullopt when the key is dropped with a beep.
std::optional<char16_t> FilterNumberKey(const std::u16string& text, int selStart, int selLength,
                                        char16_t key, const NumberRules& rules,
                                        const NumberSymbols& symbols);

// The value an accepted, changed editor text stores; nullopt when it lies
// outside the limits. Empty or unreadable text counts as 0.
std::optional<std::int32_t> CheckedNumber(const std::u16string& text, const NumberRules& rules,
                                          const NumberSymbols& symbols);

inline constexpr const char* kValueOutOfBounds = "Value out of bounds";

} // namespace vorlek::ui
