#pragma once

#include "GridNumbers.h"

#include <QComboBox>
#include <QLineEdit>

// The in-place editors of the grid's number and lookup cells.
namespace vorlek::ui {

// Sounds the refusal of a key; counts them so tests can tell.
void GridBeep();
int GridBeepCount();

// A number cell: typed keys go through FilterNumberKey, anything it drops beeps.
class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    NumberEdit(const NumberRules& rules, const NumberSymbols& symbols, QWidget* parent = nullptr);

    const NumberRules& Rules() const { return rules_; }
    const NumberSymbols& Symbols() const { return symbols_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    NumberRules rules_;
    NumberSymbols symbols_;
};

// A lookup cell: only the list's entries can be chosen. A typed key extends
// a prefix; the first entry starting with it (in any letter case) is chosen
// and its rest shown selected. A key that matches no entry is dropped.
class LookupEdit : public QComboBox {
    Q_OBJECT
public:
    explicit LookupEdit(QWidget* parent = nullptr);

    // Chooses the entry whose data is `key`; none when no entry has it.
    void SetKey(const QVariant& key);
    QVariant Key() const;
    const QString& TypedPrefix() const { return prefix_; }

    void showPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool TypeKey(const QString& text);
    void ShowChoice();

    QString prefix_;
};

} // namespace vorlek::ui
