#include "oracle/MemUtils.h"

#include <cstring>

#include "oracle/DAConsts.h"
#include "oracle/OraPlatform.h"

namespace tms::ora {

TCompressProc CompressProc = nullptr;
TCompressProc UncompressProc = nullptr;

void CopyBuffer(const void* source, void* dest, int64_t count) {
    if (count > 0) std::memmove(dest, source, static_cast<size_t>(count));
}

void FillChar(void* dest, int64_t count, uint8_t value) {
    if (count > 0) std::memset(dest, value, static_cast<size_t>(count));
}

char* SetStringLength(std::string& s, int32_t length) {
    s.resize(length < 0 ? 0 : static_cast<size_t>(length));
    return s.data();
}

void CheckCompressionHooks() {
    if (!CompressProc) RaiseError(SCompressorNotLinked);
    if (!UncompressProc) RaiseError(SUncompressorNotLinked);
}

void CompressBuffer(void* dest, int32_t& destLen, const void* source, int32_t sourceLen) {
    ORA_ASSERT(CompressProc != nullptr, "MemUtils", SCompressorNotLinked);
    CompressProc(dest, destLen, source, sourceLen);
}

void UncompressBuffer(void* dest, int32_t& destLen, const void* source, int32_t sourceLen) {
    ORA_ASSERT(UncompressProc != nullptr, "MemUtils", SUncompressorNotLinked);
    UncompressProc(dest, destLen, source, sourceLen);
}

void MemUtilsStartup() {}
void MemUtilsShutdown() {}

}  // namespace tms::ora
