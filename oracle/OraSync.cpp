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
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> g(lock_);
    if (count_ > 0 && owner_ == self) {
        ++count_;
        return TWaitResult::Signaled;
    }
    auto free = [this] { return count_ == 0; };
    if (timeoutMs == INFINITE)
        freed_.wait(g, free);
    else if (!freed_.wait_for(g, std::chrono::milliseconds(timeoutMs), free))
        return TWaitResult::Timeout;
    owner_ = self;
    count_ = 1;
    return TWaitResult::Signaled;
}

void TMutex::Release() {
    std::lock_guard<std::mutex> g(lock_);
    if (count_ == 0 || owner_ != std::this_thread::get_id()) return;
    if (--count_ == 0) {
        owner_ = std::thread::id();
        freed_.notify_one();
    }
}

}  // namespace tms::ora
