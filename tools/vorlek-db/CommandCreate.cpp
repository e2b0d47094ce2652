#include "ChannelSchema.h"
#include "Commands.h"
#include "Database.h"

#include <ostream>

namespace vorlek::db {

int RunCreate(const Args& args, std::ostream&, std::ostream& err) {
    if (args.size() != 2 || args[0] != "--empty") {
        err << "usage: vorlek-db create --empty FILE\n";
        return 1;
    }
    jet::CreateDatabase(args[1], EmptyChannelTables());
    return 0;
}

} // namespace vorlek::db
