#pragma once
// Loading one container of a stored plan for the drawings, and its summary
// figures. Plain C++ over the data layer; no widget. Every value is bound.
//
// How a drawing window uses it (order = OrderFormNo, v = container number):
//   tms::TCountOptions opt;
//   opt.byPile   = CheckBox3 ticked;                 // grid by pile or by piece
//   opt.grid     = Form1->ADOQuery2-like query the grid shows (or nullptr);
//   opt.progress = [&](int max, int pos) { ProgressBar1 ... };
//   tms::countXYZ(conn, order, v, Form1->plan, scene, opt);
//   tms::TZXInfo zx = tms::getZXInfo(conn, order, v);
//   RE lines from zx (tms::summaryLines(zx)); repaint the panel.
// Both calls are independent; callers make both.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "view/PlanShow.h"

class TADOConnection;
class TADOQuery;

namespace tms {

struct TCountOptions {
    // Grid rows: one per pile (true, the window's hidden "合并同种货物" box,
    // ticked) or one per piece.
    bool byPile = true;
    // The query the grid shows; reopened on the grid rows, or left closed
    // with its text cleared when they cannot be read. nullptr: no grid.
    TADOQuery* grid = nullptr;
    // Progress bar: maximum 3 x pieces; the position runs over the two
    // passes over the pieces and is set back to 0 at the end. Called a
    // bounded number of times (about 200), not once per piece.
    std::function<void(int maximum, int position)> progress;
};

// Loads container `vehicleOrder` of `order` into `show` and `scene`:
//  - curBox: the order's container number and inner L, H, W; scene.viewSize
//    = 1.1 x the diagonal and the outline vertices. An order without a
//    container (no order row, or its container type is not in the catalogue)
//    keeps the curBox, view size and outline of the container on show and
//    loads its pieces (normally none) against them; a container of size 0
//    keeps the view size 1.
//  - planArr / planCount: the pieces in build order (bcd, then bch, then
//    bcw); colorArr holds the goods colour "R,G,B" / 255, or a random colour
//    (multiples of 1/10000) when the colour text is empty or not three
//    numbers; alpha 1, shown 1, pileKey = floor.
//  - showFloors is cleared.
// Throws EDatabaseError when the plan rows cannot be read; `show` and
// `scene` are then left as they were.
void countXYZ(TADOConnection& conn, const std::string& order, int vehicleOrder, TPlanShow& show, TPlanScene& scene,
              const TCountOptions& options = {});

// Reopens `grid` on the grid rows of a container: per pile (columns gid,
// GoodsName, GoodsBrand, GoodsModel, color, GoodsCount, GoodsLength,
// GoodsWidth, GoodsHeight, goodsbffs, goodsfloor, dx, dy, dz; piles in the
// order of their origin dx, dy, dz) or per piece (gid = ListId, GoodsName,
// goodsCount 1, goodsBrand, GoodsModel, color, GoodsFloor, GoodsLength,
// GoodsWidth, GoodsHeight, BCD1, BCW1, BCH1, BCD2, BCW2, BCH2; by ListId).
// An error leaves the query closed with its text cleared; returns false then.
bool openGridQuery(TADOQuery& grid, const std::string& order, int vehicleOrder, bool byPile);

// Summary figures of a container.
struct TZXInfo {
    std::string zxVehicleNo;    // container number of the order
    std::string zxVehicleName;  // its name
    std::string zxRate;         // "87.5%"; "0%" without pieces; "" when the capacity is unknown or 0
    int zxKinds = 0;            // distinct goods in the container
    int zxPieces = 0;           // pieces in the container
};
// Always the figures of this container, never those of the one before,
// except that an order without a container row keeps the number and name
// of `previous` (the container countXYZ keeps on show); its ratio is then
// unknown ("" with pieces).
TZXInfo getZXInfo(TADOConnection& conn, const std::string& order, int vehicleOrder, const TZXInfo& previous = {});

// The loading ratio text is ratioText (platform/Codes.h), shared with the
// self-service drawing.

// The three summary lines under the drawing (after an empty first line):
// container number and type, kinds and pieces, ratio. UTF-8.
std::vector<std::string> summaryLines(const TZXInfo& zx);

// Reads a goods colour text "R,G,B" into 0..1 components (each part / 255).
// Parts are split at ","; the first three must be decimal numbers (blanks
// around them allowed), parts after the third are ignored. False (and rgb
// untouched) for an empty text, fewer than three parts or a part that is
// not a number.
bool readColorText(std::string_view text, float rgb[3]);

}  // namespace tms
