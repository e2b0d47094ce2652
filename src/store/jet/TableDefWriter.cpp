#include "TableDefWriter.h"

#include "DataPage.h"
#include "TableDefReader.h"
#include "Text.h"

namespace vorlek::jet {

namespace {

constexpr std::uint32_t kDefinitionTag = 0x0659; // what Access keeps beside each definition
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr std::uint8_t kFlagFixed = 0x01;
constexpr std::uint8_t kFlagNullable = 0x02;
constexpr std::uint8_t kFlagSystemColumn = 0x10;

bool IsVariable(ColumnType t) {
    return t == ColumnType::Text || t == ColumnType::Memo || t == ColumnType::OLE ||
           t == ColumnType::Binary;
}

bool IsLong(ColumnType t) {
    return t == ColumnType::Memo || t == ColumnType::OLE;
}

} // namespace

void AssignLayout(std::vector<Column>& columns, bool system) {
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        Column& c = columns[i];
        c.number = static_cast<std::uint16_t>(i);
        c.flags = kFlagNullable | (system ? kFlagSystemColumn : 0);
        if (IsVariable(c.type)) {
            c.varIndex = varIndex++;
            c.fixedOffset = 0;
            if (IsLong(c.type))
                c.length = 0;
            else if (c.length == 0)
                c.length = 510;
        } else {
            c.flags |= kFlagFixed;
            c.varIndex = 0;
            c.compressed = false;
            c.length = c.type == ColumnType::Boolean ? 1 : static_cast<std::uint16_t>(FixedSize(c));
            c.fixedOffset = c.type == ColumnType::Boolean ? 0 : fixedOffset;
            if (c.type != ColumnType::Boolean)
                fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.length);
        }
    }
}

Bytes EncodeTableDef(const NewTableDef& s) {
    Bytes d(0x3F, 0);
    d[0] = kTdefPageType;
    d[1] = 0x01;
    Put32(d, 0x0C, kDefinitionTag);
    Put32(d, 0x10, s.rowCount);
    d[0x18] = 0x01; // lets Access hand out autonumbers
    d[0x28] = s.system ? 0x53 : 0x4E;
    std::uint16_t vars = 0;
    for (const auto& c : s.columns)
        vars = static_cast<std::uint16_t>(vars + (c.IsFixed() ? 0 : 1));
    Put16(d, 0x29, static_cast<std::uint16_t>(s.columns.size()));
    Put16(d, 0x2B, vars);
    Put16(d, 0x2D, static_cast<std::uint16_t>(s.columns.size()));
    Put32(d, 0x37, s.usedPagesPointer);
    Put32(d, 0x3B, s.freePagesPointer);
    for (const auto& c : s.columns) {
        const std::size_t at = d.size();
        d.resize(at + 25, 0);
        d[at] = static_cast<std::uint8_t>(c.type);
        Put32(d, at + 1, kDefinitionTag);
        Put16(d, at + 5, c.number);
        Put16(d, at + 7, c.varIndex);
        Put16(d, at + 9, c.number);
        if (c.type == ColumnType::Numeric) {
            d[at + 11] = c.precision;
            d[at + 12] = c.scale;
        } else {
            Put16(d, at + 11, kGeneralSortOrder);
        }
        d[at + 15] = c.flags;
        d[at + 16] = c.compressed ? 0x01 : 0x00;
        Put16(d, at + 21, c.fixedOffset);
        Put16(d, at + 23, c.length);
    }
    for (const auto& c : s.columns) {
        const Bytes name = EncodeText(Utf8ToUtf16OrReplace(c.name), false);
        Append16(d, static_cast<std::uint16_t>(name.size()));
        d.insert(d.end(), name.begin(), name.end());
    }
    for (const auto& m : s.longValueMaps) {
        Append16(d, m.column);
        Append32(d, m.usedPagesPointer);
        Append32(d, m.freePagesPointer);
    }
    Append16(d, 0xFFFF);
    if (d.size() + 8 > kPageSize)
        throw JetError("Too many fields defined.");
    Put32(d, 0x08, static_cast<std::uint32_t>(d.size()));
    Put16(d, 0x02, static_cast<std::uint16_t>(kPageSize - d.size() - 8));
    d.resize(kPageSize, 0);
    return d;
}

TableDef ToTableDef(const NewTableDef& s, const std::string& name, std::uint32_t page) {
    TableDef t;
    t.name = name;
    t.columns = s.columns;
    t.tdefPage = page;
    t.rowCount = s.rowCount;
    t.maxColumns = static_cast<std::uint16_t>(s.columns.size());
    for (const auto& c : s.columns)
        t.varColumns = static_cast<std::uint16_t>(t.varColumns + (c.IsFixed() ? 0 : 1));
    t.usedPagesPointer = s.usedPagesPointer;
    t.freePagesPointer = s.freePagesPointer;
    t.system = s.system;
    return t;
}

} // namespace vorlek::jet
