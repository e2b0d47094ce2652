#pragma once

#include "GridModels.h"

#include <QPointer>
#include <QStyledItemDelegate>
#include <map>

class QStyle;

// Paints the grid's cells in their styles and runs their in-place editors:
// which editor a column gets, when an edit begins (the first keystroke puts
// the row into editing), and when the editor's text is accepted, refused
// ("Value out of bounds", the editor staying open with its text selected)
// or abandoned (Escape).
namespace vorlek::ui {

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // `grid` is the widget the views live in; `style` draws the editors.
    GridDelegate(QWidget* grid, QStyle* style, QObject* parent = nullptr);

    // The width of the drop-down button drawn in every lookup cell.
    static constexpr int kButtonWidth = 15;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // The editor open in the grid, if any.
    QWidget* OpenEditor() const;
    // Whether the open editor's text may be accepted as it stands.
    bool Acceptable(QWidget* editor) const;
    // An open editor whose text would be refused.
    bool HoldsRefusedText() const;
    // A click meant for another cell while the open editor holds refused
    // text: the editor takes the focus back and the error is raised.
    void RefuseOpenEditor();
    // Writes the open editor's text into its row when it may be accepted,
    // then closes it; a refused text is abandoned.
    void FinishEditing();

    // The height of one row in a font.
    static int RowHeight(const QFont& font);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    struct Editing {
        QPointer<QWidget> editor;
        QPersistentModelIndex index;
        bool loaded = false;
        QString initialText;
        QVariant initialKey;
    };
    Editing* EditingOf(QObject* watched) const;
    [[noreturn]] void Refuse(QWidget* editor) const;
    bool Changed(const Editing& e) const;

    QWidget* grid_;
    QStyle* style_;
    mutable std::map<const QObject*, Editing> editing_;
};

} // namespace vorlek::ui
