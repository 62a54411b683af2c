/* The change-notification controls of the fake client: tests reach them
 * through the entry point "fakeoci_notify_control" of the loaded fake
 * library, as they reach fakeoci_control. */
#ifndef TMS_FAKENOTIFY_CONTROL_H
#define TMS_FAKENOTIFY_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

struct fakeoci_notify_table {
    int size; /* sizeof(struct fakeoci_notify_table) */
    /* Queues a notification of this kind (6: object change, 5: end of the
     * registration, ...) for every registered subscription; the fake's
     * notification thread delivers it. For kind 6, tables lists the changed
     * tables as "NAME:flags[:rowid/flags,rowid/flags];NAME2:flags" (flags
     * are the client's operation codes: 1 all rows, 2 insert, 4 update,
     * 8 delete, 16 alter, 32 drop). Returns the changes queued. */
    int (*fire)(int kind, const char* tables);
    /* Waits until every queued change has been delivered (1) or the time
     * is up (0). */
    int (*wait)(int timeout_ms);
    /* Subscriptions registered and not ended. */
    int (*registered)(void);
    /* Changes delivered since the library was loaded. */
    int (*delivered)(void);
    /* 1 when called on the notification thread. */
    int (*on_notify_thread)(void);
    /* The attributes a subscription handle holds: namespace, ROWIDs,
     * operations, time-out, quality-of-service flags, registered. */
    void (*attributes)(void* subscription, unsigned* out6);
};

typedef const struct fakeoci_notify_table* (*fakeoci_notify_control_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
