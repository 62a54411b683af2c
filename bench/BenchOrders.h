#pragma once
// The benchmark orders: a 40-foot container (12032 x 2352 x 2393 mm, load
// limit 26700 kg), weight constraint on, unrestricted placement, type B,
// filled into the engine as the new-order window fills it.

#include <string>
#include <vector>

#include "platform/Codes.h"
#include "engine/HoldEngine.h"

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
        {"BM-2", {{"D300", 300, 200, 150, 2, 2500}, {"E250", 250, 200, 100, 1, 2500}, {"F200", 200, 150, 100, 1, 2500}}},
        {"BM-3", {{"D300", 300, 200, 150, 2, 4000}, {"E250", 250, 200, 100, 1, 4000}, {"F200", 200, 150, 100, 1, 4000}}},
    };
    return loads;
}

inline constexpr double kBoxL = 12032, kBoxW = 2352, kBoxH = 2393, kMaxWeight = 26700;

// threads: 0 = one per core.
inline void fillOrder(tms::THoldEngine& e, const std::vector<Carton>& cartons, int threads = 0) {
    e.options = tms::TEngineOptions{};
    e.options.weightRestrict = true;
    e.options.directionRestrict = false;
    e.options.loadingMode = 0;
    e.options.preferUpright = false;
    e.options.pileCalc = true;
    e.options.typeA = false;
    e.options.fromForm10 = 1;
    e.options.threads = threads;
    e.goodsArr.clear();
    e.loadList.clear();
    for (const Carton& c : cartons) {
        for (int k = 1; k <= c.amount; ++k) {
            tms::Tgoodsinfo g;
            g.GoodsNo = c.goodsNo;
            g.ListId = std::string(c.goodsNo) + tms::add0(k);
            g.GoodsName = c.goodsNo;
            g.L = c.L;
            g.W = c.W;
            g.H = c.H;
            g.weight = c.weight;
            g.canTurn = 1;
            g.vehicleOrder = -1;
            e.loadList.push_back(g.ListId);
            e.goodsArr.push_back(std::move(g));
        }
    }
    e.bestArr.assign(e.goodsArr.size(), tms::Tgoodsinfo{});
    tms::tBox box;
    box.boxNo = "1";
    box.L = kBoxL;
    box.W = kBoxW;
    box.H = kBoxH;
    box.maxWeight = kMaxWeight;
    box.opened = 1;
    e.boxArr = {box};
}

}  // namespace bench
