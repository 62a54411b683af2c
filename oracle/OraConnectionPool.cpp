#include "oracle/OraConnectionPool.h"

#include "oracle/OraConsts.h"
#include "oracle/OraException.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TOraLocalConnectionPool, TKaLocalConnectionPool, nullptr)
ORA_DEFINE_CLASS(TOraOCIConnectionPool, TKaConnectionPool, nullptr)
ORA_DEFINE_CLASS(TOraMTSConnectionPool, TKaConnectionPool, nullptr)
ORA_DEFINE_CLASS(TOraConnectionPoolManager, TKaConnectionPoolManager, nullptr)

namespace {
const char* const kModule = "OraConnectionPool";

void StartHook() {
    if (LongOperationStartHook) LongOperationStartHook();
}
void EndHook() {
    if (LongOperationEndHook) LongOperationEndHook();
}
}  // namespace

void SetPooledCallStyle(TOCIConnection& connection, const TPoolConnectionParameters& parameters) {
    if (IsDirectOnly(AvailableCallStyles)) return;
    connection.SetCallStyle(parameters.UseOCI7 ? csOCI7 : CallStyle);
}

TKaConnection* TOraLocalConnectionPool::CreateNewConnector() {
    auto connection = std::make_unique<TOCIConnection>();
    StartHook();
    try {
        const TPoolConnectionParameters& p = Parameters();
        connection->SetProp(prConnectMode, TVariant(static_cast<int32_t>(p.ConnectMode)));
        SetPooledCallStyle(*connection, p);
        connection->SetUsername(p.Username);
        connection->SetPassword(p.Password);
        connection->SetServer(p.Server);
        connection->Connect("");
    } catch (...) {
        EndHook();
        throw;
    }
    EndHook();
    return connection.release();
}

TOraOCIConnectionPool::~TOraOCIConnectionPool() {
    if (!poolName_.empty()) OCISessionPoolDestroy(hSPool_, hOCIError, OCI_DEFAULT);
    if (hSPool_) OCIHandleFree(hSPool_, OCI_HTYPE_SPOOL);
}

TKaConnection* TOraOCIConnectionPool::GetConnection() {
    if (!OCIInitialized.load()) InitOCI();
    if (IsDirectOnly(AvailableCallStyles)) throw EOraError(0, nullptr, SOCIPoolingDirect);
    if (ClientVersion < 9200) throw EOraError(0, nullptr, SOCIPoolingVersion);
    const TPoolConnectionParameters& p = Parameters();
    {
        std::lock_guard<std::mutex> g(createLock_);
        if (!hSPool_) {
            void* h = nullptr;
            Check(OCIHandleAlloc(hOCIEnv, &h, OCI_HTYPE_SPOOL, 0, nullptr));
            hSPool_ = static_cast<OCISPool*>(h);
            oratext* name = nullptr;
            ub4 nameLength = 0;
            sword status = OCISessionPoolCreate(
                hOCIEnv, hOCIError, hSPool_, &name, &nameLength, reinterpret_cast<const oratext*>(p.Server.c_str()),
                static_cast<ub4>(p.Server.size()), static_cast<ub4>(p.MinPoolSize), static_cast<ub4>(p.MaxPoolSize), 0,
                nullptr, 0, nullptr, 0, p.StatementCache ? ub4(OCI_SPC_STMTCACHE) : ub4(OCI_DEFAULT));
            if (status != OCI_SUCCESS) {
                OCIHandleFree(hSPool_, OCI_HTYPE_SPOOL);
                hSPool_ = nullptr;
                Check(status);
            }
            poolName_.assign(reinterpret_cast<const char*>(name), nameLength);
        }
    }
    auto connection = std::make_unique<TOCIConnection>();
    connection->SetProp(prConnectMode, TVariant(static_cast<int32_t>(p.ConnectMode)));
    SetPooledCallStyle(*connection, p);
    connection->SetUsername(p.Username);
    connection->SetPassword(p.Password);
    connection->SetProp(prStatementCache, TVariant(p.StatementCache));
    connection->SetProp(prStatementCacheSize, TVariant(p.StatementCacheSize));
    connection->SetPoolingKind(1);
    connection->Connect(poolName_);
    connection->SetPool(this);
    ++takenCount_;
    return connection.release();
}

void TOraOCIConnectionPool::PutConnection(TKaConnection* connection) {
    delete connection;
    --takenCount_;
}

TKaConnection* TOraMTSConnectionPool::GetConnection() {
    if (!OCIInitialized.load()) InitOCI();
    if (IsDirectOnly(AvailableCallStyles)) throw EOraError(0, nullptr, SMTSPoolingDirect);
    LoadMTS();
    const TPoolConnectionParameters& p = Parameters();
    auto connection = std::make_unique<TOCIConnection>();
    SetPooledCallStyle(*connection, p);
    connection->SetUsername(p.Username);
    connection->SetPassword(p.Password);
    connection->SetServer(p.Server);
    connection->SetProp(prStatementCache, TVariant(p.StatementCache));
    connection->SetProp(prStatementCacheSize, TVariant(p.StatementCacheSize));
    connection->SetPoolingKind(2);
    connection->Connect("");
    connection->SetPool(this);
    ++takenCount_;
    return connection.release();
}

void TOraMTSConnectionPool::PutConnection(TKaConnection* connection) {
    delete connection;
    --takenCount_;
}

std::unique_ptr<TKaConnectionPool> TOraConnectionPoolManager::CreateConnectionPool(
    const TPoolConnectionParameters& parameters) {
    switch (parameters.PoolingKind) {
    case 0: return std::make_unique<TOraLocalConnectionPool>(this, parameters);
    case 1: return std::make_unique<TOraOCIConnectionPool>(this, parameters);
    case 2: return std::make_unique<TOraMTSConnectionPool>(this, parameters);
    default: RaiseAssertion("PoolingKind", kModule, __LINE__);
    }
}

TKaConnection* TOraConnectionPoolManager::GetConnection(const TPoolConnectionParameters& parameters) {
    std::lock_guard<TCriticalSection> g(getLock_);
    TKaConnection* pooled = TKaConnectionPoolManager::GetConnection(parameters);
    if (parameters.ProxyUsername.empty() && parameters.ProxyPassword.empty()) return pooled;
    auto* base = static_cast<TOCIConnection*>(pooled);
    auto proxy = std::make_unique<TOCIConnection>();
    try {
        SetPooledCallStyle(*proxy, parameters);
        proxy->SetUsername(parameters.ProxyUsername);
        proxy->SetPassword(parameters.ProxyPassword);
        proxy->SetProp(prStatementCache, TVariant(parameters.StatementCache));
        proxy->SetProp(prStatementCacheSize, TVariant(parameters.StatementCacheSize));
        proxy->SetPooledConnection(base);
        proxy->SetPool(base->Pool());
        proxy->Connect("");
    } catch (...) {
        // the pooled connection goes back; the caller gets the error
        base->ReturnToPool();
        throw;
    }
    return proxy.release();
}

TKaConnection* TOraConnectionPoolManager::PrepareReturn(TKaConnection* connection) {
    auto* c = dynamic_cast<TOCIConnection*>(connection);
    if (c && c->PooledConnection()) {
        TOCIConnection* pooled = c->PooledConnection();
        delete c;
        return pooled;
    }
    return connection;
}

}  // namespace tms::ora
