#pragma once
// What the assembly drawing does with a loaded container besides drawing
// it: the piles of the container, the order list of its combo, and the
// ways of choosing which pieces are drawn (step slider, pile stepper, grid selection, all). Plain C++ over the
// data layer and the plan on show; no widget. Every value is bound.
//
// After countXYZ (PlanLoad.h) a window:
//   tms::TPileLists piles = tms::pilesOfGrid(grid);            heapStep = 0;
//   (or tms::loadPiles(conn, order, v) without a per-pile grid)
//   int n = tms::storedContainerCount(conn, order);             // "共 n 箱" (PlanRows.h)
//   tb maximum := Form1->plan.planCount (the drawn pieces)
// and then, on the user's actions:
//   tms::showUpTo(Form1->plan, tb position);
//   RE lines := tms::pileStep(piles, heapStep, Form1->plan);
//   tms::showFloors(Form1->plan, {pile ids});
//   tms::showAll(Form1->plan);
// Only colorArr[i].alpha and .shown and showFloors change; the renderer
// notices that on the next repaint.

#include <string>
#include <string_view>
#include <vector>

#include "view/PlanShow.h"

class TADOConnection;
class TADOQuery;

namespace tms {

// The piles of one container in the order of their origin (dx, then dy,
// then dz; then pile id and goods number, the order of the pile grid). The
// four lists always have the same length; entry k describes pile k.
struct TPileLists {
    std::vector<std::string> floorList;  // pile id (HoldList.floor)
    std::vector<std::string> gidList;    // goods number
    std::vector<std::string> countList;  // pieces of the pile, decimal text
    std::vector<std::string> bffsList;   // placement text
    int size() const { return static_cast<int>(floorList.size()); }
    bool empty() const { return floorList.empty(); }
};

// Piles of container `vehicleOrder` of `order` whose goods are still in the
// catalogue. Throws EDatabaseError when the rows cannot be read.
TPileLists loadPiles(TADOConnection& conn, const std::string& order, int vehicleOrder);
// The same piles read off the rows of a per-pile grid query (openGridQuery
// with byPile, PlanLoad.h), so a window that has just opened its grid needs
// no second query. A closed query gives no pile.
TPileLists pilesOfGrid(const TADOQuery& grid);

// One entry of the order combo.
struct TOrderItem {
    std::string no, name;
};
// Every order (number and name), in the table's order.
std::vector<TOrderItem> listOrders(TADOConnection& conn);
// The text the combo shows: the number padded to 31 GBK columns when it is
// shorter than 30, then the name. The number itself is kept beside the text
// (a number with a space or of 30 or more columns cannot be read back).
std::string orderItemText(const TOrderItem& item);

// Step slider: the pieces whose build sequence number is at most
// `position` are drawn (alpha 1), the others not (alpha 0). 0 hides all.
void showUpTo(TPlanShow& show, int position);
// showFloors := floors; the pieces of those piles are drawn, the others not.
void showFloors(TPlanShow& show, const std::vector<std::string>& floors);
// Piece grid: the pieces whose id is in `ids` get alpha 1, the others alpha
// 0 (drawn as wire frames); which pieces are drawn stays.
void showPieces(TPlanShow& show, const std::vector<std::string>& ids);
// Every piece drawn.
void showAll(TPlanShow& show);

// Pile stepper: shows piles 0..k with k = heapStep and returns the lines
// the window writes under the drawing (an empty line first). heapStep then
// names the next pile, 0 after the last. A heapStep outside the piles (the
// self-service window shares the counter and may leave it anywhere) starts
// at the first pile. No piles: nothing changes and no line is returned.
// A count text that is not a number counts 0.
std::vector<std::string> pileStep(const TPileLists& piles, int& heapStep, TPlanShow& show);

// The colour of a grid swatch from a goods colour text "R,G,B": three
// integers (blanks around them allowed), each 0..255. False for anything
// else (the swatch is then left unfilled).
bool swatchColor(std::string_view text, int rgb[3]);

}  // namespace tms
