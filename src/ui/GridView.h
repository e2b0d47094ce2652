#pragma once

#include "Dataset.h"
#include "GridNumbers.h"
#include "GridStyles.h"

#include <QString>
#include <algorithm>
#include <vector>

// What the grid shows: levels, table views over data sources, and their
// columns, described the way the grid was designed. The models, the delegate
// and the widgets read these descriptions.
namespace vorlek::ui {

enum class ColumnEditor { Label, Text, Number, Lookup };

struct GridColumn {
    QString Name;
    QString Caption;
    store::Field* Field = nullptr;
    ColumnEditor Editor = ColumnEditor::Label;
    int Width = 64;
    int MinWidth = 0;
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    const GridStyle* Style = nullptr;
    bool Visible = true;
    int MaxLength = 0;
    NumberRules Number;
    // A lookup column shows ListField of the LookupSource row whose KeyField
    // equals the stored value.
    store::DataSource* LookupSource = nullptr;
    const store::Field* KeyField = nullptr;
    const store::Field* ListField = nullptr;
    int DropDownRows = 8;

    bool Editable() const { return Editor != ColumnEditor::Label; }
};

struct GridTableView {
    QString Name;
    store::DataSource* DataSource = nullptr;
    std::vector<GridColumn*> Columns;
    // Rows alternate between these by record index (even, odd).
    const GridStyle* EvenRowStyle = nullptr;
    const GridStyle* OddRowStyle = nullptr;
    // A detail view shows the rows whose DetailKey equals the master's MasterKey.
    const store::Field* DetailKey = nullptr;
    const store::Field* MasterKey = nullptr;

    const GridStyle& RowStyle(int record) const {
        return *(record % 2 == 0 ? EvenRowStyle : OddRowStyle);
    }
};

struct GridLevel {
    QString Name;
    QString Caption;
    GridTableView* GridView = nullptr;
    GridLevel* Parent = nullptr;
};

} // namespace vorlek::ui

namespace vorlek::ui {

// Automatic column width: the widths scaled to fill `available`, each at
// least its minimum; the last column takes what rounding leaves.
inline std::vector<int> ShareWidths(const std::vector<int>& widths,
                                    const std::vector<int>& minimums, int available) {
    std::vector<int> out(widths.size(), 0);
    long long total = 0;
    for (int w : widths)
        total += w > 0 ? w : 0;
    if (widths.empty() || total <= 0 || available <= 0)
        return out;
    int used = 0;
    for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
        const int scaled = static_cast<int>(static_cast<long long>(widths[i]) * available / total);
        out[i] = std::max(scaled, i < minimums.size() ? minimums[i] : 0);
        used += out[i];
    }
    out.back() = std::max(available - used, minimums.size() >= widths.size() ? minimums.back() : 0);
    return out;
}

} // namespace vorlek::ui
