#pragma once
// TGLPanel: a panel that owns an OpenGL surface (legacy OpenGL 2.1, no
// profile, 8 bits per colour channel, 24-bit depth, double buffer). It does
// no drawing of its own: when its context is created it calls OnInit and
// applies the default GL state (tms::applyDefaultGLState); on every paint
// it makes its context current, calls OnPaint and the frame is shown; on a
// resize it sets the viewport to the panel and calls OnResize.
//
//   auto* panel = new TGLPanel(this);
//   panel->setObjectName("GLPanel1");
//   panel->OnPaint  = [this](TGLPanel*) { renderer_.draw(...); };
//   panel->OnResize = [](TGLPanel*) {};
//   panel->update();                      // repaint
//
// Without OnPaint a paint draws nothing; without OnResize the viewport is
// left alone; OnPreInit is never called.
//
// Call TGLPanel::setDefaultSurfaceFormat() in main() before the application
// object exists. On a machine without a usable OpenGL context the panel
// stays blank and the message "ChoosePixelFormat failed!" is shown once per
// run, from the event loop (never from inside a paint); the program goes on.

#include <QOpenGLWidget>

#include <functional>

class TGLPanel : public QOpenGLWidget {
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

    // True once the GL context exists and was initialised.
    bool glReady() const { return ready_; }
    // True when the panel was shown and no usable context could be made.
    bool glFailed() const { return failed_; }

    // Legacy OpenGL 2.1 without a profile, RGB 8 bits each, depth 24, double
    // buffer: the default format for every surface of the program.
    static void setDefaultSurfaceFormat();

    // The message shown when no context can be made.
    static QString failureText();

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeGL(int w, int h) override;
    void showEvent(QShowEvent* e) override;

private:
    void checkContext();

    bool ready_ = false;
    bool failed_ = false;
    bool checkQueued_ = false;
};
