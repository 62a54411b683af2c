#pragma once
// Face shading of the 3D drawings. The three kinds of box face get three
// shades of the goods colour so that a carton's orientation can be read:
//   getZL  the face spanned by the goods width and height, "亮面" (lightened)
//   getAN  the face spanned by length and height,          "灰面" (dimmed)
//   getCL  the face spanned by length and width,           "黑面" (darkened)
// Each changes only the lightness in HSL space; hue and saturation stay.
// Colours are RGB in 0..1 (float, as the drawing arrays hold them); the HSL
// side is double (H in degrees 0 <= H < 360, S and L in 0..1). HSL2RGB takes
// float inputs, so a shade passes the double HSL values through float once.
// Plain C++, no GL.

#include <functional>
#include <string>
#include <string_view>

namespace tms {

void RGB2HSL(double R, double G, double B, double& H, double& S, double& L);
void HSL2RGB(float H, float S, float L, float& R, float& G, float& B);
// One channel of HSL2RGB. An h still below 0 after adding 360 once cannot
// come from HSL2RGB (its H is in [0, 360)); it gives 0 and the message
// "h= <h> error!" (h after the correction, shortest decimal form).
double HueToRGB(double m1, double m2, double h);
// Where that message goes; the program shows it in a message box. Nothing
// is said while no handler is set.
void setShadingMessage(std::function<void(const std::string&)> handler);

void getZL(float& r, float& g, float& b);  // L < 0.5: L + (0.5 - L) / 3
void getCL(float& r, float& g, float& b);  // L >= 0.5: L := 0.46
void getAN(float& r, float& g, float& b);  // L < 0.5: L - L / 3; else 0.4

// Which shade each pair of faces of a piece gets, from its placement text:
// a face perpendicular to the goods length gets getZL, to the width getAN,
// to the height getCL; edges run white along the goods length, black along
// the width, red along the height.
enum class TShade { ZL, AN, CL };
struct TFaceShades {
    TShade x, y, z;  // faces x = const, y = const, z = const
};
// False when the text is none of the six placement texts (the piece is then
// drawn as a black wire frame).
bool faceShadesOf(std::string_view placeText, TFaceShades& out);
void applyShade(TShade s, float& r, float& g, float& b);

}  // namespace tms
