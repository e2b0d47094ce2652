#include "MeterProcess.h"
#include "RecordFrames.h"
#include "RequestReader.h"
#include "SerialLink.h"
#include "UploadSequencer.h"
#include "codepage.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <string>

using namespace vorlek;

namespace {

// A channel list standing in for the database: deterministic, with Turkish
// letters, and with values the frames have to clamp.
std::string SatName(int s) {
    return Utf8ToWindows1254("Türksat Ğİ " + std::to_string(s));
}
std::string TPName(int t) {
    return Utf8ToWindows1254("Şöç ı" + std::to_string(t));
}
TransponderValues TPValues(int t, const std::string& name) {
    return {name, 10600 + (t * 97) % 2300, t % 3 - 1 + (t % 5 == 0 ? 2 : 0),
            1500 + (t * 211) % 46000};
}

RecordFrame Frame(UploadAction action, int slot) {
    if (action == UploadAction::SendSatellite)
        return *BuildSatFrame(slot, SatName(slot));
    const std::string name = TPName(slot);
    return *BuildTPFrame(slot, TPValues(slot, name));
}

// What the meter's memory must hold after a whole upload.
QByteArray ExpectedMemory() {
    QByteArray image;
    const auto add = [&image](const RecordFrame& f) {
        image.append(reinterpret_cast<const char*>(f.data()) + 4, 16);
    };
    for (int s = 0; s < kSatSlots; ++s)
        add(Frame(UploadAction::SendSatellite, s));
    for (int t = 0; t < kTPSlots; ++t)
        add(Frame(UploadAction::SendTransponder, t));
    return image;
}

// The program's side of an upload: link, request reader and dispatch.
struct Uploader {
    SerialLink CPD;
    RequestReader reader;
    int finishes = 0;

    Uploader() {
        QObject::connect(&CPD, &SerialLink::ReceiveData, [this](const QByteArray& data) {
            reader.Receive(reinterpret_cast<const std::uint8_t*>(data.constData()),
                           static_cast<std::size_t>(data.size()),
                           [this](std::uint16_t code) { Dispatch(code); });
        });
    }
    void Send(UploadAction action, int slot) {
        const RecordFrame f = Frame(action, slot);
        CPD.Send(f.data(), f.size());
    }
    void Dispatch(std::uint16_t code) {
        const UploadStep step = DispatchCode(code);
        if (step.action == UploadAction::Finish)
            ++finishes;
        else if (step.action != UploadAction::Ignore)
            Send(step.action, step.slot);
    }
};

} // namespace

class TestMeterExchange : public QObject {
    Q_OBJECT
private slots:
    void cleanExchange() {
        Exchange({}, 1,
                 "records stored 288 (slots held 288), bad frames 0, "
                 "acknowledgements sent 288, dropped 0");
    }

    // Noise before every third acknowledgement, every one split over two polls
    // and sent with the old command byte, and the 250th sent twice. A repeat
    // makes the program send the next record twice, and the meter acknowledges
    // both copies, so from record 251 on every record travels twice: 250 +
    // 2 x 38 = 326 stored, 327 acknowledgements, and the last one, arriving
    // twice, raises the finish twice. The next repeat would be the 500th.
    void faultyExchange() {
        Exchange({"--noise-every", "3", "--split", "--cmd11", "--repeat-every", "250"}, 2,
                 "records stored 326 (slots held 288), bad frames 0, "
                 "acknowledgements sent 327, dropped 0");
    }

private:
    void Exchange(const QStringList& faults, int finishes, const QString& summary) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString dump = dir.filePath("memory.bin");
        meter::MeterProcess meter;
        QVERIFY(meter.Start(QStringLiteral(VORLEK_BINARY_DIR "/bin/vorlek-meter"),
                            QStringList{"--dump", dump} + faults));

        Uploader up;
        QVERIFY(up.CPD.Connect(meter.path));
        up.Send(UploadAction::SendSatellite, 0);
        QTRY_COMPARE_WITH_TIMEOUT(up.finishes, finishes, 120000);
        QTest::qWait(300); // nothing further is on its way
        QCOMPARE(up.finishes, finishes);
        QCOMPARE(up.reader.RxCount, 0);

        const QString out = meter.Stop();
        QCOMPARE(meter.process.exitCode(), 0);
        QVERIFY2(out.contains("vorlek-meter: " + summary), qPrintable(out));
        QVERIFY2(out.contains("sat  0  \"Türksat Ğİ 0\""), qPrintable(out));
        QVERIFY2(out.contains("tp 255 (sat 32 #8)"), qPrintable(out));
        QCOMPARE(out.count('\n'), 288 + 1);

        QFile image(dump);
        QVERIFY(image.open(QIODevice::ReadOnly));
        QCOMPARE(image.readAll(), ExpectedMemory());
    }
};

QTEST_GUILESS_MAIN(TestMeterExchange)
#include "test_meter_exchange.moc"
