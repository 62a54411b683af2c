// Benchmark of the largest type-A order: 100 mm cubes (the smallest goods
// the catalogue takes, of no weight) in a high 40-foot container
// (12032 x 2352 x 2698 mm), counted to 76,351 pieces, computed unrestricted
// with piles and stored with its plan on a real keyed database file, on
// every core: what "计算保存" does between its checks and the drawing.
//
//   type_a_bench [rounds]

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchDb.h"
#include "data/OrderStore.h"
#include "engine/HoldEngine.h"

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;
    TADOConnection conn;
    if (!bench::openDatabase(dir, false, conn)) return 1;
    conn.Execute(
        "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
        "values ('40HQ','40尺高柜',12032,2352,2698,26500)");
    conn.Execute(
        "insert into HoldGoods(GoodsNo,GoodsName,Upward,Length,Width,Height,Weight,COLOR) "
        "values ('CUBE','立方',1,100,100,100,0,'200,100,50')");

    tms::THoldEngine engine;
    tms::TEngineOptions sw;
    tms::TOrderEntry e;
    e.sailDate = QDate(2024, 1, 1);
    e.vehicleNo = QStringLiteral("40HQ");
    e.typeA = true;
    e.lines = {{QStringLiteral("CUBE"), QStringLiteral("1")}};

    std::vector<double> times;
    int pieces = 0;
    for (int r = 0; r < rounds; ++r) {
        e.orderNo = QStringLiteral("TYPE-A-%1").arg(r);
        const auto t0 = std::chrono::steady_clock::now();
        const tms::TOrderOutcome o = tms::computeNewOrder(conn, engine, e, sw);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        if (!o.stored()) {
            std::fprintf(stderr, "not stored: %s\n", qPrintable(o.message));
            return 1;
        }
        pieces = o.plan.placed;
    }
    std::sort(times.begin(), times.end());
    std::printf("TYPE-A  %zu pieces counted, %d placed  best %.2f s  median %.2f s  (%d rounds)\n",
                engine.goodsArr.size(), pieces, times.front(), times[times.size() / 2], rounds);
    return 0;
}
