#include "view/LoadingReport.h"

#include "platform/AdoDb.h"
#include "platform/Codes.h"

namespace tms {

namespace {

// Converts with the shared GBK converter; an input sequence the target
// lacks becomes "?". Without a converter the text is kept as it is.
std::string convert(std::string_view in, bool utf8In) {
    std::string out;
    if (!convertGbk(in, utf8In, out, [](std::string_view, std::string& o) { o.push_back('?'); }))
        return std::string(in);
    return out;
}

// The text as the report writes it: characters GBK lacks already "?", so
// that the shared GBK width counts them as the one byte they become.
std::string safe(std::string_view utf8) { return fromGbk(toGbk(utf8)); }

std::string P(std::string_view s, int n) { return addSpaceBack(s, n); }

std::string text(TADOQuery& q, int row, const char* col) {
    return safe(TADOQuery::displayText(q.cell(row, col)).toStdString());
}

bool is(TADOQuery& q, int row, const char* col, const char* value) {
    return TADOQuery::displayText(q.cell(row, col)).trimmed() == QLatin1String(value);
}

std::string countTypeName(TADOQuery& q, int r, const char* c) { return is(q, r, c, "0") ? "A类" : "B类"; }
std::string loadingTypeName(TADOQuery& q, int r, const char* c) {
    if (is(q, r, c, "0")) return "无限制";
    if (is(q, r, c, "1")) return "平放";
    if (is(q, r, c, "2")) return "纵放";
    return std::string();
}
std::string switchName(TADOQuery& q, int r, const char* c) { return is(q, r, c, "1") ? "启用" : "不启用"; }
std::string upwardName(TADOQuery& q, int r, const char* c) { return is(q, r, c, "1") ? "可以" : "不可以"; }

}  // namespace

std::string toGbk(std::string_view utf8) { return convert(utf8, true); }
std::string fromGbk(std::string_view gbk) { return convert(gbk, false); }

std::string reportBytes(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += toGbk(l);
        out += "\r\n";
    }
    return out;
}

std::string addSpaceBack(std::string_view s, int n) { return padGbk(s, n); }

std::string addSpaceFront(std::string_view s, int n) {
    const int w = gbkWidth(s);
    std::string out;
    if (w < n) out.assign(static_cast<size_t>(n - w), ' ');
    out += s;
    return out;
}

std::string addSpace(std::string_view s) { return gbkWidth(s) < 30 ? padGbk(s, 31) : std::string(s); }

std::string delSpace(std::string_view s) {
    const auto sp = s.find(' ');
    if (sp == std::string_view::npos) return std::string(s);
    return std::string(trimBlanks(s.substr(0, sp)));
}

TLoadingReport loadingReport(TADOConnection& conn, const std::string& order) {
    const QString orderText = QString::fromStdString(order);
    std::vector<std::string> L;
    L.push_back(addSpaceFront("装配单", 50));
    L.push_back("工作单信息:");
    L.push_back(" ");

    TADOQuery h(&conn);
    h.setSQL(
        "SELECT OrderFormNo, OrderFormName, SailDate, Destination, LoadingType, Consigner, CountType, "
        "IsDirectionRestrict, IsWeightRestrict, AddL, AddW, AddH FROM HoldOrderForm WHERE OrderFormNo = ?");
    h.bind(1, orderText);
    h.Open();
    if (!h.IsEmpty()) {
        L.push_back("    " + P(P("编号:", 12) + text(h, 0, "OrderFormNo"), 22) + "    " +
                    P(P("名称:", 12) + text(h, 0, "OrderFormName"), 40) +
                    P(P("委托方:", 10) + text(h, 0, "Consigner"), 20) +
                    P(P("开航日期:", 12) + text(h, 0, "SailDate"), 30));
        L.push_back("    " + P(P("目的地:", 12) + text(h, 0, "Destination"), 22) + "    " +
                    P(P("计算类型:", 12) + countTypeName(h, 0, "CountType"), 40) +
                    P(P("摆放方式:", 10) + loadingTypeName(h, 0, "LoadingType"), 20) +
                    P(P("方向约束:", 12) + switchName(h, 0, "IsDirectionRestrict"), 22));
        L.push_back("    " + P("重量约束:", 12) + switchName(h, 0, "IsWeightRestrict") + "    " + P("膨胀长度:", 12) +
                    text(h, 0, "AddL") + "    " + P("膨胀宽度:", 12) + text(h, 0, "AddW") + "    " +
                    P("膨胀高度:", 12) + text(h, 0, "AddH"));
    }
    L.push_back(" ");

    TADOQuery v(&conn);
    v.setSQL(
        "SELECT HoldVehicles.VehicleNo, HoldVehicles.VehicleName, HoldVehicles.ContainerL, HoldVehicles.ContainerW, "
        "HoldVehicles.ContainerH, HoldVehicles.MaxWeight, HoldVehicles.Model FROM HoldVehicles, HoldOrderForm "
        "WHERE HoldVehicles.VehicleNo = HoldOrderForm.VehicleNo AND HoldOrderForm.OrderFormNo = ?");
    v.bind(1, orderText);
    v.Open();
    if (!v.IsEmpty()) {
        L.push_back("货柜信息");
        L.push_back("    " + P(P("编号:", 30) + text(v, 0, "VehicleNo"), 50) + "    " +
                    P(P("类型:", 12) + text(v, 0, "VehicleName"), 40) + P(P("型号:", 10) + text(v, 0, "Model"), 20) +
                    P(P("载重:", 12) + text(v, 0, "MaxWeight"), 15));
        L.push_back("    " + P(P("长:", 12) + text(v, 0, "ContainerL"), 22) + "    " +
                    P(P("宽:", 12) + text(v, 0, "ContainerW"), 40) + P(P("高:", 10) + text(v, 0, "ContainerH"), 20));
    }
    L.push_back(" ");
    L.push_back("货物信息:");

    TADOQuery g(&conn);
    g.setSQL(
        "SELECT A.GoodsNo, A.GoodsName, A.Brand, A.Model, A.Upward, A.Length, A.Width, A.Height, A.Weight, A.Color "
        "FROM HoldGoods A, HoldOrderFormList B WHERE A.GoodsNo = B.GoodsNo AND B.OrderFormNo = ? "
        "ORDER BY B.Sequence, A.GoodsNo");
    g.bind(1, orderText);
    g.Open();
    for (int r = 0; r < g.RecordCount(); ++r) {
        L.push_back("    " + P(P("编号:", 15) + text(g, r, "GoodsNo"), 22) + "    " +
                    P(P("名称:", 12) + text(g, r, "GoodsName"), 40) + P(P("品牌:", 10) + text(g, r, "Brand"), 20) +
                    P(P("型号:", 12) + text(g, r, "Model"), 15));
        L.push_back("    " + P(P("长:", 12) + text(g, r, "Length"), 22) + "    " +
                    P(P("宽:", 12) + text(g, r, "Width"), 40) + P(P("高:", 10) + text(g, r, "Height"), 20) +
                    P(P("毛重:", 12) + text(g, r, "Weight"), 15));
        L.push_back("    " + P(P("可否倒置:", 12) + upwardName(g, r, "Upward"), 22));
    }
    L.push_back(" ");

    TADOQuery c(&conn);
    c.setSQL("SELECT DISTINCT vehicleOrder FROM HoldList WHERE OrderFormNo = ? ORDER BY vehicleOrder");
    c.bind(1, orderText);
    c.Open();
    const int N = c.RecordCount();
    TADOQuery p(&conn);
    p.setSQL(
        "SELECT count(HoldList.floor) AS sumgoods, HoldList.floor, HoldGoods.GoodsNo, HoldList.PlaceType, "
        "HoldList.dx, HoldList.dy, HoldList.dz FROM HoldList, HoldGoods "
        "WHERE HoldList.GoodsNo = HoldGoods.GoodsNo AND HoldList.OrderFormNo = ? AND HoldList.vehicleOrder = ? "
        "GROUP BY HoldList.floor, HoldList.PlaceType, HoldList.dx, HoldList.dy, HoldList.dz, HoldGoods.GoodsNo "
        "ORDER BY HoldList.dx, HoldList.dy, HoldList.dz, HoldList.floor, HoldGoods.GoodsNo, HoldList.PlaceType");
    for (int k = 1; k <= N; ++k) {
        L.push_back("第" + std::to_string(k) + "箱" + "/共" + std::to_string(N) + "箱");
        p.Close();
        p.ClearParams();
        p.bind(1, orderText);
        p.bind(2, c.cell(k - 1, "vehicleOrder"));
        p.Open();
        long long total = 0;
        for (int j = 1; j <= p.RecordCount(); ++j) {
            const int r = j - 1;
            L.push_back("    第 " + P(std::to_string(j), 3) + " 堆" + "            " + "共  " +
                        P(text(p, r, "sumgoods"), 5) + " 件货物" + "    摆放方式:  " + P(text(p, r, "PlaceType"), 10) +
                        "    编号: " + P(text(p, r, "GoodsNo"), 15));
            total += p.cell(r, "sumgoods").toLongLong();
        }
        L.push_back(" ");
        L.push_back("                        共计 " + std::to_string(total) + " 件货物");
        L.push_back(" ");
    }

    TLoadingReport out;
    out.bytes = reportBytes(L);
    out.lines = std::move(L);
    return out;
}

}  // namespace tms
