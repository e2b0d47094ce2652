#include "GridModels.h"

#include <QSize>

namespace vorlek::ui {
namespace {

std::optional<std::int64_t> IntOf(const jet::Value& v) {
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return *n;
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    if (const auto* d = std::get_if<double>(&v))
        return static_cast<std::int64_t>(*d);
    return std::nullopt;
}

QString TextOf(const jet::Value& v) {
    if (const auto* s = std::get_if<std::u16string>(&v))
        return QString::fromStdU16String(*s);
    if (const auto n = IntOf(v))
        return QString::number(*n);
    return {};
}

QString LookupText(const GridColumn& column, std::optional<std::int64_t> key) {
    if (!key || !column.LookupSource)
        return {};
    const store::Query& list = column.LookupSource->DataSet;
    if (!list.Active())
        return {};
    for (int r = 0; r < list.RecordCount(); ++r) {
        if (IntOf(list.ValueAt(r, *column.KeyField)) == key)
            return TextOf(list.ValueAt(r, *column.ListField));
    }
    return {};
}

} // namespace

NumberSymbols SymbolsOf(const QLocale& locale) {
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    NumberSymbols s;
    if (decimal.size() == 1)
        s.decimal = decimal.at(0).unicode();
    if (group.size() == 1)
        s.group = group.at(0).unicode();
    return s;
}

// --- GridModel ---

GridModel::GridModel(GridTableView& view, QObject* parent)
    : QAbstractItemModel(parent), view_(view) {
    subscription_ = DataSet().Subscribe([this](store::DataEvent e) { OnDataEvent(e); });
}

GridModel::~GridModel() {
    DataSet().Unsubscribe(subscription_);
}

const GridColumn* GridModel::ColumnAt(const QModelIndex& index) const {
    if (!index.isValid() || index.column() < 0 ||
        index.column() >= static_cast<int>(view_.Columns.size()))
        return nullptr;
    return view_.Columns[static_cast<std::size_t>(index.column())];
}

int GridModel::columnCount(const QModelIndex&) const {
    return static_cast<int>(view_.Columns.size());
}

GridStyle GridModel::CellStyle(const QModelIndex& index) const {
    const int record = RecordOf(index);
    const GridColumn* column = ColumnAt(index);
    if (record < 0 || !column)
        return {};
    const GridStyle& row = view_.RowStyle(record);
    return column->Style ? column->Style->Over(row) : row;
}

void GridModel::BeginEdit(const QModelIndex& index) {
    const int record = RecordOf(index);
    if (record < 0)
        return;
    DataSet().MoveTo(record);
    DataSet().Edit();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    const GridColumn* column = ColumnAt(index);
    const int record = RecordOf(index);
    if (!column || record < 0 || !DataSet().Active())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const jet::Value& v = DataSet().ValueAt(record, *column->Field);
        switch (column->Editor) {
        case ColumnEditor::Number:
            return QString::fromStdU16String(
                FormatDisplay(IntOf(v), column->Number, SymbolsOf(QLocale())));
        case ColumnEditor::Lookup:
            return LookupText(*column, IntOf(v));
        case ColumnEditor::Label:
        case ColumnEditor::Text:
            return TextOf(v);
        }
        return {};
    }
    case Qt::EditRole: {
        const jet::Value& v = DataSet().ValueAt(record, *column->Field);
        if (column->Editor == ColumnEditor::Number || column->Editor == ColumnEditor::Lookup) {
            const auto n = IntOf(v);
            return n ? QVariant(static_cast<qlonglong>(*n)) : QVariant();
        }
        return TextOf(v);
    }
    case Qt::TextAlignmentRole:
        return static_cast<int>(column->Alignment);
    case Qt::BackgroundRole: {
        const GridStyle style = CellStyle(index);
        return style.Color ? QVariant(*style.Color) : QVariant();
    }
    case Qt::ForegroundRole: {
        const GridStyle style = CellStyle(index);
        return style.TextColor ? QVariant(*style.TextColor) : QVariant();
    }
    case Qt::FontRole: {
        const GridStyle style = CellStyle(index);
        return style.Font ? QVariant(*style.Font) : QVariant();
    }
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const GridColumn* column = ColumnAt(index);
    if (role != Qt::EditRole || !column || !column->Editable() || RecordOf(index) < 0)
        return false;
    BeginEdit(index);
    switch (column->Editor) {
    case ColumnEditor::Text:
        column->Field->SetText(value.toString().toStdU16String());
        break;
    case ColumnEditor::Number:
    case ColumnEditor::Lookup:
        if (value.isNull())
            column->Field->SetNull();
        else
            column->Field->SetInteger(value.toInt());
        break;
    case ColumnEditor::Label:
        return false;
    }
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    const GridColumn* column = ColumnAt(index);
    if (!column || RecordOf(index) < 0)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (column->Editable())
        f |= Qt::ItemIsEditable;
    return f;
}

void GridModel::RecordChangedAt(int record) {
    const QModelIndex first = IndexOf(record, 0);
    const QModelIndex last = IndexOf(record, columnCount() - 1);
    if (first.isValid() && last.isValid())
        emit dataChanged(first, last);
}

void GridModel::OnDataEvent(store::DataEvent event) {
    switch (event) {
    case store::DataEvent::DataSetChanged:
        Refresh();
        if (DataSet().Active())
            emit CurrentRecordChanged(DataSet().RecNo());
        break;
    case store::DataEvent::RecordChanged:
    case store::DataEvent::StateChanged:
        if (DataSet().Active())
            RecordChangedAt(DataSet().RecNo());
        break;
    case store::DataEvent::Scrolled:
        emit CurrentRecordChanged(DataSet().RecNo());
        break;
    }
}

// --- MasterModel ---

MasterModel::MasterModel(GridTableView& view, QObject* parent) : GridModel(view, parent) {
    rows_ = DataSet().Active() ? DataSet().RecordCount() : 0;
}

QModelIndex MasterModel::DetailIndex(int record) const {
    if (record < 0 || record >= rows_)
        return {};
    return createIndex(0, 0, static_cast<quintptr>(record) + 1);
}

int MasterModel::RecordOf(const QModelIndex& index) const {
    if (!index.isValid() || IsDetail(index) || index.row() >= rows_)
        return -1;
    return index.row();
}

QModelIndex MasterModel::IndexOf(int record, int column) const {
    if (record < 0 || record >= rows_ || column < 0 || column >= columnCount())
        return {};
    return createIndex(record, column, quintptr{0});
}

const GridColumn* MasterModel::ColumnAt(const QModelIndex& index) const {
    return IsDetail(index) ? nullptr : GridModel::ColumnAt(index);
}

QModelIndex MasterModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= columnCount())
        return {};
    if (!parent.isValid())
        return IndexOf(row, column);
    if (IsDetail(parent) || row != 0 || parent.row() >= rows_)
        return {};
    return createIndex(0, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex MasterModel::parent(const QModelIndex& child) const {
    if (!IsDetail(child))
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
}

int MasterModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return rows_;
    if (IsDetail(parent) || parent.column() != 0)
        return 0;
    return 1;
}

QVariant MasterModel::data(const QModelIndex& index, int role) const {
    if (IsDetail(index)) {
        if (role == Qt::SizeHintRole && DetailHeight && index.column() == 0)
            return QSize(1, DetailHeight(static_cast<int>(index.internalId() - 1)));
        return {};
    }
    return GridModel::data(index, role);
}

Qt::ItemFlags MasterModel::flags(const QModelIndex& index) const {
    if (IsDetail(index))
        return Qt::ItemIsEnabled;
    return GridModel::flags(index);
}

void MasterModel::Refresh() {
    const int n = DataSet().Active() ? DataSet().RecordCount() : 0;
    if (n != rows_) {
        beginResetModel();
        rows_ = n;
        endResetModel();
    } else if (n > 0) {
        emit dataChanged(IndexOf(0, 0), IndexOf(n - 1, columnCount() - 1));
    }
}

// --- DetailModel ---

DetailModel::DetailModel(GridTableView& view, std::int32_t masterKey, QObject* parent)
    : GridModel(view, parent), masterKey_(masterKey), records_(Matching()) {}

std::vector<int> DetailModel::Matching() const {
    std::vector<int> out;
    const store::Query& q = DataSet();
    if (!q.Active() || !View().DetailKey)
        return out;
    for (int r = 0; r < q.RecordCount(); ++r) {
        if (IntOf(q.ValueAt(r, *View().DetailKey)) == masterKey_)
            out.push_back(r);
    }
    return out;
}

int DetailModel::RecordOf(const QModelIndex& index) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= static_cast<int>(records_.size()))
        return -1;
    return records_[static_cast<std::size_t>(index.row())];
}

QModelIndex DetailModel::IndexOf(int record, int column) const {
    const auto it = std::find(records_.begin(), records_.end(), record);
    if (it == records_.end() || column < 0 || column >= columnCount())
        return {};
    return createIndex(static_cast<int>(it - records_.begin()), column);
}

QModelIndex DetailModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= static_cast<int>(records_.size()) || column < 0 ||
        column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex DetailModel::parent(const QModelIndex&) const {
    return {};
}

int DetailModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

void DetailModel::Refresh() {
    std::vector<int> now = Matching();
    if (now != records_) {
        beginResetModel();
        records_ = std::move(now);
        endResetModel();
    } else if (!records_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

} // namespace vorlek::ui
