// A whole calculation stored as plan rows: the type-A trim, piles on and
// off, pieces left over, failures, and the check made before a run.

#include <gtest/gtest.h>

#include "engine/OrderLaunch.h"
#include "engine/PlanOrder.h"
#include "platform/Codes.h"
#include "tests/support/TestDb.h"

using namespace tms;

namespace {

struct Line {
    std::string goodsNo;
    float L, W, H;
    double weight;
    int amount;
    bool canTurn = true;
};

// The engine input as the new-order window fills it. The container is
// 1000 long (X), 400 wide (Z) and 300 high (Y): a 500 x 400 x 300 carton
// fits it only standing, two in a row along X.
void fill(THoldEngine& e, const std::vector<Line>& lines, double L = 1000, double W = 400, double H = 300,
          double maxWeight = 1000) {
    std::vector<TOrderLine> order;
    for (const Line& l : lines) order.push_back({l.goodsNo, "箱", l.L, l.W, l.H, l.weight, l.canTurn, l.amount});
    TOrderOptions o;
    o.engine.weightRestrict = true;
    o.engine.directionRestrict = false;
    o.engine.threads = 1;
    launchOrder(e, order, {L, W, H, maxWeight}, o);
}

struct Stored {
    std::string listId, floor, placeType;
    int vehicleOrder;
    double bcd;
    bool originNull;
    double dx, dy, dz;
};

std::vector<Stored> stored(TADOConnection& c, const std::string& order) {
    TADOQuery q(&c);
    q.setSQL("select * from HoldList where OrderFormNo = ? order by ListId");
    q.bind(1, QString::fromStdString(order));
    q.Open();
    std::vector<Stored> out;
    for (q.First(); !q.Eof(); q.Next())
        out.push_back({q.FieldByName("ListId").AsString().toStdString(),
                       q.FieldByName("floor").AsString().toStdString(),
                       q.FieldByName("PlaceType").AsString().toStdString(), q.FieldByName("vehicleOrder").AsInteger(),
                       q.FieldByName("bcd").AsFloat(),
                       q.FieldByName("dx").IsNull() && q.FieldByName("dy").IsNull() && q.FieldByName("dz").IsNull(),
                       q.FieldByName("dx").AsFloat(), q.FieldByName("dy").AsFloat(), q.FieldByName("dz").AsFloat()});
    return out;
}

struct Bar {
    int maximum = -1, last = -1, highest = 0, calls = 0;
    std::vector<int> maxima;
    void attach(THoldEngine& e) {
        e.options.progress = [this](int m, int p) {
            ++calls;
            if (maxima.empty() || maxima.back() != m) maxima.push_back(m);
            maximum = m;
            last = p;
            if (m != 240) highest = std::max(highest, p);
        };
    }
};

}  // namespace

TEST(GoodsOrder, TypeBStoresEveryPieceWithItsPilesAndContainers) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 5}});
    Bar bar;
    bar.attach(e);
    const TPlanResult r = GoodsOrder(e, db.conn, "O1");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.placed, 5);
    EXPECT_EQ(r.leftOver, 0);
    EXPECT_EQ(r.containers, 3);
    EXPECT_EQ(r.containers, storedContainerCount(db.conn, "O1"));

    const auto rows = stored(db.conn, "O1");
    ASSERT_EQ(rows.size(), 5u);
    const char* piles[] = {"A000001", "A000001", "A000003", "A000003", "A000005"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[i].vehicleOrder, i / 2 + 1);
        EXPECT_EQ(rows[i].placeType, "立放，正向");
        EXPECT_EQ(rows[i].floor, piles[i]) << rows[i].listId;
        EXPECT_FALSE(rows[i].originNull);
        EXPECT_EQ(rows[i].dx, 0);
    }
    // The bar: 4 x pieces, every step taken (5 rows + 3 passes of 5 rows),
    // then back to 0.
    EXPECT_EQ(bar.maximum, 20);
    EXPECT_EQ(bar.highest, 20);
    EXPECT_EQ(bar.last, 0);
}

TEST(GoodsOrder, TypeAFromTheNewOrderWindowKeepsContainerOneOnly) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 5}});
    e.options.typeA = true;
    e.options.path = TLaunchPath::newOrder;
    Bar bar;
    bar.attach(e);
    const TPlanResult r = GoodsOrder(e, db.conn, "O1");
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.placed, 2);
    EXPECT_EQ(r.containers, 1);
    const auto rows = stored(db.conn, "O1");
    ASSERT_EQ(rows.size(), 2u);
    for (const Stored& s : rows) {
        EXPECT_EQ(s.vehicleOrder, 1);
        EXPECT_EQ(s.floor, "A000001");
    }
    // Every piece counts one step for its row, the trimmed ones too, but
    // only container 1 is grouped: 5 + 3 x 2 steps, short of the maximum.
    EXPECT_EQ(bar.maximum, 20);
    EXPECT_EQ(bar.highest, 11);
    EXPECT_EQ(bar.last, 0);

    // Without piles the bar runs to its end although only two rows remain.
    TestDb db2;
    fill(e, {{"A", 500, 400, 300, 10, 5}});
    e.options.typeA = true;
    e.options.path = TLaunchPath::newOrder;
    e.options.pileCalc = false;
    Bar plain;
    plain.attach(e);
    ASSERT_TRUE(GoodsOrder(e, db2.conn, "O1").ok);
    EXPECT_EQ(stored(db2.conn, "O1").size(), 2u);
    EXPECT_EQ(plain.maximum, 5);
    EXPECT_EQ(plain.highest, 5);
    EXPECT_EQ(plain.last, 0);
}

TEST(GoodsOrder, TypeARecalculatedFromOrderManagementKeepsEveryContainer) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 5}});
    e.options.typeA = true;
    e.options.path = TLaunchPath::recalculation;
    const TPlanResult r = GoodsOrder(e, db.conn, "O1");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.placed, 5);
    EXPECT_EQ(r.containers, 3);
    EXPECT_EQ(stored(db.conn, "O1").size(), 5u);
}

TEST(GoodsOrder, WithoutPilesTheGoodsNumberIsThePileAndNoOriginIsWritten) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 3}, {"B", 500, 400, 300, 10, 2}});
    e.options.pileCalc = false;
    Bar bar;
    bar.attach(e);
    const TPlanResult r = GoodsOrder(e, db.conn, "O1");
    ASSERT_TRUE(r.ok);
    const auto rows = stored(db.conn, "O1");
    ASSERT_EQ(rows.size(), 5u);
    for (const Stored& s : rows) {
        EXPECT_EQ(s.floor, s.listId.substr(0, 1));
        EXPECT_TRUE(s.originNull);
    }
    EXPECT_EQ(bar.maximum, 5);
    EXPECT_EQ(bar.highest, 5);
    EXPECT_EQ(bar.last, 0);
}

TEST(GoodsOrder, QuotesInGoodsAndOrderNumbersAreStoredAsTheyAre) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A'1", 500, 400, 300, 10, 2}});
    const TPlanResult r = GoodsOrder(e, db.conn, "O'1");
    ASSERT_TRUE(r.ok);
    const auto rows = stored(db.conn, "O'1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].listId, "A'1000001");
    EXPECT_EQ(rows[1].floor, "A'1000001");
}

TEST(GoodsOrder, PiecesThatFitNoContainerAreLeftOverAndTheRunIsNotComplete) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 3}, {"BIG", 1200, 400, 300, 10, 2}});
    const TPlanResult r = GoodsOrder(e, db.conn, "O1");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(r.placed, 3);
    EXPECT_EQ(r.leftOver, 2);
    EXPECT_EQ(r.leftOverIds, (std::vector<std::string>{"BIG000001", "BIG000002"}));
    EXPECT_EQ(r.containers, 2);
    EXPECT_EQ(stored(db.conn, "O1").size(), 3u);

    const auto refused = unplaceableGoods(e);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].goodsNo, "BIG");
    EXPECT_EQ(refused[0].reason, TUnplaceable::tooLarge);
}

TEST(GoodsOrder, AFailureDuringTheWriteLeavesTheOldPlanAndResetsTheBar) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 1}});
    ASSERT_TRUE(GoodsOrder(e, db.conn, "O1").ok);
    db.conn.Execute(
        "create trigger stop_fourth before insert on HoldList when new.ListId = 'A000004' "
        "begin select raise(abort, 'no room'); end");

    fill(e, {{"A", 500, 400, 300, 10, 5}});
    Bar bar;
    bar.attach(e);
    EXPECT_THROW(GoodsOrder(e, db.conn, "O1"), EDatabaseError);
    EXPECT_FALSE(db.conn.InTransaction());
    EXPECT_EQ(bar.last, 0);
    const auto rows = stored(db.conn, "O1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].listId, "A000001");
}

TEST(GoodsOrder, ARefusedInputStoresNothing) {
    TestDb db;
    THoldEngine e;
    fill(e, {{"A", 500, 0, 300, 10, 2}});
    const TPlanResult r = GoodsOrder(e, db.conn, "O1");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.complete());
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(stored(db.conn, "O1").empty());
}

TEST(PlanRowsOf, OnlyPlacedPiecesGetRowsAndAnUnknownCodeRepeatsTheLabel) {
    std::vector<Tgoodsinfo> best(5);
    const char* codes[] = {"", "CMJY", "???", "DMJY", "JMJX"};
    const int containers[] = {1, 1, 2, -1, 2};
    for (int i = 0; i < 5; ++i) {
        best[i].ListId = "A00000" + std::to_string(i);
        best[i].GoodsNo = "A";
        best[i].code = codes[i];
        best[i].vehicleOrder = containers[i];
        best[i].x1 = 10.0 * i;
    }
    auto rows = planRowsOf(best, false);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].placeType, "");
    EXPECT_EQ(rows[1].placeType, "卧放，正向");
    EXPECT_EQ(rows[2].placeType, "卧放，正向");
    EXPECT_EQ(rows[3].placeType, "侧放，正向");
    EXPECT_EQ(rows[3].listId, "A000004");
    EXPECT_EQ(rows[3].bcd2, 40);
    EXPECT_EQ(planRowsOf(best, true).size(), 2u);

    // The label an unknown code repeats is that of the piece before it in
    // loading order, even when that piece's container is trimmed away.
    best[2].vehicleOrder = 1;
    best[1].vehicleOrder = 2;
    rows = planRowsOf(best, true);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].listId, "A000002");
    EXPECT_EQ(rows[1].placeType, "卧放，正向");
}

TEST(PreCheck, DirectionRuleWeightAndSizes) {
    // 350 long, 450 wide, 600 high: the carton 500 x 400 x 300 fits only
    // lying ("卧放"), with its height along X.
    const TGoodsKind carton{"C", 500, 400, 300, 30, false};
    TGoodsKind turnable = carton;
    turnable.goodsNo = "T";
    turnable.canTurn = true;
    EXPECT_TRUE(unplaceableGoods({carton, turnable}, 350, 450, 600, 30, true, false).empty());
    auto r = unplaceableGoods({carton, turnable}, 350, 450, 600, 30, true, true);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].goodsNo, "C");
    EXPECT_EQ(r[0].reason, TUnplaceable::tooLarge);

    // Equal to the load limit passes; more is refused only with the switch on.
    TGoodsKind heavy = turnable;
    heavy.goodsNo = "H";
    heavy.weight = 30.5;
    r = unplaceableGoods({turnable, heavy}, 350, 450, 600, 30, true, false);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].goodsNo, "H");
    EXPECT_EQ(r[0].reason, TUnplaceable::tooHeavy);
    EXPECT_TRUE(unplaceableGoods({heavy}, 350, 450, 600, 30, false, false).empty());

    TGoodsKind flat = turnable;
    flat.goodsNo = "F";
    flat.H = 0;
    r = unplaceableGoods({flat, turnable}, 350, 450, 600, 30, false, false);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].reason, TUnplaceable::badSize);
    EXPECT_EQ(unplaceableGoods({turnable}, 0, 450, 600, 30, false, false).size(), 1u);
    // A carton exactly the container's size fits.
    EXPECT_TRUE(unplaceableGoods({{"X", 350, 450, 600, 1, false}}, 350, 450, 600, 30, true, true).empty());
}

TEST(PreCheck, OnTheEngineInputEachGoodsIsNamedOnce) {
    THoldEngine e;
    fill(e, {{"A", 500, 400, 300, 10, 3}, {"HEAVY", 500, 400, 300, 2000, 3}, {"LONG", 1001, 400, 300, 1, 2}});
    const auto r = unplaceableGoods(e);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].goodsNo, "HEAVY");
    EXPECT_EQ(r[0].reason, TUnplaceable::tooHeavy);
    EXPECT_EQ(r[1].goodsNo, "LONG");
    e.options.weightRestrict = false;
    EXPECT_EQ(unplaceableGoods(e).size(), 1u);
}
