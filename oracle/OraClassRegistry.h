#pragma once
// Root object and class registry

#include <string_view>
#include <vector>

namespace tms::ora {

class TObject;

// A class reference: its name, its parent and (for registered classes) a
// constructor that makes a new object of the class.
struct TClassDesc {
    const char* Name;
    const TClassDesc* Parent;
    TObject* (*Create)();
    bool InheritsFrom(const TClassDesc* other) const;
};

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassDesc* StaticClass();
    virtual const TClassDesc* ClassType() const { return StaticClass(); }
    const char* ClassName() const { return ClassType()->Name; }
};

// Declares the class reference of a class (inside its body). The matching
// definition is ORA_DEFINE_CLASS in the source file.
#define ORA_DECLARE_CLASS(Self)                         \
public:                                                 \
    static const ::tms::ora::TClassDesc* StaticClass(); \
    const ::tms::ora::TClassDesc* ClassType() const override { return StaticClass(); }

#define ORA_DEFINE_CLASS(Self, Parent, Creator)                                          \
    const ::tms::ora::TClassDesc* Self::StaticClass() {                                  \
        static const ::tms::ora::TClassDesc desc{#Self, Parent::StaticClass(), Creator}; \
        return &desc;                                                                    \
    }

// The process-wide registry of classes that can be found by name. Registering
// the same class again changes nothing; another class under a taken name is
// refused.
void RegisterClass(const TClassDesc* cls);
void UnRegisterClass(const TClassDesc* cls);
const TClassDesc* GetClass(std::string_view name);   // nullptr when absent
const TClassDesc* FindClass(std::string_view name);  // EClassRegistryError when absent
std::vector<const TClassDesc*> RegisteredClasses();  // in registration order

}  // namespace tms::ora
