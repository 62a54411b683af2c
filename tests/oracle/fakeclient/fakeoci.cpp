// A fake Oracle client library for the tests: it exports the entry points
// the data-access library calls, behaves as the library expects a client to
// behave, writes every call into a journal and lets a test script failures
// and error records through fakeoci_control().
//
// Built once per client version (FAKEOCI_VERSION, five numbers), with the
// Oracle 8 calls (FAKEOCI_OCI8), the Oracle 7 calls (FAKEOCI_OCI7) and the
// version call (FAKEOCI_HAS_VERSION) switched on or off.

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "oracle/oci_abi.h"
#include "tests/oracle/fakeclient/fakeoci_control.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Handle {
    ub4 type;
    std::map<ub4, ub4> attributes;
};

std::mutex gLock;
std::string gJournal;
std::string gJournalCopy;
std::map<std::string, int> gFailNext;
std::set<Handle*> gHandles;
int gErrorCode = 0;
std::string gErrorMessage;
int gErrorGetStatus = OCI_SUCCESS;
bool gErrorSet = false;

void Log(const std::string& line) {
    std::lock_guard<std::mutex> g(gLock);
    gJournal += line + "\n";
}

// The scripted status of a call, or OCI_SUCCESS to go on.
int Scripted(const char* function) {
    std::lock_guard<std::mutex> g(gLock);
    auto it = gFailNext.find(function);
    if (it == gFailNext.end()) return OCI_SUCCESS;
    int status = it->second;
    gFailNext.erase(it);
    return status;
}

[[maybe_unused]] Handle* NewHandle(ub4 type) {
    auto* h = new Handle{type, {}};
    std::lock_guard<std::mutex> g(gLock);
    gHandles.insert(h);
    return h;
}

[[maybe_unused]] Handle* Live(const void* p, ub4 type) {
    std::lock_guard<std::mutex> g(gLock);
    auto* h = static_cast<Handle*>(const_cast<void*>(p));
    if (!gHandles.count(h) || h->type != type) return nullptr;
    return h;
}

const char* Journal() {
    std::lock_guard<std::mutex> g(gLock);
    gJournalCopy = gJournal;
    return gJournalCopy.c_str();
}

void ClearJournal() {
    std::lock_guard<std::mutex> g(gLock);
    gJournal.clear();
}

void FailNext(const char* function, int status) {
    std::lock_guard<std::mutex> g(gLock);
    gFailNext[function] = status;
}

void SetError(int code, const char* message, int status) {
    std::lock_guard<std::mutex> g(gLock);
    gErrorCode = code;
    gErrorMessage = message ? message : "";
    gErrorGetStatus = status;
    gErrorSet = true;
}

int LiveHandles() {
    std::lock_guard<std::mutex> g(gLock);
    return static_cast<int>(gHandles.size());
}

const fakeoci_control_table kControl = {sizeof(fakeoci_control_table), Journal, ClearJournal, FailNext, SetError,
                                        LiveHandles};

}  // namespace

FAKE_EXPORT const fakeoci_control_table* fakeoci_control(void) { return &kControl; }

#if FAKEOCI_HAS_VERSION
FAKE_EXPORT void OCIClientVersion(sword* major, sword* minor, sword* update, sword* patch, sword* portUpdate) {
    int v[5] = {0, 0, 0, 0, 0};
    std::sscanf(FAKEOCI_VERSION, "%d.%d.%d.%d.%d", &v[0], &v[1], &v[2], &v[3], &v[4]);
    *major = v[0];
    *minor = v[1];
    *update = v[2];
    *patch = v[3];
    *portUpdate = v[4];
    Log("OCIClientVersion");
}
#endif

#if FAKEOCI_OCI8
FAKE_EXPORT sword OCIEnvCreate(OCIEnv** envhpp, ub4 mode, void*, OCIMallocFn, OCIReallocFn, OCIFreeFn, size_t,
                               void**) {
    Log("OCIEnvCreate mode=" + std::to_string(mode));
    if (int s = Scripted("OCIEnvCreate")) return s;
    *envhpp = reinterpret_cast<OCIEnv*>(NewHandle(OCI_HTYPE_ENV));
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIInitialize(ub4 mode, void*, OCIMallocFn, OCIReallocFn, OCIFreeFn) {
    Log("OCIInitialize mode=" + std::to_string(mode));
    return Scripted("OCIInitialize");
}

FAKE_EXPORT sword OCIEnvInit(OCIEnv** envhpp, ub4 mode, size_t, void**) {
    Log("OCIEnvInit mode=" + std::to_string(mode));
    if (int s = Scripted("OCIEnvInit")) return s;
    *envhpp = reinterpret_cast<OCIEnv*>(NewHandle(OCI_HTYPE_ENV));
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t, void**) {
    Log("OCIHandleAlloc type=" + std::to_string(type));
    if (int s = Scripted("OCIHandleAlloc")) return s;
    if (!Live(parenth, OCI_HTYPE_ENV) || !hndlpp) return OCI_INVALID_HANDLE;
    *hndlpp = NewHandle(type);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIHandleFree(void* hndlp, ub4 type) {
    Log("OCIHandleFree type=" + std::to_string(type));
    if (int s = Scripted("OCIHandleFree")) return s;
    Handle* h = Live(hndlp, type);
    if (!h) return OCI_INVALID_HANDLE;
    {
        std::lock_guard<std::mutex> g(gLock);
        gHandles.erase(h);
    }
    delete h;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIAttrSet(void* target, ub4 type, void* attribute, ub4, ub4 attrtype, OCIError*) {
    const ub4 value = attribute ? *static_cast<ub4*>(attribute) : 0;
    Log("OCIAttrSet type=" + std::to_string(type) + " attr=" + std::to_string(attrtype) +
        " value=" + std::to_string(value));
    if (int s = Scripted("OCIAttrSet")) return s;
    Handle* h = Live(target, type);
    if (!h) return OCI_INVALID_HANDLE;
    std::lock_guard<std::mutex> g(gLock);
    h->attributes[attrtype] = value;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIAttrGet(const void* target, ub4 type, void* attribute, ub4* sizep, ub4 attrtype, OCIError*) {
    Log("OCIAttrGet type=" + std::to_string(type) + " attr=" + std::to_string(attrtype));
    if (int s = Scripted("OCIAttrGet")) return s;
    Handle* h = Live(target, type);
    if (!h || !attribute) return OCI_INVALID_HANDLE;
    std::lock_guard<std::mutex> g(gLock);
    auto it = h->attributes.find(attrtype);
    if (it == h->attributes.end()) return OCI_NO_DATA;
    *static_cast<ub4*>(attribute) = it->second;
    if (sizep) *sizep = sizeof(ub4);
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIErrorGet(void* hndlp, ub4 recordno, oratext*, sb4* errcodep, oratext* bufp, ub4 bufsiz,
                              ub4 type) {
    Log("OCIErrorGet record=" + std::to_string(recordno) + " type=" + std::to_string(type));
    std::lock_guard<std::mutex> g(gLock);
    auto* h = static_cast<Handle*>(hndlp);
    if (!gHandles.count(h) || h->type != type) return OCI_INVALID_HANDLE;
    if (!gErrorSet) return OCI_NO_DATA;
    // Whatever OCIErrorGet returns, the buffer holds the message as far as
    // it fits (a failing call may leave text in it).
    if (bufp && bufsiz > 0) {
        size_t n = gErrorMessage.size() < bufsiz - 1 ? gErrorMessage.size() : bufsiz - 1;
        std::memcpy(bufp, gErrorMessage.data(), n);
        bufp[n] = 0;
    }
    if (errcodep) *errcodep = gErrorCode;
    return gErrorGetStatus;
}

FAKE_EXPORT sword OCIPing(void*, OCIError*, ub4) {
    Log("OCIPing");
    return OCI_SUCCESS;
}
#endif

#if FAKEOCI_OCI7
FAKE_EXPORT sword opinit(ub4 mode) {
    Log("opinit mode=" + std::to_string(mode));
    return Scripted("opinit");
}

FAKE_EXPORT sword olog(void*, void*, const char*, sword, const char*, sword, const char*, sword, ub4) {
    Log("olog");
    return 0;
}
#endif
