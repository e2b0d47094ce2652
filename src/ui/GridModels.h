#pragma once

#include "GridView.h"

#include <QAbstractItemModel>
#include <QLocale>
#include <functional>

// Item models over the grid's table views. They read the query's rows in
// place and write edits through the query's fields; they never add or
// remove rows of their own accord.
namespace vorlek::ui {

NumberSymbols SymbolsOf(const QLocale& locale);

// What the delegate needs of either model.
class GridModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit GridModel(GridTableView& view, QObject* parent = nullptr);
    ~GridModel() override;

    GridTableView& View() const { return view_; }
    store::Query& DataSet() const { return view_.DataSource->DataSet; }

    // The column, and the record of the query, behind a cell; nullptr / -1
    // for the detail rows of the satellite model.
    virtual const GridColumn* ColumnAt(const QModelIndex& index) const;
    virtual int RecordOf(const QModelIndex& index) const = 0;
    // The model index of a record and column, invalid when not shown here.
    virtual QModelIndex IndexOf(int record, int column) const = 0;

    // The cell's row style with its column's style laid over it.
    GridStyle CellStyle(const QModelIndex& index) const;

    // Moves the query to the cell's row and puts it into editing.
    void BeginEdit(const QModelIndex& index);

    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    int columnCount(const QModelIndex& parent = {}) const override;

signals:
    // The query's cursor moved or the rows were re-read: focus follows.
    void CurrentRecordChanged(int record);

protected:
    virtual void Refresh() = 0;
    void RecordChangedAt(int record);

private:
    void OnDataEvent(store::DataEvent event);

    GridTableView& view_;
    int subscription_ = 0;
};

// The satellites, each with one detail row under it that holds its
// transponder table, so every satellite row has an expand button.
class MasterModel : public GridModel {
    Q_OBJECT
public:
    explicit MasterModel(GridTableView& view, QObject* parent = nullptr);

    static bool IsDetail(const QModelIndex& index) { return index.isValid() && index.internalId(); }
    // The detail row under a satellite row.
    QModelIndex DetailIndex(int record) const;
    int RecordOf(const QModelIndex& index) const override;
    QModelIndex IndexOf(int record, int column) const override;
    const GridColumn* ColumnAt(const QModelIndex& index) const override;

    // The height of a detail row, given by the grid.
    std::function<int(int record)> DetailHeight;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    void Refresh() override;

private:
    int rows_ = 0;
};

// The detail rows of one master record: the rows whose detail key equals
// the master's key, in table order.
class DetailModel : public GridModel {
    Q_OBJECT
public:
    DetailModel(GridTableView& view, std::int32_t masterKey, QObject* parent = nullptr);

    std::int32_t MasterKey() const { return masterKey_; }
    int RecordOf(const QModelIndex& index) const override;
    QModelIndex IndexOf(int record, int column) const override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;

protected:
    void Refresh() override;

private:
    std::vector<int> Matching() const;

    std::int32_t masterKey_;
    std::vector<int> records_;
};

} // namespace vorlek::ui
