#include "ChannelSchema.h"

namespace vorlek::db {

namespace {

jet::Column Field(const char* name, jet::ColumnType type, std::uint16_t length = 0) {
    jet::Column c;
    c.name = name;
    c.type = type;
    c.length = length;
    c.compressed = type == jet::ColumnType::Text; // Access's default for new text fields
    return c;
}

} // namespace

std::vector<jet::NewTable> EmptyChannelTables() {
    using jet::ColumnType;
    jet::NewTable pol{
        "T_PolType", {Field("ID", ColumnType::Integer), Field("Descr", ColumnType::Text, 32)}, {}};
    pol.columns[0].indexed = true;
    for (std::int64_t id : {0, 1})
        pol.rows.push_back({id, std::monostate{}});

    jet::NewTable sat{
        "T_SatList", {Field("ID", ColumnType::Integer), Field("Descr", ColumnType::Text, 32)}, {}};
    sat.columns[0].indexed = true;
    for (std::int64_t id = 1; id <= 32; ++id)
        sat.rows.push_back({id, std::monostate{}});

    jet::NewTable tp{"T_TPList",
                     {Field("SatID", ColumnType::Integer), Field("ID", ColumnType::Integer),
                      Field("Descr", ColumnType::Text, 24), Field("Frequency", ColumnType::Long),
                      Field("Polarisation", ColumnType::Long),
                      Field("SymbolRate", ColumnType::Long)},
                     {}};
    tp.columns[0].indexed = true;
    tp.columns[1].indexed = true;
    for (std::int64_t s = 1; s <= 32; ++s)
        for (std::int64_t id = 1; id <= 8; ++id)
            tp.rows.push_back(
                {s, id, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}});
    return {pol, sat, tp};
}

} // namespace vorlek::db
