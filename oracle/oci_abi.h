/* The call interface between the data-access library and the Oracle client
 * library as the library uses it: scalar types, status codes, handle types,
 * modes and attribute numbers, and the shapes of the calls made so far.
 * Written from the published descriptions of these calls; shared by the
 * library and the fake client of the tests. Plain C, so the fake can export
 * the calls with C linkage. */
#ifndef TMS_ORACLE_OCI_ABI_H
#define TMS_ORACLE_OCI_ABI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t sword;
typedef int32_t sb4;
typedef uint32_t ub4;
typedef int16_t sb2;
typedef uint16_t ub2;
typedef uint8_t ub1;
typedef unsigned char oratext;

/* Handles are opaque to the library. */
typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;

/* Call results. */
enum {
    OCI_SUCCESS = 0,
    OCI_SUCCESS_WITH_INFO = 1,
    OCI_NEED_DATA = 99,
    OCI_NO_DATA = 100,
    OCI_ERROR = -1,
    OCI_INVALID_HANDLE = -2
};

/* Handle types. */
enum {
    OCI_HTYPE_ENV = 1,
    OCI_HTYPE_ERROR = 2,
    OCI_HTYPE_SVCCTX = 3,
    OCI_HTYPE_STMT = 4,
    OCI_HTYPE_SERVER = 8,
    OCI_HTYPE_SESSION = 9,
    OCI_HTYPE_SPOOL = 27
};

/* Environment modes (added together). */
enum {
    OCI_DEFAULT = 0,
    OCI_THREADED = 1,
    OCI_OBJECT = 2,
    OCI_EVENTS = 4,
    OCI_ENV_NO_MUTEX = 8, /* OCIEnvInit only */
    OCI_SHARED = 16,
    OCI_NO_MUTEX = 128
};

/* Attributes. */
enum { OCI_ATTR_SUBSCR_PORTNO = 390 };

/* Memory callbacks of the environment calls (the library passes none). */
typedef void* (*OCIMallocFn)(void* ctx, size_t size);
typedef void* (*OCIReallocFn)(void* ctx, void* memory, size_t size);
typedef void (*OCIFreeFn)(void* ctx, void* memory);

/* Call shapes. */
typedef sword (*OCIEnvCreate_t)(OCIEnv** envhpp, ub4 mode, void* ctxp, OCIMallocFn malocfp,
                                OCIReallocFn ralocfp, OCIFreeFn mfreefp, size_t xtramemSize, void** usrmempp);
typedef sword (*OCIInitialize_t)(ub4 mode, void* ctxp, OCIMallocFn malocfp, OCIReallocFn ralocfp,
                                 OCIFreeFn mfreefp);
typedef sword (*OCIEnvInit_t)(OCIEnv** envhpp, ub4 mode, size_t xtramemSize, void** usrmempp);
typedef sword (*OCIHandleAlloc_t)(const void* parenth, void** hndlpp, ub4 type, size_t xtramemSize,
                                  void** usrmempp);
typedef sword (*OCIHandleFree_t)(void* hndlp, ub4 type);
typedef sword (*OCIAttrGet_t)(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                              OCIError* errhp);
typedef sword (*OCIAttrSet_t)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                              OCIError* errhp);
typedef sword (*OCIErrorGet_t)(void* hndlp, ub4 recordno, oratext* sqlstate, sb4* errcodep, oratext* bufp,
                               ub4 bufsiz, ub4 type);
typedef void (*OCIClientVersion_t)(sword* major, sword* minor, sword* update, sword* patch, sword* portUpdate);
/* The Oracle 7 call set: process initialisation. */
typedef sword (*opinit_t)(ub4 mode);

#ifdef __cplusplus
}
#endif

#endif
