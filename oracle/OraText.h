#pragma once
// Small text helpers (ordinal, byte-wise; letters a-z/A-Z only)

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tms::ora {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
std::string Trim(std::string_view s);  // drops bytes <= ' ' at both ends
bool SameText(std::string_view a, std::string_view b);
std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);  // upper-case, at least digits

// Format with %s, %d, %x and %% (the message tables use %s and %d).
using FormatArg = std::variant<int64_t, std::string>;
std::string Format(std::string_view format, std::initializer_list<FormatArg> args);

}  // namespace tms::ora
