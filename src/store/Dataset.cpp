#include "Dataset.h"

#include "codepage.h"

#include <algorithm>
#include <cctype>

namespace vorlek::store {
namespace {

const jet::Value kNull;

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

const char* KindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::SmallInt:
        return "SmallInt";
    case FieldKind::Integer:
        return "Integer";
    case FieldKind::WideString:
        return "WideString";
    }
    return "?";
}

bool Accepts(FieldKind kind, jet::ColumnType type) {
    using T = jet::ColumnType;
    if (kind == FieldKind::WideString)
        return type == T::Text || type == T::Memo;
    return type == T::Byte || type == T::Integer || type == T::Long;
}

// "Data Source=<path>;" - the path may be quoted when it holds a semicolon.
std::string DataSourceOf(const std::string& cs) {
    const std::string key = "Data Source=";
    const auto at = cs.find(key);
    if (at == std::string::npos)
        return {};
    auto begin = at + key.size();
    if (begin < cs.size() && cs[begin] == '"') {
        const auto end = cs.find('"', begin + 1);
        return cs.substr(begin + 1, end == std::string::npos ? end : end - begin - 1);
    }
    return cs.substr(begin, cs.find(';', begin) - begin);
}

class JetFile : public TableFile {
public:
    explicit JetFile(std::unique_ptr<jet::Database> db) : db_(std::move(db)) {}
    const jet::TableDef& Table(const std::string& name) const override { return db_->Table(name); }
    std::vector<jet::Row> ReadRows(const jet::TableDef& table) const override {
        return db_->ReadRows(table);
    }
    void UpdateRow(const jet::TableDef& table, const jet::Row& before,
                   const std::vector<jet::Value>& after) override {
        db_->UpdateRow(table, before, after);
    }

private:
    std::unique_ptr<jet::Database> db_;
};

} // namespace

// --- Connection ---

Connection::Opener Connection::JetOpener() {
    return [](const std::string& path) -> std::unique_ptr<TableFile> {
        return std::make_unique<JetFile>(jet::Database::Open(path));
    };
}

Connection::Connection(Opener opener) : opener_(std::move(opener)) {}

Connection::~Connection() = default;

void Connection::Open() {
    if (!file_)
        file_ = opener_(DataSourceOf(ConnectionString));
}

void Connection::Close() {
    file_.reset();
}

TableFile& Connection::File() {
    if (!file_)
        throw DatasetError(kClosedDataset);
    return *file_;
}

// --- Field ---

Field::Field(Query& query, std::string name, FieldKind kind, int size)
    : query_(query), name_(std::move(name)), kind_(kind), size_(size) {
    query_.Register(this);
}

const jet::Value& Field::Current() const {
    query_.CheckActive();
    if (query_.current_ < 0)
        return kNull;
    if (query_.state_ == DataSetState::Edit)
        return query_.editBuffer_[static_cast<std::size_t>(column_)];
    return query_.rows_[static_cast<std::size_t>(query_.current_)]
        .values[static_cast<std::size_t>(column_)];
}

bool Field::IsNull() const {
    return std::holds_alternative<std::monostate>(Current());
}

std::u16string Field::AsText() const {
    const jet::Value& v = Current();
    const auto* text = std::get_if<std::u16string>(&v);
    return text ? *text : std::u16string();
}

std::string Field::AsString() const {
    return Utf16ToWindows1254(AsText());
}

std::int32_t Field::AsInteger() const {
    const jet::Value& v = Current();
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return static_cast<std::int32_t>(*n);
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    return 0;
}

void Field::Set(jet::Value value) {
    query_.CheckActive();
    if (query_.state_ != DataSetState::Edit)
        throw DatasetError("Dataset not in edit or insert mode");
    query_.editBuffer_[static_cast<std::size_t>(column_)] = std::move(value);
    query_.Notify(DataEvent::RecordChanged);
}

void Field::SetNull() {
    Set(std::monostate{});
}

void Field::SetText(std::u16string text) {
    if (size_ > 0 && text.size() > static_cast<std::size_t>(size_))
        text.resize(static_cast<std::size_t>(size_));
    Set(std::move(text));
}

void Field::SetInteger(std::int32_t value) {
    Set(std::int64_t{value});
}

// --- Query ---

Query::Query(Connection& connection, std::string sql, std::string name)
    : SQL(std::move(sql)), Name(std::move(name)), connection_(connection) {}

Query::~Query() = default;

void Query::Register(Field* field) {
    fields_.push_back(field);
}

std::string Query::TableName() const {
    const std::string from = "FROM ";
    const auto at = SQL.find(from);
    return at == std::string::npos ? std::string() : SQL.substr(at + from.size());
}

void Query::CheckActive() const {
    if (state_ == DataSetState::Inactive)
        throw DatasetError(kClosedDataset);
}

void Query::BindFields(const jet::TableDef& table) {
    for (Field* f : fields_) {
        const auto it =
            std::find_if(table.columns.begin(), table.columns.end(),
                         [&](const jet::Column& c) { return SameName(c.name, f->name_); });
        if (it == table.columns.end())
            throw DatasetError(Name + ": Field '" + f->name_ + "' not found");
        if (!Accepts(f->kind_, it->type))
            throw DatasetError("Type mismatch for field '" + f->name_ +
                               "', expecting: " + KindName(f->kind_));
        f->column_ = static_cast<int>(it - table.columns.begin());
    }
}

void Query::Open() {
    if (Active())
        return;
    connection_.Open();
    const jet::TableDef& table = connection_.File().Table(TableName());
    std::vector<jet::Row> rows = connection_.File().ReadRows(table);
    BindFields(table);
    table_ = &table;
    rows_ = std::move(rows);
    current_ = rows_.empty() ? -1 : 0;
    state_ = DataSetState::Browse;
    Notify(DataEvent::DataSetChanged);
}

void Query::Close() {
    if (!Active())
        return;
    state_ = DataSetState::Inactive;
    rows_.clear();
    editBuffer_.clear();
    current_ = -1;
    table_ = nullptr;
    Notify(DataEvent::DataSetChanged);
}

int Query::RecordCount() const {
    CheckActive();
    return static_cast<int>(rows_.size());
}

int Query::RecNo() const {
    CheckActive();
    return current_;
}

void Query::MoveTo(int index) {
    CheckActive();
    if (index < 0 || index >= static_cast<int>(rows_.size()) || index == current_)
        return;
    Post();
    current_ = index;
    Notify(DataEvent::Scrolled);
}

bool Query::Locate(const std::vector<std::pair<const Field*, std::int32_t>>& keys) {
    CheckActive();
    Post();
    const auto matches = [&](const jet::Row& row) {
        return std::all_of(keys.begin(), keys.end(), [&](const auto& key) {
            const auto* n = std::get_if<std::int64_t>(
                &row.values[static_cast<std::size_t>(key.first->column_)]);
            return n && *n == key.second;
        });
    };
    const auto it = std::find_if(rows_.begin(), rows_.end(), matches);
    if (it == rows_.end())
        return false;
    const int index = static_cast<int>(it - rows_.begin());
    if (index != current_) {
        current_ = index;
        Notify(DataEvent::Scrolled);
    }
    return true;
}

void Query::Edit() {
    CheckActive();
    if (state_ == DataSetState::Edit)
        return;
    if (current_ < 0)
        throw DatasetError("Cannot perform this operation on an empty dataset");
    editBuffer_ = rows_[static_cast<std::size_t>(current_)].values;
    state_ = DataSetState::Edit;
    Notify(DataEvent::StateChanged);
}

bool Query::Modified() const {
    return state_ == DataSetState::Edit &&
           editBuffer_ != rows_[static_cast<std::size_t>(current_)].values;
}

void Query::Post() {
    CheckActive();
    if (state_ != DataSetState::Edit)
        return;
    if (Modified()) {
        jet::Row& row = rows_[static_cast<std::size_t>(current_)];
        // On failure the row stays in editing with the user's values.
        connection_.File().UpdateRow(*table_, row, editBuffer_);
        row.values = editBuffer_;
    }
    state_ = DataSetState::Browse;
    editBuffer_.clear();
    Notify(DataEvent::StateChanged);
}

void Query::Cancel() {
    CheckActive();
    if (state_ != DataSetState::Edit)
        return;
    state_ = DataSetState::Browse;
    editBuffer_.clear();
    Notify(DataEvent::StateChanged);
}

void Query::DisableControls() {
    ++freeze_;
}

void Query::EnableControls() {
    if (freeze_ > 0 && --freeze_ == 0)
        Notify(DataEvent::DataSetChanged);
}

const jet::Value& Query::ValueAt(int record, const Field& field) const {
    CheckActive();
    if (record < 0 || record >= static_cast<int>(rows_.size()))
        return kNull;
    if (record == current_ && state_ == DataSetState::Edit)
        return editBuffer_[static_cast<std::size_t>(field.column_)];
    return rows_[static_cast<std::size_t>(record)].values[static_cast<std::size_t>(field.column_)];
}

int Query::Subscribe(Listener listener) {
    listeners_.emplace_back(++nextListener_, std::move(listener));
    return nextListener_;
}

void Query::Unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void Query::Notify(DataEvent event) {
    if (freeze_ > 0)
        return;
    const auto listeners = listeners_; // a listener may unsubscribe while being told
    for (const auto& l : listeners)
        l.second(event);
}

// --- ControlsFreeze ---

void ControlsFreeze::Release() {
    released_ = true;
    query_.EnableControls();
}

ControlsFreeze::~ControlsFreeze() {
    if (released_)
        return;
    try {
        query_.EnableControls();
    } catch (...) {
        // The error that is already propagating is the one to show.
    }
}

} // namespace vorlek::store
