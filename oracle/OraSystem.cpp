#include "oracle/OraSystem.h"

#include <atomic>

namespace tms::ora {

namespace {
std::atomic<bool> gIsNT{false};
}

bool IsNTPlatform() { return gIsNT.load(); }

void OraPlatformStartup() { gIsNT = true; }

void OraPlatformShutdown() {}

}  // namespace tms::ora
