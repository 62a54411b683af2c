// One greedy trial: the orientation decision, the placement of one piece in
// the free spaces and the merging of new free spaces, with the indexes that
// keep each step from rescanning the whole free-space list.
//
// Every shortcut here gives the answer the plain steps give: the candidate
// index yields the spaces in the order the plain walk would accept them, the
// merge lookup finds exactly the spaces the plain walk would test true, and
// the counting loops of the orientation decision only skip iterations that
// cannot change the outcome.

#include "engine/TrialIndex.h"

#include "platform/Codes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tms {

// ------------------------------------------------------------------ texts --

std::string floatText(double v) {
    if (v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string spaceKey(float x, float y, float z) {
    std::string k = floatText(z);
    k += 'Z';
    k += floatText(y);
    k += 'Y';
    k += floatText(x);
    k += 'X';
    return k;
}

void TSpace::rebuildKey() { key = spaceKey(x, y, z); }

// ------------------------------------------------------------ sweep order --

int trialsPerSweep(TLoadingMode loadingMode) {
    switch (loadingMode) {
    case TLoadingMode::unrestricted: return 240;
    case TLoadingMode::flat:
    case TLoadingMode::upright: return 120;
    }
    return 0;  // a stored code no mode has
}

TSweepParams sweepParams(TLoadingMode loadingMode, int t) {
    TSweepParams p;
    const bool unrestricted = loadingMode == TLoadingMode::unrestricted;
    const int orders = unrestricted ? 2 : 1;
    p.pairNo = t % 3 + 1;
    t /= 3;
    p.splitMode = t % 2;
    t /= 2;
    const int so = t % orders;
    t /= orders;
    p.spaceOrder = unrestricted ? 2 + so : (loadingMode == TLoadingMode::flat ? 5 : 4);
    p.secondPref = t % 2;
    t /= 2;
    p.firstPref = t % 2 + 1;
    t /= 2;
    p.axesNo = t + 1;
    return p;
}

namespace detail {

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
    if (L >= W && L >= H && W >= H) set(1, 0, 1, 2);
    else if (L >= W && L >= H && H >= W) set(2, 0, 2, 1);
    else if (W >= L && W >= H && L >= H) set(3, 1, 0, 2);
    else if (W >= L && W >= H && H >= L) set(4, 1, 2, 0);
    else if (H >= L && H >= W && L >= W) set(5, 2, 0, 1);
    else if (H >= L && H >= W && W >= L) set(6, 2, 1, 0);
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

std::uint64_t bitsOf(double d) {
    d += 0.0;  // one pattern for +0 and -0
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

std::uint64_t faceHash(std::uint64_t tag, double a, double b, double c, double d, double e) {
    std::uint64_t h = tag * 0x9E3779B97F4A7C15ULL;
    for (double v : {a, b, c, d, e}) {
        h ^= bitsOf(v);
        h *= 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 31;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return h != 0 ? h : 1;  // 0 marks an empty slot
}

bool ruleA(const TSpace& T, const TSpace& S) {
    return T.y == S.y && T.z == S.z && T.x != S.x && T.wid == S.wid && T.hei == S.hei &&
           (static_cast<double>(T.x) + T.len == static_cast<double>(S.x) ||
            static_cast<double>(S.x) + S.len == static_cast<double>(T.x));
}

bool ruleB(const TSpace& T, const TSpace& S) {
    return T.x == S.x && T.y == S.y && T.z != S.z && T.len == S.len && T.hei == S.hei &&
           (static_cast<double>(T.z) + T.wid == static_cast<double>(S.z) ||
            static_cast<double>(S.z) + S.wid == static_cast<double>(T.z));
}

// Join S to T along X; T survives.
void applyA(TSpace& T, TSpace& S, bool keys) {
    if (T.x >= S.x) T.x = S.x;
    T.y = S.y;
    T.z = S.z;
    T.len = T.len + S.len;
    T.wid = S.wid;
    T.hei = S.hei;
    if (keys) T.rebuildKey();
    T.active = 1;
    S.active = 0;
}

// Join S to T along Z; T survives.
void applyB(TSpace& T, TSpace& S, bool keys) {
    if (T.z >= S.z) T.z = S.z;
    T.x = S.x;
    T.y = S.y;
    T.len = S.len;
    T.wid = T.wid + S.wid;
    T.hei = S.hei;
    if (keys) T.rebuildKey();
    T.active = 1;
    S.active = 0;
}

double sx(const TSpace& s) { return s.x; }
double sy(const TSpace& s) { return s.y; }
double sz(const TSpace& s) { return s.z; }

}  // namespace

// --------------------------------------------------- orientation decision --

bool TrialIndex::bffs(const PieceKind& k, int axis, int rank) const {
    const TEngineOptions& o = *t.opts_;
    const bool rule = (!k.canTurn && o.directionRestrict) || (o.preferUpright && t.relaxFlag != 1);
    if (!rule) return true;
    if (axis == 1) return rank == k.heightRank;
    return rank != k.heightRank;
}

int TrialIndex::judge(double len, double hei, double wid, const PieceKind& k) {
    t.dimOrder = k.dimOrder;
    if (k.dimOrder == 0) return -1;
    if (t.axesNo < 1 || t.axesNo > 5 || t.pairNo < 1 || t.pairNo > 3 || t.firstPref < 1 ||
        t.firstPref > 2 || t.secondPref < 0 || t.secondPref > 1)
        return -1;

    const double ext[3] = {len, hei, wid};
    const int a1 = kAxes[t.axesNo][0], a2 = kAxes[t.axesNo][1], a3 = kAxes[t.axesNo][2];
    const double E1 = ext[a1], E2 = ext[a2], E3 = ext[a3];

    // The row pair: the smaller of the pair first with firstPref 1.
    static constexpr int kPair[4][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 2}};
    const int big = kPair[t.pairNo][0], small = kPair[t.pairNo][1];
    const int rank[2] = {t.firstPref == 1 ? small : big, t.firstPref == 1 ? big : small};
    const double P = k.s[rank[0]], Q = k.s[rank[1]];

    // The column search depends on the row only through the dimension R
    // along the first axis, so it runs at most once for each of P and Q.
    struct Col {
        bool done = false, any = false, improving = false;
        int re = 0, rf = 0;
        long long m = 0, n = 0;
        double left = 0;
    } col[2];
    auto column = [&](int which) -> const Col& {
        Col& c = col[which];
        if (c.done) return c;
        c.done = true;
        const int r = rank[which];
        const int u = r == 0 ? 1 : 0;   // the larger of the other two
        const int v = r == 2 ? 1 : 2;   // the smaller
        const bool eIsU = t.axesNo == 1 ? t.secondPref == 1 : t.secondPref == 0;
        c.re = eIsU ? u : v;
        c.rf = eIsU ? v : u;
        const double E = k.s[c.re], F = k.s[c.rf];
        // m > 0 puts E along A2 and leaves F for A3; m = 0 puts F there and leaves E.
        const bool validE = E3 >= F && bffs(k, a2, c.re);
        const bool validF = E3 >= E && bffs(k, a2, c.rf);
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
            const double v = E2 - (base + static_cast<double>(nl) * F);
            if (v < best2) {
                if (t.axesNo == 1)  // n counts up: the first n that leaves v
                    while (nl > lo && E2 - (base + static_cast<double>(nl - 1) * F) == v) --nl;
                best2 = v;
                c.improving = true;
                c.m = m;
                c.n = nl;
                c.left = v;
            }
            return best2 != 0;
        };
        if (maxM >= 0 && maxN >= 0) {
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
        }
        return c;
    };

    const long long maxA = truncCount(E1 / P), maxB = truncCount(E1 / Q);
    if (maxA < 0 || maxB < 0) return -1;
    double best1 = E1;
    bool found = false;
    int chosen = 0;  // 0: the row starts with P (a > 0); 1: only Q
    long long cm = 0;
    double cleft = E2;
    auto take = [&](int which, double v) {
        best1 = v;
        found = true;
        chosen = which;
        const Col& c = col[which];
        if (c.improving) {
            cm = c.m;
            cleft = c.left;
        }
    };
    // Rows with a > 0, a falling. For each a the leftover falls as b grows;
    // the last improvement within a is the smallest leftover not below zero.
    if (maxA >= 1 && bffs(k, a1, rank[0]) && column(0).any) {
        for (long long a = maxA; a >= 1; --a) {
            const double base = static_cast<double>(a) * P;
            const long long bl = lastFit(E1, base, Q, 0, maxB);
            if (bl < 0) continue;
            const double v = E1 - (base + static_cast<double>(bl) * Q);
            if (v < best1) {
                take(0, v);
                if (best1 == 0) break;
            }
        }
    }
    if (!(found && best1 == 0) && maxB >= 1 && bffs(k, a1, rank[1]) && column(1).any) {
        const long long bl = lastFit(E1, 0.0, Q, 1, maxB);
        if (bl >= 1) {
            const double v = E1 - (0.0 + static_cast<double>(bl) * Q);
            if (v < best1) take(1, v);
        }
    }
    if (!found) return -1;
    if (t.pairNo != 1 && !(best1 < k.s[0] || (best1 == k.s[0] && cleft < k.s[0]))) return -1;

    const Col& c = col[chosen];
    const int rR = rank[chosen];
    const int rC = cm > 0 ? c.re : c.rf;
    const int rT = 3 - rR - rC;
    int along[3];
    along[a1] = k.lwh[rR];
    along[a2] = k.lwh[rC];
    along[a3] = k.lwh[rT];
    return orientTable().idx[along[0]][along[1]][along[2]];
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
    if (k.dimOrder != 0 && k.s[2] * 1099511627776.0 > e[0] &&
        (k.s[0] > e[0] || k.s[1] > e[1] || k.s[2] > e[2])) {
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

// ------------------------------------------------------------ the indexes --

double TrialIndex::bound() const { return order == 1 ? t.lowY : t.lowX; }

CandEntry TrialIndex::entryOf(int pos, float x, float y, float z) const {
    if (order == 1) return {y, x, z, pos};
    return {x, y, z, pos};
}

namespace {
bool candLess(const CandEntry& a, const CandEntry& b) {
    if (a.k1 != b.k1) return a.k1 < b.k1;
    if (a.k2 != b.k2) return a.k2 < b.k2;
    if (a.k3 != b.k3) return a.k3 < b.k3;
    return a.pos < b.pos;
}
}  // namespace

void TrialIndex::candInsert(const CandEntry& e) {
    auto it = std::upper_bound(cand.begin() + static_cast<std::ptrdiff_t>(head), cand.end(), e, candLess);
    cand.insert(it, e);
}

void TrialIndex::candErase(const CandEntry& e) {
    auto it = std::lower_bound(cand.begin() + static_cast<std::ptrdiff_t>(head), cand.end(), e, candLess);
    if (it != cand.end() && it->pos == e.pos) {
        cand.erase(it);
        return;
    }
    for (auto j = cand.begin() + static_cast<std::ptrdiff_t>(head); j != cand.end(); ++j)
        if (j->pos == e.pos) {
            cand.erase(j);
            return;
        }
}

int TrialIndex::fileNode(std::uint64_t h, int pos, std::uint32_t ver) {
    Bucket& bk = buckets[static_cast<std::size_t>(h & mask)];
    nodes.push_back(Node{h, pos, bk.gen == gen ? bk.head : -1, ver});
    bk = Bucket{gen, static_cast<int>(nodes.size() - 1)};
    return bk.head;
}

// A face already filed for this space is not filed again: its node takes
// the space's new version.
void TrialIndex::fileFaces(int pos, bool fresh) {
    const TSpace& T = *t.spaceList[pos];
    const std::uint64_t h[4] = {
        faceHash(1, T.y, T.z, T.wid, T.hei, sx(T) + T.len),
        faceHash(2, T.y, T.z, T.wid, T.hei, sx(T)),
        faceHash(3, T.x, T.y, T.len, T.hei, sz(T) + T.wid),
        faceHash(4, T.x, T.y, T.len, T.hei, sz(T)),
    };
    for (int i = 0; i < 4; ++i) __builtin_prefetch(&buckets[static_cast<std::size_t>(h[i] & mask)], 1);
    const std::uint32_t ver = posVer[static_cast<std::size_t>(pos)];
    auto& faces = faceNode[static_cast<std::size_t>(pos)];
    for (int i = 0; i < 4; ++i) {
        if (!fresh && faces[i] >= 0 && nodes[static_cast<std::size_t>(faces[i])].h == h[i]) {
            nodes[static_cast<std::size_t>(faces[i])].ver = ver;
            continue;
        }
        faces[i] = fileNode(h[i], pos, ver);
    }
}

void TrialIndex::clear(std::size_t capacity) {
    cand.clear();
    head = 0;
    failKey = -1;
    order = (t.spaceOrder == 2 || t.spaceOrder == 4) ? 0 : (t.spaceOrder == 3 || t.spaceOrder == 5) ? 1 : -1;
    if (inCand.size() < capacity) {
        inCand.resize(capacity, 0);
        fitKey.resize(capacity, -1);
        fitRes.resize(capacity, -1);
        posVer.resize(capacity, 0);
        faceNode.resize(capacity);
    }
    std::size_t want = 1024;
    while (want < capacity * 2 && want < (std::size_t(1) << 24)) want <<= 1;
    if (buckets.size() < want) {
        buckets.assign(want, Bucket{0, -1});
        mask = want - 1;
        gen = 0;
    }
    if (++gen == 0) {
        std::fill(buckets.begin(), buckets.end(), Bucket{0, -1});
        gen = 1;
    }
    nodes.clear();
}

void TrialIndex::addSpace(int pos) {
    const std::size_t need = static_cast<std::size_t>(pos) + 1;
    if (inCand.size() < need) {
        const std::size_t grow = std::max(need, inCand.size() * 2);
        inCand.resize(grow, 0);
        fitKey.resize(grow, -1);
        fitRes.resize(grow, -1);
        posVer.resize(grow, 0);
        faceNode.resize(grow);
    }
    fitKey[pos] = -1;
    ++posVer[static_cast<std::size_t>(pos)];
    faceNode[static_cast<std::size_t>(pos)] = {-1, -1, -1, -1};
    inCand[pos] = 0;
    const TSpace& S = *t.spaceList[pos];
    if (!S.active) return;
    fileFaces(pos, true);
    offerCandidate(pos, S);
}

// An active space at or beyond the search bound becomes a candidate.
void TrialIndex::offerCandidate(int pos, const TSpace& S) {
    if (order < 0) return;
    const CandEntry e = entryOf(pos, S.x, S.y, S.z);
    if (static_cast<double>(e.k1) >= bound()) {
        candInsert(e);
        inCand[pos] = 1;
    }
}

void TrialIndex::retire(int pos) {
    if (pos < 0) return;
    ++posVer[static_cast<std::size_t>(pos)];
    if (inCand[pos]) {
        const TSpace& S = *t.spaceList[pos];
        candErase(entryOf(pos, S.x, S.y, S.z));
        inCand[pos] = 0;
    }
}

void TrialIndex::moved(int pos, float ox, float oy, float oz) {
    if (pos < 0) return;
    fitKey[pos] = -1;
    failKey = -1;
    ++posVer[static_cast<std::size_t>(pos)];
    if (inCand[pos]) {
        candErase(entryOf(pos, ox, oy, oz));
        inCand[pos] = 0;
    }
    const TSpace& S = *t.spaceList[pos];
    if (!S.active) return;
    fileFaces(pos, false);
    offerCandidate(pos, S);
}

void TrialIndex::rebuild(bool withCandidates) {
    clear(t.spaceList.size() + 4);
    if (!withCandidates) order = -1;
    for (int p = 0; p < static_cast<int>(t.spaceList.size()); ++p) addSpace(p);
}

void TrialIndex::ensurePool(std::size_t need) {
    if (t.spaceArr.size() >= need) return;
    // Growing the pool moves it: repoint the list entries that live in it.
    const auto oldBegin = reinterpret_cast<std::uintptr_t>(t.spaceArr.data());
    const auto oldEnd = oldBegin + t.spaceArr.size() * sizeof(TSpace);
    std::vector<std::ptrdiff_t> at(t.spaceList.size(), -1);
    for (std::size_t i = 0; i < t.spaceList.size(); ++i) {
        const auto p = reinterpret_cast<std::uintptr_t>(t.spaceList[i]);
        if (p >= oldBegin && p < oldEnd) at[i] = static_cast<std::ptrdiff_t>((p - oldBegin) / sizeof(TSpace));
    }
    t.spaceArr.resize(std::max({need, t.spaceArr.size() * 2, std::size_t(256)}));
    for (std::size_t i = 0; i < t.spaceList.size(); ++i)
        if (at[i] >= 0) t.spaceList[i] = t.spaceArr.data() + at[i];
}

// -------------------------------------------------------------- merging --

bool TrialIndex::lookupAB(const TSpace& S, int& pos, int& rule) {
    pos = INT_MAX;
    rule = 0;
    const std::uint64_t q[4] = {
        faceHash(1, S.y, S.z, S.wid, S.hei, sx(S)),
        faceHash(2, S.y, S.z, S.wid, S.hei, sx(S) + S.len),
        faceHash(3, S.x, S.y, S.len, S.hei, sz(S)),
        faceHash(4, S.x, S.y, S.len, S.hei, sz(S) + S.wid),
    };
    for (int i = 0; i < 4; ++i) __builtin_prefetch(&buckets[static_cast<std::size_t>(q[i] & mask)]);
    for (int i = 0; i < 4; ++i) {
        const Bucket& bk = buckets[static_cast<std::size_t>(q[i] & mask)];
        if (bk.gen != gen) continue;
        for (int n = bk.head; n >= 0; n = nodes[static_cast<std::size_t>(n)].next) {
            const Node& nd = nodes[static_cast<std::size_t>(n)];
            if (nd.h != q[i]) continue;
            const int p = nd.pos;
            if (p >= pos || posVer[static_cast<std::size_t>(p)] != nd.ver) continue;
            const TSpace& T = *t.spaceList[p];
            if (!T.active) continue;
            if (i < 2 ? ruleA(T, S) : ruleB(T, S)) {
                pos = p;
                rule = i < 2 ? 1 : 2;
            }
        }
    }
    return rule != 0;
}

int TrialIndex::unite(TSpace& S, int posS) {
    if (t.kindCount > 0 && !t.kindArr.empty()) return uniteScan(S, posS);
    // Without goods kinds only the joins along X and Z can apply. The merged
    // space is offered again until nothing joins it (a loop, not recursion).
    TSpace* cur = &S;
    int curPos = posS;
    bool merged = false;
    int p, rule;
    while (lookupAB(*cur, p, rule)) {
        TSpace& T = *t.spaceList[p];
        const float ox = T.x, oy = T.y, oz = T.z;
        retire(curPos);
        if (rule == 1) applyA(T, *cur, t.keepKeys);
        else applyB(T, *cur, t.keepKeys);
        moved(p, ox, oy, oz);
        merged = true;
        cur = &T;
        curPos = p;
    }
    return merged ? -1 : 0;
}

// The plain walk with all six rules, for runs whose kind table is filled.
int TrialIndex::uniteScan(TSpace& S, int posS) {
    TSpace* cur = &S;
    int curPos = posS;
    bool merged = false;
    for (;;) {
        bool applied = false;
        const bool curNoKind = t.isXKJ(*cur);
        for (int p = 0; p < static_cast<int>(t.spaceList.size()) && !applied; ++p) {
            TSpace& T = *t.spaceList[p];
            if (!T.active) continue;
            TSpace& C = *cur;
            const float ox = T.x, oy = T.y, oz = T.z;
            if (ruleA(T, C) || ruleB(T, C)) {
                retire(curPos);
                if (ruleA(T, C)) applyA(T, C, t.keepKeys);
                else applyB(T, C, t.keepKeys);
                moved(p, ox, oy, oz);
                merged = true;
                cur = &T;
                curPos = p;
                applied = true;
                break;
            }
            if (!curNoKind) {
                const bool cx = (sx(C) + C.len == sx(T) || sx(T) + T.len == sx(C)) && C.y >= T.y &&
                                C.hei <= T.hei && C.z >= T.z && C.wid <= T.wid;
                const bool cz = !cx && (sz(C) + C.wid == sz(T) || sz(T) + T.wid == sz(C)) && C.y >= T.y &&
                                C.hei <= T.hei && C.x >= T.x && C.len <= T.len;
                if (cx || cz) {
                    const float cox = C.x, coy = C.y, coz = C.z;
                    if (cx) {
                        if (sx(C) + C.len == sx(T)) C.len = C.len + T.len;
                        if (sx(T) + T.len == sx(C)) {
                            C.len = C.len + T.len;
                            C.x = T.x;
                        }
                    } else {
                        if (sz(C) + C.wid == sz(T)) C.wid = C.wid + T.wid;
                        if (sz(T) + T.wid == sz(C)) {
                            C.wid = C.wid + T.wid;
                            C.z = T.z;
                        }
                    }
                    retire(p);
                    T.active = 0;
                    moved(curPos, cox, coy, coz);
                    applied = true;
                    break;
                }
            }
            if (!t.isXKJ(T)) {
                const bool ex = (sx(C) + C.len == sx(T) || sx(T) + T.len == sx(C)) && T.y >= C.y &&
                                T.hei <= C.hei && T.z >= C.z && T.wid <= C.wid;
                const bool ez = !ex && (sz(C) + C.wid == sz(T) || sz(T) + T.wid == sz(C)) && T.y >= C.y &&
                                T.hei <= C.hei && T.x >= C.x && T.len <= C.len;
                if (ex || ez) {
                    if (ex) {
                        if (sx(C) + C.len == sx(T)) {
                            T.len = C.len + T.len;
                            T.x = C.x;
                        }
                        if (sx(T) + T.len == sx(C)) T.len = C.len + T.len;
                    } else {
                        if (sz(C) + C.wid == sz(T)) {
                            T.wid = C.wid + T.wid;
                            T.z = C.z;
                        }
                        if (sz(T) + T.wid == sz(C)) T.wid = C.wid + T.wid;
                    }
                    retire(curPos);
                    C.active = 0;
                    moved(p, ox, oy, oz);
                    merged = true;
                    cur = &T;
                    curPos = p;
                    applied = true;
                    break;
                }
            }
        }
        if (!applied) break;
    }
    return merged ? -1 : 0;
}

// ------------------------------------------------------------ placement --

int TrialIndex::place(const PieceKind& k, int kindId, double weight, Placement& out) {
    const TEngineOptions& o = *t.opts_;
    if (o.weightRestrict) {
        if (const tBox* b = t.weightBox())
            if (b->loadedWeight + weight > b->maxWeight) return 0;
    }
    if (order < 0) return 0;
    const int memo = kindId < 0 ? -1 : kindId * 2 + (t.relaxFlag == 1 ? 1 : 0);
    if (memo >= 0 && memo == failKey) return 0;

    // Spaces behind the bound can never be chosen again in this trial.
    const double bnd = bound();
    while (head < cand.size() && static_cast<double>(cand[head].k1) < bnd) {
        inCand[cand[head].pos] = 0;
        ++head;
    }
    if (head > 256 && head * 2 > cand.size()) {
        cand.erase(cand.begin(), cand.begin() + static_cast<std::ptrdiff_t>(head));
        head = 0;
    }

    // The first corner in the trial's order that takes the piece; of equal
    // corners the earlier space. Nothing reaches the container's far corner.
    const TSpace& R = t.rootSpace;
    const double f1 = order == 1 ? R.hei : R.len;
    const double f2 = order == 1 ? R.len : R.hei;
    const double f3 = R.wid;
    std::size_t ci = cand.size();
    int orient = -1;
    for (std::size_t i = head; i < cand.size(); ++i) {
        const CandEntry& e = cand[i];
        const double k1 = e.k1, k2 = e.k2, k3 = e.k3;
        if (!(k1 < f1 || (k1 == f1 && (k2 < f2 || (k2 == f2 && k3 < f3))))) break;
        const int r = fits(e.pos, k, kindId);
        if (r >= 0) {
            ci = i;
            orient = r;
            break;
        }
    }
    if (orient < 0) {
        failKey = memo;
        return 0;
    }
    failKey = -1;

    ensurePool(static_cast<std::size_t>(t.spaceNext) + 3);
    const int pos = cand[ci].pos;
    TSpace& B = *t.spaceList[pos];
    t.lowX = B.x;
    t.lowY = B.y;
    B.active = 0;
    cand.erase(cand.begin() + static_cast<std::ptrdiff_t>(ci));
    inCand[pos] = 0;
    ++posVer[static_cast<std::size_t>(pos)];

    const Orientation& ori = orientations()[orient];
    const double side[3] = {k.L, k.W, k.H};
    const double a = side[ori.alongX], b = side[ori.alongY], c = side[ori.alongZ];
    out.orient = orient;
    out.x0 = B.x;
    out.y0 = B.y;
    out.z0 = B.z;
    out.x1 = out.x0 + a;
    out.y1 = out.y0 + b;
    out.z1 = out.z0 + c;

    const float bx = B.x, by = B.y, bz = B.z;
    const double bl = B.len, bh = B.hei, bw = B.wid;
    const bool whole = t.splitMode == 0;
    struct NewSpace {
        float x, y, z;
        double len, hei, wid;
    };
    const NewSpace fresh[3] = {
        // beside, along Z
        {bx, by, static_cast<float>(sz(B) + c), whole ? a : bl, bh, bw - c},
        // in front, along X
        {static_cast<float>(sx(B) + a), by, bz, bl - a, bh, whole ? bw : c},
        // on top, along Y
        {bx, static_cast<float>(sy(B) + b), bz, a, bh - b, c},
    };
    for (const NewSpace& f : fresh) {
        TSpace& N = t.spaceArr[static_cast<std::size_t>(t.spaceNext)];
        N.x = f.x;
        N.y = f.y;
        N.z = f.z;
        if (t.keepKeys) N.rebuildKey();
        N.len = f.len;
        N.wid = f.wid;
        N.hei = f.hei;
        N.active = 1;
        if (N.len == 0 || N.wid == 0 || N.hei == 0) {
            N.active = 0;
            continue;
        }
        if (unite(N, -1) != 0) continue;
        const int p = static_cast<int>(t.spaceList.size());
        t.spaceList.push_back(&N);
        ++t.spaceNext;
        addSpace(p);
    }
    return -1;
}

// --------------------------------------------------------------- a trial --

void TrialIndex::runTrial(const RunPieces& pieces, const TSweepParams& p, bool relaxStart,
                          const tBox& box, TrialOutcome& out) {
    t.setSweepParams(p);
    const std::size_t n = pieces.kindOf.size();
    t.relaxFlag = relaxStart ? 1 : 0;
    int skip = 0;
    t.ownBox_ = box;
    t.ownBox_.loadedWeight = 0;
    t.ownBox_.loadedVolume = 0;
    // The pool grows as placements need it (at most three new spaces each).
    t.startSpaces(box.L, box.W, box.H, 0);
    clear(3 * n + 4);
    addSpace(0);

    out.placed.clear();
    out.overflow = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && skip != 0 && pieces.sameAsPrev[i]) continue;
        if (pieces.placed[i]) continue;
        const int kind = pieces.kindOf[i];
        Placement pl;
        if (place(pieces.kinds[static_cast<std::size_t>(kind)], kind, pieces.weight[i], pl) != 0) {
            skip = 0;
            pl.piece = static_cast<int>(i);
            out.placed.push_back(pl);
            t.ownBox_.loadedVolume += pieces.volume[i];
            t.ownBox_.loadedWeight += pieces.weight[i];
        } else if (t.opts_->preferUpright && t.relaxFlag == 0) {
            // The first failure of the trial only drops the upright preference.
            t.relaxFlag = 1;
            skip = 0;
        } else {
            skip = -1;
            out.overflow = true;
        }
    }
    out.volume = t.ownBox_.loadedVolume;
    out.weight = t.ownBox_.loadedWeight;
}

}  // namespace detail

// ------------------------------------------------------------ TLoadTrial --

TLoadTrial::TLoadTrial() : opts_(&defaultOpts_), index_(std::make_unique<detail::TrialIndex>(*this)) {}

TLoadTrial::~TLoadTrial() = default;

void TLoadTrial::startSpaces(double L, double W, double H, std::size_t poolSize) {
    if (spaceArr.size() < poolSize) spaceArr.resize(poolSize);
    rootSpace.active = 1;
    rootSpace.x = 0;
    rootSpace.y = 0;
    rootSpace.z = 0;
    rootSpace.len = L;
    rootSpace.wid = W;
    rootSpace.hei = H;
    if (keepKeys) rootSpace.rebuildKey();
    spaceList.clear();
    spaceList.push_back(&rootSpace);
    spaceNext = 0;
    lowX = 0;
    lowY = 0;
}

void TLoadTrial::setSweepParams(const TSweepParams& p) {
    axesNo = p.axesNo;
    firstPref = p.firstPref;
    secondPref = p.secondPref;
    spaceOrder = p.spaceOrder;
    splitMode = p.splitMode;
    pairNo = p.pairNo;
}

TSweepParams TLoadTrial::sweepParamsNow() const {
    TSweepParams p;
    p.axesNo = axesNo;
    p.firstPref = firstPref;
    p.secondPref = secondPref;
    p.spaceOrder = spaceOrder;
    p.splitMode = splitMode;
    p.pairNo = pairNo;
    return p;
}

void TLoadTrial::JudgeIfIn(const TSpace& SP, const Tgoodsinfo& G, std::string& Res) {
    const detail::PieceKind k = detail::makeKind(G.L, G.W, G.H, G.canTurn >= 1);
    const int r = index_->judge(SP.len, SP.hei, SP.wid, k);
    Res = r < 0 ? "OUT" : orientations()[r].code;
}

bool TLoadTrial::JudgeBFFS(bool canTurn, const std::string& axis, const std::string& rank) {
    const bool rule = (!canTurn && opts_->directionRestrict) || (opts_->preferUpright && relaxFlag != 1);
    if (!rule) return true;
    int heightRank = -1;
    switch (dimOrder) {
    case 1:
    case 3: heightRank = 2; break;
    case 2:
    case 4: heightRank = 1; break;
    case 5:
    case 6: heightRank = 0; break;
    default: break;
    }
    const int r = rank == "yh1" ? 0 : rank == "yh2" ? 1 : rank == "yh3" ? 2 : -1;
    if (axis == "y" || axis == "h") return r == heightRank;
    return r != heightRank;
}

int TLoadTrial::GoosInSpace(Tgoodsinfo& G) {
    index_->rebuild(true);
    const detail::PieceKind k = detail::makeKind(G.L, G.W, G.H, G.canTurn >= 1);
    detail::Placement pl;
    if (index_->place(k, -1, G.weight, pl) == 0) return 0;
    G.code = orientations()[pl.orient].code;
    G.x0 = pl.x0;
    G.y0 = pl.y0;
    G.z0 = pl.z0;
    G.x1 = pl.x1;
    G.y1 = pl.y1;
    G.z1 = pl.z1;
    return -1;
}

bool TLoadTrial::isXKJ(const TSpace& S) {
    const int count = std::min<int>(kindCount, static_cast<int>(kindArr.size()));
    for (int i = 0; i < count; ++i) {
        const Tgoodsinfo& K = kindArr[static_cast<std::size_t>(i)];
        for (const Orientation& o : orientations()) {
            if (o.number >= 3 && !(K.canTurn == 1 || !opts_->directionRestrict)) continue;
            const Extents e = extentsOf(o, K.L, K.W, K.H);
            if (S.len >= e.x && S.wid >= e.z && S.hei > e.y) return false;
        }
    }
    return true;
}

int TLoadTrial::UnitSpace(TSpace& S) {
    index_->rebuild(false);
    int pos = -1;
    for (std::size_t i = 0; i < spaceList.size(); ++i)
        if (spaceList[i] == &S) {
            pos = static_cast<int>(i);
            break;
        }
    return index_->unite(S, pos);
}

}  // namespace tms
