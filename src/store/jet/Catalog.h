// MSysObjects, the catalog: one row per database object. Its table definition is on page 2.
#pragma once

#include "Database.h"
#include "PageFile.h"

#include <map>
#include <memory>

namespace vorlek::jet {

inline constexpr std::uint32_t kCatalogTdefPage = 2;
inline constexpr std::int64_t kObjectTable = 1;
inline constexpr std::int64_t kSystemFlags = 0x80000002; // system object, hidden

struct CatalogEntry {
    std::string name;
    std::int64_t id = 0;
    std::int64_t parentId = 0;
    std::int64_t type = 0;
    std::int64_t flags = 0;
};

struct Catalog {
    std::vector<CatalogEntry> entries;                       // in the catalog's scan order
    std::map<std::string, std::unique_ptr<TableDef>> tables; // loaded on demand, by upper-case name
};

Catalog ReadCatalog(const PageFile& file);

} // namespace vorlek::jet
