#include "Unit6.h"

TForm6::TForm6(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("货柜管理"));
    resize(640, 480);
}
