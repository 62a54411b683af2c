#pragma once
// The plan on show: what the plan loading fills and the drawings read.
//
// TPlanShow is the state the settings window TForm1 keeps for every window
// that draws a plan (the assembly drawing and the self-service window):
//   Form1->plan.curBox      the container on show (vehicleNo, L, H, W in mm)
//   Form1->plan.planArr     one drawing record per piece, in build order
//   Form1->plan.planCount   number of pieces in planArr
//   Form1->plan.showFloors  keys (pile ids or piece ids) the window shows
//
// TPlanScene is what the drawing window itself keeps for the container: the
// view extent and the twelve outline vertices.
//
// Coordinates of planArr.vertArr and of boxVerts are millimetres relative to
// the centre of the container: x along the length, y up, z across the width.
// A window that steps through the plan changes only colorArr[i].alpha and
// colorArr[i].shown (shown 1 = drawn); the renderer notices such changes on
// its own.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/HoldEngine.h"

namespace tms {

struct TPlanShow {
    tBox curBox;   // vehicleNo, L, H, W of the container on show
    TArr planArr;  // drawing arrays, each sized planCount
    int planCount = 0;
    std::vector<std::string> showFloors;  // keys currently shown
};

struct TPlanScene {
    // 1.1 x the container's diagonal; the renderer scales the scene by it.
    // Never 0: 1 while no container is known.
    float viewSize = 1.0f;
    // Corners 0..7 in the order of a piece's corners (bottom face, then top
    // face), 8..11 the end marker on the face x = +L/2.
    std::array<TArr::Vertex, 12> boxVerts{};
    // False while no container has been loaded: no outline is drawn.
    bool hasOutline = false;
};

// Sizes every drawing array of `arr` to `n` records (textArr too, left
// empty); records already there are kept.
void sizeArr(TArr& arr, std::size_t n);

// The scene of a container of inner length L, height H and width W (mm):
// view size 1.1 x the diagonal (1 when that is not positive) and the
// outline, its end marker a quarter of the face high and wide.
TPlanScene containerScene(double L, double H, double W);

}  // namespace tms
