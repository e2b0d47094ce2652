#include "DefaultChannels.h"
#include "RecordFrames.h"

#include <QSet>
#include <QTest>

using namespace vorlek;
using namespace vorlek::store;

class TestDefaultChannels : public QObject {
    Q_OBJECT
private slots:
    void everyValueFitsTheEditorsLimits() {
        QSet<QString> names;
        for (const DefaultSatellite& sat : kDefaultChannels) {
            const QString name = QString::fromUtf8(sat.name);
            QVERIFY2(!name.isEmpty() && name.size() <= 16, sat.name);
            names.insert(name);
            for (const DefaultTransponder& tp : sat.transponders) {
                QVERIFY2(!QString::fromUtf8(tp.name).isEmpty() &&
                             QString::fromUtf8(tp.name).size() <= 12,
                         tp.name);
                QVERIFY2(tp.frequency >= kMinFrequency && tp.frequency <= kMaxFrequency, tp.name);
                QVERIFY2(tp.symbolRate >= kMinSymbolRate && tp.symbolRate <= kMaxSymbolRate,
                         tp.name);
                QVERIFY2(tp.polarisation == 0 || tp.polarisation == 1, tp.name);
            }
        }
        QCOMPARE(names.size(), 32);
    }

    void tablesHoldEveryKeyWithOrWithoutValues() {
        for (bool values : {true, false}) {
            const auto tables = ChannelTables(values);
            QCOMPARE(tables.size(), std::size_t{3});
            QCOMPARE(tables[0].rows.size(), std::size_t{2});
            QCOMPARE(tables[1].rows.size(), std::size_t{32});
            QCOMPARE(tables[2].rows.size(), std::size_t{256});
            const auto& tp = tables[2].rows[9]; // slot 9: satellite 2, transponder 2
            QCOMPARE(std::get<std::int64_t>(tp[0]), std::int64_t{2});
            QCOMPARE(std::get<std::int64_t>(tp[1]), std::int64_t{2});
            QCOMPARE(std::holds_alternative<std::monostate>(tp[3]), !values);
            QCOMPARE(std::holds_alternative<std::monostate>(tables[1].rows[0][1]), !values);
        }
        QCOMPARE(std::get<std::u16string>(ChannelTables(true)[1].rows[0][1]),
                 std::u16string(u"Türksat 42E"));
    }
};

QTEST_APPLESS_MAIN(TestDefaultChannels)
#include "test_default_channels.moc"
