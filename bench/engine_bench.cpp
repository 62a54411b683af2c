// Speed of whole loading runs on a 40-foot container (12032 x 2352 x 2393 mm,
// load limit 26700 kg, weight constraint on, unrestricted placement, type B).
// For each workload: wall time on all cores and on one core, the containers
// used, and pieces and loading ratio per container.
//
//   engine_bench [repetitions]   (default 5; the best time is shown, and
//                                 the time of the engine's first run)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchOrders.h"

namespace {

double runOnce(tms::THoldEngine& e, const bench::Workload& w, int threads, tms::TRunResult& r) {
    bench::fillOrder(e, w.cartons, threads);
    const auto t0 = std::chrono::steady_clock::now();
    r = e.getGoodsArrYH("BENCH");
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const auto& loads = bench::workloads();
    const double boxVolume = bench::kBoxL * bench::kBoxW * bench::kBoxH;
    std::printf("container 12032 x 2352 x 2393 mm, load limit 26700 kg, weight constraint on, unrestricted, type B\n");
    std::printf("best of %d runs; all cores = %d threads\n\n", reps, cores);
    for (const bench::Workload& w : loads) {
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
        std::printf(
            "%s: %zu pieces  all cores %.1f ms (first run %.1f ms)  one core %.1f ms  containers used %d (opened %d)  "
            "left over %zu\n",
            w.name, e.goodsArr.size(), all, first, one, r.boxesUsed, r.boxesOpened, r.leftOver.size());
        for (const auto& [v, p] : per)
            std::printf("  container %d: %d pieces, loading ratio %.2f%%\n", v, p.first, 100.0 * p.second / boxVolume);
    }
    return 0;
}
