// Jet's own texts for the failures a user can meet.
#pragma once

#include <string>

namespace vorlek::jet::msg {

inline std::string NotFound(const std::string& path) {
    return "Could not find file '" + path + "'.";
}
inline std::string CannotOpen(const std::string& path) {
    return "The Microsoft Jet database engine cannot open the file '" + path +
           "'.  It is already opened exclusively by another user, or you need permission to view "
           "its data.";
}
inline std::string Unrecognized(const std::string& path) {
    return "Unrecognized database format '" + path + "'.";
}
inline const char* const kBadPassword = "Not a valid password.";
inline const char* const kReadOnly = "Cannot update.  Database or object is read-only.";
inline const char* const kRowChanged =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";
inline std::string NoTable(const std::string& name) {
    return "The Microsoft Jet database engine cannot find the input table or query '" + name +
           "'.  Make sure it exists and that its name is spelled correctly.";
}
inline std::string IndexedColumn(const std::string& column) {
    return "Cannot change field '" + column +
           "': it belongs to an index, and this engine does not rewrite indexes.";
}
inline std::string FileExists(const std::string& path) {
    return "Database already exists: '" + path + "'.";
}

} // namespace vorlek::jet::msg
