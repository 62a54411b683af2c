#include "platform/WindowKit.h"

#include <QBoxLayout>
#include <QColor>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace tms::ui {

namespace {

QLabel* legendLabel(QWidget* parent, const QString& text, const QColor& colour) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    f.setPixelSize(15);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

QMargins frameMargins(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void placeInScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    window->setGeometry(screen->availableGeometry().marginsRemoved(frameMargins(window)));
}

// Watches a window placed before its frame was known, and places it again
// when the window manager has framed it: the frame's size is known when the
// framed window is first exposed.
class TFrameWatch : public QObject {
public:
    explicit TFrameWatch(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("TFrameWatch"));
        window->installEventFilter(this);
        watchHandle();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) watchHandle();
        if (watched == handle_ && event->type() == QEvent::Expose && !frameMargins(window_).isNull()) {
            window_->removeEventFilter(this);
            handle_->removeEventFilter(this);
            deleteLater();
            placeInScreen(window_);
        }
        return false;
    }

private:
    // The native window exists once the window is shown (or asked for its
    // id); it may be made anew later.
    void watchHandle() {
        QWindow* handle = window_->windowHandle();
        if (!handle || handle == handle_) return;
        if (handle_) handle_->removeEventFilter(this);
        handle_ = handle;
        handle_->installEventFilter(this);
    }

    QWidget* window_;
    QPointer<QWindow> handle_;
};

}  // namespace

void fitFrameToScreen(QWidget* window) {
    placeInScreen(window);
    if (frameMargins(window).isNull() &&
        !window->findChild<QObject*>(QStringLiteral("TFrameWatch"), Qt::FindDirectChildrenOnly))
        new TFrameWatch(window);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    return named(new QPushButton(text, parent), name);
}

QLabel* captionedField(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, grid->parentWidget());
    grid->addWidget(label, row, column, Qt::AlignRight);
    grid->addWidget(control, row, column + 1);
    return label;
}

QLabel* captionedField(QBoxLayout* row, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, control->parentWidget());
    row->addWidget(label);
    row->addWidget(control);
    return label;
}

QString requiredCaption(const QString& caption) { return caption + QStringLiteral("<font color=red>*</font>"); }

QLineEdit* searchEdit(QWidget* form, const char* name) {
    auto* e = named(new QLineEdit(form), name);
    e->setMaximumWidth(180);
    e->installEventFilter(form);
    return e;
}

QHBoxLayout* searchBar(QWidget* form, std::initializer_list<TSearchField> fields, QPushButton* all, TBarFill fill) {
    const int editStretch = fill == TBarFill::spread ? 1 : 0;
    auto* bar = new QHBoxLayout;
    bool afterButton = false;
    for (const TSearchField& f : fields) {
        if (bar->count() > 0) bar->addSpacing(12);
        bar->addWidget(new QLabel(f.caption, form));
        bar->addWidget(f.edit, editStretch);
        if (f.find) bar->addWidget(f.find);
        afterButton = f.find != nullptr;
    }
    if (afterButton) bar->addSpacing(12);
    bar->addWidget(all);
    if (fill == TBarFill::packed) bar->addStretch(1);
    return bar;
}

QFrame* shadingLegend(QWidget* parent, const char* name) {
    auto* legend = named(new QFrame(parent), name);
    legend->setAutoFillBackground(true);
    QPalette p = legend->palette();
    p.setColor(QPalette::Window, QColor(0, 128, 128));  // the drawing's background
    legend->setPalette(p);
    auto* lg = new QGridLayout(legend);
    lg->setContentsMargins(12, 8, 12, 8);
    lg->setHorizontalSpacing(24);
    lg->addWidget(legendLabel(legend, QStringLiteral("----------     长"), Qt::white), 0, 0);
    lg->addWidget(legendLabel(legend, QStringLiteral("----------     宽"), Qt::black), 1, 0);
    lg->addWidget(legendLabel(legend, QStringLiteral("----------     高"), QColor(255, 0, 0)), 2, 0);
    lg->addWidget(legendLabel(legend, QStringLiteral("宽 * 高 亮面"), Qt::white), 0, 1);
    lg->addWidget(legendLabel(legend, QStringLiteral("长 * 高 灰面"), Qt::white), 1, 1);
    lg->addWidget(legendLabel(legend, QStringLiteral("长 * 宽 黑面"), Qt::white), 2, 1);
    return legend;
}

}  // namespace tms::ui
