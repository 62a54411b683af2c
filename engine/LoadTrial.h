#pragma once
// The state of one greedy trial and the routines that work on it. The
// optimiser (HoldEngine.h) runs its trials on private copies; the engine is
// one too. The routines live one a file: TrialOrientation.cpp, TrialPlace.cpp,
// TrialMerge.cpp, TrialSpaces.cpp (indexes) and TrialRun.cpp (the trial
// loop), with the small members in LoadTrial.cpp.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/EngineTypes.h"

namespace tms {

// ------------------------------------------------------------- one trial --

namespace detail {
struct PieceKind;
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
    int dimOrder = 0;            // order of the dimensions of the piece being decided
    std::uint8_t relaxFlag = 0;  // 1 once the upright preference is dropped
    double lowX = 0, lowY = 0;   // search bound

    std::vector<Tgoodsinfo> kindArr;  // goods kinds for isXKJ (empty in every run)
    int kindCount = 0;

    bool keepKeys = true;  // write TSpace::key of new and grown spaces

    // Res := "OUT" or the code of the orientation in which G stands at SP's corner.
    void JudgeIfIn(const TSpace& SP, const Tgoodsinfo& G, std::string& Res);
    // May the dimension of the given rank in k's dimension order (0..2, "yh1"
    // to "yh3") lie along the axis (0 X, 1 Y up, 2 Z)? The direction switch
    // binds goods that may not be turned, the upright preference every goods
    // until the trial relaxes it: then only the height stands up.
    bool JudgeBFFS(const detail::PieceKind& k, int axis, int rank) const;
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

}  // namespace tms
