#include "tests/engine/PlainEngine.h"

#include <cmath>

#include "platform/Codes.h"

namespace plain {

namespace {

double extentAlong(const Space& s, char axis) { return axis == 'x' ? s.len : axis == 'y' ? s.hei : s.wid; }

}  // namespace

bool Engine::JudgeBFFS(bool canTurn, char axis, int rank) {
    const bool rule = (!canTurn && opt.direction) || (opt.upright && relaxFlag != 1);
    if (!rule) return true;
    int heightRank = -1;
    if (dimOrder == 1 || dimOrder == 3) heightRank = 2;
    if (dimOrder == 2 || dimOrder == 4) heightRank = 1;
    if (dimOrder == 5 || dimOrder == 6) heightRank = 0;
    if (axis == 'y') return rank == heightRank;
    return rank != heightRank;
}

std::string Engine::JudgeIfIn(const Space& sp, const tms::Tgoodsinfo& g) {
    std::string res = "OUT";
    const double L = g.L, W = g.W, H = g.H;
    double s[3] = {0, 0, 0};
    int side[3] = {0, 1, 2};  // 0 L, 1 W, 2 H
    dimOrder = 0;
    auto set = [&](int order, int a, int b, int c) {
        dimOrder = order;
        side[0] = a;
        side[1] = b;
        side[2] = c;
        const double d[3] = {L, W, H};
        for (int i = 0; i < 3; ++i) s[i] = d[side[i]];
    };
    if (g.L >= g.W && g.L >= g.H && g.W >= g.H)
        set(1, 0, 1, 2);
    else if (g.L >= g.W && g.L >= g.H && g.H >= g.W)
        set(2, 0, 2, 1);
    else if (g.W >= g.L && g.W >= g.H && g.L >= g.H)
        set(3, 1, 0, 2);
    else if (g.W >= g.L && g.W >= g.H && g.H >= g.L)
        set(4, 1, 2, 0);
    else if (g.H >= g.L && g.H >= g.W && g.L >= g.W)
        set(5, 2, 0, 1);
    else if (g.H >= g.L && g.H >= g.W && g.W >= g.L)
        set(6, 2, 1, 0);
    if (dimOrder == 0) return res;
    if (axesNo < 1 || axesNo > 5 || pairNo < 1 || pairNo > 3 || firstPref < 1 || firstPref > 2 || secondPref < 0 ||
        secondPref > 1)
        return res;
    const bool canTurn = g.canTurn >= 1;

    const char axes[6][3] = {{}, {'z', 'y', 'x'}, {'y', 'z', 'x'}, {'z', 'x', 'y'}, {'x', 'z', 'y'}, {'x', 'y', 'z'}};
    const char A1 = axes[axesNo][0], A2 = axes[axesNo][1], A3 = axes[axesNo][2];
    const double E1 = extentAlong(sp, A1), E2 = extentAlong(sp, A2), E3 = extentAlong(sp, A3);

    int rp = 0, rq = 0;
    if (pairNo == 1) {
        rp = firstPref == 1 ? 1 : 0;
        rq = firstPref == 1 ? 0 : 1;
    }
    if (pairNo == 2) {
        rp = firstPref == 1 ? 2 : 0;
        rq = firstPref == 1 ? 0 : 2;
    }
    if (pairNo == 3) {
        rp = firstPref == 1 ? 2 : 1;
        rq = firstPref == 1 ? 1 : 2;
    }
    const double P = s[rp], Q = s[rq];

    // E and F (as ranks) for a row whose corner piece has rank r along A1.
    auto columnRanks = [&](int r, int& re, int& rf) {
        int u = -1, v = -1;
        for (int i = 0; i < 3; ++i) {
            if (i == r) continue;
            if (u < 0)
                u = i;
            else
                v = i;
        }
        if (axesNo == 1) {
            re = secondPref == 0 ? v : u;
            rf = secondPref == 0 ? u : v;
        } else {
            re = secondPref == 0 ? u : v;
            rf = secondPref == 0 ? v : u;
        }
    };

    double best1 = E1;
    bool found = false;
    long long ca = 0, cm = 0;
    double cleft2 = E2;
    const long long maxA = static_cast<long long>(std::trunc(E1 / P));
    const long long maxB = static_cast<long long>(std::trunc(E1 / Q));
    for (long long a = maxA; a >= 0; --a) {
        for (long long b = 0; b <= maxB; ++b) {
            if (a == 0 && b == 0) continue;
            const double left1 = E1 - (static_cast<double>(a) * P + static_cast<double>(b) * Q);
            if (!(left1 >= 0 && left1 < best1)) continue;
            const int R = a > 0 ? rp : rq;
            if (!JudgeBFFS(canTurn, A1, R)) continue;
            int re, rf;
            columnRanks(R, re, rf);
            const double Ev = s[re], Fv = s[rf];
            double best2 = E2;
            auto body = [&](long long m, long long n) {
                if (m == 0 && n == 0) return;
                const double left2 = E2 - (static_cast<double>(m) * Ev + static_cast<double>(n) * Fv);
                if (!(left2 >= 0)) return;
                const int C = m > 0 ? re : rf;
                const int T = 3 - R - C;
                if (!(E3 >= s[T])) return;
                if (!JudgeBFFS(canTurn, A2, C)) return;
                best1 = left1;
                ca = a;
                found = true;
                if (left2 < best2) {
                    best2 = left2;
                    cm = m;
                    cleft2 = left2;
                }
            };
            const long long maxM = static_cast<long long>(std::trunc(E2 / Ev));
            const long long maxN = static_cast<long long>(std::trunc(E2 / Fv));
            if (axesNo == 1) {
                for (long long m = maxM; m >= 0; --m)
                    for (long long n = 0; n <= maxN; ++n) body(m, n);
            } else {
                for (long long m = 0; m <= maxM; ++m)
                    for (long long n = maxN; n >= 0; --n) body(m, n);
            }
        }
    }
    if (!found) return res;
    if (pairNo != 1 && !(best1 < s[0] || (best1 == s[0] && cleft2 < s[0]))) return res;

    const int R = ca > 0 ? rp : rq;
    int re, rf;
    columnRanks(R, re, rf);
    const int C = cm > 0 ? re : rf;
    const int T = 3 - R - C;
    int along[3];  // side along x, y, z
    auto put = [&](char axis, int rank) { along[axis == 'x' ? 0 : axis == 'y' ? 1 : 2] = side[rank]; };
    put(A1, R);
    put(A2, C);
    put(A3, T);
    for (const auto& o : tms::orientations())
        if (o.alongX == along[0] && o.alongY == along[1] && o.alongZ == along[2]) res = o.code;
    return res;
}

int Engine::UnitSpace(Space& s) {
    for (Space* t : spaceList) {
        if (t->active != 1) continue;
        if (t->y == s.y && t->z == s.z && t->x != s.x && t->wid == s.wid && t->hei == s.hei &&
            (static_cast<double>(t->x) + t->len == s.x || static_cast<double>(s.x) + s.len == t->x)) {
            if (t->x >= s.x) t->x = s.x;
            t->y = s.y;
            t->z = s.z;
            t->len = t->len + s.len;
            t->wid = s.wid;
            t->hei = s.hei;
            t->active = 1;
            s.active = 0;
            UnitSpace(*t);
            return -1;
        }
        if (t->x == s.x && t->y == s.y && t->z != s.z && t->len == s.len && t->hei == s.hei &&
            (static_cast<double>(t->z) + t->wid == s.z || static_cast<double>(s.z) + s.wid == t->z)) {
            if (t->z >= s.z) t->z = s.z;
            t->x = s.x;
            t->y = s.y;
            t->len = s.len;
            t->wid = t->wid + s.wid;
            t->hei = s.hei;
            t->active = 1;
            s.active = 0;
            UnitSpace(*t);
            return -1;
        }
    }
    return 0;
}

int Engine::GoosInSpace(tms::Tgoodsinfo& g) {
    tms::tBox& box = boxArr[static_cast<std::size_t>(curBoxIdx)];
    if (opt.weight && box.loadedWeight + g.weight > box.maxWeight) return 0;
    double bx = root.len, by = root.hei, bz = root.wid;
    Space* best = nullptr;
    std::string code;
    for (Space* s : spaceList) {
        const double x = s->x, y = s->y, z = s->z;
        bool cand = false;
        if (spaceOrder == 2 || spaceOrder == 4)
            cand = (x < bx || (x == bx && (y < by || (y == by && z < bz)))) && s->active == 1 && x >= lowX;
        else if (spaceOrder == 3 || spaceOrder == 5)
            cand = (y < by || (y == by && (x < bx || (x == bx && z < bz)))) && s->active == 1 && y >= lowY;
        if (!cand) continue;
        const std::string r = JudgeIfIn(*s, g);
        if (r != "OUT") {
            bx = x;
            by = y;
            bz = z;
            best = s;
            code = r;
        }
    }
    if (!best) return 0;
    lowX = bx;
    lowY = by;
    best->active = 0;
    g.code = code;
    const tms::Extents e = tms::extentsOf(*tms::orientationByCode(code), g.L, g.W, g.H);
    const double a = e.x, b = e.y, c = e.z;
    g.x0 = best->x;
    g.y0 = best->y;
    g.z0 = best->z;
    g.x1 = g.x0 + a;
    g.y1 = g.y0 + b;
    g.z1 = g.z0 + c;
    const Space B = *best;
    Space fresh[3];
    fresh[0] = {B.x, B.y, static_cast<float>(B.z + c), splitMode == 0 ? a : B.len, B.wid - c, B.hei, 1};
    fresh[1] = {static_cast<float>(B.x + a), B.y, B.z, B.len - a, splitMode == 0 ? B.wid : c, B.hei, 1};
    fresh[2] = {B.x, static_cast<float>(B.y + b), B.z, a, c, B.hei - b, 1};
    for (const Space& f : fresh) {
        Space& n = *spaceArr[static_cast<std::size_t>(spaceNext)];
        n = f;
        n.active = 1;
        if (n.len == 0 || n.wid == 0 || n.hei == 0) {
            n.active = 0;
            continue;
        }
        if (UnitSpace(n) != 0) continue;
        spaceList.push_back(&n);
        ++spaceNext;
    }
    return -1;
}

bool Engine::trial(bool relaxStart) {
    relaxFlag = relaxStart ? 1 : 0;
    int skip = 0;
    spaceNext = 0;
    const std::size_t n = goodsArr.size();
    spaceArr.clear();
    for (std::size_t i = 0; i < 3 * n; ++i) spaceArr.push_back(std::make_unique<Space>());
    tms::tBox& box = boxArr[static_cast<std::size_t>(curBoxIdx)];
    trialVolume = 0;
    box.loadedWeight = 0;
    box.loadedVolume = 0;
    root.active = 1;
    spaceList.clear();
    root.x = root.y = root.z = 0;
    root.len = boxArr[0].L;
    root.wid = boxArr[0].W;
    root.hei = boxArr[0].H;
    spaceList.push_back(&root);
    lowX = 0;
    lowY = 0;
    const int number = std::stoi(box.boxNo);
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && skip != 0 && goodsArr[i].GoodsNo == goodsArr[i - 1].GoodsNo) continue;
        if (goodsArr[i].placed != 0) continue;
        if (GoosInSpace(goodsArr[i]) != 0) {
            skip = 0;
            goodsArr[i].placed = 1;
            goodsArr[i].vehicleOrder = number;
            box.loadedVolume += static_cast<double>(goodsArr[i].L) * goodsArr[i].W * goodsArr[i].H;
            box.loadedWeight += goodsArr[i].weight;
        } else if (opt.upright && relaxFlag == 0) {
            relaxFlag = 1;
            skip = 0;
        } else {
            skip = -1;
            box.overflow = 1;
        }
    }
    trialVolume = box.loadedVolume;
    const bool won = trialVolume > bestVolume;
    if (won) {
        bestVolume = trialVolume;
        for (auto& b : bestArr) b.placed = 0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (goodsArr[i].placed == 1 && goodsArr[i].vehicleOrder == number) {
            if (won) bestArr[i] = goodsArr[i];
            goodsArr[i].placed = 0;
        }
    }
    spaceArr.clear();
    return won;
}

std::vector<int> Engine::run() {
    bestVolume = 0;
    curBoxIdx = 0;
    trialVolume = 0;
    relaxFlag = 0;
    std::vector<int> orders;
    if (opt.mode == 0) orders = {2, 3};
    if (opt.mode == 1) orders = {5};
    if (opt.mode == 2) orders = {4};
    bool relaxStart = false;
    while (!loadList.empty()) {
        progress.push_back(-1);
        const auto savedBest = bestArr;
        const double savedVolume = bestVolume;
        bool anyWin = false;
        int pos = 0;
        for (axesNo = 1; axesNo <= 5; ++axesNo)
            for (firstPref = 1; firstPref <= 2; ++firstPref)
                for (secondPref = 0; secondPref <= 1; ++secondPref)
                    for (int so : orders)
                        for (splitMode = 0; splitMode <= 1; ++splitMode)
                            for (pairNo = 1; pairNo <= 3; ++pairNo) {
                                spaceOrder = so;
                                if (trial(relaxStart)) anyWin = true;
                                progress.push_back(++pos);
                            }
        tms::tBox& box = boxArr[static_cast<std::size_t>(curBoxIdx)];
        std::vector<std::string> after = loadList;
        for (const auto& b : bestArr) {
            if (b.placed != 1) continue;
            for (auto it = after.begin(); it != after.end(); ++it)
                if (*it == b.ListId) {
                    after.erase(it);
                    break;
                }
        }
        if (box.overflow == 0 && opt.upright && !relaxStart && !after.empty()) {
            bestArr = savedBest;
            bestVolume = savedVolume;
            relaxStart = true;
            continue;
        }
        relaxStart = false;
        if (!anyWin) break;
        if (box.overflow == 1) {
            tms::tBox nb;
            nb.boxNo = std::to_string(curBoxIdx + 2);
            nb.L = boxArr[0].L;
            nb.W = boxArr[0].W;
            nb.H = boxArr[0].H;
            nb.maxWeight = boxArr[0].maxWeight;
            nb.overflow = 0;
            nb.opened = 1;
            boxArr.push_back(nb);
            ++curBoxIdx;
            bestVolume = 0;
            relaxFlag = 0;
            lowX = 0;
            lowY = 0;
        }
        for (std::size_t i = 0; i < bestArr.size(); ++i) {
            if (bestArr[i].placed != 1) continue;
            goodsArr[i].placed = 1;
            for (auto it = loadList.begin(); it != loadList.end(); ++it)
                if (*it == bestArr[i].ListId) {
                    loadList.erase(it);
                    break;
                }
        }
    }
    std::vector<int> left;
    for (std::size_t i = 0; i < goodsArr.size(); ++i) {
        if (goodsArr[i].placed) continue;
        left.push_back(static_cast<int>(i));
        const tms::Tgoodsinfo& g = goodsArr[i];
        tms::Tgoodsinfo b;
        b.GoodsNo = g.GoodsNo;
        b.ListId = g.ListId;
        b.GoodsName = g.GoodsName;
        b.L = g.L;
        b.W = g.W;
        b.H = g.H;
        b.weight = g.weight;
        b.canTurn = g.canTurn;
        bestArr[i] = b;
    }
    return left;
}

}  // namespace plain
