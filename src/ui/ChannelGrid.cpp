#include "ChannelGrid.h"

#include "GridDelegate.h"
#include "GridModels.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleFactory>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace vorlek::ui {
namespace {

const QColor kFrame(127, 157, 185);
const QColor kExpandBox(120, 120, 120);

void UseStyle(QWidget* w, QStyle* style) {
    w->setStyle(style);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->setStyle(style);
}

void SetUpCommon(QAbstractItemView* view, GridDelegate* delegate, QStyle* style) {
    view->setItemDelegate(delegate);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setDragDropMode(QAbstractItemView::NoDragDrop);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameStyle(QFrame::Box | QFrame::Plain);
    view->setLineWidth(1);
    view->setFocusPolicy(Qt::StrongFocus);
    UseStyle(view, style);
    QPalette palette = view->palette();
    palette.setColor(QPalette::WindowText, kFrame);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    view->setPalette(palette);
    view->setForegroundRole(QPalette::WindowText); // the frame's colour
}

// Keys that would add or remove rows elsewhere do nothing here.
bool IsRowKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Insert || e->key() == Qt::Key_Delete;
}

std::int32_t KeyOf(const store::Query& q, int record, const store::Field& field) {
    const auto* n = std::get_if<std::int64_t>(&q.ValueAt(record, field));
    return n ? static_cast<std::int32_t>(*n) : 0;
}

} // namespace

// The satellite list: a tree whose every satellite has one child row holding
// its transponder table.
class MasterView : public QTreeView {
public:
    MasterView(ChannelGrid& grid, MasterModel* model, QWidget* parent)
        : QTreeView(parent), grid_(grid) {
        GridDelegate* delegate = grid.NewDelegate();
        setModel(model);
        SetUpCommon(this, delegate, grid.style_.get());
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
        SetUpCommon(this, delegate, grid.style_.get());
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
        if (!IsRowKey(event))
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

// --- ChannelGrid ---

ChannelGrid::ChannelGrid(store::ChannelComponents& db, QWidget* parent)
    : QWidget(parent), db_(db), style_(QStyleFactory::create(QStringLiteral("Fusion"))) {
    setObjectName(QStringLiteral("cxGrid1"));
    SetUpStyles();
    SetUpColumns();
    cxGrid1Level1 = {QStringLiteral("cxGrid1Level1"), QStringLiteral("Uydu Listesi"),
                     &cxGrid1DBTableView1, nullptr};
    cxGrid1Level4 = {QStringLiteral("cxGrid1Level4"), QStringLiteral("TP Listesi"),
                     &cxGrid1DBTableView2, &cxGrid1Level1};

    master_ = new MasterModel(cxGrid1DBTableView1, this);
    master_->DetailHeight = [this](int record) { return DetailHeight(record); };
    tree_ = new MasterView(*this, master_, this);
    tree_->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    setFocusProxy(tree_);

    connect(master_, &GridModel::CurrentRecordChanged, this, &ChannelGrid::FollowSatellite);
    connect(master_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { details_.clear(); });
    connect(tree_, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { EnsureDetail(master_->RecordOf(index)); });
    tpSubscription_ = db_.ADOQ_TPList.Subscribe([this](store::DataEvent e) {
        if (e == store::DataEvent::DataSetChanged || e == store::DataEvent::Scrolled)
            FollowTransponder(db_.ADOQ_TPList.Active() ? db_.ADOQ_TPList.RecNo() : -1);
    });
    qApp->installEventFilter(this);
    if (db_.ADOQ_SatList.Active())
        FollowSatellite(db_.ADOQ_SatList.RecNo());
}

ChannelGrid::~ChannelGrid() {
    db_.ADOQ_TPList.Unsubscribe(tpSubscription_);
}

void ChannelGrid::SetUpStyles() {
    const QFont bold = GridFont(11, true);
    cxStyle1.Color = QColor(255, 255, 215);
    cxStyle1.Font = bold;
    cxStyle2.Color = QColor(223, 255, 223);
    cxStyle2.Font = bold;
    cxStyle3.TextColor = QColor(Qt::red);
    cxStyle4.Color = QColor(236, 236, 255);
    cxStyle4.Font = GridFont(11, false);
    cxStyle5.Color = QColor(Qt::white);
    cxStyleRepository1.Styles = {&cxStyle1, &cxStyle2, &cxStyle3, &cxStyle4, &cxStyle5};
}

void ChannelGrid::SetUpColumns() {
    auto& c = cxGrid1DBTableView1ID;
    c.Name = QStringLiteral("cxGrid1DBTableView1ID");
    c.Caption = QStringLiteral("No");
    c.Field = &db_.ADOQ_SatListID;
    c.Width = 24;
    c.MinWidth = 24;
    c.Alignment = Qt::AlignCenter;
    c.Style = &cxStyle3;

    auto& d = cxGrid1DBTableView1Descr;
    d.Name = QStringLiteral("cxGrid1DBTableView1Descr");
    d.Caption = QStringLiteral("Uydu");
    d.Field = &db_.ADOQ_SatListDescr;
    d.Editor = ColumnEditor::Text;
    d.Width = 303;
    d.MaxLength = 16;

    cxGrid1DBTableView1.Name = QStringLiteral("cxGrid1DBTableView1");
    cxGrid1DBTableView1.DataSource = &db_.DS_SatList;
    cxGrid1DBTableView1.Columns = {&cxGrid1DBTableView1ID, &cxGrid1DBTableView1Descr};
    cxGrid1DBTableView1.EvenRowStyle = &cxStyle2;
    cxGrid1DBTableView1.OddRowStyle = &cxStyle1;

    auto& satId = cxGrid1DBTableView2SatID;
    satId.Name = QStringLiteral("cxGrid1DBTableView2SatID");
    satId.Caption = QStringLiteral("SatID");
    satId.Field = &db_.ADOQ_TPListSatID;
    satId.Visible = false;
    satId.Width = 0;

    auto& id = cxGrid1DBTableView2ID;
    id.Name = QStringLiteral("cxGrid1DBTableView2ID");
    id.Caption = QStringLiteral("ID");
    id.Field = &db_.ADOQ_TPListID;
    id.Width = 20;
    id.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    id.Style = &cxStyle3;

    auto& name = cxGrid1DBTableView2Descr;
    name.Name = QStringLiteral("cxGrid1DBTableView2Descr");
    name.Caption = QStringLiteral("Descr");
    name.Field = &db_.ADOQ_TPListDescr;
    name.Editor = ColumnEditor::Text;
    name.Width = 109;
    name.MaxLength = 12;
    name.Style = &cxStyle5;

    auto& frequency = cxGrid1DBTableView2Frequency;
    frequency.Name = QStringLiteral("cxGrid1DBTableView2Frequency");
    frequency.Caption = QStringLiteral("Frequency");
    frequency.Field = &db_.ADOQ_TPListFrequency;
    frequency.Editor = ColumnEditor::Number;
    frequency.Width = 90;
    frequency.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    frequency.Number = NumberRules{10700, 12750, u" MHz", true};

    auto& polarisation = cxGrid1DBTableView2Polarisation;
    polarisation.Name = QStringLiteral("cxGrid1DBTableView2Polarisation");
    polarisation.Caption = QStringLiteral("Polarisation");
    polarisation.Field = &db_.ADOQ_TPListPolarisation;
    polarisation.Editor = ColumnEditor::Lookup;
    polarisation.Width = 80;
    polarisation.Alignment = Qt::AlignCenter;
    polarisation.LookupSource = &db_.DS_PolType;
    polarisation.KeyField = &db_.ADOQ_PolTypeID;
    polarisation.ListField = &db_.ADOQ_PolTypeDescr;

    auto& symbolRate = cxGrid1DBTableView2SymbolRate;
    symbolRate.Name = QStringLiteral("cxGrid1DBTableView2SymbolRate");
    symbolRate.Caption = QStringLiteral("SymbolRate");
    symbolRate.Field = &db_.ADOQ_TPListSymbolRate;
    symbolRate.Editor = ColumnEditor::Number;
    symbolRate.Width = 80;
    symbolRate.Alignment = Qt::AlignRight | Qt::AlignVCenter;
    symbolRate.Number = NumberRules{2000, 45000, u" KB", false};

    cxGrid1DBTableView2.Name = QStringLiteral("cxGrid1DBTableView2");
    cxGrid1DBTableView2.DataSource = &db_.DS_TPList;
    cxGrid1DBTableView2.Columns = {&satId, &id, &name, &frequency, &polarisation, &symbolRate};
    cxGrid1DBTableView2.EvenRowStyle = &cxStyle4;
    cxGrid1DBTableView2.OddRowStyle = &cxStyle4;
    cxGrid1DBTableView2.DetailKey = &db_.ADOQ_TPListSatID;
    cxGrid1DBTableView2.MasterKey = &db_.ADOQ_SatListID;
}

QTreeView* ChannelGrid::SatelliteView() const {
    return tree_;
}

QTableView* ChannelGrid::TransponderView(int satRecord) const {
    const auto it = details_.find(satRecord);
    return it == details_.end() ? nullptr : it->second.data();
}

void ChannelGrid::SetExpanded(int satRecord, bool expanded) {
    tree_->setExpanded(master_->IndexOf(satRecord, 0), expanded);
}

bool ChannelGrid::IsExpanded(int satRecord) const {
    return tree_->isExpanded(master_->IndexOf(satRecord, 0));
}

DetailView* ChannelGrid::EnsureDetail(int satRecord) {
    if (satRecord < 0)
        return nullptr;
    if (const auto it = details_.find(satRecord); it != details_.end() && it->second)
        return it->second;
    const std::int32_t key = KeyOf(db_.ADOQ_SatList, satRecord, db_.ADOQ_SatListID);
    auto* view = new DetailView(*this, new DetailModel(cxGrid1DBTableView2, key), satRecord);
    view->setObjectName(QStringLiteral("cxGrid1DBTableView2"));
    details_[satRecord] = view;
    tree_->setIndexWidget(master_->DetailIndex(satRecord), view);
    return view;
}

int ChannelGrid::DetailHeight(int satRecord) const {
    int rows = 0;
    if (const auto it = details_.find(satRecord); it != details_.end() && it->second) {
        rows = it->second->Model()->rowCount();
    } else if (db_.ADOQ_TPList.Active() && db_.ADOQ_SatList.Active()) {
        const std::int32_t key = KeyOf(db_.ADOQ_SatList, satRecord, db_.ADOQ_SatListID);
        for (int r = 0; r < db_.ADOQ_TPList.RecordCount(); ++r)
            rows += KeyOf(db_.ADOQ_TPList, r, db_.ADOQ_TPListSatID) == key;
    }
    const int frame = 2;
    return std::max(rows, 1) * GridDelegate::RowHeight(*cxStyle4.Font) + frame;
}

void ChannelGrid::MasterRowFocused(const QModelIndex& index) {
    const int record = master_->RecordOf(index);
    if (record < 0 || !db_.ADOQ_SatList.Active())
        return;
    try {
        if (db_.ADOQ_TPList.Active())
            db_.ADOQ_TPList.Post();
        db_.ADOQ_SatList.MoveTo(record);
    } catch (...) {
        // The row that could not be written keeps the focus.
        FollowSatellite(db_.ADOQ_SatList.RecNo());
        throw;
    }
}

void ChannelGrid::DetailRowFocused(DetailView* view, const QModelIndex& index) {
    const int record = view->Model()->RecordOf(index);
    if (record < 0 || !db_.ADOQ_TPList.Active() || !db_.ADOQ_SatList.Active())
        return;
    try {
        db_.ADOQ_SatList.Post();
        db_.ADOQ_SatList.MoveTo(view->SatRecord());
        db_.ADOQ_TPList.MoveTo(record);
    } catch (...) {
        FollowTransponder(db_.ADOQ_TPList.RecNo());
        throw;
    }
}

void ChannelGrid::FollowSatellite(int record) {
    const QModelIndex current = tree_->currentIndex();
    if (current.isValid() && master_->RecordOf(current) == record)
        return;
    const int column = current.isValid() && !MasterModel::IsDetail(current) ? current.column() : 1;
    const QModelIndex target = master_->IndexOf(record, column);
    if (!target.isValid())
        return;
    QScopedValueRollback<bool> guard(following_, true);
    tree_->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    tree_->scrollTo(target);
}

void ChannelGrid::FollowTransponder(int record) {
    for (const auto& [satRecord, view] : details_) {
        if (!view)
            continue;
        const QModelIndex current = view->currentIndex();
        if (current.isValid() && view->Model()->RecordOf(current) == record)
            continue;
        const int column = current.isValid() ? current.column() : 2;
        const QModelIndex target = view->Model()->IndexOf(record, column);
        if (!target.isValid())
            continue;
        QScopedValueRollback<bool> guard(following_, true);
        view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
    }
}

bool ChannelGrid::Contains(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        if (w == this)
            return true;
    }
    return false;
}

void ChannelGrid::PostRows() {
    if (db_.ADOQ_SatList.Active())
        db_.ADOQ_SatList.Post();
    if (db_.ADOQ_TPList.Active())
        db_.ADOQ_TPList.Post();
}

bool ChannelGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
        const auto* w = static_cast<QWidget*>(watched);
        if (Contains(w)) {
            hadFocus_ = true;
        } else if (hadFocus_ && w->window() == window()) {
            // Another control of the window took the focus (UPLOAD, Connect):
            // the rows are written before it handles the click.
            hadFocus_ = false;
            PostRows();
        }
    }
    return QWidget::eventFilter(watched, event);
}

GridDelegate* ChannelGrid::NewDelegate() {
    auto* delegate = new GridDelegate(this, style_.get(), this);
    std::erase_if(delegates_, [](const QPointer<GridDelegate>& d) { return d.isNull(); });
    delegates_.emplace_back(delegate);
    return delegate;
}

GridDelegate* ChannelGrid::OpenEditorDelegate() const {
    for (const auto& d : delegates_) {
        if (d && d->OpenEditor())
            return d;
    }
    return nullptr;
}

bool ChannelGrid::HoldsRefusedText() const {
    const GridDelegate* d = OpenEditorDelegate();
    return d && d->HoldsRefusedText();
}

void ChannelGrid::RefuseClick() {
    if (GridDelegate* d = OpenEditorDelegate())
        d->RefuseOpenEditor();
}

void ChannelGrid::PostPendingEdits() {
    if (GridDelegate* d = OpenEditorDelegate())
        d->FinishEditing();
    PostRows();
}

} // namespace vorlek::ui
