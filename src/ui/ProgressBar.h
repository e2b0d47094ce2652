#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A flat progress bar filled from the left, with a centred text that stays
// readable where the fill covers it: white over the fill, black beside it.
class FlatProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit FlatProgressBar(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // Values outside the range are held at its ends.
    void setValue(int value);
    int value() const { return value_; }

    void setText(const QString& text);
    QString text() const { return text_; }

    void setFillColor(const QColor& color);
    QColor fillColor() const { return fill_; }

    // Width in pixels of the filled part, for a bar `width` pixels wide inside its frame.
    int fillWidth(int width) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    QString text_;
    QColor fill_{0, 0, 128};
};
