#pragma once
// The self-service loading window (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm9 : public QWidget {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};
