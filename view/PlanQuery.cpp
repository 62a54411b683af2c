#include "view/PlanQuery.h"

#include "platform/AdoDb.h"
#include "platform/TextConvert.h"

namespace tms::detail {

std::string cellText(const QVariant& v) { return TADOQuery::displayText(v).toStdString(); }

void openOnContainer(TADOQuery& query, const QString& sql, const std::string& order, int vehicleOrder) {
    query.setSQL(sql);
    query.bind(1, qs(order));
    query.bind(2, vehicleOrder);
    query.Open();
}

}  // namespace tms::detail
