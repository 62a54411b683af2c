#include "oracle/OraClassRegistry.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "oracle/OraException.h"
#include "oracle/OraText.h"

namespace tms::ora {

const TClassDesc* TObject::StaticClass() {
    static const TClassDesc desc{"TObject", nullptr, nullptr};
    return &desc;
}

bool TClassDesc::InheritsFrom(const TClassDesc* other) const {
    for (const TClassDesc* c = this; c; c = c->Parent)
        if (c == other) return true;
    return false;
}

namespace {
std::mutex gRegistryLock;
std::vector<const TClassDesc*>& Registry() {
    static std::vector<const TClassDesc*> list;
    return list;
}
}  // namespace

void RegisterClass(const TClassDesc* cls) {
    ORA_ASSERT(cls != nullptr, "OraPlatform", "cls = nil");
    std::lock_guard<std::mutex> g(gRegistryLock);
    for (const TClassDesc* c : Registry()) {
        if (SameText(c->Name, cls->Name)) {
            if (c == cls) return;
            throw EClassRegistryError(std::string("A class named ") + cls->Name + " is already registered");
        }
    }
    Registry().push_back(cls);
}

void UnRegisterClass(const TClassDesc* cls) {
    std::lock_guard<std::mutex> g(gRegistryLock);
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), cls), r.end());
}

const TClassDesc* GetClass(std::string_view name) {
    std::lock_guard<std::mutex> g(gRegistryLock);
    for (const TClassDesc* c : Registry())
        if (SameText(c->Name, name)) return c;
    return nullptr;
}

const TClassDesc* FindClass(std::string_view name) {
    const TClassDesc* c = GetClass(name);
    if (!c) throw EClassRegistryError("Class " + std::string(name) + " is not registered");
    return c;
}

std::vector<const TClassDesc*> RegisteredClasses() {
    std::lock_guard<std::mutex> g(gRegistryLock);
    return Registry();
}

}  // namespace tms::ora
