#pragma once
// Messages of the data-access layer.

#include <vector>

namespace tms::ora {

extern const char* const SDataTypeNotSupported;
extern const char* const SCannotConvertType;
extern const char* const SInvalidBlob;
extern const char* const SInvalidUncompressedBlobSize;
extern const char* const SInvalidCompressedBlobSize;
extern const char* const SInvalidCompressedBlobHeader;
extern const char* const SInvalidCompressedBlobData;
extern const char* const SUnknownParamType;  // %s: parameter name
extern const char* const SMaxConnectionsReached;
extern const char* const SCompressorNotLinked;
extern const char* const SUncompressorNotLinked;
extern const char* const SUnknownDataType;

// Every message of the table, in table order.
const std::vector<const char*>& DAConstsMessages();

void DAConstsStartup();
void DAConstsShutdown();

}  // namespace tms::ora
