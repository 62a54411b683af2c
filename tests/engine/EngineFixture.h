#pragma once
// Helpers shared by the run tests: building an order's engine input the way
// the launchers do, running the reference steps on the same input, and the
// checks every finished plan must pass.

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/OrderLaunch.h"
#include "platform/Codes.h"
#include "tests/engine/PlainEngine.h"

namespace enginetest {

struct Kind {
    std::string goodsNo;
    float L, W, H;
    double weight;
    int canTurn;
    int amount;
};

struct Order {
    double L = 5000, W = 2000, H = 2200, maxWeight = 20000;
    std::vector<Kind> kinds;
    bool weight = true;
    bool direction = false;
    int mode = 0;
    bool upright = false;
};

inline void fillEngine(tms::THoldEngine& e, const Order& o, int threads = 0) {
    std::vector<tms::TOrderLine> lines;
    for (const Kind& k : o.kinds)
        lines.push_back({k.goodsNo, "name " + k.goodsNo, k.L, k.W, k.H, k.weight, k.canTurn != 0, k.amount});
    tms::TOrderOptions opt;
    opt.engine.weightRestrict = o.weight;
    opt.engine.directionRestrict = o.direction;
    opt.engine.loadingMode = static_cast<tms::TLoadingMode>(o.mode);
    opt.engine.preferUpright = o.upright;
    opt.engine.threads = threads;
    tms::launchOrder(e, lines, {o.L, o.W, o.H, o.maxWeight}, opt);
}

inline void fillPlain(plain::Engine& p, const tms::THoldEngine& e, const Order& o) {
    p.opt.weight = o.weight;
    p.opt.direction = o.direction;
    p.opt.mode = o.mode;
    p.opt.upright = o.upright;
    p.goodsArr = e.goodsArr;
    p.bestArr = e.bestArr;
    p.boxArr = e.boxArr;
    p.loadList = e.loadList;
}

// The same plan: winners, orientations, corners, container numbers, the
// containers opened and what is left over.
inline void expectSamePlan(const tms::THoldEngine& e, const tms::TRunResult& r, const plain::Engine& p,
                           const std::vector<int>& left) {
    ASSERT_EQ(e.bestArr.size(), p.bestArr.size());
    for (std::size_t i = 0; i < e.bestArr.size(); ++i) {
        const auto& a = e.bestArr[i];
        const auto& b = p.bestArr[i];
        SCOPED_TRACE("piece " + std::to_string(i) + " " + a.ListId);
        EXPECT_EQ(a.ListId, b.ListId);
        EXPECT_EQ(a.GoodsNo, b.GoodsNo);
        EXPECT_EQ(a.code, b.code);
        EXPECT_EQ(a.placed, b.placed);
        EXPECT_EQ(a.vehicleOrder, b.vehicleOrder);
        EXPECT_EQ(a.x0, b.x0);
        EXPECT_EQ(a.y0, b.y0);
        EXPECT_EQ(a.z0, b.z0);
        EXPECT_EQ(a.x1, b.x1);
        EXPECT_EQ(a.y1, b.y1);
        EXPECT_EQ(a.z1, b.z1);
        if (::testing::Test::HasFailure()) return;
    }
    ASSERT_EQ(e.boxArr.size(), p.boxArr.size());
    for (std::size_t i = 0; i < e.boxArr.size(); ++i) {
        EXPECT_EQ(e.boxArr[i].boxNo, p.boxArr[i].boxNo);
        EXPECT_EQ(e.boxArr[i].overflow, p.boxArr[i].overflow);
        EXPECT_EQ(e.boxArr[i].loadedVolume, p.boxArr[i].loadedVolume);
        EXPECT_EQ(e.boxArr[i].loadedWeight, p.boxArr[i].loadedWeight);
    }
    EXPECT_EQ(r.leftOver, left);
    EXPECT_EQ(e.loadList, p.loadList);
    EXPECT_EQ(e.bestVolume, p.bestVolume);
    EXPECT_EQ(e.trialVolume, p.trialVolume);
    EXPECT_EQ(e.curBoxIdx, p.curBoxIdx);
}

// What every plan must satisfy whatever the steps chose.
inline void expectSoundPlan(const tms::THoldEngine& e, const tms::TRunResult& r, const Order& o) {
    ASSERT_TRUE(r.ok) << r.error;
    const std::set<int> left(r.leftOver.begin(), r.leftOver.end());
    std::map<int, std::vector<std::size_t>> byBox;
    for (std::size_t i = 0; i < e.bestArr.size(); ++i) {
        const auto& b = e.bestArr[i];
        const auto& g = e.goodsArr[i];
        SCOPED_TRACE("piece " + std::to_string(i));
        if (left.count(static_cast<int>(i))) {
            EXPECT_EQ(b.vehicleOrder, -1);
            EXPECT_EQ(b.code, "");
            EXPECT_EQ(g.placed, 0);
            continue;
        }
        // goodsArr carries the same placement as bestArr.
        EXPECT_EQ(g.placed, 1);
        EXPECT_EQ(std::make_tuple(g.code, g.x0, g.y0, g.z0, g.x1, g.y1, g.z1, g.vehicleOrder),
                  std::make_tuple(b.code, b.x0, b.y0, b.z0, b.x1, b.y1, b.z1, b.vehicleOrder));
        const tms::Orientation* ori = tms::orientationByCode(b.code);
        ASSERT_NE(ori, nullptr) << b.code;
        const tms::Extents ex = tms::extentsOf(*ori, b.L, b.W, b.H);
        EXPECT_EQ(b.x1 - b.x0, ex.x);
        EXPECT_EQ(b.y1 - b.y0, ex.y);
        EXPECT_EQ(b.z1 - b.z0, ex.z);
        EXPECT_GE(b.x0, 0);
        EXPECT_GE(b.y0, 0);
        EXPECT_GE(b.z0, 0);
        EXPECT_LE(b.x1, o.L);
        EXPECT_LE(b.y1, o.H);
        EXPECT_LE(b.z1, o.W);
        if (o.direction && !b.canTurn) {
            EXPECT_TRUE(b.code == "DMJX" || b.code == "DMJY") << b.code;
        }
        byBox[b.vehicleOrder].push_back(i);
    }
    int expect = 1;
    for (const auto& [v, list] : byBox) {
        EXPECT_EQ(v, expect++) << "container numbers must run without gaps";
        double weight = 0;
        for (std::size_t a = 0; a < list.size(); ++a) {
            const auto& p = e.bestArr[list[a]];
            weight += p.weight;
            for (std::size_t c = a + 1; c < list.size(); ++c) {
                const auto& q = e.bestArr[list[c]];
                const bool apart =
                    p.x1 <= q.x0 || q.x1 <= p.x0 || p.y1 <= q.y0 || q.y1 <= p.y0 || p.z1 <= q.z0 || q.z1 <= p.z0;
                EXPECT_TRUE(apart) << p.ListId << " overlaps " << q.ListId;
            }
        }
        if (o.weight) {
            EXPECT_LE(weight, o.maxWeight) << "container " << v;
        }
    }
    EXPECT_EQ(r.boxesUsed, static_cast<int>(byBox.size()));
    EXPECT_EQ(r.boxesOpened, static_cast<int>(e.boxArr.size()));
}

}  // namespace enginetest
