#pragma once
// The two-symbol lexeme table (":" and "=" with the base lexer's codes and no
// keywords), built at start-up. Nothing reads it yet.

#include "oracle/KaParser.h"

namespace tms::ora {

const TLexemeList* TwoSymbolLexemes();
const TLexemeList* TwoSymbolKeywordLexemes();  // empty
TLexemeListPtr SharedTwoSymbolLexemes();
TLexemeListPtr SharedTwoSymbolKeywordLexemes();

void TwoSymbolTableStartup();
void TwoSymbolTableShutdown();

}  // namespace tms::ora
