#include "OraPlatform.h"

#include <dlfcn.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace ora {

// ---------------------------------------------------------------------------
// Exceptions

EAssertionFailed::EAssertionFailed(std::string text, std::string module, int line)
    : Exception(text + " (" + module + ", line " + std::to_string(line) + ")"),
      text_(std::move(text)),
      module_(std::move(module)),
      line_(line) {}

void RaiseAssertion(const std::string& text, const char* module, int line) {
    throw EAssertionFailed(text, module, line);
}

void RaiseError(const std::string& message) { throw Exception(message); }

// ---------------------------------------------------------------------------
// Text helpers

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

bool SameText(std::string_view a, std::string_view b) { return UpperCase(a) == UpperCase(b); }

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(uint64_t value, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string r;
    do {
        r.insert(r.begin(), hex[value & 15]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(r.size()) < digits) r.insert(r.begin(), '0');
    return r;
}

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string out;
    auto it = args.begin();
    auto bad = [&]() -> void {
        throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
    };
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= format.size()) bad();
        char k = format[i];
        if (k == '%') {
            out += '%';
            continue;
        }
        if (it == args.end()) bad();
        const FormatArg& a = *it++;
        switch (k) {
        case 's':
        case 'S':
            if (!std::holds_alternative<std::string>(a)) bad();
            out += std::get<std::string>(a);
            break;
        case 'd':
        case 'D':
            if (!std::holds_alternative<int64_t>(a)) bad();
            out += std::to_string(std::get<int64_t>(a));
            break;
        case 'x':
        case 'X':
            if (!std::holds_alternative<int64_t>(a)) bad();
            out += IntToHex(static_cast<uint64_t>(std::get<int64_t>(a)), 0);
            break;
        default:
            bad();
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Format settings

namespace {
std::mutex gSettingsLock;
TFormatSettings gSettings;
}  // namespace

const TFormatSettings& FormatSettings() { return gSettings; }

void SetFormatSettings(const TFormatSettings& settings) {
    std::lock_guard<std::mutex> g(gSettingsLock);
    gSettings = settings;
}

void ResetFormatSettings() { SetFormatSettings(TFormatSettings{}); }

std::string FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

std::string FloatToStr(double value, const TFormatSettings& fs) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string s(buf);
    // "1E+20" -> "1E20", "1E-07" -> "1E-7"
    size_t e = s.find('E');
    if (e != std::string::npos) {
        std::string mant = s.substr(0, e);
        std::string ex = s.substr(e + 1);
        bool neg = !ex.empty() && ex[0] == '-';
        if (!ex.empty() && (ex[0] == '+' || ex[0] == '-')) ex.erase(0, 1);
        while (ex.size() > 1 && ex[0] == '0') ex.erase(0, 1);
        s = mant + "E" + (neg ? "-" : "") + ex;
    }
    for (char& c : s)
        if (c == '.') c = fs.DecimalSeparator;
    return s;
}

bool TryStrToFloat(std::string_view text, double& value) {
    return TryStrToFloat(text, value, FormatSettings());
}

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& fs) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    std::string norm;
    bool sawSep = false;
    for (char c : t) {
        if (c == fs.DecimalSeparator) {
            if (sawSep) return false;
            sawSep = true;
            norm += '.';
        } else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E') {
            norm += c;
        } else {
            return false;
        }
    }
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(norm.c_str(), &end);
    if (end != norm.c_str() + norm.size() || errno == ERANGE) return false;
    value = v;
    return true;
}

double StrToFloat(std::string_view text) {
    double v = 0;
    if (!TryStrToFloat(text, v))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return v;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (t[0] == '+' || t[0] == '-') {
        neg = t[0] == '-';
        i = 1;
    }
    if (i >= t.size()) return false;
    uint64_t acc = 0;
    const uint64_t limit = neg ? static_cast<uint64_t>(INT64_MAX) + 1 : static_cast<uint64_t>(INT64_MAX);
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        uint64_t d = static_cast<uint64_t>(t[i] - '0');
        if (acc > (limit - d) / 10) return false;
        acc = acc * 10 + d;
    }
    value = neg ? static_cast<int64_t>(0 - acc) : static_cast<int64_t>(acc);
    return true;
}

int64_t StrToInt64(std::string_view text) {
    int64_t v = 0;
    if (!TryStrToInt64(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return v;
}

// ---------------------------------------------------------------------------
// Date-time

namespace {
constexpr int64_t kMSecsPerDay = 86400000;
// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;

const int kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                 {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Splits a date-time into whole days since 0001-01-01 and milliseconds of the
// day, carrying a rounded full day into the date.
void SplitDateTime(TDateTime value, int64_t& days, int64_t& msecs) {
    double ip = std::trunc(value);
    double frac = std::fabs(value - ip);
    msecs = static_cast<int64_t>(std::llround(frac * kMSecsPerDay));
    days = static_cast<int64_t>(ip);
    if (msecs >= kMSecsPerDay) {
        msecs -= kMSecsPerDay;
        days += value < 0 ? -1 : 1;
    }
    days += kDateDelta;
}
}  // namespace

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
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
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
    const TFormatSettings& fs = FormatSettings();
    int h, mi, s, ms;
    DecodeTime(value, h, mi, s, ms);
    std::string r = FormatDateTime(fs.ShortDateFormat, value, fs);
    if (h != 0 || mi != 0 || s != 0 || ms != 0) r += " " + FormatDateTime(fs.LongTimeFormat, value, fs);
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
    if (!TryStrToDateTime(text, v))
        throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
    return v;
}

// ---------------------------------------------------------------------------
// Classes

const TClassDesc* TObject::StaticClass() {
    static const TClassDesc desc{"TObject", nullptr, nullptr};
    return &desc;
}

bool TClassDesc::InheritsFrom(const TClassDesc* other) const {
    for (const TClassDesc* c = this; c; c = c->Parent)
        if (c == other) return true;
    return false;
}

namespace {
std::mutex gRegistryLock;
std::vector<const TClassDesc*>& Registry() {
    static std::vector<const TClassDesc*> list;
    return list;
}
}  // namespace

void RegisterClass(const TClassDesc* cls) {
    ORA_ASSERT(cls != nullptr, "OraPlatform", "cls = nil");
    std::lock_guard<std::mutex> g(gRegistryLock);
    for (const TClassDesc* c : Registry()) {
        if (SameText(c->Name, cls->Name)) {
            if (c == cls) return;
            throw EClassRegistryError(std::string("A class named ") + cls->Name + " is already registered");
        }
    }
    Registry().push_back(cls);
}

void UnRegisterClass(const TClassDesc* cls) {
    std::lock_guard<std::mutex> g(gRegistryLock);
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), cls), r.end());
}

const TClassDesc* GetClass(std::string_view name) {
    std::lock_guard<std::mutex> g(gRegistryLock);
    for (const TClassDesc* c : Registry())
        if (SameText(c->Name, name)) return c;
    return nullptr;
}

const TClassDesc* FindClass(std::string_view name) {
    const TClassDesc* c = GetClass(name);
    if (!c) throw EClassRegistryError("Class " + std::string(name) + " is not registered");
    return c;
}

std::vector<const TClassDesc*> RegisteredClasses() {
    std::lock_guard<std::mutex> g(gRegistryLock);
    return Registry();
}

// ---------------------------------------------------------------------------
// Synchronisation

TEvent::TEvent(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}

void TEvent::SetEvent() {
    {
        std::lock_guard<std::mutex> g(mutex_);
        signaled_ = true;
    }
    if (manualReset_)
        cond_.notify_all();
    else
        cond_.notify_one();
}

void TEvent::ResetEvent() {
    std::lock_guard<std::mutex> g(mutex_);
    signaled_ = false;
}

bool TEvent::IsSet() {
    std::lock_guard<std::mutex> g(mutex_);
    return signaled_;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> g(mutex_);
    auto ready = [this] { return signaled_; };
    if (timeoutMs == INFINITE)
        cond_.wait(g, ready);
    else if (!cond_.wait_for(g, std::chrono::milliseconds(timeoutMs), ready))
        return TWaitResult::Timeout;
    if (!manualReset_) signaled_ = false;
    return TWaitResult::Signaled;
}

TWaitResult TMutex::WaitFor(uint32_t timeoutMs) {
    if (timeoutMs == INFINITE) {
        mutex_.lock();
        return TWaitResult::Signaled;
    }
    return mutex_.try_lock_for(std::chrono::milliseconds(timeoutMs)) ? TWaitResult::Signaled
                                                                      : TWaitResult::Timeout;
}

uint32_t GetTickCount() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

// ---------------------------------------------------------------------------
// Process-detach hooks

TDetachHook TProcessDetachChain::Install(TDetachHook hook) { return current_.exchange(hook); }

void TProcessDetachChain::Fire() {
    if (fired_.exchange(true)) return;
    if (TDetachHook h = current_.load()) h();
}

namespace {
void FireProcessDetachAtExit() { ProcessDetachChain().Fire(); }
}  // namespace

TProcessDetachChain& ProcessDetachChain() {
    static TProcessDetachChain chain;
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(FireProcessDetachAtExit); });
    return chain;
}

// ---------------------------------------------------------------------------
// Warnings

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

// ---------------------------------------------------------------------------
// ANSI <-> UTF-16

namespace {
std::mutex gCodePageLock;
std::string gCodePage = "GBK";

// Converts with iconv; an unreadable input unit (inUnit bytes) is replaced by
// the replacement bytes and skipped.
std::string Convert(const char* from, const char* to, const char* in, size_t inLen, size_t inUnit,
                    const std::string& replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw Exception(std::string("No conversion from ") + from + " to " + to);
    std::string out;
    out.resize(inLen * 4 + 16);
    char* src = const_cast<char*>(in);
    size_t srcLeft = inLen;
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            size_t used = out.size() - dstLeft;
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
            continue;
        }
        // EILSEQ or EINVAL: replace one unit and go on
        if (dstLeft < replacement.size() + 8) {
            size_t used = out.size() - dstLeft;
            out.resize(out.size() * 2 + replacement.size());
            dst = out.data() + used;
            dstLeft = out.size() - used;
        }
        std::memcpy(dst, replacement.data(), replacement.size());
        dst += replacement.size();
        dstLeft -= replacement.size();
        size_t skip = std::min(inUnit, srcLeft);
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // flush any shift state
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.resize(out.size() - dstLeft);
    iconv_close(cd);
    return out;
}
}  // namespace

void SetAnsiCodePage(const std::string& iconvName) {
    std::lock_guard<std::mutex> g(gCodePageLock);
    gCodePage = iconvName;
}

std::string AnsiCodePage() {
    std::lock_guard<std::mutex> g(gCodePageLock);
    return gCodePage;
}

std::u16string AnsiToWide(std::string_view text) {
    if (text.empty()) return {};
    static const std::string replacement("\xFD\xFF", 2);  // U+FFFD, little-endian
    std::string bytes = Convert(AnsiCodePage().c_str(), "UTF-16LE", text.data(), text.size(), 1, replacement);
    std::u16string r(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return r;
}

std::string WideToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return Convert("UTF-16LE", AnsiCodePage().c_str(), bytes.data(), bytes.size(), 2, "?");
}

// ---------------------------------------------------------------------------
// Streams

int32_t TStringStream::Read(void* buffer, int32_t count) {
    if (count <= 0 || position_ >= Size()) return 0;
    int64_t n = std::min<int64_t>(count, Size() - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return static_cast<int32_t>(n);
}

void TStringStream::SetPosition(int64_t position) { position_ = std::clamp<int64_t>(position, 0, Size()); }

// ---------------------------------------------------------------------------
// Shared libraries

HMODULE LoadLibrary(const std::string& fileName) {
    if (fileName.empty()) return nullptr;
    return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(HMODULE module, const std::string& name) {
    if (!module || name.empty()) return nullptr;
    return dlsym(module, name.c_str());
}

bool FreeLibrary(HMODULE module) { return module && dlclose(module) == 0; }

// ---------------------------------------------------------------------------
// Start-up

namespace {
std::atomic<bool> gIsNT{false};
}

bool IsNTPlatform() { return gIsNT.load(); }

void OraPlatformStartup() { gIsNT = true; }

void OraPlatformShutdown() {}

}  // namespace ora
