#pragma once
// The system registry as the client loader reads it: keys under
// HKEY_LOCAL_MACHINE named by paths such as "SOFTWARE\ORACLE\KEY_Ora92",
// their subkeys and their text values. This platform has no registry of its
// own, so the process reads one of three sources:
// - an in-memory registry that tests fill;
// - an ini file beside the program ("registry.ini"), one section per key
//   path ([SOFTWARE\ORACLE\KEY_Ora92]) with name=value lines;
// - an empty registry, the default when there is no such file.
// Key paths and value names are compared without regard to case.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tms::ora {

class TRegistrySource {
public:
    virtual ~TRegistrySource() = default;
    virtual bool KeyExists(const std::string& path) const = 0;
    // The names of the direct subkeys of a key, in their stored order.
    virtual std::vector<std::string> SubKeys(const std::string& path) const = 0;
    virtual bool ReadString(const std::string& path, const std::string& name, std::string& value) const = 0;
};

class TEmptyRegistry : public TRegistrySource {
public:
    bool KeyExists(const std::string&) const override { return false; }
    std::vector<std::string> SubKeys(const std::string&) const override { return {}; }
    bool ReadString(const std::string&, const std::string&, std::string&) const override { return false; }
};

class TMemoryRegistry : public TRegistrySource {
public:
    // Creates the key and every key above it.
    void AddKey(const std::string& path);
    void SetString(const std::string& path, const std::string& name, const std::string& value);
    void DeleteKey(const std::string& path);  // with its subkeys

    bool KeyExists(const std::string& path) const override;
    std::vector<std::string> SubKeys(const std::string& path) const override;
    bool ReadString(const std::string& path, const std::string& name, std::string& value) const override;

private:
    struct Key {
        std::string path;  // as first written
        std::vector<std::pair<std::string, std::string>> values;
    };
    mutable std::mutex lock_;
    std::vector<Key> keys_;  // in creation order
    Key* Find(const std::string& path);
    const Key* Find(const std::string& path) const;
};

class TIniRegistry : public TMemoryRegistry {
public:
    // Reads the file; a missing or unreadable file gives an empty registry.
    explicit TIniRegistry(const std::string& fileName);
};

// The registry the process reads. Until a caller sets one it is the ini
// file beside the program when there is one, else the empty registry.
std::shared_ptr<const TRegistrySource> Registry();
void SetRegistry(std::shared_ptr<const TRegistrySource> registry);  // nullptr: back to the default
std::string RegistryFileName();                                     // the fixed file beside the program

}  // namespace tms::ora
