// Loading a stored plan into the drawing arrays, the summary figures of a
// container, the grid rows and the face shading values.

#include <cmath>
#include <gtest/gtest.h>
#include <set>

#include "platform/Codes.h"
#include "tests/support/TestDb.h"
#include "tests/view/PlanFixture.h"
#include "view/PlanLoad.h"
#include "view/Shading.h"

using namespace viewtest;

namespace {

bool multipleOf10000th(float c) {
    const double k = static_cast<double>(c) * 10000;
    return c >= 0 && c < 1 && std::fabs(k - std::round(k)) < 1e-3;
}

struct PlanLoad : ::testing::Test {
    TestDb db;
    tms::TPlanShow show;
    tms::TPlanScene scene;
};

}  // namespace

// The Part's 40-foot example: view size, outline and end marker; pieces in
// build order with their corners relative to the centre; goods colours.
TEST_F(PlanLoad, StoredPlanFillsTheDrawingArrays) {
    addVehicle(db.conn, {"40HQ", "四十尺高柜", 12000, 2350, 2390, 26000, "HQ"});
    addGoods(db.conn, {"RED", "红箱", "b", 1, "1", 1000, 1000, 1000, 10, "255,0,0"});
    addGoods(db.conn, {"BLU", "蓝箱", "b", 1, "1", 500, 500, 500, 5, "0,0,255"});
    const auto r = addOrder(db.conn, {"P1", "plan", "2024-05-01", "40HQ", "c", "d"}, {{"RED", 4}, {"BLU", 3}});
    ASSERT_TRUE(r.complete());

    int progressCalls = 0, lastMax = -1, lastPos = -1;
    tms::TCountOptions opt;
    opt.progress = [&](int m, int p) {
        ++progressCalls;
        lastMax = m;
        lastPos = p;
        EXPECT_LE(p, m);
    };
    show.showFloors = {"stale"};
    tms::countXYZ(db.conn, "P1", 1, show, scene, opt);

    EXPECT_EQ(show.curBox.vehicleNo, "40HQ");
    EXPECT_EQ(show.curBox.L, 12000);
    EXPECT_EQ(show.curBox.H, 2390);
    EXPECT_EQ(show.curBox.W, 2350);
    EXPECT_NEAR(scene.viewSize, 13705.25, 0.01);
    ASSERT_TRUE(scene.hasOutline);
    EXPECT_EQ(scene.boxVerts[0], (tms::TArr::Vertex{-6000, -1195, -1175}));
    EXPECT_EQ(scene.boxVerts[6], (tms::TArr::Vertex{6000, 1195, 1175}));
    EXPECT_EQ(scene.boxVerts[8], (tms::TArr::Vertex{6000, 298.75f, 293.75f}));
    EXPECT_EQ(scene.boxVerts[10], (tms::TArr::Vertex{6000, -298.75f, -293.75f}));
    EXPECT_TRUE(show.showFloors.empty());
    EXPECT_GT(progressCalls, 1);
    EXPECT_EQ(lastMax, 21);
    EXPECT_EQ(lastPos, 0);

    ASSERT_EQ(show.planCount, 7);
    const tms::TArr& a = show.planArr;
    ASSERT_EQ(a.vertArr.size(), 7u);
    ASSERT_EQ(a.textArr.size(), 7u);
    // Build order: bcd, then bch, then bcw, read back from the stored rows.
    TADOQuery rows(&db.conn);
    rows.setSQL(
        "SELECT ListId, bcd, bch, bcw, bcd2, bch2, bcw2, floor, PlaceType, GoodsNo FROM HoldList "
        "WHERE OrderFormNo = 'P1' ORDER BY bcd, bch, bcw");
    rows.Open();
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.seqArr[i], i + 1);
        EXPECT_EQ(a.idArr[i], rows.cell(i, 0).toString().toStdString());
        EXPECT_EQ(a.floorArr[i], rows.cell(i, 7).toString().toStdString());
        EXPECT_EQ(a.colorArr[i].pileKey, a.floorArr[i]);
        EXPECT_EQ(a.placeArr[i], rows.cell(i, 8).toString().toStdString());
        EXPECT_EQ(a.goodsNoArr[i], rows.cell(i, 9).toString().toStdString());
        const auto& v = a.vertArr[i];
        EXPECT_EQ(v[0],
                  (tms::TArr::Vertex{float(rows.cell(i, 1).toDouble() - 6000), float(rows.cell(i, 2).toDouble() - 1195),
                                     float(rows.cell(i, 3).toDouble() - 1175)}));
        EXPECT_EQ(v[6],
                  (tms::TArr::Vertex{float(rows.cell(i, 4).toDouble() - 6000), float(rows.cell(i, 5).toDouble() - 1195),
                                     float(rows.cell(i, 6).toDouble() - 1175)}));
        EXPECT_EQ(v[1][0], v[6][0]);
        EXPECT_EQ(v[1][2], v[0][2]);
        EXPECT_EQ(v[3][2], v[6][2]);
        EXPECT_EQ(v[4][1], v[6][1]);
        const tms::color& c = a.colorArr[i];
        EXPECT_EQ(c.alpha, 1.0f);
        EXPECT_EQ(c.shown, 1);
        if (a.goodsNoArr[i] == "RED") {
            EXPECT_EQ(c.red, 1.0f);
            EXPECT_EQ(c.green, 0.0f);
            EXPECT_EQ(c.blue, 0.0f);
        } else {
            EXPECT_EQ(c.red, 0.0f);
            EXPECT_EQ(c.blue, 1.0f);
        }
    }
}

// A colour text that is not three numbers keeps the random colour and the
// rest of the plan still loads; parts after the third are ignored.
TEST_F(PlanLoad, BadColourTextsKeepRandomColours) {
    addVehicle(db.conn, {"V", "v", 4000, 1000, 1000, 100000, "m"});
    addGoods(db.conn, {"BAD", "x", "b", 1, "1", 1000, 1000, 1000, 1, "12,abc,3"});
    addGoods(db.conn, {"EMP", "x", "b", 1, "1", 1000, 1000, 1000, 1, ""});
    addGoods(db.conn, {"TWO", "x", "b", 1, "1", 1000, 1000, 1000, 1, "1,2"});
    addGoods(db.conn, {"FOUR", "x", "b", 1, "1", 1000, 1000, 1000, 1, "51,102 ,255,7"});
    ASSERT_TRUE(
        addOrder(db.conn, {"C1", "n", "", "V", "", ""}, {{"BAD", 1}, {"EMP", 1}, {"TWO", 1}, {"FOUR", 1}}).complete());
    tms::countXYZ(db.conn, "C1", 1, show, scene);
    ASSERT_EQ(show.planCount, 4);
    for (int i = 0; i < 4; ++i) {
        const tms::color& c = show.planArr.colorArr[i];
        SCOPED_TRACE(show.planArr.goodsNoArr[i]);
        if (show.planArr.goodsNoArr[i] == "FOUR") {
            EXPECT_FLOAT_EQ(c.red, 0.2f);
            EXPECT_FLOAT_EQ(c.green, 0.4f);
            EXPECT_FLOAT_EQ(c.blue, 1.0f);
        } else {
            EXPECT_TRUE(multipleOf10000th(c.red) && multipleOf10000th(c.green) && multipleOf10000th(c.blue))
                << c.red << " " << c.green << " " << c.blue;
        }
    }
    float rgb[3] = {9, 9, 9};
    EXPECT_FALSE(tms::readColorText("1,,3", rgb));
    EXPECT_FALSE(tms::readColorText("1,2,3x", rgb));
    EXPECT_EQ(rgb[0], 9);
    EXPECT_TRUE(tms::readColorText("255,0,0", rgb));
    EXPECT_EQ(rgb[0], 1.0f);
}

// An empty container shows 0% with no kinds and no pieces, never the figures
// of the container shown before; the outline of the order's container is
// still drawn.
TEST_F(PlanLoad, EmptyContainerShowsZeroNotThePreviousFigures) {
    addVehicle(db.conn, {"V", "柜", 1000, 1000, 1000, 100000, "m"});
    addGoods(db.conn, {"G", "x", "b", 1, "1", 1000, 1000, 1000, 1, "1,2,3"});
    ASSERT_TRUE(addOrder(db.conn, {"E1", "n", "", "V", "", ""}, {{"G", 2}}).complete());

    tms::TZXInfo one = tms::getZXInfo(db.conn, "E1", 1);
    EXPECT_EQ(one.zxRate, "100%");
    EXPECT_EQ(one.zxKinds, 1);
    EXPECT_EQ(one.zxPieces, 1);
    tms::TZXInfo none = tms::getZXInfo(db.conn, "E1", 3);
    EXPECT_EQ(none.zxVehicleNo, "V");
    EXPECT_EQ(none.zxVehicleName, "柜");
    EXPECT_EQ(none.zxRate, "0%");
    EXPECT_EQ(none.zxKinds, 0);
    EXPECT_EQ(none.zxPieces, 0);

    tms::countXYZ(db.conn, "E1", 1, show, scene);
    ASSERT_EQ(show.planCount, 1);
    tms::countXYZ(db.conn, "E1", 3, show, scene);
    EXPECT_EQ(show.planCount, 0);
    EXPECT_TRUE(show.planArr.colorArr.empty());
    EXPECT_TRUE(scene.hasOutline);
    EXPECT_NEAR(scene.viewSize, 1.1 * std::sqrt(3e6), 0.01);
}

// An order whose container is not in the catalogue keeps the container
// shown before (size, view extent, outline, number and name) and loads its
// pieces against it; a container of capacity 0 gives an empty ratio instead
// of a division by zero.
TEST_F(PlanLoad, MissingContainerKeepsThePreviousOneAndZeroGivesNoRatio) {
    addVehicle(db.conn, {"V", "v", 1000, 1000, 1000, 100000, "m"});
    addGoods(db.conn, {"G", "x", "b", 1, "1", 500, 500, 500, 1, "1,2,3"});
    ASSERT_TRUE(addOrder(db.conn, {"OK", "n", "", "V", "", ""}, {{"G", 1}}).complete());
    tms::countXYZ(db.conn, "OK", 1, show, scene);
    ASSERT_TRUE(scene.hasOutline);
    const tms::TPlanScene before = scene;

    // A plan row whose order names a container type the catalogue lacks.
    db.conn.Execute("INSERT INTO HoldOrderForm(OrderFormNo, VehicleNo) VALUES ('GONE', 'NOPE')");
    db.conn.Execute(
        "INSERT INTO HoldList(ListId, GoodsNo, OrderFormNo, bcd, bch, bcw, bcd2, bch2, bcw2, "
        "vehicleOrder, PlaceType, floor) VALUES ('G000001', 'G', 'GONE', 0, 0, 0, 500, 500, 500, 1, "
        "'立放，正向', 'G000001')");
    tms::countXYZ(db.conn, "GONE", 1, show, scene);
    EXPECT_TRUE(scene.hasOutline);
    EXPECT_EQ(scene.viewSize, before.viewSize);
    EXPECT_EQ(scene.boxVerts, before.boxVerts);
    EXPECT_EQ(show.curBox.vehicleNo, "V");
    EXPECT_EQ(show.curBox.L, 1000);
    ASSERT_EQ(show.planCount, 1);
    EXPECT_EQ(show.planArr.vertArr[0][0], (tms::TArr::Vertex{-500, -500, -500}));
    const tms::TZXInfo gone = tms::getZXInfo(db.conn, "GONE", 1, tms::getZXInfo(db.conn, "OK", 1));
    EXPECT_EQ(gone.zxVehicleNo, "V");
    EXPECT_EQ(gone.zxVehicleName, "v");
    EXPECT_EQ(gone.zxRate, "");
    EXPECT_EQ(gone.zxPieces, 1);

    // Capacity 0 (a container of size 0).
    addVehicle(db.conn, {"ZERO", "z", 0, 0, 0, 100, "m"});
    db.conn.Execute("UPDATE HoldOrderForm SET VehicleNo = 'ZERO' WHERE OrderFormNo = 'GONE'");
    const tms::TZXInfo zero = tms::getZXInfo(db.conn, "GONE", 1);
    EXPECT_EQ(zero.zxVehicleNo, "ZERO");
    EXPECT_EQ(zero.zxRate, "");
    EXPECT_EQ(zero.zxKinds, 1);
    tms::countXYZ(db.conn, "GONE", 1, show, scene);
    EXPECT_TRUE(scene.hasOutline);
    EXPECT_GT(scene.viewSize, 0.0f);
}

// Ratio kept to 0.01 with ties to even, printed in the general form, also
// through a stored plan; capacities beyond 32 bits.
TEST_F(PlanLoad, RatioRoundingAndCapacity) {
    EXPECT_EQ(tms::ratioText(2, 3), "66.67%");
    EXPECT_EQ(tms::ratioText(1, 2), "50%");
    EXPECT_EQ(tms::ratioText(7, 8), "87.5%");
    EXPECT_EQ(tms::ratioText(5, 5), "100%");
    EXPECT_EQ(tms::ratioText(1, 800), "0.12%");       // 12.5 hundredths: down to the even 12
    EXPECT_EQ(tms::ratioText(625, 100000), "0.62%");  // 62.5 hundredths: down to 62
    EXPECT_EQ(tms::ratioText(3, 800), "0.38%");       // 37.5 hundredths: up to the even 38
    EXPECT_EQ(tms::ratioText(1, 0), "");
    EXPECT_EQ(tms::ratioText(1, -5), "");

    // One 1 mm cube in a 20 x 20 x 2 container: 0.125% shown as 0.12%.
    addVehicle(db.conn, {"TINY", "t", 20, 20, 2, 100, "m"});
    addGoods(db.conn, {"DOT", "x", "b", 1, "1", 1, 1, 1, 0, "1,1,1"});
    ASSERT_TRUE(addOrder(db.conn, {"T1", "n", "", "TINY", "", ""}, {{"DOT", 1}}).complete());
    EXPECT_EQ(tms::getZXInfo(db.conn, "T1", 1).zxRate, "0.12%");

    // A 40-foot container: 12032 x 2352 x 2393 mm passes 2^31 mm³.
    addVehicle(db.conn, {"40", "f", 12032, 2352, 2393, 26700, "m"});
    addGoods(db.conn, {"BIG", "x", "b", 1, "1", 1200, 1000, 1000, 1, "1,1,1"});
    ASSERT_TRUE(addOrder(db.conn, {"F1", "n", "", "40", "", ""}, {{"BIG", 10}}).complete());
    const tms::TZXInfo zx = tms::getZXInfo(db.conn, "F1", 1);
    EXPECT_EQ(zx.zxRate, tms::ratioText(10 * 1.2e9, 12032.0 * 2352 * 2393));
    EXPECT_EQ(zx.zxRate, "17.72%");  // 1.2e10 of 67,720,138,752 mm³
    EXPECT_EQ(zx.zxPieces, 10);
}

// Grid rows by pile and by piece; an order number with a quote is a value
// like any other.
TEST_F(PlanLoad, GridRowsAndQuotedOrderNumber) {
    addVehicle(db.conn, {"V", "v", 2000, 1000, 1000, 100000, "m"});
    addGoods(db.conn, {"A", "x", "b", 1, "1", 1000, 500, 500, 1, "1,2,3"});
    ASSERT_TRUE(addOrder(db.conn, {"O'Q", "n", "", "V", "", ""}, {{"A", 8}}).complete());
    TADOQuery grid(&db.conn);
    tms::TCountOptions opt;
    opt.grid = &grid;
    tms::countXYZ(db.conn, "O'Q", 1, show, scene, opt);
    EXPECT_EQ(show.planCount, 8);
    ASSERT_TRUE(grid.Active());
    int total = 0;
    std::set<QString> piles;
    for (int r = 0; r < grid.RecordCount(); ++r) {
        total += grid.cell(r, grid.fieldIndex("GoodsCount")).toInt();
        piles.insert(grid.cell(r, grid.fieldIndex("goodsfloor")).toString());
    }
    EXPECT_EQ(total, 8);
    EXPECT_EQ(static_cast<int>(piles.size()), grid.RecordCount());
    EXPECT_TRUE(tms::openGridQuery(grid, "O'Q", 1, false));
    EXPECT_EQ(grid.RecordCount(), 8);
    EXPECT_EQ(grid.cell(0, 0).toString(), "A000001");
    EXPECT_EQ(tms::getZXInfo(db.conn, "O'Q", 1).zxPieces, 8);

    const auto lines = tms::summaryLines(tms::getZXInfo(db.conn, "O'Q", 1));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "  货物种类共计：   1  种    数量共计:  8");
    EXPECT_EQ(lines[3], "  装箱率:          100%");
}

// Rows stored out of build order, with cells edited from outside (a corner
// NULL or text, a goods number in other letter case, goods no longer in the
// catalogue, piles without an origin): the pieces come in the order the
// database sorts bcd, bch, bcw, and the pile grid gives the rows of the join
// grouped by every goods and pile column.
TEST_F(PlanLoad, OddRowsLoadInTheDatabasesOrder) {
    addVehicle(db.conn, {"V", "v", 3000, 1000, 1000, 100000, "m"});
    addGoods(db.conn, {"A", "x", "b", 1, "1", 100, 100, 100, 1, "1,2,3"});
    addGoods(db.conn, {"B", "y", "c", 2, "2", 100, 100, 100, 1, "4,5,6"});
    db.conn.Execute("INSERT INTO HoldOrderForm(OrderFormNo, VehicleNo) VALUES ('ODD', 'V')");
    struct R {
        const char *id, *goods;
        QVariant bcd, bch;
        const char* floor;
        QVariant dx;
        const char* place = "立放，正向";
    };
    const QVariant null;
    // Piles without an origin whose order falls to the pile id, the goods
    // and the placement.
    const std::vector<R> rows = {{"A000005", "A", 300, 0, "A000001", 0},
                                 {"A000002", "a", 100, 0, "A000001", 0},
                                 {"B000003", "B", 100, 100, "P1", null},
                                 {"A000004", "A", null, 0, "P2", null},
                                 {"C000001", "C", 0, 0, "C000001", 0},
                                 {"B000001", "b", QString("x"), 0, "P1", null},
                                 {"A000001", "A", 0, 200, "A000001", 0},
                                 {"A000003", "A", 100, 0, "P3", null},
                                 {"A000006", "A", 200, 0, "P3", null, "卧放，正向"},
                                 {"B000002", "B", 100, 0, "B000002", 5},
                                 {"B000004", "B", 400, 0, "P2", null}};
    for (const R& r : rows)
        db.conn.Execute(
            "INSERT INTO HoldList(ListId, GoodsNo, OrderFormNo, bcd, bch, bcw, bcd2, bch2, bcw2, vehicleOrder, "
            "PlaceType, floor, dx, dy, dz) VALUES (?, ?, 'ODD', ?, ?, 0, 0, 0, 0, 1, ?, ?, ?, 0, 0)",
            {r.id, r.goods, r.bcd, r.bch, r.place, r.floor, r.dx});
    TADOQuery grid(&db.conn);
    tms::TCountOptions opt;
    opt.grid = &grid;
    tms::countXYZ(db.conn, "ODD", 1, show, scene, opt);

    TADOQuery want(&db.conn);
    want.setSQL(
        "SELECT A.ListId FROM HoldList A, HoldGoods B WHERE A.GoodsNo = B.GoodsNo AND A.OrderFormNo = 'ODD' "
        "ORDER BY A.bcd, A.bch, A.bcw");
    want.Open();
    ASSERT_EQ(show.planCount, 10);
    ASSERT_EQ(want.RecordCount(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(show.planArr.idArr[i], want.cell(i, 0).toString().toStdString()) << i;

    want.Close();
    want.setSQL(
        "SELECT DISTINCT HoldGoods.GoodsNo AS gid, HoldGoods.GoodsName, HoldGoods.Brand AS GoodsBrand, "
        "HoldGoods.Model AS GoodsModel, HoldGoods.Color AS color, count(HoldGoods.GoodsNo) AS GoodsCount, "
        "HoldGoods.Length AS GoodsLength, HoldGoods.Width AS GoodsWidth, HoldGoods.Height AS GoodsHeight, "
        "HoldList.PlaceType AS goodsbffs, HoldList.floor AS goodsfloor, HoldList.dx, HoldList.dy, HoldList.dz "
        "FROM HoldList, HoldGoods WHERE HoldList.GoodsNo = HoldGoods.GoodsNo AND HoldList.OrderFormNo = 'ODD' "
        "GROUP BY HoldGoods.GoodsNo, HoldGoods.GoodsName, HoldGoods.Brand, HoldGoods.Model, HoldGoods.Color, "
        "HoldGoods.Length, HoldGoods.Width, HoldGoods.Height, HoldList.PlaceType, HoldList.floor, "
        "HoldList.dx, HoldList.dy, HoldList.dz "
        "ORDER BY HoldList.dx, HoldList.dy, HoldList.dz, HoldList.floor, HoldGoods.GoodsNo, HoldList.PlaceType");
    want.Open();
    ASSERT_EQ(grid.RecordCount(), want.RecordCount());
    ASSERT_EQ(grid.FieldCount(), want.FieldCount());
    for (int r = 0; r < want.RecordCount(); ++r)
        for (int c = 0; c < want.FieldCount(); ++c) {
            EXPECT_EQ(grid.Fields(c).FieldName(), want.Fields(c).FieldName());
            EXPECT_EQ(grid.cell(r, c), want.cell(r, c)) << r << ", " << c;
        }
}

// Shades against the formulas: L' of each face kind and unchanged hue and
// saturation, including the grey case and black and white.
TEST(Shading, FacesOfSeveralColours) {
    auto shade = [](void (*f)(float&, float&, float&), float r, float g, float b) {
        f(r, g, b);
        return std::array<float, 3>{r, g, b};
    };
    using A = std::array<float, 3>;
    // Pure red: L 0.5.
    EXPECT_EQ(shade(tms::getZL, 1, 0, 0), (A{1, 0, 0}));
    A cl = shade(tms::getCL, 1, 0, 0);
    EXPECT_FLOAT_EQ(cl[0], 0.92f);
    EXPECT_FLOAT_EQ(cl[1], 0.0f);
    A an = shade(tms::getAN, 1, 0, 0);
    EXPECT_FLOAT_EQ(an[0], 0.8f);
    EXPECT_NEAR(an[1], 0.0f, 1e-7);
    // Black: ZL lightens to grey 1/6; AN and CL keep black.
    A zl = shade(tms::getZL, 0, 0, 0);
    EXPECT_FLOAT_EQ(zl[0], 1.0f / 6);
    EXPECT_FLOAT_EQ(zl[1], 1.0f / 6);
    EXPECT_FLOAT_EQ(zl[2], 1.0f / 6);
    EXPECT_EQ(shade(tms::getAN, 0, 0, 0), (A{0, 0, 0}));
    EXPECT_EQ(shade(tms::getCL, 0, 0, 0), (A{0, 0, 0}));
    // White.
    EXPECT_EQ(shade(tms::getZL, 1, 1, 1), (A{1, 1, 1}));
    EXPECT_EQ(shade(tms::getCL, 1, 1, 1), (A{0.46f, 0.46f, 0.46f}));
    EXPECT_EQ(shade(tms::getAN, 1, 1, 1), (A{0.4f, 0.4f, 0.4f}));
    // A dark grey (L 0.3): ZL 0.3 + 0.2/3, AN 0.2, CL kept.
    A g = shade(tms::getZL, 0.3f, 0.3f, 0.3f);
    EXPECT_NEAR(g[0], 0.3 + 0.2 / 3, 1e-6);
    EXPECT_EQ(g[0], g[2]);
    EXPECT_NEAR(shade(tms::getAN, 0.3f, 0.3f, 0.3f)[1], 0.2, 1e-6);
    EXPECT_EQ(shade(tms::getCL, 0.3f, 0.3f, 0.3f), (A{0.3f, 0.3f, 0.3f}));
    // A dark blue-green (0.1, 0.3, 0.2): H 150, S 0.5, L 0.2.
    double H, S, L;
    tms::RGB2HSL(0.1, 0.3, 0.2, H, S, L);
    EXPECT_NEAR(H, 150, 1e-9);
    EXPECT_NEAR(S, 0.5, 1e-9);
    EXPECT_NEAR(L, 0.2, 1e-9);
    A d = shade(tms::getZL, 0.1f, 0.3f, 0.2f);  // L 0.3: (0.15, 0.45, 0.3)
    EXPECT_NEAR(d[0], 0.15, 1e-6);
    EXPECT_NEAR(d[1], 0.45, 1e-6);
    EXPECT_NEAR(d[2], 0.30, 1e-6);
    A e = shade(tms::getAN, 0.1f, 0.3f, 0.2f);  // L 0.2 * 2/3
    EXPECT_NEAR(e[0], 0.2 / 3 * 1, 1e-6);
    EXPECT_NEAR(e[1], 0.2, 1e-6);
    // A light colour (0.8, 0.9, 1.0): L 0.9 >= 0.5, so CL sets 0.46, AN 0.4.
    A f = shade(tms::getCL, 0.8f, 0.9f, 1.0f);
    tms::RGB2HSL(f[0], f[1], f[2], H, S, L);
    EXPECT_NEAR(L, 0.46, 1e-6);
    EXPECT_NEAR(H, 210, 1e-4);
    // Ties of the maximum: the first component equal to it decides the hue.
    tms::RGB2HSL(1, 1, 0, H, S, L);
    EXPECT_NEAR(H, 60, 1e-12);
    // A hue out of range even after the correction says so and gives 0.
    std::vector<std::string> said;
    tms::setShadingMessage([&](const std::string& m) { said.push_back(m); });
    EXPECT_EQ(tms::HueToRGB(0.2, 0.8, -500), 0);
    EXPECT_EQ(tms::HueToRGB(0.2, 0.8, -360.5), 0);
    tms::setShadingMessage({});
    EXPECT_EQ(said, (std::vector<std::string>{"h= -140 error!", "h= -0.5 error!"}));
}

// The shade each pair of faces gets follows the goods dimension across it.
TEST(Shading, FacesByPlacement) {
    tms::TFaceShades s;
    ASSERT_TRUE(tms::faceShadesOf("立放，正向", s));
    EXPECT_EQ(s.x, tms::TShade::ZL);
    EXPECT_EQ(s.y, tms::TShade::CL);
    EXPECT_EQ(s.z, tms::TShade::AN);
    ASSERT_TRUE(tms::faceShadesOf("卧放，正向", s));
    EXPECT_EQ(s.x, tms::TShade::AN);
    EXPECT_EQ(s.y, tms::TShade::ZL);
    EXPECT_EQ(s.z, tms::TShade::CL);
    ASSERT_TRUE(tms::faceShadesOf("侧放，横向", s));
    EXPECT_EQ(s.x, tms::TShade::CL);
    EXPECT_EQ(s.y, tms::TShade::AN);
    EXPECT_EQ(s.z, tms::TShade::ZL);
    EXPECT_FALSE(tms::faceShadesOf("", s));
    EXPECT_FALSE(tms::faceShadesOf("OUT", s));
}
