#include "support/GridFixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;
using namespace grid_test;

namespace {

int RowWith(const QAbstractItemModel* m, int column, const QString& value) {
    for (int r = 0; r < m->rowCount(); ++r) {
        if (m->index(r, column).data().toString() == value)
            return r;
    }
    return -1;
}

} // namespace

// Edits made in the grid reach a real database file, read back by a fresh
// engine and by an independent reader.
class TestGridJet : public QObject {
    Q_OBJECT
private slots:
    void editsReachTheFile_data() {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("key order, compressed names") << "channels-a.mdb";
        QTest::newRow("shuffled, moved rows") << "channels-b.mdb";
    }
    void editsReachTheFile() {
        QFETCH(QString, fixture);
        const QString source = QStringLiteral(VORLEK_FIXTURES "/access/") + fixture;
        if (!QFile::exists(source))
            QSKIP("the shared fixtures are not here");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(kDatabaseFileName);
        QVERIFY(QFile::copy(source, file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        const std::string exeDir = dir.path().toStdString() + "/";

        auto db = std::make_unique<ChannelComponents>();
        try {
            db->OpenChannelDatabase(exeDir);
        } catch (const std::exception& e) {
            if (std::string(e.what()).starts_with("stub"))
                QSKIP("the Jet engine is still a stub in this tree");
            throw;
        }
        {
            QWidget window;
            window.resize(505, 673);
            auto* upload = new QPushButton(QStringLiteral("UPLOAD"), &window);
            upload->setGeometry(344, 0, 145, 33);
            auto* grid = new ChannelGrid(*db, &window);
            grid->setGeometry(8, 40, 481, 585);
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));

            const int sat = RowWith(grid->SatelliteView()->model(), 0, QStringLiteral("3"));
            QVERIFY(sat >= 0);
            grid->SetExpanded(sat, true);
            QCoreApplication::processEvents();
            QTableView* table = grid->TransponderView(sat);
            QVERIFY(table);
            const int tp = RowWith(table->model(), 1, QStringLiteral("2"));
            QVERIFY(tp >= 0);
            table->setFocus();
            table->setCurrentIndex(table->model()->index(tp, 2));
            Type("Yeni TP");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            table->setCurrentIndex(table->model()->index(tp, 3));
            Type("11250");
            QTest::mouseClick(upload, Qt::LeftButton); // leaving the grid writes the row
            QVERIFY2(App()->errors.isEmpty(), qPrintable(App()->errors.join(';')));
        }
        db.reset();

        ChannelComponents fresh;
        fresh.OpenChannelDatabase(exeDir);
        QVERIFY(
            fresh.ADOQ_TPList.Locate({{&fresh.ADOQ_TPListSatID, 3}, {&fresh.ADOQ_TPListID, 2}}));
        QCOMPARE(QString::fromStdU16String(fresh.ADOQ_TPListDescr.AsText()),
                 QStringLiteral("Yeni TP"));
        QCOMPARE(fresh.ADOQ_TPListFrequency.AsInteger(), 11250);

        const QString exporter = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
        if (exporter.isEmpty())
            return;
        QProcess p;
        p.start(exporter, {file, QStringLiteral("T_TPList")});
        QVERIFY(p.waitForFinished(20000));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("3,2,\"Yeni TP\",11250,"));
    }
};

VORLEK_GRID_TEST_MAIN(TestGridJet)
#include "test_grid_jet.moc"
