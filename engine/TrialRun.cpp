// One greedy trial: every piece of the run in loading order, placed or
// skipped, with the volume and weight it leaves in the container.

#include "engine/TrialIndex.h"

namespace tms::detail {

// --------------------------------------------------------------- a trial --

void TrialIndex::runTrial(const RunPieces& pieces, const TSweepParams& p, bool relaxStart, const tBox& box,
                          TrialOutcome& out) {
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

}  // namespace tms::detail
