#pragma once
// The benchmark orders: a 40-foot container (12032 x 2352 x 2393 mm, load
// limit 26700 kg), weight constraint on, unrestricted placement, type B,
// filled into the engine by the order launcher as the new-order window does.

#include <string>
#include <vector>

#include "engine/OrderLaunch.h"

namespace bench {

struct Carton {
    const char* goodsNo;
    float L, W, H;
    double weight;
    int amount;
};

struct Workload {
    const char* name;
    std::vector<Carton> cartons;
};

inline const std::vector<Workload>& workloads() {
    static const std::vector<Workload> loads = {
        {"BM-1", {{"A600", 600, 400, 300, 20, 500}, {"B500", 500, 350, 250, 12, 500}, {"C450", 450, 300, 200, 8, 500}}},
        {"BM-2",
         {{"D300", 300, 200, 150, 2, 2500}, {"E250", 250, 200, 100, 1, 2500}, {"F200", 200, 150, 100, 1, 2500}}},
        {"BM-3",
         {{"D300", 300, 200, 150, 2, 4000}, {"E250", 250, 200, 100, 1, 4000}, {"F200", 200, 150, 100, 1, 4000}}},
    };
    return loads;
}

inline constexpr double kBoxL = 12032, kBoxW = 2352, kBoxH = 2393, kMaxWeight = 26700;

// threads: 0 = one per core.
inline void fillOrder(tms::THoldEngine& e, const std::vector<Carton>& cartons, int threads = 0) {
    std::vector<tms::TOrderLine> lines;
    for (const Carton& c : cartons) lines.push_back({c.goodsNo, c.goodsNo, c.L, c.W, c.H, c.weight, true, c.amount});
    tms::TOrderOptions o;
    o.engine.weightRestrict = true;
    o.engine.directionRestrict = false;
    o.engine.loadingMode = tms::TLoadingMode::unrestricted;
    o.engine.preferUpright = false;
    o.engine.pileCalc = true;
    o.engine.typeA = false;
    o.engine.threads = threads;
    tms::launchOrder(e, lines, {kBoxL, kBoxW, kBoxH, kMaxWeight}, o);
}

}  // namespace bench
