// Stepping through a loaded container: the piles and the number of
// containers of stored plans, the step slider, the pile stepper with a
// counter left anywhere by the self-service window, pile and piece
// selection, the order combo's texts and the grid swatch colours.

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sstream>

#include "engine/PlanRows.h"
#include "platform/Codes.h"
#include "tests/support/TestDb.h"
#include "tests/view/PlanFixture.h"
#include "view/LoadingReport.h"
#include "view/PlanLoad.h"
#include "view/PlanSteps.h"

using namespace viewtest;

namespace {

// Container 1000 x 1000 x 500 holds four cubes of 500: six cubes take two.
void storeTwoContainers(TADOConnection& c) {
    addVehicle(c, {"V1", "小柜", 1000, 1000, 500, 9000, "S"});
    addGoods(c, {"G1", "甲", "b", 1, "1", 500, 500, 500, 10, "255,0,0"});
    addGoods(c, {"G2", "乙", "b", 1, "1", 500, 500, 250, 5, "0,0,255"});
    ASSERT_TRUE(addOrder(c, {"O1", "单", "", "V1", "", ""}, {{"G1", 6}, {"G2", 2}}).ok);
}

int shownCount(const tms::TPlanShow& s) {
    int n = 0;
    for (const tms::color& c : s.planArr.colorArr) n += c.shown == 1 && c.alpha == 1.0f;
    return n;
}

tms::TPileLists threePiles() {
    tms::TPileLists p;
    p.floorList = {"F1", "F2", "F3"};
    p.gidList = {"A", "B", "A"};
    p.countList = {"4", "2", "3"};
    p.bffsList = {"立放，正向", "侧放，横向", "立放，正向"};
    return p;
}

// A plan of `floors.size()` pieces, piece i in pile floors[i].
tms::TPlanShow planOf(const std::vector<std::string>& floors) {
    tms::TPlanShow s;
    s.planCount = static_cast<int>(floors.size());
    for (std::size_t i = 0; i < floors.size(); ++i) {
        s.planArr.seqArr.push_back(static_cast<int>(i) + 1);
        s.planArr.idArr.push_back(std::string("P").append(std::to_string(i)));
        s.planArr.floorArr.push_back(floors[i]);
        tms::color c;
        c.shown = 1;
        s.planArr.colorArr.push_back(c);
    }
    return s;
}

}  // namespace

// The piles come in the order of the grid rows; the numbers of containers;
// goods deleted from the catalogue leave their piles out.
TEST(PlanSteps, PilesAndContainersOfStoredPlans) {
    TestDb db;
    storeTwoContainers(db.conn);
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O1"), 2);
    EXPECT_EQ(tms::storedContainerCount(db.conn, "none"), 0);

    int pieces = 0;
    for (int v = 1; v <= 2; ++v) {
        const tms::TPileLists piles = tms::loadPiles(db.conn, "O1", v);
        ASSERT_FALSE(piles.empty());
        EXPECT_EQ(piles.gidList.size(), piles.floorList.size());
        EXPECT_EQ(piles.countList.size(), piles.floorList.size());
        EXPECT_EQ(piles.bffsList.size(), piles.floorList.size());
        TADOQuery grid(&db.conn);
        ASSERT_TRUE(tms::openGridQuery(grid, "O1", v, true));
        ASSERT_EQ(grid.RecordCount(), piles.size());
        for (int r = 0; r < piles.size(); ++r) {
            grid.setRecNo(r);
            const auto k = static_cast<std::size_t>(r);
            EXPECT_EQ(grid.FieldByName("goodsfloor").AsString().toStdString(), piles.floorList[k]);
            EXPECT_EQ(grid.FieldByName("gid").AsString().toStdString(), piles.gidList[k]);
            EXPECT_EQ(grid.FieldByName("GoodsCount").AsString().toStdString(), piles.countList[k]);
            pieces += std::stoi(piles.countList[k]);
        }
        // The window reads the same piles off the grid it has just opened.
        const tms::TPileLists fromGrid = tms::pilesOfGrid(grid);
        EXPECT_EQ(fromGrid.floorList, piles.floorList);
        EXPECT_EQ(fromGrid.gidList, piles.gidList);
        EXPECT_EQ(fromGrid.countList, piles.countList);
        EXPECT_EQ(fromGrid.bffsList, piles.bffsList);
        grid.Close();
        EXPECT_TRUE(tms::pilesOfGrid(grid).empty());
    }
    EXPECT_EQ(pieces, 8);

    db.conn.Execute("DELETE FROM HoldGoods WHERE GoodsNo = 'G2'");
    for (int v = 1; v <= 2; ++v)
        for (const std::string& g : tms::loadPiles(db.conn, "O1", v).gidList) EXPECT_EQ(g, "G1");
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O1"), 2);
}

namespace {

// The pile lines of a report as (count, placement, goods), container by
// container.
std::vector<std::vector<std::string>> reportPiles(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> out;
    for (const std::string& l : lines) {
        if (l.rfind("第", 0) == 0) out.emplace_back();
        if (l.rfind("    第 ", 0) != 0 || out.empty()) continue;
        std::istringstream words(l);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        EXPECT_EQ(w.size(), 10u) << l;
        if (w.size() == 10) out.back().insert(out.back().end(), {w[4], w[7], w[9]});
    }
    return out;
}

// Two containers of pieces in a grid of 100 mm cells, in random order: cubes
// of G1 laid any way (so piles and goods tie on all but the placement) and
// bars of G2 along X or Z, with gaps.
std::vector<tms::PlanRow> randomPlan(std::mt19937& rng) {
    const auto& ways = tms::orientations();
    std::vector<tms::PlanRow> rows;
    int serial = 0;
    for (int v = 1; v <= 2; ++v) {
        bool used[6][3][4] = {};
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 3; ++y)
                for (int z = 0; z < 4; ++z) {
                    if (used[x][y][z] || rng() % 6 == 0) continue;
                    const bool bar = rng() % 3 == 0, alongX = rng() % 2 == 0;
                    const int a = bar && alongX ? 2 : 1, c = bar && !alongX ? 2 : 1;
                    if (x + a > 6 || z + c > 4 || used[x + a - 1][y][z + c - 1]) continue;
                    used[x + a - 1][y][z + c - 1] = used[x][y][z] = true;
                    tms::PlanRow r;
                    r.goodsNo = bar ? "G2" : "G1";
                    r.listId = r.goodsNo + std::to_string(100000 + ++serial);
                    r.bcd = 100.0 * x;
                    r.bch = 100.0 * y;
                    r.bcw = 100.0 * z;
                    r.bcd2 = 100.0 * (x + a);
                    r.bch2 = 100.0 * (y + 1);
                    r.bcw2 = 100.0 * (z + c);
                    r.vehicleOrder = v;
                    r.placeType = bar ? (alongX ? "立放，正向" : "立放，横向") : ways[rng() % ways.size()].placeText;
                    rows.push_back(r);
                }
    }
    std::shuffle(rows.begin(), rows.end(), rng);
    return rows;
}

}  // namespace

// Piles that tie on origin, pile id and goods (without piles a goods' pieces
// share its number as pile id and have no origin; with piles one pile may
// hold a goods laid two ways) come as the drawing's and the report's
// statements give them on this database, by their placement text: in the
// grid, the pile lists and the report alike.
TEST(PlanSteps, PilesThatTieComeByTheirPlacementText) {
    TestDb db;
    addVehicle(db.conn, {"V1", "小柜", 1000, 1000, 500, 9000, "S"});
    addGoods(db.conn, {"G1", "甲", "b", 1, "1", 500, 500, 250, 10, "255,0,0"});
    db.conn.Execute("INSERT INTO HoldOrderForm(OrderFormNo, VehicleNo, IsNeedCount) VALUES ('O1', 'V1', 0)");
    const char* pieces[][2] = {{"G1000001", "立放，正向"}, {"G1000002", "侧放，正向"}, {"G1000003", "立放，正向"}};
    for (const auto& [id, place] : pieces)
        db.conn.Execute(
            "INSERT INTO HoldList(ListId, GoodsNo, OrderFormNo, vehicleOrder, PlaceType, floor) "
            "VALUES (?, 'G1', 'O1', 1, ?, 'G1')",
            {QString::fromUtf8(id), QString::fromUtf8(place)});
    const std::vector<std::string> want = {"侧放，正向", "立放，正向"};
    EXPECT_EQ(tms::loadPiles(db.conn, "O1", 1).bffsList, want);
    TADOQuery grid(&db.conn);
    ASSERT_TRUE(tms::openGridQuery(grid, "O1", 1, true));
    EXPECT_EQ(tms::pilesOfGrid(grid).bffsList, want);
    EXPECT_EQ(reportPiles(tms::loadingReport(db.conn, "O1").lines),
              (std::vector<std::vector<std::string>>{{"1", "侧放，正向", "G1", "2", "立放，正向", "G1"}}));

    // Random plans with and without piles against the statements themselves.
    addGoods(db.conn, {"G2", "乙", "b", 1, "1", 200, 100, 100, 10, "0,0,255"});
    TADOQuery drawing(&db.conn), report(&db.conn);
    drawing.setSQL(
        "select distinct HoldGoods.GoodsNo as gid,count(HoldGoods.GoodsNo) as GoodsCount , HoldList.PlaceType as "
        "Goodsbffs,HoldList.Floor as GoodsFloor,holdList.dx,holdList.dy,holdList.dz  From HoldGoods,HoldList where "
        "HoldGoods.GoodsNo = HoldList.GoodsNo  and HoldList.OrderFormNo = ? and HoldList.VehicleOrder = ? "
        " group by  HoldGoods.GoodsNo ,HoldList.PlaceType,HoldList.Floor,holdList.dx,holdList.dy,holdList.dz "
        " order by HoldList.dx,HoldList.dy,HoldList.dz ");
    report.setSQL(
        "select count(HoldList.floor) as sumgoods, floor,HoldGoods.GoodsNo,PlaceType,dx,dy,dz  from "
        "HoldList,HoldGoods where HoldList.goodsNo = HoldGoods.GoodsNo and OrderFormNo =? and vehicleOrder =? "
        "group by floor,PlaceType,dx,dy,dz,HoldGoods.GoodsNo order by dx,dy,dz");
    std::mt19937 rng(31);
    int ties = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        const std::string order = "R" + std::to_string(round);
        const bool piles = round % 2 == 0;
        std::vector<tms::PlanRow> rows = randomPlan(rng);
        if (piles)
            tms::groupPiles(rows);
        else
            tms::setGoodsAsFloor(rows);
        tms::writePlanRows(db.conn, order, rows, piles);
        db.conn.Execute("INSERT INTO HoldOrderForm(OrderFormNo, VehicleNo, IsNeedCount) VALUES (?, 'V1', 0)",
                        {QString::fromStdString(order)});
        std::vector<std::vector<std::string>> wantReport;
        for (int v = 1; v <= 2; ++v) {
            for (TADOQuery* q : {&drawing, &report}) {
                q->Close();
                q->ClearParams();
                q->bind(1, QString::fromStdString(order));
                q->bind(2, v);
                q->Open();
            }
            const tms::TPileLists lists = tms::loadPiles(db.conn, order, v);
            ASSERT_EQ(static_cast<int>(lists.size()), drawing.RecordCount());
            for (int r = 0; r < drawing.RecordCount(); ++r) {
                const auto k = static_cast<std::size_t>(r);
                EXPECT_EQ(lists.floorList[k], drawing.cell(r, "GoodsFloor").toString().toStdString()) << r;
                EXPECT_EQ(lists.gidList[k], drawing.cell(r, "gid").toString().toStdString()) << r;
                EXPECT_EQ(lists.countList[k], drawing.cell(r, "GoodsCount").toString().toStdString()) << r;
                EXPECT_EQ(lists.bffsList[k], drawing.cell(r, "Goodsbffs").toString().toStdString()) << r;
                ties += r > 0 && lists.floorList[k] == lists.floorList[k - 1];
            }
            TADOQuery grid(&db.conn);
            ASSERT_TRUE(tms::openGridQuery(grid, order, v, true));
            const tms::TPileLists fromGrid = tms::pilesOfGrid(grid);
            EXPECT_EQ(fromGrid.floorList, lists.floorList);
            EXPECT_EQ(fromGrid.bffsList, lists.bffsList);
            wantReport.emplace_back();
            for (int r = 0; r < report.RecordCount(); ++r)
                for (const char* c : {"sumgoods", "PlaceType", "GoodsNo"})
                    wantReport.back().push_back(report.cell(r, c).toString().toStdString());
        }
        EXPECT_EQ(reportPiles(tms::loadingReport(db.conn, order).lines), wantReport);
    }
    EXPECT_GT(ties, 100);  // the plans do hold piles that tie
}

// The slider shows the pieces up to its position in build order.
TEST(PlanSteps, SliderShowsPiecesInBuildOrder) {
    tms::TPlanShow s = planOf({"a", "a", "b", "c"});
    tms::showUpTo(s, 0);
    EXPECT_EQ(shownCount(s), 0);
    for (const tms::color& c : s.planArr.colorArr) EXPECT_EQ(c.alpha, 0.0f);
    tms::showUpTo(s, 2);
    EXPECT_EQ(s.planArr.colorArr[0].shown, 1);
    EXPECT_EQ(s.planArr.colorArr[1].shown, 1);
    EXPECT_EQ(s.planArr.colorArr[2].shown, 0);
    EXPECT_EQ(shownCount(s), 2);
    tms::showUpTo(s, 4);
    EXPECT_EQ(shownCount(s), 4);
    // Fewer sequence numbers than colours (a stale array) never reads past.
    s.planArr.seqArr.resize(2);
    tms::showUpTo(s, 0);
    EXPECT_EQ(s.planArr.colorArr[3].shown, 1);
}

// The stepper's lines for the first, a middle and the wrap-around step.
TEST(PlanSteps, PileStepperLinesAndWrap) {
    const tms::TPileLists piles = threePiles();
    tms::TPlanShow s = planOf({"F1", "F1", "F2", "F3", "F3"});
    int heapStep = 0;
    EXPECT_EQ(tms::pileStep(piles, heapStep, s),
              (std::vector<std::string>{"", "  第  1  步:  (共  3  步)", "      已装入货物共计:  4    件",
                                        "      当前堆    编号:  A", "                数量:  4",
                                        "                摆放方式:  立放，正向"}));
    EXPECT_EQ(heapStep, 1);
    EXPECT_EQ(s.showFloors, (std::vector<std::string>{"F1"}));
    EXPECT_EQ(shownCount(s), 2);

    const auto middle = tms::pileStep(piles, heapStep, s);
    ASSERT_EQ(middle.size(), 6u);
    EXPECT_EQ(middle[1], "  第  2  步:  (共  3  步)");
    EXPECT_EQ(middle[2], "      已装入货物共计:  6    件");
    EXPECT_EQ(middle[3], "      当前堆    编号:  B");
    EXPECT_EQ(middle[5], "                摆放方式:  侧放，横向");
    EXPECT_EQ(shownCount(s), 3);

    tms::pileStep(piles, heapStep, s);
    EXPECT_EQ(heapStep, 0) << "after the last pile the stepper starts again";
    EXPECT_EQ(shownCount(s), 5);
    EXPECT_EQ(tms::pileStep(piles, heapStep, s)[1], "  第  1  步:  (共  3  步)");

    // The self-service window shares the counter and may leave it past the
    // piles of this container: the stepper starts at the first pile.
    for (int left : {3, 7, 99, -1}) {
        heapStep = left;
        const auto lines = tms::pileStep(piles, heapStep, s);
        ASSERT_EQ(lines.size(), 6u);
        EXPECT_EQ(lines[1], "  第  1  步:  (共  3  步)") << left;
        EXPECT_EQ(heapStep, 1);
        EXPECT_EQ(shownCount(s), 2);
    }

    // No piles: nothing changes.
    heapStep = 5;
    EXPECT_TRUE(tms::pileStep(tms::TPileLists(), heapStep, s).empty());
    EXPECT_EQ(heapStep, 5);

    // A count that is no number adds nothing.
    tms::TPileLists odd = threePiles();
    odd.countList[0] = "x";
    heapStep = 1;
    EXPECT_EQ(tms::pileStep(odd, heapStep, s)[2], "      已装入货物共计:  2    件");
}

// Piles chosen in the grid; pieces in the piece grid change alpha only.
TEST(PlanSteps, Selection) {
    tms::TPlanShow s = planOf({"F1", "F2", "F2", "F3"});
    tms::showFloors(s, {"F2"});
    EXPECT_EQ(shownCount(s), 2);
    EXPECT_EQ(s.planArr.colorArr[0].shown, 0);
    tms::showFloors(s, {"F2", "F3"});
    EXPECT_EQ(shownCount(s), 3);
    EXPECT_EQ(s.showFloors, (std::vector<std::string>{"F2", "F3"}));
    tms::showAll(s);
    EXPECT_EQ(shownCount(s), 4);

    tms::showUpTo(s, 2);
    tms::showPieces(s, {"P0", "P3"});
    EXPECT_EQ(s.planArr.colorArr[0].alpha, 1.0f);
    EXPECT_EQ(s.planArr.colorArr[1].alpha, 0.0f);
    EXPECT_EQ(s.planArr.colorArr[3].alpha, 1.0f);
    EXPECT_EQ(s.planArr.colorArr[3].shown, 0) << "the piece grid leaves what is drawn";
}

// Combo texts: padded numbers, and numbers of 30 or more columns as they are.
TEST(PlanSteps, OrderItems) {
    TestDb db;
    db.conn.Execute(
        "INSERT INTO HoldOrderForm(OrderFormNo, OrderFormName) VALUES ('A01', '甲单'), (?, '长'), "
        "('B 2', 'x')",
        {QString(30, 'N')});
    const auto items = tms::listOrders(db.conn);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].no, "A01");
    EXPECT_EQ(tms::orderItemText(items[0]), "A01" + std::string(28, ' ') + "甲单");
    EXPECT_EQ(tms::orderItemText(items[1]), std::string(30, 'N') + "长");
    EXPECT_EQ(tms::orderItemText(items[2]), "B 2" + std::string(28, ' ') + "x");
    EXPECT_EQ(tms::delSpace(tms::orderItemText(items[2])), "B") << "why the number is kept beside the text";
}

// Swatch colours: three integers 0..255, anything else leaves it unfilled.
TEST(PlanSteps, SwatchColours) {
    int rgb[3] = {-1, -1, -1};
    ASSERT_TRUE(tms::swatchColor("255,0,16", rgb));
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 16);
    EXPECT_TRUE(tms::swatchColor(" 1, 2 ,3", rgb));
    EXPECT_TRUE(tms::swatchColor("1,2,3,4", rgb));
    for (const char* bad : {"", "red", "1,2", "1,,3", "1.5,2,3", "256,0,0", "-1,0,0", "1,2,x", ",,"}) {
        rgb[0] = 7;
        EXPECT_FALSE(tms::swatchColor(bad, rgb)) << bad;
        EXPECT_EQ(rgb[0], 7) << bad;
    }
}
