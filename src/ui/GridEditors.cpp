#include "GridEditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>

namespace vorlek::ui {
namespace {

int beeps = 0;

bool IsTyped(const QKeyEvent* e) {
    const QString text = e->text();
    return text.size() == 1 && text.at(0).isPrint() &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

void GridBeep() {
    ++beeps;
    QApplication::beep();
}

int GridBeepCount() {
    return beeps;
}

// --- NumberEdit ---

NumberEdit::NumberEdit(const NumberRules& rules, const NumberSymbols& symbols, QWidget* parent)
    : QLineEdit(parent), rules_(rules), symbols_(symbols) {}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    if (!IsTyped(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int start = cursorPosition();
    int length = 0;
    if (hasSelectedText()) {
        start = selectionStart();
        length = static_cast<int>(selectedText().size());
    }
    const auto typed = FilterNumberKey(text().toStdU16String(), start, length,
                                       event->text().at(0).unicode(), rules_, symbols_);
    event->accept();
    if (!typed) {
        GridBeep();
        return;
    }
    insert(QString(QChar(*typed)));
}

// --- LookupEdit ---

LookupEdit::LookupEdit(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The text is only ever set from the list, never typed.
    lineEdit()->setReadOnly(true);
    lineEdit()->installEventFilter(this);
    view()->installEventFilter(this);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(8);
}

void LookupEdit::SetKey(const QVariant& key) {
    setCurrentIndex(key.isNull() ? -1 : findData(key));
    if (currentIndex() < 0)
        setEditText(QString());
    prefix_.clear();
}

QVariant LookupEdit::Key() const {
    return currentIndex() < 0 ? QVariant() : currentData();
}

void LookupEdit::showPopup() {
    QComboBox::showPopup();
    if (currentIndex() >= 0)
        view()->setCurrentIndex(model()->index(currentIndex(), modelColumn()));
}

bool LookupEdit::TypeKey(const QString& text) {
    const QString wanted = prefix_ + text;
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(wanted, Qt::CaseInsensitive)) {
            prefix_ = wanted;
            setCurrentIndex(i);
            if (!view()->isVisible())
                showPopup();
            view()->setCurrentIndex(model()->index(i, modelColumn()));
            ShowChoice();
            return true;
        }
    }
    return false;
}

void LookupEdit::ShowChoice() {
    lineEdit()->setText(currentText());
    const auto typed = static_cast<int>(prefix_.size());
    lineEdit()->setSelection(static_cast<int>(currentText().size()),
                             typed - static_cast<int>(currentText().size()));
}

bool LookupEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsTyped(key)) {
            TypeKey(key->text());
            return true;
        }
        if (key->key() == Qt::Key_Backspace && watched == lineEdit()) {
            if (!prefix_.isEmpty()) {
                prefix_.chop(1);
                ShowChoice();
            }
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void LookupEdit::keyPressEvent(QKeyEvent* event) {
    if (IsTyped(event)) {
        TypeKey(event->text());
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace vorlek::ui
