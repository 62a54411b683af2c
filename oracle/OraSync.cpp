#include "oracle/OraSync.h"

#include <chrono>

namespace tms::ora {

TEvent::TEvent(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}

void TEvent::SetEvent() {
    {
        std::lock_guard<std::mutex> g(mutex_);
        signaled_ = true;
    }
    if (manualReset_)
        cond_.notify_all();
    else
        cond_.notify_one();
}

void TEvent::ResetEvent() {
    std::lock_guard<std::mutex> g(mutex_);
    signaled_ = false;
}

bool TEvent::IsSet() {
    std::lock_guard<std::mutex> g(mutex_);
    return signaled_;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> g(mutex_);
    auto ready = [this] { return signaled_; };
    if (timeoutMs == INFINITE)
        cond_.wait(g, ready);
    else if (!cond_.wait_for(g, std::chrono::milliseconds(timeoutMs), ready))
        return TWaitResult::Timeout;
    if (!manualReset_) signaled_ = false;
    return TWaitResult::Signaled;
}

TWaitResult TMutex::WaitFor(uint32_t timeoutMs) {
    if (timeoutMs == INFINITE) {
        mutex_.lock();
        return TWaitResult::Signaled;
    }
    return mutex_.try_lock_for(std::chrono::milliseconds(timeoutMs)) ? TWaitResult::Signaled
                                                                      : TWaitResult::Timeout;
}

}  // namespace tms::ora
