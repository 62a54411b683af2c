#include "oracle/OraRegistry.h"

#include <fstream>

#include "oracle/OraEnvironment.h"
#include "oracle/OraLibrary.h"
#include "oracle/OraText.h"

namespace tms::ora {

namespace {
std::string Normal(const std::string& path) {
    std::string p = UpperCase(path);
    while (!p.empty() && p.back() == '\\') p.pop_back();
    while (!p.empty() && p.front() == '\\') p.erase(0, 1);
    return p;
}
}  // namespace

TMemoryRegistry::Key* TMemoryRegistry::Find(const std::string& path) {
    const std::string n = Normal(path);
    for (Key& k : keys_)
        if (Normal(k.path) == n) return &k;
    return nullptr;
}

const TMemoryRegistry::Key* TMemoryRegistry::Find(const std::string& path) const {
    return const_cast<TMemoryRegistry*>(this)->Find(path);
}

void TMemoryRegistry::AddKey(const std::string& path) {
    std::lock_guard<std::mutex> g(lock_);
    std::string p = path;
    while (!p.empty() && p.back() == '\\') p.pop_back();
    // every key above it first, so subkeys are found level by level
    for (size_t at = p.find('\\'); at != std::string::npos; at = p.find('\\', at + 1))
        if (!Find(p.substr(0, at))) keys_.push_back({p.substr(0, at), {}});
    if (!p.empty() && !Find(p)) keys_.push_back({p, {}});
}

void TMemoryRegistry::SetString(const std::string& path, const std::string& name, const std::string& value) {
    AddKey(path);
    std::lock_guard<std::mutex> g(lock_);
    Key* k = Find(path);
    for (auto& v : k->values)
        if (SameText(v.first, name)) {
            v.second = value;
            return;
        }
    k->values.emplace_back(name, value);
}

void TMemoryRegistry::DeleteKey(const std::string& path) {
    std::lock_guard<std::mutex> g(lock_);
    const std::string n = Normal(path);
    std::erase_if(keys_, [&](const Key& k) {
        std::string kn = Normal(k.path);
        return kn == n || kn.rfind(n + "\\", 0) == 0;
    });
}

bool TMemoryRegistry::KeyExists(const std::string& path) const {
    std::lock_guard<std::mutex> g(lock_);
    return Find(path) != nullptr;
}

std::vector<std::string> TMemoryRegistry::SubKeys(const std::string& path) const {
    std::lock_guard<std::mutex> g(lock_);
    const std::string prefix = Normal(path) + "\\";
    std::vector<std::string> out;
    for (const Key& k : keys_) {
        std::string kn = Normal(k.path);
        if (kn.size() <= prefix.size() || kn.compare(0, prefix.size(), prefix) != 0) continue;
        if (kn.find('\\', prefix.size()) != std::string::npos) continue;  // deeper
        std::string shown = k.path;
        while (!shown.empty() && shown.back() == '\\') shown.pop_back();
        out.push_back(shown.substr(shown.rfind('\\') + 1));
    }
    return out;
}

bool TMemoryRegistry::ReadString(const std::string& path, const std::string& name, std::string& value) const {
    std::lock_guard<std::mutex> g(lock_);
    const Key* k = Find(path);
    if (!k) return false;
    for (const auto& v : k->values)
        if (SameText(v.first, name)) {
            value = v.second;
            return true;
        }
    return false;
}

TIniRegistry::TIniRegistry(const std::string& fileName) {
    std::ifstream in(fileName);
    std::string line, section;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[' && t.back() == ']') {
            section = Trim(t.substr(1, t.size() - 2));
            if (!section.empty()) AddKey(section);
            continue;
        }
        size_t eq = t.find('=');
        if (section.empty() || eq == std::string::npos) continue;
        SetString(section, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
    }
}

namespace {
std::mutex gRegistryLock;
std::shared_ptr<const TRegistrySource> gRegistry;
}  // namespace

std::string RegistryFileName() { return JoinPath(ProgramFolder(), "registry.ini"); }

std::shared_ptr<const TRegistrySource> Registry() {
    std::lock_guard<std::mutex> g(gRegistryLock);
    if (!gRegistry) {
        const std::string file = RegistryFileName();
        if (FileExists(file))
            gRegistry = std::make_shared<TIniRegistry>(file);
        else
            gRegistry = std::make_shared<TEmptyRegistry>();
    }
    return gRegistry;
}

void SetRegistry(std::shared_ptr<const TRegistrySource> registry) {
    std::lock_guard<std::mutex> g(gRegistryLock);
    gRegistry = std::move(registry);
}

}  // namespace tms::ora
