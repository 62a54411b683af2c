#pragma once
// Warnings: the message boxes the library shows ("Warning", exclamation icon)
// go through one replaceable hook. Without a hook the text goes to stderr.

#include <functional>
#include <string>

namespace tms::ora {

using TWarningHook = std::function<void(const std::string& title, const std::string& text)>;
TWarningHook SetWarningHook(TWarningHook hook);  // returns the previous hook
void ShowWarning(const std::string& text, const std::string& title = "Warning");

}  // namespace tms::ora
