// The order library without windows: the checks of a new order in their
// order, what a stored order looks like, the one transaction of each action
// (a failure part way leaves the database as it was), the recalculation and
// the delete, and the order list's search.

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "data/OrderStore.h"
#include "engine/HoldEngine.h"
#include "tests/data/OrderTesting.h"
#include "tests/support/TestDb.h"

using namespace tms;

namespace {

class OrderStore : public ::testing::Test {
protected:
    TestDb db;
    THoldEngine engine;
    TEngineOptions sw;

    void SetUp() override {
        sw.threads = 2;
        // 1000 long, 400 wide, 300 high: two 500 x 400 x 300 cartons in a row.
        addContainer("C1", "小柜", 1000, 400, 300, 1000);
        addContainer("C2", "大柜", 2000, 400, 300, 1000);
        addGoods("A", 500, 400, 300, 10);
        addGoods("B", 250, 400, 300, 5);
        addGoods("BIG", 1200, 400, 300, 10);
    }
    void addContainer(const QString& no, const QString& name, int l, int w, int h, int kg) {
        addContainerRow(db.conn, no, name, l, w, h, kg);
    }
    void addGoods(const QString& no, int l, int w, int h, int kg, const QString& upward = "1") {
        addGoodsRow(db.conn, no, l, w, h, kg, upward, 1, "255,0,0");
    }
    TOrderEntry entry(const QString& no, QList<TEntryLine> lines, bool typeA = false, const QString& vehicle = "C1") {
        TOrderEntry e;
        e.orderNo = no;
        e.name = "客户";
        e.sailDate = QDate(2024, 5, 6);
        e.vehicleNo = vehicle;
        e.typeA = typeA;
        e.addL = "0";
        e.addW = "0";
        e.addH = "0";
        e.lines = lines;
        return e;
    }
    TOrderOutcome compute(const TOrderEntry& e) { return computeNewOrder(db.conn, engine, e, sw); }
    QStringList column(const QString& sql, const QVariantList& params = {}) { return rowsOf(db.conn, sql, params); }
    // Every row of the order tables, to compare the database before and after.
    QStringList everything() { return orderTables(db.conn); }
};

TEST_F(OrderStore, RefusalsComeInTheWindowsOrderAndWriteNothing) {
    ASSERT_TRUE(compute(entry("TAKEN", {{"A", "1"}})).stored());
    const QStringList before = everything();

    auto refused = [&](const TOrderEntry& e) {
        const TOrderOutcome o = compute(e);
        EXPECT_EQ(o.kind, TOrderOutcome::Kind::refused);
        return o.message;
    };
    // Each entry breaks this rule and every later one.
    TOrderEntry e = entry("TAKEN", {{"A", "x"}, {"GONE", "1"}}, true, "");
    EXPECT_EQ(refused(e), "对应A类计算，只能添加一种货物,请重新添加");
    e.lines.clear();
    EXPECT_EQ(refused(e), "请输入货物");
    e.lines = {{"A", "x"}, {"GONE", "1"}};
    e.typeA = false;
    EXPECT_EQ(refused(e), "该编号已存在 请从新输入");
    EXPECT_EQ(compute(e).focus, TOrderField::orderNo);
    e.orderNo = "  ";
    e.vehicleNo = "C1";
    EXPECT_EQ(refused(e), "请选择车厢或输入装配编号");
    EXPECT_EQ(compute(e).focus, TOrderField::orderNo);
    e.orderNo = "N1";
    e.vehicleNo = "";
    EXPECT_EQ(refused(e), "请选择车厢或输入装配编号");
    EXPECT_EQ(compute(e).focus, TOrderField::container);
    e.vehicleNo = "GONE";
    e.name = QString(51, QChar(u'名'));
    EXPECT_EQ(refused(e), "客户名称不能超过50个字符 请从新录入");
    e.name = QString(50, QChar(u'名'));
    EXPECT_EQ(refused(e), "录入的数量有误，请重新录入!");
    for (const char* bad : {"1.5", "-1", "30001", "", "1e3", "99999999999999999999"}) {
        e.lines[0].amount = bad;
        EXPECT_EQ(refused(e), "录入的数量有误，请重新录入!") << bad;
    }
    e.lines[0].amount = "30000";
    e.addH = "12a";
    EXPECT_EQ(refused(e), "录入的膨胀尺寸有误，请重新录入!");
    e.addH = "";
    EXPECT_EQ(refused(e), "该箱柜不存在，可能已经删除!");
    e.vehicleNo = "C1";
    EXPECT_EQ(refused(e), "该货物不存在，可能已经删除!");
    e.lines[1].goodsNo = "BIG";
    e.lines[0].amount = "1";
    EXPECT_EQ(refused(e), "以下货物无法装入所选箱柜 请重新选择货物或箱柜:\nBIG（尺寸超出箱柜）");
    EXPECT_EQ(everything(), before);
}

TEST_F(OrderStore, TypeBIsStoredInOneGoWithSerialsFromOneAndTheChosenContainer) {
    sw.directionRestrict = true;
    sw.weightRestrict = false;
    TOrderEntry e = entry("  O1  ", {{"B", "2"}, {"A", "3"}}, false, "C2");
    e.addL = "";  // a blank margin counts as 0
    e.loadingMode = TLoadingMode::flat;
    const TOrderOutcome o = compute(e);
    ASSERT_TRUE(o.stored()) << o.message.toStdString();
    EXPECT_TRUE(o.message.isEmpty());
    EXPECT_EQ(o.orderNo, "O1");
    EXPECT_EQ(column("select OrderFormNo,OrderFormName,SailDate,VehicleNo,CountType,LoadingType,IsDirectionRestrict,"
                     "IsWeightRestrict,AddL,AddW,AddH,IsNeedCount from HoldOrderForm"),
              QStringList{"O1|客户|2024-05-06|C2|1|1|1|0|0|0|0|0"});
    EXPECT_EQ(column("select GoodsNo,Amount,Sequence from HoldOrderFormList order by Sequence"),
              (QStringList{"B|2|1", "A|3|2"}));
    EXPECT_EQ(column("select ListId from HoldList order by ListId"),
              (QStringList{"A000001", "A000002", "A000003", "B000001", "B000002"}));
    // The pieces went into the container of the chosen number: 2000 long
    // holds them all, the 1000 one would not.
    EXPECT_EQ(o.plan.containers, 1);
}

TEST_F(OrderStore, TypeAKeepsContainerOneAndCountsWithWeightZeroByVolume) {
    addGoods("LIGHT", 250, 400, 300, 0);
    // Four fit by volume; a weight of 0 adds no bound.
    const TOrderOutcome o = compute(entry("TA", {{"LIGHT", "200"}}, true));
    ASSERT_TRUE(o.stored()) << o.message.toStdString();
    EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo='TA'"), QStringList{"4"});
    EXPECT_EQ(column("select Amount from HoldOrderFormList"), QStringList{"200"});  // the box as typed
    // The hidden amount box is stored as it stood, whatever it holds.
    for (const char* typed : {"", "1.5"}) {
        const TOrderOutcome t = compute(entry(QString("T") + typed, {{"LIGHT", typed}}, true));
        ASSERT_TRUE(t.stored()) << t.message.toStdString();
        EXPECT_EQ(column("select Amount from HoldOrderFormList where OrderFormNo=?", {t.orderNo}), QStringList{typed});
        EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo=?", {t.orderNo}), QStringList{"4"});
    }
    // Weight 300 in a 1000 kg container: three by weight.
    addGoods("HEAVY", 250, 400, 300, 300);
    ASSERT_TRUE(compute(entry("TB", {{"HEAVY", "1"}}, true)).stored());
    EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo='TB'"), QStringList{"3"});
    // Margins enlarge the divisor only: 260 long leaves three by volume.
    TOrderEntry e = entry("TC", {{"LIGHT", "1"}}, true);
    e.addL = "10";
    ASSERT_TRUE(compute(e).stored());
    EXPECT_EQ(column("select count(*),max(bcd2)-min(bcd) from HoldList where OrderFormNo='TC'"), QStringList{"3|750"});
}

TEST_F(OrderStore, TypeACountsOnlyAsFarAsTheSixDigitSerialOnBothPaths) {
    // 2000 x 1 x 1 mm rods: 60,000 by volume, but none fits the 1000 long
    // box. Counted past 30,000 and stored, with an empty plan.
    addGoods("ROD", 2000, 1, 1, 0);
    const TOrderOutcome rod = compute(entry("TR", {{"ROD", "1"}}, true));
    ASSERT_TRUE(rod.stored()) << rod.message.toStdString();
    EXPECT_EQ(engine.goodsArr.size(), 60000u);
    EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo='TR'"), QStringList{"0"});

    // 1 mm cubes of no weight: 120 million would need a seven-digit serial.
    addGoods("DUST", 1, 1, 1, 0);
    const QStringList before = everything();
    const TOrderOutcome o = compute(entry("TD", {{"DUST", "1"}}, true));
    EXPECT_FALSE(o.stored());
    EXPECT_EQ(o.message, typeATooMany(120000000));
    EXPECT_TRUE(o.message.contains("999999")) << o.message.toStdString();
    EXPECT_EQ(everything(), before);

    // A stored order whose goods shrank since: the recalculation refuses too
    // and keeps the old plan.
    addGoods("SMALL", 500, 400, 300, 0);
    ASSERT_TRUE(compute(entry("TE", {{"SMALL", "1"}}, true)).stored());
    db.conn.Execute("update HoldGoods set Length=1,Width=1,Height=1 where GoodsNo='SMALL'");
    db.conn.Execute("update HoldOrderForm set IsNeedCount=1 where OrderFormNo='TE'");
    const QStringList stored = everything();
    const TOrderOutcome r = recalculateOrder(db.conn, engine, "TE", sw);
    EXPECT_FALSE(r.stored());
    EXPECT_EQ(r.message, typeATooMany(120000000));
    EXPECT_EQ(everything(), stored);
}

TEST_F(OrderStore, TheWeightRuleRefusesGoodsHeavierThanTheLoadLimitByName) {
    addGoods("LEAD", 100, 100, 100, 2000);
    sw.weightRestrict = true;
    const TOrderOutcome o = compute(entry("W", {{"A", "1"}, {"LEAD", "1"}}));
    EXPECT_EQ(o.message, "以下货物无法装入所选箱柜 请重新选择货物或箱柜:\nLEAD（重量超过箱柜载重）");
    sw.weightRestrict = false;
    EXPECT_TRUE(compute(entry("W", {{"A", "1"}, {"LEAD", "1"}})).stored());
    // A type-A count of 0, with the rule or without it, by weight or by a
    // goods larger than the container, builds no piece: the order is still
    // stored and computed, with an empty plan and nothing left over. So is
    // its recalculation.
    sw.weightRestrict = true;
    const std::pair<const char*, const char*> zeros[] = {{"Z", "LEAD"}, {"ZB", "BIG"}};
    for (const auto& [no, goods] : zeros) {
        const TOrderOutcome z = compute(entry(no, {{goods, "1"}}, true));
        ASSERT_TRUE(z.stored()) << no << z.message.toStdString();
        EXPECT_TRUE(z.message.isEmpty()) << z.message.toStdString();
        db.conn.Execute("update HoldOrderForm set IsNeedCount=1 where OrderFormNo=?", {QString(no)});
        const TOrderOutcome r = recalculateOrder(db.conn, engine, no, sw);
        ASSERT_TRUE(r.stored()) << no << r.message.toStdString();
        EXPECT_EQ(column("select IsNeedCount from HoldOrderForm where OrderFormNo=?", {QString(no)}), QStringList{"0"});
        EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo=?", {QString(no)}), QStringList{"0"});
    }
}

// A container with a side of 0 or less is named with its size, whatever the
// goods, on both types and in the recalculation, and nothing is written.
TEST_F(OrderStore, AContainerWithoutSizeIsNamedNotItsGoods) {
    ASSERT_TRUE(compute(entry("R", {{"A", "1"}})).stored());
    ASSERT_TRUE(compute(entry("RA", {{"A", "1"}}, true)).stored());
    db.conn.Execute("update HoldOrderForm set IsNeedCount=1");
    addContainer("C0", "零柜", 0, 400, 300, 1000);
    db.conn.Execute("update HoldOrderForm set VehicleNo='C0'");
    const QStringList before = everything();
    const QString says = "所选箱柜 C0（零柜）的尺寸有误：长 0 mm，宽 400 mm，高 300 mm，请在箱柜管理中修改后再计算";
    for (const bool typeA : {false, true}) {
        const TOrderOutcome o = compute(entry("N", {{"A", "1"}}, typeA, "C0"));
        EXPECT_EQ(o.kind, TOrderOutcome::Kind::refused) << typeA;
        EXPECT_EQ(o.message, says) << typeA;
    }
    for (const char* no : {"R", "RA"}) {
        const TOrderOutcome o = recalculateOrder(db.conn, engine, no, sw);
        EXPECT_EQ(o.kind, TOrderOutcome::Kind::refused) << no;
        EXPECT_EQ(o.message, says) << no;
    }
    EXPECT_EQ(everything(), before);
    db.conn.Execute("update HoldVehicles set ContainerL=1000, ContainerH=-5 where VehicleNo='C0'");
    EXPECT_EQ(compute(entry("N", {{"A", "1"}}, false, "C0")).message,
              "所选箱柜 C0（零柜）的尺寸有误：长 1000 mm，宽 400 mm，高 -5 mm，请在箱柜管理中修改后再计算");
}

TEST_F(OrderStore, AFailurePartWayLeavesTheDatabaseAsItWas) {
    ASSERT_TRUE(compute(entry("OLD", {{"A", "1"}})).stored());
    const QStringList before = everything();
    // The plan write fails after header and lines were written.
    db.conn.Execute(
        "create trigger stop before insert on HoldList when new.ListId = 'B000002' "
        "begin select raise(abort, 'disk full'); end");
    const TOrderOutcome o = compute(entry("NEW", {{"A", "1"}, {"B", "3"}}));
    EXPECT_EQ(o.kind, TOrderOutcome::Kind::failed);
    EXPECT_TRUE(o.message.contains("disk full")) << o.message.toStdString();
    EXPECT_EQ(everything(), before);
    // The "computed" mark fails last of all.
    db.conn.Execute("drop trigger stop");
    db.conn.Execute("create trigger stop before update on HoldOrderForm begin select raise(abort, 'locked'); end");
    EXPECT_EQ(compute(entry("NEW", {{"A", "1"}})).kind, TOrderOutcome::Kind::failed);
    EXPECT_EQ(everything(), before);
    EXPECT_FALSE(db.conn.InTransaction());
}

TEST_F(OrderStore, RecalculationReplacesThePlanWithSerialsFromZeroAndKeepsAllContainersOfTypeA) {
    ASSERT_TRUE(compute(entry("R", {{"A", "1"}}, true)).stored());
    EXPECT_EQ(column("select ListId,vehicleOrder from HoldList"), (QStringList{"A000001|1", "A000002|1"}));
    db.conn.Execute("update HoldOrderForm set IsNeedCount=1, AddL=0");
    sw.directionRestrict = true;
    const TOrderOutcome o = recalculateOrder(db.conn, engine, "R", sw);
    ASSERT_TRUE(o.stored()) << o.message.toStdString();
    EXPECT_EQ(column("select ListId,vehicleOrder from HoldList"), (QStringList{"A000000|1", "A000001|1"}));
    EXPECT_EQ(column("select IsNeedCount,IsDirectionRestrict,IsWeightRestrict from HoldOrderForm"),
              QStringList{"0|1|1"});
}

TEST_F(OrderStore, RecalculationRefusesLinesWhoseGoodsAreGoneAndKeepsTheOrder) {
    ASSERT_TRUE(compute(entry("R", {{"A", "3"}, {"B", "2"}})).stored());
    db.conn.Execute("update HoldOrderForm set IsNeedCount=1");
    db.conn.Execute("delete from HoldGoods where GoodsNo='B'");
    const QStringList before = everything();
    const TOrderOutcome o = recalculateOrder(db.conn, engine, "R", sw);
    EXPECT_EQ(o.kind, TOrderOutcome::Kind::refused);
    EXPECT_EQ(o.message, "以下货物已不存在，可能已经删除，不能计算该订单:\nB");
    EXPECT_EQ(everything(), before);
}

TEST_F(OrderStore, AFailedRecalculationKeepsTheOldPlan) {
    ASSERT_TRUE(compute(entry("R", {{"A", "3"}})).stored());
    db.conn.Execute("update HoldOrderForm set IsNeedCount=1");
    const QStringList before = everything();
    db.conn.Execute("create trigger stop before update on HoldOrderForm begin select raise(abort, 'locked'); end");
    EXPECT_EQ(recalculateOrder(db.conn, engine, "R", sw).kind, TOrderOutcome::Kind::failed);
    EXPECT_EQ(everything(), before);
    db.conn.Execute("drop trigger stop");
    // Goods grown too large since: refused by name, old plan kept.
    db.conn.Execute("update HoldGoods set Length=5000 where GoodsNo='A'");
    const TOrderOutcome o = recalculateOrder(db.conn, engine, "R", sw);
    EXPECT_EQ(o.message, "以下货物无法装入所选箱柜 请重新选择货物或箱柜:\nA（尺寸超出箱柜）");
    EXPECT_EQ(everything(), before);
    db.conn.Execute("delete from HoldVehicles");
    EXPECT_EQ(recalculateOrder(db.conn, engine, "R", sw).message, "该箱柜不存在，可能已经删除!");
    EXPECT_EQ(everything(), before);
}

TEST_F(OrderStore, ANumberTakenByAnotherCopyMeanwhileOrABusyFileIsRefusedInChinese) {
    // Another copy of the program on the same file stores "X" while this
    // one waits for the file after its own checks passed.
    TADOConnection other;
    other.Open(makeConnectionString(db.path, kDatabasePassword));
    other.BeginTrans();
    other.Execute("insert into HoldOrderForm(OrderFormNo,VehicleNo,CountType,LoadingType) values ('X','C1',1,0)");
    std::thread commit([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.CommitTrans();
    });
    const TOrderOutcome o = compute(entry("X", {{"A", "1"}}));
    commit.join();
    EXPECT_EQ(o.kind, TOrderOutcome::Kind::refused);
    EXPECT_EQ(o.message, "该编号已存在 请从新输入");
    EXPECT_EQ(o.focus, TOrderField::orderNo);

    // The other copy holds the file past the wait: nothing is stored, and
    // the message says why.
    const QStringList before = everything();
    other.BeginTrans();
    const TOrderOutcome busy = compute(entry("Y", {{"A", "1"}}));
    other.RollbackTrans();
    EXPECT_EQ(busy.kind, TOrderOutcome::Kind::failed);
    EXPECT_TRUE(busy.message.contains("另一个程序正在写入数据库")) << busy.message.toStdString();
    EXPECT_EQ(everything(), before);
}

TEST_F(OrderStore, DeleteRemovesPlanLinesAndHeaderTogether) {
    ASSERT_TRUE(compute(entry("D1", {{"A", "2"}})).stored());
    ASSERT_TRUE(compute(entry("D2", {{"B", "2"}})).stored());
    const QStringList before = everything();
    db.conn.Execute("create trigger stop before delete on HoldOrderForm begin select raise(abort, 'locked'); end");
    EXPECT_THROW(deleteOrder(db.conn, "D1"), EDatabaseError);
    EXPECT_EQ(everything(), before);
    db.conn.Execute("drop trigger stop");
    deleteOrder(db.conn, "D1");
    EXPECT_EQ(column("select OrderFormNo from HoldOrderForm"), QStringList{"D2"});
    EXPECT_EQ(column("select count(*) from HoldOrderFormList where OrderFormNo='D1'"), QStringList{"0"});
    EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo='D1'"), QStringList{"0"});
    EXPECT_EQ(column("select count(*) from HoldList where OrderFormNo='D2'"), QStringList{"2"});
}

TEST_F(OrderStore, TheOrderListFindsPatternsAndIgnoresCase) {
    for (const char* no : {"AB'1", "ab'2", "A%B", "AXB", "A_B", "A\\B"})
        db.conn.Execute("insert into HoldOrderForm(OrderFormNo,VehicleNo,CountType,LoadingType) values (?,'C1',1,0)",
                        {QString(no)});
    db.conn.Execute("insert into HoldOrderForm(OrderFormNo,VehicleNo) values ('LOST','NOCONTAINER')");
    auto find = [&](const QString& text) {
        return column("select OrderFormNo from (" + orderListSql("OrderFormNo", "OrderFormNo", false) + ")",
                      {likePattern(text)});
    };
    // A quote is a character; "%" and "_" are wildcards.
    EXPECT_EQ(find("b'"), (QStringList{"AB'1", "ab'2"}));
    EXPECT_EQ(find("a%b"), (QStringList{"A%B", "A\\B", "A_B", "AB'1", "ab'2", "AXB"}));
    EXPECT_EQ(find("A_B"), (QStringList{"A%B", "A\\B", "A_B", "AXB"}));
    EXPECT_EQ(find("\\"), QStringList{"A\\B"});
    // The order's container is gone: not listed. The codes show as texts.
    EXPECT_EQ(column("select count(*) from (" + orderListSql("", "", false) + ")"), QStringList{"6"});
    EXPECT_EQ(column("select CountTypeText,LoadingTypeText,DirectionText from (" +
                     orderListSql("", "CountTypeText", true) + ") limit 1"),
              QStringList{"B类|无限制|"});
    EXPECT_TRUE(isDateText("2024-02-29"));
    EXPECT_FALSE(isDateText("2023-02-29"));
    EXPECT_FALSE(isDateText("2024-1-5"));
}

}  // namespace
