#pragma once
// The assembly drawing window (stand-in: an empty window with its caption
// and the members the other windows reach).

#include <QString>
#include <QWidget>

#include "shell/Forms.h"

class QPushButton;

class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // "工作单": order management disables it while it shows a plan from its
    // own "查看装配图" and enables it again when it closes.
    QPushButton* SpeedButton1;

    // Next pile the pile stepper shows, 0-based; the self-service window
    // steps its batches with the same counter.
    int heapStep = 0;

    // Fills the window with container 1 of the order's plan, as the new-order
    // window and order management do after a calculation and on
    // "查看装配图": ComboBox1 holds the order as its only item, Edit1 "1",
    // tb at 0, the build sequence, the pile lists with heapStep reset, the
    // summary lines, UpDown1's maximum and Label3 "共 n 箱"; then repaints.
    // It does not show the window; the caller does.
    void showPlanOf(const QString& orderNo);
};
