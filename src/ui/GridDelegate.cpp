#include "GridDelegate.h"

#include "GridEditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <stdexcept>

namespace vorlek::ui {
namespace {

const QColor kGridLine(208, 215, 229);
const QColor kFocusFrame(49, 106, 197);
const QColor kButtonFace(221, 236, 254);
const QColor kButtonBorder(127, 157, 185);

const GridColumn* ColumnOf(const QModelIndex& index) {
    const auto* model = qobject_cast<const GridModel*>(index.model());
    return model ? model->ColumnAt(index) : nullptr;
}

QRect ButtonRect(const QRect& cell) {
    return QRect(cell.right() - GridDelegate::kButtonWidth, cell.top() + 1,
                 GridDelegate::kButtonWidth, cell.height() - 2);
}

// Also across window boundaries, so a drop-down list counts as part of its box.
bool Within(const QWidget* w, const QWidget* ancestor) {
    for (; w; w = w->parentWidget()) {
        if (w == ancestor)
            return true;
    }
    return false;
}

bool StartsEdit(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)
        return true;
    const QString text = e->text();
    return text.size() == 1 && text.at(0).isPrint() &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

void UseStyle(QWidget* w, QStyle* style) {
    w->setStyle(style);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->setStyle(style);
}

void DrawButton(QPainter* p, const QRect& r) {
    p->fillRect(r, kButtonFace);
    p->setPen(kButtonBorder);
    p->drawRect(r.adjusted(0, 0, -1, -1));
    const QPoint c = r.center();
    const QPoint arrow[] = {{c.x() - 3, c.y() - 1}, {c.x() + 4, c.y() - 1}, {c.x(), c.y() + 3}};
    p->setPen(Qt::NoPen);
    p->setBrush(Qt::black);
    p->drawPolygon(arrow, 3);
}

} // namespace

GridDelegate::GridDelegate(QWidget* grid, QStyle* style, QObject* parent)
    : QStyledItemDelegate(parent), grid_(grid), style_(style) {
    connect(this, &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget* editor) { editing_.erase(editor); });
}

int GridDelegate::RowHeight(const QFont& font) {
    return QFontMetrics(font).height() + 6;
}

void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const GridColumn* column = ColumnOf(index);
    if (!column)
        return; // a detail row: its table covers it
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    p->save();
    const QVariant background = index.data(Qt::BackgroundRole);
    p->fillRect(opt.rect, background.isValid() ? background.value<QColor>()
                                               : opt.palette.color(QPalette::Base));
    QRect textRect = opt.rect.adjusted(3, 0, -3, 0);
    if (column->Editor == ColumnEditor::Lookup) {
        textRect.setRight(textRect.right() - kButtonWidth);
        DrawButton(p, ButtonRect(opt.rect));
    }
    const QVariant foreground = index.data(Qt::ForegroundRole);
    p->setPen(foreground.isValid() ? foreground.value<QColor>()
                                   : opt.palette.color(QPalette::Text));
    p->setFont(opt.font);
    const QString text = opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, textRect.width());
    p->drawText(textRect, static_cast<int>(column->Alignment), text);
    p->setPen(kGridLine);
    p->drawLine(opt.rect.topRight(), opt.rect.bottomRight());
    p->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
    if (opt.state & QStyle::State_HasFocus) {
        p->setPen(kFocusFrame);
        p->setBrush(Qt::NoBrush);
        p->drawRect(opt.rect.adjusted(0, 0, -2, -2));
    }
    p->restore();
}

QSize GridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant hint = index.data(Qt::SizeHintRole);
    if (hint.isValid())
        return hint.toSize();
    const QVariant font = index.data(Qt::FontRole);
    const QFont f = font.isValid() ? font.value<QFont>() : option.font;
    const GridColumn* column = ColumnOf(index);
    return QSize(column ? column->Width : 0, RowHeight(f));
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    const GridColumn* column = ColumnOf(index);
    if (!column || !column->Editable())
        return nullptr;
    QWidget* editor = nullptr;
    switch (column->Editor) {
    case ColumnEditor::Text: {
        auto* edit = new QLineEdit(parent);
        if (column->MaxLength > 0)
            edit->setMaxLength(column->MaxLength);
        edit->setFrame(false);
        editor = edit;
        break;
    }
    case ColumnEditor::Number: {
        auto* edit = new NumberEdit(column->Number, SymbolsOf(QLocale()), parent);
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        editor = edit;
        break;
    }
    case ColumnEditor::Lookup: {
        auto* box = new LookupEdit(parent);
        box->setFrame(false);
        box->lineEdit()->setAlignment(Qt::AlignCenter);
        box->setMaxVisibleItems(column->DropDownRows);
        const store::Query& list = column->LookupSource->DataSet;
        if (list.Active()) {
            for (int r = 0; r < list.RecordCount(); ++r) {
                const auto* key = std::get_if<std::int64_t>(&list.ValueAt(r, *column->KeyField));
                const auto* name =
                    std::get_if<std::u16string>(&list.ValueAt(r, *column->ListField));
                if (key)
                    box->addItem(name ? QString::fromStdU16String(*name) : QString(),
                                 static_cast<qlonglong>(*key));
            }
        }
        box->lineEdit()->installEventFilter(const_cast<GridDelegate*>(this));
        box->view()->installEventFilter(const_cast<GridDelegate*>(this));
        connect(box, &QComboBox::activated, this, [this, box] {
            if (!EditingOf(box))
                return; // closed already
            emit const_cast<GridDelegate*>(this)->commitData(box);
            emit const_cast<GridDelegate*>(this)->closeEditor(box, NoHint);
        });
        editor = box;
        break;
    }
    case ColumnEditor::Label:
        return nullptr;
    }
    UseStyle(editor, style_);
    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid())
        editor->setFont(font.value<QFont>());
    editor->setAutoFillBackground(true);
    editing_[editor] = Editing{editor, index, false, {}, {}};
    connect(editor, &QObject::destroyed, this, [this](QObject* gone) { editing_.erase(gone); });
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    Editing* e = EditingOf(editor);
    // The view reloads an open editor whenever its row changes; the text the
    // user is typing must survive that.
    if (!e || e->loaded)
        return;
    e->loaded = true;
    const GridColumn* column = ColumnOf(index);
    const QVariant value = index.data(Qt::EditRole);
    if (auto* box = qobject_cast<LookupEdit*>(editor)) {
        box->SetKey(value);
        e->initialKey = box->Key();
    } else if (auto* number = qobject_cast<NumberEdit*>(editor)) {
        const std::optional<std::int64_t> n =
            value.isNull() ? std::nullopt : std::optional<std::int64_t>(value.toLongLong());
        number->setText(
            QString::fromStdU16String(FormatEditing(n, column->Number, number->Symbols())));
        e->initialText = number->text();
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(value.toString());
        e->initialText = edit->text();
    }
}

bool GridDelegate::Changed(const Editing& e) const {
    if (auto* box = qobject_cast<LookupEdit*>(e.editor))
        return box->Key() != e.initialKey;
    if (auto* edit = qobject_cast<QLineEdit*>(e.editor))
        return edit->text() != e.initialText;
    return false;
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    Editing* e = EditingOf(editor);
    if (!e || !e->loaded || !Changed(*e) || !Acceptable(editor))
        return;
    if (auto* box = qobject_cast<LookupEdit*>(editor)) {
        model->setData(index, box->Key(), Qt::EditRole);
    } else if (auto* number = qobject_cast<NumberEdit*>(editor)) {
        const auto value =
            CheckedNumber(number->text().toStdU16String(), number->Rules(), number->Symbols());
        model->setData(index, *value, Qt::EditRole);
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, edit->text(), Qt::EditRole);
    }
}

bool GridDelegate::Acceptable(QWidget* editor) const {
    const Editing* e = EditingOf(editor);
    auto* number = qobject_cast<NumberEdit*>(editor);
    if (!e || !number || !Changed(*e))
        return true;
    return CheckedNumber(number->text().toStdU16String(), number->Rules(), number->Symbols())
        .has_value();
}

QWidget* GridDelegate::OpenEditor() const {
    for (const auto& [object, e] : editing_) {
        if (e.editor && !e.editor->isHidden())
            return e.editor;
    }
    return nullptr;
}

bool GridDelegate::HoldsRefusedText() const {
    QWidget* editor = OpenEditor();
    return editor && !Acceptable(editor);
}

void GridDelegate::FinishEditing() {
    QWidget* editor = OpenEditor();
    if (!editor)
        return;
    if (Acceptable(editor))
        emit commitData(editor);
    emit closeEditor(editor, Acceptable(editor) ? NoHint : RevertModelCache);
}

GridDelegate::Editing* GridDelegate::EditingOf(QObject* watched) const {
    for (QObject* o = watched; o; o = o->parent()) {
        const auto it = editing_.find(o);
        if (it != editing_.end())
            return it->second.editor ? &it->second : nullptr;
    }
    return nullptr;
}

void GridDelegate::RefuseOpenEditor() {
    QWidget* editor = OpenEditor();
    if (!editor || Acceptable(editor))
        return;
    editor->setFocus(Qt::OtherFocusReason);
    Refuse(editor);
}

void GridDelegate::Refuse(QWidget* editor) const {
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
        edit->selectAll();
    throw std::runtime_error(kValueOutOfBounds);
}

bool GridDelegate::eventFilter(QObject* watched, QEvent* event) {
    Editing* e = EditingOf(watched);
    if (!e)
        return false; // an editor already closed: nothing more to commit

    QWidget* editor = e->editor;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (StartsEdit(key)) {
            if (auto* model =
                    qobject_cast<GridModel*>(const_cast<QAbstractItemModel*>(e->index.model())))
                model->BeginEdit(e->index);
        }
        if (watched != editor)
            return false; // the editor's own parts; what they leave comes back here
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!Acceptable(editor))
                Refuse(editor);
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            return true;
        case Qt::Key_Escape:
            emit closeEditor(editor, RevertModelCache);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (!Acceptable(editor))
                Refuse(editor);
            break;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusOut && watched == editor) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* now = QApplication::focusWidget();
        // A drop-down list opening, another window being activated (such as
        // the error box itself) or focus moving inside the editor keeps it open.
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
            QApplication::activePopupWidget() || !now || Within(now, editor) ||
            !editor->isVisible())
            return false;
        if (!Acceptable(editor)) {
            if (!Within(now, grid_))
                Refuse(editor);
            // A click elsewhere in the grid: the click itself is refused (see
            // RefuseOpenEditor), and the editor gets the focus back.
            QPointer<QWidget> back = editor;
            QTimer::singleShot(0, editor, [back] {
                if (back)
                    back->setFocus(Qt::OtherFocusReason);
            });
            return false;
        }
        emit commitData(editor);
        emit closeEditor(editor, NoHint);
        return false;
    }
    // The editor's own parts (a drop-down box's line) are not editors themselves.
    return watched == editor && QStyledItemDelegate::eventFilter(watched, event);
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    const GridColumn* column = ColumnOf(index);
    if (column && column->Editor == ColumnEditor::Lookup &&
        event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* view = qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget));
        if (view && mouse->button() == Qt::LeftButton &&
            ButtonRect(option.rect).contains(mouse->position().toPoint())) {
            view->setCurrentIndex(index);
            if (view->currentIndex() == index) {
                view->edit(index);
                if (auto* box = qobject_cast<LookupEdit*>(view->indexWidget(index)))
                    box->showPopup();
            }
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace vorlek::ui
