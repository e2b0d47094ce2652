// Building a new database file page by page.
#pragma once

#include "Database.h"

namespace vorlek::jet {

// As CreateDatabase; a non-zero key makes an RC4-encrypted file, as Jet's "Encrypt Database".
void CreateDatabaseFile(const std::string& path, const std::vector<NewTable>& tables,
                        std::uint32_t databaseKey);

} // namespace vorlek::jet
