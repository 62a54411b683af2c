#include "oracle/CLRClasses.h"

#include <cstdlib>
#include <cstring>

#include "oracle/OraPlatform.h"

namespace tms::ora {

namespace {
template <typename T>
T ReadAt(const void* address, int64_t offset) {
    T v;
    std::memcpy(&v, static_cast<const char*>(address) + offset, sizeof v);
    return v;
}

template <typename T>
void WriteAt(void* address, int64_t offset, T v) {
    std::memcpy(static_cast<char*>(address) + offset, &v, sizeof v);
}
}  // namespace

void* Marshal::AllocHGlobal(int64_t size) {
    if (size < 0) throw ERangeError("Negative memory size");
    void* p = std::malloc(size == 0 ? 1 : static_cast<size_t>(size));
    if (!p) throw EOutOfMemory("Out of memory");
    return p;
}

void* Marshal::ReAllocHGlobal(void* address, int64_t size) {
    if (size < 0) throw ERangeError("Negative memory size");
    void* p = std::realloc(address, size == 0 ? 1 : static_cast<size_t>(size));
    if (!p) throw EOutOfMemory("Out of memory");
    return p;
}

void Marshal::FreeHGlobal(void* address) { std::free(address); }

uint8_t Marshal::ReadByte(const void* a, int64_t o) { return ReadAt<uint8_t>(a, o); }
int16_t Marshal::ReadInt16(const void* a, int64_t o) { return ReadAt<int16_t>(a, o); }
int32_t Marshal::ReadInt32(const void* a, int64_t o) { return ReadAt<int32_t>(a, o); }
int64_t Marshal::ReadInt64(const void* a, int64_t o) { return ReadAt<int64_t>(a, o); }
void* Marshal::ReadIntPtr(const void* a, int64_t o) { return ReadAt<void*>(a, o); }

void Marshal::WriteByte(void* a, uint8_t v) { WriteAt(a, 0, v); }
void Marshal::WriteByte(void* a, int64_t o, uint8_t v) { WriteAt(a, o, v); }
void Marshal::WriteInt16(void* a, int16_t v) { WriteAt(a, 0, v); }
void Marshal::WriteInt16(void* a, int64_t o, int16_t v) { WriteAt(a, o, v); }
void Marshal::WriteInt32(void* a, int32_t v) { WriteAt(a, 0, v); }
void Marshal::WriteInt32(void* a, int64_t o, int32_t v) { WriteAt(a, o, v); }
void Marshal::WriteInt64(void* a, int64_t o, int64_t v) { WriteAt(a, o, v); }
void Marshal::WriteIntPtr(void* a, void* v) { WriteAt(a, 0, v); }
void Marshal::WriteIntPtr(void* a, int64_t o, void* v) { WriteAt(a, o, v); }

std::string Marshal::PtrToStringAnsi(const void* address, int32_t length) {
    if (!address) return {};
    const char* p = static_cast<const char*>(address);
    if (length < 1) return std::string(p);
    return std::string(p, static_cast<size_t>(length));
}

std::u16string Marshal::PtrToStringUni(const void* address, int32_t length) {
    if (!address) return {};
    const char* p = static_cast<const char*>(address);
    std::u16string r;
    if (length < 1) {
        for (size_t i = 0;; ++i) {
            char16_t c = ReadAt<char16_t>(p, static_cast<int64_t>(2 * i));
            if (c == 0) break;
            r += c;
        }
        return r;
    }
    r.resize(static_cast<size_t>(length));
    std::memcpy(r.data(), p, static_cast<size_t>(length) * 2);
    return r;
}

char* Marshal::StringToHGlobalAnsi(std::string& s) { return s.data(); }
char16_t* Marshal::StringToHGlobalUni(std::u16string& s) { return s.data(); }

void Marshal::Copy(const std::vector<uint8_t>& source, int32_t startIndex, void* destination, int32_t length) {
    if (length == 0) return;
    if (startIndex < 0 || length < 0 || static_cast<size_t>(startIndex) + static_cast<size_t>(length) > source.size())
        throw ERangeError("Copy range outside the byte array");
    std::memmove(destination, source.data() + startIndex, static_cast<size_t>(length));
}

void Marshal::Copy(const void* source, std::vector<uint8_t>& destination, int32_t startIndex, int32_t length) {
    if (length == 0) return;
    if (startIndex < 0 || length < 0 ||
        static_cast<size_t>(startIndex) + static_cast<size_t>(length) > destination.size())
        throw ERangeError("Copy range outside the byte array");
    std::memmove(destination.data() + startIndex, source, static_cast<size_t>(length));
}

double BitConverter::Int64BitsToDouble(int64_t value) {
    double d;
    std::memcpy(&d, &value, sizeof d);
    return d;
}

int64_t BitConverter::DoubleToInt64Bits(double value) {
    int64_t i;
    std::memcpy(&i, &value, sizeof i);
    return i;
}

StringBuilder::StringBuilder(int32_t capacity) : buffer_(static_cast<size_t>(capacity < 0 ? 0 : capacity), '\0') {}

void StringBuilder::Append(const std::string& text) {
    if (text.empty()) return;
    int64_t textLen = static_cast<int64_t>(text.size());
    int64_t capacity = static_cast<int64_t>(buffer_.size());
    if (textLen > capacity - length_) {
        int64_t grown = length_ + textLen + capacity / 2;
        if (grown > INT32_MAX) throw EOutOfMemory("Text too long");
        buffer_.resize(static_cast<size_t>(grown), '\0');
    }
    std::memcpy(buffer_.data() + length_, text.data(), text.size());
    length_ += static_cast<int32_t>(textLen);
}

void CLRClassesStartup() {}
void CLRClassesShutdown() {}

}  // namespace tms::ora
