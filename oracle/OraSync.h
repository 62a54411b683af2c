#pragma once
// Synchronisation

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace tms::ora {

constexpr uint32_t INFINITE = 0xFFFFFFFFu;
enum class TWaitResult { Signaled, Timeout };

// A critical section: a recursive lock.
class TCriticalSection {
public:
    TCriticalSection() = default;
    // The standard recursive mutex ends without telling the thread library;
    // destroying it here lets the thread checker forget it, so a later lock
    // at the same address is not taken for the same one.
    ~TCriticalSection() { pthread_mutex_destroy(mutex_.native_handle()); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;
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
// Built on a plain mutex and a condition (not a timed mutex, whose clock
// wait the thread checker cannot follow).
class TMutex {
public:
    TWaitResult WaitFor(uint32_t timeoutMs);
    // Gives up one ownership of the calling thread (it must own the mutex).
    void Release();

private:
    std::mutex lock_;
    std::condition_variable freed_;
    std::thread::id owner_;
    int count_ = 0;
};

}  // namespace tms::ora
