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

    /* The statement engine. A statement whose text equals match (or starts
     * with it, when match ends in "*") behaves as behaviour says: fields joined
     * by "|", each "key=value":
     *   type=N          statement type (attribute 24); default from the first word
     *   rows=N          rows processed
     *   out:NAME=text   value of an output bind after execution ("(null)": null);
     *                   for a LONG bind, the value handed out in pieces
     *   cursor=NAME     the bind NAME receives an opened REF CURSOR
     *   error=N         fail with ORA-N ...
     *   message=text    ... and this message
     *   offset=N        parse error offset reported with the error
     *   warning=1       succeed with information 24344
     *   block=1         report ORA-03123 (the call would block)
     *   hold=1          wait inside the execution until released or broken
     *   callbacks=1     (Oracle 8 calls) LONG binds and dynamic-fetch defines go
     *                   through their callbacks; without it the client asks for
     *                   each piece with status 99 (OCIStmtGetPieceInfo and
     *                   OCIStmtSetPieceInfo)
     *   col:N=text      a query's one row: the value of select-list column N
     *                   ("(null)": null), handed out by OCIStmtFetch
     *   in_pieces=N     (Oracle 7 calls) LONG input values the server asks for
     *   out_pieces=N    (Oracle 7 calls) LONG output values it hands out; their
     *                   texts are the values of out:LONG1, out:LONG2, ...
     *   rowid=k,o,f,b,r the row address returned for the last row
     * Later scripts of the same match replace earlier ones. Whatever the
     * script, an execution with a placeholder left unbound fails with
     * ORA-01008 and binding a name the statement does not have with
     * ORA-01036; the national-language query answers NLS_CHARSET_ID of the
     * name bound to :Charset. */
    void (*script)(const char* match, const char* behaviour);
    void (*clear_script)(void);
    /* A database the client can reach, by name, with its version banner.
     * Known from the start: "" and "orcl" (10.2.0.1), "ora9" (9.2.0.1),
     * "ora7" (7.3.4). Users: scott/tiger, system/manager, proxy/proxypw. */
    void (*add_database)(const char* name, const char* banner);
    /* Calls the failover callback registered on the last server attached;
     * returns its answer (-1 when none is registered). */
    int (*trigger_failover)(int type, int event);
    /* Executions waiting inside the client (hold=1), and their release. */
    int (*held)(void);
    void (*release_held)(void);
    /* From now on every server round trip (ping, commit, execution) of an
     * existing session fails with ORA-03113 (1), or works again (0). */
    void (*set_broken)(int broken);
    /* From now on every server round trip (ping, commit) of an existing
     * session waits inside the client, counted by held, until released or
     * broken off (1), or goes straight through (0). */
    void (*set_stalled)(int stalled);
};

typedef const struct fakeoci_control_table* (*fakeoci_control_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
