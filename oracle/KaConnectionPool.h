#pragma once
// Connection pools, the part that needs no client: the parameters a pool is
// keyed by, the base pool, the local pool that keeps idle connections in a
// ring and validates and trims them, the manager with its clean-up thread,
// ClearAllPools and the process-detach hook. The pools are the library's
// only multi-threaded part: any thread may get and return connections.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "oracle/KaAccess.h"
#include "oracle/OraSync.h"

namespace tms::ora {

class TKaConnectionPoolManager;

// The parameters a pool is keyed by.
class TPoolConnectionParameters : public TObject {
    ORA_DECLARE_CLASS(TPoolConnectionParameters)
public:
    int32_t MinPoolSize = 0;
    int32_t MaxPoolSize = 100;
    std::string Username, Server, Password;
    uint32_t ConnectionLifetime = 0;  // milliseconds; 0 means unlimited
    bool Validate = false;            // validate a reused connection every time
    uint8_t ConnectMode = 0;
    bool UseOCI7 = false;
    uint8_t PoolingKind = 0;  // 0 local, 1 Oracle session pool, 2 transaction coordinator
    bool StatementCache = false;
    int32_t StatementCacheSize = 0;
    std::string ProxyUsername, ProxyPassword;

    // A new object of the same class holding the same values.
    virtual std::unique_ptr<TPoolConnectionParameters> Clone() const;
    virtual void Assign(const TPoolConnectionParameters& other);
    // Every field counts: a pool serves only requests of the very same
    // parameters.
    virtual bool Equals(const TPoolConnectionParameters& other) const;
};

class TKaConnectionPool : public TObject {
    ORA_DECLARE_CLASS(TKaConnectionPool)
public:
    TKaConnectionPool(TKaConnectionPoolManager* manager, const TPoolConnectionParameters& parameters);
    ~TKaConnectionPool() override = default;
    TKaConnectionPool(const TKaConnectionPool&) = delete;
    TKaConnectionPool& operator=(const TKaConnectionPool&) = delete;

    virtual void PeriodicCheck() {}
    virtual void Clear() {}
    virtual void Reset() {}
    virtual int32_t GetTotalConnectionsCount() { return takenCount_.load(); }
    virtual void PutConnection(TKaConnection* connection) = 0;
    virtual TKaConnection* GetConnection() = 0;
    virtual void Invalidate() {}

    const TPoolConnectionParameters& Parameters() const { return *parameters_; }
    TKaConnectionPoolManager* Manager() const { return manager_; }
    int32_t TakenCount() const { return takenCount_.load(); }

protected:
    std::unique_ptr<TPoolConnectionParameters> parameters_;
    TKaConnectionPoolManager* manager_;
    // Connections handed out and not yet returned. The local pool changes it
    // only under its count lock; the other pools with atomic steps.
    std::atomic<int32_t> takenCount_{0};
};

// A pool that keeps idle connections in a ring of MaxPoolSize entries.
class TKaLocalConnectionPool : public TKaConnectionPool {
    ORA_DECLARE_CLASS(TKaLocalConnectionPool)
public:
    // How long GetConnection waits for a free slot (30 seconds); tests
    // shorten it.
    static std::atomic<uint32_t> SlotWaitMs;

    TKaLocalConnectionPool(TKaConnectionPoolManager* manager, const TPoolConnectionParameters& parameters);
    // Derived pools call Clear in their own destructors while their
    // CreateNewConnector is still theirs; this one clears what is left.
    ~TKaLocalConnectionPool() override;

    void PeriodicCheck() override;
    void Clear() override;
    void Reset() override;
    int32_t GetTotalConnectionsCount() override;
    void PutConnection(TKaConnection* connection) override;
    TKaConnection* GetConnection() override;
    void Invalidate() override;

    int32_t IdleCount();
    int32_t InvalidateVersion() const { return invalidateVersion_.load(); }
    int32_t ResetVersion() const { return resetVersion_.load(); }

protected:
    virtual TKaConnection* CreateNewConnector() = 0;

private:
    bool WithinLifetime(const TKaConnection* connection) const;
    // Takes the head of the ring; a reserving take also counts the slot.
    bool TakeHead(bool reserve, TKaConnection*& connection, uint32_t& stamp);
    void PutInRing(TKaConnection* connection, uint32_t stamp);
    // Destroys a connection; unless the slot stays reserved it is freed.
    void FreeConnection(TKaConnection* connection, bool keepReserved);
    void ReleaseSlot();

    std::vector<TKaConnection*> ring_;
    std::vector<uint32_t> stamps_;
    int32_t idleCount_ = 0;
    int32_t head_ = 0;
    int32_t tail_ = 0;
    std::atomic<uint32_t> putStamp_{0};
    uint32_t history_[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    int32_t surplus_ = 0;
    std::atomic<int32_t> invalidateVersion_{0};
    std::atomic<int32_t> resetVersion_{0};
    TEvent slotFree_{true, true};  // manual reset, created set
    TCriticalSection ringLock_, countLock_, stampLock_, takeLock_;
};

class TKaConnectionPoolManager : public TObject {
    ORA_DECLARE_CLASS(TKaConnectionPoolManager)
public:
    // How often the clean-up thread runs every pool's PeriodicCheck.
    static std::atomic<uint32_t> CleanupPeriodMs;
    // How long Shutdown waits for the clean-up thread to end, and ClearPools
    // for its round (5000 ms): a thread still inside a client call then is
    // given up with the pools, which it frees when it ends. Library shutdown
    // runs ClearPools first, so a stuck thread is waited for once.
    static std::atomic<uint32_t> StopWaitMs;

    // Starts the clean-up thread.
    TKaConnectionPoolManager();
    // Stops the clean-up thread and destroys every pool. A derived manager
    // calls Shutdown in its own destructor, before its pools' classes end.
    ~TKaConnectionPoolManager() override;
    TKaConnectionPoolManager(const TKaConnectionPoolManager&) = delete;
    TKaConnectionPoolManager& operator=(const TKaConnectionPoolManager&) = delete;

    // The pool of these parameters (made on first use) hands out a connection.
    virtual TKaConnection* GetConnection(const TPoolConnectionParameters& parameters);
    // What goes back to the pool for a returned connection.
    virtual TKaConnection* PrepareReturn(TKaConnection* connection) { return connection; }

    // Destroys every pool. A clean-up round under way is waited for as long
    // as Shutdown waits for the thread; a thread stuck longer is given up
    // with the pools, and a new one goes on for the manager.
    void ClearPools();
    int32_t PoolCount();
    TKaConnectionPool* Pool(int32_t index);
    // Stops the clean-up thread and destroys the pools (once).
    void Shutdown();

protected:
    virtual std::unique_ptr<TKaConnectionPool> CreateConnectionPool(const TPoolConnectionParameters& parameters) = 0;

private:
    // The pools with their lock, and the clean-up thread's signals (under
    // the wake lock): shared with the thread, so that a thread given up
    // still finds them when its client call returns; it then frees the
    // pools itself.
    struct TPoolList {
        std::vector<std::unique_ptr<TKaConnectionPool>> Pools;
        TCriticalSection Lock;
        std::mutex WakeLock;
        std::condition_variable Wake;
        bool Stop = false, Ended = false;
        bool Checking = false;  // a round holds the pools' lock
        bool GivenUp = false;   // the manager went on without the thread
    };
    static void CleanupLoop(std::shared_ptr<TPoolList> list);
    std::shared_ptr<TPoolList> List();
    // Leaves the thread the pools it holds (the wake lock held), and goes on
    // with an empty list.
    void GiveUpCleanup(std::unique_lock<std::mutex>& wake);

    std::mutex listSwap_;  // guards which list list_ is
    std::shared_ptr<TPoolList> list_ = std::make_shared<TPoolList>();
    TCriticalSection getLock_;
    std::thread cleanup_;
};

// The process's manager: empty until a caller creates one. The library
// destroys it at shutdown and on process detach.
TKaConnectionPoolManager* PoolManager();
// Makes the manager the process's (a previous one is destroyed).
void SetPoolManager(std::unique_ptr<TKaConnectionPoolManager> manager);
// Destroys every pool of the process's manager, when there is one.
void ClearAllPools();

void KaConnectionPoolStartup();
void KaConnectionPoolShutdown();

}  // namespace tms::ora
