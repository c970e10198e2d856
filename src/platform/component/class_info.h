// Run-time description of the classes that templates can name: per class its name, base class,
// factory and published properties. The template serializer, Diff and the script engine see
// objects only through these descriptions.
//
// Contract:
// - A class description is built once (a function-local static, see class_builder.h) and lives
//   for the whole process; PropInfo and ClassInfo pointers stay valid forever.
// - Props() lists the base class's properties first, then the class's own in declaration order.
//   FindProp matches names without regard to case through a hash index, so setting a property by
//   name costs one hash lookup, never a scan of names.
// - Get and Set are plain function pointers. Ordinal kinds (Integer, Char, WideChar, Enum, Set)
//   travel as int64_t, Float as double, Text as String, VariantValue as Variant, and object kinds
//   (ComponentRef, Strings, WideStrings, SubObject) as Persistent*. Get of an owned sub-object
//   gives the sub-object itself, mutable, so that a caller holding the owner can walk dotted
//   paths ("Font.Name"). Set throws EConvertError for a value the property cannot take (an
//   ordinal outside the enumeration, an object of the wrong class) and stores nothing then.
#pragma once

#include "base/string.h"
#include "base/variant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <variant>
#include <vector>

namespace vl {

class ClassInfo;

// Root of every object that has published properties.
class Persistent
{
public:
    Persistent() = default;
    Persistent(const Persistent&) = default;
    Persistent& operator=(const Persistent&) = default;
    virtual ~Persistent() = default;

    static const ClassInfo& StaticClass();
    virtual const ClassInfo& ClassType() const { return StaticClass(); }

    bool InheritsFrom(const ClassInfo& cls) const;

    // Copies the published state of `source`. The base refuses with EConvertError
    // ("Cannot assign a X to a Y"); classes that support copying override it.
    virtual void Assign(const Persistent& source);
};

enum class PropKind
{
    Integer,      // int32_t
    Char,         // 8-bit character, by its code
    WideChar,     // char16_t, by its code
    Enum,         // an enumeration (Boolean included), by ordinal
    Set,          // EnumSet<E>, by bit mask
    Float,        // double
    Text,         // String
    VariantValue, // Variant
    ComponentRef, // a reference to a Component elsewhere, cleared when its target goes
    Strings,      // an owned string list (StringList)
    WideStrings,  // an owned wide string list (WideStringList)
    SubObject,    // an owned sub-object with properties of its own (font, frame, options)
    Ignored       // published for completeness (events of a host program); never read or written
};

// True for the kinds whose values travel as int64_t.
constexpr bool IsOrdinalKind(PropKind kind)
{
    return kind == PropKind::Integer || kind == PropKind::Char || kind == PropKind::WideChar ||
           kind == PropKind::Enum || kind == PropKind::Set;
}
// True for the kinds whose values travel as Persistent*.
constexpr bool IsObjectKind(PropKind kind)
{
    return kind == PropKind::ComponentRef || kind == PropKind::Strings ||
           kind == PropKind::WideStrings || kind == PropKind::SubObject;
}

using PropValue = std::variant<int64_t, double, String, Variant, Persistent*>;

struct PropInfo
{
    StringView Name;
    PropKind Kind = PropKind::Ignored;
    std::span<const StringView> EnumNames; // Enum and Set kinds: names by ordinal
    std::optional<int64_t> Default;        // declared default of an ordinal; none: always written
    PropValue (*Get)(const Persistent&) = nullptr;
    void (*Set)(Persistent&, const PropValue&) = nullptr; // nullptr: read-only
    bool (*Stored)(const Persistent&) = nullptr;          // nullptr: always stored
    // Object kinds: the declared class of the value (scripts resolve members through it).
    const ClassInfo& (*ObjectClass)() = nullptr;

    bool IsReadOnly() const { return Set == nullptr; }
    bool IsStored(const Persistent& obj) const { return Stored == nullptr || Stored(obj); }
    // The enumerator name of `ordinal`, or empty when out of range.
    StringView EnumName(int64_t ordinal) const;
    // The ordinal of `name` (compared without case), or -1.
    int64_t EnumValue(StringView name) const;
};

// Unwrapping a PropValue of the expected alternative; a wrong one throws EConvertError
// ("Invalid property value").
int64_t PropOrdinal(const PropValue& value);
double PropFloat(const PropValue& value);
const String& PropString(const PropValue& value);
Persistent* PropObject(const PropValue& value);
Variant PropVariant(const PropValue& value);

// Property names are identifiers: they match with ASCII case folding, which keeps the index fast.
struct PropNameHash
{
    size_t operator()(StringView name) const;
};
struct PropNameEqual
{
    bool operator()(StringView a, StringView b) const;
};

class ClassInfo
{
public:
    using Factory = std::unique_ptr<Persistent> (*)();

    ClassInfo(StringView name,
              const ClassInfo* parent,
              Factory factory,
              std::vector<PropInfo> props);
    ClassInfo(const ClassInfo&) = delete;
    ClassInfo& operator=(const ClassInfo&) = delete;

    StringView Name() const { return FName; }
    const ClassInfo* Parent() const { return FParent; }
    bool InheritsFrom(const ClassInfo& other) const;

    // nullptr for abstract classes.
    Factory Creator() const { return FFactory; }
    std::unique_ptr<Persistent> Create() const;

    std::span<const PropInfo> Props() const { return FProps; }
    const PropInfo* FindProp(StringView name) const;

private:
    StringView FName;
    const ClassInfo* FParent;
    Factory FFactory;
    std::vector<PropInfo> FProps;
    std::unordered_map<StringView, size_t, PropNameHash, PropNameEqual> FIndex;
};

} // namespace vl
