// The windows under a window manager, which adds a title bar and borders
// around each: the windows that take the screen keep their whole frame and
// every control on it, and the message boxes are wide enough for their
// title. Runs on a display of its own with openbox
// (tests/support/with-window-manager.sh).

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <gtest/gtest.h>

#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "platform/DbSchema.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "selfhelp/SelpHelpOrderForm9.h"
#include "shell/Startup.h"
#include "shell/Unit4.h"
#include "tests/support/WindowTestMain.h"
#include "view/Unit3.h"
#include "view/Unit8.h"

namespace {

std::string describe(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

// The screen, or the part `area` of it, as the user sees it, frames included.
void shot(const QString& name, const QRect& area = QRect(0, 0, -1, -1)) {
    const QString dir = qEnvironmentVariable("TMS_SHOT_DIR");
    if (!dir.isEmpty())
        QGuiApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .save(dir + "/" + name + ".png");
}

// Waits until the window manager has framed the window and the frame has
// stopped moving; false when no frame came.
bool framed(QWindow* w) {
    QElapsedTimer t;
    t.start();
    QRect last;
    qint64 still = 0;
    while (t.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        const QRect now = w->frameGeometry();
        if (w->isExposed() && !w->frameMargins().isNull() && now == last) {
            if (t.elapsed() - still >= 300) return true;
        } else {
            last = now;
            still = t.elapsed();
        }
    }
    return false;
}

class Frames : public ::testing::Test {
protected:
    QTemporaryDir dir;
    tms::ui::BoxRecorder boxes;

    void SetUp() override {
        tms::desktop::setProgramDir(dir.path());
        QString err;
        ASSERT_TRUE(
            tms::createDatabase(dir.path() + "/db/tmsdb.mdb", QString::fromLatin1(tms::kDatabasePassword), true, &err))
            << err.toStdString();
        ASSERT_TRUE(createForms());
    }
    void TearDown() override {
        destroyForms();
        tms::desktop::setProgramDir(QString());
    }
};

TEST_F(Frames, WindowsThatTakeTheScreenKeepTheirFrameAndControlsOnIt) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_EQ(screen.size(), QSize(1600, 1000));
    const QList<QPair<QWidget*, QString>> windows = {{Form4, "main"},   {Form5, "goods"},   {Form6, "containers"},
                                                     {Form7, "orders"}, {Form8, "drawing"}, {Form9, "selfhelp"},
                                                     {Form3, "details"}};
    for (const auto& [w, name] : windows) {
        SCOPED_TRACE(name.toStdString());
        w->show();
        ASSERT_TRUE(framed(w->windowHandle())) << "no window manager framed the window";
        const QRect frame = w->windowHandle()->frameGeometry();
        EXPECT_TRUE(screen.contains(frame)) << describe(frame);
        // The frame fills the screen, its title bar at the top.
        EXPECT_EQ(frame.top(), 0) << describe(frame);
        EXPECT_GE(frame.width(), screen.width() - 2) << describe(frame);
        EXPECT_GE(frame.height(), screen.height() - 2) << describe(frame);
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!c->isVisible() || !(qobject_cast<QAbstractButton*>(c) || qobject_cast<QProgressBar*>(c))) continue;
            const QRect on(c->mapToGlobal(QPoint(0, 0)), c->size());
            EXPECT_TRUE(screen.contains(on)) << c->objectName().toStdString() << " " << describe(on);
            EXPECT_GE(c->height(), c->minimumSizeHint().height()) << c->objectName().toStdString();
        }
        shot("frame_" + name);
        if (w == Form4)
            w->hide();  // closing it would compact the database
        else
            w->close();
    }
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('|').toStdString();
}

// Runs `look` on the modal box once the window manager has framed it, then
// closes the box.
void whenFramed(const std::function<void(QWidget*)>& look) {
    tms::test::whenModal([look](QWidget* w) {
        if (framed(w->windowHandle()))
            look(w);
        else
            ADD_FAILURE() << "no window manager framed the box";
    });
}

TEST(Boxes, NarrowBoxesLeaveRoomForTheirTitle) {
    const tms::ui::BoxHandler none = tms::ui::setBoxHandler({});
    for (const QString& text :
         {QStringLiteral("请输入货物"), QStringLiteral("请录入完整信息"), QStringLiteral("请先选择一个箱柜")}) {
        SCOPED_TRACE(text.toStdString());
        int width = 0;
        whenFramed([&](QWidget* box) {
            width = box->width();
            shot("box_" + text, box->windowHandle()->frameGeometry());
        });
        tms::ui::showMessage(text);
        QFont title = QApplication::font();
        title.setBold(true);
        EXPECT_GE(width, QFontMetrics(title).horizontalAdvance(QStringLiteral("舱易通")) + 120);
    }
}

}  // namespace

int main(int argc, char** argv) {
    return tms::test::runWindowTests(argc, argv, [] {
        QCoreApplication::setApplicationName(QStringLiteral("舱易通"));
        loadQtTranslation();
    });
}
