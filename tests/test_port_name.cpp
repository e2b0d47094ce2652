#include "PortName.h"

#include <QTest>

using namespace vorlek;

class TestPortName : public QObject {
    Q_OBJECT
private slots:
    void mapping_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << "COM1"
                              << "/dev/ttyS0";
        QTest::newRow("COM7") << "COM7"
                              << "/dev/ttyS6";
        QTest::newRow("COM8") << "COM8"
                              << "/dev/ttyS7";
        QTest::newRow("COM9 is typed text") << "COM9"
                                            << "COM9";
        QTest::newRow("COM0 is typed text") << "COM0"
                                            << "COM0";
        QTest::newRow("COM10 is typed text") << "COM10"
                                             << "COM10";
        QTest::newRow("lower case is typed text") << "com1"
                                                  << "com1";
        QTest::newRow("USB adapter") << "/dev/ttyUSB0"
                                     << "/dev/ttyUSB0";
        QTest::newRow("pseudo-terminal") << "/dev/pts/3"
                                         << "/dev/pts/3";
        QTest::newRow("empty") << ""
                               << "";
    }
    void mapping() {
        QFETCH(QString, name);
        QFETCH(QString, device);
        QCOMPARE(QString::fromStdString(PortDevicePath(name.toStdString())), device);
    }
};

QTEST_APPLESS_MAIN(TestPortName)
#include "test_port_name.moc"
