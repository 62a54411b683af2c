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

// A field padded with blanks to n GBK bytes.
std::string pad(std::string_view s, int n) { return addSpaceBack(s, n); }

// One field of a report line: its caption padded to `captionWidth`, the
// value after it, the whole padded to `width`.
struct Field {
    std::string_view caption;
    int captionWidth;
    std::string value;
    int width;
};

// A line of fields: indented, a gap after the first field, the others
// side by side.
std::string fieldLine(std::initializer_list<Field> fields) {
    std::string line = "    ";
    for (const Field& f : fields) {
        line += pad(pad(f.caption, f.captionWidth) + f.value, f.width);
        if (&f == fields.begin() && fields.size() > 1) line += "    ";
    }
    return line;
}

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

namespace {

using Lines = std::vector<std::string>;

// The order's header: number, name, consigner, sailing date, destination
// and its switches.
void orderBlock(TADOConnection& conn, const QString& order, Lines& lines) {
    TADOQuery header(&conn);
    header.setSQL(
        "SELECT OrderFormNo, OrderFormName, SailDate, Destination, LoadingType, Consigner, CountType, "
        "IsDirectionRestrict, IsWeightRestrict, AddL, AddW, AddH FROM HoldOrderForm WHERE OrderFormNo = ?");
    header.bind(1, order);
    header.Open();
    if (header.IsEmpty()) return;
    lines.push_back(fieldLine({{"编号:", 12, text(header, 0, "OrderFormNo"), 22},
                               {"名称:", 12, text(header, 0, "OrderFormName"), 40},
                               {"委托方:", 10, text(header, 0, "Consigner"), 20},
                               {"开航日期:", 12, text(header, 0, "SailDate"), 30}}));
    lines.push_back(fieldLine({{"目的地:", 12, text(header, 0, "Destination"), 22},
                               {"计算类型:", 12, countTypeName(header, 0, "CountType"), 40},
                               {"摆放方式:", 10, loadingTypeName(header, 0, "LoadingType"), 20},
                               {"方向约束:", 12, switchName(header, 0, "IsDirectionRestrict"), 22}}));
    lines.push_back("    " + pad("重量约束:", 12) + switchName(header, 0, "IsWeightRestrict") + "    " +
                    pad("膨胀长度:", 12) + text(header, 0, "AddL") + "    " + pad("膨胀宽度:", 12) +
                    text(header, 0, "AddW") + "    " + pad("膨胀高度:", 12) + text(header, 0, "AddH"));
}

// The container the order was computed for.
void containerBlock(TADOConnection& conn, const QString& order, Lines& lines) {
    TADOQuery container(&conn);
    container.setSQL(
        "SELECT HoldVehicles.VehicleNo, HoldVehicles.VehicleName, HoldVehicles.ContainerL, HoldVehicles.ContainerW, "
        "HoldVehicles.ContainerH, HoldVehicles.MaxWeight, HoldVehicles.Model FROM HoldVehicles, HoldOrderForm "
        "WHERE HoldVehicles.VehicleNo = HoldOrderForm.VehicleNo AND HoldOrderForm.OrderFormNo = ?");
    container.bind(1, order);
    container.Open();
    if (container.IsEmpty()) return;
    lines.push_back("货柜信息");
    lines.push_back(fieldLine({{"编号:", 30, text(container, 0, "VehicleNo"), 50},
                               {"类型:", 12, text(container, 0, "VehicleName"), 40},
                               {"型号:", 10, text(container, 0, "Model"), 20},
                               {"载重:", 12, text(container, 0, "MaxWeight"), 15}}));
    lines.push_back(fieldLine({{"长:", 12, text(container, 0, "ContainerL"), 22},
                               {"宽:", 12, text(container, 0, "ContainerW"), 40},
                               {"高:", 10, text(container, 0, "ContainerH"), 20}}));
}

// Three lines for each goods of the order, in the order's sequence.
void goodsBlock(TADOConnection& conn, const QString& order, Lines& lines) {
    TADOQuery goods(&conn);
    goods.setSQL(
        "SELECT A.GoodsNo, A.GoodsName, A.Brand, A.Model, A.Upward, A.Length, A.Width, A.Height, A.Weight, A.Color "
        "FROM HoldGoods A, HoldOrderFormList B WHERE A.GoodsNo = B.GoodsNo AND B.OrderFormNo = ? "
        "ORDER BY B.Sequence, A.GoodsNo");
    goods.bind(1, order);
    goods.Open();
    for (int r = 0; r < goods.RecordCount(); ++r) {
        lines.push_back(fieldLine({{"编号:", 15, text(goods, r, "GoodsNo"), 22},
                                   {"名称:", 12, text(goods, r, "GoodsName"), 40},
                                   {"品牌:", 10, text(goods, r, "Brand"), 20},
                                   {"型号:", 12, text(goods, r, "Model"), 15}}));
        lines.push_back(fieldLine({{"长:", 12, text(goods, r, "Length"), 22},
                                   {"宽:", 12, text(goods, r, "Width"), 40},
                                   {"高:", 10, text(goods, r, "Height"), 20},
                                   {"毛重:", 12, text(goods, r, "Weight"), 15}}));
        lines.push_back(fieldLine({{"可否倒置:", 12, upwardName(goods, r, "Upward"), 22}}));
    }
}

// For each loaded container its piles, each with its count, placement and
// goods, and the container's total.
void pileBlocks(TADOConnection& conn, const QString& order, Lines& lines) {
    TADOQuery containers(&conn);
    containers.setSQL("SELECT DISTINCT vehicleOrder FROM HoldList WHERE OrderFormNo = ? ORDER BY vehicleOrder");
    containers.bind(1, order);
    containers.Open();
    const int N = containers.RecordCount();
    TADOQuery piles(&conn);
    piles.setSQL(
        "SELECT count(HoldList.floor) AS sumgoods, HoldList.floor, HoldGoods.GoodsNo, HoldList.PlaceType, "
        "HoldList.dx, HoldList.dy, HoldList.dz FROM HoldList, HoldGoods "
        "WHERE HoldList.GoodsNo = HoldGoods.GoodsNo AND HoldList.OrderFormNo = ? AND HoldList.vehicleOrder = ? "
        "GROUP BY HoldList.floor, HoldList.PlaceType, HoldList.dx, HoldList.dy, HoldList.dz, HoldGoods.GoodsNo "
        "ORDER BY HoldList.dx, HoldList.dy, HoldList.dz, HoldList.floor, HoldGoods.GoodsNo, HoldList.PlaceType");
    for (int k = 1; k <= N; ++k) {
        lines.push_back("第" + std::to_string(k) + "箱" + "/共" + std::to_string(N) + "箱");
        piles.Close();
        piles.ClearParams();
        piles.bind(1, order);
        piles.bind(2, containers.cell(k - 1, "vehicleOrder"));
        piles.Open();
        long long total = 0;
        for (int j = 1; j <= piles.RecordCount(); ++j) {
            const int r = j - 1;
            lines.push_back("    第 " + pad(std::to_string(j), 3) + " 堆" + "            " + "共  " +
                            pad(text(piles, r, "sumgoods"), 5) + " 件货物" + "    摆放方式:  " +
                            pad(text(piles, r, "PlaceType"), 10) + "    编号: " + pad(text(piles, r, "GoodsNo"), 15));
            total += piles.cell(r, "sumgoods").toLongLong();
        }
        lines.push_back(" ");
        lines.push_back("                        共计 " + std::to_string(total) + " 件货物");
        lines.push_back(" ");
    }
}

}  // namespace

TLoadingReport loadingReport(TADOConnection& conn, const std::string& order) {
    const QString orderText = QString::fromStdString(order);
    Lines lines;
    lines.push_back(addSpaceFront("装配单", 50));
    lines.push_back("工作单信息:");
    lines.push_back(" ");
    orderBlock(conn, orderText, lines);
    lines.push_back(" ");
    containerBlock(conn, orderText, lines);
    lines.push_back(" ");
    lines.push_back("货物信息:");
    goodsBlock(conn, orderText, lines);
    lines.push_back(" ");
    pileBlocks(conn, orderText, lines);

    TLoadingReport out;
    out.bytes = reportBytes(lines);
    out.lines = std::move(lines);
    return out;
}

}  // namespace tms
