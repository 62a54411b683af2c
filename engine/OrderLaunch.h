#pragma once
// The order launcher: turns the lines of a loading order and its options
// into the engine input (pieces, container 1, options), as the new-order
// window does before its calculation and the order management window before
// a recalculation. Plain C++: the windows read their controls and the
// catalogue, this fills the engine.

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

// The switches of the run as the engine takes them, and the type-A piece
// count. engine.path and engine.typeA also decide the pieces.
struct TOrderOptions {
    TEngineOptions engine;
    int typeACount = 0;  // type A: every line gets this many pieces instead of its amount; see typeAPieceCount()
};

// Type-A piece count: the smaller of the container volume over the piece
// volume enlarged by the margins and the load limit over the piece weight,
// each rounded down. A weight of 0 leaves the volume bound alone; a piece
// without volume gives 0.
int typeAPieceCount(const TOrderContainer& box, const TOrderLine& line, double addL, double addW, double addH);

// Fills the engine input: options (options.engine as given), goodsArr (the
// lines' pieces in line order, unplaced), bestArr (as many default pieces),
// loadList, boxArr (container "1", opened), boxVolume, boxMaxWeight and the
// whole-container free space. The recalculation path also keeps a copy of
// the pieces in goodsArrCopy. Nothing else of the engine is touched.
void launchOrder(THoldEngine& engine, const std::vector<TOrderLine>& lines, const TOrderContainer& box,
                 const TOrderOptions& options);

}  // namespace tms
