#include "view/PlanShow.h"

#include <cmath>

namespace tms {

void sizeArr(TArr& arr, std::size_t n) {
    arr.seqArr.resize(n);
    arr.idArr.resize(n);
    arr.goodsNoArr.resize(n);
    arr.colorArr.resize(n);
    arr.placeArr.resize(n);
    arr.floorArr.resize(n);
    arr.vertArr.resize(n);
    arr.textArr.resize(n);
}

TPlanScene containerScene(double L, double H, double W) {
    TPlanScene sc;
    sc.viewSize = static_cast<float>(1.1 * std::sqrt(L * L + H * H + W * W));
    if (!(sc.viewSize > 0)) sc.viewSize = 1;
    const float l = static_cast<float>(L / 2), h = static_cast<float>(H / 2), w = static_cast<float>(W / 2);
    sc.boxVerts = {{{-l, -h, -w},
                    {l, -h, -w},
                    {l, -h, w},
                    {-l, -h, w},
                    {-l, h, -w},
                    {l, h, -w},
                    {l, h, w},
                    {-l, h, w},
                    {l, h / 4, w / 4},
                    {l, h / 4, -w / 4},
                    {l, -h / 4, -w / 4},
                    {l, -h / 4, w / 4}}};
    sc.hasOutline = true;
    return sc;
}

}  // namespace tms
