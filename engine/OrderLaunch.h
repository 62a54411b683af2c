#pragma once
// The order launcher: turns the lines of a loading order and its options
// into the engine input (pieces, container 1, options), as the new-order
// window does before its calculation and the order management window before
// a recalculation. Plain C++: the windows read their controls and the
// catalogue, this fills the engine.

#include <functional>
#include <string>
#include <vector>

#include "engine/HoldEngine.h"

namespace tms {

// One line of an order with the catalogue data of its goods.
struct TOrderLine {
    std::string goodsNo;
    std::string goodsName;
    double L = 0, W = 0, H = 0;  // mm, without margins
    double weight = 0;           // kg
    bool canTurn = false;        // "可倒置": the goods may be turned over
    int amount = 0;              // pieces (type B; type A uses TOrderOptions::typeACount)
};

// The inner size and load limit of the chosen container.
struct TOrderContainer {
    double L = 0, W = 0, H = 0;  // length (X), width (Z), height (Y) in mm
    double maxWeight = 0;        // kg
};

// Which window starts the calculation. It decides the serials of the pieces
// and what the plan write does with a type-A plan.
enum class TLaunchPath {
    // The new-order window: serials from 000001, the goods number trimmed
    // in the ListId; a type-A plan keeps container 1 only.
    newOrder,
    // The recalculation of a stored order: serials from 000000, the goods
    // number as read; every container is kept.
    recalculation,
};

struct TOrderOptions {
    TLaunchPath path = TLaunchPath::newOrder;
    bool typeA = false;   // type A: every line gets typeACount pieces instead of its amount
    int typeACount = 0;   // see typeAPieceCount()
    TLoadingMode loadingMode = TLoadingMode::unrestricted;
    bool weightRestrict = true;      // settings "起用重量约束 "
    bool directionRestrict = false;  // settings "起用方向约束"
    bool preferUpright = false;      // "尽量立放"
    bool pileCalc = true;            // "进行分堆计算"
    int threads = 0;                 // 0 = one per core
    std::function<void(int maximum, int position)> progress;
};

// Type-A piece count: the smaller of the container volume over the piece
// volume enlarged by the margins and the load limit over the piece weight,
// each rounded down. A weight of 0 leaves the volume bound alone; a piece
// without volume gives 0.
int typeAPieceCount(const TOrderContainer& box, const TOrderLine& line, double addL, double addW, double addH);

// Fills the engine input: options, goodsArr (the lines' pieces in line
// order, unplaced), bestArr (as many default pieces), loadList, boxArr
// (container "1", opened), boxVolume, boxMaxWeight and the whole-container
// free space. The recalculation path also keeps a copy of the pieces in
// goodsArrCopy. Nothing else of the engine is touched.
void launchOrder(THoldEngine& engine, const std::vector<TOrderLine>& lines, const TOrderContainer& box,
                 const TOrderOptions& options);

}  // namespace tms
