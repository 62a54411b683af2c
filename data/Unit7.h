#pragma once
// The order management window (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm7 : public QWidget {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};
