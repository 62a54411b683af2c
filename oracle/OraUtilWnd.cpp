#include "oracle/OraUtilWnd.h"

#include <chrono>
#include <map>

#include "oracle/OraException.h"

namespace tms::ora {

namespace {
std::mutex gClassLock;
std::map<std::string, TWndProc>& Classes() {
    static std::map<std::string, TWndProc> classes;
    return classes;
}
}  // namespace

bool RegisterWindowClass(const std::string& name, TWndProc proc) {
    std::lock_guard<std::mutex> g(gClassLock);
    auto it = Classes().find(name);
    if (it != Classes().end() && it->second == proc) return false;
    Classes()[name] = proc;
    return true;
}

void UnregisterWindowClass(const std::string& name) {
    std::lock_guard<std::mutex> g(gClassLock);
    Classes().erase(name);
}

TWndProc WindowClassProc(const std::string& name) {
    std::lock_guard<std::mutex> g(gClassLock);
    auto it = Classes().find(name);
    return it == Classes().end() ? nullptr : it->second;
}

intptr_t DefWindowProc(TUtilWindow*, uint32_t, uintptr_t, intptr_t) { return 0; }

TUtilWindow::TUtilWindow(const std::string& className, uint32_t exStyle, uint32_t style)
    : className_(className),
      exStyle_(exStyle),
      style_(style),
      proc_(WindowClassProc(className)),
      owner_(std::this_thread::get_id()) {
    if (!proc_) RaiseError("Window class " + className + " is not registered");
    proc_(this, WM_CREATE, 0, 0);
}

TUtilWindow::~TUtilWindow() {
    std::deque<TMessage> left;
    {
        std::lock_guard<std::mutex> g(lock_);
        left.swap(queue_);
    }
    if (discard_)
        for (const TMessage& m : left) discard_(m.Message, m.WParam, m.LParam);
}

void TUtilWindow::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    {
        std::lock_guard<std::mutex> g(lock_);
        queue_.push_back({message, wParam, lParam});
    }
    posted_.notify_all();
}

bool TUtilWindow::RemovePending(uint32_t message, uintptr_t wParam) {
    std::lock_guard<std::mutex> g(lock_);
    for (auto it = queue_.begin(); it != queue_.end(); ++it)
        if (it->Message == message && it->WParam == wParam) {
            queue_.erase(it);
            return true;
        }
    return false;
}

int TUtilWindow::Pending() {
    std::lock_guard<std::mutex> g(lock_);
    return static_cast<int>(queue_.size());
}

bool TUtilWindow::WaitPending(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> g(lock_);
    return posted_.wait_for(g, std::chrono::milliseconds(timeoutMs), [this] { return !queue_.empty(); });
}

int TUtilWindow::dispatchPending() {
    if (std::this_thread::get_id() != owner_) RaiseError("The utility window belongs to another thread");
    size_t count;
    {
        std::lock_guard<std::mutex> g(lock_);
        count = queue_.size();
    }
    int done = 0;
    for (; count > 0; --count) {
        TMessage m;
        {
            std::lock_guard<std::mutex> g(lock_);
            if (queue_.empty()) break;
            m = queue_.front();
            queue_.pop_front();
        }
        ++done;
        proc_(this, m.Message, m.WParam, m.LParam);
    }
    return done;
}

}  // namespace tms::ora
