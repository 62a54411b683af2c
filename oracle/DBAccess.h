#pragma once
// The pieces of the data-access components the library links: the
// library's database exception, the process's network manager, the
// service-control and network-enumeration entry points loaded by name at
// start-up, and the disconnect of a connection component.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "oracle/OraClassRegistry.h"
#include "oracle/OraException.h"
#include "oracle/OraSync.h"

namespace tms::ora {

// The library's database exception: an error code and the component that
// raised it.
class EDAError : public EDatabaseError {
public:
    EDAError(int32_t errorCode, TObject* component, std::string message)
        : EDatabaseError(std::move(message)), ErrorCode(errorCode), Component(component) {}
    int32_t ErrorCode;
    TObject* Component;
};

// One object per process: it owns objects handed to it and frees them with
// itself; its list is guarded by its critical section.
class TKaNetManager : public TObject {
    ORA_DECLARE_CLASS(TKaNetManager)
public:
    TKaNetManager() = default;
    ~TKaNetManager() override;
    TKaNetManager(const TKaNetManager&) = delete;
    TKaNetManager& operator=(const TKaNetManager&) = delete;
    void Add(std::unique_ptr<TObject> object);
    int32_t Count();

private:
    TCriticalSection lock_;
    std::vector<std::unique_ptr<TObject>> objects_;
};
TKaNetManager* NetManager();  // nullptr outside start-up and shutdown

// A connection component: the disconnect the session list uses sets its
// connected property to false.
class TCustomDAConnection : public TObject {
    ORA_DECLARE_CLASS(TCustomDAConnection)
public:
    bool Connected() const { return connected_; }
    virtual void SetConnected(bool value) { connected_ = value; }
    void Disconnect() { SetConnected(false); }

private:
    bool connected_ = false;
};

// The nine entry points, each bound to the stub that raises "function is
// not linked" until its library and name are found.
struct TDBAccessEntry {
    const char* Library;  // "advapi32.dll" or "netapi32.dll"
    const char* Name;
    void* Address;
};
const std::vector<TDBAccessEntry>& DBAccessEntries();
void* DBAccessEntry(const std::string& name);  // the bound address or the stub
void* DBAccessStub();                          // the stub itself
// The stub's shape: any call raises "function is not linked".
using TDBAccessProc = void (*)();

void DBAccessStartup();
void DBAccessShutdown();

}  // namespace tms::ora
