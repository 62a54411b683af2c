#include "oracle/OraText.h"

#include "oracle/OraException.h"

namespace tms::ora {

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
        default: bad();
        }
    }
    return out;
}

}  // namespace tms::ora
