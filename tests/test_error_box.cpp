#include "Application.h"
#include "ErrorBox.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

using vorlek::ui::ErrorBoxContent;

namespace {

// Records what would have been shown instead of opening a modal box.
struct ShownBoxes {
    QList<ErrorBoxContent> boxes;
    vorlek::ui::ErrorBoxPresenter previous;
    ShownBoxes() {
        previous =
            vorlek::ui::SetErrorBoxPresenter([this](const ErrorBoxContent& c) { boxes << c; });
    }
    ~ShownBoxes() { vorlek::ui::SetErrorBoxPresenter(previous); }
};

} // namespace

class TestErrorBox : public QObject {
    Q_OBJECT
private slots:
    void text_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Value out of bounds"
                                << "Value out of bounds.";
        QTest::newRow("already a full stop") << "Done."
                                             << "Done.";
        QTest::newRow("quote mark") << "Could not find file 'x.mdb'."
                                    << "Could not find file 'x.mdb'.";
        QTest::newRow("closing quote") << "Could not find file 'x.mdb'"
                                       << "Could not find file 'x.mdb'";
        QTest::newRow("question mark sorts after") << "Why?"
                                                   << "Why?.";
        QTest::newRow("digit sorts after") << "Error 42"
                                           << "Error 42.";
        QTest::newRow("slash sorts after") << "a/"
                                           << "a/.";
        QTest::newRow("hyphen sorts before") << "a-"
                                             << "a-";
        QTest::newRow("closing bracket sorts before") << "(a)"
                                                      << "(a)";
        QTest::newRow("space sorts before") << "a "
                                            << "a ";
        QTest::newRow("exclamation sorts before") << "Stop!"
                                                  << "Stop!";
        QTest::newRow("non-ASCII letter")
            << QString::fromUtf8("Uydu ş") << QString::fromUtf8("Uydu ş.");
        QTest::newRow("empty stays empty") << ""
                                           << "";
    }
    void text() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(vorlek::ui::ErrorBoxText(message.toStdString())), shown);
    }

    void title_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("lower") << "/opt/vorlek/vorlek"
                               << "Vorlek";
        QTest::newRow("upper") << "/opt/VORLEK"
                               << "Vorlek";
        QTest::newRow("mixed") << "vOrLeK"
                               << "Vorlek";
        QTest::newRow("extension dropped") << "C:/Tools/Project2.exe"
                                           << "Project2";
        QTest::newRow("only the last extension") << "/x/vorlek.bin.exe"
                                                 << "Vorlek.bin";
        QTest::newRow("folder names ignored") << "/Some.Dir/VORLEK"
                                              << "Vorlek";
        QTest::newRow("non-ASCII") << QString::fromUtf8("/x/ÇIZER") << QString::fromUtf8("Çizer");
        QTest::newRow("one letter") << "/x/v"
                                    << "V";
        QTest::newRow("empty") << ""
                               << "";
    }
    void title() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(vorlek::ui::ApplicationTitle(path), title);
    }

    void boxHasErrorIconOkAndTheTitle() {
        ShownBoxes shown;
        vorlek::ui::ShowErrorBox("Value out of bounds");
        QCOMPARE(shown.boxes.size(), 1);
        const ErrorBoxContent& box = shown.boxes.first();
        QCOMPARE(box.text, QStringLiteral("Value out of bounds."));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.caption, QStringLiteral("Test_error_box"));
    }

    void exceptionFromAClickIsShownAndTheLoopGoesOn() {
        ShownBoxes shown;
        QPushButton button(QStringLiteral("Go"));
        int clicks = 0;
        connect(&button, &QPushButton::clicked, [&] {
            ++clicks;
            throw std::runtime_error("Cannot perform this operation on a closed dataset");
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(shown.boxes.size(), 1);
        QCOMPARE(shown.boxes.first().text,
                 QStringLiteral("Cannot perform this operation on a closed dataset."));
        QCOMPARE(shown.boxes.first().icon, QMessageBox::Critical);
        QCOMPARE(shown.boxes.first().caption, QStringLiteral("Test_error_box"));

        // The loop still delivers events: a timer fires, and the button works again.
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        QTRY_VERIFY_WITH_TIMEOUT(fired, 2000);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QCOMPARE(shown.boxes.size(), 2);
    }

    void exceptionFromATimerIsShown() {
        ShownBoxes shown;
        QTimer::singleShot(0, [] { throw std::runtime_error("tick"); });
        QTRY_COMPARE_WITH_TIMEOUT(shown.boxes.size(), 1, 2000);
        QCOMPARE(shown.boxes.first().text, QStringLiteral("tick."));
    }

    void errorWhileCreatingIsShownAndTheRestRuns() {
        ShownBoxes shown;
        bool after = false;
        QVERIFY(
            !vorlek::ui::RunShowingErrors([] { throw std::runtime_error("Could not find file"); }));
        QVERIFY(vorlek::ui::RunShowingErrors([&] { after = true; }));
        QVERIFY(after);
        QCOMPARE(shown.boxes.size(), 1);
        QCOMPARE(shown.boxes.first().text, QStringLiteral("Could not find file."));
    }

    void realBoxIsModalWithErrorIconAndOk() {
        // Without the hook the box is a real QMessageBox; close it from a timer.
        QMessageBox* seen = nullptr;
        QString text, caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = box;
            text = box->text();
            caption = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
            QTest::keyClick(box, Qt::Key_Enter);
            if (box->isVisible())
                box->done(QMessageBox::Ok);
        });
        closer.start();
        QTimer::singleShot(5000, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        vorlek::ui::ShowErrorBox("Value out of bounds");
        closer.stop();
        QVERIFY(seen);
        QCOMPARE(text, QStringLiteral("Value out of bounds."));
        QCOMPARE(caption, QStringLiteral("Test_error_box"));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

int main(int argc, char** argv) {
    VorlekApplication app(argc, argv);
    TestErrorBox test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_error_box.moc"
