#pragma once
// Process-detach hooks: a chain of plain procedures, each installer keeping
// the previous one and calling it afterwards. The chain is fired once.

#include <atomic>

namespace tms::ora {

using TDetachHook = void (*)();

class TProcessDetachChain {
public:
    // Installs a hook and returns the one installed before (maybe nullptr).
    TDetachHook Install(TDetachHook hook);
    TDetachHook Current() const { return current_.load(); }
    // Runs the current hook; only the first call does anything.
    void Fire();
    bool Fired() const { return fired_.load(); }

private:
    std::atomic<TDetachHook> current_{nullptr};
    std::atomic<bool> fired_{false};
};

// The chain of the process; it is fired when the process exits.
TProcessDetachChain& ProcessDetachChain();

}  // namespace tms::ora
