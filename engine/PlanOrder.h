#pragma once
// The entry point of an automatic calculation: runs the optimiser on the
// engine input a launcher has filled, stores the plan of the order (one
// HoldList row per placed piece, piles when asked for) and says how it went.
// Also the check a launcher makes before it stores anything: can every
// goods kind of the order be placed in an empty container at all.

#include <string>
#include <vector>

#include "engine/HoldEngine.h"
#include "engine/PlanRows.h"

class TADOConnection;

namespace tms {

// What a calculation gives the launcher.
struct TPlanResult {
    bool ok = false;     // false: the engine refused its input; nothing was stored
    std::string error;   // why, when !ok
    int containers = 0;  // containers of the stored plan (largest container number, 0 without rows)
    int placed = 0;      // plan rows stored, one per placed piece
    // Pieces the plan does not hold. A type-A run from the new-order window
    // keeps container 1 only and is complete by definition: 0 there.
    int leftOver = 0;
    std::vector<std::string> leftOverIds;  // their ListId, in loading order

    bool complete() const { return ok && leftOver == 0; }
};

// Runs the calculation of `OrderFormNo` on the engine input and stores its
// plan: bestVolume is reset, the optimiser runs, and the rows of the placed
// pieces are written in one transaction, replacing any rows the order had.
// A type-A run started from the new-order window keeps container 1 only;
// with pile calculation each row gets its pile id and origin, without it the
// goods number is the pile id. The progress callback of the options gets the
// maximum 4 × pieces (pieces without pile calculation), one step per piece
// of the run (kept or not) and per row walked by a pile pass, and is set
// back to 0 at the end.
// A database error is thrown as EDatabaseError and leaves the stored rows as
// they were.
TPlanResult GoodsOrder(THoldEngine& engine, TADOConnection& conn, const std::string& OrderFormNo);

// The plan rows of the placed pieces of a finished run, in loading order,
// with their placement texts; containers after the first are left out when
// `firstContainerOnly`. Pile ids are not set.
std::vector<PlanRow> planRowsOf(const std::vector<Tgoodsinfo>& bestArr, bool firstContainerOnly);

// ------------------------------------------------------------ pre-check --

// One goods kind of an order, as the catalogue holds it.
struct TGoodsKind {
    std::string goodsNo;
    double L = 0, W = 0, H = 0;  // mm
    double weight = 0;           // kg
    bool canTurn = false;        // may be turned over ("可倒置")
};

// Why a goods kind cannot be placed.
enum class TUnplaceable {
    badSize,   // a dimension of the goods or of the container is not positive
    tooLarge,  // fits the empty container in no orientation the direction rule allows
    tooHeavy,  // heavier than the load limit while the weight constraint is on
};

struct TUnplaceableGoods {
    std::string goodsNo;
    TUnplaceable reason;
};

// The goods kinds that no container of the given inner size (length L along
// X, width W along Z, height H along Y) and load limit can take, in the
// order given. With the direction constraint a goods that may not be turned
// over stands only on its own height ("立放"); with the weight constraint a
// goods may weigh at most the load limit.
std::vector<TUnplaceableGoods> unplaceableGoods(const std::vector<TGoodsKind>& kinds, double L, double W, double H,
                                                double maxWeight, bool weightRestrict, bool directionRestrict);

// The same for the engine input a launcher has filled: the goods kinds of
// goodsArr, container 1 of boxArr and the constraint switches of the options.
std::vector<TUnplaceableGoods> unplaceableGoods(const THoldEngine& engine);

}  // namespace tms
