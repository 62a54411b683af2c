/* The object-type controls of the fake client: tests reach them through the
 * entry point "fakeoci_types_control" of the loaded fake library, as they
 * reach fakeoci_control. */
#ifndef TMS_FAKEOCI_TYPES_CONTROL_H
#define TMS_FAKEOCI_TYPES_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

struct fakeoci_types_table {
    /* Declares a type: attributes "NAME:KIND,..." where KIND is NUMBER,
     * STRING, DATE, BLOB, CLOB, BFILE, REF, OBJ(TYPE) or COLL(KIND); a
     * type's name may carry its schema ("SCOTT.T_ORDER"). SYS.XMLTYPE is
     * known from the start. */
    void (*define_type)(const char* name, const char* attributes);
    /* Instances made and not freed. */
    int (*live_objects)(void);
};

typedef const struct fakeoci_types_table* (*fakeoci_types_control_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
