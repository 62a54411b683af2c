// The other libraries of the fake client: the additional client library
// with the stream calls, the transaction-coordinator libraries and a part
// of the service-control library the data-access library binds at
// start-up. Which one is built is chosen by FAKEEXTRA_KIND.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "tests/oracle/fakeclient/fakeoci_internal.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#if FAKEEXTRA_KIND == 1  // oraclient9.dll
// The stream calls work on the layouts the main library's fake shares: the
// instance's XML text and the stream descriptor's position.
FAKE_EXPORT int OCIPStreamFromXMLType(void*, void* pstream, void* xmltype, uint32_t) {
    auto* s = static_cast<FakePStream*>(pstream);
    auto* x = static_cast<const FakeXmlView*>(xmltype);
    if (!s || !x || s->magic != kFakeStreamMagic || x->magic != kFakeXmlMagic) return -2;
    s->data = x->data;
    s->length = x->length;
    s->pos = 0;
    return 0;
}
FAKE_EXPORT int OCIPStreamRead(void*, void* pstream, void* buf, int64_t* len, uint32_t) {
    auto* s = static_cast<FakePStream*>(pstream);
    if (!s || s->magic != kFakeStreamMagic || !len || *len < 0) return -2;
    const size_t left = s->length - s->pos;
    const size_t n = std::min(left, static_cast<size_t>(*len));
    if (n) std::memcpy(buf, s->data + s->pos, n);
    s->pos += n;
    if (s->reads < 8) s->chunks[s->reads] = static_cast<int64_t>(n);
    ++s->reads;
    *len = static_cast<int64_t>(n);
    return 0;
}
FAKE_EXPORT int OCIPStreamClose(void*, void* pstream) {
    auto* s = static_cast<FakePStream*>(pstream);
    if (!s || s->magic != kFakeStreamMagic) return -2;
    s->closed = 1;
    return 0;
}
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
FAKE_EXPORT int DtcGetTransactionManagerEx(const char*, const char*, const void*, uint32_t, void*, void**) { return 0; }
#elif FAKEEXTRA_KIND == 4  // advapi32.dll, three of its seven service calls
FAKE_EXPORT void* OpenSCManagerA(const char*, const char*, uint32_t) {
    static int manager = 1;
    return &manager;
}
FAKE_EXPORT int CloseServiceHandle(void*) { return 1; }
FAKE_EXPORT void* OpenServiceA(void*, const char*, uint32_t) { return nullptr; }
#endif
