#pragma once
// The hidden utility window: a message queue owned by the thread that
// created it. Any thread posts to it; the owning thread runs the window
// procedure for the pending messages with dispatchPending() (the program's
// event loop or a test calls it). Window classes are registered by name,
// once per process; registering a name again with another procedure
// replaces the registration.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace tms::ora {

constexpr uint32_t WM_CREATE = 1;
constexpr uint32_t WM_USER = 1024;
constexpr uint32_t WS_EX_TOOLWINDOW = 128;
constexpr uint32_t WS_POPUP = 0x80000000u;

class TUtilWindow;
using TWndProc = intptr_t (*)(TUtilWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Frees what a message still queued when its window goes carries.
using TWndDiscard = void (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Registers a window class; true when a registration was made or replaced,
// false when the same procedure is registered already.
bool RegisterWindowClass(const std::string& name, TWndProc proc);
void UnregisterWindowClass(const std::string& name);
TWndProc WindowClassProc(const std::string& name);  // nullptr when unknown
// What a window does with a message its procedure leaves alone: nothing.
intptr_t DefWindowProc(TUtilWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

class TUtilWindow {
public:
    // Creates a window of a registered class (the general error when the
    // class is unknown) and sends it WM_CREATE at once.
    TUtilWindow(const std::string& className, uint32_t exStyle, uint32_t style);
    // Drains the queue: each message still pending goes to the discard
    // procedure (when set), so objects posted to the window are not lost.
    ~TUtilWindow();
    TUtilWindow(const TUtilWindow&) = delete;
    TUtilWindow& operator=(const TUtilWindow&) = delete;

    // Queues a message; any thread.
    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // Takes one pending message of this kind and first parameter out of the
    // queue; true when there was one. Any thread.
    bool RemovePending(uint32_t message, uintptr_t wParam);
    int Pending();
    // Waits until a message is pending (false after the time-out).
    bool WaitPending(uint32_t timeoutMs);
    // Runs the procedure for each message pending when called, oldest
    // first, on the owning thread only (the general error elsewhere). An
    // exception of the procedure passes on to the caller; the messages
    // behind it stay queued. Returns the number of messages run.
    int dispatchPending();
    // Replaces the procedure (subclassing).
    void SetProc(TWndProc proc) { proc_ = proc; }
    void SetDiscard(TWndDiscard discard) { discard_ = discard; }
    TWndProc Proc() const { return proc_; }
    std::thread::id Owner() const { return owner_; }
    uint32_t ExStyle() const { return exStyle_; }
    uint32_t Style() const { return style_; }

private:
    struct TMessage {
        uint32_t Message;
        uintptr_t WParam;
        intptr_t LParam;
    };
    std::string className_;
    uint32_t exStyle_, style_;
    TWndProc proc_;
    TWndDiscard discard_ = nullptr;
    std::thread::id owner_;
    std::mutex lock_;
    std::condition_variable posted_;
    std::deque<TMessage> queue_;
};

}  // namespace tms::ora
