#include "oracle/KaAccess.h"

#include "oracle/KaConnectionPool.h"
#include "oracle/OraTick.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TKaConnection, TObject, nullptr)
ORA_DEFINE_CLASS(TParamDesc, TObject, nullptr)
ORA_DEFINE_CLASS(TKaCommand, TObject, nullptr)

namespace {
[[noreturn]] void UnknownProp(int32_t prop) { RaiseAssertion(std::to_string(prop), "KaAccess", __LINE__); }

// Sets a flag for the duration of a scope, whatever way it is left.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};
}  // namespace

// ---------------------------------------------------------------------------
// TKaConnection

TKaConnection::TKaConnection() : creationTime_(GetTickCount()) {}

void TKaConnection::HandleConnectionError(Exception& error, bool& callerFail) {
    int32_t attempt = 0;
    TRetryMode retryMode = TRetryMode::rmRaise;
    while (!inProcessError_) {
        bool reconnect = attempt > 0;
        bool fail = false;
        if (ErrorHandler) {
            TFlagScope busy(inProcessError_);
            ErrorHandler(error, callerFail, reconnect, fail, attempt, retryMode);
        }
        if (reconnect) {
            reconnected_ = false;
            {
                TFlagScope busy(inProcessError_);
                if (attempt == 0) {
                    try {
                        Disconnect();
                    } catch (...) {}
                }
                try {
                    Connect("");
                    reconnected_ = true;
                    if (ReconnectedHandler) ReconnectedHandler();
                } catch (...) {}
            }
            if (reconnected_ && fail) throw EFailOver(retryMode);
            ++attempt;
        }
        if (!reconnect && attempt > 0 && !reconnected_ && ConnectionLostHandler) {
            TFlagScope busy(inProcessError_);
            connected_ = true;
            try {
                ConnectionLostHandler();
            } catch (...) {}
            connected_ = false;
        }
        if (!reconnect || reconnected_) break;
    }
}

void TKaConnection::ReturnToPool() {
    ORA_ASSERT(pool_ != nullptr, "KaAccess", "Pool = nil");
    ErrorHandler = nullptr;
    component_ = nullptr;
    TKaConnectionPool* pool = pool_;
    TKaConnection* back = pool->Manager()->PrepareReturn(this);
    pool->PutConnection(back);
}

bool TKaConnection::SetProp(int32_t prop, const TVariant& value) {
    switch (prop) {
    case prProp3: prop3_ = value.AsBoolean(); return true;
    case prAutoCommit: autoCommit_ = value.AsBoolean(); return true;
    case prProp23: prop23_ = value.AsBoolean(); return true;
    default: UnknownProp(prop);
    }
}

bool TKaConnection::GetProp(int32_t prop, TVariant& value) {
    if (prop == prUsername) {
        value = TVariant(username_);
        return true;
    }
    UnknownProp(prop);
}

// ---------------------------------------------------------------------------
// TParamDesc

void TParamDesc::SetValue(const TVariant& value) {
    value_ = value;
    isNull_ = value.IsEmptyOrNull();
}

TObject* TParamDesc::GetObject() const {
    if (value_.IsEmptyOrNull()) return nullptr;
    ORA_ASSERT(value_.VarType() == varByRef, "KaAccess", "VarType(Value) = varByRef");
    return static_cast<TObject*>(value_.RefPointer());
}

void TParamDesc::SetObject(TObject* object) { value_ = TVariant::ByRef(object); }

void TParamDesc::SetNull(bool value) {
    isNull_ = value;
    value_.Clear();
}

// ---------------------------------------------------------------------------
// TKaCommand

TParamDesc* TKaCommand::AddParam() {
    std::unique_ptr<TParamDesc> p = CreateParamDesc();
    TParamDesc* raw = p.get();
    params_.Add(std::move(p));
    return raw;
}

bool TKaCommand::SetProp(int32_t prop, const TVariant& value) {
    switch (prop) {
    case prCommandProp5: prop5_ = value.AsBoolean(); return true;
    case prCommandProp27: return true;
    default: UnknownProp(prop);
    }
}

bool TKaCommand::GetProp(int32_t prop, TVariant& value) {
    switch (prop) {
    case prCommandProp11: value = TVariant(false); return true;
    case prCommandProp13: value = TVariant(prop13_); return true;
    default: UnknownProp(prop);
    }
}

}  // namespace tms::ora
