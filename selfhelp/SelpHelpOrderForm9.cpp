#include "selfhelp/SelpHelpOrderForm9.h"

TForm9::TForm9(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("自助装箱"));
    resize(640, 480);
}
