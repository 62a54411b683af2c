#include "oracle/OraLibrary.h"

#include <dlfcn.h>

namespace tms::ora {

HMODULE LoadLibrary(const std::string& fileName) {
    if (fileName.empty()) return nullptr;
    return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(HMODULE module, const std::string& name) {
    if (!module || name.empty()) return nullptr;
    return dlsym(module, name.c_str());
}

bool FreeLibrary(HMODULE module) { return module && dlclose(module) == 0; }

}  // namespace tms::ora
