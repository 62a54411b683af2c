#include "oracle/KaParser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace tms::ora {

// ---------------------------------------------------------------------------
// Lexeme tables

namespace {
// Compares a searched text (letters a-z taken as upper-case) with a table text.
int CompareUpper(std::string_view searched, std::string_view entry) {
    size_t n = std::min(searched.size(), entry.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char a = static_cast<unsigned char>(searched[i]);
        if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 32);
        unsigned char b = static_cast<unsigned char>(entry[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    if (searched.size() == entry.size()) return 0;
    return searched.size() < entry.size() ? -1 : 1;
}
}  // namespace

void TLexemeList::Add(std::string text, int32_t code) {
    ORA_ASSERT(code >= 1, "KaParser", "Lexeme code must be positive: " + std::to_string(code));
    items_.emplace_back(std::move(text), code);
}

void TLexemeList::Sort() {
    // char_traits<char> compares bytes as unsigned values: ordinal order.
    // Stable, so the first of equal entries stays first.
    std::stable_sort(items_.begin(), items_.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
}

int32_t TLexemeList::Find(std::string_view text) const {
    size_t lo = 0, hi = items_.size();
    while (lo < hi) {  // first entry not less than text
        size_t mid = (lo + hi) / 2;
        if (CompareUpper(text, items_[mid].first) > 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < items_.size() && CompareUpper(text, items_[lo].first) == 0) return static_cast<int32_t>(lo);
    return -1;
}

TLexemeListPtr TLexemeTableSlot::Get() const {
    std::lock_guard<std::mutex> g(lock_);
    return list_;
}

void TLexemeTableSlot::Fill(std::span<const TLexemeRow> rows) {
    std::lock_guard<std::mutex> g(lock_);
    if (!list_) list_ = MakeLexemeList(rows);
}

void TLexemeTableSlot::Reset() {
    TLexemeListPtr old;
    std::lock_guard<std::mutex> g(lock_);
    old.swap(list_);  // freed here unless a lexer still holds a share
}

namespace {
TLexemeTableSlot gSymbols;
TLexemeTableSlot gKeywords;

const TLexemeRow kSymbolRows[] = {
    {"!", 1},  {"\"", 2}, {"#", 3},  {"$", 4},   {"%", 5},  {"&", 6},  {"'", 7},  {"(", 8},  {")", 9},  {"*", 10},
    {"+", 11}, {",", 12}, {"-", 13}, {".", 14},  {"/", 15}, {":", 16}, {";", 17}, {"<", 18}, {"=", 19}, {">", 20},
    {"?", 21}, {"@", 22}, {"[", 23}, {"\\", 24}, {"]", 25}, {"^", 26}, {"_", 27}, {"`", 28},
};
const TLexemeRow kKeywordRows[] = {{"AND", 29}, {"NOT", 30}, {"OR", 31}};
}  // namespace

std::unique_ptr<TLexemeList> MakeLexemeList(std::span<const TLexemeRow> rows) {
    auto list = std::make_unique<TLexemeList>();
    for (const TLexemeRow& r : rows) list->Add(r.text, r.code);
    list->Sort();
    return list;
}

const TLexemeList* ParserSymbolLexemes() { return gSymbols.Raw(); }
const TLexemeList* ParserKeywordLexemes() { return gKeywords.Raw(); }
TLexemeListPtr SharedParserSymbolLexemes() { return gSymbols.Get(); }
TLexemeListPtr SharedParserKeywordLexemes() { return gKeywords.Get(); }

void KaParserStartup() {
    gSymbols.Fill(kSymbolRows);
    gKeywords.Fill(kKeywordRows);
}

void KaParserShutdown() {
    gSymbols.Reset();
    gKeywords.Reset();
}

// ---------------------------------------------------------------------------
// TParser

ORA_DEFINE_CLASS(TParser, TObject, nullptr)

namespace {
int32_t CheckedLength(int64_t length) {
    // Positions are 32-bit and one past the end must still be representable.
    ORA_ASSERT(length >= 0 && length < std::numeric_limits<int32_t>::max() - 2, "KaParser", "Text too long");
    return static_cast<int32_t>(length);
}
}  // namespace

TParser::TParser(const std::string& text, NoInit) : text_(text) {
    textLength_ = CheckedLength(static_cast<int64_t>(text_.size()));
}

TParser::TParser(TStream* stream, NoInit) : stream_(stream) {
    ORA_ASSERT(stream != nullptr, "KaParser", "Stream = nil");
    streamOrigin_ = stream->Position();
    textLength_ = CheckedLength(stream->Size() - streamOrigin_);
}

TParser::TParser(const std::string& text) : TParser(text, NoInit{}) { Initialize(); }

TParser::TParser(TStream* stream) : TParser(stream, NoInit{}) { Initialize(); }

void TParser::Initialize() {
    TLexemeListPtr symbols = SharedParserSymbolLexemes();
    TLexemeListPtr keywords = SharedParserKeywordLexemes();
    ORA_ASSERT(symbols != nullptr && keywords != nullptr, "KaParser", "Lexeme tables are not built");
    SetLexemeTables(std::move(symbols), std::move(keywords));
    CommentBegin = "/*";
    CommentEnd = "*/";
    DecimalSeparator = FormatSettings().DecimalSeparator;
    SkipBlanks = true;
    SkipComments = false;
    UpperKeywords = true;
    KeepQuotes = false;
    KeywordsOff = false;
    AlternativeQuoting = false;
    Reset();
}

void TParser::SetLexemeTables(const TLexemeList* symbols, const TLexemeList* keywords) {
    ORA_ASSERT(symbols != nullptr && keywords != nullptr, "KaParser", "Lexeme table = nil");
    symbols_ = symbols;
    keywords_ = keywords;
    symbolsShare_.reset();
    keywordsShare_.reset();
}

void TParser::SetLexemeTables(TLexemeListPtr symbols, TLexemeListPtr keywords) {
    ORA_ASSERT(symbols != nullptr && keywords != nullptr, "KaParser", "Lexeme table = nil");
    symbols_ = symbols.get();
    keywords_ = keywords.get();
    symbolsShare_ = std::move(symbols);
    keywordsShare_ = std::move(keywords);
}

void TParser::Reset() {
    pos_ = 1;
    line_ = 1;
    lineStart_ = 1;
    scanStart_ = scanLine_ = scanLineStart_ = 1;
    prevScanStart_ = prevLine_ = prevLineStart_ = 1;
    lexStart_ = -1;
    lexLen_ = 0;
    symbolText_.clear();
    firstBlockStart_ = 1;
    curBlockStart_ = 1;
    if (stream_) {
        // Start reading the stream again from where the text began.
        blocks_.clear();
        curBlock_.clear();
        curBlockLen_ = 0;
        stream_->SetPosition(streamOrigin_);
        textLength_ = CheckedLength(stream_->Size() - streamOrigin_);
    } else {
        curBlockLen_ = textLength_;
    }
}

bool TParser::IsBlank(char c) const { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

bool TParser::IsSymbol(char ch) const {
    unsigned char c = static_cast<unsigned char>(ch);
    return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c == 96 || (c >= 123 && c <= 126);
}

bool TParser::IsAlpha(char ch) const {
    unsigned char c = static_cast<unsigned char>(ch);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

bool TParser::IsDigit(char c) const { return c >= '0' && c <= '9'; }

bool TParser::IsStringQuote(char c) const { return c == '\'' || c == '"'; }

bool TParser::IsIdentQuote(char) const { return false; }

bool TParser::IsLineComment(int32_t position) { return GetChar(position) == '/' && GetChar(position + 1) == '/'; }

bool TParser::AcceptsLexeme(int32_t code) const { return code != LexString; }

// ---------------------------------------------------------------------------
// Reading characters

char TParser::GetChar(int32_t p) {
    if (p < 1 || p > textLength_) return 0;
    if (!stream_) return text_[static_cast<size_t>(p - 1)];
    while (p >= curBlockStart_ + curBlockLen_) {
        if (!ReadNextBlock()) return 0;
        if (p > textLength_) return 0;
    }
    if (p >= curBlockStart_) return curBlock_[static_cast<size_t>(p - curBlockStart_)];
    return RetainedChar(p);
}

char TParser::RetainedChar(int32_t p) const {
    ORA_ASSERT(!blocks_.empty() && p >= firstBlockStart_, "KaParser", "Position before the first retained block");
    size_t index = static_cast<size_t>((p - firstBlockStart_) / BlockSize);
    size_t offset = static_cast<size_t>((p - firstBlockStart_) % BlockSize);
    ORA_ASSERT(index < blocks_.size(), "KaParser", "Position outside the retained blocks");
    return blocks_[index][offset];
}

bool TParser::ReadNextBlock() {
    // The earliest position still needed: the current lexeme's start, or the
    // current position when there is no lexeme.
    int32_t needed = lexStart_ > 0 ? std::min(lexStart_, pos_) : pos_;
    while (!blocks_.empty() && firstBlockStart_ + BlockSize <= needed) {
        blocks_.pop_front();
        firstBlockStart_ += BlockSize;
    }
    int32_t curEnd = curBlockStart_ + curBlockLen_;
    if (curBlockLen_ > 0 && needed < curEnd) {
        // The needed text starts in the current block (or before it): keep it.
        if (blocks_.empty()) firstBlockStart_ = curBlockStart_;
        blocks_.push_back(std::move(curBlock_));
    } else {
        blocks_.clear();
    }
    curBlock_.clear();
    curBlockStart_ = curEnd;
    curBlockLen_ = 0;

    int64_t remaining = static_cast<int64_t>(textLength_) - curBlockStart_ + 1;
    int32_t want = static_cast<int32_t>(std::min<int64_t>(BlockSize, std::max<int64_t>(remaining, 0)));
    curBlock_.resize(static_cast<size_t>(want));
    int32_t got = 0;
    while (got < want) {
        int32_t n = stream_->Read(curBlock_.data() + got, want - got);
        if (n <= 0) break;
        got += n;
    }
    curBlock_.resize(static_cast<size_t>(got));
    curBlockLen_ = got;
    if (got < want) textLength_ = curBlockStart_ + got - 1;  // the stream ended early
    return got > 0;
}

// A stream may end before the size it reported (a file cut short while it is
// read): the text length then shrinks when the block holding the position is
// read. Every scan step therefore asks here, after the read, whether the
// position is still inside the text.
bool TParser::InText(int32_t p) {
    if (p < 1 || p > textLength_) return false;
    if (stream_ && p >= curBlockStart_ + curBlockLen_) GetChar(p);
    return p <= textLength_;
}

bool TParser::MatchAt(int32_t position, const std::string& text) {
    if (text.empty() || !InText(position + static_cast<int32_t>(text.size()) - 1)) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (GetChar(position + static_cast<int32_t>(i)) != text[i]) return false;
    return true;
}

std::string TParser::LexemeText() const {
    if (lexStart_ < 1 || lexLen_ <= 0) return {};
    if (!stream_) return text_.substr(static_cast<size_t>(lexStart_ - 1), static_cast<size_t>(lexLen_));
    std::string r;
    r.reserve(static_cast<size_t>(lexLen_));
    for (int32_t p = lexStart_; p < lexStart_ + lexLen_; ++p) {
        if (p >= curBlockStart_)
            r += curBlock_[static_cast<size_t>(p - curBlockStart_)];
        else
            r += RetainedChar(p);
    }
    return r;
}

// ---------------------------------------------------------------------------
// Scanning

void TParser::NewLine(int32_t nextLineStart) {
    ++line_;
    lineStart_ = nextLineStart;
}

// A carriage return followed by a line feed is one line break (counted on the
// line feed); any other carriage return or line feed is one line break.
void TParser::CountLineBreak(int32_t position, char c) {
    if (c == '\n' || (c == '\r' && GetChar(position + 1) != '\n')) NewLine(position + 1);
}

void TParser::MarkScan() {
    scanStart_ = pos_;
    scanLine_ = line_;
    scanLineStart_ = lineStart_;
}

void TParser::ScanToQuoteFast(char quote) {
    if (!InText(pos_)) return;
    if (!stream_) {
        const char* base = text_.data();
        const void* hit = std::memchr(base + pos_ - 1, quote, static_cast<size_t>(textLength_ - pos_ + 1));
        pos_ = hit ? static_cast<int32_t>(static_cast<const char*>(hit) - base) + 1 : textLength_ + 1;
        return;
    }
    while (InText(pos_) && GetChar(pos_) != quote) ++pos_;
}

void TParser::ScanToQuoteCounting(char quote) {
    while (InText(pos_)) {
        char c = GetChar(pos_);
        if (c == quote) return;
        CountLineBreak(pos_, c);
        ++pos_;
    }
}

void TParser::ScanToQuote(char quote) {
    if (stream_)
        ScanToQuoteCounting(quote);
    else
        ScanToQuoteFast(quote);
}

int32_t TParser::Scan() {
    prevScanStart_ = scanStart_;
    prevLine_ = scanLine_;
    prevLineStart_ = scanLineStart_;
    lexStart_ = -1;
    lexLen_ = 0;
    symbolText_.clear();
    MarkScan();
    if (!InText(pos_)) return LexEnd;

    for (;;) {
        // Blanks
        MarkScan();
        int32_t blankStart = pos_;
        if (!SkipBlanks) lexStart_ = blankStart;
        bool blanks = false;
        while (InText(pos_)) {
            char c = GetChar(pos_);
            if (!IsBlank(c)) break;
            blanks = true;
            CountLineBreak(pos_, c);
            ++pos_;
        }
        if (blanks && !SkipBlanks) {
            lexLen_ = pos_ - blankStart;
            return LexBlank;
        }
        lexStart_ = -1;
        if (!InText(pos_)) return LexEnd;

        // Comments
        MarkScan();
        bool comment = false;
        if (IsLineComment(pos_)) {
            lexStart_ = pos_;
            while (InText(pos_)) {
                char c = GetChar(pos_);
                if (c == '\r' || c == '\n') break;
                ++pos_;
            }
            comment = true;
        } else if (MatchAt(pos_, CommentBegin)) {
            lexStart_ = pos_;
            // The end text is looked for from the first character of the
            // begin text on, so "/*/" is a whole comment.
            int32_t p = pos_;
            for (;;) {
                if (!InText(p)) {
                    pos_ = textLength_ + 1;
                    break;
                }
                if (MatchAt(p, CommentEnd)) {
                    pos_ = p + static_cast<int32_t>(CommentEnd.size());
                    break;
                }
                CountLineBreak(p, GetChar(p));
                ++p;
            }
            comment = true;
        }
        if (!comment) break;
        lexLen_ = pos_ - lexStart_;
        if (!SkipComments) return LexComment;
        lexStart_ = -1;
        lexLen_ = 0;
        if (!InText(pos_)) return LexEnd;
    }

    char c = GetChar(pos_);
    lexStart_ = pos_;
    if (IsSymbol(c) && IsStringQuote(c)) {
        ++pos_;
        if (!KeepQuotes) lexStart_ = pos_;
        ScanToQuote(c);
        lexLen_ = pos_ - lexStart_;
        if (InText(pos_)) {  // the closing quote
            ++pos_;
            if (KeepQuotes) ++lexLen_;
        }
        return LexString;
    }
    if (IsSymbol(c) && IsIdentQuote(c)) {
        ++pos_;
        ScanToQuote(c);
        if (InText(pos_)) ++pos_;
        lexLen_ = pos_ - lexStart_;
        return LexIdentifier;
    }
    if (IsSymbol(c)) {
        std::string s(1, c);
        int32_t index = symbols_->Find(s);
        if (index < 0) {
            ++pos_;
            lexLen_ = 1;
            return LexSymbol;
        }
        int32_t n = 1;
        for (;;) {
            char next = GetChar(pos_ + n);
            if (!IsSymbol(next)) break;
            std::string grown = s + next;
            int32_t g = symbols_->Find(grown);
            if (g < 0) break;
            s = std::move(grown);
            index = g;
            ++n;
        }
        pos_ += n;
        lexLen_ = n;
        int32_t code = symbols_->Code(index);
        ORA_ASSERT(code >= 1, "KaParser", "Symbol code below 1");
        symbolText_ = symbols_->Text(index);
        return code;
    }
    if (IsAlpha(c) || c == '_') {
        ++pos_;
        for (;;) {
            char n = GetChar(pos_);
            if (IsAlpha(n) || IsDigit(n) || n == '_')
                ++pos_;
            else
                break;
        }
        if (AlternativeQuoting && pos_ - lexStart_ == 1 && (c == 'q' || c == 'Q') && InText(pos_) &&
            IsStringQuote(GetChar(pos_))) {
            ScanAlternativeQuote();
            return LexString;
        }
        lexLen_ = pos_ - lexStart_;
        return LexIdentifier;
    }
    if (IsDigit(c)) {
        while (IsDigit(GetChar(pos_))) ++pos_;
        if (GetChar(pos_) == DecimalSeparator && IsDigit(GetChar(pos_ + 1))) {
            ++pos_;
            while (IsDigit(GetChar(pos_))) ++pos_;
        }
        lexLen_ = pos_ - lexStart_;
        return LexNumber;
    }
    lexStart_ = -1;
    const unsigned char code = static_cast<unsigned char>(c);
    // The message holds the character itself, a NUL too (what() shows a NUL
    // as "#0").
    throw Exception("Parser: The unknown symbol '" + std::string(1, c) + "'  $" + IntToHex(code, 4));
}

// q'<open> ... <close>' : the position stands on the quote after q. A text
// that ends before the closing pair makes the rest of the text the string.
void TParser::ScanAlternativeQuote() {
    const char quote = GetChar(pos_);
    const int32_t openPos = pos_ + 1;
    bool closed = false;
    int32_t p = openPos;
    if (InText(openPos)) {
        char open = GetChar(openPos);
        char close = open;
        switch (open) {
        case '(': close = ')'; break;
        case '<': close = '>'; break;
        case '[': close = ']'; break;
        case '{': close = '}'; break;
        default: break;
        }
        CountLineBreak(openPos, open);
        for (p = openPos + 1; InText(p); ++p) {
            char ch = GetChar(p);
            if (ch == close && InText(p + 1) && GetChar(p + 1) == quote) {
                // The closing character can itself be a line break
                // (q'<LF>...<LF>'): it counts like every other one.
                CountLineBreak(p, ch);
                closed = true;
                break;
            }
            CountLineBreak(p, ch);
        }
    }
    const int32_t end = closed ? p + 2 : textLength_ + 1;  // just after the lexeme
    pos_ = end;
    if (KeepQuotes) {
        lexLen_ = end - lexStart_;
    } else if (closed) {
        if (end - lexStart_ <= 5) {
            lexLen_ = 0;
        } else {
            lexStart_ += 3;
            lexLen_ = end - 2 - lexStart_;
        }
    } else {
        int32_t s = std::min(lexStart_ + 3, end);
        lexStart_ = s;
        lexLen_ = end - s;
    }
}

int32_t TParser::GetNext(std::string& lexeme) {
    int32_t code = Scan();
    if (code > 0) {
        ORA_ASSERT(!symbolText_.empty(), "KaParser", "Symbol text is empty");
        lexeme = symbolText_;
    } else {
        lexeme = LexemeText();
    }
    if (code == LexIdentifier && !KeywordsOff) {
        int32_t index = keywords_->Find(lexeme);
        if (index >= 0) {
            code = keywords_->Code(index);
            ORA_ASSERT(code >= 1, "KaParser", "Keyword code below 1");
            if (UpperKeywords) lexeme = UpperCase(lexeme);
        }
    }
    return code;
}

}  // namespace tms::ora
