#pragma once
// The records of the loading engine (free spaces, pieces, containers, the
// drawing arrays), the options a launcher gives a run, the sweep parameters
// and the outcome of a run. See HoldEngine.h for how a launcher uses them.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tms {

// ---------------------------------------------------------------- records --

// One free cuboid of a container.
struct TSpace {
    // Text of the corner: z "Z" y "Y" x "X" (500Z0Y1200X). Nothing looks a
    // space up by it; the optimiser's own trials leave it empty.
    std::string key;
    float x = 0, y = 0, z = 0;  // corner nearest the origin
    double len = 0;             // extent along X
    double wid = 0;             // extent along Z
    double hei = 0;             // extent along Y
    std::uint8_t active = 0;    // 1 may be chosen; 0 retired
    // Used only by the self-service placement, which shares this type.
    std::string selfNote;
    std::uint8_t selfUsed = 0;  // set to 1 when the self-service placement adds the space
    std::string selfNote2;
    int selfSlot = 0;  // slot of the space in the self-service pool
    int selfKind = 0;  // 0 beside, 1 front, 2 top, 3 whole container

    void rebuildKey();  // key := spaceKey(x, y, z)
};

// z "Z" y "Y" x "X", each float in general decimal form (up to 15
// significant digits, no trailing zeros, no point for whole numbers).
std::string spaceKey(float x, float y, float z);
// The general decimal text used in keys and plan statements ("." always).
std::string floatText(double v);

// One piece of an order during a calculation.
struct Tgoodsinfo {
    std::string GoodsNo;
    std::string ListId;  // trimmed goods number + six-digit serial
    std::string GoodsName;
    float L = 0, W = 0, H = 0;      // length, width, height in mm (no margins)
    double weight = 0;              // kg
    std::string code;               // "DMJX" ... once placed; empty before
    std::uint8_t placed = 0;        // goodsArr: loaded; bestArr: in the winning trial
    std::uint8_t canTurn = 0;       // 1 = the goods may be turned over
    double x0 = 0, y0 = 0, z0 = 0;  // near corner
    double x1 = 0, y1 = 0, z1 = 0;  // far corner
    int vehicleOrder = -1;          // 1-based container number; -1 none
};

// One container opened by a run.
struct tBox {
    std::string boxNo;      // "1", "2", ...
    std::string vehicleNo;  // container number (filled by the drawing only)
    double L = 0, H = 0, W = 0;
    std::uint8_t opened = 0;
    std::uint8_t overflow = 0;  // some trial of its sweep failed to place a piece
    double loadedVolume = 0;    // as the last trial of its sweep left it
    double loadedWeight = 0;
    double maxWeight = 0;
};

// Drawing colour of one piece.
struct color {
    float red = 0, green = 0, blue = 0;  // 0..1
    float alpha = 1;                     // 1 shown, 0 hidden
    std::string pileKey;                 // the piece's pile id
    std::uint8_t shown = 0;
};

// A text followed by a colour.
struct gc {
    std::string text;
    color c;
};

// The drawing arrays of the container on show (filled by the plan view).
struct TArr {
    using Vertex = std::array<float, 3>;
    int arrTag = 4;                  // set to 4 on construction
    std::vector<int> seqArr;         // build sequence number from 1
    std::vector<std::string> idArr;  // ListId
    std::vector<std::string> goodsNoArr;
    std::vector<color> colorArr;
    std::vector<std::string> placeArr;  // placement text
    std::vector<std::string> floorArr;  // pile id
    std::vector<std::array<Vertex, 8>> vertArr;
    std::vector<std::string> textArr;  // sized with the others, left empty
};

// The eight corners of the box from (x0, y0, z0) to (x1, y1, z1) in the
// order of a piece's vertArr: the bottom loop 0-3 at y0, the top loop 4-7
// above it.
inline std::array<TArr::Vertex, 8> boxCorners(float x0, float y0, float z0, float x1, float y1, float z1) {
    return {{{x0, y0, z0},
             {x1, y0, z0},
             {x1, y0, z1},
             {x0, y0, z1},
             {x0, y1, z0},
             {x1, y1, z0},
             {x1, y1, z1},
             {x0, y1, z1}}};
}

// ---------------------------------------------------------------- options --

// Placement mode "摆放方式" as HoldOrderForm.LoadingType stores it.
enum class TLoadingMode : int {
    unrestricted = 0,  // "无限制"
    flat = 1,          // "平放"
    upright = 2,       // "纵放"
};

// Which window starts the calculation (the new-order window's fromForm10).
// It decides the serials of the pieces and what the plan write does with a
// type-A plan.
enum class TLaunchPath {
    // The new-order window: serials from 000001, the goods number trimmed
    // in the ListId; a type-A plan keeps container 1 only.
    newOrder,
    // The recalculation of a stored order: serials from 000000, the goods
    // number as read; every container is kept.
    recalculation,
};

// What a run takes from the windows, filled by the launcher at the start of
// the run. The engine reads no widget.
struct TEngineOptions {
    bool weightRestrict = true;      // settings "起用重量约束 " (CheckBox2)
    bool directionRestrict = false;  // settings "起用方向约束" (CheckBox3)
    TLoadingMode loadingMode = TLoadingMode::unrestricted;
    bool preferUpright = false;  // new-order "尽量立放"
    bool pileCalc = true;        // new-order "进行分堆计算"
    bool typeA = false;          // new-order type A button
    TLaunchPath path = TLaunchPath::newOrder;
    // Progress of the run on the starting window's bar: called on the
    // calling thread with the bar's maximum and position.
    std::function<void(int maximum, int position)> progress;
    int threads = 0;  // trials run on this many threads; 0 = one per core
};

// The six sweep parameters of one trial.
struct TSweepParams {
    int axesNo = 1;      // 1..5
    int firstPref = 1;   // 1..2
    int secondPref = 0;  // 0..1
    int spaceOrder = 2;  // 2, 3 (unrestricted), 5 (flat), 4 (upright)
    int splitMode = 0;   // 0..1
    int pairNo = 1;      // 1..3
};

// Trials per sweep for a placement mode (240 or 120; 0 for an unknown mode).
int trialsPerSweep(TLoadingMode loadingMode);
// Parameters of trial number t (0-based) of a sweep in sweep order.
TSweepParams sweepParams(TLoadingMode loadingMode, int t);

// Outcome of a whole run.
struct TRunResult {
    bool ok = false;
    std::string error;          // why the input was refused; empty when ok
    int boxesOpened = 0;        // boxArr.size(): may end with an empty container
    int boxesUsed = 0;          // highest container number holding a piece
    std::vector<int> leftOver;  // goodsArr indices of pieces not loaded, ascending
};

}  // namespace tms
