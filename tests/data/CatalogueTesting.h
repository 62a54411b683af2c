#pragma once
// Helpers for the catalogue window tests: a fresh keyed database in a
// temporary folder, typing into an edit as a user does, and reading rows
// back.

#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <stdexcept>

#include "platform/AdoDb.h"
#include "platform/DbSchema.h"
#include "platform/Dialogs.h"
#include "tests/support/TestDb.h"

// Replaces the edit's text as typing would (the bound field follows).
inline void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty())
        edit->del();
    else
        edit->insert(text);
}

inline int countRows(TADOConnection& c, const QString& sql) {
    TADOQuery q(&c);
    q.setSQL(sql);
    q.Open();
    return q.RecordCount();
}

inline QString cellOf(TADOConnection& c, const QString& sql) {
    TADOQuery q(&c);
    q.setSQL(sql);
    q.Open();
    return q.IsEmpty() ? QStringLiteral("<none>") : q.Fields(0).AsString();
}

inline QStringList columnOf(TADOQuery* q, const QString& field) {
    QStringList out;
    const int c = q->fieldIndex(field);
    for (int r = 0; r < q->RecordCount(); ++r) out << TADOQuery::displayText(q->cell(r, c));
    return out;
}

// An order on a container with one line per goods; isNeedCount 0 means its
// plan is computed.
inline void addOrder(TADOConnection& c, const QString& orderNo, const QString& vehicleNo, int isNeedCount,
                     const QStringList& goods = {}) {
    c.Execute(
        "insert into HoldOrderForm(OrderFormNo,OrderFormName,VehicleNo,CountType,LoadingType,IsNeedCount) "
        "values (?,'',?,1,0,?)",
        {orderNo, vehicleNo, isNeedCount});
    int seq = 1;
    for (const QString& g : goods)
        c.Execute("insert into HoldOrderFormList(OrderFormNo,GoodsNo,Amount,Sequence) values (?,?,10,?)",
                  {orderNo, g, seq++});
}
