#include "data/OrderStore.h"

#include <QStringList>
#include <set>

#include "engine/HoldEngine.h"
#include "engine/OrderLaunch.h"
#include "platform/AdoDb.h"

namespace tms {

namespace {

const QString kAmountWrong = QStringLiteral("录入的数量有误，请重新录入!");
const QString kGoodsGone = QStringLiteral("该货物不存在，可能已经删除!");
const QString kContainerGone = QStringLiteral("该箱柜不存在，可能已经删除!");
const QString kNumberTaken = QStringLiteral("该编号已存在 请从新输入");

bool orderExists(TADOConnection& conn, const QString& orderNo) {
    TADOQuery q(&conn);
    q.setSQL(QStringLiteral("select OrderFormNo from HoldOrderForm where OrderFormNo = ?"));
    q.bind(1, orderNo);
    q.Open();
    return !q.IsEmpty();
}

TOrderOutcome refusal(const QString& text, TOrderField focus = TOrderField::none) {
    TOrderOutcome out;
    out.kind = TOrderOutcome::Kind::refused;
    out.message = text;
    out.focus = focus;
    return out;
}

std::optional<int> wholeNumber(const QString& text, int maximum) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok || v > maximum) return std::nullopt;
    return static_cast<int>(v);
}

// The inner sizes and the load limit on the current row of `q`.
TOrderContainer containerFields(TADOQuery& q) {
    return TOrderContainer{
        q.FieldByName(QStringLiteral("ContainerL")).AsFloat(), q.FieldByName(QStringLiteral("ContainerW")).AsFloat(),
        q.FieldByName(QStringLiteral("ContainerH")).AsFloat(), q.FieldByName(QStringLiteral("MaxWeight")).AsFloat()};
}

// The refusal for the container on the current row of `q` when a side of
// it is 0 or less: no piece fits such a container, whatever the goods, so
// the container and its size are named. Empty for a sound container.
QString containerSizeFault(TADOQuery& q, const TOrderContainer& box) {
    if (box.L > 0 && box.W > 0 && box.H > 0) return {};
    auto text = [&](const char* field) { return q.FieldByName(QLatin1String(field)).AsString().trimmed(); };
    const QString name = text("VehicleName");
    return QStringLiteral("所选箱柜 %1%2的尺寸有误：长 %3 mm，宽 %4 mm，高 %5 mm，请在箱柜管理中修改后再计算")
        .arg(text("VehicleNo"), name.isEmpty() ? QStringLiteral(" ") : QStringLiteral("（%1）").arg(name),
             text("ContainerL"), text("ContainerW"), text("ContainerH"));
}

// The container row of `vehicleNo`, or nothing when the catalogue no
// longer holds it; `sizeFault` as containerSizeFault gives it.
std::optional<TOrderContainer> containerOf(TADOConnection& conn, const QString& vehicleNo, QString& sizeFault) {
    TADOQuery q(&conn);
    q.setSQL(
        QStringLiteral("select VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight from HoldVehicles "
                       "where VehicleNo = ?"));
    q.bind(1, vehicleNo);
    q.Open();
    if (q.IsEmpty()) return std::nullopt;
    const TOrderContainer box = containerFields(q);
    sizeFault = containerSizeFault(q, box);
    return box;
}

TOrderLine lineOf(TADOQuery& q) {
    TOrderLine line;
    line.goodsNo = q.FieldByName(QStringLiteral("GoodsNo")).AsString().toStdString();
    line.goodsName = q.FieldByName(QStringLiteral("GoodsName")).AsString().toStdString();
    line.L = q.FieldByName(QStringLiteral("Length")).AsFloat();
    line.W = q.FieldByName(QStringLiteral("Width")).AsFloat();
    line.H = q.FieldByName(QStringLiteral("Height")).AsFloat();
    line.weight = q.FieldByName(QStringLiteral("Weight")).AsFloat();
    line.canTurn = q.FieldByName(QStringLiteral("Upward")).AsString().trimmed() == QLatin1String("1");
    return line;
}

// The goods kinds of the lines that no empty container can take, by the
// engine's own rule.
std::vector<TUnplaceableGoods> unplaceable(const std::vector<TOrderLine>& lines, const TOrderContainer& box,
                                           const TEngineOptions& sw) {
    std::vector<TGoodsKind> kinds;
    std::set<std::string> seen;
    for (const TOrderLine& l : lines)
        if (seen.insert(l.goodsNo).second) kinds.push_back({l.goodsNo, l.L, l.W, l.H, l.weight, l.canTurn});
    return unplaceableGoods(kinds, box.L, box.W, box.H, box.maxWeight, sw.weightRestrict, sw.directionRestrict);
}

// The launcher's options: the switches of this moment with the path, the
// calculation type and the placement mode of the order.
TOrderOptions optionsOf(const TEngineOptions& sw, TLaunchPath path, bool typeA, TLoadingMode loadingMode) {
    TOrderOptions o{sw};
    o.engine.path = path;
    o.engine.typeA = typeA;
    o.engine.loadingMode = loadingMode;
    return o;
}

// Runs the calculation inside the caller's transaction; a refusal of the
// engine is thrown so the transaction goes back.
TPlanResult runPlan(TADOConnection& conn, THoldEngine& engine, const QString& orderNo) {
    TPlanResult plan = GoodsOrder(engine, conn, orderNo.toStdString());
    if (!plan.ok) throw EDatabaseError(QStringLiteral("计算出错：") + QString::fromStdString(plan.error));
    return plan;
}

TOrderOutcome finished(const QString& orderNo, TPlanResult plan) {
    TOrderOutcome out;
    out.kind = TOrderOutcome::Kind::stored;
    out.orderNo = orderNo;
    if (plan.leftOver > 0) out.message = leftOverMessage(plan.placed, plan.leftOver);
    out.plan = std::move(plan);
    return out;
}

TOrderOutcome failure(const QString& orderNo, const QString& text) {
    TOrderOutcome out;
    out.kind = TOrderOutcome::Kind::failed;
    out.orderNo = orderNo;
    out.message = text;
    return out;
}

// The outcome of an exception being handled: called only from a catch
// handler, it tells a database error or another standard exception as a
// failure of the order; anything else goes on to the caller as before.
TOrderOutcome failureOf(const QString& orderNo) {
    try {
        throw;
    } catch (const EDatabaseError& e) {
        return failure(orderNo, e.message());
    } catch (const std::exception& e) {
        return failure(orderNo, QString::fromLocal8Bit(e.what()));
    }
}

// The end of a calculation whose order rows are written under `t`: the plan
// is computed and stored, the order is marked by `markSql` (bound to
// `params`) and the whole is committed.
TOrderOutcome commitPlan(TADOConnection& conn, THoldEngine& engine, TTransaction& t, const QString& orderNo,
                         const QString& markSql, const QVariantList& params) {
    TPlanResult plan = runPlan(conn, engine, orderNo);
    conn.Execute(markSql, params);
    t.Commit();
    return finished(orderNo, std::move(plan));
}

}  // namespace

std::optional<int> amountOf(const QString& text) { return wholeNumber(text, kMaxAmount); }

std::optional<int> marginOf(const QString& text) {
    if (text.trimmed().isEmpty()) return 0;
    return wholeNumber(text, 99999);
}

QString leftOverMessage(int placed, int leftOver) {
    return QStringLiteral("共装了 %1 件货物，共有 %2 件货物未装").arg(placed).arg(leftOver);
}

QString typeATooMany(int count) {
    return QStringLiteral(
               "该箱柜可装 %1 件货物，超过了货物编号中6位流水号所能编到的 %2 件 "
               "请检查货物尺寸或膨胀尺寸!")
        .arg(count)
        .arg(kMaxSerialPieces);
}

QString unplaceableMessage(const std::vector<TUnplaceableGoods>& goods) {
    QStringList parts;
    for (const TUnplaceableGoods& g : goods) {
        QString why;
        switch (g.reason) {
        case TUnplaceable::badSize: why = QStringLiteral("尺寸有误"); break;
        case TUnplaceable::tooLarge: why = QStringLiteral("尺寸超出箱柜"); break;
        case TUnplaceable::tooHeavy: why = QStringLiteral("重量超过箱柜载重"); break;
        }
        parts << QStringLiteral("%1（%2）").arg(QString::fromStdString(g.goodsNo), why);
    }
    return QStringLiteral("以下货物无法装入所选箱柜 请重新选择货物或箱柜:\n") + parts.join(QLatin1Char('\n'));
}

TOrderOutcome computeNewOrder(TADOConnection& conn, THoldEngine& engine, const TOrderEntry& entry,
                              const TEngineOptions& sw) {
    const QString orderNo = entry.orderNo.trimmed();
    try {
        if (entry.typeA && entry.lines.size() > 1)
            return refusal(QStringLiteral("对应A类计算，只能添加一种货物,请重新添加"));
        if (entry.lines.isEmpty()) return refusal(QStringLiteral("请输入货物"));
        if (orderExists(conn, orderNo)) return refusal(kNumberTaken, TOrderField::orderNo);
        if (entry.vehicleNo.trimmed().isEmpty() || orderNo.isEmpty())
            return refusal(QStringLiteral("请选择车厢或输入装配编号"),
                           orderNo.isEmpty() ? TOrderField::orderNo : TOrderField::container);

        const std::pair<QString, QString> texts[] = {{orderNo, QStringLiteral("订单编号")},
                                                     {entry.name, QStringLiteral("客户名称")},
                                                     {entry.destination, QStringLiteral("目的地")},
                                                     {entry.consigner, QStringLiteral("委托运输")}};
        for (const auto& [text, caption] : texts)
            if (text.size() > kOrderTextSize)
                return refusal(QStringLiteral("%1不能超过%2个字符 请从新录入").arg(caption).arg(kOrderTextSize),
                               caption == QLatin1String("订单编号") ? TOrderField::orderNo : TOrderField::none);

        // Type A counts its pieces from the container; the amount box is
        // hidden then, and its text is stored as it stood.
        std::vector<int> amounts;
        for (const TEntryLine& l : entry.lines) {
            const std::optional<int> a = amountOf(l.amount);
            if (!a && !entry.typeA) return refusal(kAmountWrong);
            amounts.push_back(a.value_or(0));
        }
        const std::optional<int> addL = marginOf(entry.addL), addW = marginOf(entry.addW), addH = marginOf(entry.addH);
        if (!addL || !addW || !addH) return refusal(QStringLiteral("录入的膨胀尺寸有误，请重新录入!"));

        // The container is read by its number, as the window chose it.
        QString sizeFault;
        const std::optional<TOrderContainer> box = containerOf(conn, entry.vehicleNo, sizeFault);
        if (!box) return refusal(kContainerGone);
        if (!sizeFault.isEmpty()) return refusal(sizeFault, TOrderField::container);

        std::vector<TOrderLine> lines;
        for (int i = 0; i < entry.lines.size(); ++i) {
            TADOQuery q(&conn);
            q.setSQL(
                QStringLiteral("select GoodsNo,GoodsName,Upward,Length,Width,Height,Weight from HoldGoods "
                               "where GoodsNo = ?"));
            q.bind(1, entry.lines[i].goodsNo);
            q.Open();
            if (q.IsEmpty()) return refusal(kGoodsGone);
            TOrderLine line = lineOf(q);
            line.goodsNo = entry.lines[i].goodsNo.toStdString();  // the number as listed
            line.amount = amounts[static_cast<size_t>(i)];
            lines.push_back(std::move(line));
        }
        // Goods no empty container takes would never let a type-B run end;
        // under type A they only give a plan without pieces.
        if (!entry.typeA)
            if (const auto bad = unplaceable(lines, *box, sw); !bad.empty()) return refusal(unplaceableMessage(bad));

        TOrderOptions o = optionsOf(sw, TLaunchPath::newOrder, entry.typeA, entry.loadingMode);
        if (entry.typeA) {
            o.typeACount = typeAPieceCount(*box, lines.front(), *addL, *addW, *addH);
            if (o.typeACount > kMaxSerialPieces) return refusal(typeATooMany(o.typeACount));
        }

        TTransaction t(conn);
        // Another copy of the program may have stored the number since the
        // check above; now that this one holds the file, look again.
        if (orderExists(conn, orderNo)) return refusal(kNumberTaken, TOrderField::orderNo);
        conn.Execute(QStringLiteral("insert into HoldOrderForm(OrderFormNo,OrderFormName,SailDate,VehicleNo,Consigner,"
                                    "Destination,CountType,LoadingType,IsDirectionRestrict,IsWeightRestrict,AddL,AddW,"
                                    "AddH) values (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                     {orderNo, entry.name, entry.sailDate.toString(QStringLiteral("yyyy-MM-dd")), entry.vehicleNo,
                      entry.consigner, entry.destination, entry.typeA ? 0 : 1, static_cast<int>(entry.loadingMode),
                      sw.directionRestrict ? 1 : 0, sw.weightRestrict ? 1 : 0, *addL, *addW, *addH});
        {
            TPreparedStatement ins(conn, QStringLiteral("insert into HoldOrderFormList(OrderFormNo,GoodsNo,Amount,"
                                                        "Sequence) values (?,?,?,?)"));
            for (int i = 0; i < entry.lines.size(); ++i) {
                ins.bindText(1, orderNo);
                ins.bindText(2, entry.lines[i].goodsNo);
                if (entry.typeA)
                    ins.bindText(3, entry.lines[i].amount);
                else
                    ins.bindInt(3, amounts[static_cast<size_t>(i)]);
                ins.bindInt(4, i + 1);
                ins.run();
            }
        }
        launchOrder(engine, lines, *box, o);
        return commitPlan(conn, engine, t, orderNo,
                          QStringLiteral("update HoldOrderForm set IsNeedCount=0 where OrderFormNo = ?"), {orderNo});
    } catch (...) {
        return failureOf(orderNo);
    }
}

TOrderOutcome recalculateOrder(TADOConnection& conn, THoldEngine& engine, const QString& orderNo,
                               const TEngineOptions& sw) {
    try {
        TADOQuery h(&conn);
        h.setSQL(QStringLiteral(
            "select A.CountType,A.LoadingType,A.AddL,A.AddW,A.AddH,B.VehicleNo,B.VehicleName,B.ContainerL,"
            "B.ContainerW,B.ContainerH,B.MaxWeight from HoldOrderForm A left join HoldVehicles B "
            "on A.VehicleNo = B.VehicleNo where A.OrderFormNo = ?"));
        h.bind(1, orderNo);
        h.Open();
        if (h.IsEmpty()) return refusal(QStringLiteral("该订单不存在，可能已经删除!"));
        if (h.FieldByName(QStringLiteral("VehicleNo")).IsNull()) return refusal(kContainerGone);
        const bool typeA = h.FieldByName(QStringLiteral("CountType")).AsInteger() == 0;
        const int loadingType = h.FieldByName(QStringLiteral("LoadingType")).AsInteger();
        const double addL = h.FieldByName(QStringLiteral("AddL")).AsFloat(),
                     addW = h.FieldByName(QStringLiteral("AddW")).AsFloat(),
                     addH = h.FieldByName(QStringLiteral("AddH")).AsFloat();
        const TOrderContainer box = containerFields(h);
        if (const QString fault = containerSizeFault(h, box); !fault.isEmpty()) return refusal(fault);

        // Every line with its goods; a goods gone from the catalogue would
        // drop its pieces unseen, so it stops the run by name.
        std::vector<TOrderLine> lines;
        QStringList gone;
        TADOQuery q(&conn);
        q.setSQL(
            QStringLiteral("select B.GoodsNo as ListedNo,B.Amount,C.GoodsNo,C.GoodsName,C.Upward,C.Length,"
                           "C.Width,C.Height,C.Weight from HoldOrderFormList B left join HoldGoods C "
                           "on B.GoodsNo = C.GoodsNo where B.OrderFormNo = ? order by B.Sequence"));
        q.bind(1, orderNo);
        q.Open();
        for (q.First(); !q.Eof(); q.Next()) {
            if (q.FieldByName(QStringLiteral("GoodsNo")).IsNull()) {
                gone << q.FieldByName(QStringLiteral("ListedNo")).AsString();
                continue;
            }
            TOrderLine line = lineOf(q);
            // Type A counts from the container; its stored amount is only
            // the text of the hidden box.
            if (!typeA) {
                const std::optional<int> a = amountOf(q.FieldByName(QStringLiteral("Amount")).AsString());
                if (!a) return refusal(kAmountWrong);
                line.amount = *a;
            }
            lines.push_back(std::move(line));
        }
        if (!gone.isEmpty())
            return refusal(QStringLiteral("以下货物已不存在，可能已经删除，不能计算该订单:\n") +
                           gone.join(QLatin1Char('\n')));
        if (!typeA)
            if (const auto bad = unplaceable(lines, box, sw); !bad.empty()) return refusal(unplaceableMessage(bad));

        TOrderOptions o = optionsOf(sw, TLaunchPath::recalculation, typeA, static_cast<TLoadingMode>(loadingType));
        if (typeA && !lines.empty()) {
            o.typeACount = typeAPieceCount(box, lines.front(), addL, addW, addH);
            if (o.typeACount > kMaxSerialPieces) return refusal(typeATooMany(o.typeACount));
        }
        launchOrder(engine, lines, box, o);

        TTransaction t(conn);
        return commitPlan(conn, engine, t, orderNo,
                          QStringLiteral("update HoldOrderForm set IsNeedCount=0,IsDirectionRestrict=?,"
                                         "IsWeightRestrict=? where OrderFormNo = ?"),
                          {sw.directionRestrict ? 1 : 0, sw.weightRestrict ? 1 : 0, orderNo});
    } catch (...) {
        return failureOf(orderNo);
    }
}

void deleteOrder(TADOConnection& conn, const QString& orderNo) {
    TTransaction t(conn);
    conn.Execute(QStringLiteral("delete from HoldList where OrderFormNo = ?"), {orderNo});
    conn.Execute(QStringLiteral("delete from HoldOrderFormList where OrderFormNo = ?"), {orderNo});
    conn.Execute(QStringLiteral("delete from HoldOrderForm where OrderFormNo = ?"), {orderNo});
    t.Commit();
}

// ---------------------------------------------------------------- order list

QString likePattern(const QString& text) { return QLatin1Char('%') + text + QLatin1Char('%'); }

QString orderListSql(const QString& filterField, const QString& orderBy, bool descending) {
    QString sql = QStringLiteral(
        "select A.OrderFormNo,A.OrderFormName,A.SailDate,A.Consigner,A.Destination,A.IsNeedCount,"
        "A.LoadingType,A.CountType,A.IsDirectionRestrict,A.IsWeightRestrict,A.IsBestStandPlace,"
        "A.AddL,A.AddW,A.AddH,A.VehicleNo,B.VehicleName,"
        "case A.CountType when 0 then 'A类' when 1 then 'B类' else '' end as CountTypeText,"
        "case A.LoadingType when 0 then '无限制' when 1 then '平放' when 2 then '纵放' else '' end as LoadingTypeText,"
        "case A.IsDirectionRestrict when 1 then '有' when 0 then '无' else '' end as DirectionText,"
        "case A.IsWeightRestrict when 1 then '有' when 0 then '无' else '' end as WeightText,"
        "case A.IsBestStandPlace when 1 then '是' when 0 then '否' else '' end as BestStandText "
        "from HoldOrderForm A,HoldVehicles B where A.VehicleNo = B.VehicleNo");
    if (filterField == QLatin1String("OrderFormNo") || filterField == QLatin1String("OrderFormName"))
        sql += QStringLiteral(" and A.") + filterField + QStringLiteral(" like ?");
    // Only the list's own columns sort it; a code's text column sorts by
    // the code.
    static const QStringList columns = {QStringLiteral("OrderFormNo"),
                                        QStringLiteral("OrderFormName"),
                                        QStringLiteral("SailDate"),
                                        QStringLiteral("Consigner"),
                                        QStringLiteral("Destination"),
                                        QStringLiteral("IsNeedCount"),
                                        QStringLiteral("LoadingType"),
                                        QStringLiteral("CountType"),
                                        QStringLiteral("IsDirectionRestrict"),
                                        QStringLiteral("IsWeightRestrict"),
                                        QStringLiteral("IsBestStandPlace"),
                                        QStringLiteral("AddL"),
                                        QStringLiteral("AddW"),
                                        QStringLiteral("AddH"),
                                        QStringLiteral("VehicleNo")};
    static const QList<std::pair<QString, QString>> textColumns = {
        {QStringLiteral("CountTypeText"), QStringLiteral("CountType")},
        {QStringLiteral("LoadingTypeText"), QStringLiteral("LoadingType")},
        {QStringLiteral("DirectionText"), QStringLiteral("IsDirectionRestrict")},
        {QStringLiteral("WeightText"), QStringLiteral("IsWeightRestrict")},
        {QStringLiteral("BestStandText"), QStringLiteral("IsBestStandPlace")}};
    QString by;
    for (const auto& [text, code] : textColumns)
        if (orderBy.compare(text, Qt::CaseInsensitive) == 0) by = QStringLiteral("A.") + code;
    for (const QString& c : columns)
        if (orderBy.compare(c, Qt::CaseInsensitive) == 0) by = QStringLiteral("A.") + c;
    if (orderBy.compare(QLatin1String("VehicleName"), Qt::CaseInsensitive) == 0) by = QStringLiteral("B.VehicleName");
    if (!by.isEmpty()) sql += QStringLiteral(" order by ") + by + (descending ? QStringLiteral(" desc") : QString());
    return sql;
}

QString orderLinesSql() {
    return QStringLiteral(
        "select A.OrderFormNo,A.OrderFormName,B.GoodsNo,B.Amount,B.Sequence,C.GoodsName,C.Brand,"
        "C.Model,C.Upward,C.Length,C.Width,C.Height,C.Weight from HoldOrderForm A,HoldOrderFormList B,HoldGoods C "
        "where A.OrderFormNo = B.OrderFormNo and B.GoodsNo = C.GoodsNo and A.OrderFormNo = ? order by B.Sequence");
}

bool isDateText(const QString& text) {
    const QString t = text.trimmed();
    return t.size() == 10 && QDate::fromString(t, QStringLiteral("yyyy-MM-dd")).isValid();
}

}  // namespace tms
