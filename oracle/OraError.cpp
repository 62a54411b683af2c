#include "oracle/OraError.h"

#include <cstdlib>
#include <cstring>

#include "oracle/OraCall.h"

namespace tms::ora {

namespace {
// The code of a message "ORA-nnnnn ...": the five characters after "ORA-"
// when they are all digits, else 0.
int32_t CodeOfMessage(const std::string& message) {
    if (message.compare(0, 4, "ORA-") != 0 || message.size() < 9) return 0;
    int32_t code = 0;
    for (size_t i = 4; i < 9; ++i) {
        char c = message[i];
        if (c < '0' || c > '9') return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}
}  // namespace

int32_t GetOraError(sword status, std::string& message, OCIError* errorHandle) {
    RequireOCI8();
    if (!errorHandle) errorHandle = hOCIError;
    int32_t code = 0;
    switch (status) {
    case OCI_SUCCESS: message.clear(); return 0;
    case OCI_NEED_DATA:
        message = "OCI_NEED_DATA";
        code = status;
        break;
    case OCI_INVALID_HANDLE:
        message = "OCI_INVALID_HANDLE";
        code = status;
        break;
    case OCI_SUCCESS_WITH_INFO:
    case OCI_ERROR:
    case OCI_NO_DATA: {
        char buffer[ErrorBufferSize + 1];
        std::memset(buffer, 0, sizeof buffer);
        sb4 errcode = 0;
        sword r = OCIErrorGet(errorHandle, 1, nullptr, &errcode, reinterpret_cast<oratext*>(buffer), ErrorBufferSize,
                              OCI_HTYPE_ERROR);
        message.assign(buffer, ::strnlen(buffer, ErrorBufferSize));
        code = errcode;
        if (r == OCI_SUCCESS_WITH_INFO) {
            message = "OCI_SUCCESS_WITH_INFO";
        } else if (r == OCI_NO_DATA) {
            message = "OCI_NO_DATA";
        } else if (r == OCI_SUCCESS) {
            if (message.empty()) message = "ORA-" + std::to_string(code);
        } else {
            // The error record could not be read: what the buffer holds is
            // the message, and its "ORA-nnnnn" the code.
            if (message.size() > static_cast<size_t>(ErrorBufferSize)) message.resize(ErrorBufferSize);
            code = CodeOfMessage(message);
        }
        break;
    }
    default:
        message = "Unknown error: ORA-" + std::to_string(status);
        code = status;
        break;
    }
    return code < 0 ? -code : code;
}

void OraError(sword status, OCIError* errorHandle) {
    std::string message;
    int32_t code = GetOraError(status, message, errorHandle);
    if (status == OCI_SUCCESS_WITH_INFO) return;
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
    throw EOraError(code, nullptr, message);
}

}  // namespace tms::ora
