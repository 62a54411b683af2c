// The local connection pool and the manager over a test connection class:
// reuse, limits and the time-out, lifetimes, versions, validation, the
// periodic clean-up and its thread, ClearAllPools and the detach hook, and
// many threads getting and returning at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "oracle/DAConsts.h"
#include "oracle/KaConnectionPool.h"
#include "oracle/OraDetachHook.h"
#include "oracle/OraTick.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using namespace std::chrono_literals;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

std::atomic<int> gLive{0};
std::atomic<int> gMade{0};

class PoolConnection : public TKaConnection {
public:
    PoolConnection() {
        ++gLive;
        id = ++gMade;
    }
    ~PoolConnection() override {
        Disconnect();
        --gLive;
    }
    void Connect(const std::string&) override { SetConnected(true); }
    void Disconnect() override { SetConnected(false); }
    void StartTransaction() override {}
    void Commit() override {}
    void Rollback() override {}
    bool CheckIsValid() override {
        ++checks;
        return valid;
    }
    int id;
    std::atomic<bool> valid{true};
    std::atomic<int> checks{0};
};

class TestPool : public TKaLocalConnectionPool {
public:
    using TKaLocalConnectionPool::TKaLocalConnectionPool;
    ~TestPool() override { Clear(); }
    std::atomic<int> failNext{0};

protected:
    TKaConnection* CreateNewConnector() override {
        if (failNext > 0) {
            --failNext;
            throw Exception("cannot connect");
        }
        auto* c = new PoolConnection;
        c->SetUsername(Parameters().Username);
        c->Connect("");
        return c;
    }
};

class TestManager : public TKaConnectionPoolManager {
public:
    ~TestManager() override { Shutdown(); }

protected:
    std::unique_ptr<TKaConnectionPool> CreateConnectionPool(const TPoolConnectionParameters& p) override {
        return std::make_unique<TestPool>(this, p);
    }
};

TPoolConnectionParameters Params(int max, int min = 0) {
    TPoolConnectionParameters p;
    p.MaxPoolSize = max;
    p.MinPoolSize = min;
    p.Username = "scott";
    return p;
}

PoolConnection* Get(TKaConnectionPool& pool) { return static_cast<PoolConnection*>(pool.GetConnection()); }

class Pools : public ::testing::Test {
protected:
    void SetUp() override {
        TKaLocalConnectionPool::SlotWaitMs = 30000;
        gLive = 0;
    }
    void TearDown() override {
        TKaLocalConnectionPool::SlotWaitMs = 30000;
        SetTickSource(nullptr);
        EXPECT_EQ(gLive.load(), 0);
    }
};

TEST_F(Pools, ReturnedConnectionsAreReused) {
    TestManager m;
    TestPool pool(&m, Params(3));
    PoolConnection* a = Get(pool);
    EXPECT_EQ(a->Pool(), &pool);
    EXPECT_EQ(pool.TakenCount(), 1);
    const int id = a->id;
    a->ReturnToPool();
    EXPECT_EQ(a->Pool(), nullptr);
    EXPECT_EQ(pool.TakenCount(), 0);
    EXPECT_EQ(pool.IdleCount(), 1);
    PoolConnection* b = Get(pool);
    EXPECT_EQ(b->id, id);            // the same connection again
    EXPECT_EQ(b->checks.load(), 0);  // no validation asked for
    EXPECT_EQ(pool.GetTotalConnectionsCount(), 1);
    b->ReturnToPool();
}

TEST_F(Pools, FullPoolTimesOutAndAReturnLetsAWaiterIn) {
    TKaLocalConnectionPool::SlotWaitMs = 300;
    TestManager m;
    TestPool pool(&m, Params(2));
    PoolConnection* a = Get(pool);
    PoolConnection* b = Get(pool);
    const auto start = std::chrono::steady_clock::now();
    try {
        pool.GetConnection();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Maximum connections reached in pool");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_EQ(pool.TakenCount(), 2);

    // a waiter gets in when a connection comes back within the wait
    TKaLocalConnectionPool::SlotWaitMs = 5000;
    std::atomic<PoolConnection*> got{nullptr};
    std::thread waiter([&] { got = Get(pool); });
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(got.load(), nullptr);
    a->ReturnToPool();
    waiter.join();
    ASSERT_NE(got.load(), nullptr);
    got.load()->ReturnToPool();
    b->ReturnToPool();
    // the locks were given up on every path: the pool still works
    Get(pool)->ReturnToPool();
}

TEST_F(Pools, AFailedConnectGivesItsSlotBack) {
    TKaLocalConnectionPool::SlotWaitMs = 100;
    TestManager m;
    TestPool pool(&m, Params(1));
    pool.failNext = 3;
    for (int i = 0; i < 3; ++i) EXPECT_THROW(pool.GetConnection(), Exception);
    EXPECT_EQ(pool.TakenCount(), 0);
    PoolConnection* c = Get(pool);
    c->ReturnToPool();
}

uint32_t gFakeNow = 1000;
uint32_t FakeTick() { return gFakeNow; }

TEST_F(Pools, LifetimeLimitsReuseAcrossTheTickWrap) {
    SetTickSource(FakeTick);
    gFakeNow = 0xFFFFFF00u;  // the tick wraps during this test
    TestManager m;
    TPoolConnectionParameters p = Params(3);
    p.ConnectionLifetime = 1000;
    TestPool pool(&m, p);
    PoolConnection* a = Get(pool);
    gFakeNow += 900;  // 900 ms old, across the wrap: still within its lifetime
    a->ReturnToPool();
    EXPECT_EQ(pool.IdleCount(), 1);
    a = Get(pool);
    gFakeNow += 200;  // 1,100 ms: destroyed on return
    a->ReturnToPool();
    EXPECT_EQ(pool.IdleCount(), 0);
    EXPECT_EQ(pool.TakenCount(), 0);

    // lifetime 0: never expires
    TestPool forever(&m, Params(2));
    PoolConnection* b = Get(forever);
    gFakeNow += 100000000;
    b->ReturnToPool();
    EXPECT_EQ(forever.IdleCount(), 1);
}

TEST_F(Pools, ResetInvalidateAndValidation) {
    TestManager m;
    TestPool pool(&m, Params(3));
    PoolConnection* a = Get(pool);
    pool.Reset();
    a->ReturnToPool();  // handed out before the reset: destroyed
    EXPECT_EQ(pool.IdleCount(), 0);

    a = Get(pool);
    a->ReturnToPool();
    pool.Reset();
    const int before = gMade;
    PoolConnection* b = Get(pool);  // the idle one is older than the reset
    EXPECT_EQ(gMade.load(), before + 1);
    b->ReturnToPool();

    // after Invalidate, a connection must pass its check
    pool.Invalidate();
    PoolConnection* c = Get(pool);
    EXPECT_EQ(c->checks.load(), 1);
    EXPECT_EQ(c->PoolVersion(), pool.InvalidateVersion());
    c->ReturnToPool();
    pool.Invalidate();
    c->valid = false;
    const int oldId = c->id;
    PoolConnection* d = Get(pool);  // failed its check: a new one
    EXPECT_NE(d->id, oldId);
    d->ReturnToPool();

    // a connection handed out before Invalidate is checked on return
    PoolConnection* e = Get(pool);
    pool.Invalidate();
    e->valid = false;
    e->ReturnToPool();
    EXPECT_EQ(pool.IdleCount(), 0);

    // Validate checks every reuse; an invalid flag destroys on return
    TPoolConnectionParameters p = Params(2);
    p.Validate = true;
    TestPool strict(&m, p);
    PoolConnection* f = Get(strict);
    f->ReturnToPool();
    f = Get(strict);
    EXPECT_EQ(f->checks.load(), 1);
    f->SetIsValid(false);
    f->ReturnToPool();
    EXPECT_EQ(strict.IdleCount(), 0);
}

TEST_F(Pools, PeriodicCheckTrimsIdleConnectionsOverTime) {
    TestManager m;
    TestPool pool(&m, Params(5, 1));
    std::vector<PoolConnection*> out;
    for (int i = 0; i < 4; ++i) out.push_back(Get(pool));
    for (auto* c : out) c->ReturnToPool();
    ASSERT_EQ(pool.IdleCount(), 4);
    pool.PeriodicCheck();  // recently used: all stay, nothing to trim yet
    EXPECT_EQ(pool.IdleCount(), 4);
    int checks = 1;
    while (pool.IdleCount() > 0 && checks < 20) {
        pool.PeriodicCheck();
        ++checks;
    }
    // unused for eight checks: every idle connection has gone
    EXPECT_EQ(pool.IdleCount(), 0);
    EXPECT_LE(checks, 10);
    EXPECT_EQ(pool.TakenCount(), 0);

    // a connection that fails its check goes at once
    PoolConnection* c = Get(pool);
    c->ReturnToPool();
    pool.PeriodicCheck();
    c->valid = false;
    pool.PeriodicCheck();
    EXPECT_EQ(pool.IdleCount(), 0);
}

TEST_F(Pools, ManagerFindsPoolsByParametersAndItsThreadCleansUp) {
    TKaConnectionPoolManager::CleanupPeriodMs = 10;
    {
        TestManager m;
        TKaConnection* a = m.GetConnection(Params(4));
        TKaConnection* b = m.GetConnection(Params(4));
        EXPECT_EQ(m.PoolCount(), 1);
        TPoolConnectionParameters other = Params(4);
        other.Server = "elsewhere";
        TKaConnection* c = m.GetConnection(other);
        EXPECT_EQ(m.PoolCount(), 2);
        EXPECT_EQ(a->Pool(), b->Pool());
        EXPECT_NE(a->Pool(), c->Pool());
        auto* pool = static_cast<TestPool*>(a->Pool());
        a->ReturnToPool();
        b->ReturnToPool();
        c->ReturnToPool();
        EXPECT_EQ(pool->IdleCount(), 2);
        // the clean-up thread runs the periodic check until the idle
        // connections have gone
        for (int i = 0; i < 200 && pool->IdleCount() > 0; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_EQ(pool->IdleCount(), 0);
    }
    TKaConnectionPoolManager::CleanupPeriodMs = 30000;
}

// A pool whose periodic check hangs in the client until it is let go.
std::mutex gStuckLock;
std::condition_variable gStuckChanged;
bool gStuckIn = false, gStuckGo = false;

class StuckPool : public TestPool {
public:
    using TestPool::TestPool;
    void PeriodicCheck() override {
        std::unique_lock<std::mutex> g(gStuckLock);
        gStuckIn = true;
        gStuckChanged.notify_all();
        gStuckChanged.wait(g, [] { return gStuckGo; });
    }
};

class StuckManager : public TKaConnectionPoolManager {
public:
    ~StuckManager() override { Shutdown(); }

protected:
    std::unique_ptr<TKaConnectionPool> CreateConnectionPool(const TPoolConnectionParameters& p) override {
        return std::make_unique<StuckPool>(this, p);
    }
};

TEST_F(Pools, ShutdownGivesUpACleanUpStuckInTheClient) {
    EXPECT_EQ(TKaConnectionPoolManager::StopWaitMs.load(), 5000u);  // the program's limit
    TKaConnectionPoolManager::CleanupPeriodMs = 10;
    TKaConnectionPoolManager::StopWaitMs = 100;
    auto m = std::make_unique<StuckManager>();
    m->GetConnection(Params(2))->ReturnToPool();
    {
        std::unique_lock<std::mutex> g(gStuckLock);
        gStuckChanged.wait(g, [] { return gStuckIn; });
    }
    // the client call returns only after 1.5 s
    std::thread letGo([] {
        std::this_thread::sleep_for(1500ms);
        std::lock_guard<std::mutex> g(gStuckLock);
        gStuckGo = true;
        gStuckChanged.notify_all();
    });
    const auto start = std::chrono::steady_clock::now();
    m.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    letGo.join();
    // the thread given up frees the pool and its idle connection at its end
    for (int i = 0; i < 200 && gLive > 0; ++i) std::this_thread::sleep_for(10ms);
    TKaConnectionPoolManager::CleanupPeriodMs = 30000;
    TKaConnectionPoolManager::StopWaitMs = 5000;
}

TEST_F(Pools, ClearAllPoolsAndTheDetachHook) {
    ClearAllPools();  // no manager: nothing to do
    auto m = std::make_unique<TestManager>();
    TestManager* raw = m.get();
    SetPoolManager(std::move(m));
    EXPECT_EQ(PoolManager(), raw);
    raw->GetConnection(Params(2))->ReturnToPool();
    EXPECT_EQ(gLive.load(), 1);
    ClearAllPools();
    EXPECT_EQ(raw->PoolCount(), 0);
    EXPECT_EQ(gLive.load(), 0);

    // the detach hook destroys the manager and calls the hook before it
    raw->GetConnection(Params(2))->ReturnToPool();
    ProcessDetachChain().Current()();
    EXPECT_EQ(PoolManager(), nullptr);
    EXPECT_EQ(gLive.load(), 0);
}

TEST_F(Pools, ManyThreadsShareASmallPool) {
    TKaLocalConnectionPool::SlotWaitMs = 20000;
    TKaConnectionPoolManager::CleanupPeriodMs = 1;
    {
        TestManager m;
        const TPoolConnectionParameters p = Params(3);
        std::atomic<int> inUse{0}, most{0}, errors{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 150; ++i) {
                    try {
                        TKaConnection* c = m.GetConnection(p);
                        int now = ++inUse;
                        int seen = most.load();
                        while (now > seen && !most.compare_exchange_weak(seen, now)) {}
                        std::this_thread::yield();
                        --inUse;
                        c->ReturnToPool();
                    } catch (const Exception&) {
                        ++errors;
                    }
                }
            });
        for (auto& t : threads) t.join();
        EXPECT_EQ(errors.load(), 0);
        EXPECT_LE(most.load(), 3);
        // The clean-up thread, running every millisecond here, reserves a
        // slot while it looks at an idle connection: wait it out.
        for (int k = 0; k < 2000 && m.Pool(0)->TakenCount() != 0; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(m.Pool(0)->TakenCount(), 0);
        EXPECT_LE(m.Pool(0)->GetTotalConnectionsCount(), 3);
    }
    TKaConnectionPoolManager::CleanupPeriodMs = 30000;
}

TEST(PoolParameters, CopiesCompareEveryField) {
    TPoolConnectionParameters a = Params(5, 1);
    a.ProxyUsername = "proxy";
    auto copy = a.Clone();
    EXPECT_TRUE(copy->Equals(a));
    copy->StatementCacheSize = 7;
    EXPECT_FALSE(copy->Equals(a));
    copy->Assign(a);
    EXPECT_TRUE(copy->Equals(a));
}

}  // namespace
