// The SQL lexers: base and Oracle tables, comments, strings, q-quoting,
// numbers, symbols, the WRAPPED state, stream input across block borders and
// the unknown-symbol error.

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "oracle/MemData.h"
#include "oracle/OraParser.h"
#include "oracle/TwoSymbolTable.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::LexAll;
using oratest::Lexeme;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

std::vector<Lexeme> LexOra(const std::string& text, bool skipComments = false) {
    TOraParser p(text);
    p.SkipComments = skipComments;
    return LexAll(p);
}

std::vector<Lexeme> LexBase(const std::string& text) {
    TParser p(text);
    return LexAll(p);
}

// A stream that hands out at most `chunk` bytes per read.
class ChunkedStream : public TStream {
public:
    ChunkedStream(std::string data, int32_t chunk) : inner_(std::move(data)), chunk_(chunk) {}
    int32_t Read(void* buffer, int32_t count) override { return inner_.Read(buffer, std::min(count, chunk_)); }
    int64_t Size() const override { return inner_.Size(); }
    int64_t Position() const override { return inner_.Position(); }
    void SetPosition(int64_t p) override { inner_.SetPosition(p); }

private:
    TStringStream inner_;
    int32_t chunk_;
};

}  // namespace

TEST(LexemeTables, BaseTablesHoldTheirCodesSortedByBytes) {
    const TLexemeList* s = ParserSymbolLexemes();
    const TLexemeList* k = ParserKeywordLexemes();
    ASSERT_NE(s, nullptr);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(s->Count(), 28);
    EXPECT_EQ(k->Count(), 3);
    const std::string symbols = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`";
    for (size_t i = 0; i < symbols.size(); ++i) {
        int32_t index = s->Find(std::string(1, symbols[i]));
        ASSERT_GE(index, 0) << symbols[i];
        EXPECT_EQ(s->Code(index), static_cast<int32_t>(i) + 1) << symbols[i];
    }
    EXPECT_EQ(k->Code(k->Find("and")), 29);
    EXPECT_EQ(k->Code(k->Find("Not")), 30);
    EXPECT_EQ(k->Code(k->Find("OR")), 31);
    for (int32_t i = 1; i < s->Count(); ++i) EXPECT_LT(s->Text(i - 1), s->Text(i));
}

TEST(LexemeTables, OracleFilterAndTwoSymbolTables) {
    const TLexemeList* os = OraSymbolLexemes();
    const TLexemeList* ok = OraKeywordLexemes();
    ASSERT_NE(os, nullptr);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(os->Count(), 7);
    EXPECT_EQ(ok->Count(), 46);
    const std::vector<std::pair<std::string, int32_t>> someKeywords = {
        {"AND", 8},     {"BEGIN", 10},  {"DECLARE", 15}, {"END", 19},       {"FROM", 24},
        {"INSERT", 28}, {"MINUS", 32},  {"ORDER", 34},   {"PROCEDURE", 37}, {"RETURNING", 42},
        {"SELECT", 43}, {"UPDATE", 50}, {"WHERE", 51},   {"WITH", 52},      {"WRAPPED", 53}};
    for (const auto& [text, code] : someKeywords) EXPECT_EQ(ok->Code(ok->Find(text)), code) << text;
    // the keyword codes follow the byte order of their texts
    for (int32_t i = 0; i < ok->Count(); ++i) EXPECT_EQ(ok->Code(i), 8 + i) << ok->Text(i);

    const TLexemeList* fs = FilterSymbolLexemes();
    const TLexemeList* fk = FilterKeywordLexemes();
    ASSERT_NE(fs, nullptr);
    ASSERT_NE(fk, nullptr);
    EXPECT_EQ(fs->Count(), 12);
    EXPECT_EQ(fk->Count(), 8);
    EXPECT_EQ(fs->Code(fs->Find(">=")), 4);
    EXPECT_EQ(fs->Code(fs->Find("<>")), 6);
    EXPECT_EQ(fs->Code(fs->Find("]")), 12);
    EXPECT_EQ(fk->Code(fk->Find("like")), 16);
    EXPECT_EQ(fk->Code(fk->Find("TRUE")), 20);

    const TLexemeList* ts = TwoSymbolLexemes();
    ASSERT_NE(ts, nullptr);
    EXPECT_EQ(ts->Count(), 2);
    EXPECT_EQ(ts->Code(ts->Find(":")), 16);
    EXPECT_EQ(ts->Code(ts->Find("=")), 19);
    EXPECT_EQ(TwoSymbolKeywordLexemes()->Count(), 0);
}

TEST(OracleLexer, AssignmentAndNumbers) {
    EXPECT_EQ(LexOra("a:=1"), (std::vector<Lexeme>{{LexIdentifier, "a"}, {6, ":="}, {LexNumber, "1"}, {LexEnd, ""}}));
    // ":" then ":=": growth stops when the grown text is not in the table
    EXPECT_EQ(LexOra("::="), (std::vector<Lexeme>{{3, ":"}, {6, ":="}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("1.5 2. 3.x 10"), (std::vector<Lexeme>{{LexNumber, "1.5"},
                                                            {LexNumber, "2"},
                                                            {5, "."},
                                                            {LexNumber, "3"},
                                                            {5, "."},
                                                            {LexIdentifier, "x"},
                                                            {LexNumber, "10"},
                                                            {LexEnd, ""}}));
}

TEST(OracleLexer, SqlStatementWithEveryKindOfLexeme) {
    const std::string sql =
        "select e.Name, \"Our Col\", count(*) from emp e -- who\n"
        "where e.id = :id and e.note = 'It''s' /* x */ or x#1$ = 2.50";
    EXPECT_EQ(LexOra(sql), (std::vector<Lexeme>{{43, "SELECT"},
                                                {LexIdentifier, "e"},
                                                {5, "."},
                                                {LexIdentifier, "Name"},
                                                {4, ","},
                                                {LexIdentifier, "\"Our Col\""},
                                                {4, ","},
                                                {LexIdentifier, "count"},
                                                {LexSymbol, "("},
                                                {1, "*"},
                                                {LexSymbol, ")"},
                                                {24, "FROM"},
                                                {LexIdentifier, "emp"},
                                                {LexIdentifier, "e"},
                                                {LexComment, "-- who"},
                                                {51, "WHERE"},
                                                {LexIdentifier, "e"},
                                                {5, "."},
                                                {LexIdentifier, "id"},
                                                {2, "="},
                                                {3, ":"},
                                                {LexIdentifier, "id"},
                                                {8, "AND"},
                                                {LexIdentifier, "e"},
                                                {5, "."},
                                                {LexIdentifier, "note"},
                                                {2, "="},
                                                {LexString, "It"},
                                                {LexString, "s"},
                                                {LexComment, "/* x */"},
                                                {33, "OR"},
                                                {LexIdentifier, "x#1$"},
                                                {2, "="},
                                                {LexNumber, "2.50"},
                                                {LexEnd, ""}}));
}

TEST(OracleLexer, PlSqlBlockWithSkippedComments) {
    const std::string plsql =
        "CREATE OR REPLACE PROCEDURE p(x IN NUMBER) IS\r\n"
        "BEGIN\r\n"
        "  -- note\r\n"
        "  x := x + 1.5; /* multi\r\n line */\r\n"
        "END;\r\n"
        "/\r\n";
    EXPECT_EQ(LexOra(plsql, true), (std::vector<Lexeme>{{14, "CREATE"},
                                                        {33, "OR"},
                                                        {41, "REPLACE"},
                                                        {37, "PROCEDURE"},
                                                        {LexIdentifier, "p"},
                                                        {LexSymbol, "("},
                                                        {LexIdentifier, "x"},
                                                        {LexIdentifier, "IN"},
                                                        {LexIdentifier, "NUMBER"},
                                                        {LexSymbol, ")"},
                                                        {31, "IS"},
                                                        {10, "BEGIN"},
                                                        {LexIdentifier, "x"},
                                                        {6, ":="},
                                                        {LexIdentifier, "x"},
                                                        {LexSymbol, "+"},
                                                        {LexNumber, "1.5"},
                                                        {LexSymbol, ";"},
                                                        {19, "END"},
                                                        {LexSymbol, ";"},
                                                        {7, "/"},
                                                        {LexEnd, ""}}));
}

TEST(OracleLexer, LinesAndColumnsFollowLineBreaks) {
    TOraParser p("a\r\n  bb\n/* 1\r2 */ c\n\n/");
    std::string t;
    p.GetNext(t);
    EXPECT_EQ(p.CurrLine(), 1);
    EXPECT_EQ(p.CurrCol(), 0);
    p.GetNext(t);
    EXPECT_EQ(t, "bb");
    EXPECT_EQ(p.CurrLine(), 2);
    EXPECT_EQ(p.CurrCol(), 2);
    EXPECT_EQ(p.PrevLine(), 1);
    EXPECT_EQ(p.GetNext(t), LexComment);
    EXPECT_EQ(p.CurrLine(), 3);
    p.GetNext(t);
    EXPECT_EQ(t, "c");
    EXPECT_EQ(p.CurrLine(), 4);  // the lone carriage return inside the comment broke a line
    EXPECT_EQ(p.CurrCol(), 5);
    EXPECT_EQ(p.GetNext(t), 7);
    EXPECT_EQ(p.CurrLine(), 6);
    EXPECT_EQ(p.CurrCol(), 0);
}

TEST(OracleLexer, AlternativeQuoting) {
    EXPECT_EQ(LexOra("q'[it's]'"), (std::vector<Lexeme>{{LexString, "it's"}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("Q'{a}b}' q'<x>' q'(y)' q'!z!' q'[]' q'##'"), (std::vector<Lexeme>{{LexString, "a}b"},
                                                                                        {LexString, "x"},
                                                                                        {LexString, "y"},
                                                                                        {LexString, "z"},
                                                                                        {LexString, ""},
                                                                                        {LexString, ""},
                                                                                        {LexEnd, ""}}));
    // a closing bracket not followed by the quote does not end it
    EXPECT_EQ(LexOra("q'[a]'b]' x"),
              (std::vector<Lexeme>{
                  {LexString, "a"}, {LexIdentifier, "b"}, {LexSymbol, "]"}, {LexString, " x"}, {LexEnd, ""}}));
    TOraParser keep("q'[it's]' , q");
    keep.KeepQuotes = true;
    EXPECT_EQ(LexAll(keep),
              (std::vector<Lexeme>{{LexString, "q'[it's]'"}, {4, ","}, {LexIdentifier, "q"}, {LexEnd, ""}}));
    // only the single letter q opens it; the base lexer has it switched off
    EXPECT_EQ(LexOra("qq'a'"), (std::vector<Lexeme>{{LexIdentifier, "qq"}, {LexString, "a"}, {LexEnd, ""}}));
    EXPECT_EQ(LexBase("q'[a]'"), (std::vector<Lexeme>{{LexIdentifier, "q"}, {LexString, "[a]"}, {LexEnd, ""}}));
}

TEST(OracleLexer, UnterminatedQuotesEndWithTheText) {
    EXPECT_EQ(LexOra("x q'[abc"), (std::vector<Lexeme>{{LexIdentifier, "x"}, {LexString, "abc"}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("q'[ab]"), (std::vector<Lexeme>{{LexString, "ab]"}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("q'["), (std::vector<Lexeme>{{LexString, ""}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("q'"), (std::vector<Lexeme>{{LexString, ""}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("'open"), (std::vector<Lexeme>{{LexString, "open"}, {LexEnd, ""}}));
    EXPECT_EQ(LexOra("\"open"), (std::vector<Lexeme>{{LexIdentifier, "\"open"}, {LexEnd, ""}}));
    TOraParser keep("q'<ab");
    keep.KeepQuotes = true;
    EXPECT_EQ(LexAll(keep), (std::vector<Lexeme>{{LexString, "q'<ab"}, {LexEnd, ""}}));
    // the same from a stream
    TStringStream s("q'{never closed");
    TOraParser ps(&s);
    EXPECT_EQ(LexAll(ps), (std::vector<Lexeme>{{LexString, "never closed"}, {LexEnd, ""}}));
}

TEST(OracleLexer, WrappedBodyEndsAtSlashInColumnZero) {
    TOraParser p("CREATE PACKAGE BODY pk wrapped\na000000\n 'x' /\nabcd\n/\nselect 'y' from dual");
    std::vector<std::pair<std::string, bool>> seen;  // text, accepted
    std::string t;
    for (int32_t code; (code = p.GetNext(t)) != LexEnd;) seen.emplace_back(t, p.AcceptsLexeme(code));
    auto find = [&](const std::string& text) {
        return std::find_if(seen.begin(), seen.end(), [&](auto& e) { return e.first == text; });
    };
    ASSERT_NE(find("WRAPPED"), seen.end());
    EXPECT_TRUE(find("pk")->second);
    EXPECT_FALSE(find("a000000")->second);  // inside the body
    EXPECT_FALSE(find("abcd")->second);     // the "/" after 'x' is not at the start of a line
    EXPECT_TRUE(find("dual")->second);      // after the "/" that starts a line
    EXPECT_FALSE(find("y")->second);        // strings are never accepted
    EXPECT_FALSE(p.InWrapped());

    // "wrapped" inside a longer word is no keyword, and text ending right
    // after the keyword stops cleanly
    TOraParser q("unwrapped wrapped_x wrappedx");
    LexAll(q);
    EXPECT_FALSE(q.InWrapped());
    TOraParser r("wrapped");
    EXPECT_EQ(LexAll(r), (std::vector<Lexeme>{{53, "WRAPPED"}, {LexEnd, ""}}));
    EXPECT_TRUE(r.InWrapped());
    r.Reset();
    EXPECT_FALSE(r.InWrapped());
}

TEST(BaseLexer, SymbolsStringsAndComments) {
    EXPECT_EQ(LexBase("{"), (std::vector<Lexeme>{{LexSymbol, "{"}, {LexEnd, ""}}));
    EXPECT_EQ(LexBase("'It''s' \"dq\" a//rest\nb/*c*/d"), (std::vector<Lexeme>{{LexString, "It"},
                                                                               {LexString, "s"},
                                                                               {LexString, "dq"},
                                                                               {LexIdentifier, "a"},
                                                                               {LexComment, "//rest"},
                                                                               {LexIdentifier, "b"},
                                                                               {LexComment, "/*c*/"},
                                                                               {LexIdentifier, "d"},
                                                                               {LexEnd, ""}}));
    // "--" is no comment here, "#" and "$" are symbols, every base symbol is one character
    EXPECT_EQ(LexBase("a--b#c$ x<=y"), (std::vector<Lexeme>{{LexIdentifier, "a"},
                                                            {13, "-"},
                                                            {13, "-"},
                                                            {LexIdentifier, "b"},
                                                            {3, "#"},
                                                            {LexIdentifier, "c"},
                                                            {4, "$"},
                                                            {LexIdentifier, "x"},
                                                            {18, "<"},
                                                            {19, "="},
                                                            {LexIdentifier, "y"},
                                                            {LexEnd, ""}}));
    EXPECT_EQ(LexBase("not x Or _y1 \xC4\xE3"), (std::vector<Lexeme>{{30, "NOT"},
                                                                     {LexIdentifier, "x"},
                                                                     {31, "OR"},
                                                                     {LexIdentifier, "_y1"},
                                                                     {LexIdentifier, "\xC4\xE3"},
                                                                     {LexEnd, ""}}));
}

TEST(BaseLexer, BlockCommentForms) {
    // the begin text's characters count towards the end text
    EXPECT_EQ(LexBase("/*/x"), (std::vector<Lexeme>{{LexComment, "/*/"}, {LexIdentifier, "x"}, {LexEnd, ""}}));
    EXPECT_EQ(LexBase("a /* open\nrest"),
              (std::vector<Lexeme>{{LexIdentifier, "a"}, {LexComment, "/* open\nrest"}, {LexEnd, ""}}));
    EXPECT_EQ(LexBase("a /"), (std::vector<Lexeme>{{LexIdentifier, "a"}, {15, "/"}, {LexEnd, ""}}));
    TParser skip("/* one */ /* two */ x // end");
    skip.SkipComments = true;
    EXPECT_EQ(LexAll(skip), (std::vector<Lexeme>{{LexIdentifier, "x"}, {LexEnd, ""}}));
}

TEST(BaseLexer, OptionsChangeTheLexemes) {
    TParser blanks("a \t\r\nb");
    blanks.SkipBlanks = false;
    EXPECT_EQ(LexAll(blanks),
              (std::vector<Lexeme>{{LexIdentifier, "a"}, {LexBlank, " \t\r\n"}, {LexIdentifier, "b"}, {LexEnd, ""}}));

    TParser lower("select and");
    lower.UpperKeywords = false;
    EXPECT_EQ(LexAll(lower), (std::vector<Lexeme>{{LexIdentifier, "select"}, {29, "and"}, {LexEnd, ""}}));

    TParser off("and");
    off.KeywordsOff = true;
    EXPECT_EQ(LexAll(off), (std::vector<Lexeme>{{LexIdentifier, "and"}, {LexEnd, ""}}));

    TParser quotes("'a''b'");
    quotes.KeepQuotes = true;
    EXPECT_EQ(LexAll(quotes), (std::vector<Lexeme>{{LexString, "'a'"}, {LexString, "'b'"}, {LexEnd, ""}}));

    TOraParser ora("select");
    EXPECT_TRUE(ora.DialectOption1());
    EXPECT_FALSE(ora.DialectOption2());
    EXPECT_FALSE(ora.AcceptsLexeme(LexString));
    EXPECT_TRUE(ora.AcceptsLexeme(LexIdentifier));
    EXPECT_EQ(ora.ClauseLexemes(), (std::vector<int32_t>{51, 45, 13, 26, 27, 49, 29, 32, 34, 23}));
    TParser base("x");
    EXPECT_FALSE(base.DialectOption1());
}

TEST(BaseLexer, DecimalSeparatorComesFromTheFormatSettings) {
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    SetFormatSettings(fs);
    TParser comma("1,5 2.5");
    ResetFormatSettings();
    EXPECT_EQ(LexAll(comma),
              (std::vector<Lexeme>{{LexNumber, "1,5"}, {LexNumber, "2"}, {14, "."}, {LexNumber, "5"}, {LexEnd, ""}}));
    TParser dot("1,5");
    EXPECT_EQ(LexAll(dot), (std::vector<Lexeme>{{LexNumber, "1"}, {12, ","}, {LexNumber, "5"}, {LexEnd, ""}}));
}

TEST(BaseLexer, UnknownCharactersRaiseAndStay) {
    for (char c : {'\0', '\x0c', '\x7f', '\x01'}) {
        std::string text = std::string("ab ") + c + "x";
        TParser p(text);
        std::string t;
        EXPECT_EQ(p.GetNext(t), LexIdentifier);
        try {
            p.GetNext(t);
            ADD_FAILURE() << "no error for " << int(c);
        } catch (const Exception& e) {
            // the message holds the character itself; the C string shows a
            // NUL by its code, so it is not cut short
            const std::string code = "'  $" + IntToHex(static_cast<unsigned char>(c), 4);
            EXPECT_EQ(e.Message(), "Parser: The unknown symbol '" + std::string(1, c) + code);
            const std::string shown = c == '\0' ? std::string("#0") : std::string(1, c);
            EXPECT_EQ(std::string(e.what()), "Parser: The unknown symbol '" + shown + code);
            EXPECT_EQ(p.CurrPos(), 4);
        }
    }
    try {
        TParser p("\x0c");
        std::string t;
        p.GetNext(t);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), std::string("Parser: The unknown symbol '\x0c'  $000C"));
    }
}

TEST(OtherTables, FilterAndLongerSymbolMatches) {
    TParser p("<>= a>=b<=c LIKE ( null )");
    p.SetLexemeTables(FilterSymbolLexemes(), FilterKeywordLexemes());
    EXPECT_EQ(LexAll(p), (std::vector<Lexeme>{{6, "<>"},
                                              {1, "="},
                                              {LexIdentifier, "a"},
                                              {4, ">="},
                                              {LexIdentifier, "b"},
                                              {5, "<="},
                                              {LexIdentifier, "c"},
                                              {16, "LIKE"},
                                              {7, "("},
                                              {18, "NULL"},
                                              {8, ")"},
                                              {LexEnd, ""}}));
    // symbols of three characters grow one character at a time
    TLexemeList symbols, keywords;
    symbols.Add("=", 1);
    symbols.Add("==", 2);
    symbols.Add("===", 3);
    symbols.Add("<=>", 4);
    symbols.Sort();
    TParser three("==== <=>");
    three.SetLexemeTables(&symbols, &keywords);
    EXPECT_EQ(LexAll(three), (std::vector<Lexeme>{{3, "==="},
                                                  {1, "="},
                                                  {LexSymbol, "<"},  // "<=" is not in the table
                                                  {1, "="},
                                                  {LexSymbol, ">"},
                                                  {LexEnd, ""}}));
    TParser two(":= =:");
    two.SetLexemeTables(TwoSymbolLexemes(), TwoSymbolKeywordLexemes());
    EXPECT_EQ(LexAll(two), (std::vector<Lexeme>{{16, ":"}, {19, "="}, {19, "="}, {16, ":"}, {LexEnd, ""}}));
}

namespace {
// A text of well over 70,000 bytes whose lexemes straddle the 65,536-byte
// block borders: statements, a long string, a long comment and a long word.
std::string BigScript() {
    std::string s;
    int n = 0;
    while (s.size() < 60000) {
        s += "SELECT col_" + std::to_string(n) + ", 'v" + std::to_string(n) + "' FROM t -- row\n";
        ++n;
    }
    s += "/* " + std::string(9000, 'c') + " */\n";
    s += "'" + std::string(12000, 's') + "'\n";
    s += std::string(70000, 'w') + "\n";
    while (s.size() < 2 * 65536 + 5000) {
        s += "x := q'[a'b]' + 1.25; -- " + std::to_string(n++) + "\r\n";
    }
    return s;
}
}  // namespace

TEST(StreamInput, LexesTheSameAsTheTextAcrossBlockBorders) {
    const std::string text = BigScript();
    ASSERT_GT(text.size(), 70000u);
    std::vector<Lexeme> fromText = LexOra(text);

    TStringStream stream(text);
    TOraParser fromStream(&stream);
    std::vector<Lexeme> streamed = LexAll(fromStream);
    ASSERT_EQ(streamed.size(), fromText.size());
    EXPECT_TRUE(streamed == fromText);
    EXPECT_NE(std::find(streamed.begin(), streamed.end(), Lexeme{LexIdentifier, std::string(70000, 'w')}),
              streamed.end());
    EXPECT_NE(std::find(streamed.begin(), streamed.end(), Lexeme{LexString, std::string(12000, 's')}), streamed.end());

    // short reads make no difference, and Reset starts the stream over
    ChunkedStream chunks(text, 1000);
    TOraParser chunked(&chunks);
    EXPECT_TRUE(LexAll(chunked) == fromText);
    chunked.Reset();
    EXPECT_TRUE(LexAll(chunked) == fromText);
}

TEST(StreamInput, LexemeLongerThanTwoBlocksComesBackWhole) {
    const std::string word(3 * 65536 + 17, 'k');
    TStringStream s("  " + word + " tail");
    TParser p(&s);
    std::string t;
    EXPECT_EQ(p.GetNext(t), LexIdentifier);
    EXPECT_EQ(t, word);
    EXPECT_EQ(p.GetNext(t), LexIdentifier);
    EXPECT_EQ(t, "tail");
    EXPECT_EQ(p.GetNext(t), LexEnd);
}

TEST(StreamInput, StartsAtTheStreamPositionAndCountsLinesInStrings) {
    TStringStream s("skip'a\nb' c");
    s.SetPosition(4);
    TParser p(&s);
    EXPECT_EQ(p.TextLength(), 7);
    std::string t;
    EXPECT_EQ(p.GetNext(t), LexString);
    EXPECT_EQ(t, "a\nb");
    EXPECT_EQ(p.GetNext(t), LexIdentifier);
    EXPECT_EQ(p.CurrLine(), 2);  // the counting scan of streams sees the line feed
}

namespace {
// A stream that reports a larger size than it holds, as a file cut short
// while it is read would.
class ShortStream : public TStream {
public:
    ShortStream(std::string data, int64_t claimed) : inner_(std::move(data)), claimed_(claimed) {}
    int32_t Read(void* buffer, int32_t count) override { return inner_.Read(buffer, count); }
    int64_t Size() const override { return claimed_; }
    int64_t Position() const override { return inner_.Position(); }
    void SetPosition(int64_t p) override { inner_.SetPosition(p); }

private:
    TStringStream inner_;
    int64_t claimed_;
};

struct Stop {
    int32_t code;
    std::string text;
    int32_t pos, line, col;
    bool operator==(const Stop&) const = default;
};

std::vector<Stop> Walk(TParser& p) {
    std::vector<Stop> out;
    for (;;) {
        std::string t;
        int32_t code = p.GetNext(t);
        out.push_back({code, t, p.CurrPos(), p.CurrLine(), p.CurrCol()});
        if (code == LexEnd) break;
    }
    return out;
}
}  // namespace

TEST(StreamInput, TextEndingOnTheBlockBorderLexesLikeTheTextInMemory) {
    const char* tails[] = {"'abc", "--abc", "/*abc", "q'[ab", "abcd", "12.5", "\"ab", "x\r\n"};
    for (const char* tail : tails) {
        for (int32_t total : {65535, 65536, 65537, 2 * 65536}) {
            std::string text(static_cast<size_t>(total) - std::strlen(tail), ' ');
            text += tail;
            TOraParser memory(text);
            const std::vector<Stop> expected = Walk(memory);
            ASSERT_EQ(expected.back().pos, total + 1);

            TStringStream exact(text);
            TOraParser fromExact(&exact);
            EXPECT_TRUE(Walk(fromExact) == expected) << tail << " " << total;
            // the stream ends where it says it would not
            for (int64_t claimed : {int64_t{total} + 1, int64_t{total} + 70000}) {
                ShortStream cut(text, claimed);
                TOraParser fromCut(&cut);
                std::vector<Stop> got = Walk(fromCut);
                EXPECT_TRUE(got == expected) << tail << " " << total << " claimed " << claimed;
                EXPECT_EQ(fromCut.TextLength(), total);
            }
        }
    }
    // the case as it was found: 65,532 blanks then 'abc, claimed longer
    std::string text = std::string(65532, ' ') + "'abc";
    ShortStream cut(text, 65537);
    TOraParser p(&cut);
    std::string t;
    EXPECT_EQ(p.GetNext(t), LexString);
    EXPECT_EQ(t, "abc");
    EXPECT_EQ(p.CurrPos(), 65537);
    EXPECT_EQ(p.GetNext(t), LexEnd);
}

TEST(OracleLexer, LineBreaksInsideQStringsAllCount) {
    auto lineOf = [](const std::string& text, const std::string& target) {
        TOraParser p(text);
        std::string t;
        for (int32_t code = p.GetNext(t); code != LexEnd; code = p.GetNext(t))
            if (t == target) return p.CurrLine();
        return -1;
    };
    EXPECT_EQ(lineOf("q'[a\nb]' x", "x"), 2);
    EXPECT_EQ(lineOf("q'\nabc\n';", ";"), 3);  // opening and closing line feeds
    EXPECT_EQ(lineOf("q'\rab\r' y", "y"), 3);
    EXPECT_EQ(lineOf("q'[a\r\nb]' x", "x"), 2);  // the pair counts once
    EXPECT_EQ(lineOf("q'\nab\n y", "y"), -1);    // unterminated: the rest is the string
    // the same as the line feeds outside a string
    EXPECT_EQ(lineOf("q'<a\n\nb>' z", "z"), lineOf("a\n\nb z", "z"));
    // a stream counts the same
    TStringStream s("q'\nabc\n';");
    TOraParser p(&s);
    std::string t;
    EXPECT_EQ(p.GetNext(t), LexString);
    EXPECT_EQ(t, "abc");
    EXPECT_EQ(p.GetNext(t), LexSymbol);
    EXPECT_EQ(p.CurrLine(), 3);
    EXPECT_EQ(p.CurrCol(), 1);
}

TEST(LexerLifecycle, TablesStayValidForALexerAcrossShutdown) {
    TOraParser ora("select a from t where b = :p");
    TParser base("a AND b");
    TParser filter("x <> 1");
    filter.SetLexemeTables(SharedFilterSymbolLexemes(), SharedFilterKeywordLexemes());
    shutdownModules();
    ASSERT_EQ(OraKeywordLexemes(), nullptr);
    // the lexers still hold their tables
    std::vector<Lexeme> got = LexAll(ora);
    EXPECT_EQ(got.front(), (Lexeme{lxSELECT, "SELECT"}));
    EXPECT_EQ(got.size(), 10u);
    EXPECT_EQ(LexAll(base)[1], (Lexeme{29, "AND"}));
    EXPECT_EQ(LexAll(filter)[1], (Lexeme{6, "<>"}));
    startupModules();
    TOraParser again("from");
    EXPECT_EQ(LexAll(again).front().first, lxFROM);
}

TEST(LexerLifecycle, ParserNeedsTheTablesOfStartUp) {
    shutdownModules();
    EXPECT_EQ(ParserSymbolLexemes(), nullptr);
    EXPECT_THROW(TParser("x"), EAssertionFailed);
    EXPECT_THROW(TOraParser("x"), EAssertionFailed);
    startupModules();
    TOraParser p("x");
    EXPECT_EQ(LexAll(p).size(), 2u);
}
