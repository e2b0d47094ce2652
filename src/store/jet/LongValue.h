// Memo and OLE values: a 12-byte reference in the row (length and flags, a pointer to a row on
// a long-value page), the bytes either inline after it, in one LVAL row, or in a chain of rows.
#pragma once

#include "Bytes.h"
#include "PageFile.h"

namespace vorlek::jet {

Bytes ReadLongValue(const PageFile& file, ByteSpan reference);

} // namespace vorlek::jet
