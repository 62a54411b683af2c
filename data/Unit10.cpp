#include "data/Unit10.h"

TForm10::TForm10(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("新增订单"));
    resize(640, 480);
}
