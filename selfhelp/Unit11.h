#pragma once
// The self-service add-goods dialog (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm11 : public QWidget {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};
