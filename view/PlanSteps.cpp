#include "view/PlanSteps.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>

#include "platform/AdoDb.h"
#include "platform/Codes.h"
#include "view/LoadingReport.h"
#include "view/PlanQuery.h"

namespace tms {

namespace {

// A whole decimal number and nothing else (blanks around it allowed).
bool readInt(std::string_view text, long long& out) {
    const std::string_view t = trimBlanks(text);
    if (t.empty()) return false;
    const char* end = t.data() + t.size();
    const auto r = std::from_chars(t.data() + (t[0] == '+' ? 1 : 0), end, out);
    return r.ec == std::errc() && r.ptr == end;
}

void setShown(color& c, bool on) {
    c.alpha = on ? 1.0f : 0.0f;
    c.shown = on ? 1 : 0;
}

}  // namespace

TPileLists loadPiles(TADOConnection& conn, const std::string& order, int vehicleOrder) {
    TADOQuery p(&conn);
    detail::openOnContainer(p, detail::kPileGridSql, order, vehicleOrder);
    return pilesOfGrid(p);
}

TPileLists pilesOfGrid(const TADOQuery& grid) {
    TPileLists out;
    if (!grid.Active()) return out;
    const int gid = grid.fieldIndex(QStringLiteral("gid"));
    const int count = grid.fieldIndex(QStringLiteral("GoodsCount"));
    const int bffs = grid.fieldIndex(QStringLiteral("goodsbffs"));
    const int floor = grid.fieldIndex(QStringLiteral("goodsfloor"));
    if (gid < 0 || count < 0 || bffs < 0 || floor < 0) return out;
    for (int r = 0; r < grid.RecordCount(); ++r) {
        out.gidList.push_back(detail::cellText(grid.cell(r, gid)));
        out.countList.push_back(detail::cellText(grid.cell(r, count)));
        out.bffsList.push_back(detail::cellText(grid.cell(r, bffs)));
        out.floorList.push_back(detail::cellText(grid.cell(r, floor)));
    }
    return out;
}

std::vector<TOrderItem> listOrders(TADOConnection& conn) {
    TADOQuery o(&conn);
    o.setSQL("SELECT OrderFormNo, OrderFormName FROM HoldOrderForm");
    o.Open();
    std::vector<TOrderItem> out;
    out.reserve(static_cast<std::size_t>(o.RecordCount()));
    for (int r = 0; r < o.RecordCount(); ++r)
        out.push_back({detail::cellText(o.cell(r, 0)), detail::cellText(o.cell(r, 1))});
    return out;
}

std::string orderItemText(const TOrderItem& item) { return addSpace(item.no) + item.name; }

void showUpTo(TPlanShow& show, int position) {
    const auto& seq = show.planArr.seqArr;
    auto& col = show.planArr.colorArr;
    const std::size_t n = std::min({col.size(), seq.size(), static_cast<std::size_t>(std::max(show.planCount, 0))});
    for (std::size_t i = 0; i < n; ++i) setShown(col[i], seq[i] <= position);
}

void showFloors(TPlanShow& show, const std::vector<std::string>& floors) {
    show.showFloors = floors;
    const std::unordered_set<std::string> keys(floors.begin(), floors.end());
    auto& col = show.planArr.colorArr;
    const auto& fl = show.planArr.floorArr;
    const std::size_t n = std::min(col.size(), fl.size());
    for (std::size_t i = 0; i < n; ++i) setShown(col[i], keys.count(fl[i]) > 0);
}

void showPieces(TPlanShow& show, const std::vector<std::string>& ids) {
    show.showFloors = ids;
    const std::unordered_set<std::string> keys(ids.begin(), ids.end());
    auto& col = show.planArr.colorArr;
    const auto& id = show.planArr.idArr;
    const std::size_t n = std::min(col.size(), id.size());
    for (std::size_t i = 0; i < n; ++i) col[i].alpha = keys.count(id[i]) ? 1.0f : 0.0f;
}

void showAll(TPlanShow& show) {
    for (color& c : show.planArr.colorArr) setShown(c, true);
}

std::vector<std::string> pileStep(const TPileLists& piles, int& heapStep, TPlanShow& show) {
    const int n = piles.size();
    if (n == 0) return {};
    const int k = (heapStep < 0 || heapStep >= n) ? 0 : heapStep;
    long long loaded = 0;
    std::vector<std::string> floors;
    for (int i = 0; i <= k; ++i) {
        floors.push_back(piles.floorList[static_cast<std::size_t>(i)]);
        long long c = 0;
        if (readInt(piles.countList[static_cast<std::size_t>(i)], c)) loaded += c;
    }
    const auto at = static_cast<std::size_t>(k);
    std::vector<std::string> lines = {
        std::string(),
        "  第  " + std::to_string(k + 1) + "  步:" + "  (共  " + std::to_string(n) + "  步)",
        "      已装入货物共计:  " + std::to_string(loaded) + "    件",
        "      当前堆    编号:  " + piles.gidList[at],
        "                数量:  " + piles.countList[at],
        "                摆放方式:  " + piles.bffsList[at],
    };
    heapStep = k + 1 == n ? 0 : k + 1;
    showFloors(show, floors);
    return lines;
}

bool swatchColor(std::string_view text, int rgb[3]) {
    long long part[3];
    if (!detail::readThreeParts(
            text, [&](int k, std::string_view p) { return readInt(p, part[k]) && part[k] >= 0 && part[k] <= 255; }))
        return false;
    for (int k = 0; k < 3; ++k) rgb[k] = static_cast<int>(part[k]);
    return true;
}

}  // namespace tms
