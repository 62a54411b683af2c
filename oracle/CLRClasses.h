#pragma once
// Raw-memory access and growable text: Marshal, BitConverter, StringBuilder.

#include <cstdint>
#include <string>
#include <vector>

namespace tms::ora {

// Class-level operations on raw process memory. An address is a raw pointer;
// an offset is a byte count added to it. Reads and writes need no alignment.
class Marshal {
public:
    Marshal() = delete;

    static void* AllocHGlobal(int64_t size);  // EOutOfMemory when it fails
    static void* ReAllocHGlobal(void* address, int64_t size);
    static void FreeHGlobal(void* address);

    static uint8_t ReadByte(const void* address, int64_t offset = 0);
    static int16_t ReadInt16(const void* address, int64_t offset = 0);
    static int32_t ReadInt32(const void* address, int64_t offset = 0);
    static int64_t ReadInt64(const void* address, int64_t offset = 0);
    static void* ReadIntPtr(const void* address, int64_t offset = 0);

    static void WriteByte(void* address, uint8_t value);
    static void WriteByte(void* address, int64_t offset, uint8_t value);
    static void WriteInt16(void* address, int16_t value);
    static void WriteInt16(void* address, int64_t offset, int16_t value);
    static void WriteInt32(void* address, int32_t value);
    static void WriteInt32(void* address, int64_t offset, int32_t value);
    static void WriteInt64(void* address, int64_t offset, int64_t value);
    static void WriteIntPtr(void* address, void* value);
    static void WriteIntPtr(void* address, int64_t offset, void* value);

    // length bytes from address; a length below 1 takes the zero-terminated
    // text at address. An empty address gives an empty text.
    static std::string PtrToStringAnsi(const void* address, int32_t length = 0);
    // The same for 16-bit characters; length counts characters.
    static std::u16string PtrToStringUni(const void* address, int32_t length = 0);
    // The address of the string's own characters: no copy is made, so the
    // string must outlive the use of the address.
    static char* StringToHGlobalAnsi(std::string& s);
    static char16_t* StringToHGlobalUni(std::u16string& s);

    // Moves length bytes between managed bytes and raw memory; a length of
    // 0 does nothing. ERangeError when the managed side is too short.
    static void Copy(const std::vector<uint8_t>& source, int32_t startIndex, void* destination, int32_t length);
    static void Copy(const void* source, std::vector<uint8_t>& destination, int32_t startIndex, int32_t length);
};

class BitConverter {
public:
    BitConverter() = delete;
    static double Int64BitsToDouble(int64_t value);
    static int64_t DoubleToInt64Bits(double value);
};

// Growable text: a buffer whose size is the capacity and the used length.
class StringBuilder {
public:
    explicit StringBuilder(int32_t capacity);
    // Adds text; when it does not fit in the free room the buffer grows to
    // length + text length + old capacity div 2.
    void Append(const std::string& text);
    std::string ToString() const { return buffer_.substr(0, static_cast<size_t>(length_)); }
    int32_t Length() const { return length_; }
    int32_t Capacity() const { return static_cast<int32_t>(buffer_.size()); }

private:
    std::string buffer_;
    int32_t length_ = 0;
};

void CLRClassesStartup();
void CLRClassesShutdown();

}  // namespace tms::ora
