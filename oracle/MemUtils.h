#pragma once
// Memory routines and the compression hooks.

#include <cstdint>
#include <string>

namespace tms::ora {

// A compressor or decompressor: (destination, destination length in and out,
// source, source length).
using TCompressProc = void (*)(void* dest, int32_t& destLen, const void* source, int32_t sourceLen);

// The two process-wide hooks; both are empty unless a program assigns them.
extern TCompressProc CompressProc;
extern TCompressProc UncompressProc;

// Moves count bytes; the two areas may overlap.
void CopyBuffer(const void* source, void* dest, int64_t count);
void FillChar(void* dest, int64_t count, uint8_t value);
// Sets the string to the given length and returns the address of its characters.
char* SetStringLength(std::string& s, int32_t length);

// Raises "Compressor function is not linked" or "Uncompressor function is
// not linked" when a hook is empty (the compressor is checked first).
void CheckCompressionHooks();
void CompressBuffer(void* dest, int32_t& destLen, const void* source, int32_t sourceLen);
void UncompressBuffer(void* dest, int32_t& destLen, const void* source, int32_t sourceLen);

void MemUtilsStartup();
void MemUtilsShutdown();

}  // namespace tms::ora
