// Change notification against the fake client: registration and its
// refusals, changes fired on the fake's own notification thread and handed
// to the owning thread only when it dispatches the window, the operation
// flags, the all-rows case, deregistration, disabled subscriptions, the
// statement attachment, and what becomes of changes nobody dispatched.

#include <atomic>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "oracle/OraClasses.h"
#include "oracle/OraNotify.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"
#include "tests/oracle/fakeclient/fakenotify_control.h"

using namespace tms::ora;
using oratest::Calls;
using oratest::Connected;
using oratest::ErrorOf;
using oratest::FakeHomeScope;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

constexpr TNotifyOperations kInsert = NotifySet(TNotifyOperation::Insert);
constexpr TNotifyOperations kUpdate = NotifySet(TNotifyOperation::Update);
constexpr TNotifyOperations kDelete = NotifySet(TNotifyOperation::Delete);
constexpr TNotifyOperations kAllRows = NotifySet(TNotifyOperation::AllRows);

// The notification controls of the fake library the loader has loaded.
class NotifyControl {
public:
    NotifyControl() : handle_(dlopen(OCILibraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        if (handle_) table_ = reinterpret_cast<fakeoci_notify_control_fn>(dlsym(handle_, "fakeoci_notify_control"))();
    }
    ~NotifyControl() {
        if (handle_) dlclose(handle_);
    }
    NotifyControl(const NotifyControl&) = delete;
    NotifyControl& operator=(const NotifyControl&) = delete;
    const fakeoci_notify_table* operator->() const { return table_; }
    // Fires and waits until the fake's thread has delivered.
    void Fire(int kind, const char* tables = "") {
        table_->fire(kind, tables);
        ASSERT_EQ(table_->wait(5000), 1);
    }

private:
    void* handle_;
    const fakeoci_notify_table* table_ = nullptr;
};

// What OnChange saw, in text, and on which thread.
struct Seen {
    std::vector<std::string> changes;
    std::vector<std::thread::id> threads;
    void Attach(TOCIChangeSubscription& s) {
        s.OnChange = [this](TOCIChangeSubscription&, const TNotifyChange& change) {
            threads.push_back(std::this_thread::get_id());
            std::string text = "kind=" + std::to_string(change.NotifyType);
            if (change.TableChanges)
                for (int i = 0; i < change.TableChanges->Count(); ++i) {
                    const TNotifyTableChange& t = change.TableChanges->Items(i);
                    text += " " + t.TableName + "/" + std::to_string(t.Operations);
                    if (!t.RowChanges) {
                        text += "(no rows)";
                        continue;
                    }
                    for (int r = 0; r < t.RowChanges->Count(); ++r)
                        text += " " + t.RowChanges->Items(r).RowId + "/" +
                                std::to_string(t.RowChanges->Items(r).Operations);
                }
            changes.push_back(text);
        };
    }
};

TEST(ChangeNotification, OperationFlags) {
    EXPECT_EQ(SubscriptionFlags(kInsert | kUpdate | kDelete), 0u);
    EXPECT_EQ(SubscriptionFlags(kDelete), 8u);
    EXPECT_EQ(SubscriptionFlags(kInsert | kUpdate), 6u);
    EXPECT_EQ(SubscriptionFlags(kInsert), 2u);
    EXPECT_EQ(SubscriptionFlags(kUpdate | kDelete | kAllRows), 12u);  // all rows is no subscription operation
    EXPECT_EQ(TableOperationsFromFlags(1 | 2 | 16 | 32),
              kAllRows | kInsert | NotifySet({TNotifyOperation::Alter, TNotifyOperation::Drop}));
    EXPECT_EQ(RowOperationsFromFlags(1 | 4 | 16 | 32), kUpdate);  // rows know only insert, update, delete
}

TEST(ChangeNotification, RegistrationSetsTheAttributesAndKeepsTheHandle) {
    FakeHomeScope home("ora10201");
    NotifyControl notify;
    auto c = Connected();
    TOCIChangeSubscription s;
    s.Operations = kInsert | kUpdate;
    s.Timeout = 600;
    s.Persistent = true;
    EXPECT_EQ(s.SubscriptionHandle(), nullptr);
    EXPECT_EQ(s.Window(), nullptr);
    home->clear_journal();
    OCISubscription* h = s.GetSubscriptionHandle(*c);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Calls(home.Journal(), {"OCIHandleAlloc", "OCIAttrSet", "OCISubscriptionRegister"}),
              "OCIHandleAlloc type=13\n"
              "OCIAttrSet type=13 attr=98 value=2\n"
              "OCIAttrSet type=13 attr=95 value=callback\n"
              "OCIAttrSet type=13 attr=402 value=1\n"
              "OCIAttrSet type=13 attr=403 value=6\n"
              "OCIAttrSet type=13 attr=96 value=context\n"
              "OCIAttrSet type=13 attr=227 value=600\n"
              "OCIAttrSet type=13 attr=225 value=1\n"
              "OCISubscriptionRegister count=1 mode=0\n");
    unsigned attrs[6] = {};
    notify->attributes(h, attrs);
    EXPECT_EQ(std::vector<unsigned>(attrs, attrs + 6), (std::vector<unsigned>{2, 1, 6, 600, 1, 1}));
    EXPECT_EQ(notify->registered(), 1);
    ASSERT_NE(s.Window(), nullptr);
    EXPECT_EQ(s.Window()->ExStyle(), WS_EX_TOOLWINDOW);
    EXPECT_EQ(s.Window()->Owner(), std::this_thread::get_id());
    EXPECT_EQ(s.Window()->Proc(), &UtilWndProc);

    // the kept handle is used again; nothing registers twice
    home->clear_journal();
    EXPECT_EQ(s.GetSubscriptionHandle(*c), h);
    EXPECT_EQ(home.Journal(), "");
}

TEST(ChangeNotification, RefusalsLeaveNoHandle) {
    {
        FakeHomeScope home("ora9201");
        auto c = Connected();
        TOCIChangeSubscription s;
        home->clear_journal();
        EXPECT_EQ(ErrorOf([&] { s.GetSubscriptionHandle(*c); }),
                  "OCI 10.2 or greater is needed for change notification");
        EXPECT_EQ(Calls(home.Journal(), {"OCIHandleAlloc"}), "");
    }
    FakeHomeScope home("ora10201");
    {
        auto c = Connected("ora9");
        TOCIChangeSubscription s;
        home->clear_journal();
        EXPECT_EQ(ErrorOf([&] { s.RegisterSubscription(*c); }),
                  "Change notification is supported starting with Oracle 10.2");
        EXPECT_EQ(Calls(home.Journal(), {"OCIHandleAlloc"}), "");
    }
    auto c = Connected();
    const int handles = home->live_handles();
    {
        const TCallStyles saved = AvailableCallStyles;
        AvailableCallStyles = StyleBit(csOCI8);
        TOCIChangeSubscription s;
        EXPECT_EQ(ErrorOf([&] { s.RegisterSubscription(*c); }), "Change notification is not supported in Direct mode");
        AvailableCallStyles = saved;
    }
    TOCIChangeSubscription s;
    s.Operations = kAllRows;  // no insert, update or delete
    home->clear_journal();
    EXPECT_EQ(ErrorOf([&] { s.RegisterSubscription(*c); }),
              "Operations for change notification subscription cannot be empty set");
    // refused after the handle and its first three attributes...
    EXPECT_EQ(Calls(home.Journal(), {"OCIHandleAlloc", "OCIAttrSet", "OCIHandleFree"}),
              "OCIHandleAlloc type=13\n"
              "OCIAttrSet type=13 attr=98 value=2\n"
              "OCIAttrSet type=13 attr=95 value=callback\n"
              "OCIAttrSet type=13 attr=402 value=1\n"
              "OCIHandleFree type=13\n");
    // ...which is freed again
    EXPECT_EQ(home->live_handles(), handles);
    EXPECT_EQ(s.SubscriptionHandle(), nullptr);

    // a registration the server refuses keeps nothing either
    s.Operations = kDelete;
    home->fail_next("OCISubscriptionRegister", OCI_ERROR);
    home->set_error(29972, "ORA-29972: user does not have privilege to change/ create registration", 0);
    EXPECT_EQ(ErrorOf([&] { s.RegisterSubscription(*c); }),
              "ORA-29972: user does not have privilege to change/ create registration");
    EXPECT_EQ(home->live_handles(), handles);
    EXPECT_EQ(s.SubscriptionHandle(), nullptr);
}

// A subscription on a connected 10.2 client whose changes are recorded.
class WatchedSubscription : public ::testing::Test {
protected:
    WatchedSubscription() { seen.Attach(s); }

    FakeHomeScope home{"ora10201"};
    NotifyControl notify;
    std::unique_ptr<TOCIConnection> c = Connected();
    TOCIChangeSubscription s;
    Seen seen;
};

TEST_F(WatchedSubscription, AChangeReachesTheCallbackOnlyWhenTheOwnerDispatches) {
    s.GetSubscriptionHandle(*c);

    notify.Fire(OCI_EVENT_OBJCHANGE, "SCOTT.EMP:14:AAAR3sAAEAAAACXAAA/2,AAAR3sAAEAAAACXAAB/4,AAAR3sAAEAAAACXAAC/8");
    // delivered on the fake's thread, but nothing has reached the handler
    EXPECT_NE(home.Journal().find("notify kind=6"), std::string::npos);
    EXPECT_TRUE(seen.changes.empty());
    ASSERT_EQ(s.Window()->Pending(), 1);

    EXPECT_EQ(s.Window()->dispatchPending(), 1);
    ASSERT_EQ(seen.changes.size(), 1u);
    EXPECT_EQ(seen.threads[0], std::this_thread::get_id());
    EXPECT_EQ(seen.changes[0], "kind=6 SCOTT.EMP/" + std::to_string(kInsert | kUpdate | kDelete) +
                                   " AAAR3sAAEAAAACXAAA/" + std::to_string(kInsert) + " AAAR3sAAEAAAACXAAB/" +
                                   std::to_string(kUpdate) + " AAAR3sAAEAAAACXAAC/" + std::to_string(kDelete));

    // the descriptors were read in the order of the change classes
    const std::string reads = Calls(home.Journal(), {"OCIAttrGet type=7", "OCICollSize", "OCICollGetElem"});
    EXPECT_EQ(reads.substr(0, reads.find("OCIAttrGet type=79")),
              "OCIAttrGet type=77 attr=406\nOCIAttrGet type=77 attr=408\nOCICollSize\nOCICollGetElem index=0\n"
              "OCIAttrGet type=78 attr=409\nOCIAttrGet type=78 attr=410\nOCIAttrGet type=78 attr=411\n"
              "OCICollSize\nOCICollGetElem index=0\n");

    // two changes in one notification, one of them all rows: no row changes
    notify.Fire(OCI_EVENT_OBJCHANGE, "SCOTT.DEPT:3;SCOTT.BONUS:1");
    EXPECT_EQ(s.Window()->dispatchPending(), 1);
    ASSERT_EQ(seen.changes.size(), 2u);
    EXPECT_EQ(seen.changes[1], "kind=6 SCOTT.DEPT/" + std::to_string(kAllRows | kInsert) + "(no rows) SCOTT.BONUS/" +
                                   std::to_string(kAllRows) + "(no rows)");
    EXPECT_EQ(home.Journal().find("attr=411", home.Journal().find("attr=409 ", home.Journal().find("SCOTT.DEPT"))),
              std::string::npos);
}

TEST_F(WatchedSubscription, DispatchOnAnotherThreadIsRefused) {
    s.GetSubscriptionHandle(*c);
    notify.Fire(OCI_EVENT_OBJCHANGE, "T:2:AAA/2");
    std::string error;
    std::thread([&] { error = ErrorOf([&] { s.Window()->dispatchPending(); }); }).join();
    EXPECT_EQ(error, "The utility window belongs to another thread");
    EXPECT_TRUE(seen.changes.empty());
    EXPECT_EQ(s.Window()->dispatchPending(), 1);
    EXPECT_EQ(seen.changes.size(), 1u);
}

TEST_F(WatchedSubscription, DeregistrationClearsTheHandleAndIsStillPosted) {
    OCISubscription* first = s.GetSubscriptionHandle(*c);
    ASSERT_NE(first, nullptr);
    const int handles = home->live_handles();
    home->clear_journal();

    notify.Fire(OCI_EVENT_DEREG);
    // the client's thread freed the handle
    EXPECT_EQ(s.SubscriptionHandle(), nullptr);
    EXPECT_EQ(home->live_handles(), handles - 1);
    EXPECT_EQ(Calls(home.Journal(), {"notify", "OCIHandleFree"}), "notify kind=5\nOCIHandleFree type=13\n");
    EXPECT_EQ(notify->registered(), 0);
    EXPECT_EQ(s.Window()->dispatchPending(), 1);
    EXPECT_EQ(seen.changes, std::vector<std::string>{"kind=5"});

    // the next use registers again
    home->clear_journal();
    ASSERT_NE(s.GetSubscriptionHandle(*c), nullptr);
    EXPECT_EQ(Calls(home.Journal(), {"OCISubscriptionRegister"}), "OCISubscriptionRegister count=1 mode=0\n");
    EXPECT_EQ(notify->registered(), 1);
}

TEST_F(WatchedSubscription, ADisabledSubscriptionDropsChangesButStillEndsItsRegistration) {
    s.GetSubscriptionHandle(*c);
    s.Enabled = false;
    notify.Fire(OCI_EVENT_OBJCHANGE, "T:2:AAA/2");
    notify.Fire(OCI_EVENT_DEREG);
    EXPECT_EQ(s.Window()->Pending(), 0);
    EXPECT_EQ(s.SubscriptionHandle(), nullptr);
    s.Enabled = true;
    s.GetSubscriptionHandle(*c);
    notify.Fire(OCI_EVENT_SHUTDOWN);
    EXPECT_EQ(s.Window()->dispatchPending(), 1);
    EXPECT_EQ(seen.changes, std::vector<std::string>{"kind=2"});
    // a kind the client does not know stops with an assertion and posts nothing
    notify.Fire(9);
    EXPECT_EQ(s.Window()->Pending(), 0);
}

TEST(ChangeNotification, PrepareAttachesAnActiveSubscription) {
    FakeHomeScope home("ora10201");
    NotifyControl notify;
    auto c = Connected();
    TOCIChangeSubscription s;
    TOCICommand cmd;
    cmd.SetConnection(c.get());
    cmd.SetChangeSubscription(&s);
    cmd.SetSQL("select * from emp");
    home->clear_journal();
    cmd.Prepare();  // not active: nothing is registered
    EXPECT_EQ(Calls(home.Journal(), {"OCISubscriptionRegister", "OCIAttrSet type=4 attr=414"}), "");
    cmd.Unprepare();

    s.Active = true;
    home->clear_journal();
    cmd.Prepare();
    EXPECT_EQ(Calls(home.Journal(), {"OCISubscriptionRegister", "OCIAttrSet type=4 attr=414"}),
              "OCISubscriptionRegister count=1 mode=0\nOCIAttrSet type=4 attr=414 value=handle\n");
    cmd.Unprepare();
    home->clear_journal();
    cmd.Prepare();  // registered once, attached to every statement
    EXPECT_EQ(Calls(home.Journal(), {"OCISubscriptionRegister", "OCIAttrSet type=4 attr=414"}),
              "OCIAttrSet type=4 attr=414 value=handle\n");
    cmd.Unprepare();
    cmd.SetChangeSubscription(nullptr);
}

// An object that counts its ends, posted as a change would be.
std::atomic<int> gFreed{0};
class Counted : public TObject {
public:
    ~Counted() override { ++gFreed; }
};

TEST(ChangeNotification, DestroyingTheWindowFreesTheChangesStillQueued) {
    RegisterWindowClass(UtilWindowClass, UtilWndProc);
    gFreed = 0;
    {
        TUtilWindow w(UtilWindowClass, WS_EX_TOOLWINDOW, 0);
        w.SetProc(UtilWndProc);
        w.SetDiscard(UtilWndDiscard);
        std::thread([&] {
            for (int i = 0; i < 3; ++i) w.Post(WM_USER + 5, 0, reinterpret_cast<intptr_t>(new Counted));
        }).join();
        EXPECT_EQ(w.Pending(), 3);
        EXPECT_EQ(w.dispatchPending(), 3);  // dispatched: handed on (nobody here) and freed
        EXPECT_EQ(gFreed.load(), 3);
        w.Post(WM_USER + 5, 0, reinterpret_cast<intptr_t>(new Counted));
        w.Post(WM_USER + 5, 0, reinterpret_cast<intptr_t>(new Counted));
    }
    EXPECT_EQ(gFreed.load(), 5);

    // a subscription that goes with changes nobody dispatched takes them
    // along (the leak checker of the sanitizer build watches this too)
    FakeHomeScope home("ora10201");
    NotifyControl notify;
    auto c = Connected();
    const int handles = home->live_handles();
    {
        TOCIChangeSubscription s;
        s.GetSubscriptionHandle(*c);
        notify.Fire(OCI_EVENT_OBJCHANGE, "T:14:AAA/2,AAB/4");
        notify.Fire(OCI_EVENT_OBJCHANGE, "U:1");
        EXPECT_EQ(s.Window()->Pending(), 2);
        EXPECT_EQ(notify->registered(), 1);
    }
    // its handle went with it, and with it the registration
    EXPECT_EQ(home->live_handles(), handles);
    EXPECT_EQ(notify->registered(), 0);
    EXPECT_EQ(LiveSubscriptions(), 0);
}

TEST(ChangeNotification, TheHandleIsSafeWhileTheClientsThreadFreesIt) {
    // The owner keeps reading and renewing the handle while the fake's
    // thread ends the registration again and again (run under the thread
    // checker).
    FakeHomeScope home("ora10201");
    NotifyControl notify;
    auto c = Connected();
    TOCIChangeSubscription s;
    std::atomic<int> seen{0};
    s.OnChange = [&](TOCIChangeSubscription&, const TNotifyChange&) { ++seen; };
    s.GetSubscriptionHandle(*c);
    std::atomic<bool> done{false};
    std::thread firer([&] {
        for (int i = 0; i < 50; ++i) {
            notify->fire(OCI_EVENT_DEREG, "");
            notify->fire(OCI_EVENT_OBJCHANGE, "T:2:AAA/2");
            std::this_thread::yield();
        }
        done = true;
    });
    int renewed = 0;
    while (!done) {
        if (!s.SubscriptionHandle()) {
            s.GetSubscriptionHandle(*c);
            ++renewed;
        }
        s.Window()->dispatchPending();
    }
    firer.join();
    ASSERT_EQ(notify->wait(5000), 1);
    s.Window()->dispatchPending();
    EXPECT_GT(seen.load(), 0);
    EXPECT_GE(renewed, 0);
}

TEST(ChangeNotification, ASubscriptionMayEndWhileChangesAreOnTheirWay) {
    FakeHomeScope home("ora10201");
    NotifyControl notify;
    auto c = Connected();
    for (int round = 0; round < 20; ++round) {
        auto s = std::make_unique<TOCIChangeSubscription>();
        s->GetSubscriptionHandle(*c);
        for (int i = 0; i < 5; ++i) notify->fire(OCI_EVENT_OBJCHANGE, "T:14:AAA/2,AAB/4,AAC/8");
        s.reset();  // while the fake's thread may be calling back
    }
    ASSERT_EQ(notify->wait(5000), 1);
    EXPECT_EQ(LiveSubscriptions(), 0);
    EXPECT_EQ(notify->registered(), 0);
}

}  // namespace
