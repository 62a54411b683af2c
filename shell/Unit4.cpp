#include "shell/Unit4.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/Unit10.h"
#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "platform/Compact.h"
#include "platform/DbSchema.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/WindowKit.h"
#include "selfhelp/SelpHelpOrderForm9.h"
#include "shell/JPEG.h"
#include "view/Unit8.h"

namespace {

// Modeless: the window becomes visible and comes to the front; the main
// window stays usable.
void showForm(QWidget* form) {
    if (!form) return;
    if (form->isMinimized())
        form->showNormal();
    else
        form->show();
    form->raise();
    form->activateWindow();
}

}  // namespace

void TImage::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), picture_);
}

TForm4::TForm4(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("舱易通"));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(1, 1, 1, 1);
    bar->setSpacing(0);
    auto button = [&](const char* name, const char* caption, void (TForm4::*click)()) {
        auto* b = tms::ui::named(new QToolButton(Panel1), name);
        b->setText(QString::fromUtf8(caption));
        b->setFixedSize(73, 60);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, click);
        bar->addWidget(b);
        return b;
    };
    SpeedButton2 = button("SpeedButton2", "货柜管理", &TForm4::SpeedButton2Click);
    SpeedButton3 = button("SpeedButton3", "货物管理", &TForm4::SpeedButton3Click);
    SpeedButton4 = button("SpeedButton4", "订单管理", &TForm4::SpeedButton4Click);
    SpeedButton1 = button("SpeedButton1", "新增订单", &TForm4::SpeedButton1Click);
    SpeedButton5 = button("SpeedButton5", "装配图", &TForm4::SpeedButton5Click);
    SpeedButton10 = button("SpeedButton10", "自助装箱", &TForm4::SpeedButton10Click);
    SpeedButton9 = button("SpeedButton9", "设置", &TForm4::SpeedButton9Click);
    SpeedButton6 = button("SpeedButton6", "帮助", &TForm4::SpeedButton6Click);
    SpeedButton7 = button("SpeedButton7", "关于", &TForm4::SpeedButton7Click);
    SpeedButton8 = button("SpeedButton8", "退出", &TForm4::SpeedButton8Click);
    bar->addStretch(1);

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    try {
        Image1->setPicture(JPEG::loadPicture(QStringLiteral(":/shell/picture.jpg")));
    } catch (const std::exception&) {
        // No picture: the window works without it.
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Image1, 1);

    FormCreate();
}

TForm4::~TForm4() = default;

QString TForm4::databaseFile() { return tms::desktop::programDir() + QStringLiteral("\\db\\tmsdb.mdb"); }

QString TForm4::connectionText() {
    return makeConnectionString(databaseFile(), QString::fromLatin1(tms::kDatabasePassword));
}

void TForm4::FormCreate() {
    try {
        ADOConnection1.Open(connectionText());
    } catch (const EDatabaseVersionError& e) {
        // A file of a newer program: say so rather than a plain failure.
        connectionFailed_ = true;
        tms::ui::showMessage(e.message());
        return;
    } catch (const std::exception&) {
        connectionFailed_ = true;
        tms::ui::showMessage(QStringLiteral("数据库连接失败"));
        return;
    }
    // The library opens a file it may not write for reading only, without a
    // word: say so now, before the first save fails.
    if (const QString problem = ADOConnection1.writeProblem(); !problem.isEmpty())
        tms::ui::showWarning(QStringLiteral("数据库不能写入"), problem);
    tms::ui::fitFrameToScreen(this);
}

void TForm4::SpeedButton2Click() { showForm(Form6); }
void TForm4::SpeedButton3Click() { showForm(Form5); }
void TForm4::SpeedButton4Click() { showForm(Form7); }
void TForm4::SpeedButton1Click() { showForm(Form10); }
void TForm4::SpeedButton5Click() { showForm(Form8); }
void TForm4::SpeedButton10Click() { showForm(Form9); }
void TForm4::SpeedButton9Click() { showForm(Form1); }

// The guide opens with the desktop's viewer for compiled help or, where the
// desktop names none, with xchm. A missing guide says nothing, as before; a
// guide that nothing can open says so instead of failing unseen.
void TForm4::SpeedButton6Click() {
    const auto result =
        tms::desktop::openDocument(tms::desktop::programDir() + QStringLiteral("help.CHM"), {QStringLiteral("xchm")});
    if (result == tms::desktop::OpenResult::NoViewer)
        tms::ui::showMessage(QStringLiteral("没有能打开帮助文件的程序 请安装CHM阅读器(xchm)"));
}

void TForm4::SpeedButton7Click() {
    tms::ui::about(QStringLiteral("舱易通1.5"), QStringLiteral("集装箱与厢式货车的装载方案规划"));
}

void TForm4::SpeedButton8Click() {
    shutdown();
    QCoreApplication::exit(0);
}

void TForm4::closeEvent(QCloseEvent* event) {
    shutdown();
    event->accept();
    QCoreApplication::exit(0);
}

void TForm4::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    try {
        tms::ui::WaitCursor wait;
        if (ADOConnection1.Connected()) ADOConnection1.Close();
        CompactDatabase(databaseFile(), QString::fromLatin1(tms::kDatabasePassword));
    } catch (...) {
        // The program ends all the same; the database stays as it was.
    }
}
