#pragma once
// Messages of the Oracle layer.

#include <vector>

namespace tms::ora {

extern const char* const SSessionNotDefined;
extern const char* const SSessionNotConnected;
extern const char* const SInvalidIndex;
extern const char* const SCursorNotOpened;
extern const char* const SArrayParam;  // %s: parameter name, %d: length
extern const char* const STooManyInputParams;
extern const char* const SNotEnoughInputParams;
extern const char* const STooManyOutputParams;
extern const char* const SNotEnoughOutputParams;
extern const char* const SObjectNotAllocated;
extern const char* const SNeedThreadSafety;
extern const char* const SLobNotAllocated;
extern const char* const SSvcCtxNotDefined;
extern const char* const SLobParamType;
extern const char* const SLobNotInited;
extern const char* const SInvalidInterval;
extern const char* const SOCIPoolingDirect;
extern const char* const SOCIPoolingVersion;
extern const char* const SMTSPoolingDirect;
extern const char* const SStatementCacheDirect;
extern const char* const SEmptyChangeNotifyOperations;
extern const char* const SChangeNotifyDirect;
extern const char* const SChangeNotifyClientVersion;
extern const char* const SChangeNotifyServerVersion;

// Every message of the table, in table order.
const std::vector<const char*>& OraConstsMessages();

void OraConstsStartup();
void OraConstsShutdown();

}  // namespace tms::ora
