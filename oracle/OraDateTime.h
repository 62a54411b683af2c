#pragma once
// Date-time: days since 1899-12-30, the fraction is the time of day. For a
// negative value the integral part is the day (counted back from 1899-12-30)
// and the absolute value of the fraction is the time, so -1.25 is 1899-12-29
// 06:00.

#include <string>
#include <string_view>

#include "oracle/OraFormatSettings.h"

namespace tms::ora {

using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);  // EConvertError when invalid
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
// A date part and a time part joined by the sign rule: date + time for a
// non-negative date, date - time otherwise.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
bool IsLeapYear(int year);
// True for a value of the years 1 to 9999 (not NaN). Decoding or formatting
// any other value raises EConvertError.
bool IsValidDateTime(TDateTime value);

// Tokens: yyyy yy m mm d dd h hh n nn s ss z zzz am/pm a/p ampm, "/" and ":"
// for the separators, text between quotes as it stands.
std::string FormatDateTime(std::string_view format, TDateTime value);
std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& fs);
// The short date, then the long time when the time is not midnight.
std::string DateTimeToStr(TDateTime value);
// Date in the order of the short date format, with the date separator, and
// an optional time "h:n[:s]" with an optional AM/PM text.
bool TryStrToDateTime(std::string_view text, TDateTime& value);
bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view text);

}  // namespace tms::ora
