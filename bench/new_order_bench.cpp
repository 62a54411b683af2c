// Benchmark of the new-order window's "计算保存" on the BM-1 order (40-foot
// container 12032 x 2352 x 2393 mm, load limit 26700 kg, weight switch on,
// unrestricted, type B, piles on; cartons 600x400x300 20 kg, 500x350x250
// 12 kg, 450x300x200 8 kg, 500 each: 1,500 pieces), from the click until
// the drawing window is shown, on every core. The window runs on a real
// keyed database file; each round stores the order under a new number.
//
//   QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a new_order_bench [rounds]

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchDb.h"
#include "bench/BenchOrders.h"
#include "data/Unit10.h"
#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "platform/Dialogs.h"
#include "tests/support/OrderForms.h"
#include "view/Unit8.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    tms::ui::BoxRecorder boxes;

    QTemporaryDir dir;
    TADOConnection conn;
    if (!bench::openDatabase(dir, false, conn)) return 1;
    conn.Execute(
        "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
        "values ('40HC','40尺',?,?,?,?)",
        {bench::kBoxL, bench::kBoxW, bench::kBoxH, bench::kMaxWeight});
    const bench::Workload& load = bench::workloads().front();
    for (const bench::Carton& c : load.cartons)
        conn.Execute(
            "insert into HoldGoods(GoodsNo,GoodsName,Upward,Length,Width,Height,Weight,COLOR) "
            "values (?,?,'1',?,?,?,?,'200,100,50')",
            {c.goodsNo, c.goodsNo, c.L, c.W, c.H, c.weight});

    OrderForms forms(&conn);
    Form10->show();
    Form10->RadioButton2->setChecked(true);
    Form10->DBLookupComboBox3->setCurrentIndex(Form10->DBLookupComboBox3->findData("40HC"));
    for (const bench::Carton& c : load.cartons) {
        Form5->GoodsQuery->Locate("GoodsNo", c.goodsNo);
        Form10->Edit1->setText(QString::number(c.amount));
        Form10->Button1->click();
    }
    app.processEvents();

    std::vector<double> times, handler;
    using Clock = std::chrono::steady_clock;
    for (int r = 0; r < rounds; ++r) {
        Form8->hide();
        app.processEvents();
        Form10->Edit3->setText(QStringLiteral("BENCH-%1").arg(r));
        const auto t0 = Clock::now();
        Form10->Button3->click();
        handler.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        while (!(Form8->windowHandle() && Form8->windowHandle()->isExposed())) app.processEvents();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    if (!boxes.texts().isEmpty()) std::fprintf(stderr, "boxes: %s\n", qPrintable(boxes.texts().join('|')));
    std::sort(times.begin(), times.end());
    std::sort(handler.begin(), handler.end());
    std::printf("NEW-ORDER  1500 pieces  best %.1f ms  median %.1f ms  (%d rounds)\n", times.front(),
                times[times.size() / 2], rounds);
    std::printf(
        "  of which the click's handler (check, store, compute, fill the drawing): best %.1f ms  median %.1f ms\n",
        handler.front(), handler[handler.size() / 2]);

    return 0;
}
