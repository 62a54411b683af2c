#include "oracle/OraDateTime.h"

#include <cmath>
#include <cstdint>

#include "oracle/OraException.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraText.h"

namespace tms::ora {

namespace {
constexpr int64_t kMSecsPerDay = 86400000;
// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;

const int kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                 {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Day numbers (since 0001-01-01, day 1) of the first and last valid dates.
constexpr int64_t kFirstDay = 1;
constexpr int64_t kLastDay = 3652059;  // 9999-12-31

[[noreturn]] void RaiseOutOfRange(TDateTime value) {
    throw EConvertError("Date-time value " + FloatToStr(value) + " is outside the date range");
}

// Splits a date-time into whole days since 0001-01-01 and milliseconds of the
// day, carrying a rounded full day into the date. A value outside the years
// 1 to 9999 (or NaN) raises the conversion error before any integer cast.
void SplitDateTime(TDateTime value, int64_t& days, int64_t& msecs) {
    if (!IsValidDateTime(value)) RaiseOutOfRange(value);
    double ip = std::trunc(value);
    double frac = std::fabs(value - ip);
    msecs = static_cast<int64_t>(std::llround(frac * kMSecsPerDay));
    days = static_cast<int64_t>(ip);
    if (msecs >= kMSecsPerDay) {
        msecs -= kMSecsPerDay;
        days += value < 0 ? -1 : 1;
    }
    days += kDateDelta;
    if (days < kFirstDay || days > kLastDay) RaiseOutOfRange(value);
}
}  // namespace

bool IsValidDateTime(TDateTime value) {
    // Written so that NaN fails both comparisons.
    return value > static_cast<double>(kFirstDay - 1 - kDateDelta) &&
           value < static_cast<double>(kLastDay + 1 - kDateDelta);
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
    const int* dm = kDaysInMonth[IsLeapYear(year) ? 1 : 0];
    if (day < 1 || day > dm[month - 1]) return false;
    int64_t d = day;
    for (int m = 1; m < month; ++m) d += dm[m - 1];
    int64_t y = year - 1;
    d += y * 365 + y / 4 - y / 100 + y / 400;
    value = static_cast<double>(d - kDateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime v = 0;
    if (!TryEncodeDate(year, month, day, v)) throw EConvertError("Invalid argument to date encode");
    return v;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999) return false;
    value = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime v = 0;
    if (!TryEncodeTime(hour, min, sec, msec, v)) throw EConvertError("Invalid argument to time encode");
    return v;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    int64_t days, ms;
    SplitDateTime(value, days, ms);
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    int64_t t = days - 1;
    int64_t y = 1;
    y += (t / 146097) * 400;
    t %= 146097;
    int64_t c = t / 36524;
    if (c == 4) c = 3;
    y += c * 100;
    t -= c * 36524;
    y += (t / 1461) * 4;
    t %= 1461;
    int64_t i = t / 365;
    if (i == 4) i = 3;
    y += i;
    t -= i * 365;
    year = static_cast<int>(y);
    const int* dm = kDaysInMonth[IsLeapYear(year) ? 1 : 0];
    int m = 1;
    while (t >= dm[m - 1]) {
        t -= dm[m - 1];
        ++m;
    }
    month = m;
    day = static_cast<int>(t + 1);
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec) {
    int64_t days, ms;
    SplitDateTime(value, days, ms);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

std::string FormatDateTime(std::string_view format, TDateTime value) {
    return FormatDateTime(format, value, FormatSettings());
}

std::string FormatDateTime(std::string_view f, TDateTime value, const TFormatSettings& fs) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(value, y, mo, d);
    DecodeTime(value, h, mi, s, ms);
    auto pad = [](int v, int w) {
        std::string r = std::to_string(v);
        while (static_cast<int>(r.size()) < w) r.insert(r.begin(), '0');
        return r;
    };
    // A 12-hour clock is used when the format holds an AM/PM token.
    std::string lower = LowerCase(f);
    bool twelve = lower.find("am/pm") != std::string::npos || lower.find("a/p") != std::string::npos ||
                  lower.find("ampm") != std::string::npos;
    int h12 = h % 12 == 0 ? 12 : h % 12;
    std::string out;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < f.size() && (f[i + n] | 32) == c) ++n;
        return n;
    };
    while (i < f.size()) {
        char c = f[i];
        char lc = static_cast<char>(c | 32);
        if (c == '"' || c == '\'') {
            size_t e = f.find(c, i + 1);
            if (e == std::string_view::npos) e = f.size();
            out += f.substr(i + 1, e - i - 1);
            i = e + 1;
        } else if (c == '/') {
            out += fs.DateSeparator;
            ++i;
        } else if (c == ':') {
            out += fs.TimeSeparator;
            ++i;
        } else if (lower.compare(i, 5, "am/pm") == 0) {
            // written as "AM/PM" the marker is upper-case, as "am/pm" lower-case
            if (f[i] == 'A')
                out += h < 12 ? "AM" : "PM";
            else
                out += h < 12 ? "am" : "pm";
            i += 5;
        } else if (lower.compare(i, 3, "a/p") == 0) {
            char r = h < 12 ? 'a' : 'p';
            out += f[i] == 'A' ? static_cast<char>(r - 32) : r;
            i += 3;
        } else if (lower.compare(i, 4, "ampm") == 0) {
            out += h < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 4;
        } else if (lc == 'y') {
            size_t n = run('y');
            out += n <= 2 ? pad(y % 100, 2) : pad(y, 4);
            i += n;
        } else if (lc == 'm') {
            size_t n = run('m');
            out += n == 1 ? std::to_string(mo) : pad(mo, 2);
            i += n;
        } else if (lc == 'd') {
            size_t n = run('d');
            out += n == 1 ? std::to_string(d) : pad(d, 2);
            i += n;
        } else if (lc == 'h') {
            size_t n = run('h');
            int hv = twelve ? h12 : h;
            out += n == 1 ? std::to_string(hv) : pad(hv, 2);
            i += n;
        } else if (lc == 'n') {
            size_t n = run('n');
            out += n == 1 ? std::to_string(mi) : pad(mi, 2);
            i += n;
        } else if (lc == 's') {
            size_t n = run('s');
            out += n == 1 ? std::to_string(s) : pad(s, 2);
            i += n;
        } else if (lc == 'z') {
            size_t n = run('z');
            out += n == 1 ? std::to_string(ms) : pad(ms, 3);
            i += n;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string DateTimeToStr(TDateTime value) {
    const TFormatSettings fs = FormatSettings();
    int h, mi, s, ms;
    DecodeTime(value, h, mi, s, ms);
    std::string r = FormatDateTime(fs.ShortDateFormat, value, fs);
    if (h != 0 || mi != 0 || s != 0 || ms != 0) {
        r += ' ';
        r += FormatDateTime(fs.LongTimeFormat, value, fs);
    }
    return r;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value) {
    return TryStrToDateTime(text, value, FormatSettings());
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& fs) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    // Order of year, month and day as the short date format has them.
    std::string order;
    for (char c : LowerCase(fs.ShortDateFormat))
        if ((c == 'y' || c == 'm' || c == 'd') && order.find(c) == std::string::npos) order += c;
    if (order.size() != 3) order = "ymd";

    size_t i = 0;
    auto readNum = [&](int& v) {
        size_t b = i;
        int64_t acc = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9' && i - b < 9) acc = acc * 10 + (t[i++] - '0');
        v = static_cast<int>(acc);
        return i > b;
    };
    bool hasDate = false;
    TDateTime date = 0, time = 0;
    // A date is present when the text holds the date separator before any
    // time separator.
    size_t ds = t.find(fs.DateSeparator), ts = t.find(fs.TimeSeparator);
    if (ds != std::string::npos && (ts == std::string::npos || ds < ts)) {
        int parts[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            if (!readNum(parts[k])) return false;
            if (k < 2) {
                if (i >= t.size() || t[i] != fs.DateSeparator) return false;
                ++i;
            }
        }
        int y = 0, m = 0, d = 0;
        for (int k = 0; k < 3; ++k) {
            if (order[k] == 'y') y = parts[k];
            if (order[k] == 'm') m = parts[k];
            if (order[k] == 'd') d = parts[k];
        }
        if (y < 100) y += 2000;
        if (!TryEncodeDate(y, m, d, date)) return false;
        hasDate = true;
        while (i < t.size() && t[i] == ' ') ++i;
    }
    if (i < t.size()) {
        int h = 0, mi = 0, s = 0;
        if (!readNum(h)) return false;
        if (i >= t.size() || t[i] != fs.TimeSeparator) return false;
        ++i;
        if (!readNum(mi)) return false;
        if (i < t.size() && t[i] == fs.TimeSeparator) {
            ++i;
            if (!readNum(s)) return false;
        }
        while (i < t.size() && t[i] == ' ') ++i;
        if (i < t.size()) {
            std::string rest = t.substr(i);
            if (SameText(rest, fs.TimeAMString) || SameText(rest, "AM")) {
                if (h < 1 || h > 12) return false;
                if (h == 12) h = 0;
            } else if (SameText(rest, fs.TimePMString) || SameText(rest, "PM")) {
                if (h < 1 || h > 12) return false;
                if (h != 12) h += 12;
            } else {
                return false;
            }
        }
        if (!TryEncodeTime(h, mi, s, 0, time)) return false;
    } else if (!hasDate) {
        return false;
    }
    value = ComposeDateTime(date, time);
    return true;
}

TDateTime StrToDateTime(std::string_view text) {
    TDateTime v = 0;
    if (!TryStrToDateTime(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
    return v;
}

}  // namespace tms::ora
