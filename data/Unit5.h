#pragma once
// The goods catalogue window (stand-in: an empty window with its caption).

#include <QWidget>

#include "Forms.h"

class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};
