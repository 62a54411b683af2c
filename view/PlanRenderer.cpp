#include "view/PlanRenderer.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <algorithm>
#include <bit>
#include <cstring>

#include "view/Shading.h"

namespace tms {

void applyDefaultGLState() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glOrtho(-1, 1, -1, 1, -1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    gluLookAt(2, 4, 6, 0, 0, 0, 0, 1, 0);
}

void beginFrame(float viewSize, const TCamera& camera) {
    glClearColor(0, 0.5f, 0.5f, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(camera.panX, camera.panY, 0);
    glRotatef(45, 1, 0, 0);
    glRotatef(static_cast<float>(camera.baseAngle) + camera.spinAngle, 0, 1, 0);
    glClearColor(0, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double h = viewSize / 2.0;
    glOrtho(-h, h, -h, h, -h, h);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
}

void drawOutline(const TPlanScene& scene) {
    if (!scene.hasOutline) return;
    static constexpr int kLoops[7][4] = {{0, 1, 2, 3}, {8, 9, 10, 11}, {4, 5, 6, 7}, {0, 4, 5, 1},
                                         {5, 1, 2, 6}, {6, 2, 3, 7},   {7, 3, 0, 4}};
    glDisable(GL_BLEND);
    glLineWidth(1);
    glColor3f(0, 0, 0);
    for (const auto& loop : kLoops) {
        glBegin(GL_LINE_LOOP);
        for (int k : loop) glVertex3fv(scene.boxVerts[k].data());
        glEnd();
    }
}

namespace {

// Faces of a piece as corner indices: two faces x = const, two z = const,
// two y = const.
constexpr int kFaces[6][4] = {{1, 5, 6, 2}, {3, 7, 4, 0}, {3, 7, 6, 2}, {1, 5, 4, 0}, {5, 6, 7, 4}, {1, 2, 3, 0}};
// Axis each face pair is perpendicular to: 0 x, 1 y, 2 z.
constexpr int kFaceAxis[6] = {0, 0, 2, 2, 1, 1};
// Edges in drawing order and the axis each runs along.
constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {4, 5},
                               {5, 1}, {4, 7}, {7, 3}, {5, 6}, {6, 7}, {6, 2}};
constexpr int kEdgeAxis[12] = {0, 2, 0, 2, 1, 0, 1, 2, 1, 2, 0, 1};
// Where each face and edge lies per axis x, y, z: at the box's lower plane
// (0), its upper plane (1) or along the box (2).
constexpr int kFacePlace[6][3] = {{1, 2, 2}, {0, 2, 2}, {2, 2, 1}, {2, 2, 0}, {2, 1, 2}, {2, 0, 2}};
constexpr int kEdgePlace[12][3] = {{2, 0, 0}, {1, 0, 2}, {2, 0, 1}, {0, 0, 2}, {0, 2, 0}, {2, 1, 0},
                                   {1, 2, 0}, {0, 1, 2}, {0, 2, 1}, {1, 1, 2}, {2, 1, 1}, {1, 2, 1}};

// A piece in the buffer: 24 face vertices (six quads), then 24 edge
// vertices (twelve lines), each x, y, z, r, g, b, a.
constexpr int kFaceVerts = 24, kPieceVerts = 48, kFloats = 7;
constexpr int kPieceFloats = kPieceVerts * kFloats;
constexpr std::size_t kPieceBytes = sizeof(float) * kPieceFloats;

// Edge colour by the goods dimension it runs along: length white, width
// black, height red.
void edgeColour(TShade along, float rgb[3]) {
    switch (along) {
    case TShade::ZL: rgb[0] = rgb[1] = rgb[2] = 1; break;  // length
    case TShade::AN: rgb[0] = rgb[1] = rgb[2] = 0; break;  // width
    case TShade::CL:
        rgb[0] = 1;
        rgb[1] = rgb[2] = 0;
        break;  // height
    }
}

// The bounds of a piece whose corners form an axis-aligned box of some
// thickness in every direction, in the corner order of the plan pieces.
bool boxOf(const std::array<TArr::Vertex, 8>& v, float box[6]) {
    const float x0 = v[0][0], y0 = v[0][1], z0 = v[0][2], x1 = v[6][0], y1 = v[6][1], z1 = v[6][2];
    if (!(x0 < x1 && y0 < y1 && z0 < z1)) return false;
    box[0] = x0, box[1] = y0, box[2] = z0, box[3] = x1, box[4] = y1, box[5] = z1;
    return v == boxCorners(x0, y0, z0, x1, y1, z1);
}

// A software rasteriser sorts a frame's primitives into screen tiles
// before it draws any, and a full container's faces and edges together
// overflow what it sorts at once: it then stops to draw, the caller waiting
// on it. Handing the work over every so many pieces lets its threads draw
// while the next pieces are sorted (over twice the frame rate on 3,700
// pieces). A flush only submits; the picture stays the same.
constexpr int kFlushEvery = 256;

// All faces and edges; a slot not written yet.
constexpr std::uint32_t kAllParts = (1u << 18) - 1, kUnwritten = ~std::uint32_t(0);

// Above this many grid cells the hidden pieces are not looked for.
constexpr std::size_t kMaxCells = std::size_t(48) << 20;

// The cells between the boxes' planes, each open, blocked (a guard or
// inside a box) or reached by the flood from outside.
struct CellGrid {
    enum : std::uint8_t { open = 0, blocked = 1, reached = 2 };
    std::vector<float> planes[3];
    std::size_t nx = 0, ny = 0, nz = 0;
    std::size_t rowStep = 0, layerStep = 0;  // from a cell to the next along Y and along Z
    std::vector<std::uint8_t> cell;

    std::uint8_t* row(std::size_t y, std::size_t z) { return &cell[z * layerStep + y * rowStep]; }
    const std::uint8_t* row(std::size_t y, std::size_t z) const { return &cell[z * layerStep + y * rowStep]; }
    // Whether a reached cell lies in the cells from..to (inclusive).
    bool reaches(const int from[3], const int to[3]) const {
        for (int z = from[2]; z <= to[2]; ++z)
            for (int y = from[1]; y <= to[1]; ++y) {
                const std::uint8_t* r = row(static_cast<std::size_t>(y), static_cast<std::size_t>(z));
                for (int x = from[0]; x <= to[0]; ++x)
                    if (r[x] == reached) return true;
            }
        return false;
    }
};

// The grid of the boxes with its guard layers and the boxes' cells
// blocked; false when it would be too large.
bool buildGrid(const std::vector<std::array<float, 6>>& boxes, CellGrid& g) {
    for (int ax = 0; ax < 3; ++ax) {
        auto& p = g.planes[ax];
        p.reserve(boxes.size() * 2);
        for (const auto& b : boxes) p.insert(p.end(), {b[ax], b[ax + 3]});
        std::sort(p.begin(), p.end());
        p.erase(std::unique(p.begin(), p.end()), p.end());
    }
    g.nx = g.planes[0].size() + 3;
    g.ny = g.planes[1].size() + 3;
    g.nz = g.planes[2].size() + 3;
    if (g.nx * g.ny * g.nz > kMaxCells) return false;
    g.rowStep = g.nx;
    g.layerStep = g.nx * g.ny;
    g.cell.assign(g.nx * g.ny * g.nz, CellGrid::open);
    for (std::size_t z = 0; z < g.nz; ++z)
        for (std::size_t y = 0; y < g.ny; ++y) {
            std::uint8_t* r = g.row(y, z);
            if (z == 0 || z == g.nz - 1 || y == 0 || y == g.ny - 1)
                std::memset(r, CellGrid::blocked, g.nx);
            else
                r[0] = r[g.nx - 1] = CellGrid::blocked;
        }
    for (const auto& b : boxes) {
        // Cells inside the box along each axis: from first to last (inclusive).
        int first[3], last[3];
        for (int ax = 0; ax < 3; ++ax) {
            const auto& p = g.planes[ax];
            first[ax] = static_cast<int>(std::lower_bound(p.begin(), p.end(), b[ax]) - p.begin()) + 2;
            last[ax] = static_cast<int>(std::lower_bound(p.begin(), p.end(), b[ax + 3]) - p.begin()) + 1;
        }
        for (int z = first[2]; z <= last[2]; ++z)
            for (int y = first[1]; y <= last[1]; ++y)
                std::memset(g.row(y, z) + first[0], CellGrid::blocked,
                            static_cast<std::size_t>(last[0] - first[0] + 1));
    }
    return true;
}

// Floods the open cells from the outside cell through faces, edges and
// corners.
void floodFromOutside(CellGrid& g) {
    long step[26];
    int k = 0;
    for (int dz = -1; dz <= 1; ++dz)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx || dy || dz)
                    step[k++] = dz * static_cast<long>(g.layerStep) + dy * static_cast<long>(g.rowStep) + dx;
    std::vector<std::size_t> queue;
    queue.reserve(g.cell.size() / 4);
    const std::size_t start = g.layerStep + g.rowStep + 1;
    g.cell[start] = CellGrid::reached;
    queue.push_back(start);
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const std::size_t c = queue[q];
        for (long d : step) {
            const std::size_t m = static_cast<std::size_t>(static_cast<long>(c) + d);
            if (g.cell[m] == CellGrid::open) {
                g.cell[m] = CellGrid::reached;
                queue.push_back(m);
            }
        }
    }
}

// The faces and edges of one box that lie within `margin` of a reached cell.
std::uint32_t partsKept(const CellGrid& g, const std::array<float, 6>& box, float margin) {
    // Per axis the cells within the margin of the box's lower plane
    // (near[0][ax]..near[1][ax]) and of its upper one (near[2]..near[3]).
    int near[4][3];
    for (int ax = 0; ax < 3; ++ax) {
        const auto& p = g.planes[ax];
        const auto cellFrom = [&](float c) {
            return static_cast<int>(std::lower_bound(p.begin(), p.end(), c - margin) - p.begin()) + 1;
        };
        const auto cellTo = [&](float c) {
            return static_cast<int>(std::upper_bound(p.begin(), p.end(), c + margin) - p.begin()) + 1;
        };
        near[0][ax] = cellFrom(box[ax]);
        near[1][ax] = cellTo(box[ax]);
        near[2][ax] = cellFrom(box[ax + 3]);
        near[3][ax] = cellTo(box[ax + 3]);
    }
    // A face or edge: per axis at the lower plane (0), the upper one (1) or
    // along the box (2); the cells it lies within the margin of.
    const auto test = [&](const int(&at)[3]) {
        int from[3], to[3];
        for (int ax = 0; ax < 3; ++ax) {
            from[ax] = near[at[ax] == 1 ? 2 : 0][ax];
            to[ax] = near[at[ax] == 0 ? 1 : 3][ax];
        }
        return g.reaches(from, to);
    };
    // Most boxes lie inside the others: nothing reached around the whole box
    // means no face of it is near one.
    if (!g.reaches(near[0], near[3])) return 0;
    std::uint32_t mask = 0;
    for (int f = 0; f < 6; ++f)
        if (test(kFacePlace[f])) mask |= 1u << f;
    // The cells inside the box are its own, so the faces' surroundings are
    // all of the box's; an edge can be seen only beside a seen face.
    if (mask)
        for (int e = 0; e < 12; ++e)
            if (test(kEdgePlace[e])) mask |= 1u << (6 + e);
    return mask;
}

// Which faces and edges of the boxes lie within `margin` of an empty cell
// that can be reached from outside (bits 0-5 the faces, 6-17 the edges, in
// drawing order; 0 for a box wholly inside the others). The grid's planes
// are the boxes' faces; along each axis it has a blocked guard cell, an
// open cell outside the boxes, the cells between the planes and again an
// open cell and a guard. Empty cells are flooded from the outside cell
// through faces, edges and corners. False when the grid would be too large.
bool findSeen(const std::vector<std::array<float, 6>>& boxes, float margin, std::vector<std::uint32_t>& seen) {
    CellGrid grid;
    if (!buildGrid(boxes, grid)) return false;
    floodFromOutside(grid);
    seen.assign(boxes.size(), 0);
    for (std::size_t i = 0; i < boxes.size(); ++i) seen[i] = partsKept(grid, boxes[i], margin);
    return true;
}

}  // namespace

void TPlanRenderer::invalidate() {
    // The keys alone would not do: an empty plan drawn next would match
    // the emptied keys and draw nothing new.
    cache_.clear();
    stale_ = true;
}

// A piece's slot in the buffer: the faces of `parts` in the shaded goods
// colour with the piece's alpha, then, 24 vertices on, the edges of
// `parts`, opaque; each in drawing order, one after the other. Returns the
// parts written (no faces without a known placement text).
std::uint32_t TPlanRenderer::writePiece(const TArr& a, int i, std::uint32_t parts, float* out) {
    const color& c = a.colorArr[i];
    const auto& v = a.vertArr[i];
    TFaceShades fs;
    const bool faces = faceShadesOf(a.placeArr[i], fs);
    if (!faces) parts &= ~std::uint32_t(0x3f);
    const TShade byAxis[3] = {fs.x, fs.y, fs.z};
    float* o = out;
    if (faces) {
        // The stored colour stays; each face gets its own shaded copy.
        float shaded[3][3];
        for (int ax = 0; ax < 3; ++ax) {
            shaded[ax][0] = c.red;
            shaded[ax][1] = c.green;
            shaded[ax][2] = c.blue;
            applyShade(byAxis[ax], shaded[ax][0], shaded[ax][1], shaded[ax][2]);
        }
        for (int f = 0; f < 6; ++f) {
            if (!(parts >> f & 1)) continue;
            const float* rgb = shaded[kFaceAxis[f]];
            for (int corner : kFaces[f]) {
                *o++ = v[corner][0], *o++ = v[corner][1], *o++ = v[corner][2];
                *o++ = rgb[0], *o++ = rgb[1], *o++ = rgb[2], *o++ = c.alpha;
            }
        }
    }
    o = out + kFaceVerts * kFloats;
    for (int e = 0; e < 12; ++e) {
        if (!(parts >> (6 + e) & 1)) continue;
        float rgb[3] = {0, 0, 0};
        if (faces) edgeColour(byAxis[kEdgeAxis[e]], rgb);
        for (int corner : kEdges[e]) {
            *o++ = v[corner][0], *o++ = v[corner][1], *o++ = v[corner][2];
            *o++ = rgb[0], *o++ = rgb[1], *o++ = rgb[2], *o++ = 1.0f;
        }
    }
    return parts;
}

void TPlanRenderer::chooseDrawn(const TArr& a, int n, float margin) {
    shownList_.clear();
    shownList_.reserve(static_cast<std::size_t>(n));
    std::vector<std::array<float, 6>> boxes;
    std::vector<int> boxPiece;
    boxes.reserve(static_cast<std::size_t>(n));
    boxPiece.reserve(static_cast<std::size_t>(n));
    cullable_ = true;
    translucent_ = false;
    for (int i = 0; i < n; ++i) {
        const color& c = a.colorArr[i];
        if (c.shown != 1) continue;
        shownList_.push_back(i);
        if (!faces_[i]) continue;  // a wire frame hides nothing
        if (!(c.alpha >= 1.0f)) {  // translucent: its depth hides what its colour does not
            cullable_ = false;
            translucent_ = true;
            continue;
        }
        std::array<float, 6> b;
        if (boxOf(a.vertArr[i], b.data())) {
            boxes.push_back(b);
            boxPiece.push_back(i);
        }
    }
    anySolid_ = !boxes.empty();
    if (anySolid_) {
        solidBox_ = boxes.front();
        for (const auto& b : boxes)
            for (int ax = 0; ax < 3; ++ax) {
                solidBox_[ax] = std::min(solidBox_[ax], b[ax]);
                solidBox_[ax + 3] = std::max(solidBox_[ax + 3], b[ax + 3]);
            }
    }
    margin_ = margin;
    wanted_.assign(static_cast<std::size_t>(n), kAllParts);
    std::vector<std::uint32_t> seen;
    if (!cullable_ || !anySolid_ || !findSeen(boxes, margin, seen)) {
        cullable_ = false;
        seenList_ = shownList_;
        return;
    }
    // Pieces that are not boxes or are wire frames stay whole.
    for (std::size_t k = 0; k < boxPiece.size(); ++k) wanted_[boxPiece[k]] = seen[k];
    seenList_.clear();
    for (int i : shownList_)
        if (wanted_[i]) seenList_.push_back(i);
}

// Rewrites the slots of `pieces` that hold other parts than wanted (all of
// them when `whole`).
void TPlanRenderer::fitSlots(const TArr& a, const std::vector<int>& pieces, bool whole) {
    float* out = nullptr;
    for (int i : pieces) {
        std::uint32_t want = whole ? kAllParts : wanted_[i];
        if (!faces_[i]) want &= ~std::uint32_t(0x3f);
        if (held_[i] == want) continue;
        if (!out) {
            glBindBuffer(GL_ARRAY_BUFFER, buffer_);
            out = static_cast<float*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
            if (!out) {  // cannot be written: no piece this time
                glBindBuffer(GL_ARRAY_BUFFER, 0);
                stale_ = true;
                return;
            }
        }
        held_[i] = writePiece(a, i, want, out + std::size_t(i) * kPieceFloats);
    }
    if (out) {
        glUnmapBuffer(GL_ARRAY_BUFFER);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}

void TPlanRenderer::update(const TArr& a, int n, float viewSize, int viewportPixels) {
    const auto fits = [&](std::size_t size) { return static_cast<int>(size) >= n; };
    if (n < 0 || !fits(a.colorArr.size()) || !fits(a.vertArr.size()) || !fits(a.placeArr.size()))
        n = 0;  // arrays not sized to the count: draw no piece rather than read past them
    const float margin = 2.0f * viewSize / static_cast<float>(std::max(viewportPixels, 1));
    bool shownChanged = false;
    // A context made anew (the panel moved to another window) has lost the
    // buffer: build it again.
    const bool lost = buffer_ == 0 || !glIsBuffer(buffer_);
    if (stale_ || lost || static_cast<int>(cache_.size()) != n) {
        if (lost) {
            glGenBuffers(1, &buffer_);
            bufferSize_ = 0;
        }
        // The buffer keeps its room for the next container.
        const std::size_t bytes = std::size_t(n) * kPieceBytes;
        if (bytes > bufferSize_) {
            glBindBuffer(GL_ARRAY_BUFFER, buffer_);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STATIC_DRAW);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            bufferSize_ = bytes;
        }
        cache_.resize(static_cast<std::size_t>(n));
        faces_.assign(static_cast<std::size_t>(n), 0);
        held_.assign(static_cast<std::size_t>(n), kUnwritten);
        TFaceShades unused;
        for (int i = 0; i < n; ++i) {
            const color& c = a.colorArr[i];
            cache_[i] = {c.red, c.green, c.blue, c.alpha, c.shown, a.vertArr[i], a.placeArr[i]};
            faces_[i] = faceShadesOf(a.placeArr[i], unused);
        }
        stale_ = false;
        shownChanged = true;
    } else {
        for (int i = 0; i < n; ++i) {
            PieceKey& k = cache_[i];
            const color& c = a.colorArr[i];
            const bool look = k.alpha != c.alpha || k.r != c.red || k.g != c.green || k.b != c.blue ||
                              k.v != a.vertArr[i] || k.place != a.placeArr[i];
            if (!look && k.shown == c.shown) continue;
            shownChanged = true;
            k.shown = c.shown;
            if (!look) continue;
            k.r = c.red, k.g = c.green, k.b = c.blue, k.alpha = c.alpha;
            k.v = a.vertArr[i];
            if (k.place != a.placeArr[i]) {
                k.place = a.placeArr[i];
                TFaceShades unused;
                faces_[i] = faceShadesOf(a.placeArr[i], unused);
            }
            held_[i] = kUnwritten;
        }
    }
    if (shownChanged || margin != margin_) chooseDrawn(a, n, margin);
    // Only the slots of pieces drawn are written.
    fitSlots(a, seenList_, false);
}

void TPlanRenderer::draw(const TArr& planArr, int planCount, const TPlanScene& scene, const TCamera& camera) {
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float viewSize = scene.viewSize > 0 ? scene.viewSize : 1.0f;
    update(planArr, planCount, viewSize, std::min(viewport[2], viewport[3]));

    beginFrame(viewSize, camera);
    if (outline_ == TOutline::first) drawOutline(scene);

    // Where the near plane cuts into the pieces their inside shows: all
    // shown pieces then.
    bool cutOpen = false;
    if (cullable_ && anySolid_) {
        GLdouble mv[16], pr[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        for (int k = 0; k < 8 && !cutOpen; ++k) {
            const double p[4] = {solidBox_[k & 1 ? 3 : 0], solidBox_[k & 2 ? 4 : 1], solidBox_[k & 4 ? 5 : 2], 1};
            double e[4], c[4];
            for (int r = 0; r < 4; ++r) e[r] = mv[r] * p[0] + mv[4 + r] * p[1] + mv[8 + r] * p[2] + mv[12 + r] * p[3];
            for (int r = 0; r < 4; ++r) c[r] = pr[r] * e[0] + pr[4 + r] * e[1] + pr[8 + r] * e[2] + pr[12 + r] * e[3];
            cutOpen = c[2] < -c[3];
        }
    }
    const std::vector<int>& pieces = cutOpen ? shownList_ : seenList_;
    if (cutOpen) fitSlots(planArr, pieces, true);
    drawn_ = static_cast<int>(pieces.size());

    // Blending with an alpha of 1 leaves a pixel as drawing it unblended
    // does: it is on only while a translucent piece is shown, and then
    // stays on for the edges, which are opaque.
    if (translucent_) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glLineWidth(1);
    if (!pieces.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, kFloats * sizeof(float), nullptr);
        glColorPointer(4, GL_FLOAT, kFloats * sizeof(float), reinterpret_cast<const void*>(3 * sizeof(float)));
        int sinceFlush = 0;
        for (int i : pieces) {
            const GLint first = i * kPieceVerts;
            const std::uint32_t parts = held_[i];
            if (parts == kUnwritten) continue;
            if (parts & 0x3f) glDrawArrays(GL_QUADS, first, 4 * std::popcount(parts & 0x3f));
            if (parts >> 6) glDrawArrays(GL_LINES, first + kFaceVerts, 2 * std::popcount(parts >> 6));
            if (++sinceFlush == kFlushEvery) {
                glFlush();
                sinceFlush = 0;
            }
        }
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    glDisable(GL_BLEND);

    if (outline_ == TOutline::last) drawOutline(scene);
    glFinish();
}

}  // namespace tms
