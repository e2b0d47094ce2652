#include "Unit1.h"

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Digital Vorlek"));
    setFixedSize(505, 713);
}
