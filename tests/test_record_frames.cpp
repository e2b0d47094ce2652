#include "RecordFrames.h"
#include "codepage.h"

#include <QTest>

using namespace vorlek;

namespace {

QByteArray Hex(const std::optional<RecordFrame>& f) {
    if (!f)
        return "none";
    return QByteArray(reinterpret_cast<const char*>(f->data()), kFrameSize).toHex(' ').toUpper();
}

QByteArray Expect(QByteArray head, int blanks, const char* check) {
    QByteArray s = head;
    for (int i = 0; i < blanks; ++i)
        s += " 20";
    return s + " " + check;
}

} // namespace

class TestRecordFrames : public QObject {
    Q_OBJECT
private slots:
    void deviceCharTable() {
        const QByteArray in = "\xC7\xD0\xDD\xD6\xDE\xDC\xE7\xF0\xFD\xF6\xFE\xFC";
        const QByteArray out = "\x40\x5B\x5C\x5D\x5E\x5F\x60\x7B\x7C\x7D\x7E\x7F";
        for (int i = 0; i < in.size(); ++i) {
            QCOMPARE(ToDeviceChar(static_cast<std::uint8_t>(in[i])),
                     static_cast<std::uint8_t>(out[i]));
            QCOMPARE(FromDeviceChar(static_cast<std::uint8_t>(out[i])),
                     static_cast<std::uint8_t>(in[i]));
        }
        int changed = 0;
        for (int b = 0; b < 256; ++b)
            changed += ToDeviceChar(static_cast<std::uint8_t>(b)) != b;
        QCOMPARE(changed, 12); // every other byte, the ASCII look-alikes included, passes unchanged
    }

    void satelliteFrames_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("turkish name")
            << 0 << QStringLiteral("Doğu 1") << Expect("FA 20 08 00 44 6F 7B 75 20 31", 10, "1C");
        QTest::newRow("empty gets SAT01")
            << 0 << QString() << Expect("FA 20 08 00 53 41 54 30 31", 11, "4F");
        QTest::newRow("SAT32 at the last slot")
            << 31 << QString() << Expect("FA 20 09 F0 53 41 54 33 32", 11, "BE");
        QTest::newRow("control byte leads: default")
            << 6 << QStringLiteral("\tX") << Expect("FA 20 08 60 53 41 54 30 37", 11, "29");
        QTest::newRow("leading blank kept")
            << 0 << QStringLiteral(" A") << Expect("FA 20 08 00 20 41", 14, "49");
        QTest::newRow("exactly 16 kept whole")
            << 0 << QStringLiteral("ABCDEFGHIJKLMNOP")
            << QByteArray("FA 20 08 00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 38");
        QTest::newRow("longer cut to 16")
            << 0 << QStringLiteral("ABCDEFGHIJKLMNOPQR")
            << QByteArray("FA 20 08 00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 38");
    }
    void satelliteFrames() {
        QFETCH(int, slot);
        QFETCH(QString, name);
        QFETCH(QByteArray, expected);
        const std::string bytes = Utf16ToWindows1254(name.toStdU16String());
        QCOMPARE(Hex(BuildSatFrame(slot, bytes)), expected);
    }

    void transponderFrames_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("polarisation");
        QTest::addColumn<int>("symbolRate");
        QTest::addColumn<QByteArray>("head"); // bytes 0..7
        QTest::newRow("slot 9 defaults to TP02")
            << 9 << QString() << 11000 << 1 << 27500 << QByteArray("FA 20 0A 90 AA F8 6B 6C");
        QTest::newRow("low limits") << 0 << QStringLiteral("Çay") << 10700 << 0 << 2000
                                    << QByteArray("FA 20 0A 00 29 CC 07 D0");
        QTest::newRow("frequency below")
            << 0 << "x" << 9750 << 0 << 2000 << QByteArray("FA 20 0A 00 29 CC 07 D0");
        QTest::newRow("frequency above")
            << 0 << "x" << 13000 << 0 << 2000 << QByteArray("FA 20 0A 00 31 CE 07 D0");
        QTest::newRow("symbol rate below")
            << 0 << "x" << 10700 << 0 << 1000 << QByteArray("FA 20 0A 00 29 CC 07 D0");
        QTest::newRow("symbol rate above")
            << 0 << "x" << 10700 << 0 << 50000 << QByteArray("FA 20 0A 00 29 CC AF C8");
        QTest::newRow("nulls as zero")
            << 0 << "x" << 0 << 0 << 0 << QByteArray("FA 20 0A 00 29 CC 07 D0");
        QTest::newRow("polarisation 2 like 1")
            << 0 << "x" << 10700 << 2 << 2000 << QByteArray("FA 20 0A 00 A9 CC 07 D0");
        QTest::newRow("polarisation -1 like 0")
            << 0 << "x" << 10700 << -1 << 2000 << QByteArray("FA 20 0A 00 29 CC 07 D0");
        QTest::newRow("extreme values")
            << 255 << "x" << INT_MIN << INT_MAX << INT_MIN << QByteArray("FA 20 19 F0 A9 CC 07 D0");
    }
    void transponderFrames() {
        QFETCH(int, slot);
        QFETCH(QString, name);
        QFETCH(int, frequency);
        QFETCH(int, polarisation);
        QFETCH(int, symbolRate);
        QFETCH(QByteArray, head);
        const std::string bytes = Utf16ToWindows1254(name.toStdU16String());
        const auto frame = BuildTPFrame(slot, {bytes, frequency, polarisation, symbolRate});
        QVERIFY(frame);
        QCOMPARE(Hex(frame).left(head.size()), head);
        QCOMPARE((*frame)[20], CheckByte(frame->data() + 1, 19));
    }

    void transponderWorkedExamples() {
        QCOMPARE(Hex(BuildTPFrame(9, {"", 11000, 1, 27500})),
                 Expect("FA 20 0A 90 AA F8 6B 6C 54 50 30 32", 8, "E9"));
        QCOMPARE(Hex(BuildTPFrame(0, {"\xC7"
                                      "ay",
                                      10700, 0, 2000})),
                 Expect("FA 20 0A 00 29 CC 07 D0 40 61 79", 9, "60"));
        QCOMPARE(Hex(BuildTPFrame(7, {"", 0, 0, 0})).mid(24, 11),
                 QByteArray("54 50 30 38")); // TP08
        QCOMPARE(Hex(BuildTPFrame(0, {"ABCDEFGHIJKLMN", 10700, 0, 2000})).mid(24, 35),
                 QByteArray("41 42 43 44 45 46 47 48 49 4A 4B 4C"));
    }

    void slotsOutsideTheRecordRegionsBuildNothing() {
        for (int slot : {-1, -127, 32, INT_MIN})
            QVERIFY(!BuildSatFrame(slot, "A"));
        for (int slot : {-1, -8, 256, INT_MAX})
            QVERIFY(!BuildTPFrame(slot, {"A", 11000, 0, 27500}));
    }
};

QTEST_APPLESS_MAIN(TestRecordFrames)
#include "test_record_frames.moc"
