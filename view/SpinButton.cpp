#include "view/SpinButton.h"

#include <QAbstractButton>
#include <QTimer>

#include "view/PlanRenderer.h"

namespace tms {

void setSpinning(QAbstractButton& button, QTimer& timer, bool& spinning, bool on) {
    spinning = on;
    if (on)
        timer.start();
    else
        timer.stop();
    const QString& caption = on ? kStopCaption : kSpinCaption;
    button.setToolTip(caption);
    button.setText(caption);
}

void toggleSpinning(QAbstractButton& button, QTimer& timer, bool& spinning) {
    setSpinning(button, timer, spinning, button.toolTip() == kSpinCaption);
}

void advanceSpin(TCamera& camera) {
    if (camera.spinAngle >= 360) camera.spinAngle = 0;
    camera.spinAngle += 2.5f;
}

}  // namespace tms
