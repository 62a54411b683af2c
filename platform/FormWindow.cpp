#include "platform/FormWindow.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace tms::ui {

void FormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

}  // namespace tms::ui
