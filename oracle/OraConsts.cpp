#include "oracle/OraConsts.h"

namespace tms::ora {

const char* const SSessionNotDefined = "Session is not defined";
const char* const SSessionNotConnected = "Session is not connected";
const char* const SInvalidIndex = "Index of array is not range";
const char* const SCursorNotOpened = "Cursor must be opened";
const char* const SArrayParam = "%s parameter must be array with length %d";
const char* const STooManyInputParams = "Too many Input params";
const char* const SNotEnoughInputParams = "Not enough Input params";
const char* const STooManyOutputParams = "Too many Output params";
const char* const SNotEnoughOutputParams = "Not enough Output params";
const char* const SObjectNotAllocated = "Object is not allocated";
const char* const SNeedThreadSafety = "Session must be Thread Safety";
const char* const SLobNotAllocated = "Lob is not allocated";
const char* const SSvcCtxNotDefined = "OCISvcCtx is not defined";
const char* const SLobParamType = "Lob parameter should be Input or Output";
const char* const SLobNotInited = "Lob locator should be inited";
const char* const SInvalidInterval = "Invalid interval.";
const char* const SOCIPoolingDirect = "OCI pooling is not supported in Direct mode";
const char* const SOCIPoolingVersion = "OCI pooling is supported starting with OCI 9.2";
const char* const SMTSPoolingDirect = "MTS pooling is not supported in Direct mode";
const char* const SStatementCacheDirect = "Statement cache is not supported in Direct mode";
const char* const SEmptyChangeNotifyOperations = "Operations for change notification subscription cannot be empty set";
const char* const SChangeNotifyDirect = "Change notification is not supported in Direct mode";
const char* const SChangeNotifyClientVersion = "OCI 10.2 or greater is needed for change notification";
const char* const SChangeNotifyServerVersion = "Change notification is supported starting with Oracle 10.2";

const std::vector<const char*>& OraConstsMessages() {
    static const std::vector<const char*> table{
        SSessionNotDefined,
        SSessionNotConnected,
        SInvalidIndex,
        SCursorNotOpened,
        SArrayParam,
        STooManyInputParams,
        SNotEnoughInputParams,
        STooManyOutputParams,
        SNotEnoughOutputParams,
        SObjectNotAllocated,
        SNeedThreadSafety,
        SLobNotAllocated,
        SSvcCtxNotDefined,
        SLobParamType,
        SLobNotInited,
        SInvalidInterval,
        SOCIPoolingDirect,
        SOCIPoolingVersion,
        SMTSPoolingDirect,
        SStatementCacheDirect,
        SEmptyChangeNotifyOperations,
        SChangeNotifyDirect,
        SChangeNotifyClientVersion,
        SChangeNotifyServerVersion,
    };
    return table;
}

void OraConstsStartup() {}
void OraConstsShutdown() {}

}  // namespace tms::ora
