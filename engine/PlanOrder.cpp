#include "engine/PlanOrder.h"

#include <algorithm>
#include <set>

#include "platform/AdoDb.h"
#include "platform/Codes.h"

namespace tms {

namespace {

// The run's progress bar during the write: one step per row written and per
// row walked by a pile pass. The bar is told only when it would move by a
// visible amount (a five-hundredth of its length) or reaches its end, so a
// large plan does not spend its time redrawing it.
class WriteProgress {
public:
    WriteProgress(const std::function<void(int, int)>& bar, int maximum) : bar_(bar), max_(maximum) {
        if (bar_) bar_(max_, 0);
    }
    ~WriteProgress() {
        if (!bar_) return;
        try {
            bar_(max_, 0);
        } catch (...) {
            // the bar's own failure must not hide the outcome of the write
        }
    }
    WriteProgress(const WriteProgress&) = delete;
    WriteProgress& operator=(const WriteProgress&) = delete;

    void step() {
        ++pos_;
        if (!bar_) return;
        if (static_cast<long long>(pos_ - shown_) * 500 >= max_ || pos_ == max_) {
            shown_ = pos_;
            bar_(max_, pos_);
        }
    }
    PlanStep stepper() {
        return [this] { step(); };
    }

private:
    const std::function<void(int, int)>& bar_;
    int max_;
    int pos_ = 0;
    int shown_ = 0;
};

bool fitsSomeAllowedWay(const TGoodsKind& k, double L, double W, double H, bool directionRestrict) {
    for (const Orientation& o : orientations()) {
        // Under the direction rule a goods that may not be turned over keeps
        // its own height upright.
        if (directionRestrict && !k.canTurn && o.alongY != 2) continue;
        const Extents e = extentsOf(o, k.L, k.W, k.H);
        if (e.x <= L && e.y <= H && e.z <= W) return true;
    }
    return false;
}

}  // namespace

std::vector<PlanRow> planRowsOf(const std::vector<Tgoodsinfo>& bestArr, bool firstContainerOnly) {
    std::vector<PlanRow> rows;
    rows.reserve(bestArr.size());
    // An unknown code repeats the label of the piece before it in loading
    // order, whether or not that piece keeps its row.
    std::string label;
    for (const Tgoodsinfo& g : bestArr) {
        if (const Orientation* o = orientationByCode(g.code)) label = o->placeText;
        if (g.vehicleOrder < 1) continue;  // not placed: no row
        if (firstContainerOnly && g.vehicleOrder > 1) continue;
        PlanRow r;
        r.listId = g.ListId;
        r.goodsNo = g.GoodsNo;
        r.bcd = g.x0;
        r.bch = g.y0;
        r.bcw = g.z0;
        r.bcd2 = g.x1;
        r.bch2 = g.y1;
        r.bcw2 = g.z1;
        r.vehicleOrder = g.vehicleOrder;
        r.placeType = label;
        rows.push_back(std::move(r));
    }
    return rows;
}

TPlanResult GoodsOrder(THoldEngine& engine, TADOConnection& conn, const std::string& OrderFormNo) {
    TPlanResult result;
    engine.bestVolume = 0;
    const TRunResult run = engine.getGoodsArrYH(OrderFormNo);
    if (!run.ok) {
        result.error = run.error;
        return result;
    }

    const TEngineOptions& opt = engine.options;
    const bool pileCalc = opt.pileCalc;
    // A type-A plan from the new-order window keeps container 1 only.
    const bool firstOnly = opt.path == TLaunchPath::newOrder && opt.typeA;

    std::vector<PlanRow> rows = planRowsOf(engine.bestArr, firstOnly);
    const long long pieces = static_cast<long long>(engine.bestArr.size());
    const int maximum = static_cast<int>(std::min<long long>(pileCalc ? 4 * pieces : pieces, 0x7fffffff));
    {
        WriteProgress progress(opt.progress, maximum);
        if (pileCalc)
            groupPiles(rows, progress.stepper());
        else
            setGoodsAsFloor(rows);
        writePlanRows(conn, OrderFormNo, rows, pileCalc, progress.stepper());
        // Every piece of the run counts one row step, also those a type-A
        // plan leaves out and those left over; only the grouping is limited
        // to the rows kept.
        for (long long i = static_cast<long long>(rows.size()); i < pieces; ++i) progress.step();
    }

    result.ok = true;
    result.placed = static_cast<int>(rows.size());
    for (const PlanRow& r : rows) result.containers = std::max(result.containers, r.vehicleOrder);
    if (!firstOnly) {
        for (const Tgoodsinfo& g : engine.bestArr)
            if (g.vehicleOrder < 1) result.leftOverIds.push_back(g.ListId);
        result.leftOver = static_cast<int>(result.leftOverIds.size());
    }
    return result;
}

std::vector<TUnplaceableGoods> unplaceableGoods(const std::vector<TGoodsKind>& kinds, double L, double W, double H,
                                                double maxWeight, bool weightRestrict, bool directionRestrict) {
    std::vector<TUnplaceableGoods> out;
    const bool boxSound = L > 0 && W > 0 && H > 0;
    for (const TGoodsKind& k : kinds) {
        if (!boxSound || !(k.L > 0 && k.W > 0 && k.H > 0))
            out.push_back({k.goodsNo, TUnplaceable::badSize});
        else if (!fitsSomeAllowedWay(k, L, W, H, directionRestrict))
            out.push_back({k.goodsNo, TUnplaceable::tooLarge});
        else if (weightRestrict && k.weight > maxWeight)
            out.push_back({k.goodsNo, TUnplaceable::tooHeavy});
    }
    return out;
}

std::vector<TUnplaceableGoods> unplaceableGoods(const THoldEngine& engine) {
    std::vector<TGoodsKind> kinds;
    std::set<std::string> seen;
    for (const Tgoodsinfo& g : engine.goodsArr) {
        if (!seen.insert(g.GoodsNo).second) continue;
        kinds.push_back({g.GoodsNo, g.L, g.W, g.H, g.weight, g.canTurn >= 1});
    }
    if (engine.boxArr.empty()) return unplaceableGoods(kinds, 0, 0, 0, 0, false, false);
    const tBox& b = engine.boxArr.front();
    return unplaceableGoods(kinds, b.L, b.W, b.H, b.maxWeight, engine.options.weightRestrict,
                            engine.options.directionRestrict);
}

}  // namespace tms
