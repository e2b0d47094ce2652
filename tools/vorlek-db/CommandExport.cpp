#include "Commands.h"
#include "Database.h"
#include "ValueText.h"

#include <ostream>
#include <sstream>

namespace vorlek::db {

int RunExport(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: vorlek-db export FILE TABLE\n";
        return 1;
    }
    auto db = jet::Database::Open(args[0]);
    const jet::TableDef& table = db->Table(args[1]);
    const auto rows = db->ReadRows(table);
    // Built whole first, so that a failure leaves no half table on standard output.
    std::ostringstream csv;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        csv << (i ? "," : "") << CsvField(table.columns[i].name, false);
    csv << "\r\n";
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            const auto& c = table.columns[i];
            const bool text = c.type == jet::ColumnType::Text || c.type == jet::ColumnType::Memo;
            csv << (i ? "," : "")
                << CsvField(FormatValue(c, row.values[i]),
                            text && !std::holds_alternative<std::monostate>(row.values[i]));
        }
        csv << "\r\n";
    }
    out << csv.str();
    return 0;
}

} // namespace vorlek::db
