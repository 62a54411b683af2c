#pragma once
// The table-driven SQL lexer: lexeme tables and the base lexer TParser.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "oracle/OraPlatform.h"

namespace tms::ora {

// Lexeme codes besides the positive table codes.
constexpr int32_t LexEnd = 0;
constexpr int32_t LexSymbol = -102;      // a symbol character not in the symbol table
constexpr int32_t LexIdentifier = -103;  // a word that is no keyword, or a quoted identifier
constexpr int32_t LexNumber = -105;
constexpr int32_t LexString = -106;
constexpr int32_t LexBlank = -107;    // only when blanks are not skipped
constexpr int32_t LexComment = -108;  // only when comments are not skipped

// A sorted list of lexeme texts with their positive codes. Sorted by an
// ordinal byte comparison; keyword texts are upper-case.
class TLexemeList {
public:
    void Add(std::string text, int32_t code);
    void Sort();
    // Index of the first entry equal to text with its letters a-z
    // upper-cased, or -1.
    int32_t Find(std::string_view text) const;
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    const std::string& Text(int32_t index) const { return items_.at(static_cast<size_t>(index)).first; }
    int32_t Code(int32_t index) const { return items_.at(static_cast<size_t>(index)).second; }

private:
    std::vector<std::pair<std::string, int32_t>> items_;
};

// One entry of a lexeme table: its text and code.
struct TLexemeRow {
    const char* text;
    int32_t code;
};
// A sorted list made of the rows.
std::unique_ptr<TLexemeList> MakeLexemeList(std::span<const TLexemeRow> rows);

using TLexemeListPtr = std::shared_ptr<const TLexemeList>;

// A process-wide lexeme table: filled by a module's start-up, emptied by its
// shutdown. A lexer holds a share of the tables it uses, so a table stays
// valid for a lexer that still exists when the modules shut down.
class TLexemeTableSlot {
public:
    TLexemeListPtr Get() const;
    const TLexemeList* Raw() const { return Get().get(); }
    // Fills an empty slot; a filled one keeps its table.
    void Fill(std::span<const TLexemeRow> rows);
    void Reset();

private:
    mutable std::mutex lock_;
    TLexemeListPtr list_;
};

// The base lexer's tables, built at start-up (nullptr before start-up and
// after shutdown).
const TLexemeList* ParserSymbolLexemes();
const TLexemeList* ParserKeywordLexemes();
TLexemeListPtr SharedParserSymbolLexemes();
TLexemeListPtr SharedParserKeywordLexemes();

class TParser : public TObject {
    ORA_DECLARE_CLASS(TParser)
public:
    static constexpr int32_t BlockSize = 65536;

    // A lexer over a text held in memory.
    explicit TParser(const std::string& text);
    // A lexer over a stream, read from its current position to its end in
    // blocks of 65,536 bytes. The stream is not owned and must outlive the
    // lexer.
    explicit TParser(TStream* stream);
    ~TParser() override = default;
    TParser(const TParser&) = delete;
    TParser& operator=(const TParser&) = delete;

    // Options
    bool SkipBlanks = true;
    bool SkipComments = false;
    bool UpperKeywords = true;
    bool KeepQuotes = false;
    bool KeywordsOff = false;
    bool AlternativeQuoting = false;
    std::string CommentBegin = "/*";
    std::string CommentEnd = "*/";
    char DecimalSeparator = '.';

    virtual void Reset();
    // The next lexeme's code and text.
    virtual int32_t GetNext(std::string& lexeme);
    virtual bool AcceptsLexeme(int32_t code) const;
    virtual bool DialectOption1() const { return false; }
    virtual bool DialectOption2() const { return false; }

    // Lexes with other tables: tables the caller keeps (they must outlive
    // the lexer), or shared tables the lexer holds a share of.
    void SetLexemeTables(const TLexemeList* symbols, const TLexemeList* keywords);
    void SetLexemeTables(TLexemeListPtr symbols, TLexemeListPtr keywords);

    // Where the lexer stands: the current position (1-based), the scan start,
    // line and column of the last lexeme and of the one before it.
    int32_t CurrPos() const { return pos_; }
    int32_t CurrLine() const { return scanLine_; }
    int32_t CurrCol() const { return scanStart_ - scanLineStart_; }
    int32_t CurrScanStart() const { return scanStart_; }
    int32_t PrevLine() const { return prevLine_; }
    int32_t PrevCol() const { return prevScanStart_ - prevLineStart_; }
    int32_t PrevScanStart() const { return prevScanStart_; }
    int32_t LexemePos() const { return lexStart_; }  // -1 when empty
    int32_t LexemeLength() const { return lexLen_; }
    int32_t TextLength() const { return textLength_; }

protected:
    struct NoInit {};
    TParser(const std::string& text, NoInit);
    TParser(TStream* stream, NoInit);

    virtual void Initialize();
    virtual bool IsBlank(char c) const;
    virtual bool IsSymbol(char c) const;
    virtual bool IsAlpha(char c) const;
    virtual bool IsDigit(char c) const;
    virtual bool IsStringQuote(char c) const;
    virtual void ScanToQuoteCounting(char quote);
    virtual void ScanToQuoteFast(char quote);
    virtual void ScanToQuote(char quote);
    virtual bool IsIdentQuote(char c) const;
    virtual bool IsLineComment(int32_t position);

    // The character at a 1-based position; 0 beyond the text.
    char GetChar(int32_t position);
    // True when the position lies inside the text (reading ahead if needed).
    bool InText(int32_t position);
    bool MatchAt(int32_t position, const std::string& text);

    const TLexemeList* symbols_ = nullptr;
    const TLexemeList* keywords_ = nullptr;
    // The shares that keep shared tables alive (empty for caller-kept ones).
    TLexemeListPtr symbolsShare_;
    TLexemeListPtr keywordsShare_;

private:
    int32_t Scan();
    void ScanAlternativeQuote();
    void NewLine(int32_t nextLineStart);
    void CountLineBreak(int32_t position, char c);
    void MarkScan();
    bool ReadNextBlock();
    char RetainedChar(int32_t position) const;
    std::string LexemeText() const;

    // in-memory source
    std::string text_;
    // stream source
    TStream* stream_ = nullptr;
    int64_t streamOrigin_ = 0;
    std::deque<std::string> blocks_;
    std::string curBlock_;
    int32_t firstBlockStart_ = 1;
    int32_t curBlockStart_ = 1;
    int32_t curBlockLen_ = 0;

    int32_t textLength_ = 0;
    int32_t pos_ = 1;
    int32_t line_ = 1;
    int32_t lineStart_ = 1;
    int32_t scanStart_ = 1;
    int32_t scanLine_ = 1;
    int32_t scanLineStart_ = 1;
    int32_t prevScanStart_ = 1;
    int32_t prevLine_ = 1;
    int32_t prevLineStart_ = 1;
    int32_t lexStart_ = -1;
    int32_t lexLen_ = 0;
    std::string symbolText_;
};

void KaParserStartup();
void KaParserShutdown();

}  // namespace tms::ora
