#include "CsvImport.h"
#include "DefaultChannels.h"
#include "codepage.h"
#include "jet/JetTestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlek;
using namespace vorlek::store;

namespace {

const QString kTool = QStringLiteral(VORLEK_BINARY_DIR "/bin/vorlek-db");

struct Run {
    int status = -1;
    QByteArray out, err;
};

Run VorlekDb(const QStringList& args) {
    QProcess p;
    p.start(kTool, args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray Digest(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void Write(const QString& path, const QByteArray& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

class TestCsvImport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString db;

private slots:
    void init() {
        db = dir.filePath(QStringLiteral("channels.mdb"));
        QFile::remove(db);
        jet::CreateDatabase(db.toStdString(), ChannelTables(true));
    }

    void defaultDatabaseReadsBackWithMdbExport() {
        if (!jettest::HaveMdbTools())
            QSKIP("mdb-export not installed");
        QFile::remove(db);
        QCOMPARE(VorlekDb({"create", db}).status, 0);
        const auto pol = jettest::ParseCsv(jettest::MdbExport(db, "T_PolType"));
        QCOMPARE(pol, (jettest::Table{{"ID", "Descr"}, {"0", "Horizontal"}, {"1", "Vertical"}}));
        const auto sat = jettest::ParseCsv(jettest::MdbExport(db, "T_SatList"));
        QCOMPARE(sat.size(), std::size_t{33});
        QSet<QString> names;
        for (std::size_t i = 1; i < sat.size(); ++i) {
            QCOMPARE(sat[i][0], std::to_string(i));
            const QString name = QString::fromStdString(sat[i][1]);
            QVERIFY(!name.isEmpty() && name.size() <= 16);
            names << name;
        }
        QCOMPARE(names.size(), 32);
        const auto tp = jettest::ParseCsv(jettest::MdbExport(db, "T_TPList"));
        QCOMPARE(tp.size(), std::size_t{257});
        for (std::size_t i = 1; i < tp.size(); ++i) {
            QCOMPARE(tp[i][0], std::to_string((i - 1) / 8 + 1));
            QCOMPARE(tp[i][1], std::to_string((i - 1) % 8 + 1));
            const QString name = QString::fromStdString(tp[i][2]);
            QVERIFY(!name.isEmpty() && name.size() <= 12);
            const int frequency = std::stoi(tp[i][3]), pol = std::stoi(tp[i][4]),
                      rate = std::stoi(tp[i][5]);
            QVERIFY(frequency >= 10700 && frequency <= 12750);
            QVERIFY(pol == 0 || pol == 1);
            QVERIFY(rate >= 2000 && rate <= 45000);
        }
    }

    void unchangedExportImportsAsANoOp_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("source"); // empty: the default list
        QTest::newRow("satellites") << "T_SatList" << QString();
        QTest::newRow("transponders") << "T_TPList" << QString();
        // Nulls, empty names and values outside the editor's limits all go back as they were.
        const QString awkward = QStringLiteral(VORLEK_FIXTURES "/access/channels-a.mdb");
        QTest::newRow("awkward satellites") << "T_SatList" << awkward;
        QTest::newRow("awkward transponders") << "T_TPList" << awkward;
    }
    void unchangedExportImportsAsANoOp() {
        QFETCH(QString, table);
        QFETCH(QString, source);
        if (!source.isEmpty()) {
            if (!QFile::exists(source))
                QSKIP("the shared fixtures are not here");
            QFile::remove(db);
            QVERIFY(QFile::copy(source, db));
            QFile(db).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        const Run exported = VorlekDb({"export", db, table});
        QCOMPARE(exported.status, 0);
        const QString csv = dir.filePath(table + ".csv");
        Write(csv, exported.out);
        const QByteArray before = Digest(db);
        const Run imported = VorlekDb({"import", db, csv});
        QCOMPARE(imported.status, 0);
        QCOMPARE(Digest(db), before);
    }

    void editedValuesLandAndNothingElseChanges() {
        const QString csv = dir.filePath("tp.csv");
        QByteArray text = VorlekDb({"export", db, "T_TPList"}).out;
        // Transponder (2, 3) gets a new name, frequency and polarisation.
        const QList<QByteArray> lines = text.split('\n');
        QByteArray edited;
        for (const QByteArray& line : lines) {
            if (line.startsWith("2,3,"))
                edited += "2,3,\"Kanal, Çok\",12345,0,2000\n";
            else if (!line.isEmpty())
                edited += line + "\n";
        }
        Write(csv, edited);
        QCOMPARE(VorlekDb({"import", db, csv}).status, 0);
        if (jettest::HaveMdbTools()) {
            const auto theirs = jettest::ParseCsv(jettest::MdbExport(db, "T_TPList"));
            QCOMPARE(theirs[11],
                     (std::vector<std::string>{"2", "3", "Kanal, Çok", "12345", "0", "2000"}));
        }

        auto file = jet::Database::Open(db.toStdString());
        const auto rows = file->ReadRows(file->Table("T_TPList"));
        const auto expected = ChannelTables(true)[2].rows;
        QCOMPARE(rows.size(), expected.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i == 10) {
                QCOMPARE(std::get<std::u16string>(rows[i].values[2]),
                         std::u16string(u"Kanal, Çok"));
                QCOMPARE(std::get<std::int64_t>(rows[i].values[3]), std::int64_t{12345});
                QCOMPARE(std::get<std::int64_t>(rows[i].values[4]), std::int64_t{0});
                QCOMPARE(std::get<std::int64_t>(rows[i].values[5]), std::int64_t{2000});
            } else {
                QVERIFY(rows[i].values == expected[i]);
            }
        }
    }

    void badLinesAreNamedAndNothingIsWritten_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("firstError");
        // Each starts with a good edit on line 2, which must not land either.
        const QByteArray head =
            "SatID,ID,Descr,Frequency,Polarisation,SymbolRate\n2,1,Good,11000,0,2000\n";
        QTest::newRow("frequency below") << head + "1,1,A,10699,0,2000\n"
                                         << "line 3: Frequency";
        QTest::newRow("symbol rate above") << head + "1,1,A,11000,0,45001\n"
                                           << "line 3: SymbolRate";
        QTest::newRow("name too long") << head + "1,1,ABCDEFGHIJKLM,11000,0,2000\n"
                                       << "line 3: Descr";
        QTest::newRow("unknown polarisation") << head + "1,1,A,11000,2,2000\n"
                                              << "line 3: Polarisation";
        QTest::newRow("unknown key") << head + "33,1,A,11000,0,2000\n"
                                     << "line 3: no row";
        QTest::newRow("key twice") << head + "2,1,Again,11000,0,2000\n"
                                   << "line 3: this key";
        QTest::newRow("not a number") << head + "1,1,A,11x00,0,2000\n"
                                      << "line 3: Frequency";
        QTest::newRow("too few fields") << head + "1,1,A\n"
                                        << "line 3: expected 6 fields";
        QTest::newRow("quoted newline counts lines")
            << head + "1,1,\"A\nB\",11000,0,2000\n1,2,A,1,0,2000\n"
            << "line 5: Frequency";
        QTest::newRow("wrong header") << QByteArray("ID,Name\n1,A\n") << "line 1: the header";
    }
    void badLinesAreNamedAndNothingIsWritten() {
        QFETCH(QByteArray, csv);
        QFETCH(QString, firstError);
        const QString path = dir.filePath("bad.csv");
        Write(path, csv);
        const QByteArray before = Digest(db);
        const Run r = VorlekDb({"import", db, path});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(firstError.toUtf8()), r.err.constData());
        QCOMPARE(Digest(db), before);
    }

    void anUntouchedOutOfRangeValueIsNotJudged() {
        auto file = jet::Database::Open(db.toStdString());
        const jet::TableDef& tp = file->Table("T_TPList");
        auto rows = file->ReadRows(tp);
        auto after = rows[0].values;
        after[3] = std::int64_t{9750};
        file->UpdateRow(tp, rows[0], after);
        // The stored 9750 stays as it is; only the changed name is judged.
        const std::string csv = "SatID,ID,Descr,Frequency,Polarisation,SymbolRate\n1,1,Yeni,9750," +
                                std::to_string(std::get<std::int64_t>(after[4])) + "," +
                                std::to_string(std::get<std::int64_t>(after[5])) + "\n";
        const ImportPlan plan = PlanImport(*file, csv);
        QVERIFY(plan.errors.empty());
        QCOMPARE(plan.updates.size(), std::size_t{1});
        QCOMPARE(std::get<std::int64_t>(plan.updates[0].after[3]), std::int64_t{9750});
    }
};

QTEST_GUILESS_MAIN(TestCsvImport)
#include "test_csv_import.moc"
