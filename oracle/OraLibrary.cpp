#include "oracle/OraLibrary.h"

#include <atomic>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

#include "oracle/OraEnvironment.h"

namespace tms::ora {

namespace {
std::mutex gSearchLock;
bool gSearchSet = false;
std::vector<std::string> gSearchPath;
}  // namespace

std::string ProgramFolder() {
    std::string exe(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) return ".";
    exe.resize(static_cast<size_t>(n));
    return ExtractFileDir(exe);
}

std::vector<std::string> LibrarySearchPath() {
    std::lock_guard<std::mutex> g(gSearchLock);
    if (!gSearchSet) return {ProgramFolder()};
    return gSearchPath;
}

void SetLibrarySearchPath(std::vector<std::string> folders) {
    std::lock_guard<std::mutex> g(gSearchLock);
    gSearchPath = std::move(folders);
    gSearchSet = true;
}

void ResetLibrarySearchPath() {
    std::lock_guard<std::mutex> g(gSearchLock);
    gSearchPath.clear();
    gSearchSet = false;
}

HMODULE LoadLibrary(const std::string& fileName) {
    if (fileName.empty()) return nullptr;
    if (fileName.find(PathDelim) == std::string::npos) {
        for (const std::string& folder : LibrarySearchPath()) {
            std::string found = FindFileNoCase(folder, fileName);
            if (found.empty()) continue;
            if (HMODULE h = dlopen(found.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
        }
    }
    return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(HMODULE module, const std::string& name) {
    if (!module || name.empty()) return nullptr;
    return dlsym(module, name.c_str());
}

bool FreeLibrary(HMODULE module) { return module && dlclose(module) == 0; }

bool TSharedLibrary::Load(const std::string& fileName) {
    Free();
    handle_ = LoadLibrary(fileName);
    if (handle_) fileName_ = fileName;
    return handle_ != nullptr;
}

namespace {
std::atomic<int> gLibraryHolds{0};
}

void HoldLibraries() { ++gLibraryHolds; }

void ReleaseLibraries() { --gLibraryHolds; }

bool LibrariesHeld() { return gLibraryHolds.load() > 0; }

void TSharedLibrary::Free() {
    if (handle_ && !LibrariesHeld()) FreeLibrary(handle_);
    handle_ = nullptr;
    fileName_.clear();
}

}  // namespace tms::ora
