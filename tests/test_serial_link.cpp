#include "PtyPair.h"
#include "SerialLink.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <termios.h>

using namespace vorlek;

namespace {

// Leaves the far side of the terminal in settings the meter must not see, so
// reading them back shows what the link itself applied.
void Scramble(int master) {
    termios t{};
    tcgetattr(master, &t);
    cfsetispeed(&t, B2400);
    cfsetospeed(&t, B2400);
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
    t.c_iflag |= IXON | IXOFF;
    tcsetattr(master, TCSANOW, &t);
}

bool WriteAll(int fd, const QByteArray& bytes) {
    return ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheMeterLineSettings() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        Scramble(pty.master);
        SerialLink link;
        QCOMPARE(link.PortName(), QStringLiteral("COM7"));
        QSignalSpy opened(&link, &SerialLink::OpenChanged);
        QVERIFY(link.Connect(pty.path));
        QVERIFY(link.IsOpen());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toBool(), true);

        // A master reads back the slave's settings.
        termios t{};
        QCOMPARE(tcgetattr(pty.master, &t), 0);
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));
        QCOMPARE(cfgetispeed(&t), speed_t(B9600));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & PARENB, tcflag_t(0));
        QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(0));
        QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
        QCOMPARE(t.c_lflag & (ICANON | ECHO), tcflag_t(0));
    }

    void deliversWaitingBytesAtThePollInOneSignal() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        SerialLink link;
        QVERIFY(link.Connect(pty.path));
        QSignalSpy received(&link, &SerialLink::ReceiveData);
        const QByteArray frames = QByteArray::fromHex("FA21080029FA21081039FA2108");
        QVERIFY(WriteAll(pty.master, frames.left(3)));
        QVERIFY(WriteAll(pty.master, frames.mid(3, 7)));
        QVERIFY(WriteAll(pty.master, frames.mid(10)));
        QThread::msleep(20); // no event handled while the bytes come in
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 2000);
        QTest::qWait(3 * SerialLink::kPollMs); // and nothing more follows
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toByteArray(), frames);
    }

    void discardsWhatWaitedBeforeTheOpen() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        QVERIFY(WriteAll(pty.master, QByteArray::fromHex("FA21080029")));
        SerialLink link;
        QSignalSpy received(&link, &SerialLink::ReceiveData);
        QVERIFY(link.Connect(pty.path));
        QTest::qWait(4 * SerialLink::kPollMs);
        QCOMPARE(received.count(), 0);
    }

    void connectTwiceReopensAndStillDelivers() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        SerialLink link;
        QVERIFY(link.Connect(pty.path));
        QVERIFY(link.Connect(pty.path));
        QVERIFY(link.IsOpen());
        QSignalSpy received(&link, &SerialLink::ReceiveData);
        QVERIFY(WriteAll(pty.master, "ab"));
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 2000);
    }

    void portInUseOrMissingStaysClosed() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        SerialLink first;
        QVERIFY(first.Connect(pty.path));
        SerialLink second;
        QSignalSpy opened(&second, &SerialLink::OpenChanged);
        QVERIFY(!second.Connect(pty.path));
        QVERIFY(!second.IsOpen());
        QCOMPARE(opened.count(), 0);

        // A failed later attempt closes the port that was open.
        QSignalSpy firstChanged(&first, &SerialLink::OpenChanged);
        QVERIFY(!first.Connect(QStringLiteral("/dev/vorlek-no-such-port")));
        QVERIFY(!first.IsOpen());
        QCOMPARE(firstChanged.count(), 1);
        QCOMPARE(firstChanged.at(0).at(0).toBool(), false);

        // Once the owner is gone the device is free again.
        {
            SerialLink owner;
            QVERIFY(owner.Connect(pty.path));
        }
        QVERIFY(second.Connect(pty.path));
    }

    void sendOnAClosedPortWritesNothing() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        SerialLink link;
        const std::uint8_t frame[21] = {0xFA, 0x20, 0x08, 0x00};
        QCOMPARE(link.Send(frame, sizeof frame), qint64(0));
        QVERIFY(link.Connect(pty.path));
        QCOMPARE(link.Send(frame, sizeof frame), qint64(21));
        QByteArray seen;
        QTRY_COMPARE_WITH_TIMEOUT((seen += pty.ReadAll()).size(), 21, 2000);
        QCOMPARE(seen, QByteArray(reinterpret_cast<const char*>(frame), 21));
        link.Close();
        QCOMPARE(link.Send(frame, sizeof frame), qint64(0));
        QThread::msleep(20);
        QCOMPARE(pty.ReadAll(), QByteArray());
    }

    void sendGivesUpWhenTheLineStalls() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        SerialLink link;
        QVERIFY(link.Connect(pty.path));
        // Nobody reads the master, so the terminal's buffers fill and stay full.
        const std::vector<std::uint8_t> big(4 << 20, 0x55);
        const qint64 written = link.Send(big.data(), big.size());
        QVERIFY(written > 0);
        QVERIFY(written < qint64(big.size()));
    }

    void vanishedDeviceClosesThePort() {
        PtyPair pty;
        QVERIFY(pty.Ok());
        SerialLink link;
        QVERIFY(link.Connect(pty.path));
        QSignalSpy lost(&link, &SerialLink::DeviceLost);
        QSignalSpy changed(&link, &SerialLink::OpenChanged);
        pty.CloseMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsOpen(), 2000);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), false);
        const std::uint8_t byte = 0;
        QCOMPARE(link.Send(&byte, 1), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "test_serial_link.moc"
