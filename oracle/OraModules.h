#pragma once
// Start-up and shutdown work of the data-access library's modules. Start-up
// runs every module's work in module order, shutdown the reverse; both may
// be called more than once.

#include <cstddef>
#include <mutex>
#include <vector>

namespace tms::ora {
void startupModules();
void shutdownModules();

// One module's row: its name and its start-up and shutdown work (either may
// be empty).
struct TModuleRow {
    const char* Name;
    void (*Startup)();
    void (*Shutdown)();
};

// An ordered table of modules. Startup runs the rows in order once; when one
// fails, the rows already started are shut down in reverse and the error
// passes on. Shutdown runs the started rows in reverse order once; a failing
// row does not keep the rows before it from shutting down, and the first
// error passes on afterwards.
class TModuleTable {
public:
    explicit TModuleTable(std::vector<TModuleRow> rows) : rows_(std::move(rows)) {}
    void Startup();
    void Shutdown();
    bool Started() const;
    const std::vector<TModuleRow>& Rows() const { return rows_; }

private:
    mutable std::mutex lock_;
    std::vector<TModuleRow> rows_;
    size_t started_ = 0;  // rows whose start-up has run
    bool running_ = false;
};

// The library's own table, in module order.
TModuleTable& libraryModules();
}  // namespace tms::ora

// The library's former namespace, for callers outside it that still use it.
namespace ora = tms::ora;
