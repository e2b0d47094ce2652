#pragma once

#include "ChannelDatabase.h"
#include "GridView.h"

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>

class QStyle;
class QTableView;
class QTreeView;

namespace vorlek::ui {

class GridDelegate;
class MasterModel;
class DetailModel;
class MasterView;
class DetailView;

// cxGrid1: the satellites, each opening onto its transponders in an embedded
// table, edited in place and written back through the channel queries. Rows
// are never added, removed or reordered.
class ChannelGrid : public QWidget {
    Q_OBJECT
public:
    explicit ChannelGrid(store::ChannelComponents& db, QWidget* parent = nullptr);
    ~ChannelGrid() override;

    GridStyleRepository cxStyleRepository1;
    GridStyle cxStyle1; // odd satellite rows
    GridStyle cxStyle2; // even satellite rows
    GridStyle cxStyle3; // ID columns
    GridStyle cxStyle4; // transponder rows
    GridStyle cxStyle5; // transponder name

    GridColumn cxGrid1DBTableView1ID;
    GridColumn cxGrid1DBTableView1Descr;
    GridColumn cxGrid1DBTableView2SatID;
    GridColumn cxGrid1DBTableView2ID;
    GridColumn cxGrid1DBTableView2Descr;
    GridColumn cxGrid1DBTableView2Frequency;
    GridColumn cxGrid1DBTableView2Polarisation;
    GridColumn cxGrid1DBTableView2SymbolRate;

    GridTableView cxGrid1DBTableView1;
    GridTableView cxGrid1DBTableView2;

    GridLevel cxGrid1Level1;
    GridLevel cxGrid1Level4;

    // Writes an edit still open when the window closes: the editor's text
    // when it may be accepted, then the pending rows of both queries.
    void PostPendingEdits();

    // Opens or closes the transponder table under a satellite record.
    void SetExpanded(int satRecord, bool expanded);
    bool IsExpanded(int satRecord) const;

    QTreeView* SatelliteView() const;
    // The transponder table of a satellite record, once it has been expanded.
    QTableView* TransponderView(int satRecord) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MasterView;
    friend class DetailView;

    void SetUpStyles();
    void SetUpColumns();
    DetailView* EnsureDetail(int satRecord);
    int DetailHeight(int satRecord) const;
    // The user focused a row: pending edits of other rows are posted.
    void MasterRowFocused(const QModelIndex& index);
    void DetailRowFocused(DetailView* view, const QModelIndex& index);
    // The query moved on its own (an upload): focus follows.
    void FollowSatellite(int record);
    void FollowTransponder(int record);
    bool Contains(const QWidget* w) const;
    void PostRows();

    store::ChannelComponents& db_;
    std::unique_ptr<QStyle> style_;
    // One delegate per view: a view takes every editor its delegate closes for its own.
    GridDelegate* NewDelegate();
    GridDelegate* OpenEditorDelegate() const;
    bool HoldsRefusedText() const;
    // Raises the refusal of the open editor's text, if it holds one.
    void RefuseClick();
    std::vector<QPointer<GridDelegate>> delegates_;
    MasterModel* master_ = nullptr;
    MasterView* tree_ = nullptr;
    std::map<int, QPointer<DetailView>> details_;
    int tpSubscription_ = 0;
    bool following_ = false;
    bool hadFocus_ = false;
};

} // namespace vorlek::ui
