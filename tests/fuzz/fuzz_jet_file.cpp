// Any bytes as a database file: open it, read every table, update a row. Only JetError may
// come out; the sanitizers catch the rest.
#include "Database.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace jet = vorlek::jet;

namespace {

// An in-memory file, reached by path as the engine opens files: nothing is left behind.
int ScratchFd() {
    static const int fd = [] {
        const int f = ::memfd_create("vorlek-fuzz-jet", MFD_CLOEXEC);
        if (f < 0)
            std::abort();
        return f;
    }();
    return fd;
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
    const int fd = ScratchFd();
    if (::ftruncate(fd, 0) != 0 ||
        (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
        std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    try {
        Exercise(path);
    } catch (const jet::JetError&) {
    }
    return 0;
}
