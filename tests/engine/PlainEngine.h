#pragma once
// A plain, single-threaded version of the loading steps, kept as the
// reference the engine is compared with: every free-space search walks the
// whole list, merging recurses, the counting loops of the orientation
// decision run in full, and the trials of a sweep run one after the other,
// writing provisional winners as they go. It shares only the record types
// with the engine.

#include <memory>
#include <string>
#include <vector>

#include "engine/HoldEngine.h"

namespace plain {

struct Space {
    float x = 0, y = 0, z = 0;
    double len = 0, wid = 0, hei = 0;
    int active = 0;
};

struct Options {
    bool weight = true;
    bool direction = false;
    int mode = 0;
    bool upright = false;
};

class Engine {
public:
    Options opt;
    std::vector<tms::Tgoodsinfo> goodsArr, bestArr;
    std::vector<tms::tBox> boxArr;
    std::vector<std::string> loadList;
    int curBoxIdx = 0;
    double bestVolume = 0, trialVolume = 0;
    std::vector<int> progress;  // positions reported, -1 marks a sweep start

    // The whole run; returns the goodsArr indices left over.
    std::vector<int> run();

    // The single routines, on this object's trial state.
    std::string JudgeIfIn(const Space& sp, const tms::Tgoodsinfo& g);
    int GoosInSpace(tms::Tgoodsinfo& g);
    int UnitSpace(Space& s);

    Space root;
    std::vector<Space*> spaceList;
    std::vector<std::unique_ptr<Space>> spaceArr;
    int spaceNext = 0;
    int axesNo = 1, firstPref = 1, secondPref = 0, spaceOrder = 2, splitMode = 0, pairNo = 1;
    int dimOrder = 0;
    int relaxFlag = 0;
    double lowX = 0, lowY = 0;

private:
    bool JudgeBFFS(bool canTurn, char axis, int rank);
    bool trial(bool relaxStart);
};

}  // namespace plain
