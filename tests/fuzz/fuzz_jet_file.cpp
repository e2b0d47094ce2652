// Any bytes as a database file: open it, read every table, update a row. Only JetError may
// come out; the sanitizers catch the rest.
#include "Database.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace jet = vorlek::jet;

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        char name[] = "/tmp/vorlek-fuzz-jet-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0)
            std::abort();
        ::close(fd);
        std::atexit([] { std::remove(ScratchFile().c_str()); });
        return std::string(name);
    }();
    return path;
}

void Exercise(const std::string& path) {
    auto db = jet::Database::Open(path);
    auto tables = db->UserTables();
    tables.push_back("MSysObjects");
    bool updated = false;
    for (const auto& name : tables) {
        const jet::TableDef& t = db->Table(name);
        const auto rows = db->ReadRows(t);
        if (updated || rows.empty())
            continue;
        auto after = rows[0].values;
        for (std::size_t i = 0; i < t.columns.size(); ++i) {
            if (t.columns[i].indexed)
                continue;
            if (t.columns[i].type == jet::ColumnType::Text)
                after[i] = std::u16string(t.columns[i].length / 2, u'Z');
            else if (t.columns[i].type == jet::ColumnType::Long)
                after[i] = std::int64_t{7};
            else if (t.columns[i].type == jet::ColumnType::Memo)
                after[i] = std::u16string(300, u'M'); // onto a long-value page
        }
        db->UpdateRow(t, rows[0], after);
        updated = true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    try {
        Exercise(path);
    } catch (const jet::JetError&) {
    }
    return 0;
}
