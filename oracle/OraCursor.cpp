// The cursor of the Oracle layer: a statement handle (or an Oracle 7 cursor
// data area) shared by the commands and fields that use it (declared in
// OraClasses.h).

#include <cstring>

#include "oracle/CLRClasses.h"
#include "oracle/OraClasses.h"

namespace tms::ora {

ORA_DEFINE_CLASS(TOraCursor, TSharedObject, nullptr)

TOraCursor::TOraCursor() {
    handleCell_ = static_cast<OCIStmt**>(Marshal::AllocHGlobal(sizeof(OCIStmt*)));
    *handleCell_ = nullptr;
}

TOraCursor::~TOraCursor() {
    try {
        FreeCursor();
    } catch (...) {}
    Marshal::FreeHGlobal(handleCell_);
}

void TOraCursor::AllocCursor(bool fromCache) {
    if (callStyle_ == csNone) callStyle_ = tms::ora::CallStyle;
    if (callStyle_ == csOCI7) {
        if (!cda_) {
            cda_ = std::make_unique<Cda_Def>();
            std::memset(cda_->bytes, 0, sizeof cda_->bytes);
        }
    } else if (callStyle_ == csOCI8) {
        if (*handleCell_) return;
        if (!envHandle_) envHandle_ = hOCIEnv;
        if (!errorHandle_) errorHandle_ = hOCIError;
        fromCache_ = fromCache;
        if (!fromCache) {
            void* h = nullptr;
            Check(OCIHandleAlloc(envHandle_, &h, OCI_HTYPE_STMT, 0, nullptr), errorHandle_);
            SetHandle(static_cast<OCIStmt*>(h));
        }
    } else {
        RaiseError(SOCINotInitialized);
    }
}

void TOraCursor::FreeCursor() {
    if (callStyle_ == csOCI7) {
        cda_.reset();
    } else if (callStyle_ == csOCI8 && *handleCell_) {
        if (fromCache_)
            OCIStmtRelease(*handleCell_, errorHandle_ ? errorHandle_ : hOCIError, nullptr, 0, OCI_DEFAULT);
        else if (hOCIEnv || IsDirectOnly(AvailableCallStyles))
            OCIHandleFree(*handleCell_, OCI_HTYPE_STMT);
        // else: the environment is gone and the handle with it
    }
    *handleCell_ = nullptr;
    errorHandle_ = nullptr;
    envHandle_ = nullptr;
    fromCache_ = false;
}

void TOraCursor::SetHandle(OCIStmt* handle) {
    *handleCell_ = handle;
    if (ClientVersion < 9000) SetPrefetchRows(0);
}

void TOraCursor::SetPrefetchRows(uint32_t rows) {
    if (callStyle_ != csOCI8 || !*handleCell_ || ClientVersion / 10 == 816) return;
    ub4 value = rows;
    Check(OCIAttrSet(*handleCell_, OCI_HTYPE_STMT, &value, 0, OCI_ATTR_PREFETCH_ROWS, errorHandle_), errorHandle_);
    if (rows == 0) {
        ub4 memory = 0;
        Check(OCIAttrSet(*handleCell_, OCI_HTYPE_STMT, &memory, 0, OCI_ATTR_PREFETCH_MEMORY, errorHandle_),
              errorHandle_);
    }
}

Cda_Def* TOraCursor::GetCDA() {
    if (callStyle_ == csNone) callStyle_ = tms::ora::CallStyle;
    if (callStyle_ != csOCI7) RaiseError(SNeedOCI7);
    AllocCursor();
    return cda_.get();
}

OCIStmt* TOraCursor::GetHandle() { return *HandleAddress(); }

OCIStmt** TOraCursor::HandleAddress() {
    if (callStyle_ == csNone) callStyle_ = tms::ora::CallStyle;
    if (callStyle_ != csOCI8) RaiseError(SNeedOCI8);
    if (!*handleCell_ && !fromCache_) AllocCursor();
    return handleCell_;
}

void TOraCursor::SetCallStyle(uint8_t style) {
    if (style == callStyle_) return;
    FreeCursor();
    callStyle_ = style;
}

}  // namespace tms::ora
