#include "ProgressBar.h"

#include <QPainter>
#include <algorithm>

FlatProgressBar::FlatProgressBar(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void FlatProgressBar::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
    update();
}

void FlatProgressBar::setValue(int value) {
    const int v = std::clamp(value, minimum_, maximum_);
    if (v == value_)
        return;
    value_ = v;
    update();
}

void FlatProgressBar::setText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

void FlatProgressBar::setFillColor(const QColor& color) {
    fill_ = color;
    update();
}

int FlatProgressBar::fillWidth(int width) const {
    const long long span = static_cast<long long>(maximum_) - minimum_;
    if (span <= 0 || width <= 0)
        return 0;
    return static_cast<int>(width * (static_cast<long long>(value_) - minimum_) / span);
}

QSize FlatProgressBar::sizeHint() const {
    return {120, fontMetrics().height() + 6};
}

void FlatProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect();
    painter.fillRect(outer, palette().color(QPalette::Base));
    // A single line instead of a sunken bevel.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));

    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const QRect filled(inner.left(), inner.top(), fillWidth(inner.width()), inner.height());
    painter.fillRect(filled, fill_);

    if (text_.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(inner, Qt::AlignCenter, text_);
    painter.setClipRect(filled);
    painter.setPen(Qt::white);
    painter.drawText(inner, Qt::AlignCenter, text_);
}
