#include "oracle/OraClasses.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <set>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/OraConsts.h"
#include "oracle/OraNet.h"
#include "oracle/OraText.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TMethodDesc, TObject, nullptr)
ORA_DEFINE_CLASS(TOCIConnection, TKaConnection, nullptr)

namespace {
const char* const kModule = "OraClasses";
const char* const kRowidDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The client calls the failover callback with the connection as context.
sb4 FailoverCallback(void*, void*, void* context, ub4 type, ub4 event) {
    // No exception may cross the client's frames.
    try {
        ORA_ASSERT(context != nullptr, kModule, "fo_ctx <> nil");
        return static_cast<TOCIConnection*>(context)->Failover(type, event);
    } catch (...) {
        return 0;
    }
}

// The version text of a server banner: from one character before the first
// "." (two when the character two before it is a digit) up to the next
// blank. A banner without a "." before which a digit could stand gives no
// text, so the version stays 0.
std::string VersionOfBanner(const std::string& banner) {
    size_t dot = banner.find('.');
    if (dot == std::string::npos || dot == 0) return {};
    size_t start = dot - 1;
    if (dot >= 2 && std::isdigit(static_cast<unsigned char>(banner[dot - 2]))) start = dot - 2;
    size_t end = banner.find(' ', start);
    return banner.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string Base64Digits(uint32_t value, int digits) {
    std::string out(static_cast<size_t>(digits), 'A');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = kRowidDigits[value & 63];
        value >>= 6;
    }
    return out;
}

std::mutex gLiveThreadsLock;
std::set<const TExecThread*>& LiveThreads() {
    static std::set<const TExecThread*> live;
    return live;
}
bool IsLiveThread(const TExecThread* t) {
    std::lock_guard<std::mutex> g(gLiveThreadsLock);
    return LiveThreads().count(t) != 0;
}
std::atomic<int> gAbandonedRunning{0};

// The Oracle 7 error texts' marshalling buffer and the text a ROWID is
// written into (OraClassesStartup), under one lock.
std::mutex gErrorBufferLock;
char* gErrorBuffer = nullptr;
std::string gRowidText;
}  // namespace

// ---------------------------------------------------------------------------
// DATE and ROWID

TDateTime OraDateToDateTime(const uint8_t* d) {
    int year = (d[0] - 100) * 100 + d[1] - 100;
    // Bytes that name no date or time (month 0, hour byte 25) come from a
    // damaged value; they are refused as a conversion failure.
    TDateTime date, time;
    if (!TryEncodeDate(year < 0 ? -year : year, d[2], d[3], date) ||
        !TryEncodeTime(d[4] - 1, d[5] - 1, d[6] - 1, 0, time))
        throw EConvertError(SCannotConvertType);
    return ComposeDateTime(date, time);
}

void DateTimeToOraDate(TDateTime value, uint8_t* d) {
    int year, month, day, hour, min, sec, msec;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, min, sec, msec);
    d[0] = static_cast<uint8_t>(year / 100 + 100);
    d[1] = static_cast<uint8_t>(year % 100 + 100);
    d[2] = static_cast<uint8_t>(month);
    d[3] = static_cast<uint8_t>(day);
    d[4] = static_cast<uint8_t>(hour + 1);
    d[5] = static_cast<uint8_t>(min + 1);
    d[6] = static_cast<uint8_t>(sec + 1);
}

std::string RowidToString(const OCIRowidData& r) {
    if (r.kind == 0) return IntToHex(r.block, 8) + "." + IntToHex(r.row, 4) + "." + IntToHex(r.file, 4);
    return Base64Digits(r.objnum, 6) + Base64Digits(r.file, 3) + Base64Digits(r.block, 6) + Base64Digits(r.row, 3);
}

std::string URowidToString(const uint8_t* bytes, size_t length) {
    std::string out = "*";
    size_t i = 1;
    for (; i + 3 <= length; i += 3) {
        uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out += Base64Digits(v, 4);
    }
    if (i + 1 == length) {
        out += Base64Digits(uint32_t(bytes[i]) >> 2, 1) + Base64Digits((uint32_t(bytes[i]) & 3) << 4, 1);
    } else if (i + 2 == length) {
        uint32_t v = (uint32_t(bytes[i]) << 8) | bytes[i + 1];
        out += Base64Digits(v >> 10, 1) + Base64Digits((v >> 4) & 63, 1) + Base64Digits((v & 15) << 2, 1);
    }
    return out;
}

OCIRowidData CdaRowid(const Cda_Def& cda) {
    OCIRowidData r{};
    const ub1* p = cda.bytes + CDA_ROWID;
    r.kind = p[0];
    std::memcpy(&r.objnum, p + 1, 4);
    std::memcpy(&r.file, p + 5, 2);
    std::memcpy(&r.block, p + 7, 4);
    std::memcpy(&r.row, p + 11, 2);
    return r;
}

// ---------------------------------------------------------------------------
// Background execution

std::atomic<uint32_t> TExecThread::StopWaitMs{2000};

TExecThread::TExecThread(std::unique_ptr<TMethodDesc> desc) : state_(std::make_shared<TState>()) {
    state_->Desc = std::move(desc);
    {
        std::lock_guard<std::mutex> g(gLiveThreadsLock);
        LiveThreads().insert(this);
    }
    thread_ = std::thread(Run, state_, this);
}

TExecThread::~TExecThread() {
    {
        std::lock_guard<std::mutex> g(gLiveThreadsLock);
        LiveThreads().erase(this);
    }
    if (thread_.joinable()) TerminateAndJoin();
}

void TExecThread::Run(std::shared_ptr<TState> state, TExecThread* self) {
    std::exception_ptr error;
    try {
        if (state->Desc->RunMethod) state->Desc->RunMethod();
    } catch (...) {
        error = std::current_exception();
    }
    std::unique_lock<std::mutex> l(state->Lock);
    state->Error = error;
    state->MethodDone = true;
    state->Changed.notify_all();
    if (state->Abandoned) {
        // Given up by StopThread: nobody waits for this end.
        --gAbandonedRunning;
        return;
    }
    if (state->Desc->Window) state->Desc->Window->Post(WM_USER, reinterpret_cast<uintptr_t>(self), 0);
    state->Changed.wait(l, [&] { return state->Terminated; });
}

bool TExecThread::MethodDone() {
    std::lock_guard<std::mutex> g(state_->Lock);
    return state_->MethodDone;
}

bool TExecThread::WaitMethodDone(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> l(state_->Lock);
    return state_->Changed.wait_for(l, std::chrono::milliseconds(timeoutMs), [&] { return state_->MethodDone; });
}

std::exception_ptr TExecThread::Error() {
    std::lock_guard<std::mutex> g(state_->Lock);
    return state_->Error;
}

void TExecThread::TerminateAndJoin() {
    {
        std::lock_guard<std::mutex> g(state_->Lock);
        state_->Terminated = true;
    }
    state_->Changed.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool TExecThread::Abandon() {
    {
        std::lock_guard<std::mutex> g(state_->Lock);
        if (state_->MethodDone) return false;
        state_->Abandoned = true;
        ++gAbandonedRunning;
    }
    thread_.detach();
    return true;
}

int TExecThread::AbandonedRunning() { return gAbandonedRunning.load(); }

int TExecThread::Live() {
    std::lock_guard<std::mutex> g(gLiveThreadsLock);
    return static_cast<int>(LiveThreads().size());
}

std::atomic<TChangeNotifyProc> ChangeNotifyProc{nullptr};

void UtilWndDiscard(uint32_t message, uintptr_t, intptr_t lParam) {
    if (message == WM_USER + 5) delete reinterpret_cast<TObject*>(lParam);
}

intptr_t UtilWndProc(TUtilWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_CREATE: return 0;
    case WM_USER: {
        auto* thread = reinterpret_cast<TExecThread*>(wParam);
        // A completion of a thread StopThread has ended already is dropped.
        if (!IsLiveThread(thread)) return 0;
        std::exception_ptr completionError;
        try {
            if (thread->Desc().EndMethod) thread->Desc().EndMethod(thread->Error());
        } catch (...) {
            completionError = std::current_exception();
        }
        std::exception_ptr stored = thread->Error();
        // The worker ends before anything is raised here.
        thread->TerminateAndJoin();
        delete thread;
        if (completionError) std::rethrow_exception(completionError);
        if (stored) {
            try {
                std::rethrow_exception(stored);
            } catch (const EOraError& e) {
                throw EOraError(e.ErrorCode, e.Component, e.Message());
            } catch (const Exception& e) {
                throw Exception(e.Message());
            } catch (const std::exception& e) {
                throw Exception(e.what());
            }
        }
        return 0;
    }
    case WM_USER + 4: {
        auto* connection = reinterpret_cast<TOCIConnection*>(wParam);
        if (connection && connection->FailoverHandler) {
            bool retry = false;
            connection->FailoverHandler(static_cast<uint32_t>(lParam >> 16), static_cast<uint32_t>(lParam & 0xFFFF),
                                        retry);
        }
        return 0;
    }
    case WM_USER + 5: {
        std::unique_ptr<TObject> change(reinterpret_cast<TObject*>(lParam));
        if (TChangeNotifyProc proc = ChangeNotifyProc.load()) proc(wParam, change.get());
        return 0;
    }
    default: return DefWindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------
// Connection

std::atomic<bool> TOCIConnection::ProcessThreadSafety{true};

TOCIConnection::TOCIConnection() {
    SetProp(prAutoCommit, TVariant(true));
    nls_[0] = {"NLS_DATE_LANGUAGE", prNlsDateLanguage, {}, false};
    nls_[1] = {"NLS_DATE_FORMAT", prNlsDateFormat, {}, false};
    nls_[2] = {"NLS_NUMERIC_CHARACTERS", prNlsNumericCharacters, {}, false};
    nls_[3] = {"NLS_TIMESTAMP_FORMAT", prNlsTimeStampFormat, {}, false};
    nls_[4] = {"NLS_TIMESTAMP_TZ_FORMAT", prNlsTimeStampTZFormat, {}, false};
}

TOCIConnection::~TOCIConnection() {
    try {
        Disconnect();
    } catch (...) {}
    command_.reset();
    utilWindow_.reset();
}

TOCICommand* TOCIConnection::InternalCommand() {
    if (!command_) {
        command_ = std::make_unique<TOCICommand>();
        command_->SetConnection(this);
        command_->SetProp(prAutoCommit, TVariant(false));
    }
    return command_.get();
}

void TOCIConnection::Lock() {
    if (!threadSafety_) return;
    if (mutex_.WaitFor(INFINITE) == TWaitResult::Timeout) throw EOraError(-3127, Component(), "ORA-03127a");
}

void TOCIConnection::Unlock() {
    if (threadSafety_) mutex_.Release();
}

void TOCIConnection::Check(sword status, bool handleError) {
    CheckStyle(callStyle_, status, ErrorHandle(), handleError);
}

void TOCIConnection::CheckStyle(uint8_t style, sword status, OCIError* errorHandle, bool handleError) {
    if (status == OCI_SUCCESS) return;
    std::string message;
    int32_t code;
    if (style == csOCI7) {
        if (status == -9) status = -1;
        code = status < 0 ? -status : status;
        std::lock_guard<std::mutex> g(gErrorBufferLock);
        if (lda_ && gErrorBuffer) {
            std::memset(gErrorBuffer, 0, ErrorBufferSize);
            oerhms(lda_.get(), static_cast<sb2>(code), reinterpret_cast<oratext*>(gErrorBuffer), ErrorBufferSize - 1);
            message = gErrorBuffer;
        }
    } else {
        code = GetOraError(status, message, errorHandle);
        lastErrorCode_ = code;
        if (status == OCI_SUCCESS_WITH_INFO && code != 24344) return;
    }
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
    RaiseOraError(code, message, handleError);
}

void TOCIConnection::RaiseOraError(int32_t code, const std::string& message, bool handleError) {
    EOraError error(code, Component(), message);
    if (handleError) {
        bool fail = true;
        HandleConnectionError(error, fail);
        if (!fail) throw EAbort();
    }
    throw error;
}

void TOCIConnection::Connect(const std::string& connectString) {
    if (GetConnected()) return;
    serverVersion_ = 0;
    serverVersionText_.clear();
    if (!OCIInitialized.load()) InitOCI();
    uint8_t style = CallStyle;
    if (requestedCallStyle_ != csNone && HasStyle(AvailableCallStyles, requestedCallStyle_))
        style = requestedCallStyle_;
    if (pooled_ && style != csOCI8) RaiseError(SNeedOCI8);
    callStyle_ = style;
    if (style == csOCI7)
        ConnectOCI7();
    else if (style == csOCI8)
        ConnectOCI8(connectString);
    else
        RaiseError(SOCINotInitialized);
    SetConnected(true);
    ApplyStatementCacheSize();
    if (!pooled_ && poolingKind_ == 0 && style == csOCI8 && HasStyle(AvailableCallStyles, csOCI8) &&
        GetServerVersion() >= 8000) {
        failoverCallback_ = {FailoverCallback, this};
        Check(OCIAttrSet(hServer_, OCI_HTYPE_SERVER, &failoverCallback_, 0, OCI_ATTR_FOCBK, ErrorHandle()));
    }
    for (int i = 0; i < NlsCount; ++i)
        if (nls_[i].Set) SetNlsSession(i);
    if (!charset_.empty() || askCharLength_) RunNlsQuery();
}

void TOCIConnection::ConnectOCI7() {
    if (!lda_) lda_ = std::make_unique<Lda_Def>();
    if (!hda_) hda_ = std::make_unique<uint8_t[]>(OCI7_HDA_SIZE);
    std::memset(lda_->bytes, 0, sizeof lda_->bytes);
    std::memset(hda_.get(), 0, OCI7_HDA_SIZE);
    sword status = olog(lda_.get(), hda_.get(), reinterpret_cast<const oratext*>(Username().c_str()), -1,
                        reinterpret_cast<const oratext*>(Password().c_str()), -1,
                        reinterpret_cast<const oratext*>(Server().c_str()), -1, 0);
    if (status != 0) {
        try {
            CheckStyle(csOCI7, status, nullptr);
        } catch (...) {
            lda_.reset();
            hda_.reset();
            throw;
        }
    }
    // InitOCI put a threaded client into threaded mode already.
    static std::atomic<bool> threaded{false};
    if (threadSafety_ && !ThreadedMode && !threaded.exchange(true)) opinit(OCI_THREADED);
}

void TOCIConnection::ConnectOCI8(const std::string& connectString) {
    OCIError* err = ErrorHandle();
    auto alloc = [&](ub4 type) {
        void* h = nullptr;
        Check(OCIHandleAlloc(hOCIEnv, &h, type, 0, nullptr));
        return h;
    };
    try {
        switch (poolingKind_) {
        case 0: {
            hSvcCtx_ = static_cast<OCISvcCtx*>(alloc(OCI_HTYPE_SVCCTX));
            hServer_ = static_cast<OCIServer*>(alloc(OCI_HTYPE_SERVER));
            hSession_ = static_cast<OCISession*>(alloc(OCI_HTYPE_SESSION));
            std::string server = Server();
            if (server.empty() && pooled_) server = pooled_->Server();
            sword status = OCIServerAttach(hServer_, err, reinterpret_cast<const oratext*>(server.c_str()),
                                           static_cast<sb4>(server.size()), OCI_DEFAULT);
            if (status != OCI_SUCCESS) {
                // nothing attached: only the handles go
                Check(status);
            }
            serverAttached_ = true;
            Check(OCIAttrSet(hSvcCtx_, OCI_HTYPE_SVCCTX, hServer_, 0, OCI_ATTR_SERVER, err));
            std::string user = Username(), password = Password();
            if (!user.empty())
                Check(OCIAttrSet(hSession_, OCI_HTYPE_SESSION, user.data(), static_cast<ub4>(user.size()),
                                 OCI_ATTR_USERNAME, err));
            if (!password.empty())
                Check(OCIAttrSet(hSession_, OCI_HTYPE_SESSION, password.data(), static_cast<ub4>(password.size()),
                                 OCI_ATTR_PASSWORD, err));
            if (pooled_)
                Check(OCIAttrSet(hSession_, OCI_HTYPE_SESSION, pooled_->SessionHandle(), 0, OCI_ATTR_PROXY_CREDENTIALS,
                                 err));
            ub4 mode = connectMode_ == 1 ? ub4(OCI_SYSOPER) : connectMode_ == 2 ? ub4(OCI_SYSDBA) : ub4(OCI_DEFAULT);
            if (statementCache_ && HasStyle(AvailableCallStyles, csOCI8) && ClientVersion > 9200)
                mode += OCI_STMT_CACHE;
            Check(OCISessionBegin(hSvcCtx_, err, hSession_, user.empty() ? OCI_CRED_EXT : OCI_CRED_RDBMS, mode));
            sessionBegun_ = true;
            if (IsDirectOnly(AvailableCallStyles)) {
                ub4 timeout = directTimeout_;
                Check(OCIAttrSet(hServer_, OCI_HTYPE_SERVER, &timeout, 0, OCI_ATTR_DIRECT_TIMEOUT, err));
                if (prop77_) {
                    ub4 on = 1;
                    Check(OCIAttrSet(hServer_, OCI_HTYPE_SERVER, &on, 0, OCI_ATTR_DIRECT_PROP77, err));
                }
            }
            Check(OCIAttrSet(hSvcCtx_, OCI_HTYPE_SVCCTX, hSession_, 0, OCI_ATTR_SESSION, err));
            break;
        }
        case 1: {
            // The session comes from the client's session pool named by
            // the connect text; the session handle carries the credentials.
            hSession_ = static_cast<OCISession*>(alloc(OCI_HTYPE_AUTHINFO));
            std::string user = Username(), password = Password();
            if (!user.empty())
                Check(OCIAttrSet(hSession_, OCI_HTYPE_AUTHINFO, user.data(), static_cast<ub4>(user.size()),
                                 OCI_ATTR_USERNAME, err));
            if (!password.empty())
                Check(OCIAttrSet(hSession_, OCI_HTYPE_AUTHINFO, password.data(), static_cast<ub4>(password.size()),
                                 OCI_ATTR_PASSWORD, err));
            const std::string& pool = connectString;
            Check(OCISessionGet(hOCIEnv, err, &hSvcCtx_, reinterpret_cast<OCIAuthInfo*>(hSession_),
                                reinterpret_cast<const oratext*>(pool.c_str()), static_cast<ub4>(pool.size()), nullptr,
                                0, nullptr, nullptr, nullptr, OCI_SESSGET_SPOOL));
            sessionBegun_ = true;
            break;
        }
        case 2: {
            LoadMTS();
            OCIEnv* env = nullptr;
            sword status = OraMTSSvcGet(Username().c_str(), Password().c_str(), Server().c_str(), &hSvcCtx_, &env, 0);
            if (status != 0) RaiseOraError(status < 0 ? -status : status, "ORA-" + std::to_string(status), false);
            sessionBegun_ = true;
            break;
        }
        default: ORA_ASSERT(false, kModule, "PoolingKind");
        }
    } catch (...) {
        EndSession();
        FreeHandles();
        throw;
    }
}

// Ends what the connect made; the first failing status is returned.
sword TOCIConnection::EndSession() {
    OCIError* err = ErrorHandle();
    sword first = OCI_SUCCESS;
    auto keep = [&](sword s) {
        if (first == OCI_SUCCESS && s != OCI_SUCCESS) first = s;
    };
    switch (poolingKind_) {
    case 0:
        if (sessionBegun_) keep(OCISessionEnd(hSvcCtx_, err, hSession_, OCI_DEFAULT));
        if (serverAttached_) keep(OCIServerDetach(hServer_, err, OCI_DEFAULT));
        break;
    case 1:
        // Property 84 drops the session instead of giving it back.
        if (sessionBegun_) keep(OCISessionRelease(hSvcCtx_, err, nullptr, 0, prop84_ ? 1 : OCI_DEFAULT));
        hSvcCtx_ = nullptr;  // the pool's own
        break;
    case 2:
        if (sessionBegun_) keep(OraMTSSvcRel(hSvcCtx_));
        hSvcCtx_ = nullptr;
        break;
    }
    sessionBegun_ = false;
    serverAttached_ = false;
    return first;
}

void TOCIConnection::FreeHandles() {
    if (hSession_) OCIHandleFree(hSession_, OCI_HTYPE_SESSION);
    if (hServer_) OCIHandleFree(hServer_, OCI_HTYPE_SERVER);
    if (hSvcCtx_) OCIHandleFree(hSvcCtx_, OCI_HTYPE_SVCCTX);
    hSession_ = nullptr;
    hServer_ = nullptr;
    hSvcCtx_ = nullptr;
}

void TOCIConnection::Disconnect() {
    if (!GetConnected()) return;
    SetConnected(false);
    inTransaction_ = false;
    derivedLda_.reset();
    if (command_ && command_->GetCursorState() != 0) {
        try {
            command_->Unprepare();
        } catch (...) {}
    }
    if (callStyle_ == csOCI7) {
        sword status = ologof(lda_.get());
        if (status != 0) {
            try {
                CheckStyle(csOCI7, status, nullptr);
            } catch (...) {
                lda_.reset();
                hda_.reset();
                throw;
            }
        }
        lda_.reset();
        hda_.reset();
        return;
    }
    sword status = EndSession();
    FreeHandles();
    Check(status);
}

void TOCIConnection::StartTransaction() {
    Commit();
    inTransaction_ = true;
}

void TOCIConnection::Commit() {
    if (!GetConnected()) return;
    TConnectionLock lock(this);
    inTransaction_ = false;
    if (callStyle_ == csOCI7)
        Check(ocom(lda_.get()));
    else if (callStyle_ == csOCI8)
        Check(OCITransCommit(hSvcCtx_, ErrorHandle(), OCI_DEFAULT));
    else
        RaiseError(SOCINotInitialized);
}

void TOCIConnection::Rollback() {
    if (!GetConnected()) return;
    TConnectionLock lock(this);
    inTransaction_ = false;
    if (callStyle_ == csOCI7)
        Check(orol(lda_.get()));
    else if (callStyle_ == csOCI8)
        Check(OCITransRollback(hSvcCtx_, ErrorHandle(), OCI_DEFAULT));
    else
        RaiseError(SOCINotInitialized);
}

bool TOCIConnection::CheckIsValid() {
    if (!IsValid()) return false;
    // A probe that fails marks the connection broken; it never raises.
    try {
        if (callStyle_ == csOCI8 && ClientVersion >= 10200 && !IsDirectOnly(AvailableCallStyles) &&
            GetServerVersion() >= 10200) {
            TConnectionLock lock(this);
            Check(OCIPing(hSvcCtx_, ErrorHandle(), OCI_DEFAULT));
        } else {
            Commit();
        }
    } catch (...) {
        SetIsValid(false);
    }
    return IsValid();
}

void TOCIConnection::ReturnToPool() {
    ORA_ASSERT(Pool() != nullptr, kModule, "Pool <> nil");
    FailoverHandler = nullptr;
    TKaConnection::ReturnToPool();
}

uint16_t TOCIConnection::GetServerVersion() {
    if (serverVersion_ != 0 || !GetConnected()) return serverVersion_;
    std::string text;
    if (callStyle_ == csOCI8 && HasStyle(AvailableCallStyles, csOCI8)) {
        char banner[512];
        std::memset(banner, 0, sizeof banner);
        {
            TConnectionLock lock(this);
            Check(OCIServerVersion(hSvcCtx_, ErrorHandle(), reinterpret_cast<oratext*>(banner), sizeof banner - 1,
                                   OCI_HTYPE_SVCCTX));
        }
        serverBanner_ = banner;
        text = VersionOfBanner(serverBanner_);
    } else {
        TOCICommand* c = InternalCommand();
        c->SetSQL(
            "begin SELECT Version INTO :Result FROM SYS.PRODUCT_COMPONENT_VERSION WHERE Upper(Product) LIKE "
            "'%ORACLE%'; end;");
        TOraParamDesc* p = c->FindParam("Result");
        p->SetDataType(dtString);
        p->SetParamType(pdOutput);
        p->SetSize(100);
        c->Execute();
        text = p->GetItemAsAnsiString(1);
    }
    if (OCILite) text += " Lite";
    serverVersionText_ = text;
    serverVersion_ = VersionNumber(text);
    return serverVersion_;
}

uint16_t TOCIConnection::GetMaxStringSize() {
    if (maxStringSize_ == 0 && GetConnected()) {
        uint16_t size = 2000;
        if (callStyle_ != csOCI7) {
            bool oracle7;
            if (IsDirectOnly(AvailableCallStyles)) {
                GetServerVersion();
                oracle7 = serverBanner_.size() >= 7 && serverBanner_[6] == '7';
            } else {
                oracle7 = GetServerVersion() / 1000 == 7;
            }
            if (!oracle7) size = 4000;
        }
        maxStringSize_ = size;
    }
    return maxStringSize_;
}

Lda_Def* TOCIConnection::GetLDA() {
    if (callStyle_ == csOCI7) return lda_.get();
    if (!derivedLda_) {
        derivedLda_ = std::make_unique<Lda_Def>();
        std::memset(derivedLda_->bytes, 0, sizeof derivedLda_->bytes);
        Check(OCISvcCtxToLda(hSvcCtx_, ErrorHandle(), derivedLda_.get()));
    }
    return derivedLda_.get();
}

OCISvcCtx* TOCIConnection::GetSvcCtx() {
    if (callStyle_ != csOCI8) RaiseError(SNeedOCI8);
    return hSvcCtx_;
}

void TOCIConnection::SetCallStyle(uint8_t style) {
    if (style == requestedCallStyle_) return;
    Disconnect();
    requestedCallStyle_ = style;
}

void TOCIConnection::SetPoolingKind(uint8_t kind) {
    ORA_ASSERT(!GetConnected(), kModule, "not Connected");
    poolingKind_ = kind;
}

sb4 TOCIConnection::Failover(ub4 type, ub4 event) {
    if (event == OCI_FO_END)
        for (int i = 0; i < NlsCount; ++i)
            if (nls_[i].Set) SetNlsSession(i);
    bool retry = false;
    if (FailoverHandler) FailoverHandler(event, type, retry);
    return retry ? OCI_FO_RETRY : 0;
}

void TOCIConnection::Break() {
    if (!GetConnected()) return;
    if (callStyle_ == csOCI7)
        obreak(lda_.get());
    else if (callStyle_ == csOCI8)
        OCIBreak(hSvcCtx_, ErrorHandle());
}

TExecThread* TOCIConnection::RunThread(TThreadMethod method, TThreadCompletion completion) {
    if (!utilWindow_) {
        RegisterWindowClass(UtilWindowClass, UtilWndProc);
        utilWindow_ = std::make_unique<TUtilWindow>(UtilWindowClass, WS_EX_TOOLWINDOW, WS_POPUP);
        utilWindow_->SetProc(UtilWndProc);
    }
    auto desc = std::make_unique<TMethodDesc>();
    desc->RunMethod = std::move(method);
    desc->EndMethod = std::move(completion);
    desc->Window = utilWindow_.get();
    return new TExecThread(std::move(desc));
}

void TOCIConnection::StopThread(TExecThread*& thread, bool removeMessage) {
    TExecThread* t = thread;
    thread = nullptr;
    if (!t) return;
    if (!t->MethodDone()) {
        // Still inside the client: ask the server to break off the call
        // and give the worker a moment to come back.
        Break();
        if (!t->WaitMethodDone(TExecThread::StopWaitMs.load()) && t->Abandon()) {
            delete t;
            return;
        }
    }
    if (removeMessage && utilWindow_) utilWindow_->RemovePending(WM_USER, reinterpret_cast<uintptr_t>(t));
    t->TerminateAndJoin();
    delete t;
}

// ---------------------------------------------------------------------------
// National-language settings

int TOCIConnection::NlsIndexOfProp(int32_t prop) const {
    for (int i = 0; i < NlsCount; ++i)
        if (nls_[i].Prop == prop) return i;
    return -1;
}

void TOCIConnection::SetNlsSession(int index) {
    const TNlsRecord& r = nls_[index];
    TOCICommand* c = InternalCommand();
    c->SetSQL(std::string("ALTER SESSION SET ") + r.Name + "=" + "'" + r.Value + "'");
    c->Execute();
}

void TOCIConnection::RunNlsQuery() {
    // Without a session the query runs at the next connect; a Lite client
    // has no national-language views to ask.
    if (!GetConnected() || OCILite) return;
    const bool server8 = GetServerVersion() >= 8000;
    const bool askCharset = !charset_.empty() && server8;
    std::string sql =
        "declare  cursor NlsParamsCursor is    SELECT * FROM nls_session_parameters;begin  SELECT "
        "Nvl(Lengthb(Chr(65536)), Nvl(Lengthb(Chr(256)), 1))    INTO :CharLength FROM dual;  for NlsRecord in "
        "NlsParamsCursor loop    if NlsRecord.parameter = 'NLS_DATE_LANGUAGE' then      :NlsDateLanguage := "
        "NlsRecord.value;    elsif NlsRecord.parameter = 'NLS_DATE_FORMAT' then      :NlsDateFormat := "
        "NlsRecord.value;    elsif NlsRecord.parameter = 'NLS_NUMERIC_CHARACTERS' then      :NlsNumericCharacters "
        ":= NlsRecord.value;";
    if (server8)
        sql +=
            "    elsif NlsRecord.parameter = 'NLS_TIMESTAMP_FORMAT' then      :NlsTimeStampFormat := "
            "NlsRecord.value;    elsif NlsRecord.parameter = 'NLS_TIMESTAMP_TZ_FORMAT' then      "
            ":NlsTimeStampTZFormat := NlsRecord.value;";
    sql += "    end if;  end loop;";
    if (askCharset) sql += "  SELECT NLS_CHARSET_ID(:Charset) INTO :CharsetId FROM dual;";
    sql += "end;";
    TOCICommand* c = InternalCommand();
    c->SetSQL(sql);
    static const char* const kOut[NlsCount] = {"NlsDateLanguage", "NlsDateFormat", "NlsNumericCharacters",
                                               "NlsTimeStampFormat", "NlsTimeStampTZFormat"};
    for (int i = 0; i < c->Params().Count(); ++i) {
        TOraParamDesc* p = c->Param(i);
        if (p->Name() == "CharLength" || p->Name() == "CharsetId") {
            p->SetDataType(dtInteger);
            p->SetParamType(pdOutput);
        } else if (p->Name() == "Charset") {
            p->SetDataType(dtString);
            p->SetParamType(pdInput);
            p->SetSize(static_cast<int32_t>(charset_.size()));
            p->SetItemAsAnsiString(1, charset_);
        } else {
            p->SetDataType(dtString);
            p->SetParamType(pdOutput);
            p->SetSize(100);
        }
    }
    c->Execute();
    for (int i = 0; i < NlsCount; ++i)
        if (TOraParamDesc* p = c->FindParam(kOut[i])) nls_[i].Value = p->GetItemAsAnsiString(1);
    if (askCharLength_) {
        TOraParamDesc* p = c->FindParam("CharLength");
        charLength_ = p->GetItemNull(1) ? 1 : static_cast<uint16_t>(p->GetItemAsInteger(1));
    }
    if (askCharset) {
        // Only when that part of the query ran can its result be missing.
        TOraParamDesc* p = c->FindParam("CharsetId");
        if (p->GetItemNull(1)) RaiseError("Cannot find charset " + charset_);
        charsetId_ = static_cast<uint16_t>(p->GetItemAsInteger(1));
    }
}

void TOCIConnection::ApplyStatementCacheSize() {
    if (!GetConnected() || !statementCache_ || callStyle_ != csOCI8 || !HasStyle(AvailableCallStyles, csOCI8) ||
        ClientVersion <= 9200 || !hSvcCtx_)
        return;
    ub4 size = static_cast<ub4>(statementCacheSize_);
    Check(OCIAttrSet(hSvcCtx_, OCI_HTYPE_SVCCTX, &size, 0, OCI_ATTR_STMTCACHESIZE, ErrorHandle()));
}

bool TOCIConnection::SetProp(int32_t prop, const TVariant& value) {
    const int nls = NlsIndexOfProp(prop);
    if (nls >= 0) {
        TNlsRecord& r = nls_[nls];
        const std::string text = value.AsString();
        if (text != r.Value) r.Value = text;
        r.Set = !text.empty();
        if (r.Set && GetConnected()) SetNlsSession(nls);
        return true;
    }
    switch (prop) {
    case prThreadSafety:
        threadSafety_ = value.AsBoolean();
        ProcessThreadSafety = threadSafety_;
        return true;
    case prConnectMode: connectMode_ = static_cast<uint8_t>(value.AsInteger()); return true;
    case prCharLength: {
        const int32_t v = value.AsInteger();
        if ((askCharLength_ && v != 0) || v != charLength_) {
            charLength_ = static_cast<uint16_t>(v);
            maxStringSize_ = 0;
            askCharLength_ = v == 0;
            if (askCharLength_) RunNlsQuery();
        }
        return true;
    }
    case prProp65: prop65_ = value.AsBoolean(); return true;
    case prProp76: prop76_ = value.AsBoolean(); return true;
    case prDirectProp77: prop77_ = value.AsBoolean(); return true;
    case prProp84: prop84_ = value.AsBoolean(); return true;
    case prStatementCache: statementCache_ = value.AsBoolean(); return true;
    case prProp66: prop66_ = value.AsString(); return true;
    case prCharset: {
        const std::string name = value.AsString();
        if (name != charset_) {
            charset_ = name;
            charsetId_ = 0;
            RunNlsQuery();
        }
        return true;
    }
    case prDirectTimeout: directTimeout_ = static_cast<uint32_t>(value.AsInteger()); return true;
    case prStatementCacheSize:
        statementCacheSize_ = value.AsInteger();
        ApplyStatementCacheSize();
        return true;
    default: return TKaConnection::SetProp(prop, value);
    }
}

bool TOCIConnection::GetProp(int32_t prop, TVariant& value) {
    const int nls = NlsIndexOfProp(prop);
    if (nls >= 0) {
        if (nls_[nls].Value.empty()) RunNlsQuery();
        value = TVariant(nls_[nls].Value);
        return true;
    }
    switch (prop) {
    case prMaxStringSize: value = TVariant(static_cast<int32_t>(GetMaxStringSize())); return true;
    case prCharLength: value = TVariant(static_cast<int32_t>(askCharLength_ ? 0 : charLength_)); return true;
    case prCharset: value = TVariant(charset_); return true;
    case prDirectProp77: value = TVariant(prop77_); return true;
    default: return TKaConnection::GetProp(prop, value);
    }
}

// ---------------------------------------------------------------------------
// Module

TOraClassesRoutines OraClassesRoutines;

const void* OCI7ErrorBuffer() {
    std::lock_guard<std::mutex> g(gErrorBufferLock);
    return gErrorBuffer;
}

size_t RowidTextSize() {
    std::lock_guard<std::mutex> g(gErrorBufferLock);
    return gRowidText.size();
}

sword RowidDescriptorText(OCIRowid* rowid, OCIError* errorHandle, std::string& text) {
    std::lock_guard<std::mutex> g(gErrorBufferLock);
    std::string outside;  // before start-up or after shutdown
    std::string& area = gRowidText.empty() ? outside : gRowidText;
    if (area.empty()) area.assign(RowidTextLength, '\0');
    ub2 length = RowidTextLength;
    const sword status = OCIRowidToChar(rowid, reinterpret_cast<oratext*>(area.data()), &length, errorHandle);
    text = status == OCI_SUCCESS ? area.substr(0, std::min<size_t>(length, area.size())) : std::string();
    return status;
}

void OraClassesStartup() {
    OraClassesRoutines.DateToDateTime = OraDateToDateTime;
    OraClassesRoutines.DateTimeToDate = DateTimeToOraDate;
    OraClassesRoutines.RowidText = RowidToString;
    OraClassesRoutines.URowidText = URowidToString;
    OraClassesRoutines.CdaRowidOf = CdaRowid;
    TOCIConnection::ProcessThreadSafety = true;
    {
        std::lock_guard<std::mutex> g(gErrorBufferLock);
        if (!gErrorBuffer) gErrorBuffer = static_cast<char*>(Marshal::AllocHGlobal(ErrorBufferSize));
        gRowidText.assign(RowidTextLength, '\0');
    }
    RegisterWindowClass(UtilWindowClass, UtilWndProc);
}

void OraClassesShutdown() {
    {
        std::lock_guard<std::mutex> g(gErrorBufferLock);
        Marshal::FreeHGlobal(gErrorBuffer);
        gErrorBuffer = nullptr;
        std::string().swap(gRowidText);
    }
    OraClassesRoutines = TOraClassesRoutines{};
}

}  // namespace tms::ora
