// Table definitions (TDEF pages, possibly a chain of them).
#pragma once

#include "Database.h"
#include "PageFile.h"

namespace vorlek::jet {

// Columns come back in column-number order.
TableDef ReadTableDef(const PageFile& file, std::uint32_t page, const std::string& name);

// The fixed-area size of a column type (0 for variable-length types and booleans).
std::size_t FixedSize(const Column& c);

} // namespace vorlek::jet
