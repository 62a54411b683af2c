// Fuzz target for the data-access library's lexers and blob pieces, for
// libFuzzer (clang -fsanitize=fuzzer). The first input byte picks what is
// fed; the rest is the data.
//
// Lexers: the text is lexed by the base and the Oracle lexer, once from
// memory and once from a stream read in small chunks; both must give the
// same lexemes, texts, positions and errors (lines are not compared: the
// in-memory string scan does not count line breaks, the stream scan does).
// Blob pieces: the data are spread over pieces, compressed and uncompressed
// again and must come back unchanged; and the data taken as a stored
// compressed blob must either uncompress or raise the library's own error,
// never an assertion, a crash or an outsized allocation.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "oracle/KaParser.h"
#include "oracle/MemData.h"
#include "oracle/MemUtils.h"
#include "oracle/OraModules.h"
#include "oracle/OraParser.h"
#include "tests/oracle/OraBlobSupport.h"

using namespace tms::ora;

namespace {

class ChunkedStream : public TStream {
public:
    ChunkedStream(std::string data, int32_t chunk) : inner_(std::move(data)), chunk_(chunk < 1 ? 1 : chunk) {}
    int32_t Read(void* buffer, int32_t count) override { return inner_.Read(buffer, count < chunk_ ? count : chunk_); }
    int64_t Size() const override { return inner_.Size(); }
    int64_t Position() const override { return inner_.Position(); }
    void SetPosition(int64_t p) override { inner_.SetPosition(p); }

private:
    TStringStream inner_;
    int32_t chunk_;
};

struct Stop {
    int32_t code;
    std::string text;
    int32_t pos;
    bool operator==(const Stop&) const = default;
};

std::vector<Stop> Walk(TParser& p, bool keepQuotes, bool skipComments) {
    p.KeepQuotes = keepQuotes;
    p.SkipComments = skipComments;
    std::vector<Stop> out;
    for (int guard = 0; guard < 1 << 20; ++guard) {
        std::string t;
        int32_t code;
        try {
            code = p.GetNext(t);
        } catch (const EAssertionFailed&) {
            std::abort();  // an internal check must never fire on any text
        } catch (const Exception& e) {
            out.push_back({-1, e.Message(), p.CurrPos()});
            return out;
        }
        if (p.CurrPos() < 1 || p.CurrPos() > p.TextLength() + 1) std::abort();
        out.push_back({code, t, p.CurrPos()});
        if (code == LexEnd) return out;
    }
    std::abort();  // no progress
}

void FuzzLexers(const std::string& text, uint8_t flags) {
    const bool keep = flags & 1, skip = flags & 2;
    const int32_t chunk = 1 + (flags >> 2) * 97;
    {
        TParser memory(text);
        ChunkedStream s(text, chunk);
        TParser stream(&s);
        if (!(Walk(memory, keep, skip) == Walk(stream, keep, skip))) std::abort();
    }
    {
        TOraParser memory(text);
        ChunkedStream s(text, chunk);
        TOraParser stream(&s);
        if (!(Walk(memory, keep, skip) == Walk(stream, keep, skip))) std::abort();
    }
    {
        TParser filter(text);
        filter.SetLexemeTables(SharedFilterSymbolLexemes(), SharedFilterKeywordLexemes());
        Walk(filter, keep, skip);
    }
}

class FuzzBlob : public TBlob {
public:
    ~FuzzBlob() override = default;
    void Put(const std::string& bytes, int32_t pieceSize) { oratest::PutPieces(*this, bytes, pieceSize); }
};

void FuzzBlobs(const std::string& data, uint8_t flags) {
    const int32_t piece = 1 + flags * 3;
    CompressProc = oratest::RlePack;  // both sides keep to the room they are given
    UncompressProc = oratest::RleUnpack;
    try {
        // Data that happen to begin with the signature would be taken as
        // compressed; the round trip is checked on any other data.
        const bool looksCompressed = data.size() > 20 && std::memcmp(data.data(), CompressedBlobSignature, 16) == 0;
        if (!data.empty() && !looksCompressed) {
            FuzzBlob b;
            b.Put(data, piece);
            b.SetCompressed(true);
            b.SetCompressed(false);
            if (b.AsBytes() != data) std::abort();
        }
        // The same bytes behind a signature: a stored blob of any content.
        FuzzBlob stored;
        std::string bytes(reinterpret_cast<const char*>(CompressedBlobSignature), 16);
        bytes += data;
        stored.Put(bytes, piece);
        try {
            stored.SetCompressed(false);
        } catch (const EAssertionFailed&) {
            std::abort();
        } catch (const Exception&) {
            if (stored.AsBytes() != bytes) std::abort();  // a failure changes nothing
        }
    } catch (const EAssertionFailed&) {
        std::abort();
    }
    CompressProc = nullptr;
    UncompressProc = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startupModules();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    if (data[0] & 1)
        FuzzBlobs(rest, data[1]);
    else
        FuzzLexers(rest, data[1]);
    return 0;
}
