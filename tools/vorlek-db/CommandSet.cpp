#include "Commands.h"
#include "Database.h"
#include "ValueText.h"

#include <ostream>

namespace vorlek::db {

namespace {

std::pair<std::string, std::string> SplitAssignment(const std::string& s) {
    const auto eq = s.find('=');
    if (eq == std::string::npos || eq == 0)
        throw jet::JetError("Expected FIELD=VALUE, got '" + s + "'.");
    return {s.substr(0, eq), s.substr(eq + 1)};
}

std::size_t ColumnOf(const jet::TableDef& t, const std::string& name) {
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].name == name)
            return i;
    throw jet::JetError("Unknown field '" + name + "' in table '" + t.name + "'.");
}

} // namespace

int RunSet(const Args& args, std::ostream&, std::ostream& err) {
    if (args.size() < 4) {
        err << "usage: vorlek-db set FILE TABLE KEY=VALUE[,KEY=VALUE] FIELD=VALUE...\n";
        return 1;
    }
    auto db = jet::Database::Open(args[0]);
    const jet::TableDef& table = db->Table(args[1]);

    std::vector<std::pair<std::size_t, jet::Value>> keys;
    for (std::size_t from = 0; from <= args[2].size();) {
        auto comma = args[2].find(',', from);
        if (comma == std::string::npos)
            comma = args[2].size();
        auto [name, text] = SplitAssignment(args[2].substr(from, comma - from));
        const std::size_t col = ColumnOf(table, name);
        keys.emplace_back(col, ParseValue(table.columns[col], text));
        from = comma + 1;
    }
    const auto rows = db->ReadRows(table);
    const jet::Row* match = nullptr;
    for (const auto& row : rows) {
        bool all = true;
        for (const auto& [col, value] : keys)
            all = all && row.values[col] == value;
        if (all) {
            match = &row;
            break;
        }
    }
    if (!match)
        throw jet::JetError("No row of '" + table.name + "' has the key " + args[2] + ".");

    std::vector<jet::Value> after = match->values;
    for (std::size_t i = 3; i < args.size(); ++i) {
        auto [name, text] = SplitAssignment(args[i]);
        const std::size_t col = ColumnOf(table, name);
        after[col] = ParseValue(table.columns[col], text);
    }
    db->UpdateRow(table, *match, after);
    return 0;
}

} // namespace vorlek::db
