#include "oracle/DAConsts.h"

namespace tms::ora {

const char* const SDataTypeNotSupported = "Data type is not supported";
const char* const SCannotConvertType = "Cannot convert type";
const char* const SInvalidBlob = "Invalid BLOB";
const char* const SInvalidUncompressedBlobSize = "Invalid uncompressed blob size";
const char* const SInvalidCompressedBlobSize = "Invalid compressed blob size";
const char* const SInvalidCompressedBlobHeader = "Invalid compressed blob header";
const char* const SInvalidCompressedBlobData = "Invalid compressed blob data";
const char* const SUnknownParamType = "Unknown type of parameter %s";
const char* const SMaxConnectionsReached = "Maximum connections reached in pool";
const char* const SCompressorNotLinked = "Compressor function is not linked";
const char* const SUncompressorNotLinked = "Uncompressor function is not linked";
const char* const SUnknownDataType = "Unknown data type";

const std::vector<const char*>& DAConstsMessages() {
    static const std::vector<const char*> table{
        SDataTypeNotSupported,        SCannotConvertType,         SInvalidBlob,
        SInvalidUncompressedBlobSize, SInvalidCompressedBlobSize, SInvalidCompressedBlobHeader,
        SInvalidCompressedBlobData,   SUnknownParamType,          SMaxConnectionsReached,
        SCompressorNotLinked,         SUncompressorNotLinked,     SUnknownDataType,
    };
    return table;
}

void DAConstsStartup() {}
void DAConstsShutdown() {}

}  // namespace tms::ora
