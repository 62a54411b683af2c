// The self-service window and its add-goods dialog driven as a user drives
// them, through their named controls, with the message boxes answered by a
// recorder: batches into a 20-foot container, drawn, stepped, saved,
// listed, reopened and deleted; a save that fails half-way; a dialog left
// open over a loading that went away; saved loadings whose container or
// goods are gone.

#include <GL/gl.h>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <memory>
#include <string>
#include <vector>

#include "data/Unit5.h"
#include "engine/Holdwisep.h"
#include "platform/DbWidgets.h"
#include "platform/Dialogs.h"
#include "selfhelp/SelpHelpOrderForm9.h"
#include "selfhelp/Unit11.h"
#include "tests/support/TestDb.h"
#include "tests/support/WindowTestMain.h"
#include "view/GLPanel.h"
#include "view/Unit8.h"

namespace {

using tms::test::settle;

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty())
        edit->del();
    else
        edit->insert(text);
}

int countRows(TADOConnection& c, const QString& table) {
    TADOQuery q(&c);
    q.setSQL("select count(*) from " + table);
    q.Open();
    return q.Fields(0).AsInteger();
}

QStringList lines(const QPlainTextEdit* e) { return e->toPlainText().split('\n'); }

// Pixels of a frame in the face shades the drawing gives a pure red and a
// pure blue goods (every shade keeps the hue). Of the red faces only the
// dimmed and darkened ones count: edges along a goods height are pure red
// whatever the goods colour.
struct Shades {
    int red = 0, blue = 0;
};
Shades countShades(const QImage& frame) {
    Shades s;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            if (qRed(p) > 195 && qRed(p) < 245 && qGreen(p) < 40 && qBlue(p) < 40) ++s.red;
            if (qBlue(p) > 150 && qRed(p) < 40 && qGreen(p) < 40) ++s.blue;
        }
    return s;
}

class SelfWindow : public ::testing::Test {
protected:
    TestDb db;
    tms::ui::BoxRecorder boxes;

    TForm9* form = nullptr;
    TForm11* dialog = nullptr;

    void SetUp() override {
        db.conn.Execute(
            "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
            "values ('20GP','20尺柜',5898,2352,2393,21000)");
        db.conn.Execute(
            "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
            "values ('SMALL','小箱',1000,1000,1000,500)");
        addGoods("A001", "纸箱A", 600, 400, 300, 25, "255,0,0");
        addGoods("B002", "纸箱B", 500, 500, 500, 40, "0,0,255");
        addGoods("BIG", "大件", 3000, 2000, 2000, 900, "0,0,255");

        Form1 = new TForm1;
        Form8 = new TForm8(&db.conn);
        Form5 = new TForm5(&db.conn);
        Form9 = form = new TForm9(&db.conn);
        Form11 = dialog = new TForm11(Form5);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        settle();
    }

    void TearDown() override {
        delete Form11;
        delete Form9;
        delete Form5;
        delete Form8;
        delete Form1;
        Form11 = nullptr;
        Form9 = nullptr;
        Form5 = nullptr;
        Form8 = nullptr;
        Form1 = nullptr;
    }

    void addGoods(const QString& no, const QString& name, int l, int w, int h, int kg, const QString& colour) {
        db.conn.Execute(
            "insert into HoldGoods(GoodsNo,GoodsName,Upward,Length,Width,Height,Weight,COLOR) "
            "values (?,?,'1',?,?,?,?,?)",
            {no, name, l, w, h, kg, colour});
    }

    template <class T>
    T* control(QWidget* owner, const char* name) {
        T* c = owner->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QPushButton* button(const char* name) { return control<QPushButton>(form, name); }
    QTableWidget* grid() { return control<QTableWidget>(form, "SG"); }
    QPlainTextEdit* summary() { return control<QPlainTextEdit>(form, "RE"); }

    // The user picks an item of a drop-down list.
    static void pick(QComboBox* combo, const QString& text) {
        const int i = combo->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }

    void newLoading(const QString& vehicle) {
        button("BBNewSelfHelp")->click();
        pick(control<QComboBox>(form, "CBBVehicles"), vehicle);
    }

    // One batch through the dialog: open it, choose the goods row, type the
    // amount, choose the fill order and orientation items, OK.
    void addBatch(const QString& goodsNo, const QString& amount, int fillItem, int placeItem) {
        button("BBAddGoods")->click();
        ASSERT_TRUE(dialog->isVisible());
        chooseGoods(goodsNo);
        typeInto(control<QLineEdit>(dialog, "EditNum"), amount);
        chooseItem("RGPlaceDirection", fillItem);
        chooseItem("RGPlaceType", placeItem);
        control<QPushButton>(dialog, "BBOk")->click();
    }
    void chooseGoods(const QString& goodsNo) {
        auto* g = control<TDBGrid>(dialog, "goodsDBGRID");
        auto* m = g->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 1).data().toString() == goodsNo) {
                g->setCurrentIndex(m->index(r, 1));
                return;
            }
        FAIL() << "no goods row " << goodsNo.toStdString();
    }
    void chooseItem(const char* group, int item) {
        const auto radios = control<QWidget>(dialog, group)->findChildren<QRadioButton*>();
        ASSERT_LT(item, radios.size());
        radios[item]->click();
    }

    QStringList gridRow(int r) {
        QStringList out;
        for (int c = 0; c < grid()->columnCount(); ++c) out << (grid()->item(r, c) ? grid()->item(r, c)->text() : "");
        return out;
    }

    QImage frame() {
        settle(30);
        return form->GLPanel1->grabFrame();
    }

    // The two batches of the main scenario: ten cartons of A standing, then
    // six cubes of B lying, in a 20-foot container.
    void twoBatches() {
        newLoading("20GP");
        addBatch("A001", "10", 0, 0);
        addBatch("B002", "6", 1, 2);
    }

    struct PieceView {
        QString goods;
        int listId, batch;
        QString place;
        QString corners;
    };
    std::vector<PieceView> pieces() {
        std::vector<PieceView> out;
        for (const auto& p : form->loading().pieceArr())
            out.push_back({QString::fromStdString(p.GoodsNo), p.ListId, p.batch, QString::fromStdString(p.placeText),
                           QString::asprintf("%.2f %.2f %.2f %.2f %.2f %.2f", p.x0, p.y0, p.z0, p.x1, p.y1, p.z1)});
        return out;
    }
};

TEST_F(SelfWindow, TwoBatchesInATwentyFootContainerAreGriddedSummedAndDrawn) {
    EXPECT_EQ(form->windowTitle(), "自助装箱");
    EXPECT_FALSE(button("BBAddGoods")->isEnabled());
    newLoading("20GP");
    // The wait cursor shows while a batch is placed and drawn, and goes after.
    QList<int> cursors;
    const auto watch = QObject::connect(grid()->model(), &QAbstractItemModel::rowsInserted, form, [&] {
        cursors << (QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1);
    });
    addBatch("A001", "10", 0, 0);
    addBatch("B002", "6", 1, 2);
    QObject::disconnect(watch);
    EXPECT_EQ(cursors, (QList<int>{Qt::WaitCursor, Qt::WaitCursor}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(control<QComboBox>(form, "CBBVehicles")->isEnabled());

    ASSERT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(gridRow(0),
              QStringList({"颜色", "批次", "名称", "编号", "数量", "长", "宽", "高", "重量", "摆放方向", "摆放方式"}));
    EXPECT_EQ(gridRow(1), QStringList({"255,0,0", "1", "纸箱A", "A001", "10", "600", "400", "300", "25", "里->下->左",
                                       "立放，正向"}));
    EXPECT_EQ(gridRow(2), QStringList({"0,0,255", "2", "纸箱B", "B002", "6", "500", "500", "500", "40", "下->里->左",
                                       "侧放，正向"}));
    // The colour cell stands on the batch colour.
    EXPECT_EQ(grid()->item(1, 0)->background().color(), QColor(255, 0, 0));
    EXPECT_EQ(grid()->item(2, 0)->background().color(), QColor(0, 0, 255));
    EXPECT_EQ(grid()->item(2, 0)->foreground().color(), QColor(Qt::white));

    // 10 x 600 x 400 x 300 + 6 x 500³ in 5898 x 2352 x 2393: 4.428...%.
    EXPECT_EQ(lines(summary()),
              QStringList({"", "  第  2  批", "      当前批    名称:  纸箱B", "                数量:  6",
                           "                摆放方式:  侧放，正向", "                摆放方向:  下->里->左", "",
                           "  已装入货物共计:  16    件", "  当前装箱率:  4.43%"}));
    EXPECT_EQ(form->GetZXL(), "4.43%");
    EXPECT_EQ(control<QSlider>(form, "tb")->maximum(), 16);

    // The first carton stands in the container's corner, drawn about the
    // container's own centre whatever the assembly drawing's container is.
    Form1->plan.curBox.L = Form1->plan.curBox.H = Form1->plan.curBox.W = 1;
    const auto& first = form->loading().pieceArr().front();
    EXPECT_EQ(first.x0, 0);
    EXPECT_EQ(first.x1, 600);
    EXPECT_EQ(first.y1, 300);
    EXPECT_EQ(first.z1, 400);
    EXPECT_FLOAT_EQ(first.verts[0][0], -2949.0f);
    EXPECT_FLOAT_EQ(first.verts[0][1], -1196.5f);
    EXPECT_FLOAT_EQ(first.verts[0][2], -1176.0f);
    EXPECT_FLOAT_EQ(form->scene().viewSize,
                    static_cast<float>(1.1 * std::sqrt(5898.0 * 5898 + 2393.0 * 2393 + 2352.0 * 2352)));
    EXPECT_TRUE(form->scene().hasOutline);

    if (form->GLPanel1->glFailed()) GTEST_SKIP() << "no OpenGL here";
    Shades both = countShades(frame());
    EXPECT_GT(both.red, 200);
    EXPECT_GT(both.blue, 200);

    // A grid row shows its batch only.
    grid()->setCurrentCell(2, 3);
    Shades second = countShades(frame());
    EXPECT_EQ(second.red, 0);
    EXPECT_GT(second.blue, 200);
    // The slider shows the pieces up to its position.
    control<QSlider>(form, "tb")->setValue(9);
    Shades upTo = countShades(frame());
    EXPECT_GT(upTo.red, 200);
    EXPECT_EQ(upTo.blue, 0);
    int shownNow = 0;
    for (const auto& p : form->loading().pieceArr()) shownNow += p.shown;
    EXPECT_EQ(shownNow, 10);
}

TEST_F(SelfWindow, BatchStepperSharesTheStepCounterAndShowAllStartsAgain) {
    twoBatches();
    Form8->heapStep = 7;  // left there by the assembly drawing
    button("BitBtn5")->click();
    EXPECT_EQ(Form8->heapStep, 1);
    EXPECT_EQ(Form1->plan.showFloors, std::vector<std::string>({"1"}));
    EXPECT_EQ(lines(summary()),
              QStringList({"", "  第  1  批:  (共  2  批)", "      已装入货物共计:  10    件",
                           "      当前批    编号:  A001", "                数量:  10",
                           "                摆放方式:  立放，正向", "                摆放方向:  里->下->左"}));
    int shown = 0;
    for (const auto& p : form->loading().pieceArr()) shown += p.shown;
    EXPECT_EQ(shown, 10);
    button("BitBtn5")->click();
    EXPECT_EQ(Form8->heapStep, 2);
    EXPECT_EQ(Form1->plan.showFloors, std::vector<std::string>({"1", "2"}));
    button("BitBtn5")->click();
    EXPECT_EQ(Form8->heapStep, 1);

    button("BitBtn6")->click();
    EXPECT_EQ(Form8->heapStep, 0);
    EXPECT_EQ(lines(summary()), QStringList({"", "  选用的箱柜编号： 20GP", "  货物批次共计：   2  批    数量共计:  16",
                                             "  装箱率:          4.43%"}));
    shown = 0;
    for (const auto& p : form->loading().pieceArr()) shown += p.shown;
    EXPECT_EQ(shown, 16);

    // Spin on and off by the button, off by a click on the drawing.
    QPushButton* spin = button("BitBtn1");
    spin->click();
    EXPECT_EQ(spin->toolTip(), "停止");
    EXPECT_TRUE(form->Timer1->isActive());
    settle(120);
    EXPECT_GT(form->camera().spinAngle, 0);
    form->GLPanel1Click();
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(spin->toolTip(), "旋转");
    button("BitBtn4")->click();
    EXPECT_EQ(form->camera().spinAngle, 0);
    button("BitBtn2")->click();
    EXPECT_EQ(form->camera().baseAngle, -45);
}

TEST_F(SelfWindow, SavedListedReopenedAndDeleted) {
    twoBatches();
    const std::vector<PieceView> before = pieces();
    const QStringList row1 = gridRow(1), row2 = gridRow(2);
    ASSERT_EQ(before.size(), 16u);

    typeInto(control<QLineEdit>(form, "EditNo"), "自助一");
    button("BBSave")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"保存成功!"});
    EXPECT_FALSE(button("BBSave")->isEnabled());
    EXPECT_FALSE(button("BBAddGoods")->isEnabled());
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderForm"), 1);
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderFormList"), 2);
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpList"), 16);

    // Listed when the combo opens.
    auto* saved = control<TDropDownCombo>(form, "CBOrderForm");
    saved->showPopup();
    saved->hidePopup();
    QStringList items;
    for (int i = 0; i < saved->count(); ++i) items << saved->itemText(i);
    EXPECT_EQ(items, QStringList({"－－请选择－－", "自助一"}));

    // A new loading in between, then the saved one reopened.
    newLoading("SMALL");
    addBatch("B002", "1", 0, 0);
    boxes.clear();
    pick(saved, "自助一");
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    const std::vector<PieceView> after = pieces();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].goods, before[i].goods) << i;
        EXPECT_EQ(after[i].listId, before[i].listId) << i;
        EXPECT_EQ(after[i].batch, before[i].batch) << i;
        EXPECT_EQ(after[i].place, before[i].place) << i;
        EXPECT_EQ(after[i].corners, before[i].corners) << i;
    }
    ASSERT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(gridRow(1), row1);
    EXPECT_EQ(gridRow(2), row2);
    EXPECT_EQ(lines(summary()), QStringList({"", "  选用的箱柜编号： 20GP", "  货物批次共计：   2  批    数量共计:  16",
                                             "  装箱率:          4.43%"}));
    EXPECT_EQ(control<QSlider>(form, "tb")->maximum(), 16);
    auto* vehicles = control<QComboBox>(form, "CBBVehicles");
    EXPECT_EQ(vehicles->currentIndex(), 0);
    EXPECT_FALSE(vehicles->isEnabled());
    EXPECT_FALSE(button("BBAddGoods")->isEnabled());
    EXPECT_FALSE(button("BBSave")->isEnabled());
    EXPECT_FLOAT_EQ(form->loading().pieceArr().front().verts[0][0], -2949.0f);
    if (!form->GLPanel1->glFailed()) {
        const Shades s = countShades(frame());
        EXPECT_GT(s.red, 200);
        EXPECT_GT(s.blue, 200);
    }

    // Delete: Cancel keeps everything, OK removes all three tables' rows.
    boxes.answerNext(tms::ui::Answer::Cancel);
    button("BBDelete")->click();
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpList"), 16);
    boxes.clear();
    button("BBDelete")->click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].title, "确认信息");
    EXPECT_EQ(boxes.boxes()[0].text, "确实要删除该装箱吗?");
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderForm"), 0);
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderFormList"), 0);
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpList"), 0);
    EXPECT_EQ(saved->currentIndex(), 0);
    EXPECT_TRUE(summary()->toPlainText().isEmpty());
    EXPECT_TRUE(form->loading().pieceArr().empty());
    // Nothing left to delete.
    boxes.clear();
    button("BBDelete")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请选择一个装箱!"});
}

TEST_F(SelfWindow, ASaveThatFailsHalfWayLeavesNoRowsAndSaysSo) {
    twoBatches();
    // The disk gives out at the first piece row, after header and batches.
    db.conn.Execute(
        "create trigger fail_piece before insert on HoldSelfHelpList "
        "begin select raise(abort, 'disk I/O error'); end");
    typeInto(control<QLineEdit>(form, "EditNo"), "半截");
    button("BBSave")->click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].kind, tms::ui::BoxKind::Error);
    EXPECT_TRUE(boxes.boxes()[0].text.contains("disk I/O error")) << boxes.boxes()[0].text.toStdString();
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderForm"), 0);
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderFormList"), 0);
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpList"), 0);
    // The loading is still there to be saved again under the same name.
    EXPECT_TRUE(button("BBSave")->isEnabled());
    db.conn.Execute("drop trigger fail_piece");
    boxes.clear();
    button("BBSave")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"保存成功!"});
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpList"), 16);

    // Save checks: a blank name, and a name saved before in another case.
    button("BBNewSelfHelp")->click();
    pick(control<QComboBox>(form, "CBBVehicles"), "20GP");
    addBatch("A001", "1", 0, 0);
    boxes.clear();
    typeInto(control<QLineEdit>(form, "EditNo"), "   ");
    button("BBSave")->click();
    EXPECT_EQ(form->focusWidget(), control<QLineEdit>(form, "EditNo"));
    typeInto(control<QLineEdit>(form, "EditNo"), "半截");
    button("BBSave")->click();
    EXPECT_EQ(boxes.texts(), QStringList({"请录入装箱名称!", "该名称已经存在，请重新录入!"}));
    EXPECT_EQ(form->focusWidget(), control<QLineEdit>(form, "EditNo"));
    EXPECT_EQ(control<QLineEdit>(form, "EditNo")->selectedText(), "半截");
}

TEST_F(SelfWindow, TheDialogNeverAddsToALoadingThatWentAway) {
    newLoading("20GP");
    button("BBAddGoods")->click();
    ASSERT_TRUE(dialog->isVisible());
    // A new loading while the dialog is open closes it.
    button("BBNewSelfHelp")->click();
    EXPECT_FALSE(dialog->isVisible());

    // Should the dialog still be open over a window without a container, OK
    // refuses and nothing is added.
    dialog->show();
    chooseGoods("A001");
    typeInto(control<QLineEdit>(dialog, "EditNum"), "3");
    chooseItem("RGPlaceDirection", 0);
    chooseItem("RGPlaceType", 0);
    boxes.clear();
    control<QPushButton>(dialog, "BBOk")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请先选择一个箱柜"});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(form->loading().pieceArr().empty());
    EXPECT_EQ(grid()->rowCount(), 1);
    dialog->close();

    // Saving ends the loading: a dialog left open goes with it, so no batch
    // can join what was saved without being saved.
    twoBatches();
    button("BBAddGoods")->click();
    ASSERT_TRUE(dialog->isVisible());
    typeInto(control<QLineEdit>(form, "EditNo"), "看");
    boxes.clear();
    button("BBSave")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"保存成功!"});
    EXPECT_FALSE(dialog->isVisible());

    // Nor over a saved loading on view.
    auto* saved = control<TDropDownCombo>(form, "CBOrderForm");
    saved->showPopup();
    saved->hidePopup();
    pick(saved, "看");
    dialog->show();
    boxes.clear();
    control<QPushButton>(dialog, "BBOk")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请先选择一个箱柜"});
    EXPECT_EQ(form->loading().pieceArr().size(), 16u);
    EXPECT_EQ(grid()->rowCount(), 3);
    dialog->close();
}

TEST_F(SelfWindow, DialogChecksAndAShortBatch) {
    newLoading("20GP");
    button("BBAddGoods")->click();
    chooseGoods("BIG");
    auto* num = control<QLineEdit>(dialog, "EditNum");
    auto* ok = control<QPushButton>(dialog, "BBOk");
    auto says = [&](const QString& amount) {
        typeInto(num, amount);
        boxes.clear();
        ok->click();
        return boxes.texts().value(0);
    };
    EXPECT_EQ(says(""), "请录入数量");
    EXPECT_EQ(says("abc"), "录入的数量有误，请重新录入!");
    // The refused amount is kept, selected, with the focus on it.
    EXPECT_EQ(num->text(), "abc");
    EXPECT_EQ(dialog->focusWidget(), num);
    EXPECT_EQ(num->selectedText(), "abc");
    EXPECT_EQ(says("5001"), "录入的数量太大了，请重新录入!");
    EXPECT_EQ(says("0"), "录入的数量太小了，请重新录入!");
    EXPECT_EQ(says("3"), "请选择摆放方向");
    EXPECT_EQ(dialog->focusWidget()->parentWidget(), control<QWidget>(dialog, "RGPlaceDirection"));
    chooseItem("RGPlaceDirection", 0);
    EXPECT_EQ(says("3"), "请选择摆放方式");
    EXPECT_EQ(dialog->focusWidget()->parentWidget(), control<QWidget>(dialog, "RGPlaceType"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(grid()->rowCount(), 1);

    // 3000 mm along a 5898 mm container: one of three fits.
    chooseItem("RGPlaceType", 0);
    EXPECT_EQ(says("3"), "共装了 1 件货物，共有 2 件货物未装");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->item(1, 4)->text(), "1");
    // No room at all: no row, the same message form.
    button("BBAddGoods")->click();
    chooseGoods("BIG");
    EXPECT_EQ(says("2"), "共装了 0 件货物，共有 2 件货物未装");
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(form->loading().pieceArr().size(), 1u);

    // The goods search finds numbers as typed and the list is whole again
    // once the dialog closes.
    button("BBAddGoods")->click();
    typeInto(control<QLineEdit>(dialog, "EditGoodsNo"), "00");
    control<QPushButton>(dialog, "BtnQueryNo")->click();
    EXPECT_EQ(Form5->GoodsQuery->RecordCount(), 2);
    typeInto(control<QLineEdit>(dialog, "EditGoodsNo"), "'");
    control<QPushButton>(dialog, "BtnQueryNo")->click();
    EXPECT_EQ(Form5->GoodsQuery->RecordCount(), 0);
    control<QPushButton>(dialog, "BBCancel")->click();
    Form5->show();
    EXPECT_EQ(Form5->GoodsQuery->RecordCount(), 3);
    Form5->close();
}

TEST_F(SelfWindow, ContainersThatAreGoneLeaveNothingSetUp) {
    // Removed after the list was read: choosing it sets up no container.
    db.conn.Execute("delete from HoldVehicles where VehicleNo = 'SMALL'");
    newLoading("SMALL");
    EXPECT_EQ(boxes.texts(), QStringList{"该箱柜不存在，可能已经删除!"});
    EXPECT_FALSE(form->loading().hasContainer());
    EXPECT_FALSE(form->scene().hasOutline);
    EXPECT_EQ(form->GetZXL(), "");
    boxes.clear();
    button("BBAddGoods")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"请先选择一个箱柜"});
    EXPECT_FALSE(dialog->isVisible());

    // A saved loading whose container went: the window is reset, not left
    // with what it showed before.
    twoBatches();
    typeInto(control<QLineEdit>(form, "EditNo"), "旧");
    button("BBSave")->click();
    newLoading("20GP");
    addBatch("A001", "2", 0, 0);
    db.conn.Execute("update HoldSelfHelpOrderForm set VehicleNo = 'GONE'");
    auto* saved = control<TDropDownCombo>(form, "CBOrderForm");
    saved->showPopup();
    saved->hidePopup();
    boxes.clear();
    pick(saved, "旧");
    EXPECT_EQ(boxes.texts(), QStringList{"该箱柜不存在，可能已经删除!"});
    auto expectReset = [&] {
        EXPECT_EQ(grid()->rowCount(), 1);
        EXPECT_TRUE(summary()->toPlainText().isEmpty());
        EXPECT_TRUE(form->loading().pieceArr().empty());
        EXPECT_FALSE(form->loading().hasContainer());
        EXPECT_FALSE(form->scene().hasOutline);
        EXPECT_EQ(control<QSlider>(form, "tb")->maximum(), 0);
        auto* vehicles = control<QComboBox>(form, "CBBVehicles");
        EXPECT_EQ(vehicles->currentIndex(), 0);
        EXPECT_FALSE(vehicles->isEnabled());
        EXPECT_FALSE(button("BBAddGoods")->isEnabled());
        EXPECT_FALSE(button("BBSave")->isEnabled());
        EXPECT_FALSE(control<QLineEdit>(form, "EditNo")->isEnabled());
    };
    expectReset();
    // It can still be deleted.
    boxes.clear();
    button("BBDelete")->click();
    EXPECT_EQ(countRows(db.conn, "HoldSelfHelpOrderForm"), 0);

    // A saved loading whose goods went: its batches are gone, same reset.
    newLoading("20GP");
    addBatch("B002", "2", 0, 0);
    typeInto(control<QLineEdit>(form, "EditNo"), "无货");
    button("BBSave")->click();
    newLoading("20GP");
    addBatch("A001", "2", 0, 0);
    db.conn.Execute("delete from HoldGoods where GoodsNo = 'B002'");
    saved->showPopup();
    saved->hidePopup();
    pick(saved, "无货");
    expectReset();
}

TEST_F(SelfWindow, ASavedLoadingWithGoodsGoneShowsWhatIsLeftWhole) {
    addGoods("C003", "纸箱C", 400, 400, 400, 10, "0,0,255");
    newLoading("20GP");
    addBatch("A001", "2", 0, 0);
    addBatch("B002", "3", 0, 0);
    addBatch("C003", "2", 0, 0);
    typeInto(control<QLineEdit>(form, "EditNo"), "缺货");
    button("BBSave")->click();
    db.conn.Execute("delete from HoldGoods where GoodsNo = 'B002'");
    auto* saved = control<TDropDownCombo>(form, "CBOrderForm");
    saved->showPopup();
    saved->hidePopup();
    boxes.clear();
    pick(saved, "缺货");
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    ASSERT_EQ(form->loading().pieceArr().size(), 4u);
    auto shownBatches = [&] {
        QStringList out;
        for (const auto& p : form->loading().pieceArr())
            if (p.shown && p.alpha == 1) out << QString::number(p.batch);
        return out.join(',');
    };
    // The slider walks the pieces that were loaded, its end shows them all.
    auto* slider = control<QSlider>(form, "tb");
    EXPECT_EQ(slider->maximum(), 4);
    slider->setValue(2);
    EXPECT_EQ(shownBatches(), "1,1,3");
    slider->setValue(slider->maximum());
    EXPECT_EQ(shownBatches(), "1,1,3,3");
    if (const QByteArray dir = qgetenv("TMS_SHOT_DIR"); !dir.isEmpty())
        form->grab().save(QString::fromLocal8Bit(dir) + "/self_gap_loading.png");

    // The stepper walks the batches that were loaded: 1, then 1 and 3.
    Form8->heapStep = 0;
    button("BitBtn5")->click();
    EXPECT_EQ(shownBatches(), "1,1");
    button("BitBtn5")->click();
    EXPECT_EQ(Form8->heapStep, 2);
    EXPECT_EQ(Form1->plan.showFloors, std::vector<std::string>({"1", "3"}));
    EXPECT_EQ(shownBatches(), "1,1,3,3");
    EXPECT_EQ(lines(summary()).mid(1, 3), QStringList({"  第  2  批:  (共  2  批)", "      已装入货物共计:  4    件",
                                                       "      当前批    编号:  C003"}));
    button("BitBtn5")->click();
    EXPECT_EQ(shownBatches(), "1,1");
    // A grid row still shows its own batch.
    grid()->setCurrentCell(2, 3);
    EXPECT_EQ(shownBatches(), "3,3");

    // Every goods gone: it says so and shows nothing.
    db.conn.Execute("delete from HoldGoods");
    boxes.clear();
    pick(saved, "缺货");
    EXPECT_EQ(boxes.texts(), QStringList{"该装箱的货物都已删除，无法显示!"});
    EXPECT_TRUE(form->loading().pieceArr().empty());
    EXPECT_EQ(grid()->rowCount(), 1);
}

// The drawing here explains its colours with the drawing window's legend:
// the same six labels in the same places, fonts and colours.
TEST_F(SelfWindow, TheLegendIsTheDrawingWindows) {
    const auto labels = [](QFrame* legend) {
        std::vector<std::string> out;
        auto* grid = legend ? qobject_cast<QGridLayout*>(legend->layout()) : nullptr;
        for (int i = 0; grid && i < grid->count(); ++i) {
            int row, column, rows, columns;
            grid->getItemPosition(i, &row, &column, &rows, &columns);
            if (auto* l = qobject_cast<QLabel*>(grid->itemAt(i)->widget()))
                out.push_back(QString("%1,%2 %3 %4 %5%6")
                                  .arg(row)
                                  .arg(column)
                                  .arg(l->text(), l->palette().color(QPalette::WindowText).name())
                                  .arg(l->font().pixelSize())
                                  .arg(l->font().bold() ? " bold" : "")
                                  .toStdString());
        }
        return out;
    };
    const std::vector<std::string> expected = {
        "0,0 ----------     长 #ffffff 15 bold", "1,0 ----------     宽 #000000 15 bold",
        "2,0 ----------     高 #ff0000 15 bold", "0,1 宽 * 高 亮面 #ffffff 15 bold",
        "1,1 长 * 高 灰面 #ffffff 15 bold",      "2,1 长 * 宽 黑面 #ffffff 15 bold"};
    EXPECT_EQ(labels(control<QFrame>(form, "Panel3")), expected);
    EXPECT_EQ(labels(control<QFrame>(Form8, "Legend")), expected);
}

TEST_F(SelfWindow, ScreenshotWithTwoBatches) {
    twoBatches();
    settle(100);
    const QImage shot = form->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString dir = QStringLiteral(TMS_GOLDEN_ACTUAL_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(shot.save(dir + "/self_window.png"));
    dialog->show();
    button("BBAddGoods")->click();
    settle(100);
    EXPECT_TRUE(dialog->grab().toImage().save(dir + "/self_add_goods.png"));
}

}  // namespace

int main(int argc, char** argv) { return tms::test::runWindowTests(argc, argv); }
