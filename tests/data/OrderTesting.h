#pragma once
// Helpers for the order tests, with and without windows: catalogue rows to
// order from, and the order tables read back as text to compare the
// database before and after an action.

#include <QString>
#include <QStringList>
#include <QVariantList>

#include "platform/AdoDb.h"

// A container of the catalogue; sizes in mm, load limit in kg.
inline void addContainerRow(TADOConnection& c, const QString& no, const QString& name, int l, int w, int h, int kg) {
    c.Execute(
        "insert into HoldVehicles(VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight) "
        "values (?,?,?,?,?,?)",
        {no, name, l, w, h, kg});
}

// A goods of the catalogue named after its number ("A" is "A箱"), brand "牌".
inline void addGoodsRow(TADOConnection& c, const QString& no, int l, int w, int h, int kg, const QString& upward,
                        int model, const QString& colour) {
    c.Execute(
        "insert into HoldGoods(GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,COLOR) "
        "values (?,?,'牌',?,?,?,?,?,?,?)",
        {no, no + "箱", model, upward, l, w, h, kg, colour});
}

// Each row of the query as its cells joined by "|".
inline QStringList rowsOf(TADOConnection& c, const QString& sql, const QVariantList& params = {}) {
    TADOQuery q(&c);
    q.setSQL(sql);
    q.setParams(params);
    q.Open();
    QStringList out;
    for (q.First(); !q.Eof(); q.Next()) {
        QStringList cells;
        for (int col = 0; col < q.FieldCount(); ++col) cells << q.Fields(col).AsString();
        out << cells.join('|');
    }
    return out;
}

// Every row of the order tables, in a fixed order.
inline QStringList orderTables(TADOConnection& c) {
    return rowsOf(c, "select * from HoldOrderForm order by OrderFormNo") +
           rowsOf(c, "select * from HoldOrderFormList order by OrderFormNo,Sequence") +
           rowsOf(c, "select * from HoldList order by OrderFormNo,ListId");
}
