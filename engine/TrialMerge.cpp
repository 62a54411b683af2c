// The merging of a new free space into a listed one (rules A and B): the
// lookup finds exactly the spaces the plain walk would test true.

#include <climits>

#include "engine/TrialIndex.h"

namespace tms::detail {

namespace {

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

}  // namespace

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
        if (rule == 1)
            applyA(T, *cur, t.keepKeys);
        else
            applyB(T, *cur, t.keepKeys);
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
    // T (listed at p, its corner was ox, oy, oz) took the current space in:
    // T is refiled and offered again in its place.
    auto keepListed = [&](TSpace& T, int p, float ox, float oy, float oz) {
        moved(p, ox, oy, oz);
        merged = true;
        cur = &T;
        curPos = p;
    };
    for (;;) {
        bool applied = false;
        const bool curNoKind = t.isXKJ(*cur);
        for (int p = 0; p < static_cast<int>(t.spaceList.size()); ++p) {
            TSpace& T = *t.spaceList[p];
            if (!T.active) continue;
            TSpace& C = *cur;
            const float ox = T.x, oy = T.y, oz = T.z;
            if (ruleA(T, C) || ruleB(T, C)) {
                retire(curPos);
                if (ruleA(T, C))
                    applyA(T, C, t.keepKeys);
                else
                    applyB(T, C, t.keepKeys);
                keepListed(T, p, ox, oy, oz);
                applied = true;
                break;
            }
            if (!curNoKind) {
                const bool cx = (sx(C) + C.len == sx(T) || sx(T) + T.len == sx(C)) && C.y >= T.y && C.hei <= T.hei &&
                                C.z >= T.z && C.wid <= T.wid;
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
                const bool ex = (sx(C) + C.len == sx(T) || sx(T) + T.len == sx(C)) && T.y >= C.y && T.hei <= C.hei &&
                                T.z >= C.z && T.wid <= C.wid;
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
                    keepListed(T, p, ox, oy, oz);
                    applied = true;
                    break;
                }
            }
        }
        if (!applied) break;
    }
    return merged ? -1 : 0;
}

}  // namespace tms::detail
