// Writes the seeds of fuzz_jet_file: small databases made by our own creator (plain, with
// encrypted pages, and one whose row was moved to another page by an update).
// Usage: make_jet_seeds DIR
#include "Creator.h"
#include "Database.h"

#include <cstdio>
#include <filesystem>

namespace jet = vorlek::jet;

namespace {

jet::NewTable Small(int rows, std::size_t nameLength) {
    jet::Column id;
    id.name = "ID";
    id.type = jet::ColumnType::Integer;
    id.indexed = true;
    jet::Column name;
    name.name = "Descr";
    name.type = jet::ColumnType::Text;
    name.length = 24;
    name.compressed = true;
    jet::Column memo;
    memo.name = "Note";
    memo.type = jet::ColumnType::Memo;
    jet::Column n;
    n.name = "Frequency";
    n.type = jet::ColumnType::Long;
    jet::NewTable t{"T", {id, name, memo, n}, {}};
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({std::int64_t{i}, std::u16string(nameLength, u'a'),
                          i == 0 ? jet::Value{std::u16string(u"Ğ memo")} : jet::Value{},
                          std::int64_t{11000 + i}});
    return t;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_jet_seeds DIR\n");
        return 1;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (const char* f : {"plain.mdb", "encrypted.mdb", "moved-row.mdb"})
        std::filesystem::remove(dir / f);
    jet::CreateDatabaseFile((dir / "plain.mdb").string(), {Small(3, 3)}, 0);
    jet::CreateDatabaseFile((dir / "encrypted.mdb").string(), {Small(3, 3)}, 0x1234ABCD);
    // A full page, then rows grown until one must move.
    const std::string moved = (dir / "moved-row.mdb").string();
    jet::CreateDatabaseFile(moved, {Small(200, 12)}, 0);
    auto db = jet::Database::Open(moved);
    const auto& t = db->Table("T");
    const auto rows = db->ReadRows(t);
    for (int i = 0; i < 4; ++i) {
        auto after = rows[i].values;
        after[1] = std::u16string(u"ĞĞĞĞĞĞĞĞĞĞĞĞ");
        db->UpdateRow(t, rows[i], after);
    }
    return 0;
}
