// The data-type calls of the fake client: NUMBER in its 22-byte form with
// text through the number format models the library generates, datetime
// and interval descriptors with their text, LOB and file locators with
// temporary LOBs, object types (declared by the tests through
// fakeoci_types_control), instances, collections, references, and the
// object side of binds. Values live in process-wide pools for the life of
// the library.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "oracle/oci_abi.h"
#include "tests/oracle/fakeclient/fakeoci_internal.h"
#include "tests/oracle/fakeclient/fakeoci_types_control.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::recursive_mutex gLock;

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// ---------------------------------------------------------------------------
// NUMBER

struct Decimal {
    bool negative = false;
    std::string digits;  // no leading or trailing zeros; empty for zero
    int exponent = 0;    // value = 0.digits * 10^exponent
};

void Normalise(Decimal& d) {
    size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
    d.digits.erase(0, lead);
    d.exponent -= static_cast<int>(lead);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) {
        d.negative = false;
        d.exponent = 0;
    }
}

// Plain or scientific decimal text with '.' as its decimal point.
bool ParseDecimal(const std::string& text, Decimal& out) {
    Decimal d;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
    int intDigits = 0;
    bool any = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            d.digits += c;
            if (!point) ++intDigits;
            any = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any) return false;
    int exp = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool neg = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
        if (i >= text.size()) return false;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
            exp = exp * 10 + (text[i] - '0');
        if (neg) exp = -exp;
    }
    if (i != text.size()) return false;
    d.exponent = intDigits + exp;
    Normalise(d);
    out = d;
    return true;
}

std::string PlainText(const Decimal& d, char point) {
    if (d.digits.empty()) return "0";
    std::string out = d.negative ? "-" : "";
    if (d.exponent <= 0) {
        out += point;
        out.append(static_cast<size_t>(-d.exponent), '0');
        out += d.digits;
    } else if (static_cast<size_t>(d.exponent) >= d.digits.size()) {
        out += d.digits;
        out.append(static_cast<size_t>(d.exponent) - d.digits.size(), '0');
    } else {
        out += d.digits.substr(0, static_cast<size_t>(d.exponent));
        out += point;
        out += d.digits.substr(static_cast<size_t>(d.exponent));
    }
    return out;
}

// The 22-byte form: length, exponent byte, base-100 digits (+1 for positive
// numbers, 101 - digit for negative ones, which end in 102 when short).
void Encode(const Decimal& in, OCINumber* n) {
    std::memset(n, 0, sizeof *n);
    if (in.digits.empty()) {
        n->OCINumberPart[0] = 1;
        n->OCINumberPart[1] = 0x80;
        return;
    }
    std::string digits = in.digits;
    int e = in.exponent;
    if (e % 2 != 0) {
        digits.insert(digits.begin(), '0');
        ++e;
    }
    if (digits.size() % 2) digits += '0';
    std::vector<int> base100;
    for (size_t i = 0; i < digits.size() && base100.size() < 20; i += 2)
        base100.push_back((digits[i] - '0') * 10 + (digits[i + 1] - '0'));
    while (!base100.empty() && base100.back() == 0) base100.pop_back();
    const int E = e / 2;
    size_t k = 1;
    if (!in.negative) {
        n->OCINumberPart[k++] = static_cast<ub1>(192 + E);
        for (int d : base100) n->OCINumberPart[k++] = static_cast<ub1>(d + 1);
    } else {
        n->OCINumberPart[k++] = static_cast<ub1>(63 - E);
        for (int d : base100) n->OCINumberPart[k++] = static_cast<ub1>(101 - d);
        if (base100.size() < 20) n->OCINumberPart[k++] = 102;
    }
    n->OCINumberPart[0] = static_cast<ub1>(k - 1);
}

bool Decode(const OCINumber* n, Decimal& out) {
    const int len = n->OCINumberPart[0];
    if (len < 1 || len > 21) return false;
    Decimal d;
    const int expByte = n->OCINumberPart[1];
    if (expByte == 0x80 && len == 1) {
        out = d;
        return true;
    }
    d.negative = expByte < 0x80;
    const int E = d.negative ? 63 - expByte : expByte - 192;
    for (int i = 2; i <= len; ++i) {
        int b = n->OCINumberPart[i];
        if (d.negative && b == 102) break;
        int digit = d.negative ? 101 - b : b - 1;
        if (digit < 0 || digit > 99) return false;
        d.digits += static_cast<char>('0' + digit / 10);
        d.digits += static_cast<char>('0' + digit % 10);
    }
    d.exponent = 2 * E;
    Normalise(d);
    out = d;
    return true;
}

[[maybe_unused]] void NumericCharacters(const oratext* nls, ub4 len, char& point, char& group) {
    point = '.';
    group = ',';
    const std::string s(reinterpret_cast<const char*>(nls ? nls : reinterpret_cast<const oratext*>("")), nls ? len : 0);
    const size_t q = s.find('\'');
    if (q != std::string::npos && q + 2 < s.size()) {
        point = s[q + 1];
        group = s[q + 2];
    }
}

// The text read with a number model (S, 9, D, G, EEEE) into plain decimal
// text; false when the text does not fit the model.
[[maybe_unused]] bool ReadWithModel(const std::string& text, const std::string& model, char point, char group,
                                    std::string& plain) {
    const std::string m = Upper(model);
    if (m.size() >= 4 && m.compare(m.size() - 4, 4, "EEEE") == 0) {
        std::string t;
        for (char c : text) t += c == point ? '.' : c;
        if (t.empty()) return false;
        if ((t[0] == '+' || t[0] == '-') && m[0] != 'S') return false;
        plain = t;
        return true;
    }
    size_t i = 0, k = 0;
    plain.clear();
    if (!m.empty() && m[0] == 'S') {
        if (text.empty() || (text[0] != '+' && text[0] != '-')) return false;
        plain += text[0];
        i = 1;
        k = 1;
    }
    for (; i < text.size(); ++i, ++k) {
        if (k >= m.size()) return false;
        const char c = text[i];
        switch (m[k]) {
        case '9':
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
            plain += c;
            break;
        case 'D':
            if (c != point) return false;
            plain += '.';
            break;
        case 'G':
            if (c != group) return false;
            break;
        default: return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Datetimes and intervals

struct FakeDateTime {
    ub4 type = 0;
    int year = 1, month = 1, day = 1, hour = 0, min = 0, sec = 0;
    ub4 fsec = 0;
    int tzMinutes = 0;
};

struct FakeInterval {
    ub4 type = 0;
    bool negative = false;
    long years = 0, months = 0, days = 0, hours = 0, mins = 0, secs = 0;
    ub4 fsec = 0;
};

struct FakeLob {
    ub4 type = 0;
    bool init = false;
    bool temporary = false;
    std::string dir, name, data;
};

const char* const kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                               "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* const kDays[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysIn(int y, int m) {
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : d[m - 1];
}
bool ValidDate(int y, int m, int d) {
    return y >= -4712 && y <= 9999 && y != 0 && m >= 1 && m <= 12 && d >= 1 && d <= DaysIn(y, m);
}
int Weekday(int y, int m, int d) {  // 0 Sunday
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

std::string Num(long v, int width, bool fill) {
    char buf[32];
    if (fill)
        std::snprintf(buf, sizeof buf, "%0*ld", width, v);
    else
        std::snprintf(buf, sizeof buf, "%ld", v);
    return buf;
}

std::string Padded(const std::string& s, size_t width, bool fill) {
    return fill && s.size() < width ? s + std::string(width - s.size(), ' ') : s;
}

bool Starts(const std::string& s, size_t i, const char* what) {
    const size_t n = std::strlen(what);
    return s.size() - i >= n && Upper(s.substr(i, n)) == what;
}

std::string FormatDateTime(const FakeDateTime& v, const std::string& model, int fsprec) {
    std::string out;
    bool fill = true;
    for (size_t i = 0; i < model.size();) {
        if (model[i] == '"') {
            size_t e = model.find('"', i + 1);
            if (e == std::string::npos) e = model.size();
            out += model.substr(i + 1, e - i - 1);
            i = e + 1;
        } else if (Starts(model, i, "FM")) {
            fill = !fill;
            i += 2;
        } else if (Starts(model, i, "YYYY")) {
            out += Num(v.year, 4, fill);
            i += 4;
        } else if (Starts(model, i, "YY")) {
            out += Num(v.year % 100, 2, true);
            i += 2;
        } else if (Starts(model, i, "MONTH")) {
            out += Padded(kMonths[v.month - 1], 9, fill);
            i += 5;
        } else if (Starts(model, i, "MON")) {
            out += std::string(kMonths[v.month - 1]).substr(0, 3);
            i += 3;
        } else if (Starts(model, i, "MM")) {
            out += Num(v.month, 2, fill);
            i += 2;
        } else if (Starts(model, i, "MI")) {
            out += Num(v.min, 2, fill);
            i += 2;
        } else if (Starts(model, i, "DAY")) {
            out += Padded(kDays[Weekday(v.year, v.month, v.day)], 9, fill);
            i += 3;
        } else if (Starts(model, i, "DY")) {
            out += std::string(kDays[Weekday(v.year, v.month, v.day)]).substr(0, 3);
            i += 2;
        } else if (Starts(model, i, "DD")) {
            out += Num(v.day, 2, fill);
            i += 2;
        } else if (Starts(model, i, "HH24")) {
            out += Num(v.hour, 2, fill);
            i += 4;
        } else if (Starts(model, i, "HH12") || Starts(model, i, "HH")) {
            const int h = v.hour % 12 == 0 ? 12 : v.hour % 12;
            out += Num(h, 2, fill);
            i += Starts(model, i, "HH12") ? 4 : 2;
        } else if (Starts(model, i, "SS")) {
            out += Num(v.sec, 2, fill);
            i += 2;
        } else if (Starts(model, i, "FF")) {
            i += 2;
            int digits = fsprec > 0 ? fsprec : 9;
            if (i < model.size() && model[i] >= '1' && model[i] <= '9') digits = model[i++] - '0';
            out += Num(v.fsec, 9, true).substr(0, static_cast<size_t>(digits));
        } else if (Starts(model, i, "AM") || Starts(model, i, "PM")) {
            out += v.hour < 12 ? "AM" : "PM";
            i += 2;
        } else if (Starts(model, i, "TZH")) {
            const int h = std::abs(v.tzMinutes) / 60;
            out += (v.tzMinutes < 0 ? "-" : "+") + Num(h, 2, true);
            i += 3;
        } else if (Starts(model, i, "TZM")) {
            out += Num(std::abs(v.tzMinutes) % 60, 2, true);
            i += 3;
        } else if (Starts(model, i, "E")) {
            out += "AD";
            i += 1;
        } else {
            out += model[i++];
        }
    }
    return out;
}

bool ReadNumber(const std::string& s, size_t& i, int maxDigits, long& value) {
    size_t start = i;
    value = 0;
    while (i < s.size() && i - start < static_cast<size_t>(maxDigits) && std::isdigit(static_cast<unsigned char>(s[i])))
        value = value * 10 + (s[i++] - '0');
    return i > start;
}

bool ReadName(const std::string& s, size_t& i, const char* const* names, int count, bool full, int& index) {
    for (int k = 0; k < count; ++k) {
        const std::string n = full ? names[k] : std::string(names[k]).substr(0, 3);
        if (Starts(s, i, n.c_str())) {
            i += n.size();
            index = k;
            return true;
        }
    }
    return false;
}

// 0 or the Oracle error code of a text that does not fit the model.
int ParseDateTime(const std::string& text, const std::string& model, FakeDateTime& v) {
    size_t i = 0;
    long value;
    bool pm = false, twelve = false;
    int index;
    for (size_t k = 0; k < model.size();) {
        if (model[k] == '"') {
            size_t e = model.find('"', k + 1);
            if (e == std::string::npos) e = model.size();
            const std::string lit = model.substr(k + 1, e - k - 1);
            if (text.compare(i, lit.size(), lit) != 0) return 1861;
            i += lit.size();
            k = e + 1;
            continue;
        }
        if (Starts(model, k, "FM")) {
            k += 2;
        } else if (Starts(model, k, "YYYY")) {
            if (!ReadNumber(text, i, 4, value)) return 1841;
            v.year = static_cast<int>(value);
            k += 4;
        } else if (Starts(model, k, "YY")) {
            if (!ReadNumber(text, i, 2, value)) return 1841;
            v.year = 2000 + static_cast<int>(value);
            k += 2;
        } else if (Starts(model, k, "MONTH") || Starts(model, k, "MON")) {
            const bool full = Starts(model, k, "MONTH");
            if (!ReadName(text, i, kMonths, 12, full, index) && !ReadName(text, i, kMonths, 12, !full, index))
                return 1843;
            while (full && i < text.size() && text[i] == ' ' && k + 5 < model.size() && model[k + 5] != ' ') ++i;
            v.month = index + 1;
            k += full ? 5 : 3;
        } else if (Starts(model, k, "MM")) {
            if (!ReadNumber(text, i, 2, value)) return 1843;
            v.month = static_cast<int>(value);
            k += 2;
        } else if (Starts(model, k, "MI")) {
            if (!ReadNumber(text, i, 2, value) || value > 59) return 1851;
            v.min = static_cast<int>(value);
            k += 2;
        } else if (Starts(model, k, "DAY") || Starts(model, k, "DY")) {
            const bool full = Starts(model, k, "DAY");
            if (!ReadName(text, i, kDays, 7, full, index) && !ReadName(text, i, kDays, 7, !full, index)) return 1846;
            while (full && i < text.size() && text[i] == ' ') ++i;
            k += full ? 3 : 2;
        } else if (Starts(model, k, "DD")) {
            if (!ReadNumber(text, i, 2, value)) return 1847;
            v.day = static_cast<int>(value);
            k += 2;
        } else if (Starts(model, k, "HH24")) {
            if (!ReadNumber(text, i, 2, value) || value > 23) return 1850;
            v.hour = static_cast<int>(value);
            k += 4;
        } else if (Starts(model, k, "HH12") || Starts(model, k, "HH")) {
            if (!ReadNumber(text, i, 2, value) || value < 1 || value > 12) return 1849;
            v.hour = static_cast<int>(value % 12);
            twelve = true;
            k += Starts(model, k, "HH12") ? 4 : 2;
        } else if (Starts(model, k, "SS")) {
            if (!ReadNumber(text, i, 2, value) || value > 59) return 1852;
            v.sec = static_cast<int>(value);
            k += 2;
        } else if (Starts(model, k, "FF")) {
            k += 2;
            if (k < model.size() && model[k] >= '1' && model[k] <= '9') ++k;
            const size_t start = i;
            if (!ReadNumber(text, i, 9, value)) return 1830;
            std::string digits = text.substr(start, i - start);
            digits.append(9 - digits.size(), '0');
            v.fsec = static_cast<ub4>(std::stoul(digits));
        } else if (Starts(model, k, "AM") || Starts(model, k, "PM")) {
            if (Starts(text, i, "PM"))
                pm = true;
            else if (!Starts(text, i, "AM"))
                return 1855;
            i += 2;
            k += 2;
        } else if (Starts(model, k, "TZH")) {
            bool neg = false;
            if (i < text.size() && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
            if (!ReadNumber(text, i, 2, value) || value > 14) return 1874;
            v.tzMinutes = static_cast<int>(value) * 60 * (neg ? -1 : 1);
            k += 3;
        } else if (Starts(model, k, "TZM")) {
            if (!ReadNumber(text, i, 2, value) || value > 59) return 1875;
            v.tzMinutes += (v.tzMinutes < 0 ? -1 : 1) * static_cast<int>(value);
            k += 3;
        } else if (Starts(model, k, "E")) {
            if (Starts(text, i, "AD")) i += 2;
            k += 1;
        } else {
            if (i >= text.size() || text[i] != model[k]) return 1861;
            ++i;
            ++k;
        }
    }
    if (i != text.size()) return 1830;
    if (twelve && pm) v.hour += 12;
    if (!ValidDate(v.year, v.month, v.day)) return 1847;
    return 0;
}

std::string IntervalText(const FakeInterval& v, int lfprec, int fsprec) {
    std::string out = v.negative ? "-" : "+";
    if (v.type == OCI_DTYPE_INTERVAL_YM) return out + Num(v.years, lfprec, true) + "-" + Num(v.months, 2, true);
    out += Num(v.days, lfprec, true) + " " + Num(v.hours, 2, true) + ":" + Num(v.mins, 2, true) + ":" +
           Num(v.secs, 2, true);
    if (fsprec > 0) out += "." + Num(v.fsec, 9, true).substr(0, static_cast<size_t>(std::min(fsprec, 9)));
    return out;
}

bool ParseInterval(const std::string& text, FakeInterval& v) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    v.negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) v.negative = text[i++] == '-';
    long a;
    if (!ReadNumber(text, i, 9, a)) return false;
    if (v.type == OCI_DTYPE_INTERVAL_YM) {
        long m;
        if (i >= text.size() || text[i++] != '-' || !ReadNumber(text, i, 2, m)) return false;
        v.years = a;
        v.months = m;
        return i == text.size();
    }
    long h, mi, s;
    if (i >= text.size() || text[i++] != ' ' || !ReadNumber(text, i, 2, h) || i >= text.size() || text[i++] != ':' ||
        !ReadNumber(text, i, 2, mi) || i >= text.size() || text[i++] != ':' || !ReadNumber(text, i, 2, s))
        return false;
    v.days = a;
    v.hours = h;
    v.mins = mi;
    v.secs = s;
    v.fsec = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const size_t start = i;
        long f;
        if (!ReadNumber(text, i, 9, f)) return false;
        std::string digits = text.substr(start, i - start);
        digits.append(9 - digits.size(), '0');
        v.fsec = static_cast<ub4>(std::stoul(digits));
    }
    return i == text.size();
}

// ---------------------------------------------------------------------------
// Objects

struct FakeString {
    std::string text;
};
struct FakeRef {
    std::string bytes;
};
struct FakeType;
struct FakeObject;
struct FakeColl;

struct FakeAttrDef {
    std::string name;
    std::string kind;      // NUMBER STRING DATE BLOB CLOB BFILE REF OBJ COLL
    std::string typeName;  // OBJ: the type
    std::string elemKind;  // COLL: the element kind
};
struct FakeType {
    std::string name;  // SCHEMA.NAME
    bool xml = false;
    std::vector<FakeAttrDef> attrs;
};

struct FakeValue {
    OCINumber num{};
    FakeString* str = nullptr;
    ub1 date[7] = {0, 0, 0, 0, 0, 0, 0};
    FakeLob* lob = nullptr;
    FakeRef* ref = nullptr;
    FakeObject* obj = nullptr;
    FakeColl* coll = nullptr;
};

struct FakeObject {
    FakeXmlView view{kFakeXmlMagic, nullptr, 0};  // first: the stream calls read it
    FakeType* type = nullptr;
    std::string xml;
    std::vector<FakeValue> values;
    std::vector<OCIInd> inds;  // [0] the object, [1 + i] attribute i
    bool freed = false;
};

struct FakeColl {
    std::string kind;
    std::deque<FakeValue> elems;
    std::deque<OCIInd> inds;
};

std::map<std::string, std::unique_ptr<FakeType>> gTypes;
std::deque<std::unique_ptr<FakeObject>> gObjects;
std::deque<std::unique_ptr<FakeColl>> gColls;
std::deque<std::unique_ptr<FakeString>> gStrings;
std::deque<std::unique_ptr<FakeRef>> gRefs;
std::deque<std::unique_ptr<FakeLob>> gLobs;  // copies held by object attributes
std::map<void*, ub4> gDescriptors;           // live descriptors and their types
struct ObjectBind {
    FakeType* type;
    void** pgvpp;
    void** indpp;
};
std::map<OCIBind*, ObjectBind> gObjectBinds;

FakeType* TypeByName(const std::string& name) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (gTypes.empty()) {
        auto xml = std::make_unique<FakeType>();
        xml->name = "SYS.XMLTYPE";
        xml->xml = true;
        gTypes[xml->name] = std::move(xml);
    }
    const std::string n = Upper(name);
    auto it = gTypes.find(n);
    if (it != gTypes.end()) return it->second.get();
    for (auto& t : gTypes) {
        const size_t dot = t.first.find('.');
        if (dot != std::string::npos && t.first.substr(dot + 1) == n) return t.second.get();
    }
    return nullptr;
}

void DefineType(const char* name, const char* attributes) {
    auto t = std::make_unique<FakeType>();
    t->name = Upper(name);
    std::string rest = Upper(attributes ? attributes : "");
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find(',', start);
        if (end == std::string::npos) end = rest.size();
        const std::string field = rest.substr(start, end - start);
        start = end + 1;
        const size_t colon = field.find(':');
        if (colon == std::string::npos) continue;
        FakeAttrDef a;
        a.name = field.substr(0, colon);
        std::string kind = field.substr(colon + 1);
        const size_t open = kind.find('(');
        if (open != std::string::npos) {
            const std::string inner = kind.substr(open + 1, kind.size() - open - 2);
            kind = kind.substr(0, open);
            if (kind == "OBJ")
                a.typeName = inner;
            else
                a.elemKind = inner;
        }
        a.kind = kind;
        t->attrs.push_back(a);
    }
    TypeByName("");  // the built-in types first
    std::lock_guard<std::recursive_mutex> g(gLock);
    gTypes[t->name] = std::move(t);
}

FakeObject* NewObject(FakeType* type);

FakeColl* NewColl(const std::string& kind) {
    auto c = std::make_unique<FakeColl>();
    c->kind = kind;
    FakeColl* out = c.get();
    gColls.push_back(std::move(c));
    return out;
}

FakeObject* NewObject(FakeType* type) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto o = std::make_unique<FakeObject>();
    o->type = type;
    o->values.resize(type->attrs.size());
    o->inds.assign(type->attrs.size() + 1, -1);
    o->inds[0] = 0;
    for (size_t i = 0; i < type->attrs.size(); ++i) {
        const FakeAttrDef& a = type->attrs[i];
        if (a.kind == "COLL") {
            o->values[i].coll = NewColl(a.elemKind);
            o->inds[i + 1] = 0;
        } else if (a.kind == "OBJ") {
            FakeType* sub = TypeByName(a.typeName);
            if (sub) o->values[i].obj = NewObject(sub);
            o->inds[i + 1] = 0;
        }
    }
    FakeObject* out = o.get();
    gObjects.push_back(std::move(o));
    return out;
}

[[maybe_unused]] FakeObject* LiveObject(const void* p) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    for (auto& o : gObjects)
        if (o.get() == p && !o->freed) return o.get();
    return nullptr;
}

FakeString* NewString() {
    auto s = std::make_unique<FakeString>();
    FakeString* out = s.get();
    gStrings.push_back(std::move(s));
    return out;
}

FakeLob* CopyLob(const FakeLob* from) {
    auto l = std::make_unique<FakeLob>(*from);
    FakeLob* out = l.get();
    gLobs.push_back(std::move(l));
    return out;
}

// The address of a value as the calls hand it out.
[[maybe_unused]] void* ValueAddress(FakeValue& v, const std::string& kind) {
    if (kind == "NUMBER") return &v.num;
    if (kind == "STRING") return &v.str;
    if (kind == "DATE") return v.date;
    if (kind == "BLOB" || kind == "CLOB" || kind == "BFILE") return &v.lob;
    if (kind == "REF") return &v.ref;
    if (kind == "OBJ") return v.obj;
    if (kind == "COLL") return v.coll;
    return nullptr;
}

std::string ValueText(const FakeValue& v, const std::string& kind);

// A value given by the caller copied into a slot.
[[maybe_unused]] void Assign(FakeValue& v, const std::string& kind, const void* value) {
    if (!value) return;
    if (kind == "NUMBER") {
        std::memcpy(&v.num, value, sizeof v.num);
    } else if (kind == "STRING") {
        v.str = NewString();
        v.str->text = static_cast<const FakeString*>(value)->text;
    } else if (kind == "DATE") {
        std::memcpy(v.date, value, 7);
    } else if (kind == "BLOB" || kind == "CLOB" || kind == "BFILE") {
        v.lob = CopyLob(static_cast<const FakeLob*>(value));
    } else if (kind == "REF") {
        auto r = std::make_unique<FakeRef>(*static_cast<const FakeRef*>(value));
        v.ref = r.get();
        gRefs.push_back(std::move(r));
    }
}

std::string NumberText(const OCINumber* n) {
    Decimal d;
    if (!Decode(n, d)) return "(bad number)";
    return PlainText(d, '.');
}

[[maybe_unused]] std::string ValueText(const FakeValue& v, const std::string& kind) {
    if (kind == "NUMBER") return NumberText(&v.num);
    if (kind == "STRING") return v.str ? v.str->text : "";
    if (kind == "BLOB" || kind == "CLOB") return v.lob ? v.lob->data : "";
    return kind;
}

const fakeoci_types_table kTypesControl = {
    DefineType, [] {
        std::lock_guard<std::recursive_mutex> g(gLock);
        return static_cast<int>(std::count_if(gObjects.begin(), gObjects.end(),
                                              [](const std::unique_ptr<FakeObject>& o) { return !o->freed; }));
    }};

// The journal is one C text: bytes outside the printable range are shown
// as \xNN.
std::string Shown(const std::string& data) {
    std::string shown;
    for (unsigned char ch : data) {
        char esc[8];
        std::snprintf(esc, sizeof esc, "\\x%02X", ch);
        shown += ch >= 32 && ch < 127 ? std::string(1, static_cast<char>(ch)) : std::string(esc);
    }
    return shown;
}

std::string DateTimeText(const FakeDateTime& v) { return FormatDateTime(v, "YYYY-MM-DD HH24:MI:SS.FF", 9); }

}  // namespace

FAKE_EXPORT const fakeoci_types_table* fakeoci_types_control(void) { return &kTypesControl; }

// ---------------------------------------------------------------------------
// What the main file asks of this one

namespace fakeoci {

sword TypesDescriptorAlloc(ub4 type, void** descpp) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    void* d = nullptr;
    switch (type) {
    case OCI_DTYPE_TIMESTAMP:
    case OCI_DTYPE_TIMESTAMP_TZ:
    case OCI_DTYPE_TIMESTAMP_LTZ:
        d = new FakeDateTime();
        static_cast<FakeDateTime*>(d)->type = type;
        break;
    case OCI_DTYPE_INTERVAL_YM:
    case OCI_DTYPE_INTERVAL_DS:
        d = new FakeInterval();
        static_cast<FakeInterval*>(d)->type = type;
        break;
    case OCI_DTYPE_LOB:
    case OCI_DTYPE_FILE:
        d = new FakeLob();
        static_cast<FakeLob*>(d)->type = type;
        break;
    case OCI_DTYPE_PSTREAM: d = new FakePStream{kFakeStreamMagic, nullptr, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}, 0}; break;
    default: return OCI_INVALID_HANDLE;
    }
    gDescriptors[d] = type;
    *descpp = d;
    return OCI_SUCCESS;
}

sword TypesDescriptorFree(void* descp, ub4 type) {
    std::string extra;
    {
        std::lock_guard<std::recursive_mutex> g(gLock);
        auto it = gDescriptors.find(descp);
        if (it == gDescriptors.end() || it->second != type) {
            Log("OCIDescriptorFree type=" + std::to_string(type) + " (not live)");
            return OCI_INVALID_HANDLE;
        }
        gDescriptors.erase(it);
        switch (type) {
        case OCI_DTYPE_TIMESTAMP:
        case OCI_DTYPE_TIMESTAMP_TZ:
        case OCI_DTYPE_TIMESTAMP_LTZ: delete static_cast<FakeDateTime*>(descp); break;
        case OCI_DTYPE_INTERVAL_YM:
        case OCI_DTYPE_INTERVAL_DS: delete static_cast<FakeInterval*>(descp); break;
        case OCI_DTYPE_LOB:
        case OCI_DTYPE_FILE: delete static_cast<FakeLob*>(descp); break;
        case OCI_DTYPE_PSTREAM: {
            auto* s = static_cast<FakePStream*>(descp);
            extra = " reads=" + std::to_string(s->reads) + " chunks=";
            for (int i = 0; i < std::min(s->reads, 8); ++i) {
                if (i) extra += ',';
                extra += std::to_string(s->chunks[i]);
            }
            extra += s->closed ? " closed" : " open";
            delete s;
            break;
        }
        default: break;
        }
    }
    Log("OCIDescriptorFree type=" + std::to_string(type) + extra);
    return OCI_SUCCESS;
}

bool TypesWriteOut(OCIBind* bind, ub2 dty, void* value, sb2* ind, const std::string& text) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    switch (dty) {
    case 6: {
        Decimal d;
        if (!value || !ParseDecimal(text, d)) return false;
        Encode(d, static_cast<OCINumber*>(value));
        break;
    }
    case 187:
    case 188:
    case 232: {
        auto* v = value ? *static_cast<FakeDateTime**>(value) : nullptr;
        if (!v || ParseDateTime(text, "YYYY-MM-DD HH24:MI:SS.FF", *v) != 0) return false;
        break;
    }
    case 189:
    case 190: {
        auto* v = value ? *static_cast<FakeInterval**>(value) : nullptr;
        if (!v || !ParseInterval(text, *v)) return false;
        break;
    }
    case 112:
    case 113: {
        auto* l = value ? *static_cast<FakeLob**>(value) : nullptr;
        if (!l) return false;
        l->init = true;
        l->data = text;
        break;
    }
    case 114: {
        auto* l = value ? *static_cast<FakeLob**>(value) : nullptr;
        if (!l) return false;
        l->init = true;
        if (text == "(zero)") {
            // the server's answer for parts never set: one zero byte each
            l->dir = std::string(1, '\0');
            l->name = std::string(1, '\0');
        } else {
            const size_t slash = text.find('/');
            l->dir = text.substr(0, slash);
            l->name = slash == std::string::npos ? "" : text.substr(slash + 1);
        }
        break;
    }
    case 108: {
        auto it = gObjectBinds.find(bind);
        if (it == gObjectBinds.end() || !it->second.type->xml) return false;
        FakeObject* o = NewObject(it->second.type);
        o->xml = text;
        o->view.data = o->xml.data();
        o->view.length = o->xml.size();
        *it->second.pgvpp = o;
        if (it->second.indpp) *it->second.indpp = o->inds.data();
        return true;
    }
    case 110: {
        auto it = gObjectBinds.find(bind);
        if (it == gObjectBinds.end()) return false;
        auto r = std::make_unique<FakeRef>();
        r->bytes = text;
        *it->second.pgvpp = r.get();
        gRefs.push_back(std::move(r));
        return true;
    }
    default: return false;
    }
    if (ind) *ind = 0;
    return true;
}

std::string TypesBindText(ub2 dty, const void* value) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    switch (dty) {
    case 6: return NumberText(static_cast<const OCINumber*>(value));
    case 187:
    case 188:
    case 232: {
        auto* v = *static_cast<FakeDateTime* const*>(value);
        return v ? DateTimeText(*v) : "null";
    }
    case 189:
    case 190: {
        auto* v = *static_cast<FakeInterval* const*>(value);
        return v ? IntervalText(*v, 2, 6) : "null";
    }
    case 112:
    case 113: {
        auto* l = *static_cast<FakeLob* const*>(value);
        return l ? (l->temporary ? "temporary:" : "") + Shown(l->data) : "null";
    }
    case 114: {
        auto* l = *static_cast<FakeLob* const*>(value);
        return l ? l->dir + "/" + l->name : "null";
    }
    default: return {};
    }
}

}  // namespace fakeoci

using fakeoci::Fail;
using fakeoci::Log;

#if FAKEOCI_OCI8

// ---------------------------------------------------------------------------
// NUMBER

FAKE_EXPORT sword OCINumberToText(OCIError* errhp, const OCINumber* number, const oratext* fmt, ub4 fmtLen,
                                  const oratext* nls, ub4 nlsLen, ub4* bufSize, oratext* buf) {
    const std::string model(reinterpret_cast<const char*>(fmt), fmtLen);
    Log("OCINumberToText fmt=" + model + " nls=" + std::string(reinterpret_cast<const char*>(nls), nlsLen));
    if (int s = fakeoci::Scripted("OCINumberToText")) return s;
    char point, group;
    NumericCharacters(nls, nlsLen, point, group);
    Decimal d;
    if (!Decode(number, d)) return Fail(errhp, 22062, "ORA-22062: invalid input string");
    if (Upper(model) != "TM9") return Fail(errhp, 1481, "ORA-01481: invalid number format model");
    // TM9 leaves out the zero before the decimal point
    std::string text = PlainText(d, point);
    if (text.size() > *bufSize)
        return Fail(errhp, 22065, "ORA-22065: number to text translation for the given format causes overflow");
    std::memcpy(buf, text.data(), text.size());
    *bufSize = static_cast<ub4>(text.size());
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCINumberFromText(OCIError* errhp, const oratext* str, ub4 strLen, const oratext* fmt, ub4 fmtLen,
                                    const oratext* nls, ub4 nlsLen, OCINumber* number) {
    const std::string text(reinterpret_cast<const char*>(str), strLen);
    const std::string model(reinterpret_cast<const char*>(fmt), fmtLen);
    Log("OCINumberFromText text=" + text + " fmt=" + model +
        " nls=" + std::string(reinterpret_cast<const char*>(nls), nlsLen));
    if (int s = fakeoci::Scripted("OCINumberFromText")) return s;
    if (model.size() > 64) return Fail(errhp, 1481, "ORA-01481: invalid number format model");
    char point, group;
    NumericCharacters(nls, nlsLen, point, group);
    std::string plain;
    Decimal d;
    if (!ReadWithModel(text, model, point, group, plain) || !ParseDecimal(plain, d))
        return Fail(errhp, 1722, "ORA-01722: invalid number");
    Encode(d, number);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCINumberToInt(OCIError* errhp, const OCINumber* number, unsigned resultLen, unsigned flag,
                                 void* result) {
    Decimal d;
    if (!Decode(number, d) || resultLen != 8) return Fail(errhp, 22062, "ORA-22062: invalid input string");
    __int128 v = 0;
    for (int i = 0; i < d.exponent && i < 40; ++i)
        v = v * 10 + (static_cast<size_t>(i) < d.digits.size() ? d.digits[static_cast<size_t>(i)] - '0' : 0);
    if (d.exponent > 20) return Fail(errhp, 22053, "ORA-22053: overflow error");
    if (d.negative) v = -v;
    const bool isSigned = flag == OCI_NUMBER_SIGNED;
    if (isSigned ? (v < INT64_MIN || v > INT64_MAX) : (v < 0 || v > static_cast<__int128>(UINT64_MAX)))
        return Fail(errhp, 22053, "ORA-22053: overflow error");
    if (isSigned) {
        const int64_t out = static_cast<int64_t>(v);
        std::memcpy(result, &out, 8);
    } else {
        const uint64_t out = static_cast<uint64_t>(v);
        std::memcpy(result, &out, 8);
    }
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCINumberFromInt(OCIError* errhp, const void* value, unsigned valueLen, unsigned flag,
                                   OCINumber* number) {
    if (valueLen != 8) return Fail(errhp, 22062, "ORA-22062: invalid input string");
    std::string text;
    if (flag == OCI_NUMBER_SIGNED) {
        int64_t v;
        std::memcpy(&v, value, 8);
        text = std::to_string(v);
    } else {
        uint64_t v;
        std::memcpy(&v, value, 8);
        text = std::to_string(v);
    }
    Decimal d;
    ParseDecimal(text, d);
    Encode(d, number);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCINumberToReal(OCIError* errhp, const OCINumber* number, unsigned resultLen, void* result) {
    Decimal d;
    if (!Decode(number, d) || resultLen != 8) return Fail(errhp, 22062, "ORA-22062: invalid input string");
    const std::string text =
        d.digits.empty() ? "0" : (d.negative ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exponent);
    const double v = std::strtod(text.c_str(), nullptr);
    std::memcpy(result, &v, 8);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCINumberFromReal(OCIError* errhp, const void* value, unsigned valueLen, OCINumber* number) {
    double v;
    if (valueLen != 8) return Fail(errhp, 22062, "ORA-22062: invalid input string");
    std::memcpy(&v, value, 8);
    if (!std::isfinite(v)) return Fail(errhp, 22062, "ORA-22062: invalid input string");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    if (std::strtod(buf, nullptr) != v) std::snprintf(buf, sizeof buf, "%.17g", v);
    Decimal d;
    ParseDecimal(buf, d);
    Encode(d, number);
    return OCI_SUCCESS;
}

// ---------------------------------------------------------------------------
// Datetimes

namespace {
FakeDateTime* LiveDateTime(const void* p) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto it = gDescriptors.find(const_cast<void*>(p));
    if (it == gDescriptors.end()) return nullptr;
    if (it->second != OCI_DTYPE_TIMESTAMP && it->second != OCI_DTYPE_TIMESTAMP_TZ &&
        it->second != OCI_DTYPE_TIMESTAMP_LTZ)
        return nullptr;
    return static_cast<FakeDateTime*>(const_cast<void*>(p));
}
FakeInterval* LiveInterval(const void* p) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto it = gDescriptors.find(const_cast<void*>(p));
    if (it == gDescriptors.end() || (it->second != OCI_DTYPE_INTERVAL_YM && it->second != OCI_DTYPE_INTERVAL_DS))
        return nullptr;
    return static_cast<FakeInterval*>(const_cast<void*>(p));
}
FakeLob* LiveLob(const void* p) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    auto it = gDescriptors.find(const_cast<void*>(p));
    if (it != gDescriptors.end() && (it->second == OCI_DTYPE_LOB || it->second == OCI_DTYPE_FILE))
        return static_cast<FakeLob*>(const_cast<void*>(p));
    for (auto& l : gLobs)
        if (l.get() == p) return l.get();
    return nullptr;
}
}  // namespace

FAKE_EXPORT sword OCIDateTimeConstruct(void*, OCIError* errhp, OCIDateTime* datetime, sb2 year, ub1 month, ub1 day,
                                       ub1 hour, ub1 min, ub1 sec, ub4 fsec, const oratext* tz, size_t tzLen) {
    FakeDateTime* v = LiveDateTime(datetime);
    if (!v) return OCI_INVALID_HANDLE;
    Log("OCIDateTimeConstruct " + std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day) + " " +
        std::to_string(hour) + ":" + std::to_string(min) + ":" + std::to_string(sec) + " fsec=" + std::to_string(fsec));
    if (!ValidDate(year, month, day) || hour > 23 || min > 59 || sec > 59 || fsec > 999999999)
        return Fail(errhp, 1858, "ORA-01858: a non-numeric character was found where a numeric was expected");
    v->year = year;
    v->month = month;
    v->day = day;
    v->hour = hour;
    v->min = min;
    v->sec = sec;
    v->fsec = fsec;
    v->tzMinutes = 0;
    if (tz && tzLen) {
        FakeDateTime t;
        if (ParseDateTime(std::string(reinterpret_cast<const char*>(tz), tzLen), "TZH:TZM", t) != 0 && t.tzMinutes == 0)
            return Fail(errhp, 1857, "ORA-01857: not a valid time zone");
        v->tzMinutes = t.tzMinutes;
    }
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDateTimeToText(void*, OCIError*, const OCIDateTime* date, const oratext* fmt, ub1 fmtLen,
                                    ub1 fsprec, const oratext*, size_t, ub4* bufSize, oratext* buf) {
    FakeDateTime* v = LiveDateTime(date);
    if (!v) return OCI_INVALID_HANDLE;
    const std::string model(reinterpret_cast<const char*>(fmt), fmtLen);
    Log("OCIDateTimeToText fmt=" + model + " fsprec=" + std::to_string(fsprec));
    const std::string text = FormatDateTime(*v, model, fsprec);
    const size_t n = std::min<size_t>(text.size(), *bufSize);
    std::memcpy(buf, text.data(), n);
    *bufSize = static_cast<ub4>(n);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDateTimeFromText(void*, OCIError* errhp, const oratext* text, size_t textLen, const oratext* fmt,
                                      ub1 fmtLen, const oratext*, size_t, OCIDateTime* datetime) {
    FakeDateTime* v = LiveDateTime(datetime);
    if (!v) return OCI_INVALID_HANDLE;
    const std::string t(reinterpret_cast<const char*>(text), textLen),
        model(reinterpret_cast<const char*>(fmt), fmtLen);
    Log("OCIDateTimeFromText text=" + t + " fmt=" + model);
    FakeDateTime parsed;
    parsed.type = v->type;
    if (int code = ParseDateTime(t, model, parsed)) {
        char msg[64];
        std::snprintf(msg, sizeof msg, "ORA-%05d: date text does not match the format", code);
        return Fail(errhp, code, msg);
    }
    *v = parsed;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDateTimeGetDate(void*, OCIError*, const OCIDateTime* datetime, sb2* year, ub1* month, ub1* day) {
    FakeDateTime* v = LiveDateTime(datetime);
    if (!v) return OCI_INVALID_HANDLE;
    *year = static_cast<sb2>(v->year);
    *month = static_cast<ub1>(v->month);
    *day = static_cast<ub1>(v->day);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIDateTimeGetTime(void*, OCIError*, OCIDateTime* datetime, ub1* hour, ub1* min, ub1* sec,
                                     ub4* fsec) {
    FakeDateTime* v = LiveDateTime(datetime);
    if (!v) return OCI_INVALID_HANDLE;
    *hour = static_cast<ub1>(v->hour);
    *min = static_cast<ub1>(v->min);
    *sec = static_cast<ub1>(v->sec);
    *fsec = v->fsec;
    return OCI_SUCCESS;
}

// ---------------------------------------------------------------------------
// Intervals

FAKE_EXPORT sword OCIIntervalToText(void*, OCIError*, const OCIInterval* interval, ub1 lfprec, ub1 fsprec,
                                    oratext* buffer, size_t bufLen, size_t* resultLen) {
    FakeInterval* v = LiveInterval(interval);
    if (!v) return OCI_INVALID_HANDLE;
    const std::string text = IntervalText(*v, lfprec, fsprec);
    const size_t n = std::min(text.size(), bufLen);
    std::memcpy(buffer, text.data(), n);
    *resultLen = n;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIIntervalFromText(void*, OCIError* errhp, const oratext* text, size_t textLen,
                                      OCIInterval* result) {
    FakeInterval* v = LiveInterval(result);
    if (!v) return OCI_INVALID_HANDLE;
    const std::string t(reinterpret_cast<const char*>(text), textLen);
    Log("OCIIntervalFromText text=" + t);
    FakeInterval parsed;
    parsed.type = v->type;
    if (!ParseInterval(t, parsed)) return Fail(errhp, 1867, "ORA-01867: the interval is invalid");
    *v = parsed;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIIntervalCheck(void*, OCIError*, const OCIInterval* interval, ub4* valid) {
    FakeInterval* v = LiveInterval(interval);
    if (!v) return OCI_INVALID_HANDLE;
    ub4 bits = 0;
    if (v->type == OCI_DTYPE_INTERVAL_YM) {
        if (v->months > 11) bits |= 0x2;
    } else {
        if (v->hours > 23) bits |= 0x10;
        if (v->mins > 59) bits |= 0x40;
        if (v->secs > 59) bits |= 0x100;
    }
    *valid = bits;
    return OCI_SUCCESS;
}

// ---------------------------------------------------------------------------
// LOBs and files

FAKE_EXPORT sword OCILobLocatorIsInit(OCIEnv*, OCIError*, const OCILobLocator* locp, boolean_t* isInit) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    *isInit = l->init ? 1 : 0;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobFileGetName(OCIEnv*, OCIError* errhp, const OCILobLocator* filep, oratext* dir, ub2* dirLen,
                                    oratext* name, ub2* nameLen) {
    FakeLob* l = LiveLob(filep);
    if (!l) return OCI_INVALID_HANDLE;
    Log(std::string("OCILobFileGetName") + (dir ? " dir" : "") + (name ? " name" : ""));
    auto put = [&](const std::string& part, oratext* area, ub2* len) {
        if (!area || !len) return true;
        if (part.size() > *len) return false;
        std::memcpy(area, part.data(), part.size());
        *len = static_cast<ub2>(part.size());
        return true;
    };
    if (!put(l->dir, dir, dirLen) || !put(l->name, name, nameLen))
        return Fail(errhp, 22280, "ORA-22280: no more buffers available for operation");
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobFileSetName(OCIEnv* envhp, OCIError*, OCILobLocator** filepp, const oratext* dir, ub2 dirLen,
                                    const oratext* name, ub2 nameLen) {
    if (!*filepp) {
        void* d = nullptr;
        if (!fakeoci::IsEnv(envhp)) return OCI_INVALID_HANDLE;
        fakeoci::TypesDescriptorAlloc(OCI_DTYPE_FILE, &d);
        *filepp = static_cast<OCILobLocator*>(d);
    }
    FakeLob* l = LiveLob(*filepp);
    if (!l) return OCI_INVALID_HANDLE;
    l->dir.assign(reinterpret_cast<const char*>(dir), dirLen);
    l->name.assign(reinterpret_cast<const char*>(name), nameLen);
    l->init = true;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobCreateTemporary(OCISvcCtx*, OCIError*, OCILobLocator* locp, ub2, ub1 csfrm, ub1 lobtype,
                                        boolean_t, OCIDuration duration) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    Log("OCILobCreateTemporary lobtype=" + std::to_string(lobtype) + " csfrm=" + std::to_string(csfrm) +
        " duration=" + std::to_string(duration));
    l->init = true;
    l->temporary = true;
    l->data.clear();
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobFreeTemporary(OCISvcCtx*, OCIError*, OCILobLocator* locp) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    Log("OCILobFreeTemporary");
    l->temporary = false;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobTrim(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, ub4 newLen) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    Log("OCILobTrim length=" + std::to_string(newLen));
    if (!l->init) return Fail(errhp, 22275, "ORA-22275: invalid LOB locator specified");
    if (newLen < l->data.size()) l->data.resize(newLen);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobWrite(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp,
                              ub4 bufLen, ub1 piece, void*, void*, ub2, ub1) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    if (!l->init) return Fail(errhp, 22275, "ORA-22275: invalid LOB locator specified");
    const ub4 n = std::min(*amtp, bufLen);
    const std::string data(static_cast<const char*>(bufp), n);
    const std::string shown = Shown(data.substr(0, 40));
    Log("OCILobWrite amount=" + std::to_string(n) + " offset=" + std::to_string(offset) +
        " piece=" + std::to_string(piece) + " data=" + shown);
    const size_t at = offset > 0 ? offset - 1 : 0;
    if (l->data.size() < at + n) l->data.resize(at + n);
    l->data.replace(at, n, data);
    *amtp = n;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobRead(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp,
                             ub4 bufLen, void*, void*, ub2, ub1) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    if (!l->init) return Fail(errhp, 22275, "ORA-22275: invalid LOB locator specified");
    const size_t at = offset > 0 ? offset - 1 : 0;
    const size_t n = at < l->data.size() ? std::min<size_t>({*amtp, bufLen, l->data.size() - at}) : 0;
    std::memcpy(bufp, l->data.data() + at, n);
    *amtp = static_cast<ub4>(n);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCILobGetLength(OCISvcCtx*, OCIError*, OCILobLocator* locp, ub4* lenp) {
    FakeLob* l = LiveLob(locp);
    if (!l) return OCI_INVALID_HANDLE;
    *lenp = static_cast<ub4>(l->data.size());
    return OCI_SUCCESS;
}

// ---------------------------------------------------------------------------
// Object types and instances

FAKE_EXPORT sword OCITypeByName(OCIEnv*, OCIError* errhp, const OCISvcCtx*, const oratext* schema, ub4 schemaLen,
                                const oratext* typeName, ub4 typeLen, const oratext*, ub4, OCIDuration, int,
                                OCIType** tdo) {
    std::string name(reinterpret_cast<const char*>(typeName), typeLen);
    if (schema && schemaLen) name = std::string(reinterpret_cast<const char*>(schema), schemaLen) + "." + name;
    Log("OCITypeByName name=" + name);
    if (int s = fakeoci::Scripted("OCITypeByName")) return s;
    FakeType* t = TypeByName(name);
    if (!t) return Fail(errhp, 4043, "ORA-04043: object " + name + " does not exist");
    *tdo = reinterpret_cast<OCIType*>(t);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIObjectNew(OCIEnv*, OCIError*, const OCISvcCtx*, ub2 typecode, OCIType* tdo, void*, OCIDuration,
                               boolean_t, void** instance) {
    auto* t = reinterpret_cast<FakeType*>(tdo);
    if (!t) return OCI_INVALID_HANDLE;
    Log("OCIObjectNew type=" + t->name + " typecode=" + std::to_string(typecode));
    *instance = NewObject(t);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIObjectFree(OCIEnv*, OCIError*, void* instance, ub2 flags) {
    FakeObject* o = LiveObject(instance);
    if (!o) return OCI_INVALID_HANDLE;
    Log("OCIObjectFree type=" + o->type->name + " flags=" + std::to_string(flags));
    std::lock_guard<std::recursive_mutex> g(gLock);
    o->freed = true;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIObjectGetInd(OCIEnv*, OCIError*, void* instance, void** nullStruct) {
    FakeObject* o = LiveObject(instance);
    if (!o) return OCI_INVALID_HANDLE;
    *nullStruct = o->inds.data();
    return OCI_SUCCESS;
}

namespace {
int AttrIndex(FakeObject* o, const oratext** names, const ub4* lengths, ub4 count) {
    if (count != 1) return -1;
    const std::string name = Upper(std::string(reinterpret_cast<const char*>(names[0]), lengths[0]));
    for (size_t i = 0; i < o->type->attrs.size(); ++i)
        if (o->type->attrs[i].name == name) return static_cast<int>(i);
    return -1;
}
}  // namespace

FAKE_EXPORT sword OCIObjectGetAttr(OCIEnv*, OCIError* errhp, void* instance, void*, OCIType*, const oratext** names,
                                   const ub4* lengths, ub4 nameCount, const ub4*, ub4, OCIInd* attrNullStatus,
                                   void** attrNullStruct, void** attrValue, OCIType** attrTdo) {
    FakeObject* o = LiveObject(instance);
    if (!o) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    const int i = AttrIndex(o, names, lengths, nameCount);
    if (i < 0) return Fail(errhp, 22309, "ORA-22309: attribute with name not found");
    const FakeAttrDef& a = o->type->attrs[static_cast<size_t>(i)];
    FakeValue& v = o->values[static_cast<size_t>(i)];
    *attrNullStatus = o->inds[static_cast<size_t>(i) + 1];
    *attrNullStruct =
        a.kind == "OBJ" && v.obj ? static_cast<void*>(v.obj->inds.data()) : &o->inds[static_cast<size_t>(i) + 1];
    *attrValue = ValueAddress(v, a.kind);
    if (attrTdo) *attrTdo = a.kind == "OBJ" && v.obj ? reinterpret_cast<OCIType*>(v.obj->type) : nullptr;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIObjectSetAttr(OCIEnv*, OCIError* errhp, void* instance, void*, OCIType*, const oratext** names,
                                   const ub4* lengths, ub4 nameCount, const ub4*, ub4, OCIInd nullStatus, const void*,
                                   const void* attrValue) {
    FakeObject* o = LiveObject(instance);
    if (!o) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    const int i = AttrIndex(o, names, lengths, nameCount);
    if (i < 0) return Fail(errhp, 22309, "ORA-22309: attribute with name not found");
    const FakeAttrDef& a = o->type->attrs[static_cast<size_t>(i)];
    FakeValue& v = o->values[static_cast<size_t>(i)];
    if (nullStatus >= 0) Assign(v, a.kind, attrValue);
    o->inds[static_cast<size_t>(i) + 1] = nullStatus < 0 ? -1 : 0;
    std::string shown = nullStatus < 0 ? "null" : ValueText(v, a.kind);
    if (nullStatus >= 0 && v.lob && (a.kind == "BLOB" || a.kind == "CLOB"))
        shown = (v.lob->temporary ? "temporary:" : "") + v.lob->data;
    Log("OCIObjectSetAttr name=" + a.name + " value=" + shown);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCICollSize(OCIEnv*, OCIError*, const OCIColl* coll, sb4* size) {
    if (sword rc; fakeoci::NotifyCollSize(coll, size, &rc)) return rc;
    auto* c = reinterpret_cast<const FakeColl*>(coll);
    if (!c) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    *size = static_cast<sb4>(c->elems.size());
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCICollAppend(OCIEnv*, OCIError*, const void* elem, const void* elemInd, OCIColl* coll) {
    auto* c = reinterpret_cast<FakeColl*>(coll);
    if (!c) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    c->elems.emplace_back();
    Assign(c->elems.back(), c->kind, elem);
    const OCIInd ind = elemInd ? *static_cast<const OCIInd*>(elemInd) : 0;
    c->inds.push_back(ind);
    Log("OCICollAppend index=" + std::to_string(c->elems.size() - 1) + " ind=" + std::to_string(ind));
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCICollGetElem(OCIEnv*, OCIError*, const OCIColl* coll, sb4 index, boolean_t* exists, void** elem,
                                 void** elemInd) {
    if (sword rc; fakeoci::NotifyCollGetElem(coll, index, exists, elem, elemInd, &rc)) return rc;
    auto* c = reinterpret_cast<FakeColl*>(const_cast<OCIColl*>(coll));
    if (!c) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (index < 0 || static_cast<size_t>(index) >= c->elems.size()) {
        *exists = 0;
        return OCI_SUCCESS;
    }
    *exists = 1;
    *elem = ValueAddress(c->elems[static_cast<size_t>(index)], c->kind);
    if (elemInd) *elemInd = &c->inds[static_cast<size_t>(index)];
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCICollAssignElem(OCIEnv*, OCIError* errhp, sb4 index, const void* elem, const void* elemInd,
                                    OCIColl* coll) {
    auto* c = reinterpret_cast<FakeColl*>(coll);
    if (!c) return OCI_INVALID_HANDLE;
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (index < 0 || static_cast<size_t>(index) >= c->elems.size())
        return Fail(errhp, 22165, "ORA-22165: given index must be in the range of the collection");
    const OCIInd ind = elemInd ? *static_cast<const OCIInd*>(elemInd) : 0;
    if (ind >= 0) Assign(c->elems[static_cast<size_t>(index)], c->kind, elem);
    c->inds[static_cast<size_t>(index)] = ind;
    Log("OCICollAssignElem index=" + std::to_string(index) + " ind=" + std::to_string(ind) +
        " value=" + (ind < 0 ? std::string("null") : ValueText(c->elems[static_cast<size_t>(index)], c->kind)));
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStringAssignText(OCIEnv*, OCIError*, const oratext* text, ub4 textLen, OCIString** lhs) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (!*lhs) *lhs = reinterpret_cast<OCIString*>(NewString());
    reinterpret_cast<FakeString*>(*lhs)->text.assign(reinterpret_cast<const char*>(text), textLen);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIStringResize(OCIEnv*, OCIError*, ub4 newSize, OCIString** str) {
    std::lock_guard<std::recursive_mutex> g(gLock);
    if (!*str) *str = reinterpret_cast<OCIString*>(NewString());
    reinterpret_cast<FakeString*>(*str)->text.reserve(newSize);
    return OCI_SUCCESS;
}

FAKE_EXPORT oratext* OCIStringPtr(OCIEnv*, const OCIString* str) {
    auto* s = reinterpret_cast<FakeString*>(const_cast<OCIString*>(str));
    return s ? reinterpret_cast<oratext*>(s->text.data()) : nullptr;
}

FAKE_EXPORT ub4 OCIStringSize(OCIEnv*, const OCIString* str) {
    auto* s = reinterpret_cast<const FakeString*>(str);
    return s ? static_cast<ub4>(s->text.size()) : 0;
}

FAKE_EXPORT sword OCIRefToHex(OCIEnv*, OCIError* errhp, const OCIRef* ref, oratext* hex, ub4* hexLen) {
    auto* r = reinterpret_cast<const FakeRef*>(ref);
    if (!r) return OCI_INVALID_HANDLE;
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : r->bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    Log("OCIRefToHex room=" + std::to_string(*hexLen));
    if (out.size() > *hexLen)
        return Fail(errhp, 22279, "ORA-22279: cannot perform operation with LOB buffering enabled");
    std::memcpy(hex, out.data(), out.size());
    *hexLen = static_cast<ub4>(out.size());
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIBindObject(OCIBind* bindp, OCIError*, const OCIType* type, void** pgvpp, ub4*, void** indpp,
                                ub4*) {
    auto* t = reinterpret_cast<FakeType*>(const_cast<OCIType*>(type));
    Log("OCIBindObject type=" + std::string(t ? t->name : "(none)") +
        " instance=" + (pgvpp && *pgvpp ? "set" : "none"));
    std::lock_guard<std::recursive_mutex> g(gLock);
    gObjectBinds[bindp] = {t, pgvpp, indpp};
    return OCI_SUCCESS;
}

#endif
