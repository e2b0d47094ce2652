#include "Database.h"

#include "Catalog.h"
#include "Header.h"
#include "Messages.h"
#include "PageFile.h"
#include "TableDefReader.h"
#include "TableScan.h"
#include "Writer.h"

#include <cctype>

namespace vorlek::jet {

namespace {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// Damage found while decoding becomes Jet's message for a file it does not recognise.
template <typename F> auto Guard(const PageFile& file, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const FormatError&) {
        throw JetError(msg::Unrecognized(file.Path()));
    } catch (const std::out_of_range&) {
        throw JetError(msg::Unrecognized(file.Path()));
    } catch (const std::length_error&) {
        throw JetError(msg::Unrecognized(file.Path()));
    }
}

} // namespace

Database::Database() = default;
Database::~Database() = default;

std::unique_ptr<Database> Database::Open(const std::string& path) {
    std::unique_ptr<Database> db(new Database());
    db->file_ = std::make_unique<PageFile>(path);
    PageFile& file = *db->file_;
    Guard(file, [&] {
        Bytes page0;
        try {
            page0 = file.ReadRaw(0);
        } catch (const FormatError&) {
            throw JetError(msg::Unrecognized(file.Path()));
        }
        const Header h = ParseHeader(page0, file.Size(), file.Path());
        file.SetDatabaseKey(h.databaseKey);
        db->catalog_ = std::make_unique<Catalog>(ReadCatalog(file));
        return 0;
    });
    return db;
}

bool Database::ReadOnly() const {
    return file_->ReadOnly();
}

std::vector<std::string> Database::UserTables() const {
    std::vector<std::string> names;
    for (const auto& e : catalog_->entries)
        if (e.type == kObjectTable && (static_cast<std::uint32_t>(e.flags) & kSystemFlags) == 0)
            names.push_back(e.name);
    return names;
}

const TableDef& Database::Table(std::string_view name) const {
    const std::string key = Upper(name);
    if (auto it = catalog_->tables.find(key); it != catalog_->tables.end())
        return *it->second;
    for (const auto& e : catalog_->entries) {
        if (e.type != kObjectTable || Upper(e.name) != key)
            continue;
        const auto page = static_cast<std::uint32_t>(e.id) & 0xFFFFFF;
        auto def = Guard(
            *file_, [&] { return std::make_unique<TableDef>(ReadTableDef(*file_, page, e.name)); });
        return *catalog_->tables.emplace(key, std::move(def)).first->second;
    }
    throw JetError(msg::NoTable(std::string(name)));
}

std::vector<Row> Database::ReadRows(const TableDef& table) const {
    return Guard(*file_, [&] { return ScanRows(*file_, table); });
}

void Database::UpdateRow(const TableDef& table, const Row& before,
                         const std::vector<Value>& after) {
    Guard(*file_, [&] {
        WriteRow(*file_, table, before, after);
        return 0;
    });
}

} // namespace vorlek::jet
