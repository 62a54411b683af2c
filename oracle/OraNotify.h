#pragma once
// Database change notification: a subscription registers with the server
// for changes to the rows a statement reads; the client calls back on its
// own thread with a change descriptor, which is turned into a TNotifyChange
// (its tables, their rows) and posted to the subscription's hidden utility
// window (WM_USER + 5). The thread that owns the window hands each change
// to the subscription's OnChange when it dispatches the window's messages.
//
// The subscription handle is kept under a lock: the client's thread frees
// it when a deregistration arrives while the owning thread may be reading
// it to attach it to a statement.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "oracle/OraClassRegistry.h"
#include "oracle/OraUtilWnd.h"
#include "oracle/oci_notify.h"

namespace tms::ora {

class TOCIConnection;

// One operation of a change, and sets of them (one bit per operation).
enum class TNotifyOperation : uint8_t { Insert, Update, Delete, AllRows, Alter, Drop };
using TNotifyOperations = uint8_t;
constexpr TNotifyOperations NotifySet(TNotifyOperation op) {
    return static_cast<TNotifyOperations>(1u << static_cast<unsigned>(op));
}
constexpr TNotifyOperations NotifySet(std::initializer_list<TNotifyOperation> ops) {
    TNotifyOperations set = 0;
    for (TNotifyOperation op : ops) set = static_cast<TNotifyOperations>(set | NotifySet(op));
    return set;
}
inline bool Contains(TNotifyOperations set, TNotifyOperation op) { return (set & NotifySet(op)) != 0; }

// The kinds of notification; 5 ends the registration, 6 reports changed
// objects.
constexpr uint32_t ntNone = 0, ntStartup = 1, ntShutdown = 2, ntShutdownAny = 3, ntDropDB = 4, ntDeregister = 5,
                   ntObjectChange = 6;

// The operations of a table or row change from the client's flags (2
// insert, 4 update, 8 delete, and for tables 1 all rows, 16 alter, 32 drop).
TNotifyOperations TableOperationsFromFlags(ub4 flags);
TNotifyOperations RowOperationsFromFlags(ub4 flags);
// The flags a subscription registers with: 0 for insert, update and delete
// together, otherwise 2, 4 and 8 or-ed.
ub4 SubscriptionFlags(TNotifyOperations operations);

// An owned list of change items read from a client collection.
class TCustomNotifyChanges : public TObject {
    ORA_DECLARE_CLASS(TCustomNotifyChanges)
public:
    ~TCustomNotifyChanges() override = default;
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }

protected:
    TCustomNotifyChanges() = default;
    // Makes the item of one element descriptor.
    virtual std::unique_ptr<TObject> CreateItem(void* descriptor) = 0;
    // Sizes the list to the collection and makes each element's item.
    void Build(const OCIColl* collection);
    // The item at index; an index outside the list raises the list error.
    const TObject& ItemAt(int32_t index) const;
    std::vector<std::unique_ptr<TObject>> items_;
};

class TNotifyRowChange : public TObject {
    ORA_DECLARE_CLASS(TNotifyRowChange)
public:
    explicit TNotifyRowChange(void* descriptor);  // type 79
    std::string RowId;
    TNotifyOperations Operations = 0;
};

class TNotifyRowChanges : public TCustomNotifyChanges {
    ORA_DECLARE_CLASS(TNotifyRowChanges)
public:
    explicit TNotifyRowChanges(const OCIColl* collection) { Build(collection); }
    const TNotifyRowChange& Items(int32_t index) const;

protected:
    std::unique_ptr<TObject> CreateItem(void* descriptor) override;
};

class TNotifyTableChange : public TObject {
    ORA_DECLARE_CLASS(TNotifyTableChange)
public:
    explicit TNotifyTableChange(void* descriptor);  // type 78
    std::string TableName;
    TNotifyOperations Operations = 0;
    // None when all rows changed.
    std::unique_ptr<TNotifyRowChanges> RowChanges;
};

class TNotifyTableChanges : public TCustomNotifyChanges {
    ORA_DECLARE_CLASS(TNotifyTableChanges)
public:
    explicit TNotifyTableChanges(const OCIColl* collection) { Build(collection); }
    const TNotifyTableChange& Items(int32_t index) const;

protected:
    std::unique_ptr<TObject> CreateItem(void* descriptor) override;
};

class TNotifyChange : public TObject {
    ORA_DECLARE_CLASS(TNotifyChange)
public:
    explicit TNotifyChange(void* descriptor);  // type 77
    uint32_t NotifyType = ntNone;
    // Only for an object change.
    std::unique_ptr<TNotifyTableChanges> TableChanges;
};

class TOCIChangeSubscription : public TObject {
    ORA_DECLARE_CLASS(TOCIChangeSubscription)
public:
    using TChangeHandler = std::function<void(TOCIChangeSubscription& sender, const TNotifyChange& change)>;

    TOCIChangeSubscription();
    // Frees the handle (a registration the server still holds ends with
    // it), then the window with every change still queued for it.
    ~TOCIChangeSubscription() override;
    TOCIChangeSubscription(const TOCIChangeSubscription&) = delete;
    TOCIChangeSubscription& operator=(const TOCIChangeSubscription&) = delete;

    // Registers with the server through the connection (its service
    // context, server version) and keeps the handle.
    void RegisterSubscription(TOCIConnection& connection);
    // The kept handle; registers first when there is none.
    OCISubscription* GetSubscriptionHandle(TOCIConnection& connection);
    // The kept handle, nullptr when not registered.
    OCISubscription* SubscriptionHandle();

    // Only an active subscription is attached to statements.
    bool Active = false;
    bool Persistent = false;
    uint32_t Timeout = 0;  // seconds, 0 for none
    TNotifyOperations Operations =
        NotifySet({TNotifyOperation::Insert, TNotifyOperation::Update, TNotifyOperation::Delete});
    // Changes are posted only while set; read by the client's thread.
    std::atomic<bool> Enabled{true};
    // Runs on the window's thread for every change dispatched.
    TChangeHandler OnChange;

    // The hidden window the changes are posted to (none before the first
    // registration); its owning thread dispatches them.
    TUtilWindow* Window();

    // The client's callback and its work (the client's thread).
    static ub4 Callback(void* context, OCISubscription* subscription, void* payload, ub4 payloadLength,
                        void* descriptor, ub4 mode);

private:
    struct TContext;
    void RegisterLocked(TOCIConnection& connection);
    ub4 Notify(OCISubscription* subscription, void* descriptor);
    static void Deliver(uintptr_t context, TObject* change);
    friend void OraNotifyStartup();

    TContext* context_;
    mutable std::mutex lock_;  // guards handle_ and window_
    OCISubscription* handle_ = nullptr;
    std::unique_ptr<TUtilWindow> window_;
};

// The subscriptions whose context the client can still call back with.
int32_t LiveSubscriptions();

void OraNotifyStartup();
void OraNotifyShutdown();

}  // namespace tms::ora
