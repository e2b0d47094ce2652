// Damaged, foreign and hostile files: Jet's own messages, no crash, no change to the file.
#include "DefaultChannels.h"
#include "JetTestSupport.h"
#include "Messages.h"
#include "Rc4.h"

#include <QTemporaryDir>
#include <functional>
#include <random>

using namespace jettest;
namespace jet = vorlek::jet;

class TestJetHostile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void refusedWithJetsMessage_data();
    void refusedWithJetsMessage();
    void missingOrUnopenableFile();
    void bitFlipsNeverCrash();

private:
    QTemporaryDir dir_{ScratchTemplate()};
    QByteArray base_;     // a fresh channel database
    QByteArray withMemo_; // the same with a table whose memo is kept inside its row
};

namespace {

constexpr int kPage = 4096;

using Mutation = std::function<void(QByteArray&)>;

void Put32(QByteArray& b, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i));
}

// The header's hidden block is RC4 with a fixed key; patch it in the clear.
void PatchHeader(QByteArray& b, int at, char value) {
    const std::uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    auto* hidden = reinterpret_cast<std::uint8_t*>(b.data()) + 0x18;
    jet::Rc4Apply(key, std::span(hidden, 0x80));
    b[at] = static_cast<char>(b[at] ^ value);
    jet::Rc4Apply(key, std::span(hidden, 0x80));
}

// Opens, reads every table and updates a row; returns the JetError text, or "" when all works.
std::string Exercise(const std::string& path) {
    try {
        auto db = jet::Database::Open(path);
        auto tables = db->UserTables();
        tables.push_back("MSysObjects");
        for (const auto& name : tables)
            db->ReadRows(db->Table(name));
        const auto& t = db->Table("T_SatList");
        const auto rows = db->ReadRows(t);
        if (!rows.empty()) {
            auto after = rows[0].values;
            after[1] = std::u16string(u"Hostile");
            db->UpdateRow(t, rows[0], after);
        }
        return {};
    } catch (const jet::JetError& e) {
        return e.what();
    }
}

} // namespace

void TestJetHostile::initTestCase() {
    QVERIFY(dir_.isValid());
    const std::string path = (dir_.path() + "/base.mdb").toStdString();
    jet::CreateDatabase(path, vorlek::store::ChannelTables(false));
    base_ = ReadAll(QString::fromStdString(path));
    QVERIFY(base_.size() > 10 * kPage);

    auto tables = vorlek::store::ChannelTables(false);
    jet::Column id = tables[0].columns[0];
    jet::Column note;
    note.name = "Note";
    note.type = jet::ColumnType::Memo;
    note.compressed = true;
    tables.push_back({"Notes", {id, note}, {{std::int64_t{1}, std::u16string(u"abc")}}});
    const std::string memoPath = (dir_.path() + "/memo.mdb").toStdString();
    jet::CreateDatabase(memoPath, tables);
    withMemo_ = ReadAll(QString::fromStdString(memoPath));
}

void TestJetHostile::refusedWithJetsMessage_data() {
    QTest::addColumn<Mutation>("mutate");
    QTest::addColumn<QString>("message"); // %1: the file's full path
    const QString bad = QString::fromStdString(jet::msg::Unrecognized("%1"));
    QTest::newRow("empty") << Mutation([](QByteArray& b) { b.clear(); }) << bad;
    QTest::newRow("truncated in the header")
        << Mutation([](QByteArray& b) { b.resize(3000); }) << bad;
    QTest::newRow("truncated to two pages")
        << Mutation([](QByteArray& b) { b.resize(2 * kPage); }) << bad;
    QTest::newRow("truncated mid-page") << Mutation([](QByteArray& b) { b.chop(1000); }) << bad;
    QTest::newRow("truncated after the catalog")
        << Mutation([](QByteArray& b) { b.resize(9 * kPage); }) << bad;
    QTest::newRow("Jet 3 (Access 97)") << Mutation([](QByteArray& b) { b[0x14] = 0; }) << bad;
    QTest::newRow("ACE (.accdb)") << Mutation([](QByteArray& b) {
        b.replace(4, 15, "Standard ACE DB");
        b[0x14] = 2;
    }) << bad;
    QTest::newRow("not a database")
        << Mutation([](QByteArray& b) { b = QByteArray("ID;Descr\n1;Astra\n").repeated(2000); })
        << bad;
    QTest::newRow("database password") << Mutation([](QByteArray& b) { PatchHeader(b, 0x42, 'p'); })
                                       << QString(jet::msg::kBadPassword);
    QTest::newRow("catalog definition chained to itself")
        << Mutation([](QByteArray& b) { Put32(b, 2 * kPage + 4, 2); }) << bad;
    QTest::newRow("catalog definition chained past the end")
        << Mutation([](QByteArray& b) { Put32(b, 2 * kPage + 4, 0x00FFFFFF); }) << bad;
    QTest::newRow("usage map pointer out of the file")
        << Mutation([](QByteArray& b) { Put32(b, 2 * kPage + 0x37, 0x7FFFFF00); }) << bad;
    QTest::newRow("column count beyond the definition")
        << Mutation([](QByteArray& b) { b[2 * kPage + 0x2D] = char(0xF0); }) << bad;
    QTest::newRow("row count beyond the page") << Mutation([](QByteArray& b) {
        for (int p = 3; p < b.size() / kPage; ++p)
            if (b[p * kPage] == 1)
                b[p * kPage + 13] = char(0x7F);
    }) << bad;
    QTest::newRow("row offsets out of order") << Mutation([](QByteArray& b) {
        for (int p = 7; p < b.size() / kPage; ++p)
            if (b[p * kPage] == 1)
                b[p * kPage + 14] = 0x10;
    }) << bad;
    QTest::newRow("moved row pointing at itself") << Mutation([](QByteArray& b) {
        // every data row becomes a pointer to row 0 of its own page
        for (int p = 7; p < b.size() / kPage; ++p) {
            const int at = p * kPage;
            if (b[at] != 1)
                continue;
            const int n = static_cast<unsigned char>(b[at + 12]);
            for (int i = 0; i < n; ++i) {
                const int slot = at + 14 + 2 * i;
                const int off = (static_cast<unsigned char>(b[slot]) |
                                 (static_cast<unsigned char>(b[slot + 1]) << 8)) &
                                0x1FFF;
                b[slot + 1] = static_cast<char>(b[slot + 1] | 0x40);
                Put32(b, at + off, static_cast<std::uint32_t>(p) << 8);
            }
        }
    }) << bad;
    QTest::newRow("memo chain coming back on itself") << Mutation([](QByteArray& b) {
        // The memo's reference becomes a chain through one row that names itself as next.
        const QByteArray inlineMemo("\x05\x00\x00\x80\0\0\0\0\0\0\0\0\xff\xfe"
                                    "abc",
                                    17);
        const int ref = static_cast<int>(b.indexOf(inlineMemo));
        QVERIFY(ref > 0);
        int page = 7;
        while (page < b.size() / kPage && !(b[page * kPage] == 1 && b[page * kPage + 4] == 3))
            ++page; // a data page of MSysACEs
        const int at = page * kPage;
        const int row0 = (static_cast<unsigned char>(b[at + 14]) |
                          (static_cast<unsigned char>(b[at + 15]) << 8)) &
                         0x1FFF;
        const std::uint32_t self = static_cast<std::uint32_t>(page) << 8;
        Put32(b, at + row0, self);
        Put32(b, ref, 1000);
        Put32(b, ref + 4, self);
    }) << bad;
    QTest::newRow("memo longer than its row") << Mutation([](QByteArray& b) {
        const int ref = static_cast<int>(b.indexOf(QByteArray("\x05\x00\x00\x80", 4)));
        QVERIFY(ref > 0);
        b[ref] = char(0x7F);
    }) << bad;
}

void TestJetHostile::refusedWithJetsMessage() {
    QFETCH(Mutation, mutate);
    QFETCH(QString, message);
    QByteArray bytes = QByteArray(QTest::currentDataTag()).startsWith("memo") ? withMemo_ : base_;
    mutate(bytes);
    const QString path = dir_.path() + "/" + QTest::currentDataTag() + ".mdb";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    QCOMPARE(QString::fromStdString(Exercise(path.toStdString())),
             message.contains("%1") ? message.arg(path) : message);
    QCOMPARE(ReadAll(path), bytes);
}

void TestJetHostile::missingOrUnopenableFile() {
    const QString missing = dir_.path() + "/nothing/VorlekII.mdb";
    QCOMPARE(QString::fromStdString(Exercise(missing.toStdString())),
             QString::fromStdString(jet::msg::NotFound(missing.toStdString())));
    QVERIFY(!QFile::exists(missing));
    // A relative name is reported with its full path.
    QDir::setCurrent(dir_.path());
    QCOMPARE(
        QString::fromStdString(Exercise("absent.mdb")),
        QString::fromStdString(jet::msg::NotFound((dir_.path() + "/absent.mdb").toStdString())));
    QCOMPARE(QString::fromStdString(Exercise(dir_.path().toStdString())),
             QString::fromStdString(jet::msg::CannotOpen(dir_.path().toStdString())));
    const auto r = Tool({"tables", missing.toStdString()});
    QCOMPARE(r.status, 1);
    QCOMPARE(QString::fromStdString(r.err).trimmed(),
             QString::fromStdString(jet::msg::NotFound(missing.toStdString())));
}

void TestJetHostile::bitFlipsNeverCrash() {
    // Damage anywhere past the header: every run must end in success or a JetError, and a
    // file that is refused is left as it was.
    std::mt19937 random(20261211);
    const QString path = dir_.path() + "/flipped.mdb";
    int refused = 0;
    for (int run = 0; run < 300; ++run) {
        QByteArray bytes = base_;
        const int flips = 1 + run % 8;
        for (int i = 0; i < flips; ++i) {
            const auto at = static_cast<int>(kPage + random() % (bytes.size() - kPage));
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const std::string error = Exercise(path.toStdString());
        if (!error.empty()) {
            ++refused;
            QVERIFY2(ReadAll(path) == bytes, error.c_str());
        }
    }
    qInfo("%d of 300 damaged files refused", refused);
}

QTEST_GUILESS_MAIN(TestJetHostile)
#include "test_jet_hostile.moc"
