#include "oracle/DBAccess.h"

#include <mutex>

#include "oracle/OraLibrary.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TKaNetManager, TObject, nullptr)
ORA_DEFINE_CLASS(TCustomDAConnection, TObject, nullptr)

TKaNetManager::~TKaNetManager() {
    std::lock_guard<TCriticalSection> g(lock_);
    objects_.clear();
}

void TKaNetManager::Add(std::unique_ptr<TObject> object) {
    std::lock_guard<TCriticalSection> g(lock_);
    objects_.push_back(std::move(object));
}

int32_t TKaNetManager::Count() {
    std::lock_guard<TCriticalSection> g(lock_);
    return static_cast<int32_t>(objects_.size());
}

namespace {
void FunctionNotLinked() { throw Exception("function is not linked"); }

std::vector<TDBAccessEntry> gEntries = {
    {"advapi32.dll", "OpenSCManagerA", nullptr},     {"advapi32.dll", "CloseServiceHandle", nullptr},
    {"advapi32.dll", "OpenServiceA", nullptr},       {"advapi32.dll", "EnumServicesStatusA", nullptr},
    {"advapi32.dll", "QueryServiceStatus", nullptr}, {"advapi32.dll", "StartServiceA", nullptr},
    {"advapi32.dll", "ControlService", nullptr},     {"netapi32.dll", "NetServerEnum", nullptr},
    {"netapi32.dll", "NetApiBufferFree", nullptr},
};
std::mutex gLock;
HMODULE gAdvapi = nullptr;
HMODULE gNetapi = nullptr;
std::unique_ptr<TKaNetManager> gNetManager;

void BindAll(void* address) {
    for (TDBAccessEntry& e : gEntries) e.Address = address;
}
}  // namespace

const std::vector<TDBAccessEntry>& DBAccessEntries() { return gEntries; }

void* DBAccessStub() { return reinterpret_cast<void*>(&FunctionNotLinked); }

void* DBAccessEntry(const std::string& name) {
    std::lock_guard<std::mutex> g(gLock);
    for (const TDBAccessEntry& e : gEntries)
        if (name == e.Name) return e.Address ? e.Address : DBAccessStub();
    return nullptr;
}

TKaNetManager* NetManager() { return gNetManager.get(); }

void DBAccessStartup() {
    std::lock_guard<std::mutex> g(gLock);
    BindAll(DBAccessStub());
    gAdvapi = LoadLibrary("advapi32.dll");
    gNetapi = LoadLibrary("netapi32.dll");
    for (TDBAccessEntry& e : gEntries) {
        HMODULE lib = std::string(e.Library) == "advapi32.dll" ? gAdvapi : gNetapi;
        if (void* p = GetProcAddress(lib, e.Name)) e.Address = p;  // a missing name keeps the stub
    }
    gNetManager = std::make_unique<TKaNetManager>();
}

void DBAccessShutdown() {
    std::lock_guard<std::mutex> g(gLock);
    gNetManager.reset();
    BindAll(DBAccessStub());
    if (gAdvapi) FreeLibrary(gAdvapi);
    if (gNetapi) FreeLibrary(gNetapi);
    gAdvapi = gNetapi = nullptr;
}

}  // namespace tms::ora
