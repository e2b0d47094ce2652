// UpdateRow against an independent reader: after names grow to their limits (rows moving to
// other pages) and numbers change, mdb-export reads the new values and everything else as it
// was; refused updates leave the file as it was.
#include "Creator.h"
#include "DataPage.h"
#include "JetTestSupport.h"
#include "Messages.h"
#include "PageFile.h"
#include "PageLayout.h"
#include "Text.h"
#include "UsageMap.h"

#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace jettest;
namespace jet = vorlek::jet;

class TestJetWriter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void namesGrowToTheirLimit_data();
    void namesGrowToTheirLimit();
    void numbersChange_data();
    void numbersChange();
    void rowsMoveToNewPages();
    void unchangedLongValuesKeepTheirBytes();
    void referenceMapTakesANewPage();
    void longValuesGoToPagesOfTheirOwn_data();
    void longValuesGoToPagesOfTheirOwn();
    void refusedUpdatesChangeNothing_data();
    void refusedUpdatesChangeNothing();
    void readOnlyFileRefusesUpdates();
    void anotherProgramsChangesAreSeen();
    void failedWriteLeavesTheFileAsItWas();
    void toolSetChangesOneRow();
    void toolGrowsEveryTransponderName();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

namespace {

// Rows of a table keyed by their first fields, as mdb-export reads them.
Table MdbRows(const QString& file, const QString& table) {
    Table t = ParseCsv(MdbExport(file, table));
    if (!t.empty())
        t.erase(t.begin());
    std::sort(t.begin(), t.end());
    return t;
}

std::u16string Name(int salt, std::size_t length) {
    // Turkish letters keep some names out of the one-byte compressed form.
    std::u16string s = salt % 2 ? u"Ğüzel " : u"Sat ";
    s += *vorlek::Utf8ToUtf16(std::to_string(salt));
    while (s.size() < length)
        s.push_back(salt % 3 ? u'x' : u'Ş');
    s.resize(length);
    return s;
}

std::string Csv(const jet::Value& v) {
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (const auto* s = std::get_if<std::u16string>(&v))
        return vorlek::Utf16ToUtf8(*s);
    return {};
}

Table Expected(const jet::Database& db, const jet::TableDef& t) {
    Table rows;
    for (const auto& r : db.ReadRows(t)) {
        std::vector<std::string> line;
        for (const auto& v : r.values)
            line.push_back(Csv(v));
        rows.push_back(line);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ColumnIndex(const jet::TableDef& t, const char* name) {
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].name == name)
            return static_cast<int>(i);
    return -1;
}

// Slots of the table that point to where their row was moved.
int MovedRows(const QString& path, std::uint32_t tdefPage) {
    const jet::PageFile file(path.toStdString());
    int moved = 0;
    for (std::uint32_t p = 1; p < file.PageCount(); ++p) {
        const jet::Bytes page = file.Read(p);
        if (page[0] != jet::kDataPageType || jet::PageOwner(page) != tdefPage)
            continue;
        for (unsigned i = 0; i < jet::RowCount(page); ++i)
            moved += (jet::RowAt(page, i).flags & jet::kRowLookup) != 0;
    }
    return moved;
}

} // namespace

void TestJetWriter::init() {
    if (!HaveFixtures())
        QSKIP("fixtures (../shared) not present");
    if (!HaveMdbTools())
        QSKIP("mdb-export not installed");
    dir_ = std::make_unique<QTemporaryDir>(ScratchTemplate());
    QVERIFY(dir_->isValid());
}

void TestJetWriter::namesGrowToTheirLimit_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("channels-a") << "channels-a.mdb";
    QTest::newRow("channels-b") << "channels-b.mdb";
    QTest::newRow("channels-in-access-file") << "channels-in-access-file.mdb";
}

void TestJetWriter::namesGrowToTheirLimit() {
    QFETCH(QString, file);
    const QString path = CopyFixture(file, dir_->path());
    const auto before = QFileInfo(path).size();
    {
        auto db = jet::Database::Open(path.toStdString());
        int salt = 0;
        for (const auto& [table, limit] : {std::pair{"T_SatList", 16}, {"T_TPList", 12}}) {
            const auto& t = db->Table(table);
            const int descr = ColumnIndex(t, "Descr");
            for (const auto& row : db->ReadRows(t)) {
                auto after = row.values;
                after[descr] = Name(++salt, limit);
                db->UpdateRow(t, row, after);
            }
        }
    }
    auto db = jet::Database::Open(path.toStdString());
    int grown = 0;
    for (const char* table : {"T_PolType", "T_SatList", "T_TPList"}) {
        const auto& t = db->Table(table);
        QCOMPARE(MdbRows(path, table), Expected(*db, t));
        for (const auto& r : db->ReadRows(t))
            if (const auto* s = std::get_if<std::u16string>(&r.values[ColumnIndex(t, "Descr")]))
                grown += s->size() >= 12;
    }
    QCOMPARE(grown, 32 + 256);
    QVERIFY(MovedRows(path, db->Table("T_TPList").tdefPage) > 0);
    QVERIFY(QFileInfo(path).size() >= before);
}

void TestJetWriter::numbersChange_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("channels-a") << "channels-a.mdb";
    QTest::newRow("channels-b") << "channels-b.mdb";
}

void TestJetWriter::numbersChange() {
    QFETCH(QString, file);
    const QString path = CopyFixture(file, dir_->path());
    Table expected;
    {
        auto db = jet::Database::Open(path.toStdString());
        const auto& t = db->Table("T_TPList");
        const int f = ColumnIndex(t, "Frequency");
        const int p = ColumnIndex(t, "Polarisation");
        const int s = ColumnIndex(t, "SymbolRate");
        int n = 0;
        for (const auto& row : db->ReadRows(t)) {
            auto after = row.values;
            ++n;
            after[f] = n % 5 == 0 ? jet::Value{} : jet::Value{std::int64_t{10700 + n}};
            after[p] = std::int64_t{n % 4 - 1};
            after[s] = n % 7 == 0 ? jet::Value{std::int64_t{-2147483647 - 1}}
                                  : jet::Value{std::int64_t{2147483647 - n}};
            db->UpdateRow(t, row, after);
        }
    }
    auto reread = jet::Database::Open(path.toStdString());
    expected = Expected(*reread, reread->Table("T_TPList"));
    QCOMPARE(MdbRows(path, "T_TPList"), expected);
    QCOMPARE(expected.size(), std::size_t{256});
}

void TestJetWriter::rowsMoveToNewPages() {
    // A new file packs its rows tightly, so grown rows must go to pages added at the end.
    const QString path = dir_->path() + "/new.mdb";
    QCOMPARE(Tool({"create", "--empty", path.toStdString()}).status, 0);
    const auto before = QFileInfo(path).size();
    {
        auto db = jet::Database::Open(path.toStdString());
        const auto& t = db->Table("T_TPList");
        int salt = 0;
        for (const auto& row : db->ReadRows(t)) {
            auto after = row.values;
            after[2] = Name(++salt, 12);
            after[3] = std::int64_t{salt};
            db->UpdateRow(t, row, after);
        }
    }
    QVERIFY(QFileInfo(path).size() > before);
    auto db = jet::Database::Open(path.toStdString());
    const Table mdb = MdbRows(path, "T_TPList");
    QCOMPARE(mdb.size(), std::size_t{256});
    QCOMPARE(mdb, Expected(*db, db->Table("T_TPList")));
}

void TestJetWriter::unchangedLongValuesKeepTheirBytes() {
    // MSysDb's properties are a long value on a page of their own; changing a number beside
    // them must not touch them.
    const QString path = CopyFixture("real/testV2000.mdb", dir_->path());
    const std::string propsBefore = Tool({"export", path.toStdString(), "MSysObjects"}).out;
    {
        auto db = jet::Database::Open(path.toStdString());
        const auto& t = db->Table("MSysObjects");
        const int name = ColumnIndex(t, "Name");
        const int flags = ColumnIndex(t, "Flags");
        for (const auto& row : db->ReadRows(t))
            if (row.values[name] == jet::Value{std::u16string(u"MSysDb")}) {
                auto after = row.values;
                after[flags] = std::int64_t{-2147483647};
                db->UpdateRow(t, row, after);
            }
    }
    const std::string propsAfter = Tool({"export", path.toStdString(), "MSysObjects"}).out;
    QVERIFY(propsAfter != propsBefore);
    QCOMPARE(MdbRows(path, "MSysObjects").size(), ParseCsv(propsAfter).size() - 1);
    const auto mdb = ParseCsv(MdbExport(path, "MSysObjects"));
    bool found = false;
    for (const auto& r : mdb)
        if (r.size() > 14 && r[2] == "MSysDb") {
            QCOMPARE(r[7], std::string("-2147483647"));
            QVERIFY(r[14].size() > 100); // LvProp still read in full
            found = true;
        }
    QVERIFY(found);
    QCOMPARE(ParseCsv(propsAfter).size(), ParseCsv(propsBefore).size());
}

void TestJetWriter::referenceMapTakesANewPage() {
    // channels-a keeps its tables' page maps on map pages of their own (type 1).
    const QString path = CopyFixture("channels-a.mdb", dir_->path());
    auto db = jet::Database::Open(path.toStdString());
    const auto& t = db->Table("T_TPList");
    jet::PageFile file(path.toStdString());
    const auto before = jet::MapPages(file, t.usedPagesPointer);
    const std::uint32_t fresh = file.PageCount();
    file.Write(fresh, *jet::PackPage(jet::NewDataPage(t.tdefPage)));
    const auto image =
        jet::MapWithPage([&](std::uint32_t p) { return file.Read(p); }, t.usedPagesPointer, fresh);
    QVERIFY(image.has_value());
    QVERIFY(file.Read(image->page)[0] == jet::kUsageMapPageType);
    file.Write(image->page, image->bytes);
    auto expected = before;
    expected.push_back(fresh);
    QCOMPARE(jet::MapPages(file, t.usedPagesPointer), expected);
    QCOMPARE(ParseCsv(Tool({"export", path.toStdString(), "T_TPList"}).out).size(),
             std::size_t{257});
    // mdb-export shows a page without rows as one row of empty fields.
    Table mdb = ParseCsv(MdbExport(path, "T_TPList"));
    std::erase_if(mdb, [](const auto& row) {
        return std::all_of(row.begin(), row.end(), [](const auto& f) { return f.empty(); });
    });
    QCOMPARE(mdb.size(), std::size_t{257});
}

void TestJetWriter::longValuesGoToPagesOfTheirOwn_data() {
    QTest::addColumn<int>("memoLength"); // characters
    QTest::addColumn<int>("oleLength");  // bytes
    QTest::newRow("inside the row") << 100 << 200;
    QTest::newRow("one long-value row each") << 900 << 3000;
    QTest::newRow("chains over several pages") << 9000 << 13000;
    QTest::newRow("back to short values") << 3 << 0;
}

void TestJetWriter::longValuesGoToPagesOfTheirOwn() {
    QFETCH(int, memoLength);
    QFETCH(int, oleLength);
    const QString path = dir_->path() + "/long.mdb";
    jet::Column id;
    id.name = "ID";
    id.type = jet::ColumnType::Long;
    jet::Column memo;
    memo.name = "Memo";
    memo.type = jet::ColumnType::Memo;
    memo.compressed = true;
    jet::Column ole;
    ole.name = "Ole";
    ole.type = jet::ColumnType::OLE;
    jet::CreateDatabase(
        path.toStdString(),
        {{"L",
          {id, memo, ole},
          {{std::int64_t{1}, std::u16string(u"first"), std::vector<std::uint8_t>{1}},
           {std::int64_t{2}, jet::Value{}, jet::Value{}}}}});
    std::u16string text;
    for (int i = 0; i < memoLength; ++i)
        text.push_back(i % 97 == 0 ? u'Ş' : static_cast<char16_t>(u'a' + i % 26));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(oleLength));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    {
        // Twice over, so that the second update releases what the first one stored.
        auto db = jet::Database::Open(path.toStdString());
        const auto& t = db->Table("L");
        for (int round = 0; round < 2; ++round)
            for (const auto& row : db->ReadRows(t)) {
                auto after = row.values;
                after[1] = round == 0 ? jet::Value{std::u16string(u"x")} : jet::Value{text};
                after[2] =
                    round == 0 ? jet::Value{std::vector<std::uint8_t>(5000, 9)} : jet::Value{bytes};
                db->UpdateRow(t, row, after);
            }
    }
    auto db = jet::Database::Open(path.toStdString());
    for (const auto& row : db->ReadRows(db->Table("L"))) {
        QVERIFY(row.values[1] == jet::Value{text});
        QVERIFY(row.values[2] == jet::Value{bytes});
    }
    const Table mdb = ParseCsv(MdbExport(path, "L"));
    QCOMPARE(mdb.size(), std::size_t{3});
    const QByteArray hex = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<qsizetype>(bytes.size()))
                               .toHex()
                               .toUpper();
    for (std::size_t r = 1; r < mdb.size(); ++r) {
        QCOMPARE(mdb[r][1], vorlek::Utf16ToUtf8(text));
        QCOMPARE(QByteArray::fromStdString(mdb[r][2]).toUpper(), hex);
    }
}

void TestJetWriter::refusedUpdatesChangeNothing_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("key field") << "key" << QString::fromStdString(jet::msg::IndexedColumn("ID"));
    QTest::newRow("row changed since read") << "stale" << QString(jet::msg::kRowChanged);
    QTest::newRow("text too long") << "long" << QString("too small");
    QTest::newRow("number out of range") << "range" << QString("Overflow");
    QTest::newRow("wrong type") << "type" << QString("mismatch");
}

void TestJetWriter::refusedUpdatesChangeNothing() {
    QFETCH(QString, change);
    QFETCH(QString, message);
    const QString path = CopyFixture("channels-a.mdb", dir_->path());
    const QByteArray original = ReadAll(path);
    auto db = jet::Database::Open(path.toStdString());
    const auto& t = db->Table("T_TPList");
    auto row = db->ReadRows(t).at(3);
    auto after = row.values;
    if (change == "key")
        after[1] = std::int64_t{99};
    if (change == "stale") {
        row.values[3] = std::int64_t{1};
        after[2] = std::u16string(u"x");
    }
    if (change == "long")
        after[2] = std::u16string(13, u'a');
    if (change == "range")
        after[4] = std::int64_t{1} << 40;
    if (change == "type")
        after[3] = std::u16string(u"fast");
    try {
        db->UpdateRow(t, row, after);
        QFAIL("the update was not refused");
    } catch (const jet::JetError& e) {
        QVERIFY2(QString(e.what()).contains(message), e.what());
    }
    QCOMPARE(ReadAll(path), original);
}

void TestJetWriter::readOnlyFileRefusesUpdates() {
    const QString path = CopyFixture("channels-a.mdb", dir_->path());
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    if (::access(path.toLocal8Bit().constData(), W_OK) == 0)
        QSKIP("running with rights that write to read-only files");
    auto db = jet::Database::Open(path.toStdString());
    const auto& t = db->Table("T_SatList");
    const auto row = db->ReadRows(t).at(0);
    auto after = row.values;
    after[1] = std::u16string(u"New");
    QVERIFY_THROWS_EXCEPTION(jet::JetError, db->UpdateRow(t, row, after));
    try {
        db->UpdateRow(t, row, after);
    } catch (const jet::JetError& e) {
        QCOMPARE(QString(e.what()), QString(jet::msg::kReadOnly));
    }
}

void TestJetWriter::anotherProgramsChangesAreSeen() {
    // Two openings of one file stand for two programs sharing it.
    const QString path = CopyFixture("channels-a.mdb", dir_->path());
    auto mine = jet::Database::Open(path.toStdString());
    auto theirs = jet::Database::Open(path.toStdString());
    const auto& t = mine->Table("T_SatList");
    const auto rows = mine->ReadRows(t);

    auto changed = rows[2].values;
    changed[1] = std::u16string(u"Theirs");
    theirs->UpdateRow(theirs->Table("T_SatList"), rows[2], changed);
    const QByteArray afterTheirs = ReadAll(path);

    auto mineAfter = rows[2].values;
    mineAfter[1] = std::u16string(u"Mine");
    try {
        mine->UpdateRow(t, rows[2], mineAfter);
        QFAIL("a row changed by another program was overwritten");
    } catch (const jet::JetError& e) {
        QCOMPARE(QString(e.what()), QString(jet::msg::kRowChanged));
    }
    QCOMPARE(ReadAll(path), afterTheirs);

    // Another row of the same page: written on top of the other program's change.
    auto other = rows[3].values;
    other[1] = std::u16string(u"Mine too");
    mine->UpdateRow(t, rows[3], other);
    const Table mdb = ParseCsv(MdbExport(path, "T_SatList"));
    QCOMPARE(mdb[3][1], std::string("Theirs"));
    QCOMPARE(mdb[4][1], std::string("Mine too"));
}

void TestJetWriter::failedWriteLeavesTheFileAsItWas() {
    // The file may not grow: a row that needs a new page cannot be written.
    const QString path = dir_->path() + "/full.mdb";
    QCOMPARE(Tool({"create", "--empty", path.toStdString()}).status, 0);
    const QByteArray before = ReadAll(path);
    auto db = jet::Database::Open(path.toStdString());
    const auto& t = db->Table("T_TPList");
    const auto rows = db->ReadRows(t);

    struct rlimit old {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = static_cast<rlim_t>(before.size());
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
    std::string error;
    std::size_t failedAt = 0;
    for (std::size_t i = 0; i < rows.size() && error.empty(); ++i) {
        auto after = rows[i].values;
        after[2] = Name(static_cast<int>(i), 12);
        const QByteArray current = ReadAll(path);
        try {
            db->UpdateRow(t, rows[i], after);
        } catch (const jet::JetError& e) {
            error = e.what();
            failedAt = i;
            QCOMPARE(ReadAll(path), current);
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QVERIFY2(!error.empty(), "no update needed a new page");
    QCOMPARE(QFileInfo(path).size(), qint64(before.size()));
    QCOMPARE(ParseCsv(MdbExport(path, "T_TPList")).size(), std::size_t{257});

    // With room to grow, the same update goes through.
    auto after = rows[failedAt].values;
    after[2] = Name(static_cast<int>(failedAt), 12);
    db->UpdateRow(t, rows[failedAt], after);
    QVERIFY(QFileInfo(path).size() > before.size());
}

void TestJetWriter::toolSetChangesOneRow() {
    const QString path = CopyFixture("channels-b.mdb", dir_->path());
    const std::string file = path.toStdString();
    auto r = Tool({"set", file, "T_TPList", "SatID=3,ID=5", "Descr=ABCDEFGHİJKL",
                   "Frequency=", "SymbolRate=27500"});
    QCOMPARE(r.status, 0);
    bool found = false;
    for (const auto& row : ParseCsv(MdbExport(path, "T_TPList")))
        if (row[0] == "3" && row[1] == "5") {
            QCOMPARE(row[2], std::string("ABCDEFGHİJKL"));
            QCOMPARE(row[3], std::string());
            QCOMPARE(row[5], std::string("27500"));
            found = true;
        }
    QVERIFY(found);

    const QByteArray before = ReadAll(path);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"set", file, "T_TPList", "SatID=3,ID=99", "Descr=x"},
             {"set", file, "T_TPList", "SatID=3,ID=5", "Nope=1"},
             {"set", file, "T_TPList", "SatID=3,ID=5", "ID=6"},
             {"set", file, "T_TPList", "SatID=3,ID=5", "Frequency=abc"},
             {"set", file, "T_Nope", "ID=1", "Descr=x"}}) {
        r = Tool(args);
        QCOMPARE(r.status, 1);
        QVERIFY(!r.err.empty());
    }
    QCOMPARE(ReadAll(path), before);
}

void TestJetWriter::toolGrowsEveryTransponderName() {
    const QString path = CopyFixture("channels-b.mdb", dir_->path());
    const std::string file = path.toStdString();
    Table expected = ParseCsv(MdbExport(path, "T_TPList"));
    expected.erase(expected.begin());
    for (auto& row : expected) {
        row[2] = vorlek::Utf16ToUtf8(Name(std::stoi(row[0]) * 10 + std::stoi(row[1]), 12));
        const auto r =
            Tool({"set", file, "T_TPList", "SatID=" + row[0] + ",ID=" + row[1], "Descr=" + row[2]});
        QVERIFY2(r.status == 0, r.err.c_str());
    }
    std::sort(expected.begin(), expected.end());
    QCOMPARE(MdbRows(path, "T_TPList"), expected);
    QCOMPARE(expected.size(), std::size_t{256});
}

QTEST_GUILESS_MAIN(TestJetWriter)
#include "test_jet_writer.moc"
