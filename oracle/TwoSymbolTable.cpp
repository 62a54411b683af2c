#include "oracle/TwoSymbolTable.h"

#include <memory>

namespace tms::ora {

namespace {
std::unique_ptr<TLexemeList> gSymbols;
std::unique_ptr<TLexemeList> gKeywords;
}  // namespace

const TLexemeList* TwoSymbolLexemes() { return gSymbols.get(); }
const TLexemeList* TwoSymbolKeywordLexemes() { return gKeywords.get(); }

void TwoSymbolTableStartup() {
    if (gSymbols) return;
    auto symbols = std::make_unique<TLexemeList>();
    symbols->Add(":", 16);
    symbols->Add("=", 19);
    symbols->Sort();
    gSymbols = std::move(symbols);
    gKeywords = std::make_unique<TLexemeList>();
}

void TwoSymbolTableShutdown() {
    gSymbols.reset();
    gKeywords.reset();
}

}  // namespace tms::ora
