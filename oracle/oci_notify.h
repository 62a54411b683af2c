/* The change-notification part of the call interface: the subscription
 * handle, the three change descriptors and their collections, the
 * attributes and operation codes, and the shapes of the calls. Written from
 * the published descriptions of these calls; shared by the library and the
 * fake client of the tests. Plain C, like oci_abi.h. */
#ifndef TMS_ORACLE_OCI_NOTIFY_H
#define TMS_ORACLE_OCI_NOTIFY_H

#include "oracle/oci_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OCISubscription OCISubscription;
/* A collection of descriptors, as a change descriptor hands it out. */
typedef struct OCIColl OCIColl;

enum { OCI_HTYPE_SUBSCRIPTION = 13 };
/* The change descriptors: one notification, one table's changes, one row's. */
enum { OCI_DTYPE_CHDES = 77, OCI_DTYPE_TABLE_CHDES = 78, OCI_DTYPE_ROW_CHDES = 79 };

enum {
    OCI_ATTR_SUBSCR_CALLBACK = 95,          /* the procedure the client calls */
    OCI_ATTR_SUBSCR_CTX = 96,               /* the context handed back to it */
    OCI_ATTR_SUBSCR_NAMESPACE = 98,         /* ub4, 2 for database changes */
    OCI_ATTR_SUBSCR_QOSFLAGS = 225,         /* ub4, 1: the registration survives (persistent) */
    OCI_ATTR_SUBSCR_TIMEOUT = 227,          /* ub4, seconds; 0 for none */
    OCI_ATTR_CHNF_ROWIDS = 402,             /* ub4, 1: report the ROWIDs of changed rows */
    OCI_ATTR_CHNF_OPERATIONS = 403,         /* ub4, OCI_OPCODE_* or-ed; 0 for all */
    OCI_ATTR_CHDES_NFYTYPE = 406,           /* ub4, OCI_EVENT_* */
    OCI_ATTR_CHDES_TABLE_CHANGES = 408,     /* OCIColl* of table descriptors */
    OCI_ATTR_CHDES_TABLE_NAME = 409,        /* oratext*, its length in the size */
    OCI_ATTR_CHDES_TABLE_OPFLAGS = 410,     /* ub4 */
    OCI_ATTR_CHDES_TABLE_ROW_CHANGES = 411, /* OCIColl* of row descriptors */
    OCI_ATTR_CHDES_ROW_ROWID = 412,         /* oratext*, its length in the size */
    OCI_ATTR_CHDES_ROW_OPFLAGS = 413        /* ub4 */
};

enum { OCI_SUBSCR_NAMESPACE_DBCHANGE = 2 };

/* Operation codes of a subscription, a table change and a row change. */
enum {
    OCI_OPCODE_ALLROWS = 1,
    OCI_OPCODE_INSERT = 2,
    OCI_OPCODE_UPDATE = 4,
    OCI_OPCODE_DELETE = 8,
    OCI_OPCODE_ALTER = 16,
    OCI_OPCODE_DROP = 32
};

/* Kinds of notification (attribute 406). */
enum {
    OCI_EVENT_NONE = 0,
    OCI_EVENT_STARTUP = 1,
    OCI_EVENT_SHUTDOWN = 2,
    OCI_EVENT_SHUTDOWN_ANY = 3,
    OCI_EVENT_DROP_DB = 4,
    OCI_EVENT_DEREG = 5,
    OCI_EVENT_OBJCHANGE = 6
};

/* The procedure the client calls on its own thread for each notification;
 * desc is the notification's change descriptor (type 77). */
typedef ub4 (*OCISubscriptionNotify)(void* ctx, OCISubscription* subscrhp, void* payload, ub4 paylen, void* desc,
                                     ub4 mode);

typedef sword (*OCISubscriptionRegister_t)(OCISvcCtx* svchp, OCISubscription** subscrhpp, ub2 count, OCIError* errhp,
                                           ub4 mode);
/* Size and elements of a descriptor collection (named apart from the
 * collection calls of the object types): *elem points at the descriptor
 * pointer. */
typedef sword (*OCIChnfCollSize_t)(OCIEnv* env, OCIError* err, const OCIColl* coll, sb4* size);
typedef sword (*OCIChnfCollGetElem_t)(OCIEnv* env, OCIError* err, const OCIColl* coll, sb4 index, int* exists,
                                      void** elem, void** elemind);

#ifdef __cplusplus
}
#endif

#endif
