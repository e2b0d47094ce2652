// Writing a table definition page for a new table (no indexes).
#pragma once

#include "Bytes.h"
#include "Database.h"

#include <vector>

namespace vorlek::jet {

struct LongValueMaps {
    std::uint16_t column = 0;
    std::uint32_t usedPagesPointer = 0;
    std::uint32_t freePagesPointer = 0;
};

struct NewTableDef {
    bool system = false;
    std::vector<Column> columns; // with their layout assigned (AssignLayout)
    std::uint32_t rowCount = 0;
    std::uint32_t usedPagesPointer = 0;
    std::uint32_t freePagesPointer = 0;
    std::vector<LongValueMaps> longValueMaps; // one per Memo/OLE column
};

// Numbers the columns in order, gives fixed columns their offsets and variable ones their
// slots, and fills in lengths and flags as Access does.
void AssignLayout(std::vector<Column>& columns, bool system);

// Throws JetError when the definition does not fit on one page.
Bytes EncodeTableDef(const NewTableDef& layout);

// The TableDef a reader would get for this definition on `page`.
TableDef ToTableDef(const NewTableDef& layout, const std::string& name, std::uint32_t page);

} // namespace vorlek::jet
