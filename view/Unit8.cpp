#include "view/Unit8.h"

#include <QPushButton>

TForm8::TForm8(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("装配图"));
    resize(640, 480);
    SpeedButton1 = new QPushButton(QStringLiteral("工作单"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
}

void TForm8::showPlanOf(const QString&) {}
