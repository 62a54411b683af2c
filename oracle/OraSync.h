#pragma once
// Synchronisation

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tms::ora {

constexpr uint32_t INFINITE = 0xFFFFFFFFu;
enum class TWaitResult { Signaled, Timeout };

// A critical section: a recursive lock.
class TCriticalSection {
public:
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    // std lock adaptors
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

// An event object with manual or automatic reset.
class TEvent {
public:
    TEvent(bool manualReset, bool initialState);
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(uint32_t timeoutMs);
    bool IsSet();

private:
    std::mutex mutex_;
    std::condition_variable cond_;
    bool manualReset_;
    bool signaled_;
};

// A mutex object: owned by one thread at a time, re-entrant, waited on with a
// time-out.
class TMutex {
public:
    TWaitResult WaitFor(uint32_t timeoutMs);
    void Release() { mutex_.unlock(); }

private:
    std::recursive_timed_mutex mutex_;
};

}  // namespace tms::ora
