#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <vector>

// The grid's colours and fonts. A style sets only what it names; a column's
// style is laid over the row's.
namespace vorlek::ui {

struct GridStyle {
    std::optional<QColor> Color;     // background
    std::optional<QColor> TextColor; // foreground
    std::optional<QFont> Font;

    // This style laid over `below`.
    GridStyle Over(const GridStyle& below) const;
};

struct GridStyleRepository {
    std::vector<const GridStyle*> Styles;
};

// Verdana at a pixel size, or the closest sans-serif family installed.
QFont GridFont(int pixelSize, bool bold);

} // namespace vorlek::ui
