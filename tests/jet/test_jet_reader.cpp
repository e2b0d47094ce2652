// The reader against an independent one: every table of every fixture exports as mdb-export
// reads it, and the channel files as the .tsv beside each says.
#include "JetTestSupport.h"
#include "ValueText.h"

#include <QDirIterator>
#include <cmath>

using namespace jettest;
using vorlek::jet::ColumnType;

class TestJetReader : public QObject {
    Q_OBJECT

private slots:
    void exportMatchesMdbExport_data();
    void exportMatchesMdbExport();
    void channelFilesMatchTsv_data();
    void channelFilesMatchTsv();
};

namespace {

QStringList AllFixtureFiles() {
    QStringList files;
    QDirIterator it(Fixtures(), {"*.mdb"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(Fixtures()).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

void TestJetReader::exportMatchesMdbExport_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    if (!HaveFixtures())
        return;
    for (const QString& file : AllFixtureFiles()) {
        auto db = vorlek::jet::Database::Open((Fixtures() + "/" + file).toStdString());
        QStringList tables{"MSysObjects"}; // long values: properties, inline and on LVAL pages
        for (const auto& t : db->UserTables())
            tables << QString::fromStdString(t);
        for (const QString& t : tables)
            QTest::newRow(qPrintable(file + ":" + t)) << file << t;
    }
}

void TestJetReader::exportMatchesMdbExport() {
    if (!HaveFixtures())
        QSKIP("fixtures (../shared) not present");
    if (!HaveMdbTools())
        QSKIP("mdb-export not installed");
    QFETCH(QString, file);
    QFETCH(QString, table);
    const QString path = Fixtures() + "/" + file;
    const auto ours = Tool({"export", path.toStdString(), table.toStdString()});
    QCOMPARE(ours.status, 0);
    const Table mine = ParseCsv(ours.out);
    const Table theirs = ParseCsv(MdbExport(path, table));
    auto db = vorlek::jet::Database::Open(path.toStdString());
    const auto& def = db->Table(table.toStdString());

    QCOMPARE(mine.size(), theirs.size());
    QVERIFY(!mine.empty());
    for (std::size_t c = 0; c < def.columns.size(); ++c)
        QCOMPARE(mine[0].at(c), theirs[0].at(c));
    const auto same = [&](const std::vector<std::string>& a, const std::vector<std::string>& b) {
        if (a.size() != def.columns.size() || b.size() != def.columns.size())
            return false;
        for (std::size_t c = 0; c < a.size(); ++c)
            if (!SameField(def.columns[c].type, a[c], b[c]))
                return false;
        return true;
    };
    // mdb-export lists rows that Access moved to another page where they now lie, not where
    // their slot is; so rows are matched as a set, in order where possible.
    std::vector<bool> used(theirs.size(), false);
    for (std::size_t r = 1; r < mine.size(); ++r) {
        std::size_t hit = r < theirs.size() && !used[r] && same(mine[r], theirs[r]) ? r : 0;
        for (std::size_t k = 1; hit == 0 && k < theirs.size(); ++k)
            if (!used[k] && same(mine[r], theirs[k]))
                hit = k;
        if (hit == 0) {
            std::string line;
            for (const auto& f : mine[r])
                line += "|" + f;
            std::string near;
            if (r < theirs.size())
                for (const auto& f : theirs[r])
                    near += "|" + f;
            QFAIL(qPrintable(QString("row %1 not read by mdb-export: ours %2, theirs there %3")
                                 .arg(r)
                                 .arg(QString::fromStdString(line))
                                 .arg(QString::fromStdString(near))));
        }
        used[hit] = true;
    }
}

void TestJetReader::channelFilesMatchTsv_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("compressed, key order") << "channels-a";
    QTest::newRow("UCS-2, moved rows") << "channels-b";
    QTest::newRow("inside an Access-made file") << "channels-in-access-file";
}

void TestJetReader::channelFilesMatchTsv() {
    if (!HaveFixtures())
        QSKIP("fixtures (../shared) not present");
    QFETCH(QString, file);
    auto db = vorlek::jet::Database::Open((Fixtures() + "/" + file + ".mdb").toStdString());
    QString actual;
    for (const char* name : {"T_PolType", "T_SatList", "T_TPList"}) {
        const auto& t = db->Table(name);
        for (const auto& row : db->ReadRows(t)) {
            QStringList line{name};
            for (std::size_t c = 0; c < t.columns.size(); ++c)
                line << (std::holds_alternative<std::monostate>(row.values[c])
                             ? QString("NULL")
                             : QString::fromStdString(
                                   vorlek::db::FormatValue(t.columns[c], row.values[c])));
            actual += line.join('\t') + '\n';
        }
    }
    const QString expected = QString::fromUtf8(ReadAll(Fixtures() + "/" + file + ".tsv"));
    const QStringList a = actual.split('\n');
    const QStringList e = expected.split('\n');
    for (int i = 0; i < std::min(a.size(), e.size()); ++i)
        QCOMPARE(a[i], e[i]);
    QCOMPARE(a.size(), e.size());
}

QTEST_GUILESS_MAIN(TestJetReader)
#include "test_jet_reader.moc"
