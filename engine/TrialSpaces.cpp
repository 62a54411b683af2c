// The indexes of one greedy trial: the candidate index that yields the free
// spaces in the order the plain walk would accept them, the face tables the
// merge lookup reads, and the pool of free spaces.

#include <algorithm>

#include "engine/TrialIndex.h"

namespace tms::detail {

// ------------------------------------------------------------ the indexes --

double TrialIndex::bound() const { return order == 1 ? t.lowY : t.lowX; }

CandEntry TrialIndex::entryOf(int pos, float x, float y, float z) const {
    if (order == 1) return {y, x, z, pos};
    return {x, y, z, pos};
}

namespace {
bool candLess(const CandEntry& a, const CandEntry& b) {
    if (a.k1 != b.k1) return a.k1 < b.k1;
    if (a.k2 != b.k2) return a.k2 < b.k2;
    if (a.k3 != b.k3) return a.k3 < b.k3;
    return a.pos < b.pos;
}
}  // namespace

void TrialIndex::candInsert(const CandEntry& e) {
    auto it = std::upper_bound(cand.begin() + static_cast<std::ptrdiff_t>(head), cand.end(), e, candLess);
    cand.insert(it, e);
}

void TrialIndex::candErase(const CandEntry& e) {
    auto it = std::lower_bound(cand.begin() + static_cast<std::ptrdiff_t>(head), cand.end(), e, candLess);
    if (it != cand.end() && it->pos == e.pos) {
        cand.erase(it);
        return;
    }
    for (auto j = cand.begin() + static_cast<std::ptrdiff_t>(head); j != cand.end(); ++j)
        if (j->pos == e.pos) {
            cand.erase(j);
            return;
        }
}

int TrialIndex::fileNode(std::uint64_t h, int pos, std::uint32_t ver) {
    Bucket& bk = buckets[static_cast<std::size_t>(h & mask)];
    nodes.push_back(Node{h, pos, bk.gen == gen ? bk.head : -1, ver});
    bk = Bucket{gen, static_cast<int>(nodes.size() - 1)};
    return bk.head;
}

// A face already filed for this space is not filed again: its node takes
// the space's new version.
void TrialIndex::fileFaces(int pos, bool fresh) {
    const TSpace& T = *t.spaceList[pos];
    const std::uint64_t h[4] = {
        faceHash(1, T.y, T.z, T.wid, T.hei, sx(T) + T.len),
        faceHash(2, T.y, T.z, T.wid, T.hei, sx(T)),
        faceHash(3, T.x, T.y, T.len, T.hei, sz(T) + T.wid),
        faceHash(4, T.x, T.y, T.len, T.hei, sz(T)),
    };
    for (int i = 0; i < 4; ++i) __builtin_prefetch(&buckets[static_cast<std::size_t>(h[i] & mask)], 1);
    const std::uint32_t ver = posVer[static_cast<std::size_t>(pos)];
    auto& faces = faceNode[static_cast<std::size_t>(pos)];
    for (int i = 0; i < 4; ++i) {
        if (!fresh && faces[i] >= 0 && nodes[static_cast<std::size_t>(faces[i])].h == h[i]) {
            nodes[static_cast<std::size_t>(faces[i])].ver = ver;
            continue;
        }
        faces[i] = fileNode(h[i], pos, ver);
    }
}

void TrialIndex::clear(std::size_t capacity) {
    cand.clear();
    head = 0;
    failKey = -1;
    order = (t.spaceOrder == 2 || t.spaceOrder == 4) ? 0 : (t.spaceOrder == 3 || t.spaceOrder == 5) ? 1 : -1;
    if (inCand.size() < capacity) {
        inCand.resize(capacity, 0);
        fitKey.resize(capacity, -1);
        fitRes.resize(capacity, -1);
        posVer.resize(capacity, 0);
        faceNode.resize(capacity);
    }
    std::size_t want = 1024;
    while (want < capacity * 2 && want < (std::size_t(1) << 24)) want <<= 1;
    if (buckets.size() < want) {
        buckets.assign(want, Bucket{0, -1});
        mask = want - 1;
        gen = 0;
    }
    if (++gen == 0) {
        std::fill(buckets.begin(), buckets.end(), Bucket{0, -1});
        gen = 1;
    }
    nodes.clear();
}

void TrialIndex::addSpace(int pos) {
    const std::size_t need = static_cast<std::size_t>(pos) + 1;
    if (inCand.size() < need) {
        const std::size_t grow = std::max(need, inCand.size() * 2);
        inCand.resize(grow, 0);
        fitKey.resize(grow, -1);
        fitRes.resize(grow, -1);
        posVer.resize(grow, 0);
        faceNode.resize(grow);
    }
    fitKey[pos] = -1;
    ++posVer[static_cast<std::size_t>(pos)];
    faceNode[static_cast<std::size_t>(pos)] = {-1, -1, -1, -1};
    inCand[pos] = 0;
    const TSpace& S = *t.spaceList[pos];
    if (!S.active) return;
    fileFaces(pos, true);
    offerCandidate(pos, S);
}

// An active space at or beyond the search bound becomes a candidate.
void TrialIndex::offerCandidate(int pos, const TSpace& S) {
    if (order < 0) return;
    const CandEntry e = entryOf(pos, S.x, S.y, S.z);
    if (static_cast<double>(e.k1) >= bound()) {
        candInsert(e);
        inCand[pos] = 1;
    }
}

void TrialIndex::retire(int pos) {
    if (pos < 0) return;
    ++posVer[static_cast<std::size_t>(pos)];
    if (inCand[pos]) {
        const TSpace& S = *t.spaceList[pos];
        candErase(entryOf(pos, S.x, S.y, S.z));
        inCand[pos] = 0;
    }
}

void TrialIndex::moved(int pos, float ox, float oy, float oz) {
    if (pos < 0) return;
    fitKey[pos] = -1;
    failKey = -1;
    ++posVer[static_cast<std::size_t>(pos)];
    if (inCand[pos]) {
        candErase(entryOf(pos, ox, oy, oz));
        inCand[pos] = 0;
    }
    const TSpace& S = *t.spaceList[pos];
    if (!S.active) return;
    fileFaces(pos, false);
    offerCandidate(pos, S);
}

void TrialIndex::rebuild(bool withCandidates) {
    clear(t.spaceList.size() + 4);
    if (!withCandidates) order = -1;
    for (int p = 0; p < static_cast<int>(t.spaceList.size()); ++p) addSpace(p);
}

void TrialIndex::ensurePool(std::size_t need) {
    if (t.spaceArr.size() >= need) return;
    // Growing the pool moves it: repoint the list entries that live in it.
    const auto oldBegin = reinterpret_cast<std::uintptr_t>(t.spaceArr.data());
    const auto oldEnd = oldBegin + t.spaceArr.size() * sizeof(TSpace);
    std::vector<std::ptrdiff_t> at(t.spaceList.size(), -1);
    for (std::size_t i = 0; i < t.spaceList.size(); ++i) {
        const auto p = reinterpret_cast<std::uintptr_t>(t.spaceList[i]);
        if (p >= oldBegin && p < oldEnd) at[i] = static_cast<std::ptrdiff_t>((p - oldBegin) / sizeof(TSpace));
    }
    t.spaceArr.resize(std::max({need, t.spaceArr.size() * 2, std::size_t(256)}));
    for (std::size_t i = 0; i < t.spaceList.size(); ++i)
        if (at[i] >= 0) t.spaceList[i] = t.spaceArr.data() + at[i];
}

}  // namespace tms::detail
