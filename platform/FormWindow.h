#pragma once
// A program window with the two moments its code hooks: FormShow when the
// program shows it, FormClose when it closes. Windows derive from this
// instead of QWidget so the event plumbing is written once.

#include <QWidget>

namespace tms::ui {

class FormWindow : public QWidget {
public:
    explicit FormWindow(QWidget* parent = nullptr) : QWidget(parent) {}

    // Runs after the window became visible by the program's show() (a
    // window the window system merely restores from minimised keeps its
    // state and does not run it again).
    virtual void FormShow() = 0;
    // Runs when the window closes, before the close is accepted.
    virtual void FormClose() = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tms::ui
