#include "support/GridFixture.h"

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;
using namespace grid_test;

// When an edited row is written to the database file, and what a failed write leaves.
class TestGridWriteBack : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

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
};

VORLEK_GRID_TEST_MAIN(TestGridWriteBack)
#include "test_grid_writeback.moc"
