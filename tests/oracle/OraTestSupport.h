#pragma once
// Shared helpers of the data-access library tests.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "oracle/KaParser.h"
#include "oracle/OraModules.h"

namespace oratest {

// Runs the library's module start-up before the tests of a program and its
// shutdown after them.
class ModulesEnvironment : public ::testing::Environment {
public:
    void SetUp() override { tms::ora::startupModules(); }
    void TearDown() override { tms::ora::shutdownModules(); }
};

using Lexeme = std::pair<int32_t, std::string>;

// Every lexeme up to and including the end.
inline std::vector<Lexeme> LexAll(tms::ora::TParser& parser) {
    std::vector<Lexeme> out;
    for (;;) {
        std::string text;
        int32_t code = parser.GetNext(text);
        out.emplace_back(code, text);
        if (code == tms::ora::LexEnd) break;
    }
    return out;
}

}  // namespace oratest
