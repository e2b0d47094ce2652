#include "ChannelGrid.h"

#include "GridViews.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QStyleFactory>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace vorlek::ui {
namespace {

std::int32_t KeyOf(const store::Query& q, int record, const store::Field& field) {
    const auto* n = std::get_if<std::int64_t>(&q.ValueAt(record, field));
    return n ? static_cast<std::int32_t>(*n) : 0;
}

} // namespace

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
    // A table closed with an editor open in it: the edit is finished, not left hidden.
    connect(tree_, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        QTableView* view = TransponderView(master_->RecordOf(index));
        GridDelegate* d = OpenEditorDelegate();
        if (view && d && view->isAncestorOf(d->OpenEditor()))
            d->FinishEditing();
    });
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

bool ChannelGrid::EnterDetail(int satRecord, bool firstRow) {
    if (satRecord < 0 || !IsExpanded(satRecord))
        return false;
    DetailView* view = EnsureDetail(satRecord);
    const int rows = view->model()->rowCount();
    if (rows == 0)
        return false;
    const QModelIndex current = view->currentIndex();
    const int column = current.isValid() ? current.column() : 2;
    view->setFocus(Qt::OtherFocusReason);
    view->setCurrentIndex(view->model()->index(firstRow ? 0 : rows - 1, column));
    return true;
}

void ChannelGrid::LeaveDetail(int toSatRecord) {
    const QModelIndex target = master_->IndexOf(toSatRecord, 1);
    if (!target.isValid())
        return;
    tree_->setFocus(Qt::OtherFocusReason);
    tree_->setCurrentIndex(target);
    tree_->scrollTo(target);
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
