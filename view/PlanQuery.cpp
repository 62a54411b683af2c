#include "view/PlanQuery.h"

#include "platform/AdoDb.h"

namespace tms::detail {

void openOnContainer(TADOQuery& query, const QString& sql, const std::string& order, int vehicleOrder) {
    query.setSQL(sql);
    query.bind(1, QString::fromStdString(order));
    query.bind(2, vehicleOrder);
    query.Open();
}

}  // namespace tms::detail
