#include "ChannelGrid.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <filesystem>

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;

namespace {

// Stands in for the program's error box.
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

int RowWith(const QAbstractItemModel* m, int column, const QString& value) {
    for (int r = 0; r < m->rowCount(); ++r) {
        if (m->index(r, column).data().toString() == value)
            return r;
    }
    return -1;
}

void Type(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
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
            QVERIFY2(static_cast<RecordingApp*>(qApp)->errors.isEmpty(),
                     qPrintable(static_cast<RecordingApp*>(qApp)->errors.join(';')));
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

int main(int argc, char** argv) {
    RecordingApp app(argc, argv);
    TestGridJet test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_grid_jet.moc"
