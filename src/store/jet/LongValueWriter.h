// Storing Memo and OLE values too long to keep inside their row on long-value (LVAL) pages.
#pragma once

#include "Database.h"
#include "PageTransaction.h"

namespace vorlek::jet {

// Values up to this size stay inside the row.
inline constexpr std::size_t kInlineLongValueLimit = 256;

// Writes `body` on new LVAL pages (one row, or a chain of rows for more than a page) and
// returns the 12-byte reference the row keeps.
Bytes WriteLongValue(PageTransaction& tx, const Column& column, const Bytes& body);

// Marks the LVAL rows a reference names as deleted, in the clean-up phase.
void ReleaseLongValue(PageTransaction& tx, ByteSpan reference);

// Marks a page the transaction adds as in use: in `mapPointer`'s map (when there is one) and
// in the database's free-page map.
void ClaimNewPage(PageTransaction& tx, std::uint32_t mapPointer, std::uint32_t page,
                  const std::string& what);

} // namespace vorlek::jet
