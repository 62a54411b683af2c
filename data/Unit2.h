#pragma once
// The modify-order dialog (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};
