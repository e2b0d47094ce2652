// Saves a picture of the window in the middle of an upload:
//   window_screenshot FILE.png
#include "ErrorBox.h"
#include "Fonts.h"
#include "Unit1.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        qCritical("usage: window_screenshot FILE.png");
        return 2;
    }
    vorlek::ui::LoadWindowFonts();
    vorlek::ui::SetErrorBoxPresenter(
        [](const vorlek::ui::ErrorBoxContent& e) { qWarning("%s", qPrintable(e.text)); });
    TForm1 form;
    form.SetProgress(144);
    form.Label1->show();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 5000))
        return 1;
    QTest::qWait(200);
    return form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
