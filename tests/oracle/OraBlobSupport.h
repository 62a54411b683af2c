#pragma once
// What the blob tests and the fuzz target both need: filling a blob piece by
// piece, and a run-length coding of (count, byte) pairs as the stand-in
// compressor they hand to the library. Plain C++: the fuzz target includes
// it without the test framework.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "oracle/MemData.h"

namespace oratest {

// Appends bytes to the blob in pieces of pieceSize (the last one partly used).
inline void PutPieces(tms::ora::TBlob& blob, const std::string& bytes, int32_t pieceSize) {
    for (size_t at = 0; at < bytes.size(); at += static_cast<size_t>(pieceSize)) {
        tms::ora::PPieceHeader p = blob.AllocPiece(pieceSize);
        size_t n = std::min(bytes.size() - at, static_cast<size_t>(pieceSize));
        std::memcpy(tms::ora::PieceData(p), bytes.data() + at, n);
        p->Used = static_cast<int32_t>(n);
        blob.AppendPiece(p);
    }
}

// Packs source into dest; destLen is the room on entry and what was written
// on return. Out of room, it stops after the last pair that fits.
inline void RlePack(void* dest, int32_t& destLen, const void* source, int32_t sourceLen) {
    const auto* in = static_cast<const uint8_t*>(source);
    auto* out = static_cast<uint8_t*>(dest);
    int32_t o = 0;
    for (int32_t i = 0; i < sourceLen;) {
        int32_t n = 1;
        while (i + n < sourceLen && in[i + n] == in[i] && n < 255) ++n;
        if (o + 2 > destLen) break;
        out[o++] = static_cast<uint8_t>(n);
        out[o++] = in[i];
        i += n;
    }
    destLen = o;
}

// Unpacks source into dest; destLen is the room on entry and what was
// written on return. A trailing odd byte is ignored.
inline void RleUnpack(void* dest, int32_t& destLen, const void* source, int32_t sourceLen) {
    const auto* in = static_cast<const uint8_t*>(source);
    auto* out = static_cast<uint8_t*>(dest);
    int32_t o = 0;
    for (int32_t i = 0; i + 1 < sourceLen; i += 2)
        for (int32_t k = 0; k < in[i] && o < destLen; ++k) out[o++] = in[i + 1];
    destLen = o;
}

}  // namespace oratest
