#pragma once
// The assembly drawing window (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};
