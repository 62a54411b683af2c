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
//   e.options.pileCalc, typeA, path, progress  (read by the plan rows)
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
// trial: 240 trials per container unrestricted, 120 flat or upright. The
// callback is called on the caller's thread; an exception it throws stops the
// sweep (the trial threads finish their trial and stay ready for the next
// run) and leaves getGoodsArrYH. The run's state is then half done: fill the
// input again before the next run, as for any run.
//
// Geometry: X along the container length, Y up, Z across the width; mm and kg.
// Corners of free spaces are float, extents double, and every comparison is
// exact (no tolerance). The library is built without contraction and without
// fast-math so that a plan is the same on every machine and for any number of
// threads.

#include <memory>
#include <string>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/LoadTrial.h"

namespace tms {

namespace detail {
struct RunPieces;
struct TrialOutcome;
struct SweepOutcome;
}  // namespace detail

// ------------------------------------------------------------- the engine --

// The engine state the windows share, and the optimiser.
class THoldEngine : public TLoadTrial {
public:
    THoldEngine();
    ~THoldEngine();

    TEngineOptions options;

    std::vector<std::string> loadList;     // ListId of every piece not yet loaded
    std::vector<Tgoodsinfo> goodsArr;      // the order's pieces in loading order
    std::vector<Tgoodsinfo> bestArr;       // winning placement of each piece
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
    // the container with a size that is not positive or is below 1 mm, a
    // piece weight that is negative or not a finite number, a load limit
    // that is not a number, no container, an unknown placement mode.
    std::string checkInput() const;

protected:
    tBox* weightBox() override;

private:
    // The steps of getGoodsArrYH, in the order it runs them.
    void readyCrew(int trials);
    detail::SweepOutcome runSweep(const detail::RunPieces& pieces, bool relaxStart);
    std::vector<char> takenFromLoadList(const detail::TrialOutcome* win) const;
    void takeWinner(const detail::TrialOutcome& win, int number);
    void openNextContainer();
    void markLoaded(const detail::TrialOutcome& win, int number, const std::vector<char>& taken,
                    detail::RunPieces& pieces);
    void collectLeftOver(TRunResult& result);

    std::unique_ptr<detail::RunCrew> crew_;  // trial workers and threads, kept between runs
};

}  // namespace tms
