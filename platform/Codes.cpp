#include "platform/Codes.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iconv.h>

namespace tms {

namespace {
const std::array<Orientation, 6> kOrientations{{
    {1, "DMJX", "立放，正向", 0, 2, 1},
    {2, "DMJY", "立放，横向", 1, 2, 0},
    {3, "JMJX", "侧放，正向", 0, 1, 2},
    {4, "JMJY", "侧放，横向", 2, 1, 0},
    {5, "CMJX", "卧放，横向", 2, 0, 1},
    {6, "CMJY", "卧放，正向", 1, 0, 2},
}};
}  // namespace

const std::array<Orientation, 6>& orientations() { return kOrientations; }

const Orientation* orientationByCode(std::string_view code) {
    for (const auto& o : kOrientations)
        if (code == o.code) return &o;
    return nullptr;
}

const Orientation* orientationByText(std::string_view placeText) {
    for (const auto& o : kOrientations)
        if (placeText == o.placeText) return &o;
    return nullptr;
}

const Orientation* orientationByNumber(int number) {
    if (number < 1 || number > 6) return nullptr;
    return &kOrientations[number - 1];
}

Extents extentsOf(const Orientation& o, double L, double W, double H) {
    const double side[3] = {L, W, H};
    return {side[o.alongX], side[o.alongY], side[o.alongZ]};
}

void TColor2RGB(int color, int& r, int& g, int& b) {
    r = color & 255;
    g = (color & 65280) >> 8;
    b = (color & 16711680) >> 16;
}

int RGB2TColor(int r, int g, int b) { return r + 256 * g + 65536 * b; }

std::optional<Rgb> parseColorText(std::string_view text) {
    int parts[3];
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') return std::nullopt;
            ++pos;
        }
        size_t start = pos;
        int v = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            v = v * 10 + (text[pos] - '0');
            if (v > 255) return std::nullopt;
            ++pos;
        }
        if (pos == start || pos - start > 3) return std::nullopt;
        parts[i] = v;
    }
    if (pos != text.size()) return std::nullopt;
    return Rgb{parts[0], parts[1], parts[2]};
}

std::string colorText(int r, int g, int b) {
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

std::string colorText(int color) {
    int r, g, b;
    TColor2RGB(color, r, g, b);
    return colorText(r, g, b);
}

std::string countTypeText(int code) {
    switch (code) {
    case 0: return "A类";
    case 1: return "B类";
    default: return "";
    }
}

std::string loadingTypeText(int code) {
    switch (code) {
    case 0: return "无限制";
    case 1: return "平放";
    case 2: return "纵放";
    default: return "";
    }
}

std::string restrictText(int flag) {
    switch (flag) {
    case 1: return "有";
    case 0: return "无";
    default: return "";
    }
}

std::string yesNoText(int flag) {
    switch (flag) {
    case 1: return "是";
    case 0: return "否";
    default: return "";
    }
}

namespace {
// Width of one UTF-8 sequence when iconv cannot help: ASCII 1, else 2.
int fallbackWidth(std::string_view s) {
    int w = 0;
    for (unsigned char c : s) {
        if (c < 0x80)
            ++w;
        else if ((c & 0xC0) != 0x80)
            w += 2;
    }
    return w;
}
}  // namespace

bool convertGbk(std::string_view in, bool fromUtf8, std::string& out, const TUnconvertible& unconvertible) {
    iconv_t cd = fromUtf8 ? iconv_open("GBK", "UTF-8") : iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buf(in);  // iconv wants a writable input pointer
    char* inp = buf.data();
    size_t inLeft = buf.size();
    char chunk[512];
    while (inLeft > 0) {
        char* outp = chunk;
        size_t outLeft = sizeof chunk;
        const size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        out.append(chunk, sizeof chunk - outLeft);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Skip one character of the input: a whole UTF-8 sequence, or
            // one (lead) byte of GBK.
            size_t len = 1;
            if (fromUtf8) {
                while (len < inLeft && (static_cast<unsigned char>(inp[len]) & 0xC0) == 0x80) ++len;
            } else if (static_cast<unsigned char>(inp[0]) >= 0x81 && inLeft >= 2) {
                len = 2;
            }
            unconvertible(std::string_view(inp, len), out);
            inp += len;
            inLeft -= len;
        }
    }
    iconv_close(cd);
    return true;
}

int gbkWidth(std::string_view utf8) {
    // A character the code page lacks, or broken UTF-8, counts by the
    // fallback rule; everything else by its GBK bytes.
    int unconverted = 0;
    std::string gbk;
    if (!convertGbk(utf8, true, gbk, [&](std::string_view seq, std::string&) { unconverted += fallbackWidth(seq); }))
        return fallbackWidth(utf8);
    return static_cast<int>(gbk.size()) + unconverted;
}

std::string padGbk(std::string_view utf8, int width) {
    std::string out(utf8);
    int w = gbkWidth(utf8);
    if (w < width) out.append(static_cast<size_t>(width - w), ' ');
    return out;
}

std::string add0(long long n) {
    std::string s = std::to_string(n);
    if (s.size() < 6) s.insert(0, 6 - s.size(), '0');
    return s;
}

std::string_view trimBlanks(std::string_view text) {
    const auto b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

std::string ratioText(double goodsVolume, double capacity) {
    if (!(capacity > 0)) return std::string();
    const double ratio = goodsVolume / capacity * 100;
    // Kept to two decimals: ties go to the even hundredth (the default
    // rounding mode of nearbyint).
    const double kept = std::nearbyint(ratio / 0.01) * 0.01;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", kept);
    return std::string(buf) + "%";
}

}  // namespace tms
