// The base connection, command and parameter classes, the reconnect loop of
// HandleConnectionError, the network manager and the service-control entry
// points bound by name at start-up.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "oracle/DBAccess.h"
#include "oracle/KaAccess.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraModules.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

// A connection whose connects can be made to fail, and that records its calls.
class TestConnection : public TKaConnection {
public:
    ~TestConnection() override { Disconnect(); }
    void Connect(const std::string& text) override {
        log.push_back("connect '" + text + "'");
        if (failConnects > 0) {
            --failConnects;
            throw Exception("connect failed");
        }
        SetConnected(true);
    }
    void Disconnect() override {
        if (!GetConnected()) return;
        log.push_back("disconnect");
        SetConnected(false);
    }
    void StartTransaction() override {}
    void Commit() override {}
    void Rollback() override {}
    bool CheckIsValid() override { return true; }

    int failConnects = 0;
    std::vector<std::string> log;
};

struct HandlerCall {
    int32_t attempt;
    bool reconnectIn;
};

TEST(ReconnectLoop, WithoutAHandlerNothingHappens) {
    TestConnection c;
    c.Connect("x");
    c.log.clear();
    Exception error("lost");
    bool fail = true;
    c.HandleConnectionError(error, fail);
    EXPECT_TRUE(fail);
    EXPECT_TRUE(c.log.empty());
    EXPECT_TRUE(c.GetConnected());
}

TEST(ReconnectLoop, OneReconnectionThenFailOverWithTheChosenMode) {
    TestConnection c;
    c.Connect("x");
    c.log.clear();
    std::vector<HandlerCall> calls;
    int reconnected = 0;
    c.ReconnectedHandler = [&] { ++reconnected; };
    c.ErrorHandler = [&](Exception& e, bool&, bool& reconnect, bool& fail, int32_t attempt, TRetryMode& mode) {
        EXPECT_EQ(e.Message(), "lost");
        EXPECT_TRUE(c.InProcessError());
        calls.push_back({attempt, reconnect});
        reconnect = true;
        fail = true;
        mode = TRetryMode::rmReconnectExecute;
    };
    Exception error("lost");
    bool fail = true;
    try {
        c.HandleConnectionError(error, fail);
        ADD_FAILURE();
    } catch (const EFailOver& e) {
        EXPECT_EQ(e.RetryMode, TRetryMode::rmReconnectExecute);
        EXPECT_EQ(e.Message(), "");
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].attempt, 0);
    EXPECT_FALSE(calls[0].reconnectIn);
    EXPECT_EQ(c.log, (std::vector<std::string>{"disconnect", "connect ''"}));
    EXPECT_EQ(reconnected, 1);
    EXPECT_FALSE(c.InProcessError());
}

TEST(ReconnectLoop, ReconnectionWithoutFailReturnsQuietly) {
    TestConnection c;
    c.ErrorHandler = [&](Exception&, bool& callerFail, bool& reconnect, bool&, int32_t, TRetryMode&) {
        reconnect = true;
        callerFail = false;
    };
    Exception error("lost");
    bool fail = true;
    c.HandleConnectionError(error, fail);
    EXPECT_FALSE(fail);
    EXPECT_TRUE(c.GetConnected());
}

TEST(ReconnectLoop, FailedReconnectionsAskAgainUntilTheHandlerGivesUp) {
    TestConnection c;
    c.Connect("x");
    c.log.clear();
    c.failConnects = 100;
    std::vector<HandlerCall> calls;
    int lost = 0;
    bool connectedDuringLost = false;
    c.ConnectionLostHandler = [&] {
        ++lost;
        connectedDuringLost = c.GetConnected() && c.InProcessError();
        throw Exception("swallowed");
    };
    c.ErrorHandler = [&](Exception&, bool&, bool& reconnect, bool&, int32_t attempt, TRetryMode&) {
        calls.push_back({attempt, reconnect});
        reconnect = attempt < 3;  // gives up after three tries
    };
    Exception error("lost");
    bool fail = true;
    c.HandleConnectionError(error, fail);
    ASSERT_EQ(calls.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[static_cast<size_t>(i)].attempt, i);
        EXPECT_EQ(calls[static_cast<size_t>(i)].reconnectIn, i > 0);  // proposed from the second call on
    }
    // disconnect once, then three connects that fail
    EXPECT_EQ(c.log, (std::vector<std::string>{"disconnect", "connect ''", "connect ''", "connect ''"}));
    EXPECT_EQ(lost, 1);
    EXPECT_TRUE(connectedDuringLost);
    EXPECT_FALSE(c.GetConnected());
    EXPECT_FALSE(c.InProcessError());
    EXPECT_TRUE(fail);
}

TEST(ReconnectLoop, NestedCallsReturnAtOnce) {
    TestConnection c;
    int calls = 0;
    c.ErrorHandler = [&](Exception& e, bool&, bool&, bool&, int32_t, TRetryMode&) {
        ++calls;
        bool inner = true;
        c.HandleConnectionError(e, inner);  // re-entry while in process
    };
    Exception error("lost");
    bool fail = true;
    c.HandleConnectionError(error, fail);
    EXPECT_EQ(calls, 1);
    // an error of the handler itself passes on and leaves the flag clear
    c.ErrorHandler = [](Exception&, bool&, bool&, bool&, int32_t, TRetryMode&) { throw Exception("handler"); };
    EXPECT_THROW(c.HandleConnectionError(error, fail), Exception);
    EXPECT_FALSE(c.InProcessError());
}

TEST(ConnectionProperties, StoredFlagsUsernameAndUnknownCodes) {
    TestConnection c;
    EXPECT_FALSE(c.GetConnected());
    EXPECT_TRUE(c.IsValid());
    EXPECT_EQ(c.Pool(), nullptr);
    EXPECT_TRUE(c.SetProp(prAutoCommit, TVariant(true)));
    EXPECT_TRUE(c.AutoCommit());
    EXPECT_TRUE(c.SetProp(prProp3, TVariant(true)));
    EXPECT_TRUE(c.SetProp(prProp23, TVariant(false)));
    c.SetUsername("scott");
    c.SetPassword("tiger");
    c.SetServer("orcl");
    TVariant v;
    EXPECT_TRUE(c.GetProp(prUsername, v));
    EXPECT_EQ(v.AsString(), "scott");
    EXPECT_EQ(c.Password(), "tiger");
    EXPECT_EQ(c.Server(), "orcl");
    try {
        c.SetProp(62, TVariant(1));
        ADD_FAILURE();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Module(), "KaAccess");
        EXPECT_EQ(e.Text(), "62");
    }
    EXPECT_THROW(c.GetProp(5, v), EAssertionFailed);
    EXPECT_THROW(c.ReturnToPool(), EAssertionFailed);  // not from a pool
}

class TestCommand : public TKaCommand {
public:
    bool GetPrepared() override { return state_ == 3; }
    void Execute() override {}
    int32_t GetCursorState() override { return state_; }
    void SetCursorState(int32_t s) override { state_ = s; }

private:
    int32_t state_ = 0;
};

TEST(Commands, PrepareStatesParamsAndProperties) {
    TestCommand cmd;
    TestConnection conn;
    cmd.SetConnection(&conn);
    cmd.SetSQL("select 1 from dual");
    EXPECT_EQ(cmd.Connection(), &conn);
    EXPECT_EQ(cmd.SQL(), "select 1 from dual");
    cmd.Prepare();
    EXPECT_EQ(cmd.GetCursorState(), 3);
    EXPECT_TRUE(cmd.GetPrepared());
    cmd.Unprepare();
    EXPECT_EQ(cmd.GetCursorState(), 0);

    TParamDesc* p = cmd.AddParam();
    p->SetName("P1");
    cmd.AddParam();
    EXPECT_EQ(cmd.Params().Count(), 2);
    EXPECT_EQ(cmd.Params().Items(0)->Name(), "P1");
    EXPECT_EQ(p->DataType(), 0);

    TVariant v;
    EXPECT_TRUE(cmd.SetProp(prCommandProp5, TVariant(true)));
    EXPECT_TRUE(cmd.SetProp(prCommandProp27, TVariant(5)));  // accepted and ignored
    EXPECT_TRUE(cmd.GetProp(prCommandProp11, v));
    EXPECT_FALSE(v.AsBoolean());
    EXPECT_TRUE(cmd.GetProp(prCommandProp13, v));
    EXPECT_FALSE(v.AsBoolean());
    EXPECT_THROW(cmd.SetProp(1, v), EAssertionFailed);
    EXPECT_THROW(cmd.GetProp(5, v), EAssertionFailed);
    cmd.Params().Clear();
    EXPECT_EQ(cmd.Params().Count(), 0);
}

TEST(Parameters, ValuesNullsAndObjects) {
    TParamDesc p;
    EXPECT_FALSE(p.GetNull());
    p.SetValue(TVariant(5));
    EXPECT_FALSE(p.GetNull());
    EXPECT_EQ(p.GetValue().AsInteger(), 5);
    p.SetValue(TVariant::Null());
    EXPECT_TRUE(p.GetNull());
    p.SetValue(TVariant());
    EXPECT_TRUE(p.GetNull());
    p.SetValue(TVariant("x"));
    p.SetNull(false);  // also empties the value
    EXPECT_FALSE(p.GetNull());
    EXPECT_TRUE(p.GetValue().IsEmpty());
    EXPECT_EQ(p.GetObject(), nullptr);

    TParamDesc holder;
    holder.SetObject(&p);
    EXPECT_EQ(holder.GetObject(), &p);
    EXPECT_EQ(holder.GetValue().VarType(), 0x4000);
    holder.SetValue(TVariant(3));
    try {
        holder.GetObject();  // a number is no object
        ADD_FAILURE();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Module(), "KaAccess");
    }
    p.SetDataType(12);
    p.SetSize(40);
    p.SetParamType(2);
    EXPECT_EQ(p.DataType(), 12);
    EXPECT_EQ(p.Size(), 40);
    EXPECT_EQ(p.ParamType(), 2);
}

class Owned : public TObject {
public:
    explicit Owned(int& gone) : gone_(gone) {}
    ~Owned() override { ++gone_; }

private:
    int& gone_;
};

TEST(NetManager, OneInstanceThatFreesWhatItOwns) {
    ASSERT_NE(NetManager(), nullptr);
    int gone = 0;
    {
        TKaNetManager m;
        m.Add(std::make_unique<Owned>(gone));
        m.Add(std::make_unique<Owned>(gone));
        EXPECT_EQ(m.Count(), 2);
    }
    EXPECT_EQ(gone, 2);
    TCustomDAConnection component;
    component.SetConnected(true);
    component.Disconnect();
    EXPECT_FALSE(component.Connected());
}

TEST(ServiceEntryPoints, BoundByNameWhereFoundAndStubsElsewhere) {
    // no such libraries on this machine: all nine keep the stub
    for (const TDBAccessEntry& e : DBAccessEntries()) EXPECT_EQ(DBAccessEntry(e.Name), DBAccessStub()) << e.Name;
    try {
        reinterpret_cast<TDBAccessProc>(DBAccessEntry("NetServerEnum"))();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "function is not linked");
    }

    // start-up with a service-control library that has three of the seven
    SetLibrarySearchPath({std::string(FAKEORA_DIR) + "/system"});
    shutdownModules();
    startupModules();
    for (const char* bound : {"OpenSCManagerA", "CloseServiceHandle", "OpenServiceA"})
        EXPECT_NE(DBAccessEntry(bound), DBAccessStub()) << bound;
    for (const char* missing : {"EnumServicesStatusA", "QueryServiceStatus", "StartServiceA", "ControlService",
                                "NetServerEnum", "NetApiBufferFree"})
        EXPECT_EQ(DBAccessEntry(missing), DBAccessStub()) << missing;
    using OpenManager = void* (*)(const char*, const char*, uint32_t);
    EXPECT_NE(reinterpret_cast<OpenManager>(DBAccessEntry("OpenSCManagerA"))(nullptr, nullptr, 0), nullptr);
    ResetLibrarySearchPath();
    shutdownModules();
    startupModules();
    EXPECT_EQ(DBAccessEntry("OpenSCManagerA"), DBAccessStub());
}

}  // namespace
