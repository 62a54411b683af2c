#pragma once
// Start-up and shutdown work of the data-access library's modules. Start-up
// runs every module's work in module order, shutdown the reverse. Start-up
// calls are counted: the shutdown that matches the first start-up frees.

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

// An ordered table of modules. Start-up calls are counted: the first runs
// the rows in order; when one fails, the rows already started are shut down
// in reverse, the error passes on and nothing is counted. Each shutdown
// call drops one count and the last runs the started rows in reverse order;
// a failing row does not keep the rows before it from shutting down, and the
// first error passes on afterwards. A shutdown without a start-up does
// nothing.
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
    int count_ = 0;  // start-up calls not yet matched by a shutdown
};

// The library's own table, in module order.
TModuleTable& libraryModules();
}  // namespace tms::ora
