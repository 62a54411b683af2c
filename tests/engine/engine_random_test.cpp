// Random orders of one to four kinds, random sizes, weights, switches and
// placement modes: every plan is sound, the same on one thread and on eight,
// and the same as the plain reference steps give.

#include <random>

#include "tests/engine/EngineFixture.h"

namespace {

using enginetest::Kind;
using enginetest::Order;

// The switches of an order: weight and direction constraint, placement
// mode, upright preference, drawn in this order from the order's generator.
template <class Pick>
void pickSwitches(Order& o, Pick& pick) {
    o.weight = pick(0, 3) != 0;
    o.direction = pick(0, 1) == 1;
    o.mode = pick(0, 2);
    o.upright = pick(0, 2) == 0;
}

Order randomOrder(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Order o;
    o.L = pick(1200, 4000);
    o.W = pick(700, 2000);
    o.H = pick(700, 2000);
    o.maxWeight = pick(0, 3) == 0 ? pick(200, 1500) : 30000;
    pickSwitches(o, pick);
    const int kinds = pick(1, 4);
    for (int k = 0; k < kinds; ++k) {
        Kind kind;
        kind.goodsNo = std::string("G").append(std::to_string(k + 1));
        if (pick(0, 4) == 0) {
            // repeated sizes and cubes make ties in the counting search
            const float d = static_cast<float>(pick(2, 6) * 100);
            kind.L = d;
            kind.W = pick(0, 1) ? d : static_cast<float>(pick(2, 6) * 100);
            kind.H = pick(0, 1) ? d : static_cast<float>(pick(2, 6) * 100);
        } else {
            kind.L = static_cast<float>(pick(150, 1100));
            kind.W = static_cast<float>(pick(150, 900));
            kind.H = static_cast<float>(pick(150, 900));
        }
        if (pick(0, 14) == 0) kind.L = static_cast<float>(o.L + pick(1, 500));  // fits no container
        if (pick(0, 9) == 0) kind.L += 0.5f;
        kind.weight = pick(0, 5) == 0 ? pick(300, 2000) : pick(1, 120);
        kind.canTurn = pick(0, 1);
        kind.amount = pick(0, 9) == 0 ? pick(20, 40) : pick(1, 16);
        o.kinds.push_back(kind);
    }
    // the same goods number twice in a row, split by another goods
    if (kinds >= 2 && pick(0, 3) == 0) o.kinds.back().goodsNo = o.kinds.front().goodsNo;
    return o;
}

class RandomOrders : public ::testing::TestWithParam<unsigned> {};

// Runs the order at one and at eight threads and in the reference steps;
// both engine plans must be the reference's. With `sound` the one-thread plan
// is also checked for overlaps, bounds, orientations, weights and numbering.
void expectAsTheReference(const Order& o, bool sound) {
    tms::THoldEngine one, eight;
    enginetest::fillEngine(one, o, 1);
    enginetest::fillEngine(eight, o, 8);
    plain::Engine ref;
    enginetest::fillPlain(ref, one, o);

    const tms::TRunResult r1 = one.getGoodsArrYH("R");
    const tms::TRunResult r8 = eight.getGoodsArrYH("R");
    const std::vector<int> left = ref.run();
    ASSERT_TRUE(r1.ok) << r1.error;
    if (sound) enginetest::expectSoundPlan(one, r1, o);
    {
        SCOPED_TRACE("one thread against the reference");
        enginetest::expectSamePlan(one, r1, ref, left);
    }
    {
        SCOPED_TRACE("eight threads against the reference");
        enginetest::expectSamePlan(eight, r8, ref, left);
    }
}

TEST_P(RandomOrders, SoundAndAsTheReferenceStepsAtOneAndEightThreads) {
    expectAsTheReference(randomOrder(GetParam()), true);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomOrders, ::testing::Range(1u, 401u));

// Sizes of no round value (container and cartons), so that corners rounded
// to float, extents summed by merging and the counting leftovers are seldom
// exact: the indexes must still pick what the plain walk picks. Such plans
// may hold pieces that overlap by a float rounding, as the steps make them,
// so only the sameness is checked here.
Order unevenOrder(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    Order o;
    o.L = real(800, 3000);
    o.W = real(500, 1500);
    o.H = real(500, 1500);
    o.maxWeight = pick(0, 3) == 0 ? real(200, 1500) : 30000;
    pickSwitches(o, pick);
    const int kinds = pick(1, 4);
    for (int k = 0; k < kinds; ++k) {
        Kind kind;
        kind.goodsNo = std::string("G").append(std::to_string(pick(1, 3)));  // goods numbers may repeat apart
        kind.L = static_cast<float>(real(50, 700));
        kind.W = pick(0, 3) == 0 ? kind.L : static_cast<float>(real(50, 700));
        kind.H = pick(0, 3) == 0 ? kind.L : static_cast<float>(real(50, 700));
        kind.weight = pick(0, 5) == 0 ? real(300, 2000) : real(0.1, 120);
        kind.canTurn = pick(0, 1);
        kind.amount = pick(1, 40);
        o.kinds.push_back(kind);
    }
    return o;
}

class UnevenOrders : public ::testing::TestWithParam<unsigned> {};

TEST_P(UnevenOrders, AsTheReferenceStepsAtOneAndEightThreads) { expectAsTheReference(unevenOrder(GetParam()), false); }

INSTANTIATE_TEST_SUITE_P(Seeds, UnevenOrders, ::testing::Range(1u, 121u));

}  // namespace
