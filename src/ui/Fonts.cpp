#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace vorlek::ui {

namespace {

// Only the regular face: Wine's tahomabd.ttf draws its letters with regular-weight
// strokes, and Qt's emboldening of the regular face is much closer to Tahoma Bold.
const char* const kTahomaFiles[] = {"/usr/share/wine/fonts/tahoma.ttf"};

QString LoadOnce() {
    QString family;
    for (const char* path : kTahomaFiles) {
        if (!QFile::exists(QString::fromLatin1(path)))
            continue;
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            family = families.first();
    }
    return family.isEmpty() ? QStringLiteral("DejaVu Sans") : family;
}

} // namespace

QString LoadWindowFonts() {
    static const QString family = LoadOnce();
    return family;
}

QFont WindowFont(int pixels, bool bold) {
    QFont font(LoadWindowFonts());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace vorlek::ui
