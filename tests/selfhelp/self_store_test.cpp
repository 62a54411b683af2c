// Saving, listing, loading and deleting hand-built loadings in the keyed
// database file.

#include <cmath>
#include <gtest/gtest.h>

#include "selfhelp/SelfStore.h"
#include "tests/support/TestDb.h"

using tms::SelfGoods;
using tms::TSelfLoading;
using tms::TSelfLoadStatus;
using tms::TSelfStore;

namespace {

struct StoreTest : ::testing::Test {
    TestDb db;
    TSelfStore store{db.conn};

    void SetUp() override {
        db.conn.Execute(
            "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
            "values ('20GP','二十尺',5890,2350,2390,21000)");
        db.conn.Execute(
            "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
            "values ('V2','小柜',1000,1000,1000,500)");
        addGoods("A1", "纸箱", 600, 400, 300, "255,0,0");
        addGoods("B2", "木箱", 700, 333, 510, "0,128,255");
    }

    void addGoods(const QString& no, const QString& name, int L, int W, int H, const QString& color) {
        db.conn.Execute(
            "insert into HoldGoods(GoodsNo,GoodsName,Upward,Length,Width,Height,Weight,COLOR) "
            "values (?,?,'1',?,?,?,20,?)",
            {no, name, L, W, H, color});
    }

    SelfGoods catalogue(const std::string& no) {
        TADOQuery q(&db.conn);
        q.setSQL("select * from HoldGoods where GoodsNo = ?");
        q.bind(1, QString::fromStdString(no));
        q.Open();
        SelfGoods g;
        g.GoodsNo = no;
        g.GoodsName = q.FieldByName("GoodsName").AsString().toStdString();
        g.Length = q.FieldByName("Length").AsFloat();
        g.Width = q.FieldByName("Width").AsFloat();
        g.Height = q.FieldByName("Height").AsFloat();
        g.Weight = q.FieldByName("Weight").AsFloat();
        g.Color = q.FieldByName("COLOR").AsString().toStdString();
        return g;
    }

    // Two batches of different goods, fill orders and orientations in a
    // 20-foot container.
    void build(TSelfLoading& s) {
        const auto size = store.vehicleSize("20GP");
        ASSERT_TRUE(size);
        s.setContainer("20GP", size->L, size->W, size->H);
        SelfGoods a = catalogue("A1"), b = catalogue("B2");
        ASSERT_EQ(s.placeBatch(&a, "30", 0, 2).placed, 30);
        ASSERT_EQ(s.placeBatch(&b, "25", 4, 5).placed, 25);
    }

    int rows(const char* table) {
        TADOQuery q(&db.conn);
        q.setSQL(QString("select count(*) as n from ") + table);
        q.Open();
        return q.FieldByName("n").AsInteger();
    }
    int allRows() {
        return rows("HoldSelfHelpOrderForm") + rows("HoldSelfHelpOrderFormList") + rows("HoldSelfHelpList");
    }
};

double two(double v) { return std::round(v * 100) / 100; }

}  // namespace

TEST_F(StoreTest, ARoundTripGivesTheSameBatchesAndPieces) {
    TSelfLoading built;
    build(built);
    auto r = store.save("装箱一", built, "2024-05-01");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.message, "保存成功!");
    EXPECT_EQ(rows("HoldSelfHelpOrderForm"), 1);
    EXPECT_EQ(rows("HoldSelfHelpOrderFormList"), 2);
    EXPECT_EQ(rows("HoldSelfHelpList"), 55);

    TSelfLoading seen;
    auto l = store.load("装箱一", seen);
    ASSERT_EQ(l.status, TSelfLoadStatus::ok) << l.message;
    EXPECT_TRUE(l.message.empty());
    EXPECT_TRUE(seen.viewOnly());
    EXPECT_EQ(seen.vehicleNo(), "20GP");
    EXPECT_EQ(seen.containerL(), 5890);
    ASSERT_EQ(seen.batches().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto &a = built.batches()[i], &b = seen.batches()[i];
        EXPECT_EQ(b.batch, a.batch);
        EXPECT_EQ(b.goodsNo, a.goodsNo);
        EXPECT_EQ(b.goodsName, a.goodsName);
        EXPECT_EQ(b.colorText, a.colorText);
        EXPECT_EQ(b.amount, a.amount);
        EXPECT_EQ(b.L, a.L);
        EXPECT_EQ(b.W, a.W);
        EXPECT_EQ(b.H, a.H);
        EXPECT_EQ(b.fillOrder, a.fillOrder);
        EXPECT_EQ(b.placeType, a.placeType);
    }
    EXPECT_EQ(tms::fillOrderText(seen.batches()[1].fillOrder), "左->下->里");
    EXPECT_EQ(seen.GetZXL(), built.GetZXL());
    EXPECT_EQ(seen.loadingSummary(), built.loadingSummary());

    ASSERT_EQ(seen.pieceArr().size(), built.pieceArr().size());
    for (std::size_t i = 0; i < seen.pieceArr().size(); ++i) {
        const auto &a = built.pieceArr()[i], &b = seen.pieceArr()[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(b.ListId, a.ListId);
        EXPECT_EQ(b.GoodsNo, a.GoodsNo);
        EXPECT_EQ(b.batch, a.batch);
        EXPECT_EQ(b.placeText, a.placeText);  // each batch keeps its own faces
        EXPECT_EQ(b.x0, two(a.x0));
        EXPECT_EQ(b.y0, two(a.y0));
        EXPECT_EQ(b.z0, two(a.z0));
        EXPECT_EQ(b.x1, two(a.x1));
        EXPECT_EQ(b.y1, two(a.y1));
        EXPECT_EQ(b.z1, two(a.z1));
        EXPECT_EQ(b.red, a.red);
        EXPECT_EQ(b.blue, a.blue);
        EXPECT_EQ(b.shown, 1);
        EXPECT_EQ(b.verts, a.verts);
    }

    // The view cannot take another batch or be saved again.
    SelfGoods g = catalogue("A1");
    EXPECT_EQ(seen.placeBatch(&g, "1", 0, 0).message, "请先选择一个箱柜");
    EXPECT_EQ(store.save("另一个", seen).message, "请先选择一个箱柜");
    EXPECT_EQ(store.save("另一个", seen).refused, tms::TSelfSaveCheck::noContainer);
}

TEST_F(StoreTest, CornersAreStoredWithTwoDecimals) {
    TSelfLoading s;
    s.setContainer("V2", 1000, 1000, 1000);
    SelfGoods g = catalogue("A1");
    g.Length = 100.0 / 3;  // corners 33.333.., 66.666..
    ASSERT_EQ(s.placeBatch(&g, "2", 0, 2).placed, 2);
    ASSERT_TRUE(store.save("thirds", s, "2024-01-01").ok);
    TADOQuery q(&db.conn);
    q.setSQL("select bcd, bcd2, dx, dy, dz, RGPlaceType, Floor from HoldSelfHelpList order by ListId");
    q.Open();
    EXPECT_EQ(q.FieldByName("bcd").AsFloat(), 0);
    EXPECT_EQ(q.FieldByName("bcd2").AsFloat(), 33.33);
    EXPECT_EQ(q.FieldByName("dx").AsFloat(), 0);
    EXPECT_EQ(q.FieldByName("RGPlaceType").AsInteger(), 3);
    EXPECT_EQ(q.FieldByName("Floor").AsInteger(), 1);
}

TEST_F(StoreTest, NameChecksComeFirstAndWriteNothing) {
    TSelfLoading empty;
    empty.setContainer("V2", 1000, 1000, 1000);
    EXPECT_EQ(store.save("", empty).message, "请录入装箱名称!");
    EXPECT_EQ(store.save("   ", empty).message, "请录入装箱名称!");
    EXPECT_EQ(store.save("   ", empty).refused, tms::TSelfSaveCheck::noName);
    EXPECT_EQ(store.save("x", empty).message, "您还没有添加货物，请添加货物!");
    EXPECT_EQ(store.save("x", empty).refused, tms::TSelfSaveCheck::noGoods);

    TSelfLoading s;
    build(s);
    ASSERT_TRUE(store.save("Load-1", s).ok);
    auto again = store.save("LOAD-1", s);
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.message, "该名称已经存在，请重新录入!");
    EXPECT_EQ(again.refused, tms::TSelfSaveCheck::nameTaken);
    EXPECT_EQ(rows("HoldSelfHelpOrderForm"), 1);
    EXPECT_EQ(rows("HoldSelfHelpList"), 55);

    // A quote in a name is only a character.
    ASSERT_TRUE(store.save("it's", s).ok);
    TSelfLoading seen;
    EXPECT_EQ(store.load("it's", seen).status, TSelfLoadStatus::ok);
}

TEST_F(StoreTest, TheListIsNewestFirstAndLaterFirstWithinADay) {
    TSelfLoading s;
    build(s);
    ASSERT_TRUE(store.save("old", s, "2023-12-31").ok);
    ASSERT_TRUE(store.save("morning", s, "2024-03-02").ok);
    ASSERT_TRUE(store.save("noon", s, "2024-03-02").ok);
    ASSERT_TRUE(store.save("older", s, "2023-01-15").ok);
    ASSERT_TRUE(store.save("evening", s, "2024-03-02").ok);
    EXPECT_EQ(store.list(), (std::vector<std::string>{"evening", "noon", "morning", "old", "older"}));
    ASSERT_TRUE(store.remove("evening").ok);
    ASSERT_TRUE(store.save("night", s, "2024-03-02").ok);
    EXPECT_EQ(store.list().front(), "night");
}

TEST_F(StoreTest, AFailureDuringTheSaveLeavesNoRows) {
    TSelfLoading s;
    build(s);
    db.conn.Execute(
        "create trigger stop_piece before insert on HoldSelfHelpList when new.ListId = 40 "
        "begin select raise(abort, 'disk full'); end");
    auto r = store.save("broken", s);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("disk full"), std::string::npos);
    EXPECT_EQ(r.refused, tms::TSelfSaveCheck::none);  // shown as the database's error
    EXPECT_EQ(allRows(), 0);
    EXPECT_FALSE(db.conn.InTransaction());
    db.conn.Execute("drop trigger stop_piece");
    EXPECT_TRUE(store.save("broken", s).ok);  // the name is free again
}

TEST_F(StoreTest, DeleteRemovesAllThreeInOneGo) {
    TSelfLoading s;
    build(s);
    ASSERT_TRUE(store.save("keep", s).ok);
    ASSERT_TRUE(store.save("drop", s).ok);
    EXPECT_EQ(TSelfStore::deleteCheck("  ", false), "请选择一个装箱!");
    EXPECT_EQ(TSelfStore::deleteCheck("－－请选择－－", true), "请选择一个装箱!");
    EXPECT_EQ(TSelfStore::deleteCheck("drop", false), "");

    // A failing last statement keeps the pieces and batches too.
    db.conn.Execute(
        "create trigger stop_header before delete on HoldSelfHelpOrderForm "
        "begin select raise(abort, 'locked'); end");
    auto r = store.remove("drop");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("locked"), std::string::npos);
    EXPECT_EQ(allRows(), 2 * (1 + 2 + 55));
    db.conn.Execute("drop trigger stop_header");

    EXPECT_TRUE(store.remove("DROP").ok);
    EXPECT_EQ(allRows(), 1 + 2 + 55);
    EXPECT_EQ(store.list(), (std::vector<std::string>{"keep"}));
    TSelfLoading seen;
    EXPECT_EQ(store.load("drop", seen).status, TSelfLoadStatus::notFound);
}

TEST_F(StoreTest, LoadingWhatIsGoneLeavesTheLoadingReset) {
    TSelfLoading s;
    build(s);
    ASSERT_TRUE(store.save("L", s).ok);

    TSelfLoading seen;
    ASSERT_EQ(store.load("L", seen).status, TSelfLoadStatus::ok);

    // Container gone: its message, nothing on view.
    db.conn.Execute("update HoldVehicles set VehicleNo = 'gone' where VehicleNo = '20GP'");
    auto r = store.load("L", seen);
    EXPECT_EQ(r.status, TSelfLoadStatus::vehicleMissing);
    EXPECT_EQ(r.message, "该箱柜不存在，可能已经删除!");
    EXPECT_FALSE(seen.hasContainer());
    EXPECT_TRUE(seen.pieceArr().empty());
    EXPECT_TRUE(seen.batches().empty());
    EXPECT_EQ(seen.GetZXL(), "");
    db.conn.Execute("update HoldVehicles set VehicleNo = '20GP' where VehicleNo = 'gone'");

    // One goods gone: its batch and pieces are left out of the view.
    ASSERT_EQ(store.load("L", seen).status, TSelfLoadStatus::ok);
    db.conn.Execute("delete from HoldGoods where GoodsNo = 'B2'");
    ASSERT_EQ(store.load("L", seen).status, TSelfLoadStatus::ok);
    EXPECT_EQ(seen.batches().size(), 1u);
    EXPECT_EQ(seen.pieceArr().size(), 30u);

    // Every goods gone: no batch, nothing on view.
    db.conn.Execute("delete from HoldGoods");
    r = store.load("L", seen);
    EXPECT_EQ(r.status, TSelfLoadStatus::noBatches);
    EXPECT_EQ(r.message, "该装箱的货物都已删除，无法显示!");
    EXPECT_FALSE(seen.hasContainer());
    EXPECT_TRUE(seen.pieceArr().empty());
    EXPECT_TRUE(seen.batches().empty());
}

TEST_F(StoreTest, ContainersInCatalogueOrder) {
    EXPECT_EQ(store.vehicleNumbers(), (std::vector<std::string>{"20GP", "V2"}));
    EXPECT_FALSE(store.vehicleSize("none"));
    const auto v = store.vehicleSize("v2");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->L, 1000);
}
