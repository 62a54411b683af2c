#include "oracle/OraWarning.h"

#include <iostream>
#include <mutex>

namespace tms::ora {

namespace {
std::mutex gWarningLock;
TWarningHook gWarningHook;
}  // namespace

TWarningHook SetWarningHook(TWarningHook hook) {
    std::lock_guard<std::mutex> g(gWarningLock);
    TWarningHook old = std::move(gWarningHook);
    gWarningHook = std::move(hook);
    return old;
}

void ShowWarning(const std::string& text, const std::string& title) {
    TWarningHook h;
    {
        std::lock_guard<std::mutex> g(gWarningLock);
        h = gWarningHook;
    }
    if (h)
        h(title, text);
    else
        std::cerr << title << ": " << text << std::endl;
}

}  // namespace tms::ora
