#pragma once
// Everything between the library and the Oracle client library: the Oracle
// homes found in the registry and the PATH, the detection of the client
// library and its version, its loading, the entry points looked up by name
// (each bound to a stub until then, so an early call or a call of a function
// the client lacks fails with "OCI function is not linked"), the shared
// environment and error handles, and the transaction-coordinator libraries.
//
// Folders use this platform's separators; the client's file names
// ("oci.dll", "oraclient9.dll") are kept.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "oracle/oci_abi.h"

namespace tms::ora {

// ---------------------------------------------------------------------------
// Client state (defaults set at start-up)

// Call styles: 1 the Oracle 7 call set, 2 the Oracle 8 call set.
constexpr uint8_t csNone = 0, csOCI7 = 1, csOCI8 = 2;
// A set of call styles, one bit per style.
using TCallStyles = uint8_t;
constexpr TCallStyles StyleBit(uint8_t style) { return static_cast<TCallStyles>(1u << style); }
inline bool HasStyle(TCallStyles set, uint8_t style) { return (set & StyleBit(style)) != 0; }
// {2} alone: direct mode, in which no client library is used.
inline bool IsDirectOnly(TCallStyles set) { return set == StyleBit(csOCI8); }

extern std::string OCILibraryPath;
extern std::string ClientLibraryPath;  // the additional library from 9.0 on
extern std::string ClientVersionText;
extern uint16_t ClientVersion;
extern uint8_t CallStyle;
extern TCallStyles AvailableCallStyles;
extern std::atomic<bool> OCIInitialized;
extern bool OCILoaded;
// An Oracle Lite client (registry value "OLITE" = "YES" under SOFTWARE\ORACLE):
// its server version text ends in " Lite" and it is not asked the
// national-language query.
extern bool OCILite;
extern bool ThreadedMode;
extern bool MutexMode;
extern bool SharedMode;
extern bool EventsMode;
extern uint16_t EventsMinVersion;
extern uint32_t NotificationPort;
extern OCIEnv* hOCIEnv;
extern OCIError* hOCIError;
constexpr int32_t ErrorBufferSize = 512;

// The Oracle homes (at most 10) and the home chosen from the PATH.
constexpr int MaxOracleHomes = 10;
struct TOracleHome {
    std::string Folder;
    std::string Key;   // the registry key name ("KEY_Ora92")
    std::string Name;  // ORACLE_HOME_NAME
};
extern std::vector<TOracleHome> OracleHomes;
extern int DefaultHome;  // index, -1 for none
// A home a caller asks for by name (empty: the default home).
extern std::string RequestedHomeName;
// The folder of the home in use (empty when none was chosen).
extern std::string HomeFolder;
extern bool MTSLoaded;

// The version text as a number: up to four dot-separated parts p1..p4 give
// ((p1*10 + p2)*10 + p3)*10 + p4; a missing or non-numeric part counts 0.
uint16_t VersionNumber(const std::string& text);

// ---------------------------------------------------------------------------
// Operations

void AddHome(const std::string& keyName);
void DetectOCI();
void LoadOCI();
void InitOCI();
void FreeOCI();
void LoadMTS();
void FreeMTS();
void RequireOCI8();   // SNeedOCI8 unless CallStyle is 2
void RequireOCI81();  // SNeedOCI81 below 8.1

// Messages of the client checks, shared by the loader, the connection, the
// command and the notification calls.
extern const char* const SOCINotInitialized;
extern const char* const SNeedOCI7;
extern const char* const SNeedOCI8;
extern const char* const SNeedOCI81;
extern const char* const SOCINotLinked;

// The general error the loader and the pools raise (message only).
[[noreturn]] void RaiseOCIError(const std::string& message);

// ---------------------------------------------------------------------------
// Entry points

// Which library an entry point is looked up in.
enum class TOCISet : uint8_t {
    Oracle7,    // the Oracle 7 call set, main library
    Oracle8,    // the Oracle 8 call set, main library
    Stream,     // the Oracle 8 stream functions, additional library
    MTS,        // transaction coordinator (oramts)
    MTSHelper,  // DtcGetTransactionManagerEx (xolehlp)
};

// An entry point: its name, its library, the variable it is bound through
// and that variable's stub.
struct TOCIEntry {
    const char* Name;
    TOCISet Set;
    void** Slot;
    void* Stub;
};
const std::vector<TOCIEntry>& OCIEntries();
// The entry point of a name, nullptr for an unknown name.
const TOCIEntry* FindOCIEntry(const std::string& name);
// True while the entry point is bound to its stub.
bool IsStub(const TOCIEntry& entry);
// Binds every entry point to its stub.
void UnbindOCI();

// The entry points whose call shapes the library uses, each reached through
// a variable of its own shape; the others are reached through their table
// entries until their callers exist.
// clang-format off
#define ORA_TYPED_ENTRIES(X)                                                                              \
    X(OCIEnvCreate) X(OCIInitialize) X(OCIEnvInit) X(OCIHandleAlloc) X(OCIHandleFree) X(OCIDescriptorAlloc) \
    X(OCIDescriptorFree) X(OCIAttrGet) X(OCIAttrSet) X(OCIErrorGet) X(OCIServerAttach) X(OCIServerDetach)   \
    X(OCISessionBegin) X(OCISessionEnd) X(OCISessionGet) X(OCISessionRelease) X(OCISessionPoolCreate)       \
    X(OCISessionPoolDestroy) X(OCITransCommit) X(OCITransRollback) X(OCIServerVersion) X(OCIPing)           \
    X(OCIBreak) X(OCIStmtPrepare) X(OCIStmtPrepare2) X(OCIStmtRelease) X(OCIStmtExecute)                    \
    X(OCIStmtGetPieceInfo) X(OCIStmtSetPieceInfo) X(OCIBindByName) X(OCIBindArrayOfStruct)                  \
    X(OCIBindDynamic) X(OCIDefineByPos) X(OCIDefineDynamic) X(OCIStmtFetch) X(OCIRowidToChar)               \
    X(OCISvcCtxToLda) X(olog) X(ologof) X(ocom) X(orol) X(obreak)                                           \
    X(oerhms) X(oopen) X(oclose) X(oparse) X(oexn) X(obndrv) X(obndra) X(obindps) X(ogetpi) X(osetpi)       \
    X(opinit) X(OraMTSSvcGet) X(OraMTSSvcRel) ORA_TYPED_DATA_ENTRIES(X)

// The entry points of the data-type module.
#define ORA_TYPED_DATA_ENTRIES(X)                                                                          \
    X(OCINumberToText) X(OCINumberFromText) X(OCINumberToInt) X(OCINumberFromInt) X(OCINumberToReal)        \
    X(OCINumberFromReal) X(OCIDateTimeConstruct) X(OCIDateTimeToText) X(OCIDateTimeFromText)                \
    X(OCIDateTimeGetDate) X(OCIDateTimeGetTime) X(OCIIntervalToText) X(OCIIntervalFromText)                 \
    X(OCIIntervalCheck) X(OCILobLocatorIsInit) X(OCILobFileGetName) X(OCILobFileSetName)                    \
    X(OCILobCreateTemporary) X(OCILobFreeTemporary) X(OCILobTrim) X(OCILobWrite) X(OCILobRead)              \
    X(OCILobGetLength) X(OCITypeByName) X(OCIObjectNew) X(OCIObjectFree) X(OCIObjectGetInd)                 \
    X(OCIObjectGetAttr) X(OCIObjectSetAttr) X(OCICollSize) X(OCICollAppend) X(OCICollGetElem)               \
    X(OCICollAssignElem) X(OCIStringAssignText) X(OCIStringResize) X(OCIStringPtr) X(OCIStringSize)         \
    X(OCIRefToHex) X(OCIBindObject) X(OCIPStreamFromXMLType) X(OCIPStreamRead) X(OCIPStreamClose)
// clang-format on

#define ORA_DECLARE_TYPED(fn) extern fn##_t fn;
ORA_TYPED_ENTRIES(ORA_DECLARE_TYPED)
#undef ORA_DECLARE_TYPED

void OraCallStartup();
void OraCallShutdown();

}  // namespace tms::ora
