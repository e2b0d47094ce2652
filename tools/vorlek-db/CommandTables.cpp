#include "Commands.h"
#include "Database.h"

#include <ostream>

namespace vorlek::db {

int RunTables(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: vorlek-db tables FILE\n";
        return 1;
    }
    auto db = jet::Database::Open(args[0]);
    for (const auto& name : db->UserTables())
        out << name << "\n";
    return 0;
}

} // namespace vorlek::db
