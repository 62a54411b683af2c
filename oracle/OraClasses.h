#pragma once
// The Oracle connection and statement layer over the client interface, in
// both call styles (1: the Oracle 7 call set on data areas, 2: the Oracle 8
// call set on handles): the connection with its transactions, national-
// language settings, server version, mutex, failover and background
// execution; the cursor that owns a statement; the bind parameter with its
// value buffer and indicators; the command that prepares, binds and runs a
// statement; and the conversions of Oracle DATE and ROWID values.
//
// Object, LOB, XML, NUMBER, timestamp and interval values are held by the
// data-type module: it installs its routines in OraObjectHooks(); until
// then those parameter codes are refused with "Data type is not supported".

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "oracle/KaAccess.h"
#include "oracle/MemData.h"
#include "oracle/OraCall.h"
#include "oracle/OraDateTime.h"
#include "oracle/OraError.h"
#include "oracle/OraSync.h"
#include "oracle/OraUtilWnd.h"
#include "oracle/oci_abi.h"

namespace tms::ora {

class TField;
class TOCIChangeSubscription;
class TOCICommand;
class TOCIConnection;
class TOraParamDesc;

// ---------------------------------------------------------------------------
// Property codes

constexpr int32_t prThreadSafety = 51;
constexpr int32_t prMaxStringSize = 58;
constexpr int32_t prNlsDateFormat = 60;
constexpr int32_t prConnectMode = 62;
constexpr int32_t prCharLength = 63;
constexpr int32_t prProp65 = 65;
constexpr int32_t prProp66 = 66;
constexpr int32_t prCharset = 69;
constexpr int32_t prNlsDateLanguage = 70;
constexpr int32_t prNlsTimeStampFormat = 71;
constexpr int32_t prNlsTimeStampTZFormat = 72;
constexpr int32_t prNlsNumericCharacters = 75;
constexpr int32_t prProp76 = 76;
constexpr int32_t prDirectProp77 = 77;
constexpr int32_t prProp84 = 84;
constexpr int32_t prDirectTimeout = 91;
constexpr int32_t prStatementCache = 93;
constexpr int32_t prStatementCacheSize = 94;

constexpr int32_t prScanParams = 11;
constexpr int32_t prSQLType = 12;
constexpr int32_t prRowsProcessed = 13;
constexpr int32_t prDisableParamScan = 32;
constexpr int32_t prNonBlocking = 50;
constexpr int32_t prErrorOffset = 57;
constexpr int32_t prCommandProp59 = 59;
constexpr int32_t prCommandProp64 = 64;
constexpr int32_t prScrollable = 67;
constexpr int32_t prReturnRowid = 68;
constexpr int32_t prCommandProp73 = 73;
constexpr int32_t prCommandProp74 = 74;
constexpr int32_t prCommandProp78 = 78;
constexpr int32_t prCommandProp79 = 79;
constexpr int32_t prTemporaryLobs = 82;

// The direct-mode attribute property 77 switches on (our own number).
constexpr ub4 OCI_ATTR_DIRECT_PROP77 = 10002;

// ---------------------------------------------------------------------------
// Library data-type codes

constexpr uint16_t dtUnknown = 0, dtString = 1, dtInteger = 4, dtFloat = 5, dtDateTime = 8, dtBoolean = 10,
                   dtNumber = 11, dtBlob = 13, dtMemo = 14, dtString2 = 20, dtBytes = 21, dtVarBytes = 22,
                   dtVarBytes2 = 23, dtWideString = 25, dtWideString2 = 26, dtWideMemo = 30, dtRowId = 100,
                   dtCursor = 101, dtOraBlob = 102, dtOraClob = 103, dtBFile = 104, dtCFile = 105, dtLabel = 106,
                   dtFixedChar = 107, dtVarchar2 = 108, dtTimeStamp = 109, dtTimeStampTZ = 110, dtTimeStampLTZ = 111,
                   dtIntervalYM = 112, dtIntervalDS = 113, dtNumberObject = 115, dtXML = 116, dtFixedWideChar = 117;

// Parameter directions.
constexpr uint8_t pdUnknown = 0, pdInput = 1, pdOutput = 2, pdInputOutput = 3, pdResult = 4;

// The external type of a code in a call style; -1 when not supported there.
int32_t OCIExternalType(uint16_t dataType, uint16_t subType, uint8_t callStyle, uint16_t serverVersion);
// True for the codes whose value is an object (no value buffer).
bool IsObjectDataType(uint16_t dataType);
// True for the LONG and LONG RAW codes (memo, wide memo, blob).
bool IsLongDataType(uint16_t dataType);

// ---------------------------------------------------------------------------
// DATE and ROWID

// Seven bytes: century + 100, year of century + 100, month, day, hour + 1,
// minute + 1, second + 1.
TDateTime OraDateToDateTime(const uint8_t* date);
void DateTimeToOraDate(TDateTime value, uint8_t* date);  // milliseconds are dropped

// Extended rowids as 18 base-64 characters (data object, file, block, row);
// restricted ones as "block.row.file" in hexadecimal (8, 4 and 4 digits).
std::string RowidToString(const OCIRowidData& rowid);
// A universal rowid: "*" and the base-64 text of the bytes after the first.
std::string URowidToString(const uint8_t* bytes, size_t length);
// The packed rowid in an Oracle 7 cursor data area.
OCIRowidData CdaRowid(const Cda_Def& cda);

// ---------------------------------------------------------------------------
// Background execution

using TThreadMethod = std::function<void()>;
// Called on the utility window's thread with what the method raised (empty
// when it ended normally).
using TThreadCompletion = std::function<void(std::exception_ptr)>;

class TMethodDesc : public TObject {
    ORA_DECLARE_CLASS(TMethodDesc)
public:
    TThreadMethod RunMethod;
    TThreadCompletion EndMethod;
    TUtilWindow* Window = nullptr;
};

// Runs a method on a thread of its own and hands its end to the utility
// window (WM_USER with the thread as first parameter); then waits until it
// is terminated. Created by RunThread; ended by the window procedure after
// the completion or by StopThread.
class TExecThread {
public:
    // How long StopThread waits for a worker that is still inside the
    // client after the break call before it gives it up.
    static std::atomic<uint32_t> StopWaitMs;

    explicit TExecThread(std::unique_ptr<TMethodDesc> desc);
    ~TExecThread();
    TExecThread(const TExecThread&) = delete;
    TExecThread& operator=(const TExecThread&) = delete;

    // True once the method has ended.
    bool MethodDone();
    // Lets the thread end and joins it.
    void TerminateAndJoin();
    // Gives up a worker still inside its method: it is detached, posts no
    // completion and frees what it holds itself. False when the method had
    // ended already (then nothing changes).
    bool Abandon();
    bool WaitMethodDone(uint32_t timeoutMs);
    std::exception_ptr Error();
    const TMethodDesc& Desc() const { return *state_->Desc; }
    // Worker threads given up and not yet ended (tests wait for them).
    static int AbandonedRunning();
    // Threads made and not yet ended by a completion or StopThread.
    static int Live();

private:
    struct TState {
        std::unique_ptr<TMethodDesc> Desc;
        std::mutex Lock;
        std::condition_variable Changed;
        bool MethodDone = false;
        bool Terminated = false;
        bool Abandoned = false;
        std::exception_ptr Error;
    };
    static void Run(std::shared_ptr<TState> state, TExecThread* self);
    std::shared_ptr<TState> state_;
    std::thread thread_;
};

// The utility window class and the procedure the library registers for it.
constexpr const char* UtilWindowClass = "VantUtilWnd";
intptr_t UtilWndProc(TUtilWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// A change notification comes as WM_USER + 5 with the subscription's
// context as the first parameter and the change object as the second: the
// window procedure hands the change to the procedure the change-notification
// module installs (none: nobody takes it) and then frees it.
using TChangeNotifyProc = void (*)(uintptr_t context, TObject* change);
extern std::atomic<TChangeNotifyProc> ChangeNotifyProc;
// Frees the change object of a WM_USER + 5 left queued when the window goes.
void UtilWndDiscard(uint32_t message, uintptr_t wParam, intptr_t lParam);

// ---------------------------------------------------------------------------
// Connection

class TOCIConnection : public TKaConnection {
    ORA_DECLARE_CLASS(TOCIConnection)
public:
    // (failover event, failover type, retry flag)
    using TFailoverHandler = std::function<void(uint32_t event, uint32_t type, bool& retry)>;

    // The process-wide copy of the last ThreadSafety set on any connection.
    static std::atomic<bool> ProcessThreadSafety;

    TOCIConnection();
    ~TOCIConnection() override;

    void Connect(const std::string& connectString) override;
    void Disconnect() override;
    void StartTransaction() override;
    void Commit() override;
    void Rollback() override;
    bool CheckIsValid() override;
    void ReturnToPool() override;
    bool SetProp(int32_t prop, const TVariant& value) override;
    bool GetProp(int32_t prop, TVariant& value) override;

    // The connection mutex, only with ThreadSafety.
    void Lock();
    void Unlock();
    // Raises for a non-zero status in the call style in use; with
    // handleError the connection's error handling runs first.
    void Check(sword status, bool handleError = false);
    void CheckStyle(uint8_t style, sword status, OCIError* errorHandle, bool handleError = false);
    // Raises the error of a code and message already read.
    [[noreturn]] void RaiseOraError(int32_t code, const std::string& message, bool handleError);
    int32_t LastErrorCode() const { return lastErrorCode_; }
    void SetLastErrorCode(int32_t code) { lastErrorCode_ = code; }

    uint16_t GetServerVersion();
    const std::string& ServerVersionText() const { return serverVersionText_; }
    uint16_t GetMaxStringSize();
    Lda_Def* GetLDA();
    OCISvcCtx* GetSvcCtx();
    OCIServer* ServerHandle() const { return hServer_; }
    OCISession* SessionHandle() const { return hSession_; }
    OCIError* ErrorHandle() const { return hError_ ? hError_ : hOCIError; }
    OCIEnv* EnvHandle() const { return hOCIEnv; }

    // Runs a method on a worker thread; its completion comes back through
    // the utility window on the thread that first ran something here.
    TExecThread* RunThread(TThreadMethod method, TThreadCompletion completion);
    // Ends a worker: a finished one is joined; one still inside the client
    // gets the break call and, when it does not return in time, is given up
    // (it posts no completion). Clears the reference; with removeMessage a
    // pending completion is taken off the queue.
    void StopThread(TExecThread*& thread, bool removeMessage);
    TUtilWindow* UtilWindow() const { return utilWindow_.get(); }
    // The break call on the connection (a worker inside the client returns).
    void Break();

    void SetCallStyle(uint8_t style);  // a change disconnects first
    uint8_t RequestedCallStyle() const { return requestedCallStyle_; }
    uint8_t CallStyleInUse() const { return callStyle_; }
    void SetPoolingKind(uint8_t kind);  // only while disconnected
    uint8_t PoolingKind() const { return poolingKind_; }
    // The pooled connection a proxy connection stands on.
    void SetPooledConnection(TOCIConnection* pooled) { pooled_ = pooled; }
    TOCIConnection* PooledConnection() const { return pooled_; }

    TFailoverHandler FailoverHandler;
    // The failover callback's work: returns OCI_FO_RETRY when the handler
    // asked to retry, else 0.
    sb4 Failover(ub4 type, ub4 event);

    bool ThreadSafety() const { return threadSafety_; }
    bool InTransaction() const { return inTransaction_; }
    bool StatementCache() const { return statementCache_; }
    int32_t StatementCacheSize() const { return statementCacheSize_; }
    uint16_t CharsetId() const { return charsetId_; }
    uint16_t CharLength() const { return charLength_; }
    uint8_t ConnectMode() const { return connectMode_; }
    // The national-language records, in their order.
    struct TNlsRecord {
        const char* Name;
        int32_t Prop;
        std::string Value;
        bool Set = false;
    };
    const TNlsRecord& NlsRecord(int index) const { return nls_[static_cast<size_t>(index)]; }
    static constexpr int NlsCount = 5;
    // The internal command (made on first need).
    TOCICommand* InternalCommand();

private:
    void ConnectOCI7();
    void ConnectOCI8(const std::string& connectString);
    void FreeHandles();
    sword EndSession();
    void SetNlsSession(int index);
    void RunNlsQuery();
    void ApplyStatementCacheSize();
    int NlsIndexOfProp(int32_t prop) const;

    bool threadSafety_ = true;
    uint16_t maxStringSize_ = 0;
    uint8_t requestedCallStyle_ = csNone;
    uint8_t callStyle_ = csNone;
    uint8_t connectMode_ = 0;
    bool prop65_ = true, prop76_ = false;
    std::string prop66_;
    std::unique_ptr<TOCICommand> command_;
    uint16_t serverVersion_ = 0;
    std::string serverVersionText_;
    TOCIConnection* pooled_ = nullptr;
    bool prop84_ = false;
    uint32_t directTimeout_ = 0;
    bool prop77_ = false;
    bool statementCache_ = false;
    int32_t statementCacheSize_ = 0;
    std::string charset_;
    uint16_t charsetId_ = 0;
    uint16_t charLength_ = 1;
    bool askCharLength_ = false;
    TNlsRecord nls_[NlsCount];
    std::unique_ptr<Lda_Def> lda_;
    std::unique_ptr<uint8_t[]> hda_;
    std::unique_ptr<Lda_Def> derivedLda_;  // GetLDA in the Oracle 8 style
    OCISvcCtx* hSvcCtx_ = nullptr;
    OCIServer* hServer_ = nullptr;
    OCISession* hSession_ = nullptr;
    OCIError* hError_ = nullptr;
    uint8_t poolingKind_ = 0;
    bool serverAttached_ = false, sessionBegun_ = false;
    std::string serverBanner_;
    TMutex mutex_;
    std::unique_ptr<TUtilWindow> utilWindow_;
    bool inTransaction_ = false;
    int32_t lastErrorCode_ = 0;
    OCIFocbkStruct failoverCallback_{};
};

// The connection mutex for the length of a scope, taken only when the
// connection serialises its calls (and released only when it was taken).
// Without a connection nothing is taken.
class TConnectionLock {
public:
    explicit TConnectionLock(TOCIConnection* c) : c_(c), locked_(c && c->ThreadSafety()) {
        if (locked_) c_->Lock();
    }
    ~TConnectionLock() {
        if (locked_) c_->Unlock();
    }
    TConnectionLock(const TConnectionLock&) = delete;
    TConnectionLock& operator=(const TConnectionLock&) = delete;

private:
    TOCIConnection* c_;
    bool locked_;
};

// ---------------------------------------------------------------------------
// Cursor

class TOraCursor : public TSharedObject {
    ORA_DECLARE_CLASS(TOraCursor)
public:
    TOraCursor();

    void AllocCursor(bool fromCache = false);
    void FreeCursor();
    void SetHandle(OCIStmt* handle);
    void SetPrefetchRows(uint32_t rows);
    Cda_Def* GetCDA();
    OCIStmt* GetHandle();
    OCIStmt** HandleAddress();
    bool HasHandle() const { return *handleCell_ != nullptr; }
    void SetCallStyle(uint8_t style);
    uint8_t CallStyle() const { return callStyle_; }
    void SetHandles(OCIEnv* env, OCIError* error) {
        envHandle_ = env;
        errorHandle_ = error;
    }

    std::atomic<uint8_t> State{0};
    bool Scrollable = false;
    bool FromCache() const { return fromCache_; }

protected:
    ~TOraCursor() override;

private:
    std::unique_ptr<Cda_Def> cda_;
    OCIStmt** handleCell_;
    OCIError* errorHandle_ = nullptr;
    OCIEnv* envHandle_ = nullptr;
    uint8_t callStyle_ = csNone;
    bool fromCache_ = false;
};

// ---------------------------------------------------------------------------
// Parameters

class TOraParamDesc : public TParamDesc {
    ORA_DECLARE_CLASS(TOraParamDesc)
public:
    TOraParamDesc();
    ~TOraParamDesc() override;

    void SetDataType(uint16_t value) override;
    void SetSize(int32_t value) override;
    TVariant GetValue() const override;
    void SetValue(const TVariant& value) override;
    TObject* GetObject() const override;
    void SetObject(TObject* object) override;
    bool GetNull() const override;
    void SetNull(bool value) override;

    int32_t Length() const { return length_; }
    void SetLength(int32_t value);
    uint16_t SubType() const { return subType_; }
    void SetSubType(uint16_t value) { subType_ = value; }
    bool UTF8 = false;

    TDateTime GetItemAsDateTime(int32_t index) const;
    void SetItemAsDateTime(int32_t index, TDateTime value);
    double GetItemAsFloat(int32_t index) const;
    void SetItemAsFloat(int32_t index, double value);
    int32_t GetItemAsInteger(int32_t index) const;
    void SetItemAsInteger(int32_t index, int32_t value);
    bool GetItemAsBoolean(int32_t index) const;
    void SetItemAsBoolean(int32_t index, bool value);
    // A NUMBER (code 11) from a 64-bit value: the element's own number in
    // an array, a new one otherwise (defined with the NUMBER value).
    void SetItemAsLargeInt(int32_t index, int64_t value);
    std::string GetItemAsAnsiString(int32_t index) const;
    void SetItemAsAnsiString(int32_t index, const std::string& value);
    std::u16string GetItemAsWideString(int32_t index) const;
    void SetItemAsWideString(int32_t index, const std::u16string& value);
    TObject* GetItemObject(int32_t index) const;
    void SetItemObject(int32_t index, TObject* object);
    TVariant GetItemAsVariant(int32_t index) const;
    void SetItemAsVariant(int32_t index, const TVariant& value);
    bool GetItemNull(int32_t index) const;
    void SetItemNull(int32_t index, bool value);

    // The value buffer, its element and the indicators the binds point at.
    uint8_t* ValueBuffer() const { return buffer_.get(); }
    uint8_t* Element(int32_t index) const;
    sb2* Indicators() const { return indicators_; }
    ub4* LengthCell() { return &lengthCell_; }
    int32_t MaxStrLength() const { return maxStrLength_; }
    bool QuotedName = false;
    OCIBind* BindHandle = nullptr;
    int32_t BoundSize = 0;
    void ClearBindData() {
        BindHandle = nullptr;
        BoundSize = 0;
    }
    // Before binding: the indicators of object codes follow their objects,
    // a scalar code without a buffer is null.
    void SyncIndicator();

    // The piece cursor of a LONG value sent or received in pieces.
    PPieceHeader NextPiece = nullptr;
    PPieceHeader OpenOutPiece = nullptr;
    // Input and output pieces started (an input/output value is sent
    // before the answer replaces it).
    bool PiecesStarted = false, OutPiecesStarted = false;

private:
    void AllocBuffer();
    void FreeBuffer();
    void CheckIndex(int32_t index) const;
    void CheckElementIndex(int32_t index) const;
    template <class T>
    T GetItemScalar(int32_t index, uint16_t dataType) const;
    template <class T>
    void SetItemScalar(int32_t index, uint16_t dataType, T value);

    std::unique_ptr<uint8_t[]> buffer_;
    ub4 lengthCell_ = 0;
    sb2 defaultIndicator_ = -1;
    sb2* indicators_ = &defaultIndicator_;
    std::unique_ptr<sb2[]> indicatorArray_;
    int32_t length_ = 1;
    int32_t maxStrLength_ = 0;
    uint16_t subType_ = 0;
};

// The routines the data-type module installs for the object codes (NUMBER,
// LOB, file, object, reference, array, table, TIMESTAMP, INTERVAL, XML).
// Until it does, those codes are not supported.
struct TOraObjectHooks {
    // Binds an object parameter (value pointer, size, extra calls).
    std::function<void(TOCICommand& command, TOraParamDesc& param)> BindObject;
    // The parameter's object reports itself null.
    std::function<bool(TObject* object)> ObjectIsNull;
    // Sets an object element from a Variant of another kind (text, number).
    std::function<void(TOraParamDesc& param, int32_t index, const TVariant& value)> SetObjectValue;
    // Writes the temporary LOB of a LOB parameter before execution.
    std::function<void(TOCICommand& command, TOraParamDesc& param)> WriteTemporaryLob;
};
TOraObjectHooks& OraObjectHooks();

// ---------------------------------------------------------------------------
// Command

class TOCICommand : public TKaCommand {
    ORA_DECLARE_CLASS(TOCICommand)
public:
    // The size of each piece a LONG output value is received in.
    static std::atomic<int32_t> LongPieceSize;

    TOCICommand();
    ~TOCICommand() override;

    void Prepare() override;
    void Unprepare() override;
    bool GetPrepared() override { return GetCursorState() >= 3; }
    void Execute() override;
    void SetConnection(TKaConnection* connection) override;
    void SetSQL(const std::string& sql) override;
    int32_t GetCursorState() override;
    void SetCursorState(int32_t state) override;
    std::unique_ptr<TParamDesc> CreateParamDesc() override { return std::make_unique<TOraParamDesc>(); }
    bool SetProp(int32_t prop, const TVariant& value) override;
    bool GetProp(int32_t prop, TVariant& value) override;

    // Finds the parameters in the SQL text (the list is made anew).
    void ParseSQL();
    TOraParamDesc* Param(int32_t index) { return static_cast<TOraParamDesc*>(Params().Items(index)); }
    TOraParamDesc* FindParam(const std::string& name);
    TOraCursor* Cursor() const { return cursor_; }
    TOraCursor* CursorRef() const { return cursorRef_; }
    // Hands a cursor over (a REF CURSOR's): statement operations use it.
    void SetCursorRef(TOraCursor* cursor);
    TOCIConnection* OCIConnection() const { return connection_; }

    int32_t Iters = 1;
    uint16_t SQLType() const { return sqlType_; }
    int32_t RowsProcessed() const { return rowsProcessed_; }
    // The last execution's status when it was left to the caller (3123
    // while a non-blocking server call would block), else 0.
    int32_t PendingStatus() const { return pendingStatus_; }
    const std::string& RowId() const { return rowId_; }
    bool NonBlocking() const { return nonBlocking_; }
    bool Executing() { return worker_.load() != nullptr; }
    void SetUnprepareAfterExecute(bool value) { unprepareAfter_ = value; }
    // The change-notification subscription Prepare attaches (none by
    // default; the command does not own it).
    TOCIChangeSubscription* ChangeSubscription() const { return changeSubscription_; }
    void SetChangeSubscription(TOCIChangeSubscription* value) { changeSubscription_ = value; }

    // The statement text for the server: line ends made line feeds outside
    // literals and comments, a wrapped body left as it stands; removedAt
    // gets the server-text position of each removed carriage return.
    static std::string ServerText(const std::string& sql, std::vector<int32_t>* removedAt = nullptr);
    // A server-text offset mapped back onto the text as written.
    static int32_t CallerOffset(const std::vector<int32_t>& removedAt, int32_t offset);

    // A LONG or LONG RAW column (its position in the select list, from 1)
    // fetched in pieces into a blob that each fetched row puts in the
    // field's record cell (none for a null value). Defined at the first
    // Fetch after an execution.
    void DefineLongField(int32_t position, TField* field);
    // Fetches the next row of an executed query; false at the end.
    bool Fetch();

    // Callbacks of dynamic binds (the context is the command).
    static sb4 InBindCallback(void* ictxp, OCIBind* bindp, ub4 iter, ub4 index, void** bufpp, ub4* alenp, ub1* piecep,
                              void** indpp);
    static sb4 OutBindCallback(void* octxp, OCIBind* bindp, ub4 iter, ub4 index, void** bufpp, ub4** alenpp,
                               ub1* piecep, void** indpp, ub2** rcodepp);
    // The callback of a dynamic define: the place of the next piece of a
    // LONG column's value.
    static sb4 DefineCallback(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp, ub4** alenpp, ub1* piecep,
                              void** indpp, ub2** rcodepp);

private:
    struct TLongDefine {
        int32_t Position;
        TField* Field;
        OCIDefine* Handle = nullptr;
        ub4 Length = 0;
        sb2 Indicator = -1;
        PPieceHeader OpenPiece = nullptr;
        TBlob* Blob = nullptr;  // the row's blob while its pieces come
    };
    TLongDefine* DefineByHandle(OCIDefine* handle);
    // A new piece of a LONG column's value; closes the one before.
    void* NewDefinePiece(TLongDefine& define, ub4*& length);
    void CloseDefinePieces();
    void CheckSession();
    void Check(sword status);
    void DoExecute();
    void EndExecution(std::exception_ptr error);
    void BindParam(TOraParamDesc& param);
    void BindParamOCI7(TOraParamDesc& param);
    void RunStatement();
    void RunOCI7();
    void RunOCI8();
    void ReadRowId();
    TOraParamDesc* ParamByBind(OCIBind* bind);
    // The next input piece of a LONG parameter: data, length and kind.
    void NextInPiece(TOraParamDesc* param, void*& data, ub4& length, ub1& piece);
    // A new output piece of a LONG parameter; closes the one before.
    void* NewOutPiece(TOraParamDesc* param, ub4*& length);
    void CloseOutPieces();
    TBlob* LongBlob(TOraParamDesc& param);
    void PieceLoopOCI8(sword& status);

    TOraCursor* cursor_;
    TOraCursor* cursorRef_;
    uint8_t callStyle_ = csNone;
    bool scanParams_ = true;
    bool nonBlocking_ = false;
    uint16_t sqlType_ = 0;
    int32_t rowsProcessed_ = 0;
    int32_t batchRows_ = 0;
    uint16_t errorOffset_ = 0;
    bool prop59_ = false, prop64_ = true, returnRowid_ = false, prop73_ = false, prop74_ = false;
    std::string rowId_;
    int16_t prop78_ = 9;
    int32_t between78and79_ = 0;
    int16_t prop79_ = 15;
    bool unprepareAfter_ = false;
    TOCICommand* context_ = this;
    bool prop32_ = false, temporaryLobs_ = false, useStatementCache_ = false;
    TOCIChangeSubscription* changeSubscription_ = nullptr;
    OCIError* hError_ = nullptr;
    TMutex mutex_;
    std::atomic<TExecThread*> worker_{nullptr};
    TEvent event_{true, true};
    TOCIConnection* connection_ = nullptr;
    std::vector<int32_t> removedAt_;
    int32_t pendingStatus_ = 0;
    std::vector<TLongDefine> longDefines_;
    bool defined_ = false;
};

// The routines of this module that the command and the data-type module
// call through process-wide references: set at start-up, cleared at
// shutdown.
struct TOraClassesRoutines {
    TDateTime (*DateToDateTime)(const uint8_t* date) = nullptr;
    void (*DateTimeToDate)(TDateTime value, uint8_t* date) = nullptr;
    std::string (*RowidText)(const OCIRowidData& rowid) = nullptr;
    std::string (*URowidText)(const uint8_t* bytes, size_t length) = nullptr;
    OCIRowidData (*CdaRowidOf)(const Cda_Def& cda) = nullptr;
};
extern TOraClassesRoutines OraClassesRoutines;

// The marshalling buffer the Oracle 7 error texts are read into
// (ErrorBufferSize bytes, shared under a lock): made at start-up, freed at
// shutdown; nullptr outside.
const void* OCI7ErrorBuffer();

// The text a client from 9.0 writes a ROWID descriptor's text into
// (RowidTextLength characters, shared under the same lock): made at
// start-up, freed at shutdown; RowidTextSize() is 0 outside.
constexpr ub2 RowidTextLength = 4000;
size_t RowidTextSize();
// OCIRowidToChar into that text; the status is the client's, the text the
// result on success.
sword RowidDescriptorText(OCIRowid* rowid, OCIError* errorHandle, std::string& text);

// Start-up sets the routines above, the process-wide thread-safety flag to
// its initial value, the buffer and the text; shutdown frees the buffer and
// the text and clears the routines.
void OraClassesStartup();
void OraClassesShutdown();

}  // namespace tms::ora
