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
// marker on its x = +L/2 face, after the pieces (the assembly drawing) or
// before them (the self-service drawing, TOutline::first). The projection is
// the panel's default orthographic one; only the model-view matrix is
// rebuilt per frame.
//
// Piece after piece, its faces and then its edges, as the drawing is
// defined: each piece is two draw calls from one vertex buffer (no display
// list, whose compiled form does not rasterise exactly as the calls do),
// handed to GL every 256 pieces so a software rasteriser draws while the
// rest is sent. The buffer has a slot for every piece, written when a piece's colour, alpha,
// corners or placement text changed, so a window just edits colorArr and
// repaints. Faces are blended (source alpha, one minus source alpha) while a
// translucent piece is shown; with every alpha 1 blending would leave each
// pixel as it is drawn, so it is off.
//
// What no one can see is left out: when the shown set changes, the empty
// cells of the grid spanned by the opaque pieces' coordinates are flooded
// from outside, and a face or edge of an opaque piece that lies more than
// two pixels from every flooded cell is inside the others, behind their
// faces from every direction; a piece with none left is not drawn at all. Wire frames are always drawn; every piece is drawn while
// a shown piece is translucent (its depth would uncover what lies behind it)
// or the near plane cuts into the pieces (a cut-open packing shows its
// inside).

#include <array>
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

// When the container outline is drawn: after the pieces (the assembly
// drawing) or before them (the self-service drawing). Where a piece's edge
// lies on the outline the line drawn first stays.
enum class TOutline { last, first };

// The panel's default state, in this order: clear colour and depth, identity
// projection, lighting with light 0, orthographic projection -1..1 with near
// -1 and far 50, identity model-view, depth test, colour material, smooth
// shading, eye (2, 4, 6) looking at the origin with up (0, 1, 0).
void applyDefaultGLState();

// The start of every frame: teal clear colour, colour and depth cleared, the
// model-view matrix of `camera` with the scene scaled to `viewSize`,
// lighting and colour material off.
void beginFrame(float viewSize, const TCamera& camera);

// The container outline: black line loops over the scene's outline corners
// and end marker, unblended; nothing while the scene has no outline.
void drawOutline(const TPlanScene& scene);

class TPlanRenderer {
public:
    // The vertex buffer belongs to the context it was made in and goes
    // with it.
    explicit TPlanRenderer(TOutline outline = TOutline::last) : outline_(outline) {}

    // Draws one frame into the current context (does not swap).
    void draw(const TArr& planArr, int planCount, const TPlanScene& scene, const TCamera& camera);

    // Brings the vertex buffer and the set of pieces to draw up to date with
    // the arrays (draw does it first); `viewSize` and the viewport's smaller
    // side in pixels set how near two pixels are.
    void update(const TArr& planArr, int planCount, float viewSize, int viewportPixels);

    // Drops the cached vertex data (the next draw rebuilds it).
    void invalidate();

    // Pieces drawn by the last draw or update: all shown ones, or fewer when
    // the hidden ones were left out.
    int drawnPieces() const { return drawn_; }

private:
    struct PieceKey {
        float r, g, b, alpha;
        std::uint8_t shown;
        std::array<TArr::Vertex, 8> v;
        std::string place;
    };
    std::uint32_t writePiece(const TArr& a, int i, std::uint32_t parts, float* out);
    void fitSlots(const TArr& a, const std::vector<int>& pieces, bool whole);
    void chooseDrawn(const TArr& a, int n, float margin);

    TOutline outline_;
    std::vector<PieceKey> cache_;      // the pieces as the buffer holds them
    std::vector<std::uint8_t> faces_;  // per piece: it has faces (a known placement text)
    // Per piece, faces (bits 0-5) and edges (6-17) in drawing order: those
    // that can be seen, and those its slot in the buffer holds.
    std::vector<std::uint32_t> wanted_, held_;
    std::vector<int> shownList_;       // the shown pieces, in index order
    std::vector<int> seenList_;        // those of them that can be seen
    int drawn_ = 0;                    // pieces drawn by the last draw
    std::array<float, 6> solidBox_{};  // bounds of the opaque pieces (x0, y0, z0, x1, y1, z1)
    bool anySolid_ = false;            // an opaque piece is shown
    bool translucent_ = false;         // a shown piece with faces has an alpha below 1
    bool cullable_ = false;            // hidden pieces may be left out (none translucent)
    float margin_ = -1;                // two pixels in scene units, as seenList_ was decided for
    unsigned buffer_ = 0;              // vertex buffer, 0 none yet
    std::size_t bufferSize_ = 0;       // bytes of room in the buffer (48 vertices of xyz rgba a piece)
    bool stale_ = true;                // everything must be rebuilt
};

}  // namespace tms
