// The Jet 4 (Access 2000-2003) file engine: open, read, update one row, create.
// Free of Qt; every failure is a JetError whose text is what the user sees.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vorlek::jet {

class JetError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class ColumnType : std::uint8_t {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Money = 5,
    Single = 6,
    Double = 7,
    DateTime = 8,
    Binary = 9,
    Text = 10,
    OLE = 11,
    Memo = 12,
    GUID = 15,
    Numeric = 16
};

struct Column {
    std::string name;
    ColumnType type = ColumnType::Long;
    std::uint16_t length = 0;      // bytes in the row (Text: twice its characters); 0 for Memo/OLE
    std::uint16_t number = 0;      // column number, counting deleted columns
    std::uint16_t varIndex = 0;    // slot in the variable-length offset table
    std::uint16_t fixedOffset = 0; // offset among the fixed-length data
    std::uint8_t flags = 0;        // 0x01 fixed length, 0x02 nullable, 0x04 auto number, ...
    bool compressed = false;       // text stored with Unicode compression
    std::uint8_t precision = 0;    // Numeric
    std::uint8_t scale = 0;        // Numeric
    bool indexed = false;
    std::uint32_t longValuePagesPointer = 0; // Memo/OLE: the map of this column's LVAL pages
    bool IsFixed() const { return (flags & 0x01) != 0; }
};

struct TableDef {
    std::string name;
    std::vector<Column> columns;
    std::uint32_t tdefPage = 0;
    std::uint32_t rowCount = 0;
    std::uint16_t maxColumns = 0;
    std::uint16_t varColumns = 0;
    std::uint32_t usedPagesPointer = 0; // row holding the map of the table's pages
    std::uint32_t freePagesPointer = 0; // row holding the map of its pages with free space
    bool system = false;
};

// NULL; Boolean; Byte/Integer/Long/Money (raw, scaled by 10000); Single/Double/DateTime;
// Text/Memo; Binary/OLE/GUID/Numeric raw bytes.
using Value = std::variant<std::monostate, bool, std::int64_t, double, std::u16string,
                           std::vector<std::uint8_t>>;

struct RowId {
    std::uint32_t page = 0;
    std::uint16_t row = 0;
};

struct Row {
    RowId id;
    std::vector<Value> values; // in column order
};

class PageFile;
struct Catalog;

class Database {
public:
    // Throws JetError with Jet's own message for a missing, locked, foreign or protected file.
    static std::unique_ptr<Database> Open(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::vector<std::string> UserTables() const;
    const TableDef& Table(std::string_view name) const;
    // Scan order; deleted rows skipped, overflow rows followed.
    std::vector<Row> ReadRows(const TableDef& table) const;
    // `before` is the row as read, `after` the new values in column order. The row keeps its
    // id, also when it moves to another page; for a further update of it, `before` holds the
    // values of `after`. Throws JetError (row changed meanwhile, indexed field, read-only
    // file, value unsuited to its field); the file is then unchanged.
    void UpdateRow(const TableDef& table, const Row& before, const std::vector<Value>& after);

    bool ReadOnly() const;

private:
    Database();
    std::unique_ptr<PageFile> file_;
    std::unique_ptr<Catalog> catalog_;
};

struct NewTable {
    std::string name;
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;
};

// Fails when the file exists. Columns need name, type, and for Text its length in bytes (twice
// its characters) and `compressed` (Access's default for text); the layout fields are
// assigned here. Indexes are not created. Memo/OLE values are kept inside their rows.
void CreateDatabase(const std::string& path, const std::vector<NewTable>& tables);

} // namespace vorlek::jet
