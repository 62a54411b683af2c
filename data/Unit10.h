#pragma once
// The new order window (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm10 : public QWidget {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
};
