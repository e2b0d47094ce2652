#include "Database.h"

namespace vorlek::jet {

void CreateDatabase(const std::string&, const std::vector<NewTable>&) {
    throw JetError("Creating databases is not available yet.");
}

} // namespace vorlek::jet
