// Taking a data page apart into its rows and packing rows into a page again, rows stored from
// the end of the page upwards in slot order, as Access keeps them.
#pragma once

#include "Bytes.h"
#include "DataPage.h"

#include <optional>
#include <vector>

namespace vorlek::jet {

struct PageRow {
    std::uint16_t flags = 0;
    Bytes bytes;
};

struct PageRows {
    Bytes header; // the first 14 bytes
    std::vector<PageRow> rows;
};

PageRows SplitPage(ByteSpan page);
// nullopt when the rows do not fit.
std::optional<Bytes> PackPage(const PageRows& rows);
std::size_t FreeSpace(ByteSpan page);
// An empty data page of the table whose definition is on `tdefPage`.
PageRows NewDataPage(std::uint32_t tdefPage);

} // namespace vorlek::jet
