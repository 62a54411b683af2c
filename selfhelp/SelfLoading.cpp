#include "selfhelp/SelfLoading.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/Codes.h"

namespace tms {

// ------------------------------------------------------------- the choices --

namespace {
const std::array<FillOrder, 6> kFillOrders{{
    {1, "里->下->左", {0, 1, 2}},
    {2, "下->里->左", {1, 0, 2}},
    {3, "里->左->下", {0, 2, 1}},
    {4, "左->里->下", {2, 0, 1}},
    {5, "左->下->里", {2, 1, 0}},
    {6, "下->左->里", {1, 2, 0}},
}};

std::string joinLines(const std::vector<std::string>& lines) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) s += '\n';
        s += lines[i];
    }
    return s;
}
}  // namespace

const std::array<FillOrder, 6>& fillOrders() { return kFillOrders; }

const FillOrder* fillOrderByNumber(int number) {
    if (number < 1 || number > 6) return nullptr;
    return &kFillOrders[number - 1];
}

const FillOrder* fillOrderByText(std::string_view text) {
    for (const auto& f : kFillOrders)
        if (text == f.text) return &f;
    return nullptr;
}

std::string fillOrderText(int number) {
    if (const FillOrder* f = fillOrderByNumber(number)) return f->text;
    return std::to_string(number);
}

std::string placeTextOf(int orientationNumber) {
    if (const Orientation* o = orientationByNumber(orientationNumber)) return o->placeText;
    return std::to_string(orientationNumber);
}

const std::array<const char*, 11>& gridTitles() {
    static const std::array<const char*, 11> titles{"颜色", "批次", "名称", "编号",     "数量",    "长",
                                                    "宽",   "高",   "重量", "摆放方向", "摆放方式"};
    return titles;
}

std::array<std::string, 11> gridTexts(const SelfBatch& b) {
    return {b.colorText,
            std::to_string(b.batch),
            b.goodsName,
            b.goodsNo,
            std::to_string(b.amount),
            floatText(b.L),
            floatText(b.W),
            floatText(b.H),
            floatText(b.weight),
            fillOrderText(b.fillOrder),
            placeTextOf(b.placeType)};
}

std::string checkAmount(std::string_view text, int& n) {
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    if (b == e) return "请录入数量";
    std::string_view t = text.substr(b, e - b);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return "录入的数量有误，请重新录入!";
    long long v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return "录入的数量有误，请重新录入!";
        // Anything past the limit is simply too large; stop growing there.
        if (v <= 1000000000LL) v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v > TSelfLoading::kMaxAmount) return "录入的数量太大了，请重新录入!";
    if (v < 1) return "录入的数量太小了，请重新录入!";
    n = static_cast<int>(v);
    return {};
}

std::string SpaceKey(const TSpace& S) {
    return floatText(S.z) + "Z" + floatText(S.y) + "Y" + floatText(S.x) + "X" + floatText(S.len) + "SL" +
           floatText(S.wid) + "SW" + floatText(S.hei) + "Sh";
}

// --------------------------------------------------------------- the state --

void TSelfLoading::reset() {
    vehicleNo_.clear();
    wholeSpace_ = TSpace{};
    hasContainer_ = false;
    viewOnly_ = false;
    freeSpaces_.clear();
    spacePool_.clear();
    pieceArr_.clear();
    batches_.clear();
}

void TSelfLoading::setContainer(const std::string& vehicleNo, double L, double W, double H) {
    reset();
    vehicleNo_ = vehicleNo;
    TSpace& w = wholeSpace_;
    w.x = w.y = w.z = 0;
    w.len = L;
    w.wid = W;
    w.hei = H;
    w.active = 1;
    w.selfUsed = 1;
    w.selfSlot = 0;
    w.selfKind = 3;
    w.key = SpaceKey(w);
    hasContainer_ = true;
    // A separate copy is the first free space; wholeSpace_ itself is never
    // touched by placement.
    appendSpace(w);
}

void TSelfLoading::appendSpace(const TSpace& S) {
    spacePool_.push_back(S);
    TSpace& t = spacePool_.back();
    t.selfUsed = 1;
    t.selfSlot = static_cast<int>(spacePool_.size()) - 1;
    freeSpaces_.push_back({t.key, &t});
}

void TSelfLoading::beginView(const std::string& vehicleNo, double L, double W, double H) {
    setContainer(vehicleNo, L, W, H);
    // A loading on view has no usable free spaces.
    freeSpaces_.clear();
    spacePool_.clear();
    viewOnly_ = true;
}

void TSelfLoading::addViewPiece(TgoodsinfoSelf p) {
    setVerts(p);
    pieceArr_.push_back(std::move(p));
}

// -------------------------------------------------------------- placement --

bool TSelfLoading::JudgeIfIn(const TSpace& S, const TgoodsinfoSelf& G, int placeTypeItem) const {
    if (placeTypeItem < 0 || placeTypeItem > 5) return false;
    // Double extents of the space against the piece's float sides, exactly.
    const Extents piece = extentsOf(orientations()[placeTypeItem], G.L, G.W, G.H);
    return S.len >= piece.x && S.wid >= piece.z && S.hei >= piece.y;
}

bool TSelfLoading::GetCoordinate(TgoodsinfoSelf& G, int fillOrderItem, int placeTypeItem) {
    if (!hasContainer_ || fillOrderItem < 0 || fillOrderItem > 5 || placeTypeItem < 0 || placeTypeItem > 5)
        return false;
    const FillOrder& order = kFillOrders[fillOrderItem];
    const Orientation& o = orientations()[placeTypeItem];

    // The far corner of the container is the bound every candidate must beat.
    double best[3] = {wholeSpace_.len, wholeSpace_.hei, wholeSpace_.wid};
    TSpace* chosen = nullptr;
    for (const Entry& e : freeSpaces_) {
        TSpace& S = *e.space;
        const double c[3] = {S.x, S.y, S.z};
        bool smaller = false;
        for (int k : order.keys) {
            if (c[k] < best[k]) {
                smaller = true;
                break;
            }
            if (c[k] > best[k]) break;
        }
        if (!smaller || S.active == 0 || !JudgeIfIn(S, G, placeTypeItem)) continue;
        best[0] = c[0];
        best[1] = c[1];
        best[2] = c[2];
        chosen = &S;
    }
    if (!chosen) return false;

    TSpace& S = *chosen;
    S.active = 0;
    // The sides are floats, so the extents convert back to them exactly.
    const Extents far = extentsOf(o, G.L, G.W, G.H);
    const float a = static_cast<float>(far.x), b = static_cast<float>(far.y), c = static_cast<float>(far.z);

    G.x0 = S.x;
    G.y0 = S.y;
    G.z0 = S.z;
    G.x1 = G.x0 + a;
    G.y1 = G.y0 + b;
    G.z1 = G.z0 + c;
    G.placeText = o.placeText;

    // Beside (along Z), front (along X) and top (along Y) of the piece; the
    // beside and front spaces overlap beyond the piece in X and Z.
    TSpace fresh[3];
    fresh[0].x = S.x;
    fresh[0].y = S.y;
    fresh[0].z = S.z + c;
    fresh[0].len = S.len;
    fresh[0].wid = S.wid - c;
    fresh[0].hei = S.hei;
    fresh[0].selfKind = 0;
    fresh[1].x = S.x + a;
    fresh[1].y = S.y;
    fresh[1].z = S.z;
    fresh[1].len = S.len - a;
    fresh[1].wid = S.wid;
    fresh[1].hei = S.hei;
    fresh[1].selfKind = 1;
    fresh[2].x = S.x;
    fresh[2].y = S.y + b;
    fresh[2].z = S.z;
    fresh[2].len = a;
    fresh[2].wid = c;
    fresh[2].hei = S.hei - b;
    fresh[2].selfKind = 2;

    bool cut = false;
    for (TSpace& T : fresh) {
        T.key = SpaceKey(T);
        T.active = 1;
        const std::string k = T.key;
        if (T.len == 0 || T.wid == 0 || T.hei == 0) {
            T.active = 0;
            continue;
        }
        if (!UnitSpace(T)) appendSpace(T);
        InvadeSpace(k, G);
        cut = true;
    }
    // A piece that fills its space exactly leaves no new space, but older
    // spaces that overlap the chosen one (the beside and front spaces of an
    // earlier piece overlap each other) must still give way to it.
    if (!cut) InvadeSpace(std::string(), G);

    setVerts(G);
    return true;
}

void TSelfLoading::InvadeSpace(const std::string& k, const TgoodsinfoSelf& G) {
    // Cuts the piece's span [lo, hi] on one axis off the space's `start`
    // (when the start lies inside the span) or off its `end`; a space left
    // with no extent is retired, any other may now unite with a neighbour.
    auto cut = [this](TSpace& T, float& start, double& extent, double end, double lo, double hi, bool startIn) {
        if (startIn) {
            start = static_cast<float>(hi);
            extent = end - hi;
        } else {
            extent = lo - start;
        }
        if (extent <= 0)
            T.active = 0;
        else
            UnitSpace(T);
    };
    const std::size_t count = freeSpaces_.size();
    for (std::size_t i = 0; i < count; ++i) {
        TSpace& T = *freeSpaces_[i].space;
        if (T.active == 0 || T.key == k) continue;
        const double X2 = T.x + T.len;
        const double Z2 = T.z + T.wid;
        // Height plays no part: a space above or below the piece is cut too.
        // The X test sees the space as the Z cut left it.
        const bool zStartIn = G.z0 < T.z && T.z < G.z1;
        const bool zEndIn = G.z0 < Z2 && Z2 < G.z1;
        if ((zStartIn || zEndIn) && T.x < G.x1 && G.x0 < X2) cut(T, T.z, T.wid, Z2, G.z0, G.z1, zStartIn);
        const bool xStartIn = G.x0 < T.x && T.x < G.x1;
        const bool xEndIn = G.x0 < X2 && X2 < G.x1;
        if ((xStartIn || xEndIn) && T.z < G.z1 && G.z0 < Z2) cut(T, T.x, T.len, X2, G.x0, G.x1, xStartIn);
    }
}

bool TSelfLoading::UnitSpace(TSpace& S) {
    // Unites S into T when the two touch end to start along the axis given
    // by the corner coordinate `at` and the extent `size`; the caller has
    // checked that they agree on the other two axes.
    auto uniteAlong = [this, &S](TSpace& T, float TSpace::*at, double TSpace::*size) {
        if (T.*at == S.*at || (T.*at + T.*size != S.*at && S.*at + S.*size != T.*at)) return false;
        T.*at = std::min(T.*at, S.*at);
        T.*size = T.*size + S.*size;
        T.key = SpaceKey(T);
        T.active = 1;
        S.active = 0;
        UnitSpace(T);
        return true;
    };
    for (const Entry& e : freeSpaces_) {
        TSpace& T = *e.space;
        if (T.active == 0) continue;
        // A: the two form one cuboid along X.
        if (T.y == S.y && T.z == S.z && T.wid == S.wid && T.hei == S.hei && uniteAlong(T, &TSpace::x, &TSpace::len))
            return true;
        // B: the two form one cuboid along Z.
        if (T.x == S.x && T.y == S.y && T.len == S.len && T.hei == S.hei && uniteAlong(T, &TSpace::z, &TSpace::wid))
            return true;
        // C and D compare the floor outline only; heights are ignored.
        if (T.key != S.key && T.x <= S.x && T.z <= S.z && S.x + S.len <= T.x + T.len && S.z + S.wid <= T.z + T.wid) {
            S.active = 0;
            return true;
        }
        if (T.key != S.key && S.x <= T.x && S.z <= T.z && T.x + T.len <= S.x + S.len && T.z + T.wid <= S.z + S.wid) {
            T.active = 0;
            return false;
        }
    }
    return false;
}

void TSelfLoading::setVerts(TgoodsinfoSelf& G) const {
    if (!hasContainer_) {
        G.verts = {};
        return;
    }
    const double hx = wholeSpace_.len / 2, hy = wholeSpace_.hei / 2, hz = wholeSpace_.wid / 2;
    const float x0 = static_cast<float>(G.x0 - hx), x1 = static_cast<float>(G.x1 - hx);
    const float y0 = static_cast<float>(G.y0 - hy), y1 = static_cast<float>(G.y1 - hy);
    const float z0 = static_cast<float>(G.z0 - hz), z1 = static_cast<float>(G.z1 - hz);
    G.verts = boxCorners(x0, y0, z0, x1, y1, z1);
}

// ----------------------------------------------------------------- batches --

TBatchResult TSelfLoading::placeBatch(const SelfGoods* goods, std::string_view amountText, int fillOrderItem,
                                      int placeTypeItem) {
    TBatchResult r;
    int n = 0;
    r.message = checkAmount(amountText, n);
    if (!r.message.empty()) {
        r.refused = TBatchEntry::amount;
        return r;
    }
    if (fillOrderItem < 0 || fillOrderItem > 5) {
        r.message = "请选择摆放方向";
        r.refused = TBatchEntry::fillOrder;
        return r;
    }
    if (placeTypeItem < 0 || placeTypeItem > 5) {
        r.message = "请选择摆放方式";
        r.refused = TBatchEntry::placeType;
        return r;
    }
    if (!hasContainer_ || viewOnly_) {
        r.message = "请先选择一个箱柜";
        return r;
    }
    if (!goods) {
        r.message = "请选择一个货物";
        r.refused = TBatchEntry::goods;
        return r;
    }
    // Sizes as the pieces will hold them; NaN fails every test too.
    const float L = static_cast<float>(goods->Length), W = static_cast<float>(goods->Width),
                H = static_cast<float>(goods->Height);
    if (!(L > 0) || !(W > 0) || !(H > 0) || !std::isfinite(L) || !std::isfinite(W) || !std::isfinite(H)) {
        r.message = "货物的尺寸有误，请检查货物资料!";
        return r;
    }
    const auto rgb = parseColorText(goods->Color);
    if (!rgb) {
        r.message = "货物的颜色有误，请检查货物资料!";
        return r;
    }
    r.accepted = true;

    const int batch = static_cast<int>(batches_.size()) + 1;
    for (int i = 0; i < n; ++i) {
        TgoodsinfoSelf p;
        p.GoodsNo = goods->GoodsNo;
        p.GoodsName = goods->GoodsName;
        p.ListId = static_cast<int>(pieceArr_.size());
        p.L = L;
        p.W = W;
        p.H = H;
        p.weight = goods->Weight;
        p.batch = batch;
        p.shown = 1;
        p.red = static_cast<float>(rgb->r / 255.0);
        p.green = static_cast<float>(rgb->g / 255.0);
        p.blue = static_cast<float>(rgb->b / 255.0);
        p.alpha = 1;
        if (!GetCoordinate(p, fillOrderItem, placeTypeItem)) break;
        pieceArr_.push_back(std::move(p));
        ++r.placed;
    }
    r.left = n - r.placed;
    if (r.placed > 0) {
        SelfBatch b;
        b.colorText = goods->Color;
        b.batch = batch;
        b.goodsName = goods->GoodsName;
        b.goodsNo = goods->GoodsNo;
        b.amount = r.placed;
        b.L = goods->Length;
        b.W = goods->Width;
        b.H = goods->Height;
        b.weight = goods->Weight;
        b.fillOrder = kFillOrders[fillOrderItem].number;
        b.placeType = orientations()[placeTypeItem].number;
        batches_.push_back(std::move(b));
        r.batch = batch;
        r.summary = batchSummary(batch);
    }
    if (r.left != 0) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "共装了 %d 件货物，共有 %d 件货物未装", r.placed, r.left);
        r.message = buf;
    }
    return r;
}

int TSelfLoading::GetAllGoodsNum() const {
    int n = 0;
    for (const SelfBatch& b : batches_) n += b.amount;
    return n;
}

std::string TSelfLoading::GetZXL() const {
    if (!hasContainer_) return {};
    double goods = 0;
    for (const SelfBatch& b : batches_) goods += b.L * b.W * b.H * b.amount;
    return ratioText(goods, wholeSpace_.len * wholeSpace_.wid * wholeSpace_.hei);
}

// ------------------------------------------------------------------ showing --

void TSelfLoading::setShown(TgoodsinfoSelf& p, bool on) const {
    p.shown = on ? 1 : 0;
    p.alpha = on ? 1.0f : 0.0f;
}

void TSelfLoading::showBatch(int batch) {
    for (auto& p : pieceArr_) setShown(p, p.batch == batch);
}

void TSelfLoading::showUpTo(int position) {
    for (std::size_t i = 0; i < pieceArr_.size(); ++i)
        setShown(pieceArr_[i], position >= 0 && i <= static_cast<std::size_t>(position));
}

void TSelfLoading::showAll() {
    for (auto& p : pieceArr_) setShown(p, true);
}

int TSelfLoading::stepBatches(int heapStep) {
    const int nb = static_cast<int>(batches_.size());
    if (nb < 2) return heapStep;
    int step = heapStep + 1;
    if (step > nb || step < 1) step = 1;
    std::vector<int> shown;
    for (int i = 0; i < step; ++i) shown.push_back(batches_[i].batch);
    for (auto& p : pieceArr_) setShown(p, std::find(shown.begin(), shown.end(), p.batch) != shown.end());
    return step;
}

std::vector<std::string> TSelfLoading::batchKeys(int step) const {
    std::vector<std::string> keys;
    for (int i = 0; i < step && i < static_cast<int>(batches_.size()); ++i)
        keys.push_back(std::to_string(batches_[i].batch));
    return keys;
}

std::string TSelfLoading::batchSummary(int batch) const {
    if (batch < 1 || batch > static_cast<int>(batches_.size())) return {};
    const SelfBatch& b = batches_[batch - 1];
    return joinLines(
        {"", "  第  " + std::to_string(batch) + "  批", "      当前批    名称:  " + b.goodsName,
         "                数量:  " + std::to_string(b.amount), "                摆放方式:  " + placeTextOf(b.placeType),
         "                摆放方向:  " + fillOrderText(b.fillOrder), "",
         "  已装入货物共计:  " + std::to_string(GetAllGoodsNum()) + "    件", "  当前装箱率:  " + GetZXL()});
}

std::string TSelfLoading::loadingSummary() const {
    return joinLines({"", "  选用的箱柜编号： " + vehicleNo_,
                      "  货物批次共计：   " + std::to_string(batches_.size()) + "  批" +
                          "    数量共计:  " + std::to_string(GetAllGoodsNum()),
                      "  装箱率:          " + GetZXL()});
}

std::string TSelfLoading::stepSummary(int step) const {
    const int nb = static_cast<int>(batches_.size());
    if (step < 1 || step > nb) return {};
    int sum = 0;
    for (int i = 0; i < step; ++i) sum += batches_[i].amount;
    const SelfBatch& b = batches_[step - 1];
    return joinLines({"", "  第  " + std::to_string(step) + "  批:" + "  (共  " + std::to_string(nb) + "  批)",
                      "      已装入货物共计:  " + std::to_string(sum) + "    件", "      当前批    编号:  " + b.goodsNo,
                      "                数量:  " + std::to_string(b.amount),
                      "                摆放方式:  " + placeTextOf(b.placeType),
                      "                摆放方向:  " + fillOrderText(b.fillOrder)});
}

}  // namespace tms
