// The placement of one piece in the free spaces of a trial: the first
// candidate space it stands in, the new free spaces beside, in front of and
// on top of it.

#include "engine/TrialIndex.h"
#include "platform/Codes.h"

namespace tms::detail {

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
    const Extents far = extentsOf(ori, k.L, k.W, k.H);
    const double a = far.x, b = far.y, c = far.z;
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

}  // namespace tms::detail
