#pragma once
// The operating-system version flag set at start-up: true on a system of the
// NT line, whose wide-character system calls the library may use.

namespace tms::ora {

bool IsNTPlatform();

// Module start-up and shutdown of the platform layer.
void OraPlatformStartup();
void OraPlatformShutdown();

}  // namespace tms::ora
