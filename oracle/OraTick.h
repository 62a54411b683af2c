#pragma once
// The millisecond tick: milliseconds since an arbitrary start, wrapping at
// 2^32 (about 49.7 days). Differences are taken modulo 2^32, so a span that
// crosses the wrap is still measured right.

#include <cstdint>

namespace tms::ora {

uint32_t GetTickCount();
// Milliseconds from one tick to a later one, across a wrap.
inline uint32_t TickDiff(uint32_t from, uint32_t to) { return to - from; }

// Tests replace the clock (nullptr restores the real one).
using TTickSource = uint32_t (*)();
void SetTickSource(TTickSource source);

}  // namespace tms::ora
