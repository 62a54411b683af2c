// The library base: raw memory, growable text, shared objects, blob pieces
// and their compressed format, line breaks, attribute paths and the message
// tables.

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/MemData.h"
#include "oracle/MemUtils.h"
#include "oracle/OraConsts.h"
#include "tests/oracle/OraBlobSupport.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

// ---------------------------------------------------------------------------

TEST(Marshal, ReadsAndWritesAtUnalignedOffsets) {
    void* p = Marshal::AllocHGlobal(32);
    Marshal::WriteByte(p, 0xAB);
    Marshal::WriteInt16(p, 1, -2);
    Marshal::WriteInt32(p, 3, 0x12345678);
    Marshal::WriteInt64(p, 7, -5000000000LL);
    int marker = 0;
    Marshal::WriteIntPtr(p, 15, &marker);
    EXPECT_EQ(Marshal::ReadByte(p), 0xAB);
    EXPECT_EQ(Marshal::ReadInt16(p, 1), -2);
    EXPECT_EQ(Marshal::ReadInt32(p, 3), 0x12345678);
    EXPECT_EQ(Marshal::ReadInt64(p, 7), -5000000000LL);
    EXPECT_EQ(Marshal::ReadIntPtr(p, 15), &marker);
    // little-endian layout
    EXPECT_EQ(Marshal::ReadByte(p, 3), 0x78);
    Marshal::WriteInt32(p, 7);
    Marshal::WriteInt16(p, 9);
    EXPECT_EQ(Marshal::ReadInt16(p), 9);
    p = Marshal::ReAllocHGlobal(p, 4096);
    EXPECT_EQ(Marshal::ReadInt16(p), 9);
    Marshal::FreeHGlobal(p);
}

TEST(Marshal, StringsAndCopies) {
    const char text[] = "abc\0def";
    EXPECT_EQ(Marshal::PtrToStringAnsi(text, 0), "abc");
    EXPECT_EQ(Marshal::PtrToStringAnsi(text, -1), "abc");
    EXPECT_EQ(Marshal::PtrToStringAnsi(text, 7), std::string("abc\0def", 7));
    EXPECT_EQ(Marshal::PtrToStringAnsi(nullptr, 0), "");
    const char16_t wide[] = u"中文\0x";
    EXPECT_EQ(Marshal::PtrToStringUni(wide, 0), u"中文");
    EXPECT_EQ(Marshal::PtrToStringUni(wide, 4), std::u16string(u"中文\0x", 4));

    std::string s = "shared";
    EXPECT_EQ(Marshal::StringToHGlobalAnsi(s), s.data());  // no copy
    std::u16string w = u"w";
    EXPECT_EQ(Marshal::StringToHGlobalUni(w), w.data());

    std::vector<uint8_t> bytes{1, 2, 3, 4, 5};
    uint8_t raw[8] = {};
    Marshal::Copy(bytes, 1, raw, 3);
    EXPECT_EQ(raw[0], 2);
    EXPECT_EQ(raw[2], 4);
    std::vector<uint8_t> back(5, 0);
    Marshal::Copy(raw, back, 2, 3);
    EXPECT_EQ(back, (std::vector<uint8_t>{0, 0, 2, 3, 4}));
    Marshal::Copy(bytes, 99, raw, 0);  // nothing to copy
    EXPECT_THROW(Marshal::Copy(bytes, 3, raw, 3), ERangeError);
    EXPECT_THROW(Marshal::Copy(raw, back, 4, 2), ERangeError);
}

TEST(BitConverter, ReinterpretsTheEightBytes) {
    EXPECT_EQ(BitConverter::DoubleToInt64Bits(1.0), 0x3FF0000000000000LL);
    EXPECT_EQ(BitConverter::Int64BitsToDouble(0x4000000000000000LL), 2.0);
    EXPECT_EQ(BitConverter::DoubleToInt64Bits(BitConverter::Int64BitsToDouble(-123456789)), -123456789);
}

TEST(StringBuilder, GrowsByTheTextAndHalfTheOldCapacity) {
    StringBuilder b(4);
    EXPECT_EQ(b.Capacity(), 4);
    b.Append("ab");
    EXPECT_EQ(b.Capacity(), 4);
    b.Append("cde");  // 3 > 2 free: 2 + 3 + 4 div 2
    EXPECT_EQ(b.Capacity(), 7);
    EXPECT_EQ(b.Length(), 5);
    b.Append("");
    EXPECT_EQ(b.Length(), 5);
    b.Append("fg");  // fits exactly
    EXPECT_EQ(b.Capacity(), 7);
    b.Append("h");  // 7 + 1 + 7 div 2
    EXPECT_EQ(b.Capacity(), 11);
    EXPECT_EQ(b.ToString(), "abcdefgh");
    StringBuilder z(0);
    z.Append("xyz");
    EXPECT_EQ(z.Capacity(), 3);
    EXPECT_EQ(z.ToString(), "xyz");
}

TEST(MemUtils, BufferRoutines) {
    char buf[8] = "abcdefg";
    CopyBuffer(buf, buf + 2, 4);  // overlapping
    EXPECT_STREQ(buf, "ababcdg");
    FillChar(buf, 3, 'z');
    EXPECT_STREQ(buf, "zzzbcdg");
    std::string s;
    char* p = SetStringLength(s, 5);
    std::memcpy(p, "hello", 5);
    EXPECT_EQ(s, "hello");
}

// ---------------------------------------------------------------------------
// Shared objects

class Counted : public TSharedObject {
public:
    explicit Counted(std::atomic<int>* destroyed) : destroyed_(destroyed) {}
    void ForceCount(int32_t n) { refCount_ = n; }

protected:
    ~Counted() override { ++*destroyed_; }

private:
    std::atomic<int>* destroyed_;
};

TEST(SharedObject, CountsReferencesAndEndsWithTheLast) {
    std::atomic<int> destroyed{0};
    auto* o = new Counted(&destroyed);
    EXPECT_EQ(o->RefCount(), 1);
    o->AddRef();
    EXPECT_EQ(o->RefCount(), 2);
    o->Release();
    EXPECT_EQ(o->RefCount(), 1);
    EXPECT_EQ(destroyed, 0);
    o->Free();
    EXPECT_EQ(destroyed, 1);
    TSharedObject::Release(nullptr);  // an empty reference does nothing
}

TEST(SharedObject, ReleasingAtCountZeroIsAnAssertion) {
    std::atomic<int> destroyed{0};
    auto* o = new Counted(&destroyed);
    o->ForceCount(0);
    try {
        o->Release();
        ADD_FAILURE() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Text(), "TSharedObject.Free RefCount = 0");
        EXPECT_EQ(e.Module(), "MemData");
    }
    EXPECT_EQ(o->RefCount(), 0);  // left as it was
    o->ForceCount(-3);
    try {
        o->Release();
        ADD_FAILURE() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Text(), "TSharedObject.Free RefCount = -3");
    }
    o->ForceCount(1);
    o->Release();
    EXPECT_EQ(destroyed, 1);
}

TEST(SharedObject, CountsSharedAcrossThreadsStayExact) {
    std::atomic<int> destroyed{0};
    auto* o = new Counted(&destroyed);
    constexpr int kThreads = 8, kRounds = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([o] {
            for (int i = 0; i < kRounds; ++i) {
                o->AddRef();
                o->AddRef();
                o->Release();
                o->Release();
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(o->RefCount(), 1);
    EXPECT_EQ(destroyed, 0);

    // many holders dropping their references at once destroy it exactly once
    for (int t = 0; t < kThreads; ++t) o->AddRef();
    threads.clear();
    for (int t = 0; t < kThreads; ++t) threads.emplace_back([o] { o->Release(); });
    o->Release();
    for (auto& t : threads) t.join();
    EXPECT_EQ(destroyed, 1);
}

// ---------------------------------------------------------------------------
// Blob pieces

// A blob that lives on the stack for a test (the library's blobs end
// through Release).
class TestBlob : public TBlob {
public:
    ~TestBlob() override = default;
    using TBlob::Compress;

    void Put(const std::string& bytes, int32_t pieceSize) { oratest::PutPieces(*this, bytes, pieceSize); }
};

std::vector<PPieceHeader> Chain(const TBlob& b) {
    std::vector<PPieceHeader> v;
    for (PPieceHeader p = b.FirstPiece(); p; p = p->Next) v.push_back(p);
    return v;
}

// Links of a chain agree both ways and every piece names its blob.
void ExpectSoundChain(const TBlob& b) {
    PPieceHeader prev = nullptr;
    for (PPieceHeader p = b.FirstPiece(); p; p = p->Next) {
        EXPECT_EQ(p->Prev, prev);
        EXPECT_EQ(p->Blob, &b);
        prev = p;
    }
}

TEST(BlobPieces, ChainLinksThroughAppendDeleteFreeAndRealloc) {
    TestBlob b;
    EXPECT_EQ(b.Marker(), 0xDD);
    PPieceHeader a = b.AllocPiece(10);
    EXPECT_EQ(a->Size, 10);
    EXPECT_EQ(a->Used, 0);
    EXPECT_EQ(a->Blob, nullptr);
    EXPECT_EQ(a->Prev, nullptr);
    EXPECT_EQ(a->Next, nullptr);
    PPieceHeader c = b.AllocPiece(20);
    PPieceHeader d = b.AllocPiece(30);
    b.AppendPiece(a);
    b.AppendPiece(c);
    b.AppendPiece(d);
    EXPECT_EQ(Chain(b), (std::vector<PPieceHeader>{a, c, d}));
    ExpectSoundChain(b);

    // moving a middle piece re-points its neighbours
    c->Used = 20;
    b.ReallocPiece(c, 5000);
    EXPECT_EQ(c->Size, 5000);
    EXPECT_EQ(c->Used, 20);
    EXPECT_EQ(Chain(b), (std::vector<PPieceHeader>{a, c, d}));
    ExpectSoundChain(b);
    b.ReallocPiece(c, 8);
    EXPECT_EQ(c->Used, 8);  // lowered to the new size
    // moving the first piece re-points the blob
    b.ReallocPiece(a, 4096);
    EXPECT_EQ(b.FirstPiece(), a);
    ExpectSoundChain(b);

    b.DeletePiece(c);
    EXPECT_EQ(c->Blob, nullptr);
    EXPECT_EQ(Chain(b), (std::vector<PPieceHeader>{a, d}));
    ExpectSoundChain(b);
    b.DeletePiece(a);
    EXPECT_EQ(b.FirstPiece(), d);
    EXPECT_EQ(d->Prev, nullptr);

    // a piece outside any chain never takes over the first-piece pointer
    b.ReallocPiece(c, 4000);
    EXPECT_EQ(b.FirstPiece(), d);
    EXPECT_EQ(Chain(b), (std::vector<PPieceHeader>{d}));

    b.FreePiece(d);  // unlinks, then frees
    EXPECT_EQ(b.FirstPiece(), nullptr);
    b.FreePiece(c);
    b.ReallocPiece(a, 0);  // size 0 frees and empties the reference
    EXPECT_EQ(a, nullptr);
}

TEST(BlobPieces, AssertionsGuardTheChain) {
    TestBlob b, other;
    try {
        b.AllocPiece(0);
        ADD_FAILURE();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Module(), "MemData");
    }
    PPieceHeader p = b.AllocPiece(4);
    other.AppendPiece(p);
    EXPECT_THROW(b.DeletePiece(p), EAssertionFailed);  // not this blob's piece
    EXPECT_THROW(b.AppendPiece(p), EAssertionFailed);  // already in a chain
    other.Clear();
    EXPECT_EQ(other.FirstPiece(), nullptr);
}

TEST(BlobPieces, CompressPieceShrinksToUsedAndDefragMerges) {
    TestBlob b;
    b.Put("abcdefghij", 4);
    EXPECT_EQ(b.PieceCount(), 3);
    EXPECT_EQ(b.Size(), 10);
    PPieceHeader last = Chain(b).back();
    EXPECT_EQ(last->Used, 2);
    b.CompressPiece(last);
    EXPECT_EQ(last->Size, 2);
    ExpectSoundChain(b);
    b.Defrag();
    EXPECT_EQ(b.PieceCount(), 1);
    EXPECT_EQ(b.AsBytes(), "abcdefghij");
    EXPECT_EQ(b.FirstPiece()->Size, 10);
}

// ---------------------------------------------------------------------------
// Compression framing, with stand-in hooks

struct HookState {
    int32_t compressRoom = 0;
    int32_t forcedLength = -1;  // >= 0: the compressor writes this many bytes
    int32_t reportedSize = -1;  // >= 0: the decompressor reports this size
};
HookState gHooks;

// Run-length pairs (count, byte).
void RleCompress(void* dest, int32_t& destLen, const void* source, int32_t sourceLen) {
    gHooks.compressRoom = destLen;
    auto* out = static_cast<uint8_t*>(dest);
    if (gHooks.forcedLength >= 0) {
        std::memset(out, 0x55, static_cast<size_t>(std::min(gHooks.forcedLength, destLen)));
        destLen = gHooks.forcedLength;
        return;
    }
    oratest::RlePack(dest, destLen, source, sourceLen);  // out of room: reports what fits
}

void RleUncompress(void* dest, int32_t& destLen, const void* source, int32_t sourceLen) {
    oratest::RleUnpack(dest, destLen, source, sourceLen);
    if (gHooks.reportedSize >= 0) destLen = gHooks.reportedSize;
}

class BlobCompression : public ::testing::Test {
protected:
    void SetUp() override {
        gHooks = HookState{};
        CompressProc = RleCompress;
        UncompressProc = RleUncompress;
    }
    void TearDown() override {
        CompressProc = nullptr;
        UncompressProc = nullptr;
    }
};

TEST_F(BlobCompression, CompressedFormatHasSignatureSizeAndData) {
    TestBlob b;
    b.Put(std::string(60, 'a') + std::string(40, 'b'), 30);  // four pieces
    b.SetCompressed(true);
    ASSERT_TRUE(b.IsCompressed());
    EXPECT_TRUE(b.Modified());
    EXPECT_EQ(b.PieceCount(), 1);
    EXPECT_EQ(b.UncompressedSize(), 100);
    // room after the header: 100 + 20 + 100 div 5 + 12, less the header
    EXPECT_EQ(gHooks.compressRoom, 132);
    const std::string stored = b.AsBytes();
    const uint8_t signature[16] = {0x39, 0x8C, 0x9D, 0xF1, 0x58, 0x55, 0x49, 0x38,
                                   0xA6, 0x52, 0x87, 0xCE, 0xE0, 0xC6, 0xDA, 0x7E};
    ASSERT_EQ(stored.size(), 24u);
    EXPECT_EQ(std::memcmp(stored.data(), signature, 16), 0);
    EXPECT_EQ(stored.substr(16, 4), std::string("\x64\x00\x00\x00", 4));
    EXPECT_EQ(stored.substr(20), std::string("\x3C"
                                             "a"
                                             "\x28"
                                             "b",
                                             4));
    EXPECT_EQ(b.FirstPiece()->Size, 24);  // shrunk to what it holds

    b.SetModified(false);
    b.SetCompressed(false);
    EXPECT_FALSE(b.IsCompressed());
    EXPECT_TRUE(b.Modified());
    EXPECT_EQ(b.AsBytes(), std::string(60, 'a') + std::string(40, 'b'));
    EXPECT_EQ(b.PieceCount(), 1);
    b.SetCompressed(false);  // already so: nothing happens
    EXPECT_EQ(b.PieceCount(), 1);
}

TEST_F(BlobCompression, SmallOrIncompressibleBlobsStayAsTheyAre) {
    TestBlob fifty;
    fifty.Put(std::string(50, 'a'), 64);
    fifty.SetCompressed(true);
    EXPECT_FALSE(fifty.IsCompressed());
    EXPECT_FALSE(fifty.Modified());

    // 51 bytes: compressed only when the result plus the header is below 51
    TestBlob edge;
    edge.Put(std::string(51, 'x'), 64);
    gHooks.forcedLength = 31;
    edge.SetCompressed(true);
    EXPECT_FALSE(edge.IsCompressed());
    EXPECT_EQ(edge.AsBytes(), std::string(51, 'x'));
    gHooks.forcedLength = 30;
    edge.SetCompressed(true);
    EXPECT_TRUE(edge.IsCompressed());
    EXPECT_EQ(edge.FirstPiece()->Used, 50);

    gHooks.forcedLength = -1;
    TestBlob mixed;
    std::string noise;
    for (int i = 0; i < 80; ++i) noise += static_cast<char>('a' + i % 26);
    mixed.Put(noise, 16);
    mixed.SetCompressed(true);
    EXPECT_FALSE(mixed.IsCompressed());
    EXPECT_EQ(mixed.AsBytes(), noise);
    EXPECT_FALSE(mixed.Modified());

    TestBlob empty;
    empty.SetCompressed(true);  // no piece: nothing happens
    EXPECT_EQ(empty.FirstPiece(), nullptr);
}

TEST_F(BlobCompression, FaultsLeaveTheBlobIntact) {
    TestBlob b;
    b.Put(std::string(100, 'q'), 100);
    gHooks.forcedLength = 500;  // a compressor claiming more than its room
    b.SetCompressed(true);      // is not trusted: the data stay as they are
    EXPECT_FALSE(b.IsCompressed());
    EXPECT_FALSE(b.Modified());
    EXPECT_EQ(b.AsBytes(), std::string(100, 'q'));
    gHooks.forcedLength = -1;
    b.SetCompressed(true);
    ASSERT_TRUE(b.IsCompressed());
    const std::string packed = b.AsBytes();

    gHooks.reportedSize = 99;
    try {
        b.SetCompressed(false);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid uncompressed blob size");
    }
    EXPECT_TRUE(b.IsCompressed());
    EXPECT_EQ(b.AsBytes(), packed);
}

TEST_F(BlobCompression, ResultsTheFormatCannotCarryKeepTheData) {
    // A compressor that writes nothing would leave a bare 20-byte header,
    // which is never recognised as compressed: the data must stay.
    TestBlob zero;
    zero.Put(std::string(100, 'z'), 64);
    gHooks.forcedLength = 0;
    zero.SetCompressed(true);
    EXPECT_FALSE(zero.IsCompressed());
    EXPECT_FALSE(zero.Modified());
    EXPECT_EQ(zero.AsBytes(), std::string(100, 'z'));

    // nothing to compress: no call of the compressor, nothing changes
    gHooks = HookState{};
    TestBlob empty;
    PPieceHeader p = empty.AllocPiece(8);
    empty.AppendPiece(p);
    EXPECT_FALSE(empty.Compress(0));
    EXPECT_EQ(gHooks.compressRoom, 0);
    EXPECT_EQ(empty.FirstPiece(), p);
}

TEST_F(BlobCompression, RoundTripsReturnTheOriginalBytes) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int n : {1, 2, 20, 21, 50, 51, 52, 70, 71, 100, 1000, 4099}) {
        for (int runs : {1, 3, 40}) {
            std::string data;
            while (static_cast<int>(data.size()) < n) data.append(1 + next() % runs, static_cast<char>(next() % 4));
            data.resize(static_cast<size_t>(n));
            for (int32_t piece : {1, 7, 64, 5000}) {
                TestBlob b;
                b.Put(data, piece);
                b.SetCompressed(true);
                b.SetCompressed(false);
                EXPECT_EQ(b.AsBytes(), data) << n << " bytes, runs " << runs << ", pieces of " << piece;
            }
        }
    }
}

TEST_F(BlobCompression, CorruptStoredSizeRaisesTheBlobError) {
    TestBlob good;
    good.Put(std::string(300, 'r'), 300);
    good.SetCompressed(true);
    ASSERT_TRUE(good.IsCompressed());
    const std::string packed = good.AsBytes();  // 20 + 4 bytes

    // 0, negative, more than 24 - 20 bytes can expand to, the largest value
    for (int32_t size : {0, -1, -300, 4 * 1032 + 1, 0x7FFFFFFF}) {
        TestBlob b;
        std::string bytes = packed;
        std::memcpy(bytes.data() + 16, &size, 4);
        b.Put(bytes, 64);
        ASSERT_TRUE(b.IsCompressed());
        try {
            b.SetCompressed(false);
            ADD_FAILURE() << size;
        } catch (const EAssertionFailed& e) {
            ADD_FAILURE() << size << ": " << e.what();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Invalid uncompressed blob size") << size;
        }
        EXPECT_EQ(b.AsBytes(), bytes);
    }
    // the largest size the bytes can stand for is accepted (and then found
    // wrong by the decompressor's own count)
    TestBlob edge;
    std::string bytes = packed;
    const int32_t most = 4 * 1032;
    std::memcpy(bytes.data() + 16, &most, 4);
    edge.Put(bytes, 64);
    EXPECT_THROW(edge.SetCompressed(false), Exception);
}

TEST(BlobCompressionHooks, EmptyHooksRaiseTheirTexts) {
    ASSERT_EQ(CompressProc, nullptr);
    ASSERT_EQ(UncompressProc, nullptr);
    TestBlob b;
    b.Put(std::string(51, 'z'), 64);
    try {
        b.SetCompressed(true);
        ADD_FAILURE();
    } catch (const EAssertionFailed&) {
        ADD_FAILURE() << "the hook check comes first";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Compressor function is not linked");
    }
    EXPECT_FALSE(b.IsCompressed());
    EXPECT_EQ(b.AsBytes(), std::string(51, 'z'));

    CompressProc = RleCompress;  // the decompressor is still missing
    try {
        CheckCompressionHooks();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Uncompressor function is not linked");
    }
    CompressProc = nullptr;

    int32_t len = 0;
    try {
        CompressBuffer(nullptr, len, nullptr, 0);
        ADD_FAILURE();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Text(), "Compressor function is not linked");
        EXPECT_EQ(e.Module(), "MemUtils");
    }
    try {
        UncompressBuffer(nullptr, len, nullptr, 0);
        ADD_FAILURE();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Text(), "Uncompressor function is not linked");
    }

    // a blob that only looks compressed still cannot be read back
    TestBlob looks;
    std::string framed(reinterpret_cast<const char*>(CompressedBlobSignature), 16);
    framed += std::string("\x10\x00\x00\x00", 4) + "xx";
    looks.Put(framed, 64);
    ASSERT_TRUE(looks.IsCompressed());
    EXPECT_EQ(looks.UncompressedSize(), 16);
    try {
        looks.SetCompressed(false);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Compressor function is not linked");
    }
    EXPECT_TRUE(looks.IsCompressed());
}

// ---------------------------------------------------------------------------
// Line breaks

TEST(LineBreaks, ExpandAndCollapseBothWidths) {
    char out[32];
    EXPECT_EQ(ExpandLineBreaks("a\nb", out, 3), 4);
    EXPECT_EQ(std::string(out), "a\r\nb");
    EXPECT_EQ(ExpandLineBreaks("a\r\nb", out, 4), 4);
    EXPECT_EQ(std::string(out), "a\r\nb");
    EXPECT_EQ(ExpandLineBreaks("\n\n\r", out, 3), 5);
    EXPECT_EQ(std::string(out), "\r\n\r\n\r");
    EXPECT_EQ(ExpandLineBreaks("a\0\nb", out, 4), 1);  // a zero ends the walk
    EXPECT_EQ(std::string(out), "a");

    EXPECT_EQ(CollapseLineBreaks("a\r\nb\r\n", out, 6), 4);
    EXPECT_EQ(std::string(out), "a\nb\n");
    EXPECT_EQ(CollapseLineBreaks("a\rb\n", out, 4), 4);
    EXPECT_EQ(std::string(out), "a\rb\n");
    EXPECT_EQ(CollapseLineBreaks("x\r", out, 2), 2);
    EXPECT_EQ(std::string(out), "x\r");

    char16_t w[32];
    EXPECT_EQ(ExpandLineBreaks(u"行\n尾", w, 3), 4);
    EXPECT_EQ(std::u16string(w), u"行\r\n尾");
    EXPECT_EQ(CollapseLineBreaks(u"行\r\n尾", w, 4), 3);
    EXPECT_EQ(std::u16string(w), u"行\n尾");
}

// ---------------------------------------------------------------------------
// Attribute paths

class AttributePaths : public ::testing::Test {
protected:
    AttributePaths() : root("ROOT"), a("TA"), b("TB"), e("TE") {
        root.AddAttribute("A", dtObject, &a);
        root.AddAttribute("N", 4);
        a.AddAttribute("B", dtArray, &b);
        a.AddAttribute("R", dtReference, &e);
        b.AddAttribute("ELEMENT", dtObject, &e);
        e.AddAttribute("C", 1);
        e.AddAttribute("Deep", dtTable, &b);
    }
    TObjectType root, a, b, e;
};

TEST_F(AttributePaths, WalksNamesDotsAndElements) {
    TAttribute* c = e.Attribute(0);
    EXPECT_EQ(root.AttributeByName("A.B[1].C"), c);
    EXPECT_EQ(root.AttributeByName("a.b[1].c"), c);
    EXPECT_EQ(root.AttributeByName("  A.B[ 7 ].C  "), c);
    EXPECT_EQ(root.AttributeByName("A.B[1]"), b.Attribute(0));
    EXPECT_EQ(root.AttributeByName("A.B"), a.Attribute(0));
    EXPECT_EQ(root.AttributeByName("A.R.C"), c);
    EXPECT_EQ(root.AttributeByName("A.B[1].Deep[2].C"), c);
    EXPECT_EQ(root.AttributeByName("N"), root.Attribute(1));
}

TEST_F(AttributePaths, MissingOrWrongPartsGiveNothing) {
    EXPECT_EQ(root.AttributeByName("A.X"), nullptr);
    EXPECT_EQ(root.AttributeByName("A.B[1"), nullptr);  // no "]"
    EXPECT_EQ(root.AttributeByName("N.C"), nullptr);    // not an object kind
    EXPECT_EQ(root.AttributeByName("N[1]"), nullptr);   // no own type
    EXPECT_EQ(root.AttributeByName("A.B[1][2]"), nullptr);
    EXPECT_EQ(root.AttributeByName(""), nullptr);
    EXPECT_EQ(root.AttributeByName("A."), nullptr);
    EXPECT_EQ(AttributeByName(nullptr, "A"), nullptr);
}

// ---------------------------------------------------------------------------
// Message tables

TEST(Messages, TheTwoTablesHoldTheirExactTexts) {
    const std::vector<std::string> da = {"Data type is not supported",
                                         "Cannot convert type",
                                         "Invalid BLOB",
                                         "Invalid uncompressed blob size",
                                         "Invalid compressed blob size",
                                         "Invalid compressed blob header",
                                         "Invalid compressed blob data",
                                         "Unknown type of parameter %s",
                                         "Maximum connections reached in pool",
                                         "Compressor function is not linked",
                                         "Uncompressor function is not linked",
                                         "Unknown data type"};
    ASSERT_EQ(DAConstsMessages().size(), da.size());
    for (size_t i = 0; i < da.size(); ++i) EXPECT_EQ(DAConstsMessages()[i], da[i]);

    const std::vector<std::string> ora = {"Session is not defined",
                                          "Session is not connected",
                                          "Index of array is not range",
                                          "Cursor must be opened",
                                          "%s parameter must be array with length %d",
                                          "Too many Input params",
                                          "Not enough Input params",
                                          "Too many Output params",
                                          "Not enough Output params",
                                          "Object is not allocated",
                                          "Session must be Thread Safety",
                                          "Lob is not allocated",
                                          "OCISvcCtx is not defined",
                                          "Lob parameter should be Input or Output",
                                          "Lob locator should be inited",
                                          "Invalid interval.",
                                          "OCI pooling is not supported in Direct mode",
                                          "OCI pooling is supported starting with OCI 9.2",
                                          "MTS pooling is not supported in Direct mode",
                                          "Statement cache is not supported in Direct mode",
                                          "Operations for change notification subscription cannot be empty set",
                                          "Change notification is not supported in Direct mode",
                                          "OCI 10.2 or greater is needed for change notification",
                                          "Change notification is supported starting with Oracle 10.2"};
    ASSERT_EQ(OraConstsMessages().size(), ora.size());
    for (size_t i = 0; i < ora.size(); ++i) EXPECT_EQ(OraConstsMessages()[i], ora[i]);

    EXPECT_EQ(Format(SArrayParam, {std::string("P1"), int64_t{2}}), "P1 parameter must be array with length 2");
    EXPECT_EQ(Format(SUnknownParamType, {std::string("X")}), "Unknown type of parameter X");
}

}  // namespace
