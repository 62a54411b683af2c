// Whole runs of the optimiser: sweeps and progress, the winning trial, the
// skip rule, containers opened, and the runs that used to loop for ever or
// write overlapping pieces.

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

#include "tests/engine/EngineFixture.h"

namespace {

using enginetest::Kind;
using enginetest::Order;

struct Outcome {
    tms::THoldEngine e;
    tms::TRunResult r;
    plain::Engine ref;
    std::vector<int> refLeft;
    std::vector<int> progress;  // positions the engine reported
};

// Runs the order on the engine (8 threads) and on the reference steps.
void runBoth(Outcome& run, const Order& o) {
    enginetest::fillEngine(run.e, o, 8);
    run.e.options.progress = [&run](int, int position) { run.progress.push_back(position); };
    enginetest::fillPlain(run.ref, run.e, o);
    run.r = run.e.getGoodsArrYH("T");
    run.refLeft = run.ref.run();
    enginetest::expectSoundPlan(run.e, run.r, o);
    enginetest::expectSamePlan(run.e, run.r, run.ref, run.refLeft);
}

Order box(double L, double W, double H, std::vector<Kind> kinds) {
    Order o;
    o.L = L;
    o.W = W;
    o.H = H;
    o.kinds = std::move(kinds);
    o.weight = false;
    return o;
}

std::vector<int> containersOf(const tms::THoldEngine& e) {
    std::vector<int> v;
    for (const auto& b : e.bestArr) v.push_back(b.vehicleOrder);
    return v;
}

// ---------------------------------------------------------------- sweeps --

TEST(Sweep, ProgressRunsToTheTrialsOfEachSweepOnTheCallingThread) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        Order o = box(1000, 1000, 1000, {{"A", 500, 500, 500, 1, 1, 12}});
        o.mode = mode;
        tms::THoldEngine e;
        enginetest::fillEngine(e, o, 8);
        std::vector<int> seen;
        const std::thread::id caller = std::this_thread::get_id();
        bool elsewhere = false;
        e.options.progress = [&](int maximum, int position) {
            EXPECT_EQ(maximum, 240);
            seen.push_back(position);
            if (std::this_thread::get_id() != caller) elsewhere = true;
        };
        const tms::TRunResult r = e.getGoodsArrYH("P");
        ASSERT_TRUE(r.ok);
        EXPECT_FALSE(elsewhere);
        EXPECT_EQ(r.boxesUsed, 2);
        const int trials = mode == 0 ? 240 : 120;
        std::vector<int> want;
        for (int sweep = 0; sweep < 2; ++sweep)
            for (int p = 0; p <= trials; ++p) want.push_back(p);
        EXPECT_EQ(seen, want);
    }
}

TEST(Sweep, SweepOrderRunsTheParametersFromTheOutermost) {
    EXPECT_EQ(tms::trialsPerSweep(static_cast<tms::TLoadingMode>(0)), 240);
    EXPECT_EQ(tms::trialsPerSweep(static_cast<tms::TLoadingMode>(1)), 120);
    EXPECT_EQ(tms::trialsPerSweep(static_cast<tms::TLoadingMode>(2)), 120);
    EXPECT_EQ(tms::trialsPerSweep(static_cast<tms::TLoadingMode>(3)), 0);
    int t = 0;
    for (int axes = 1; axes <= 5; ++axes)
        for (int first = 1; first <= 2; ++first)
            for (int second = 0; second <= 1; ++second)
                for (int order : {2, 3})
                    for (int split = 0; split <= 1; ++split)
                        for (int pair = 1; pair <= 3; ++pair, ++t) {
                            const tms::TSweepParams p = tms::sweepParams(static_cast<tms::TLoadingMode>(0), t);
                            ASSERT_TRUE(p.axesNo == axes && p.firstPref == first && p.secondPref == second &&
                                        p.spaceOrder == order && p.splitMode == split && p.pairNo == pair)
                                << t;
                        }
    EXPECT_EQ(tms::sweepParams(static_cast<tms::TLoadingMode>(1), 119).spaceOrder, 5);
    EXPECT_EQ(tms::sweepParams(static_cast<tms::TLoadingMode>(2), 7).spaceOrder, 4);
}

TEST(Sweep, EqualVolumesGoToTheFirstTrial) {
    // Every trial loads all five cubes; the winner is the first trial.
    Outcome run;
    runBoth(run, box(1000, 1000, 1000, {{"A", 300, 200, 100, 1, 1, 5}}));
    tms::THoldEngine one;
    one.boxArr = run.e.boxArr;
    one.boxArr.resize(1);
    one.curBoxIdx = 0;
    one.options.weightRestrict = false;
    one.setSweepParams(tms::sweepParams(static_cast<tms::TLoadingMode>(0), 0));
    one.startSpaces(1000, 1000, 1000, 15);
    for (std::size_t i = 0; i < 5; ++i) {
        tms::Tgoodsinfo g = run.e.goodsArr[i];
        ASSERT_EQ(one.GoosInSpace(g), -1);
        EXPECT_EQ(run.e.bestArr[i].code, g.code);
        EXPECT_EQ(run.e.bestArr[i].x0, g.x0);
        EXPECT_EQ(run.e.bestArr[i].y0, g.y0);
        EXPECT_EQ(run.e.bestArr[i].z0, g.z0);
    }
    EXPECT_EQ(run.e.bestVolume, 5 * 300.0 * 200 * 100);
}

TEST(Sweep, AnOverflowingTrialOpensAContainerThatStaysEmpty) {
    // Some trials cannot stand the piece in the container, the winner can.
    Outcome run;
    runBoth(run, box(300, 500, 400, {{"A", 500, 300, 300, 1, 1, 1}}));
    EXPECT_EQ(run.r.boxesUsed, 1);
    EXPECT_EQ(run.r.boxesOpened, 2);
    EXPECT_TRUE(run.r.leftOver.empty());
    ASSERT_EQ(run.e.boxArr.size(), 2u);
    EXPECT_EQ(run.e.boxArr[0].overflow, 1);
    EXPECT_EQ(run.e.boxArr[1].boxNo, "2");
    EXPECT_EQ(run.e.boxArr[1].opened, 1);
    EXPECT_EQ(run.e.boxArr[1].overflow, 0);
    EXPECT_TRUE(run.e.loadList.empty());
}

TEST(Sweep, ContainersAreNumberedInTurnAndOnlyTheLastWinnerStaysMarked) {
    Outcome run;
    runBoth(run, box(1000, 1000, 1000, {{"A", 500, 500, 500, 1, 1, 30}}));
    EXPECT_EQ(run.r.boxesUsed, 4);
    std::vector<int> count(5, 0);
    for (const auto& b : run.e.bestArr) ++count[static_cast<std::size_t>(b.vehicleOrder)];
    EXPECT_EQ(count, (std::vector<int>{0, 8, 8, 8, 6}));
    for (const auto& b : run.e.bestArr) EXPECT_EQ(b.placed, b.vehicleOrder == 4 ? 1 : 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(run.e.boxArr[static_cast<std::size_t>(i)].overflow, 1);
    for (std::size_t i = 0; i < run.e.boxArr.size(); ++i) EXPECT_EQ(run.e.boxArr[i].boxNo, std::to_string(i + 1));
    // what the launchers see afterwards
    EXPECT_TRUE(run.e.loadList.empty());
    for (const auto& g : run.e.goodsArr) EXPECT_EQ(g.placed, 1);
    ASSERT_EQ(run.e.spaceList.size(), 1u);
    EXPECT_EQ(run.e.spaceList[0], &run.e.rootSpace);
}

TEST(Sweep, AnEngineRunsOrderAfterOrderAsAFreshOneWould) {
    // The engine keeps its workers from run to run; nothing of a run may
    // leak into the next, whatever the sizes and thread counts.
    const Order big = box(2400, 1200, 1100, {{"A", 300, 200, 150, 2, 1, 120}, {"B", 450, 250, 200, 3, 0, 40}});
    Order small = box(1000, 800, 700, {{"C", 350, 300, 200, 1, 1, 15}});
    small.upright = true;
    auto plan = [](tms::THoldEngine& e, const Order& o, int threads) {
        enginetest::fillEngine(e, o, threads);
        EXPECT_TRUE(e.getGoodsArrYH("S").ok);
        std::vector<std::string> v;
        for (const auto& b : e.bestArr)
            v.push_back(b.code + " " + std::to_string(b.x0) + " " + std::to_string(b.y0) + " " + std::to_string(b.z0) +
                        " " + std::to_string(b.vehicleOrder));
        return v;
    };
    tms::THoldEngine fresh1, fresh2, reused;
    const auto wantBig = plan(fresh1, big, 8);
    const auto wantSmall = plan(fresh2, small, 8);
    EXPECT_EQ(plan(reused, big, 8), wantBig);
    EXPECT_EQ(plan(reused, small, 3), wantSmall);
    EXPECT_EQ(plan(reused, big, 1), wantBig);
    EXPECT_EQ(plan(reused, small, 8), wantSmall);
}

TEST(Sweep, AnExceptionFromTheProgressCallbackStopsTheSweepAndTheEngineRunsAgain) {
    // The callback is the window's: it may throw. The sweep's workers must
    // not run on after the run has left, and the engine must serve the next
    // order as a fresh one would.
    const Order o = box(2400, 1200, 1100, {{"A", 300, 200, 150, 2, 1, 120}, {"B", 450, 250, 200, 3, 0, 40}});
    auto plan = [](const tms::THoldEngine& e) {
        std::vector<std::string> v;
        for (const auto& b : e.bestArr)
            v.push_back(b.code + " " + std::to_string(b.x0) + " " + std::to_string(b.y0) + " " + std::to_string(b.z0) +
                        " " + std::to_string(b.vehicleOrder));
        return v;
    };
    tms::THoldEngine fresh;
    enginetest::fillEngine(fresh, o, 8);
    ASSERT_TRUE(fresh.getGoodsArrYH("F").ok);
    const auto want = plan(fresh);

    struct Stop {};
    for (int threads : {8, 3, 1}) {
        for (int at : {0, 1, 7, 120, 239}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, thrown at " + std::to_string(at));
            tms::THoldEngine e;
            enginetest::fillEngine(e, o, threads);
            int calls = 0;
            e.options.progress = [&](int, int position) {
                ++calls;
                if (position == at) throw Stop{};
            };
            EXPECT_THROW(e.getGoodsArrYH("X"), Stop);
            EXPECT_EQ(calls, at + 1);  // nothing reported after the throw

            enginetest::fillEngine(e, o, threads);
            std::vector<int> seen;
            e.options.progress = [&](int, int position) { seen.push_back(position); };
            const tms::TRunResult r = e.getGoodsArrYH("Y");
            ASSERT_TRUE(r.ok);
            EXPECT_EQ(plan(e), want);
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.back(), 240);
        }
    }
}

// ------------------------------------------------------------- skip rule --

TEST(SkipRule, AFailedPieceSkipsTheRestOfItsGoodsButNotTheNextGoods) {
    // A2 cannot follow A1; A3 (the same goods number, small) is not tried
    // after it, B1 is and takes the room A3 would have had.
    Order o = box(1000, 1000, 1000,
                  {{"A", 1000, 1000, 600, 1, 1, 2}, {"A", 100, 100, 100, 1, 1, 1}, {"B", 1000, 1000, 300, 1, 1, 1}});
    Outcome run;
    runBoth(run, o);
    EXPECT_EQ(containersOf(run.e), (std::vector<int>{1, 2, 2, 1}));
}

TEST(SkipRule, ComparesWithThePreviousPieceEvenWhenItWasLoadedBefore) {
    // P0 fits nowhere, P1 fills container 1, P2 is small. In container 2 the
    // failure of P0 skips P2 because P1, loaded earlier, has its goods
    // number; the sweep places nothing and the run ends.
    Order o = box(1000, 1000, 1000,
                  {{"B", 2000, 100, 100, 1, 1, 1}, {"A", 1000, 1000, 1000, 1, 1, 1}, {"A", 100, 100, 100, 1, 1, 1}});
    Outcome run;
    runBoth(run, o);
    EXPECT_EQ(containersOf(run.e), (std::vector<int>{-1, 1, -1}));
    EXPECT_EQ(run.r.leftOver, (std::vector<int>{0, 2}));
    EXPECT_EQ(run.r.boxesOpened, 2);
}

// ------------------------------------------------------ the upright wish --

TEST(PreferUpright, ASweepWhoseEveryTrialWasForgivenIsRepeatedWithoutTheWish) {
    // C may not stand upright in a 400 mm high container; each trial of the
    // first sweep forgives C1 and lays C2. The same empty container is swept
    // again with the wish dropped and takes both.
    Order o = box(1100, 800, 400, {{"C", 300, 400, 700, 1, 1, 2}});
    o.upright = true;
    Outcome run;
    runBoth(run, o);
    EXPECT_EQ(containersOf(run.e), (std::vector<int>{1, 1}));
    EXPECT_EQ(run.r.boxesOpened, 1);
    EXPECT_EQ(std::count(run.progress.begin(), run.progress.end(), 0), 2) << "two sweeps";
    EXPECT_EQ(run.e.boxArr[0].overflow, 0);
}

TEST(PreferUpright, UprightWhereverItFitsOtherwiseAsTheStepsSay) {
    Order o = box(2000, 1500, 1200, {{"A", 600, 400, 300, 1, 1, 10}, {"B", 500, 500, 900, 1, 1, 6}});
    o.upright = true;
    Outcome run;
    runBoth(run, o);
    int upright = 0;
    for (const auto& b : run.e.bestArr) upright += b.code == "DMJX" || b.code == "DMJY";
    EXPECT_GT(upright, 0);
}

// ------------------------------------------------- what no container takes --

TEST(LeftOver, APieceThatFitsNoEmptyContainerEndsTheRun) {
    Order o = box(1000, 1000, 1000, {{"A", 500, 500, 500, 1, 1, 3}, {"B", 1200, 1100, 1001, 1, 1, 2}});
    Outcome run;
    runBoth(run, o);
    EXPECT_EQ(run.r.leftOver, (std::vector<int>{3, 4}));
    EXPECT_EQ(run.r.boxesUsed, 1);
    EXPECT_EQ(run.r.boxesOpened, 2);
    EXPECT_EQ(run.e.loadList, (std::vector<std::string>{"B000001", "B000002"}));
    for (int i : {3, 4}) {
        const auto& b = run.e.bestArr[static_cast<std::size_t>(i)];
        EXPECT_EQ(b.code, "");
        EXPECT_EQ(b.vehicleOrder, -1);
        EXPECT_EQ(b.placed, 0);
        EXPECT_EQ(b.ListId, run.e.goodsArr[static_cast<std::size_t>(i)].ListId);
    }

    Outcome alone;
    runBoth(alone, box(1000, 1000, 1000, {{"B", 1200, 1100, 1001, 1, 1, 1}}));
    EXPECT_EQ(alone.r.leftOver, std::vector<int>{0});
    EXPECT_EQ(alone.r.boxesOpened, 1);
    EXPECT_EQ(alone.r.boxesUsed, 0);
}

TEST(LeftOver, APieceHeavierThanTheLoadLimitOnlyWithTheWeightSwitch) {
    Order o = box(1000, 1000, 1000, {{"A", 500, 500, 500, 10, 1, 2}, {"H", 500, 500, 500, 2500, 1, 1}});
    o.maxWeight = 2000;
    o.weight = true;
    Outcome on;
    runBoth(on, o);
    EXPECT_EQ(on.r.leftOver, std::vector<int>{2});
    o.weight = false;
    Outcome off;
    runBoth(off, o);
    EXPECT_TRUE(off.r.leftOver.empty());
    EXPECT_EQ(containersOf(off.e), (std::vector<int>{1, 1, 1}));
}

// ------------------------------------------------------- refused input --

TEST(Refused, SizesWeightsAndModesThatARunCannotUse) {
    const Order good = box(1000, 1000, 1000, {{"A", 500, 500, 500, 1, 1, 2}, {"Z", 500, 0, 500, 1, 1, 1}});
    struct Case {
        const char* what;
        std::function<void(tms::THoldEngine&)> spoil;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"zero width", [](tms::THoldEngine&) {}, "货物 Z 的尺寸必须大于0"},
        {"negative length",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.goodsArr[2].L = -1;
         },
         "货物 Z 的尺寸必须大于0"},
        {"no number",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.goodsArr[2].H = std::nanf("");
         },
         "货物 Z 的尺寸必须大于0"},
        {"container",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.boxArr[0].H = 0;
         },
         "货柜尺寸必须大于0"},
        {"no container",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.boxArr.clear();
         },
         "未指定货柜"},
        {"mode",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.options.loadingMode = static_cast<tms::TLoadingMode>(3);
         },
         "摆放方式无效"},
        // Below the catalogue's whole millimetres a run would crawl.
        {"tenth of a millimetre", [](tms::THoldEngine& e) { e.goodsArr[2].W = 0.1f; }, "货物 Z 的尺寸不能小于1毫米"},
        {"just below 1 mm",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.goodsArr[2].H = 0.999f;
         },
         "货物 Z 的尺寸不能小于1毫米"},
        {"container below 1 mm",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.boxArr[0].L = 0.5;
         },
         "货柜尺寸不能小于1毫米"},
        // NaN would switch the weight test off without a word.
        {"weight no number",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.goodsArr[2].weight = std::nan("");
         },
         "货物 Z 的重量必须是不小于0的数"},
        {"negative weight",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.goodsArr[2].weight = -1;
         },
         "货物 Z 的重量必须是不小于0的数"},
        {"load limit no number",
         [](tms::THoldEngine& e) {
             e.goodsArr[2].W = 500;
             e.boxArr[0].maxWeight = std::nan("");
         },
         "货柜载重无效"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tms::THoldEngine e;
        enginetest::fillEngine(e, good, 2);
        c.spoil(e);
        const auto goods = e.goodsArr;
        const auto list = e.loadList;
        const auto boxes = e.boxArr.size();
        int calls = 0;
        e.options.progress = [&](int, int) { ++calls; };
        const tms::TRunResult r = e.getGoodsArrYH("X");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(e.checkInput(), c.error);
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(e.loadList, list);
        EXPECT_EQ(e.boxArr.size(), boxes);
        for (std::size_t i = 0; i < goods.size(); ++i) {
            EXPECT_EQ(e.goodsArr[i].placed, 0);
            EXPECT_EQ(e.bestArr[i].vehicleOrder, -1);
            EXPECT_EQ(e.bestArr[i].code, "");
        }
    }
}

}  // namespace
