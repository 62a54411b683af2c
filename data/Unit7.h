#pragma once
// The order management window (stand-in: an empty window with its caption
// and the entry the drawing window uses).

#include <QString>
#include <QWidget>

#include "shell/Forms.h"

class TForm7 : public QWidget {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // "工作单" of the drawing window: closes the window if it is open, then
    // shows it window-modal over the drawing, filtered to the order, with
    // "查看装配图" disabled while it is open in this mode.
    void openForOrder(const QString& orderNo);
};
