#include "Catalog.h"

#include "TableDefReader.h"
#include "TableScan.h"
#include "Text.h"

namespace vorlek::jet {

namespace {

int ColumnIndex(const TableDef& t, std::string_view name) {
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].name == name)
            return static_cast<int>(i);
    Damaged();
}

std::int64_t AsInt(const Value& v) {
    const auto* i = std::get_if<std::int64_t>(&v);
    return i ? *i : 0;
}

} // namespace

Catalog ReadCatalog(const PageFile& file) {
    Catalog cat;
    auto sys = std::make_unique<TableDef>(ReadTableDef(file, kCatalogTdefPage, "MSysObjects"));
    const int id = ColumnIndex(*sys, "Id");
    const int parent = ColumnIndex(*sys, "ParentId");
    const int name = ColumnIndex(*sys, "Name");
    const int type = ColumnIndex(*sys, "Type");
    const int flags = ColumnIndex(*sys, "Flags");
    for (const Row& r : ScanRows(file, *sys)) {
        CatalogEntry e;
        if (const auto* s = std::get_if<std::u16string>(&r.values[name]))
            e.name = Utf16ToUtf8(*s);
        e.id = AsInt(r.values[id]);
        e.parentId = AsInt(r.values[parent]);
        e.type = AsInt(r.values[type]);
        e.flags = AsInt(r.values[flags]);
        cat.entries.push_back(std::move(e));
    }
    cat.tables.emplace("MSYSOBJECTS", std::move(sys));
    return cat;
}

} // namespace vorlek::jet
