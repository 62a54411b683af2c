#pragma once
// The stored loading plan of one order: one HoldList row per placed piece,
// the grouping of identical touching pieces into piles, and the write of all
// rows of an order in one transaction.

#include <functional>
#include <string>
#include <vector>

class TADOConnection;

namespace tms {

// One plan row as the HoldList table holds it.
struct PlanRow {
    std::string listId;  // piece id: goods number + six-digit serial
    std::string goodsNo;
    double bcd = 0, bch = 0, bcw = 0;     // near corner along X, Y, Z
    double bcd2 = 0, bch2 = 0, bcw2 = 0;  // far corner along X, Y, Z
    int vehicleOrder = 0;                 // container number from 1
    std::string placeType;                // placement text of the orientation
    // Pile id: the ListId of the pile's first piece; the goods number when
    // piles are not calculated.
    std::string floor;
    // The pile's origin corner; written only when piles are calculated.
    double dx = 0, dy = 0, dz = 0;
    bool hasOrigin = false;
};

// Called once per unit of work done (one row written, one row walked by a
// pile pass).
using PlanStep = std::function<void()>;

// Groups the pieces of each container into piles, in three passes over the
// rows of that container: pieces of one goods with equal X and Y extent that
// touch along Z are chained first, pieces of equal footprint stacked along Y
// then take the pile of the one below, and pieces chained along X last take
// the pile of the one in front. All comparisons are exact. Every row of a
// container numbered 1 or more gets its `floor` and origin; a regular block
// of identical pieces in one orientation ends as one pile whose id and
// origin are those of its corner piece nearest the origin. `step` is called
// once per row per pass.
void groupPiles(std::vector<PlanRow>& rows, const PlanStep& step = {});

// Rows of one order with their pile ids set to the goods numbers and no
// origin: the form used when piles are not calculated.
void setGoodsAsFloor(std::vector<PlanRow>& rows);

// Writes the rows of `order` to HoldList, in one transaction (a savepoint
// when the connection already has one open): any rows the order had before
// are removed, then each row is inserted once. With `withPiles` the pile
// id and origin are written, without it the pile id only and the origin
// stays empty. On any failure nothing of the write remains and the error of
// the data-access layer is thrown. `step` is called once per row inserted.
void writePlanRows(TADOConnection& conn, const std::string& order, const std::vector<PlanRow>& rows, bool withPiles,
                   const PlanStep& step = {});

// Number of containers of a stored plan: the largest container number of
// its rows, 0 when it has none.
int storedContainerCount(TADOConnection& conn, const std::string& order);

}  // namespace tms
