#pragma once
// Text conversion between the ANSI code page (GBK by default) and UTF-16.
// Bytes the code page cannot read become U+FFFD; characters it cannot write
// become "?".

#include <string>
#include <string_view>

namespace tms::ora {

void SetAnsiCodePage(const std::string& iconvName);
std::string AnsiCodePage();
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);

}  // namespace tms::ora
