#include "view/Shading.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/Codes.h"

namespace tms {

void RGB2HSL(double R, double G, double B, double& H, double& S, double& L) {
    const double mx = std::max(R, std::max(G, B));
    const double mn = std::min(R, std::min(G, B));
    L = (mx + mn) / 2;
    const double d = mx - mn;
    if (d == 0) {
        H = 0;
        S = 0;
        return;
    }
    S = L <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    // The first component equal to the maximum decides.
    if (R == mx)
        H = (G - B) / d;
    else if (G == mx)
        H = (B - R) / d + 2;
    else
        H = (R - G) / d + 4;
    H = H * 60;
    if (H < 0) H += 360;
    if (H >= 360) H -= 360;
}

namespace {
std::function<void(const std::string&)>& messageSlot() {
    static std::function<void(const std::string&)> slot;
    return slot;
}
}  // namespace

void setShadingMessage(std::function<void(const std::string&)> handler) { messageSlot() = std::move(handler); }

double HueToRGB(double m1, double m2, double h) {
    if (h < 0) h += 360;
    if (h >= 360) h -= 360;
    if (h >= 0 && h < 60) return m1 + (m2 - m1) * h / 60;
    if (h >= 60 && h < 180) return m2;
    if (h >= 180 && h < 240) return m1 + (m2 - m1) * (240 - h) / 60;
    if (h >= 240) return m1;
    if (messageSlot()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", h);
        messageSlot()(std::string("h= ") + buf + " error!");
    }
    return 0;
}

void HSL2RGB(float H, float S, float L, float& R, float& G, float& B) {
    const double h = H, s = S, l = L;
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    R = static_cast<float>(HueToRGB(m1, m2, h + 120));
    G = static_cast<float>(HueToRGB(m1, m2, h));
    B = static_cast<float>(HueToRGB(m1, m2, h - 120));
}

namespace {
template <class Change>
void shade(float& r, float& g, float& b, Change change) {
    double H, S, L;
    RGB2HSL(r, g, b, H, S, L);
    change(L);
    HSL2RGB(static_cast<float>(H), static_cast<float>(S), static_cast<float>(L), r, g, b);
}
}  // namespace

void getZL(float& r, float& g, float& b) {
    shade(r, g, b, [](double& L) {
        if (L < 0.5) L = L + (0.5 - L) / 3;
    });
}

void getCL(float& r, float& g, float& b) {
    shade(r, g, b, [](double& L) {
        if (L >= 0.5) L = 0.46;
    });
}

void getAN(float& r, float& g, float& b) {
    shade(r, g, b, [](double& L) { L = L < 0.5 ? L - L / 3 : 0.4; });
}

namespace {
TShade shadeFor(int side) {  // 0 = goods length, 1 = width, 2 = height
    return side == 0 ? TShade::ZL : side == 1 ? TShade::AN : TShade::CL;
}
}  // namespace

bool faceShadesOf(std::string_view placeText, TFaceShades& out) {
    const Orientation* o = orientationByText(placeText);
    if (!o) return false;
    out = {shadeFor(o->alongX), shadeFor(o->alongY), shadeFor(o->alongZ)};
    return true;
}

void applyShade(TShade s, float& r, float& g, float& b) {
    switch (s) {
    case TShade::ZL: getZL(r, g, b); break;
    case TShade::AN: getAN(r, g, b); break;
    case TShade::CL: getCL(r, g, b); break;
    }
}

}  // namespace tms
