// The other libraries of the fake client: the additional client library
// with the stream calls, the transaction-coordinator libraries and a part
// of the service-control library the data-access library binds at
// start-up. Which one is built is chosen by FAKEEXTRA_KIND.

#include <cstdint>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#if FAKEEXTRA_KIND == 1  // oraclient9.dll
FAKE_EXPORT int OCIPStreamFromXMLType(void*, void*, void*, uint32_t) { return 0; }
FAKE_EXPORT int OCIPStreamRead(void*, void*, void*, int64_t*, uint32_t) { return 0; }
FAKE_EXPORT int OCIPStreamClose(void*, void*) { return 0; }
#elif FAKEEXTRA_KIND == 2  // oramts.dll, oramts10.dll
// A service context of the coordinator's own: the library only keeps it and
// hands it back.
static int gMTSService = 0;
FAKE_EXPORT int OraMTSSvcGet(const char*, const char*, const char*, void** svc, void** env, uint32_t) {
    if (svc) *svc = &gMTSService;
    if (env) *env = nullptr;
    ++gMTSService;
    return 0;
}
FAKE_EXPORT int OraMTSSvcRel(void* svc) {
    if (svc != &gMTSService) return -1;
    --gMTSService;
    return 0;
}
FAKE_EXPORT int OraMTSEnlCtxGet(const char*, const char*, const char*, uint32_t, void**) { return 0; }
FAKE_EXPORT int OraMTSJoinTxn(void*, void*) { return 0; }
FAKE_EXPORT int OraMTSEnlCtxRel(void*) { return 0; }
FAKE_EXPORT int OraMTSSvcEnlist(void*, void*, void*, uint32_t) { return 0; }
#elif FAKEEXTRA_KIND == 3  // xolehlp.dll
FAKE_EXPORT int DtcGetTransactionManagerEx(const char*, const char*, const void*, uint32_t, void*, void**) {
    return 0;
}
#elif FAKEEXTRA_KIND == 4  // advapi32.dll, three of its seven service calls
FAKE_EXPORT void* OpenSCManagerA(const char*, const char*, uint32_t) {
    static int manager = 1;
    return &manager;
}
FAKE_EXPORT int CloseServiceHandle(void*) { return 1; }
FAKE_EXPORT void* OpenServiceA(void*, const char*, uint32_t) { return nullptr; }
#endif
