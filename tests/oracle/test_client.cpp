// The client loader against the fake client's homes: detection through the
// registry and the PATH in each client version, loading, the entry points
// and their stubs, the environment calls, PATH restoring, Oracle error
// texts and codes, the transaction-coordinator libraries and the
// character-set table.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "oracle/OraCall.h"
#include "oracle/OraEnvironment.h"
#include "oracle/OraError.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraNet.h"
#include "oracle/OraRegistry.h"
#include "tests/oracle/OraFakeClient.h"
#include "tests/oracle/OraTestSupport.h"

using namespace tms::ora;
using oratest::ErrorOf;
using oratest::FakeClient;
using oratest::FakeHome;

namespace {

[[maybe_unused]] auto* const gEnv = ::testing::AddGlobalTestEnvironment(new oratest::ModulesEnvironment);

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreeOCI();
        savedPath_ = GetEnvironmentText("PATH");
        registry_ = std::make_shared<TMemoryRegistry>();
        SetRegistry(registry_);
        ThreadedMode = true;
        MutexMode = true;
        SharedMode = false;
        EventsMode = true;
        NotificationPort = 0;
        RequestedHomeName.clear();
    }
    void TearDown() override {
        FreeOCI();
        SetRegistry(nullptr);
        ResetLibrarySearchPath();
        SetEnvironmentVariable("PATH", savedPath_);
    }
    void AddHome(const std::string& key, const std::string& name, const std::string& folder) {
        registry_->SetString("SOFTWARE\\ORACLE\\" + key, "ORACLE_HOME_NAME", name);
        registry_->SetString("SOFTWARE\\ORACLE\\" + key, "ORACLE_HOME", folder);
    }
    // One home, named on the PATH through its bin folder.
    void UseHome(const std::string& home) {
        AddHome("KEY_" + home, home, FakeHome(home));
        SetEnvironmentVariable("PATH", "/usr/bin:" + FakeHome(home) + "/bin");
    }

    std::shared_ptr<TMemoryRegistry> registry_;
    std::string savedPath_;
};

struct VersionCase {
    const char* home;
    const char* text;
    uint16_t number;
    TCallStyles styles;
    uint8_t style;
    const char* initJournal;
};

TEST_F(ClientTest, EachClientVersionIsDetectedLoadedAndInitialised) {
    const TCallStyles both = StyleBit(csOCI7) | StyleBit(csOCI8);
    const VersionCase cases[] = {
        {"ora734", "7.3.4.0.0", 7340, StyleBit(csOCI7), csOCI7, "opinit mode=1\n"},
        {"ora805", "8.0.5.0.0", 8050, both, csOCI8,
         "OCIInitialize mode=3\nOCIEnvInit mode=8\nOCIHandleAlloc type=2\nopinit mode=1\n"},
        {"ora817", "8.1.7.0.0", 8170, both, csOCI8, "OCIEnvCreate mode=3\nOCIHandleAlloc type=2\nopinit mode=1\n"},
        {"ora9201", "9.2.0.1.0", 9201, both, csOCI8, "OCIEnvCreate mode=3\nOCIHandleAlloc type=2\nopinit mode=1\n"},
        {"ora10201", "10.2.0.1.0", 10201, both, csOCI8, "OCIEnvCreate mode=7\nOCIHandleAlloc type=2\nopinit mode=1\n"},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.home);
        SetUp();
        UseHome(c.home);
        DetectOCI();
        ASSERT_EQ(OracleHomes.size(), 1u);
        EXPECT_EQ(DefaultHome, 0);
        EXPECT_EQ(OCILibraryPath, FakeHome(c.home) + "/BIN/oci.dll");
        EXPECT_EQ(ClientVersionText, c.text);
        EXPECT_EQ(ClientVersion, c.number);
        EXPECT_EQ(AvailableCallStyles, c.styles);
        EXPECT_EQ(CallStyle, c.style);
        LoadOCI();
        FakeClient fake(OCILibraryPath);
        ASSERT_TRUE(fake.Loaded());
        fake->clear_journal();
        InitOCI();
        EXPECT_TRUE(OCILoaded);
        EXPECT_TRUE(OCIInitialized);
        EXPECT_EQ(fake.Journal(), c.initJournal);
        InitOCI();  // once only
        EXPECT_EQ(fake.Journal(), c.initJournal);
        fake->clear_journal();
        FreeOCI();
        EXPECT_EQ(fake.Journal(), c.style == csOCI8 ? "OCIHandleFree type=2\nOCIHandleFree type=1\n" : "");
        EXPECT_EQ(fake->live_handles(), 0);
        EXPECT_FALSE(OCILoaded);
        EXPECT_EQ(ClientVersion, 0);
        EXPECT_EQ(AvailableCallStyles, 0);
        TearDown();
    }
}

TEST_F(ClientTest, EnvironmentModesFollowTheOptions) {
    UseHome("ora10201");
    ThreadedMode = true;
    MutexMode = false;  // threaded without the client's mutexes
    SharedMode = true;
    NotificationPort = 5005;
    LoadOCI();
    FakeClient fake(OCILibraryPath);
    fake->clear_journal();
    InitOCI();
    EXPECT_EQ(fake.Journal(),
              "OCIEnvCreate mode=151\nOCIHandleAlloc type=2\nOCIAttrSet type=1 attr=390 value=5005\nopinit mode=1\n");
    FreeOCI();

    UseHome("ora805");
    ThreadedMode = false;
    LoadOCI();
    FakeClient old(OCILibraryPath);
    old->clear_journal();
    InitOCI();
    EXPECT_EQ(old.Journal(), "OCIInitialize mode=2\nOCIEnvInit mode=0\nOCIHandleAlloc type=2\n");
}

TEST_F(ClientTest, FailedEnvironmentCallsRaiseTheirStatus) {
    UseHome("ora9201");
    LoadOCI();
    FakeClient fake(OCILibraryPath);
    fake->fail_next("OCIEnvCreate", -1);
    EXPECT_EQ(ErrorOf(InitOCI), "Can't initialize OCI. Error -1");
    EXPECT_FALSE(OCIInitialized);
    fake->fail_next("OCIHandleAlloc", -2);
    EXPECT_EQ(ErrorOf(InitOCI), "Can't initialize OCI. Error -2");
    EXPECT_EQ(fake->live_handles(), 0);  // the environment made before is freed again
    EXPECT_EQ(hOCIEnv, nullptr);
    InitOCI();
    EXPECT_TRUE(OCIInitialized);
    EXPECT_EQ(fake->live_handles(), 2);
}

TEST_F(ClientTest, Ociw32AndVersionSourcesAndUnsupportedVersions) {
    registry_->SetString("SOFTWARE\\ORACLE", "OCIDLL", FakeHome("w32") + "/BIN/ociw32.dll");
    DetectOCI();
    EXPECT_EQ(CallStyle, csOCI7);
    EXPECT_EQ(AvailableCallStyles, StyleBit(csOCI7));
    LoadOCI();
    EXPECT_FALSE(IsStub(*FindOCIEntry("opinit")));
    EXPECT_TRUE(IsStub(*FindOCIEntry("OCIEnvCreate")));  // style 2 is not available
    FreeOCI();

    // a library without the version call: its side file
    SetUp();
    UseHome("ora817side");
    DetectOCI();
    EXPECT_EQ(ClientVersionText, "8.1.7.0.0");
    EXPECT_EQ(ClientVersion, 8170);

    SetUp();
    UseHome("oranover");
    EXPECT_EQ(ErrorOf(DetectOCI), "OCI version  is not supported");

    SetUp();
    UseHome("ora11106");
    EXPECT_EQ(ErrorOf(DetectOCI), "OCI version 11.1.0.6.0 is not supported");
    EXPECT_EQ(ClientVersion, 11106);
}

TEST_F(ClientTest, MissingAndUnloadableLibraries) {
    // no home, no ORACLE_HOME
    EXPECT_EQ(ErrorOf(DetectOCI), "Cannot find OCI DLL: ");
    // the registry's own ORACLE_HOME when no home is known
    registry_->SetString("SOFTWARE\\ORACLE", "ORACLE_HOME", FakeHome("ora817") + "/");
    DetectOCI();
    EXPECT_EQ(OCILibraryPath, FakeHome("ora817") + "/BIN/oci.dll");
    EXPECT_EQ(DefaultHome, -1);

    // a file that is no library
    SetUp();
    char folder[] = "/tmp/fakeoraXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string bin = std::string(folder) + "/BIN";
    ::mkdir(bin.c_str(), 0755);
    std::ofstream(bin + "/oci.dll") << "not a library";
    std::ofstream(bin + "/oci.dll.version") << "9.2.0.1.0";
    AddHome("KEY_tmp", "tmp", folder);
    SetEnvironmentVariable("PATH", std::string(folder) + "/bin");
    EXPECT_EQ(ErrorOf(LoadOCI), "Cannot load OCI DLL: " + bin + "/oci.dll");
    std::remove((bin + "/oci.dll").c_str());
    std::remove((bin + "/oci.dll.version").c_str());
    ::rmdir(bin.c_str());
    ::rmdir(folder);

    // 9.2 without its additional client library
    SetUp();
    UseHome("ora92nocl");
    EXPECT_EQ(ErrorOf(LoadOCI), "Cannot load oraclient9.dll");
    EXPECT_FALSE(OCILoaded);
}

TEST_F(ClientTest, EntryPointsAreStubsUntilBoundAndStubsRaise) {
    const auto& entries = OCIEntries();
    const auto count = [&](TOCISet set) {
        return std::count_if(entries.begin(), entries.end(), [set](const TOCIEntry& e) { return e.Set == set; });
    };
    EXPECT_EQ(count(TOCISet::Oracle7), 39);
    EXPECT_EQ(count(TOCISet::Oracle8) + count(TOCISet::Stream), 198);
    EXPECT_EQ(count(TOCISet::Stream), 3);
    std::set<std::string> names;
    for (const TOCIEntry& e : entries) names.insert(e.Name);
    EXPECT_EQ(names.size(), entries.size());
    for (const TOCIEntry& e : entries) EXPECT_TRUE(IsStub(e)) << e.Name;

    void* handle = nullptr;
    try {
        OCIHandleAlloc(nullptr, &handle, OCI_HTYPE_ERROR, 0, nullptr);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "OCI function is not linked");
    }

    UseHome("ora9201");
    LoadOCI();
    EXPECT_FALSE(IsStub(*FindOCIEntry("OCIHandleAlloc")));
    EXPECT_FALSE(IsStub(*FindOCIEntry("OCIPing")));
    EXPECT_FALSE(IsStub(*FindOCIEntry("OCIPStreamRead")));  // from oraclient9.dll
    EXPECT_FALSE(IsStub(*FindOCIEntry("olog")));
    // what the fake lacks keeps its stub, and the stub raises
    const TOCIEntry* prepare = FindOCIEntry("OCILobAppend");
    ASSERT_TRUE(IsStub(*prepare));
    try {
        reinterpret_cast<void (*)()> (*prepare->Slot)();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "OCI function is not linked");
    }
    FreeOCI();
    for (const TOCIEntry& e : entries) EXPECT_TRUE(IsStub(e)) << e.Name;
}

TEST_F(ClientTest, DefaultHomeFromThePathAndPathRestored) {
    AddHome("KEY_Ora817", "Ora817", FakeHome("ora817"));
    AddHome("HOME0", "Ora92", FakeHome("ora9201"));
    AddHome("OTHER", "Other", FakeHome("ora10201"));      // neither HOME nor KEY_: not a home
    AddHome("KEY_Again", "ora92", FakeHome("ora10201"));  // a name already known
    // the home's folder, then \BIN\ in capitals: case does not matter
    const std::string path = "/usr/local/bin:" + FakeHome("ora9201") + "/BIN/:" + FakeHome("ora817") + "/bin";
    SetEnvironmentVariable("PATH", path);
    DetectOCI();
    ASSERT_EQ(OracleHomes.size(), 2u);
    EXPECT_EQ(OracleHomes[0].Name, "Ora817");
    EXPECT_EQ(DefaultHome, 1);
    EXPECT_EQ(OCILibraryPath, FakeHome("ora9201") + "/BIN/oci.dll");

    LoadOCI();
    const std::string prefix = FakeHome("ora9201") + "/BIN:";
    EXPECT_EQ(GetEnvironmentText("PATH"), prefix + path);
    FreeOCI();
    EXPECT_EQ(GetEnvironmentText("PATH"), path);

    // a PATH changed since the load is left as it is
    LoadOCI();
    SetEnvironmentVariable("PATH", "/opt/x:" + GetEnvironmentText("PATH"));
    const std::string changed = GetEnvironmentText("PATH");
    FreeOCI();
    EXPECT_EQ(GetEnvironmentText("PATH"), changed);

    // a home asked for by name
    SetEnvironmentVariable("PATH", path);
    RequestedHomeName = "ORA817";
    DetectOCI();
    EXPECT_EQ(OCILibraryPath, FakeHome("ora817") + "/BIN/oci.dll");
}

TEST_F(ClientTest, AtMostTenHomes) {
    for (int i = 0; i < 12; ++i)
        AddHome(std::string("KEY_").append(std::to_string(i)), std::string("H").append(std::to_string(i)),
                FakeHome("ora817"));
    SetEnvironmentVariable("PATH", FakeHome("ora817") + "/bin");
    DetectOCI();
    EXPECT_EQ(OracleHomes.size(), 10u);
}

TEST_F(ClientTest, OracleErrorTextsAndCodes) {
    UseHome("ora9201");
    EXPECT_EQ(ErrorOf(RequireOCI8), "Need Oracle 8 Call Interface");
    InitOCI();
    RequireOCI8();
    RequireOCI81();
    FakeClient fake(OCILibraryPath);
    std::string message;

    EXPECT_EQ(GetOraError(OCI_SUCCESS, message), 0);
    EXPECT_EQ(GetOraError(OCI_NEED_DATA, message), 99);
    EXPECT_EQ(message, "OCI_NEED_DATA");
    EXPECT_EQ(GetOraError(OCI_INVALID_HANDLE, message), 2);
    EXPECT_EQ(message, "OCI_INVALID_HANDLE");
    EXPECT_EQ(GetOraError(-3123, message), 3123);
    EXPECT_EQ(message, "Unknown error: ORA--3123");

    fake->set_error(942, "ORA-00942: table or view does not exist\n  ", OCI_SUCCESS);
    EXPECT_EQ(GetOraError(OCI_ERROR, message), 942);
    EXPECT_EQ(message, "ORA-00942: table or view does not exist\n  ");
    try {
        OraError(OCI_ERROR);
        ADD_FAILURE();
    } catch (const EOraError& e) {
        EXPECT_EQ(e.ErrorCode, 942);
        EXPECT_EQ(e.Component, nullptr);
        EXPECT_EQ(e.Message(), "ORA-00942: table or view does not exist");
    }
    EXPECT_NO_THROW(OraError(OCI_SUCCESS_WITH_INFO));
    EXPECT_NO_THROW(Check(OCI_SUCCESS));
    EXPECT_THROW(Check(OCI_NO_DATA), EOraError);

    fake->set_error(1403, "", OCI_SUCCESS);
    EXPECT_EQ(GetOraError(OCI_NO_DATA, message), 1403);
    EXPECT_EQ(message, "ORA-1403");
    fake->set_error(0, "", OCI_NO_DATA);
    GetOraError(OCI_ERROR, message);
    EXPECT_EQ(message, "OCI_NO_DATA");
    fake->set_error(0, "", OCI_SUCCESS_WITH_INFO);
    GetOraError(OCI_ERROR, message);
    EXPECT_EQ(message, "OCI_SUCCESS_WITH_INFO");

    // OCIErrorGet failing: the code comes from the text it left
    fake->set_error(-77, "ORA-01017: invalid username/password", OCI_ERROR);
    EXPECT_EQ(GetOraError(OCI_ERROR, message), 1017);
    EXPECT_EQ(message, "ORA-01017: invalid username/password");
    fake->set_error(-77, "ORA-ABCDE broken", OCI_ERROR);
    EXPECT_EQ(GetOraError(OCI_ERROR, message), 0);  // no digits: code 0, no error of its own
    fake->set_error(-77, "ORA-12", OCI_ERROR);
    EXPECT_EQ(GetOraError(OCI_ERROR, message), 0);
    const std::string longText = "ORA-00001: " + std::string(700, 'x');
    fake->set_error(1, longText.c_str(), OCI_ERROR);
    GetOraError(OCI_ERROR, message);
    EXPECT_EQ(message.size(), 511u);  // the 512-byte buffer with its terminating zero
}

TEST_F(ClientTest, OracleErrorOnTheOracle7Style) {
    UseHome("ora734");
    InitOCI();
    std::string message;
    EXPECT_THROW(GetOraError(OCI_ERROR, message), Exception);  // needs the Oracle 8 style
    EXPECT_EQ(ErrorOf(RequireOCI81), "Need Oracle 8i Call Interface");
}

TEST_F(ClientTest, TransactionCoordinatorLibraries) {
    UseHome("ora9201");
    LoadOCI();
    EXPECT_EQ(ErrorOf(LoadMTS), "Can not find xolehlp.dll");
    EXPECT_FALSE(MTSLoaded);
    EXPECT_TRUE(IsStub(*FindOCIEntry("OraMTSSvcGet")));
    SetLibrarySearchPath({FakeHome("system")});
    LoadMTS();
    EXPECT_TRUE(MTSLoaded);
    EXPECT_FALSE(IsStub(*FindOCIEntry("OraMTSSvcGet")));
    EXPECT_FALSE(IsStub(*FindOCIEntry("OraMTSSvcEnlist")));
    EXPECT_FALSE(IsStub(*FindOCIEntry("DtcGetTransactionManagerEx")));
    FreeMTS();
    EXPECT_TRUE(IsStub(*FindOCIEntry("DtcGetTransactionManagerEx")));
    FreeOCI();

    UseHome("ora10201");  // from 10.0.0.1 on: oramts10.dll
    LoadOCI();
    LoadMTS();
    EXPECT_TRUE(MTSLoaded);
    FreeOCI();
    EXPECT_FALSE(MTSLoaded);

    UseHome("ora817");  // no oramts.dll in this home
    LoadOCI();
    EXPECT_EQ(ErrorOf(LoadMTS), "Can not find oramts.dll");
}

TEST(ClientVersionText, NumbersFromTheFirstFourParts) {
    EXPECT_EQ(VersionNumber("8.1.7.0.0"), 8170);
    EXPECT_EQ(VersionNumber("7.3.4"), 7340);
    EXPECT_EQ(VersionNumber("9.2.0.1"), 9201);
    EXPECT_EQ(VersionNumber("10.2"), 10200);
    EXPECT_EQ(VersionNumber("11.1.0.6.0"), 11106);
    EXPECT_EQ(VersionNumber("9.x.0.1"), 9001);
    EXPECT_EQ(VersionNumber(""), 0);
}

TEST(CharacterSets, TheTableIsSortedUniqueAndHoldsTheNamedRows) {
    const auto table = CharsetTable();
    EXPECT_EQ(table.size(), 224u);
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end(),
                               [](const TCharsetRow& a, const TCharsetRow& b) { return a.first < b.first; }));
    std::set<std::string> names;
    for (const auto& r : table) names.insert(r.first);
    EXPECT_EQ(names.size(), table.size());
    const std::pair<const char*, int32_t> rows[] = {
        {"US7ASCII", 1},     {"WE8ISO8859P1", 31}, {"WE8MSWIN1252", 178}, {"ZHS16GBK", 852}, {"UTF8", 871},
        {"AL32UTF8", 873},   {"AL16UTF16", 2000},  {"AL16UTF16LE", 2002}, {"DEFAULT", -1},   {"ASCII", 1},
        {"ISO_LATIN_1", 31}, {"UNICODE_1", 870},   {"UNICODE_2", 871},
    };
    for (const auto& [name, id] : rows) {
        int32_t got = 0;
        EXPECT_TRUE(CharsetId(name, got)) << name;
        EXPECT_EQ(got, id) << name;
    }
    int32_t got = 0;
    EXPECT_TRUE(CharsetId("zhs16gbk", got));
    EXPECT_FALSE(CharsetId("NOSUCHSET", got));
}

}  // namespace
