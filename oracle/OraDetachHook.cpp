#include "oracle/OraDetachHook.h"

#include <cstdlib>
#include <mutex>

namespace tms::ora {

TDetachHook TProcessDetachChain::Install(TDetachHook hook) { return current_.exchange(hook); }

void TProcessDetachChain::Fire() {
    if (fired_.exchange(true)) return;
    if (TDetachHook h = current_.load()) h();
}

namespace {
void FireProcessDetachAtExit() { ProcessDetachChain().Fire(); }
}  // namespace

TProcessDetachChain& ProcessDetachChain() {
    static TProcessDetachChain chain;
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(FireProcessDetachAtExit); });
    return chain;
}

}  // namespace tms::ora
