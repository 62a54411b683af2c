#pragma once
// Stores catalogue rows, an order and its computed plan the way the program
// does: catalogue and order rows first, then the engine input built from the
// order lines by the launcher on the new-order path, then the calculation
// with its plan rows (GoodsOrder).

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "engine/OrderLaunch.h"
#include "engine/PlanOrder.h"
#include "platform/AdoDb.h"

namespace viewtest {

struct Vehicle {
    std::string no, name;
    int L, W, H, maxWeight;
    std::string model;
};

struct Goods {
    std::string no, name, brand;
    int model;
    std::string upward;  // "1" may be turned over
    int L, W, H, weight;
    std::string color;
};

struct Line {
    std::string goodsNo;
    int amount;
};

struct OrderRow {
    std::string no, name, sailDate, vehicleNo, consigner, destination;
    int countType = 1, loadingType = 0, direction = 0, weight = 1, addL = 0, addW = 0, addH = 0;
};

inline QString q(const std::string& s) { return QString::fromStdString(s); }

inline void addVehicle(TADOConnection& c, const Vehicle& v) {
    c.Execute(
        "INSERT INTO HoldVehicles(VehicleNo, VehicleName, ContainerL, ContainerW, ContainerH, MaxWeight, Model) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)",
        {q(v.no), q(v.name), v.L, v.W, v.H, v.maxWeight, q(v.model)});
}

inline void addGoods(TADOConnection& c, const Goods& g) {
    c.Execute(
        "INSERT INTO HoldGoods(GoodsNo, GoodsName, Brand, Model, Upward, Length, Width, Height, Weight, COLOR) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {q(g.no), q(g.name), q(g.brand), g.model, q(g.upward), g.L, g.W, g.H, g.weight, q(g.color)});
}

// Stores the order header and lines and computes its plan with piles.
// Returns the calculation's result.
inline tms::TPlanResult addOrder(TADOConnection& c, const OrderRow& o, const std::vector<Line>& lines) {
    c.Execute(
        "INSERT INTO HoldOrderForm(OrderFormNo, OrderFormName, SailDate, VehicleNo, Consigner, Destination, "
        "CountType, LoadingType, IsDirectionRestrict, IsWeightRestrict, AddL, AddW, AddH) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {q(o.no), q(o.name), q(o.sailDate), q(o.vehicleNo), q(o.consigner), q(o.destination), o.countType,
         o.loadingType, o.direction, o.weight, o.addL, o.addW, o.addH});
    int seq = 0;
    for (const Line& l : lines)
        c.Execute("INSERT INTO HoldOrderFormList(OrderFormNo, GoodsNo, Amount, Sequence) VALUES (?, ?, ?, ?)",
                  {q(o.no), q(l.goodsNo), l.amount, ++seq});

    std::vector<tms::TOrderLine> order;
    TADOQuery g(&c);
    g.setSQL(
        "SELECT B.GoodsNo, A.GoodsName, A.Length, A.Width, A.Height, A.Weight, A.Upward, B.Amount "
        "FROM HoldOrderFormList B, HoldGoods A WHERE A.GoodsNo = B.GoodsNo AND B.OrderFormNo = ? "
        "ORDER BY B.Sequence");
    g.bind(1, q(o.no));
    g.Open();
    for (int r = 0; r < g.RecordCount(); ++r)
        order.push_back({g.cell(r, 0).toString().toStdString(), g.cell(r, 1).toString().toStdString(),
                         g.cell(r, 2).toDouble(), g.cell(r, 3).toDouble(), g.cell(r, 4).toDouble(),
                         g.cell(r, 5).toDouble(), g.cell(r, 6).toString() == "1", g.cell(r, 7).toInt()});
    TADOQuery v(&c);
    v.setSQL("SELECT ContainerL, ContainerW, ContainerH, MaxWeight FROM HoldVehicles WHERE VehicleNo = ?");
    v.bind(1, q(o.vehicleNo));
    v.Open();
    tms::TOrderContainer box;
    if (!v.IsEmpty())
        box = {v.cell(0, 0).toDouble(), v.cell(0, 1).toDouble(), v.cell(0, 2).toDouble(), v.cell(0, 3).toDouble()};

    tms::TOrderOptions opt;
    opt.engine.weightRestrict = o.weight == 1;
    opt.engine.directionRestrict = o.direction == 1;
    opt.engine.loadingMode = static_cast<tms::TLoadingMode>(o.loadingType);
    opt.engine.pileCalc = true;
    opt.engine.typeA = o.countType == 0;
    opt.engine.threads = 1;
    // Type A takes the one line's amount as its piece count.
    if (opt.engine.typeA && !order.empty()) opt.typeACount = order.front().amount;
    tms::THoldEngine e;
    tms::launchOrder(e, order, box, opt);
    if (e.goodsArr.empty()) return tms::TPlanResult{true, {}, 0, 0, 0, {}};
    return tms::GoodsOrder(e, c, o.no);
}

// A case's input.txt: one record a line, fields separated by "|":
//   vehicle|no|name|L|W|H|maxWeight|model
//   goods|no|name|brand|model|upward|L|W|H|weight|colour
//   order|no|name|sailDate|vehicleNo|consigner|destination|countType|loadingType|direction|weight|addL|addW|addH
//   line|goodsNo|amount
// "#" starts a comment line.
inline std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '|')) f.push_back(part);
    if (!line.empty() && line.back() == '|') f.push_back("");
    return f;
}

// Stores what input.txt describes; returns the order number.
inline std::string storeCase(TADOConnection& c, const std::string& file) {
    std::ifstream in(file);
    std::string line, order;
    OrderRow o;
    std::vector<Line> lines;
    bool haveOrder = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto f = split(line);
        if (f[0] == "vehicle") {
            addVehicle(c, {f[1], f[2], std::stoi(f[3]), std::stoi(f[4]), std::stoi(f[5]), std::stoi(f[6]), f[7]});
        } else if (f[0] == "goods") {
            addGoods(c, {f[1], f[2], f[3], std::stoi(f[4]), f[5], std::stoi(f[6]), std::stoi(f[7]), std::stoi(f[8]),
                         std::stoi(f[9]), f[10]});
        } else if (f[0] == "order") {
            o = OrderRow{f[1],
                         f[2],
                         f[3],
                         f[4],
                         f[5],
                         f[6],
                         std::stoi(f[7]),
                         std::stoi(f[8]),
                         std::stoi(f[9]),
                         std::stoi(f[10]),
                         std::stoi(f[11]),
                         std::stoi(f[12]),
                         std::stoi(f[13])};
            haveOrder = true;
        } else if (f[0] == "line") {
            lines.push_back({f[1], std::stoi(f[2])});
        }
    }
    EXPECT_TRUE(haveOrder);
    const tms::TPlanResult r = addOrder(c, o, lines);
    EXPECT_TRUE(r.ok) << r.error;
    return o.no;
}

}  // namespace viewtest
