#include "oracle/MemData.h"

#include <cstring>
#include <limits>
#include <memory>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/MemUtils.h"

namespace tms::ora {

// ---------------------------------------------------------------------------
// Shared objects

ORA_DEFINE_CLASS(TSharedObject, TObject, nullptr)

TSharedObject::~TSharedObject() { refCount_.store(0); }

void TSharedObject::Release() {
    // The count is changed in one atomic step, so two threads dropping the
    // last two references destroy the object exactly once.
    int32_t old = refCount_.fetch_sub(1);
    if (old <= 0) {
        refCount_.fetch_add(1);
        RaiseAssertion(std::string(ClassName()) + ".Free RefCount = " + std::to_string(old), "MemData", __LINE__);
    }
    if (old == 1) delete this;
}

void TSharedObject::Release(TSharedObject* object) {
    if (object) object->Release();
}

// ---------------------------------------------------------------------------
// Large-object pieces

const uint8_t CompressedBlobSignature[16] = {0x39, 0x8C, 0x9D, 0xF1, 0x58, 0x55, 0x49, 0x38,
                                             0xA6, 0x52, 0x87, 0xCE, 0xE0, 0xC6, 0xDA, 0x7E};

char* PieceData(PPieceHeader piece) { return reinterpret_cast<char*>(piece) + sizeof(TPieceHeader); }

ORA_DEFINE_CLASS(TBlob, TSharedObject, nullptr)

TBlob::TBlob() = default;

TBlob::~TBlob() {
    Clear();
    marker_ = 0;
}

void TBlob::CheckValid() const {
    if (marker_ != ValidMarker) RaiseError(SInvalidBlob);
}

PPieceHeader TBlob::AllocPiece(int32_t size) {
    ORA_ASSERT(size > 0, "MemData", "Size > 0");
    auto piece = static_cast<PPieceHeader>(Marshal::AllocHGlobal(static_cast<int64_t>(sizeof(TPieceHeader)) + size));
    piece->Blob = nullptr;
    piece->Size = size;
    piece->Used = 0;
    piece->Prev = nullptr;
    piece->Next = nullptr;
    return piece;
}

void TBlob::ReallocPiece(PPieceHeader& piece, int32_t size) {
    ORA_ASSERT(piece != nullptr, "MemData", "Piece = nil");
    if (size == 0) {
        FreePiece(piece);
        piece = nullptr;
        return;
    }
    if (size == piece->Size) return;
    ORA_ASSERT(size > 0, "MemData", "Size > 0");
    auto moved =
        static_cast<PPieceHeader>(Marshal::ReAllocHGlobal(piece, static_cast<int64_t>(sizeof(TPieceHeader)) + size));
    moved->Size = size;
    if (moved->Used > size) moved->Used = size;
    // Only a piece that is in a chain has neighbours (or a first-piece
    // pointer) to point at the moved block.
    if (TBlob* owner = moved->Blob) {
        if (moved->Prev)
            moved->Prev->Next = moved;
        else
            owner->firstPiece_ = moved;
        if (moved->Next) moved->Next->Prev = moved;
    }
    piece = moved;
}

void TBlob::FreePiece(PPieceHeader piece) {
    if (!piece) return;
    if (piece->Blob) DeletePiece(piece);
    Marshal::FreeHGlobal(piece);
}

void TBlob::AppendPiece(PPieceHeader piece) {
    ORA_ASSERT(piece != nullptr, "MemData", "Piece = nil");
    ORA_ASSERT(piece->Blob == nullptr, "MemData", "Piece.Blob <> nil");
    piece->Blob = this;
    piece->Next = nullptr;
    if (!firstPiece_) {
        piece->Prev = nullptr;
        firstPiece_ = piece;
        return;
    }
    PPieceHeader last = firstPiece_;
    while (last->Next) last = last->Next;
    last->Next = piece;
    piece->Prev = last;
}

void TBlob::DeletePiece(PPieceHeader piece) {
    ORA_ASSERT(piece != nullptr && piece->Blob == this, "MemData", "Piece.Blob = Self");
    if (firstPiece_ == piece) {
        firstPiece_ = piece->Next;
        if (firstPiece_) firstPiece_->Prev = nullptr;
    } else {
        if (piece->Prev) piece->Prev->Next = piece->Next;
        if (piece->Next) piece->Next->Prev = piece->Prev;
    }
    piece->Blob = nullptr;
    piece->Prev = nullptr;
    piece->Next = nullptr;
}

void TBlob::CompressPiece(PPieceHeader& piece) { ReallocPiece(piece, piece->Used); }

int32_t TBlob::PieceCount() const {
    int32_t n = 0;
    for (PPieceHeader p = firstPiece_; p; p = p->Next) ++n;
    return n;
}

void TBlob::Clear() {
    while (firstPiece_) FreePiece(firstPiece_);
}

int32_t TBlob::Size() const {
    int64_t total = 0;
    for (PPieceHeader p = firstPiece_; p; p = p->Next) total += p->Used;
    ORA_ASSERT(total <= std::numeric_limits<int32_t>::max(), "MemData", "Blob too large");
    return static_cast<int32_t>(total);
}

void TBlob::Defrag() {
    if (!firstPiece_ || !firstPiece_->Next) return;
    int32_t total = Size();
    if (total == 0) {
        Clear();
        return;
    }
    PPieceHeader merged = AllocPiece(total);
    int32_t at = 0;
    for (PPieceHeader p = firstPiece_; p; p = p->Next) {
        CopyBuffer(PieceData(p), PieceData(merged) + at, p->Used);
        at += p->Used;
    }
    merged->Used = total;
    Clear();
    AppendPiece(merged);
}

std::string TBlob::AsBytes() const {
    std::string r;
    for (PPieceHeader p = firstPiece_; p; p = p->Next) r.append(PieceData(p), static_cast<size_t>(p->Used));
    return r;
}

bool TBlob::IsCompressed() const {
    return firstPiece_ && firstPiece_->Used >= CompressedHeaderSize + 1 &&
           std::memcmp(PieceData(firstPiece_), CompressedBlobSignature, sizeof CompressedBlobSignature) == 0;
}

int32_t TBlob::UncompressedSize() const {
    ORA_ASSERT(IsCompressed(), "MemData", "IsCompressed");
    return Marshal::ReadInt32(PieceData(firstPiece_), 16);
}

bool TBlob::Compress(int32_t size) {
    CheckCompressionHooks();
    if (size < 1) return false;  // nothing to compress
    ORA_ASSERT(firstPiece_ != nullptr && firstPiece_->Used >= size, "MemData", "FFirstPiece = nil");
    int64_t capacity = static_cast<int64_t>(size) + CompressedHeaderSize + size / 5 + 12;
    ORA_ASSERT(capacity <= std::numeric_limits<int32_t>::max(), "MemData", "Blob too large");
    PPieceHeader piece = AllocPiece(static_cast<int32_t>(capacity));
    // The compressor writes after the header, so its room is the capacity
    // less the header.
    const int32_t room = static_cast<int32_t>(capacity) - CompressedHeaderSize;
    int32_t compressedLen = room;
    try {
        CompressBuffer(PieceData(piece) + CompressedHeaderSize, compressedLen, PieceData(firstPiece_), size);
    } catch (...) {
        FreePiece(piece);
        throw;
    }
    // Only a result that the stored format can carry and that is smaller
    // replaces the data: at least one compressed byte (a bare header is never
    // recognised as compressed, so the data could not be read back), no more
    // than the room given, and shorter than the data. Anything else keeps
    // the data as it is.
    if (compressedLen < 1 || compressedLen > room || compressedLen + CompressedHeaderSize >= size) {
        FreePiece(piece);
        return false;
    }
    piece->Used = compressedLen + CompressedHeaderSize;
    std::memcpy(PieceData(piece), CompressedBlobSignature, sizeof CompressedBlobSignature);
    Marshal::WriteInt32(PieceData(piece), 16, size);
    CompressPiece(piece);
    FreePiece(firstPiece_);
    AppendPiece(piece);
    modified_ = 1;
    return true;
}

void TBlob::Uncompress(void* dest, int32_t& destLen) {
    Defrag();
    ORA_ASSERT(firstPiece_ != nullptr, "MemData", "FFirstPiece = nil");
    ORA_ASSERT(firstPiece_->Next == nullptr, "MemData", "FFirstPiece.Next = nil");
    if (firstPiece_->Used < CompressedHeaderSize + 1) RaiseError(SInvalidCompressedBlobSize);
    if (std::memcmp(PieceData(firstPiece_), CompressedBlobSignature, sizeof CompressedBlobSignature) != 0)
        RaiseError(SInvalidCompressedBlobHeader);
    CheckCompressionHooks();
    UncompressBuffer(dest, destLen, PieceData(firstPiece_) + CompressedHeaderSize,
                     firstPiece_->Used - CompressedHeaderSize);
}

void TBlob::SetCompressed(bool value) {
    if (!firstPiece_ || value == IsCompressed()) return;
    if (value) {
        if (Size() <= 50) return;
        Defrag();
        Compress(Size());
        return;
    }
    CheckValid();
    PrepareUncompress();
    ORA_ASSERT(firstPiece_ != nullptr, "MemData", "FFirstPiece = nil");
    // The stored size comes from the data and may be corrupt: it must be
    // positive and no larger than the compressed bytes can expand to.
    const int32_t stored = UncompressedSize();
    const int64_t packed = static_cast<int64_t>(Size()) - CompressedHeaderSize;
    if (stored < 1 || stored > MaxExpansion * packed) RaiseError(SInvalidUncompressedBlobSize);
    PPieceHeader piece = AllocPiece(stored);
    try {
        int32_t len = piece->Size;
        Uncompress(PieceData(piece), len);
        piece->Used = len;
        if (len != piece->Size) RaiseError(SInvalidUncompressedBlobSize);
        FreePiece(firstPiece_);
        AppendPiece(piece);
    } catch (...) {
        FreePiece(piece);
        throw;
    }
    modified_ = 1;
}

// ---------------------------------------------------------------------------
// Line breaks

namespace {
template <typename Ch>
int32_t Expand(const Ch* src, Ch* dst, int32_t length) {
    int32_t out = 0;
    for (int32_t i = 0; i < length; ++i) {
        Ch c = src[i];
        if (c == 0) break;
        if (c == Ch('\r') && i + 1 < length && src[i + 1] == Ch('\n')) {
            dst[out++] = Ch('\r');
            dst[out++] = Ch('\n');
            ++i;
        } else if (c == Ch('\n')) {
            dst[out++] = Ch('\r');
            dst[out++] = Ch('\n');
        } else {
            dst[out++] = c;
        }
    }
    dst[out] = 0;
    return out;
}

template <typename Ch>
int32_t Collapse(const Ch* src, Ch* dst, int32_t length) {
    int32_t out = 0;
    int32_t i = 0;
    while (i < length && out < length) {
        if (src[i] == Ch('\r') && i + 1 < length && src[i + 1] == Ch('\n')) {
            dst[out++] = Ch('\n');
            i += 2;
        } else {
            dst[out++] = src[i++];
        }
    }
    dst[out] = 0;
    return out;
}
}  // namespace

int32_t ExpandLineBreaks(const char* s, char* d, int32_t n) { return Expand(s, d, n); }
int32_t ExpandLineBreaks(const char16_t* s, char16_t* d, int32_t n) { return Expand(s, d, n); }
int32_t CollapseLineBreaks(const char* s, char* d, int32_t n) { return Collapse(s, d, n); }
int32_t CollapseLineBreaks(const char16_t* s, char16_t* d, int32_t n) { return Collapse(s, d, n); }

// ---------------------------------------------------------------------------
// Object types

ORA_DEFINE_CLASS(TAttribute, TObject, nullptr)
ORA_DEFINE_CLASS(TObjectType, TObject, nullptr)

TObjectType::~TObjectType() {
    for (TAttribute* a : attributes_) delete a;
}

TAttribute* TObjectType::AddAttribute(std::string name, uint16_t dataType, TObjectType* objectType) {
    auto attribute = std::make_unique<TAttribute>(std::move(name), dataType, objectType);
    attributes_.push_back(attribute.get());
    return attribute.release();
}

TAttribute* TObjectType::AttributeByName(std::string_view path) const { return tms::ora::AttributeByName(this, path); }

namespace {
bool HasOwnType(uint16_t dataType) {
    return dataType == dtObject || dataType == dtReference || dataType == dtArray || dataType == dtTable;
}
}  // namespace

TAttribute* AttributeByName(const TObjectType* type, std::string_view path) {
    std::string rest = UpperCase(path);
    const TObjectType* current = type;
    for (;;) {
        if (!current) return nullptr;
        rest = Trim(rest);
        std::string name;
        bool dot = false;
        if (!rest.empty() && rest[0] == '[') {
            // element access: "[...]" optionally followed by "."
            size_t close = rest.find(']');
            if (close == std::string::npos) return nullptr;
            rest.erase(0, close + 1);
            if (!rest.empty() && rest[0] == '.') {
                rest.erase(0, 1);
                dot = true;
            }
            name = "ELEMENT";
        } else {
            size_t d = rest.find('.');
            size_t b = rest.find('[');
            if (d != std::string::npos && (b == std::string::npos || d < b)) {
                name = rest.substr(0, d);
                rest.erase(0, d + 1);
                dot = true;
            } else if (b != std::string::npos) {
                name = rest.substr(0, b);
                rest.erase(0, b);
            } else {
                name = rest;
                rest.clear();
            }
        }
        TAttribute* found = nullptr;
        for (int32_t i = 0; i < current->AttributeCount(); ++i) {
            TAttribute* a = current->Attribute(i);
            if (UpperCase(a->Name) == name) {
                found = a;
                break;
            }
        }
        if (!found) return nullptr;
        if (dot) {
            if (!HasOwnType(found->DataType)) return nullptr;
            current = found->ObjectType;
            continue;
        }
        std::string next = Trim(rest);
        if (!next.empty() && next[0] == '[') {
            current = found->ObjectType;
            continue;
        }
        return found;
    }
}

// ---------------------------------------------------------------------------
// Hooks and start-up

TOperationHook LongOperationStartHook = nullptr;
TOperationHook LongOperationEndHook = nullptr;

namespace {
TLexemeTableSlot gFilterSymbols;
TLexemeTableSlot gFilterKeywords;

const TLexemeRow kFilterSymbolRows[] = {{"=", 1}, {">", 2}, {"<", 3}, {">=", 4}, {"<=", 5}, {"<>", 6},
                                        {"(", 7}, {")", 8}, {"-", 9}, {"+", 10}, {"[", 11}, {"]", 12}};
const TLexemeRow kFilterKeywordRows[] = {{"AND", 13}, {"FALSE", 14}, {"IS", 15}, {"LIKE", 16},
                                         {"NOT", 17}, {"NULL", 18},  {"OR", 19}, {"TRUE", 20}};
}  // namespace

const TLexemeList* FilterSymbolLexemes() { return gFilterSymbols.Raw(); }
const TLexemeList* FilterKeywordLexemes() { return gFilterKeywords.Raw(); }
TLexemeListPtr SharedFilterSymbolLexemes() { return gFilterSymbols.Get(); }
TLexemeListPtr SharedFilterKeywordLexemes() { return gFilterKeywords.Get(); }

void MemDataStartup() {
    LongOperationStartHook = nullptr;
    LongOperationEndHook = nullptr;
    gFilterSymbols.Fill(kFilterSymbolRows);
    gFilterKeywords.Fill(kFilterKeywordRows);
}

void MemDataShutdown() {
    gFilterSymbols.Reset();
    gFilterKeywords.Reset();
}

}  // namespace tms::ora
