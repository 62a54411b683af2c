#include "oracle/TwoSymbolTable.h"

namespace tms::ora {

namespace {
TLexemeTableSlot gSymbols;
TLexemeTableSlot gKeywords;

const TLexemeRow kSymbolRows[] = {{":", 16}, {"=", 19}};
}  // namespace

const TLexemeList* TwoSymbolLexemes() { return gSymbols.Raw(); }
const TLexemeList* TwoSymbolKeywordLexemes() { return gKeywords.Raw(); }
TLexemeListPtr SharedTwoSymbolLexemes() { return gSymbols.Get(); }
TLexemeListPtr SharedTwoSymbolKeywordLexemes() { return gKeywords.Get(); }

void TwoSymbolTableStartup() {
    gSymbols.Fill(kSymbolRows);
    gKeywords.Fill({});
}

void TwoSymbolTableShutdown() {
    gSymbols.Reset();
    gKeywords.Reset();
}

}  // namespace tms::ora
