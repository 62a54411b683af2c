#pragma once
// TGLPanel: a panel that hosts an OpenGL surface (a QOpenGLWidget filling
// it; legacy OpenGL 2.1, no profile, 8 bits per colour channel, 24-bit
// depth, double buffer). It does no drawing of its own: when its context is
// created it calls OnInit and applies the default GL state
// (tms::applyDefaultGLState); on every paint it makes its context current,
// calls OnPaint and the frame is shown; on a resize it sets the viewport to
// the panel and calls OnResize. Without OnResize the viewport stays the one
// set last (at first the panel's size when its context was made), also
// when the panel grows or shrinks.
//
//   auto* panel = new TGLPanel(this);
//   panel->setObjectName("GLPanel1");
//   panel->OnPaint  = [this](TGLPanel*) { renderer_.draw(...); };
//   panel->OnResize = [](TGLPanel*) {};
//   panel->Invalidate();                  // repaint soon (Paint(): now)
//
// Without OnPaint a paint draws nothing; OnPreInit is never called.
//
// Call TGLPanel::setDefaultSurfaceFormat() in main() before the application
// object exists. On a machine where no OpenGL context can be made the panel
// creates no GL surface at all (a GL surface there would take the whole
// window down), stays blank, and the message "ChoosePixelFormat failed!" is
// shown once per run from the event loop (never from inside a paint); the
// program goes on.

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

class QOpenGLWidget;

class TGLPanel : public QWidget {
    Q_OBJECT
public:
    using Handler = std::function<void(TGLPanel* sender)>;

    explicit TGLPanel(QWidget* parent = nullptr);
    ~TGLPanel() override;

    Handler OnInit;     // once, right after the context is created (current)
    Handler OnPreInit;  // kept for the layout; never called
    Handler OnPaint;    // the owner's drawing (context current)
    Handler OnResize;   // after the viewport was set to the panel

    // Draws a fresh frame now (a synchronous repaint).
    void Paint();
    // Asks for a repaint from the event loop.
    void Invalidate();
    // A fresh frame as an image of the panel's size (drawn through OnPaint);
    // the blank panel's look when there is no OpenGL.
    QImage grabFrame();

    // True once the GL context exists and was initialised.
    bool glReady() const { return ready_; }
    // True when no usable context can be made on this machine.
    bool glFailed() const { return surface_ == nullptr; }
    // The GL surface (nullptr without OpenGL), for event filters and tests.
    QOpenGLWidget* surface() const;

    // Legacy OpenGL 2.1 without a profile, RGB 8 bits each, depth 24, double
    // buffer: the default format for every surface of the program.
    static void setDefaultSurfaceFormat();
    // Whether a desktop OpenGL context can be made at all (asked once).
    static bool openGLAvailable();
    // The message shown when no context can be made.
    static QString failureText();

protected:
    void showEvent(QShowEvent* e) override;

private:
    class Surface;
    friend class Surface;
    void initialized();
    void painted();
    void resized(int w, int h);

    Surface* surface_ = nullptr;
    bool ready_ = false;
    std::array<int, 4> viewport_{};  // x, y, width, height in device pixels
};
