#include "platform/UpDown.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <climits>

TUpDown::TUpDown(const QString& name, Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    const bool vertical = orientation == Qt::Vertical;
    auto* layout = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto arrow = [&](const char* suffix, Qt::ArrowType type, int delta) {
        auto* b = new QToolButton(this);
        b->setObjectName(name + QLatin1String(suffix));
        b->setArrowType(type);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        if (vertical) b->setFixedSize(18, 12);
        connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
        layout->addWidget(b);
    };
    if (vertical) {
        arrow("Up", Qt::UpArrow, 1);
        arrow("Down", Qt::DownArrow, -1);
    } else {
        arrow("Down", Qt::LeftArrow, -1);
        arrow("Up", Qt::RightArrow, 1);
    }
}

void TUpDown::setPosition(int v) {
    position_ = v;
    if (Associate) Associate->setText(QString::number(v));
}

bool TUpDown::step(int delta) {
    long long from = position_;
    if (Associate) {
        bool ok = false;
        from = Associate->text().trimmed().toLongLong(&ok);
        if (!ok) from = delta > 0 ? static_cast<long long>(Min) - 1 : static_cast<long long>(Max) + 1;
    }
    long long v = from + delta;
    if (ClampToRange) v = std::clamp<long long>(v, Min, Max);
    v = std::clamp<long long>(v, INT_MIN, INT_MAX);
    if (OnChanging && !OnChanging(static_cast<int>(v))) return false;
    setPosition(static_cast<int>(v));
    return true;
}
