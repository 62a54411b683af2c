// The texts of free spaces, the sweep order of a placement mode and the
// routines of TLoadTrial, which run one step of a trial on its own state.
// The steps themselves live beside this file, one routine a file:
// TrialOrientation.cpp (orientation decision), TrialPlace.cpp (placement),
// TrialMerge.cpp (merging), TrialSpaces.cpp (indexes), TrialRun.cpp (the
// trial loop). Every shortcut there gives the answer the plain steps give.

#include <algorithm>
#include <cstdio>

#include "engine/TrialIndex.h"
#include "platform/Codes.h"

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
