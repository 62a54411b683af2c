#include "oracle/OraNotify.h"

#include <set>

#include "oracle/OraCall.h"
#include "oracle/OraClasses.h"
#include "oracle/OraConsts.h"
#include "oracle/OraError.h"
#include "oracle/OraException.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TCustomNotifyChanges, TObject, nullptr)
ORA_DEFINE_CLASS(TNotifyRowChange, TObject, nullptr)
ORA_DEFINE_CLASS(TNotifyRowChanges, TCustomNotifyChanges, nullptr)
ORA_DEFINE_CLASS(TNotifyTableChange, TObject, nullptr)
ORA_DEFINE_CLASS(TNotifyTableChanges, TCustomNotifyChanges, nullptr)
ORA_DEFINE_CLASS(TNotifyChange, TObject, nullptr)
ORA_DEFINE_CLASS(TOCIChangeSubscription, TObject, nullptr)

namespace {

const char* const kModule = "OraNotify";

// The calls of this module are reached through their table entries: a call
// the client lacks (or one made before loading) fails as every unbound
// entry point does.
template <typename F>
F Entry(const char* name) {
    const TOCIEntry* e = FindOCIEntry(name);
    if (!e || IsStub(*e)) RaiseError(SOCINotLinked);
    return reinterpret_cast<F>(*e->Slot);
}

ub4 GetUb4(void* descriptor, ub4 type, ub4 attribute) {
    ub4 value = 0;
    Check(OCIAttrGet(descriptor, type, &value, nullptr, attribute, hOCIError), hOCIError);
    return value;
}

std::string GetText(void* descriptor, ub4 type, ub4 attribute) {
    oratext* text = nullptr;
    ub4 size = 0;
    Check(OCIAttrGet(descriptor, type, &text, &size, attribute, hOCIError), hOCIError);
    return text ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

OCIColl* GetCollection(void* descriptor, ub4 type, ub4 attribute) {
    OCIColl* collection = nullptr;
    Check(OCIAttrGet(descriptor, type, &collection, nullptr, attribute, hOCIError), hOCIError);
    return collection;
}

}  // namespace

// ---------------------------------------------------------------------------
// Operations

TNotifyOperations TableOperationsFromFlags(ub4 flags) {
    TNotifyOperations set = RowOperationsFromFlags(flags);
    if (flags & OCI_OPCODE_ALLROWS) set |= NotifySet(TNotifyOperation::AllRows);
    if (flags & OCI_OPCODE_ALTER) set |= NotifySet(TNotifyOperation::Alter);
    if (flags & OCI_OPCODE_DROP) set |= NotifySet(TNotifyOperation::Drop);
    return set;
}

TNotifyOperations RowOperationsFromFlags(ub4 flags) {
    TNotifyOperations set = 0;
    if (flags & OCI_OPCODE_INSERT) set |= NotifySet(TNotifyOperation::Insert);
    if (flags & OCI_OPCODE_UPDATE) set |= NotifySet(TNotifyOperation::Update);
    if (flags & OCI_OPCODE_DELETE) set |= NotifySet(TNotifyOperation::Delete);
    return set;
}

ub4 SubscriptionFlags(TNotifyOperations operations) {
    const bool insert = Contains(operations, TNotifyOperation::Insert);
    const bool update = Contains(operations, TNotifyOperation::Update);
    const bool del = Contains(operations, TNotifyOperation::Delete);
    if (insert && update && del) return 0;
    return (insert ? OCI_OPCODE_INSERT : 0) | (update ? OCI_OPCODE_UPDATE : 0) | (del ? OCI_OPCODE_DELETE : 0);
}

// ---------------------------------------------------------------------------
// Change objects

void TCustomNotifyChanges::Build(const OCIColl* collection) {
    if (!collection) return;
    sb4 size = 0;
    Check(Entry<OCIChnfCollSize_t>("OCICollSize")(hOCIEnv, hOCIError, collection, &size), hOCIError);
    items_.resize(size > 0 ? static_cast<size_t>(size) : 0);
    auto getElem = Entry<OCIChnfCollGetElem_t>("OCICollGetElem");
    for (sb4 i = 0; i < size; ++i) {
        int exists = 0;
        void* element = nullptr;
        void* indicator = nullptr;
        Check(getElem(hOCIEnv, hOCIError, collection, i, &exists, &element, &indicator), hOCIError);
        // The element is the place of the descriptor pointer.
        void* descriptor = element ? *static_cast<void**>(element) : nullptr;
        items_[static_cast<size_t>(i)] = CreateItem(descriptor);
    }
}

const TObject& TCustomNotifyChanges::ItemAt(int32_t index) const {
    if (index < 0 || index >= Count()) RaiseError("List index out of bounds (" + std::to_string(index) + ")");
    return *items_[static_cast<size_t>(index)];
}

TNotifyRowChange::TNotifyRowChange(void* descriptor) {
    RowId = GetText(descriptor, OCI_DTYPE_ROW_CHDES, OCI_ATTR_CHDES_ROW_ROWID);
    Operations = RowOperationsFromFlags(GetUb4(descriptor, OCI_DTYPE_ROW_CHDES, OCI_ATTR_CHDES_ROW_OPFLAGS));
}

std::unique_ptr<TObject> TNotifyRowChanges::CreateItem(void* descriptor) {
    return std::make_unique<TNotifyRowChange>(descriptor);
}

const TNotifyRowChange& TNotifyRowChanges::Items(int32_t index) const {
    return static_cast<const TNotifyRowChange&>(ItemAt(index));
}

TNotifyTableChange::TNotifyTableChange(void* descriptor) {
    TableName = GetText(descriptor, OCI_DTYPE_TABLE_CHDES, OCI_ATTR_CHDES_TABLE_NAME);
    Operations = TableOperationsFromFlags(GetUb4(descriptor, OCI_DTYPE_TABLE_CHDES, OCI_ATTR_CHDES_TABLE_OPFLAGS));
    // With all rows changed the server names no row.
    if (!Contains(Operations, TNotifyOperation::AllRows))
        RowChanges = std::make_unique<TNotifyRowChanges>(
            GetCollection(descriptor, OCI_DTYPE_TABLE_CHDES, OCI_ATTR_CHDES_TABLE_ROW_CHANGES));
}

std::unique_ptr<TObject> TNotifyTableChanges::CreateItem(void* descriptor) {
    return std::make_unique<TNotifyTableChange>(descriptor);
}

const TNotifyTableChange& TNotifyTableChanges::Items(int32_t index) const {
    return static_cast<const TNotifyTableChange&>(ItemAt(index));
}

TNotifyChange::TNotifyChange(void* descriptor) {
    const ub4 kind = GetUb4(descriptor, OCI_DTYPE_CHDES, OCI_ATTR_CHDES_NFYTYPE);
    ORA_ASSERT(kind <= ntObjectChange, kModule, "Unknown notification type " + std::to_string(kind));
    NotifyType = kind;
    if (kind == ntObjectChange)
        TableChanges = std::make_unique<TNotifyTableChanges>(
            GetCollection(descriptor, OCI_DTYPE_CHDES, OCI_ATTR_CHDES_TABLE_CHANGES));
}

// ---------------------------------------------------------------------------
// Subscription

// The cell the client hands back to the callback. It lives as long as its
// subscription; the callback finds its subscription only through the set of
// live cells, so a notification that races the subscription's end is
// dropped instead of reaching a freed object.
struct TOCIChangeSubscription::TContext {
    TOCIChangeSubscription* Owner;
};

namespace {
std::mutex gContextLock;
std::set<const void*>& LiveContexts() {
    static std::set<const void*> contexts;
    return contexts;
}
// The callback the client is given; installed by the module's start-up.
std::atomic<OCISubscriptionNotify> gCallback{nullptr};
}  // namespace

int32_t LiveSubscriptions() {
    std::lock_guard<std::mutex> g(gContextLock);
    return static_cast<int32_t>(LiveContexts().size());
}

TOCIChangeSubscription::TOCIChangeSubscription() : context_(new TContext{this}) {
    std::lock_guard<std::mutex> g(gContextLock);
    LiveContexts().insert(context_);
}

TOCIChangeSubscription::~TOCIChangeSubscription() {
    {
        // Waits for a callback at work on this subscription; none starts
        // after this.
        std::lock_guard<std::mutex> g(gContextLock);
        LiveContexts().erase(context_);
    }
    delete context_;
    OCISubscription* handle;
    {
        std::lock_guard<std::mutex> g(lock_);
        handle = handle_;
        handle_ = nullptr;
    }
    if (handle && OCIInitialized.load()) {
        try {
            OCIHandleFree(handle, OCI_HTYPE_SUBSCRIPTION);
        } catch (...) {
            // the client went away first: nothing is left to free
        }
    }
    window_.reset();  // frees every change still queued
}

TUtilWindow* TOCIChangeSubscription::Window() {
    std::lock_guard<std::mutex> g(lock_);
    return window_.get();
}

OCISubscription* TOCIChangeSubscription::SubscriptionHandle() {
    std::lock_guard<std::mutex> g(lock_);
    return handle_;
}

void TOCIChangeSubscription::RegisterSubscription(TOCIConnection& connection) {
    std::lock_guard<std::mutex> g(lock_);
    RegisterLocked(connection);
}

OCISubscription* TOCIChangeSubscription::GetSubscriptionHandle(TOCIConnection& connection) {
    std::lock_guard<std::mutex> g(lock_);
    if (!handle_) RegisterLocked(connection);
    return handle_;
}

void TOCIChangeSubscription::RegisterLocked(TOCIConnection& connection) {
    if (IsDirectOnly(AvailableCallStyles)) RaiseError(SChangeNotifyDirect);
    if (ClientVersion < 10200) RaiseError(SChangeNotifyClientVersion);
    if (connection.GetServerVersion() < 10200) RaiseError(SChangeNotifyServerVersion);
    const OCISubscriptionNotify callback = gCallback.load();
    ORA_ASSERT(callback != nullptr, kModule, "Change notification is not started");

    OCIError* error = connection.ErrorHandle();
    OCISubscription* handle = nullptr;
    Check(OCIHandleAlloc(hOCIEnv, reinterpret_cast<void**>(&handle), OCI_HTYPE_SUBSCRIPTION, 0, nullptr), error);
    try {
        ub4 value = OCI_SUBSCR_NAMESPACE_DBCHANGE;
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, &value, sizeof value, OCI_ATTR_SUBSCR_NAMESPACE, error),
              error);
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, reinterpret_cast<void*>(callback), 0, OCI_ATTR_SUBSCR_CALLBACK,
                         error),
              error);
        value = 1;
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, &value, sizeof value, OCI_ATTR_CHNF_ROWIDS, error), error);
        if ((Operations & NotifySet({TNotifyOperation::Insert, TNotifyOperation::Update, TNotifyOperation::Delete})) ==
            0)
            throw Exception(SEmptyChangeNotifyOperations);
        value = SubscriptionFlags(Operations);
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, &value, sizeof value, OCI_ATTR_CHNF_OPERATIONS, error), error);
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, context_, sizeof(void*), OCI_ATTR_SUBSCR_CTX, error), error);
        value = Timeout;
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, &value, sizeof value, OCI_ATTR_SUBSCR_TIMEOUT, error), error);
        value = Persistent ? 1 : 0;
        Check(OCIAttrSet(handle, OCI_HTYPE_SUBSCRIPTION, &value, sizeof value, OCI_ATTR_SUBSCR_QOSFLAGS, error), error);
        if (!window_) {
            RegisterWindowClass(UtilWindowClass, UtilWndProc);
            std::unique_ptr<TUtilWindow> window;
            try {
                window = std::make_unique<TUtilWindow>(UtilWindowClass, WS_EX_TOOLWINDOW, 0);
            } catch (const Exception&) {}
            ORA_ASSERT(window != nullptr, kModule, "Cannot create the change notification window");
            window->SetProc(UtilWndProc);
            window->SetDiscard(UtilWndDiscard);
            window_ = std::move(window);
        }
        Check(Entry<OCISubscriptionRegister_t>("OCISubscriptionRegister")(connection.GetSvcCtx(), &handle, 1, error,
                                                                          OCI_DEFAULT),
              error);
    } catch (...) {
        // A refused registration keeps no handle.
        OCIHandleFree(handle, OCI_HTYPE_SUBSCRIPTION);
        throw;
    }
    handle_ = handle;
}

ub4 TOCIChangeSubscription::Callback(void* context, OCISubscription* subscription, void*, ub4, void* descriptor, ub4) {
    // The client's thread: nothing may escape into the client.
    try {
        std::lock_guard<std::mutex> g(gContextLock);
        if (!LiveContexts().count(context)) return 0;
        return static_cast<TContext*>(context)->Owner->Notify(subscription, descriptor);
    } catch (...) {
        return 0;
    }
}

ub4 TOCIChangeSubscription::Notify(OCISubscription* subscription, void* descriptor) {
    auto change = std::make_unique<TNotifyChange>(descriptor);
    std::lock_guard<std::mutex> g(lock_);
    // (the end of a registration already renewed frees nothing)
    if (change->NotifyType == ntDeregister && handle_ && (!subscription || subscription == handle_)) {
        // The server has ended the registration: the next use registers
        // again.
        OCISubscription* handle = handle_;
        handle_ = nullptr;
        Check(OCIHandleFree(handle, OCI_HTYPE_SUBSCRIPTION), hOCIError);
    }
    if (!Enabled.load() || !window_) return 0;
    window_->Post(WM_USER + 5, reinterpret_cast<uintptr_t>(context_), reinterpret_cast<intptr_t>(change.release()));
    return 0;
}

void TOCIChangeSubscription::Deliver(uintptr_t context, TObject* change) {
    TOCIChangeSubscription* owner = nullptr;
    {
        std::lock_guard<std::mutex> g(gContextLock);
        if (LiveContexts().count(reinterpret_cast<const void*>(context)))
            owner = reinterpret_cast<TContext*>(context)->Owner;
    }
    auto* notifyChange = dynamic_cast<TNotifyChange*>(change);
    if (owner && notifyChange && owner->OnChange) owner->OnChange(*owner, *notifyChange);
}

namespace {
extern "C" ub4 ChangeNotifyCallback(void* context, OCISubscription* subscription, void* payload, ub4 payloadLength,
                                    void* descriptor, ub4 mode) {
    return TOCIChangeSubscription::Callback(context, subscription, payload, payloadLength, descriptor, mode);
}
}  // namespace

void OraNotifyStartup() {
    gCallback = &ChangeNotifyCallback;
    ChangeNotifyProc = &TOCIChangeSubscription::Deliver;
}

void OraNotifyShutdown() {
    ChangeNotifyProc = nullptr;
    gCallback = nullptr;
}

}  // namespace tms::ora
