#pragma once
// Start-up and shutdown work of the data-access library's modules. Start-up
// runs every module's work in module order, shutdown the reverse; both may
// be called more than once.
namespace ora {
void startupModules();
void shutdownModules();
}  // namespace ora
