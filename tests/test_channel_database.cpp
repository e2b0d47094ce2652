// The datasets over real files: what a post writes, read back by a fresh
// engine and by mdb-export, and what opening a bad file leaves behind.
#include "ChannelDatabase.h"
#include "jet/JetTestSupport.h"
#include "support/ChannelFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlek;
using namespace vorlek::store;

class TestChannelDatabase : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void postWritesExactlyOneRow() {
        const QString path = testing::CreateChannelFile(dir.path());
        {
            ChannelComponents db;
            db.OpenChannelDatabase((dir.path() + '/').toStdString());
            QVERIFY(db.ADOQ_TPList.Locate({{&db.ADOQ_TPListSatID, 2}, {&db.ADOQ_TPListID, 3}}));
            db.ADOQ_TPList.Edit();
            db.ADOQ_TPListDescr.SetText(u"Çağrı Ş 12ab"); // all 12 characters
            db.ADOQ_TPListFrequency.SetInteger(12000);
            db.ADOQ_TPList.Post();
        }
        auto file = jet::Database::Open(path.toStdString());
        const auto rows = file->ReadRows(file->Table("T_TPList"));
        auto expected = ChannelTables(true)[2].rows;
        expected[10][2] = std::u16string(u"Çağrı Ş 12ab");
        expected[10][3] = std::int64_t{12000};
        QCOMPARE(rows.size(), expected.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            QVERIFY2(rows[i].values == expected[i], qPrintable(QString::number(i)));
        if (jettest::HaveMdbTools()) {
            // The longer row moved to another page, so mdb-export lists it elsewhere.
            const auto theirs = jettest::ParseCsv(jettest::MdbExport(path, "T_TPList"));
            QCOMPARE(theirs.size(), std::size_t{257});
            const auto row = std::find_if(theirs.begin(), theirs.end(),
                                          [](const auto& r) { return r[0] == "2" && r[1] == "3"; });
            QVERIFY(row != theirs.end());
            QCOMPARE((*row)[2], std::string("Çağrı Ş 12ab"));
            QCOMPARE((*row)[3], std::string("12000"));
        }
    }

    void aForeignFileLeavesEveryQueryClosed() {
        const QString path = dir.filePath("VorlekII.mdb");
        QFile::remove(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
        f.close();
        ChannelComponents db;
        try {
            db.OpenChannelDatabase((dir.path() + '/').toStdString());
            QFAIL("opened");
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), "Unrecognized database format '" + path + "'.");
        }
        for (Query* q : {&db.ADOQ_PolType, &db.ADOQ_SatList, &db.ADOQ_TPList})
            QVERIFY(!q->Active());
    }
};

QTEST_GUILESS_MAIN(TestChannelDatabase)
#include "test_channel_database.moc"
