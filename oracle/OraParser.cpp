#include "oracle/OraParser.h"

#include <memory>

namespace tms::ora {

namespace {
TLexemeTableSlot gSymbols;
TLexemeTableSlot gKeywords;

const TLexemeRow kSymbolRows[] = {
    {"*", lxStar}, {"=", lxEqual}, {":", lxColon}, {",", lxComma}, {".", lxPoint}, {":=", lxAssign}, {"/", lxSlash},
};

const TLexemeRow kKeywordRows[] = {
    {"AND", lxAND},
    {"AS", lxAS},
    {"BEGIN", lxBEGIN},
    {"BODY", lxBODY},
    {"BY", lxBY},
    {"CONNECT", lxCONNECT},
    {"CREATE", lxCREATE},
    {"DECLARE", lxDECLARE},
    {"DEFINE", lxDEFINE},
    {"DELETE", lxDELETE},
    {"DISCONNECT", lxDISCONNECT},
    {"END", lxEND},
    {"EXECUTE", lxEXECUTE},
    {"EXIT", lxEXIT},
    {"EXPLAIN", lxEXPLAIN},
    {"FOR", lxFOR},
    {"FROM", lxFROM},
    {"FUNCTION", lxFUNCTION},
    {"GROUP", lxGROUP},
    {"HAVING", lxHAVING},
    {"INSERT", lxINSERT},
    {"INTERSECT", lxINTERSECT},
    {"INTO", lxINTO},
    {"IS", lxIS},
    {"MINUS", lxMINUS},
    {"OR", lxOR},
    {"ORDER", lxORDER},
    {"PACKAGE", lxPACKAGE},
    {"PAUSE", lxPAUSE},
    {"PROCEDURE", lxPROCEDURE},
    {"PROMPT", lxPROMPT},
    {"QUIT", lxQUIT},
    {"REMARK", lxREMARK},
    {"REPLACE", lxREPLACE},
    {"RETURNING", lxRETURNING},
    {"SELECT", lxSELECT},
    {"SET", lxSET},
    {"START", lxSTART},
    {"TRIGGER", lxTRIGGER},
    {"TYPE", lxTYPE},
    {"UNDEFINE", lxUNDEFINE},
    {"UNION", lxUNION},
    {"UPDATE", lxUPDATE},
    {"WHERE", lxWHERE},
    {"WITH", lxWITH},
    {"WRAPPED", lxWRAPPED},
};
}  // namespace

const TLexemeList* OraSymbolLexemes() { return gSymbols.Raw(); }
const TLexemeList* OraKeywordLexemes() { return gKeywords.Raw(); }

void OraParserStartup() {
    gSymbols.Fill(kSymbolRows);
    gKeywords.Fill(kKeywordRows);
}

void OraParserShutdown() {
    gSymbols.Reset();
    gKeywords.Reset();
}

ORA_DEFINE_CLASS(TOraParser, TParser, nullptr)

TOraParser::TOraParser(const std::string& text) : TParser(text, NoInit{}) { Initialize(); }

TOraParser::TOraParser(TStream* stream) : TParser(stream, NoInit{}) { Initialize(); }

void TOraParser::Initialize() {
    TParser::Initialize();
    TLexemeListPtr symbols = gSymbols.Get();
    TLexemeListPtr keywords = gKeywords.Get();
    ORA_ASSERT(symbols && keywords, "OraParser", "Lexeme tables are not built");
    SetLexemeTables(std::move(symbols), std::move(keywords));
    CommentBegin = "/*";
    CommentEnd = "*/";
    AlternativeQuoting = true;
    clauses_ = {lxWHERE, lxSTART, lxCONNECT, lxGROUP, lxHAVING, lxUNION, lxINTERSECT, lxMINUS, lxORDER, lxFOR};
}

void TOraParser::Reset() {
    TParser::Reset();
    inWrapped_ = false;  // a fresh scan starts outside any wrapped body
}

bool TOraParser::IsAlpha(char c) const { return TParser::IsAlpha(c) || c == '#' || c == '$'; }

bool TOraParser::IsStringQuote(char c) const { return c == '\''; }

bool TOraParser::IsIdentQuote(char c) const { return c == '"'; }

bool TOraParser::IsLineComment(int32_t position) { return GetChar(position) == '-' && GetChar(position + 1) == '-'; }

int32_t TOraParser::GetNext(std::string& lexeme) {
    int32_t code = TParser::GetNext(lexeme);
    if (code == lxWRAPPED)
        inWrapped_ = true;
    else if (inWrapped_ && code == lxSlash && CurrCol() == 0)
        inWrapped_ = false;
    return code;
}

bool TOraParser::AcceptsLexeme(int32_t code) const {
    if (inWrapped_) return false;
    return TParser::AcceptsLexeme(code);
}

}  // namespace tms::ora
