#pragma once
// The drawing as it was before the vertex buffer: the pieces recorded into
// one display list (again whenever a piece changed) and every shown piece
// drawn. Kept for the benchmark only, which sets the two side by side.

#include <GL/gl.h>
#include <cstdint>
#include <string>
#include <vector>

#include "view/PlanRenderer.h"
#include "view/Shading.h"

namespace bench {

class TOldRenderer {
public:
    void draw(const tms::TArr& planArr, int planCount, const tms::TPlanScene& scene, const tms::TCamera& camera);
    void invalidate();

private:
    struct PieceKey {
        float r, g, b, alpha;
        std::uint8_t shown;
        tms::TArr::Vertex v0, v6;
        std::string place;
    };
    bool upToDate(const tms::TArr& a, int n) const;
    void record(const tms::TArr& a, int n);

    std::vector<PieceKey> cache_;
    unsigned list_ = 0;
    bool stale_ = true;
};

namespace old {

// Faces of a piece as corner indices: two faces x = const, two z = const,
// two y = const.
constexpr int kFaces[6][4] = {{1, 5, 6, 2}, {3, 7, 4, 0}, {3, 7, 6, 2}, {1, 5, 4, 0}, {5, 6, 7, 4}, {1, 2, 3, 0}};
// Axis each face pair is perpendicular to: 0 x, 1 y, 2 z.
constexpr int kFaceAxis[6] = {0, 0, 2, 2, 1, 1};
// Edges in drawing order and the axis each runs along.
constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {4, 5},
                               {5, 1}, {4, 7}, {7, 3}, {5, 6}, {6, 7}, {6, 2}};
constexpr int kEdgeAxis[12] = {0, 2, 0, 2, 1, 0, 1, 2, 1, 2, 0, 1};

// Edge colour by the goods dimension it runs along: length white, width
// black, height red.
void edgeColour(tms::TShade along, float rgb[3]) {
    switch (along) {
    case tms::TShade::ZL: rgb[0] = rgb[1] = rgb[2] = 1; break;  // length
    case tms::TShade::AN: rgb[0] = rgb[1] = rgb[2] = 0; break;  // width
    case tms::TShade::CL:
        rgb[0] = 1;
        rgb[1] = rgb[2] = 0;
        break;  // height
    }
}

}  // namespace old

inline void TOldRenderer::invalidate() {
    // The keys alone would not do: an empty plan drawn next would match
    // the emptied keys and replay the old pieces.
    cache_.clear();
    stale_ = true;
}

inline bool TOldRenderer::upToDate(const tms::TArr& a, int n) const {
    if (static_cast<int>(cache_.size()) != n) return false;
    for (int i = 0; i < n; ++i) {
        const PieceKey& k = cache_[i];
        const tms::color& c = a.colorArr[i];
        if (k.shown != c.shown || k.alpha != c.alpha || k.r != c.red || k.g != c.green || k.b != c.blue ||
            k.v0 != a.vertArr[i][0] || k.v6 != a.vertArr[i][6] || k.place != a.placeArr[i])
            return false;
    }
    return true;
}

// Records the pieces into the display list in the drawing's own order: each
// piece's six faces, then its twelve edges, before the next piece, so where
// an edge and a later piece's face lie in one plane the edge stays on top.
// Blending is switched on once for the whole list: the edges are opaque
// (alpha 1), so blending leaves their pixels as drawing them unblended does,
// and switching it per piece would cost more than the drawing. The list
// keeps the vertices, so the arrays live only while it is recorded.
inline void TOldRenderer::record(const tms::TArr& a, int n) {
    std::vector<float> facePos, faceCol;  // xyz, rgba per vertex (GL_QUADS)
    std::vector<float> linePos, lineCol;  // xyz, rgb per vertex (GL_LINES)
    std::vector<bool> withFaces;          // per piece drawn
    cache_.resize(n);
    for (int i = 0; i < n; ++i) {
        const tms::color& c = a.colorArr[i];
        const auto& v = a.vertArr[i];
        cache_[i] = {c.red, c.green, c.blue, c.alpha, c.shown, v[0], v[6], a.placeArr[i]};
        if (c.shown != 1) continue;
        tms::TFaceShades fs;
        const bool known = tms::faceShadesOf(a.placeArr[i], fs);
        const tms::TShade byAxis[3] = {fs.x, fs.y, fs.z};
        withFaces.push_back(known);
        if (known) {
            // The stored colour stays; each face gets its own shaded copy.
            float shaded[3][3];
            for (int ax = 0; ax < 3; ++ax) {
                shaded[ax][0] = c.red;
                shaded[ax][1] = c.green;
                shaded[ax][2] = c.blue;
                tms::applyShade(byAxis[ax], shaded[ax][0], shaded[ax][1], shaded[ax][2]);
            }
            for (int f = 0; f < 6; ++f) {
                const float* rgb = shaded[old::kFaceAxis[f]];
                for (int corner : old::kFaces[f]) {
                    facePos.insert(facePos.end(), v[corner].begin(), v[corner].end());
                    faceCol.insert(faceCol.end(), {rgb[0], rgb[1], rgb[2], c.alpha});
                }
            }
        }
        for (int e = 0; e < 12; ++e) {
            float rgb[3] = {0, 0, 0};
            if (known) old::edgeColour(byAxis[old::kEdgeAxis[e]], rgb);
            for (int corner : old::kEdges[e]) {
                linePos.insert(linePos.end(), v[corner].begin(), v[corner].end());
                lineCol.insert(lineCol.end(), rgb, rgb + 3);
            }
        }
    }

    if (list_ == 0 || !glIsList(list_)) list_ = glGenLists(1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glNewList(list_, GL_COMPILE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    GLint face = 0, line = 0;
    for (const bool faces : withFaces) {
        if (faces) {
            glVertexPointer(3, GL_FLOAT, 0, facePos.data());
            glColorPointer(4, GL_FLOAT, 0, faceCol.data());
            glDrawArrays(GL_QUADS, face, 24);
            face += 24;
        }
        glVertexPointer(3, GL_FLOAT, 0, linePos.data());
        glColorPointer(3, GL_FLOAT, 0, lineCol.data());
        glDrawArrays(GL_LINES, line, 24);
        line += 24;
    }
    glEndList();
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    stale_ = false;
}

inline void TOldRenderer::draw(const tms::TArr& planArr, int planCount, const tms::TPlanScene& scene,
                               const tms::TCamera& camera) {
    int n = planCount;
    const auto fits = [&](std::size_t size) { return static_cast<int>(size) >= n; };
    if (n < 0 || !fits(planArr.colorArr.size()) || !fits(planArr.vertArr.size()) || !fits(planArr.placeArr.size()))
        n = 0;  // arrays not sized to the count: draw no piece rather than read past them
    // A context made anew (the panel moved to another window) has lost the
    // list: record it again.
    if (stale_ || !glIsList(list_) || !upToDate(planArr, n)) record(planArr, n);

    tms::beginFrame(scene.viewSize > 0 ? scene.viewSize : 1.0f, camera);
    glCallList(list_);
    glDisable(GL_BLEND);
    tms::drawOutline(scene);
    glFinish();
}

}  // namespace bench
