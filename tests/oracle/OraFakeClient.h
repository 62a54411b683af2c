#pragma once
// The fake client's homes for tests that connect: one home chosen through a
// registry of our own and the PATH, and the control table of the fake
// library the loader has loaded.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "oracle/OraCall.h"
#include "oracle/OraClasses.h"
#include "oracle/OraEnvironment.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraObjects.h"
#include "oracle/OraRegistry.h"
#include "tests/oracle/fakeclient/fakeoci_control.h"
#include "tests/oracle/fakeclient/fakeoci_types_control.h"

namespace oratest {

inline std::string FakeHome(const std::string& name) { return std::string(FAKEORA_DIR) + "/" + name; }

// The fake library the loader has loaded, held open by the test too, so its
// journal can still be read after FreeOCI.
class FakeClient {
public:
    explicit FakeClient(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        if (handle_) control_ = reinterpret_cast<fakeoci_control_fn>(dlsym(handle_, "fakeoci_control"))();
    }
    ~FakeClient() {
        if (handle_) dlclose(handle_);
    }
    FakeClient(const FakeClient&) = delete;
    FakeClient& operator=(const FakeClient&) = delete;
    bool Loaded() const { return control_ != nullptr; }
    const fakeoci_control_table* operator->() const { return control_; }
    std::string Journal() const { return control_->journal(); }

private:
    void* handle_;
    const fakeoci_control_table* control_ = nullptr;
};

// Loads and initialises the client of a fake home; the test's registry and
// PATH are put back by Close.
class FakeHomeScope {
public:
    explicit FakeHomeScope(const std::string& home) {
        tms::ora::FreeOCI();
        savedPath_ = tms::ora::GetEnvironmentText("PATH");
        registry_ = std::make_shared<tms::ora::TMemoryRegistry>();
        tms::ora::SetRegistry(registry_);
        registry_->SetString("SOFTWARE\\ORACLE\\KEY_" + home, "ORACLE_HOME_NAME", home);
        registry_->SetString("SOFTWARE\\ORACLE\\KEY_" + home, "ORACLE_HOME", FakeHome(home));
        // the Lite home is installed as Oracle Lite
        if (home == "oralite") registry_->SetString("SOFTWARE\\ORACLE", "OLITE", "YES");
        tms::ora::SetEnvironmentVariable("PATH", "/usr/bin:" + FakeHome(home) + "/bin");
        tms::ora::SetLibrarySearchPath({FakeHome("system")});
        tms::ora::InitOCI();
        fake = std::make_unique<FakeClient>(tms::ora::OCILibraryPath);
        (*fake)->clear_script();
        (*fake)->clear_journal();
    }
    ~FakeHomeScope() {
        fake.reset();
        tms::ora::FreeOCI();
        tms::ora::SetRegistry(nullptr);
        tms::ora::ResetLibrarySearchPath();
        tms::ora::SetEnvironmentVariable("PATH", savedPath_);
    }
    FakeHomeScope(const FakeHomeScope&) = delete;
    FakeHomeScope& operator=(const FakeHomeScope&) = delete;
    const fakeoci_control_table* operator->() const { return (*fake).operator->(); }
    std::string Journal() const { return fake->Journal(); }
    std::unique_ptr<FakeClient> fake;

private:
    std::shared_ptr<tms::ora::TMemoryRegistry> registry_;
    std::string savedPath_;
};

// The object-type controls of the loaded fake; null when no fake is loaded.
inline const fakeoci_types_table* TypesControl() {
    void* h = dlopen(tms::ora::OCILibraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!h) return nullptr;
    auto fn = reinterpret_cast<fakeoci_types_control_fn>(dlsym(h, "fakeoci_types_control"));
    const fakeoci_types_table* t = fn ? fn() : nullptr;
    dlclose(h);
    return t;
}

// Scott's connection to a server of the fake, not yet connected.
inline std::unique_ptr<tms::ora::TOCIConnection> Scott(const std::string& server = "orcl") {
    auto c = std::make_unique<tms::ora::TOCIConnection>();
    c->SetUsername("scott");
    c->SetPassword("tiger");
    c->SetServer(server);
    return c;
}

// Scott's connection to a server of the fake, connected.
inline std::unique_ptr<tms::ora::TOCIConnection> Connected(const std::string& server = "orcl") {
    auto c = Scott(server);
    c->Connect("");
    return c;
}

// The format settings of a test, put back (with the locale's time format)
// afterwards.
class Settings {
public:
    explicit Settings(char decimal, char thousand) {
        tms::ora::TFormatSettings fs;
        fs.DecimalSeparator = decimal;
        fs.ThousandSeparator = thousand;
        tms::ora::SetFormatSettings(fs);
    }
    // The short date and long time formats.
    Settings(const std::string& shortDate, const std::string& longTime) {
        tms::ora::TFormatSettings fs;
        fs.ShortDateFormat = shortDate;
        fs.LongTimeFormat = longTime;
        tms::ora::SetFormatSettings(fs);
    }
    explicit Settings(const tms::ora::TFormatSettings& fs) { tms::ora::SetFormatSettings(fs); }
    ~Settings() {
        tms::ora::ResetFormatSettings();
        tms::ora::SetLocaleTimeFormat("");
    }
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;
};

// A command that selects the fake's reference "Ref~1" into the reference
// instance ref through an output parameter, scripted and ready to execute.
inline void PrepareReferenceSelect(tms::ora::TOCICommand& c, tms::ora::TOCIConnection& conn,
                                   tms::ora::TOCIObjectInstance* ref, const FakeHomeScope& home) {
    const char* const sql = "begin select ref(s) into :r from subs s; end;";
    c.SetConnection(&conn);
    c.SetSQL(sql);
    tms::ora::TOraParamDesc* p = c.FindParam("r");
    p->SetDataType(tms::ora::dtReference);
    p->SetParamType(tms::ora::pdOutput);
    p->SetObject(ref);
    home->script(sql, "out:r=Ref~1");
}

// The journal lines that start with one of the given call names.
inline std::string Calls(const std::string& journal, std::initializer_list<const char*> names) {
    std::string out;
    size_t start = 0;
    while (start < journal.size()) {
        size_t end = journal.find('\n', start);
        std::string line = journal.substr(start, end - start);
        for (const char* n : names)
            if (line.rfind(n, 0) == 0) {
                out += line + "\n";
                break;
            }
        start = end == std::string::npos ? journal.size() : end + 1;
    }
    return out;
}

}  // namespace oratest
