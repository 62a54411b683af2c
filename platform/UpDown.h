#pragma once
// An up-down control: two arrow buttons that step a whole number shown in an
// associated edit. The buttons are named after the control: "<name>Down" and
// "<name>Up".
//
// A step starts from the number in the edit (or from the position when there
// is no edit; a text that is no whole number steps from the nearest end of
// the range), may be clamped to Min..Max, and is then offered to OnChanging,
// which can refuse it before it is taken.

#include <QString>
#include <QWidget>
#include <functional>

class QLineEdit;

class TUpDown : public QWidget {
    Q_OBJECT
public:
    // Horizontal: left/right arrows side by side; vertical: small up/down
    // arrows stacked, as beside an amount box.
    TUpDown(const QString& name, Qt::Orientation orientation, QWidget* parent = nullptr);

    int Min = 1;
    int Max = 1;
    bool ClampToRange = false;       // steps stop at the ends instead of going past them
    QLineEdit* Associate = nullptr;  // shows every position taken
    std::function<bool(int newValue)> OnChanging;

    int Position() const { return position_; }
    void setPosition(int v);  // no OnChanging; the edit follows
    // Asks to move by delta (the arrow buttons do this). True when taken.
    bool step(int delta);

private:
    int position_ = 1;
};
