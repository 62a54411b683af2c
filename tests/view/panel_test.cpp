// The OpenGL panel and the renderer on a real surface (Xvfb with Mesa's
// software OpenGL): pixels of a drawn plan, the panel's callbacks, the
// print image and rectangle, and a start-up without any OpenGL.

#include <GL/gl.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMatrix4x4>
#include <QOpenGLWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include "platform/Codes.h"
#include "tests/support/TestDb.h"
#include "tests/support/WindowTestMain.h"
#include "tests/view/PlanFixture.h"
#include "view/GLPanel.h"
#include "view/PlanLoad.h"
#include "view/PlanRenderer.h"
#include "view/PrintGLPanel.h"
#include "view/Shading.h"

using namespace viewtest;

namespace {

using tms::test::settle;

bool near(QRgb p, int r, int g, int b, int tol = 1) {
    return std::abs(qRed(p) - r) <= tol && std::abs(qGreen(p) - g) <= tol && std::abs(qBlue(p) - b) <= tol;
}

std::string rgbText(QRgb p) {
    return "(" + std::to_string(qRed(p)) + "," + std::to_string(qGreen(p)) + "," + std::to_string(qBlue(p)) + ")";
}

// A window holding one panel that draws `arr` with the renderer.
struct PanelWindow {
    QWidget window;
    TGLPanel* panel;
    tms::TPlanRenderer renderer;
    tms::TArr arr;
    int count = 0;
    tms::TPlanScene scene;
    tms::TCamera camera;

    explicit PanelWindow(int w, int h) {
        auto* lay = new QVBoxLayout(&window);
        lay->setContentsMargins(0, 0, 0, 0);
        panel = new TGLPanel(&window);
        panel->setObjectName("GLPanel1");
        panel->setFixedSize(w, h);
        lay->addWidget(panel);
        panel->OnPaint = [this](TGLPanel*) { renderer.draw(arr, count, scene, camera); };
    }
    // Window position of a scene point (mm from the container centre).
    QPointF project(QVector3D p) const {
        QMatrix4x4 proj;
        proj.ortho(-1, 1, -1, 1, -1, 50);
        QMatrix4x4 mv;
        mv.translate(camera.panX, camera.panY, 0);
        mv.rotate(45, 1, 0, 0);
        mv.rotate(camera.baseAngle + camera.spinAngle, 0, 1, 0);
        const float h = scene.viewSize / 2;
        mv.ortho(-h, h, -h, h, -h, h);
        const QVector3D n = (proj * mv).map(p);
        return {(n.x() + 1) / 2 * panel->width(), (1 - (n.y() + 1) / 2) * panel->height()};
    }
};

// One container of 1000 mm cube with a red 500 mm cube in its middle,
// standing "立放，正向".
void oneRedPiece(PanelWindow& w) {
    const float p = 250;
    w.scene = tms::containerScene(1000, 1000, 1000);
    w.arr = tms::TArr();
    w.arr.seqArr = {1};
    w.arr.idArr = {"R000001"};
    w.arr.goodsNoArr = {"R"};
    tms::color c;
    c.red = 1;
    c.shown = 1;
    w.arr.colorArr = {c};
    w.arr.placeArr = {"立放，正向"};
    w.arr.floorArr = {"R000001"};
    w.arr.vertArr = {tms::boxCorners(-p, -p, -p, p, p, p)};
    w.arr.textArr = {""};
    w.count = 1;
}

}  // namespace

// Outline and face colours at known pixels (±1 per channel): background
// teal, the top face darkened (黑面, L 0.46), the face across the goods length
// as is (亮面), the face across the width dimmed (灰面, L 0.4), the container's
// roof edges black.
TEST(Panel, PixelsOfADrawnPiece) {
    PanelWindow w(400, 400);
    oneRedPiece(w);
    w.window.show();
    settle();
    ASSERT_TRUE(w.panel->glReady());
    const QImage img = w.panel->grabFrame();
    ASSERT_EQ(img.size(), QSize(400, 400));
    EXPECT_TRUE(near(img.pixel(3, 3), 0, 128, 128)) << rgbText(img.pixel(3, 3));

    auto at = [&](QVector3D p) {
        const QPointF q = w.project(p);
        return img.pixel(static_cast<int>(q.x()), static_cast<int>(q.y()));
    };
    const QRgb top = at({0, 250, 0});
    EXPECT_TRUE(near(top, 235, 0, 0)) << rgbText(top);
    const QRgb front = at({250, 0, 0});
    EXPECT_TRUE(near(front, 255, 0, 0)) << rgbText(front);
    const QRgb side = at({0, 0, 250});
    EXPECT_TRUE(near(side, 204, 0, 0)) << rgbText(side);

    // Roof edges: a black pixel on or right beside each projected midpoint.
    const int roof[4][2] = {{4, 5}, {5, 6}, {6, 7}, {7, 4}};
    for (const auto& e : roof) {
        const auto& a = w.scene.boxVerts[e[0]];
        const auto& b = w.scene.boxVerts[e[1]];
        const QPointF m = w.project({(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2});
        bool black = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                black = black || near(img.pixel(int(m.x()) + dx, int(m.y()) + dy), 0, 0, 0);
        EXPECT_TRUE(black) << "roof edge " << e[0] << "-" << e[1];
    }

    // Hidden by the step slider: the piece is gone, the outline stays.
    w.arr.colorArr[0].shown = 0;
    const QImage hidden = w.panel->grabFrame();
    const QPointF c = w.project({0, 250, 0});
    EXPECT_TRUE(near(hidden.pixel(int(c.x()), int(c.y())), 0, 128, 128));
}

// A stored plan drawn into a panel and saved as a picture to look at.
TEST(Panel, StoredPlanScreenshot) {
    TestDb db;
    addVehicle(db.conn, {"20GP", "二十尺柜", 5898, 2352, 2393, 21000, "GP"});
    addGoods(db.conn, {"A", "甲", "b", 1, "1", 600, 400, 300, 20, "200,60,60"});
    addGoods(db.conn, {"B", "乙", "b", 1, "1", 500, 350, 250, 12, "60,160,60"});
    addGoods(db.conn, {"C", "丙", "b", 1, "1", 450, 300, 200, 8, ""});
    ASSERT_TRUE(addOrder(db.conn, {"S1", "shot", "", "20GP", "", ""}, {{"A", 120}, {"B", 120}, {"C", 60}}).ok);
    PanelWindow w(1000, 700);
    tms::TPlanShow show;
    tms::countXYZ(db.conn, "S1", 1, show, w.scene);
    ASSERT_GT(show.planCount, 0);
    w.arr = show.planArr;
    w.count = show.planCount;
    w.window.show();
    settle();
    const QImage img = w.panel->grabFrame();
    const QString dir = qEnvironmentVariable("TMS_SCREENSHOT_DIR", QDir::tempPath());
    EXPECT_TRUE(img.save(dir + "/view_stored_plan.png"));
    int reddish = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4)
            reddish += qRed(img.pixel(x, y)) > 150 && qGreen(img.pixel(x, y)) < 100;
    EXPECT_GT(reddish, 100);
}

// Callbacks: OnInit once with the context current, OnResize after the
// viewport, OnPreInit never; without OnPaint nothing is drawn.
TEST(Panel, Callbacks) {
    QWidget window;
    auto* panel = new TGLPanel(&window);
    int inits = 0, preInits = 0, resizes = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    panel->OnInit = [&](TGLPanel*) { ++inits; };
    panel->OnPreInit = [&](TGLPanel*) { ++preInits; };
    panel->OnResize = [&](TGLPanel*) {
        ++resizes;
        glGetIntegerv(GL_VIEWPORT, viewport);
    };
    panel->resize(320, 240);
    window.resize(400, 300);
    window.show();
    settle();
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(preInits, 0);
    EXPECT_GE(resizes, 1);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    panel->resize(200, 100);
    settle();
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    EXPECT_EQ(inits, 1);

    // Without OnResize the viewport set last stays, paint after paint.
    panel->OnResize = nullptr;
    panel->OnPaint = [&](TGLPanel*) { glGetIntegerv(GL_VIEWPORT, viewport); };
    panel->resize(300, 150);
    settle();
    panel->Paint();
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
}

// A plan dropped by the window (a new order or container) and followed by
// an empty one leaves no piece behind.
TEST(Panel, EmptyPlanAfterInvalidateDrawsNoPiece) {
    PanelWindow w(400, 400);
    oneRedPiece(w);
    w.window.show();
    settle();
    ASSERT_TRUE(w.panel->glReady());
    const QPointF centre = w.project({0, 0, 0});
    const QPoint c(static_cast<int>(centre.x()), static_cast<int>(centre.y()));
    EXPECT_FALSE(near(w.panel->grabFrame().pixel(c), 0, 128, 128));
    w.renderer.invalidate();
    w.count = 0;
    const QImage img = w.panel->grabFrame();
    EXPECT_TRUE(near(img.pixel(c), 0, 128, 128)) << rgbText(img.pixel(c));

    // A count past the arrays reads none of them.
    w.panel->surface()->makeCurrent();
    w.renderer.update(w.arr, 5, w.scene.viewSize, 400);
    w.panel->surface()->doneCurrent();
    EXPECT_EQ(w.renderer.drawnPieces(), 0);
}

namespace {
// The drawing written out step by step, piece after piece, in immediate
// mode: the picture the renderer must give.
void drawStepwise(const tms::TArr& a, int n, const tms::TPlanScene& scene, const tms::TCamera& camera) {
    static constexpr int kF[6][4] = {{1, 5, 6, 2}, {3, 7, 4, 0}, {3, 7, 6, 2},
                                     {1, 5, 4, 0}, {5, 6, 7, 4}, {1, 2, 3, 0}};
    static constexpr int kFA[6] = {0, 0, 2, 2, 1, 1};
    static constexpr int kE[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {4, 5},
                                      {5, 1}, {4, 7}, {7, 3}, {5, 6}, {6, 7}, {6, 2}};
    static constexpr int kEA[12] = {0, 2, 0, 2, 1, 0, 1, 2, 1, 2, 0, 1};
    glClearColor(0, 0.5f, 0.5f, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(camera.panX, camera.panY, 0);
    glRotatef(45, 1, 0, 0);
    glRotatef(static_cast<float>(camera.baseAngle) + camera.spinAngle, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double h = scene.viewSize / 2.0;
    glOrtho(-h, h, -h, h, -h, h);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    for (int i = 0; i < n; ++i) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const tms::color& c = a.colorArr[i];
        if (c.shown != 1) continue;
        tms::TFaceShades fs;
        const bool known = tms::faceShadesOf(a.placeArr[i], fs);
        const tms::TShade by[3] = {fs.x, fs.y, fs.z};
        const auto& v = a.vertArr[i];
        if (known) {
            glBegin(GL_QUADS);
            for (int f = 0; f < 6; ++f) {
                float r = c.red, g = c.green, b = c.blue;
                tms::applyShade(by[kFA[f]], r, g, b);
                glColor4f(r, g, b, c.alpha);
                for (int k : kF[f]) glVertex3fv(v[k].data());
            }
            glEnd();
        }
        glDisable(GL_BLEND);
        glLineWidth(1);
        glBegin(GL_LINES);
        for (int e = 0; e < 12; ++e) {
            const tms::TShade s = by[kEA[e]];
            if (!known)
                glColor3f(0, 0, 0);
            else if (s == tms::TShade::ZL)
                glColor3f(1, 1, 1);
            else if (s == tms::TShade::AN)
                glColor3f(0, 0, 0);
            else
                glColor3f(1, 0, 0);
            for (int k : kE[e]) glVertex3fv(v[k].data());
        }
        glEnd();
    }
    glFinish();
}

// A container of 3000 x 2000 x 2000 mm stacked full with touching pieces of
// mixed lengths and turns, so edges lie on neighbours' faces and rows meet
// in T-joints, most of them inside the others; some pieces are not drawn
// (holes, inside too), one has an unknown placement text and shows its
// edges only.
void stackedPieces(PanelWindow& w) {
    const float L = 3000, H = 2000, W = 2000;
    w.scene = tms::containerScene(L, H, W);
    w.scene.hasOutline = false;
    w.arr = tms::TArr();
    int n = 0;
    unsigned seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (float y = 0; y < H; y += 250)
        for (float z = 0; z < W; z += 250)
            for (float x = 0; x < L;) {
                const float len = std::min(L - x, 150.0f + 100.0f * static_cast<float>(next() % 4));
                const float x0 = x - L / 2, y0 = y - H / 2, z0 = z - W / 2;
                const float x1 = x0 + len, y1 = y0 + 250, z1 = z0 + 250;
                w.arr.vertArr.push_back(tms::boxCorners(x0, y0, z0, x1, y1, z1));
                tms::color c;
                c.red = static_cast<float>(next() % 256) / 255;
                c.green = static_cast<float>(next() % 256) / 255;
                c.blue = static_cast<float>(next() % 256) / 255;
                c.shown = n % 23 == 5 ? 0 : 1;
                w.arr.colorArr.push_back(c);
                w.arr.placeArr.push_back(n == 400 ? std::string("?")
                                                  : std::string(tms::orientationByNumber(1 + n % 6)->placeText));
                ++n;
                x += len;
            }
    w.count = n;
    tms::sizeArr(w.arr, static_cast<std::size_t>(n));
}

}  // namespace

// The renderer gives exactly the picture of the drawing written out step by
// step, piece after piece, though it leaves out the pieces inside the
// others: full, with only the first 45 % or 80 % of the pieces shown (the
// step slider), turned through 48 angles; with translucent pieces; and
// zoomed in so far that the near plane cuts the packing open.
TEST(Panel, DrawsExactlyTheStepwiseDrawing) {
    PanelWindow w(480, 360);
    stackedPieces(w);
    bool stepwise = false;
    w.panel->OnPaint = [&](TGLPanel*) {
        if (stepwise)
            drawStepwise(w.arr, w.count, w.scene, w.camera);
        else
            w.renderer.draw(w.arr, w.count, w.scene, w.camera);
    };
    w.window.show();
    settle();
    ASSERT_TRUE(w.panel->glReady());
    const auto differing = [&] {
        stepwise = true;
        const QImage reference = w.panel->grabFrame();
        stepwise = false;
        const QImage drawn = w.panel->grabFrame();
        int differ = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
            for (int x = 0; x < drawn.width(); ++x) differ += a[x] != b[x];
        }
        return differ;
    };
    const auto shownUpTo = [&](int percent) {
        int shown = 0;
        for (int i = 0; i < w.count; ++i) {
            tms::color& c = w.arr.colorArr[i];
            const bool in = i < w.count * percent / 100 && i % 23 != 5;
            c.shown = in ? 1 : 0;
            c.alpha = in ? 1.0f : 0.0f;
            shown += in;
        }
        return shown;
    };
    for (const int percent : {100, 45, 80}) {
        const int shown = shownUpTo(percent);
        for (int view = 0; view < 48; ++view) {
            w.camera.baseAngle = view % 2 ? -45 : -135;
            w.camera.spinAngle = 7.5f * static_cast<float>(view);
            ASSERT_EQ(differing(), 0) << percent << " %, view " << view;
        }
        EXPECT_LT(w.renderer.drawnPieces(), percent == 100 ? shown * 3 / 4 : shown) << "the pieces inside are drawn";
    }

    // Translucent pieces: their depth hides pieces their colour does not.
    const int shown = shownUpTo(100);
    for (int i = 0; i < w.count; i += 37) w.arr.colorArr[i].alpha = i % 2 ? 0.0f : 0.5f;
    for (int view = 0; view < 8; ++view) {
        w.camera.spinAngle = 45.0f * static_cast<float>(view);
        ASSERT_EQ(differing(), 0) << "translucent, view " << view;
    }
    EXPECT_EQ(w.renderer.drawnPieces(), shown);

    // Zoomed in: the near plane runs through the packing.
    shownUpTo(100);
    w.scene.viewSize *= 0.35f;
    w.camera.panX = 0.3f;
    for (int view = 0; view < 4; ++view) {
        w.camera.spinAngle = 90.0f * static_cast<float>(view) + 20;
        ASSERT_EQ(differing(), 0) << "zoomed in, view " << view;
    }
    EXPECT_EQ(w.renderer.drawnPieces(), shown);
}

// Where a piece's edge lies on the container outline, the line drawn first
// stays: the piece's in the assembly drawing, the outline's in the
// self-service drawing.
TEST(Panel, OutlineBeforeOrAfterThePieces) {
    for (const tms::TOutline order : {tms::TOutline::last, tms::TOutline::first}) {
        PanelWindow w(400, 400);
        oneRedPiece(w);
        // The piece fills the container: its edge 4-5 (along the length,
        // white) is the outline's roof edge.
        w.arr.vertArr[0] = {{w.scene.boxVerts[0], w.scene.boxVerts[1], w.scene.boxVerts[2], w.scene.boxVerts[3],
                             w.scene.boxVerts[4], w.scene.boxVerts[5], w.scene.boxVerts[6], w.scene.boxVerts[7]}};
        tms::TPlanRenderer renderer(order);
        w.panel->OnPaint = [&](TGLPanel*) { renderer.draw(w.arr, w.count, w.scene, w.camera); };
        w.window.show();
        settle();
        ASSERT_TRUE(w.panel->glReady());
        const QImage img = w.panel->grabFrame();
        const auto& a = w.scene.boxVerts[4];
        const auto& b = w.scene.boxVerts[5];
        int white = 0, black = 0;
        for (float t = 0.2f; t < 0.8f; t += 0.05f) {
            const QPointF m = w.project({a[0] + t * (b[0] - a[0]), a[1], a[2]});
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    const QRgb p = img.pixel(int(m.x()) + dx, int(m.y()) + dy);
                    white += near(p, 255, 255, 255);
                    black += near(p, 0, 0, 0);
                }
        }
        if (order == tms::TOutline::last) {
            EXPECT_GT(white, 5);
        } else {
            EXPECT_EQ(white, 0);
            EXPECT_GT(black, 5);
        }
    }
}

// The print image is the panel with the window strip under it; it prints.
TEST(Panel, PrintImage) {
    QWidget window;
    auto* lay = new QVBoxLayout(&window);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    auto* panel = new TGLPanel(&window);
    panel->setFixedSize(300, 200);
    tms::TPlanRenderer r;
    tms::TArr empty;
    tms::TPlanScene scene;
    panel->OnPaint = [&](TGLPanel*) { r.draw(empty, 0, scene, tms::TCamera()); };
    auto* below = new QWidget(&window);
    below->setFixedSize(300, 60);
    below->setAutoFillBackground(true);
    QPalette pal = below->palette();
    pal.setColor(QPalette::Window, QColor(250, 250, 0));
    below->setPalette(pal);
    lay->addWidget(panel);
    lay->addWidget(below);
    window.show();
    settle();
    const QImage img = tms::composePanelImage(panel, below);
    ASSERT_EQ(img.size(), QSize(300, 260));
    EXPECT_TRUE(near(img.pixel(150, 100), 0, 128, 128)) << rgbText(img.pixel(150, 100));
    EXPECT_TRUE(near(img.pixel(150, 230), 250, 250, 0)) << rgbText(img.pixel(150, 230));

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + "/print.pdf");
    tms::printImage(printer, img);
    EXPECT_GT(QFile(dir.path() + "/print.pdf").size(), 1000);
}

// The print rectangle: the stretch by 12 where it fits the printable area,
// else the image scaled down whole from the 0.18 inch margin.
TEST(Panel, PrintRectangle) {
    const QSize a4at300(2480, 3508), a4at600(4961, 7016);
    // A small panel (40 x 30 above a 20 pixel strip) fits at both.
    EXPECT_EQ(tms::printRect({40, 50}, 300, 300, a4at300), QRect(QPoint(54, 54), QPoint(1127, 1247)));
    EXPECT_EQ(tms::printRect({40, 50}, 600, 600, a4at600), QRect(QPoint(108, 108), QPoint(1775, 1895)));
    // A screen-sized one (1600 x 800 above 200) is scaled to the page width.
    EXPECT_EQ(tms::printRect({1600, 1000}, 300, 300, a4at300), QRect(54, 54, 2426, 1516));
    EXPECT_EQ(tms::printRect({1600, 1000}, 600, 600, a4at600), QRect(108, 108, 4853, 3033));
    // A tall one is scaled to the page height.
    EXPECT_EQ(tms::printRect({100, 2000}, 300, 300, a4at300), QRect(54, 54, 172, 3454));
    // The 400 x 300 panel above a 200 pixel strip at 600 dpi: (108, 108) to
    // (6096, 7296) on a page that takes it, scaled on A4.
    EXPECT_EQ(tms::printRect({400, 500}, 600, 600, QSize(7000, 8000)), QRect(QPoint(108, 108), QPoint(6095, 7295)));
    EXPECT_EQ(tms::printRect({400, 500}, 600, 600, a4at600), QRect(108, 108, 4853, 6066));
    // No room, no image.
    EXPECT_TRUE(tms::printRect({400, 500}, 600, 600, QSize(100, 100)).isEmpty());
    EXPECT_TRUE(tms::printRect({0, 0}, 600, 600, a4at600).isEmpty());
}

// Without any OpenGL the panels stay blank, the message shows once and the
// program goes on (a child process on Qt's platform without OpenGL).
TEST(Panel, NoOpenGLShowsTheMessageOnceAndGoesOn) {
    QTemporaryDir dir;
    const QString log = dir.path() + "/boxes.log";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "minimal");
    env.insert("TMS_DIALOG_LOG", log);
    env.insert("TMS_PANEL_CHILD", "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << lines.join(" / ").toStdString();
    EXPECT_TRUE(lines[0].endsWith("ChoosePixelFormat failed!")) << lines[0].toStdString();
}

namespace {
// The child: two panels shown and painted without OpenGL; exits 0 when the
// event loop still runs afterwards.
int runChild(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    auto* lay = new QVBoxLayout(&window);
    auto* a = new TGLPanel(&window);
    auto* b = new TGLPanel(&window);
    tms::TPlanRenderer r;
    tms::TArr empty;
    tms::TPlanScene scene;
    a->OnPaint = b->OnPaint = [&](TGLPanel*) { r.draw(empty, 0, scene, tms::TCamera()); };
    lay->addWidget(a);
    lay->addWidget(b);
    window.resize(300, 300);
    window.show();
    settle(300);
    a->Paint();
    b->update();
    settle(100);
    return a->glFailed() && b->glFailed() && !a->glReady() && a->grabFrame().size() == a->size() ? 0 : 3;
}
}  // namespace

int main(int argc, char** argv) {
    TGLPanel::setDefaultSurfaceFormat();
    if (qEnvironmentVariableIsSet("TMS_PANEL_CHILD")) return runChild(argc, argv);
    return tms::test::runWindowTests(argc, argv);
}
