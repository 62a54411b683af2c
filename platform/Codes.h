#pragma once
// Codes and texts shared by the catalogues, the engine, the drawings and the
// reports: orientations, colour texts, the order code texts, GBK column
// widths and piece serials. Plain C++, no toolkit.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tms {

// One of the six ways a carton of length L, width W and height H can stand
// in a container. Extents are along X (length of the container), Y (up) and
// Z (across).
struct Orientation {
    int number;             // 1..6, as the self-service tables store it
    const char* code;       // "DMJX" ...
    const char* placeText;  // "立放，正向" ... as the plan table stores it
    // Which of the carton's sides lies along each axis: 0 = L, 1 = W, 2 = H.
    int alongX, alongY, alongZ;
};

const std::array<Orientation, 6>& orientations();
// nullptr when the code, text or number is not one of the six ("OUT" too).
const Orientation* orientationByCode(std::string_view code);
const Orientation* orientationByText(std::string_view placeText);
const Orientation* orientationByNumber(int number);

struct Extents {
    double x, y, z;
};
Extents extentsOf(const Orientation& o, double L, double W, double H);

// Colour value = R + 256*G + 65536*B.
void TColor2RGB(int color, int& r, int& g, int& b);
int RGB2TColor(int r, int g, int b);

struct Rgb {
    int r, g, b;
};
// Strict reading of a colour text: exactly three decimal integers 0..255
// joined by two commas, nothing else (no spaces, signs or empty parts).
std::optional<Rgb> parseColorText(std::string_view text);
std::string colorText(int r, int g, int b);
std::string colorText(int color);

// Texts shown for the order header codes; any other value shows "".
std::string countTypeText(int code);    // 0 "A类", 1 "B类"
std::string loadingTypeText(int code);  // 0 "无限制", 1 "平放", 2 "纵放"
std::string restrictText(int flag);     // 1 "有", 0 "无"
std::string yesNoText(int flag);        // 1 "是", 0 "否"

// Converts `in` between UTF-8 and the Chinese code page GBK (`fromUtf8`:
// UTF-8 to GBK, else GBK to UTF-8) and appends the result to `out`. Each
// input character the target lacks, or a broken sequence, is handed to
// `unconvertible` (a whole UTF-8 sequence; one byte of GBK, or two from a
// lead byte) and the conversion goes on after it. False, with `out`
// untouched, when the system has no such converter.
using TUnconvertible = std::function<void(std::string_view skipped, std::string& out)>;
bool convertGbk(std::string_view in, bool fromUtf8, std::string& out, const TUnconvertible& unconvertible);

// Width of a UTF-8 text in the Chinese code page: a Chinese character
// counts 2 columns, an ASCII character 1.
int gbkWidth(std::string_view utf8);
// The text followed by spaces up to `width` GBK columns (never cut).
std::string padGbk(std::string_view utf8, int width);

// Left-pads the number with "0" to six characters ("12" -> "000012").
std::string add0(long long n);

// The text without the spaces and tabs around it.
std::string_view trimBlanks(std::string_view text);

// The loading ratio text: goods volume / capacity x 100 kept to 0.01 (ties
// to even), in the shortest general form up to 15 significant digits, then
// "%": 66.67%, 50%, 100%. "" when the capacity is not positive.
std::string ratioText(double goodsVolume, double capacity);

}  // namespace tms
