#pragma once

#include <string>
#include <string_view>

// Names travel to the meter as Windows-1254 (Turkish) text, whatever the
// user's locale: the meter's character table is laid out for that code page.
namespace vorlek {

// The Windows-1254 byte for one Unicode code point. A character the code page
// lacks becomes its close letter where one exists (a-macron -> 'a'), else '?'.
unsigned char ToWindows1254(char32_t c);

// Whole texts. Combining marks are dropped: decomposed input (a + U+0301)
// keeps its base letter instead of gaining a '?'.
std::string Utf16ToWindows1254(std::u16string_view text);
std::string Utf8ToWindows1254(std::string_view text);

char32_t FromWindows1254(unsigned char b);
std::string Windows1254ToUtf8(std::string_view bytes);

} // namespace vorlek
