#pragma once
// Shared libraries, loaded by their file names (the names the library uses,
// extension included) and entry points looked up by name.

#include <string>

namespace tms::ora {

using HMODULE = void*;
HMODULE LoadLibrary(const std::string& fileName);  // nullptr on failure
void* GetProcAddress(HMODULE module, const std::string& name);  // nullptr when missing
bool FreeLibrary(HMODULE module);

}  // namespace tms::ora
