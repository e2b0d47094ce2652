#include "GridStyles.h"

#include <QFontDatabase>

namespace vorlek::ui {

GridStyle GridStyle::Over(const GridStyle& below) const {
    GridStyle out = below;
    if (Color)
        out.Color = Color;
    if (TextColor)
        out.TextColor = TextColor;
    if (Font)
        out.Font = Font;
    return out;
}

QFont GridFont(int pixelSize, bool bold) {
    const QStringList families = QFontDatabase::families();
    QString family = QStringLiteral("Verdana");
    for (const QString& candidate : {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                                     QStringLiteral("Liberation Sans"), QStringLiteral("Arial")}) {
        if (families.contains(candidate, Qt::CaseInsensitive)) {
            family = candidate;
            break;
        }
    }
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace vorlek::ui
