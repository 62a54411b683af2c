#include "view/GLPanel.h"

#include <GL/gl.h>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/Dialogs.h"
#include "view/PlanRenderer.h"

namespace {
bool failureShown = false;  // the message is shown once per run
}

// The GL surface: passes the context's life to its panel.
class TGLPanel::Surface : public QOpenGLWidget {
public:
    explicit Surface(TGLPanel* owner) : QOpenGLWidget(owner), owner_(owner) {}

protected:
    void initializeGL() override { owner_->initialized(); }
    void paintGL() override { owner_->painted(); }
    void resizeGL(int w, int h) override { owner_->resized(w, h); }

private:
    TGLPanel* owner_;
};

TGLPanel::TGLPanel(QWidget* parent) : QWidget(parent) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    if (openGLAvailable()) {
        surface_ = new Surface(this);
        lay->addWidget(surface_);
    }
}

TGLPanel::~TGLPanel() = default;

QOpenGLWidget* TGLPanel::surface() const { return surface_; }

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

bool TGLPanel::openGLAvailable() {
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

QString TGLPanel::failureText() { return QStringLiteral("ChoosePixelFormat failed!"); }

void TGLPanel::initialized() {
    QOpenGLContext* c = surface_->context();
    if (!c || !c->isValid() || c->isOpenGLES()) return;  // the fixed-function pipeline is needed
    ready_ = true;
    // A new context's viewport is the surface it was made for.
    const qreal dpr = surface_->devicePixelRatio();
    viewport_ = {0, 0, static_cast<int>(surface_->width() * dpr), static_cast<int>(surface_->height() * dpr)};
    if (OnInit) OnInit(this);
    tms::applyDefaultGLState();
}

void TGLPanel::painted() {
    if (!ready_ || !OnPaint) return;
    // The surface sets the viewport to its whole size before every paint;
    // the panel's own is the one it last set.
    glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    OnPaint(this);
}

void TGLPanel::resized(int w, int h) {
    if (!ready_ || !OnResize) return;
    const qreal dpr = surface_->devicePixelRatio();
    viewport_ = {0, 0, static_cast<int>(w * dpr), static_cast<int>(h * dpr)};
    glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    OnResize(this);
}

void TGLPanel::Paint() {
    if (surface_) surface_->repaint();
}

void TGLPanel::Invalidate() {
    if (surface_) surface_->update();
}

QImage TGLPanel::grabFrame() {
    if (surface_) return surface_->grabFramebuffer();
    return grab().toImage();
}

void TGLPanel::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!surface_ && !failureShown) {
        // From the event loop, where a message box may open.
        failureShown = true;
        QTimer::singleShot(0, [] { tms::ui::showError(failureText()); });
    }
}
