#include "oracle/OraStream.h"

#include <algorithm>
#include <cstring>

namespace tms::ora {

int32_t TStringStream::Read(void* buffer, int32_t count) {
    if (count <= 0 || position_ >= Size()) return 0;
    int64_t n = std::min<int64_t>(count, Size() - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return static_cast<int32_t>(n);
}

void TStringStream::SetPosition(int64_t position) { position_ = std::clamp<int64_t>(position, 0, Size()); }

}  // namespace tms::ora
