#include "view/GLPanel.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTimer>

#include <GL/gl.h>

#include "platform/Dialogs.h"
#include "view/PlanRenderer.h"

namespace {
bool failureShown = false;  // the message is shown once per run

// Whether a desktop OpenGL context of the default format can be made and
// made current at all; asked once.
bool contextPossible() {
    static const bool possible = [] {
        QOpenGLContext c;
        if (!c.create() || c.isOpenGLES()) return false;
        QOffscreenSurface s;
        s.setFormat(c.format());
        s.create();
        if (!s.isValid() || !c.makeCurrent(&s)) return false;
        c.doneCurrent();
        return true;
    }();
    return possible;
}
}  // namespace

TGLPanel::TGLPanel(QWidget* parent) : QOpenGLWidget(parent) {}

TGLPanel::~TGLPanel() {
    if (ready_) {
        makeCurrent();
        doneCurrent();
    }
}

void TGLPanel::setDefaultSurfaceFormat() {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setVersion(2, 1);
    f.setProfile(QSurfaceFormat::NoProfile);
    f.setRedBufferSize(8);
    f.setGreenBufferSize(8);
    f.setBlueBufferSize(8);
    f.setDepthBufferSize(24);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(f);
}

QString TGLPanel::failureText() { return QStringLiteral("ChoosePixelFormat failed!"); }

void TGLPanel::initializeGL() {
    QOpenGLContext* c = context();
    // The drawing needs the fixed-function pipeline of desktop OpenGL.
    if (!c || !c->isValid() || c->isOpenGLES()) return;
    ready_ = true;
    if (OnInit) OnInit(this);
    tms::applyDefaultGLState();
}

void TGLPanel::paintGL() {
    if (ready_ && OnPaint) OnPaint(this);
}

void TGLPanel::resizeGL(int w, int h) {
    if (!ready_ || !OnResize) return;
    const qreal dpr = devicePixelRatio();
    glViewport(0, 0, static_cast<GLsizei>(w * dpr), static_cast<GLsizei>(h * dpr));
    OnResize(this);
}

void TGLPanel::Paint() {
    if (ready_) repaint();
}

void TGLPanel::showEvent(QShowEvent* e) {
    QOpenGLWidget::showEvent(e);
    // The context is made while the panel is first laid out; look at the
    // outcome from the event loop, where a message box may open.
    if (!ready_ && !failed_ && !checkQueued_) {
        checkQueued_ = true;
        QTimer::singleShot(0, this, [this] { checkContext(); });
    }
}

void TGLPanel::checkContext() {
    checkQueued_ = false;
    if (ready_ || failed_ || !isVisible()) return;
    // A context that can be made but is not there yet comes with the
    // first paint.
    if (contextPossible() && !(context() && context()->isOpenGLES())) return;
    failed_ = true;
    if (!failureShown) {
        failureShown = true;
        tms::ui::showError(failureText());
    }
}
