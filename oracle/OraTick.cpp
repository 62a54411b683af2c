#include "oracle/OraTick.h"

#include <atomic>
#include <chrono>

namespace tms::ora {

namespace {
std::atomic<TTickSource> gSource{nullptr};
}  // namespace

uint32_t GetTickCount() {
    if (TTickSource s = gSource.load()) return s();
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void SetTickSource(TTickSource source) { gSource.store(source); }

}  // namespace tms::ora
