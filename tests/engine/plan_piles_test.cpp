// Pile grouping on hand-made plan rows.

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

#include "engine/PlanRows.h"

using tms::PlanRow;

namespace {

PlanRow piece(const std::string& id, const std::string& goods, double x, double y, double z, double a, double b,
              double c, int container = 1) {
    PlanRow r;
    r.listId = id;
    r.goodsNo = goods;
    r.bcd = x;
    r.bch = y;
    r.bcw = z;
    r.bcd2 = x + a;
    r.bch2 = y + b;
    r.bcw2 = z + c;
    r.vehicleOrder = container;
    r.placeType = "立放，正向";
    return r;
}

const PlanRow& byId(const std::vector<PlanRow>& rows, const std::string& id) {
    auto it = std::find_if(rows.begin(), rows.end(), [&](const PlanRow& r) { return r.listId == id; });
    if (it == rows.end()) throw std::runtime_error("no row " + id);
    return *it;
}

void expectPile(const std::vector<PlanRow>& rows, const std::string& id, const std::string& pile, double dx, double dy,
                double dz) {
    const PlanRow& r = byId(rows, id);
    EXPECT_EQ(r.floor, pile) << id;
    EXPECT_TRUE(r.hasOrigin) << id;
    EXPECT_EQ(r.dx, dx) << id;
    EXPECT_EQ(r.dy, dy) << id;
    EXPECT_EQ(r.dz, dz) << id;
}

}  // namespace

TEST(Piles, TouchingPiecesAlongZJoinAndAGapOrOtherExtentSplits) {
    std::vector<PlanRow> rows = {
        piece("A000001", "A", 0, 0, 0, 600, 300, 400),
        piece("A000002", "A", 0, 0, 400, 600, 300, 400),     // touches: joins
        piece("A000003", "A", 0, 0, 800.5, 600, 300, 400),   // 0.5 mm gap: new pile
        piece("A000004", "A", 0, 0, 1200.5, 600, 300, 400),  // touches the third
        piece("A000005", "A", 0, 0, 1600.5, 400, 300, 600),  // touches, other orientation
    };
    tms::groupPiles(rows);
    expectPile(rows, "A000001", "A000001", 0, 0, 0);
    expectPile(rows, "A000002", "A000001", 0, 0, 0);
    expectPile(rows, "A000003", "A000003", 0, 0, 800.5);
    expectPile(rows, "A000004", "A000003", 0, 0, 800.5);
    expectPile(rows, "A000005", "A000005", 0, 0, 1600.5);
}

TEST(Piles, DifferentGoodsNeverShareAPileEvenWhenTheyTouch) {
    // Goods numbers that differ only in letter case are different goods.
    std::vector<PlanRow> rows = {
        piece("A000001", "A", 0, 0, 0, 600, 300, 400),
        piece("B000001", "B", 0, 0, 400, 600, 300, 400),
        piece("B000002", "B", 0, 300, 0, 600, 300, 400),
        piece("b000001", "b", 600, 300, 0, 600, 300, 400),  // in front of B000002
        piece("B000003", "B", 600, 0, 0, 600, 300, 400),    // under b000001

    };
    tms::groupPiles(rows);
    expectPile(rows, "A000001", "A000001", 0, 0, 0);
    expectPile(rows, "B000001", "B000001", 0, 0, 400);
    expectPile(rows, "B000002", "B000002", 0, 300, 0);
    expectPile(rows, "b000001", "b000001", 600, 300, 0);
    expectPile(rows, "B000003", "B000003", 600, 0, 0);
}

TEST(Piles, StackedPiecesTakeThePileOfTheBottomPiece) {
    // A column of three, the top one written first; a fourth piece of the
    // same footprint above a gap, and one of another footprint on top.
    std::vector<PlanRow> rows = {
        piece("G000003", "G", 0, 600, 0, 500, 300, 400),  piece("G000001", "G", 0, 0, 0, 500, 300, 400),
        piece("G000002", "G", 0, 300, 0, 500, 300, 400),  piece("G000004", "G", 0, 901, 0, 500, 300, 400),
        piece("G000005", "G", 0, 1201, 0, 400, 300, 500),
    };
    tms::groupPiles(rows);
    expectPile(rows, "G000001", "G000001", 0, 0, 0);
    expectPile(rows, "G000002", "G000001", 0, 0, 0);
    expectPile(rows, "G000003", "G000001", 0, 0, 0);
    expectPile(rows, "G000004", "G000004", 0, 901, 0);
    expectPile(rows, "G000005", "G000005", 0, 1201, 0);
}

TEST(Piles, PiecesInARowAlongXJoinThePileOfTheFrontPiece) {
    std::vector<PlanRow> rows = {
        piece("G000002", "G", 500, 0, 0, 500, 300, 400), piece("G000001", "G", 0, 0, 0, 500, 300, 400),
        piece("G000003", "G", 1000, 0, 0, 500, 300, 400),
        piece("G000004", "G", 1500, 0, 0, 500, 301, 400),  // other height: new pile
    };
    tms::groupPiles(rows);
    expectPile(rows, "G000001", "G000001", 0, 0, 0);
    expectPile(rows, "G000002", "G000001", 0, 0, 0);
    expectPile(rows, "G000003", "G000001", 0, 0, 0);
    expectPile(rows, "G000004", "G000004", 1500, 0, 0);
}

TEST(Piles, ARegularBlockIsOnePileOfItsCornerPieceWhateverTheRowOrder) {
    // 3 along X, 2 up, 4 across; the ids run in an order unrelated to the
    // positions, so the pile id shows which piece is the corner one.
    std::vector<PlanRow> rows;
    int serial = 100;
    std::string corner;
    for (int k = 3; k >= 0; --k)
        for (int j = 1; j >= 0; --j)
            for (int i = 0; i < 3; ++i) {
                const std::string id = "K000" + std::to_string(serial++);
                if (i == 0 && j == 0 && k == 0) corner = id;
                rows.push_back(piece(id, "K", 200 + i * 600.0, j * 300.0, 50 + k * 400.0, 600, 300, 400, 2));
            }
    std::mt19937 rng(7);
    std::shuffle(rows.begin(), rows.end(), rng);
    int steps = 0;
    tms::groupPiles(rows, [&] { ++steps; });
    EXPECT_EQ(steps, 3 * 24);
    for (const PlanRow& r : rows) expectPile(rows, r.listId, corner, 200, 0, 50);
}

TEST(Piles, APileNeedNotBeACuboid) {
    // Two pieces side by side along Z, a third on top of the first only, and
    // a fourth in front of the first along X: all four end in one pile.
    std::vector<PlanRow> rows = {
        piece("L000001", "L", 0, 0, 0, 500, 300, 400),
        piece("L000002", "L", 0, 0, 400, 500, 300, 400),
        piece("L000003", "L", 0, 300, 0, 500, 300, 400),
        piece("L000004", "L", 500, 0, 0, 500, 300, 400),
    };
    tms::groupPiles(rows);
    for (const char* id : {"L000001", "L000002", "L000003", "L000004"}) expectPile(rows, id, "L000001", 0, 0, 0);

    // The passes do not close a pile under touching: a piece stacked on a
    // piece that only the last pass (along X) joins keeps the pile that
    // stacking gave it.
    std::vector<PlanRow> l2 = {
        piece("M000001", "M", 0, 0, 0, 500, 300, 400),
        piece("M000002", "M", 500, 0, 0, 500, 300, 400),
        piece("M000003", "M", 500, 300, 0, 500, 300, 400),
        piece("M000004", "M", 0, 0, 400, 500, 300, 400),
    };
    tms::groupPiles(l2);
    expectPile(l2, "M000001", "M000001", 0, 0, 0);
    expectPile(l2, "M000004", "M000001", 0, 0, 0);
    expectPile(l2, "M000002", "M000001", 0, 0, 0);
    expectPile(l2, "M000003", "M000002", 500, 0, 0);
}

TEST(Piles, ContainersAreGroupedApartAndRowsWithoutAContainerAreLeftAlone) {
    std::vector<PlanRow> rows = {
        piece("A000001", "A", 0, 0, 0, 600, 300, 400, 1),
        piece("A000002", "A", 0, 0, 400, 600, 300, 400, 2),
        piece("A000003", "A", 0, 0, 0, 600, 300, 400, 2),
        piece("A000004", "A", 0, 0, 400, 600, 300, 400, 0),
    };
    int steps = 0;
    tms::groupPiles(rows, [&] { ++steps; });
    EXPECT_EQ(steps, 9);
    expectPile(rows, "A000001", "A000001", 0, 0, 0);
    expectPile(rows, "A000003", "A000003", 0, 0, 0);
    expectPile(rows, "A000002", "A000003", 0, 0, 0);
    EXPECT_EQ(byId(rows, "A000004").floor, "");
    EXPECT_FALSE(byId(rows, "A000004").hasOrigin);
}

TEST(Piles, WithoutPilesTheGoodsNumberIsThePileAndThereIsNoOrigin) {
    std::vector<PlanRow> rows = {
        piece("A000001", "A", 0, 0, 0, 600, 300, 400),
        piece("A000002", "A", 0, 0, 400, 600, 300, 400),
    };
    tms::groupPiles(rows);
    tms::setGoodsAsFloor(rows);
    for (const PlanRow& r : rows) {
        EXPECT_EQ(r.floor, "A");
        EXPECT_FALSE(r.hasOrigin);
    }
}
