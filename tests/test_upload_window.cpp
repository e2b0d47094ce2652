#include "Application.h"
#include "ErrorBox.h"
#include "Meter.h"
#include "PtyPair.h"
#include "Unit1.h"
#include "support/ChannelFiles.h"
#include "support/MeterRun.h"
#include "support/ShownErrors.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kLime(0, 255, 0);

void Connect(TForm1& form, const QString& port) {
    form.CB_Port->setEditText(port);
    QTest::mouseClick(form.BT_CONNECT, Qt::LeftButton);
}

} // namespace

class TestUploadWindow : public QObject {
    Q_OBJECT
private slots:
    void wholeUpload_data() {
        QTest::addColumn<QString>("source"); // empty: the default list, as vorlek-db makes it
        QTest::newRow("default list") << QString();
        QTest::newRow("rows moved by their writer") << testing::Fixture("access/channels-b.mdb");
    }
    void wholeUpload() {
        QFETCH(QString, source);
        QTemporaryDir dir;
        QString db;
        if (source.isEmpty()) {
            db = testing::CreateChannelFile(dir.path());
        } else {
            if (!QFile::exists(source))
                QSKIP("the shared fixtures are not here");
            db = testing::CopyChannelFile(source, dir.path());
        }
        MeterRun meter;
        QVERIFY(meter.Start(dir.filePath("memory.bin")));

        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        form.show();
        Connect(form, meter.path);
        QVERIFY(form.CPD.IsOpen());
        QCOMPARE(form.BT_CONNECT->palette().color(QPalette::ButtonText), kLime);

        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(form.Timer1->isActive(), 60000);
        QCOMPARE(form.cxPB_Sat->value(), 286);
        QCOMPARE(form.cxPB_Sat->text(), QStringLiteral("100 %"));
        QVERIFY(form.Label1->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!form.Label1->isVisible(), 1000); // blinking
        QTRY_VERIFY_WITH_TIMEOUT(form.Label1->isVisible(), 1000);

        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QVERIFY(!form.Label1->isVisible());
        QVERIFY(!form.Timer1->isActive());
        form.close();
        QVERIFY(errors.texts.isEmpty());
        QCOMPARE(meter.Stop(), testing::ExpectedMeterImage(db));
    }

    // The meter alone drives the exchange: an acknowledgement of the address
    // below the first record starts it, and UPLOAD is never pressed.
    void meterDrivesAWholeUpload() {
        QTemporaryDir dir;
        const QString db = testing::CreateChannelFile(dir.path());
        PtyPair pty;
        QVERIFY(pty.Ok());
        TForm1 form(nullptr, dir.path() + '/');
        Connect(form, pty.path);
        QVERIFY(form.CPD.IsOpen());

        vorlek::meter::Meter meter;
        const auto ack = [&](std::uint16_t address) {
            const auto a = vorlek::meter::BuildAck(address);
            QCOMPARE(::write(pty.master, a.data(), a.size()), static_cast<ssize_t>(a.size()));
        };
        ack(0x07F0);
        QElapsedTimer clock;
        clock.start();
        while (!form.Timer1->isActive() && clock.elapsed() < 60000) {
            QTest::qWait(5);
            const QByteArray in = pty.ReadAll();
            for (std::uint16_t address :
                 meter.Receive(reinterpret_cast<const std::uint8_t*>(in.constData()),
                               static_cast<std::size_t>(in.size())))
                ack(address);
        }
        QVERIFY(form.Timer1->isActive());
        QCOMPARE(meter.SlotsHeld(), 288);
        QCOMPARE(meter.RecordsStored(), 288);
        const auto& memory = meter.Memory();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(memory.data()),
                            static_cast<qsizetype>(memory.size())),
                 testing::ExpectedMeterImage(db));
    }

    void startWithoutTheDatabase() {
        QTemporaryDir dir;
        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(errors.texts,
                 QStringList{"Could not find file '" + dir.filePath("VorlekII.mdb") + "'."});

        PtyPair pty;
        QVERIFY(pty.Ok());
        Connect(form, pty.path);
        QVERIFY(form.CPD.IsOpen());

        errors.texts.clear();
        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QCOMPARE(errors.texts, QStringList{"Cannot perform this operation on a closed dataset."});
        QTest::qWait(100);
        QCOMPARE(pty.ReadAll(), QByteArray());
    }

    void aFailedConnectShowsTheCaptionAsNotConnected() {
        QTemporaryDir dir;
        testing::CreateChannelFile(dir.path());
        PtyPair pty;
        TForm1 form(nullptr, dir.path() + '/');
        const QColor normal = form.BT_CONNECT->palette().color(QPalette::ButtonText);
        Connect(form, pty.path);
        QCOMPARE(form.BT_CONNECT->palette().color(QPalette::ButtonText), kLime);
        Connect(form, "/dev/does-not-exist");
        QVERIFY(!form.CPD.IsOpen());
        QCOMPARE(form.BT_CONNECT->palette().color(QPalette::ButtonText), normal);
    }

    void closingTheWindowReleasesThePort() {
        QTemporaryDir dir;
        testing::CreateChannelFile(dir.path());
        PtyPair pty;
        {
            TForm1 form(nullptr, dir.path() + '/');
            form.show();
            Connect(form, pty.path);
            QVERIFY(form.CPD.IsOpen());
            form.close();
            QVERIFY(!form.CPD.IsOpen());
            vorlek::SerialLink other;
            QVERIFY(other.Connect(pty.path));
        }
    }
};

int main(int argc, char** argv) {
    VorlekApplication app(argc, argv);
    TestUploadWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_upload_window.moc"
