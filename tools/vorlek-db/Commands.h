// The commands of vorlek-db, one file each. Each returns the exit status; errors go to `err`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vorlek::db {

using Args = std::vector<std::string>; // after the command name

struct Command {
    const char* name;
    const char* synopsis;
    const char* description;
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

int RunTables(const Args& args, std::ostream& out, std::ostream& err);
int RunExport(const Args& args, std::ostream& out, std::ostream& err);
int RunSet(const Args& args, std::ostream& out, std::ostream& err);
int RunCreate(const Args& args, std::ostream& out, std::ostream& err);
int RunImport(const Args& args, std::ostream& out, std::ostream& err);

// Runs `argv[1..]` as the tool would; the entry point of the tests as well.
int RunTool(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

} // namespace vorlek::db
