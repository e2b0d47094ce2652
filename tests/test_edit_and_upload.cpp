// A user's session end to end: open a satellite, change a transponder's
// name, frequency and polarisation in the grid, press UPLOAD - the file holds
// the new values and the meter receives them.
#include "Application.h"
#include "MeterProcess.h"
#include "Unit1.h"
#include "jet/JetTestSupport.h"
#include "support/ChannelFiles.h"
#include "support/ShownErrors.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

constexpr int kDescr = 2, kFrequency = 3, kPolarisation = 4;

void FocusCell(QAbstractItemView* view, const QModelIndex& index) {
    view->setFocus(Qt::MouseFocusReason);
    view->setCurrentIndex(index);
}

void Type(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void Press(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class TestEditAndUpload : public QObject {
    Q_OBJECT
private slots:
    void editedTransponderIsWrittenAndSent() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTemporaryDir dir;
        const QString db = testing::CreateChannelFile(dir.path());
        const QString dump = dir.filePath("memory.bin");
        vorlek::meter::MeterProcess meter;
        QVERIFY(
            meter.Start(QStringLiteral(VORLEK_BINARY_DIR "/bin/vorlek-meter"), {"--dump", dump}));
        const QString port = meter.path;

        ShownErrors shown;
        const QStringList& errors = shown.texts;
        TForm1 form(nullptr, dir.path() + '/');
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        QTreeView* satellites = form.cxGrid1->SatelliteView();
        const QRect first = satellites->visualRect(satellites->model()->index(0, 1));
        QTest::mouseDClick(satellites->viewport(), Qt::LeftButton, {}, first.center());
        QTRY_VERIFY(form.cxGrid1->TransponderView(0) != nullptr);
        QTableView* tps = form.cxGrid1->TransponderView(0);
        QCoreApplication::processEvents();

        // Transponder 2 of satellite 1: Digiturk, 11794 V.
        FocusCell(tps, tps->model()->index(1, kDescr));
        Type("Yeni Kanal");
        Press(Qt::Key_Return);
        FocusCell(tps, tps->model()->index(1, kFrequency));
        Type("12750");
        Press(Qt::Key_Return);
        FocusCell(tps, tps->model()->index(1, kPolarisation));
        Type("h"); // the list's entry starting with it: Horizontal
        Press(Qt::Key_Return);
        // An out-of-range frequency on another row is refused and goes nowhere.
        FocusCell(tps, tps->model()->index(2, kFrequency));
        Type("12751");
        Press(Qt::Key_Return);
        QCOMPARE(errors, QStringList{"Value out of bounds."});
        Press(Qt::Key_Escape);

        form.CB_Port->setEditText(port);
        QTest::mouseClick(form.BT_CONNECT, Qt::LeftButton);
        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(form.Timer1->isActive(), 60000);
        QCOMPARE(errors, QStringList{"Value out of bounds."});
        form.close();

        const QString listing = meter.Stop();
        QVERIFY2(listing.contains("Yeni Kanal"), qPrintable(listing));
        QFile image(dump);
        QVERIFY(image.open(QIODevice::ReadOnly));
        QCOMPARE(image.readAll(), testing::ExpectedMeterImage(db));

        if (!jettest::HaveMdbTools())
            QSKIP("mdb-export not installed: the file was checked through the meter only");
        const auto rows = jettest::ParseCsv(jettest::MdbExport(db, "T_TPList"));
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [](const auto& r) { return r[0] == "1" && r[1] == "2"; });
        QVERIFY(row != rows.end());
        QCOMPARE(*row, (std::vector<std::string>{"1", "2", "Yeni Kanal", "12750", "0", "30000"}));
        const auto third = std::find_if(rows.begin(), rows.end(),
                                        [](const auto& r) { return r[0] == "1" && r[1] == "3"; });
        QCOMPARE((*third)[3], std::string("11054"));
    }
};

int main(int argc, char** argv) {
    VorlekApplication app(argc, argv);
    TestEditAndUpload test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_edit_and_upload.moc"
