#pragma once

#include "ChannelGrid.h"
#include "GridDelegate.h"
#include "GridModels.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QTableView>
#include <QTreeView>

// The two item views of cxGrid1: the satellite list and the transponder
// table embedded under an opened satellite. They hand the user's row changes
// to the grid, which posts the rows, and keep the shape of the list fixed.
namespace vorlek::ui {

inline const QColor kGridFrame(127, 157, 185);
inline const QColor kExpandBox(120, 120, 120);

inline void UseGridStyle(QWidget* w, QStyle* style) {
    w->setStyle(style);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->setStyle(style);
}

inline void SetUpGridView(QAbstractItemView* view, GridDelegate* delegate, QStyle* style) {
    view->setItemDelegate(delegate);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setDragDropMode(QAbstractItemView::NoDragDrop);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameStyle(QFrame::Box | QFrame::Plain);
    view->setLineWidth(1);
    view->setFocusPolicy(Qt::StrongFocus);
    UseGridStyle(view, style);
    QPalette palette = view->palette();
    palette.setColor(QPalette::WindowText, kGridFrame);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    view->setPalette(palette);
    view->setForegroundRole(QPalette::WindowText); // the frame's colour
}

// Keys that would add or remove rows elsewhere do nothing here.
inline bool IsRowKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Insert || e->key() == Qt::Key_Delete;
}

// The satellite list: a tree whose every satellite has one child row holding
// its transponder table.
class MasterView : public QTreeView {
public:
    MasterView(ChannelGrid& grid, MasterModel* model, QWidget* parent)
        : QTreeView(parent), grid_(grid) {
        GridDelegate* delegate = grid.NewDelegate();
        setModel(model);
        SetUpGridView(this, delegate, grid.style_.get());
        setHeaderHidden(true);
        header()->setSectionResizeMode(QHeaderView::Fixed);
        header()->setMinimumSectionSize(1);
        header()->setStretchLastSection(false);
        header()->setSectionsMovable(false);
        setRootIsDecorated(true);
        setIndentation(16);
        setUniformRowHeights(false);
        setItemsExpandable(true);
        setExpandsOnDoubleClick(false); // done here, on every satellite row
        setAnimated(false);
        setSortingEnabled(false);
        setAllColumnsShowFocus(false);
        setVerticalScrollMode(ScrollPerPixel);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setEditTriggers(SelectedClicked | EditKeyPressed | AnyKeyPressed);
    }

    MasterModel* Model() const { return static_cast<MasterModel*>(model()); }

    QRect visualRect(const QModelIndex& index) const override {
        QRect r = QTreeView::visualRect(index);
        if (MasterModel::IsDetail(index) && r.isValid()) {
            r.setLeft(indentation());
            r.setRight(viewport()->width() - 1);
        }
        return r;
    }

    void FitColumns() {
        std::vector<int> widths, minimums;
        for (const GridColumn* c : grid_.cxGrid1DBTableView1.Columns) {
            widths.push_back(c->Width);
            minimums.push_back(c->MinWidth);
        }
        std::vector<int> shares =
            ShareWidths(widths, minimums, viewport()->width() - indentation());
        if (shares.empty())
            return;
        shares[0] += indentation();
        for (std::size_t i = 0; i < shares.size(); ++i) {
            if (header()->sectionSize(static_cast<int>(i)) != shares[i])
                header()->resizeSection(static_cast<int>(i), shares[i]);
        }
    }

protected:
    void drawBranches(QPainter* p, const QRect& rect, const QModelIndex& index) const override {
        if (MasterModel::IsDetail(index)) {
            p->fillRect(rect, palette().color(QPalette::Base));
            return;
        }
        const QVariant background = index.data(Qt::BackgroundRole);
        p->fillRect(rect, background.isValid() ? background.value<QColor>() : Qt::white);
        const QPoint c = rect.center();
        const QRect box(c.x() - 4, c.y() - 4, 9, 9);
        p->save();
        p->setPen(kExpandBox);
        p->setBrush(Qt::white);
        p->drawRect(box.adjusted(0, 0, -1, -1));
        p->setPen(Qt::black);
        p->drawLine(box.left() + 2, c.y(), box.right() - 2, c.y());
        if (!isExpanded(index))
            p->drawLine(c.x(), box.top() + 2, c.x(), box.bottom() - 2);
        p->restore();
    }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        QTreeView::currentChanged(current, previous);
        if (!grid_.following_)
            grid_.MasterRowFocused(current);
    }

    void focusInEvent(QFocusEvent* event) override {
        QTreeView::focusInEvent(event);
        if (!grid_.following_)
            grid_.MasterRowFocused(currentIndex());
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (grid_.HoldsRefusedText())
            return grid_.RefuseClick();
        QTreeView::mousePressEvent(event);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (grid_.HoldsRefusedText())
            return grid_.RefuseClick();
        const QPoint pos = event->position().toPoint();
        const QModelIndex index = indexAt(pos);
        // On the expand button the two clicks have toggled already.
        if (!index.isValid() || MasterModel::IsDetail(index) || pos.x() < indentation())
            return;
        edit(index, DoubleClicked, event); // cancels the edit the first click may have begun
        const QModelIndex first = index.siblingAtColumn(0);
        setExpanded(first, !isExpanded(first));
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (IsRowKey(event))
            return;
        const QModelIndex current = currentIndex();
        const bool typing = current.isValid() && (model()->flags(current) & Qt::ItemIsEditable);
        if (typing && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus ||
                       event->key() == Qt::Key_Asterisk)) {
            // In a name, these are characters, not expand and collapse.
            QAbstractItemView::keyPressEvent(event);
            return;
        }
        const int record = Model()->RecordOf(current);
        if (event->modifiers() == Qt::NoModifier && record >= 0) {
            // Down from an opened satellite enters its transponders; Up from
            // below an opened one enters its last transponder.
            if (event->key() == Qt::Key_Down && grid_.EnterDetail(record, true))
                return;
            if (event->key() == Qt::Key_Up && grid_.EnterDetail(record - 1, false))
                return;
        }
        QTreeView::keyPressEvent(event);
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const QModelIndex next = QTreeView::moveCursor(action, modifiers);
        if (!MasterModel::IsDetail(next))
            return next;
        // Keyboard moves step over the detail rows, from satellite to satellite.
        const int record = static_cast<int>(next.internalId() - 1);
        const int column = currentIndex().isValid() ? currentIndex().column() : 1;
        const bool down =
            action == MoveDown || action == MoveNext || action == MovePageDown || action == MoveEnd;
        const QModelIndex target = Model()->IndexOf(down ? record + 1 : record, column);
        return target.isValid() ? target : currentIndex();
    }

    void updateGeometries() override {
        FitColumns();
        QTreeView::updateGeometries();
    }

    // No incremental search: a key typed where nothing can be edited does nothing.
    void keyboardSearch(const QString&) override {}

private:
    ChannelGrid& grid_;
};

// The transponders of one satellite, embedded under its row.
class DetailView : public QTableView {
public:
    DetailView(ChannelGrid& grid, DetailModel* model, int satRecord)
        : grid_(grid), satRecord_(satRecord) {
        GridDelegate* delegate = grid.NewDelegate();
        delegate->setParent(this);
        setModel(model);
        model->setParent(this);
        SetUpGridView(this, delegate, grid.style_.get());
        horizontalHeader()->hide();
        verticalHeader()->hide();
        horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        horizontalHeader()->setMinimumSectionSize(1);
        horizontalHeader()->setSectionsMovable(false);
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setMinimumSectionSize(1);
        verticalHeader()->setDefaultSectionSize(GridDelegate::RowHeight(*grid.cxStyle4.Font));
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setShowGrid(false);
        setWordWrap(false);
        setCornerButtonEnabled(false);
        setSortingEnabled(false);
        setTabKeyNavigation(true);
        setEditTriggers(SelectedClicked | DoubleClicked | EditKeyPressed | AnyKeyPressed);
        const auto& columns = grid.cxGrid1DBTableView2.Columns;
        for (std::size_t i = 0; i < columns.size(); ++i)
            setColumnHidden(static_cast<int>(i), !columns[i]->Visible);
    }

    DetailModel* Model() const { return static_cast<DetailModel*>(model()); }
    int SatRecord() const { return satRecord_; }

    // The satellite list sizes the detail row by this: all rows, no more.
    QSize sizeHint() const override {
        return QSize(QTableView::sizeHint().width(), grid_.DetailHeight(satRecord_));
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

    void FitColumns() {
        const auto& columns = grid_.cxGrid1DBTableView2.Columns;
        std::vector<int> widths, minimums, which;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (!columns[i]->Visible)
                continue;
            widths.push_back(columns[i]->Width);
            minimums.push_back(columns[i]->MinWidth);
            which.push_back(static_cast<int>(i));
        }
        const std::vector<int> shares = ShareWidths(widths, minimums, viewport()->width());
        for (std::size_t i = 0; i < shares.size(); ++i) {
            if (columnWidth(which[i]) != shares[i])
                setColumnWidth(which[i], shares[i]);
        }
    }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        QTableView::currentChanged(current, previous);
        if (!grid_.following_)
            grid_.DetailRowFocused(this, current);
    }

    void focusInEvent(QFocusEvent* event) override {
        QTableView::focusInEvent(event);
        if (!grid_.following_)
            grid_.DetailRowFocused(this, currentIndex());
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (grid_.HoldsRefusedText())
            return grid_.RefuseClick();
        QTableView::mousePressEvent(event);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (grid_.HoldsRefusedText())
            return grid_.RefuseClick();
        QTableView::mouseDoubleClickEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const QModelIndex current = currentIndex();
        const bool plain = event->modifiers() == Qt::NoModifier && current.isValid();
        if (plain && event->key() == Qt::Key_Up && current.row() == 0)
            grid_.LeaveDetail(satRecord_); // back to its satellite
        else if (plain && event->key() == Qt::Key_Down && current.row() == model()->rowCount() - 1)
            grid_.LeaveDetail(satRecord_ + 1); // on to the next one
        else if (!IsRowKey(event))
            QTableView::keyPressEvent(event);
        // An item view lets a key that opened an editor go on to its parent,
        // which here is the satellite list: it must stop here.
        event->accept();
    }

    // The satellite list scrolls, not the embedded table.
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }

    void resizeEvent(QResizeEvent* event) override {
        QTableView::resizeEvent(event);
        FitColumns();
    }

    void updateGeometries() override {
        FitColumns();
        QTableView::updateGeometries();
    }

    void keyboardSearch(const QString&) override {}

private:
    ChannelGrid& grid_;
    int satRecord_;
};

} // namespace vorlek::ui
