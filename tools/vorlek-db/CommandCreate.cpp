#include "Commands.h"
#include "Database.h"
#include "DefaultChannels.h"

#include <ostream>

namespace vorlek::db {

int RunCreate(const Args& args, std::ostream&, std::ostream& err) {
    const bool empty = args.size() == 2 && args[0] == "--empty";
    if (!empty && args.size() != 1) {
        err << "usage: vorlek-db create [--empty] FILE\n";
        return 1;
    }
    jet::CreateDatabase(args.back(), store::ChannelTables(!empty));
    return 0;
}

} // namespace vorlek::db
