#include "view/Unit3.h"

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("装箱明细"));
    resize(640, 480);
}
