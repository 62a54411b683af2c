// Writing plan rows to the keyed database file.

#include <gtest/gtest.h>

#include "PlanRows.h"
#include "TestDb.h"

using tms::PlanRow;

namespace {

PlanRow piece(const std::string& id, const std::string& goods, double x, double y, double z, int container = 1) {
    PlanRow r;
    r.listId = id;
    r.goodsNo = goods;
    r.bcd = x;
    r.bch = y;
    r.bcw = z;
    r.bcd2 = x + 600;
    r.bch2 = y + 300;
    r.bcw2 = z + 412.5;
    r.vehicleOrder = container;
    r.placeType = "侧放，正向";
    return r;
}

std::vector<PlanRow> twoPieces(const std::string& goods) {
    return {piece(goods + "000001", goods, 0, 0, 0), piece(goods + "000002", goods, 0, 0, 412.5)};
}

int rowCount(TADOConnection& c, const QString& order) {
    TADOQuery q(&c);
    q.setSQL("select count(*) as n from HoldList where OrderFormNo = ?");
    q.bind(1, order);
    q.Open();
    return q.FieldByName("n").AsInteger();
}

}  // namespace

TEST(PlanWrite, WithPilesEveryColumnIsStoredAsGiven) {
    TestDb db;
    auto rows = twoPieces("G'1");  // a quote in the goods number
    tms::groupPiles(rows);
    tms::writePlanRows(db.conn, "O'1", rows, true);

    TADOQuery q(&db.conn);
    q.setSQL("select * from HoldList where OrderFormNo = ? order by ListId");
    q.bind(1, QString("O'1"));
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("ListId").AsString(), "G'1000001");
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "G'1");
    EXPECT_EQ(q.FieldByName("PlaceType").AsString(), "侧放，正向");
    EXPECT_EQ(q.FieldByName("bcw2").AsFloat(), 412.5);
    EXPECT_EQ(q.FieldByName("bcd2").AsFloat(), 600);
    EXPECT_EQ(q.FieldByName("vehicleOrder").AsInteger(), 1);
    q.Next();
    EXPECT_EQ(q.FieldByName("bcw").AsFloat(), 412.5);
    EXPECT_EQ(q.FieldByName("floor").AsString(), "G'1000001");
    EXPECT_FALSE(q.FieldByName("dz").IsNull());
    EXPECT_EQ(q.FieldByName("dz").AsFloat(), 0);
}

TEST(PlanWrite, WithoutPilesTheGoodsNumberIsThePileAndTheOriginStaysEmpty) {
    TestDb db;
    auto rows = twoPieces("G1");
    tms::setGoodsAsFloor(rows);
    int steps = 0;
    tms::writePlanRows(db.conn, "O1", rows, false, [&] { ++steps; });
    EXPECT_EQ(steps, 2);

    TADOQuery q(&db.conn);
    q.setSQL("select floor,dx,dy,dz from HoldList where OrderFormNo = 'O1'");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    for (q.First(); !q.Eof(); q.Next()) {
        EXPECT_EQ(q.FieldByName("floor").AsString(), "G1");
        EXPECT_TRUE(q.FieldByName("dx").IsNull());
        EXPECT_TRUE(q.FieldByName("dy").IsNull());
        EXPECT_TRUE(q.FieldByName("dz").IsNull());
    }
}

TEST(PlanWrite, AFailurePartWayLeavesTheDatabaseAsItWas) {
    TestDb db;
    // The order already has a plan, and another order has one too.
    tms::writePlanRows(db.conn, "O1", twoPieces("OLD"), false);
    tms::writePlanRows(db.conn, "O2", twoPieces("X"), false);
    db.conn.Execute(
        "create trigger stop_third before insert on HoldList when new.ListId = 'G000003' "
        "begin select raise(abort, 'disk full'); end");

    std::vector<PlanRow> rows;
    for (int i = 1; i <= 5; ++i) rows.push_back(piece("G00000" + std::to_string(i), "G", 600.0 * i, 0, 0));
    tms::groupPiles(rows);
    int steps = 0;
    try {
        tms::writePlanRows(db.conn, "O1", rows, true, [&] { ++steps; });
        FAIL() << "the write should fail";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.message().indexOf("disk full"), -1);
    }
    EXPECT_EQ(steps, 2);
    EXPECT_FALSE(db.conn.InTransaction());

    TADOQuery q(&db.conn);
    q.setSQL("select ListId from HoldList where OrderFormNo = 'O1' order by ListId");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("ListId").AsString(), "OLD000001");
    EXPECT_EQ(rowCount(db.conn, "O2"), 2);

    // The same rows go in once the obstacle is gone, replacing the old plan.
    db.conn.Execute("drop trigger stop_third");
    tms::writePlanRows(db.conn, "O1", rows, true);
    EXPECT_EQ(rowCount(db.conn, "O1"), 5);
    EXPECT_EQ(rowCount(db.conn, "O2"), 2);
}

TEST(PlanWrite, InsideACallersTransactionOnlyThisWriteIsUndone) {
    TestDb db;
    db.conn.Execute(
        "create trigger stop_second before insert on HoldList when new.ListId = 'G000002' "
        "begin select raise(abort, 'refused'); end");
    TTransaction t(db.conn);
    db.conn.Execute("insert into HoldOrderForm(OrderFormNo) values ('O1')");
    EXPECT_THROW(tms::writePlanRows(db.conn, "O1", twoPieces("G"), false), EDatabaseError);
    EXPECT_TRUE(db.conn.InTransaction());
    EXPECT_EQ(rowCount(db.conn, "O1"), 0);

    tms::writePlanRows(db.conn, "O1", twoPieces("H"), false);
    t.Commit();
    EXPECT_EQ(rowCount(db.conn, "O1"), 2);
    TADOQuery q(&db.conn);
    q.setSQL("select count(*) as n from HoldOrderForm");
    q.Open();
    EXPECT_EQ(q.FieldByName("n").AsInteger(), 1);
}

TEST(PlanWrite, ContainerCountIsTheLargestNumberAndZeroWithoutRows) {
    TestDb db;
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O1"), 0);
    tms::writePlanRows(db.conn, "O1", {piece("A000001", "A", 0, 0, 0, 1), piece("A000002", "A", 0, 0, 0, 3)}, false);
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O1"), 3);
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O2"), 0);
}
