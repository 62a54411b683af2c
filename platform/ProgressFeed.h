#pragma once
// The progress bar of a calculation or a plan load. These run synchronously
// on the window's thread, so every move of the bar is a repaint made on the
// spot; the engine reports a step per trial and per row, hundreds a second.
// The feed passes a step on only when the bar starts, ends, changes its
// maximum, or the last repaint is at least `interval` old, so the bar keeps
// moving smoothly while a large run no longer spends its time redrawing it.
//
// A calculation (`paintAll`) also lets the pending paint events of every
// window through at each step it passes on, and nothing else of the user:
// no key, mouse or close reaches a window before the run ends, while a
// window moved over the others or uncovered is drawn again at once.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <algorithm>
#include <functional>

namespace tms::ui {

inline std::function<void(int maximum, int position)> progressFeed(QProgressBar* bar, int intervalMs = 40,
                                                                   bool paintAll = false) {
    struct State {
        QPointer<QProgressBar> bar;
        QElapsedTimer sinceShown;
        int maximum = -1;
    };
    auto st = std::make_shared<State>();
    st->bar = bar;
    return [st, intervalMs, paintAll](int maximum, int position) {
        if (!st->bar) return;
        maximum = std::max(maximum, 1);
        const bool edge = position <= 0 || position >= maximum || maximum != st->maximum;
        if (!edge && st->sinceShown.isValid() && st->sinceShown.elapsed() < intervalMs) return;
        st->maximum = maximum;
        st->bar->setMaximum(maximum);
        st->bar->setValue(position);
        st->sinceShown.start();
        if (paintAll) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

}  // namespace tms::ui
