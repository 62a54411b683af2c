#include "OraModules.h"

namespace ora {
void startupModules() {}
void shutdownModules() {}
}  // namespace ora
