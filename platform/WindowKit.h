#pragma once
// The pieces the windows are built from alike: a control under its name, a
// caption before its control, the search bar over a list, the guard that
// ends a handler's failed work in the error box, the legend of the
// drawings' colours, and the placing of a window that takes the screen.

#include <QString>
#include <exception>
#include <initializer_list>

#include "platform/Dialogs.h"

class QBoxLayout;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tms::ui {

// `object` under its name: the control's objectName is the name the program
// knows it by.
template <class Object>
Object* named(Object* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// A push button under its name.
QPushButton* button(QWidget* parent, const char* name, const QString& text);

// The caption before its control: in the grid, the caption right-aligned in
// `column` of `row` and the control in the next column; in a row of
// controls, the caption and the control added after the ones before them.
// Returns the caption.
QLabel* captionedField(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control);
QLabel* captionedField(QBoxLayout* row, const QString& caption, QWidget* control);
// The caption of a required entry: the text with a red "*" after it.
QString requiredCaption(const QString& caption);

// An edit of the search bar over a list, at most 180 pixels wide; its keys
// go to `form`'s event filter.
QLineEdit* searchEdit(QWidget* form, const char* name);
// One field of the search bar: its caption, its edit and, where the search
// runs from a button rather than from Enter, that button.
struct TSearchField {
    QString caption;
    QLineEdit* edit;
    QPushButton* find = nullptr;
};
// How the search bar takes its row: packed at the left with the rest of the
// row left empty, or with the edits sharing the free width.
enum class TBarFill { packed, spread };
// The search bar: the fields in order, 12 pixels apart, then the "全部"
// button `all` (after another 12 pixels when the last field ends in a
// button).
QHBoxLayout* searchBar(QWidget* form, std::initializer_list<TSearchField> fields, QPushButton* all,
                       TBarFill fill = TBarFill::packed);

// Runs a piece of a handler's work; an error ends it in the error box instead
// of escaping into the event loop. Tells whether the work ran to its end.
template <class Work>
bool reportErrors(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return false;
    }
}

// The legend of a container drawing on the drawing's teal background: the
// edge colours ("----------     长" white, "... 宽" black, "... 高" red) and
// beside them the three face shades ("宽 * 高 亮面", "长 * 高 灰面",
// "长 * 宽 黑面").
QFrame* shadingLegend(QWidget* parent, const char* name);

// Places the window's whole frame, its title bar and borders included, on
// the available area of its screen. A window manager frames a window only
// once it is shown: until then the window is placed as if it had no frame,
// and placed once more as soon as its frame is known.
void fitFrameToScreen(QWidget* window);

}  // namespace tms::ui
