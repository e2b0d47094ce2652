// New databases, read back by mdb-export and mdb-schema, and by our own reader.
#include "DefaultChannels.h"
#include "Creator.h"
#include "Header.h"
#include "JetTestSupport.h"
#include "PageFile.h"

#include <QTemporaryDir>

using namespace jettest;
namespace jet = vorlek::jet;
using jet::ColumnType;

class TestJetCreator : public QObject {
    Q_OBJECT

private slots:
    void init();
    void emptyChannelDatabase();
    void catalogHoldsWhatJetWrites();
    void refusesAnExistingFile();
    void refusesBadDefinitions_data();
    void refusesBadDefinitions();
    void everyColumnTypeReadsBack_data();
    void everyColumnTypeReadsBack();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

namespace {

jet::Column Field(const char* name, ColumnType type, std::uint16_t length = 0) {
    jet::Column c;
    c.name = name;
    c.type = type;
    c.length = length;
    c.compressed = type == ColumnType::Text || type == ColumnType::Memo;
    return c;
}

jet::NewTable EveryType() {
    jet::NewTable t{"AllTypes",
                    {Field("Yes", ColumnType::Boolean), Field("B", ColumnType::Byte),
                     Field("I", ColumnType::Integer), Field("L", ColumnType::Long),
                     Field("M", ColumnType::Money), Field("S", ColumnType::Single),
                     Field("D", ColumnType::Double), Field("T", ColumnType::DateTime),
                     Field("Bin", ColumnType::Binary, 20), Field("Txt", ColumnType::Text, 40),
                     Field("Mem", ColumnType::Memo), Field("Ole", ColumnType::OLE),
                     Field("G", ColumnType::GUID), Field("N", ColumnType::Numeric)},
                    {}};
    t.columns.back().precision = 18;
    t.columns.back().scale = 2;
    using V = jet::Value;
    using Raw = std::vector<std::uint8_t>;
    Raw guid(16);
    for (int i = 0; i < 16; ++i)
        guid[i] = static_cast<std::uint8_t>(0x10 + i * 7);
    // Decimal: sign byte, then the magnitude as four 32-bit words, most significant first.
    const auto decimal = [](bool negative, std::uint32_t high, std::uint32_t low) {
        Raw d(17, 0);
        d[0] = negative ? 0x80 : 0x00;
        for (int i = 0; i < 4; ++i) {
            d[9 + i] = static_cast<std::uint8_t>(high >> (8 * i));
            d[13 + i] = static_cast<std::uint8_t>(low >> (8 * i));
        }
        return d;
    };
    t.rows.push_back(
        {true, V{std::int64_t{255}}, V{std::int64_t{-32768}}, V{std::int64_t{2147483647}},
         V{std::int64_t{-123456789}}, V{1.5}, V{-2.25e-7}, V{45000.75}, V{Raw{1, 2, 0xFE, 0xFF}},
         V{std::u16string(u"Çok güzel, \"quoted\"")}, V{std::u16string(u"a memo\nwith two lines")},
         V{Raw{9, 8, 7}}, V{guid}, V{decimal(false, 2, 7)}});
    t.rows.push_back({false, V{}, V{}, V{}, V{}, V{}, V{}, V{}, V{}, V{}, V{}, V{}, V{}, V{}});
    t.rows.push_back({true, V{std::int64_t{0}}, V{std::int64_t{32767}},
                      V{std::int64_t{-2147483647 - 1}}, V{std::int64_t{10000}}, V{-0.0}, V{1e300},
                      V{36526.5}, V{Raw{}}, V{std::u16string()}, V{std::u16string(u"ŞİĞ")},
                      V{Raw{}}, V{Raw(16, 0xAB)}, V{decimal(true, 1, 5)}});
    return t;
}

} // namespace

void TestJetCreator::init() {
    dir_ = std::make_unique<QTemporaryDir>(ScratchTemplate());
    QVERIFY(dir_->isValid());
}

void TestJetCreator::emptyChannelDatabase() {
    if (!HaveMdbTools())
        QSKIP("mdb-export not installed");
    const QString path = dir_->path() + "/VorlekII.mdb";
    QCOMPARE(Tool({"create", "--empty", path.toStdString()}).status, 0);
    QCOMPARE(ParseCsv(Run("mdb-tables", {"-1", path})),
             (Table{{"T_PolType"}, {"T_SatList"}, {"T_TPList"}}));

    const Table pol = ParseCsv(MdbExport(path, "T_PolType"));
    QCOMPARE(pol, (Table{{"ID", "Descr"}, {"0", ""}, {"1", ""}}));
    const Table sat = ParseCsv(MdbExport(path, "T_SatList"));
    QCOMPARE(sat.size(), std::size_t{33});
    for (int i = 1; i <= 32; ++i)
        QCOMPARE(sat[i], (std::vector<std::string>{std::to_string(i), ""}));
    const Table tp = ParseCsv(MdbExport(path, "T_TPList"));
    QCOMPARE(tp.size(), std::size_t{257});
    for (int i = 0; i < 256; ++i)
        QCOMPARE(tp[i + 1], (std::vector<std::string>{std::to_string(i / 8 + 1),
                                                      std::to_string(i % 8 + 1), "", "", "", ""}));

    const QString schema = QString::fromStdString(Run("mdb-schema", {path}));
    for (const char* line :
         {"\\[ID\\]\\s+Integer", "\\[Descr\\]\\s+Text \\(16\\)", "\\[SatID\\]\\s+Integer",
          "\\[Descr\\]\\s+Text \\(12\\)", "\\[Frequency\\]\\s+Long Integer",
          "\\[Polarisation\\]\\s+Long Integer", "\\[SymbolRate\\]\\s+Long Integer"})
        QVERIFY2(schema.contains(QRegularExpression(line)), line);
    QCOMPARE(Run("mdb-ver", {path}), std::string("JET4\n"));
}

void TestJetCreator::catalogHoldsWhatJetWrites() {
    const QString path = dir_->path() + "/new.mdb";
    jet::CreateDatabase(path.toStdString(), vorlek::store::ChannelTables(false));

    const jet::PageFile file(path.toStdString());
    const auto header = jet::ParseHeader(file.ReadRaw(0), file.Size(), file.Path());
    QCOMPARE(header.codePage, std::uint16_t{0x04E4});
    QCOMPARE(header.sortOrder, std::uint32_t{0x0409});
    QCOMPARE(header.databaseKey, std::uint32_t{0});

    const Table objects = ParseCsv(Tool({"export", path.toStdString(), "MSysObjects"}).out);
    QStringList names;
    for (std::size_t i = 1; i < objects.size(); ++i)
        names << QString::fromStdString(objects[i][2] + ":" + objects[i][3]);
    QCOMPARE(names,
             (QStringList{"Tables:3", "Databases:3", "Relationships:3", "MSysDb:2", "MSysObjects:1",
                          "MSysACEs:1", "MSysQueries:1", "MSysRelationships:1", "T_PolType:1",
                          "T_SatList:1", "T_TPList:1"}));
    auto db = jet::Database::Open(path.toStdString());
    const std::vector<std::pair<const char*, std::vector<std::string>>> systemTables{
        {"MSysObjects",
         {"Id", "ParentId", "Name", "Type", "DateCreate", "DateUpdate", "Owner", "Flags",
          "Database", "Connect", "ForeignName", "RmtInfoShort", "RmtInfoLong", "Lv", "LvProp",
          "LvModule", "LvExtra"}},
        {"MSysACEs", {"ObjectId", "SID", "ACM", "FInheritable"}},
        {"MSysQueries",
         {"ObjectId", "Attribute", "Order", "Name1", "Name2", "Expression", "Flag", "LvExtra"}},
        {"MSysRelationships",
         {"szRelationship", "grbit", "ccolumn", "icolumn", "szObject", "szColumn",
          "szReferencedObject", "szReferencedColumn"}}};
    for (const auto& [table, columns] : systemTables) {
        std::vector<std::string> actual;
        for (const auto& c : db->Table(table).columns)
            actual.push_back(c.name);
        QCOMPARE(actual, columns);
        QVERIFY(db->Table(table).system);
    }
    QVERIFY(db->ReadRows(db->Table("MSysACEs")).size() > 10);
}

void TestJetCreator::refusesAnExistingFile() {
    const QString path = dir_->path() + "/there.mdb";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    const auto r = Tool({"create", "--empty", path.toStdString()});
    QCOMPARE(r.status, 1);
    QVERIFY(QString::fromStdString(r.err).contains("already exists"));
    QCOMPARE(ReadAll(path), QByteArray("keep me"));
}

using Tables = std::vector<jet::NewTable>;
Q_DECLARE_METATYPE(Tables)

void TestJetCreator::refusesBadDefinitions_data() {
    QTest::addColumn<Tables>("tables");
    QTest::addColumn<QString>("message");
    const jet::Column id = Field("ID", ColumnType::Integer);
    QTest::newRow("two tables of one name")
        << Tables{{"T", {id}, {}}, {"t", {id}, {}}} << "already exists";
    QTest::newRow("a system table's name") << Tables{{"MSysObjects", {id}, {}}} << "already exists";
    QTest::newRow("two fields of one name")
        << Tables{{"T", {id, Field("id", ColumnType::Long)}, {}}} << "unique name";
    QTest::newRow("text longer than 255")
        << Tables{{"T", {Field("D", ColumnType::Text, 600)}, {}}} << "too long";
    QTest::newRow("row of the wrong width")
        << Tables{{"T", {id}, {{std::int64_t{1}, std::int64_t{2}}}}} << "does not have";
    QTest::newRow("value of the wrong type")
        << Tables{{"T", {id}, {{std::u16string(u"one")}}}} << "mismatch";
    QTest::newRow("integer out of range")
        << Tables{{"T", {id}, {{std::int64_t{40000}}}}} << "Overflow";
}

void TestJetCreator::refusesBadDefinitions() {
    QFETCH(Tables, tables);
    QFETCH(QString, message);
    const QString path = dir_->path() + "/bad.mdb";
    try {
        jet::CreateDatabase(path.toStdString(), tables);
        QFAIL("the definition was accepted");
    } catch (const jet::JetError& e) {
        QVERIFY2(QString(e.what()).contains(message), e.what());
    }
    QVERIFY(!QFile::exists(path));
}

void TestJetCreator::everyColumnTypeReadsBack_data() {
    QTest::addColumn<quint32>("key");
    QTest::newRow("plain") << 0u;
    QTest::newRow("RC4-encrypted pages") << 0x5EC0DE42u;
}

void TestJetCreator::everyColumnTypeReadsBack() {
    QFETCH(quint32, key);
    const QString path = dir_->path() + "/types.mdb";
    const jet::NewTable table = EveryType();
    jet::CreateDatabaseFile(path.toStdString(), {table}, key);

    auto db = jet::Database::Open(path.toStdString());
    const auto rows = db->ReadRows(db->Table("AllTypes"));
    QCOMPARE(rows.size(), table.rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            QVERIFY2(rows[r].values[c] == table.rows[r][c],
                     qPrintable(QString("row %1 field %2").arg(r).arg(c)));

    if (!HaveMdbTools())
        QSKIP("mdb-export not installed");
    const Table theirs = ParseCsv(MdbExport(path, "AllTypes"));
    const Table mine = ParseCsv(Tool({"export", path.toStdString(), "AllTypes"}).out);
    QCOMPARE(theirs.size(), mine.size());
    const auto& def = db->Table("AllTypes");
    for (std::size_t r = 0; r < mine.size(); ++r)
        for (std::size_t c = 0; c < def.columns.size(); ++c)
            QVERIFY2(r == 0 ? mine[r][c] == theirs[r][c]
                            : SameField(def.columns[c].type, mine[r][c], theirs[r][c]),
                     qPrintable(QString("row %1 field %2: ours '%3', mdb-export '%4'")
                                    .arg(r)
                                    .arg(c)
                                    .arg(QString::fromStdString(mine[r][c]))
                                    .arg(QString::fromStdString(theirs[r][c]))));

    // An update in place and one that moves the row, read back by mdb-export.
    auto row = rows[0];
    auto after = row.values;
    after[9] = std::u16string(u"short");
    db->UpdateRow(def, row, after);
    QCOMPARE(ParseCsv(MdbExport(path, "AllTypes"))[1][9], std::string("short"));
}

QTEST_GUILESS_MAIN(TestJetCreator)
#include "test_jet_creator.moc"
