// Speed of whole loading runs on a 40-foot container (12032 x 2352 x 2393 mm,
// load limit 26700 kg, weight constraint on, unrestricted placement, type B).
// For each workload: wall time on all cores and on one core, the containers
// used, and pieces and loading ratio per container.
//
//   engine_bench [repetitions]   (default 5; the best time is shown, and
//                                 the time of the engine's first run)

#include "HoldEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

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

void fill(tms::THoldEngine& e, const Workload& w, int threads) {
    e.options = tms::TEngineOptions();
    e.options.weightRestrict = true;
    e.options.directionRestrict = false;
    e.options.loadingMode = 0;
    e.options.typeA = false;
    e.options.threads = threads;
    e.goodsArr.clear();
    e.loadList.clear();
    for (const Carton& c : w.cartons)
        for (int k = 1; k <= c.amount; ++k) {
            tms::Tgoodsinfo g;
            g.GoodsNo = c.goodsNo;
            g.ListId = std::string(c.goodsNo) + std::to_string(1000000 + k).substr(1);
            g.GoodsName = c.goodsNo;
            g.L = c.L;
            g.W = c.W;
            g.H = c.H;
            g.weight = c.weight;
            g.canTurn = 1;
            g.vehicleOrder = -1;
            e.goodsArr.push_back(g);
            e.loadList.push_back(g.ListId);
        }
    e.bestArr.assign(e.goodsArr.size(), tms::Tgoodsinfo());
    tms::tBox b;
    b.boxNo = "1";
    b.L = 12032;
    b.W = 2352;
    b.H = 2393;
    b.maxWeight = 26700;
    b.opened = 1;
    e.boxArr.assign(1, b);
}

double runOnce(tms::THoldEngine& e, const Workload& w, int threads, tms::TRunResult& r) {
    fill(e, w, threads);
    const auto t0 = std::chrono::steady_clock::now();
    r = e.getGoodsArrYH("BENCH");
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::vector<Workload> loads = {
        {"BM-1", {{"A600", 600, 400, 300, 20, 500}, {"B500", 500, 350, 250, 12, 500}, {"C450", 450, 300, 200, 8, 500}}},
        {"BM-2", {{"D300", 300, 200, 150, 2, 2500}, {"E250", 250, 200, 100, 1, 2500}, {"F200", 200, 150, 100, 1, 2500}}},
        {"BM-3", {{"D300", 300, 200, 150, 2, 4000}, {"E250", 250, 200, 100, 1, 4000}, {"F200", 200, 150, 100, 1, 4000}}},
    };
    const double boxVolume = 12032.0 * 2352.0 * 2393.0;
    std::printf("container 12032 x 2352 x 2393 mm, load limit 26700 kg, weight constraint on, unrestricted, type B\n");
    std::printf("best of %d runs; all cores = %d threads\n\n", reps, cores);
    for (const Workload& w : loads) {
        tms::THoldEngine e;
        tms::TRunResult r;
        double all = 1e300, one = 1e300;
        // The first run of an engine also sets up its threads and workspaces.
        const double first = runOnce(e, w, 0, r);
        for (int i = 0; i < reps; ++i) all = std::min(all, runOnce(e, w, 0, r));
        for (int i = 0; i < std::max(1, reps / 2); ++i) one = std::min(one, runOnce(e, w, 1, r));
        std::map<int, std::pair<int, double>> per;
        for (const tms::Tgoodsinfo& g : e.bestArr) {
            if (g.vehicleOrder < 1) continue;
            auto& p = per[g.vehicleOrder];
            ++p.first;
            p.second += static_cast<double>(g.L) * g.W * g.H;
        }
        std::printf("%s: %zu pieces  all cores %.1f ms (first run %.1f ms)  one core %.1f ms  containers used %d (opened %d)  left over %zu\n",
                    w.name, e.goodsArr.size(), all, first, one, r.boxesUsed, r.boxesOpened, r.leftOver.size());
        for (const auto& [v, p] : per)
            std::printf("  container %d: %d pieces, loading ratio %.2f%%\n", v, p.first, 100.0 * p.second / boxVolume);
    }
    return 0;
}
