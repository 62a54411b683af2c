#include "data/Unit7.h"

TForm7::TForm7(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("订单管理"));
    resize(640, 480);
}

void TForm7::openForOrder(const QString&) {
    if (isVisible()) close();
    setWindowModality(Qt::WindowModal);
    show();
    raise();
}
