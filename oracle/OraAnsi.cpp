#include "oracle/OraAnsi.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>

#include "oracle/OraException.h"

namespace tms::ora {

namespace {
std::mutex gCodePageLock;
std::string gCodePage = "GBK";

// Converts with iconv; an unreadable input unit (inUnit bytes) is replaced by
// the replacement bytes and skipped.
std::string Convert(const char* from, const char* to, const char* in, size_t inLen, size_t inUnit,
                    const std::string& replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw Exception(std::string("No conversion from ") + from + " to " + to);
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

}  // namespace tms::ora
