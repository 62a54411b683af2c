#pragma once
// Printing what a GL panel shows together with the strip of its window just
// below it (the summary text under the drawing), on the printer the user
// picks in the print dialog.
//
//   PrintGLPanel(GLPanel1, RE);   // the drawing window's print button
//
// The image is the panel's current frame (drawn afresh) with the window
// area of the same width and of the height of `below` under it. On the page
// it stands at 0.18 inch from the top-left corner of the printable area,
// 12 printer dots per screen pixel when that fits the printable area, else
// scaled down as a whole, keeping its aspect ratio, to fit it.

#include <QImage>
#include <QRect>
#include <QSize>
#include <functional>

class QPrinter;
class QWidget;
class TGLPanel;

// Print dialog, then the print; nothing happens when the user cancels.
void PrintGLPanel(TGLPanel* panel, QWidget* below);
// The print on a printer already chosen (no dialog); returns where the
// image went on the page (see tms::printRect), empty when nothing printed.
QRect PrintGLPanel(TGLPanel* panel, QWidget* below, QPrinter& printer);

namespace tms {

// The panel's frame drawn now, with the window strip of below's height
// under it: width = panel width, height = panel height + below's height.
QImage composePanelImage(TGLPanel* panel, QWidget* below);

// Where an image of `image` pixels goes on a page, in printer dots from the
// top-left corner of the printable area of `printable` dots, at dpiX x dpiY:
// margins mx = round(0.18 dpiX), my = round(0.18 dpiY); the rectangle
// (mx, my) to ((width + mx) x 12, (height + my) x 12) when it fits, else
// the image scaled uniformly to fit from (mx, my). Empty when even the
// margins leave no room.
QRect printRect(QSize image, int dpiX, int dpiY, QSize printable);

// Prints the image on the printer (one page); returns printRect's answer
// for it, empty when nothing was printed.
QRect printImage(QPrinter& printer, const QImage& image);

// What stands in for the print dialog: it may set up the printer and says
// whether to print. Tests install one that prints into a PDF file; an empty
// chooser restores the dialog. Returns the previous chooser.
using TPrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
TPrinterChooser setPrinterChooser(TPrinterChooser chooser);

}  // namespace tms
