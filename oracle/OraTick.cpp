#include "oracle/OraTick.h"

#include <chrono>

namespace tms::ora {

uint32_t GetTickCount() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

}  // namespace tms::ora
