#pragma once
// The library's top unit: the process-wide list of open sessions and the
// unit's start-up and shutdown. At shutdown every session still open is
// disconnected and every connection pool cleared, before the modules below
// (pools, connections, the client loader) end.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "oracle/DBAccess.h"
#include "oracle/OraSync.h"

namespace tms::ora {

// A thread-safe list of the sessions (connection components) that are open.
// Any thread adds and removes; a session removes itself before it is freed,
// so a walk under the list's lock never meets a freed session.
class TSessionList {
public:
    TSessionList() = default;
    TSessionList(const TSessionList&) = delete;
    TSessionList& operator=(const TSessionList&) = delete;

    // A session already listed is not listed twice.
    void Add(TCustomDAConnection* session);
    void Remove(TCustomDAConnection* session);
    bool Contains(TCustomDAConnection* session);
    int32_t Count();
    // The list, held locked until UnlockList (the lock is re-entrant: a
    // session disconnected during the walk may remove itself).
    std::vector<TCustomDAConnection*>& LockList();
    void UnlockList();
    // Disconnects every session under the list's lock. Each session is
    // disconnected once even when it leaves the list as it disconnects; a
    // failing disconnect does not keep the others connected, and the first
    // failure passes on afterwards. The list is empty afterwards.
    void DisconnectAll();

private:
    TCriticalSection lock_;
    std::vector<TCustomDAConnection*> sessions_;
};

// The process's list; nullptr outside start-up and shutdown.
TSessionList* SessionList();

// Shows object references as hexadecimal text (the reference fields).
extern std::atomic<bool> HexReferences;
// A second switch of the unit, cleared at start-up; nothing linked here
// reads it.
extern std::atomic<bool> UnitSwitch2;
// The unit's "CONDSTOP" text, held from start-up to shutdown.
const std::string& CondStopText();

void OraStartup();
void OraShutdown();

}  // namespace tms::ora
