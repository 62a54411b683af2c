#include "data/Unit2.h"

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("修改订单"));
    resize(640, 480);
}
