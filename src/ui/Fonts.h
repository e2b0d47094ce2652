#pragma once

#include <QFont>
#include <QString>

namespace vorlek::ui {

// The window is drawn in Tahoma. Debian's fonts-wine ships it without telling
// fontconfig, so it is loaded from its file; without it the closest sans stands in.
// Safe to call more than once; returns the family the window's fonts use.
QString LoadWindowFonts();

// A font of the window's family, `pixels` high.
QFont WindowFont(int pixels, bool bold = false);

} // namespace vorlek::ui
