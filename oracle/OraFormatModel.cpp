#include "oracle/OraFormatModel.h"

#include <cctype>

#include "oracle/OraText.h"

namespace tms::ora {

namespace {
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Copies a quoted text with double quotes around it; returns the index
// after the closing quote (or the end).
size_t CopyQuoted(std::string_view f, size_t i, std::string& out) {
    const char quote = f[i];
    size_t end = f.find(quote, i + 1);
    if (end == std::string_view::npos) end = f.size();
    out += '"';
    out.append(f.substr(i + 1, end - i - 1));
    out += '"';
    return end < f.size() ? end + 1 : end;
}

std::string DatePart(std::string_view f) {
    std::string out;
    for (size_t i = 0; i < f.size();) {
        const char c = Lower(f[i]);
        if (f[i] == '\'' || f[i] == '"') {
            i = CopyQuoted(f, i, out);
            continue;
        }
        size_t run = 1;
        while (i + run < f.size() && Lower(f[i + run]) == c) ++run;
        if (c == 'd') {
            out += run == 1 ? "fmDDfm" : run == 2 ? "DD" : run == 3 ? "DY" : "fmDAYfm";
        } else if (c == 'm') {
            out += run == 1 ? "fmMMfm" : run == 2 ? "MM" : run == 3 ? "MON" : "MONTH";
        } else if (c == 'g') {
            out.append(run, 'E');
        } else {
            for (size_t k = 0; k < run; ++k) out += Upper(f[i + k]);
        }
        i += run;
    }
    return out;
}

bool StartsWithNoCase(std::string_view f, size_t i, std::string_view what) {
    return f.size() - i >= what.size() && SameText(f.substr(i, what.size()), what);
}

std::string TimePart(std::string_view f) {
    const std::string upper = UpperCase(f);
    const std::string cycle = upper.find("AMPM") != std::string::npos || f.find('t') != std::string::npos ? "12" : "24";
    std::string out;
    bool afterHours = false;  // an hour run came last among the letters
    for (size_t i = 0; i < f.size();) {
        if (f[i] == '\'' || f[i] == '"') {
            i = CopyQuoted(f, i, out);
            continue;
        }
        if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "ampm") || StartsWithNoCase(f, i, "a/p")) {
            out += "AM";
            i += StartsWithNoCase(f, i, "am/pm") ? 5 : StartsWithNoCase(f, i, "ampm") ? 4 : 3;
            afterHours = false;
            continue;
        }
        const char c = Lower(f[i]);
        size_t run = 1;
        while (i + run < f.size() && Lower(f[i + run]) == c) ++run;
        if (c == 'h') {
            out += run == 1 ? "fmHH" + cycle + "fm" : "HH" + cycle;
            afterHours = true;
        } else if (c == 'n' || (c == 'm' && afterHours)) {
            out += run == 1 ? "fmMIfm" : "MI";
            afterHours = false;
        } else if (c == 's') {
            out += run == 1 ? "fmSSfm" : "SS";
            afterHours = false;
        } else if (c == 'z') {
            out += "FF";
            afterHours = false;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            out += DatePart(f.substr(i, run));
            afterHours = false;
        } else {
            out.append(f.substr(i, run));
        }
        i += run;
    }
    return out;
}
}  // namespace

std::string DateTimeFormatModel(std::string_view dateFormat, std::string_view timeFormat, bool withTimeZone) {
    std::string model = DatePart(dateFormat) + " " + TimePart(timeFormat);
    if (withTimeZone) model += " TZH:TZM";
    return model;
}

}  // namespace tms::ora
