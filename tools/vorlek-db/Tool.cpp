#include "Commands.h"
#include "Database.h"

#include <ostream>

namespace vorlek::db {

namespace {

const Command kCommands[] = {
    {"tables", "tables FILE", "the user tables, one a line", RunTables},
    {"export", "export FILE TABLE", "the table as CSV on standard output (forms below)", RunExport},
    {"set", "set FILE TABLE KEY=VALUE[,KEY=VALUE] FIELD=VALUE...",
     "change fields of the row whose key fields have those values; an empty VALUE sets NULL",
     RunSet},
    {"create", "create [--empty] FILE",
     "a new channel database: T_PolType (ID 0, 1), T_SatList (ID 1..32) and\n"
     "      T_TPList (SatID 1..32 x ID 1..8), holding the default channel list, or with\n"
     "      --empty every field but the keys NULL",
     RunCreate},
    {"import", "import FILE CSV",
     "write an edited export of T_SatList or T_TPList back into the existing rows, all or\n"
     "      nothing: keys must exist, and changed values must fit the editor's limits",
     RunImport},
};

const char* const kExportForms =
    "CSV of export: RFC 4180, UTF-8, a header row of field names, then one line per row in\n"
    "the table's stored order. NULL is an empty field. Boolean 1/0; Byte, Integer, Long in\n"
    "plain decimal; Currency with four decimals (12.5000); Single and Double in the shortest\n"
    "form that reads back exactly (444.555, 1e+20); Date/Time as YYYY-MM-DD HH:MM:SS; Text\n"
    "and Memo as UTF-8, an empty text as \"\"; Binary and OLE in upper-case hex; GUID as\n"
    "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}; Decimal in plain decimal with its scale.\n";

void Help(std::ostream& out) {
    out << "usage: vorlek-db COMMAND ARGS...\n\ncommands:\n";
    for (const auto& c : kCommands)
        out << "  vorlek-db " << c.synopsis << "\n      " << c.description << "\n";
    out << "\n"
        << kExportForms << "\nErrors go to standard error with exit status 1; the file "
        << "is then left unchanged.\n";
}

} // namespace

int RunTool(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    if (argv.size() < 2 || argv[1] == "--help" || argv[1] == "-h" || argv[1] == "help") {
        Help(argv.size() < 2 ? err : out);
        return argv.size() < 2 ? 1 : 0;
    }
    for (const auto& c : kCommands) {
        if (argv[1] != c.name)
            continue;
        try {
            return c.run(Args(argv.begin() + 2, argv.end()), out, err);
        } catch (const jet::JetError& e) {
            err << e.what() << "\n";
            return 1;
        } catch (const std::exception& e) {
            err << "vorlek-db: " << e.what() << "\n";
            return 1;
        }
    }
    err << "vorlek-db: unknown command '" << argv[1] << "' (see vorlek-db --help)\n";
    return 1;
}

} // namespace vorlek::db
