#include "oracle/OraCall.h"

#include <cstdio>
#include <iterator>
#include <mutex>

#include "oracle/OraEnvironment.h"
#include "oracle/OraException.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraRegistry.h"
#include "oracle/OraText.h"

namespace tms::ora {

// ---------------------------------------------------------------------------
// State

std::string OCILibraryPath;
std::string ClientLibraryPath;
std::string ClientVersionText;
uint16_t ClientVersion = 0;
uint8_t CallStyle = csNone;
TCallStyles AvailableCallStyles = 0;
std::atomic<bool> OCIInitialized{false};
bool OCILoaded = false;
bool OCILite = false;
bool ThreadedMode = true;
bool MutexMode = true;
bool SharedMode = false;
bool EventsMode = true;
uint16_t EventsMinVersion = 10200;
uint32_t NotificationPort = 0;
OCIEnv* hOCIEnv = nullptr;
OCIError* hOCIError = nullptr;
std::vector<TOracleHome> OracleHomes;
const char* const SOCINotInitialized = "OCI is not inizialized";
const char* const SNeedOCI7 = "Need Oracle 7.3 Call Interface";
const char* const SNeedOCI8 = "Need Oracle 8 Call Interface";
const char* const SNeedOCI81 = "Need Oracle 8i Call Interface";
const char* const SOCINotLinked = "OCI function is not linked";

int DefaultHome = -1;
std::string RequestedHomeName;
std::string HomeFolder;
bool MTSLoaded = false;

namespace {
const char* const kOracleKey = "SOFTWARE\\ORACLE";

std::recursive_mutex gInitLock;  // guards InitOCI
std::recursive_mutex gLoadLock;  // guards loading and freeing
TSharedLibrary gMainLibrary, gClientLibrary, gMTSLibrary, gMTSHelperLibrary;
// What LoadOCI put in front of PATH, so FreeOCI can take it out again.
std::string gPathPrefix;
}  // namespace

void RaiseOCIError(const std::string& message) { throw Exception(message); }

uint16_t VersionNumber(const std::string& text) {
    int parts[4] = {0, 0, 0, 0};
    size_t start = 0;
    for (int i = 0; i < 4 && start <= text.size(); ++i) {
        size_t end = text.find('.', start);
        if (end == std::string::npos) end = text.size();
        int64_t v = 0;
        if (TryStrToInt64(text.substr(start, end - start), v) && v >= 0 && v < 10000) parts[i] = static_cast<int>(v);
        if (end == text.size()) break;
        start = end + 1;
    }
    int64_t n = ((static_cast<int64_t>(parts[0]) * 10 + parts[1]) * 10 + parts[2]) * 10 + parts[3];
    return static_cast<uint16_t>(n < 0 || n > 65535 ? 0 : n);
}

// ---------------------------------------------------------------------------
// Entry points

namespace {
[[noreturn]] void NotLinked() { throw Exception(SOCINotLinked); }

// A stub of the entry point's own shape.
template <typename F>
struct StubOf;
template <typename R, typename... A>
struct StubOf<R (*)(A...)> {
    static R Call(A...) { NotLinked(); }
};

// Entry points whose shapes are not used yet: a plain procedure stub.
void NotLinkedProc() { NotLinked(); }

const char* const kOracle7Names[] = {
    "obindps", "obndra", "obndrn", "obndrv",   "obreak", "ocan",   "ociepgoe", "ociepmsg", "oclose", "ocof",
    "ocom",    "ocon",   "odefin", "odefinps", "odescr", "odessp", "oerhms",   "oermsg",   "oexec",  "oexfet",
    "oexn",    "ofen",   "ofetch", "oflng",    "ogetpi", "ognfd",  "olog",     "ologof",   "onbclr", "onbset",
    "onbtst",  "oopen",  "oopt",   "oparse",   "opinit", "orol",   "osetpi",   "sqlld2",   "sqllda",
};
const char* const kOracle8Names[] = {
    "OCIEnvCreate",
    "OCIInitialize",
    "OCIEnvInit",
    "OCIHandleAlloc",
    "OCIHandleFree",
    "OCIAttrGet",
    "OCIAttrSet",
    "OCIErrorGet",
    "OCIServerAttach",
    "OCIServerDetach",
    "OCISessionBegin",
    "OCISessionEnd",
    "OCISessionGet",
    "OCISessionRelease",
    "OCISessionPoolCreate",
    "OCISessionPoolDestroy",
    "OCITransStart",
    "OCITransCommit",
    "OCITransRollback",
    "OCITransDetach",
    "OCITransPrepare",
    "OCITransForget",
    "OCIStmtPrepare",
    "OCIStmtPrepare2",
    "OCIStmtExecute",
    "OCIStmtFetch",
    "OCIStmtFetch2",
    "OCIStmtRelease",
    "OCIStmtGetPieceInfo",
    "OCIStmtSetPieceInfo",
    "OCIBindByName",
    "OCIBindByPos",
    "OCIBindDynamic",
    "OCIBindObject",
    "OCIBindArrayOfStruct",
    "OCIDefineByPos",
    "OCIDefineDynamic",
    "OCIDefineObject",
    "OCIDefineArrayOfStruct",
    "OCIParamGet",
    "OCIParamSet",
    "OCIServerVersion",
    "OCIPing",
    "OCIBreak",
    "OCIReset",
    "OCISvcCtxToLda",
    "OCILdaToSvcCtx",
    "OCIDescriptorAlloc",
    "OCIDescriptorFree",
    "OCIDescribeAny",
    "OCIPasswordChange",
    "OCIClientVersion",
    "OCIRowidToChar",
    "OCILobAppend",
    "OCILobAssign",
    "OCILobCharSetForm",
    "OCILobCharSetId",
    "OCILobClose",
    "OCILobCopy",
    "OCILobCreateTemporary",
    "OCILobDisableBuffering",
    "OCILobEnableBuffering",
    "OCILobErase",
    "OCILobFileClose",
    "OCILobFileCloseAll",
    "OCILobFileExists",
    "OCILobFileGetName",
    "OCILobFileIsOpen",
    "OCILobFileOpen",
    "OCILobFileSetName",
    "OCILobFlushBuffer",
    "OCILobFreeTemporary",
    "OCILobGetChunkSize",
    "OCILobGetLength",
    "OCILobIsEqual",
    "OCILobIsOpen",
    "OCILobIsTemporary",
    "OCILobLoadFromFile",
    "OCILobLocatorAssign",
    "OCILobLocatorIsInit",
    "OCILobOpen",
    "OCILobRead",
    "OCILobTrim",
    "OCILobWrite",
    "OCILobWriteAppend",
    "OCINumberAbs",
    "OCINumberAdd",
    "OCINumberAssign",
    "OCINumberCmp",
    "OCINumberDiv",
    "OCINumberFromInt",
    "OCINumberFromReal",
    "OCINumberFromText",
    "OCINumberIsZero",
    "OCINumberMul",
    "OCINumberNeg",
    "OCINumberRound",
    "OCINumberSetZero",
    "OCINumberSign",
    "OCINumberSub",
    "OCINumberToInt",
    "OCINumberToReal",
    "OCINumberToText",
    "OCINumberTrunc",
    "OCIDateAddDays",
    "OCIDateAddMonths",
    "OCIDateAssign",
    "OCIDateCompare",
    "OCIDateDaysBetween",
    "OCIDateFromText",
    "OCIDateGetDate",
    "OCIDateGetTime",
    "OCIDateLastDay",
    "OCIDateSetDate",
    "OCIDateSetTime",
    "OCIDateSysDate",
    "OCIDateToText",
    "OCIDateTimeAssign",
    "OCIDateTimeCheck",
    "OCIDateTimeCompare",
    "OCIDateTimeConstruct",
    "OCIDateTimeFromText",
    "OCIDateTimeGetDate",
    "OCIDateTimeGetTime",
    "OCIDateTimeGetTimeZoneOffset",
    "OCIDateTimeIntervalAdd",
    "OCIDateTimeIntervalSub",
    "OCIDateTimeSubtract",
    "OCIDateTimeSysTimeStamp",
    "OCIDateTimeToText",
    "OCIIntervalAdd",
    "OCIIntervalAssign",
    "OCIIntervalCheck",
    "OCIIntervalCompare",
    "OCIIntervalDivide",
    "OCIIntervalFromText",
    "OCIIntervalGetDaySecond",
    "OCIIntervalGetYearMonth",
    "OCIIntervalMultiply",
    "OCIIntervalSetDaySecond",
    "OCIIntervalSetYearMonth",
    "OCIIntervalSubtract",
    "OCIIntervalToNumber",
    "OCIIntervalToText",
    "OCIObjectCopy",
    "OCIObjectFree",
    "OCIObjectGetAttr",
    "OCIObjectGetInd",
    "OCIObjectGetObjectRef",
    "OCIObjectGetTypeRef",
    "OCIObjectNew",
    "OCIObjectPin",
    "OCIObjectPinTable",
    "OCIObjectSetAttr",
    "OCIObjectUnpin",
    "OCIObjectMarkDelete",
    "OCICollAppend",
    "OCICollAssign",
    "OCICollAssignElem",
    "OCICollGetElem",
    "OCICollMax",
    "OCICollSize",
    "OCICollTrim",
    "OCITableDelete",
    "OCITableExists",
    "OCITableFirst",
    "OCITableLast",
    "OCITableNext",
    "OCITablePrev",
    "OCITableSize",
    "OCIIterCreate",
    "OCIIterDelete",
    "OCIIterInit",
    "OCIIterNext",
    "OCIRawAssignBytes",
    "OCIRawPtr",
    "OCIRawSize",
    "OCIStringAssignText",
    "OCIStringPtr",
    "OCIStringSize",
    "OCIStringResize",
    "OCIRefAssign",
    "OCIRefClear",
    "OCIRefFromHex",
    "OCIRefHexSize",
    "OCIRefIsEqual",
    "OCIRefIsNull",
    "OCIRefToHex",
    "OCITypeByName",
    "OCITypeByRef",
    "OCIResultSetToStmt",
    "OCISubscriptionRegister",
    "OCISubscriptionUnRegister",
    "OCINlsCharSetIdToName",
    "OCINlsCharSetNameToId",
    "OCIPStreamFromXMLType",
    "OCIPStreamRead",
    "OCIPStreamClose",
};
const char* const kMTSNames[] = {"OraMTSSvcGet",  "OraMTSSvcRel",    "OraMTSEnlCtxGet",
                                 "OraMTSJoinTxn", "OraMTSEnlCtxRel", "OraMTSSvcEnlist"};

bool IsStreamName(const std::string& name) {
    return name == "OCIPStreamFromXMLType" || name == "OCIPStreamRead" || name == "OCIPStreamClose";
}

constexpr size_t kProcCount = std::size(kOracle7Names) + std::size(kOracle8Names) + std::size(kMTSNames) + 1;
void* gProcs[kProcCount];

template <typename F>
TOCIEntry Typed(const char* name, TOCISet set, F& variable) {
    return {name, set, reinterpret_cast<void**>(&variable), reinterpret_cast<void*>(&StubOf<F>::Call)};
}

std::vector<TOCIEntry> BuildEntries() {
    std::vector<TOCIEntry> out;
    size_t proc = 0;
    auto add = [&](const char* name, TOCISet set) {
        // the entry points whose shapes are known are bound through their
        // typed variables
        const std::string n = name;
#define ORA_TYPED(fn) \
    if (n == #fn) return out.push_back(Typed(name, set, fn));
        ORA_TYPED_ENTRIES(ORA_TYPED)
#undef ORA_TYPED
        out.push_back({name, set, &gProcs[proc++], reinterpret_cast<void*>(&NotLinkedProc)});
    };
    for (const char* n : kOracle7Names) add(n, TOCISet::Oracle7);
    for (const char* n : kOracle8Names) add(n, IsStreamName(n) ? TOCISet::Stream : TOCISet::Oracle8);
    for (const char* n : kMTSNames) add(n, TOCISet::MTS);
    add("DtcGetTransactionManagerEx", TOCISet::MTSHelper);
    return out;
}
}  // namespace

#define ORA_TYPED(fn) fn##_t fn = &StubOf<fn##_t>::Call;
ORA_TYPED_ENTRIES(ORA_TYPED)
#undef ORA_TYPED

const std::vector<TOCIEntry>& OCIEntries() {
    static const std::vector<TOCIEntry> entries = BuildEntries();
    return entries;
}

const TOCIEntry* FindOCIEntry(const std::string& name) {
    for (const TOCIEntry& e : OCIEntries())
        if (name == e.Name) return &e;
    return nullptr;
}

bool IsStub(const TOCIEntry& entry) { return *entry.Slot == entry.Stub; }

namespace {
void BindSet(TOCISet set, const TSharedLibrary& library) {
    for (const TOCIEntry& e : OCIEntries())
        if (e.Set == set) {
            void* p = library.Symbol(e.Name);
            *e.Slot = p ? p : e.Stub;  // a missing name keeps the stub
        }
}

void UnbindSet(TOCISet set) {
    for (const TOCIEntry& e : OCIEntries())
        if (e.Set == set) *e.Slot = e.Stub;
}
}  // namespace

void UnbindOCI() {
    for (const TOCIEntry& e : OCIEntries()) *e.Slot = e.Stub;
}

// ---------------------------------------------------------------------------
// Homes and detection

void AddHome(const std::string& keyName) {
    if (static_cast<int>(OracleHomes.size()) >= MaxOracleHomes) return;
    auto reg = Registry();
    const std::string key = std::string(kOracleKey) + "\\" + keyName;
    if (!reg->KeyExists(key)) return;
    std::string name, folder;
    reg->ReadString(key, "ORACLE_HOME_NAME", name);
    reg->ReadString(key, "ORACLE_HOME", folder);
    // the sizes the values are read with
    if (name.size() > 100) name.resize(100);
    if (folder.size() > 255) folder.resize(255);
    for (const TOracleHome& h : OracleHomes)
        if (SameText(h.Name, name)) return;
    OracleHomes.push_back({NativePath(folder), keyName, name});
}

namespace {
bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// The home whose folder a PATH entry names, with oci.dll where the entry
// points: "<home>/bin" (or "<home>/bin/") holding bin/oci.dll, or "<home>"
// (or "<home>/") holding oci.dll. The first entry that names a home wins.
int HomeFromPath() {
    const std::vector<std::string> entries = SplitPathList(GetEnvironmentText("PATH"));
    for (const std::string& entry : entries) {
        for (size_t i = 0; i < OracleHomes.size(); ++i) {
            const std::string home = ExcludeTrailingDelimiter(OracleHomes[i].Folder);
            if (home.empty()) continue;
            const std::string bin = home + PathDelim + "bin";
            if ((SameText(entry, bin) || SameText(entry, bin + PathDelim)) &&
                !FindFileNoCase(home, "bin/oci.dll").empty())
                return static_cast<int>(i);
            if ((SameText(entry, home) || SameText(entry, home + PathDelim)) &&
                !FindFileNoCase(home, "oci.dll").empty())
                return static_cast<int>(i);
        }
    }
    return -1;
}

// The library of a home: BIN/oci.dll, oci.dll, or a client library named
// ora*.dll in BIN (the additional client and the transaction-coordinator
// libraries are no main library).
std::string LibraryOfHome(const std::string& home) {
    std::string found = FindFileNoCase(home, "BIN/oci.dll");
    if (found.empty()) found = FindFileNoCase(home, "oci.dll");
    if (found.empty()) {
        std::string binFolder = JoinPath(home, "BIN");
        for (const std::string& f : FindFilesNoCase(binFolder, "ora*.dll")) {
            const std::string n = ExtractFileName(f);
            if (StartsWithNoCase(n, "oraclient") || StartsWithNoCase(n, "oramts")) continue;
            found = f;
            break;
        }
    }
    return found;
}

// The version text of a library: its OCIClientVersion when it has one,
// otherwise the side file "<library>.version"; "" when neither.
std::string LibraryVersionText(const std::string& library) {
    TSharedLibrary lib;
    if (lib.Load(library)) {
        if (auto fn = reinterpret_cast<OCIClientVersion_t>(lib.Symbol("OCIClientVersion"))) {
            sword v[5] = {0, 0, 0, 0, 0};
            fn(&v[0], &v[1], &v[2], &v[3], &v[4]);
            return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
                   std::to_string(v[3]) + "." + std::to_string(v[4]);
        }
    }
    std::string text;
    if (FILE* f = std::fopen((library + ".version").c_str(), "rb")) {
        char buf[64];
        size_t n = std::fread(buf, 1, sizeof buf, f);
        std::fclose(f);
        text = Trim(std::string(buf, n));
    }
    return text;
}
}  // namespace

void DetectOCI() {
    std::lock_guard<std::recursive_mutex> g(gLoadLock);
    auto reg = Registry();
    // 1. the homes
    OracleHomes.clear();
    DefaultHome = -1;
    for (const std::string& sub : reg->SubKeys(kOracleKey))
        if (StartsWithNoCase(sub, "HOME") || StartsWithNoCase(sub, "KEY_")) AddHome(sub);
    // 2. the default home from the PATH
    if (!OracleHomes.empty()) DefaultHome = HomeFromPath();
    // 3. the library
    std::string library;
    HomeFolder.clear();
    std::string named;
    if (reg->ReadString(kOracleKey, "OCIDLL", named) && !Trim(named).empty()) {
        library = NativePath(Trim(named));
    } else {
        std::string home;
        if (!RequestedHomeName.empty())
            for (const TOracleHome& h : OracleHomes)
                if (SameText(h.Name, RequestedHomeName)) home = h.Folder;
        if (home.empty() && DefaultHome >= 0) home = OracleHomes[static_cast<size_t>(DefaultHome)].Folder;
        if (home.empty() && reg->ReadString(kOracleKey, "ORACLE_HOME", home)) home = NativePath(home);
        if (home.empty()) RaiseOCIError("Cannot find OCI DLL: " + library);
        home = ExcludeTrailingDelimiter(home);
        HomeFolder = home;
        library = LibraryOfHome(home);
    }
    OCILibraryPath = library;
    // An Oracle Lite installation says so with "OLITE" = "YES" under the
    // Oracle key.
    std::string lite;
    OCILite = reg->ReadString(kOracleKey, "OLITE", lite) && SameText(Trim(lite), "YES");
    // 4. the version
    ClientVersionText = library.empty() ? std::string() : LibraryVersionText(library);
    ClientVersion = VersionNumber(ClientVersionText);
    ClientLibraryPath = library.empty() ? std::string() : JoinPath(ExtractFileDir(library), "oraclient9.dll");
    // 5. the call styles
    if (SameText(ExtractFileName(library), "ociw32.dll")) {
        CallStyle = csOCI7;
        AvailableCallStyles |= StyleBit(csOCI7);
        return;
    }
    if (library.empty()) RaiseOCIError("Cannot find OCI DLL: " + library);
    if (ClientVersion / 100 == 73) {
        CallStyle = csOCI7;
        AvailableCallStyles = StyleBit(csOCI7);
    } else if (ClientVersion >= 8000 && ClientVersion < 11000) {
        AvailableCallStyles |= StyleBit(csOCI7) | StyleBit(csOCI8);
        if (CallStyle == csNone) CallStyle = csOCI8;
    } else {
        RaiseOCIError("OCI version " + ClientVersionText + " is not supported");
    }
}

// ---------------------------------------------------------------------------
// Loading

void LoadOCI() {
    std::lock_guard<std::recursive_mutex> g(gLoadLock);
    if (OCILoaded) return;
    if (OCILibraryPath.empty()) DetectOCI();
    // 1. the library's folder in front of PATH, so the client finds its own
    //    libraries first when several homes are installed
    if (OracleHomes.size() > 1 && !HomeFolder.empty()) {
        gPathPrefix = ExtractFileDir(OCILibraryPath) + PathListSep;
        SetEnvironmentVariable("PATH", gPathPrefix + GetEnvironmentText("PATH"));
    }
    // 2. the libraries
    if (!gMainLibrary.Load(OCILibraryPath)) RaiseOCIError("Cannot load OCI DLL: " + OCILibraryPath);
    if (ClientVersion >= 9000 && !gClientLibrary.Load(ClientLibraryPath)) {
        gMainLibrary.Free();
        RaiseOCIError("Cannot load " + ExtractFileName(ClientLibraryPath));
    }
    // 3. the entry points
    if (HasStyle(AvailableCallStyles, csOCI7)) BindSet(TOCISet::Oracle7, gMainLibrary);
    if (HasStyle(AvailableCallStyles, csOCI8)) {
        BindSet(TOCISet::Oracle8, gMainLibrary);
        BindSet(TOCISet::Stream, gClientLibrary);
    }
    OCILoaded = true;
}

namespace {
void InitEnvironment();
}  // namespace

void InitOCI() {
    std::lock_guard<std::recursive_mutex> g(gInitLock);
    if (OCIInitialized.load()) return;
    if (!OCILoaded) LoadOCI();
    try {
        InitEnvironment();
    } catch (...) {
        // A failed step leaves nothing behind: a second try would make new
        // handles and lose these.
        if (hOCIError) OCIHandleFree(hOCIError, OCI_HTYPE_ERROR);
        if (hOCIEnv) OCIHandleFree(hOCIEnv, OCI_HTYPE_ENV);
        hOCIError = nullptr;
        hOCIEnv = nullptr;
        throw;
    }
    OCIInitialized = true;
}

namespace {
void InitEnvironment() {
    auto check = [](sword status) {
        if (status != OCI_SUCCESS) RaiseOCIError("Can't initialize OCI. Error " + std::to_string(status));
    };
    if (HasStyle(AvailableCallStyles, csOCI8)) {
        ub4 mode = OCI_OBJECT;
        if (ThreadedMode && ClientVersion >= 8041) mode += OCI_THREADED;
        if (SharedMode && ClientVersion >= 8140) mode += OCI_SHARED;
        if (EventsMode && ClientVersion >= 8140 && ClientVersion >= EventsMinVersion) mode += OCI_EVENTS;
        if (ClientVersion < 8100) {
            check(OCIInitialize(mode, nullptr, nullptr, nullptr, nullptr));
            const ub4 envMode = ThreadedMode && ClientVersion < 8141 ? OCI_ENV_NO_MUTEX : OCI_DEFAULT;
            check(OCIEnvInit(&hOCIEnv, envMode, 0, nullptr));
        } else {
            if (ThreadedMode && !MutexMode) mode += OCI_NO_MUTEX;
            check(OCIEnvCreate(&hOCIEnv, mode, nullptr, nullptr, nullptr, nullptr, 0, nullptr));
        }
        void* err = nullptr;
        check(OCIHandleAlloc(hOCIEnv, &err, OCI_HTYPE_ERROR, 0, nullptr));
        hOCIError = static_cast<OCIError*>(err);
        if (NotificationPort != 0 && ClientVersion >= 10200) {
            ub4 port = NotificationPort;
            check(OCIAttrSet(hOCIEnv, OCI_HTYPE_ENV, &port, 0, OCI_ATTR_SUBSCR_PORTNO, hOCIError));
        }
    }
    if (HasStyle(AvailableCallStyles, csOCI7) && ThreadedMode) opinit(1);
}
}  // namespace

void LoadMTS() {
    std::lock_guard<std::recursive_mutex> g(gLoadLock);
    if (MTSLoaded) return;
    const std::string name = ClientVersion <= 10000 ? "oramts.dll" : "oramts10.dll";
    const std::string path = JoinPath(ExtractFileDir(OCILibraryPath), name);
    if (!gMTSLibrary.Load(path)) RaiseOCIError("Can not find " + name);
    BindSet(TOCISet::MTS, gMTSLibrary);
    if (!gMTSHelperLibrary.Load("xolehlp.dll")) {
        UnbindSet(TOCISet::MTS);
        gMTSLibrary.Free();
        RaiseOCIError("Can not find xolehlp.dll");
    }
    BindSet(TOCISet::MTSHelper, gMTSHelperLibrary);
    MTSLoaded = true;
}

void FreeMTS() {
    std::lock_guard<std::recursive_mutex> g(gLoadLock);
    UnbindSet(TOCISet::MTS);
    UnbindSet(TOCISet::MTSHelper);
    gMTSHelperLibrary.Free();
    gMTSLibrary.Free();
    MTSLoaded = false;
}

namespace {
// What DetectOCI, LoadOCI and InitOCI learned of the client library,
// forgotten; the home folder is left to the caller.
void ForgetClient() {
    OCILibraryPath.clear();
    ClientLibraryPath.clear();
    ClientVersionText.clear();
    ClientVersion = 0;
    CallStyle = csNone;
    AvailableCallStyles = 0;
    OCILoaded = false;
    OCILite = false;
    OCIInitialized = false;
}
}  // namespace

void FreeOCI() {
    std::lock_guard<std::recursive_mutex> g(gInitLock);
    std::lock_guard<std::recursive_mutex> l(gLoadLock);
    // A thread given up inside the client still needs it, its handles and
    // its entry points.
    if (LibrariesHeld()) return;
    FreeMTS();
    if (hOCIError) OCIHandleFree(hOCIError, OCI_HTYPE_ERROR);
    if (hOCIEnv) OCIHandleFree(hOCIEnv, OCI_HTYPE_ENV);
    hOCIError = nullptr;
    hOCIEnv = nullptr;
    // Take out what LoadOCI put in front of PATH, but only while PATH still
    // starts with it: a PATH changed since then is left as it is.
    if (!gPathPrefix.empty()) {
        const std::string path = GetEnvironmentText("PATH");
        if (path.compare(0, gPathPrefix.size(), gPathPrefix) == 0)
            SetEnvironmentVariable("PATH", path.substr(gPathPrefix.size()));
        gPathPrefix.clear();
    }
    UnbindOCI();
    gClientLibrary.Free();
    gMainLibrary.Free();
    HomeFolder.clear();
    ForgetClient();
}

void RequireOCI8() {
    if (CallStyle != csOCI8) RaiseOCIError(SNeedOCI8);
}

void RequireOCI81() {
    if (ClientVersion < 8100) RaiseOCIError(SNeedOCI81);
}

// ---------------------------------------------------------------------------
// Start-up

void OraCallStartup() {
    UnbindOCI();
    ForgetClient();
    ThreadedMode = true;
    MutexMode = true;
    SharedMode = false;
    EventsMode = true;
    EventsMinVersion = 10200;
    NotificationPort = 0;
    MTSLoaded = false;
}

void OraCallShutdown() {
    FreeOCI();
    OracleHomes.clear();
    DefaultHome = -1;
    RequestedHomeName.clear();
}

}  // namespace tms::ora
