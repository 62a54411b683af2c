#include "engine/PlanRows.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

#include "platform/AdoDb.h"

namespace tms {

namespace {

// The plan table compares goods numbers ignoring the case of ASCII letters
// (and orders them so); the pile walk visits rows in that order but joins
// only pieces whose goods numbers are exactly equal.
int compareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

struct Key {
    int sortRank;    // rank of the goods number in the table's text order
    int goodsId;     // same id exactly when the goods numbers are equal
    double near[3];  // X, Y, Z
    double far[3];
};

// One pile pass. Rows are walked in the order goods, then the near and far
// coordinates of axis p, of axis q and of the joining axis j. A row of the
// same goods with equal p and q extents whose near j equals the end of the
// chain so far joins the chain.
struct Pass {
    int p, q, j;
    bool firstPass;  // rows that start a chain become piles of their own
};

constexpr int X = 0, Y = 1, Z = 2;
constexpr Pass kPasses[3] = {
    {X, Y, Z, true},   // join along Z (width)
    {X, Z, Y, false},  // stack along Y (height)
    {Z, Y, X, false},  // join along X (length)
};

void runPass(const Pass& pass, std::vector<int>& idx, const std::vector<Key>& keys, std::vector<PlanRow>& rows,
             const PlanStep& step) {
    const int p = pass.p, q = pass.q, j = pass.j;
    std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
        const Key& ka = keys[a];
        const Key& kb = keys[b];
        if (ka.sortRank != kb.sortRank) return ka.sortRank < kb.sortRank;
        const double va[6] = {ka.near[p], ka.far[p], ka.near[q], ka.far[q], ka.near[j], ka.far[j]};
        const double vb[6] = {kb.near[p], kb.far[p], kb.near[q], kb.far[q], kb.near[j], kb.far[j]};
        for (int i = 0; i < 6; ++i)
            if (va[i] != vb[i]) return va[i] < vb[i];
        return false;
    });
    if (idx.empty()) return;

    // The reference is taken from the first row before the walk; the first
    // row is then compared with it like every other row.
    int ref = idx.front();
    double end = keys[ref].far[j];
    std::string pile = pass.firstPass ? rows[ref].listId : rows[ref].floor;
    double origin[3];
    if (pass.firstPass) {
        origin[0] = keys[ref].near[X];
        origin[1] = keys[ref].near[Y];
        origin[2] = keys[ref].near[Z];
    } else {
        origin[0] = rows[ref].dx;
        origin[1] = rows[ref].dy;
        origin[2] = rows[ref].dz;
    }

    for (int i : idx) {
        const Key& k = keys[i];
        const Key& r = keys[ref];
        PlanRow& row = rows[i];
        const bool joins = k.goodsId == r.goodsId && k.near[p] == r.near[p] && k.far[p] == r.far[p] &&
                           k.near[q] == r.near[q] && k.far[q] == r.far[q] && k.near[j] == end;
        if (joins) {
            row.floor = pile;
            row.dx = origin[0];
            row.dy = origin[1];
            row.dz = origin[2];
            row.hasOrigin = true;
            end = k.far[j];
        } else {
            if (pass.firstPass) {
                row.floor = row.listId;
                row.dx = k.near[X];
                row.dy = k.near[Y];
                row.dz = k.near[Z];
                row.hasOrigin = true;
            }
            ref = i;
            end = k.far[j];
            pile = row.floor;
            origin[0] = row.dx;
            origin[1] = row.dy;
            origin[2] = row.dz;
        }
        if (step) step();
    }
}

void insertRows(TADOConnection& conn, const std::string& order, const std::vector<PlanRow>& rows, bool withPiles,
                const PlanStep& step) {
    {
        TPreparedStatement del(conn, QStringLiteral("delete from HoldList where OrderFormNo = ?"));
        del.bindText(1, order);
        del.run();
    }
    TPreparedStatement ins(conn, withPiles
                                     ? "insert into HoldList(ListId,GoodsNo,OrderFormNo,bcd,bch,bcw,bcd2,bch2,bcw2,"
                                       "vehicleOrder,PlaceType,floor,dx,dy,dz) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"
                                     : "insert into HoldList (ListId,GoodsNo,OrderFormNo,bcd,bch,bcw,bcd2,bch2,bcw2,"
                                       "vehicleOrder,PlaceType,floor) values (?,?,?,?,?,?,?,?,?,?,?,?)");
    for (const PlanRow& r : rows) {
        ins.bindText(1, r.listId);
        ins.bindText(2, r.goodsNo);
        ins.bindText(3, order);
        ins.bindDouble(4, r.bcd);
        ins.bindDouble(5, r.bch);
        ins.bindDouble(6, r.bcw);
        ins.bindDouble(7, r.bcd2);
        ins.bindDouble(8, r.bch2);
        ins.bindDouble(9, r.bcw2);
        ins.bindInt(10, r.vehicleOrder);
        ins.bindText(11, r.placeType);
        if (withPiles && !r.hasOrigin)
            ins.bindNull(12);  // a row no pile pass reached
        else
            ins.bindText(12, r.floor);
        if (withPiles) {
            if (r.hasOrigin) {
                ins.bindDouble(13, r.dx);
                ins.bindDouble(14, r.dy);
                ins.bindDouble(15, r.dz);
            } else {
                ins.bindNull(13);
                ins.bindNull(14);
                ins.bindNull(15);
            }
        }
        ins.run();
        if (step) step();
    }
}

}  // namespace

void groupPiles(std::vector<PlanRow>& rows, const PlanStep& step) {
    // Goods ranks: the text order of the table for sorting, exact identity
    // for joining.
    std::map<std::string, int> exactIds;
    for (const PlanRow& r : rows) exactIds.emplace(r.goodsNo, 0);
    std::vector<const std::string*> names;
    names.reserve(exactIds.size());
    int id = 0;
    for (auto& [name, value] : exactIds) {
        value = id++;
        names.push_back(&name);
    }
    std::vector<const std::string*> byText = names;
    std::stable_sort(byText.begin(), byText.end(),
                     [](const std::string* a, const std::string* b) { return compareNoCase(*a, *b) < 0; });
    std::map<std::string, int> sortRanks;
    int rank = 0;
    for (size_t i = 0; i < byText.size(); ++i) {
        if (i > 0 && compareNoCase(*byText[i - 1], *byText[i]) != 0) ++rank;
        sortRanks[*byText[i]] = rank;
    }

    std::vector<Key> keys(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const PlanRow& r = rows[i];
        keys[i] = Key{sortRanks[r.goodsNo], exactIds[r.goodsNo], {r.bcd, r.bch, r.bcw}, {r.bcd2, r.bch2, r.bcw2}};
    }

    // Containers are grouped one after the other, from number 1 up; rows
    // without a container number belong to no pile.
    std::vector<int> order;
    order.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].vehicleOrder >= 1) order.push_back(static_cast<int>(i));
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return rows[a].vehicleOrder < rows[b].vehicleOrder; });

    std::vector<int> idx;
    for (size_t begin = 0; begin < order.size();) {
        size_t end = begin;
        while (end < order.size() && rows[order[end]].vehicleOrder == rows[order[begin]].vehicleOrder) ++end;
        for (const Pass& pass : kPasses) {
            idx.assign(order.begin() + static_cast<std::ptrdiff_t>(begin),
                       order.begin() + static_cast<std::ptrdiff_t>(end));
            runPass(pass, idx, keys, rows, step);
        }
        begin = end;
    }
}

void setGoodsAsFloor(std::vector<PlanRow>& rows) {
    for (PlanRow& r : rows) {
        r.floor = r.goodsNo;
        r.hasOrigin = false;
        r.dx = r.dy = r.dz = 0;
    }
}

void writePlanRows(TADOConnection& conn, const std::string& order, const std::vector<PlanRow>& rows, bool withPiles,
                   const PlanStep& step) {
    // Inside the caller's transaction a failure undoes this write only.
    TNestedTransaction t(conn, "plan_rows");
    insertRows(conn, order, rows, withPiles, step);
    t.Commit();
}

int storedContainerCount(TADOConnection& conn, const std::string& order) {
    TADOQuery q(&conn);
    q.setSQL(QStringLiteral("SELECT max(vehicleOrder) as Sm FROM HoldList where OrderFormNo = ?"));
    q.bind(1, QString::fromStdString(order));
    q.Open();
    const int n = q.IsEmpty() ? 0 : q.FieldByName(QStringLiteral("Sm")).AsInteger();
    q.Close();
    return n;
}

}  // namespace tms
