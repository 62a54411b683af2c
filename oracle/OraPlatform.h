#pragma once
// The data-access library's own platform layer: the facilities the library
// takes from the operating system and the class library. Each facility has
// its own header; this one gathers them for callers that use several.

#include "oracle/OraAnsi.h"
#include "oracle/OraClassRegistry.h"
#include "oracle/OraDateTime.h"
#include "oracle/OraDetachHook.h"
#include "oracle/OraEnvironment.h"
#include "oracle/OraException.h"
#include "oracle/OraFormatSettings.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraRegistry.h"
#include "oracle/OraStream.h"
#include "oracle/OraSync.h"
#include "oracle/OraSystem.h"
#include "oracle/OraText.h"
#include "oracle/OraTick.h"
#include "oracle/OraWarning.h"
