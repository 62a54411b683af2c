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
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCIServer OCIServer;
typedef struct OCISession OCISession;
typedef struct OCIStmt OCIStmt;
typedef struct OCIBind OCIBind;
typedef struct OCIDefine OCIDefine;
typedef struct OCISPool OCISPool;
typedef struct OCIAuthInfo OCIAuthInfo;
typedef struct OCIRowid OCIRowid;
typedef struct OCISnapshot OCISnapshot;

/* Call results. */
enum {
    OCI_SUCCESS = 0,
    OCI_SUCCESS_WITH_INFO = 1,
    OCI_NEED_DATA = 99,
    OCI_NO_DATA = 100,
    OCI_ERROR = -1,
    OCI_INVALID_HANDLE = -2,
    OCI_CONTINUE = -24200 /* a dynamic-bind callback asks the client to go on */
};

/* Handle types. */
enum {
    OCI_HTYPE_ENV = 1,
    OCI_HTYPE_ERROR = 2,
    OCI_HTYPE_SVCCTX = 3,
    OCI_HTYPE_STMT = 4,
    OCI_HTYPE_BIND = 5,
    OCI_HTYPE_DEFINE = 6,
    OCI_HTYPE_SERVER = 8,
    OCI_HTYPE_SESSION = 9,
    OCI_HTYPE_AUTHINFO = 9, /* the same handle kind as a session */
    OCI_HTYPE_SPOOL = 27
};

/* Descriptor types. */
enum { OCI_DTYPE_ROWID = 54 };

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
enum {
    OCI_ATTR_SERVER = 6,                   /* server handle of a service context */
    OCI_ATTR_SESSION = 7,                  /* session handle of a service context */
    OCI_ATTR_ROW_COUNT = 9,                /* ub4, rows processed */
    OCI_ATTR_SQLFNCODE = 10,               /* ub2, the SQL function code */
    OCI_ATTR_PREFETCH_ROWS = 11,           /* ub4 */
    OCI_ATTR_PREFETCH_MEMORY = 13,         /* ub4 */
    OCI_ATTR_ROWID = 19,                   /* a ROWID descriptor of the last row */
    OCI_ATTR_USERNAME = 22,                /* text */
    OCI_ATTR_PASSWORD = 23,                /* text */
    OCI_ATTR_STMT_TYPE = 24,               /* ub2 */
    OCI_ATTR_FOCBK = 43,                   /* failover callback, an OCIFocbkStruct */
    OCI_ATTR_PROXY_CREDENTIALS = 99,       /* the session a proxy session stands on */
    OCI_ATTR_PARSE_ERROR_OFFSET_OLD = 128, /* ub2, clients before 8.1 */
    OCI_ATTR_PARSE_ERROR_OFFSET = 129,     /* ub2 */
    OCI_ATTR_STMTCACHESIZE = 176,          /* ub4, statement cache of a service context */
    OCI_ATTR_SUBSCR_PORTNO = 390,
    OCI_ATTR_CHNF_REGHANDLE = 414,
    OCI_ATTR_DIRECT_TIMEOUT = 10001 /* direct mode only */
};

/* Credentials and session modes of OCISessionBegin. */
enum { OCI_CRED_RDBMS = 1, OCI_CRED_EXT = 2, OCI_SYSDBA = 2, OCI_SYSOPER = 4, OCI_STMT_CACHE = 64 };
/* OCISessionGet modes. */
enum { OCI_SESSGET_SPOOL = 1 };
/* OCISessionPoolCreate modes. */
enum { OCI_SPC_STMTCACHE = 4 };

/* Statement types (attribute 24). */
enum {
    OCI_STMT_SELECT = 1,
    OCI_STMT_UPDATE = 2,
    OCI_STMT_DELETE = 3,
    OCI_STMT_INSERT = 4,
    OCI_STMT_CREATE = 5,
    OCI_STMT_DROP = 6,
    OCI_STMT_ALTER = 7,
    OCI_STMT_BEGIN = 8,
    OCI_STMT_DECLARE = 9
};

/* Statement preparation and execution. */
enum { OCI_NTV_SYNTAX = 1 };
enum { OCI_DESCRIBE_ONLY = 16, OCI_COMMIT_ON_SUCCESS = 32, OCI_STMT_SCROLLABLE_READONLY = 8 };
/* Bind modes. */
enum { OCI_DATA_AT_EXEC = 2 };
/* Define modes and the fetch direction. */
enum { OCI_DYNAMIC_FETCH = 2 };
enum { OCI_FETCH_NEXT = 2 };
/* Pieces of a piecewise transfer. */
enum { OCI_ONE_PIECE = 0, OCI_FIRST_PIECE = 1, OCI_NEXT_PIECE = 2, OCI_LAST_PIECE = 3 };
enum { OCI_PARAM_IN = 1, OCI_PARAM_OUT = 2 };

/* Failover events and the answer that asks the client to try again. */
enum { OCI_FO_END = 1, OCI_FO_ABORT = 2, OCI_FO_BEGIN = 8, OCI_FO_ERROR = 16, OCI_FO_RETRY = 25410 };

/* Memory callbacks of the environment calls (the library passes none). */
typedef void* (*OCIMallocFn)(void* ctx, size_t size);
typedef void* (*OCIReallocFn)(void* ctx, void* memory, size_t size);
typedef void (*OCIFreeFn)(void* ctx, void* memory);

/* The failover callback and the structure attribute 43 takes. */
typedef sb4 (*OCICallbackFailover)(void* svchp, void* envhp, void* foContext, ub4 foType, ub4 foEvent);
typedef struct OCIFocbkStruct {
    OCICallbackFailover callback_function;
    void* fo_ctx;
} OCIFocbkStruct;

/* The callbacks of a dynamic bind: the client asks for the next input piece
 * (buffer, length, piece kind, indicator) and for the place of the next
 * output piece (the length is passed by address: the client writes the
 * received length there). */
typedef sb4 (*OCICallbackInBind)(void* ictxp, OCIBind* bindp, ub4 iter, ub4 index, void** bufpp, ub4* alenp,
                                 ub1* piecep, void** indpp);
typedef sb4 (*OCICallbackOutBind)(void* octxp, OCIBind* bindp, ub4 iter, ub4 index, void** bufpp, ub4** alenpp,
                                  ub1* piecep, void** indpp, ub2** rcodepp);

/* The callback of a dynamic define: the client asks for the place of the
 * next piece of a fetched value (the length is passed by address). */
typedef sb4 (*OCICallbackDefine)(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp, ub4** alenpp, ub1* piecep,
                                 void** indpp, ub2** rcodepp);

/* The ROWID descriptor's contents, as clients before 9.0 leave it for the
 * library to turn into text: the kind (0 restricted, 1 extended) and the
 * four parts of the row's address. */
typedef struct OCIRowidData {
    ub1 kind;
    ub4 objnum;
    ub2 file;
    ub4 block;
    ub2 row;
} OCIRowidData;

/* Call shapes: environment and handles. */
typedef sword (*OCIEnvCreate_t)(OCIEnv** envhpp, ub4 mode, void* ctxp, OCIMallocFn malocfp, OCIReallocFn ralocfp,
                                OCIFreeFn mfreefp, size_t xtramemSize, void** usrmempp);
typedef sword (*OCIInitialize_t)(ub4 mode, void* ctxp, OCIMallocFn malocfp, OCIReallocFn ralocfp, OCIFreeFn mfreefp);
typedef sword (*OCIEnvInit_t)(OCIEnv** envhpp, ub4 mode, size_t xtramemSize, void** usrmempp);
typedef sword (*OCIHandleAlloc_t)(const void* parenth, void** hndlpp, ub4 type, size_t xtramemSize, void** usrmempp);
typedef sword (*OCIHandleFree_t)(void* hndlp, ub4 type);
typedef sword (*OCIDescriptorAlloc_t)(const void* parenth, void** descpp, ub4 type, size_t xtramemSize,
                                      void** usrmempp);
typedef sword (*OCIDescriptorFree_t)(void* descp, ub4 type);
typedef sword (*OCIAttrGet_t)(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                              OCIError* errhp);
typedef sword (*OCIAttrSet_t)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                              OCIError* errhp);
typedef sword (*OCIErrorGet_t)(void* hndlp, ub4 recordno, oratext* sqlstate, sb4* errcodep, oratext* bufp, ub4 bufsiz,
                               ub4 type);
typedef void (*OCIClientVersion_t)(sword* major, sword* minor, sword* update, sword* patch, sword* portUpdate);

/* Servers, sessions and transactions. */
typedef sword (*OCIServerAttach_t)(OCIServer* srvhp, OCIError* errhp, const oratext* dblink, sb4 dblinkLen, ub4 mode);
typedef sword (*OCIServerDetach_t)(OCIServer* srvhp, OCIError* errhp, ub4 mode);
typedef sword (*OCISessionBegin_t)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode);
typedef sword (*OCISessionEnd_t)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
typedef sword (*OCISessionGet_t)(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, OCIAuthInfo* authInfop,
                                 const oratext* dbName, ub4 dbNameLen, const oratext* tagInfo, ub4 tagInfoLen,
                                 oratext** retTagInfo, ub4* retTagInfoLen, ub1* found, ub4 mode);
typedef sword (*OCISessionRelease_t)(OCISvcCtx* svchp, OCIError* errhp, const oratext* tag, ub4 tagLen, ub4 mode);
typedef sword (*OCISessionPoolCreate_t)(OCIEnv* envhp, OCIError* errhp, OCISPool* spoolhp, oratext** poolName,
                                        ub4* poolNameLen, const oratext* connStr, ub4 connStrLen, ub4 sessMin,
                                        ub4 sessMax, ub4 sessIncr, const oratext* userid, ub4 useridLen,
                                        const oratext* password, ub4 passwordLen, ub4 mode);
typedef sword (*OCISessionPoolDestroy_t)(OCISPool* spoolhp, OCIError* errhp, ub4 mode);
typedef sword (*OCITransCommit_t)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
typedef sword (*OCITransRollback_t)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
typedef sword (*OCIServerVersion_t)(void* hndlp, OCIError* errhp, oratext* bufp, ub4 bufsz, ub1 hndltype);
typedef sword (*OCIPing_t)(OCISvcCtx* svchp, OCIError* errhp, ub4 mode);
typedef sword (*OCIBreak_t)(void* hndlp, OCIError* errhp);

/* Statements and binds. */
typedef sword (*OCIStmtPrepare_t)(OCIStmt* stmtp, OCIError* errhp, const oratext* stmt, ub4 stmtLen, ub4 language,
                                  ub4 mode);
typedef sword (*OCIStmtPrepare2_t)(OCISvcCtx* svchp, OCIStmt** stmtpp, OCIError* errhp, const oratext* stmt,
                                   ub4 stmtLen, const oratext* key, ub4 keyLen, ub4 language, ub4 mode);
typedef sword (*OCIStmtRelease_t)(OCIStmt* stmtp, OCIError* errhp, const oratext* key, ub4 keyLen, ub4 mode);
typedef sword (*OCIStmtExecute_t)(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                  const OCISnapshot* snapIn, OCISnapshot* snapOut, ub4 mode);
typedef sword (*OCIStmtGetPieceInfo_t)(OCIStmt* stmtp, OCIError* errhp, void** hndlpp, ub4* typep, ub1* inoutp,
                                       ub4* iterp, ub4* idxp, ub1* piecep);
typedef sword (*OCIStmtSetPieceInfo_t)(void* hndlp, ub4 type, OCIError* errhp, const void* bufp, ub4* alenp, ub1 piece,
                                       const void* indp, ub2* rcodep);
typedef sword (*OCIBindByName_t)(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const oratext* placeholder,
                                 sb4 placeholderLen, void* valuep, sb4 valueSize, ub2 dty, void* indp, ub2* alenp,
                                 ub2* rcodep, ub4 maxarrLen, ub4* curelep, ub4 mode);
typedef sword (*OCIBindArrayOfStruct_t)(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 alskip,
                                        ub4 rcskip);
typedef sword (*OCIBindDynamic_t)(OCIBind* bindp, OCIError* errhp, void* ictxp, OCICallbackInBind icbfp, void* octxp,
                                  OCICallbackOutBind ocbfp);
typedef sword (*OCIDefineByPos_t)(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position, void* valuep,
                                  sb4 valueSize, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode);
typedef sword (*OCIDefineDynamic_t)(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp);
typedef sword (*OCIStmtFetch_t)(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4 mode);
typedef sword (*OCIRowidToChar_t)(OCIRowid* rowidDesc, oratext* outbfp, ub2* outbflp, OCIError* errhp);

/* ---------------------------------------------------------------------------
 * The Oracle 7 call set. Its calls work on data areas the caller owns: the
 * logon data area and the cursor data area (both of the layout below, 64
 * bytes) and the host data area (256 bytes, opaque, zeroed before logon).
 * Every call returns 0 for success and otherwise the negated Oracle error
 * code (-3129: the server wants the next input piece, -3130: it has the
 * next output piece, -3123: the call would block). */

enum { OCI7_HDA_SIZE = 256, OCI7_CDA_SIZE = 64 };

/* The data-area layout, by byte offset. */
enum {
    CDA_V2_RC = 0,  /* sb2: the error code of the last call */
    CDA_FT = 2,     /* ub2: SQL function code of the parsed statement */
    CDA_RPC = 4,    /* ub4: rows processed */
    CDA_PEO = 8,    /* ub2: parse error offset */
    CDA_FC = 10,    /* ub1: the call that set the return code */
    CDA_FLG = 11,   /* ub1: flags, CDA_FLG_* */
    CDA_RC = 12,    /* ub2: the Oracle error code of the last call */
    CDA_WRN = 14,   /* ub1: warning flags */
    CDA_ROWID = 16, /* OCIRowidData of the last row touched, packed:
                          kind 1, objnum 4, file 2, block 4, row 2 bytes */
    CDA_CLIENT = 32 /* 8 bytes the client keeps for itself */
};
enum { CDA_FLG_COMPILE_WARNING = 0x20 };

typedef struct Cda_Def {
    ub1 bytes[OCI7_CDA_SIZE];
} Cda_Def;
typedef Cda_Def Lda_Def;

typedef sword (*olog_t)(Lda_Def* lda, ub1* hda, const oratext* uid, sword uidLen, const oratext* pswd, sword pswdLen,
                        const oratext* conn, sword connLen, ub4 mode);
typedef sword (*ologof_t)(Lda_Def* lda);
typedef sword (*ocom_t)(Lda_Def* lda);
typedef sword (*orol_t)(Lda_Def* lda);
typedef sword (*obreak_t)(Lda_Def* lda);
typedef sword (*oerhms_t)(Lda_Def* lda, sb2 rcode, oratext* buf, sword bufsiz);
typedef sword (*oopen_t)(Cda_Def* cursor, Lda_Def* lda, const oratext* dbn, sword dbnLen, sword arsize,
                         const oratext* uid, sword uidLen);
typedef sword (*oclose_t)(Cda_Def* cursor);
typedef sword (*oparse_t)(Cda_Def* cursor, const oratext* sqlstm, sb4 sqlLen, sword defflg, ub4 lngflg);
typedef sword (*oexn_t)(Cda_Def* cursor, sword iters, sword rowoff);
typedef sword (*obndrv_t)(Cda_Def* cursor, const oratext* sqlvar, sword sqlvarLen, ub1* progv, sword progvLen,
                          sword ftype, sword scale, sb2* indp, const oratext* fmt, sword fmtLen, sword fmtType);
typedef sword (*obndra_t)(Cda_Def* cursor, const oratext* sqlvar, sword sqlvarLen, ub1* progv, sword progvLen,
                          sword ftype, sword scale, sb2* indp, ub2* alenp, ub2* arcode, ub4 maxsiz, ub4* cursiz,
                          const oratext* fmt, sword fmtLen, sword fmtType);
/* opcode 1: bind for piecewise transfer; pvctx is handed back by ogetpi. */
typedef sword (*obindps_t)(Cda_Def* cursor, ub1 opcode, const oratext* sqlvar, sb4 sqlvarLen, ub1* pvctx, sb4 progvLen,
                           sword ftype, sword scale, sb2* indp, ub2* alenp, ub2* arcode, sb4 pvSkip, sb4 indSkip,
                           sb4 alenSkip, sb4 rcSkip, ub4 maxsiz, ub4* cursiz, const oratext* fmt, sb4 fmtLen,
                           sword fmtType);
typedef sword (*ogetpi_t)(Cda_Def* cursor, ub1* piecep, void** ctxpp, ub4* iterp, ub4* indexp);
typedef sword (*osetpi_t)(Cda_Def* cursor, ub1 piece, void* bufp, ub4* lenp);
/* The Oracle 7 call set: process initialisation. */
typedef sword (*opinit_t)(ub4 mode);
/* The Oracle 7 logon data area of an Oracle 8 service context. */
typedef sword (*OCISvcCtxToLda_t)(OCISvcCtx* svchp, OCIError* errhp, Lda_Def* ldap);

/* The transaction coordinator: a service context enlisted with it. */
typedef sword (*OraMTSSvcGet_t)(const char* uid, const char* pswd, const char* dbn, OCISvcCtx** svcpp, OCIEnv** envpp,
                                ub4 flags);
typedef sword (*OraMTSSvcRel_t)(OCISvcCtx* svc);

/* ---------------------------------------------------------------------------
 * Oracle data types: NUMBER, datetime and interval descriptors, LOB and file
 * locators, object instances, collections, references and the persistent
 * stream of an XML value. */

typedef int32_t boolean_t; /* the client's boolean: 0 false, anything else true */
typedef uint16_t OCIDuration;
typedef int16_t OCIInd; /* -1 null, 0 not null */
typedef struct OCIDateTime OCIDateTime;
typedef struct OCIInterval OCIInterval;
typedef struct OCILobLocator OCILobLocator;
typedef struct OCIType OCIType;
typedef struct OCIColl OCIColl;
typedef struct OCIRef OCIRef;
typedef struct OCIString OCIString;

/* NUMBER in its 22-byte form: a length byte, an exponent byte and up to 20
 * base-100 digits. */
enum { OCI_NUMBER_SIZE = 22 };
typedef struct OCINumber {
    ub1 OCINumberPart[OCI_NUMBER_SIZE];
} OCINumber;
/* Signedness flag of the integer conversions. */
enum { OCI_NUMBER_UNSIGNED = 0, OCI_NUMBER_SIGNED = 2 };

/* Descriptor types of the data-type calls. */
enum {
    OCI_DTYPE_LOB = 50,
    OCI_DTYPE_FILE = 56,
    OCI_DTYPE_INTERVAL_YM = 62,
    OCI_DTYPE_INTERVAL_DS = 63,
    OCI_DTYPE_TIMESTAMP = 68,
    OCI_DTYPE_TIMESTAMP_TZ = 69,
    OCI_DTYPE_TIMESTAMP_LTZ = 70,
    OCI_DTYPE_PSTREAM = 74 /* the persistent stream of an XML value */
};
/* The environment handle of a service context (attribute 5). */
enum { OCI_ATTR_ENV = 5 };
/* Temporary LOB kinds, character-set forms and durations. */
enum { OCI_TEMP_BLOB = 1, OCI_TEMP_CLOB = 2 };
enum { SQLCS_IMPLICIT = 1, SQLCS_NCHAR = 2 };
enum { OCI_DURATION_SESSION = 10 };
/* Type lookup: pin the type header only. */
enum { OCI_TYPEGET_HEADER = 0 };
/* OCIObjectFree: free even a pinned or dirty object. */
enum { OCI_OBJECTFREE_FORCE = 1 };
/* The type code an instance is made with. */
enum { OCI_TYPECODE_OBJECT = 108 };

/* NUMBER. */
typedef sword (*OCINumberToText_t)(OCIError* errhp, const OCINumber* number, const oratext* fmt, ub4 fmtLen,
                                   const oratext* nlsParams, ub4 nlsLen, ub4* bufSize, oratext* buf);
typedef sword (*OCINumberFromText_t)(OCIError* errhp, const oratext* str, ub4 strLen, const oratext* fmt, ub4 fmtLen,
                                     const oratext* nlsParams, ub4 nlsLen, OCINumber* number);
typedef sword (*OCINumberToInt_t)(OCIError* errhp, const OCINumber* number, unsigned resultLen, unsigned flag,
                                  void* result);
typedef sword (*OCINumberFromInt_t)(OCIError* errhp, const void* value, unsigned valueLen, unsigned flag,
                                    OCINumber* number);
typedef sword (*OCINumberToReal_t)(OCIError* errhp, const OCINumber* number, unsigned resultLen, void* result);
typedef sword (*OCINumberFromReal_t)(OCIError* errhp, const void* value, unsigned valueLen, OCINumber* number);

/* Datetime descriptors (fractional seconds in nanoseconds). */
typedef sword (*OCIDateTimeConstruct_t)(void* hndl, OCIError* errhp, OCIDateTime* datetime, sb2 year, ub1 month,
                                        ub1 day, ub1 hour, ub1 min, ub1 sec, ub4 fsec, const oratext* timezone,
                                        size_t timezoneLen);
typedef sword (*OCIDateTimeToText_t)(void* hndl, OCIError* errhp, const OCIDateTime* date, const oratext* fmt,
                                     ub1 fmtLen, ub1 fsprec, const oratext* langName, size_t langLen, ub4* bufSize,
                                     oratext* buf);
typedef sword (*OCIDateTimeFromText_t)(void* hndl, OCIError* errhp, const oratext* text, size_t textLen,
                                       const oratext* fmt, ub1 fmtLen, const oratext* langName, size_t langLen,
                                       OCIDateTime* datetime);
typedef sword (*OCIDateTimeGetDate_t)(void* hndl, OCIError* errhp, const OCIDateTime* datetime, sb2* year, ub1* month,
                                      ub1* day);
typedef sword (*OCIDateTimeGetTime_t)(void* hndl, OCIError* errhp, OCIDateTime* datetime, ub1* hour, ub1* min, ub1* sec,
                                      ub4* fsec);

/* Interval descriptors. OCIIntervalCheck leaves 0 in valid for a sound
 * interval and a set of error bits otherwise. */
typedef sword (*OCIIntervalToText_t)(void* hndl, OCIError* errhp, const OCIInterval* interval, ub1 lfprec, ub1 fsprec,
                                     oratext* buffer, size_t bufLen, size_t* resultLen);
typedef sword (*OCIIntervalFromText_t)(void* hndl, OCIError* errhp, const oratext* text, size_t textLen,
                                       OCIInterval* result);
typedef sword (*OCIIntervalCheck_t)(void* hndl, OCIError* errhp, const OCIInterval* interval, ub4* valid);

/* LOB and file locators. */
typedef sword (*OCILobLocatorIsInit_t)(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp,
                                       boolean_t* isInitialized);
typedef sword (*OCILobFileGetName_t)(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* filep, oratext* dirAlias,
                                     ub2* dirLen, oratext* fileName, ub2* fileLen);
typedef sword (*OCILobFileSetName_t)(OCIEnv* envhp, OCIError* errhp, OCILobLocator** filepp, const oratext* dirAlias,
                                     ub2 dirLen, const oratext* fileName, ub2 fileLen);
typedef sword (*OCILobCreateTemporary_t)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub2 csid, ub1 csfrm,
                                         ub1 lobtype, boolean_t cache, OCIDuration duration);
typedef sword (*OCILobFreeTemporary_t)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp);
typedef sword (*OCILobTrim_t)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 newLen);
typedef sword (*OCILobWrite_t)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset,
                               void* bufp, ub4 bufLen, ub1 piece, void* ctxp, void* cbfp, ub2 csid, ub1 csfrm);
typedef sword (*OCILobRead_t)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp, ub4 offset, void* bufp,
                              ub4 bufLen, void* ctxp, void* cbfp, ub2 csid, ub1 csfrm);
typedef sword (*OCILobGetLength_t)(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* lenp);

/* Object types, instances and their attributes. Attribute paths are given
 * as name lists; the value of an attribute is handed out by address. */
typedef sword (*OCITypeByName_t)(OCIEnv* envhp, OCIError* errhp, const OCISvcCtx* svchp, const oratext* schema,
                                 ub4 schemaLen, const oratext* typeName, ub4 typeLen, const oratext* version,
                                 ub4 versionLen, OCIDuration pinDuration, int getOption, OCIType** tdo);
typedef sword (*OCIObjectNew_t)(OCIEnv* envhp, OCIError* errhp, const OCISvcCtx* svchp, ub2 typecode, OCIType* tdo,
                                void* table, OCIDuration duration, boolean_t value, void** instance);
typedef sword (*OCIObjectFree_t)(OCIEnv* envhp, OCIError* errhp, void* instance, ub2 flags);
typedef sword (*OCIObjectGetInd_t)(OCIEnv* envhp, OCIError* errhp, void* instance, void** nullStruct);
typedef sword (*OCIObjectGetAttr_t)(OCIEnv* envhp, OCIError* errhp, void* instance, void* nullStruct, OCIType* tdo,
                                    const oratext** names, const ub4* lengths, ub4 nameCount, const ub4* indexes,
                                    ub4 indexCount, OCIInd* attrNullStatus, void** attrNullStruct, void** attrValue,
                                    OCIType** attrTdo);
typedef sword (*OCIObjectSetAttr_t)(OCIEnv* envhp, OCIError* errhp, void* instance, void* nullStruct, OCIType* tdo,
                                    const oratext** names, const ub4* lengths, ub4 nameCount, const ub4* indexes,
                                    ub4 indexCount, OCIInd nullStatus, const void* attrNullStruct,
                                    const void* attrValue);
/* Collections (element indexes from 0). */
typedef sword (*OCICollSize_t)(OCIEnv* envhp, OCIError* errhp, const OCIColl* coll, sb4* size);
typedef sword (*OCICollAppend_t)(OCIEnv* envhp, OCIError* errhp, const void* elem, const void* elemInd, OCIColl* coll);
typedef sword (*OCICollGetElem_t)(OCIEnv* envhp, OCIError* errhp, const OCIColl* coll, sb4 index, boolean_t* exists,
                                  void** elem, void** elemInd);
typedef sword (*OCICollAssignElem_t)(OCIEnv* envhp, OCIError* errhp, sb4 index, const void* elem, const void* elemInd,
                                     OCIColl* coll);
/* Strings of object attributes. */
typedef sword (*OCIStringAssignText_t)(OCIEnv* envhp, OCIError* errhp, const oratext* text, ub4 textLen,
                                       OCIString** lhs);
typedef sword (*OCIStringResize_t)(OCIEnv* envhp, OCIError* errhp, ub4 newSize, OCIString** str);
typedef oratext* (*OCIStringPtr_t)(OCIEnv* envhp, const OCIString* str);
typedef ub4 (*OCIStringSize_t)(OCIEnv* envhp, const OCIString* str);
/* References as hexadecimal text. */
typedef sword (*OCIRefToHex_t)(OCIEnv* envhp, OCIError* errhp, const OCIRef* ref, oratext* hex, ub4* hexLen);
/* The object side of a bind: the instance and indicator structure are
 * passed by the address of their pointers. */
typedef sword (*OCIBindObject_t)(OCIBind* bindp, OCIError* errhp, const OCIType* type, void** pgvpp, ub4* pvszsp,
                                 void** indpp, ub4* indszp);
/* The persistent stream of an XML value (in the additional client
 * library): attached to an instance, read in chunks (len: the room in,
 * the bytes read out; 0 at the end), closed. */
typedef sword (*OCIPStreamFromXMLType_t)(OCIError* errhp, void* pstream, void* xmltype, ub4 mode);
typedef sword (*OCIPStreamRead_t)(OCIError* errhp, void* pstream, void* buf, int64_t* len, ub4 mode);
typedef sword (*OCIPStreamClose_t)(OCIError* errhp, void* pstream);

#ifdef __cplusplus
}
#endif

#endif
