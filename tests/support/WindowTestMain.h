#pragma once
// The main function of a window test program: the program's OpenGL surface
// format before the application object exists, the application, then the
// tests. Also the event pump the window tests wait with.
//
// The GL driver keeps a few allocations for the life of the display and is
// unloaded when the display closes at exit; the leak checker then cannot
// name the module any more and its suppressions of driver leaks do not
// apply. So the driver modules stay loaded until the process ends.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLocale>
#include <QTimer>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <gtest/gtest.h>
#include <link.h>

#include "view/GLPanel.h"

namespace tms::test {

inline void pinGLDrivers() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium")))
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

// Runs the event loop for `ms` milliseconds, so that queued repaints, timer
// ticks and deferred messages happen.
inline void settle(int ms = 50) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Runs `look` on the modal window once it is up and `ready` (when given)
// says it may be looked at, then closes it. Call it before the call that
// opens the window.
inline void whenModal(const std::function<void(QWidget*)>& look, const std::function<bool(QWidget*)>& ready = {}) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, look, ready] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || (ready && !ready(w))) return;
        poll->stop();
        poll->deleteLater();
        look(w);
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
    poll->start(20);
}

// `setup` runs once the application object exists, before the tests. The
// windows run under the program's default locale, Chinese (China), so the
// tests see the numbers and dates the user sees.
inline int runWindowTests(int argc, char** argv, const std::function<void()>& setup = {}) {
    TGLPanel::setDefaultSurfaceFormat();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (TGLPanel::openGLAvailable()) pinGLDrivers();
    if (setup) setup();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace tms::test
