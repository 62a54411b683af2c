// The assembly drawing window and the loading details window driven as a
// user drives them, through their named controls, on plans stored through
// the engine (Xvfb with Mesa's software OpenGL). Message boxes are answered
// by a recorder; the print dialog and the save dialog are replaced.

#include <GL/gl.h>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QOpenGLWidget>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <link.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "engine/Holdwisep.h"
#include "platform/DbWidgets.h"
#include "platform/Dialogs.h"
#include "shell/Startup.h"
#include "tests/support/Golden.h"
#include "tests/support/TestDb.h"
#include "tests/support/WindowTestMain.h"
#include "tests/view/PlanFixture.h"
#include "view/GLPanel.h"
#include "view/LoadingReport.h"
#include "view/PrintGLPanel.h"
#include "view/Unit3.h"
#include "view/Unit8.h"

using namespace viewtest;

namespace {

using tms::test::settle;

QString lines(std::initializer_list<const char*> l) {
    QStringList out;
    for (const char* s : l) out << QString::fromUtf8(s);
    return out.join('\n');
}

class DrawingWindow : public ::testing::Test {
protected:
    tms::ui::BoxRecorder boxes;
    TestDb db;
    std::unique_ptr<TForm8> form;

    void SetUp() override {
        Form1 = new TForm1;
        Form3 = new TForm3;
        boxes.clear();
        form = std::make_unique<TForm8>(&db.conn);
        form->resize(1600, 1000);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        delete Form3;
        Form3 = nullptr;
        delete Form1;
        Form1 = nullptr;
    }

    tms::TPlanShow& plan() { return Form1->plan; }
    int shown() {
        int n = 0;
        for (const tms::color& c : plan().planArr.colorArr) n += c.shown == 1 && c.alpha == 1.0f;
        return n;
    }

    // Container V1 of 1000 x 1000 x 500 holds four cubes of 500.
    void storeCubes() {
        addVehicle(db.conn, {"V1", "小柜", 1000, 1000, 500, 9000, "S"});
        addGoods(db.conn, {"G1", "甲", "b", 1, "1", 500, 500, 500, 10, "255,0,0"});
        ASSERT_TRUE(addOrder(db.conn, {"C6", "六箱", "", "V1", "", ""}, {{"G1", 6}}).ok);
    }
    std::string storeWindowCase() {
        return storeCase(db.conn, (golden::caseDir("view", "window_piles") / "input.txt").string());
    }

    // Drops the order list down (it is refilled then) and picks the order.
    void pick(const QString& orderNo) {
        form->ComboBox1->showPopup();
        form->ComboBox1->hidePopup();
        const int i = form->ComboBox1->findData(orderNo);
        ASSERT_GE(i, 0) << orderNo.toStdString();
        form->ComboBox1->setCurrentIndex(i);
        emit form->ComboBox1->activated(i);
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QRect r = form->DBGrid1->visualRect(form->DBGrid1->model()->index(row, 1));
        QTest::mouseClick(form->DBGrid1->viewport(), Qt::LeftButton, mods, r.center());
    }
    QToolButton* arrow(const char* name) { return form->UpDown1->findChild<QToolButton*>(name); }
};

}  // namespace

// Choosing an order fills the summary lines exactly; an order number with a
// space or of 30 columns opens that order.
TEST_F(DrawingWindow, ChoosingAnOrderFillsTheSummary) {
    storeCubes();
    ASSERT_TRUE(addOrder(db.conn, {"Z 9", "空格", "", "V1", "", ""}, {{"G1", 1}}).ok);
    const QString longNo(30, 'N');
    ASSERT_TRUE(addOrder(db.conn, {longNo.toStdString(), "长号", "", "V1", "", ""}, {{"G1", 3}}).ok);

    pick("C6");
    EXPECT_EQ(form->ComboBox1->currentText(), QString("C6") + QString(29, ' ') + "六箱");
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   1  种    数量共计:  4", "  装箱率:          100%"}));
    EXPECT_EQ(form->Label3->text(), "共 2 箱");
    EXPECT_EQ(form->Edit1->text(), "1");
    EXPECT_EQ(form->tb->maximum(), 4);
    EXPECT_EQ(form->tb->value(), 0);
    EXPECT_EQ(shown(), 4) << "after a load every piece is drawn while the slider stands at 0";
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), form->piles().size());

    pick("Z 9");
    EXPECT_EQ(form->currentOrder(), "Z 9");
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   1  种    数量共计:  1", "  装箱率:          25%"}));
    EXPECT_EQ(form->Label3->text(), "共 1 箱");

    pick(longNo);
    EXPECT_EQ(form->ComboBox1->currentText(), longNo + "长号");
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   1  种    数量共计:  3", "  装箱率:          75%"}));

    // Typing into the list picks nothing: the order on show stays.
    form->ComboBox1->setFocus();
    QTest::keyClicks(form->ComboBox1, "Z");
    QTest::keyClicks(form->ComboBox1, "C6");
    EXPECT_EQ(form->currentOrder(), longNo);
    EXPECT_EQ(form->Label3->text(), "共 1 箱");
    EXPECT_EQ(plan().planCount, 3);

    // An order whose container row is gone keeps the container on show, its
    // outline and its name; the ratio is unknown.
    addVehicle(db.conn, {"V2", "大柜", 2000, 1000, 500, 9000, "S"});
    ASSERT_TRUE(addOrder(db.conn, {"NV", "无柜", "", "V2", "", ""}, {{"G1", 2}}).ok);
    db.conn.Execute("DELETE FROM HoldVehicles WHERE VehicleNo = 'V2'");
    pick("NV");
    EXPECT_EQ(plan().curBox.vehicleNo, "V1");
    EXPECT_EQ(plan().curBox.L, 1000);
    EXPECT_EQ(plan().planCount, 2);
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   1  种    数量共计:  2", "  装箱率:          "}));
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(" / ").toStdString();
}

// The container up-down: moves within 1..number of containers of the chosen
// order, refuses everything else.
TEST_F(DrawingWindow, ContainerChangeAndItsRefusals) {
    storeCubes();
    arrow("UpDown1Up")->click();
    EXPECT_EQ(form->Edit1->text(), "1") << "no order chosen";
    EXPECT_TRUE(form->RE->toPlainText().isEmpty());

    pick("C6");
    arrow("UpDown1Up")->click();
    EXPECT_EQ(form->Edit1->text(), "2");
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   1  种    数量共计:  2", "  装箱率:          50%"}));
    EXPECT_EQ(form->tb->maximum(), 2);
    EXPECT_EQ(plan().planCount, 2);
    EXPECT_EQ(form->Label3->text(), "共 2 箱");
    arrow("UpDown1Up")->click();
    EXPECT_EQ(form->Edit1->text(), "2") << "past the last container";
    EXPECT_EQ(plan().planCount, 2);
    arrow("UpDown1Down")->click();
    EXPECT_EQ(form->Edit1->text(), "1");
    EXPECT_EQ(plan().planCount, 4);
    arrow("UpDown1Down")->click();
    EXPECT_EQ(form->Edit1->text(), "1") << "below the first container";

    // An order without plan rows: "共 0 箱", zero figures, no container change.
    ASSERT_TRUE(addOrder(db.conn, {"E0", "空", "", "V1", "", ""}, {}).ok);
    form->showPlanOf("E0");
    EXPECT_EQ(form->Label3->text(), "共 0 箱");
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   0  种    数量共计:  0", "  装箱率:          0%"}));
    EXPECT_EQ(plan().planCount, 0);
    EXPECT_EQ(form->tb->maximum(), 0);
    arrow("UpDown1Up")->click();
    EXPECT_EQ(form->Edit1->text(), "1");
    arrow("UpDown1Down")->click();
    EXPECT_EQ(form->Edit1->text(), "1");
    form->BitBtn5->click();  // no piles: the stepper does nothing
    EXPECT_EQ(form->RE->toPlainText(), lines({"", "  选用的箱柜编号： V1          类型:  小柜",
                                              "  货物种类共计：   0  种    数量共计:  0", "  装箱率:          0%"}));
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(" / ").toStdString();
}

// The step slider at 0, a middle value and its maximum.
TEST_F(DrawingWindow, StepSlider) {
    storeCubes();
    form->showPlanOf("C6");
    const tms::TArr& a = plan().planArr;
    form->tb->setValue(1);
    EXPECT_EQ(shown(), 1);
    // The first piece in build order: smallest bcd, then bch, then bcw.
    int first = -1;
    for (int i = 0; i < plan().planCount; ++i)
        if (a.colorArr[i].shown) first = i;
    ASSERT_GE(first, 0);
    for (int i = 0; i < plan().planCount; ++i) {
        const auto& p = a.vertArr[i][0];
        const auto& f = a.vertArr[first][0];
        EXPECT_TRUE(std::tie(f[0], f[1], f[2]) <= std::tie(p[0], p[1], p[2])) << i;
    }
    form->tb->setValue(0);
    EXPECT_EQ(shown(), 0);
    form->tb->setValue(2);
    EXPECT_EQ(shown(), 2);
    form->tb->setValue(form->tb->maximum());
    EXPECT_EQ(shown(), 4);
}

// The pile stepper: first, middle and wrap-around steps, and a counter the
// self-service window left past this container's piles.
TEST_F(DrawingWindow, PileStepper) {
    const std::string order = storeWindowCase();
    form->showPlanOf(QString::fromStdString(order));
    EXPECT_EQ(form->piles().size(), 1);
    arrow("UpDown1Up")->click();  // container 2 holds three piles
    const tms::TPileLists& p = form->piles();
    const int n = p.size();
    ASSERT_GE(n, 3);
    auto expectStep = [&](int k, int loaded) {
        const auto at = static_cast<std::size_t>(k);
        EXPECT_EQ(form->RE->toPlainText(),
                  QString("\n  第  %1  步:  (共  %2  步)\n      已装入货物共计:  %3    件\n      当前堆    编号:  %4\n"
                          "                数量:  %5\n                摆放方式:  %6")
                      .arg(k + 1)
                      .arg(n)
                      .arg(loaded)
                      .arg(QString::fromStdString(p.gidList[at]), QString::fromStdString(p.countList[at]),
                           QString::fromStdString(p.bffsList[at])));
    };
    form->heapStep = n + 4;
    form->BitBtn5->click();
    expectStep(0, std::stoi(p.countList[0]));
    EXPECT_EQ(shown(), std::stoi(p.countList[0]));
    EXPECT_EQ(form->heapStep, 1);
    form->BitBtn5->click();
    const int two = std::stoi(p.countList[0]) + std::stoi(p.countList[1]);
    expectStep(1, two);
    EXPECT_EQ(shown(), two);
    for (int k = 2; k < n; ++k) form->BitBtn5->click();
    EXPECT_EQ(form->heapStep, 0);
    EXPECT_EQ(shown(), plan().planCount);
    form->BitBtn5->click();
    expectStep(0, std::stoi(p.countList[0]));
}

// Grid rows: one pile by a click, two by a multi-row selection; "全部"
// brings every piece and the summary back.
TEST_F(DrawingWindow, GridRowsShowPilesAndAllRestores) {
    const std::string order = storeWindowCase();
    pick(QString::fromStdString(order));
    arrow("UpDown1Up")->click();  // container 2 holds three piles
    const tms::TPileLists& p = form->piles();
    ASSERT_GE(p.size(), 2);
    const QString summary = form->RE->toPlainText();
    clickRow(1);
    EXPECT_EQ(plan().showFloors, (std::vector<std::string>{p.floorList[1]}));
    EXPECT_EQ(shown(), std::stoi(p.countList[1]));
    clickRow(0, Qt::ControlModifier);
    EXPECT_EQ(plan().showFloors, (std::vector<std::string>{p.floorList[1], p.floorList[0]}));
    EXPECT_EQ(shown(), std::stoi(p.countList[0]) + std::stoi(p.countList[1]));
    clickRow(0);
    EXPECT_EQ(shown(), std::stoi(p.countList[0]));

    form->BitBtn5->click();
    form->BitBtn5->click();
    EXPECT_NE(form->RE->toPlainText(), summary);
    form->BitBtn6->click();
    EXPECT_EQ(shown(), plan().planCount);
    EXPECT_EQ(form->heapStep, 0);
    EXPECT_EQ(form->RE->toPlainText(), summary);

    // Swatches: the goods colour of each pile row.
    auto* m = form->DBGrid1->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        const QVariant c = m->data(m->index(r, 0), Qt::BackgroundRole);
        ASSERT_TRUE(c.canConvert<QColor>()) << r;
        const QColor want = p.gidList[static_cast<std::size_t>(r)] == "G-1" ? QColor(0, 128, 255) : QColor(200, 60, 60);
        EXPECT_EQ(c.value<QColor>(), want) << r;
    }
}

// Printing: through the print button into a PDF file, and the print
// rectangle of the screen-sized panel lies on an A4 page.
TEST_F(DrawingWindow, PrintsToAnA4Page) {
    QTemporaryDir dir;
    int asked = 0;
    const QString pdf = dir.path() + "/drawing.pdf";
    const auto previous = tms::setPrinterChooser([&](QPrinter& printer, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    });
    form->SpeedButton2->click();
    EXPECT_EQ(asked, 0) << "no order: nothing printed";

    const std::string order = storeWindowCase();
    pick(QString::fromStdString(order));
    settle();
    form->SpeedButton2->click();
    EXPECT_EQ(asked, 1);
    EXPECT_GT(QFile(pdf).size(), 1000);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + "/direct.pdf");
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QRect rect = PrintGLPanel(form->GLPanel1, form->RE, printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    ASSERT_FALSE(rect.isEmpty());
    EXPECT_TRUE(QRect(QPoint(0, 0), page.size()).contains(rect))
        << rect.width() << "x" << rect.height() << " on " << page.width() << "x" << page.height();
    // The image keeps the proportions of the panel with the text under it.
    const double want = double(form->GLPanel1->width()) / (form->GLPanel1->height() + form->RE->height());
    EXPECT_NEAR(double(rect.width()) / rect.height(), want, 0.01);
    tms::setPrinterChooser(previous);
}

// A folder that takes no new files while the files in it stay writable: no
// write permission and, for a user whom permissions do not stop, the
// immutable flag. refuses() is false where neither can be had.
class LockedFolder {
public:
    explicit LockedFolder(const QString& path) : path_(path) {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (!refuses()) immutable(true);
    }
    ~LockedFolder() {
        immutable(false);
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool refuses() const {
        QFile probe(path_ + "/probe");
        if (!probe.open(QIODevice::WriteOnly)) return true;
        probe.remove();
        return false;
    }

private:
    void immutable(bool on) {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    QString path_;
};

// "装配清单": the report in the details window and the saved bytes, against
// the expected file written by hand; an edit is saved as it stands; a file
// that cannot be written leaves the report in place.
TEST_F(DrawingWindow, ReportWindowShowsAndSaves) {
    form->SpeedButton3->click();
    EXPECT_FALSE(Form3->isVisible()) << "no order chosen";

    const std::string order = storeWindowCase();
    pick(QString::fromStdString(order));
    form->SpeedButton3->click();
    ASSERT_TRUE(Form3->isVisible());
    EXPECT_EQ(Form3->windowTitle(), "装箱明细");
    const std::string want = golden::read("view", "window_piles", "expected.txt");
    QString wantText = QString::fromStdString(tms::fromGbk(want));
    wantText.replace("\r\n", "\n");
    wantText.chop(1);  // the last line end
    EXPECT_EQ(Form3->RE->toPlainText(), wantText);
    settle(100);
    EXPECT_TRUE(
        Form3->grab().save(qEnvironmentVariable("TMS_SCREENSHOT_DIR", QDir::tempPath()) + "/report_window.png"));

    QTemporaryDir dir;
    const QString file = dir.path() + "/装箱明细.TXT";
    Form3->SaveDialog1 = [&] { return std::optional<QString>(file); };
    QFile(file).open(QIODevice::WriteOnly);  // an existing file is replaced
    Form3->BitBtn1->click();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(golden::matches("view", "window_piles", "expected.txt", bytes.toStdString()));
    saved.close();

    Form3->RE->appendPlainText("备注 ok");
    Form3->BitBtn1->click();
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), want + tms::toGbk("备注 ok") + "\r\n");
    saved.close();

    // A writable file in a folder that takes no new files is replaced too.
    {
        LockedFolder locked(dir.path());
        if (locked.refuses()) {
            Form3->RE->setPlainText("只有一行");
            Form3->BitBtn1->click();
            EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_EQ(saved.readAll().toStdString(), tms::toGbk("只有一行") + "\r\n");
            saved.close();
            boxes.clear();
        }
    }

    Form3->SaveDialog1 = [&] { return std::optional<QString>(dir.path() + "/no/such/folder/r.txt"); };
    const QString before = Form3->RE->toPlainText();
    Form3->BitBtn1->click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_TRUE(boxes.boxes()[0].text.contains("r.txt")) << boxes.boxes()[0].text.toStdString();
    EXPECT_EQ(Form3->RE->toPlainText(), before);
    Form3->SaveDialog1 = [] { return std::optional<QString>(); };
    boxes.clear();
    Form3->BitBtn1->click();  // cancelled: nothing happens
    EXPECT_TRUE(boxes.boxes().isEmpty());
    Form3->BitBtn2->click();
    EXPECT_FALSE(Form3->isVisible());
}

// The save dialog lists the folder it opens in with Chinese types, sizes
// and dates, whatever the system's locale.
TEST(SaveDialog, ListsFoldersSizesAndDatesInChinese) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("样板"));
    QFile file(dir.path() + "/旧方案.TXT");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, 'x'));
    file.close();
    ASSERT_TRUE(loadQtTranslation());
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());

    QMap<QString, QStringList> rows;  // name -> size, type, date
    QStringList labels;               // column titles, then the buttons
    auto listOf = [](QWidget* w) { return w->findChild<QTreeView*>(); };
    tms::test::whenModal(
        [&](QWidget* dialog) {
            settle(100);  // the list sizes its columns once the rows are in
            const QTreeView* view = listOf(dialog);
            const QAbstractItemModel* m = view->model();
            for (int r = 0; r < m->rowCount(view->rootIndex()); ++r) {
                auto cell = [&](int c) { return m->index(r, c, view->rootIndex()).data().toString(); };
                rows[cell(0)] = QStringList{cell(1), cell(2), cell(3)};
            }
            for (int c = 0; c < 4; ++c) labels << m->headerData(c, Qt::Horizontal).toString();
            for (QPushButton* b : dialog->findChildren<QPushButton*>()) labels << b->text();
            if (const QString shots = qEnvironmentVariable("TMS_SCREENSHOT_DIR"); !shots.isEmpty())
                dialog->grab().save(shots + "/save_dialog.png");
        },
        [&](QWidget* w) { return listOf(w) && listOf(w)->model()->rowCount(listOf(w)->rootIndex()) >= 2; });
    TForm3 report;
    report.BitBtn1->click();
    QDir::setCurrent(before);

    ASSERT_EQ(rows.size(), 2) << QStringList(rows.keys()).join('|').toStdString();
    EXPECT_EQ(rows["样板"][1], "文件夹");
    EXPECT_EQ(rows["旧方案.TXT"][0], "2.00 KiB");
    const QDateTime modified = QFileInfo(dir.path() + "/旧方案.TXT").lastModified();
    EXPECT_EQ(rows["旧方案.TXT"][2], QLocale().toString(modified, QLocale::ShortFormat));
    EXPECT_EQ(rows["旧方案.TXT"][2].contains(QRegularExpression("[A-Za-z]")), false);
    EXPECT_EQ(labels.filter(QRegularExpression("[A-Za-z]{2}")), QStringList()) << labels.join('|').toStdString();
}

// Goods deleted from the catalogue after the calculation: the slider and the
// build sequence count the drawn pieces only.
TEST_F(DrawingWindow, DeletedGoodsGiveNoStepsBeyondTheDrawnPieces) {
    storeCubes();
    addGoods(db.conn, {"G9", "去", "b", 1, "1", 500, 500, 250, 1, "0,0,0"});
    ASSERT_TRUE(addOrder(db.conn, {"D1", "删", "", "V1", "", ""}, {{"G1", 2}, {"G9", 2}}).ok);
    db.conn.Execute("DELETE FROM HoldGoods WHERE GoodsNo = 'G9'");
    form->showPlanOf("D1");
    EXPECT_EQ(plan().planCount, 2);
    EXPECT_EQ(form->tb->maximum(), 2);
    EXPECT_EQ(plan().planArr.seqArr.size(), 2u);
    form->tb->setValue(form->tb->maximum());
    EXPECT_EQ(shown(), 2);
    form->tb->setValue(1);
    EXPECT_EQ(shown(), 1);
    EXPECT_EQ(form->RE->toPlainText().split('\n').value(2), "  货物种类共计：   2  种    数量共计:  4");
}

// A colour text that is not three integers leaves its swatch unfilled and
// painting the grid raises nothing.
TEST_F(DrawingWindow, BadColourTextLeavesTheSwatchUnfilled) {
    addVehicle(db.conn, {"V1", "小柜", 1000, 1000, 500, 9000, "S"});
    addGoods(db.conn, {"R", "红", "b", 1, "1", 500, 500, 500, 1, "red"});
    addGoods(db.conn, {"S", "灰", "b", 1, "1", 500, 500, 500, 1, "1,2"});
    addGoods(db.conn, {"T", "蓝", "b", 1, "1", 500, 500, 500, 1, "0,0,255"});
    ASSERT_TRUE(addOrder(db.conn, {"K1", "色", "", "V1", "", ""}, {{"R", 1}, {"S", 1}, {"T", 1}}).ok);
    pick("K1");
    settle();
    auto* m = form->DBGrid1->model();
    ASSERT_EQ(m->rowCount(), 3);
    int filled = 0;
    for (int r = 0; r < 3; ++r) {
        const QVariant c = m->data(m->index(r, 0), Qt::BackgroundRole);
        const QString gid = m->data(m->index(r, 1), Qt::DisplayRole).toString();
        if (gid == "T") {
            EXPECT_EQ(c.value<QColor>(), QColor(0, 0, 255));
            ++filled;
        } else {
            EXPECT_FALSE(c.isValid()) << gid.toStdString();
        }
    }
    EXPECT_EQ(filled, 1);
    EXPECT_FALSE(form->DBGrid1->grab().isNull());
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(" / ").toStdString();
}

// "工作单": the order as typed (a quote too) goes to order management; without
// an order the user is told to choose one.
TEST_F(DrawingWindow, OrderManagementGetsTheOrderAsTyped) {
    QStringList opened;
    form->openOrderWindow = [&](const QString& no) { opened << no; };
    form->SpeedButton1->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请选择一个工作单"});
    EXPECT_TRUE(opened.isEmpty());

    storeCubes();
    ASSERT_TRUE(addOrder(db.conn, {"Q'1 %", "引号", "", "V1", "", ""}, {{"G1", 1}}).ok);
    pick("Q'1 %");
    EXPECT_EQ(form->Label3->text(), "共 1 箱");
    form->SpeedButton1->click();
    EXPECT_EQ(opened, QStringList{"Q'1 %"});
    form->showPlanOf("C6");
    form->SpeedButton1->click();
    EXPECT_EQ(opened, (QStringList{"Q'1 %", "C6"}));
}

// Spin, centre, view angle and keypad panning change the view.
TEST_F(DrawingWindow, SpinCentreAngleAndPan) {
    form->BitBtn1->click();
    EXPECT_FALSE(form->spinning()) << "no order chosen";
    storeCubes();
    form->showPlanOf("C6");
    form->BitBtn1->click();
    EXPECT_TRUE(form->spinning());
    EXPECT_EQ(form->BitBtn1->toolTip(), "停止");
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 20);
    settle(200);
    EXPECT_GT(form->camera().spinAngle, 0.0f);
    EXPECT_EQ(std::fmod(form->camera().spinAngle, 2.5f), 0.0f);
    QWidget* surface = form->GLPanel1->surface() ? static_cast<QWidget*>(form->GLPanel1->surface()) : form->GLPanel1;
    QTest::mouseClick(surface, Qt::LeftButton);
    EXPECT_FALSE(form->spinning());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->BitBtn1->toolTip(), "旋转");

    form->BitBtn2->click();
    EXPECT_EQ(form->camera().baseAngle, -45);
    form->BitBtn2->click();
    EXPECT_EQ(form->camera().baseAngle, -135);

    form->activateWindow();
    form->tb->setFocus();
    QTest::qWait(20);
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
    QTest::keyRelease(focus, Qt::Key_6, Qt::KeypadModifier);
    QTest::keyRelease(focus, Qt::Key_6, Qt::KeypadModifier);
    QTest::keyRelease(focus, Qt::Key_8, Qt::KeypadModifier);
    QTest::keyRelease(focus, Qt::Key_6);  // not the keypad
    EXPECT_FLOAT_EQ(form->camera().panX, 0.2f);
    EXPECT_FLOAT_EQ(form->camera().panY, 0.1f);
    form->BitBtn2->click();
    form->BitBtn4->click();
    EXPECT_EQ(form->camera().panX, 0.0f);
    EXPECT_EQ(form->camera().panY, 0.0f);
    EXPECT_EQ(form->camera().baseAngle, -135);
    EXPECT_EQ(form->camera().spinAngle, 0.0f);
}

// The window with a plan of two containers, saved as pictures to look at:
// container 1 with its summary, container 2 after a pile step.
TEST_F(DrawingWindow, Screenshots) {
    const std::string order = storeWindowCase();
    pick(QString::fromStdString(order));
    settle(200);
    const QString dir = qEnvironmentVariable("TMS_SCREENSHOT_DIR", QDir::tempPath());
    const QImage one = form->grab().toImage();
    EXPECT_TRUE(one.save(dir + "/drawing_window_1.png"));
    // The drawing itself: the panel's frame shows pieces, not only the
    // teal background.
    const QImage frame = form->GLPanel1->grabFrame();
    int other = 0;
    for (int y = 0; y < frame.height(); y += 4)
        for (int x = 0; x < frame.width(); x += 4) {
            const QRgb p = frame.pixel(x, y);
            other += !(std::abs(qRed(p) - 0) <= 1 && std::abs(qGreen(p) - 128) <= 1 && std::abs(qBlue(p) - 128) <= 1);
        }
    EXPECT_GT(other, frame.width() * frame.height() / 16 / 20);

    arrow("UpDown1Up")->click();
    form->BitBtn5->click();
    settle(200);
    EXPECT_TRUE(form->grab().toImage().save(dir + "/drawing_window_2.png"));

    // No control overlaps another.
    QList<QWidget*> controls = {
        form->ComboBox1, form->Edit1,        form->UpDown1,      form->Label3,       form->tb,      form->DBGrid1,
        form->RE,        form->GLPanel1,     form->BitBtn2,      form->BitBtn5,      form->BitBtn6, form->BitBtn1,
        form->BitBtn4,   form->SpeedButton2, form->SpeedButton3, form->SpeedButton1, form->BitBtn7, form->ProgressBar1};
    for (int i = 0; i < controls.size(); ++i) {
        const QRect a(controls[i]->mapTo(form.get(), QPoint(0, 0)), controls[i]->size());
        EXPECT_TRUE(form->rect().contains(a)) << controls[i]->objectName().toStdString();
        for (int j = i + 1; j < controls.size(); ++j) {
            const QRect b(controls[j]->mapTo(form.get(), QPoint(0, 0)), controls[j]->size());
            EXPECT_FALSE(a.intersects(b))
                << controls[i]->objectName().toStdString() << " / " << controls[j]->objectName().toStdString();
        }
    }
}

int main(int argc, char** argv) { return tms::test::runWindowTests(argc, argv); }
