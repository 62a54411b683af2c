// What the parts of the fake client share: the journal and error record of
// the main file for the data-type calls, and the memory layouts the
// additional client library reads (an XML instance and a stream descriptor
// are plain structures the stream calls of that library work on).
#ifndef TMS_FAKEOCI_INTERNAL_H
#define TMS_FAKEOCI_INTERNAL_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "oracle/oci_abi.h"

// At the start of every fake object instance: the text of an XML value.
struct FakeXmlView {
    uint32_t magic;  // kFakeXmlMagic
    const char* data;
    size_t length;
};
// A persistent-stream descriptor: the text it reads, how far, and the
// sizes of the reads made so far (the first eight).
struct FakePStream {
    uint32_t magic;  // kFakeStreamMagic
    const char* data;
    size_t length;
    size_t pos;
    int reads;
    int64_t chunks[8];
    int closed;
};
constexpr uint32_t kFakeXmlMagic = 0x584d4c31;
constexpr uint32_t kFakeStreamMagic = 0x5053544d;

namespace fakeoci {
// The main file's journal, scripted failures, error record and handles.
void Log(const std::string& line);
int Scripted(const char* function);
int Fail(OCIError* errhp, int code, const std::string& message);
bool IsEnv(const void* handle);
// The descriptors of the data-type calls (all kinds but ROWID).
sword TypesDescriptorAlloc(ub4 type, void** descpp);
sword TypesDescriptorFree(void* descp, ub4 type);
// An output value of a data-type bind from the statement engine's script;
// false when the type is not one of these.
bool TypesWriteOut(OCIBind* bind, ub2 dty, void* value, sb2* ind, const std::string& text);
// The journal text of an input value (empty when the type is not one of
// these).
std::string TypesBindText(ub2 dty, const void* value);
// The collections of a change notification (lists of tables, rows and
// queries) share the collection calls with the object collections: these
// answer when `coll` is one of them (true, with the call's status in *rc)
// and leave the call to the object collections otherwise.
bool NotifyCollSize(const OCIColl* coll, sb4* size, sword* rc);
bool NotifyCollGetElem(const OCIColl* coll, sb4 index, boolean_t* exists, void** elem, void** elemInd, sword* rc);
}  // namespace fakeoci

#endif
