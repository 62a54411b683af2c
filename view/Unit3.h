#pragma once
// The loading details text window (stand-in: an empty window with its caption).

#include <QWidget>

#include "shell/Forms.h"

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};
