/* The control table of the fake client: tests reach it through the entry
 * point "fakeoci_control" of a loaded fake library (dlopen with RTLD_NOLOAD
 * on the same path, so the very copy the library under test uses). */
#ifndef TMS_FAKEOCI_CONTROL_H
#define TMS_FAKEOCI_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

struct fakeoci_control_table {
    int size; /* sizeof(struct fakeoci_control_table) */
    /* The call journal: one line per call, "Name key=value ...", each line
     * ended by a line feed. The text stays valid until the next call of
     * journal or clear_journal. */
    const char* (*journal)(void);
    void (*clear_journal)(void);
    /* The next call of the named function returns status instead of doing
     * its work. */
    void (*fail_next)(const char* function, int status);
    /* The record OCIErrorGet hands out: code and message, and the status
     * OCIErrorGet itself returns (0 for success). */
    void (*set_error)(int code, const char* message, int status);
    /* Handles allocated and not yet freed. */
    int (*live_handles)(void);
};

typedef const struct fakeoci_control_table* (*fakeoci_control_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
