#pragma once
// Internals of one greedy trial: the dimension order of a piece, the indexes
// over the free spaces that keep a placement from rescanning the whole list,
// and the trial loop the optimiser runs. Only the engine includes this.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/HoldEngine.h"

namespace tms::detail {

// Exact bit pattern of a coordinate and a hash of one face of a free space,
// shared by the merge lookup and the indexes that file the faces.
inline std::uint64_t bitsOf(double d) {
    d += 0.0;  // one pattern for +0 and -0
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

inline std::uint64_t faceHash(std::uint64_t tag, double a, double b, double c, double d, double e) {
    std::uint64_t h = tag * 0x9E3779B97F4A7C15ULL;
    for (double v : {a, b, c, d, e}) {
        h ^= bitsOf(v);
        h *= 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 31;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return h != 0 ? h : 1;  // 0 marks an empty slot
}

// Corner coordinates as double.
inline double sx(const TSpace& s) { return s.x; }
inline double sy(const TSpace& s) { return s.y; }
inline double sz(const TSpace& s) { return s.z; }

// A piece's dimensions in dimension order (largest first).
struct PieceKind {
    float L = 0, W = 0, H = 0;
    bool canTurn = false;
    int dimOrder = 0;  // 1..6; 0 when no line of the table holds (NaN)
    double s[3] = {0, 0, 0};
    int lwh[3] = {0, 1, 2};  // which of L (0), W (1), H (2) each rank names
    int heightRank = -1;     // the rank naming H
};
PieceKind makeKind(float L, float W, float H, bool canTurn);

// Where one piece went in a trial.
struct Placement {
    int piece = 0;
    int orient = 0;  // 0..5, index into orientations()
    double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
};

// The pieces of a run in the form the trials read them.
struct RunPieces {
    std::vector<PieceKind> kinds;
    std::vector<int> kindOf;
    std::vector<double> weight;
    std::vector<double> volume;            // L*W*H of the piece
    std::vector<std::uint8_t> sameAsPrev;  // GoodsNo equals that of piece i-1
    std::vector<std::uint8_t> placed;      // loaded in an earlier container
};

struct TrialOutcome {
    int trial = -1;
    double volume = 0;
    double weight = 0;
    bool overflow = false;
    std::vector<Placement> placed;
};

struct CandEntry {
    float k1, k2, k3;  // corner in the trial's order
    int pos;           // place in spaceList
};

struct TrialIndex {
    explicit TrialIndex(TLoadTrial& owner) : t(owner) {}

    TLoadTrial& t;

    // Active spaces that may still be chosen (corner at or beyond the search
    // bound), sorted by corner in the trial's order, then by list place.
    std::vector<CandEntry> cand;
    std::size_t head = 0;              // entries before head are behind the bound
    int order = 0;                     // 0 x-first, 1 y-first, -1 no order
    std::vector<std::uint8_t> inCand;  // by list place
    // Answer of the orientation decision per space for the last kind asked.
    std::vector<int> fitKey;
    std::vector<std::int8_t> fitRes;

    // Merge lookup: each active space is filed under the four faces it could
    // be joined at (its near and far face along X and along Z), chained by a
    // hash of the face. Every hit is checked against the space as it stands.
    // A space's version changes whenever it changes or retires; a node filed
    // under an older version is stale. Nodes are never removed in a trial.
    struct Bucket {
        std::uint32_t gen;  // empty unless gen is the current one
        int head;
    };
    struct Node {
        std::uint64_t h;
        int pos;
        int next;
        std::uint32_t ver;
    };
    std::vector<Bucket> buckets;
    std::vector<Node> nodes;
    std::uint32_t gen = 0;
    std::uint64_t mask = 0;
    std::vector<std::uint32_t> posVer;         // by list place
    std::vector<std::array<int, 4>> faceNode;  // by list place: node of each face, -1 none

    // Pieces of the last failed search (a failure changes nothing, so the
    // same kind fails again until something is placed).
    int failKey = -1;

    void clear(std::size_t capacity);
    // From spaceList as it stands (routines used one by one); merging alone
    // needs no candidate order.
    void rebuild(bool withCandidates);
    void ensurePool(std::size_t need);

    int judge(double len, double hei, double wid, const PieceKind& k);
    int fits(int pos, const PieceKind& k, int kindId);
    int place(const PieceKind& k, int kindId, double weight, Placement& out);
    int unite(TSpace& S, int posS);

    void runTrial(const RunPieces& pieces, const TSweepParams& p, bool relaxStart, const tBox& box, TrialOutcome& out);

private:
    bool lookupAB(const TSpace& S, int& pos, int& rule);
    int uniteScan(TSpace& S, int posS);
    void addSpace(int pos);
    void retire(int pos);
    void moved(int pos, float ox, float oy, float oz);
    void fileFaces(int pos, bool fresh);
    void offerCandidate(int pos, const TSpace& S);
    int fileNode(std::uint64_t h, int pos, std::uint32_t ver);
    CandEntry entryOf(int pos, float x, float y, float z) const;
    void candInsert(const CandEntry& e);
    void candErase(const CandEntry& e);
    double bound() const;
};

}  // namespace tms::detail
