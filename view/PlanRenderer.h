#pragma once
// Drawing of the container on show and its pieces with legacy OpenGL (2.1,
// fixed function). Plain C++ calling GL and GLU; no widget. The caller makes
// its GL context current first (TGLPanel does so before its OnPaint).
//
// Use from a window (the assembly drawing and the self-service window):
//   panel->OnInit   = [](TGLPanel*) {};                 // nothing needed
//   panel->OnResize = [](TGLPanel* p) { /* TGLPanel set the viewport */ };
//   panel->OnPaint  = [this](TGLPanel*) {
//       renderer_.draw(Form1->plan.planArr, Form1->plan.planCount, scene_, camera_);
//   };
// where camera_ holds the window's panX, panY, baseAngle and spinAngle.
//
// What is drawn: teal background; every piece with shown == 1 as six faces
// in the goods colour shaded per face kind (see Shading.h) with the piece's
// alpha, and its twelve edges (white along the goods length, black along the
// width, red along the height; all black for an unknown placement text,
// which also gets no faces); the container as black line loops with the end
// marker on its x = +L/2 face. The projection is the panel's default
// orthographic one; only the model-view matrix is rebuilt per frame.
//
// The pieces reach GL as a display list, recorded only when a piece's
// colour, alpha, shown flag, corners or placement text changed, so a window
// just edits colorArr and repaints. The list is owned by the context it was
// recorded in and goes with it.

#include <cstdint>
#include <string>
#include <vector>

#include "view/PlanShow.h"

namespace tms {

// The window's view state.
struct TCamera {
    float panX = 0, panY = 0;  // translation in panel units (the panel spans -1..1)
    int baseAngle = -135;      // rotation about the vertical axis, degrees
    float spinAngle = 0;       // added to baseAngle, degrees
};

// The panel's default state, in this order: clear colour and depth, identity
// projection, lighting with light 0, orthographic projection -1..1 with near
// -1 and far 50, identity model-view, depth test, colour material, smooth
// shading, eye (2, 4, 6) looking at the origin with up (0, 1, 0).
void applyDefaultGLState();

class TPlanRenderer {
public:
    // Draws one frame into the current context (does not swap).
    void draw(const TArr& planArr, int planCount, const TPlanScene& scene, const TCamera& camera);

    // Drops the cached vertex arrays (the next draw rebuilds them).
    void invalidate();

private:
    struct PieceKey {
        float r, g, b, alpha;
        std::uint8_t shown;
        TArr::Vertex v0, v6;
        std::string place;
    };
    bool upToDate(const TArr& a, int n) const;
    void record(const TArr& a, int n);

    std::vector<PieceKey> cache_;  // the pieces as list_ holds them
    unsigned list_ = 0;            // display list of the pieces, 0 none yet
    bool stale_ = true;            // list_ must be recorded again
};

}  // namespace tms
