#include "oracle/OraFormatSettings.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "oracle/OraException.h"
#include "oracle/OraText.h"

namespace tms::ora {

namespace {
std::mutex gSettingsLock;
TFormatSettings gSettings;
}  // namespace

TFormatSettings FormatSettings() {
    std::lock_guard<std::mutex> g(gSettingsLock);
    return gSettings;
}

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

bool TryStrToFloat(std::string_view text, double& value) { return TryStrToFloat(text, value, FormatSettings()); }

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
    if (!TryStrToFloat(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
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

}  // namespace tms::ora
