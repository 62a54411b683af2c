// The routines of one trial: the orientation decision, the placement of one
// piece in the free spaces and the merging of a new free space.

#include <gtest/gtest.h>
#include <random>
#include <set>

#include "engine/HoldEngine.h"
#include "engine/TrialIndex.h"
#include "platform/Codes.h"
#include "tests/engine/PlainEngine.h"

namespace {

using tms::Tgoodsinfo;
using tms::TSpace;

Tgoodsinfo piece(float L, float W, float H, int canTurn = 1, double weight = 1) {
    Tgoodsinfo g;
    g.GoodsNo = std::string(1, 'G');
    g.ListId = "G000001";
    g.L = L;
    g.W = W;
    g.H = H;
    g.canTurn = static_cast<std::uint8_t>(canTurn);
    g.weight = weight;
    return g;
}

TSpace space(float x, float y, float z, double len, double hei, double wid, int active = 1) {
    TSpace s;
    s.x = x;
    s.y = y;
    s.z = z;
    s.len = len;
    s.hei = hei;
    s.wid = wid;
    s.active = static_cast<std::uint8_t>(active);
    s.rebuildKey();
    return s;
}

tms::TSweepParams params(int axesNo, int pairNo, int firstPref, int secondPref, int spaceOrder = 2, int splitMode = 0) {
    tms::TSweepParams p;
    p.axesNo = axesNo;
    p.pairNo = pairNo;
    p.firstPref = firstPref;
    p.secondPref = secondPref;
    p.spaceOrder = spaceOrder;
    p.splitMode = splitMode;
    return p;
}

std::string judge(tms::THoldEngine& e, const TSpace& s, const Tgoodsinfo& g) {
    std::string res;
    e.JudgeIfIn(s, g, res);
    return res;
}

// An engine with one empty container of the given inner size (length along
// X, width along Z, height along Y), ready for single placements.
void openContainer(tms::THoldEngine& e, double L, double W, double H, double maxWeight = 1e9) {
    tms::tBox b;
    b.boxNo = "1";
    b.L = L;
    b.W = W;
    b.H = H;
    b.maxWeight = maxWeight;
    b.opened = 1;
    e.boxArr.assign(1, b);
    e.curBoxIdx = 0;
    e.startSpaces(L, W, H, 30);
}

// ---------------------------------------------------- orientation decision --

TEST(JudgeIfIn, DimensionOrderTiesGoToTheEarlierLine) {
    tms::THoldEngine e;
    e.setSweepParams(params(5, 1, 1, 0));
    const TSpace big = space(0, 0, 0, 5000, 5000, 5000);
    struct Case {
        float L, W, H;
        int order;
    } cases[] = {{300, 300, 300, 1}, {400, 400, 200, 1}, {200, 200, 400, 5}, {600, 400, 300, 1}, {600, 300, 400, 2},
                 {400, 600, 300, 3}, {300, 600, 400, 4}, {400, 300, 600, 5}, {300, 400, 600, 6}};
    for (const Case& c : cases) {
        judge(e, big, piece(c.L, c.W, c.H));
        EXPECT_EQ(e.dimOrder, c.order) << c.L << " " << c.W << " " << c.H;
    }
}

TEST(JudgeIfIn, WorkedExampleChoosesTheTightRowAndTheColumnWithMoreSmallPieces) {
    tms::THoldEngine e;
    e.setSweepParams(params(5, 1, 1, 0));
    // Row: a=1, b=1 leaves 0 along X; column m=0, n=3 leaves 0 along Y and
    // is met before m=1, n=1. The corner piece: W along X, H along Y, L along Z.
    EXPECT_EQ(judge(e, space(0, 0, 0, 1000, 900, 700), piece(600, 400, 300)), "DMJY");
    EXPECT_EQ(e.dimOrder, 1);
}

TEST(JudgeIfIn, RefusesWhatDoesNotFitTheArrangement) {
    tms::THoldEngine e;
    e.setSweepParams(params(5, 1, 1, 0));
    const Tgoodsinfo g = piece(600, 400, 300);
    // smaller than the piece every way
    EXPECT_EQ(judge(e, space(0, 0, 0, 290, 2000, 2000), g), "OUT");
    // no column passes the third-axis test (Z holds less than any side)
    EXPECT_EQ(judge(e, space(0, 0, 0, 2000, 2000, 299), g), "OUT");
    // Only the smallest side fits along X: the pair of the two largest sides
    // finds no row, the pair with the smallest side does.
    const TSpace narrow = space(0, 0, 0, 350, 1000, 1000);
    EXPECT_EQ(judge(e, narrow, g), "OUT");
    e.setSweepParams(params(5, 2, 1, 0));
    const std::string code = judge(e, narrow, g);
    ASSERT_NE(code, "OUT");
    const tms::Extents ex = tms::extentsOf(*tms::orientationByCode(code), 600, 400, 300);
    EXPECT_EQ(ex.x, 300);
}

TEST(JudgeIfIn, RowOfOnlyTheSecondDimensionIsCheckedWithThatDimension) {
    // The direction rule keeps H upright. The row a=0, b=1 (L along X)
    // leaves 0 and beats a=1, b=0 (W along X, 200 left).
    tms::THoldEngine e;
    e.options.directionRestrict = true;
    e.setSweepParams(params(5, 1, 1, 0));
    EXPECT_EQ(judge(e, space(0, 0, 0, 600, 900, 700), piece(600, 400, 300, 0)), "DMJX");
}

TEST(JudgeIfIn, DirectionRuleKeepsTheHeightUprightOtherwiseAllSixAreOpen) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> ext(300, 2500);
    tms::THoldEngine bound, free;
    bound.options.directionRestrict = true;
    std::set<std::string> seen;
    const Tgoodsinfo fixed = piece(700, 500, 300, 0), turn = piece(700, 500, 300, 1);
    for (int t = 0; t < 240; ++t) {
        const tms::TSweepParams p = tms::sweepParams(tms::TLoadingMode::unrestricted, t);
        bound.setSweepParams(p);
        free.setSweepParams(p);
        for (int k = 0; k < 20; ++k) {
            const TSpace s = space(0, 0, 0, ext(rng), ext(rng), ext(rng));
            const std::string b = judge(bound, s, fixed);
            EXPECT_TRUE(b == "OUT" || b == "DMJX" || b == "DMJY") << b;
            // a goods that may be turned is free under the direction switch
            seen.insert(judge(bound, s, turn));
            seen.insert(judge(free, s, fixed));
        }
    }
    for (const auto& o : tms::orientations()) EXPECT_TRUE(seen.count(o.code)) << o.code;
}

TEST(JudgeBFFS, PreferUprightBindsUntilTheTrialRelaxesThenOnlyTheDirectionSwitch) {
    tms::THoldEngine e;
    e.setSweepParams(params(5, 1, 1, 0));
    const tms::detail::PieceKind turns = tms::detail::makeKind(600, 400, 300, true);
    const tms::detail::PieceKind fixed = tms::detail::makeKind(600, 400, 300, false);
    ASSERT_EQ(turns.dimOrder, 1);  // H is "yh3"
    constexpr int x = 0, y = 1, z = 2, yh1 = 0, yh2 = 1, yh3 = 2;
    EXPECT_TRUE(e.JudgeBFFS(turns, y, yh1));  // no rule at all
    e.options.preferUpright = true;
    e.relaxFlag = 0;
    EXPECT_TRUE(e.JudgeBFFS(turns, y, yh3));
    EXPECT_FALSE(e.JudgeBFFS(turns, y, yh1));
    EXPECT_FALSE(e.JudgeBFFS(turns, x, yh3));
    EXPECT_TRUE(e.JudgeBFFS(turns, z, yh2));
    e.relaxFlag = 1;
    EXPECT_TRUE(e.JudgeBFFS(turns, y, yh1));
    EXPECT_TRUE(e.JudgeBFFS(fixed, x, yh3));
    e.options.directionRestrict = true;
    EXPECT_FALSE(e.JudgeBFFS(fixed, x, yh3));
    EXPECT_TRUE(e.JudgeBFFS(turns, x, yh3));
}

// The counting search with its shortcuts against the loops in full, on
// random pieces (ties, half millimetres, thin and cubic ones), spaces,
// parameters and switches.
TEST(JudgeIfIn, SameAnswerAsTheFullCountingLoops) {
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    tms::THoldEngine e;
    plain::Engine ref;
    for (int i = 0; i < 20000; ++i) {
        float d[3];
        for (float& v : d)
            v = pick(0, 3) == 0 ? static_cast<float>(pick(1, 6) * 100) : static_cast<float>(pick(20, 900));
        if (pick(0, 5) == 0) d[pick(0, 2)] += 0.5f;
        if (pick(0, 7) == 0) d[1] = d[0];
        const Tgoodsinfo g = piece(d[0], d[1], d[2], pick(0, 1));
        TSpace s = space(0, 0, 0, pick(10, 2600), pick(10, 2600), pick(10, 2600));
        if (pick(0, 4) == 0) s.len = d[pick(0, 2)] * pick(1, 4);
        if (pick(0, 4) == 0) s.hei = d[pick(0, 2)] * pick(1, 4) + (pick(0, 1) ? 0.5 : 0);
        const tms::TSweepParams p = tms::sweepParams(tms::TLoadingMode::unrestricted, pick(0, 239));
        e.setSweepParams(p);
        e.options.directionRestrict = ref.opt.direction = pick(0, 1) == 1;
        e.options.preferUpright = ref.opt.upright = pick(0, 1) == 1;
        e.relaxFlag = static_cast<std::uint8_t>(pick(0, 1));
        ref.relaxFlag = e.relaxFlag;
        ref.axesNo = p.axesNo;
        ref.pairNo = p.pairNo;
        ref.firstPref = p.firstPref;
        ref.secondPref = p.secondPref;
        plain::Space ps;
        ps.len = s.len;
        ps.hei = s.hei;
        ps.wid = s.wid;
        const std::string want = ref.JudgeIfIn(ps, g);
        ASSERT_EQ(judge(e, s, g), want) << "case " << i;
        if (want != "OUT") {
            const tms::Extents ex = tms::extentsOf(*tms::orientationByCode(want), g.L, g.W, g.H);
            EXPECT_TRUE(ex.x <= s.len && ex.y <= s.hei && ex.z <= s.wid) << "the answer must fit";
        }
    }
}

// -------------------------------------------------------------- placement --

TEST(GoosInSpace, FirstPieceCutsBesideFrontAndTopSpaces) {
    for (int split = 0; split <= 1; ++split) {
        SCOPED_TRACE(split);
        tms::THoldEngine e;
        openContainer(e, 5000, 2000, 2200);
        Tgoodsinfo g = piece(1000, 500, 400);
        // parameters under which the decision stands the piece "DMJX" here
        bool found = false;
        for (int t = 0; t < 240 && !found; ++t) {
            tms::TSweepParams p = tms::sweepParams(tms::TLoadingMode::unrestricted, t);
            p.splitMode = split;
            e.setSweepParams(p);
            found = judge(e, e.rootSpace, g) == "DMJX";
        }
        ASSERT_TRUE(found);
        ASSERT_EQ(e.GoosInSpace(g), -1);
        EXPECT_EQ(g.code, "DMJX");
        EXPECT_EQ(g.x0, 0);
        EXPECT_EQ(g.y0, 0);
        EXPECT_EQ(g.z0, 0);
        EXPECT_EQ(g.x1, 1000);
        EXPECT_EQ(g.y1, 400);
        EXPECT_EQ(g.z1, 500);
        EXPECT_EQ(e.rootSpace.active, 0);
        ASSERT_EQ(e.spaceList.size(), 4u);
        EXPECT_EQ(e.spaceNext, 3);
        EXPECT_EQ(e.lowX, 0);
        EXPECT_EQ(e.lowY, 0);
        const TSpace& beside = *e.spaceList[1];
        const TSpace& front = *e.spaceList[2];
        const TSpace& top = *e.spaceList[3];
        EXPECT_EQ(beside.key, "500Z0Y0X");
        EXPECT_EQ(beside.len, split == 0 ? 1000 : 5000);
        EXPECT_EQ(beside.hei, 2200);
        EXPECT_EQ(beside.wid, 1500);
        EXPECT_EQ(front.key, "0Z0Y1000X");
        EXPECT_EQ(front.len, 4000);
        EXPECT_EQ(front.hei, 2200);
        EXPECT_EQ(front.wid, split == 0 ? 2000 : 500);
        EXPECT_EQ(top.key, "0Z400Y0X");
        EXPECT_EQ(top.len, 1000);
        EXPECT_EQ(top.hei, 1800);
        EXPECT_EQ(top.wid, 500);
        for (int order : {2, 3}) {
            tms::THoldEngine n;
            openContainer(n, 5000, 2000, 2200);
            tms::TSweepParams p = e.sweepParamsNow();
            p.spaceOrder = order;
            n.setSweepParams(p);
            Tgoodsinfo a = piece(1000, 500, 400), b = a;
            ASSERT_EQ(n.GoosInSpace(a), -1);
            ASSERT_EQ(n.GoosInSpace(b), -1);
            EXPECT_EQ(b.x0, 0);
            EXPECT_EQ(b.y0, 0);
            EXPECT_EQ(b.z0, 500) << "the next piece goes beside the first";
        }
    }
}

TEST(GoosInSpace, WeightLimitIsInclusiveAndOnlyWithTheSwitch) {
    tms::THoldEngine e;
    openContainer(e, 5000, 2000, 2200, 1000);
    e.setSweepParams(params(5, 1, 1, 0));
    e.boxArr[0].loadedWeight = 900;
    Tgoodsinfo g = piece(1000, 500, 400, 1, 100);
    EXPECT_EQ(e.GoosInSpace(g), -1);

    openContainer(e, 5000, 2000, 2200, 999.9);
    e.boxArr[0].loadedWeight = 900;
    e.lowX = 7;
    Tgoodsinfo h = piece(1000, 500, 400, 1, 100);
    const Tgoodsinfo before = h;
    EXPECT_EQ(e.GoosInSpace(h), 0);
    EXPECT_EQ(h.code, before.code);
    EXPECT_EQ(h.x1, before.x1);
    EXPECT_EQ(e.spaceList.size(), 1u);
    EXPECT_EQ(e.rootSpace.active, 1);
    EXPECT_EQ(e.lowX, 7);

    e.options.weightRestrict = false;
    e.lowX = 0;
    EXPECT_EQ(e.GoosInSpace(h), -1);
}

TEST(GoosInSpace, OfTwoSpacesAtOneCornerTheEarlierIsAskedFirst) {
    tms::THoldEngine e;
    openContainer(e, 5000, 2000, 2200);
    e.setSweepParams(params(5, 1, 1, 0));
    e.rootSpace.active = 0;
    TSpace small = space(0, 0, 0, 100, 100, 100);
    TSpace large = space(0, 0, 0, 2000, 2000, 2000);
    TSpace later = space(3000, 0, 0, 2000, 2000, 2000);
    e.spaceList = {&e.rootSpace, &small, &large, &later};
    Tgoodsinfo g = piece(600, 400, 300);
    ASSERT_EQ(e.GoosInSpace(g), -1);
    EXPECT_EQ(small.active, 1) << "refused, stays";
    EXPECT_EQ(large.active, 0) << "chosen";

    TSpace first = space(0, 0, 0, 2000, 2000, 2000);
    TSpace second = space(0, 0, 0, 2000, 2000, 2000);
    e.spaceList = {&e.rootSpace, &first, &second};
    e.lowX = 0;
    Tgoodsinfo h = piece(600, 400, 300);
    ASSERT_EQ(e.GoosInSpace(h), -1);
    EXPECT_EQ(first.active, 0);
    EXPECT_EQ(second.active, 1);
}

TEST(GoosInSpace, SearchBoundIsInclusiveAndKeptAfterAFailure) {
    tms::THoldEngine e;
    openContainer(e, 5000, 2000, 2200);
    e.setSweepParams(params(5, 1, 1, 0, 2));
    e.rootSpace.active = 0;
    TSpace behind = space(99, 0, 0, 2000, 2000, 2000);
    TSpace at = space(100, 500, 0, 2000, 1500, 2000);
    e.spaceList = {&e.rootSpace, &behind, &at};
    e.lowX = 100;
    Tgoodsinfo g = piece(600, 400, 300);
    ASSERT_EQ(e.GoosInSpace(g), -1);
    EXPECT_EQ(g.x0, 100);
    EXPECT_EQ(g.y0, 500);
    EXPECT_EQ(behind.active, 1);
    EXPECT_EQ(e.lowX, 100);
    EXPECT_EQ(e.lowY, 500);

    Tgoodsinfo huge = piece(4900, 1900, 2100);
    EXPECT_EQ(e.GoosInSpace(huge), 0);
    EXPECT_EQ(e.lowX, 100);
    EXPECT_EQ(e.lowY, 500);
    // the y-first order reads only lowY
    e.setSweepParams(params(5, 1, 1, 0, 3));
    e.lowY = 0;
    Tgoodsinfo again = piece(600, 400, 300);
    ASSERT_EQ(e.GoosInSpace(again), -1);
    EXPECT_EQ(again.x0, 99);
    EXPECT_EQ(again.y0, 0);
}

TEST(GoosInSpace, OnlyExactZeroDropsANewSpace) {
    tms::THoldEngine e;
    openContainer(e, 600, 400, 300);
    e.setSweepParams(params(5, 1, 1, 0));
    Tgoodsinfo g = piece(600, 400, 300);
    ASSERT_EQ(judge(e, e.rootSpace, g), "DMJX") << "fills the container exactly";
    ASSERT_EQ(e.GoosInSpace(g), -1);
    EXPECT_EQ(e.spaceNext, 0);
    EXPECT_EQ(e.spaceList.size(), 1u);

    openContainer(e, 600.5, 400, 300);
    Tgoodsinfo h = piece(600, 400, 300);
    ASSERT_EQ(e.GoosInSpace(h), -1);
    ASSERT_EQ(e.spaceList.size(), 2u);
    EXPECT_EQ(e.spaceNext, 1);
    EXPECT_EQ(e.spaceList[1]->len, 0.5);
    EXPECT_EQ(e.spaceList[1]->x, 600);
}

// ---------------------------------------------------------------- merging --

TEST(UnitSpace, JoinsAlongXAndZIntoTheListedSpace) {
    tms::THoldEngine e;
    openContainer(e, 5000, 2000, 2200);
    e.rootSpace.active = 0;
    TSpace t = space(1000, 0, 0, 1000, 500, 800);
    e.spaceList = {&e.rootSpace, &t};
    TSpace s = space(0, 0, 0, 1000, 500, 800);  // touches t's near face
    EXPECT_EQ(e.UnitSpace(s), -1);
    EXPECT_EQ(s.active, 0);
    EXPECT_EQ(t.active, 1);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.len, 2000);
    EXPECT_EQ(t.key, "0Z0Y0X");

    TSpace z = space(0, 0, 800, 2000, 500, 300);  // beside t along Z
    EXPECT_EQ(e.UnitSpace(z), -1);
    EXPECT_EQ(t.wid, 1100);
    EXPECT_EQ(t.z, 0);
}

TEST(UnitSpace, LeavesSpacesThatDoNotFormOneCuboid) {
    tms::THoldEngine e;
    openContainer(e, 5000, 2000, 2200);
    e.rootSpace.active = 0;
    TSpace t = space(0, 0, 0, 1000, 500, 800);
    TSpace retired = space(1000, 0, 0, 1000, 500, 800, 0);
    e.spaceList = {&e.rootSpace, &t, &retired};
    TSpace taller = space(1000, 0, 0, 1000, 500.001, 800);
    TSpace gap = space(1000.5f, 0, 0, 1000, 500, 800);
    TSpace overlap = space(999, 0, 0, 1000, 500, 800);
    TSpace above = space(0, 500, 0, 1000, 500, 800);
    TSpace narrower = space(1000, 0, 100, 1000, 500, 600);  // within t's cross-section
    TSpace nextToRetired = space(2000, 0, 0, 500, 500, 800);
    for (TSpace* s : {&taller, &gap, &overlap, &above, &narrower, &nextToRetired}) {
        EXPECT_EQ(e.UnitSpace(*s), 0) << s->key;
        EXPECT_EQ(s->active, 1);
    }
    EXPECT_EQ(t.len, 1000);
    EXPECT_TRUE(e.isXKJ(narrower));
}

TEST(UnitSpace, TheFirstListedPartnerTakesItAndTheGrownSpaceIsOfferedAgain) {
    tms::THoldEngine e;
    openContainer(e, 9000, 2000, 2200);
    e.rootSpace.active = 0;
    TSpace right = space(2000, 0, 0, 1000, 500, 800);
    TSpace left = space(0, 0, 0, 1000, 500, 800);
    e.spaceList = {&e.rootSpace, &right, &left};
    TSpace mid = space(1000, 0, 0, 1000, 500, 800);
    EXPECT_EQ(e.UnitSpace(mid), -1);
    // right (first in the list) takes mid, and the grown space then joins left
    EXPECT_EQ(right.active, 0);
    EXPECT_EQ(left.active, 1);
    EXPECT_EQ(left.x, 0);
    EXPECT_EQ(left.len, 3000);
}

TEST(UnitSpace, LongChainsOfJoinsNeedNoDeepStack) {
    // Every space of the list touches the next one along X; a new space
    // joins the first, and the grown space runs through the whole chain.
    const int n = 200000;
    tms::THoldEngine e;
    openContainer(e, 1e7, 2000, 2200);
    e.rootSpace.active = 0;
    std::vector<TSpace> chain(n);
    e.spaceList = {&e.rootSpace};
    chain[0] = space(0, 0, 0, 1, 500, 800);
    e.spaceList.push_back(&chain[0]);
    for (int i = 1; i < n; ++i) {
        chain[static_cast<std::size_t>(i)] = space(static_cast<float>(i + 1), 0, 0, 1, 500, 800);
        e.spaceList.push_back(&chain[static_cast<std::size_t>(i)]);
    }
    e.keepKeys = false;
    TSpace s = space(1, 0, 0, 1, 500, 800);
    EXPECT_EQ(e.UnitSpace(s), -1);
    const TSpace& last = chain.back();
    EXPECT_EQ(last.active, 1);
    EXPECT_EQ(last.x, 0);
    EXPECT_EQ(last.len, n + 1);
    int active = 0;
    for (const TSpace& c : chain) active += c.active;
    EXPECT_EQ(active, 1);
}

TEST(UnitSpace, AbsorbingRulesApplyOnlyWithAFilledKindTable) {
    tms::THoldEngine e;
    openContainer(e, 5000, 2000, 2200);
    e.rootSpace.active = 0;
    e.kindArr = {piece(100, 100, 100)};
    e.kindCount = 1;
    {
        // the new space absorbs a listed space whose cross-section holds it
        TSpace t = space(500, 0, 0, 1000, 800, 800);
        e.spaceList = {&e.rootSpace, &t};
        TSpace s = space(0, 0, 0, 500, 500, 500);
        EXPECT_EQ(e.UnitSpace(s), 0);
        EXPECT_EQ(t.active, 0);
        EXPECT_EQ(s.active, 1);
        EXPECT_EQ(s.len, 1500);
        EXPECT_EQ(s.x, 0);
    }
    {
        // a listed space absorbs the new one whose cross-section holds it
        TSpace t = space(500, 0, 0, 1000, 500, 500);
        e.spaceList = {&e.rootSpace, &t};
        TSpace s = space(0, 0, 0, 500, 800, 800);
        EXPECT_EQ(e.UnitSpace(s), -1);
        EXPECT_EQ(s.active, 0);
        EXPECT_EQ(t.active, 1);
        EXPECT_EQ(t.x, 0);
        EXPECT_EQ(t.len, 1500);
    }
    // a space too low for any kind (height must be strictly greater)
    EXPECT_TRUE(e.isXKJ(space(0, 0, 0, 500, 100, 500)));
    EXPECT_FALSE(e.isXKJ(space(0, 0, 0, 500, 101, 500)));
    // under the direction switch a kind that may not turn stands on its height
    e.kindArr = {piece(300, 100, 100, 0)};
    e.options.directionRestrict = true;
    EXPECT_TRUE(e.isXKJ(space(0, 0, 0, 100, 301, 100)));
    EXPECT_FALSE(e.isXKJ(space(0, 0, 0, 300, 101, 100)));
}

TEST(SpaceKey, GeneralDecimalTextOfTheFloatCorner) {
    EXPECT_EQ(tms::spaceKey(1200, 0, 500), "500Z0Y1200X");
    EXPECT_EQ(tms::spaceKey(412.5f, 0, 0), "0Z0Y412.5X");
    EXPECT_EQ(tms::spaceKey(0.1f, 0, 0), "0Z0Y0.100000001490116X");
}

}  // namespace
