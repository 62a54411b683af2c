#pragma once
// The Oracle pools: the local pool over Oracle connections, the pool over
// the client's own session pool, the pool of connections enlisted with the
// transaction coordinator, and the manager that makes them and stands proxy
// connections on pooled ones.

#include <memory>
#include <string>

#include "oracle/KaConnectionPool.h"
#include "oracle/OraClasses.h"

namespace tms::ora {

class TOraLocalConnectionPool : public TKaLocalConnectionPool {
    ORA_DECLARE_CLASS(TOraLocalConnectionPool)
public:
    using TKaLocalConnectionPool::TKaLocalConnectionPool;
    ~TOraLocalConnectionPool() override { Clear(); }

protected:
    TKaConnection* CreateNewConnector() override;
};

class TOraOCIConnectionPool : public TKaConnectionPool {
    ORA_DECLARE_CLASS(TOraOCIConnectionPool)
public:
    using TKaConnectionPool::TKaConnectionPool;
    ~TOraOCIConnectionPool() override;
    TKaConnection* GetConnection() override;
    void PutConnection(TKaConnection* connection) override;
    const std::string& PoolName() const { return poolName_; }

private:
    std::mutex createLock_;
    OCISPool* hSPool_ = nullptr;
    std::string poolName_;
};

class TOraMTSConnectionPool : public TKaConnectionPool {
    ORA_DECLARE_CLASS(TOraMTSConnectionPool)
public:
    using TKaConnectionPool::TKaConnectionPool;
    TKaConnection* GetConnection() override;
    void PutConnection(TKaConnection* connection) override;
};

class TOraConnectionPoolManager : public TKaConnectionPoolManager {
    ORA_DECLARE_CLASS(TOraConnectionPoolManager)
public:
    ~TOraConnectionPoolManager() override { Shutdown(); }
    TKaConnection* GetConnection(const TPoolConnectionParameters& parameters) override;
    TKaConnection* PrepareReturn(TKaConnection* connection) override;

protected:
    std::unique_ptr<TKaConnectionPool> CreateConnectionPool(const TPoolConnectionParameters& parameters) override;

private:
    TCriticalSection getLock_;
};

// The call style a pooled connection of these parameters uses: Oracle 7
// when asked for, else the process default (nothing in direct mode).
void SetPooledCallStyle(TOCIConnection& connection, const TPoolConnectionParameters& parameters);

}  // namespace tms::ora
