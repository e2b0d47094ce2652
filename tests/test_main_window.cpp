#include "ErrorBox.h"
#include "Fonts.h"
#include "Unit1.h"
#include "support/ChannelFiles.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        vorlek::ui::LoadWindowFonts();
        // These windows find no database beside the test; that error is not what is tested here.
        vorlek::ui::SetErrorBoxPresenter([](const vorlek::ui::ErrorBoxContent&) {});
    }

    // Started from another folder, the program still opens the file beside itself.
    void databaseIsLookedForBesideTheExecutable() {
        QTemporaryDir cwd;
        testing::CreateChannelFile(cwd.path());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        QStringList shown;
        vorlek::ui::SetErrorBoxPresenter(
            [&](const vorlek::ui::ErrorBoxContent& c) { shown << c.text; });
        {
            TForm1 form;
            QVERIFY(!form.ADOQ_SatList.Active());
        }
        vorlek::ui::SetErrorBoxPresenter([](const vorlek::ui::ErrorBoxContent&) {});
        QDir::setCurrent(previous);
        QCOMPARE(shown, QStringList{"Could not find file '" +
                                    QCoreApplication::applicationDirPath() + "/VorlekII.mdb'."});
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("CB_Port") << "CB_Port" << QRect(0, 8, 89, 21);
        QTest::newRow("BT_CONNECT") << "BT_CONNECT" << QRect(96, 0, 75, 33);
        QTest::newRow("Label1") << "Label1" << QRect(208, 0, 107, 35);
        QTest::newRow("BT_SEND") << "BT_SEND" << QRect(344, 0, 145, 33);
        QTest::newRow("PageControl1") << "PageControl1" << QRect(0, 40, 505, 673);
        QTest::newRow("cxPB_Sat") << "cxPB_Sat" << QRect(8, 8, 481, 21);
        QTest::newRow("cxGrid1") << "cxGrid1" << QRect(8, 40, 481, 585);
    }
    void geometry() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        TForm1 form;
        auto* widget = form.findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->geometry(), geometry);
    }

    void windowIsFixedAndTitled() {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Digital Vorlek"));
        QCOMPARE(form.size(), QSize(505, 713));
        QCOMPARE(form.minimumSize(), QSize(505, 713));
        QCOMPARE(form.maximumSize(), QSize(505, 713));
        QCOMPARE(form.palette().color(form.backgroundRole()),
                 form.palette().color(QPalette::Button));
        // Every control lies inside the client area.
        for (QWidget* w : {static_cast<QWidget*>(form.CB_Port), static_cast<QWidget*>(form.BT_SEND),
                           static_cast<QWidget*>(form.PageControl1)})
            QVERIFY(form.rect().contains(w->geometry()));
    }

    void captionsAndFonts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::newRow("Connect") << "BT_CONNECT"
                                 << "Connect" << 11 << false;
        QTest::newRow("UPLOAD") << "BT_SEND"
                                << "UPLOAD" << 15 << true;
        QTest::newRow("FINISH") << "Label1"
                                << "FINISH" << 29 << true;
    }
    void captionsAndFonts() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        TForm1 form;
        auto* widget = form.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->property("text").toString(), caption);
        QCOMPARE(widget->font().pixelSize(), pixels);
        QCOMPARE(widget->font().bold(), bold);
        if (QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
            QCOMPARE(QFontInfo(widget->font()).family(), QStringLiteral("Tahoma"));
    }

    void windowFontIsTahoma11() {
        TForm1 form;
        QCOMPARE(form.font().pixelSize(), 11);
        QCOMPARE(form.cxPB_Sat->font().pixelSize(), 11);
        QCOMPARE(form.font().family(), vorlek::ui::LoadWindowFonts());
    }

    void finishIsLimeAndHidden() {
        TForm1 form;
        QVERIFY(form.Label1->isHidden());
        QCOMPARE(form.Label1->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        // Drawn in lime when shown, whatever roles the window's colours take.
        form.Label1->show();
        const QImage image = form.grab().toImage();
        int lime = 0;
        for (int y = 0; y < 35; ++y) {
            for (int x = 208; x < 315; ++x)
                lime += image.pixelColor(x, y) == QColor(0, 255, 0);
        }
        QVERIFY(lime > 50);
        QCOMPARE(form.Timer1->interval(), 300);
        QVERIFY(!form.Timer1->isActive());
    }

    void portBox() {
        TForm1 form;
        QVERIFY(form.CB_Port->isEditable());
        QCOMPARE(form.CB_Port->currentText(), QStringLiteral("COM1"));
        QVERIFY(form.CB_Port->count() >= 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(form.CB_Port->itemText(i), QStringLiteral("COM%1").arg(i + 1));
        for (int i = 8; i < form.CB_Port->count(); ++i)
            QVERIFY(form.CB_Port->itemText(i).startsWith(QStringLiteral("/dev/")));
    }

    // The serial devices found are looked for when the list opens; what was
    // typed stays.
    void portBoxLooksForDevicesWhenOpened() {
        TForm1 form;
        form.show();
        form.CB_Port->setEditText(QStringLiteral("/dev/typed"));
        form.CB_Port->showPopup();
        form.CB_Port->hidePopup();
        QCOMPARE(form.CB_Port->currentText(), QStringLiteral("/dev/typed"));
        QVERIFY(form.CB_Port->count() >= 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(form.CB_Port->itemText(i), QStringLiteral("COM%1").arg(i + 1));
        for (int i = 8; i < form.CB_Port->count(); ++i)
            QVERIFY(form.CB_Port->itemText(i).startsWith(QStringLiteral("/dev/")));
    }

    void onePageTranspondersEditor() {
        TForm1 form;
        QCOMPARE(form.PageControl1->count(), 1);
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet2);
        QCOMPARE(form.PageControl1->tabText(0), QStringLiteral("Transponder Editor"));
        QCOMPARE(form.cxPB_Sat->parentWidget(), form.TabSheet2);
        QCOMPARE(form.cxGrid1->parentWidget(), form.TabSheet2);
    }

    void tabLightsUpUnderTheMouse() {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTabBar* bar = form.PageControl1->tabBar();
        const QPoint outside = bar->tabRect(0).bottomRight() + QPoint(40, -2);
        QTest::mouseMove(bar, outside);
        QTRY_VERIFY_WITH_TIMEOUT(!bar->underMouse(), 2000);
        const QImage plain = bar->grab(bar->tabRect(0)).toImage();
        QTest::mouseMove(bar, bar->tabRect(0).center());
        QTRY_VERIFY_WITH_TIMEOUT(bar->grab(bar->tabRect(0)).toImage() != plain, 2000);
    }

    void keyboardOrder() {
        TForm1 form;
        const QList<QWidget*> named = {form.BT_CONNECT, form.CB_Port,  form.PageControl1,
                                       form.cxGrid1,    form.cxPB_Sat, form.BT_SEND};
        // Each widget in the chain counts as the innermost named widget it belongs to.
        auto owner = [&](QWidget* w) -> QWidget* {
            for (; w && w != &form; w = w->parentWidget()) {
                if (named.contains(w))
                    return w;
            }
            return nullptr;
        };
        QList<QWidget*> order;
        QWidget* w = form.BT_CONNECT;
        do {
            QWidget* o = owner(w);
            if (o && !order.contains(o))
                order << o;
            w = w->nextInFocusChain();
        } while (w != form.BT_CONNECT);
        QCOMPARE(order, named);
    }

    void setProgressClampsAndShowsPercent_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << 0 << 0 << "0 %";
        QTest::newRow("half") << 144 << 144 << "50 %";
        QTest::newRow("end of an upload") << 286 << 286 << "100 %";
        QTest::newRow("below") << -5 << 0 << "0 %";
        QTest::newRow("above") << 1000 << 287 << "100 %";
    }
    void setProgressClampsAndShowsPercent() {
        QFETCH(int, position);
        QFETCH(int, shown);
        QFETCH(QString, text);
        TForm1 form;
        QCOMPARE(form.cxPB_Sat->text(), QStringLiteral("0 %"));
        form.SetProgress(position);
        QCOMPARE(form.cxPB_Sat->value(), shown);
        QCOMPARE(form.cxPB_Sat->text(), text);
    }

    void timerBlinksFinish() {
        TForm1 form;
        form.Timer1Timer();
        QVERIFY(!form.Label1->isHidden());
        form.Timer1Timer();
        QVERIFY(form.Label1->isHidden());
        // The timer itself drives it.
        form.Timer1->setInterval(10);
        form.Timer1->start();
        QTRY_VERIFY_WITH_TIMEOUT(!form.Label1->isHidden(), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(form.Label1->isHidden(), 2000);
    }

    void uploadStopsTheBlinking() {
        TForm1 form;
        form.Label1->show();
        form.Timer1->start();
        // Without a database the send that follows fails; the blinking stops first.
        vorlek::ui::RunShowingErrors([&] { QTest::mouseClick(form.BT_SEND, Qt::LeftButton); });
        QVERIFY(form.Label1->isHidden());
        QVERIFY(!form.Timer1->isActive());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
