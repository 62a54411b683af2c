// The orientation decision of one greedy trial: the order of a piece's
// dimensions, which dimension may lie along which axis, and the choice of the
// orientation in which a piece stands in a free space. The counting loops
// only skip iterations that cannot change the outcome of the plain steps.

#include <algorithm>

#include "engine/TrialIndex.h"
#include "platform/Codes.h"

namespace tms::detail {

// ------------------------------------------------------- dimension order --

PieceKind makeKind(float L, float W, float H, bool canTurn) {
    PieceKind k;
    k.L = L;
    k.W = W;
    k.H = H;
    k.canTurn = canTurn;
    auto set = [&](int order, int r0, int r1, int r2) {
        const float side[3] = {L, W, H};
        k.dimOrder = order;
        k.lwh[0] = r0;
        k.lwh[1] = r1;
        k.lwh[2] = r2;
        for (int i = 0; i < 3; ++i) {
            k.s[i] = side[k.lwh[i]];
            if (k.lwh[i] == 2) k.heightRank = i;
        }
    };
    if (L >= W && L >= H && W >= H)
        set(1, 0, 1, 2);
    else if (L >= W && L >= H && H >= W)
        set(2, 0, 2, 1);
    else if (W >= L && W >= H && L >= H)
        set(3, 1, 0, 2);
    else if (W >= L && W >= H && H >= L)
        set(4, 1, 2, 0);
    else if (H >= L && H >= W && L >= W)
        set(5, 2, 0, 1);
    else if (H >= L && H >= W && W >= L)
        set(6, 2, 1, 0);
    return k;
}

namespace {

// Axis roles by axesNo (0 X, 1 Y, 2 Z).
constexpr int kAxes[6][3] = {{0, 1, 2}, {2, 1, 0}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {0, 1, 2}};

// Orientation index by the side (0 L, 1 W, 2 H) along X, Y and Z.
struct OrientTable {
    int idx[3][3][3];
    OrientTable() {
        for (auto& a : idx)
            for (auto& b : a)
                for (int& c : b) c = -1;
        const auto& all = orientations();
        for (int i = 0; i < 6; ++i) idx[all[i].alongX][all[i].alongY][all[i].alongZ] = i;
    }
};
const OrientTable& orientTable() {
    static const OrientTable t;
    return t;
}

long long truncCount(double q) {
    if (!(q >= 0)) return -1;
    if (q > 9.0e15) return 9000000000000000LL;
    return static_cast<long long>(q);
}

// Largest k in [lo, hi] with E - (base + k*step) >= 0, or lo - 1. The
// leftover falls as k grows, so a guess corrected by single steps is exact.
long long lastFit(double E, double base, double step, long long lo, long long hi) {
    if (hi < lo) return lo - 1;
    const double rem = E - base;
    long long g;
    if (!(rem >= 0)) {
        g = lo;
    } else {
        const double q = rem / step;
        g = q >= static_cast<double>(hi) ? hi : static_cast<long long>(q);
        g = std::clamp(g, lo, hi);
    }
    while (g < hi && E - (base + static_cast<double>(g + 1) * step) >= 0) ++g;
    while (g >= lo && !(E - (base + static_cast<double>(g) * step) >= 0)) --g;
    return g;
}

}  // namespace

// --------------------------------------------------- orientation decision --

}  // namespace tms::detail

namespace tms {

bool TLoadTrial::JudgeBFFS(const detail::PieceKind& k, int axis, int rank) const {
    const bool rule = (!k.canTurn && opts_->directionRestrict) || (opts_->preferUpright && relaxFlag != 1);
    if (!rule) return true;
    if (axis == 1) return rank == k.heightRank;
    return rank != k.heightRank;
}

}  // namespace tms

namespace tms::detail {

namespace {

// What the column search found for one row dimension: the ranks E (re) and
// F (rf) may take along A2, whether any column fits, and the best column
// (m times E, n times F, its leftover) when it improved on nothing at all.
struct ColumnFit {
    bool done = false, any = false, improving = false;
    int re = 0, rf = 0;
    long long m = 0, n = 0;
    double left = 0;
};

// The row the row search chose: the row starts with P (chosen 0, a > 0) or
// holds only Q (chosen 1); its leftover along A1, and the chosen column's
// m and leftover along A2.
struct RowFit {
    bool found = false;
    int chosen = 0;
    double left = 0;
    long long columnM = 0;
    double columnLeft = 0;
};

// One orientation decision: the free space's extents along the trial's
// axes A1..A3 (E1..E3) and the row pair P, Q of the piece's dimensions.
struct OrientationSearch {
    const TLoadTrial& t;
    const PieceKind& k;
    int a1, a2, a3;
    double E1, E2, E3;
    int rank[2];  // the ranks of P and Q
    double P, Q;
    ColumnFit col[2];

    OrientationSearch(const TLoadTrial& trial, const PieceKind& kind, const double ext[3])
        : t(trial),
          k(kind),
          a1(kAxes[trial.axesNo][0]),
          a2(kAxes[trial.axesNo][1]),
          a3(kAxes[trial.axesNo][2]),
          E1(ext[a1]),
          E2(ext[a2]),
          E3(ext[a3]) {
        // The row pair: the smaller of the pair first with firstPref 1.
        static constexpr int kPair[4][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 2}};
        const int big = kPair[t.pairNo][0], small = kPair[t.pairNo][1];
        rank[0] = t.firstPref == 1 ? small : big;
        rank[1] = t.firstPref == 1 ? big : small;
        P = k.s[rank[0]];
        Q = k.s[rank[1]];
    }

    // The column search depends on the row only through the dimension R
    // along the first axis, so it runs at most once for each of P and Q.
    const ColumnFit& column(int which) {
        ColumnFit& c = col[which];
        if (c.done) return c;
        c.done = true;
        const int r = rank[which];
        const int u = r == 0 ? 1 : 0;  // the larger of the other two
        const int v = r == 2 ? 1 : 2;  // the smaller
        const bool eIsU = t.axesNo == 1 ? t.secondPref == 1 : t.secondPref == 0;
        c.re = eIsU ? u : v;
        c.rf = eIsU ? v : u;
        const double E = k.s[c.re], F = k.s[c.rf];
        // m > 0 puts E along A2 and leaves F for A3; m = 0 puts F there and leaves E.
        const bool validE = E3 >= F && t.JudgeBFFS(k, a2, c.re);
        const bool validF = E3 >= E && t.JudgeBFFS(k, a2, c.rf);
        const long long maxM = truncCount(E2 / E), maxN = truncCount(E2 / F);
        double best2 = E2;
        auto visit = [&](long long m) -> bool {  // false: nothing better can come
            const bool valid = m > 0 ? validE : validF;
            if (!valid) return true;
            const long long lo = m == 0 ? 1 : 0;
            const double base = static_cast<double>(m) * E;
            long long nl = lastFit(E2, base, F, lo, maxN);
            if (nl < lo) return true;
            c.any = true;
            const double left = E2 - (base + static_cast<double>(nl) * F);
            if (left < best2) {
                if (t.axesNo == 1)  // n counts up: the first n that leaves the same
                    while (nl > lo && E2 - (base + static_cast<double>(nl - 1) * F) == left) --nl;
                best2 = left;
                c.improving = true;
                c.m = m;
                c.n = nl;
                c.left = left;
            }
            return best2 != 0;
        };
        if (maxM < 0 || maxN < 0) return c;
        if (t.axesNo == 1) {
            if (validE)
                for (long long m = maxM; m >= 1; --m)
                    if (!visit(m)) return c;
            visit(0);
        } else {
            if (!visit(0)) return c;
            if (validE)
                for (long long m = 1; m <= maxM; ++m)
                    if (!visit(m)) return c;
        }
        return c;
    }

    // The row along A1 with the smallest leftover, among rows whose column
    // fits; nothing found when the row counts are no numbers.
    RowFit rows() {
        RowFit row;
        const long long maxA = truncCount(E1 / P), maxB = truncCount(E1 / Q);
        if (maxA < 0 || maxB < 0) return row;
        row.left = E1;
        row.columnLeft = E2;
        auto take = [&](int which, double left) {
            row.left = left;
            row.found = true;
            row.chosen = which;
            const ColumnFit& c = col[which];
            if (c.improving) {
                row.columnM = c.m;
                row.columnLeft = c.left;
            }
        };
        // Rows with a > 0, a falling. For each a the leftover falls as b
        // grows; the last improvement within a is the smallest leftover not
        // below zero.
        if (maxA >= 1 && t.JudgeBFFS(k, a1, rank[0]) && column(0).any) {
            for (long long a = maxA; a >= 1; --a) {
                const double base = static_cast<double>(a) * P;
                const long long b = lastFit(E1, base, Q, 0, maxB);
                if (b < 0) continue;
                const double left = E1 - (base + static_cast<double>(b) * Q);
                if (left < row.left) {
                    take(0, left);
                    if (row.left == 0) break;
                }
            }
        }
        if (!(row.found && row.left == 0) && maxB >= 1 && t.JudgeBFFS(k, a1, rank[1]) && column(1).any) {
            const long long b = lastFit(E1, 0.0, Q, 1, maxB);
            if (b >= 1) {
                const double left = E1 - (0.0 + static_cast<double>(b) * Q);
                if (left < row.left) take(1, left);
            }
        }
        return row;
    }

    // The orientation that lays the chosen row's dimension along A1, the
    // column's along A2 and the third along A3.
    int answer(const RowFit& row) const {
        const ColumnFit& c = col[row.chosen];
        const int rankAlong1 = rank[row.chosen];
        const int rankAlong2 = row.columnM > 0 ? c.re : c.rf;
        const int rankAlong3 = 3 - rankAlong1 - rankAlong2;
        int along[3];
        along[a1] = k.lwh[rankAlong1];
        along[a2] = k.lwh[rankAlong2];
        along[a3] = k.lwh[rankAlong3];
        return orientTable().idx[along[0]][along[1]][along[2]];
    }
};

}  // namespace

int TrialIndex::judge(double len, double hei, double wid, const PieceKind& k) {
    t.dimOrder = k.dimOrder;
    if (k.dimOrder == 0) return -1;
    if (t.axesNo < 1 || t.axesNo > 5 || t.pairNo < 1 || t.pairNo > 3 || t.firstPref < 1 || t.firstPref > 2 ||
        t.secondPref < 0 || t.secondPref > 1)
        return -1;
    const double ext[3] = {len, hei, wid};
    OrientationSearch search(t, k, ext);
    const RowFit row = search.rows();
    if (!row.found) return -1;
    if (t.pairNo != 1 && !(row.left < k.s[0] || (row.left == k.s[0] && row.columnLeft < k.s[0]))) return -1;
    return search.answer(row);
}

int TrialIndex::fits(int pos, const PieceKind& k, int kindId) {
    const int key = kindId < 0 ? -1 : kindId * 2 + (t.relaxFlag == 1 ? 1 : 0);
    if (key >= 0 && fitKey[pos] == key) return fitRes[pos];
    const TSpace& S = *t.spaceList[pos];
    int r;
    // A piece that cannot stand in the space in any way is refused without
    // the counting search. (Valid while the smallest side is not negligible
    // beside the space, which keeps the search's answer a fitting one.)
    double e[3] = {S.len, S.hei, S.wid};
    if (e[0] < e[1]) std::swap(e[0], e[1]);
    if (e[1] < e[2]) std::swap(e[1], e[2]);
    if (e[0] < e[1]) std::swap(e[0], e[1]);
    if (k.dimOrder != 0 && k.s[2] * 1099511627776.0 > e[0] && (k.s[0] > e[0] || k.s[1] > e[1] || k.s[2] > e[2])) {
        t.dimOrder = k.dimOrder;
        r = -1;
    } else {
        r = judge(S.len, S.hei, S.wid, k);
    }
    if (key >= 0) {
        fitKey[pos] = key;
        fitRes[pos] = static_cast<std::int8_t>(r);
    }
    return r;
}

}  // namespace tms::detail
