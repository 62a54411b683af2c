// The order launcher: pieces, serials and container from order lines, on
// both paths, and the type-A piece count.

#include <gtest/gtest.h>

#include "engine/OrderLaunch.h"

using namespace tms;

namespace {

std::vector<std::string> ids(const THoldEngine& e) {
    std::vector<std::string> out;
    for (const Tgoodsinfo& g : e.goodsArr) out.push_back(g.ListId);
    return out;
}

}  // namespace

TEST(OrderLaunch, NewOrderCountsSerialsFromOneAndTrimsTheGoodsNumber) {
    THoldEngine e;
    TOrderOptions o;
    o.engine.loadingMode = TLoadingMode::flat;
    o.engine.preferUpright = true;
    o.engine.pileCalc = false;
    launchOrder(e, {{" A1 ", "甲", 600, 400, 300, 20, true, 3}, {"B", "乙", 500, 350, 250, 12, false, 2}},
                {6000, 2400, 2400, 2000}, o);
    EXPECT_EQ(ids(e), (std::vector<std::string>{"A1000001", "A1000002", "A1000003", "B000001", "B000002"}));
    EXPECT_EQ(e.loadList, ids(e));
    ASSERT_EQ(e.goodsArr.size(), 5u);
    EXPECT_EQ(e.goodsArr[0].GoodsNo, " A1 ");  // the number itself stays as read
    EXPECT_EQ(e.goodsArr[0].canTurn, 1);
    EXPECT_EQ(e.goodsArr[3].canTurn, 0);
    EXPECT_EQ(e.goodsArr[3].GoodsName, "乙");
    EXPECT_EQ(e.goodsArr[3].vehicleOrder, -1);
    EXPECT_EQ(e.goodsArr[3].placed, 0);
    EXPECT_EQ(e.bestArr.size(), 5u);
    EXPECT_TRUE(e.goodsArrCopy.empty());
    EXPECT_EQ(e.options.path, TLaunchPath::newOrder);
    EXPECT_EQ(e.options.loadingMode, TLoadingMode::flat);
    EXPECT_TRUE(e.options.preferUpright);
    EXPECT_FALSE(e.options.pileCalc);
    ASSERT_EQ(e.boxArr.size(), 1u);
    EXPECT_EQ(e.boxArr[0].boxNo, "1");
    EXPECT_EQ(e.boxArr[0].opened, 1);
    EXPECT_EQ(e.boxArr[0].maxWeight, 2000);
    EXPECT_EQ(e.boxVolume, 6000.0 * 2400 * 2400);
    ASSERT_EQ(e.spaceList.size(), 1u);
    EXPECT_EQ(e.spaceList[0], &e.rootSpace);
    EXPECT_EQ(e.rootSpace.len, 6000);
    EXPECT_EQ(e.rootSpace.active, 1);
}

TEST(OrderLaunch, RecalculationCountsSerialsFromZeroAndKeepsACopy) {
    THoldEngine e;
    TOrderOptions o;
    o.engine.path = TLaunchPath::recalculation;
    launchOrder(e, {{"A", "甲", 600, 400, 300, 20, true, 2}, {"B", "乙", 500, 350, 250, 12, true, 1}},
                {6000, 2400, 2400, 2000}, o);
    EXPECT_EQ(ids(e), (std::vector<std::string>{"A000000", "A000001", "B000000"}));
    EXPECT_EQ(e.options.path, TLaunchPath::recalculation);
    ASSERT_EQ(e.goodsArrCopy.size(), 3u);
    EXPECT_EQ(e.goodsArrCopy[2].ListId, "B000000");
}

TEST(OrderLaunch, TypeAGivesEveryLineTheComputedCount) {
    const TOrderContainer box{12000, 2300, 2400, 20000};
    const TOrderLine heavy{"A", "甲", 600, 400, 300, 25, true, 200};
    EXPECT_EQ(typeAPieceCount(box, heavy, 0, 0, 0), 800);  // the weight bound
    TOrderLine light = heavy;
    light.weight = 10;
    EXPECT_EQ(typeAPieceCount(box, light, 0, 0, 0), 920);   // the volume bound
    EXPECT_EQ(typeAPieceCount(box, light, 10, 0, 0), 904);  // margins enlarge the divisor only
    EXPECT_EQ(typeAPieceCount({6000, 2400, 2400, 2000}, {"A", "", 600, 400, 300, 20, true, 1}, 0, 0, 0), 100);
    EXPECT_EQ(typeAPieceCount({500, 500, 200, 2000}, heavy, 0, 0, 0), 0);  // more volume than the container
    light.weight = 0;
    EXPECT_EQ(typeAPieceCount(box, light, 0, 0, 0), 920);  // no weight: the volume bound alone

    THoldEngine e;
    TOrderOptions o;
    o.engine.typeA = true;
    o.typeACount = typeAPieceCount(box, heavy, 0, 0, 0);
    launchOrder(e, {heavy}, box, o);
    EXPECT_EQ(e.goodsArr.size(), 800u);
    EXPECT_EQ(e.goodsArr.back().ListId, "A000800");
    EXPECT_TRUE(e.options.typeA);
    EXPECT_TRUE(e.options.weightRestrict);
    EXPECT_FALSE(e.options.directionRestrict);
}
