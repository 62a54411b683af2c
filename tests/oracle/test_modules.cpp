// Module start-up and shutdown: order, repetition, failure and what the
// library's own rows build and free.

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "oracle/KaParser.h"
#include "oracle/MemData.h"
#include "oracle/OraClasses.h"
#include "oracle/OraModules.h"
#include "oracle/OraParser.h"
#include "oracle/OraPlatform.h"
#include "oracle/TwoSymbolTable.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::ThreadCount;

namespace {

std::vector<std::string> gLog;
bool gFailSecond = false;
void S1() { gLog.push_back("s1"); }
void S2() {
    if (gFailSecond) throw std::runtime_error("s2 failed");
    gLog.push_back("s2");
}
void S3() { gLog.push_back("s3"); }
void D1() { gLog.push_back("d1"); }
void D2() { gLog.push_back("d2"); }
void D3() {
    gLog.push_back("d3");
    throw std::runtime_error("d3 failed");
}

TEST(ModuleTable, RunsInOrderAndBackOnce) {
    gLog.clear();
    gFailSecond = false;
    TModuleTable t({{"one", S1, D1}, {"two", S2, D2}, {"empty", nullptr, nullptr}, {"three", S3, nullptr}});
    t.Shutdown();  // nothing started: nothing to do
    EXPECT_FALSE(t.Started());
    t.Startup();
    t.Startup();
    EXPECT_TRUE(t.Started());
    t.Shutdown();
    t.Shutdown();
    EXPECT_FALSE(t.Started());
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "s2", "s3", "d2", "d1"}));
}

TEST(ModuleTable, StartUpCallsAreCountedAndTheLastShutdownFrees) {
    gLog.clear();
    gFailSecond = false;
    TModuleTable t({{"one", S1, D1}, {"two", S2, D2}});
    t.Startup();
    t.Startup();
    t.Shutdown();  // one user is left
    EXPECT_TRUE(t.Started());
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "s2"}));
    t.Startup();
    t.Shutdown();
    EXPECT_TRUE(t.Started());
    t.Shutdown();
    EXPECT_FALSE(t.Started());
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "s2", "d2", "d1"}));
    t.Shutdown();  // more shutdowns than start-ups change nothing
    t.Startup();   // and a new start counts from one again
    t.Shutdown();
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "s2", "d2", "d1", "s1", "s2", "d2", "d1"}));

    // a failed start-up is not counted
    gLog.clear();
    gFailSecond = true;
    EXPECT_THROW(t.Startup(), std::runtime_error);
    gFailSecond = false;
    t.Startup();
    t.Shutdown();
    EXPECT_FALSE(t.Started());
}

TEST(ModuleTable, FailedStartUpUndoesWhatStarted) {
    gLog.clear();
    gFailSecond = true;
    TModuleTable t({{"one", S1, D1}, {"two", S2, D2}, {"three", S3, nullptr}});
    EXPECT_THROW(t.Startup(), std::runtime_error);
    EXPECT_FALSE(t.Started());
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "d1"}));
    gFailSecond = false;
    gLog.clear();
    t.Startup();
    t.Shutdown();
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "s2", "s3", "d2", "d1"}));
}

TEST(ModuleTable, FailedShutdownStillShutsTheOthers) {
    gLog.clear();
    gFailSecond = false;
    TModuleTable t({{"one", S1, D1}, {"three", S3, D3}});
    t.Startup();
    EXPECT_THROW(t.Shutdown(), std::runtime_error);
    EXPECT_FALSE(t.Started());
    EXPECT_EQ(gLog, (std::vector<std::string>{"s1", "s3", "d3", "d1"}));
}

TEST(LibraryModules, ModuleOrderHasARowForEveryModule) {
    std::vector<std::string> names;
    for (const TModuleRow& r : libraryModules().Rows()) names.push_back(r.Name);
    const std::vector<std::string> expected = {
        "OraPlatform",    "CLRClasses", "DAConsts",   "OraConsts",        "MemUtils",          "KaParser", "MemData",
        "TwoSymbolTable", "OraParser",  "KaAccess",   "DBAccess",         "OraCall",           "OraError", "OraNet",
        "OraClasses",     "OraNotify",  "OraObjects", "KaConnectionPool", "OraConnectionPool", "Ora",      "OraFields"};
    EXPECT_EQ(names, expected);
}

void Hook() {}

TEST(LibraryModules, StartUpBuildsTablesWithoutThreadsAndShutdownFreesThem) {
    shutdownModules();
    EXPECT_EQ(ParserSymbolLexemes(), nullptr);
    EXPECT_EQ(OraKeywordLexemes(), nullptr);
    EXPECT_EQ(FilterSymbolLexemes(), nullptr);
    EXPECT_EQ(TwoSymbolLexemes(), nullptr);

    EXPECT_EQ(OraClassesRoutines.DateToDateTime, nullptr);
    EXPECT_EQ(OCI7ErrorBuffer(), nullptr);
    EXPECT_EQ(RowidTextSize(), 0u);

    LongOperationStartHook = Hook;
    LongOperationEndHook = Hook;
    TOCIConnection::ProcessThreadSafety = false;
    const int threadsBefore = ThreadCount();
    startupModules();
    startupModules();
    EXPECT_EQ(ThreadCount(), threadsBefore);
    // the connection module's routines, its initial flag, its buffer and text
    const TOraClassesRoutines& r = OraClassesRoutines;
    EXPECT_TRUE(r.DateToDateTime && r.DateTimeToDate && r.RowidText && r.URowidText && r.CdaRowidOf);
    EXPECT_TRUE(TOCIConnection::ProcessThreadSafety);
    EXPECT_NE(OCI7ErrorBuffer(), nullptr);
    EXPECT_EQ(RowidTextSize(), RowidTextLength);
    EXPECT_TRUE(libraryModules().Started());
    EXPECT_TRUE(IsNTPlatform());
    EXPECT_EQ(LongOperationStartHook, nullptr);
    EXPECT_EQ(LongOperationEndHook, nullptr);
    const TLexemeList* tables[] = {ParserSymbolLexemes(),  ParserKeywordLexemes(), FilterSymbolLexemes(),
                                   FilterKeywordLexemes(), TwoSymbolLexemes(),     TwoSymbolKeywordLexemes(),
                                   OraSymbolLexemes(),     OraKeywordLexemes()};
    for (const TLexemeList* t : tables) EXPECT_NE(t, nullptr);

    shutdownModules();
    shutdownModules();
    EXPECT_FALSE(libraryModules().Started());
    EXPECT_EQ(OraClassesRoutines.RowidText, nullptr);
    EXPECT_EQ(OCI7ErrorBuffer(), nullptr);
    EXPECT_EQ(RowidTextSize(), 0u);
    EXPECT_EQ(ParserKeywordLexemes(), nullptr);
    EXPECT_EQ(OraSymbolLexemes(), nullptr);
    EXPECT_EQ(FilterKeywordLexemes(), nullptr);
    EXPECT_EQ(TwoSymbolKeywordLexemes(), nullptr);

    // a second user of the library keeps it up past the first one's shutdown
    startupModules();
    startupModules();
    shutdownModules();
    EXPECT_TRUE(libraryModules().Started());
    EXPECT_NE(OraKeywordLexemes(), nullptr);
    EXPECT_NE(FilterSymbolLexemes(), nullptr);
    shutdownModules();
    EXPECT_EQ(OraKeywordLexemes(), nullptr);

    // and again, as a program that starts after a shutdown would
    startupModules();
    EXPECT_NE(OraKeywordLexemes(), nullptr);
    shutdownModules();
}

}  // namespace
