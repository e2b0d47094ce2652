#include "Creator.h"

#include "Catalog.h"
#include "DataPage.h"
#include "Header.h"
#include "PageFile.h"
#include "PageLayout.h"
#include "RowCodec.h"
#include "TableDefWriter.h"
#include "Text.h"
#include "UsageMap.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>

namespace vorlek::jet {

namespace {

// Object ids Jet gives its root containers and the database object.
constexpr std::int64_t kRootId = 0x0F000000;
constexpr std::int64_t kTablesId = 0x0F000001;
constexpr std::int64_t kDatabasesId = 0x0F000002;
constexpr std::int64_t kRelationshipsId = 0x0F000003;
constexpr std::int64_t kMSysDbId = 0x10000000;
constexpr std::int64_t kSystemObject = static_cast<std::int32_t>(0x80000000u);
constexpr std::int64_t kTypeContainer = 3;
constexpr std::int64_t kTypeDatabase = 2;

constexpr std::uint32_t kGlobalMapPage = 1;
constexpr std::uint32_t kMapPage = 6;
constexpr std::uint32_t kFirstSystemTdef = 2;
constexpr std::size_t kMapBytes = 64; // inline usage maps cover 512 pages

// Security ids of the built-in accounts of Jet's default workgroup.
const std::vector<std::uint8_t> kEngineSid{0xD2, 0xD4};
const std::vector<std::uint8_t> kAdminSid{0xD3, 0xD6};
const std::vector<std::uint8_t> kUsersSid{0xD2, 0xD6};
const std::vector<std::uint8_t> kCreatorSid{0xD2, 0xD3};

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

Column Col(const char* name, ColumnType type, std::uint16_t length = 0) {
    Column c;
    c.name = name;
    c.type = type;
    c.length = length;
    return c;
}

struct Plan {
    std::string name;
    NewTableDef layout;
    TableDef def;
    std::vector<std::vector<Value>> rows;
    std::uint32_t tdefPage = 0;
    std::vector<std::uint32_t> dataPages;
    std::vector<std::uint32_t> pagesWithRoom;
};

std::vector<Column> SystemColumns(const std::string& table) {
    using T = ColumnType;
    if (table == "MSysObjects")
        return {Col("Id", T::Long),
                Col("ParentId", T::Long),
                Col("Name", T::Text),
                Col("Type", T::Integer),
                Col("DateCreate", T::DateTime),
                Col("DateUpdate", T::DateTime),
                Col("Owner", T::Binary),
                Col("Flags", T::Long),
                Col("Database", T::Memo),
                Col("Connect", T::Memo),
                Col("ForeignName", T::Text),
                Col("RmtInfoShort", T::Binary),
                Col("RmtInfoLong", T::OLE),
                Col("Lv", T::OLE),
                Col("LvProp", T::OLE),
                Col("LvModule", T::OLE),
                Col("LvExtra", T::OLE)};
    if (table == "MSysACEs")
        return {Col("ObjectId", T::Long), Col("SID", T::Binary), Col("ACM", T::Long),
                Col("FInheritable", T::Boolean)};
    if (table == "MSysQueries")
        return {Col("ObjectId", T::Long), Col("Attribute", T::Byte), Col("Order", T::Binary),
                Col("Name1", T::Text),    Col("Name2", T::Text),     Col("Expression", T::Memo),
                Col("Flag", T::Integer),  Col("LvExtra", T::Long)};
    return {Col("szRelationship", T::Text),
            Col("grbit", T::Long),
            Col("ccolumn", T::Long),
            Col("icolumn", T::Long),
            Col("szObject", T::Text),
            Col("szColumn", T::Text),
            Col("szReferencedObject", T::Text),
            Col("szReferencedColumn", T::Text)};
}

double NowAsJetDate() {
    using namespace std::chrono;
    const auto s = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    return 25569.0 + static_cast<double>(s) / 86400.0;
}

std::vector<Value> CatalogRow(std::int64_t id, std::int64_t parent, const std::string& name,
                              std::int64_t type, std::int64_t flags, double now,
                              const std::vector<std::uint8_t>& owner) {
    std::vector<Value> v(17);
    v[0] = id;
    v[1] = parent;
    v[2] = Utf8ToUtf16OrReplace(name);
    v[3] = type;
    v[4] = now;
    v[5] = now;
    v[6] = owner;
    v[7] = flags;
    return v;
}

std::vector<Value> Ace(std::int64_t object, const std::vector<std::uint8_t>& sid, std::int64_t acm,
                       bool inheritable) {
    return {object, sid, acm, inheritable};
}

void CheckTables(const std::vector<NewTable>& tables) {
    std::set<std::string> names{"MSYSOBJECTS", "MSYSACES", "MSYSQUERIES", "MSYSRELATIONSHIPS"};
    for (const auto& t : tables) {
        if (t.name.empty() || t.name.size() > 64 || t.columns.empty() || t.columns.size() > 255)
            throw JetError("A table needs a name of at most 64 characters and 1 to 255 fields.");
        if (!names.insert(Upper(t.name)).second)
            throw JetError("Table '" + t.name + "' already exists.");
        std::set<std::string> fields;
        for (const auto& c : t.columns) {
            if (c.name.empty() || c.name.size() > 64 || !fields.insert(Upper(c.name)).second)
                throw JetError("Field '" + c.name + "' of table '" + t.name +
                               "' needs a unique name of at most 64 characters.");
            if ((c.type == ColumnType::Text || c.type == ColumnType::Binary) && c.length > 510)
                throw JetError("Size of field '" + c.name + "' is too long.");
        }
        for (const auto& row : t.rows)
            if (row.size() != t.columns.size())
                throw JetError("A row of table '" + t.name + "' does not have " +
                               std::to_string(t.columns.size()) + " values.");
    }
}

// Packs the encoded rows onto consecutive new pages from `next`.
void PlaceRows(Plan& plan, std::uint32_t& next, std::map<std::uint32_t, Bytes>& pages) {
    PageRows page = NewDataPage(plan.tdefPage);
    const auto flush = [&] {
        if (page.rows.empty())
            return;
        auto packed = PackPage(page);
        if (FreeSpace(*packed) > 64)
            plan.pagesWithRoom.push_back(next);
        plan.dataPages.push_back(next);
        pages[next++] = std::move(*packed);
        page = NewDataPage(plan.tdefPage);
    };
    for (const auto& values : plan.rows) {
        std::vector<Cell> cells;
        for (std::size_t i = 0; i < values.size(); ++i)
            cells.push_back(ValueCell(plan.def.columns[i], values[i]));
        Bytes row = EncodeCells(cells, plan.def);
        page.rows.push_back({0, row});
        if (!PackPage(page)) {
            page.rows.pop_back();
            flush();
            page.rows.push_back({0, std::move(row)});
        }
    }
    flush();
}

void Build(PageFile& file, const std::vector<NewTable>& tables, std::uint32_t key) {
    CheckTables(tables);
    const double now = NowAsJetDate();
    const char* systemNames[] = {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"};

    std::vector<Plan> plans;
    for (int i = 0; i < 4; ++i) {
        Plan p;
        p.name = systemNames[i];
        p.layout.system = true;
        p.layout.columns = SystemColumns(p.name);
        AssignLayout(p.layout.columns, true);
        p.tdefPage = kFirstSystemTdef + i;
        plans.push_back(std::move(p));
    }
    std::uint32_t next = kMapPage + 1;
    for (const auto& t : tables) {
        Plan p;
        p.name = t.name;
        p.layout.columns = t.columns;
        AssignLayout(p.layout.columns, false);
        p.rows = t.rows;
        p.tdefPage = next++;
        plans.push_back(std::move(p));
    }

    // Usage maps, all on one page: each table's pages and pages with room, then per long-value
    // column the same pair for its long-value pages (none yet).
    std::vector<Bytes> mapRows;
    const auto mapRow = [&](Bytes rec) {
        mapRows.push_back(std::move(rec));
        return DataPointer(kMapPage, static_cast<std::uint8_t>(mapRows.size() - 1));
    };
    for (auto& p : plans) {
        p.layout.usedPagesPointer = mapRow({});
        p.layout.freePagesPointer = mapRow({});
    }
    for (auto& p : plans)
        for (const auto& c : p.layout.columns)
            if (c.type == ColumnType::Memo || c.type == ColumnType::OLE) {
                const auto used = mapRow(InlineMap(0, {}, kMapBytes));
                const auto free = mapRow(InlineMap(0, {}, kMapBytes));
                p.layout.longValueMaps.push_back({c.number, used, free});
            }
    if (mapRows.size() > 50)
        throw JetError("Too many tables for a new database.");

    // The catalog and its permissions, as Jet writes them for a new database.
    auto& objects = plans[0].rows;
    auto& aces = plans[1].rows;
    objects.push_back(
        CatalogRow(kTablesId, kRootId, "Tables", kTypeContainer, kSystemObject, now, kEngineSid));
    objects.push_back(CatalogRow(kDatabasesId, kRootId, "Databases", kTypeContainer, kSystemObject,
                                 now, kEngineSid));
    objects.push_back(CatalogRow(kRelationshipsId, kRootId, "Relationships", kTypeContainer,
                                 kSystemObject, now, kEngineSid));
    objects.push_back(CatalogRow(kMSysDbId, kDatabasesId, "MSysDb", kTypeDatabase, kSystemObject,
                                 now, kAdminSid));
    for (const auto& p : plans)
        objects.push_back(CatalogRow(p.tdefPage, kTablesId, p.name, kObjectTable,
                                     p.layout.system ? kSystemObject : 0, now,
                                     p.layout.system ? kEngineSid : kAdminSid));
    for (int i = 0; i < 4; ++i) {
        aces.push_back(Ace(plans[i].tdefPage, kAdminSid, i == 3 ? 917504 : 393216, false));
        if (i != 1)
            aces.push_back(Ace(plans[i].tdefPage, kUsersSid, 20, false));
    }
    aces.push_back(Ace(kTablesId, kCreatorSid, 983294, true));
    aces.push_back(Ace(kTablesId, kAdminSid, 1048319, true));
    aces.push_back(Ace(kTablesId, kUsersSid, 1048319, true));
    aces.push_back(Ace(kRelationshipsId, kCreatorSid, 983294, true));
    aces.push_back(Ace(kRelationshipsId, kAdminSid, 393217, false));
    aces.push_back(Ace(kRelationshipsId, kUsersSid, 1048575, true));
    aces.push_back(Ace(kDatabasesId, kAdminSid, 393216, false));
    aces.push_back(Ace(kMSysDbId, kAdminSid, 393230, false));
    aces.push_back(Ace(kMSysDbId, kUsersSid, 14, false));
    for (std::size_t i = 4; i < plans.size(); ++i) {
        aces.push_back(Ace(plans[i].tdefPage, kAdminSid, 1048319, false));
        aces.push_back(Ace(plans[i].tdefPage, kUsersSid, 1048319, false));
    }

    std::map<std::uint32_t, Bytes> pages;
    for (auto& p : plans) {
        p.layout.rowCount = static_cast<std::uint32_t>(p.rows.size());
        p.def = ToTableDef(p.layout, p.name, p.tdefPage);
        PlaceRows(p, next, pages);
    }
    if (next > kMapBytes * 8)
        throw JetError("The new database would be too large.");
    for (auto& p : plans) {
        mapRows[PointerRow(p.layout.usedPagesPointer)] = InlineMap(0, p.dataPages, kMapBytes);
        mapRows[PointerRow(p.layout.freePagesPointer)] = InlineMap(0, p.pagesWithRoom, kMapBytes);
        pages[p.tdefPage] = EncodeTableDef(p.layout);
    }
    PageRows maps = NewDataPage(0);
    for (auto& r : mapRows)
        maps.rows.push_back({0, std::move(r)});
    pages[kMapPage] = *PackPage(maps);

    // The database's own map: a set bit is a page not yet in use.
    std::vector<std::uint32_t> unused;
    for (std::uint32_t p = next; p < kMapBytes * 8; ++p)
        unused.push_back(p);
    PageRows global = NewDataPage(1);
    global.rows.push_back({0, InlineMap(0, unused, kMapBytes)});
    global.rows.push_back({0, InlineMap(0, {}, kMapBytes)});
    pages[kGlobalMapPage] = *PackPage(global);

    Header h;
    h.databaseKey = key;
    h.created = now;
    file.WriteRaw(0, BuildHeaderPage(h));
    file.SetDatabaseKey(key);
    for (std::uint32_t p = 1; p < next; ++p) {
        auto it = pages.find(p);
        file.Write(p, it != pages.end() ? it->second : Bytes(kPageSize, 0));
    }
    file.Sync();
}

} // namespace

void CreateDatabaseFile(const std::string& path, const std::vector<NewTable>& tables,
                        std::uint32_t key) {
    PageFile file = PageFile::Create(path);
    try {
        Build(file, tables, key);
    } catch (...) {
        std::remove(file.Path().c_str());
        throw;
    }
}

void CreateDatabase(const std::string& path, const std::vector<NewTable>& tables) {
    CreateDatabaseFile(path, tables, 0);
}

} // namespace vorlek::jet
