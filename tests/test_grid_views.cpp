#include "support/GridFixture.h"

#include <QFontDatabase>
#include <QFontInfo>

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;
using namespace grid_test;

// The satellite list, its embedded transponder tables, their shape and their look.
class TestGridViews : public QObject {
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

    void arrowKeysMoveBetweenSatellitesAndTheirTransponders() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.grid->SetExpanded(1, true);
        Settle();
        QTableView* table = f.tps(1);
        FocusCell(f.tree(), f.sat(0));
        Press(Qt::Key_Down);
        QCOMPARE(f.tree()->currentIndex(), f.sat(1));
        Press(Qt::Key_Down); // into the opened satellite's transponders
        QCOMPARE(Focus(), table);
        QCOMPARE(table->currentIndex().row(), 0);
        QCOMPARE(f.db->ADOQ_TPList.RecNo(), 8);
        for (int i = 0; i < 7; ++i)
            Press(Qt::Key_Down);
        QCOMPARE(table->currentIndex().row(), 7);
        Press(Qt::Key_Down); // out, on to the next satellite
        QCOMPARE(Focus(), f.tree());
        QCOMPARE(f.tree()->currentIndex(), f.sat(2));
        QCOMPARE(f.db->ADOQ_SatList.RecNo(), 2);
        Press(Qt::Key_Up); // back into the last transponder above
        QCOMPARE(Focus(), table);
        QCOMPARE(table->currentIndex().row(), 7);
        QCOMPARE(f.db->ADOQ_SatList.RecNo(), 1);
        for (int i = 0; i < 8; ++i)
            Press(Qt::Key_Up);
        QCOMPARE(Focus(), f.tree());
        QCOMPARE(f.tree()->currentIndex(), f.sat(1));
        QVERIFY(App()->errors.isEmpty());
        QCOMPARE(f.file->writes, 0);
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

    void missingDatabaseLeavesTheGridEmpty() {
        ChannelComponents db([](const std::string&) -> std::unique_ptr<TableFile> {
            throw jet::JetError("Could not find file '/opt/vorlek/VorlekII.mdb'.");
        });
        QWidget window;
        auto* grid = new ChannelGrid(db, &window);
        grid->setGeometry(8, 40, 481, 585);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY_THROWS_EXCEPTION(jet::JetError, db.OpenChannelDatabase("/opt/vorlek/"));
        QCOMPARE(grid->SatelliteView()->model()->rowCount(), 0);
        FocusCell(grid->SatelliteView(), {});
        Type("a");
        Press(Qt::Key_Down);
        grid->PostPendingEdits();
        QVERIFY(App()->errors.isEmpty());
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
        QVERIFY(f.grid->grab().save(qEnvironmentVariable("VORLEK_GRID_SHOT")));
    }
};

VORLEK_GRID_TEST_MAIN(TestGridViews)
#include "test_grid_views.moc"
