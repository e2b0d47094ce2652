#pragma once

#include "ChannelDatabase.h"

#include <map>
#include <optional>
#include <string>

// A database file held in memory, for tests of what sits on the datasets.
// It records each row written and can be told to refuse the next write.
class MemoryTableFile : public vorlek::store::TableFile {
public:
    struct StoredTable {
        vorlek::jet::TableDef def;
        std::vector<vorlek::jet::Row> rows;
    };
    std::map<std::string, StoredTable> tables;
    int writes = 0;
    std::optional<std::string> failNextWrite;

    const vorlek::jet::TableDef& Table(const std::string& name) const override {
        const auto it = tables.find(name);
        if (it == tables.end())
            throw vorlek::jet::JetError("no table " + name);
        return it->second.def;
    }
    std::vector<vorlek::jet::Row> ReadRows(const vorlek::jet::TableDef& def) const override {
        return tables.at(def.name).rows;
    }
    void UpdateRow(const vorlek::jet::TableDef& def, const vorlek::jet::Row& before,
                   const std::vector<vorlek::jet::Value>& after) override {
        if (failNextWrite) {
            const std::string message = *failNextWrite;
            failNextWrite.reset();
            throw vorlek::jet::JetError(message);
        }
        for (auto& row : tables.at(def.name).rows) {
            if (row.id.page == before.id.page && row.id.row == before.id.row) {
                row.values = after;
                ++writes;
                return;
            }
        }
        throw vorlek::jet::JetError("row not found");
    }

    // The three channel tables, with `satellites` satellites of `perSat`
    // transponders each, named "Sat<n>" and "TP<n>.<m>".
    static MemoryTableFile Channels(int satellites = 32, int perSat = 8);
};

inline MemoryTableFile MemoryTableFile::Channels(int satellites, int perSat) {
    using namespace vorlek::jet;
    auto column = [](const char* name, ColumnType type) {
        Column c;
        c.name = name;
        c.type = type;
        return c;
    };
    auto text = [](const std::string& s) { return Value(std::u16string(s.begin(), s.end())); };
    auto num = [](std::int64_t n) { return Value(n); };
    MemoryTableFile f;
    std::uint32_t page = 10;
    auto add = [&](const char* name, std::vector<Column> columns,
                   std::vector<std::vector<Value>> rows) {
        StoredTable t;
        t.def.name = name;
        t.def.columns = std::move(columns);
        std::uint16_t n = 0;
        for (auto& values : rows)
            t.rows.push_back(Row{RowId{page, n++}, std::move(values)});
        ++page;
        f.tables[name] = std::move(t);
    };
    add("T_PolType", {column("ID", ColumnType::Integer), column("Descr", ColumnType::Text)},
        {{num(0), text("Horizontal")}, {num(1), text("Vertical")}});
    std::vector<std::vector<Value>> sats, tps;
    for (int s = 1; s <= satellites; ++s) {
        sats.push_back({num(s), text("Sat" + std::to_string(s))});
        for (int t = 1; t <= perSat; ++t)
            tps.push_back({num(s), num(t), text("TP" + std::to_string(s) + "." + std::to_string(t)),
                           num(10700 + s * 10 + t), num(t % 2), num(27500)});
    }
    add("T_SatList", {column("ID", ColumnType::Integer), column("Descr", ColumnType::Text)},
        std::move(sats));
    add("T_TPList",
        {column("SatID", ColumnType::Integer), column("ID", ColumnType::Integer),
         column("Descr", ColumnType::Text), column("Frequency", ColumnType::Long),
         column("Polarisation", ColumnType::Long), column("SymbolRate", ColumnType::Long)},
        std::move(tps));
    return f;
}
