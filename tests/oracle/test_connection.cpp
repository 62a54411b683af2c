// The Oracle connection against the fake client in both call sets: connect
// and disconnect, session modes, national-language settings and the
// character set, server versions, validity probes, transactions, failover,
// the utility window and background execution, DATE and ROWID texts.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

#include "oracle/OraClasses.h"
#include "oracle/OraFormatModel.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::Calls;
using oratest::ErrorOf;
using oratest::FakeHomeScope;
using oratest::Scott;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

TEST(Connection, ConnectAndDisconnectInTheOracle8Style) {
    FakeHomeScope home("ora10201");
    auto c = Scott();
    c->Connect("");
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(c->CallStyleInUse(), csOCI8);
    EXPECT_EQ(Calls(home.Journal(),
                    {"OCIHandleAlloc", "OCIServerAttach", "OCIAttrSet", "OCISessionBegin", "OCIServerVersion"}),
              "OCIHandleAlloc type=3\nOCIHandleAlloc type=8\nOCIHandleAlloc type=9\n"
              "OCIServerAttach server=orcl mode=0\n"
              "OCIAttrSet type=3 attr=6 value=handle\n"
              "OCIAttrSet type=9 attr=22 value=scott\nOCIAttrSet type=9 attr=23 value=tiger\n"
              "OCISessionBegin credt=1 mode=0\n"
              "OCIAttrSet type=3 attr=7 value=handle\n"
              "OCIServerVersion type=3\n"
              "OCIAttrSet type=8 attr=43 value=callback\n");
    EXPECT_EQ(c->GetServerVersion(), 10201);
    EXPECT_EQ(c->ServerVersionText(), "10.2.0.1.0");
    home->clear_journal();
    c->Disconnect();
    EXPECT_FALSE(c->GetConnected());
    EXPECT_EQ(home.Journal(),
              "OCISessionEnd mode=0\nOCIServerDetach mode=0\n"
              "OCIHandleFree type=9\nOCIHandleFree type=8\nOCIHandleFree type=3\n");
    EXPECT_EQ(home->live_handles(), 2);  // the shared environment and error handles
}

TEST(Connection, ConnectAndDisconnectInTheOracle7Style) {
    FakeHomeScope home("ora734");
    auto c = Scott();
    c->Connect("");
    EXPECT_EQ(c->CallStyleInUse(), csOCI7);
    c->Commit();
    c->Rollback();
    c->Disconnect();
    EXPECT_EQ(home.Journal(), "olog user=scott server=orcl mode=0\nocom\norol\nologof\n");
    // a wrong password comes back with the client's message
    auto bad = Scott();
    bad->SetPassword("wrong");
    EXPECT_EQ(ErrorOf([&] { bad->Connect(""); }), "ORA-01017: invalid username/password; logon denied");
    EXPECT_FALSE(bad->GetConnected());
}

TEST(Connection, FailedLogonsLeaveNoHandlesBehind) {
    FakeHomeScope home("ora10201");
    auto c = Scott("nowhere");
    try {
        c->Connect("");
        ADD_FAILURE();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode, 12154);
    }
    auto d = Scott();
    d->SetPassword("wrong");
    EXPECT_EQ(ErrorOf([&] { d->Connect(""); }), "ORA-01017: invalid username/password; logon denied");
    EXPECT_FALSE(d->GetConnected());
    EXPECT_EQ(home->live_handles(), 2);
}

TEST(Connection, SessionModes) {
    FakeHomeScope home("ora9201");
    struct Case {
        int connectMode;
        bool cache;
        const char* begin;
    } cases[] = {{0, false, "mode=0"}, {1, false, "mode=4"}, {2, false, "mode=2"}, {2, true, "mode=66"}};
    for (const Case& k : cases) {
        auto c = Scott();
        c->SetProp(prConnectMode, TVariant(k.connectMode));
        c->SetProp(prStatementCache, TVariant(k.cache));
        c->SetProp(prStatementCacheSize, TVariant(int32_t(20)));
        home->clear_journal();
        c->Connect("");
        const std::string j = home.Journal();
        EXPECT_NE(j.find(std::string("OCISessionBegin credt=1 ") + k.begin + "\n"), std::string::npos) << j;
        EXPECT_EQ(j.find("attr=176") != std::string::npos, k.cache);  // the cache size, with the cache only
    }
    // without a user name the session is external
    TOCIConnection ext;
    ext.SetServer("orcl");
    home->clear_journal();
    ext.Connect("");
    EXPECT_NE(home.Journal().find("OCISessionBegin credt=2 mode=0"), std::string::npos);
}

TEST(Connection, NationalLanguageSettingsBecomeAlterSession) {
    FakeHomeScope home("ora10201");
    auto c = Scott();
    c->SetProp(prNlsDateFormat, TVariant("YYYY-MM-DD"));
    c->SetProp(prNlsDateLanguage, TVariant(""));        // empty: not set
    EXPECT_EQ(Calls(home.Journal(), {"OCIStmt"}), "");  // nothing runs while disconnected
    c->Connect("");
    EXPECT_EQ(Calls(home.Journal(), {"OCIStmtPrepare"}),
              "OCIStmtPrepare text=ALTER SESSION SET NLS_DATE_FORMAT='YYYY-MM-DD'  language=1 mode=0\n");
    home->clear_journal();
    c->SetProp(prNlsNumericCharacters, TVariant(",."));
    EXPECT_EQ(Calls(home.Journal(), {"OCIStmtPrepare", "OCIStmtExecute"}),
              "OCIStmtPrepare text=ALTER SESSION SET NLS_NUMERIC_CHARACTERS=',.'  language=1 mode=0\n"
              "OCIStmtExecute iters=1 rowoff=0 mode=0\n");  // the internal command never commits
    EXPECT_FALSE(c->NlsRecord(0).Set);
    EXPECT_TRUE(c->NlsRecord(1).Set);
    home->clear_journal();
    c->SetProp(prNlsDateLanguage, TVariant(""));
    EXPECT_EQ(Calls(home.Journal(), {"OCIStmt"}), "");
    // reading a value not known yet runs the query, which reports the
    // session's settings
    TVariant v;
    c->GetProp(prNlsTimeStampFormat, v);
    EXPECT_EQ(v.AsString(), "DD-MON-RR HH.MI.SSXFF AM");
    c->GetProp(prNlsDateFormat, v);
    EXPECT_EQ(v.AsString(), "YYYY-MM-DD");
    c->GetProp(prNlsNumericCharacters, v);
    EXPECT_EQ(v.AsString(), ",.");
}

TEST(Connection, CharacterSetAndCharacterLength) {
    FakeHomeScope home("ora10201");
    auto c = Scott();
    c->SetProp(prCharset, TVariant("NOSUCH"));
    EXPECT_EQ(home.Journal(), "");  // disconnected: the query waits for the connect
    EXPECT_EQ(ErrorOf([&] { c->Connect(""); }), "Cannot find charset NOSUCH");
    c->Disconnect();
    home->script("declare  cursor NlsParamsCursor*",
                 "out:CharLength=2|out:NlsDateFormat=DD.MM.RR");  // the server knows the id
    c->SetProp(prCharset, TVariant("ZHS16GBK"));
    c->SetProp(prCharLength, TVariant(int32_t(0)));  // ask the server
    c->Connect("");
    EXPECT_EQ(c->CharsetId(), 852);
    EXPECT_EQ(c->CharLength(), 2);
    TVariant v;
    c->GetProp(prCharLength, v);
    EXPECT_EQ(v.AsInteger(), 0);  // still asking the server
    c->GetProp(prNlsDateFormat, v);
    EXPECT_EQ(v.AsString(), "DD.MM.RR");
    // an Oracle 7 server is not asked for the identifier: no error for a
    // missing one then
    home->add_database("old", "Oracle7 Server Release 7.3.4.0.0 - Production");
    auto old = Scott("old");
    old->SetProp(prCharset, TVariant("NOSUCH"));
    home->clear_script();
    home->clear_journal();
    old->Connect("");
    EXPECT_EQ(home.Journal().find("NLS_CHARSET_ID"), std::string::npos);
    EXPECT_EQ(home.Journal().find("NLS_TIMESTAMP_FORMAT"), std::string::npos);
}

TEST(Connection, ServerVersionsAndMaximumStringSizes) {
    FakeHomeScope home("ora10201");
    home->add_database("seven", "Oracle7 Server Release 7.3.4.0.0 - Production");
    home->add_database("nodot", "Personal Oracle Lite Release 10 - Production");
    home->add_database("leading", ".banner 10.2 text");
    struct Case {
        const char* db;
        uint16_t version;
        int maxString;
    } cases[] = {
        {"orcl", 10201, 4000}, {"ora9", 9201, 4000}, {"seven", 7340, 2000}, {"nodot", 0, 4000}, {"leading", 0, 4000}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.db);
        auto c = Scott(k.db);
        c->Connect("");
        EXPECT_EQ(c->GetServerVersion(), k.version);
        TVariant v;
        c->GetProp(prMaxStringSize, v);
        EXPECT_EQ(v.AsInteger(), k.maxString);
    }
    // the Oracle 7 call set asks the server with a statement, and always
    // has 2000
    FakeHomeScope seven("ora734");
    auto c = Scott();
    c->Connect("");
    EXPECT_EQ(c->GetServerVersion(), 10201);
    EXPECT_NE(seven.Journal().find("oparse text=begin SELECT Version INTO :Result"), std::string::npos);
    EXPECT_EQ(c->GetMaxStringSize(), 2000);
}

TEST(Connection, AnOracleLiteClientIsNotAskedForItsLanguageSettings) {
    FakeHomeScope home("oralite");
    auto c = Scott();
    c->SetProp(prCharLength, TVariant(int32_t(0)));  // would ask the server
    c->SetProp(prCharset, TVariant("ZHS16GBK"));
    c->Connect("");
    EXPECT_EQ(home.Journal().find("NlsParamsCursor"), std::string::npos);
    EXPECT_EQ(c->GetServerVersion(), 10201);
    EXPECT_EQ(c->ServerVersionText(), "10.2.0.1.0 Lite");
}

TEST(Connection, CheckIsValidByPingOrCommitNeverRaises) {
    {
        FakeHomeScope home("ora10201");
        auto c = Scott();
        c->Connect("");
        home->clear_journal();
        EXPECT_TRUE(c->CheckIsValid());
        EXPECT_EQ(home.Journal(), "OCIPing\n");
        home->set_broken(1);
        EXPECT_FALSE(c->CheckIsValid());
        EXPECT_FALSE(c->IsValid());
        home->set_broken(0);
        EXPECT_FALSE(c->CheckIsValid());  // once broken, stays broken
    }
    {
        FakeHomeScope home("ora9201");  // a client before 10.2 commits
        auto c = Scott();
        c->Connect("");
        c->StartTransaction();
        EXPECT_TRUE(c->InTransaction());
        home->clear_journal();
        EXPECT_TRUE(c->CheckIsValid());
        EXPECT_FALSE(c->InTransaction());
        EXPECT_EQ(home.Journal(), "OCITransCommit flags=0\n");
    }
}

TEST(Connection, FailoverRerunsSessionSettingsAndAsksTheHandler) {
    FakeHomeScope home("ora10201");
    auto c = Scott();
    c->SetProp(prNlsDateFormat, TVariant("YYYY"));
    c->Connect("");
    std::vector<std::string> seen;
    bool retry = true;
    c->FailoverHandler = [&](uint32_t event, uint32_t type, bool& r) {
        seen.push_back(std::to_string(event) + "/" + std::to_string(type));
        r = retry;
    };
    home->clear_journal();
    EXPECT_EQ(home->trigger_failover(4, OCI_FO_END), OCI_FO_RETRY);
    EXPECT_NE(home.Journal().find("ALTER SESSION SET NLS_DATE_FORMAT='YYYY'"), std::string::npos);
    retry = false;
    home->clear_journal();
    EXPECT_EQ(home->trigger_failover(4, OCI_FO_BEGIN), 0);
    EXPECT_EQ(home.Journal().find("ALTER SESSION"), std::string::npos);
    EXPECT_EQ(seen, (std::vector<std::string>{"1/4", "8/4"}));
}

TEST(Connection, LockSerialisesThreadsOnlyWithThreadSafety) {
    TOCIConnection c;
    std::atomic<int> inside{0}, most{0};
    auto work = [&] {
        for (int i = 0; i < 200; ++i) {
            c.Lock();
            int n = ++inside;
            int m = most.load();
            while (n > m && !most.compare_exchange_weak(m, n)) {}
            --inside;
            c.Unlock();
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(most.load(), 1);
    c.SetProp(prThreadSafety, TVariant(false));
    EXPECT_FALSE(TOCIConnection::ProcessThreadSafety.load());
    c.Lock();  // nothing to take
    c.Unlock();
    c.SetProp(prThreadSafety, TVariant(true));
}

TEST(Connection, CallStyleChecksAndErrors) {
    FakeHomeScope home("ora10201");
    auto c = Scott();
    c->SetCallStyle(csOCI7);
    c->Connect("");
    EXPECT_EQ(c->CallStyleInUse(), csOCI7);
    EXPECT_EQ(ErrorOf([&] { c->GetSvcCtx(); }), "Need Oracle 8 Call Interface");
    c->SetCallStyle(csOCI8);  // a change disconnects
    EXPECT_FALSE(c->GetConnected());
    c->Connect("");
    EXPECT_NE(c->GetSvcCtx(), nullptr);
    EXPECT_NE(c->GetLDA(), nullptr);  // derived from the service context
    EXPECT_NE(home.Journal().find("OCISvcCtxToLda"), std::string::npos);
    EXPECT_THROW(c->SetPoolingKind(1), EAssertionFailed);
    EXPECT_THROW(c->ReturnToPool(), EAssertionFailed);
}

// ---------------------------------------------------------------------------
// The utility window and background execution

TEST(UtilityWindow, ClassRegistrationAndOwnership) {
    TWndProc other = [](TUtilWindow*, uint32_t, uintptr_t, intptr_t) -> intptr_t { return 7; };
    EXPECT_FALSE(RegisterWindowClass(UtilWindowClass, UtilWndProc));  // registered at start-up
    EXPECT_TRUE(RegisterWindowClass(UtilWindowClass, other));         // replaced
    EXPECT_EQ(WindowClassProc(UtilWindowClass), other);
    EXPECT_TRUE(RegisterWindowClass(UtilWindowClass, UtilWndProc));
    TUtilWindow w(UtilWindowClass, WS_EX_TOOLWINDOW, WS_POPUP);
    EXPECT_EQ(w.ExStyle(), 128u);
    EXPECT_EQ(w.Style(), 0x80000000u);
    w.Post(WM_USER + 9, 1, 0);
    w.Post(WM_USER + 9, 2, 0);
    EXPECT_TRUE(w.RemovePending(WM_USER + 9, 1));
    EXPECT_FALSE(w.RemovePending(WM_USER + 9, 1));
    std::string error;
    std::thread t([&] { error = ErrorOf([&] { w.dispatchPending(); }); });
    t.join();
    EXPECT_EQ(error, "The utility window belongs to another thread");
    EXPECT_EQ(w.dispatchPending(), 1);
    EXPECT_THROW(TUtilWindow("NoSuchClass", 0, 0), Exception);
}

TEST(UtilityWindow, CompletionJoinsTheWorkerBeforeRaising) {
    TOCIConnection c;
    std::thread::id ran, completed;
    std::exception_ptr seen;
    TExecThread* t = c.RunThread(
        [&] {
            ran = std::this_thread::get_id();
            throw EOraError(942, nullptr, "ORA-00942: table or view does not exist");
        },
        [&](std::exception_ptr e) {
            completed = std::this_thread::get_id();
            seen = e;
        });
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(c.UtilWindow()->WaitPending(5000));
    try {
        c.UtilWindow()->dispatchPending();
        ADD_FAILURE();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode, 942);
        EXPECT_EQ(e.Message(), "ORA-00942: table or view does not exist");
    }
    EXPECT_EQ(TExecThread::Live(), 0);  // ended and joined before the raise
    EXPECT_NE(ran, std::this_thread::get_id());
    EXPECT_EQ(completed, std::this_thread::get_id());
    EXPECT_TRUE(seen);
    // any other error comes back as a general error with its message
    c.RunThread([] { throw std::runtime_error("disk full"); }, nullptr);
    ASSERT_TRUE(c.UtilWindow()->WaitPending(5000));
    EXPECT_EQ(ErrorOf([&] { c.UtilWindow()->dispatchPending(); }), "disk full");
    EXPECT_EQ(TExecThread::Live(), 0);
}

TEST(UtilityWindow, StopThreadJoinsOrGivesUpNeverKills) {
    TOCIConnection c;
    // a finished worker: joined, its completion taken off the queue
    TExecThread* done = c.RunThread([] {}, [](std::exception_ptr) { ADD_FAILURE(); });
    ASSERT_TRUE(c.UtilWindow()->WaitPending(5000));
    c.StopThread(done, true);
    EXPECT_EQ(done, nullptr);
    EXPECT_EQ(c.UtilWindow()->Pending(), 0);
    EXPECT_EQ(TExecThread::Live(), 0);
    // a worker that does not come back in time is given up and posts nothing
    std::mutex m;
    std::condition_variable cv;
    bool go = false;
    TExecThread::StopWaitMs = 50;
    TExecThread* stuck = c.RunThread(
        [&] {
            std::unique_lock<std::mutex> l(m);
            cv.wait(l, [&] { return go; });
        },
        [](std::exception_ptr) { ADD_FAILURE(); });
    c.StopThread(stuck, false);
    EXPECT_EQ(TExecThread::AbandonedRunning(), 1);
    {
        std::lock_guard<std::mutex> l(m);
        go = true;
    }
    cv.notify_all();
    for (int i = 0; i < 500 && TExecThread::AbandonedRunning() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(TExecThread::AbandonedRunning(), 0);
    EXPECT_EQ(c.UtilWindow()->Pending(), 0);
    TExecThread::StopWaitMs = 2000;
    // a completion that outlived its thread is dropped, not run
    c.UtilWindow()->Post(WM_USER, reinterpret_cast<uintptr_t>(&c), 0);
    EXPECT_EQ(c.UtilWindow()->dispatchPending(), 1);
}

// ---------------------------------------------------------------------------
// DATE and ROWID

TEST(OracleValues, DateBytes) {
    const uint8_t bytes[7] = {120, 110, 1, 1, 1, 1, 1};
    TDateTime v = OraDateToDateTime(bytes);
    EXPECT_EQ(v, EncodeDate(2010, 1, 1));
    uint8_t back[7];
    DateTimeToOraDate(v, back);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 7), std::vector<uint8_t>(bytes, bytes + 7));
    DateTimeToOraDate(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 999), back);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 7), (std::vector<uint8_t>{119, 199, 12, 31, 24, 60, 59}));
    EXPECT_EQ(OraDateToDateTime(back), EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0));
}

TEST(OracleValues, RowidTexts) {
    EXPECT_EQ(RowidToString({1, 66000, 4, 300, 7}), "AAAQHQAAEAAAAEsAAH");
    EXPECT_EQ(RowidToString({0, 0, 4, 300, 7}), "0000012C.0007.0004");
    const uint8_t urowid[] = {2, 0xFB, 0xFF, 0x00, 0x41};
    EXPECT_EQ(URowidToString(urowid, sizeof urowid), "*+/8AQQ");
}

TEST(OracleValues, DatetimeFormatModels) {
    EXPECT_EQ(DateTimeFormatModel("yyyy-mm-dd", "hh:nn:ss", false), "YYYY-MM-DD HH24:MI:SS");
    // an "m" run after the hours is minutes, before them a month
    EXPECT_EQ(DateTimeFormatModel("d/m/yy", "h:mm:ss.zzz", false), "fmDDfm/fmMMfm/YY fmHH24fm:MI:SS.FF");
    EXPECT_EQ(DateTimeFormatModel("dddd, mmmm d", "h:m AMPM", true),
              "fmDAYfm, MONTH fmDDfm fmHH12fm:fmMIfm AM TZH:TZM");
    EXPECT_EQ(DateTimeFormatModel("ddd mmm 'of' yyyy", "hh:nn am/pm", false),
              "DY MON \"of\" YYYY HH24:MI AM");  // the cycle looks for AMPM or t only
}

}  // namespace
