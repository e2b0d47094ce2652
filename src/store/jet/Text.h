// Jet 4 text: UCS-2 little-endian, or "Unicode compression" (FF FE, then runs of one-byte
// characters and two-byte characters separated by 00).
#pragma once

#include "Bytes.h"
#include "Utf.h"

#include <string>

namespace vorlek::jet {

std::u16string DecodeText(ByteSpan bytes);
// With `compress`, the compressed form is used only where Jet would: when every character
// allows it in its run and the result is shorter.
Bytes EncodeText(const std::u16string& text, bool compress);

} // namespace vorlek::jet
