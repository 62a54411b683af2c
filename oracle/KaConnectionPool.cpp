#include "oracle/KaConnectionPool.h"

#include <chrono>

#include "oracle/DAConsts.h"
#include "oracle/OraDetachHook.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraTick.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TPoolConnectionParameters, TObject, nullptr)
ORA_DEFINE_CLASS(TKaConnectionPool, TObject, nullptr)
ORA_DEFINE_CLASS(TKaLocalConnectionPool, TKaConnectionPool, nullptr)
ORA_DEFINE_CLASS(TKaConnectionPoolManager, TObject, nullptr)

// ---------------------------------------------------------------------------
// Parameters

std::unique_ptr<TPoolConnectionParameters> TPoolConnectionParameters::Clone() const {
    auto copy = std::make_unique<TPoolConnectionParameters>();
    copy->Assign(*this);
    return copy;
}

void TPoolConnectionParameters::Assign(const TPoolConnectionParameters& o) {
    MinPoolSize = o.MinPoolSize;
    MaxPoolSize = o.MaxPoolSize;
    Username = o.Username;
    Server = o.Server;
    Password = o.Password;
    ConnectionLifetime = o.ConnectionLifetime;
    Validate = o.Validate;
    ConnectMode = o.ConnectMode;
    UseOCI7 = o.UseOCI7;
    PoolingKind = o.PoolingKind;
    StatementCache = o.StatementCache;
    StatementCacheSize = o.StatementCacheSize;
    ProxyUsername = o.ProxyUsername;
    ProxyPassword = o.ProxyPassword;
}

bool TPoolConnectionParameters::Equals(const TPoolConnectionParameters& o) const {
    return ClassType() == o.ClassType() && MinPoolSize == o.MinPoolSize && MaxPoolSize == o.MaxPoolSize &&
           Username == o.Username && Server == o.Server && Password == o.Password &&
           ConnectionLifetime == o.ConnectionLifetime && Validate == o.Validate && ConnectMode == o.ConnectMode &&
           UseOCI7 == o.UseOCI7 && PoolingKind == o.PoolingKind && StatementCache == o.StatementCache &&
           StatementCacheSize == o.StatementCacheSize && ProxyUsername == o.ProxyUsername &&
           ProxyPassword == o.ProxyPassword;
}

// ---------------------------------------------------------------------------
// Base pool

TKaConnectionPool::TKaConnectionPool(TKaConnectionPoolManager* manager, const TPoolConnectionParameters& parameters)
    : parameters_(parameters.Clone()), manager_(manager) {}

// ---------------------------------------------------------------------------
// Local pool

std::atomic<uint32_t> TKaLocalConnectionPool::SlotWaitMs{30000};

TKaLocalConnectionPool::TKaLocalConnectionPool(TKaConnectionPoolManager* manager,
                                               const TPoolConnectionParameters& parameters)
    : TKaConnectionPool(manager, parameters) {
    const int32_t max = parameters_->MaxPoolSize > 0 ? parameters_->MaxPoolSize : 1;
    parameters_->MaxPoolSize = max;
    ring_.assign(static_cast<size_t>(max), nullptr);
    stamps_.assign(static_cast<size_t>(max), 0);
}

TKaLocalConnectionPool::~TKaLocalConnectionPool() { TKaLocalConnectionPool::Clear(); }

bool TKaLocalConnectionPool::WithinLifetime(const TKaConnection* c) const {
    const uint32_t lifetime = parameters_->ConnectionLifetime;
    return lifetime == 0 || TickDiff(c->CreationTime(), GetTickCount()) <= lifetime;
}

bool TKaLocalConnectionPool::TakeHead(bool reserve, TKaConnection*& connection, uint32_t& stamp) {
    // Lock order of a reserving take: take, count, ring.
    std::unique_lock<TCriticalSection> take(takeLock_, std::defer_lock);
    std::unique_lock<TCriticalSection> count(countLock_, std::defer_lock);
    if (reserve) {
        take.lock();
        count.lock();
    }
    std::lock_guard<TCriticalSection> ring(ringLock_);
    if (idleCount_ == 0) return false;
    const int32_t max = parameters_->MaxPoolSize;
    if (reserve) {
        if (takenCount_.load() >= max) return false;
        if (takenCount_.fetch_add(1) + 1 >= max) slotFree_.ResetEvent();
    }
    connection = ring_[static_cast<size_t>(head_)];
    stamp = stamps_[static_cast<size_t>(head_)];
    ring_[static_cast<size_t>(head_)] = nullptr;
    head_ = (head_ + 1) % max;
    --idleCount_;
    return true;
}

void TKaLocalConnectionPool::PutInRing(TKaConnection* connection, uint32_t stamp) {
    std::lock_guard<TCriticalSection> count(countLock_);
    std::lock_guard<TCriticalSection> ring(ringLock_);
    ring_[static_cast<size_t>(tail_)] = connection;
    stamps_[static_cast<size_t>(tail_)] = stamp;
    tail_ = (tail_ + 1) % parameters_->MaxPoolSize;
    ++idleCount_;
    takenCount_.fetch_sub(1);
    slotFree_.SetEvent();
}

void TKaLocalConnectionPool::ReleaseSlot() {
    std::lock_guard<TCriticalSection> count(countLock_);
    takenCount_.fetch_sub(1);
    slotFree_.SetEvent();
}

void TKaLocalConnectionPool::FreeConnection(TKaConnection* connection, bool keepReserved) {
    delete connection;
    if (!keepReserved) ReleaseSlot();
}

TKaConnection* TKaLocalConnectionPool::GetConnection() {
    // 1. A free slot, waited for while other callers queue on the take lock.
    const uint32_t start = GetTickCount();
    {
        std::unique_lock<TCriticalSection> take(takeLock_);
        const uint32_t waited = TickDiff(start, GetTickCount());
        const uint32_t limit = SlotWaitMs.load();
        const uint32_t left = waited >= limit ? 0 : limit - waited;
        if (slotFree_.WaitFor(left) == TWaitResult::Timeout) RaiseError(SMaxConnectionsReached);
        // 2. Count the slot; the last free one closes the event, so the
        //    next caller waits for a return.
        std::lock_guard<TCriticalSection> count(countLock_);
        if (takenCount_.load() >= parameters_->MaxPoolSize) RaiseError(SMaxConnectionsReached);
        if (takenCount_.fetch_add(1) + 1 >= parameters_->MaxPoolSize) slotFree_.ResetEvent();
    }
    // 3. An idle connection when it may be reused.
    TKaConnection* connection = nullptr;
    uint32_t stamp = 0;
    if (TakeHead(false, connection, stamp)) {
        const int32_t version = connection->PoolVersion();
        bool reusable = false;
        if (version >= resetVersion_.load()) {
            if (!parameters_->Validate && version >= invalidateVersion_.load()) {
                reusable = true;
            } else if (connection->CheckIsValid()) {
                connection->SetPoolVersion(invalidateVersion_.load());
                reusable = true;
            }
        }
        if (!reusable) {
            FreeConnection(connection, true);
            connection = nullptr;
        }
    }
    // 4. Otherwise a new one. A connection that cannot be made gives its
    //    slot back, so failed attempts do not use up the pool.
    if (!connection) {
        try {
            connection = CreateNewConnector();
        } catch (...) {
            ReleaseSlot();
            throw;
        }
    }
    // 5.
    connection->SetPool(this);
    connection->SetPoolVersion(invalidateVersion_.load());
    return connection;
}

void TKaLocalConnectionPool::PutConnection(TKaConnection* connection) {
    ORA_ASSERT(connection != nullptr && connection->Pool() == this, "KaConnectionPool", "Connection.Pool = Self");
    const int32_t version = connection->PoolVersion();
    if (WithinLifetime(connection) && connection->IsValid() && version >= resetVersion_.load()) {
        if (version < invalidateVersion_.load() && !connection->CheckIsValid()) {
            FreeConnection(connection, false);
            return;
        }
        uint32_t stamp;
        {
            std::lock_guard<TCriticalSection> g(stampLock_);
            stamp = putStamp_.fetch_add(1) + 1;
        }
        connection->SetPool(nullptr);
        PutInRing(connection, stamp);
        return;
    }
    FreeConnection(connection, false);
}

void TKaLocalConnectionPool::PeriodicCheck() {
    // 1. The stamp marks: the oldest sample and the one of the last run.
    uint32_t oldMark, recentMark;
    {
        std::lock_guard<TCriticalSection> g(stampLock_);
        oldMark = history_[0];
        recentMark = history_[7];
        for (int i = 0; i < 7; ++i) history_[i] = history_[i + 1];
        history_[7] = putStamp_.load();
    }
    // 2. How many idle connections to trim this time.
    const int32_t trim = (surplus_ + 6) / 8;
    surplus_ = IdleCount() - parameters_->MinPoolSize - trim;
    // 3. Visit each idle connection once.
    int32_t destroyed = 0;
    int32_t toVisit = IdleCount();
    for (; toVisit > 0; --toVisit) {
        TKaConnection* c = nullptr;
        uint32_t stamp = 0;
        if (!TakeHead(true, c, stamp)) break;
        const int32_t version = c->PoolVersion();
        bool keep = stamp > oldMark && WithinLifetime(c) && version >= resetVersion_.load();
        if (keep) keep = (stamp > recentMark && version >= invalidateVersion_.load()) || c->CheckIsValid();
        if (keep) {
            PutInRing(c, stamp);
        } else {
            FreeConnection(c, false);
            ++destroyed;
        }
    }
    // 4. Trim further from the head.
    while (destroyed < trim) {
        TKaConnection* c = nullptr;
        uint32_t stamp = 0;
        if (!TakeHead(true, c, stamp)) break;
        FreeConnection(c, false);
        ++destroyed;
    }
}

void TKaLocalConnectionPool::Clear() {
    for (;;) {
        TKaConnection* c = nullptr;
        uint32_t stamp = 0;
        if (!TakeHead(true, c, stamp)) break;
        FreeConnection(c, false);
    }
}

void TKaLocalConnectionPool::Reset() {
    invalidateVersion_.fetch_add(1);
    resetVersion_.fetch_add(1);
}

void TKaLocalConnectionPool::Invalidate() { invalidateVersion_.fetch_add(1); }

int32_t TKaLocalConnectionPool::GetTotalConnectionsCount() {
    std::lock_guard<TCriticalSection> count(countLock_);
    std::lock_guard<TCriticalSection> ring(ringLock_);
    return takenCount_.load() + idleCount_;
}

int32_t TKaLocalConnectionPool::IdleCount() {
    std::lock_guard<TCriticalSection> ring(ringLock_);
    return idleCount_;
}

// ---------------------------------------------------------------------------
// Manager

std::atomic<uint32_t> TKaConnectionPoolManager::CleanupPeriodMs{30000};
std::atomic<uint32_t> TKaConnectionPoolManager::StopWaitMs{5000};

TKaConnectionPoolManager::TKaConnectionPoolManager() : cleanup_(CleanupLoop, list_) {}

TKaConnectionPoolManager::~TKaConnectionPoolManager() { Shutdown(); }

std::shared_ptr<TKaConnectionPoolManager::TPoolList> TKaConnectionPoolManager::List() {
    std::lock_guard<std::mutex> g(listSwap_);
    return list_;
}

void TKaConnectionPoolManager::GiveUpCleanup(std::unique_lock<std::mutex>& wake) {
    // Stuck in a client call: the thread keeps the pools and frees them when
    // it ends, and until then nothing unloads the client under it.
    std::shared_ptr<TPoolList> list = List();
    list->Stop = true;
    list->GivenUp = true;
    HoldLibraries();
    list->Wake.notify_all();
    wake.unlock();
    cleanup_.detach();
    std::lock_guard<std::mutex> g(listSwap_);
    list_ = std::make_shared<TPoolList>();
}

void TKaConnectionPoolManager::Shutdown() {
    if (!cleanup_.joinable()) return;
    std::shared_ptr<TPoolList> list = List();
    {
        std::unique_lock<std::mutex> g(list->WakeLock);
        list->Stop = true;
        list->Wake.notify_all();
        if (!list->Wake.wait_for(g, std::chrono::milliseconds(StopWaitMs.load()), [&] { return list->Ended; })) {
            GiveUpCleanup(g);
            return;
        }
    }
    cleanup_.join();
    ClearPools();
}

void TKaConnectionPoolManager::CleanupLoop(std::shared_ptr<TPoolList> list) {
    std::unique_lock<std::mutex> g(list->WakeLock);
    for (;;) {
        const auto period = std::chrono::milliseconds(CleanupPeriodMs.load());
        if (list->Wake.wait_for(g, period, [&] { return list->Stop; })) break;
        list->Checking = true;
        g.unlock();
        {
            std::lock_guard<TCriticalSection> lock(list->Lock);
            for (auto& pool : list->Pools) pool->PeriodicCheck();
        }
        g.lock();
        list->Checking = false;
        list->Wake.notify_all();
    }
    list->Ended = true;
    list->Wake.notify_all();
    if (!list->GivenUp) return;
    g.unlock();
    // Given up: nobody else frees these pools.
    std::vector<std::unique_ptr<TKaConnectionPool>> gone;
    {
        std::lock_guard<TCriticalSection> lock(list->Lock);
        gone.swap(list->Pools);
    }
    gone.clear();
    ReleaseLibraries();
}

TKaConnection* TKaConnectionPoolManager::GetConnection(const TPoolConnectionParameters& parameters) {
    TKaConnectionPool* pool = nullptr;
    {
        std::lock_guard<TCriticalSection> get(getLock_);
        std::shared_ptr<TPoolList> list = List();
        std::lock_guard<TCriticalSection> lock(list->Lock);
        for (auto& p : list->Pools)
            if (p->Parameters().Equals(parameters)) {
                pool = p.get();
                break;
            }
        if (!pool) {
            list->Pools.push_back(CreateConnectionPool(parameters));
            pool = list->Pools.back().get();
        }
    }
    return pool->GetConnection();
}

void TKaConnectionPoolManager::ClearPools() {
    std::vector<std::unique_ptr<TKaConnectionPool>> gone;
    std::shared_ptr<TPoolList> list = List();
    std::unique_lock<std::mutex> g(list->WakeLock);
    // A clean-up round holds the pools: it may end within the limit a stop
    // waits for the thread. Holding the wake lock keeps the next round from
    // starting before the pools are out.
    if (!list->Wake.wait_for(g, std::chrono::milliseconds(StopWaitMs.load()), [&] { return !list->Checking; })) {
        if (cleanup_.joinable()) {
            GiveUpCleanup(g);
            cleanup_ = std::thread(CleanupLoop, List());
        }
        return;
    }
    std::lock_guard<TCriticalSection> lock(list->Lock);
    gone.swap(list->Pools);
    // the pools end after both locks are left: gone was declared first
}

int32_t TKaConnectionPoolManager::PoolCount() {
    std::shared_ptr<TPoolList> list = List();
    std::lock_guard<TCriticalSection> lock(list->Lock);
    return static_cast<int32_t>(list->Pools.size());
}

TKaConnectionPool* TKaConnectionPoolManager::Pool(int32_t index) {
    std::shared_ptr<TPoolList> list = List();
    std::lock_guard<TCriticalSection> lock(list->Lock);
    return list->Pools.at(static_cast<size_t>(index)).get();
}

// ---------------------------------------------------------------------------
// The process's manager

namespace {
std::mutex gManagerLock;
std::unique_ptr<TKaConnectionPoolManager> gManager;
TDetachHook gPreviousHook = nullptr;
std::once_flag gHookOnce;

void DestroyManager() {
    std::unique_ptr<TKaConnectionPoolManager> gone;
    {
        std::lock_guard<std::mutex> g(gManagerLock);
        gone.swap(gManager);
    }
}

// On process detach the manager goes; the hook installed before this one is
// always called afterwards.
void ProcessDetached() {
    try {
        DestroyManager();
    } catch (...) {}
    if (gPreviousHook) gPreviousHook();
}
}  // namespace

TKaConnectionPoolManager* PoolManager() {
    std::lock_guard<std::mutex> g(gManagerLock);
    return gManager.get();
}

void SetPoolManager(std::unique_ptr<TKaConnectionPoolManager> manager) {
    std::unique_ptr<TKaConnectionPoolManager> old;
    {
        std::lock_guard<std::mutex> g(gManagerLock);
        old.swap(gManager);
        gManager = std::move(manager);
    }
}

void ClearAllPools() {
    std::lock_guard<std::mutex> g(gManagerLock);
    if (gManager) gManager->ClearPools();
}

void KaConnectionPoolStartup() {
    // Installed once per process: a second start-up after a shutdown must
    // not chain the hook to itself.
    std::call_once(gHookOnce, [] { gPreviousHook = ProcessDetachChain().Install(ProcessDetached); });
}

void KaConnectionPoolShutdown() { DestroyManager(); }

}  // namespace tms::ora
