#pragma once
// The Oracle dialect of the SQL lexer: "--" comments, q-quoting, double
// quotes for identifiers, "#" and "$" in words, and the WRAPPED state.

#include <vector>

#include "oracle/KaParser.h"

namespace tms::ora {

// Codes of the Oracle lexeme tables.
enum : int32_t {
    lxStar = 1,
    lxEqual = 2,
    lxColon = 3,
    lxComma = 4,
    lxPoint = 5,
    lxAssign = 6,  // ":="
    lxSlash = 7,
    lxAND = 8,
    lxAS = 9,
    lxBEGIN = 10,
    lxBODY = 11,
    lxBY = 12,
    lxCONNECT = 13,
    lxCREATE = 14,
    lxDECLARE = 15,
    lxDEFINE = 16,
    lxDELETE = 17,
    lxDISCONNECT = 18,
    lxEND = 19,
    lxEXECUTE = 20,
    lxEXIT = 21,
    lxEXPLAIN = 22,
    lxFOR = 23,
    lxFROM = 24,
    lxFUNCTION = 25,
    lxGROUP = 26,
    lxHAVING = 27,
    lxINSERT = 28,
    lxINTERSECT = 29,
    lxINTO = 30,
    lxIS = 31,
    lxMINUS = 32,
    lxOR = 33,
    lxORDER = 34,
    lxPACKAGE = 35,
    lxPAUSE = 36,
    lxPROCEDURE = 37,
    lxPROMPT = 38,
    lxQUIT = 39,
    lxREMARK = 40,
    lxREPLACE = 41,
    lxRETURNING = 42,
    lxSELECT = 43,
    lxSET = 44,
    lxSTART = 45,
    lxTRIGGER = 46,
    lxTYPE = 47,
    lxUNDEFINE = 48,
    lxUNION = 49,
    lxUPDATE = 50,
    lxWHERE = 51,
    lxWITH = 52,
    lxWRAPPED = 53,
};

const TLexemeList* OraSymbolLexemes();
const TLexemeList* OraKeywordLexemes();

class TOraParser : public TParser {
    ORA_DECLARE_CLASS(TOraParser)
public:
    explicit TOraParser(const std::string& text);
    explicit TOraParser(TStream* stream);

    void Reset() override;
    int32_t GetNext(std::string& lexeme) override;
    bool AcceptsLexeme(int32_t code) const override;
    bool DialectOption1() const override { return true; }

    // True between the keyword WRAPPED and the "/" that starts a line.
    bool InWrapped() const { return inWrapped_; }
    // The clause keywords: WHERE, START, CONNECT, GROUP, HAVING, UNION,
    // INTERSECT, MINUS, ORDER, FOR.
    const std::vector<int32_t>& ClauseLexemes() const { return clauses_; }

protected:
    void Initialize() override;
    bool IsAlpha(char c) const override;
    bool IsStringQuote(char c) const override;
    bool IsIdentQuote(char c) const override;
    bool IsLineComment(int32_t position) override;

private:
    bool inWrapped_ = false;
    std::vector<int32_t> clauses_;
};

void OraParserStartup();
void OraParserShutdown();

}  // namespace tms::ora
