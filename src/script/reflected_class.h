// Script classes answered from component reflection: one general bridge from a class description
// (ClassInfo / PropInfo) to the script's class items, so that every published property of a
// report class is readable and writable from scripts without a hand-written accessor.
//
// Contract:
// - Every object a script holding reflected classes can reach is a Persistent (report objects,
//   their sub-objects and lists, the engine and outline facades). Members check at run time that
//   their instance belongs to their class; a type cast in a script therefore ends in
//   "Invalid class typecast", never in a wrong memory access.
// - Members added by hand (AddProperty, AddMethod on the item) are found before the reflected
//   ones; the reflected ones cover the class's published properties, base classes' included.
// - Value mapping: integers, enumerations and sets as Integer (Boolean properties as Boolean;
//   an enumeration also takes its value name as text, a set also takes an array of member
//   values, as a set constructor gives), characters as one-character strings, floats as
//   Extended, texts as String, objects as object references of the property's declared class.
#pragma once

#include "platform/component/class_info.h"
#include "script/script.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace vl {

class TsbReflectedClass : public TsbClassItem
{
public:
    explicit TsbReflectedClass(const ClassInfo& info);

    const ClassInfo& Info() const { return FInfo; }
    const TsbClassProperty* FindProperty(StringView name) const override;

private:
    struct Binding
    {
        const PropInfo* Prop;
        const ClassInfo* Class;
    };

    const ClassInfo& FInfo;
    // Script properties made on first use, one per published property.
    mutable std::unordered_map<const PropInfo*, std::unique_ptr<TsbClassProperty>> FMade;
    mutable std::vector<std::unique_ptr<Binding>> FBindings;
};

// Adds the class item of `info` (its parent named after the base class) unless the script
// already has a reflected class of that name; returns the item.
TsbReflectedClass& AddReflectedClass(TsbScript& script, const ClassInfo& info);

// The instance of a member call as an object of class `info` or a descendant. Throws Exception:
// "Class type required" for nil, "Invalid class typecast" for an object of another class.
Persistent& ScriptInstance(const TsbMethodCall& call, const ClassInfo& info);

template <class T>
T& ScriptInstance(const TsbMethodCall& call)
{
    return static_cast<T&>(ScriptInstance(call, T::StaticClass()));
}

// The static kind and type name a property has in scripts.
TsbVarType ScriptKindOf(const PropInfo& prop, String& typeName);
// Property value <-> script value (see the file comment). VariantToProp throws EConvertError
// ("Invalid property value") for a value the property cannot take.
Variant PropToVariant(const PropInfo& prop, const PropValue& value);
PropValue VariantToProp(const PropInfo& prop, const Variant& value);

} // namespace vl
