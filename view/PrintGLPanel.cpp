#include "view/PrintGLPanel.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "view/GLPanel.h"

namespace tms {

QRect printRect(QSize image, int dpiX, int dpiY, QSize printable) {
    const int mx = static_cast<int>(std::lround(dpiX * 0.18));
    const int my = static_cast<int>(std::lround(dpiY * 0.18));
    const long long W = image.width(), H = image.height();
    if (W <= 0 || H <= 0) return QRect();
    const long long right = (W + mx) * 12, bottom = (H + my) * 12;
    if (right <= printable.width() && bottom <= printable.height())
        return QRect(QPoint(mx, my), QPoint(static_cast<int>(right) - 1, static_cast<int>(bottom) - 1));
    const double roomX = printable.width() - mx, roomY = printable.height() - my;
    if (roomX <= 0 || roomY <= 0) return QRect();
    const double s = std::min(roomX / static_cast<double>(W), roomY / static_cast<double>(H));
    const int w = static_cast<int>(std::floor(W * s)), h = static_cast<int>(std::floor(H * s));
    if (w <= 0 || h <= 0) return QRect();
    return QRect(mx, my, w, h);
}

QImage composePanelImage(TGLPanel* panel, QWidget* below) {
    const int pw = panel->width(), ph = panel->height();
    const int bh = below ? below->height() : 0;
    QImage out(pw, ph + bh, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), panel->grabFrame().scaled(pw, ph));
    if (bh > 0) {
        // The window area under the panel, as the user sees it.
        QWidget* w = panel->window();
        const QPoint at = panel->mapTo(w, QPoint(0, ph));
        p.drawPixmap(QPoint(0, ph), w->grab(QRect(at, QSize(pw, bh))));
    }
    return out;
}

QRect printImage(QPrinter& printer, const QImage& image) {
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect target = printRect(image.size(), printer.logicalDpiX(), printer.logicalDpiY(), page.size());
    QPainter p;
    if (!p.begin(&printer)) return QRect();
    if (!target.isEmpty()) p.drawImage(target, image);
    p.end();
    return target;
}

namespace {
TPrinterChooser& chooser() {
    static TPrinterChooser c;
    return c;
}
}  // namespace

TPrinterChooser setPrinterChooser(TPrinterChooser c) {
    TPrinterChooser previous = std::move(chooser());
    chooser() = std::move(c);
    return previous;
}

}  // namespace tms

void PrintGLPanel(TGLPanel* panel, QWidget* below) {
    QPrinter printer(QPrinter::HighResolution);
    if (const tms::TPrinterChooser choose = tms::chooser()) {
        if (!choose(printer, panel)) return;
    } else {
        QPrintDialog dialog(&printer, panel);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    PrintGLPanel(panel, below, printer);
}

QRect PrintGLPanel(TGLPanel* panel, QWidget* below, QPrinter& printer) {
    const QImage image = tms::composePanelImage(panel, below);
    return tms::printImage(printer, image);
}
