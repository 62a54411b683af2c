// The container window driven through its named controls, with the message
// boxes answered by a recorder.

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

#include "data/Unit6.h"
#include "tests/data/CatalogueTesting.h"
#include "tests/data/OrderTesting.h"
#include "tests/support/WindowTestMain.h"

namespace {

class ContainerWindow : public ::testing::Test {
protected:
    TestDb db;
    tms::ui::BoxRecorder boxes;
    std::unique_ptr<TForm6> form;

    void SetUp() override {
        form = std::make_unique<TForm6>(&db.conn);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), 20000));
    }

    void addContainerRow(const QString& no, const QString& name, int l, int w, int h, int kg) {
        ::addContainerRow(db.conn, no, name, l, w, h, kg);
    }
    void reload() { form->Button10->click(); }
    void fill(const QStringList& values) {  // number, type, model, L, W, H, load, remark
        const QList<TDBEdit*> edits = {form->DBEdit10, form->DBEdit11, form->DBEdit1,  form->DBEdit12,
                                       form->DBEdit13, form->DBEdit14, form->DBEdit15, form->DBEdit2};
        for (int i = 0; i < edits.size(); ++i) typeInto(edits[i], values.value(i));
    }
    void add(const QStringList& values) {
        form->SpeedButton10->click();
        fill(values);
        form->SpeedButton13->click();
    }
    void modify(const QString& number) {
        ASSERT_TRUE(form->VehiclesQuery->Locate("VehicleNo", number));
        form->SpeedButton11->click();
        ASSERT_EQ(form->VehiclesQuery->State(), TDataSetState::dsEdit);
    }
    int containerRows() { return countRows(db.conn, "select * from HoldVehicles"); }
};

TEST_F(ContainerWindow, AddsAContainerAndShowsItColumnByColumn) {
    EXPECT_EQ(form->windowTitle(), "货柜管理");
    add({"40'HC", "40尺高柜", "HC", "12032", "2352", "2698", "26580", "备注"});
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsBrowse);

    TADOQuery q(&db.conn);
    q.setSQL(TForm6::defaultSql());
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    const QStringList want = {"40'HC", "40尺高柜", "12032", "2352", "2698", "26580", "HC", "备注"};
    for (int c = 0; c < want.size(); ++c) EXPECT_EQ(q.Fields(c).AsString(), want[c]) << c;

    auto* m = form->goodsDBGRID->model();
    const QStringList shown = {"40'HC", "40尺高柜", "HC", "12032", "2352", "2698", "26580"};
    ASSERT_EQ(m->columnCount(), shown.size());
    for (int c = 0; c < shown.size(); ++c) EXPECT_EQ(m->index(0, c).data().toString(), shown[c]) << c;
    EXPECT_EQ(m->headerData(6, Qt::Horizontal).toString(), "载重(kg)");
    if (const QByteArray dir = qgetenv("TMS_SHOT_DIR"); !dir.isEmpty())
        form->grab().save(QString::fromLocal8Bit(dir) + "/containers.png");
}

TEST_F(ContainerWindow, SaveChecksAndRefusals) {
    addContainerRow("C1", "20尺", 5898, 2352, 2393, 21770);
    reload();
    add({"C2", "", "", "1", "1", "1", "1"});
    EXPECT_EQ(boxes.texts(), QStringList{"请录入完整信息"});
    typeInto(form->DBEdit11, "小柜");
    typeInto(form->DBEdit10, "c1");
    boxes.clear();
    form->SpeedButton13->click();
    EXPECT_EQ(boxes.texts(), QStringList{"该编号已存在 请从新输入"});
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit10);
    EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsInsert);

    // Values that do not fit an integer column are refused, nothing stored.
    typeInto(form->DBEdit10, "C2");
    for (const char* length : {"1.5", "4294967296"}) {
        boxes.clear();
        typeInto(form->DBEdit12, length);
        form->SpeedButton13->click();
        EXPECT_EQ(boxes.texts(), QStringList{"保存出错 请检查录入数据!"}) << length;
        EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsInsert);
    }
    EXPECT_EQ(containerRows(), 1);
    typeInto(form->DBEdit12, "1");  // no volume bounds for containers
    boxes.clear();
    form->SpeedButton13->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(containerRows(), 2);
}

TEST_F(ContainerWindow, NumberChangesAreChecked) {
    addContainerRow("USED", "有单", 5898, 2352, 2393, 21770);
    addContainerRow("FREE", "无单", 5898, 2352, 2393, 21770);
    addContainerRow("OTHER", "别的", 5898, 2352, 2393, 21770);
    addOrder(db.conn, "O1", "USED", 1);
    reload();

    modify("FREE");
    EXPECT_TRUE(form->DBEdit10->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit11);
    typeInto(form->DBEdit10, "other");
    form->SpeedButton13->click();
    EXPECT_EQ(boxes.texts(), QStringList{"该编号已存在 请从新输入"});
    typeInto(form->DBEdit10, "NEW'1");
    boxes.clear();
    form->SpeedButton13->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(countRows(db.conn, "select * from HoldVehicles where VehicleNo='FREE'"), 0);
    EXPECT_EQ(cellOf(db.conn, "select VehicleName from HoldVehicles where VehicleNo='NEW''1'"), "无单");

    // A container that an order names keeps its number.
    modify("USED");
    typeInto(form->DBEdit10, "MOVED");
    form->SpeedButton13->click();
    EXPECT_EQ(boxes.texts(), QStringList{"该箱体以前有过定单 不能修改编号 请先整理该定单."});
    EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsEdit);
    typeInto(form->DBEdit10, "USED");
    typeInto(form->DBEdit11, "改名");
    boxes.clear();
    form->SpeedButton13->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(cellOf(db.conn, "select VehicleName from HoldVehicles where VehicleNo='USED'"), "改名");
}

TEST_F(ContainerWindow, SizesOfAContainerInAComputedPlanCannotChange) {
    addContainerRow("P", "计划中", 5898, 2352, 2393, 21770);
    addContainerRow("Q", "未计算", 5898, 2352, 2393, 21770);
    addOrder(db.conn, "O1", "P", 0);
    addOrder(db.conn, "O2", "Q", 1);
    reload();
    const QString refused =
        "该车厢以前有过订单，修改该车厢的长、宽、高、载重，会影响以前装配结果的正确性,因此不允许修改!";
    for (TDBEdit* e : {form->DBEdit12, form->DBEdit13, form->DBEdit14, form->DBEdit15}) {
        boxes.clear();
        modify("P");
        typeInto(e, e->text() + "0");
        form->SpeedButton13->click();
        EXPECT_EQ(boxes.texts(), QStringList{refused}) << e->objectName().toStdString();
        form->SpeedButton14->click();
    }
    modify("P");
    typeInto(form->DBEdit11, "新类型");
    typeInto(form->DBEdit1, "M2");
    boxes.clear();
    form->SpeedButton13->click();
    EXPECT_TRUE(boxes.texts().isEmpty());

    modify("Q");
    typeInto(form->DBEdit12, "6000");
    form->SpeedButton13->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(cellOf(db.conn, "select ContainerL from HoldVehicles where VehicleNo='Q'"), "6000");
}

TEST_F(ContainerWindow, DeleteRefusesContainersThatOrdersUse) {
    addContainerRow("A", "computed", 1, 1, 1, 1);
    addContainerRow("B", "pending", 1, 1, 1, 1);
    addContainerRow("C", "free", 1, 1, 1, 1);
    addOrder(db.conn, "O1", "A", 0);
    addOrder(db.conn, "O2", "B", 1);
    reload();
    for (const char* used : {"A", "B"}) {
        boxes.clear();
        ASSERT_TRUE(form->VehiclesQuery->Locate("VehicleNo", used));
        form->SpeedButton12->click();
        EXPECT_EQ(boxes.texts(), (QStringList{"确实要删除该箱体吗?", "该箱体地以前有过定单 不能删除 请先整理该定单."}));
    }
    // A saved self-service loading uses it: refused as well, for that reason.
    addContainerRow("S", "self-service", 1, 1, 1, 1);
    db.conn.Execute("insert into HoldSelfHelpOrderForm(SelfHelpOrderFormNo,VehicleNo) values ('自助','S')");
    reload();
    boxes.clear();
    ASSERT_TRUE(form->VehiclesQuery->Locate("VehicleNo", "S"));
    form->SpeedButton12->click();
    EXPECT_EQ(boxes.texts(),
              (QStringList{"确实要删除该箱体吗?", "该箱体有已保存的自助装箱 不能删除 请先删除该自助装箱."}));
    EXPECT_EQ(containerRows(), 4);
    db.conn.Execute("delete from HoldVehicles where VehicleNo = 'S'");
    reload();
    EXPECT_EQ(containerRows(), 3);
    ASSERT_TRUE(form->VehiclesQuery->Locate("VehicleNo", "C"));
    boxes.answerNext(tms::ui::Answer::Cancel);
    form->SpeedButton12->click();
    EXPECT_EQ(containerRows(), 3);
    form->SpeedButton12->click();
    EXPECT_EQ(containerRows(), 2);

    db.conn.Execute("delete from HoldVehicles");
    reload();
    boxes.clear();
    form->SpeedButton12->click();
    form->SpeedButton11->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsBrowse);
}

TEST_F(ContainerWindow, SearchSortAndKeys) {
    addContainerRow("20GP", "二十尺普柜", 5898, 2352, 2393, 21770);
    addContainerRow("40GP", "四十尺普柜", 12032, 2352, 2393, 26680);
    addContainerRow("45HC", "四十五尺高柜", 13556, 2352, 2698, 27600);
    reload();
    form->Edit7->setText("40");
    QTest::keyClick(form->Edit7, Qt::Key_Return);
    EXPECT_EQ(columnOf(form->VehiclesQuery, "VehicleNo"), QStringList{"40GP"});
    // An empty box leaves the list as it is; only "全部" brings all back.
    form->Edit7->clear();
    QTest::keyClick(form->Edit7, Qt::Key_Return);
    EXPECT_EQ(form->VehiclesQuery->RecordCount(), 1);
    form->Edit6->setText("高");
    QTest::keyClick(form->Edit6, Qt::Key_Return);
    EXPECT_EQ(columnOf(form->VehiclesQuery, "VehicleNo"), QStringList{"45HC"});
    form->Button10->click();
    EXPECT_EQ(form->VehiclesQuery->RecordCount(), 3);

    emit form->goodsDBGRID->titleClicked("MaxWeight");
    EXPECT_EQ(columnOf(form->VehiclesQuery, "VehicleNo"), (QStringList{"45HC", "40GP", "20GP"}));
    emit form->goodsDBGRID->titleClicked("VehicleNo");
    EXPECT_EQ(columnOf(form->VehiclesQuery, "VehicleNo"), (QStringList{"20GP", "40GP", "45HC"}));

    form->SpeedButton10->click();
    const QList<QWidget*> chain = {form->DBEdit10, form->DBEdit11, form->DBEdit1,  form->DBEdit12,
                                   form->DBEdit13, form->DBEdit14, form->DBEdit15, form->DBEdit2};
    chain.first()->setFocus();
    for (int i = 1; i < chain.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), chain[i]) << i;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit2);
    form->DBEdit15->setFocus();
    QTest::keyClicks(form->DBEdit15, "2a0,0.5e");
    EXPECT_EQ(form->DBEdit15->text(), "200.5");
    form->DBEdit1->setFocus();
    QTest::keyClicks(form->DBEdit1, "HC-1");  // the model is text
    EXPECT_EQ(form->DBEdit1->text(), "HC-1");
    form->SpeedButton14->click();
    EXPECT_EQ(form->VehiclesQuery->RecordCount(), 3);
}

TEST_F(ContainerWindow, TextFieldsHoldAtMostTheirDeclaredSizeAndFocusReturnsToTheList) {
    for (TDBEdit* e : {form->DBEdit10, form->DBEdit11, form->DBEdit1, form->DBEdit2})
        EXPECT_EQ(e->maxLength(), 50) << e->objectName().toStdString();
    form->SpeedButton10->click();
    fill({QString(80, 'C'), QString(60, QChar(0x67DC)), QString(55, 'm'), "1", "1", "1", "1", QString(51, 'r')});
    form->SpeedButton13->setFocus();
    QTest::keyClick(form->SpeedButton13, Qt::Key_Space);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    TADOQuery q(&db.conn);
    q.setSQL("select VehicleNo,VehicleName,Model,VehicleRemark from HoldVehicles");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), QString(50, 'C'));
    EXPECT_EQ(q.Fields(1).AsString(), QString(50, QChar(0x67DC)));
    EXPECT_EQ(q.Fields(2).AsString(), QString(50, 'm'));
    EXPECT_EQ(q.Fields(3).AsString(), QString(50, 'r'));
    // Saved from the keyboard: the focus is on the list, not on "退出".
    EXPECT_EQ(QApplication::focusWidget(), form->goodsDBGRID);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(form->isVisible());

    // A longer value that reached the record another way is refused.
    form->SpeedButton11->click();
    form->VehiclesQuery->FieldByName("VehicleName").SetValue(QString(51, 'n'));
    form->SpeedButton13->click();
    EXPECT_EQ(boxes.texts(), QStringList{"类型不能超过50个字符 请从新录入"});
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit11);
    EXPECT_EQ(cellOf(db.conn, "select VehicleName from HoldVehicles"), QString(50, QChar(0x67DC)));
    form->SpeedButton14->setFocus();
    QTest::keyClick(form->SpeedButton14, Qt::Key_Space);
    EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(QApplication::focusWidget(), form->goodsDBGRID);
}

TEST_F(ContainerWindow, SizeFieldsTakeTheEditShortcutsAndCheckPastes) {
    form->SpeedButton10->click();
    QClipboard* clip = QApplication::clipboard();
    for (TDBEdit* e : {form->DBEdit12, form->DBEdit13, form->DBEdit14, form->DBEdit15}) {
        e->setFocus();
        clip->setText("12a");
        QTest::keySequence(e, QKeySequence::Paste);
        EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
        clip->setText("2352");
        QTest::keySequence(e, QKeySequence::Paste);
        QTest::keySequence(e, QKeySequence::SelectAll);
        QTest::keySequence(e, QKeySequence::Copy);
        EXPECT_EQ(clip->text(), "2352") << e->objectName().toStdString();
    }
    EXPECT_EQ(form->VehiclesQuery->FieldByName("MaxWeight").AsString(), "2352");
}

TEST_F(ContainerWindow, ClosingLeavesTheListToOtherWindows) {
    addContainerRow("K1", "k", 1, 1, 1, 1);
    reload();
    QObject newOrder;
    form->VehiclesDS->acquire(&newOrder);
    form->SpeedButton10->click();
    form->close();
    EXPECT_TRUE(form->VehiclesQuery->Active());
    EXPECT_EQ(form->VehiclesQuery->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(form->VehiclesQuery->RecordCount(), 1);
    form->VehiclesDS->release(&newOrder);
    EXPECT_FALSE(form->VehiclesQuery->Active());
    form->show();
    EXPECT_TRUE(form->VehiclesQuery->Active());
    EXPECT_EQ(form->VehiclesQuery->RecordCount(), 1);
}

}  // namespace

int main(int argc, char** argv) { return tms::test::runWindowTests(argc, argv); }
