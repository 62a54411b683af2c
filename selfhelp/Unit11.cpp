#include "selfhelp/Unit11.h"

TForm11::TForm11(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("添加货物"));
    resize(640, 480);
}
