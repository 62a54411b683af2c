#include "engine/OrderLaunch.h"

#include <cmath>
#include <limits>

#include "platform/Codes.h"

namespace tms {

int typeAPieceCount(const TOrderContainer& box, const TOrderLine& line, double addL, double addW, double addH) {
    const double piece = (line.L + addL) * (line.W + addW) * (line.H + addH);
    if (!(piece > 0)) return 0;
    double n = std::floor(box.L * box.W * box.H / piece);
    if (line.weight > 0) n = std::min(n, std::floor(box.maxWeight / line.weight));
    if (!(n > 0)) return 0;
    return n >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(n);
}

void launchOrder(THoldEngine& e, const std::vector<TOrderLine>& lines, const TOrderContainer& box,
                 const TOrderOptions& o) {
    const bool fromNewOrder = o.engine.path == TLaunchPath::newOrder;
    e.options = o.engine;

    e.goodsArr.clear();
    e.loadList.clear();
    // Serials start at 1 in the new-order window and at 0 in the recalculation.
    const int first = fromNewOrder ? 1 : 0;
    for (const TOrderLine& line : lines) {
        const int count = o.engine.typeA ? o.typeACount : line.amount;
        const std::string stem = fromNewOrder ? std::string(trimBlanks(line.goodsNo)) : line.goodsNo;
        for (int k = first; k < first + count; ++k) {
            Tgoodsinfo g;
            g.GoodsNo = line.goodsNo;
            g.ListId = stem + add0(k);
            g.GoodsName = line.goodsName;
            g.L = static_cast<float>(line.L);
            g.W = static_cast<float>(line.W);
            g.H = static_cast<float>(line.H);
            g.weight = line.weight;
            g.canTurn = line.canTurn ? 1 : 0;
            g.vehicleOrder = -1;
            e.loadList.push_back(g.ListId);
            e.goodsArr.push_back(std::move(g));
        }
    }
    e.bestArr.assign(e.goodsArr.size(), Tgoodsinfo{});
    if (fromNewOrder)
        e.goodsArrCopy.clear();
    else
        e.goodsArrCopy = e.goodsArr;

    tBox b;
    b.boxNo = "1";
    b.L = box.L;
    b.W = box.W;
    b.H = box.H;
    b.maxWeight = box.maxWeight;
    b.opened = 1;
    e.boxArr.assign(1, b);
    e.boxVolume = box.L * box.W * box.H;
    e.boxMaxWeight = box.maxWeight;

    e.rootSpace = TSpace{};
    e.rootSpace.len = box.L;
    e.rootSpace.wid = box.W;
    e.rootSpace.hei = box.H;
    e.rootSpace.active = 1;
    e.rootSpace.rebuildKey();
    e.spaceList.assign(1, &e.rootSpace);
}

}  // namespace tms
