#include "support/GridFixture.h"

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;
using namespace grid_test;

// The number and polarisation editors: what they show, accept, refuse and store.
class TestGridEditors : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

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

    void closingTheTableFinishesItsEditor() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        FocusCell(table, table->model()->index(1, kTPSymbolRate));
        Type("30000");
        f.grid->SetExpanded(0, false);
        QCOMPARE(table->model()->index(1, kTPSymbolRate).data(Qt::EditRole).toInt(), 30000);
        FocusCell(table, table->model()->index(2, kTPSymbolRate));
        f.grid->SetExpanded(0, true);
        Settle();
        FocusCell(table, table->model()->index(2, kTPSymbolRate));
        Type("1");
        f.grid->SetExpanded(0, false); // a refused text is abandoned
        Click(f.tree(), f.sat(4));
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.storedNumber(1, kTPSymbolRate), 30000);
        QCOMPARE(f.storedNumber(2, kTPSymbolRate), 27500);
        QCOMPARE(f.file->writes, 1);
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

    void polarisationButtonOpensTheListInEveryRow() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(0, true);
        Settle();
        QTableView* table = f.tps(0);
        const QModelIndex cell = table->model()->index(3, kTPPolarisation); // "Horizontal"
        const QRect r = table->visualRect(cell);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          QPoint(r.right() - GridDelegate::kButtonWidth / 2, r.center().y()));
        QCOMPARE(table->currentIndex().row(), 3);
        auto* box = table->viewport()->findChild<QComboBox*>();
        QVERIFY(box);
        QVERIFY(box->view()->isVisible());
        QCOMPARE(box->currentText(), QStringLiteral("Horizontal"));
        const QRect item = box->view()->visualRect(box->model()->index(1, 0));
        QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {}, item.center());
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(cell.data().toString(), QStringLiteral("Vertical"));
        QCOMPARE(cell.data(Qt::EditRole).toInt(), 1);
        Click(table, table->model()->index(0, kTPDescr));
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(f.storedNumber(3, kTPPolarisation), 1);
    }
};

VORLEK_GRID_TEST_MAIN(TestGridEditors)
#include "test_grid_editors.moc"
