#include "Meter.h"
#include "RecordFrames.h"
#include "codepage.h"

#include <QTest>
#include <algorithm>
#include <vector>

using namespace vorlek;
using namespace vorlek::meter;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SatFrame(int slot, const char* utf8) {
    const auto f = BuildSatFrame(slot, Utf8ToWindows1254(utf8));
    return Bytes(f->begin(), f->end());
}

Bytes TPFrame(int slot, const char* utf8, int freq, int pol, int sr) {
    const std::string name = Utf8ToWindows1254(utf8);
    const auto f = BuildTPFrame(slot, {name, freq, pol, sr});
    return Bytes(f->begin(), f->end());
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<std::uint16_t> Feed(Meter& m, const Bytes& b) {
    return m.Receive(b.data(), b.size());
}

Bytes Ackd(std::uint16_t address, std::uint8_t command = kAckCommand) {
    const Ack a = BuildAck(address, command);
    return Bytes(a.begin(), a.end());
}

} // namespace

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(std::vector<std::uint16_t>)

class TestMeter : public QObject {
    Q_OBJECT
private slots:
    void storesValidFramesOnly_data() {
        QTest::addColumn<Bytes>("input");
        QTest::addColumn<std::vector<std::uint16_t>>("stored");
        QTest::addColumn<int>("bad");
        const Bytes sat0 = SatFrame(0, "Doğu 1");
        const Bytes tp9 = TPFrame(9, "", 11000, 1, 27500);
        Bytes badCheck = sat0;
        badCheck.back() ^= 1;
        Bytes wrongCommand = sat0;
        wrongCommand[1] = 0x21;
        // The check byte is still right, so only the address rules it out.
        const auto readdress = [&](std::uint16_t a) {
            Bytes f = sat0;
            f[2] = static_cast<std::uint8_t>(a >> 8);
            f[3] = static_cast<std::uint8_t>(a);
            f.back() = CheckByte(f.data() + 1, kFrameSize - 2);
            return f;
        };
        using V = std::vector<std::uint16_t>;
        QTest::newRow("satellite") << sat0 << V{0x0800} << 0;
        QTest::newRow("two frames in one chunk") << Join({sat0, tp9}) << V{0x0800, 0x0A90} << 0;
        QTest::newRow("garbage before")
            << Join({Bytes{0x00, 0x13, 0xFA, 0xFA}, tp9}) << V{0x0A90} << 2;
        QTest::newRow("bad check byte, then a good frame")
            << Join({badCheck, tp9}) << V{0x0A90} << 1;
        QTest::newRow("wrong command") << Join({wrongCommand, tp9}) << V{0x0A90} << 1;
        QTest::newRow("below memory") << Join({readdress(0x07F0), tp9}) << V{0x0A90} << 1;
        QTest::newRow("last record") << readdress(0x19F0) << V{0x19F0} << 0;
        QTest::newRow("past memory") << Join({readdress(0x1A00), tp9}) << V{0x0A90} << 1;
        QTest::newRow("not a record address") << Join({readdress(0x0805), tp9}) << V{0x0A90} << 1;
    }
    void storesValidFramesOnly() {
        QFETCH(Bytes, input);
        QFETCH(std::vector<std::uint16_t>, stored);
        QFETCH(int, bad);
        Meter m;
        QCOMPARE(Feed(m, input), stored);
        QCOMPARE(m.BadFrames(), bad);
        QCOMPARE(m.RecordsStored(), int(stored.size()));
        QCOMPARE(m.Pending(), std::size_t(0));
    }

    void reassemblesAFrameSplitByteByByte() {
        const Bytes tp0 = TPFrame(0, "Çay", 10700, 0, 2000);
        Meter m;
        for (std::size_t i = 0; i + 1 < tp0.size(); ++i)
            QVERIFY(m.Receive(&tp0[i], 1).empty());
        QCOMPARE(m.Receive(&tp0.back(), 1), std::vector<std::uint16_t>{0x0A00});
        QVERIFY(m.Holds(32));
        QCOMPARE(m.SlotsHeld(), 1);
        const Bytes payload(tp0.begin() + 4, tp0.end() - 1);
        QVERIFY(std::equal(payload.begin(), payload.end(), m.Memory().begin() + 0x200));
        // Untouched memory stays erased.
        QCOMPARE(m.Memory()[0], kErased);
    }

    void acknowledgementBytes() {
        QCOMPARE(Ackd(0x0800), (Bytes{0xFA, 0x21, 0x08, 0x00, 0x29}));
        QCOMPARE(Ackd(0x19F0), (Bytes{0xFA, 0x21, 0x19, 0xF0, 0xC8}));
        QCOMPARE(Ackd(0x0800, kAckCommandOld), (Bytes{0xFA, 0x11, 0x08, 0x00, 0x19}));
    }

    void listingDecodesTheDeviceLetters() {
        Meter m;
        Feed(m, Join({SatFrame(0, "Doğu İŞÇ"), TPFrame(9, "Öz ü", 11000, 2, 27500)}));
        const auto lines = Listing(m);
        QCOMPARE(lines.size(), std::size_t(2));
        QVERIFY2(lines[0].find("sat  0") == 0, lines[0].c_str());
        QVERIFY2(lines[0].find("\"Doğu İŞÇ\"") != std::string::npos, lines[0].c_str());
        QVERIFY2(lines[1].find("tp   9 (sat  2 #2)  11000 MHz  pol 1  27500 kS/s  \"Öz ü\"") == 0,
                 lines[1].c_str());
    }

    void faultsFollowTheirCounts() {
        Faults f;
        f.dropEvery = 3;
        f.repeatEvery = 2;
        AckPlanner p(f);
        const Bytes ack = Ackd(0x0800);
        QCOMPARE(p.Plan(0x0800).size(), std::size_t(1)); // 1
        const auto repeated = p.Plan(0x0800);            // 2: twice
        QCOMPARE(repeated.size(), std::size_t(2));
        QCOMPARE(repeated[1].bytes, ack);
        QVERIFY(p.Plan(0x0800).empty()); // 3: dropped
        QCOMPARE(p.Sent(), 3);
        QCOMPARE(p.Dropped(), 1);
    }

    void dropOnceLosesOnlyThatAcknowledgement() {
        Faults f;
        f.dropOnce = 2;
        AckPlanner p(f);
        QCOMPARE(p.Plan(0x0800).size(), std::size_t(1));
        QVERIFY(p.Plan(0x0810).empty());
        for (int i = 0; i < 300; ++i)
            QCOMPARE(p.Plan(0x0800).size(), std::size_t(1));
        QCOMPARE(p.Dropped(), 1);
    }

    void splitAcknowledgementPausesBetweenItsHalves() {
        Faults f;
        f.split = true;
        f.command = kAckCommandOld;
        AckPlanner p(f);
        const auto w = p.Plan(0x0A00);
        QCOMPARE(w.size(), std::size_t(2));
        QCOMPARE(w[0].pauseMs, 0);
        QVERIFY(w[1].pauseMs > 50);
        QCOMPARE(Join({w[0].bytes, w[1].bytes}), Ackd(0x0A00, kAckCommandOld));
    }

    void noiseNeverHoldsAStartByte() {
        Faults f;
        f.noiseEvery = 1;
        AckPlanner p(f);
        for (int i = 0; i < 2000; ++i) {
            const auto w = p.Plan(0x0800);
            QCOMPARE(w.size(), std::size_t(1));
            const Bytes& b = w[0].bytes;
            QVERIFY(b.size() > kAckSize);
            QCOMPARE(Bytes(b.end() - kAckSize, b.end()), Ackd(0x0800));
            QVERIFY(std::find(b.begin(), b.end() - kAckSize, kStartByte) == b.end() - kAckSize);
        }
    }
};

QTEST_APPLESS_MAIN(TestMeter)
#include "test_meter.moc"
