// Placement of hand-loaded batches: fill orders, orientations, the batch
// loop and its refusals, what is shown, and random loadings that must never
// overlap or leave the container.

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

#include "platform/Codes.h"
#include "selfhelp/SelfLoading.h"

using tms::SelfGoods;
using tms::TBatchEntry;
using tms::TBatchResult;
using tms::TgoodsinfoSelf;
using tms::TSelfLoading;

namespace {

SelfGoods goods(double L, double W, double H, const std::string& no = "G1", const std::string& color = "255,0,0") {
    SelfGoods g;
    g.GoodsNo = no;
    g.GoodsName = "箱" + no;
    g.Length = L;
    g.Width = W;
    g.Height = H;
    g.Weight = 10;
    g.Color = color;
    return g;
}

using Corner = std::array<double, 3>;  // x, y, z

Corner nearCorner(const TgoodsinfoSelf& p) { return {p.x0, p.y0, p.z0}; }
Corner farCorner(const TgoodsinfoSelf& p) { return {p.x1, p.y1, p.z1}; }

bool overlap(const TgoodsinfoSelf& a, const TgoodsinfoSelf& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1 && a.z0 < b.z1 && b.z0 < a.z1;
}

}  // namespace

// Cubes of 2 in a container of 3 x 2 x 2 cells: every fill order takes the
// cells in the lexicographic order of its own keys, then the container is full.
TEST(SelfPlacement, EachFillOrderTakesTheCellsInItsOwnOrder) {
    for (int item = 0; item < 6; ++item) {
        const tms::FillOrder& fo = tms::fillOrders()[item];
        SCOPED_TRACE(fo.text);
        TSelfLoading s;
        s.setContainer("C", 6, 4, 4);  // L (x) 6, W (z) 4, H (y) 4
        SelfGoods g = goods(2, 2, 2);
        TBatchResult r = s.placeBatch(&g, "13", item, 0);
        ASSERT_TRUE(r.accepted);
        EXPECT_EQ(r.placed, 12);
        EXPECT_EQ(r.left, 1);
        EXPECT_EQ(r.message, "共装了 12 件货物，共有 1 件货物未装");

        std::vector<Corner> cells;
        for (int x = 0; x < 6; x += 2)
            for (int y = 0; y < 4; y += 2)
                for (int z = 0; z < 4; z += 2) cells.push_back({double(x), double(y), double(z)});
        std::sort(cells.begin(), cells.end(), [&](const Corner& a, const Corner& b) {
            return std::tie(a[fo.keys[0]], a[fo.keys[1]], a[fo.keys[2]]) <
                   std::tie(b[fo.keys[0]], b[fo.keys[1]], b[fo.keys[2]]);
        });
        ASSERT_EQ(s.pieceArr().size(), cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            EXPECT_EQ(nearCorner(s.pieceArr()[i]), cells[i]) << "piece " << i;
            const Corner far{cells[i][0] + 2, cells[i][1] + 2, cells[i][2] + 2};
            EXPECT_EQ(farCorner(s.pieceArr()[i]), far) << "piece " << i;
        }
    }
}

// A carton 3 long, 2 wide, 1 high stands with the sides the orientation
// names along X, Y and Z; the second piece goes beside the first along Z.
TEST(SelfPlacement, EachOrientationGivesItsExtents) {
    struct Case {
        const char* text;
        Corner ext;  // along X, Y, Z
    } cases[] = {
        {"立放，正向", {3, 1, 2}}, {"立放，横向", {2, 1, 3}}, {"侧放，正向", {3, 2, 1}},
        {"侧放，横向", {1, 2, 3}}, {"卧放，横向", {1, 3, 2}}, {"卧放，正向", {2, 3, 1}},
    };
    for (int item = 0; item < 6; ++item) {
        SCOPED_TRACE(cases[item].text);
        TSelfLoading s;
        s.setContainer("C", 8, 8, 8);
        SelfGoods g = goods(3, 2, 1);
        TBatchResult r = s.placeBatch(&g, "2", 0, item);
        ASSERT_EQ(r.placed, 2);
        const Corner e = cases[item].ext;
        const auto& p = s.pieceArr();
        EXPECT_EQ(p[0].placeText, cases[item].text);
        EXPECT_EQ(nearCorner(p[0]), (Corner{0, 0, 0}));
        EXPECT_EQ(farCorner(p[0]), e);
        EXPECT_EQ(nearCorner(p[1]), (Corner{0, 0, e[2]}));
        EXPECT_EQ(farCorner(p[1]), (Corner{e[0], e[1], 2 * e[2]}));
        EXPECT_EQ(s.batches()[0].placeType, item + 1);
        EXPECT_EQ(s.batches()[0].fillOrder, 1);

        // A container exactly the piece's size takes one, and only in that
        // orientation's extents.
        TSelfLoading tight;
        tight.setContainer("T", e[0], e[2], e[1]);
        EXPECT_EQ(tight.placeBatch(&g, "2", 0, item).placed, 1);
        TSelfLoading shortX;
        shortX.setContainer("T", e[0] - 0.5, e[2], e[1]);
        EXPECT_EQ(shortX.placeBatch(&g, "1", 0, item).placed, 0);
    }
}

// After a piece 500 x 500 on the floor at the origin the beside space starts
// at (0, 0, 500) and the front space at (500, 0, 0).
TEST(SelfPlacement, TheFillOrderDecidesBetweenBesideAndFront) {
    auto second = [](int fillItem) {
        TSelfLoading s;
        s.setContainer("C", 2000, 2000, 1000);
        SelfGoods a = goods(500, 500, 1000);  // DMJX: 500 along X and Z, 1000 up
        EXPECT_EQ(s.placeBatch(&a, "1", 0, 0).placed, 1);
        SelfGoods b = goods(100, 100, 100, "G2");
        EXPECT_EQ(s.placeBatch(&b, "1", fillItem, 0).placed, 1);
        return nearCorner(s.pieceArr()[1]);
    };
    EXPECT_EQ(second(1), (Corner{0, 0, 500}));  // 下->里->左: smaller x
    EXPECT_EQ(second(3), (Corner{500, 0, 0}));  // 左->里->下: smaller z
}

// A piece that fills its free space exactly leaves no new space; the front
// space of the first piece, which overlaps that space, must still give way.
TEST(SelfPlacement, AnExactFillCutsTheSpacesItOverlaps) {
    TSelfLoading s;
    s.setContainer("C", 10, 10, 10);
    SelfGoods a = goods(4, 4, 10, "A");  // 4 x 10 x 4 at the origin
    ASSERT_EQ(s.placeBatch(&a, "1", 0, 0).placed, 1);
    SelfGoods b = goods(10, 6, 10, "B");  // fills the beside space exactly
    ASSERT_EQ(s.placeBatch(&b, "1", 0, 0).placed, 1);
    EXPECT_EQ(nearCorner(s.pieceArr()[1]), (Corner{0, 0, 4}));
    EXPECT_EQ(farCorner(s.pieceArr()[1]), (Corner{10, 10, 10}));

    // The old front space (x from 4, the whole width) would take this piece
    // straight through B.
    SelfGoods c = goods(6, 10, 10, "C");
    TBatchResult r = s.placeBatch(&c, "1", 0, 0);
    EXPECT_EQ(r.placed, 0);
    EXPECT_EQ(r.message, "共装了 0 件货物，共有 1 件货物未装");
    for (const auto& e : s.freeSpaces()) {
        if (!e.space->active) continue;
        const tms::TSpace& t = *e.space;
        const bool hitsB = t.x < 10 && 0 < t.x + t.len && t.z < 10 && 4 < t.z + t.wid && t.y < 10 && 0 < t.y + t.hei;
        EXPECT_FALSE(hitsB) << e.text;
    }
}

TEST(SelfPlacement, TheBatchIsCutAtTheFirstPieceThatFindsNoRoom) {
    TSelfLoading s;
    s.setContainer("C", 7, 1, 1);  // room for 7 cubes in a row
    SelfGoods g = goods(1, 1, 1);
    TBatchResult r = s.placeBatch(&g, "10", 0, 0);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.batch, 1);
    EXPECT_EQ(r.placed, 7);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.message, "共装了 7 件货物，共有 3 件货物未装");
    ASSERT_EQ(s.batches().size(), 1u);
    EXPECT_EQ(s.batches()[0].amount, 7);
    EXPECT_EQ(tms::gridTexts(s.batches()[0]), (std::array<std::string, 11>{"255,0,0", "1", "箱G1", "G1", "7", "1", "1",
                                                                           "1", "10", "里->下->左", "立放，正向"}));
    ASSERT_EQ(s.pieceArr().size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(s.pieceArr()[i].ListId, i);
        EXPECT_EQ(s.pieceArr()[i].batch, 1);
    }
    EXPECT_NE(r.summary.find("  第  1  批"), std::string::npos);
    EXPECT_NE(r.summary.find("  已装入货物共计:  7    件"), std::string::npos);
    EXPECT_NE(r.summary.find("  当前装箱率:  100%"), std::string::npos);

    // The container is full: the next batch places nothing and adds no row.
    SelfGoods h = goods(1, 1, 1, "G2");
    r = s.placeBatch(&h, "4", 0, 0);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.batch, 0);
    EXPECT_EQ(r.message, "共装了 0 件货物，共有 4 件货物未装");
    EXPECT_TRUE(r.summary.empty());
    EXPECT_EQ(s.batches().size(), 1u);
    EXPECT_EQ(s.pieceArr().size(), 7u);
}

TEST(SelfPlacement, RefusedInputChangesNothing) {
    TSelfLoading s;
    SelfGoods g = goods(1, 1, 1);
    EXPECT_EQ(s.placeBatch(&g, "1", 0, 0).message, "请先选择一个箱柜");
    s.setContainer("C", 5, 5, 5);

    struct Case {
        std::string amount;
        int fill, place;
        SelfGoods goods;
        bool noGoods;
        const char* message;
        TBatchEntry entry;  // where the dialog puts the focus
    } cases[] = {
        {"", 0, 0, g, false, "请录入数量", TBatchEntry::amount},
        {"  ", 0, 0, g, false, "请录入数量", TBatchEntry::amount},
        {"abc", 0, 0, g, false, "录入的数量有误，请重新录入!", TBatchEntry::amount},
        {"0x10", 0, 0, g, false, "录入的数量有误，请重新录入!", TBatchEntry::amount},
        {"1e3", 0, 0, g, false, "录入的数量有误，请重新录入!", TBatchEntry::amount},
        {"2.5", 0, 0, g, false, "录入的数量有误，请重新录入!", TBatchEntry::amount},
        {"5001", 0, 0, g, false, "录入的数量太大了，请重新录入!", TBatchEntry::amount},
        {"99999999999999999999", 0, 0, g, false, "录入的数量太大了，请重新录入!", TBatchEntry::amount},
        {"0", 0, 0, g, false, "录入的数量太小了，请重新录入!", TBatchEntry::amount},
        {"-3", 0, 0, g, false, "录入的数量太小了，请重新录入!", TBatchEntry::amount},
        {"1", -1, 0, g, false, "请选择摆放方向", TBatchEntry::fillOrder},
        {"1", 0, -1, g, false, "请选择摆放方式", TBatchEntry::placeType},
        {"1", 0, 0, g, true, "请选择一个货物", TBatchEntry::goods},
        {"1", 0, 0, goods(0, 1, 1), false, "货物的尺寸有误，请检查货物资料!", TBatchEntry::none},
        {"1", 0, 0, goods(1, -2, 1), false, "货物的尺寸有误，请检查货物资料!", TBatchEntry::none},
        {"1", 0, 0, goods(1, 1, 1, "G", "255,0"), false, "货物的颜色有误，请检查货物资料!", TBatchEntry::none},
        {"1", 0, 0, goods(1, 1, 1, "G", ""), false, "货物的颜色有误，请检查货物资料!", TBatchEntry::none},
        {"1", 0, 0, goods(1, 1, 1, "G", "1,2,300"), false, "货物的颜色有误，请检查货物资料!", TBatchEntry::none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount + " " + c.message);
        TBatchResult r = s.placeBatch(c.noGoods ? nullptr : &c.goods, c.amount, c.fill, c.place);
        EXPECT_FALSE(r.accepted);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.refused, c.entry);
        EXPECT_TRUE(s.pieceArr().empty());
        EXPECT_TRUE(s.batches().empty());
        ASSERT_EQ(s.freeSpaces().size(), 1u);
        EXPECT_EQ(s.freeSpaces()[0].space->active, 1);
    }
    int n = 0;
    EXPECT_EQ(tms::checkAmount(" 5000 ", n), "");
    EXPECT_EQ(n, 5000);
}

TEST(SelfPlacement, RatioAndVerticesUseTheLoadingsOwnContainer) {
    TSelfLoading s;
    EXPECT_EQ(s.GetZXL(), "");
    s.setContainer("C", 0, 10, 10);
    EXPECT_EQ(s.GetZXL(), "");  // zero volume: no ratio, no division

    s.setContainer("C", 10, 30, 20);  // L 10, W 30, H 20: volume 6000
    EXPECT_EQ(s.GetZXL(), "0%");
    SelfGoods g = goods(1, 1, 2);  // DMJX: 1 along X, 2 up, 1 across
    ASSERT_EQ(s.placeBatch(&g, "1", 0, 0).placed, 1);
    EXPECT_EQ(s.GetZXL(), "0.03%");  // 2 / 6000 = 0.0333..%
    const auto& v = s.pieceArr()[0].verts;
    EXPECT_EQ(v[0], (TgoodsinfoSelf::Vertex{-5, -10, -15}));
    EXPECT_EQ(v[2], (TgoodsinfoSelf::Vertex{-4, -10, -14}));
    EXPECT_EQ(v[6], (TgoodsinfoSelf::Vertex{-4, -8, -14}));
    EXPECT_EQ(v[4], (TgoodsinfoSelf::Vertex{-5, -8, -15}));

    EXPECT_EQ(tms::ratioText(1, 3), "33.33%");
    EXPECT_EQ(tms::ratioText(7, 8), "87.5%");
    EXPECT_EQ(tms::ratioText(5, 5), "100%");
    EXPECT_EQ(tms::ratioText(1, 0), "");
}

TEST(SelfPlacement, ShowingAndSteppingThroughBatches) {
    TSelfLoading s;
    s.setContainer("C20", 10, 1, 1);
    for (int b = 0; b < 3; ++b) {
        SelfGoods g = goods(1, 1, 1, std::string("G").append(std::to_string(b + 1)));
        ASSERT_EQ(s.placeBatch(&g, std::to_string(b + 1), 0, 0).placed, b + 1);
    }
    auto shownBatches = [&] {
        std::vector<int> out;
        for (const auto& p : s.pieceArr()) {
            EXPECT_EQ(p.alpha, p.shown ? 1.0f : 0.0f);
            if (p.shown) out.push_back(p.batch);
        }
        return out;
    };
    int step = 0;
    step = s.stepBatches(step);
    EXPECT_EQ(step, 1);
    EXPECT_EQ(shownBatches(), (std::vector<int>{1}));
    step = s.stepBatches(step);
    EXPECT_EQ(shownBatches(), (std::vector<int>{1, 2, 2}));
    step = s.stepBatches(step);
    EXPECT_EQ(step, 3);
    EXPECT_EQ(shownBatches().size(), 6u);
    EXPECT_EQ(s.stepBatches(step), 1);
    EXPECT_EQ(s.stepBatches(7), 1);  // left high by the assembly drawing

    EXPECT_EQ(s.stepSummary(2),
              "\n  第  2  批:  (共  3  批)\n      已装入货物共计:  3    件\n"
              "      当前批    编号:  G2\n                数量:  2\n"
              "                摆放方式:  立放，正向\n                摆放方向:  里->下->左");
    EXPECT_EQ(s.loadingSummary(),
              "\n  选用的箱柜编号： C20\n  货物批次共计：   3  批    数量共计:  6\n"
              "  装箱率:          60%");

    s.showBatch(3);
    EXPECT_EQ(shownBatches(), (std::vector<int>{3, 3, 3}));
    s.showUpTo(0);
    EXPECT_EQ(shownBatches(), (std::vector<int>{1}));
    s.showAll();
    EXPECT_EQ(shownBatches().size(), 6u);

    TSelfLoading one;
    one.setContainer("C", 5, 5, 5);
    SelfGoods g = goods(1, 1, 1);
    one.placeBatch(&g, "2", 0, 0);
    one.showBatch(9);
    EXPECT_EQ(one.stepBatches(0), 0);  // one batch: nothing happens
    EXPECT_EQ(one.pieceArr()[0].shown, 0);
}

TEST(SelfPlacement, ChoosingAnotherContainerStartsAfresh) {
    TSelfLoading s;
    s.setContainer("A", 1, 1, 1);
    s.setContainer("B", 4, 4, 4);
    ASSERT_EQ(s.freeSpaces().size(), 1u);
    SelfGoods g = goods(3, 3, 3);
    EXPECT_EQ(s.placeBatch(&g, "1", 0, 0).placed, 1);
    EXPECT_EQ(s.vehicleNo(), "B");
    s.reset();
    EXPECT_FALSE(s.hasContainer());
    EXPECT_EQ(s.placeBatch(&g, "1", 0, 0).message, "请先选择一个箱柜");
}

// Many small random loadings: whatever the goods, amounts, fill orders and
// orientations, no two pieces overlap and every piece lies in the container.
// Whole-millimetre sizes make pieces fill their spaces exactly now and then;
// half millimetres leave odd remainders.
void randomLoadings(unsigned seed, int scenarios, int grid, int maxContainer, int maxGoods) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto size = [&](int lo, int hi) { return pick(lo * grid, hi * grid) / double(grid); };
    long pieces = 0;
    for (int scenario = 0; scenario < scenarios; ++scenario) {
        TSelfLoading s;
        const double L = size(2, maxContainer), W = size(2, maxContainer), H = size(2, maxContainer);
        s.setContainer("C", L, W, H);
        const int batches = pick(1, 6);
        for (int b = 0; b < batches; ++b) {
            SelfGoods g = goods(size(1, maxGoods), size(1, maxGoods), size(1, maxGoods),
                                std::string("G").append(std::to_string(b)));
            s.placeBatch(&g, std::to_string(pick(1, 12)), pick(0, 5), pick(0, 5));
        }
        const auto& p = s.pieceArr();
        pieces += static_cast<long>(p.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            ASSERT_TRUE(p[i].x0 >= 0 && p[i].y0 >= 0 && p[i].z0 >= 0 && p[i].x1 <= L && p[i].y1 <= H && p[i].z1 <= W)
                << "scenario " << scenario << " piece " << i;
            for (std::size_t j = 0; j < i; ++j)
                ASSERT_FALSE(overlap(p[i], p[j])) << "scenario " << scenario << " pieces " << j << ", " << i;
        }
    }
    EXPECT_GT(pieces, scenarios * 3L);
}

TEST(SelfPlacement, RandomLoadingsNeverOverlap) {
    randomLoadings(20240611, 3000, 1, 8, 4);
    randomLoadings(7, 2000, 2, 12, 6);
}
