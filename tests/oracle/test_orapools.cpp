// The Oracle pools over the fake client: the local pool reusing real
// connections, the client session pool and its version limit, the
// coordinator pool, proxy connections, the pool kinds of the manager, and
// many threads taking and returning connections.

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

#include "oracle/OraConnectionPool.h"
#include "oracle/OraConsts.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::Calls;
using oratest::ErrorOf;
using oratest::FakeHomeScope;
using namespace std::chrono_literals;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

TPoolConnectionParameters Scott(uint8_t kind = 0) {
    TPoolConnectionParameters p;
    p.Username = "scott";
    p.Password = "tiger";
    p.Server = "orcl";
    p.MaxPoolSize = 4;
    p.PoolingKind = kind;
    return p;
}

TEST(OraPools, LocalPoolReusesConnections) {
    FakeHomeScope home("ora10201");
    {
        TOraConnectionPoolManager manager;
        TPoolConnectionParameters p = Scott();
        p.ConnectMode = 2;
        auto* a = dynamic_cast<TOCIConnection*>(manager.GetConnection(p));
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->GetConnected());
        EXPECT_EQ(a->ConnectMode(), 2);
        a->ReturnToPool();
        auto* b = manager.GetConnection(p);
        EXPECT_EQ(b, a);  // the same session again
        EXPECT_EQ(Calls(home.Journal(), {"OCISessionBegin"}), "OCISessionBegin credt=1 mode=2\n");
        b->ReturnToPool();
        TPoolConnectionParameters seven = Scott();
        seven.UseOCI7 = true;
        auto* c = dynamic_cast<TOCIConnection*>(manager.GetConnection(seven));
        EXPECT_EQ(c->CallStyleInUse(), csOCI7);
        EXPECT_EQ(manager.PoolCount(), 2);
        c->ReturnToPool();
        TPoolConnectionParameters bad = Scott();
        bad.Password = "wrong";
        EXPECT_EQ(ErrorOf([&] { manager.GetConnection(bad); }), "ORA-01017: invalid username/password; logon denied");
    }
    EXPECT_EQ(home->live_handles(), 2);  // every pooled session ended with the manager
}

TEST(OraPools, ProxyConnectionsStandOnPooledOnes) {
    FakeHomeScope home("ora10201");
    TOraConnectionPoolManager manager;
    TPoolConnectionParameters p = Scott();
    p.ProxyUsername = "proxy";
    p.ProxyPassword = "proxypw";
    auto* proxy = dynamic_cast<TOCIConnection*>(manager.GetConnection(p));
    ASSERT_NE(proxy, nullptr);
    TOCIConnection* pooled = proxy->PooledConnection();
    ASSERT_NE(pooled, nullptr);
    EXPECT_EQ(proxy->Pool(), pooled->Pool());
    EXPECT_NE(home.Journal().find("OCIAttrSet type=9 attr=99 value=handle"), std::string::npos);
    proxy->ReturnToPool();  // the proxy ends, the pooled connection goes back
    auto* pool = dynamic_cast<TKaLocalConnectionPool*>(manager.Pool(0));
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->IdleCount(), 1);
    EXPECT_EQ(pool->TakenCount(), 0);
}

TEST(OraPools, ClientSessionPool) {
    {
        FakeHomeScope home("ora817");
        TOraConnectionPoolManager manager;
        try {
            manager.GetConnection(Scott(1));
            ADD_FAILURE();
        } catch (const EOraError& e) {
            EXPECT_EQ(e.Message(), "OCI pooling is supported starting with OCI 9.2");
        }
    }
    FakeHomeScope home("ora10201");
    {
        TOraConnectionPoolManager manager;
        TPoolConnectionParameters p = Scott(1);
        p.MinPoolSize = 1;
        p.StatementCache = true;
        auto* c = dynamic_cast<TOCIConnection*>(manager.GetConnection(p));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->PoolingKind(), 1);
        EXPECT_EQ(manager.Pool(0)->TakenCount(), 1);
        EXPECT_EQ(Calls(home.Journal(), {"OCISessionPoolCreate", "OCISessionGet"}),
                  "OCISessionPoolCreate server=orcl min=1 max=4 incr=0 mode=4\n"
                  "OCISessionGet pool=FAKEPOOL:orcl user=scott mode=1\n");
        EXPECT_TRUE(c->CheckIsValid());
        home->clear_journal();
        c->ReturnToPool();
        EXPECT_EQ(manager.Pool(0)->TakenCount(), 0);
        EXPECT_EQ(Calls(home.Journal(), {"OCISession"}), "OCISessionRelease mode=0\n");
    }
    EXPECT_NE(home.Journal().find("OCISessionPoolDestroy mode=0"), std::string::npos);
    EXPECT_EQ(home->live_handles(), 2);
    // in direct mode no client pool exists
    TOraConnectionPoolManager manager;
    const TCallStyles saved = AvailableCallStyles;
    AvailableCallStyles = StyleBit(csOCI8);
    EXPECT_EQ(ErrorOf([&] { manager.GetConnection(Scott(1)); }), "OCI pooling is not supported in Direct mode");
    EXPECT_EQ(ErrorOf([&] { manager.GetConnection(Scott(2)); }), "MTS pooling is not supported in Direct mode");
    AvailableCallStyles = saved;
}

TEST(OraPools, CoordinatorPoolAndUnknownKinds) {
    FakeHomeScope home("ora9201");
    TOraConnectionPoolManager manager;
    auto* c = dynamic_cast<TOCIConnection*>(manager.GetConnection(Scott(2)));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(c->PoolingKind(), 2);
    EXPECT_TRUE(MTSLoaded);
    EXPECT_EQ(manager.Pool(0)->TakenCount(), 1);
    c->ReturnToPool();
    EXPECT_EQ(manager.Pool(0)->TakenCount(), 0);
    EXPECT_THROW(manager.GetConnection(Scott(3)), EAssertionFailed);
}

TEST(OraPools, ManyThreadsTakeAndReturn) {
    FakeHomeScope home("ora10201");
    TOraConnectionPoolManager manager;
    const TPoolConnectionParameters p = Scott();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i) {
                try {
                    TKaConnection* c = manager.GetConnection(p);
                    if (!c->CheckIsValid()) ++failures;
                    c->ReturnToPool();
                } catch (...) {
                    ++failures;
                }
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
    auto* pool = dynamic_cast<TKaLocalConnectionPool*>(manager.Pool(0));
    EXPECT_LE(pool->IdleCount(), 4);
    EXPECT_EQ(pool->TakenCount(), 0);
}

// The program's exit: the library's whole shutdown, while the pools'
// clean-up thread hangs 8 s in a client call.
TEST(OraPools, ShutdownKeepsItsLimitWhileTheCleanUpHangsInTheClient) {
    ASSERT_EQ(TKaConnectionPoolManager::StopWaitMs.load(), 5000u);
    {
        FakeHomeScope home("ora10201");
        TKaConnectionPoolManager::CleanupPeriodMs = 10;
        SetPoolManager(std::make_unique<TOraConnectionPoolManager>());
        PoolManager()->GetConnection(Scott())->ReturnToPool();
        // the next check asks the server about the idle connection
        PoolManager()->Pool(0)->Invalidate();
        home->set_stalled(1);
        for (int i = 0; i < 500 && home->held() == 0; ++i) std::this_thread::sleep_for(10ms);
        ASSERT_EQ(home->held(), 1);
        const auto start = std::chrono::steady_clock::now();
        std::thread letGo([&] {
            std::this_thread::sleep_for(8s);
            home->release_held();
        });
        shutdownModules();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5500ms);
        EXPECT_EQ(PoolManager(), nullptr);
        letGo.join();
        // the thread given up comes back to a client that is still there,
        // ends the pooled session in it and frees the pool
        for (int i = 0; i < 500 && home->live_handles() > 2; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_EQ(home->live_handles(), 2);
        EXPECT_NE(home.Journal().find("OCISessionEnd"), std::string::npos);
        TKaConnectionPoolManager::CleanupPeriodMs = 30000;
    }
    startupModules();
}

}  // namespace
