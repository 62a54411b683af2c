#include "oracle/OraModules.h"

#include <exception>

#include "oracle/CLRClasses.h"
#include "oracle/DAConsts.h"
#include "oracle/DBAccess.h"
#include "oracle/KaConnectionPool.h"
#include "oracle/KaParser.h"
#include "oracle/MemData.h"
#include "oracle/MemUtils.h"
#include "oracle/Ora.h"
#include "oracle/OraCall.h"
#include "oracle/OraClasses.h"
#include "oracle/OraConsts.h"
#include "oracle/OraFields.h"
#include "oracle/OraNet.h"
#include "oracle/OraNotify.h"
#include "oracle/OraObjects.h"
#include "oracle/OraParser.h"
#include "oracle/OraPlatform.h"
#include "oracle/TwoSymbolTable.h"

namespace tms::ora {

void TModuleTable::Startup() {
    std::lock_guard<std::mutex> g(lock_);
    if (running_) {
        ++count_;
        return;
    }
    try {
        for (; started_ < rows_.size(); ++started_)
            if (rows_[started_].Startup) rows_[started_].Startup();
    } catch (...) {
        // Undo what has started, newest first, then report the failure.
        while (started_ > 0) {
            --started_;
            try {
                if (rows_[started_].Shutdown) rows_[started_].Shutdown();
            } catch (...) {}
        }
        throw;
    }
    running_ = true;
    count_ = 1;
}

void TModuleTable::Shutdown() {
    std::lock_guard<std::mutex> g(lock_);
    if (!running_) return;
    if (--count_ > 0) return;  // another user still needs the modules
    std::exception_ptr first;
    while (started_ > 0) {
        --started_;
        try {
            if (rows_[started_].Shutdown) rows_[started_].Shutdown();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    running_ = false;
    if (first) std::rethrow_exception(first);
}

bool TModuleTable::Started() const {
    std::lock_guard<std::mutex> g(lock_);
    return running_;
}

TModuleTable& libraryModules() {
    // Module order: every module comes after the modules it uses. Rows
    // without work yet belong to modules whose start-up and shutdown are
    // filled in as they are built.
    static TModuleTable table({
        {"OraPlatform", OraPlatformStartup, OraPlatformShutdown},
        {"CLRClasses", CLRClassesStartup, CLRClassesShutdown},
        {"DAConsts", DAConstsStartup, DAConstsShutdown},
        {"OraConsts", OraConstsStartup, OraConstsShutdown},
        {"MemUtils", MemUtilsStartup, MemUtilsShutdown},
        {"KaParser", KaParserStartup, KaParserShutdown},
        {"MemData", MemDataStartup, MemDataShutdown},
        {"TwoSymbolTable", TwoSymbolTableStartup, TwoSymbolTableShutdown},
        {"OraParser", OraParserStartup, OraParserShutdown},
        {"KaAccess", nullptr, nullptr},
        {"DBAccess", DBAccessStartup, DBAccessShutdown},
        {"OraCall", OraCallStartup, OraCallShutdown},
        {"OraError", nullptr, nullptr},
        {"OraNet", OraNetStartup, OraNetShutdown},
        {"OraClasses", OraClassesStartup, OraClassesShutdown},
        {"OraNotify", OraNotifyStartup, OraNotifyShutdown},
        {"OraObjects", OraObjectsStartup, OraObjectsShutdown},
        {"KaConnectionPool", KaConnectionPoolStartup, KaConnectionPoolShutdown},
        {"OraConnectionPool", nullptr, nullptr},
        // The top unit: the session list; its shutdown disconnects every
        // session and clears every pool before the rows above end.
        {"Ora", OraStartup, OraShutdown},
        // The field classes register by name after the session list and
        // are removed before it goes.
        {"OraFields", OraFieldsStartup, OraFieldsShutdown},
    });
    return table;
}

void startupModules() { libraryModules().Startup(); }

void shutdownModules() { libraryModules().Shutdown(); }

}  // namespace tms::ora
