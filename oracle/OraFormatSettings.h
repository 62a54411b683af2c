#pragma once
// Format settings: process-wide, replaceable (tests set their own).

#include <cstdint>
#include <string>
#include <string_view>

namespace tms::ora {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '-';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy-mm-dd";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

// A copy of the settings, taken under their lock: another thread may replace
// them at any time.
TFormatSettings FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
void ResetFormatSettings();  // back to the defaults above

// Floating-point text with the decimal separator of the settings: up to 15
// significant digits, no thousand separators, exponent form for very large or
// small values.
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& fs);
// Parses a decimal number written with the settings' decimal separator.
bool TryStrToFloat(std::string_view text, double& value);
bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& fs);
double StrToFloat(std::string_view text);  // EConvertError on bad text
bool TryStrToInt64(std::string_view text, int64_t& value);
int64_t StrToInt64(std::string_view text);

}  // namespace tms::ora
