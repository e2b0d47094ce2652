#include "ChannelGrid.h"
#include "GridDelegate.h"
#include "GridEditors.h"
#include "support/MemoryTableFile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeView>

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;

namespace {

// Stands in for the program's error box: what leaves an event handler is
// recorded instead of shown.
class RecordingApp : public QApplication {
public:
    using QApplication::QApplication;
    QStringList errors;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            errors << QString::fromUtf8(e.what());
        }
        return true;
    }
};

RecordingApp* App() {
    return static_cast<RecordingApp*>(qApp);
}

// Lets the test keep the file while the connection owns "it".
struct Forward : TableFile {
    explicit Forward(std::shared_ptr<MemoryTableFile> f) : f(std::move(f)) {}
    std::shared_ptr<MemoryTableFile> f;
    const jet::TableDef& Table(const std::string& n) const override { return f->Table(n); }
    std::vector<jet::Row> ReadRows(const jet::TableDef& t) const override { return f->ReadRows(t); }
    void UpdateRow(const jet::TableDef& t, const jet::Row& b,
                   const std::vector<jet::Value>& a) override {
        f->UpdateRow(t, b, a);
    }
};

// The grid on a window with an UPLOAD button, built before the database is
// opened, the way the window does it.
struct Fixture {
    std::shared_ptr<MemoryTableFile> file;
    std::unique_ptr<ChannelComponents> db;
    std::unique_ptr<QWidget> window;
    ChannelGrid* grid = nullptr;
    QPushButton* upload = nullptr;

    explicit Fixture(MemoryTableFile contents = MemoryTableFile::Channels()) {
        file = std::make_shared<MemoryTableFile>(std::move(contents));
        db = std::make_unique<ChannelComponents>(
            [held = file](const std::string&) -> std::unique_ptr<TableFile> {
                return std::make_unique<Forward>(held);
            });
        window = std::make_unique<QWidget>();
        window->resize(505, 673);
        upload = new QPushButton(QStringLiteral("UPLOAD"), window.get());
        upload->setGeometry(344, 0, 145, 33);
        grid = new ChannelGrid(*db, window.get());
        grid->setGeometry(8, 40, 481, 585);
        db->OpenChannelDatabase("/opt/vorlek/");
        window->show();
        window->activateWindow();
        App()->errors.clear();
    }
    ~Fixture() {
        window.reset(); // the grid goes before the queries it is bound to
    }

    QTreeView* tree() const { return grid->SatelliteView(); }
    QModelIndex sat(int record, int column = 1) const {
        return tree()->model()->index(record, column);
    }
    QTableView* tps(int satRecord) const { return grid->TransponderView(satRecord); }

    const jet::Value& stored(const char* table, int row, int column) const {
        return file->tables.at(table)
            .rows.at(static_cast<std::size_t>(row))
            .values.at(static_cast<std::size_t>(column));
    }
    QString storedText(const char* table, int row, int column) const {
        const auto* s = std::get_if<std::u16string>(&stored(table, row, column));
        return s ? QString::fromStdU16String(*s) : QStringLiteral("(null)");
    }
    qint64 storedNumber(int tpRow, int column) const {
        const auto* n = std::get_if<std::int64_t>(&stored("T_TPList", tpRow, column));
        return n ? *n : -1;
    }
};

void Click(QAbstractItemView* view, const QModelIndex& index) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

void ClickExpandButton(QTreeView* tree, int record) {
    const QRect row = tree->visualRect(tree->model()->index(record, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(tree->indentation() / 2, row.center().y()));
}

// A click on the focused row opens the cell's editor only after the
// double-click time, so the tests that type at once focus the cell directly.
void FocusCell(QAbstractItemView* view, const QModelIndex& index) {
    view->setFocus(Qt::MouseFocusReason);
    view->setCurrentIndex(index);
}

// Lets delayed layouts (index widgets, column widths) take place.
void Settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QWidget* Focus() {
    return QApplication::focusWidget();
}

void Type(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(Focus(), c.toLatin1());
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(Focus(), key, modifiers);
}

QLineEdit* OpenLineEdit() {
    return qobject_cast<QLineEdit*>(Focus());
}

// Frequency and symbol rate columns of the transponder model.
constexpr int kTPDescr = 2, kTPFrequency = 3, kTPPolarisation = 4, kTPSymbolRate = 5;

} // namespace

class TestChannelGrid : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // --- Expanding and the embedded table ---

    void expandButtonAndDoubleClickToggleTheTransponderTable() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(f.tree()->model()->rowCount(), 32);
        QVERIFY(f.tree()->isHeaderHidden());
        QCOMPARE(f.tree()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        ClickExpandButton(f.tree(), 1);
        QVERIFY(f.grid->IsExpanded(1));
        QTableView* table = f.tps(1);
        QVERIFY(table);
        QVERIFY(table->isVisible());
        QCOMPARE(table->model()->rowCount(), 8);
        for (int r = 0; r < 8; ++r) {
            QCOMPARE(table->model()->index(r, kTPDescr).data().toString(),
                     QStringLiteral("TP2.%1").arg(r + 1));
        }
        QVERIFY(table->horizontalHeader()->isHidden());
        QVERIFY(table->verticalHeader()->isHidden());
        QVERIFY(table->isColumnHidden(0));
        QCOMPARE(table->frameWidth(), 1);
        // The table sits under its satellite row and is all visible.
        const QRect satRow = f.tree()->visualRect(f.sat(1));
        QCOMPARE(table->geometry().top(), satRow.bottom() + 1);
        QVERIFY(table->height() >= 8 * table->rowHeight(0) + 2);

        ClickExpandButton(f.tree(), 1);
        QVERIFY(!f.grid->IsExpanded(1));
        QVERIFY(!table->isVisible());

        QTest::mouseDClick(f.tree()->viewport(), Qt::LeftButton, {},
                           f.tree()->visualRect(f.sat(3)).center());
        QVERIFY(f.grid->IsExpanded(3));
        QTest::mouseDClick(f.tree()->viewport(), Qt::LeftButton, {},
                           f.tree()->visualRect(f.sat(3)).center());
        QVERIFY(!f.grid->IsExpanded(3));
        QVERIFY(App()->errors.isEmpty());
    }

    void satelliteWithoutTranspondersStillExpands() {
        MemoryTableFile contents = MemoryTableFile::Channels(3, 8);
        std::erase_if(contents.tables["T_TPList"].rows,
                      [](const jet::Row& r) { return std::get<std::int64_t>(r.values[0]) == 3; });
        Fixture f(std::move(contents));
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(f.tree()->model()->rowCount(f.tree()->model()->index(2, 0)), 1);
        ClickExpandButton(f.tree(), 2);
        QVERIFY(f.grid->IsExpanded(2));
        QCOMPARE(f.tps(2)->model()->rowCount(), 0);
    }

    void columnsShareTheWidthAndKeepTheirAlignment() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTreeView* tree = f.tree();
        const int id = tree->columnWidth(0) - tree->indentation();
        const int name = tree->columnWidth(1);
        QCOMPARE(id + name + tree->indentation(), tree->viewport()->width());
        QVERIFY2(qAbs(id * 303 - name * 24) <= 303 + 24,
                 qPrintable(QStringLiteral("%1 %2").arg(id).arg(name)));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        int sum = 0;
        for (int c = 1; c < 6; ++c)
            sum += table->columnWidth(c);
        QCOMPARE(sum, table->viewport()->width());
        QVERIFY(table->columnWidth(kTPDescr) > table->columnWidth(1) * 4);
        const QAbstractItemModel* m = table->model();
        QCOMPARE(m->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QCOMPARE(m->index(0, kTPFrequency).data(Qt::TextAlignmentRole).toInt() &
                     Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QCOMPARE(m->index(0, kTPPolarisation).data(Qt::TextAlignmentRole).toInt() &
                     Qt::AlignHorizontal_Mask,
                 int(Qt::AlignHCenter));
        QCOMPARE(tree->model()->index(0, 0).data(Qt::TextAlignmentRole).toInt() &
                     Qt::AlignHorizontal_Mask,
                 int(Qt::AlignHCenter));
    }

    void uploadMovesFocusAndKeepsRowsExpanded() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        f.grid->SetExpanded(6, true);
        Settle();
        for (int id : {5, 12}) {
            f.db->ADOQ_SatList.DisableControls();
            f.db->ADOQ_SatList.Locate({{&f.db->ADOQ_SatListID, id}});
            QCOMPARE(f.tree()->currentIndex().row(), id == 5 ? 0 : 4); // frozen: not followed
            f.db->ADOQ_SatList.EnableControls();
            QCOMPARE(f.tree()->currentIndex().row(), id - 1);
            QVERIFY(f.grid->IsExpanded(0));
            QVERIFY(f.grid->IsExpanded(6));
        }
        f.db->ADOQ_TPList.DisableControls();
        f.db->ADOQ_TPList.Locate({{&f.db->ADOQ_TPListSatID, 7}, {&f.db->ADOQ_TPListID, 3}});
        f.db->ADOQ_TPList.EnableControls();
        QCOMPARE(f.tps(6)->currentIndex().row(), 2);
        QVERIFY(f.grid->IsExpanded(6));
        QVERIFY(App()->errors.isEmpty());
    }

    // --- Number editors ---

    void numberCellsShowGroupedValuesWithTheirUnit() {
        MemoryTableFile contents = MemoryTableFile::Channels(2, 8);
        contents.tables["T_TPList"].rows[1].values[kTPFrequency] = jet::Value();
        Fixture f(std::move(contents));
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        const QAbstractItemModel* m = f.tps(0)->model();
        QCOMPARE(m->index(0, kTPFrequency).data().toString(), QStringLiteral("10,711 MHz"));
        QCOMPARE(m->index(1, kTPFrequency).data().toString(), QStringLiteral("0 MHz"));
        QCOMPARE(m->index(0, kTPSymbolRate).data().toString(), QStringLiteral("27,500 KB"));
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        QCOMPARE(m->index(0, kTPFrequency).data().toString(), QStringLiteral("10.711 MHz"));

        // While editing: the frequency keeps its separators, the symbol rate does not.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTableView* table = f.tps(0);
        FocusCell(table, m->index(0, kTPFrequency));
        Press(Qt::Key_F2);
        QVERIFY(OpenLineEdit());
        QCOMPARE(OpenLineEdit()->text(), QStringLiteral("10,711"));
        QCOMPARE(OpenLineEdit()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        Press(Qt::Key_Escape);
        FocusCell(table, m->index(0, kTPSymbolRate));
        Press(Qt::Key_F2);
        QCOMPARE(OpenLineEdit()->text(), QStringLiteral("27500"));
        Press(Qt::Key_Escape);
        QVERIFY(App()->errors.isEmpty());
    }

    void numberEditorChecksTheBoundsOfChangedText_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed"); // empty: the text is cleared
        QTest::addColumn<int>("stored");    // -1: refused
        QTest::newRow("frequency 10699") << kTPFrequency << "10699" << -1;
        QTest::newRow("frequency 12751") << kTPFrequency << "12751" << -1;
        QTest::newRow("frequency 10700") << kTPFrequency << "10700" << 10700;
        QTest::newRow("frequency 12750") << kTPFrequency << "12750" << 12750;
        QTest::newRow("frequency with separator") << kTPFrequency << "11,250" << 11250;
        QTest::newRow("frequency exponent") << kTPFrequency << "11e3" << 11000;
        QTest::newRow("frequency cleared") << kTPFrequency << "" << -1;
        QTest::newRow("frequency only a sign") << kTPFrequency << "-" << -1;
        QTest::newRow("symbol rate 1999") << kTPSymbolRate << "1999" << -1;
        QTest::newRow("symbol rate 45001") << kTPSymbolRate << "45001" << -1;
        QTest::newRow("symbol rate 2000") << kTPSymbolRate << "2000" << 2000;
        QTest::newRow("symbol rate 45000") << kTPSymbolRate << "45000" << 45000;
        QTest::newRow("symbol rate comma is decimal") << kTPSymbolRate << "2,5" << -1;
        QTest::newRow("symbol rate cleared") << kTPSymbolRate << "" << -1;
    }
    void numberEditorChecksTheBoundsOfChangedText() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        const QModelIndex cell = table->model()->index(0, column);
        const qint64 before = f.storedNumber(0, column);
        FocusCell(table, cell);
        if (typed.isEmpty()) {
            Press(Qt::Key_F2);
            Press(Qt::Key_Backspace);
        } else {
            Type(typed);
        }
        QLineEdit* editor = OpenLineEdit();
        QVERIFY(editor);
        Press(Qt::Key_Return);
        if (stored < 0) {
            QCOMPARE(App()->errors, QStringList{QStringLiteral("Value out of bounds")});
            QCOMPARE(OpenLineEdit(), editor); // still open, text selected
            QCOMPARE(editor->selectedText(), editor->text());
            // Moving to another row is refused the same way.
            App()->errors.clear();
            Press(Qt::Key_Down);
            QCOMPARE(App()->errors, QStringList{QStringLiteral("Value out of bounds")});
            QCOMPARE(table->currentIndex().row(), 0);
            App()->errors.clear();
            Press(Qt::Key_Escape);
            QCOMPARE(Focus(), table);
            QCOMPARE(table->model()->index(0, column).data(Qt::EditRole).toLongLong(), before);
        } else {
            QVERIFY2(App()->errors.isEmpty(), qPrintable(App()->errors.join(';')));
            QCOMPARE(Focus(), table); // Enter leaves the focus on the cell
            QCOMPARE(table->currentIndex(), cell);
            QCOMPARE(f.db->ADOQ_TPList.State(), DataSetState::Edit);
            QCOMPARE(table->model()->index(0, column).data(Qt::EditRole).toInt(), stored);
        }
        Press(Qt::Key_Down); // the row is written when the focus leaves it
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.file->writes, stored < 0 ? 0 : 1);
        QCOMPARE(f.storedNumber(0, column), stored < 0 ? before : stored);
    }

    void rejectedKeysBeepAndChangeNothing_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("appended");
        QTest::newRow("letter in frequency") << kTPFrequency << "x" << 1 << "";
        QTest::newRow("letter in symbol rate") << kTPSymbolRate << "k" << 1 << "";
        QTest::newRow("digit after the decimal separator") << kTPSymbolRate << ".5" << 1 << ".";
        QTest::newRow("sign after the digits") << kTPFrequency << "--" << 2 << "";
        QTest::newRow("exponent letter") << kTPFrequency << "e" << 0 << "e";
    }
    void rejectedKeysBeepAndChangeNothing() {
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(int, beeps);
        QFETCH(QString, appended);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        FocusCell(table, table->model()->index(0, column));
        Press(Qt::Key_F2);
        Press(Qt::Key_End);
        const QString before = OpenLineEdit()->text();
        const int beepsBefore = GridBeepCount();
        Type(keys);
        QCOMPARE(GridBeepCount() - beepsBefore, beeps);
        QCOMPARE(OpenLineEdit()->text(), before + appended);
        Press(Qt::Key_Escape);
        Press(Qt::Key_Down);
        QCOMPARE(f.file->writes, 0);
        QVERIFY(App()->errors.isEmpty());
    }

    void untouchedOutOfRangeValueStaysAsStored() {
        MemoryTableFile contents = MemoryTableFile::Channels(2, 8);
        contents.tables["T_TPList"].rows[0].values[kTPFrequency] = jet::Value(std::int64_t{9750});
        Fixture f(std::move(contents));
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        QCOMPARE(table->model()->index(0, kTPFrequency).data().toString(),
                 QStringLiteral("9,750 MHz"));
        FocusCell(table, table->model()->index(0, kTPFrequency));
        Press(Qt::Key_F2);
        Press(Qt::Key_Return);
        Press(Qt::Key_Down);
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.file->writes, 0);
        QCOMPARE(f.storedNumber(0, kTPFrequency), 9750);
        QCOMPARE(ReadTPRecord(*f.db, 0).frequency, 9750); // the frame clamps it to 10700
    }

    void refusedTextStaysWhenTheFocusLeaves() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        FocusCell(table, table->model()->index(0, kTPFrequency));
        Type("999");
        QLineEdit* editor = OpenLineEdit();
        QVERIFY(editor);
        int clicks = 0;
        QObject::connect(f.upload, &QPushButton::clicked, [&] { ++clicks; });
        QTest::mouseClick(f.upload, Qt::LeftButton);
        QCOMPARE(App()->errors, QStringList{QStringLiteral("Value out of bounds")});
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), QStringLiteral("999"));
        QCOMPARE(editor->selectedText(), QStringLiteral("999"));
        QCOMPARE(clicks, 1);
        QCOMPARE(f.file->writes, 0);

        // A click on another row is refused the same way; the row keeps the focus.
        App()->errors.clear();
        Click(table, table->model()->index(3, kTPDescr));
        QCOMPARE(App()->errors, QStringList{QStringLiteral("Value out of bounds")});
        QCOMPARE(table->currentIndex().row(), 0);
        Settle();
        QCOMPARE(Focus(), editor);
        App()->errors.clear();
        Press(Qt::Key_Escape);
        Click(table, table->model()->index(3, kTPDescr));
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(table->currentIndex().row(), 3);
        QCOMPARE(f.file->writes, 0);
        QCOMPARE(f.storedNumber(0, kTPFrequency), 10711);
    }

    // --- Polarisation list ---

    void polarisationShowsTheListNameOrNothing() {
        MemoryTableFile contents = MemoryTableFile::Channels(1, 8);
        contents.tables["T_TPList"].rows[2].values[kTPPolarisation] = jet::Value(std::int64_t{7});
        Fixture f(std::move(contents));
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        const QAbstractItemModel* m = f.tps(0)->model();
        QCOMPARE(m->index(0, kTPPolarisation).data().toString(), QStringLiteral("Vertical"));
        QCOMPARE(m->index(1, kTPPolarisation).data().toString(), QStringLiteral("Horizontal"));
        QCOMPARE(m->index(2, kTPPolarisation).data().toString(), QString());
    }

    void polarisationTypeAheadChoosesOnlyListEntries_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("completed"); // the selected rest
        QTest::addColumn<int>("stored");
        QTest::newRow("first letter") << "h"
                                      << "Horizontal"
                                      << "orizontal" << 0;
        QTest::newRow("upper case") << "V"
                                    << "Vertical"
                                    << "ertical" << 1;
        QTest::newRow("longer prefix picks the later entry") << "vert-"
                                                             << "Vert-Left"
                                                             << "Left" << 2;
        QTest::newRow("unmatched key dropped") << "vx"
                                               << "Vertical"
                                               << "ertical" << 1;
        QTest::newRow("nothing matches") << "q"
                                         << "Vertical"
                                         << "" << 1;
    }
    void polarisationTypeAheadChoosesOnlyListEntries() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, completed);
        QFETCH(int, stored);
        MemoryTableFile contents = MemoryTableFile::Channels(1, 8);
        contents.tables["T_PolType"].rows.push_back(
            jet::Row{jet::RowId{99, 0}, {jet::Value(std::int64_t{2}), jet::Value(u"Vert-Left")}});
        Fixture f(std::move(contents));
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        FocusCell(table, table->model()->index(0, kTPPolarisation)); // stores 1, "Vertical"
        Press(Qt::Key_F2);
        QComboBox* box = nullptr;
        for (QWidget* w = Focus(); w && !box; w = w->parentWidget())
            box = qobject_cast<QComboBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QStringLiteral("Horizontal"));
        QCOMPARE(box->maxVisibleItems(), 8);
        for (const QChar c : keys)
            QTest::keyClick(box->lineEdit(), c.toLatin1());
        QCOMPARE(box->currentText(), shown);
        QCOMPARE(box->lineEdit()->text(), shown);
        QCOMPARE(box->lineEdit()->selectedText(), completed);
        if (!completed.isEmpty())
            QVERIFY(box->view()->isVisible()); // a typed key opens the list
        QTest::keyClick(box->view()->isVisible() ? static_cast<QWidget*>(box->view()) : box,
                        Qt::Key_Return);
        if (table->viewport()->findChild<QComboBox*>() && Focus() != table)
            Press(Qt::Key_Return);
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(table->model()->index(0, kTPPolarisation).data(Qt::EditRole).toInt(), stored);
        QCOMPARE(table->model()->index(0, kTPPolarisation).data().toString(), shown);
    }

    // --- Writing back ---

    void editedRowIsWrittenWhenTheFocusedRowChanges() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        FocusCell(f.tree(), f.sat(0));
        Type("A");
        QCOMPARE(f.db->ADOQ_SatList.State(), DataSetState::Edit); // the first keystroke
        Type("stra 19.2E");
        Press(Qt::Key_Return);
        QCOMPARE(f.sat(0).data().toString(), QStringLiteral("Astra 19.2E"));
        QCOMPARE(f.file->writes, 0);
        Click(f.tree(), f.sat(2));
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(f.storedText("T_SatList", 0, 1), QStringLiteral("Astra 19.2E"));
        QCOMPARE(f.db->ADOQ_SatList.RecNo(), 2);

        // A transponder row moving to another one is written the same way.
        f.grid->SetExpanded(2, true);
        Settle();
        QTableView* table = f.tps(2);
        FocusCell(table, table->model()->index(1, kTPDescr));
        Type("Mux 1234567890"); // longer than the field
        Press(Qt::Key_Return);
        QCOMPARE(f.file->writes, 1);
        Click(table, table->model()->index(4, kTPDescr));
        QCOMPARE(f.file->writes, 2);
        QCOMPARE(f.storedText("T_TPList", 17, kTPDescr), QStringLiteral("Mux 12345678"));
        QVERIFY(App()->errors.isEmpty());
    }

    void unchangedEditWritesNothing() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        FocusCell(f.tree(), f.sat(0));
        Press(Qt::Key_F2);
        Press(Qt::Key_Return);
        Type("Sat1"); // the same text again
        Press(Qt::Key_Return);
        Click(f.tree(), f.sat(3));
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.file->writes, 0);
    }

    void leavingTheGridWritesTheOpenEditBeforeTheClickIsHandled() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        int writesSeenByClick = -1;
        QString nameSeenByClick;
        QObject::connect(f.upload, &QPushButton::clicked, [&] {
            writesSeenByClick = f.file->writes;
            nameSeenByClick = f.storedText("T_SatList", 1, 1);
        });
        FocusCell(f.tree(), f.sat(1));
        Type("Hotbird"); // the editor is still open
        QTest::mouseClick(f.upload, Qt::LeftButton);
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(writesSeenByClick, 1);
        QCOMPARE(nameSeenByClick, QStringLiteral("Hotbird"));
    }

    void uploadMovingTheQueryWritesTheEditedRow() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        FocusCell(f.tree(), f.sat(0));
        Type("Turksat");
        Press(Qt::Key_Return);
        QCOMPARE(ReadSatName(*f.db, 4), std::string("Sat5")); // moves the query, posting first
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(f.storedText("T_SatList", 0, 1), QStringLiteral("Turksat"));
    }

    void closingWithAnOpenEditorWritesIt() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        FocusCell(table, table->model()->index(3, kTPSymbolRate));
        Type("30000");
        f.grid->PostPendingEdits();
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(f.storedNumber(3, kTPSymbolRate), 30000);

        // A refused text is abandoned, not written.
        FocusCell(table, table->model()->index(4, kTPSymbolRate));
        Type("99999");
        f.grid->PostPendingEdits();
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(f.storedNumber(4, kTPSymbolRate), 27500);
        QVERIFY(App()->errors.isEmpty());
    }

    void databaseErrorKeepsTheRowInEditing() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        FocusCell(f.tree(), f.sat(0));
        Type("Eutelsat");
        Press(Qt::Key_Return);
        f.file->failNextWrite = "Disk or network error";
        Click(f.tree(), f.sat(2));
        QCOMPARE(App()->errors, QStringList{QStringLiteral("Disk or network error")});
        QCOMPARE(f.db->ADOQ_SatList.State(), DataSetState::Edit);
        QCOMPARE(f.db->ADOQ_SatList.RecNo(), 0);
        QCOMPARE(f.tree()->currentIndex().row(), 0);
        QCOMPARE(f.sat(0).data().toString(), QStringLiteral("Eutelsat"));
        QCOMPARE(f.file->writes, 0);
        App()->errors.clear();
        Click(f.tree(), f.sat(2));
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(f.storedText("T_SatList", 0, 1), QStringLiteral("Eutelsat"));
    }

    // --- The shape of the list ---

    void noKeyAddsOrRemovesRows_data() {
        QTest::addColumn<bool>("inTable");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        for (bool inTable : {false, true}) {
            const char* where = inTable ? "transponders: " : "satellites: ";
            QTest::newRow(QByteArray(where).append("Insert"))
                << inTable << int(Qt::Key_Insert) << 0;
            QTest::newRow(QByteArray(where).append("Delete"))
                << inTable << int(Qt::Key_Delete) << 0;
            QTest::newRow(QByteArray(where).append("Ctrl+Delete"))
                << inTable << int(Qt::Key_Delete) << int(Qt::ControlModifier);
            QTest::newRow(QByteArray(where).append("Down at the last row"))
                << inTable << int(Qt::Key_Down) << 0;
            QTest::newRow(QByteArray(where).append("Ctrl+Down at the last row"))
                << inTable << int(Qt::Key_Down) << int(Qt::ControlModifier);
        }
    }
    void noKeyAddsOrRemovesRows() {
        QFETCH(bool, inTable);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        if (inTable) {
            f.grid->SetExpanded(31, true);
            Settle();
            FocusCell(f.tps(31), f.tps(31)->model()->index(7, kTPDescr));
        } else {
            FocusCell(f.tree(), f.sat(31));
        }
        for (int i = 0; i < 3; ++i)
            Press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.tree()->model()->rowCount(), 32);
        QCOMPARE(f.db->ADOQ_SatList.RecordCount(), 32);
        QCOMPARE(f.db->ADOQ_TPList.RecordCount(), 256);
        if (inTable)
            QCOMPARE(f.tps(31)->model()->rowCount(), 8);
        f.grid->PostPendingEdits();
        QCOMPARE(f.file->writes, 0);
        QCOMPARE(f.storedText("T_SatList", 31, 1), QStringLiteral("Sat32"));
        QCOMPARE(f.storedText("T_TPList", 255, kTPDescr), QStringLiteral("TP32.8"));
    }

    void idColumnsCannotBeEdited() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(f.tree()),
                                        static_cast<QAbstractItemView*>(f.tps(0))}) {
            const QModelIndex id = view->model()->index(0, view == f.tree() ? 0 : 1);
            QVERIFY(!(view->model()->flags(id) & Qt::ItemIsEditable));
            FocusCell(view, id);
            Type("9");
            Press(Qt::Key_F2);
            QCOMPARE(Focus(), view);
            QCOMPARE(view->currentIndex(), id); // no search for a row starting with 9
        }
        f.grid->PostPendingEdits();
        QCOMPARE(f.file->writes, 0);
    }

    // --- Colours ---

    void rowsAreDrawnInTheirStyles() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(1, true);
        Settle();
        QTableView* table = f.tps(1);
        const QImage image = f.grid->grab().toImage();
        auto at = [&](QAbstractItemView* view, const QModelIndex& index, int fromRight) {
            const QRect r = view->visualRect(index);
            const QPoint p =
                view->viewport()->mapTo(f.grid, QPoint(r.right() - fromRight, r.center().y()));
            return QColor(image.pixel(p * image.devicePixelRatio()));
        };
        QCOMPARE(at(f.tree(), f.sat(0), 10), QColor(223, 255, 223));
        QCOMPARE(at(f.tree(), f.sat(1), 10), QColor(255, 255, 215));
        QCOMPARE(at(f.tree(), f.sat(2), 10), QColor(223, 255, 223));
        QCOMPARE(at(table, table->model()->index(0, kTPFrequency), 100), QColor(236, 236, 255));
        QCOMPARE(at(table, table->model()->index(5, kTPSymbolRate), 90), QColor(236, 236, 255));
        QCOMPARE(at(table, table->model()->index(2, kTPDescr), 5), QColor(Qt::white));
        // The ID cells hold red text.
        const QRect id = f.tree()->visualRect(f.sat(5, 0));
        bool red = false;
        for (int x = id.left(); x <= id.right(); ++x) {
            for (int y = id.top(); y <= id.bottom(); ++y) {
                const QColor c(image.pixel(f.tree()->viewport()->mapTo(f.grid, QPoint(x, y))));
                red = red || (c.red() > 200 && c.green() < 80 && c.blue() < 80);
            }
        }
        QVERIFY(red);
        // The embedded table's 1-pixel frame.
        const QPoint left = table->mapTo(f.grid, QPoint(0, table->height() / 2));
        QCOMPARE(QColor(image.pixel(left)), QColor(127, 157, 185));
        QCOMPARE(QColor(image.pixel(left + QPoint(1, 0))), QColor(236, 236, 255));
    }

    void fontsAreVerdanaOrTheClosestSans() {
        Fixture f;
        const QFont satFont = f.sat(0).data(Qt::FontRole).value<QFont>();
        QVERIFY(satFont.bold());
        QCOMPARE(satFont.pixelSize(), 11);
        const QString family = QFontInfo(satFont).family();
        QVERIFY2(family == "Verdana" || family == "DejaVu Sans" ||
                     !QFontDatabase::families().contains("Verdana"),
                 qPrintable(family));
        QVERIFY(!f.grid->cxStyle4.Font->bold());
        QCOMPARE(f.grid->cxGrid1Level1.Caption, QStringLiteral("Uydu Listesi"));
        QCOMPARE(f.grid->cxGrid1Level4.Caption, QStringLiteral("TP Listesi"));
        QCOMPARE(f.grid->cxGrid1Level4.Parent, &f.grid->cxGrid1Level1);
    }

    void screenshot() {
        if (qEnvironmentVariableIsEmpty("VORLEK_GRID_SHOT"))
            QSKIP("set VORLEK_GRID_SHOT to a file name to save a picture of the grid");
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(1, true);
        Settle();
        FocusCell(f.tps(1), f.tps(1)->model()->index(2, kTPDescr));
        Settle();
        QVERIFY(f.window->grab().save(qEnvironmentVariable("VORLEK_GRID_SHOT")));
    }
};

int main(int argc, char** argv) {
    RecordingApp app(argc, argv);
    TestChannelGrid test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_channel_grid.moc"
