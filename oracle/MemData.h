#pragma once
// Reference-counted shared objects, the chain of memory pieces that holds
// large-object data with its optional compression, line-break conversion of
// memo text, the lookup of object attributes by a name path, the operation
// hooks and the filter-expression lexeme tables.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "oracle/KaParser.h"
#include "oracle/OraPlatform.h"

namespace tms::ora {

// ---------------------------------------------------------------------------
// Shared objects

class TSharedObject : public TObject {
    ORA_DECLARE_CLASS(TSharedObject)
public:
    TSharedObject() = default;  // count 1
    TSharedObject(const TSharedObject&) = delete;
    TSharedObject& operator=(const TSharedObject&) = delete;

    int32_t RefCount() const { return refCount_.load(); }
    void AddRef() { refCount_.fetch_add(1); }
    // Drops one reference; the last one destroys the object. A count of 0 or
    // less is an assertion failure "<class>.Free RefCount = <count>".
    void Release();
    void Free() { Release(); }
    // The same on a reference that may be empty (an empty one does nothing).
    static void Release(TSharedObject* object);

protected:
    ~TSharedObject() override;  // objects end through Release

    std::atomic<int32_t> refCount_{1};
};

// ---------------------------------------------------------------------------
// Data-type codes the attribute lookup needs

constexpr uint16_t dtObject = 15;
constexpr uint16_t dtReference = 16;
constexpr uint16_t dtArray = 17;
constexpr uint16_t dtTable = 18;

// ---------------------------------------------------------------------------
// Large-object pieces

class TBlob;

// The header at the start of every piece; the data area follows it.
struct TPieceHeader {
    TBlob* Blob;   // owning blob; empty while the piece is in no chain
    int32_t Size;  // capacity of the data area in bytes
    int32_t Used;  // bytes of data held
    TPieceHeader* Prev;
    TPieceHeader* Next;
};
using PPieceHeader = TPieceHeader*;

char* PieceData(PPieceHeader piece);

// The 16-byte signature of a compressed blob.
extern const uint8_t CompressedBlobSignature[16];
constexpr int32_t CompressedHeaderSize = 20;  // signature + uncompressed size
// The most one compressed byte can stand for: the bound of a deflate-style
// compressor (about 1032 to 1). A stored size above it is corrupt.
constexpr int64_t MaxExpansion = 1032;

class TBlob : public TSharedObject {
    ORA_DECLARE_CLASS(TBlob)
public:
    static constexpr uint8_t ValidMarker = 221;  // 0xDD while the blob lives

    TBlob();

    PPieceHeader AllocPiece(int32_t size);
    void ReallocPiece(PPieceHeader& piece, int32_t size);
    void FreePiece(PPieceHeader piece);
    void AppendPiece(PPieceHeader piece);
    void DeletePiece(PPieceHeader piece);
    void CompressPiece(PPieceHeader& piece);  // capacity down to Used
    PPieceHeader FirstPiece() const { return firstPiece_; }
    int32_t PieceCount() const;
    void Clear();

    bool IsCompressed() const;
    void SetCompressed(bool value);
    int32_t UncompressedSize() const;

    bool Modified() const { return modified_ != 0; }
    void SetModified(bool value) { modified_ = value ? 1 : 0; }
    uint8_t Marker() const { return marker_; }
    // "Invalid BLOB" unless the marker says the blob is live.
    void CheckValid() const;

    // The blob's own operations the compression steps call. Size: the bytes
    // held (the sum of Used); Defrag: merges the pieces into one;
    // PrepareUncompress: runs before uncompressing (nothing here).
    virtual int32_t Size() const;
    virtual void Defrag();
    virtual void PrepareUncompress() {}

    // The bytes held, piece after piece.
    std::string AsBytes() const;

protected:
    ~TBlob() override;
    // Compresses the data of the single first piece (size bytes); false when
    // compression would not make the data smaller.
    bool Compress(int32_t size);
    // Uncompresses the single piece into dest (destLen in and out).
    void Uncompress(void* dest, int32_t& destLen);

private:
    PPieceHeader firstPiece_ = nullptr;
    uint8_t modified_ = 0;
    uint8_t marker_ = ValidMarker;
};

// ---------------------------------------------------------------------------
// Line breaks of memo text. Each writes a terminating zero after the result
// and returns the resulting length. ExpandLineBreaks needs room for
// 2 * length + 1 characters at dest, CollapseLineBreaks for length + 1.

int32_t ExpandLineBreaks(const char* source, char* dest, int32_t length);
int32_t ExpandLineBreaks(const char16_t* source, char16_t* dest, int32_t length);
int32_t CollapseLineBreaks(const char* source, char* dest, int32_t length);
int32_t CollapseLineBreaks(const char16_t* source, char16_t* dest, int32_t length);

// ---------------------------------------------------------------------------
// Object types and their attributes

class TObjectType;

class TAttribute : public TObject {
    ORA_DECLARE_CLASS(TAttribute)
public:
    TAttribute(std::string name, uint16_t dataType, TObjectType* objectType = nullptr)
        : Name(std::move(name)), DataType(dataType), ObjectType(objectType) {}
    std::string Name;
    uint16_t DataType;
    TObjectType* ObjectType;  // the attribute's own type (objects, references, arrays, tables)
};

class TObjectType : public TObject {
    ORA_DECLARE_CLASS(TObjectType)
public:
    explicit TObjectType(std::string name = {}) : Name(std::move(name)) {}
    ~TObjectType() override;
    TObjectType(const TObjectType&) = delete;
    TObjectType& operator=(const TObjectType&) = delete;

    // Adds an attribute; the type owns it.
    TAttribute* AddAttribute(std::string name, uint16_t dataType, TObjectType* objectType = nullptr);
    int32_t AttributeCount() const { return static_cast<int32_t>(attributes_.size()); }
    TAttribute* Attribute(int32_t index) const { return attributes_.at(static_cast<size_t>(index)); }
    // The attribute at a name path ("A.B[1].C"), or nullptr.
    TAttribute* AttributeByName(std::string_view path) const;

    std::string Name;

private:
    std::vector<TAttribute*> attributes_;
};

TAttribute* AttributeByName(const TObjectType* type, std::string_view path);

// ---------------------------------------------------------------------------
// Operation hooks, called around opening a pooled connection when assigned.

using TOperationHook = void (*)();
extern TOperationHook LongOperationStartHook;
extern TOperationHook LongOperationEndHook;

// Filter-expression lexeme tables (built at start-up; nothing reads them).
const TLexemeList* FilterSymbolLexemes();
const TLexemeList* FilterKeywordLexemes();
TLexemeListPtr SharedFilterSymbolLexemes();
TLexemeListPtr SharedFilterKeywordLexemes();

void MemDataStartup();
void MemDataShutdown();

}  // namespace tms::ora
