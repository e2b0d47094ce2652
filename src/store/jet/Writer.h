// Writing one changed row back into the file.
#pragma once

#include "Database.h"
#include "PageFile.h"

namespace vorlek::jet {

void WriteRow(PageFile& file, const TableDef& table, const Row& before,
              const std::vector<Value>& after);

} // namespace vorlek::jet
