#include "Unit5.h"

TForm5::TForm5(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("货物管理"));
    resize(640, 480);
}
