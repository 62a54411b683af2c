#pragma once
// The spin button and tick shared by the windows that show a loaded
// container (the assembly drawing and the self-service loading window).
// The button shows what a click does next: "旋转" while the view stands
// still, "停止" while it turns; its tooltip carries the same text and is
// what a click reads to decide.

#include <QString>

class QAbstractButton;
class QTimer;

namespace tms {

struct TCamera;

inline const QString kSpinCaption = QStringLiteral("旋转");
inline const QString kStopCaption = QStringLiteral("停止");

// Starts (on) or stops the turning: the flag the tick reads, the timer and
// the button's caption and tooltip.
void setSpinning(QAbstractButton& button, QTimer& timer, bool& spinning, bool on);

// A click on the spin button: starts the turning when the button offers
// "旋转", otherwise stops it.
void toggleSpinning(QAbstractButton& button, QTimer& timer, bool& spinning);

// One timer tick while turning: 2.5 degrees on, back to 0 once a full turn
// (360 degrees) was reached.
void advanceSpin(TCamera& camera);

}  // namespace tms
