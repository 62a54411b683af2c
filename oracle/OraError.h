#pragma once
// Oracle errors: the exception that carries an Oracle error code, and the
// turning of a client call's status into that exception.

#include <cstdint>
#include <string>

#include "oracle/DBAccess.h"
#include "oracle/oci_abi.h"

namespace tms::ora {

class EOraError : public EDAError {
public:
    EOraError(int32_t errorCode, TObject* component, std::string message)
        : EDAError(errorCode, component, std::move(message)) {}
};

// The error code and message of a status (the shared error handle when none
// is given), without raising. Needs the Oracle 8 call style.
int32_t GetOraError(sword status, std::string& message, OCIError* errorHandle = nullptr);
// Raises EOraError for a status, except for success with information.
void OraError(sword status, OCIError* errorHandle = nullptr);
// Nothing for success, OraError otherwise.
inline void Check(sword status, OCIError* errorHandle = nullptr) {
    if (status != OCI_SUCCESS) OraError(status, errorHandle);
}

}  // namespace tms::ora
