// Saves a picture of the window in the middle of an upload, on the default
// channel list with the first satellite opened:
//   window_screenshot FILE.png
#include "ErrorBox.h"
#include "Fonts.h"
#include "Unit1.h"
#include "support/ChannelFiles.h"

#include <QApplication>
#include <QTemporaryDir>
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
    QTemporaryDir dir;
    testing::CreateChannelFile(dir.path());
    TForm1 form(nullptr, dir.path() + '/');
    form.SetProgress(144);
    form.Label1->show();
    form.cxGrid1->SetExpanded(0, true);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 5000))
        return 1;
    QTest::qWait(200);
    return form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
