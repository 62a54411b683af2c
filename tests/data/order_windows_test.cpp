// The new-order and order management windows driven through their named
// controls, with the drawing window, the settings dialog and the catalogue
// windows present as in the program; message boxes are answered by a
// recorder. What the drawing window draws is its own test's: here only that
// it was filled for the order and shown.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

#include "data/Unit10.h"
#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "platform/Desktop.h"
#include "shell/Unit4.h"
#include "tests/data/CatalogueTesting.h"
#include "tests/data/OrderTesting.h"
#include "tests/support/OrderForms.h"
#include "tests/support/WindowTestMain.h"
#include "view/Unit8.h"

namespace {

// Counts the paint events a widget receives.
// Counts the paint events of a widget, only those while `when` holds if
// given.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* w, std::function<bool()> when = {}) : when_(std::move(when)) {
        w->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && (!when_ || when_())) ++count;
        return false;
    }
    int count = 0;

private:
    std::function<bool()> when_;
};

// A click as the window system delivers it, so a window that a modal window
// blocks does not get it.
void clickAsUser(QWidget* w) {
    QWindow* win = w->window()->windowHandle();
    ASSERT_NE(win, nullptr) << w->objectName().toStdString();
    QTest::mouseClick(win, Qt::LeftButton, {}, win->mapFromGlobal(w->mapToGlobal(w->rect().center())));
}

class OrderWindows : public ::testing::Test {
protected:
    TestDb db;
    tms::ui::BoxRecorder boxes;
    std::optional<OrderForms> forms;

    void SetUp() override {
        addContainer("C1", "小柜", 1000, 400, 300, 1000);
        addContainer("C2", "长柜", 2000, 400, 300, 1000);
        addGoods("A", 500, 400, 300, 10);
        addGoods("B", 250, 400, 300, 5);
        addGoods("D", 250, 400, 150, 5);
        forms.emplace(&db.conn);
    }
    void TearDown() override { forms.reset(); }
    void addContainer(const QString& no, const QString& name, int l, int w, int h, int kg) {
        addContainerRow(db.conn, no, name, l, w, h, kg);
    }
    void addGoods(const QString& no, int l, int w, int h, int kg) {
        addGoodsRow(db.conn, no, l, w, h, kg, "1", 7, "0,128,255");
    }
    void openNewOrder() {
        Form10->show();
        Form10->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form10));
    }
    void chooseContainer(const QString& no) {
        const int at = Form10->DBLookupComboBox3->findData(no);
        ASSERT_GE(at, 0) << no.toStdString();
        Form10->DBLookupComboBox3->setCurrentIndex(at);
        emit Form10->DBLookupComboBox3->activated(at);
    }
    void addLine(const QString& goods, const QString& amount = QString()) {
        ASSERT_TRUE(Form5->GoodsQuery->Locate("GoodsNo", goods));
        if (!amount.isEmpty()) typeInto(Form10->Edit1, amount);
        Form10->Button1->click();
    }
    QStringList lineNumbers() {
        QStringList out;
        for (int i = 0; i < Form10->ListView1->topLevelItemCount(); ++i)
            out << Form10->ListView1->topLevelItem(i)->text(0);
        return out;
    }
    QStringList rows(const QString& sql, const QVariantList& params = {}) { return rowsOf(db.conn, sql, params); }
    QStringList everything() { return orderTables(db.conn); }
    void shot(QWidget* w, const char* name) {
        if (const QByteArray dir = qgetenv("TMS_SHOT_DIR"); !dir.isEmpty())
            w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    }
    void openOrders() {
        Form7->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form7));
    }
    // Stores an order as if computed elsewhere.
    void storeOrder(const QString& no, const QStringList& goods, bool typeA = false) {
        openNewOrder();
        Form10->BitBtn1->click();
        (typeA ? Form10->RadioButton1 : Form10->RadioButton2)->setChecked(true);
        typeInto(Form10->Edit3, no);
        chooseContainer("C1");
        for (const QString& g : goods) addLine(g, "2");
        Form10->Button3->click();
        ASSERT_EQ(rows("select IsNeedCount from HoldOrderForm where OrderFormNo=?", {no}), QStringList{"0"})
            << boxes.texts().join('|').toStdString();
    }
};

TEST_F(OrderWindows, TypeAOrderIsStoredComputedAndShown) {
    openNewOrder();
    EXPECT_EQ(Form10->windowTitle(), "新增订单");
    EXPECT_TRUE(Form10->isMaximized());
    EXPECT_TRUE(Form10->RadioButton1->isChecked());
    EXPECT_TRUE(Form10->RadioButton5->isChecked());
    EXPECT_TRUE(Form10->CheckBox1->isChecked());
    EXPECT_FALSE(Form10->CheckBox2->isChecked());
    EXPECT_FALSE(Form10->Edit1->isVisible());  // type A: no amount
    EXPECT_EQ(Form10->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(Form10->DBLookupComboBox3->currentIndex(), -1);
    EXPECT_EQ(Form10->DBLookupComboBox3->count(), 2);

    typeInto(Form10->Edit3, "  TA-1 ");
    typeInto(Form10->Edit2, "客户甲");
    typeInto(Form10->Edit4, "上海");
    typeInto(Form10->Edit12, "委托方");
    Form10->DateTimePicker1->setDate(QDate(2024, 3, 9));
    chooseContainer("C2");
    EXPECT_EQ(Form6->VehiclesQuery->FieldByName("VehicleNo").AsString(), "C2");
    addLine("A");
    addLine("B");
    EXPECT_EQ(boxes.texts(), QStringList{"对应A类计算，只能添加一种货物"});
    boxes.clear();
    shot(Form10, "new_order");

    // The container list moving elsewhere does not change the choice.
    Form6->VehiclesQuery->Locate("VehicleNo", "C1");
    Form10->Button3->click();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(rows("select OrderFormNo,OrderFormName,SailDate,VehicleNo,Consigner,Destination,CountType,LoadingType,"
                   "IsDirectionRestrict,IsWeightRestrict,AddL,AddW,AddH,IsNeedCount from HoldOrderForm"),
              QStringList{"TA-1|客户甲|2024-03-09|C2|委托方|上海|0|0|0|1|0|0|0|0"});
    EXPECT_EQ(rows("select GoodsNo,Amount,Sequence from HoldOrderFormList"), QStringList{"A|200|1"});
    // Four 500 mm cartons in the 2000 mm container, all in container 1.
    EXPECT_EQ(rows("select ListId,vehicleOrder,floor from HoldList order by ListId"),
              (QStringList{"A000001|1|A000001", "A000002|1|A000001", "A000003|1|A000001", "A000004|1|A000001"}));
    EXPECT_TRUE(Form8->isVisible());
    // Idle again.
    for (QWidget* w :
         QList<QWidget*>{Form10->Button1, Form10->Button2, Form10->Button3, Form10->Button4, Form10->BitBtn1})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(Form10->Label1->isVisible());
    EXPECT_EQ(Form10->ProgressBar1->value(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The same number again is refused, with the focus on it.
    Form8->close();
    Form10->activateWindow();
    Form10->Button3->click();
    EXPECT_EQ(boxes.texts(), QStringList{"该编号已存在 请从新输入"});
    EXPECT_FALSE(Form8->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Form10->Edit3));
}

TEST_F(OrderWindows, TypeBOrderTakesTheListOrderAfterMoves) {
    openNewOrder();
    // The type shows or hides the amount; the goods and the lines stay put.
    const auto places = [] {
        QCoreApplication::processEvents();
        return QList<QRect>{Form10->DBGrid3->geometry(), Form10->ListView1->geometry()};
    };
    const QList<QRect> typeA = places();
    Form10->RadioButton2->click();
    EXPECT_TRUE(Form10->Edit1->isVisible());
    EXPECT_EQ(places(), typeA);
    Form10->RadioButton1->click();
    EXPECT_FALSE(Form10->Edit1->isVisible());
    EXPECT_EQ(places(), typeA);
    Form10->RadioButton2->click();
    EXPECT_TRUE(Form10->Edit1->isVisible());
    typeInto(Form10->Edit3, "TB-1");
    chooseContainer("C1");
    addLine("A", "1");
    addLine("B", "2");
    addLine("D", "4");
    addLine("B", "9");
    EXPECT_EQ(boxes.texts(), QStringList{"该货物已经添加 请重新选择或者修改该货物的数量"});
    EXPECT_EQ(Form10->Label10->text(), "7 件");
    // D to the top, A to the bottom; the first up and the last down do nothing.
    Form10->ListView1->setCurrentItem(Form10->ListView1->topLevelItem(2));
    Form10->BitBtn2->click();
    Form10->BitBtn2->click();
    Form10->BitBtn2->click();
    EXPECT_EQ(lineNumbers(), (QStringList{"D", "A", "B"}));
    Form10->ListView1->setCurrentItem(Form10->ListView1->topLevelItem(1));
    Form10->BitBtn3->click();
    Form10->BitBtn3->click();
    EXPECT_EQ(lineNumbers(), (QStringList{"D", "B", "A"}));
    EXPECT_EQ(Form10->ListView1->currentItem()->text(0), "A");
    EXPECT_EQ(Form10->ListView1->topLevelItem(2)->text(4), "1");
    Form10->RadioButton3->setChecked(true);
    Form10->CheckBox1->setChecked(false);
    // The run holds the window: the busy label is painted before the bar
    // first moves, or the user never sees it.
    PaintCounter painted(Form10->Label1);
    int paintsAtFirstStep = -1;
    const auto watch = QObject::connect(Form10->ProgressBar1, &QProgressBar::valueChanged, [&](int v) {
        if (v > 0 && paintsAtFirstStep < 0) paintsAtFirstStep = painted.count;
    });
    Form10->Button3->click();
    QObject::disconnect(watch);
    EXPECT_GT(paintsAtFirstStep, 0);
    EXPECT_TRUE(boxes.texts().count() == 1) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(rows("select CountType,LoadingType from HoldOrderForm"), QStringList{"1|1"});
    EXPECT_EQ(rows("select GoodsNo,Amount,Sequence from HoldOrderFormList order by Sequence"),
              (QStringList{"D|4|1", "B|2|2", "A|1|3"}));
    // Without piles the pile id is the goods number.
    EXPECT_EQ(rows("select ListId,floor from HoldList order by ListId"),
              (QStringList{"A000001|A", "B000001|B", "B000002|B", "D000001|D", "D000002|D", "D000003|D", "D000004|D"}));
    EXPECT_EQ(rows("select IsNeedCount from HoldOrderForm"), QStringList{"0"});
    EXPECT_TRUE(Form8->isVisible());
    shot(Form10, "new_order_b");

    // Removing needs a selection; a removed goods can be added again.
    Form10->ListView1->clearSelection();
    Form10->Button2->click();
    EXPECT_EQ(boxes.texts().last(), "请选择要移出的货物");
    Form10->ListView1->topLevelItem(0)->setSelected(true);
    Form10->ListView1->setCurrentItem(Form10->ListView1->topLevelItem(0));
    Form10->Button2->click();
    EXPECT_EQ(lineNumbers(), (QStringList{"B", "A"}));
    addLine("D", "3");
    EXPECT_EQ(lineNumbers(), (QStringList{"B", "A", "D"}));
    EXPECT_EQ(Form10->Label10->text(), "6 件");
}

TEST_F(OrderWindows, RefusalsComeInOrderAndAFailureLeavesTheDatabaseAndTheWindowIdle) {
    openNewOrder();
    Form10->Button3->click();
    typeInto(Form10->Edit3, "X1");
    Form10->RadioButton2->click();
    addLine("A", "1.5");
    Form10->activateWindow();
    Form10->Button3->setFocus();
    Form10->Button3->click();
    // The entry still missing takes the focus.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Form10->DBLookupComboBox3));
    chooseContainer("C1");
    Form10->Button3->click();
    Form10->ListView1->topLevelItem(0)->setText(4, "3");
    // A goods deleted after it was listed.
    addLine("B", "1");
    db.conn.Execute("delete from HoldGoods where GoodsNo='B'");
    Form10->Button3->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"请输入货物", "请选择车厢或输入装配编号", "录入的数量有误，请重新录入!",
                                          "该货物不存在，可能已经删除!"}));
    EXPECT_TRUE(everything().isEmpty());

    // The plan write fails part way: nothing stays, the window is idle.
    boxes.clear();
    Form10->ListView1->setCurrentItem(Form10->ListView1->topLevelItem(1));
    Form10->ListView1->topLevelItem(1)->setSelected(true);
    Form10->Button2->click();
    db.conn.Execute(
        "create trigger stop before insert on HoldList when new.ListId = 'A000002' "
        "begin select raise(abort, 'disk full'); end");
    Form10->Button3->click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].kind, tms::ui::BoxKind::Error);
    EXPECT_TRUE(everything().isEmpty());
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_TRUE(Form10->Button3->isEnabled());
    EXPECT_FALSE(Form10->Label1->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OrderWindows, GoodsNoContainerTakesAreNamedBeforeTheRun) {
    addGoods("BIG", 1200, 400, 300, 10);
    openNewOrder();
    Form10->RadioButton2->click();
    typeInto(Form10->Edit3, "X2");
    chooseContainer("C1");
    addLine("A", "1");
    addLine("BIG", "1");
    Form10->Button3->click();
    EXPECT_EQ(boxes.texts(), QStringList{"以下货物无法装入所选箱柜 请重新选择货物或箱柜:\nBIG（尺寸超出箱柜）"});
    EXPECT_TRUE(everything().isEmpty());
}

TEST_F(OrderWindows, EnterWalksTheChainPastTheHiddenAmount) {
    openNewOrder();
    Form10->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form10, 20000));
    Form10->Edit3->setFocus();
    const QList<QWidget*> chain = {
        Form10->Edit2,           Form10->DBLookupComboBox3, Form10->Edit4,        Form10->Edit12,
        Form10->DateTimePicker1, Form10->RadioButton5,      Form10->RadioButton1, Form10->Button1};
    for (QWidget* next : chain) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    Form10->RadioButton2->click();
    Form10->RadioButton1->setFocus();
    QTest::keyClick(Form10->RadioButton1, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Form10->Edit1);
    typeInto(Form10->Edit1, "");
    QTest::keyClicks(Form10->Edit1, "1a2.");
    EXPECT_EQ(Form10->Edit1->text(), "12.");
    Form10->txtAddL->setFocus();
    typeInto(Form10->txtAddL, "");
    QTest::keyClicks(Form10->txtAddL, "3.b4");
    EXPECT_EQ(Form10->txtAddL->text(), "34");
    typeInto(Form10->Edit3, QString(60, 'x'));
    EXPECT_EQ(Form10->Edit3->text().size(), 50);
}

TEST_F(OrderWindows, GoodsSearchAndSortWorkOnTheSharedGoodsList) {
    openNewOrder();
    const auto goods = [] { return columnOf(Form5->GoodsQuery, "GoodsNo"); };
    typeInto(Form10->Edit5, "B");
    QTest::keyClick(Form10->Edit5, Qt::Key_Return);
    EXPECT_EQ(goods(), QStringList{"B"});
    // Enter in the other, blank box shows every goods again.
    QTest::keyClick(Form10->Edit6, Qt::Key_Return);
    EXPECT_EQ(goods(), (QStringList{"A", "B", "D"}));
    QTest::keyClick(Form10->Edit5, Qt::Key_Return);
    EXPECT_EQ(goods(), QStringList{"B"});
    // Emptying the box by typing does the same.
    QTest::keyClick(Form10->Edit5, Qt::Key_Backspace);
    EXPECT_EQ(goods(), (QStringList{"A", "B", "D"}));
    // "_" stands for any one character, as in every search of the program.
    typeInto(Form10->Edit5, "_");
    QTest::keyClick(Form10->Edit5, Qt::Key_Return);
    EXPECT_EQ(goods(), (QStringList{"A", "B", "D"}));
    typeInto(Form10->Edit5, "");
    // Each title click turns the order round.
    Form10->DBGrid3TitleClick("GoodsNo");
    EXPECT_EQ(goods(), (QStringList{"D", "B", "A"}));
    Form10->DBGrid3TitleClick("GoodsNo");
    EXPECT_EQ(goods(), (QStringList{"A", "B", "D"}));
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
}

TEST_F(OrderWindows, OrderManagementListsEditsAndDeletes) {
    storeOrder("K1", {"A"}, true);
    storeOrder("K'2", {"B", "D"});
    db.conn.Execute(
        "insert into HoldOrderForm(OrderFormNo,OrderFormName,VehicleNo,CountType,LoadingType,"
        "IsDirectionRestrict,IsWeightRestrict) values ('K3','未算','C1',1,2,1,0)");
    Form8->close();
    openOrders();
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), (QStringList{"K1", "K'2", "K3"}));
    auto* m = Form7->DBGrid5->model();
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), "计算类型");
    EXPECT_EQ(m->index(2, 3).data().toString(), "B类");
    EXPECT_EQ(m->index(2, 4).data().toString(), "纵放");
    EXPECT_EQ(m->index(2, 5).data().toString(), "有");
    EXPECT_EQ(m->index(2, 2).data().toString(), "小柜");
    EXPECT_EQ(m->index(0, 3).data().toString(), "A类");
    // A computed order offers the drawing, one to compute the calculation.
    EXPECT_FALSE(Form7->Button1->isEnabled());
    EXPECT_TRUE(Form7->Button2->isEnabled());
    Form7->MasterQuery->setRecNo(2);
    EXPECT_TRUE(Form7->Button1->isEnabled());
    EXPECT_FALSE(Form7->Button2->isEnabled());
    Form7->MasterQuery->setRecNo(1);
    EXPECT_EQ(columnOf(Form7->SaleQuery, "GoodsName"), (QStringList{"B箱", "D箱"}));
    EXPECT_EQ(Form7->DBEdit1->text(), "B类");
    shot(Form7, "orders");

    // Search with a quote, then all again.
    typeInto(Form7->Edit11, "'");
    QTest::keyClick(Form7->Edit11, Qt::Key_Return);
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), QStringList{"K'2"});
    typeInto(Form7->Edit10, "未");
    QTest::keyClick(Form7->Edit10, Qt::Key_Return);
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), QStringList{"K3"});
    Form7->Button12->click();
    EXPECT_EQ(Form7->MasterQuery->RecordCount(), 3);
    emit Form7->DBGrid5->titleClicked("OrderFormNo");
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), (QStringList{"K3", "K1", "K'2"}));

    // Header edit: a bad date is refused and the edit cancelled.
    ASSERT_TRUE(Form7->MasterQuery->Locate("OrderFormNo", "K1"));
    Form7->Button5->click();
    EXPECT_TRUE(Form7->DBEdit21->isEnabled());
    EXPECT_FALSE(Form7->Button4->isEnabled());
    EXPECT_TRUE(Form7->Button6->isEnabled());
    typeInto(Form7->DBEdit21, "新名称");
    typeInto(Form7->DBEdit20, "2024-13-01");
    Form7->Button6->click();
    EXPECT_EQ(boxes.texts(), QStringList{"保存出错"});
    EXPECT_FALSE(Form7->DBEdit21->isEnabled());
    EXPECT_EQ(rows("select OrderFormName from HoldOrderForm where OrderFormNo='K1'"), QStringList{""});
    Form7->Button5->click();
    typeInto(Form7->DBEdit21, "新名称");
    typeInto(Form7->DBEdit20, "2024-12-01");
    Form7->Button6->click();
    EXPECT_EQ(rows("select OrderFormName,SailDate,CountType,IsNeedCount from HoldOrderForm where OrderFormNo='K1'"),
              QStringList{"新名称|2024-12-01|0|0"});

    // Delete: Cancel keeps it, OK removes plan, lines and header.
    boxes.clear();
    ASSERT_TRUE(Form7->MasterQuery->Locate("OrderFormNo", "K'2"));
    boxes.answerNext(tms::ui::Answer::Cancel);
    Form7->Button4->click();
    EXPECT_EQ(Form7->MasterQuery->RecordCount(), 3);
    ASSERT_TRUE(Form7->MasterQuery->Locate("OrderFormNo", "K'2"));
    Form7->Button4->click();
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.boxes()[0].title, "确认信息");
    EXPECT_EQ(boxes.boxes()[0].text, "确实要删除该定单吗?");
    EXPECT_EQ(rows("select OrderFormNo from HoldOrderForm order by OrderFormNo"), (QStringList{"K1", "K3"}));
    EXPECT_EQ(rows("select count(*) from HoldOrderFormList where OrderFormNo='K''2'"), QStringList{"0"});
    EXPECT_EQ(rows("select count(*) from HoldList where OrderFormNo='K''2'"), QStringList{"0"});
    EXPECT_EQ(Form7->MasterQuery->RecNo(), 0);

    // "查看装配图" shows the drawing with "工作单" off until this window closes.
    ASSERT_TRUE(Form7->MasterQuery->Locate("OrderFormNo", "K1"));
    Form7->Button2->click();
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_FALSE(Form8->SpeedButton1->isEnabled());
    Form7->BitBtn4->click();
    EXPECT_TRUE(Form8->SpeedButton1->isEnabled());
    EXPECT_FALSE(Form7->MasterQuery->Active());

    // A search left at closing is gone, its texts too, when it opens again.
    openOrders();
    typeInto(Form7->Edit10, "未");
    typeInto(Form7->Edit11, "K");
    QTest::keyClick(Form7->Edit11, Qt::Key_Return);
    EXPECT_EQ(Form7->MasterQuery->RecordCount(), 2);
    typeInto(Form7->Edit11, "K3");
    QTest::keyClick(Form7->Edit11, Qt::Key_Return);
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), QStringList{"K3"});
    Form7->close();
    openOrders();
    EXPECT_EQ(Form7->MasterQuery->RecordCount(), 2);
    EXPECT_EQ(Form7->Edit11->text(), "");
    EXPECT_EQ(Form7->Edit10->text(), "");
}

TEST_F(OrderWindows, RecalculationReplacesThePlanWithTheBoxesOfThisMoment) {
    storeOrder("R1", {"A", "B"});
    EXPECT_EQ(rows("select ListId,floor from HoldList order by ListId"),
              (QStringList{"A000001|A000001", "A000002|A000001", "B000001|B000001", "B000002|B000001"}));
    db.conn.Execute("update HoldOrderForm set IsNeedCount=1");
    Form8->close();
    Form10->close();
    // The settings and the new-order boxes as they stand now.
    Form1->CheckBox3->setChecked(true);
    Form1->CheckBox2->setChecked(false);
    Form10->CheckBox1->setChecked(false);
    openOrders();
    ASSERT_TRUE(Form7->Button1->isEnabled());
    // The run lets paints through: another window that wants drawing is
    // drawn while the hourglass shows, not only after the run.
    Form10->show();
    PaintCounter other(Form10, [] { return QApplication::overrideCursor() != nullptr; });
    Form7->Button1->click();
    EXPECT_GT(other.count, 0);
    Form10->close();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(rows("select ListId,floor from HoldList order by ListId"),
              (QStringList{"A000000|A", "A000001|A", "B000000|B", "B000001|B"}));
    EXPECT_EQ(rows("select IsNeedCount,IsDirectionRestrict,IsWeightRestrict from HoldOrderForm"), QStringList{"0|1|0"});
    EXPECT_EQ(Form10->fromForm10, tms::TLaunchPath::recalculation);
    EXPECT_TRUE(Form8->isVisible());
    // The list is read again: the order is current and offers its drawing.
    EXPECT_EQ(Form7->DBEdit19->text(), "R1");
    EXPECT_FALSE(Form7->Button1->isEnabled());
    EXPECT_TRUE(Form7->Button2->isEnabled());
    EXPECT_EQ(Form7->DBEdit5->text(), "有");
    EXPECT_EQ(Form7->PB->value(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OrderWindows, ThePickerOfTheDrawingWindowIsModalFilteredAndOffersNoDrawing) {
    storeOrder("P1", {"A"});
    storeOrder("Q1", {"B"});
    openOrders();
    ASSERT_TRUE(Form8->isVisible());
    Form7->openForOrder("p1");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form7));
    EXPECT_TRUE(Form7->isVisible());
    EXPECT_EQ(Form7->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(Form7->pickerMode());
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), QStringList{"P1"});
    EXPECT_FALSE(Form7->Button2->isEnabled());  // computed, yet no drawing here
    Form7->Button12->click();
    EXPECT_EQ(Form7->MasterQuery->RecordCount(), 2);
    EXPECT_FALSE(Form7->Button2->isEnabled());
    // Opening it again while open starts afresh.
    Form7->openForOrder("Q1");
    EXPECT_EQ(columnOf(Form7->MasterQuery, "OrderFormNo"), QStringList{"Q1"});
    Form7->close();
    EXPECT_FALSE(Form7->pickerMode());
    EXPECT_EQ(Form7->windowModality(), Qt::NonModal);
    openOrders();
    EXPECT_EQ(Form7->MasterQuery->RecordCount(), 2);
    EXPECT_TRUE(Form7->Button2->isEnabled());
}

TEST_F(OrderWindows, EveryWayOutOfThePickerLeavesEveryWindowTakingInput) {
    storeOrder("P1", {"A"});
    Form10->close();
    ASSERT_TRUE(Form8->isVisible());
    // The main window, without a database of its own here (it says so).
    tms::desktop::setProgramDir(QStringLiteral("/nonexistent"));
    TForm4 main;
    tms::desktop::setProgramDir(QString());
    main.resize(800, 100);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    Form8->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form8));

    const std::pair<const char*, std::function<void()>> ways[] = {
        {"退出", [] { clickAsUser(Form7->BitBtn4); }},
        {"title bar", [] { Form7->windowHandle()->close(); }},
        {"opened again",
         [] {
             Form7->openForOrder("P1");
             ASSERT_TRUE(QTest::qWaitForWindowExposed(Form7));
             EXPECT_EQ(QGuiApplication::modalWindow(), Form7->windowHandle());
             clickAsUser(Form7->BitBtn4);
         }},
    };
    for (const auto& [way, leave] : ways) {
        SCOPED_TRACE(way);
        clickAsUser(Form8->SpeedButton1);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form7));
        EXPECT_EQ(QGuiApplication::modalWindow(), Form7->windowHandle());
        // The drawing is blocked while the picker is open.
        const int angle = Form8->camera().baseAngle;
        clickAsUser(Form8->BitBtn2);
        EXPECT_EQ(Form8->camera().baseAngle, angle);

        leave();
        tms::test::settle();
        EXPECT_FALSE(Form7->isVisible());
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
        clickAsUser(Form8->BitBtn2);
        EXPECT_NE(Form8->camera().baseAngle, angle);
        clickAsUser(main.SpeedButton3);
        EXPECT_TRUE(Form5->isVisible());
        Form5->close();
    }
    shot(Form8, "drawing_after_picker");
}

}  // namespace

int main(int argc, char** argv) { return tms::test::runWindowTests(argc, argv); }
