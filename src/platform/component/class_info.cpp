// Class descriptions: property lookup by name and the unwrapping of property values.
#include "platform/component/class_info.h"

#include "base/exception.h"
#include "base/format.h"
#include "platform/component/class_builder.h"

namespace vl {

namespace component_detail {

void ThrowInvalidValue()
{
    throw EConvertError(u"Invalid property value");
}

} // namespace component_detail

size_t PropNameHash::operator()(StringView name) const
{
    size_t h = 14695981039346656037ull;
    for (char16_t c : name) {
        h ^= AsciiLower(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool PropNameEqual::operator()(StringView a, StringView b) const
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

StringView PropInfo::EnumName(int64_t ordinal) const
{
    if (ordinal < 0 || uint64_t(ordinal) >= EnumNames.size()) return {};
    return EnumNames[size_t(ordinal)];
}

int64_t PropInfo::EnumValue(StringView name) const
{
    for (size_t i = 0; i < EnumNames.size(); ++i)
        if (PropNameEqual()(EnumNames[i], name)) return int64_t(i);
    return -1;
}

int64_t PropOrdinal(const PropValue& value)
{
    if (const int64_t* n = std::get_if<int64_t>(&value)) return *n;
    component_detail::ThrowInvalidValue();
}

double PropFloat(const PropValue& value)
{
    if (const double* d = std::get_if<double>(&value)) return *d;
    if (const int64_t* n = std::get_if<int64_t>(&value)) return double(*n);
    component_detail::ThrowInvalidValue();
}

const String& PropString(const PropValue& value)
{
    if (const String* s = std::get_if<String>(&value)) return *s;
    component_detail::ThrowInvalidValue();
}

Persistent* PropObject(const PropValue& value)
{
    if (Persistent* const* p = std::get_if<Persistent*>(&value)) return *p;
    component_detail::ThrowInvalidValue();
}

Variant PropVariant(const PropValue& value)
{
    if (const Variant* v = std::get_if<Variant>(&value)) return *v;
    if (const String* s = std::get_if<String>(&value)) return Variant(*s);
    if (const int64_t* n = std::get_if<int64_t>(&value)) return Variant(*n);
    if (const double* d = std::get_if<double>(&value)) return Variant(*d);
    component_detail::ThrowInvalidValue();
}

ClassInfo::ClassInfo(StringView name,
                     const ClassInfo* parent,
                     Factory factory,
                     std::vector<PropInfo> props)
    : FName(name)
    , FParent(parent)
    , FFactory(factory)
    , FProps(std::move(props))
{
    FIndex.reserve(FProps.size());
    for (size_t i = 0; i < FProps.size(); ++i)
        FIndex.emplace(FProps[i].Name, i);
}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const
{
    for (const ClassInfo* c = this; c != nullptr; c = c->FParent)
        if (c == &other) return true;
    return false;
}

std::unique_ptr<Persistent> ClassInfo::Create() const
{
    if (FFactory == nullptr)
        throw Exception(Format(u"Cannot create an instance of the abstract class %s", {FName}));
    return FFactory();
}

const PropInfo* ClassInfo::FindProp(StringView name) const
{
    auto it = FIndex.find(name);
    return it == FIndex.end() ? nullptr : &FProps[it->second];
}

const ClassInfo& Persistent::StaticClass()
{
    static const ClassInfo info(u"TPersistent", nullptr, nullptr, {});
    return info;
}

bool Persistent::InheritsFrom(const ClassInfo& cls) const
{
    return ClassType().InheritsFrom(cls);
}

void Persistent::Assign(const Persistent& source)
{
    throw EConvertError(
        Format(u"Cannot assign a %s to a %s", {source.ClassType().Name(), ClassType().Name()}));
}

} // namespace vl
