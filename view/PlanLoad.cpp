#include "view/PlanLoad.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/AdoDb.h"
#include "platform/Codes.h"
#include "platform/TextConvert.h"
#include "view/PlanQuery.h"

namespace tms {

namespace detail {

// The rows of a pile have one goods, so the goods columns the grid groups
// by follow from its number: the container's rows are grouped alone and
// the few piles then joined to their goods (two thirds of the time of
// grouping the joined rows by every column). The rows are those the join
// grouped by every column would give, in the same order: by origin, and
// piles that share it by pile id, goods and placement, as the grouping
// hands them to the sort by origin.
const char* const kPileGridSql =
    "SELECT G.GoodsNo AS gid, G.GoodsName, G.Brand AS GoodsBrand, G.Model AS GoodsModel, G.Color AS color, "
    "P.pieces AS GoodsCount, G.Length AS GoodsLength, G.Width AS GoodsWidth, G.Height AS GoodsHeight, "
    "P.PlaceType AS goodsbffs, P.floor AS goodsfloor, P.dx, P.dy, P.dz "
    "FROM (SELECT GoodsNo, PlaceType, floor, dx, dy, dz, count(*) AS pieces "
    "FROM HoldList WHERE OrderFormNo = ? AND vehicleOrder = ? GROUP BY GoodsNo, PlaceType, floor, dx, dy, dz) P, "
    "HoldGoods G WHERE P.GoodsNo = G.GoodsNo "
    "ORDER BY P.dx, P.dy, P.dz, P.floor, G.GoodsNo, P.PlaceType";

}  // namespace detail

namespace {

// The per-piece grid rows of a container.
const char* const kPieceGridSql =
    "SELECT HoldList.ListId AS gid, HoldGoods.GoodsName, 1 AS goodsCount, HoldGoods.Brand AS goodsBrand, "
    "HoldGoods.Model AS GoodsModel, HoldGoods.Color AS color, HoldList.floor AS GoodsFloor, "
    "HoldGoods.Length AS GoodsLength, HoldGoods.Width AS GoodsWidth, HoldGoods.Height AS GoodsHeight, "
    "HoldList.bcd AS BCD1, HoldList.bcw AS BCW1, HoldList.bch AS BCH1, HoldList.bcd2 AS BCD2, "
    "HoldList.bcw2 AS BCW2, HoldList.bch2 AS BCH2 "
    "FROM HoldList, HoldGoods WHERE HoldList.GoodsNo = HoldGoods.GoodsNo AND HoldList.OrderFormNo = ? "
    "AND HoldList.vehicleOrder = ? ORDER BY HoldList.ListId";

// Random(10000) / 10000 of the original: a multiple of 1/10000 in [0, 1).
std::mt19937& rng() {
    thread_local std::mt19937 gen{std::random_device{}()};
    return gen;
}
float randomComponent() { return static_cast<float>(std::uniform_int_distribution<int>(0, 9999)(rng())) / 10000.0f; }
float tinyRandomComponent() {
    return static_cast<float>(std::uniform_real_distribution<double>(0.0, 1.0)(rng()) / 10000.0);
}

// A decimal number with blanks around it allowed; nothing else.
bool readNumber(std::string_view part, double& out) {
    const std::string t(trimBlanks(part));
    if (t.empty()) return false;
    // Only digits, one sign in front and one decimal point.
    std::size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    bool digit = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digit = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!digit) return false;
    errno = 0;
    out = std::strtod(t.c_str(), nullptr);
    return errno == 0;
}

}  // namespace

bool readColorText(std::string_view text, float rgb[3]) {
    if (text.empty()) return false;
    double part[3];
    if (!detail::readThreeParts(text, [&](int k, std::string_view p) { return readNumber(p, part[k]); })) return false;
    for (int k = 0; k < 3; ++k) rgb[k] = static_cast<float>(part[k] / 255);
    return true;
}

namespace {

// One stored piece as the drawing needs it.
struct PieceRow {
    std::string listId, floor, goodsNo, place, colour;
    double corner[6];  // bcd, bch, bcw, bcd2, bch2, bcw2
};

// A near-corner cell as the database compares it: by kind, then by value.
struct SortCell {
    TPreparedStatement::TCellKind kind;
    double number;
    std::string text;  // text and blobs only
    bool operator<(const SortCell& o) const {
        if (kind != o.kind) return kind < o.kind;
        if (kind == TPreparedStatement::TCellKind::number) return number < o.number;
        return text < o.text;
    }
};

// The container's pieces in build order. The rows are read straight off the
// statement: a query's copy of every cell would cost more than the loading
// itself on a full container. They are put in build order here, as the
// database would order them by bcd, bch, bcw (sorting the whole rows there
// cost more); the returned indexes give that order.
std::vector<int> readPieces(TADOConnection& conn, const std::string& order, int vehicleOrder,
                            std::vector<PieceRow>& rows) {
    std::vector<std::array<SortCell, 3>> keys;
    TPreparedStatement s(
        conn,
        "SELECT A.ListId, A.floor, A.bcd, A.bch, A.bcw, A.bcd2, A.bch2, A.bcw2, A.GoodsNo, A.PlaceType, B.Color "
        "FROM HoldList A, HoldGoods B WHERE A.GoodsNo = B.GoodsNo AND A.OrderFormNo = ? AND A.vehicleOrder = ?");
    s.bindText(1, order);
    s.bindInt(2, vehicleOrder);
    const int id = s.column("ListId"), pile = s.column("floor"), goodsNo = s.column("GoodsNo"),
              place = s.column("PlaceType"), colour = s.column("Color");
    const int corner[6] = {s.column("bcd"),  s.column("bch"),  s.column("bcw"),
                           s.column("bcd2"), s.column("bch2"), s.column("bcw2")};
    while (s.next()) {
        PieceRow r{s.text(id), s.text(pile), s.text(goodsNo), s.text(place), s.text(colour), {}};
        for (int k = 0; k < 6; ++k) r.corner[k] = s.number(corner[k]);
        std::array<SortCell, 3> key;
        for (int k = 0; k < 3; ++k) {
            key[k].kind = s.kind(corner[k]);
            key[k].number = r.corner[k];
            if (key[k].kind >= TPreparedStatement::TCellKind::text) key[k].text = s.text(corner[k]);
        }
        rows.push_back(std::move(r));
        keys.push_back(std::move(key));
    }
    std::vector<int> buildOrder(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) buildOrder[i] = static_cast<int>(i);
    std::stable_sort(buildOrder.begin(), buildOrder.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    return buildOrder;
}

// A random colour, nudged when it repeats the previous piece's, so that
// neighbours stay apart when the goods has no colour of its own.
color randomColour(const color* previous) {
    color c;
    c.red = randomComponent();
    c.green = randomComponent();
    c.blue = randomComponent();
    if (previous && c.red == previous->red && c.green == previous->green && c.blue == previous->blue) {
        c.red = tinyRandomComponent();
        c.green = tinyRandomComponent();
        c.blue = tinyRandomComponent();
    }
    c.alpha = 1.0f;
    c.shown = 1;
    return c;
}

// The drawing arrays of the pieces in build order, centred on the
// container; reports progress from `done` on.
void fillDrawing(std::vector<PieceRow>& rows, const std::vector<int>& buildOrder, const tBox& container, TArr& arr,
                 const TCountOptions& options, int maximum, int done) {
    const int n = static_cast<int>(rows.size());
    const int every = std::max(1, n / 100);
    sizeArr(arr, static_cast<std::size_t>(n));
    const double halfL = container.L / 2, halfH = container.H / 2, halfW = container.W / 2;
    // Rows of one goods follow each other: its colour text is read once.
    const std::string* lastColour = nullptr;
    bool lastRead = false;
    float lastRgb[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i) {
        PieceRow& row = rows[buildOrder[i]];
        color& c = arr.colorArr[i];
        c = randomColour(i > 0 ? &arr.colorArr[i - 1] : nullptr);
        c.pileKey = row.floor;
        arr.seqArr[i] = i + 1;
        arr.idArr[i] = std::move(row.listId);
        arr.floorArr[i] = std::move(row.floor);
        arr.goodsNoArr[i] = std::move(row.goodsNo);
        arr.placeArr[i] = std::move(row.place);

        const double* at = row.corner;
        arr.vertArr[i] = boxCorners(static_cast<float>(at[0] - halfL), static_cast<float>(at[1] - halfH),
                                    static_cast<float>(at[2] - halfW), static_cast<float>(at[3] - halfL),
                                    static_cast<float>(at[4] - halfH), static_cast<float>(at[5] - halfW));

        if (!lastColour || *lastColour != row.colour) {
            lastRead = readColorText(row.colour, lastRgb);
            lastColour = &row.colour;
        }
        if (lastRead) {
            c.red = lastRgb[0];
            c.green = lastRgb[1];
            c.blue = lastRgb[2];
        }
        if (options.progress && ((i + 1) % every == 0 || i + 1 == n)) options.progress(maximum, done + i + 1);
    }
}

}  // namespace

void countXYZ(TADOConnection& conn, const std::string& order, int vehicleOrder, TPlanShow& show, TPlanScene& scene,
              const TCountOptions& options) {
    TADOQuery box(&conn);
    box.setSQL(
        "SELECT HoldVehicles.VehicleNo, HoldVehicles.ContainerL, HoldVehicles.ContainerH, HoldVehicles.ContainerW "
        "FROM HoldOrderForm INNER JOIN HoldVehicles ON HoldOrderForm.VehicleNo = HoldVehicles.VehicleNo "
        "WHERE HoldOrderForm.OrderFormNo = ?");
    box.bind(1, qs(order));
    box.Open();
    std::vector<PieceRow> rows;
    const std::vector<int> buildOrder = readPieces(conn, order, vehicleOrder, rows);

    // Everything is read; from here on nothing can fail half-way.
    // An order without a container row keeps the container on show (size,
    // view extent, outline) and its pieces are placed against it.
    tBox container = show.curBox;
    TPlanScene containerView = scene;
    if (!box.IsEmpty()) {
        container.vehicleNo = detail::cellText(box.cell(0, "VehicleNo"));
        container.L = box.cell(0, "ContainerL").toDouble();
        container.H = box.cell(0, "ContainerH").toDouble();
        container.W = box.cell(0, "ContainerW").toDouble();
        containerView = containerScene(container.L, container.H, container.W);
    }

    const int n = static_cast<int>(rows.size());
    const int maximum = 3 * n;
    if (options.progress) options.progress(maximum, n);  // the first pass: counting the pieces
    TArr arr;
    fillDrawing(rows, buildOrder, container, arr, options, maximum, n);

    show.curBox = std::move(container);
    show.planArr = std::move(arr);
    show.planCount = n;
    show.showFloors.clear();
    scene = containerView;

    if (options.grid) openGridQuery(*options.grid, order, vehicleOrder, options.byPile);
    if (options.progress) options.progress(maximum, 0);
}

bool openGridQuery(TADOQuery& grid, const std::string& order, int vehicleOrder, bool byPile) {
    try {
        grid.Close();
        grid.SQLClear();
        detail::openOnContainer(grid, byPile ? detail::kPileGridSql : kPieceGridSql, order, vehicleOrder);
        grid.First();
        return true;
    } catch (const std::exception&) {
        grid.Close();
        grid.SQLClear();
        return false;
    }
}

TZXInfo getZXInfo(TADOConnection& conn, const std::string& order, int vehicleOrder, const TZXInfo& previous) {
    TZXInfo zx;
    zx.zxVehicleNo = previous.zxVehicleNo;
    zx.zxVehicleName = previous.zxVehicleName;
    TADOQuery a(&conn);
    a.setSQL(
        "SELECT HoldVehicles.VehicleNo, HoldVehicles.VehicleName, HoldVehicles.ContainerL, HoldVehicles.ContainerW, "
        "HoldVehicles.ContainerH FROM HoldVehicles, HoldOrderForm "
        "WHERE HoldVehicles.VehicleNo = HoldOrderForm.VehicleNo AND HoldOrderForm.OrderFormNo = ?");
    a.bind(1, qs(order));
    a.Open();
    bool haveCapacity = false;
    double capacity = 0;
    if (!a.IsEmpty()) {
        zx.zxVehicleNo = detail::cellText(a.cell(0, "VehicleNo"));
        zx.zxVehicleName = detail::cellText(a.cell(0, "VehicleName"));
        // In double: the product of three millimetre sizes passes 2^31.
        capacity = a.cell(0, "ContainerL").toDouble() * a.cell(0, "ContainerW").toDouble() *
                   a.cell(0, "ContainerH").toDouble();
        haveCapacity = true;
    }

    // The goods volume, the kinds and the pieces in one statement.
    TADOQuery v(&conn);
    detail::openOnContainer(
        v,
        "SELECT (SELECT sum(HoldGoods.Length * HoldGoods.Width * HoldGoods.Height) FROM HoldGoods, HoldList "
        "WHERE HoldGoods.GoodsNo = HoldList.GoodsNo AND HoldList.OrderFormNo = ?1 AND HoldList.vehicleOrder = ?2) "
        "AS tj1, (SELECT count(*) FROM (SELECT GoodsNo FROM HoldList WHERE OrderFormNo = ?1 AND vehicleOrder = ?2 "
        "GROUP BY GoodsNo)) AS kinds, (SELECT count(ListId) FROM HoldList WHERE OrderFormNo = ?1 "
        "AND vehicleOrder = ?2) AS pieces",
        order, vehicleOrder);
    const QVariant tj1 = v.cell(0, "tj1");
    if (tj1.isNull()) {
        zx.zxRate = "0%";  // no piece in the container
    } else if (haveCapacity) {
        // The goods volume as a four-decimal fixed-point value (mm³).
        double volume = tj1.toDouble();
        if (std::fabs(volume) < 1e14) volume = std::nearbyint(volume * 10000) / 10000;
        zx.zxRate = ratioText(volume, capacity);
    }
    zx.zxKinds = v.cell(0, "kinds").toInt();
    zx.zxPieces = v.cell(0, "pieces").toInt();
    return zx;
}

std::vector<std::string> summaryLines(const TZXInfo& zx) {
    return {
        std::string(), "  选用的箱柜编号： " + zx.zxVehicleNo + "          类型:  " + zx.zxVehicleName,
        "  货物种类共计：   " + std::to_string(zx.zxKinds) + "  种" + "    数量共计:  " + std::to_string(zx.zxPieces),
        "  装箱率:          " + zx.zxRate};
}

}  // namespace tms
