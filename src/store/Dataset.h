#pragma once

#include "jet/Database.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Stand-ins for the connection, query, field and data-source components the
// program was designed around: each query holds its whole table in memory,
// the editor changes those rows in place, and a posted row is written back to
// the file at once, on its own.
namespace vorlek::store {

// Raised for any use of a query that is not open.
inline constexpr const char* kClosedDataset = "Cannot perform this operation on a closed dataset";

class DatasetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a connection needs of a database file.
class TableFile {
public:
    virtual ~TableFile() = default;
    virtual const jet::TableDef& Table(const std::string& name) const = 0;
    virtual std::vector<jet::Row> ReadRows(const jet::TableDef& table) const = 0;
    virtual void UpdateRow(const jet::TableDef& table, const jet::Row& before,
                           const std::vector<jet::Value>& after) = 0;
};

class Connection {
public:
    // Opens the file named by the "Data Source" of the connection string.
    using Opener = std::function<std::unique_ptr<TableFile>(const std::string& path)>;

    // Opens the file with the Jet engine.
    static Opener JetOpener();

    explicit Connection(Opener opener = JetOpener());
    ~Connection();

    std::string ConnectionString;

    void Open();
    void Close();
    bool Connected() const { return file_ != nullptr; }
    TableFile& File();

private:
    Opener opener_;
    std::unique_ptr<TableFile> file_;
};

enum class DataSetState { Inactive, Browse, Edit };

// Why a bound view is told to look again.
enum class DataEvent {
    DataSetChanged, // rows or cursor may all have changed: re-read, focus the current row
    RecordChanged,  // a field of the current row changed
    Scrolled,       // the cursor moved to another row
    StateChanged,   // into or out of editing: the current row's values may differ
};

class Query;

enum class FieldKind { SmallInt, Integer, WideString };

class Field {
public:
    Field(Query& query, std::string name, FieldKind kind, int size = 0);

    const std::string& FieldName() const { return name_; }
    FieldKind Kind() const { return kind_; }
    int Size() const { return size_; }

    bool IsNull() const;
    // A name as Windows-1254 bytes, the form the meter is sent; null reads as "".
    std::string AsString() const;
    std::u16string AsText() const;
    // Null reads as 0.
    std::int32_t AsInteger() const;

    // Only while the query is editing.
    void SetNull();
    void SetText(std::u16string text);
    void SetInteger(std::int32_t value);

private:
    friend class Query;
    const jet::Value& Current() const;
    void Set(jet::Value value);

    Query& query_;
    std::string name_;
    FieldKind kind_;
    int size_;
    int column_ = -1; // index into the table's columns, bound at open
};

class Query {
public:
    Query(Connection& connection, std::string sql, std::string name);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    const std::string SQL;
    const std::string Name;

    void Open();
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    DataSetState State() const { return state_; }

    int RecordCount() const;
    int RecNo() const; // index of the current row, -1 when there is none
    // Moves the cursor, posting a pending edit first.
    void MoveTo(int index);

    // Moves to the first row whose key fields equal the values, exactly,
    // after posting a pending edit (an unchanged one is cancelled). When no row
    // matches, the cursor stays where it was.
    bool Locate(const std::vector<std::pair<const Field*, std::int32_t>>& keys);

    void Edit();
    void Post();
    void Cancel();
    bool Modified() const;

    // While frozen, cursor moves and edits are not reported to bound views;
    // the last release reports one DataSetChanged.
    void DisableControls();
    void EnableControls();

    // A value of any row, for views that show all rows at once.
    const jet::Value& ValueAt(int record, const Field& field) const;

    using Listener = std::function<void(DataEvent)>;
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

private:
    friend class Field;
    void Register(Field* field);
    void CheckActive() const;
    void Notify(DataEvent event);
    void BindFields(const jet::TableDef& table);
    std::string TableName() const;

    Connection& connection_;
    std::vector<Field*> fields_;
    const jet::TableDef* table_ = nullptr;
    std::vector<jet::Row> rows_;
    int current_ = -1;
    DataSetState state_ = DataSetState::Inactive;
    std::vector<jet::Value> editBuffer_;
    int freeze_ = 0;
    int nextListener_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
};

// Freezes a query's display for a scope. Release() ends the freeze on the
// normal path, where a bound view's refresh may still raise; an exception
// already on its way out ends it quietly instead.
class ControlsFreeze {
public:
    explicit ControlsFreeze(Query& q) : query_(q) { query_.DisableControls(); }
    ~ControlsFreeze();
    ControlsFreeze(const ControlsFreeze&) = delete;
    ControlsFreeze& operator=(const ControlsFreeze&) = delete;
    void Release();

private:
    Query& query_;
    bool released_ = false;
};

// What a view binds to: the query it shows.
struct DataSource {
    explicit DataSource(Query& q) : DataSet(q) {}
    Query& DataSet;
};

} // namespace vorlek::store
