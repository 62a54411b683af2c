#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>

#include "engine/Holdwisep.h"
#include "platform/DbSchema.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "shell/JPEG.h"
#include "shell/Startup.h"
#include "shell/Unit4.h"
#include "tests/support/OtherUser.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowTestMain.h"

namespace {

const QString kPassword = QString::fromLatin1(tms::kDatabasePassword);
const QString kFailed = QStringLiteral("数据库连接失败");
const QString kSettingsError = QStringLiteral("系统文件错误 请检查配置");

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

ino_t inodeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

void waitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// A program folder of its own with a fresh database; every box and every
// document the program opens is recorded instead of shown.
class Program : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString db = dir.path() + "/db/tmsdb.mdb";
    QString tmp = dir.path() + "/tmp";
    std::optional<TmpdirOverride> tmpdir;
    tms::ui::BoxRecorder boxes;
    QStringList opened;

    void SetUp() override {
        tms::desktop::setProgramDir(dir.path());
        tms::desktop::setOpenHandler([this](const QString& p) { opened << p; });
        ASSERT_TRUE(QDir().mkpath(tmp));
        tmpdir.emplace(tmp);
    }
    void TearDown() override {
        destroyForms();
        tms::desktop::setProgramDir(QString());
        tms::desktop::setOpenHandler(nullptr);
        tmpdir.reset();
    }
    void makeDatabase(const QString& password = kPassword) {
        QString err;
        ASSERT_TRUE(tms::createDatabase(db, password, true, &err)) << err.toStdString();
    }
    void writeSettings(const QByteArray& text) {
        QFile f(dir.path() + "/setup.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray settings() const {
        QFile f(dir.path() + "/setup.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList leftovers() const {
        QStringList out;
        for (const QString& d : {tmp, dir.path() + "/db"}) out << QDir(d).entryList({"~SM*"}, QDir::Files);
        return out;
    }
    // Many deleted rows, so that a compaction has room to win.
    void addFreePages() {
        TADOConnection& c = Form4->ADOConnection1;
        TTransaction t(c);
        for (int i = 0; i < 800; ++i)
            c.Execute("insert into HoldGoods(GoodsNo,GoodsRemark) values (?,?)",
                      {QString("G%1").arg(i), QString(300, 'x')});
        c.Execute("delete from HoldGoods where GoodsNo <> 'G7'");
        t.Commit();
    }
};

// ---------------------------------------------------------------- start-up

TEST_F(Program, StartsOnItsDatabaseAndCreatesEveryWindowHidden) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    EXPECT_TRUE(boxes.boxes().isEmpty());
    EXPECT_TRUE(Form4->ADOConnection1.Connected());
    EXPECT_EQ(Form4->ADOConnection1.dataSourceFile(), dir.path() + "//db/tmsdb.mdb");
    EXPECT_EQ(Form4->windowTitle(), "舱易通");
    EXPECT_EQ(Form4->size(), Form4->screen()->geometry().size());
    EXPECT_EQ(Form4->Image1->picture().size(), QSize(1600, 1000));

    const QStringList names = {"Form1", "Form2", "Form3", "Form4",  "Form5", "Form6",
                               "Form7", "Form8", "Form9", "Form10", "Form11"};
    for (const QString& n : names) {
        QWidget* w = topLevel(n);
        ASSERT_NE(w, nullptr) << n.toStdString();
        EXPECT_FALSE(w->isVisible()) << n.toStdString();
    }
    EXPECT_EQ(topLevel("Form1")->windowTitle(), "设置");
    EXPECT_EQ(topLevel("Form11")->windowTitle(), "添加货物");
}

TEST_F(Program, TheApplicationNamesItsFixedHelpFile) {
    setApplicationHelpFile();
    const QString help = qApp->property("HelpFile").toString();
    EXPECT_TRUE(QDir::isAbsolutePath(help)) << help.toStdString();
    EXPECT_TRUE(help.endsWith("/HOLDWSHP.CHM")) << help.toStdString();
}

TEST_F(Program, ButtonBarInItsOrder) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    const QList<QPair<QString, QString>> expected = {{"SpeedButton2", "货柜管理"}, {"SpeedButton3", "货物管理"},
                                                     {"SpeedButton4", "订单管理"}, {"SpeedButton1", "新增订单"},
                                                     {"SpeedButton5", "装配图"},   {"SpeedButton10", "自助装箱"},
                                                     {"SpeedButton9", "设置"},     {"SpeedButton6", "帮助"},
                                                     {"SpeedButton7", "关于"},     {"SpeedButton8", "退出"}};
    Form4->show();
    waitUntil([] { return Form4->windowHandle() && Form4->windowHandle()->isExposed(); });
    int x = -1;
    for (const auto& [name, caption] : expected) {
        auto* b = Form4->findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr) << name.toStdString();
        EXPECT_EQ(b->text(), caption);
        EXPECT_EQ(b->size(), QSize(73, 60));
        EXPECT_GT(b->x(), x) << name.toStdString();  // left to right
        x = b->x();
        EXPECT_LT(b->geometry().bottom(), Form4->Image1->y() + 1);  // the picture is below
    }
    EXPECT_EQ(Form4->Image1->width(), Form4->width());
}

TEST_F(Program, EachConnectionFailureSaysSoOnceAndCreatesNothing) {
    // Missing file.
    ASSERT_FALSE(createForms());
    EXPECT_EQ(boxes.texts(), QStringList{kFailed});
    EXPECT_EQ(Form1, nullptr);
    EXPECT_FALSE(QFile::exists(db));
    destroyForms();

    // Zero-byte file.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/db"));
    QFile empty(db);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    boxes.clear();
    ASSERT_FALSE(createForms());
    EXPECT_EQ(boxes.texts(), QStringList{kFailed});
    EXPECT_EQ(QFileInfo(db).size(), 0);
    destroyForms();

    // Another password.
    QFile::remove(db);
    makeDatabase("not the password");
    const qint64 size = QFileInfo(db).size();
    boxes.clear();
    ASSERT_FALSE(createForms());
    EXPECT_EQ(boxes.texts(), QStringList{kFailed});
    EXPECT_EQ(QFileInfo(db).size(), size);
    EXPECT_EQ(QDir(dir.path() + "/db").entryList(QDir::Files), QStringList{"tmsdb.mdb"});
}

TEST_F(Program, ADatabaseThatCannotBeWrittenIsNamedAtStart) {
    makeDatabase();
    const QString folder = dir.path() + "/db";
    AsOtherUser::shareFolder(dir.path(), folder);
    for (const auto& [file, folderMode, named] : {std::tuple{0444, 0755, db}, std::tuple{0666, 0555, folder}}) {
        AsOtherUser::setMode(db, file);
        AsOtherUser::setMode(folder, folderMode);
        boxes.clear();
        {
            AsOtherUser nobody;
            ASSERT_TRUE(createForms());
        }
        ASSERT_EQ(boxes.boxes().size(), 1);
        EXPECT_EQ(boxes.boxes()[0].kind, tms::ui::BoxKind::Warning);
        EXPECT_TRUE(boxes.boxes()[0].text.contains("“" + QDir::toNativeSeparators(named) + "”"))
            << boxes.boxes()[0].text.toStdString();
        EXPECT_TRUE(Form4->ADOConnection1.Connected());
        destroyForms();
    }
    AsOtherUser::setMode(folder, 0755);
}

// The program itself, run from a folder of its own: it must end with a
// failure status right after the one message.
TEST_F(Program, TheProgramEndsWithAFailureStatusWithoutItsDatabase) {
    const QString appDir = dir.path() + "/app";
    ASSERT_TRUE(QDir().mkpath(appDir + "/db"));
    const QString exe = appDir + "/cangyitong";
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("TMS_APP_DIR") + "/cangyitong", exe));
    const QString file = appDir + "/db/tmsdb.mdb";

    auto run = [&]() {
        const QString log = dir.path() + "/boxes.log";
        QFile::remove(log);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMS_DIALOG_LOG", log);
        p.setProcessEnvironment(env);
        p.start(exe, {});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1) << p.readAllStandardError().toStdString();
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    const QString once = "message\t舱易通\t" + kFailed + "\n";

    EXPECT_EQ(run(), once);
    EXPECT_FALSE(QFile::exists(file));

    QFile empty(file);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(run(), once);
    EXPECT_EQ(QFileInfo(file).size(), 0);

    QFile::remove(file);
    QString err;
    ASSERT_TRUE(tms::createDatabase(file, "another password", false, &err));
    const qint64 size = QFileInfo(file).size();
    EXPECT_EQ(run(), once);
    EXPECT_EQ(QFileInfo(file).size(), size);
}

// ---------------------------------------------------------------- buttons

TEST_F(Program, ButtonsOpenTheirWindowsAndTheMainWindowStaysUsable) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    Form4->show();
    const QList<QPair<QString, QString>> buttons = {
        {"SpeedButton2", "Form6"}, {"SpeedButton3", "Form5"},  {"SpeedButton4", "Form7"}, {"SpeedButton1", "Form10"},
        {"SpeedButton5", "Form8"}, {"SpeedButton10", "Form9"}, {"SpeedButton9", "Form1"}};
    for (const auto& [button, form] : buttons) {
        Form4->findChild<QToolButton*>(button)->click();
        QWidget* w = topLevel(form);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible()) << form.toStdString();
        EXPECT_FALSE(w->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(Form4->isVisible() && Form4->isEnabled());
    }
    // All stay open together, each once; pressing again keeps the one window.
    Form4->SpeedButton3->click();
    int goodsWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) goodsWindows += w->objectName() == "Form5";
    EXPECT_EQ(goodsWindows, 1);
    for (const auto& [button, form] : buttons) EXPECT_TRUE(topLevel(form)->isVisible()) << form.toStdString();
    EXPECT_FALSE(topLevel("Form2")->isVisible());  // nothing opens the modify-order dialog
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Program, HelpOpensTheGuideBesideTheProgramOrNothing) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    Form4->SpeedButton6->click();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(boxes.boxes().isEmpty());

    // The guide the build makes is a compiled help file.
    const QString built = qEnvironmentVariable("TMS_APP_DIR") + "/help.CHM";
    QFile f(built);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(4), "ITSF");
    ASSERT_TRUE(QFile::copy(built, dir.path() + "/help.CHM"));
    Form4->SpeedButton6->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QFileInfo(opened[0]).canonicalFilePath(), QFileInfo(dir.path() + "/help.CHM").canonicalFilePath());
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

// The help button on a machine whose programs are only the ones a test puts
// in a folder of its own: the open requests go to the real desktop code.
class Help : public Program {
protected:
    QString bin = dir.path() + "/bin";
    QByteArray savedPath = qgetenv("PATH");
    const QString noViewer = "没有能打开帮助文件的程序 请安装CHM阅读器(xchm)";

    void SetUp() override {
        Program::SetUp();
        tms::desktop::setOpenHandler(nullptr);
        ASSERT_TRUE(QDir().mkpath(bin));
        qputenv("PATH", bin.toUtf8());
        makeDatabase();
        ASSERT_TRUE(createForms());
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("TMS_APP_DIR") + "/help.CHM", dir.path() + "/help.CHM"));
    }
    void TearDown() override {
        qputenv("PATH", savedPath);
        Program::TearDown();
    }
    // A program of the folder that writes its arguments to <name>.args and
    // prints `output`.
    void fakeProgram(const QString& name, const QString& script) {
        QFile f(bin + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\necho \"$@\" >> '" + bin + "/" + name + ".args'\n" + script + "\n").toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString argsOf(const QString& name, int waitMs = 5000) {
        const QString path = bin + "/" + name + ".args";
        waitUntil([&] { return QFile::exists(path) && QFileInfo(path).size() > 0; }, waitMs);
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    }
    QString guide() const { return QFileInfo(dir.path() + "/help.CHM").absoluteFilePath(); }
};

TEST_F(Help, NothingToOpenTheGuideSaysSo) {
    Form4->SpeedButton6->click();
    EXPECT_EQ(boxes.texts(), QStringList{noViewer});
    // A desktop that names no program for the type is no help either.
    fakeProgram("xdg-mime", "case \"$2\" in filetype) echo application/vnd.ms-htmlhelp;; esac");
    fakeProgram("xdg-open", "exit 3");
    boxes.clear();
    Form4->SpeedButton6->click();
    EXPECT_EQ(boxes.texts(), QStringList{noViewer});
    EXPECT_FALSE(QFile::exists(bin + "/xdg-open.args"));
    // No guide at all: silent, as ever.
    QFile::remove(dir.path() + "/help.CHM");
    boxes.clear();
    Form4->SpeedButton6->click();
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Help, TheDesktopsViewerFirstThenXchm) {
    fakeProgram("xchm", "");
    Form4->SpeedButton6->click();
    EXPECT_EQ(argsOf("xchm"), guide());
    EXPECT_TRUE(boxes.boxes().isEmpty());

    QFile::remove(bin + "/xchm.args");
    fakeProgram("xdg-mime",
                "case \"$2\" in filetype) echo application/vnd.ms-htmlhelp;; default) echo viewer.desktop;; esac");
    fakeProgram("xdg-open", "");
    Form4->SpeedButton6->click();
    EXPECT_EQ(argsOf("xdg-open"), guide());
    EXPECT_EQ(argsOf("xdg-mime"), "query filetype " + guide() + "\nquery default application/vnd.ms-htmlhelp");
    EXPECT_FALSE(QFile::exists(bin + "/xchm.args"));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Program, AboutIsOneModalBox) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    Form4->SpeedButton7->click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].kind, tms::ui::BoxKind::About);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith("舱易通1.5\n"));
    EXPECT_GT(boxes.boxes()[0].text.size(), QString("舱易通1.5\n").size());
}

// ---------------------------------------------------------------- the way out

TEST_F(Program, ExitClosesTheConnectionAndCompactsOnce) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    addFreePages();
    const qint64 size = QFileInfo(db).size();
    const ino_t before = inodeOf(db);

    Form4->SpeedButton8->click();
    EXPECT_FALSE(Form4->ADOConnection1.Connected());
    EXPECT_LT(QFileInfo(db).size(), size / 2);
    EXPECT_EQ(inodeOf(db), before);  // compacted in place
    EXPECT_TRUE(leftovers().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(boxes.boxes().isEmpty());

    const QByteArray after = hashOf(db);
    Form4->close();  // the same way out again does nothing more
    EXPECT_EQ(hashOf(db), after);

    TADOConnection c;
    c.Open(TForm4::connectionText());
    TADOQuery q(&c);
    q.setSQL("select GoodsNo from HoldGoods");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "G7");
}

TEST_F(Program, ClosingTheMainWindowClosesTheConnectionFirstAndCompacts) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    addFreePages();
    Form4->show();
    const qint64 size = QFileInfo(db).size();
    Form4->close();
    EXPECT_FALSE(Form4->ADOConnection1.Connected());
    EXPECT_LT(QFileInfo(db).size(), size / 2);
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Program, ExitWhileAnotherConnectionReadsTheDatabaseChangesNothing) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    addFreePages();
    // Another copy of the program in the middle of a read: the compaction
    // waits a moment for it, gives up and the program still ends.
    TADOConnection other;
    other.Open(TForm4::connectionText());
    other.Execute("BEGIN");
    TADOQuery q(&other);
    q.setSQL("select count(*) from HoldGoods");
    q.Open();
    const QByteArray hash = hashOf(db);

    Form4->SpeedButton8->click();
    EXPECT_FALSE(Form4->ADOConnection1.Connected());
    EXPECT_EQ(hashOf(db), hash);
    EXPECT_TRUE(boxes.boxes().isEmpty());
    EXPECT_TRUE(leftovers().isEmpty());
    other.Execute("COMMIT");
}

TEST_F(Program, MainWindowShowsItsPicture) {
    makeDatabase();
    ASSERT_TRUE(createForms());
    Form4->show();
    waitUntil([] { return Form4->windowHandle() && Form4->windowHandle()->isExposed(); });
    const QImage shot = Form4->grab().toImage();
    const QString shotDir = qEnvironmentVariable("TMS_SHOT_DIR");
    if (!shotDir.isEmpty()) shot.save(shotDir + "/main-window.png");
    // Sky at the top of the picture, sea at the bottom: not an empty window.
    const QRect pic = Form4->Image1->geometry();
    const QColor sky = shot.pixelColor(pic.left() + pic.width() * 3 / 4, pic.top() + 5);
    const QColor sea = shot.pixelColor(pic.left() + 5, pic.bottom() - 5);
    EXPECT_GT(sky.blue(), sky.red() + 40);
    EXPECT_LT(sea.lightness(), 90);
}

// ---------------------------------------------------------------- settings

TEST_F(Program, SettingsDialogDesignAndAMissingFile) {
    TForm1 f;
    EXPECT_EQ(f.windowTitle(), "设置");
    EXPECT_EQ(f.CheckBox1->text(), "起用体积约束");
    EXPECT_EQ(f.CheckBox2->text(), "起用重量约束 ");
    EXPECT_EQ(f.CheckBox3->text(), "起用方向约束");
    EXPECT_EQ(f.CheckBox4->text(), "起用重心约束");
    EXPECT_EQ(f.BitBtn1->text(), "确定");
    EXPECT_EQ(f.BitBtn2->text(), "取消");
    EXPECT_TRUE(f.CheckBox1->isChecked());
    EXPECT_FALSE(f.CheckBox1->isEnabled());
    EXPECT_TRUE(f.CheckBox4->isHidden());
    // No setup.ini: every switch off, the weight switch too, and no message.
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.CheckBox3->isChecked());
    EXPECT_FALSE(f.CheckBox4->isChecked());
    EXPECT_TRUE(boxes.boxes().isEmpty());
    EXPECT_EQ(settings(), "<missing>");
}

TEST_F(Program, SettingsOnlyATrimmedOneIsOn) {
    writeSettings("[Setup]\nweight= 1 \ndirection=true\ncenter=1\n");
    TForm1 a;
    EXPECT_TRUE(a.CheckBox2->isChecked());
    EXPECT_FALSE(a.CheckBox3->isChecked());
    EXPECT_TRUE(a.CheckBox4->isChecked());

    writeSettings("[other]\nweight=1\ndirection=1\n");  // no section "setup"
    TForm1 b;
    EXPECT_FALSE(b.CheckBox2->isChecked());
    EXPECT_FALSE(b.CheckBox3->isChecked());
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Program, SettingsOkSavesAndCloses) {
    writeSettings("; kept\n[setup]\nweight=1\ndirection=0\n[other]\nx=1\n");
    TForm1 f;
    f.show();
    f.CheckBox2->setChecked(false);
    f.CheckBox3->setChecked(true);
    f.BitBtn1->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(settings(), "; kept\n[setup]\nweight=0\ndirection=1\ncenter=0\n[other]\nx=1\n");
    TForm1 next;  // the next start-up
    EXPECT_FALSE(next.CheckBox2->isChecked());
    EXPECT_TRUE(next.CheckBox3->isChecked());
}

TEST_F(Program, SettingsCancelKeepsTheStatesForThisRunOnly) {
    writeSettings("[setup]\nweight=1\ndirection=0\ncenter=0\n");
    TForm1 f;
    f.show();
    f.CheckBox3->setChecked(true);
    f.BitBtn2->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.CheckBox3->isChecked());  // what the next calculation reads
    EXPECT_EQ(settings(), "[setup]\nweight=1\ndirection=0\ncenter=0\n");
    TForm1 next;
    EXPECT_FALSE(next.CheckBox3->isChecked());
}

TEST_F(Program, SettingsFileErrorsSayOnce) {
    writeSettings("[setup]\nweight=0\n");
    ASSERT_TRUE(QFile::setPermissions(dir.path() + "/setup.ini", QFileDevice::ReadOwner | QFileDevice::ReadOther));
    TForm1 f;
    f.show();
    f.CheckBox2->setChecked(true);
    f.BitBtn1->click();
    EXPECT_EQ(boxes.texts(), QStringList{kSettingsError});
    EXPECT_TRUE(f.isVisible());  // stays open
    EXPECT_EQ(settings(), "[setup]\nweight=0\n");

    // Unreadable at start-up: the switches keep their design states.
    QFile::remove(dir.path() + "/setup.ini");
    ASSERT_TRUE(QDir().mkdir(dir.path() + "/setup.ini"));
    boxes.clear();
    TForm1 g;
    EXPECT_EQ(boxes.texts(), QStringList{kSettingsError});
    EXPECT_TRUE(g.CheckBox2->isChecked());
    EXPECT_FALSE(g.CheckBox3->isChecked());
}

}  // namespace

int main(int argc, char** argv) {
    return tms::test::runWindowTests(argc, argv, [] {
        QCoreApplication::setApplicationName(QStringLiteral("舱易通"));
        JPEG::registerFileFormats();
    });
}
