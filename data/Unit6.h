#pragma once
// The container catalogue window (stand-in: an empty window with its caption).

#include <QWidget>

#include "Forms.h"

class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
};
