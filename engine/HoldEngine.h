#pragma once
// The automatic loading engine: free spaces, the orientation decision, the
// placement of one piece, the merging of free spaces and the optimiser that
// fills as few containers as it can. Plain C++: no window, no database.
//
// How a launcher uses it
// ----------------------
//   THoldEngine& e = ...;                 // lives as long as the program
//   e.options.weightRestrict    = <settings "起用重量约束 ">;
//   e.options.directionRestrict = <settings "起用方向约束">;
//   e.options.loadingMode       = TLoadingMode::unrestricted / flat / upright;
//   e.options.preferUpright     = <"尽量立放">;
//   e.options.pileCalc, typeA, fromForm10, progress  (read by the plan rows)
//   e.goodsArr  = the pieces in loading order (vehicleOrder -1, placed 0);
//   e.bestArr   = as many default pieces;
//   e.boxArr    = { container 1: boxNo "1", L, W, H, maxWeight, opened 1 };
//   e.loadList  = the ListId of every piece;
//   e.rootSpace / e.spaceList as the launchers leave them (the run resets them);
//   TRunResult r = e.getGoodsArrYH(orderNo);
//
// Afterwards (when r.ok): bestArr[i] holds the placement of goodsArr[i] in the
// winning trial of its container (code, x0..z1, vehicleOrder counting from 1);
// boxArr holds the containers opened (the last may be empty when its sweep
// opened it although every piece found room); r.leftOver lists the pieces
// still unloaded when a sweep of an empty container placed nothing, which
// ends the run: pieces that fit no empty container, or that the skip rule
// kept from being tried (their bestArr entry has placed 0, an empty code and
// vehicleOrder -1; their ListId stays in loadList). A loaded piece
// has placed 1 in goodsArr with its code, corners and container copied there
// too. bestArr[i].placed is 1 only for the pieces of the last container
// filled. When !r.ok the input was refused (r.error says why) and nothing
// was changed.
//
// Progress: at the start of each sweep progress(240, 0), then one step per
// trial: 240 trials per container unrestricted, 120 flat or upright.
//
// Geometry: X along the container length, Y up, Z across the width; mm and kg.
// Corners of free spaces are float, extents double, and every comparison is
// exact (no tolerance). The library is built without contraction and without
// fast-math so that a plan is the same on every machine and for any number of
// threads.

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
    int selfSlot = 0;           // slot of the space in the self-service pool
    int selfKind = 0;           // 0 beside, 1 front, 2 top, 3 whole container

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
    std::string ListId;     // trimmed goods number + six-digit serial
    std::string GoodsName;
    float L = 0, W = 0, H = 0;  // length, width, height in mm (no margins)
    double weight = 0;          // kg
    std::string code;           // "DMJX" ... once placed; empty before
    std::uint8_t placed = 0;    // goodsArr: loaded; bestArr: in the winning trial
    std::uint8_t canTurn = 0;   // 1 = the goods may be turned over
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
    int arrTag = 4;                      // set to 4 on construction
    std::vector<int> seqArr;             // build sequence number from 1
    std::vector<std::string> idArr;      // ListId
    std::vector<std::string> goodsNoArr;
    std::vector<color> colorArr;
    std::vector<std::string> placeArr;   // placement text
    std::vector<std::string> floorArr;   // pile id
    std::vector<std::array<Vertex, 8>> vertArr;
    std::vector<std::string> textArr;    // sized with the others, left empty
};

// ---------------------------------------------------------------- options --

// Placement mode "摆放方式" as HoldOrderForm.LoadingType stores it.
enum class TLoadingMode : int {
    unrestricted = 0,  // "无限制"
    flat = 1,          // "平放"
    upright = 2,       // "纵放"
};

// What a run takes from the windows, filled by the launcher at the start of
// the run. The engine reads no widget.
struct TEngineOptions {
    bool weightRestrict = true;      // settings "起用重量约束 " (CheckBox2)
    bool directionRestrict = false;  // settings "起用方向约束" (CheckBox3)
    TLoadingMode loadingMode = TLoadingMode::unrestricted;
    bool preferUpright = false;      // new-order "尽量立放"
    bool pileCalc = true;            // new-order "进行分堆计算"
    bool typeA = false;              // new-order type A button
    int fromForm10 = 1;              // 1 new-order window, 0 order management
    // Progress of the run on the starting window's bar: called on the
    // calling thread with the bar's maximum and position.
    std::function<void(int maximum, int position)> progress;
    int threads = 0;                 // trials run on this many threads; 0 = one per core
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

// ------------------------------------------------------------- one trial --

namespace detail {
struct TrialIndex;
struct RunCrew;
}  // namespace detail

// The state of one greedy trial and the routines that work on it: the
// orientation decision (JudgeIfIn, JudgeBFFS), the placement of one piece
// (GoosInSpace), the merging of a new free space (UnitSpace) and isXKJ.
// The optimiser runs its trials on private copies; the engine itself is one
// too, so that the routines can be used one at a time on its own state.
class TLoadTrial {
public:
    TLoadTrial();
    ~TLoadTrial();
    TLoadTrial(const TLoadTrial&) = delete;
    TLoadTrial& operator=(const TLoadTrial&) = delete;

    // Free spaces of the current trial in the order they were appended
    // (retired ones stay). Entry 0 is normally rootSpace; the others point
    // into spaceArr.
    TSpace rootSpace;
    std::vector<TSpace*> spaceList;
    std::vector<TSpace> spaceArr;  // pool new spaces are written into
    int spaceNext = 0;             // next free slot of spaceArr

    int axesNo = 1, firstPref = 1, secondPref = 0, pairNo = 1;
    int spaceOrder = 2, splitMode = 0;
    int dimOrder = 0;              // order of the dimensions of the piece being decided
    std::uint8_t relaxFlag = 0;    // 1 once the upright preference is dropped
    double lowX = 0, lowY = 0;     // search bound

    std::vector<Tgoodsinfo> kindArr;  // goods kinds for isXKJ (empty in every run)
    int kindCount = 0;

    bool keepKeys = true;  // write TSpace::key of new and grown spaces

    // Res := "OUT" or the code of the orientation in which G stands at SP's corner.
    void JudgeIfIn(const TSpace& SP, const Tgoodsinfo& G, std::string& Res);
    // May the dimension named by rank ("yh1".."yh3") lie along axis ("x", "y", "z")?
    bool JudgeBFFS(bool canTurn, const std::string& axis, const std::string& rank);
    // -1: G placed (code and corners set); 0: not placed, nothing changed.
    int GoosInSpace(Tgoodsinfo& G);
    // True when no goods kind of kindArr fits S.
    bool isXKJ(const TSpace& S);
    // -1: S was merged into a listed space and must not be added; 0: not merged.
    int UnitSpace(TSpace& S);

    // The whole-container space of a trial: rootSpace reset to the container
    // (corner 0, given extents, active), spaceList := { &rootSpace },
    // spaceNext := 0, lowX := lowY := 0; spaceArr grown to at least poolSize.
    void startSpaces(double L, double W, double H, std::size_t poolSize);

    void setSweepParams(const TSweepParams& p);
    TSweepParams sweepParamsNow() const;

protected:
    friend class THoldEngine;
    friend struct detail::TrialIndex;

    const TEngineOptions* opts_ = nullptr;
    // Container whose load the weight test reads; nullptr: no weight test.
    virtual tBox* weightBox() { return &ownBox_; }
    tBox ownBox_;

    std::unique_ptr<detail::TrialIndex> index_;

private:
    TEngineOptions defaultOpts_;
};

// ------------------------------------------------------------- the engine --

// The engine state the windows share, and the optimiser.
class THoldEngine : public TLoadTrial {
public:
    THoldEngine();
    ~THoldEngine();

    TEngineOptions options;

    std::vector<std::string> loadList;  // ListId of every piece not yet loaded
    std::vector<Tgoodsinfo> goodsArr;   // the order's pieces in loading order
    std::vector<Tgoodsinfo> bestArr;    // winning placement of each piece
    std::vector<Tgoodsinfo> goodsArrCopy;  // kept by the recalculation launcher
    std::vector<TSpace> spaceArr2;         // kept by the recalculation launcher
    std::vector<tBox> boxArr;              // containers opened; [0] by the launcher
    int curBoxIdx = 0;
    double boxVolume = 0;     // for the launchers' type-A count; not read here
    double boxMaxWeight = 0;  // likewise
    double trialVolume = 0;   // loaded volume of the last trial run
    double bestVolume = 0;    // best loaded volume of the current container

    // The optimiser: fills containers one by one, each with the best trial
    // of its sweep. The argument is not used.
    TRunResult getGoodsArrYH(const std::string& OrderFormNo = std::string());

    // Why the input would be refused (empty when it is sound): a piece or
    // the container with a size that is not positive, no container, an
    // unknown placement mode.
    std::string checkInput() const;

protected:
    tBox* weightBox() override;

private:
    std::unique_ptr<detail::RunCrew> crew_;  // trial workers and threads, kept between runs
};

}  // namespace tms
