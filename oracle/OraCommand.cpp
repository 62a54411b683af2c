// The command of the Oracle layer: preparing, binding, running and
// describing a statement (declared in OraClasses.h), and the data-type
// questions the parameter and the fields share.

#include <algorithm>
#include <climits>
#include <cstring>
#include <set>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/OraAnsi.h"
#include "oracle/OraClasses.h"
#include "oracle/OraConsts.h"
#include "oracle/OraFieldModel.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraNotify.h"
#include "oracle/OraParser.h"
#include "oracle/OraText.h"
#include "oracle/OraWarning.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TOCICommand, TKaCommand, nullptr)

namespace {
// The mutex of a non-blocking command for the length of a scope.
class TCommandMutex {
public:
    TCommandMutex(TMutex& m, bool take) : m_(m), taken_(take) {
        if (taken_) m_.WaitFor(INFINITE);
    }
    ~TCommandMutex() {
        if (taken_) m_.Release();
    }
    TCommandMutex(const TCommandMutex&) = delete;
    TCommandMutex& operator=(const TCommandMutex&) = delete;

private:
    TMutex& m_;
    bool taken_;
};

sb2 gNullIndicator = -1;

// The open piece of a LONG value received in pieces keeps what came
// (`length`, at most its size); an empty one goes when `dropEmpty`.
void CloseOpenPiece(TBlob* blob, PPieceHeader& open, ub4 length, bool dropEmpty) {
    if (open) {
        open->Used = static_cast<int32_t>(std::min<ub4>(length, ub4(open->Size)));
        if (dropEmpty && open->Used == 0 && blob) blob->FreePiece(open);
    }
    open = nullptr;
}

// The next piece of such a value: the open piece is closed, a new one of
// the piece size is appended to `blob` and opened; `length` is its room.
void* OpenNextPiece(TBlob& blob, PPieceHeader& open, ub4& length) {
    CloseOpenPiece(&blob, open, length, false);
    const int32_t size = std::max<int32_t>(TOCICommand::LongPieceSize.load(), 1);
    open = blob.AllocPiece(size);
    blob.AppendPiece(open);
    length = static_cast<ub4>(size);
    return PieceData(open);
}
}  // namespace

int32_t OCIExternalType(uint16_t dt, uint16_t sub, uint8_t style, uint16_t serverVersion) {
    const bool oci8 = style == csOCI8;
    switch (dt) {
    case dtString:
    case dtString2: return 5;
    case dtInteger:
    case dtBoolean: return 3;
    case dtFloat:
        return oci8 && (sub == 118 || sub == 119) && ClientVersion >= 10000 && serverVersion >= 10000 ? 22 : 4;
    case dtDateTime: return 12;
    case dtNumber:
    case dtNumberObject: return oci8 ? 6 : -1;
    case dtBlob: return 24;
    case dtMemo: return sub == 1 || sub == 120 || (oci8 && (sub == 25 || sub == 121)) ? 5 : 8;
    case dtWideMemo:
        if (!oci8) return -1;
        return sub == 1 || sub == 25 || sub == 120 || sub == 121 ? 5 : 8;
    case 15:
    case 17:
    case 18: return oci8 ? 108 : -1;
    case 16: return oci8 ? 110 : -1;
    case dtVarBytes:
    case dtVarBytes2: return 23;
    case dtWideString:
    case dtWideString2: return oci8 ? 5 : -1;
    case dtRowId: return oci8 ? 104 : 11;
    case dtCursor: return oci8 ? 116 : 102;
    case dtOraBlob: return oci8 ? 113 : -1;
    case dtOraClob: return oci8 ? 112 : -1;
    case dtBFile: return oci8 ? 114 : -1;
    case dtCFile: return oci8 ? 115 : -1;
    case dtLabel: return 106;
    case dtFixedChar: return 97;
    case dtVarchar2: return oci8 ? 1 : -1;
    case dtTimeStamp: return oci8 && ClientVersion >= 9000 ? 187 : -1;
    case dtTimeStampTZ: return oci8 && ClientVersion >= 9000 ? 188 : -1;
    case dtTimeStampLTZ: return oci8 && ClientVersion >= 9000 ? 232 : -1;
    case dtIntervalYM: return oci8 && ClientVersion >= 9000 ? 189 : -1;
    case dtIntervalDS: return oci8 && ClientVersion >= 9000 ? 190 : -1;
    case dtXML: return oci8 && ClientVersion >= 9200 ? 108 : -1;
    case dtFixedWideChar: return oci8 ? 97 : -1;
    default: return -1;
    }
}

bool IsObjectDataType(uint16_t dt) {
    switch (dt) {
    case dtNumber:
    case dtBlob:
    case dtMemo:
    case 15:
    case 16:
    case 17:
    case 18:
    case dtWideMemo:
    case dtCursor:
    case dtOraBlob:
    case dtOraClob:
    case dtBFile:
    case dtCFile:
    case dtTimeStamp:
    case dtTimeStampTZ:
    case dtTimeStampLTZ:
    case dtIntervalYM:
    case dtIntervalDS:
    case dtNumberObject:
    case dtXML: return true;
    default: return false;
    }
}

TOraObjectHooks& OraObjectHooks() {
    static TOraObjectHooks hooks;
    return hooks;
}

bool IsLongDataType(uint16_t dt) { return dt == dtBlob || dt == dtMemo || dt == dtWideMemo; }

// ---------------------------------------------------------------------------
// TOCICommand

std::atomic<int32_t> TOCICommand::LongPieceSize{65536};

TOCICommand::TOCICommand() : cursor_(new TOraCursor), cursorRef_(cursor_) {
    TKaCommand::SetProp(prAutoCommit, TVariant(true));
}

TOCICommand::~TOCICommand() {
    try {
        if (TExecThread* w = worker_.exchange(nullptr)) {
            connection_->StopThread(w, true);
        } else if (GetCursorState() != 0 && connection_ && connection_->GetConnected()) {
            Unprepare();
        }
    } catch (...) {}
    Params().Clear();
    if (cursorRef_ != cursor_) cursorRef_->Release();
    cursor_->Release();
}

void TOCICommand::CheckSession() {
    if (!connection_) RaiseError(SSessionNotDefined);
    if (!connection_->GetConnected()) RaiseError(SSessionNotConnected);
}

void TOCICommand::Check(sword status) {
    if (status != OCI_SUCCESS) connection_->CheckStyle(callStyle_, status, hError_);
}

int32_t TOCICommand::GetCursorState() { return cursorRef_->State.load(); }

void TOCICommand::SetCursorState(int32_t state) {
    TCommandMutex m(mutex_, nonBlocking_);
    cursorRef_->State = static_cast<uint8_t>(state);
}

void TOCICommand::SetCursorRef(TOraCursor* cursor) {
    if (cursor == cursorRef_) return;
    if (cursor) cursor->AddRef();
    if (cursorRef_ != cursor_) cursorRef_->Release();
    cursorRef_ = cursor ? cursor : cursor_;
}

void TOCICommand::SetConnection(TKaConnection* connection) {
    if (connection == Connection()) return;
    if (TExecThread* w = worker_.exchange(nullptr))
        connection_->StopThread(w, true);
    else if (GetCursorState() != 0)
        Unprepare();
    connection_ = dynamic_cast<TOCIConnection*>(connection);
    TKaCommand::SetConnection(connection);
}

void TOCICommand::SetSQL(const std::string& sql) {
    if (sql == SQL()) return;
    TKaCommand::SetSQL(sql);
    if (scanParams_ && !prop32_) ParseSQL();
}

TOraParamDesc* TOCICommand::FindParam(const std::string& name) {
    for (int32_t i = 0; i < Params().Count(); ++i)
        if (SameText(Param(i)->Name(), name)) return Param(i);
    return nullptr;
}

void TOCICommand::ParseSQL() {
    Params().Clear();
    TOraParser parser(SQL());
    parser.DecimalSeparator = '.';
    parser.SkipBlanks = true;
    parser.SkipComments = true;
    const int32_t symbols = OraSymbolLexemes()->Count();
    const int32_t keywords = OraKeywordLexemes()->Count();
    std::set<std::string> seen;
    std::string text;
    int32_t code = parser.GetNext(text);
    for (;; code = parser.GetNext(text)) {
        if (code == LexEnd || code == lxTRIGGER) break;
        if (code != lxColon) continue;
        code = parser.GetNext(text);
        // in "::y" the second ":" starts a placeholder of its own
        while (code == lxColon) code = parser.GetNext(text);
        if (code == LexEnd || code == lxTRIGGER) break;
        if (code != LexIdentifier && code != LexNumber && !(code > symbols && code <= symbols + keywords)) continue;
        std::string name = text;
        bool quoted = false;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
            quoted = true;
        }
        if (!seen.insert(UpperCase(name)).second) continue;
        auto* p = static_cast<TOraParamDesc*>(AddParam());
        p->SetName(name);
        p->QuotedName = quoted;
    }
}

std::string TOCICommand::ServerText(const std::string& sql, std::vector<int32_t>* removedAt) {
    enum { Plain, LineComment, BlockComment, Literal, QLiteral } state = Plain;
    char close = 0;
    std::string out;
    out.reserve(sql.size());
    const size_t n = sql.size();
    auto isWordChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
    };
    for (size_t i = 0; i < n; ++i) {
        const char c = sql[i];
        const char next = i + 1 < n ? sql[i + 1] : '\0';
        switch (state) {
        case Plain:
            if (c == '-' && next == '-') {
                state = LineComment;
                out += "--";
                ++i;
                continue;
            }
            if (c == '/' && next == '*') {
                state = BlockComment;
                out += "/*";
                ++i;
                continue;
            }
            if (c == '\'' && i > 0 && (sql[i - 1] == 'q' || sql[i - 1] == 'Q') && i + 1 < n) {
                const char open = next;
                close = open == '(' ? ')' : open == '<' ? '>' : open == '[' ? ']' : open == '{' ? '}' : open;
                state = QLiteral;
                out += c;
                out += open;
                ++i;
                continue;
            }
            if (c == '\'' || c == '"') {
                state = Literal;
                close = c;
                out += c;
                continue;
            }
            if ((c == 'W' || c == 'w') && (sql.compare(i, 7, "WRAPPED") == 0 || sql.compare(i, 7, "wrapped") == 0) &&
                (i == 0 || !isWordChar(sql[i - 1])) && i + 7 < n &&
                (sql[i + 7] == '\r' || sql[i + 7] == '\n' || sql[i + 7] == ' ')) {
                // a wrapped body goes to the server byte for byte
                out.append(sql, i, std::string::npos);
                return out;
            }
            if (c == '\r') {
                if (next == '\n') {
                    if (removedAt) removedAt->push_back(static_cast<int32_t>(out.size()));
                    continue;  // the line feed follows
                }
                out += '\n';
                continue;
            }
            out += c;
            continue;
        case LineComment:
            out += c;
            if (c == '\n') state = Plain;
            continue;
        case BlockComment:
            out += c;
            if (c == '*' && next == '/') {
                out += '/';
                ++i;
                state = Plain;
            }
            continue;
        case Literal:
            out += c;
            if (c == close) state = Plain;
            continue;
        case QLiteral:
            out += c;
            if (c == close && next == '\'') {
                out += '\'';
                ++i;
                state = Plain;
            }
            continue;
        }
    }
    return out;
}

int32_t TOCICommand::CallerOffset(const std::vector<int32_t>& removedAt, int32_t offset) {
    int32_t shift = 0;
    for (int32_t at : removedAt)
        if (at <= offset) ++shift;
    return offset + shift;
}

void TOCICommand::Prepare() {
    CheckSession();
    if (GetCursorState() != 0) return;
    callStyle_ = connection_->CallStyleInUse();
    hError_ = connection_->ErrorHandle();
    rowsProcessed_ = 0;
    errorOffset_ = 0;
    pendingStatus_ = 0;
    const bool cache = useStatementCache_ && connection_->StatementCache();
    cursorRef_->SetCallStyle(callStyle_);
    if (callStyle_ == csOCI8) cursorRef_->SetHandles(connection_->EnvHandle(), hError_);
    removedAt_.clear();
    std::string text = ServerText(SQL(), &removedAt_);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    text += ' ';
    if (callStyle_ == csOCI7) {
        TCommandMutex m(mutex_, nonBlocking_);
        TConnectionLock lock(connection_);
        cursorRef_->AllocCursor();
        Cda_Def* cda = cursorRef_->GetCDA();
        Check(oopen(cda, connection_->GetLDA(), nullptr, -1, -1, nullptr, -1));
        cursorRef_->State = 1;
        sword status =
            oparse(cda, reinterpret_cast<const oratext*>(text.c_str()), static_cast<sb4>(text.size() + 1), 0, 2);
        ub2 offset;
        std::memcpy(&offset, cda->bytes + CDA_PEO, 2);
        errorOffset_ = offset;
        if (status != 0) {
            // a statement that does not parse leaves no open cursor behind
            oclose(cda);
            cursorRef_->FreeCursor();
            cursorRef_->State = 0;
            Check(status);
        }
        if (cda->bytes[CDA_FLG] & CDA_FLG_COMPILE_WARNING) connection_->SetLastErrorCode(24344);
        ub2 ft;
        std::memcpy(&ft, cda->bytes + CDA_FT, 2);
        sqlType_ = ft;
        cursorRef_->State = 2;
    } else if (callStyle_ == csOCI8) {
        for (int32_t i = 0; i < Params().Count(); ++i) Param(i)->ClearBindData();
        TCommandMutex m(mutex_, nonBlocking_);
        TConnectionLock lock(connection_);
        cursorRef_->AllocCursor(cache);
        if (!cache) {
            Check(OCIStmtPrepare(cursorRef_->GetHandle(), hError_, reinterpret_cast<const oratext*>(text.c_str()),
                                 static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT));
        } else {
            if (IsDirectOnly(AvailableCallStyles)) RaiseError(SStatementCacheDirect);
            Check(OCIStmtPrepare2(connection_->GetSvcCtx(), cursorRef_->HandleAddress(), hError_,
                                  reinterpret_cast<const oratext*>(text.c_str()), static_cast<ub4>(text.size()),
                                  nullptr, 0, OCI_NTV_SYNTAX, OCI_DEFAULT));
        }
        ub2 type = 0;
        Check(OCIAttrGet(cursorRef_->GetHandle(), OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, hError_));
        switch (type) {
        case OCI_STMT_SELECT: sqlType_ = 4; break;
        case OCI_STMT_UPDATE: sqlType_ = 5; break;
        case OCI_STMT_DELETE: sqlType_ = 9; break;
        case OCI_STMT_INSERT: sqlType_ = 3; break;
        case OCI_STMT_BEGIN:
        case OCI_STMT_DECLARE: sqlType_ = 34; break;
        case 14:
        case 15: sqlType_ = 27; break;
        default: sqlType_ = 0; break;
        }
        if (changeSubscription_ && changeSubscription_->Active) {
            OCISubscription* subscription = changeSubscription_->GetSubscriptionHandle(*connection_);
            Check(
                OCIAttrSet(cursorRef_->GetHandle(), OCI_HTYPE_STMT, subscription, 0, OCI_ATTR_CHNF_REGHANDLE, hError_));
        }
    } else {
        RaiseError(SOCINotInitialized);
    }
    TKaCommand::Prepare();
}

void TOCICommand::Unprepare() {
    if (GetCursorState() == 0) RaiseError(SCursorNotOpened);
    defined_ = false;  // the defines go with the statement
    if (callStyle_ == csOCI7) {
        Cda_Def* cda = cursorRef_->GetCDA();
        sword status = OCI_SUCCESS;
        if (connection_ && connection_->GetConnected()) status = oclose(cda);
        cursorRef_->FreeCursor();
        TKaCommand::Unprepare();
        Check(status);
        return;
    }
    {
        TCommandMutex m(mutex_, nonBlocking_);
        TConnectionLock lock(connection_);
        if (connection_) cursorRef_->SetHandles(connection_->EnvHandle(), connection_->ErrorHandle());
        if (cursorRef_->RefCount() == 1) cursorRef_->FreeCursor();
        for (int32_t i = 0; i < Params().Count(); ++i) Param(i)->ClearBindData();
    }
    TKaCommand::Unprepare();
}

void TOCICommand::Execute() {
    if (GetCursorState() == 6 || worker_.load()) return;
    if (nonBlocking_) {
        if (!connection_ || !connection_->ThreadSafety()) {
            try {
                RaiseError(SNeedThreadSafety);
            } catch (...) {
                EndExecution(std::current_exception());
                throw;
            }
        }
        CheckSession();
        worker_ =
            connection_->RunThread([this] { DoExecute(); }, [this](std::exception_ptr error) { EndExecution(error); });
        return;
    }
    try {
        DoExecute();
    } catch (...) {
        EndExecution(std::current_exception());
        throw;
    }
    EndExecution(nullptr);
}

void TOCICommand::DoExecute() {
    const bool wasPrepared = GetPrepared();
    if (!wasPrepared) Prepare();
    try {
        if (sqlType_ != 27) {
            TConnectionLock lock(connection_);
            for (int32_t i = 0; i < Params().Count(); ++i) {
                if (callStyle_ == csOCI7)
                    BindParamOCI7(*Param(i));
                else
                    BindParam(*Param(i));
            }
            SetCursorState(4);
        }
        RunStatement();
    } catch (...) {
        // A statement this execution prepared does not stay prepared: the
        // next text would otherwise run the old statement.
        if (!wasPrepared && GetCursorState() != 0) {
            try {
                Unprepare();
            } catch (...) {}
        }
        unprepareAfter_ = false;
        throw;
    }
    if ((!wasPrepared || unprepareAfter_) && GetCursorState() != 0) Unprepare();
    unprepareAfter_ = false;
}

void TOCICommand::EndExecution(std::exception_ptr error) {
    TExecThread* w = worker_.exchange(nullptr);
    if (nonBlocking_ && !w) return;
    if (AfterExecute) AfterExecute(!error);
    if (nonBlocking_ && error) {
        try {
            std::rethrow_exception(error);
        } catch (EOraError& e) {
            bool fail = true;
            connection_->HandleConnectionError(e, fail);
            if (!fail) throw EAbort();
        } catch (...) {}
    }
}

TBlob* TOCICommand::LongBlob(TOraParamDesc& param) { return dynamic_cast<TBlob*>(param.GetObject()); }

void TOCICommand::BindParam(TOraParamDesc& param) {
    const uint16_t dt = param.DataType();
    int32_t type = OCIExternalType(dt, param.SubType(), csOCI8, connection_->GetServerVersion());
    if (dt == dtUnknown) {
        if (!param.GetNull()) RaiseError(Format(SUnknownParamType, {param.Name()}));
        type = 1;
    } else if (type < 0) {
        RaiseError(SDataTypeNotSupported);
    }
    param.SyncIndicator();
    const std::string name = ":" + (param.QuotedName ? "\"" + param.Name() + "\"" : param.Name());
    if (Iters != 1 && param.Length() < Iters) RaiseError(Format(SArrayParam, {param.Name(), int64_t(Iters)}));
    void* value = nullptr;
    sb4 size = 0;
    ub4 mode = OCI_DEFAULT;
    bool dynamic = false;
    if (dt == dtCursor) {
        auto* c = dynamic_cast<TOraCursor*>(param.GetObject());
        if (!c) {
            c = new TOraCursor;
            param.SetObject(c);
            c->Release();
        }
        c->SetCallStyle(csOCI8);
        c->AllocCursor();
        param.SyncIndicator();
        value = c->HandleAddress();
    } else if (IsLongDataType(dt)) {
        mode = OCI_DATA_AT_EXEC;
        size = INT32_MAX;
        dynamic = true;
        param.PiecesStarted = param.OutPiecesStarted = false;
        param.NextPiece = nullptr;
        param.OpenOutPiece = nullptr;
    } else if (IsObjectDataType(dt)) {
        if (!OraObjectHooks().BindObject) RaiseError(SDataTypeNotSupported);
        OraObjectHooks().BindObject(*this, param);
        return;
    } else if (dt != dtUnknown) {
        value = param.ValueBuffer();
        size = param.Size();
        if ((dt == dtString || dt == dtFixedChar) && param.Length() == 1) {
            // at most the longest string the server takes, in bytes
            const int32_t cap = connection_->GetMaxStringSize() * std::max<int32_t>(connection_->CharLength(), 1) + 1;
            size = std::min(size, cap);
        }
    }
    OCIBind* bind = nullptr;
    Check(OCIBindByName(cursorRef_->GetHandle(), &bind, hError_, reinterpret_cast<const oratext*>(name.c_str()),
                        static_cast<sb4>(name.size()), value, size, static_cast<ub2>(type), param.Indicators(), nullptr,
                        nullptr, 0, nullptr, mode));
    param.BindHandle = bind;
    param.BoundSize = size;
    if (param.Length() > 1 && !dynamic)
        Check(OCIBindArrayOfStruct(bind, hError_, static_cast<ub4>(param.Size()), sizeof(sb2), 0, 0));
    if (dynamic) Check(OCIBindDynamic(bind, hError_, context_, InBindCallback, context_, OutBindCallback));
}

void TOCICommand::BindParamOCI7(TOraParamDesc& param) {
    const uint16_t dt = param.DataType();
    int32_t type = OCIExternalType(dt, param.SubType(), csOCI7, 0);
    if (dt == dtUnknown) {
        if (!param.GetNull()) RaiseError(Format(SUnknownParamType, {param.Name()}));
        type = 1;
    } else if (type < 0) {
        RaiseError(SDataTypeNotSupported);
    }
    param.SyncIndicator();
    if (Iters != 1 && param.Length() < Iters) RaiseError(Format(SArrayParam, {param.Name(), int64_t(Iters)}));
    const std::string name = ":" + (param.QuotedName ? "\"" + param.Name() + "\"" : param.Name());
    const auto* sqlvar = reinterpret_cast<const oratext*>(name.c_str());
    Cda_Def* cda = cursorRef_->GetCDA();
    if (IsLongDataType(dt)) {
        param.PiecesStarted = param.OutPiecesStarted = false;
        param.NextPiece = nullptr;
        param.OpenOutPiece = nullptr;
        Check(obindps(cda, 1, sqlvar, -1, reinterpret_cast<ub1*>(&param), INT32_MAX, type, 0, param.Indicators(),
                      nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, 0, 0));
    } else if (dt == dtCursor) {
        auto* c = dynamic_cast<TOraCursor*>(param.GetObject());
        if (!c) {
            c = new TOraCursor;
            param.SetObject(c);
            c->Release();
        }
        c->SetCallStyle(csOCI7);
        param.SyncIndicator();
        Check(obndrv(cda, sqlvar, -1, reinterpret_cast<ub1*>(c->GetCDA()), OCI7_CDA_SIZE, type, -1, param.Indicators(),
                     nullptr, -1, -1));
    } else if (param.Length() > 1) {
        *param.LengthCell() = static_cast<ub4>(param.Length());
        Check(obndra(cda, sqlvar, -1, param.ValueBuffer(), param.Size(), type, -1, param.Indicators(), nullptr, nullptr,
                     static_cast<ub4>(param.Length()), param.LengthCell(), nullptr, -1, -1));
    } else {
        Check(
            obndrv(cda, sqlvar, -1, param.ValueBuffer(), param.Size(), type, -1, param.Indicators(), nullptr, -1, -1));
    }
}

TOraParamDesc* TOCICommand::ParamByBind(OCIBind* bind) {
    for (int32_t i = 0; i < Params().Count(); ++i)
        if (Param(i)->BindHandle == bind) return Param(i);
    return nullptr;
}

void TOCICommand::NextInPiece(TOraParamDesc* param, void*& data, ub4& length, ub1& piece) {
    TBlob* blob = LongBlob(*param);
    if (!param->PiecesStarted) {
        param->PiecesStarted = true;
        param->NextPiece = blob ? blob->FirstPiece() : nullptr;
        if (!param->NextPiece) {
            data = nullptr;
            length = 0;
            piece = OCI_ONE_PIECE;
            return;
        }
    }
    PPieceHeader p = param->NextPiece;
    if (!p) {
        data = nullptr;
        length = 0;
        piece = OCI_LAST_PIECE;
        return;
    }
    const bool first = blob && p == blob->FirstPiece();
    const bool last = p->Next == nullptr;
    data = PieceData(p);
    length = static_cast<ub4>(p->Used);
    param->NextPiece = p->Next;
    piece = first ? (last ? OCI_ONE_PIECE : OCI_FIRST_PIECE) : (last ? OCI_LAST_PIECE : OCI_NEXT_PIECE);
}

void* TOCICommand::NewOutPiece(TOraParamDesc* param, ub4*& length) {
    TBlob* blob = LongBlob(*param);
    if (!blob) {
        blob = new TBlob;
        param->SetObject(blob);
        blob->Release();
    }
    if (!param->OutPiecesStarted) {
        blob->Clear();
        param->OutPiecesStarted = true;
        param->OpenOutPiece = nullptr;
    }
    void* data = OpenNextPiece(*blob, param->OpenOutPiece, *param->LengthCell());
    length = param->LengthCell();
    param->Indicators()[0] = 0;
    return data;
}

void TOCICommand::CloseOutPieces() {
    for (int32_t i = 0; i < Params().Count(); ++i) {
        TOraParamDesc* p = Param(i);
        if (p->OpenOutPiece) CloseOpenPiece(LongBlob(*p), p->OpenOutPiece, *p->LengthCell(), true);
        p->NextPiece = nullptr;
        p->PiecesStarted = p->OutPiecesStarted = false;
    }
}

sb4 TOCICommand::InBindCallback(void* ictxp, OCIBind* bindp, ub4, ub4, void** bufpp, ub4* alenp, ub1* piecep,
                                void** indpp) {
    try {
        auto* command = static_cast<TOCICommand*>(ictxp);
        TOraParamDesc* p = command->ParamByBind(bindp);
        if (!p || p->ParamType() == pdOutput) {
            *bufpp = nullptr;
            *alenp = 0;
            *piecep = OCI_ONE_PIECE;
            *indpp = &gNullIndicator;
            return OCI_CONTINUE;
        }
        void* data;
        ub4 length;
        ub1 piece;
        command->NextInPiece(p, data, length, piece);
        *bufpp = data;
        *alenp = length;
        *piecep = piece;
        *indpp = p->Indicators();
        return OCI_CONTINUE;
    } catch (...) {
        return OCI_ERROR;
    }
}

sb4 TOCICommand::OutBindCallback(void* octxp, OCIBind* bindp, ub4, ub4, void** bufpp, ub4** alenpp, ub1* piecep,
                                 void** indpp, ub2** rcodepp) {
    try {
        auto* command = static_cast<TOCICommand*>(octxp);
        TOraParamDesc* p = command->ParamByBind(bindp);
        if (!p) return OCI_ERROR;
        ub4* length;
        *bufpp = command->NewOutPiece(p, length);
        *alenpp = length;
        *piecep = OCI_NEXT_PIECE;
        *indpp = p->Indicators();
        if (rcodepp) *rcodepp = nullptr;
        return OCI_CONTINUE;
    } catch (...) {
        return OCI_ERROR;
    }
}

void TOCICommand::RunStatement() {
    if (temporaryLobs_) {
        for (int32_t i = 0; i < Params().Count(); ++i) {
            TOraParamDesc* p = Param(i);
            if ((p->DataType() == dtOraBlob || p->DataType() == dtOraClob) && !p->GetNull() &&
                (p->ParamType() == pdInput || p->ParamType() == pdInputOutput)) {
                if (!OraObjectHooks().WriteTemporaryLob) RaiseError(SDataTypeNotSupported);
                OraObjectHooks().WriteTemporaryLob(*this, *p);
            }
        }
    }
    pendingStatus_ = 0;
    if (callStyle_ == csOCI8)
        RunOCI8();
    else if (callStyle_ == csOCI7)
        RunOCI7();
    else
        RaiseError(SOCINotInitialized);
    ReadRowId();
}

void TOCICommand::PieceLoopOCI8(sword& status) {
    OCIStmt* stmt = cursorRef_->GetHandle();
    void* handle = nullptr;
    ub4 type = 0, iter = 0, index = 0;
    ub1 inout = 0, piece = 0;
    Check(OCIStmtGetPieceInfo(stmt, hError_, &handle, &type, &inout, &iter, &index, &piece));
    if (type == OCI_HTYPE_DEFINE) {
        TLongDefine* d = DefineByHandle(static_cast<OCIDefine*>(handle));
        if (!d) RaiseError(SCursorNotOpened);
        ub4* length;
        void* buffer = NewDefinePiece(*d, length);
        Check(OCIStmtSetPieceInfo(handle, type, hError_, buffer, length, piece, &d->Indicator, nullptr));
        return;
    }
    TOraParamDesc* p = ParamByBind(static_cast<OCIBind*>(handle));
    if (!p) RaiseError(SCursorNotOpened);
    if (inout == OCI_PARAM_IN && p->ParamType() == pdOutput) {
        // an output value sends nothing, as the input callback does
        *p->LengthCell() = 0;
        Check(OCIStmtSetPieceInfo(handle, type, hError_, nullptr, p->LengthCell(), OCI_ONE_PIECE, &gNullIndicator,
                                  nullptr));
    } else if (inout == OCI_PARAM_IN) {
        void* data;
        ub1 kind;
        NextInPiece(p, data, *p->LengthCell(), kind);
        Check(OCIStmtSetPieceInfo(handle, type, hError_, data, p->LengthCell(), kind, p->Indicators(), nullptr));
    } else {
        ub4* length;
        void* buffer = NewOutPiece(p, length);
        Check(OCIStmtSetPieceInfo(handle, type, hError_, buffer, length, piece, p->Indicators(), nullptr));
    }
    (void)status;
}

void TOCICommand::DefineLongField(int32_t position, TField* field) {
    TLongDefine d;
    d.Position = position;
    d.Field = field;
    longDefines_.push_back(d);
    defined_ = false;
}

TOCICommand::TLongDefine* TOCICommand::DefineByHandle(OCIDefine* handle) {
    for (TLongDefine& d : longDefines_)
        if (d.Handle == handle) return &d;
    return nullptr;
}

void* TOCICommand::NewDefinePiece(TLongDefine& d, ub4*& length) {
    if (!d.Blob) {
        // the row's value: a new blob in the field's record cell
        if (!d.Field->Slot()) throw EDatabaseError("Field '" + d.Field->FieldName() + "' has no record");
        d.Blob = new TBlob;
        d.Field->Slot()->SetObject(d.Blob);
        d.Blob->Release();
        d.OpenPiece = nullptr;
    }
    void* data = OpenNextPiece(*d.Blob, d.OpenPiece, d.Length);
    length = &d.Length;
    d.Indicator = 0;
    return data;
}

void TOCICommand::CloseDefinePieces() {
    for (TLongDefine& d : longDefines_) {
        CloseOpenPiece(d.Blob, d.OpenPiece, d.Length, true);
        d.Blob = nullptr;
    }
}

sb4 TOCICommand::DefineCallback(void* octxp, OCIDefine* defnp, ub4, void** bufpp, ub4** alenpp, ub1* piecep,
                                void** indpp, ub2** rcodepp) {
    try {
        auto* command = static_cast<TOCICommand*>(octxp);
        TLongDefine* d = command->DefineByHandle(defnp);
        if (!d) return OCI_ERROR;
        ub4* length;
        *bufpp = command->NewDefinePiece(*d, length);
        *alenpp = length;
        *piecep = OCI_NEXT_PIECE;
        *indpp = &d->Indicator;
        if (rcodepp) *rcodepp = nullptr;
        return OCI_CONTINUE;
    } catch (...) {
        return OCI_ERROR;
    }
}

bool TOCICommand::Fetch() {
    CheckSession();
    if (GetCursorState() < 7) RaiseError(SCursorNotOpened);
    if (callStyle_ != csOCI8) RaiseError(SNeedOCI8);
    OCIStmt* stmt = cursorRef_->GetHandle();
    TConnectionLock lock(connection_);
    if (!defined_) {
        for (TLongDefine& d : longDefines_) {
            const int32_t type = d.Field->DataType() == ftBlob ? 24 : 8;  // LONG RAW, LONG
            OCIDefine* handle = nullptr;
            Check(OCIDefineByPos(stmt, &handle, hError_, static_cast<ub4>(d.Position), nullptr, INT32_MAX,
                                 static_cast<ub2>(type), &d.Indicator, nullptr, nullptr, OCI_DYNAMIC_FETCH));
            d.Handle = handle;
            Check(OCIDefineDynamic(handle, hError_, context_, DefineCallback));
        }
        defined_ = true;
    }
    for (TLongDefine& d : longDefines_) d.Indicator = -1;
    sword status;
    try {
        status = OCIStmtFetch(stmt, hError_, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
        while (status == OCI_NEED_DATA) {
            PieceLoopOCI8(status);
            status = OCIStmtFetch(stmt, hError_, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
        }
    } catch (...) {
        CloseDefinePieces();
        throw;
    }
    std::vector<TLongDefine*> nulls;
    for (TLongDefine& d : longDefines_)
        if (!d.Blob || d.Indicator < 0) nulls.push_back(&d);
    CloseDefinePieces();
    if (status == OCI_NO_DATA) return false;
    Check(status);
    // a value that came in no piece, or as null, holds no blob
    for (TLongDefine* d : nulls)
        if (d->Field->Slot()) d->Field->Slot()->SetObject(nullptr);
    return true;
}

void TOCICommand::RunOCI8() {
    OCIStmt* stmt = cursorRef_->GetHandle();
    OCISvcCtx* svc = connection_->GetSvcCtx();
    ub4 mode = OCI_DEFAULT;
    if (sqlType_ == 4 && cursorRef_->Scrollable)
        mode = OCI_STMT_SCROLLABLE_READONLY;
    else if (sqlType_ != 4 && AutoCommitProp() && connection_->AutoCommit())
        mode = OCI_COMMIT_ON_SUCCESS;
    const int32_t oldState = GetCursorState();
    SetCursorState(6);
    sword status;
    std::string message;
    int32_t code = 0;
    {
        TConnectionLock lock(connection_);
        status =
            OCIStmtExecute(svc, stmt, hError_, sqlType_ == 4 ? 0 : static_cast<ub4>(Iters), 0, nullptr, nullptr, mode);
        try {
            while (status == OCI_NEED_DATA) {
                PieceLoopOCI8(status);
                status = OCIStmtExecute(svc, stmt, hError_, sqlType_ == 4 ? 0 : static_cast<ub4>(Iters), 0, nullptr,
                                        nullptr, mode);
            }
        } catch (...) {
            CloseOutPieces();
            SetCursorState(oldState);
            throw;
        }
        CloseOutPieces();
        const bool failed =
            status != OCI_SUCCESS && status != OCI_NEED_DATA && !(status == OCI_NO_DATA && sqlType_ == 4);
        if (failed) code = GetOraError(status, message, hError_);
        if (ClientVersion >= 8050) {
            ub2 offset = 0;
            OCIAttrGet(stmt, OCI_HTYPE_STMT, &offset, nullptr,
                       ClientVersion < 8100 ? OCI_ATTR_PARSE_ERROR_OFFSET_OLD : OCI_ATTR_PARSE_ERROR_OFFSET, hError_);
            errorOffset_ = offset;
        }
        if (failed && !(status == OCI_SUCCESS_WITH_INFO && code != 24344)) {
            SetCursorState(oldState);
            connection_->SetLastErrorCode(code);
            if (code == 3123) {
                // the server call would block: the caller comes back later
                pendingStatus_ = 3123;
                return;
            }
            while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
            connection_->RaiseOraError(code, message, false);
        }
        if (mode != OCI_DESCRIBE_ONLY) {
            ub4 rows = 0;
            Check(OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, hError_));
            rowsProcessed_ = static_cast<int32_t>(rows);
        }
        if (sqlType_ == 0) {
            ub2 fc = 0;
            Check(OCIAttrGet(stmt, OCI_HTYPE_STMT, &fc, nullptr, OCI_ATTR_SQLFNCODE, hError_));
            sqlType_ = fc;
        }
    }
    SetCursorState(7);
    for (int32_t i = 0; i < Params().Count(); ++i)
        if (Param(i)->DataType() == dtCursor)
            if (auto* c = dynamic_cast<TOraCursor*>(Param(i)->GetObject())) c->State = 7;
    batchRows_ = 0;
}

void TOCICommand::RunOCI7() {
    Cda_Def* cda = cursorRef_->GetCDA();
    const int32_t oldState = GetCursorState();
    SetCursorState(6);
    std::vector<TOraParamDesc*> in, out;
    for (int32_t i = 0; i < Params().Count(); ++i) {
        TOraParamDesc* p = Param(i);
        if (!IsLongDataType(p->DataType())) continue;
        if (p->ParamType() != pdOutput) in.push_back(p);
        if (p->ParamType() == pdOutput || p->ParamType() == pdInputOutput) out.push_back(p);
    }
    sword status;
    {
        TConnectionLock lock(connection_);
        status = oexn(cda, Iters, 0);
        size_t inIndex = 0, outIndex = 0;
        TOraParamDesc* curIn = nullptr;
        TOraParamDesc* curOut = nullptr;
        bool warnedNotEnoughIn = false, warnedNotEnoughOut = false, warnedTooManyIn = false;
        uint8_t scratch[100];
        ub4 scratchLength = 0;
        try {
            // The server asks for the LONG values one after another; they
            // are matched against the LONG parameters in list order.
            while (status == -3129 || status == -3130) {
                ub1 piece = 0;
                void* context = nullptr;
                ub4 iter = 0, index = 0;
                Check(ogetpi(cda, &piece, &context, &iter, &index));
                const bool newValue = piece == OCI_FIRST_PIECE || piece == OCI_ONE_PIECE;
                if (status == -3129) {
                    if (newValue) {
                        curIn = inIndex < in.size() ? in[inIndex++] : nullptr;
                        if (!curIn && !warnedNotEnoughIn) {
                            ShowWarning(SNotEnoughInputParams);
                            warnedNotEnoughIn = true;
                        }
                    }
                    if (curIn) {
                        void* data;
                        ub1 kind;
                        NextInPiece(curIn, data, *curIn->LengthCell(), kind);
                        Check(osetpi(cda, kind, data, curIn->LengthCell()));
                    } else {
                        scratchLength = 0;
                        Check(osetpi(cda, OCI_LAST_PIECE, scratch, &scratchLength));
                    }
                } else {
                    if (!warnedTooManyIn && inIndex < in.size()) {
                        ShowWarning(STooManyInputParams);
                        warnedTooManyIn = true;
                    }
                    if (newValue) {
                        curOut = outIndex < out.size() ? out[outIndex++] : nullptr;
                        if (!curOut && !warnedNotEnoughOut) {
                            ShowWarning(SNotEnoughOutputParams);
                            warnedNotEnoughOut = true;
                        }
                    }
                    if (curOut) {
                        ub4* length;
                        void* buffer = NewOutPiece(curOut, length);
                        Check(osetpi(cda, piece, buffer, length));
                    } else {
                        scratchLength = sizeof scratch;
                        Check(osetpi(cda, piece, scratch, &scratchLength));
                    }
                }
                status = oexn(cda, Iters, 0);
            }
        } catch (...) {
            CloseOutPieces();
            SetCursorState(oldState);
            throw;
        }
        CloseOutPieces();
        if (status == 0 || status == -3123) {
            if (!warnedTooManyIn && inIndex < in.size()) ShowWarning(STooManyInputParams);
            if (outIndex < out.size()) ShowWarning(STooManyOutputParams);
        }
    }
    if (status == -3123) {
        pendingStatus_ = 3123;
        SetCursorState(oldState);
        return;
    }
    if (status != 0) {
        ub2 offset;
        std::memcpy(&offset, cda->bytes + CDA_PEO, 2);
        errorOffset_ = offset;
        SetCursorState(oldState);
        Check(status);
    }
    ub4 rows;
    std::memcpy(&rows, cda->bytes + CDA_RPC, 4);
    rowsProcessed_ = static_cast<int32_t>(rows);
    SetCursorState(7);
    for (int32_t i = 0; i < Params().Count(); ++i)
        if (Param(i)->DataType() == dtCursor)
            if (auto* c = dynamic_cast<TOraCursor*>(Param(i)->GetObject())) c->State = 7;
    batchRows_ = 0;
}

void TOCICommand::ReadRowId() {
    if (!returnRowid_) {
        rowId_.clear();
        return;
    }
    if (callStyle_ == csOCI7) {
        rowId_ = OraClassesRoutines.RowidText(OraClassesRoutines.CdaRowidOf(*cursorRef_->GetCDA()));
        return;
    }
    void* desc = nullptr;
    Check(OCIDescriptorAlloc(hOCIEnv, &desc, OCI_DTYPE_ROWID, 0, nullptr));
    try {
        Check(OCIAttrGet(cursorRef_->GetHandle(), OCI_HTYPE_STMT, desc, nullptr, OCI_ATTR_ROWID, hError_));
        if (ClientVersion >= 9000) {
            std::string text;
            Check(RowidDescriptorText(static_cast<OCIRowid*>(desc), hError_, text));
            rowId_ = text;
        } else {
            rowId_ = OraClassesRoutines.RowidText(*static_cast<const OCIRowidData*>(desc));
        }
    } catch (...) {
        OCIDescriptorFree(desc, OCI_DTYPE_ROWID);
        throw;
    }
    OCIDescriptorFree(desc, OCI_DTYPE_ROWID);
}

bool TOCICommand::SetProp(int32_t prop, const TVariant& value) {
    switch (prop) {
    case prScanParams: {
        const bool on = value.AsBoolean();
        const bool was = scanParams_;
        scanParams_ = on;
        if (on && !was) ParseSQL();
        return true;
    }
    case prDisableParamScan: prop32_ = value.AsBoolean(); return true;
    case prNonBlocking: nonBlocking_ = value.AsBoolean(); return true;
    case prCommandProp59: prop59_ = value.AsBoolean(); return true;
    case prCommandProp64: prop64_ = value.AsBoolean(); return true;
    case prScrollable: cursorRef_->Scrollable = value.AsBoolean(); return true;
    case prReturnRowid: returnRowid_ = value.AsBoolean(); return true;
    case prCommandProp73: prop73_ = value.AsBoolean(); return true;
    case prCommandProp74: prop74_ = value.AsBoolean(); return true;
    case prCommandProp78: prop78_ = static_cast<int16_t>(value.AsInteger()); return true;
    case prCommandProp79: prop79_ = static_cast<int16_t>(value.AsInteger()); return true;
    case prTemporaryLobs: temporaryLobs_ = value.AsBoolean(); return true;
    case prStatementCache: useStatementCache_ = value.AsBoolean(); return true;
    default: return TKaCommand::SetProp(prop, value);
    }
}

bool TOCICommand::GetProp(int32_t prop, TVariant& value) {
    switch (prop) {
    case prScanParams: value = TVariant(scanParams_); return true;
    case prSQLType: value = TVariant(static_cast<int32_t>(sqlType_)); return true;
    case prRowsProcessed: value = TVariant(batchRows_ > 0 ? batchRows_ : rowsProcessed_); return true;
    case prErrorOffset: value = TVariant(CallerOffset(removedAt_, errorOffset_)); return true;
    case prReturnRowid: value = TVariant(returnRowid_); return true;
    case prTemporaryLobs: value = TVariant(temporaryLobs_); return true;
    default: return TKaCommand::GetProp(prop, value);
    }
}

}  // namespace tms::ora
