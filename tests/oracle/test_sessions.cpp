// The session list and the library's shutdown: sessions opened and closed
// from many threads (run under the thread checker), the walk that
// disconnects every session, and a shutdown that disconnects sessions and
// clears pools while the modules below them still stand, with no thread
// left behind.

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "oracle/KaConnectionPool.h"
#include "oracle/Ora.h"
#include "oracle/OraCall.h"
#include "oracle/OraModules.h"
#include "oracle/OraParser.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::ThreadCount;
using oratest::ThreadCountReaching;

namespace {

std::mutex gLogLock;
std::vector<std::string> gLog;
void Note(const std::string& line) {
    std::lock_guard<std::mutex> g(gLogLock);
    gLog.push_back(line);
}

// A connection component that is listed while connected, as a session is.
class Session : public TCustomDAConnection {
public:
    explicit Session(std::string name = "", bool failDisconnect = false)
        : name_(std::move(name)), failDisconnect_(failDisconnect) {}
    ~Session() override {
        if (TSessionList* list = SessionList()) list->Remove(this);
    }
    void SetConnected(bool value) override {
        if (!value && Connected()) {
            ++disconnects;
            if (!name_.empty()) {
                // what still stands while the session goes
                Note(name_ + " disconnected" + (PoolManager() ? ", manager up" : "") +
                     (OraKeywordLexemes() ? ", lexer up" : ""));
            }
        }
        TCustomDAConnection::SetConnected(value);
        if (TSessionList* list = SessionList()) {
            if (value)
                list->Add(this);
            else
                list->Remove(this);
        }
        if (!value && failDisconnect_) throw std::runtime_error(name_ + " failed");
    }
    std::atomic<int> disconnects{0};

private:
    std::string name_;
    bool failDisconnect_;
};

class TestPool : public TKaConnectionPool {
public:
    using TKaConnectionPool::TKaConnectionPool;
    ~TestPool() override { Note("pool cleared"); }
    void PutConnection(TKaConnection*) override {}
    TKaConnection* GetConnection() override { return nullptr; }
};

class TestManager : public TKaConnectionPoolManager {
public:
    ~TestManager() override {
        Shutdown();
        Note("manager gone");
    }

protected:
    std::unique_ptr<TKaConnectionPool> CreateConnectionPool(const TPoolConnectionParameters& parameters) override {
        return std::make_unique<TestPool>(this, parameters);
    }
};

class Modules : public ::testing::Test {
protected:
    void SetUp() override { startupModules(); }
    void TearDown() override {
        while (libraryModules().Started()) shutdownModules();
    }
};

TEST_F(Modules, TheListHoldsEachOpenSessionOnce) {
    TSessionList& list = *SessionList();
    Session a, b;
    a.SetConnected(true);
    a.SetConnected(true);
    b.SetConnected(true);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Contains(&a));
    b.Disconnect();
    EXPECT_FALSE(list.Contains(&b));
    EXPECT_EQ(list.Count(), 1);
    list.Remove(&b);  // not listed: nothing changes
    EXPECT_EQ(list.Count(), 1);
    list.Add(nullptr);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(Modules, DisconnectAllReachesEverySessionThatLeavesTheListAsItGoes) {
    TSessionList& list = *SessionList();
    std::vector<std::unique_ptr<Session>> sessions;
    for (int i = 0; i < 5; ++i) {
        sessions.push_back(std::make_unique<Session>(i == 1 ? "s1" : "", i == 1));
        sessions.back()->SetConnected(true);
    }
    gLog.clear();
    // the session that fails does not keep the others connected
    EXPECT_THROW(list.DisconnectAll(), std::runtime_error);
    for (auto& s : sessions) {
        EXPECT_FALSE(s->Connected());
        EXPECT_EQ(s->disconnects.load(), 1);
    }
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(Modules, SessionsOpenAndCloseFromManyThreads) {
    TSessionList& list = *SessionList();
    std::atomic<bool> stop{false};
    std::atomic<int> walks{0};
    std::thread walker([&] {
        while (!stop) {
            std::vector<TCustomDAConnection*>& sessions = list.LockList();
            // a listed session is alive: it leaves the list before it ends
            for (TCustomDAConnection* s : sessions) EXPECT_STREQ(s->ClassName(), "TCustomDAConnection");
            list.UnlockList();
            ++walks;
            std::this_thread::yield();
        }
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                Session s;
                s.SetConnected(true);
                EXPECT_TRUE(list.Contains(&s));
                if (i % 3 == 0) {
                    Session other;
                    other.SetConnected(true);
                    other.Disconnect();
                }
                s.Disconnect();
            }
        });
    for (auto& t : threads) t.join();
    stop = true;
    walker.join();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_GT(walks.load(), 0);
}

TEST_F(Modules, ShutdownDisconnectsSessionsOpenedOnOtherThreads) {
    // Sessions came and went on other threads and the last of them are
    // still open at shutdown: the walk disconnects every one left.
    std::vector<std::unique_ptr<Session>> kept(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                Session s;
                s.SetConnected(true);
                s.Disconnect();
            }
            kept[static_cast<size_t>(t)] = std::make_unique<Session>();
            kept[static_cast<size_t>(t)]->SetConnected(true);
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(SessionList()->Count(), 4);
    shutdownModules();
    EXPECT_EQ(SessionList(), nullptr);
    for (auto& s : kept) {
        EXPECT_FALSE(s->Connected());
        EXPECT_EQ(s->disconnects.load(), 1);
    }
}

TEST(Shutdown, SessionsThenPoolsThenTheModulesBelowAndNoThreadIsLeft) {
    const int before = ThreadCount();
    startupModules();
    // start-up itself starts no thread and loads no client
    EXPECT_EQ(ThreadCount(), before);
    EXPECT_FALSE(OCILoaded);
    ASSERT_NE(SessionList(), nullptr);
    EXPECT_FALSE(HexReferences.load());
    EXPECT_EQ(CondStopText(), "CONDSTOP");

    Session first("first"), second("second");
    first.SetConnected(true);
    second.SetConnected(true);
    SetPoolManager(std::make_unique<TestManager>());  // its clean-up thread runs
    TPoolConnectionParameters parameters;
    parameters.Username = "scott";
    PoolManager()->GetConnection(parameters);
    parameters.Username = "system";
    PoolManager()->GetConnection(parameters);
    EXPECT_EQ(PoolManager()->PoolCount(), 2);
    EXPECT_EQ(ThreadCount(), before + 1);
    HexReferences = true;

    gLog.clear();
    shutdownModules();
    EXPECT_EQ(gLog, (std::vector<std::string>{"first disconnected, manager up, lexer up",
                                              "second disconnected, manager up, lexer up", "pool cleared",
                                              "pool cleared", "manager gone"}));
    EXPECT_EQ(SessionList(), nullptr);
    EXPECT_EQ(PoolManager(), nullptr);
    EXPECT_EQ(CondStopText(), "");
    EXPECT_EQ(ThreadCountReaching(before), before);

    // and the library comes up again as it did the first time
    startupModules();
    EXPECT_FALSE(HexReferences.load());
    ASSERT_NE(SessionList(), nullptr);
    EXPECT_EQ(SessionList()->Count(), 0);
    shutdownModules();
    EXPECT_EQ(ThreadCountReaching(before), before);
}

}  // namespace
