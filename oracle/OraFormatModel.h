#pragma once
// The Oracle datetime format model of the locale's formats: the short date
// format and the library's time format ("yyyy-mm-dd", "hh:nn:ss") become
// "YYYY-MM-DD HH24:MI:SS". Timestamp values convert their text through it.

#include <string>
#include <string_view>

namespace tms::ora {

// The date part, one blank, the time part and, for the time-zone kind,
// " TZH:TZM". In the time part an "m" run that follows the hours stands for
// minutes, as it does in the locale's own formats.
std::string DateTimeFormatModel(std::string_view dateFormat, std::string_view timeFormat, bool withTimeZone);

}  // namespace tms::ora
