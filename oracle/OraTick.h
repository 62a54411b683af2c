#pragma once
// Milliseconds since an arbitrary start, wrapping at 2^32.

#include <cstdint>

namespace tms::ora {

uint32_t GetTickCount();

}  // namespace tms::ora
