#include "RequestReader.h"

#include <QTest>
#include <stdexcept>
#include <vector>

using namespace vorlek;

namespace {

// Feeds chunks to a reader and records every dispatched code.
struct Harness {
    RequestReader reader;
    std::vector<int> codes;
    void Feed(const QByteArray& chunk) {
        reader.Receive(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                       static_cast<std::size_t>(chunk.size()),
                       [this](std::uint16_t c) { codes.push_back(c); });
    }
};

QByteArray Bytes(const char* hex) {
    return QByteArray::fromHex(hex);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<int>)

class TestRequestReader : public QObject {
    Q_OBJECT
private slots:
    void chunks_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<std::vector<int>>("codes");
        QTest::addColumn<int>("left");
        using L = QList<QByteArray>;
        QTest::newRow("one frame") << L{Bytes("FA21080029")} << std::vector<int>{0x0800} << 0;
        QTest::newRow("split frame")
            << L{Bytes("FA21"), Bytes("080029")} << std::vector<int>{0x0800} << 0;
        QTest::newRow("resync after stray start")
            << L{Bytes("FAFA21080029")} << std::vector<int>{0x0800} << 0;
        QTest::newRow("command 0x11") << L{Bytes("FA11080019")} << std::vector<int>{0x0800} << 0;
        QTest::newRow("other command skipped") << L{Bytes("FA22080019")} << std::vector<int>{} << 4;
        QTest::newRow("bad check then good")
            << L{Bytes("FA21080028FA21081039")} << std::vector<int>{0x0810} << 0;
        QTest::newRow("two frames in order")
            << L{Bytes("FA21080029FA21081039")} << std::vector<int>{0x0800, 0x0810} << 0;
        QTest::newRow("noise between frames")
            << L{Bytes("00FA21080029FF13FA2109F0D8FA")} << std::vector<int>{0x0800, 0x09F0} << 1;
        QTest::newRow("partial frame kept") << L{Bytes("FA210800")} << std::vector<int>{} << 4;
        QTest::newRow("code 0xFFFF") << L{Bytes("FA21FFFF21")} << std::vector<int>{0xFFFF} << 0;
    }
    void chunks() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(std::vector<int>, codes);
        QFETCH(int, left);
        Harness h;
        for (const auto& c : chunks)
            h.Feed(c);
        QCOMPARE(h.codes, codes);
        QCOMPARE(h.reader.RxCount, left);
    }

    void strictFreeSpaceTest() {
        Harness h;
        h.Feed(QByteArray(100, '\0'));
        QCOMPARE(h.reader.RxCount, 0); // would fill the buffer exactly: dropped
        h.Feed(QByteArray(99, '\0'));
        QCOMPARE(h.reader.RxCount, 4); // stored, then scanned down to a partial candidate

        Harness full;
        full.Feed(Bytes("FA2108"));        // 3 held
        full.Feed(QByteArray(97, '\xFA')); // 3 + 97 = 100: dropped
        QCOMPARE(full.reader.RxCount, 3);
        full.Feed(Bytes("0029"));
        QCOMPARE(full.codes, std::vector<int>{0x0800});
    }

    void leftoverBytesJoinTheNextExchange() {
        // Nothing clears the buffer between exchanges: four bytes of an interrupted
        // acknowledgement combine with whatever arrives next.
        Harness h;
        h.Feed(Bytes("FA210810"));
        h.Feed(Bytes("39FA21080029"));
        QCOMPARE(h.codes, (std::vector<int>{0x0810, 0x0800}));
    }

    void eachCodeDispatchedBeforeTheNextIsExamined() {
        RequestReader reader;
        std::vector<int> heldAtDispatch;
        const QByteArray two = Bytes("FA21080029FA21081039");
        reader.Receive(reinterpret_cast<const std::uint8_t*>(two.constData()), 10,
                       [&](std::uint16_t) { heldAtDispatch.push_back(reader.RxCount); });
        QCOMPARE(heldAtDispatch, (std::vector<int>{5, 0}));
    }

    void throwingDispatchConsumesItsFrame() {
        RequestReader reader;
        std::vector<int> codes;
        auto dispatch = [&](std::uint16_t c) {
            codes.push_back(c);
            if (c == 0x0800)
                throw std::runtime_error("database");
        };
        const QByteArray two = Bytes("FA21080029FA21081039");
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            reader.Receive(reinterpret_cast<const std::uint8_t*>(two.constData()), 10, dispatch));
        QCOMPARE(reader.RxCount, 5); // the second frame waits for the next chunk
        const std::uint8_t one = 0x00;
        reader.Receive(&one, 1, dispatch);
        QCOMPARE(codes, (std::vector<int>{0x0800, 0x0810}));
        QCOMPARE(reader.RxCount, 1);
    }
};

QTEST_APPLESS_MAIN(TestRequestReader)
#include "test_request_reader.moc"
