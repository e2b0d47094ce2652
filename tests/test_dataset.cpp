#include "ChannelDatabase.h"
#include "support/MemoryTableFile.h"

#include <QTest>

using namespace vorlek;
using namespace vorlek::store;

namespace {

std::u16string U(const char16_t* s) {
    return s;
}

// The channel components over an in-memory file the test can look into.
struct Fixture {
    MemoryTableFile* file = nullptr;
    std::string openedPath;
    std::unique_ptr<ChannelComponents> db;

    explicit Fixture(MemoryTableFile contents = MemoryTableFile::Channels()) {
        auto owned = std::make_unique<MemoryTableFile>(std::move(contents));
        file = owned.get();
        db = std::make_unique<ChannelComponents>(
            [this, held = std::shared_ptr<MemoryTableFile>(owned.release())](
                const std::string& path) mutable -> std::unique_ptr<TableFile> {
                openedPath = path;
                return std::unique_ptr<TableFile>(new Forward(held));
            });
        db->OpenChannelDatabase("/opt/vorlek/");
    }

    // Lets the test keep the file while the connection owns "it".
    struct Forward : TableFile {
        explicit Forward(std::shared_ptr<MemoryTableFile> f) : f(std::move(f)) {}
        std::shared_ptr<MemoryTableFile> f;
        const jet::TableDef& Table(const std::string& n) const override { return f->Table(n); }
        std::vector<jet::Row> ReadRows(const jet::TableDef& t) const override {
            return f->ReadRows(t);
        }
        void UpdateRow(const jet::TableDef& t, const jet::Row& b,
                       const std::vector<jet::Value>& a) override {
            f->UpdateRow(t, b, a);
        }
    };
};

template <class F> QString ErrorOf(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
    return QStringLiteral("(no error)");
}

} // namespace

class TestDataset : public QObject {
    Q_OBJECT
private slots:
    void connectionStringNamesTheFileBesideTheExecutable() {
        Fixture f;
        QCOMPARE(f.openedPath, std::string("/opt/vorlek/VorlekII.mdb"));
        QCOMPARE(
            QString::fromStdString(f.db->ADOConn.ConnectionString),
            QStringLiteral(
                "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data "
                "Source=/opt/vorlek/VorlekII.mdb;"
                "Mode=Share Deny None;Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";"
                "Jet OLEDB:Database Password=\"\";Jet OLEDB:Engine Type=5;"
                "Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
                "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
                "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
                "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False;"));
        QCOMPARE(f.db->ADOQ_SatList.RecordCount(), 32);
        QCOMPARE(f.db->ADOQ_TPList.RecordCount(), 256);
        QCOMPARE(f.db->ADOQ_PolType.RecordCount(), 2);
    }

    void aDirectoryWithASemicolonStillOpensItsOwnFile() {
        std::string opened;
        ChannelComponents db([&](const std::string& path) -> std::unique_ptr<TableFile> {
            opened = path;
            return std::make_unique<MemoryTableFile>(MemoryTableFile::Channels());
        });
        db.OpenChannelDatabase("/home/a;b/");
        QCOMPARE(opened, std::string("/home/a;b/VorlekII.mdb"));
    }

    void failedOpenLeavesEveryQueryClosed_data() {
        QTest::addColumn<bool>("fileMissing");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing file") << true << "Could not find file '/opt/vorlek/VorlekII.mdb'.";
        QTest::newRow("missing first table") << false << "no table T_PolType";
    }
    void failedOpenLeavesEveryQueryClosed() {
        QFETCH(bool, fileMissing);
        QFETCH(QString, error);
        ChannelComponents db([&](const std::string& path) -> std::unique_ptr<TableFile> {
            if (fileMissing)
                throw jet::JetError("Could not find file '" + path + "'.");
            auto f = std::make_unique<MemoryTableFile>(MemoryTableFile::Channels());
            f->tables.erase("T_PolType");
            return f;
        });
        QCOMPARE(ErrorOf([&] { db.OpenChannelDatabase("/opt/vorlek/"); }), error);
        for (Query* q : {&db.ADOQ_PolType, &db.ADOQ_SatList, &db.ADOQ_TPList})
            QVERIFY(!q->Active());
        const QString closed = kClosedDataset;
        QCOMPARE(ErrorOf([&] { ReadSatName(db, 0); }), closed);
        QCOMPARE(ErrorOf([&] { ReadTPRecord(db, 0); }), closed);
        QCOMPARE(ErrorOf([&] { db.ADOQ_SatList.RecordCount(); }), closed);
        QCOMPARE(ErrorOf([&] { db.ADOQ_TPListFrequency.AsInteger(); }), closed);
        QCOMPARE(ErrorOf([&] { db.ADOQ_SatList.Edit(); }), closed);
    }

    void missingFieldIsNamed() {
        auto contents = MemoryTableFile::Channels();
        contents.tables["T_TPList"].def.columns[3].name = "Freq";
        QCOMPARE(ErrorOf([&] { Fixture f(std::move(contents)); }),
                 QStringLiteral("ADOQ_TPList: Field 'Frequency' not found"));
    }

    void locateIsExactAndStaysPutWhenNothingMatches() {
        Fixture f;
        auto& q = f.db->ADOQ_TPList;
        QVERIFY(q.Locate({{&f.db->ADOQ_TPListSatID, 2}, {&f.db->ADOQ_TPListID, 2}}));
        QCOMPARE(q.RecNo(), 9);
        QCOMPARE(f.db->ADOQ_TPListDescr.AsText(), U(u"TP2.2"));
        QVERIFY(!q.Locate({{&f.db->ADOQ_TPListSatID, 2}, {&f.db->ADOQ_TPListID, 9}}));
        QCOMPARE(q.RecNo(), 9);
    }

    void locatePostsAPendingEditAndCancelsAnUnchangedOne() {
        Fixture f;
        auto& q = f.db->ADOQ_SatList;
        q.Edit();
        QVERIFY(q.Locate({{&f.db->ADOQ_SatListID, 3}}));
        QCOMPARE(q.State(), DataSetState::Browse);
        QCOMPARE(f.file->writes, 0); // unchanged: cancelled, not written

        q.Edit();
        f.db->ADOQ_SatListDescr.SetText(u"Türksat 42E");
        QVERIFY(q.Locate({{&f.db->ADOQ_SatListID, 1}}));
        QCOMPARE(f.file->writes, 1);
        QCOMPARE(std::get<std::u16string>(f.file->tables["T_SatList"].rows[2].values[1]),
                 U(u"Türksat 42E"));
        QCOMPARE(q.RecNo(), 0);
    }

    void namesReadAsWindows1254AndNullsAsEmptyOrZero() {
        auto contents = MemoryTableFile::Channels();
        auto& tp = contents.tables["T_TPList"].rows[0].values;
        tp[2] = std::u16string(u"Çağ İş ā");
        tp[3] = std::monostate{};
        tp[5] = std::monostate{};
        contents.tables["T_SatList"].rows[6].values[1] = std::monostate{};
        Fixture f(std::move(contents));
        const TPRecord r = ReadTPRecord(*f.db, 0);
        QCOMPARE(QByteArray::fromStdString(r.name), QByteArray("\xC7"
                                                               "a\xF0 \xDD\xFE a"));
        QCOMPARE(r.frequency, 0);
        QCOMPARE(r.symbolRate, 0);
        QCOMPARE(r.polarisation, 1 % 2);
        QCOMPARE(ReadSatName(*f.db, 6), std::string());
        QVERIFY(f.db->ADOQ_SatListDescr.IsNull());
    }

    void aSlotWithoutARowReadsAsAnEmptyRow() {
        auto contents = MemoryTableFile::Channels();
        auto& sats = contents.tables["T_SatList"].rows;
        sats.erase(sats.begin() + 4); // no ID 5
        auto& tps = contents.tables["T_TPList"].rows;
        tps.erase(tps.begin() + 12); // no (2, 5)
        Fixture f(std::move(contents));
        QCOMPARE(ReadSatName(*f.db, 3), std::string("Sat4"));
        QCOMPARE(ReadSatName(*f.db, 4), std::string()); // not "Sat4" from where the cursor stood
        QCOMPARE(ReadTPRecord(*f.db, 11).name, std::string("TP2.4"));
        const TPRecord missing = ReadTPRecord(*f.db, 12);
        QCOMPARE(missing.name, std::string());
        QCOMPARE(missing.frequency, 0);
        QCOMPARE(missing.polarisation, 0);
    }

    void postWritesExactlyThatRowAndAFailureKeepsTheEdit() {
        Fixture f;
        auto& q = f.db->ADOQ_TPList;
        q.MoveTo(17);
        q.Edit();
        f.db->ADOQ_TPListFrequency.SetInteger(12345);
        f.db->ADOQ_TPListDescr.SetText(u"ABCDEFGHIJKLMNOP"); // held to the field's 12 characters
        f.file->failNextWrite = "Disk full.";
        QCOMPARE(ErrorOf([&] { q.Post(); }), QStringLiteral("Disk full."));
        QCOMPARE(q.State(), DataSetState::Edit);
        QCOMPARE(f.db->ADOQ_TPListFrequency.AsInteger(), 12345);
        QCOMPARE(f.file->writes, 0);

        q.Post();
        QCOMPARE(q.State(), DataSetState::Browse);
        QCOMPARE(f.file->writes, 1);
        const auto& stored = f.file->tables["T_TPList"].rows[17].values;
        QCOMPARE(std::get<std::int64_t>(stored[3]), std::int64_t{12345});
        QCOMPARE(std::get<std::u16string>(stored[2]), U(u"ABCDEFGHIJKL"));
        QCOMPARE(ErrorOf([&] { f.db->ADOQ_TPListFrequency.SetInteger(1); }),
                 QStringLiteral("Dataset not in edit or insert mode"));
    }

    void releasingTheFreezeSendsOneChangeNotice() {
        Fixture f;
        std::vector<DataEvent> events;
        f.db->DS_SatList.DataSet.Subscribe([&](DataEvent e) { events.push_back(e); });
        f.db->ADOQ_SatList.DisableControls();
        for (int slot = 0; slot < 32; ++slot)
            ReadSatName(*f.db, slot);
        QVERIFY(events.empty());
        f.db->ADOQ_SatList.EnableControls();
        QCOMPARE(events, std::vector<DataEvent>{DataEvent::DataSetChanged});
        QCOMPARE(f.db->ADOQ_SatList.RecNo(), 31);
    }
};

QTEST_APPLESS_MAIN(TestDataset)
#include "test_dataset.moc"
