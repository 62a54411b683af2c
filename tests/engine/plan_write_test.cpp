// Writing plan rows to the keyed database file.

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

#include "engine/PlanRows.h"
#include "tests/support/TestDb.h"

using tms::PlanRow;

namespace {

PlanRow piece(const std::string& id, const std::string& goods, double x, double y, double z, int container = 1) {
    PlanRow r;
    r.listId = id;
    r.goodsNo = goods;
    r.bcd = x;
    r.bch = y;
    r.bcw = z;
    r.bcd2 = x + 600;
    r.bch2 = y + 300;
    r.bcw2 = z + 412.5;
    r.vehicleOrder = container;
    r.placeType = "侧放，正向";
    return r;
}

std::vector<PlanRow> twoPieces(const std::string& goods) {
    return {piece(goods + "000001", goods, 0, 0, 0), piece(goods + "000002", goods, 0, 0, 412.5)};
}

int rowCount(TADOConnection& c, const QString& order) {
    TADOQuery q(&c);
    q.setSQL("select count(*) as n from HoldList where OrderFormNo = ?");
    q.bind(1, order);
    q.Open();
    return q.FieldByName("n").AsInteger();
}

}  // namespace

TEST(PlanWrite, WithPilesEveryColumnIsStoredAsGiven) {
    TestDb db;
    auto rows = twoPieces("G'1");  // a quote in the goods number
    tms::groupPiles(rows);
    tms::writePlanRows(db.conn, "O'1", rows, true);

    TADOQuery q(&db.conn);
    q.setSQL("select * from HoldList where OrderFormNo = ? order by ListId");
    q.bind(1, QString("O'1"));
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("ListId").AsString(), "G'1000001");
    EXPECT_EQ(q.FieldByName("GoodsNo").AsString(), "G'1");
    EXPECT_EQ(q.FieldByName("PlaceType").AsString(), "侧放，正向");
    EXPECT_EQ(q.FieldByName("bcw2").AsFloat(), 412.5);
    EXPECT_EQ(q.FieldByName("bcd2").AsFloat(), 600);
    EXPECT_EQ(q.FieldByName("vehicleOrder").AsInteger(), 1);
    q.Next();
    EXPECT_EQ(q.FieldByName("bcw").AsFloat(), 412.5);
    EXPECT_EQ(q.FieldByName("floor").AsString(), "G'1000001");
    EXPECT_FALSE(q.FieldByName("dz").IsNull());
    EXPECT_EQ(q.FieldByName("dz").AsFloat(), 0);
}

TEST(PlanWrite, WithoutPilesTheGoodsNumberIsThePileAndTheOriginStaysEmpty) {
    TestDb db;
    auto rows = twoPieces("G1");
    tms::setGoodsAsFloor(rows);
    int steps = 0;
    tms::writePlanRows(db.conn, "O1", rows, false, [&] { ++steps; });
    EXPECT_EQ(steps, 2);

    TADOQuery q(&db.conn);
    q.setSQL("select floor,dx,dy,dz from HoldList where OrderFormNo = 'O1'");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    for (q.First(); !q.Eof(); q.Next()) {
        EXPECT_EQ(q.FieldByName("floor").AsString(), "G1");
        EXPECT_TRUE(q.FieldByName("dx").IsNull());
        EXPECT_TRUE(q.FieldByName("dy").IsNull());
        EXPECT_TRUE(q.FieldByName("dz").IsNull());
    }
}

TEST(PlanWrite, AFailurePartWayLeavesTheDatabaseAsItWas) {
    TestDb db;
    // The order already has a plan, and another order has one too.
    tms::writePlanRows(db.conn, "O1", twoPieces("OLD"), false);
    tms::writePlanRows(db.conn, "O2", twoPieces("X"), false);
    db.conn.Execute(
        "create trigger stop_third before insert on HoldList when new.ListId = 'G000003' "
        "begin select raise(abort, 'disk full'); end");

    std::vector<PlanRow> rows;
    for (int i = 1; i <= 5; ++i) rows.push_back(piece("G00000" + std::to_string(i), "G", 600.0 * i, 0, 0));
    tms::groupPiles(rows);
    int steps = 0;
    try {
        tms::writePlanRows(db.conn, "O1", rows, true, [&] { ++steps; });
        FAIL() << "the write should fail";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.message().indexOf("disk full"), -1);
    }
    EXPECT_EQ(steps, 2);
    EXPECT_FALSE(db.conn.InTransaction());

    TADOQuery q(&db.conn);
    q.setSQL("select ListId from HoldList where OrderFormNo = 'O1' order by ListId");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("ListId").AsString(), "OLD000001");
    EXPECT_EQ(rowCount(db.conn, "O2"), 2);

    // The same rows go in once the obstacle is gone, replacing the old plan.
    db.conn.Execute("drop trigger stop_third");
    tms::writePlanRows(db.conn, "O1", rows, true);
    EXPECT_EQ(rowCount(db.conn, "O1"), 5);
    EXPECT_EQ(rowCount(db.conn, "O2"), 2);
}

TEST(PlanWrite, InsideACallersTransactionOnlyThisWriteIsUndone) {
    TestDb db;
    db.conn.Execute(
        "create trigger stop_second before insert on HoldList when new.ListId = 'G000002' "
        "begin select raise(abort, 'refused'); end");
    TTransaction t(db.conn);
    db.conn.Execute("insert into HoldOrderForm(OrderFormNo) values ('O1')");
    EXPECT_THROW(tms::writePlanRows(db.conn, "O1", twoPieces("G"), false), EDatabaseError);
    EXPECT_TRUE(db.conn.InTransaction());
    EXPECT_EQ(rowCount(db.conn, "O1"), 0);

    tms::writePlanRows(db.conn, "O1", twoPieces("H"), false);
    t.Commit();
    EXPECT_EQ(rowCount(db.conn, "O1"), 2);
    TADOQuery q(&db.conn);
    q.setSQL("select count(*) as n from HoldOrderForm");
    q.Open();
    EXPECT_EQ(q.FieldByName("n").AsInteger(), 1);
}

TEST(PlanWrite, ContainerCountIsTheLargestNumberAndZeroWithoutRows) {
    TestDb db;
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O1"), 0);
    tms::writePlanRows(db.conn, "O1", {piece("A000001", "A", 0, 0, 0, 1), piece("A000002", "A", 0, 0, 0, 3)}, false);
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O1"), 3);
    EXPECT_EQ(tms::storedContainerCount(db.conn, "O2"), 0);
}

namespace {

// The pile passes as a walk over the stored rows of each container: one
// ordered query per pass, every row compared with the reference row, the
// joined rows updated where they stand.
struct WalkRow {
    qlonglong rowid;
    QString listId, goods, floor;
    double near[3], far[3], origin[3];
};

std::vector<WalkRow> walkQuery(TADOConnection& c, const QString& order, int v, const char* orderBy) {
    TADOQuery q(&c);
    q.setSQL(QString("select rowid as rid,* from HoldList where OrderFormNo = ? and vehicleorder = ? order by ") +
             orderBy);
    q.bind(1, order);
    q.bind(2, v);
    q.Open();
    std::vector<WalkRow> out;
    for (q.First(); !q.Eof(); q.Next())
        out.push_back(
            {q.FieldByName("rid").Value().toLongLong(),
             q.FieldByName("ListId").AsString(),
             q.FieldByName("GoodsNo").AsString(),
             q.FieldByName("floor").AsString(),
             {q.FieldByName("bcd").AsFloat(), q.FieldByName("bch").AsFloat(), q.FieldByName("bcw").AsFloat()},
             {q.FieldByName("bcd2").AsFloat(), q.FieldByName("bch2").AsFloat(), q.FieldByName("bcw2").AsFloat()},
             {q.FieldByName("dx").AsFloat(), q.FieldByName("dy").AsFloat(), q.FieldByName("dz").AsFloat()}});
    return out;
}

void walkPass(TADOConnection& c, const QString& order, int v, const char* orderBy, int p, int q, int j,
              bool firstPass) {
    std::vector<WalkRow> rows = walkQuery(c, order, v, orderBy);
    if (rows.empty()) return;
    WalkRow ref = rows.front();
    double end = ref.far[j];
    if (firstPass) {
        ref.floor = ref.listId;
        std::copy(ref.near, ref.near + 3, ref.origin);
    }
    auto update = [&](const WalkRow& r, const QString& floor, const double* o) {
        c.Execute("update HoldList set floor = ?, dx = ?, dy = ?, dz = ? where rowid = ?",
                  {floor, o[0], o[1], o[2], r.rowid});
    };
    for (WalkRow& r : rows) {
        if (r.goods == ref.goods && r.near[p] == ref.near[p] && r.far[p] == ref.far[p] && r.near[q] == ref.near[q] &&
            r.far[q] == ref.far[q] && r.near[j] == end) {
            update(r, ref.floor, ref.origin);
        } else {
            if (firstPass) {
                r.floor = r.listId;
                std::copy(r.near, r.near + 3, r.origin);
                update(r, r.floor, r.origin);
            }
            ref = r;
        }
        end = r.far[j];
    }
}

void walkPiles(TADOConnection& c, const QString& order) {
    const int sm = tms::storedContainerCount(c, order.toStdString());
    TTransaction t(c);
    for (int v = 1; v <= sm; ++v) {
        walkPass(c, order, v, "goodsNo,bcd,bcd2,bch,bch2,bcw,bcw2", 0, 1, 2, true);
        walkPass(c, order, v, "goodsNo,bcd,bcd2,bcw,bcw2,bch,bch2", 0, 2, 1, false);
        walkPass(c, order, v, "goodsNo,bcw,bcw2,bch,bch2,bcd,bcd2", 2, 1, 0, false);
    }
    t.Commit();
}

std::map<std::string, std::vector<QVariant>> storedPiles(TADOConnection& c, const QString& order) {
    TADOQuery q(&c);
    q.setSQL("select ListId,floor,dx,dy,dz from HoldList where OrderFormNo = ?");
    q.bind(1, order);
    q.Open();
    std::map<std::string, std::vector<QVariant>> out;
    for (q.First(); !q.Eof(); q.Next())
        out[q.FieldByName("ListId").AsString().toStdString()] = {
            q.FieldByName("floor").Value(), q.FieldByName("dx").Value(), q.FieldByName("dy").Value(),
            q.FieldByName("dz").Value()};
    return out;
}

// Pieces of several goods packed without overlap into a few containers,
// most of them in touching rows, in a random order. Goods numbers that
// differ only in letter case sort together in the table but are different
// goods.
std::vector<PlanRow> randomPacking(std::mt19937& rng) {
    struct Kind {
        const char* goods;
        int a, b, c;
    };
    const Kind kinds[] = {{"A", 2, 1, 1}, {"a", 2, 1, 1}, {"B", 1, 1, 2}, {"b", 1, 2, 1}, {"A-1", 1, 1, 1}};
    constexpr int NX = 8, NY = 5, NZ = 5;
    std::vector<PlanRow> rows;
    int serial = 0;
    for (int v = 1; v <= 3; ++v) {
        bool used[NX][NY][NZ] = {};
        const Kind* kind = &kinds[rng() % 5];
        bool turned = false;
        for (int x = 0; x < NX; ++x)
            for (int y = 0; y < NY; ++y)
                for (int z = 0; z < NZ; ++z) {
                    if (used[x][y][z] || rng() % 8 == 0) continue;
                    if (rng() % 4 == 0) {
                        kind = &kinds[rng() % 5];
                        turned = rng() % 2 == 0;
                    }
                    const int a = turned ? kind->c : kind->a, c = turned ? kind->a : kind->c, b = kind->b;
                    if (x + a > NX || y + b > NY || z + c > NZ) continue;
                    bool free = true;
                    for (int i = x; i < x + a; ++i)
                        for (int k = y; k < y + b; ++k)
                            for (int l = z; l < z + c; ++l) free = free && !used[i][k][l];
                    if (!free) continue;
                    for (int i = x; i < x + a; ++i)
                        for (int k = y; k < y + b; ++k)
                            for (int l = z; l < z + c; ++l) used[i][k][l] = true;
                    PlanRow r;
                    r.goodsNo = kind->goods;
                    r.listId = r.goodsNo + std::to_string(100000 + ++serial);
                    r.bcd = 300.0 * x;
                    r.bch = 250.0 * y;
                    r.bcw = 400.0 * z;
                    r.bcd2 = 300.0 * (x + a);
                    r.bch2 = 250.0 * (y + b);
                    r.bcw2 = 400.0 * (z + c);
                    r.vehicleOrder = v;
                    r.placeType = "立放，正向";
                    rows.push_back(r);
                }
    }
    std::shuffle(rows.begin(), rows.end(), rng);
    return rows;
}

}  // namespace

TEST(PlanWrite, PilesComputedInMemoryAreThoseOfTheWalkOverTheStoredRows) {
    TestDb db;
    std::mt19937 rng(2024);
    int joined = 0;
    for (int round = 0; round < 12; ++round) {
        const QString walked = QString("W%1").arg(round), grouped = QString("G%1").arg(round);
        std::vector<PlanRow> rows = randomPacking(rng);
        // The walk starts from rows stored without pile id or origin.
        tms::writePlanRows(db.conn, walked.toStdString(), rows, true);
        walkPiles(db.conn, walked);

        tms::groupPiles(rows);
        tms::writePlanRows(db.conn, grouped.toStdString(), rows, true);

        const auto expected = storedPiles(db.conn, walked);
        const auto actual = storedPiles(db.conn, grouped);
        ASSERT_EQ(expected.size(), rows.size());
        ASSERT_EQ(actual.size(), rows.size());
        for (const auto& [id, values] : expected) {
            ASSERT_TRUE(actual.count(id)) << id;
            EXPECT_EQ(actual.at(id), values) << "round " << round << ", " << id;
            if (values[0].toString().toStdString() != id) ++joined;
        }
    }
    EXPECT_GT(joined, 200);  // the packings do chain pieces into piles
}
