#include "UploadSequencer.h"

#include <QTest>

using namespace vorlek;

Q_DECLARE_METATYPE(vorlek::UploadAction)

class TestUploadSequencer : public QObject {
    Q_OBJECT
private slots:
    void dispatch_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<UploadAction>("action");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("progress");
        const auto Sat = UploadAction::SendSatellite;
        const auto TP = UploadAction::SendTransponder;
        QTest::newRow("first ack") << 0x0800 << Sat << 1 << 0;
        QTest::newRow("one below the region") << 0x07F0 << Sat << 0 << -1;
        QTest::newRow("truncates toward zero") << 0x07E1 << Sat << 0 << -1;
        QTest::newRow("negative slot") << 0x07E0 << Sat << -1 << -2;
        QTest::newRow("code 0") << 0x0000 << Sat << -127 << -128;
        QTest::newRow("not a multiple of 16") << 0x0805 << Sat << 1 << 0;
        QTest::newRow("satellite 31") << 0x09E0 << Sat << 31 << 30;
        QTest::newRow("last satellite stored") << 0x09F0 << TP << 0 << 31;
        QTest::newRow("odd code just below the TP region") << 0x09F5 << TP << 1 << 32;
        QTest::newRow("first transponder") << 0x0A00 << TP << 1 << 32;
        QTest::newRow("0x0A05") << 0x0A05 << TP << 1 << 32;
        QTest::newRow("transponder 255") << 0x19E0 << TP << 255 << 286;
        QTest::newRow("finish") << 0x19F0 << UploadAction::Finish << 0 << 0;
        QTest::newRow("finish range end") << 0x1DEF << UploadAction::Finish << 0 << 0;
        QTest::newRow("ignored") << 0x1DF0 << UploadAction::Ignore << 0 << 0;
        QTest::newRow("ignored max") << 0xFFFF << UploadAction::Ignore << 0 << 0;
    }
    void dispatch() {
        QFETCH(int, code);
        QFETCH(UploadAction, action);
        QFETCH(int, slot);
        QFETCH(int, progress);
        const UploadStep step = DispatchCode(static_cast<std::uint16_t>(code));
        QCOMPARE(step.action, action);
        QCOMPARE(step.slot, slot);
        QCOMPARE(step.progress, progress);
    }

    void ordinaryRunVisitsEverySlotOnce() {
        // UPLOAD sends satellite 0; every acknowledgement of a stored record asks for the next.
        int sat = 1, tp = 0, finished = 0;
        auto ack = [&](int address) {
            const UploadStep s = DispatchCode(static_cast<std::uint16_t>(address));
            if (s.action == UploadAction::SendSatellite) {
                QCOMPARE(s.slot, sat++);
            } else if (s.action == UploadAction::SendTransponder) {
                QCOMPARE(s.slot, tp++);
            } else {
                QCOMPARE(s.action, UploadAction::Finish);
                ++finished;
            }
        };
        for (int s = 0; s < 32; ++s)
            ack(0x0800 + 16 * s);
        for (int t = 0; t < 256; ++t)
            ack(0x0A00 + 16 * t);
        QCOMPARE(sat, 32);
        QCOMPARE(tp, 256);
        QCOMPARE(finished, 1);
    }

    void progressText_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("clamped");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << 0 << 0 << "0 %";
        QTest::newRow("rounds down") << 1 << 1 << "0 %";
        QTest::newRow("rounds up") << 2 << 2 << "1 %";
        QTest::newRow("half") << 144 << 144 << "50 %";
        QTest::newRow("end of upload") << 286 << 286 << "100 %";
        QTest::newRow("max") << 287 << 287 << "100 %";
        QTest::newRow("below") << -128 << 0 << "0 %";
        QTest::newRow("above") << 9999 << 287 << "100 %";
    }
    void progressText() {
        QFETCH(int, position);
        QFETCH(int, clamped);
        QFETCH(QString, text);
        QCOMPARE(ClampProgress(position), clamped);
        QCOMPARE(QString::fromStdString(ProgressText(position)), text);
    }
};

QTEST_APPLESS_MAIN(TestUploadSequencer)
#include "test_upload_sequencer.moc"
