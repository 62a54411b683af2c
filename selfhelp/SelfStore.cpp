#include "selfhelp/SelfStore.h"

#include <QDate>
#include <charconv>
#include <exception>
#include <string_view>

#include "platform/AdoDb.h"
#include "platform/Codes.h"
#include "platform/TextConvert.h"

namespace tms {

const char* const kVehicleMissing = "该箱柜不存在，可能已经删除!";

namespace {

bool allBlank(std::string_view t) {
    for (char c : t)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

// Corners are stored with two decimals. to_chars/from_chars, so the locale
// a window may have set never turns the point into a comma.
double twoDecimals(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    if (ec != std::errc()) return v;
    double r = v;
    std::from_chars(buf, end, r);
    return r == 0 ? 0.0 : r;  // no "-0" from a tiny negative
}

std::string errorText(const std::exception& e) { return e.what(); }

int batchOrientation(const TSelfLoading& loading, const TgoodsinfoSelf& p) {
    for (const SelfBatch& b : loading.batches())
        if (b.batch == p.batch) return b.placeType;
    const Orientation* o = orientationByText(p.placeText);
    return o ? o->number : 0;
}

}  // namespace

TSelfSaveResult TSelfStore::save(const std::string& name, const TSelfLoading& loading, const std::string& date) {
    TSelfSaveResult r;
    if (allBlank(name)) {
        r.message = "请录入装箱名称!";
        r.refused = TSelfSaveCheck::noName;
        return r;
    }
    if (loading.pieceArr().empty()) {
        r.message = "您还没有添加货物，请添加货物!";
        r.refused = TSelfSaveCheck::noGoods;
        return r;
    }
    try {
        TADOQuery check(&conn_);
        check.setSQL(QStringLiteral("select count(*) as n from HoldSelfHelpOrderForm where SelfHelpOrderFormNo = ?"));
        check.bind(1, qs(name));
        check.Open();
        if (check.FieldByName(QStringLiteral("n")).AsInteger() > 0) {
            r.message = "该名称已经存在，请重新录入!";
            r.refused = TSelfSaveCheck::nameTaken;
            return r;
        }
        if (!loading.hasContainer() || loading.viewOnly()) {
            r.message = "请先选择一个箱柜";
            r.refused = TSelfSaveCheck::noContainer;
            return r;
        }
        const QString day = date.empty() ? QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) : qs(date);

        TTransaction t(conn_);
        conn_.Execute(QStringLiteral("insert into HoldSelfHelpOrderForm(SELFHELPORDERFORMNO,SELFHELPORDERFORMNAME,"
                                     "VEHICLENO,HOLDDATE,HOLDUSER) values (?,?,?,?,?)"),
                      {qs(name), QString(""), qs(loading.vehicleNo()), day, QString("")});
        TPreparedStatement batch(conn_, QStringLiteral("insert into HoldSelfHelpOrderFormList(ORDERFORMNO,GOODSNO,"
                                                       "AMOUNT,SEQUENCE,PLACEDIRECTION,RGPLACETYPE) "
                                                       "values (?,?,?,?,?,?)"));
        for (const SelfBatch& b : loading.batches())
            batch.run({qs(name), qs(b.goodsNo), b.amount, b.batch, b.fillOrder, b.placeType});
        TPreparedStatement piece(conn_,
                                 QStringLiteral("insert into HoldSelfHelpList(LISTID,ORDERFORMNO,GOODSNO,FLOOR,BCD,BCW,"
                                                "BCH,BCD2,BCW2,BCH2,DX,DY,DZ,RGPLACETYPE) "
                                                "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (const TgoodsinfoSelf& p : loading.pieceArr())
            piece.run({p.ListId, qs(name), qs(p.GoodsNo), p.batch, twoDecimals(p.x0), twoDecimals(p.z0),
                       twoDecimals(p.y0), twoDecimals(p.x1), twoDecimals(p.z1), twoDecimals(p.y1), 0, 0, 0,
                       batchOrientation(loading, p)});
        t.Commit();
    } catch (const std::exception& e) {
        r.message = errorText(e);
        return r;
    }
    r.ok = true;
    r.message = "保存成功!";
    return r;
}

std::vector<std::string> TSelfStore::list() {
    TADOQuery qy(&conn_);
    // The date is yyyy-MM-dd text, so it sorts by day; rows of one day are in
    // the order they were written, and the later one comes first.
    qy.setSQL(
        QStringLiteral("select SelfHelpOrderFormNo from HoldSelfHelpOrderForm "
                       "order by HoldDate desc, rowid desc"));
    qy.Open();
    std::vector<std::string> names;
    for (qy.First(); !qy.Eof(); qy.Next()) names.push_back(ss(qy.Fields(0).AsString()));
    return names;
}

TSelfLoadResult TSelfStore::load(const std::string& name, TSelfLoading& loading) {
    TSelfLoadResult r;
    loading.reset();
    try {
        TADOQuery qy(&conn_);
        qy.setSQL(QStringLiteral("select VehicleNo from HoldSelfHelpOrderForm where SelfHelpOrderFormNo = ?"));
        qy.bind(1, qs(name));
        qy.Open();
        if (qy.IsEmpty()) {
            r.status = TSelfLoadStatus::notFound;
            r.message = "该装箱不存在，可能已经删除!";
            return r;
        }
        r.vehicleNo = ss(qy.Fields(0).AsString());
        const auto size = vehicleSize(r.vehicleNo);
        if (!size) {
            r.status = TSelfLoadStatus::vehicleMissing;
            r.message = kVehicleMissing;
            return r;
        }
        loading.beginView(r.vehicleNo, size->L, size->W, size->H);

        qy.setSQL(QStringLiteral(
            "select A.OrderFormNo,A.GoodsNo,A.Amount,A.Sequence,A.PlaceDirection,A.RGPlaceType,B.GoodsName,"
            "B.Length,B.Width,B.Height,B.Weight,B.Color from HoldSelfHelpOrderFormList A,HoldGoods B "
            "where A.GoodsNo = B.GoodsNo and A.OrderFormNo = ? order by A.Sequence"));
        qy.bind(1, qs(name));
        qy.Open();
        if (qy.IsEmpty()) {
            loading.reset();
            r.status = TSelfLoadStatus::noBatches;
            r.message = "该装箱的货物都已删除，无法显示!";
            return r;
        }
        for (qy.First(); !qy.Eof(); qy.Next()) {
            SelfBatch b;
            b.colorText = ss(qy.FieldByName(QStringLiteral("Color")).AsString());
            b.batch = qy.FieldByName(QStringLiteral("Sequence")).AsInteger();
            b.goodsName = ss(qy.FieldByName(QStringLiteral("GoodsName")).AsString());
            b.goodsNo = ss(qy.FieldByName(QStringLiteral("GoodsNo")).AsString());
            b.amount = qy.FieldByName(QStringLiteral("Amount")).AsInteger();
            b.L = qy.FieldByName(QStringLiteral("Length")).AsFloat();
            b.W = qy.FieldByName(QStringLiteral("Width")).AsFloat();
            b.H = qy.FieldByName(QStringLiteral("Height")).AsFloat();
            b.weight = qy.FieldByName(QStringLiteral("Weight")).AsFloat();
            b.fillOrder = qy.FieldByName(QStringLiteral("PlaceDirection")).AsInteger();
            b.placeType = qy.FieldByName(QStringLiteral("RGPlaceType")).AsInteger();
            loading.addViewBatch(b);
        }

        qy.setSQL(QStringLiteral(
            "select A.ListId,A.OrderFormNo,A.GoodsNo,A.Floor,A.bcd,A.bcw,A.bch,A.Bcd2,A.Bcw2,A.Bch2,A.dx,A.dy,A.dz,"
            "A.RGPlaceType,B.GoodsName,B.Length,B.Width,B.Height,B.Weight,B.Color from HoldSelfHelpList A,HoldGoods B "
            "where A.GoodsNo = B.GoodsNo and A.OrderFormNo = ? order by A.ListId"));
        qy.bind(1, qs(name));
        qy.Open();
        for (qy.First(); !qy.Eof(); qy.Next()) {
            TgoodsinfoSelf p;
            p.ListId = qy.FieldByName(QStringLiteral("ListId")).AsInteger();
            p.GoodsNo = ss(qy.FieldByName(QStringLiteral("GoodsNo")).AsString());
            p.GoodsName = ss(qy.FieldByName(QStringLiteral("GoodsName")).AsString());
            p.L = static_cast<float>(qy.FieldByName(QStringLiteral("Length")).AsFloat());
            p.W = static_cast<float>(qy.FieldByName(QStringLiteral("Width")).AsFloat());
            p.H = static_cast<float>(qy.FieldByName(QStringLiteral("Height")).AsFloat());
            p.weight = qy.FieldByName(QStringLiteral("Weight")).AsFloat();
            p.batch = qy.FieldByName(QStringLiteral("Floor")).AsInteger();
            p.shown = 1;
            p.alpha = 1;
            if (const auto rgb = parseColorText(ss(qy.FieldByName(QStringLiteral("Color")).AsString()))) {
                p.red = static_cast<float>(rgb->r / 255.0);
                p.green = static_cast<float>(rgb->g / 255.0);
                p.blue = static_cast<float>(rgb->b / 255.0);
            } else {
                p.red = p.green = p.blue = 0.5f;  // drawn grey
            }
            p.x0 = qy.FieldByName(QStringLiteral("bcd")).AsFloat();
            p.y0 = qy.FieldByName(QStringLiteral("bch")).AsFloat();
            p.z0 = qy.FieldByName(QStringLiteral("bcw")).AsFloat();
            p.x1 = qy.FieldByName(QStringLiteral("Bcd2")).AsFloat();
            p.y1 = qy.FieldByName(QStringLiteral("Bch2")).AsFloat();
            p.z1 = qy.FieldByName(QStringLiteral("Bcw2")).AsFloat();
            p.placeText = placeTextOf(qy.FieldByName(QStringLiteral("RGPlaceType")).AsInteger());
            loading.addViewPiece(std::move(p));
        }
    } catch (const std::exception& e) {
        loading.reset();
        r.status = TSelfLoadStatus::failed;
        r.message = errorText(e);
        return r;
    }
    r.status = TSelfLoadStatus::ok;
    return r;
}

std::string TSelfStore::deleteCheck(const std::string& comboText, bool firstItemSelected) {
    if (allBlank(comboText) || firstItemSelected) return "请选择一个装箱!";
    return {};
}

TSelfDeleteResult TSelfStore::remove(const std::string& name) {
    TSelfDeleteResult r;
    try {
        TTransaction t(conn_);
        conn_.Execute(QStringLiteral("delete from HoldSelfHelpList where OrderFormNo = ?"), {qs(name)});
        conn_.Execute(QStringLiteral("delete from HoldSelfHelpOrderFormList where OrderFormNo = ?"), {qs(name)});
        conn_.Execute(QStringLiteral("delete from HoldSelfHelpOrderForm where SelfHelpOrderFormNo = ?"), {qs(name)});
        t.Commit();
    } catch (const std::exception& e) {
        r.message = errorText(e);
        return r;
    }
    r.ok = true;
    return r;
}

std::vector<std::string> TSelfStore::vehicleNumbers() {
    TADOQuery qy(&conn_);
    qy.setSQL(QStringLiteral("select VehicleNo from HoldVehicles order by rowid"));
    qy.Open();
    std::vector<std::string> out;
    for (qy.First(); !qy.Eof(); qy.Next()) out.push_back(ss(qy.Fields(0).AsString()));
    return out;
}

std::optional<TVehicleSize> TSelfStore::vehicleSize(const std::string& vehicleNo) {
    TADOQuery qy(&conn_);
    qy.setSQL(QStringLiteral("select ContainerL,ContainerW,ContainerH from HoldVehicles where VehicleNo = ?"));
    qy.bind(1, qs(vehicleNo));
    qy.Open();
    if (qy.IsEmpty()) return std::nullopt;
    TVehicleSize v;
    v.L = qy.FieldByName(QStringLiteral("ContainerL")).AsFloat();
    v.W = qy.FieldByName(QStringLiteral("ContainerW")).AsFloat();
    v.H = qy.FieldByName(QStringLiteral("ContainerH")).AsFloat();
    return v;
}

}  // namespace tms
