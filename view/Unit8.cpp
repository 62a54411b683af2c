#include "view/Unit8.h"

TForm8::TForm8(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("装配图"));
    resize(640, 480);
}
