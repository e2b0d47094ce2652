#include "Commands.h"
#include "CsvImport.h"
#include "Database.h"

#include <fstream>
#include <ostream>
#include <sstream>

namespace vorlek::db {

int RunImport(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: vorlek-db import FILE CSV\n";
        return 1;
    }
    std::ifstream in(args[1], std::ios::binary);
    if (!in) {
        err << "vorlek-db: cannot read " << args[1] << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    auto db = jet::Database::Open(args[0]);
    const store::ImportPlan plan = store::PlanImport(*db, text.str());
    if (!plan.errors.empty()) {
        for (const store::CsvError& e : plan.errors)
            err << args[1] << ": line " << e.line << ": " << e.message << "\n";
        err << "vorlek-db: nothing was written\n";
        return 1;
    }
    store::ApplyImport(*db, plan);
    out << plan.updates.size() << (plan.updates.size() == 1 ? " row" : " rows") << " changed\n";
    return 0;
}

} // namespace vorlek::db
