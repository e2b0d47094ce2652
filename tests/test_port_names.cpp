#include "PortNames.h"

#include <QTest>

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(Names)

namespace {
Names Com() {
    return {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
}
Names Com(const Names& extra) {
    Names n = Com();
    n.insert(n.end(), extra.begin(), extra.end());
    return n;
}
} // namespace

class TestPortNames : public QObject {
    Q_OBJECT
private slots:
    void choices_data() {
        QTest::addColumn<Names>("found");
        QTest::addColumn<Names>("offered");
        QTest::newRow("nothing found") << Names{} << Com();
        QTest::newRow("the COM ports themselves")
            << Names{"/dev/ttyS0", "/dev/ttyS3", "/dev/ttyS7"} << Com();
        QTest::newRow("a ninth serial port") << Names{"/dev/ttyS8"} << Com({"/dev/ttyS8"});
        QTest::newRow("usb adapters after COM8, in natural order")
            << Names{"/dev/ttyUSB10", "/dev/ttyS1", "/dev/ttyUSB2", "/dev/ttyACM0"}
            << Com({"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10"});
        QTest::newRow("duplicates once")
            << Names{"/dev/ttyUSB0", "/dev/ttyUSB0"} << Com({"/dev/ttyUSB0"});
        QTest::newRow("names already offered, and empty ones")
            << Names{"COM3", "", "/dev/ttyS01"} << Com({"/dev/ttyS01"});
        QTest::newRow("a pseudo-terminal") << Names{"/dev/pts/3"} << Com({"/dev/pts/3"});
    }
    void choices() {
        QFETCH(Names, found);
        QFETCH(Names, offered);
        QCOMPARE(vorlek::ui::PortChoices(found), offered);
    }
};

QTEST_APPLESS_MAIN(TestPortNames)
#include "test_port_names.moc"
