#pragma once
// What the plan loading and the plan stepping share when they read the plan
// rows of one container. Used only inside the plan display library.

#include <QString>

#include <string>

class TADOQuery;

namespace tms::detail {

// Sets `sql` on `query` and opens it, its parameter 1 bound to the order
// number and parameter 2 to the container number (vehicleOrder). Throws
// EDatabaseError as Open does.
void openOnContainer(TADOQuery& query, const QString& sql, const std::string& order, int vehicleOrder);

}  // namespace tms::detail
