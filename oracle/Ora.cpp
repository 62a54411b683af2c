#include "oracle/Ora.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <mutex>

#include "oracle/KaConnectionPool.h"

namespace tms::ora {

std::atomic<bool> HexReferences{false};
std::atomic<bool> UnitSwitch2{false};

namespace {
std::mutex gListLock;  // guards the list's lifetime, not its contents
std::unique_ptr<TSessionList> gSessionList;
std::string gCondStop;
}  // namespace

void TSessionList::Add(TCustomDAConnection* session) {
    std::lock_guard<TCriticalSection> g(lock_);
    if (session && std::find(sessions_.begin(), sessions_.end(), session) == sessions_.end())
        sessions_.push_back(session);
}

void TSessionList::Remove(TCustomDAConnection* session) {
    std::lock_guard<TCriticalSection> g(lock_);
    auto it = std::find(sessions_.begin(), sessions_.end(), session);
    if (it != sessions_.end()) sessions_.erase(it);
}

bool TSessionList::Contains(TCustomDAConnection* session) {
    std::lock_guard<TCriticalSection> g(lock_);
    return std::find(sessions_.begin(), sessions_.end(), session) != sessions_.end();
}

int32_t TSessionList::Count() {
    std::lock_guard<TCriticalSection> g(lock_);
    return static_cast<int32_t>(sessions_.size());
}

std::vector<TCustomDAConnection*>& TSessionList::LockList() {
    lock_.Enter();
    return sessions_;
}

void TSessionList::UnlockList() { lock_.Leave(); }

void TSessionList::DisconnectAll() {
    std::lock_guard<TCriticalSection> g(lock_);
    // A session leaves the list as it disconnects: walk a copy, so that
    // none is skipped.
    const std::vector<TCustomDAConnection*> open = sessions_;
    std::exception_ptr first;
    for (TCustomDAConnection* session : open) {
        try {
            session->Disconnect();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    sessions_.clear();
    if (first) std::rethrow_exception(first);
}

TSessionList* SessionList() {
    std::lock_guard<std::mutex> g(gListLock);
    return gSessionList.get();
}

const std::string& CondStopText() { return gCondStop; }

void OraStartup() {
    {
        std::lock_guard<std::mutex> g(gListLock);
        if (!gSessionList) gSessionList = std::make_unique<TSessionList>();
    }
    HexReferences = false;
    UnitSwitch2 = false;
    gCondStop = "CONDSTOP";
}

void OraShutdown() {
    std::exception_ptr failure;
    if (TSessionList* list = SessionList()) {
        try {
            list->DisconnectAll();
        } catch (...) {
            failure = std::current_exception();
        }
        // The pools' connections go before the modules below them end.
        ClearAllPools();
        std::unique_ptr<TSessionList> gone;
        std::lock_guard<std::mutex> g(gListLock);
        gone.swap(gSessionList);
    }
    gCondStop.clear();
    gCondStop.shrink_to_fit();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace tms::ora
