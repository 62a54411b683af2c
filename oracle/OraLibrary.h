#pragma once
// Shared libraries, loaded by their file names and entry points looked up by
// name. The library keeps the client's Windows file names ("oci.dll",
// "advapi32.dll"): the loader does not care about the extension, so a shared
// object of that name is loaded like any other.
//
// A name without a folder is looked for, in order, in the folders of the
// library search path (the program's folder first, then folders a caller
// adds), then wherever the system loader looks.

#include <string>
#include <vector>

namespace tms::ora {

using HMODULE = void*;
HMODULE LoadLibrary(const std::string& fileName);               // nullptr on failure
void* GetProcAddress(HMODULE module, const std::string& name);  // nullptr when missing
bool FreeLibrary(HMODULE module);

// The folders searched for a bare library name before the system loader.
// The default is the program's own folder.
std::vector<std::string> LibrarySearchPath();
void SetLibrarySearchPath(std::vector<std::string> folders);
void ResetLibrarySearchPath();

// The folder that holds the running program (no trailing separator).
std::string ProgramFolder();

// A thread given up at shutdown while it may still run inside a loaded
// library (a pool clean-up stuck in a client call) holds the libraries from
// the moment it is given up until it ends: meanwhile no library is unloaded
// and the client keeps what it handed out (FreeOCI leaves it as it is).
void HoldLibraries();
void ReleaseLibraries();
bool LibrariesHeld();

// A loaded shared library, freed with the object. While the libraries are
// held, freeing only forgets the handle and the library stays loaded.
class TSharedLibrary {
public:
    TSharedLibrary() = default;
    ~TSharedLibrary() { Free(); }
    TSharedLibrary(const TSharedLibrary&) = delete;
    TSharedLibrary& operator=(const TSharedLibrary&) = delete;

    // Loads the library (a loaded one is freed first); false on failure.
    bool Load(const std::string& fileName);
    void Free();
    bool Loaded() const { return handle_ != nullptr; }
    HMODULE Handle() const { return handle_; }
    const std::string& FileName() const { return fileName_; }
    // The entry point, or nullptr when the library lacks it.
    void* Symbol(const std::string& name) const { return GetProcAddress(handle_, name); }

private:
    HMODULE handle_ = nullptr;
    std::string fileName_;
};

}  // namespace tms::ora
