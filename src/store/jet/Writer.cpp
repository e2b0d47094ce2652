#include "Writer.h"

#include "Messages.h"

namespace vorlek::jet {

void WriteRow(PageFile& file, const TableDef&, const Row&, const std::vector<Value>&) {
    if (file.ReadOnly())
        throw JetError(msg::kReadOnly);
    throw JetError("Updating rows is not available yet.");
}

} // namespace vorlek::jet
