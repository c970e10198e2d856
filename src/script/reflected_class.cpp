// The bridge from class descriptions to script class items.
#include "script/reflected_class.h"

#include "base/exception.h"
#include "platform/component/class_builder.h"

namespace vl {

namespace {

bool IsBooleanProp(const PropInfo& prop)
{
    return prop.Kind == PropKind::Enum && prop.EnumNames.data() == BoolNames.data();
}

[[noreturn]] void InvalidValue()
{
    throw EConvertError(u"Invalid property value");
}

int64_t SetMask(const Variant& value)
{
    if (!value.IsArray()) return value.ToInt64();
    // A set constructor: its members (and ranges, marked by Null) are member values to combine.
    int64_t mask = 0;
    for (const Variant& item : value.ArrayValue().Items)
        if (!item.IsNull()) mask |= item.ToInt64();
    return mask;
}

} // namespace

TsbVarType ScriptKindOf(const PropInfo& prop, String& typeName)
{
    using K = TsbVarType;
    switch (prop.Kind) {
    case PropKind::Integer:
    case PropKind::Set:
        typeName = u"Integer";
        return K::vtInt;
    case PropKind::Enum:
        if (IsBooleanProp(prop)) {
            typeName = u"Boolean";
            return K::vtBool;
        }
        typeName = u"Integer";
        return K::vtInt;
    case PropKind::Char:
    case PropKind::WideChar:
        typeName = u"Char";
        return K::vtChar;
    case PropKind::Float:
        typeName = u"Extended";
        return K::vtFloat;
    case PropKind::Text:
        typeName = u"String";
        return K::vtString;
    case PropKind::ComponentRef:
    case PropKind::Strings:
    case PropKind::WideStrings:
    case PropKind::SubObject:
        typeName = prop.ObjectClass ? String(prop.ObjectClass().Name()) : String(u"TPersistent");
        return K::vtClass;
    case PropKind::VariantValue:
    case PropKind::Ignored:
        break;
    }
    typeName = u"Variant";
    return K::vtVariant;
}

Variant PropToVariant(const PropInfo& prop, const PropValue& value)
{
    switch (prop.Kind) {
    case PropKind::Integer:
    case PropKind::Set:
        return VarFromInt(PropOrdinal(value));
    case PropKind::Enum:
        if (IsBooleanProp(prop)) return Variant(PropOrdinal(value) != 0);
        return VarFromInt(PropOrdinal(value));
    case PropKind::Char:
    case PropKind::WideChar:
        return Variant(String(1, static_cast<char16_t>(PropOrdinal(value))));
    case PropKind::Float:
        return Variant(PropFloat(value));
    case PropKind::Text:
        return Variant(PropString(value));
    case PropKind::VariantValue:
        return PropVariant(value);
    case PropKind::ComponentRef:
    case PropKind::Strings:
    case PropKind::WideStrings:
    case PropKind::SubObject:
        return Variant::FromObject(PropObject(value));
    case PropKind::Ignored:
        break;
    }
    return Variant::Null();
}

PropValue VariantToProp(const PropInfo& prop, const Variant& value)
{
    switch (prop.Kind) {
    case PropKind::Integer:
        return value.ToInt64();
    case PropKind::Set:
        return SetMask(value);
    case PropKind::Enum:
        if (IsBooleanProp(prop)) return int64_t(value.ToBool());
        if (value.IsString()) {
            const int64_t ordinal = prop.EnumValue(value.StringValue());
            if (ordinal < 0) InvalidValue();
            return ordinal;
        }
        return value.ToInt64();
    case PropKind::Char:
    case PropKind::WideChar:
        if (value.IsString()) {
            const String& text = value.StringValue();
            return int64_t(text.empty() ? 0 : text[0]);
        }
        return value.ToInt64();
    case PropKind::Float:
        return value.ToDouble();
    case PropKind::Text:
        return value.ToText();
    case PropKind::VariantValue:
        return value;
    case PropKind::ComponentRef:
    case PropKind::Strings:
    case PropKind::WideStrings:
    case PropKind::SubObject: {
        if (value.IsObject())
            return const_cast<Persistent*>(static_cast<const Persistent*>(value.ObjectValue()));
        // nil (the integer 0) and Null clear a reference.
        if (value.IsNull() || (value.IsInteger() && value.IntValue() == 0))
            return static_cast<Persistent*>(nullptr);
        InvalidValue();
    }
    case PropKind::Ignored:
        break;
    }
    InvalidValue();
}

Persistent& ScriptInstance(const TsbMethodCall& call, const ClassInfo& info)
{
    if (call.Instance == nullptr) throw Exception(u"Class type required");
    // Every script object is a Persistent (see the file comment of the header).
    auto* object = const_cast<Persistent*>(static_cast<const Persistent*>(call.Instance));
    if (!object->ClassType().InheritsFrom(info)) throw Exception(u"Invalid class typecast");
    return *object;
}

TsbReflectedClass::TsbReflectedClass(const ClassInfo& info)
    : TsbClassItem(info.Name(), info.Parent() ? info.Parent()->Name() : StringView())
    , FInfo(info)
{}

const TsbClassProperty* TsbReflectedClass::FindProperty(StringView name) const
{
    if (const TsbClassProperty* own = TsbClassItem::FindProperty(name)) return own;
    const PropInfo* prop = FInfo.FindProp(name);
    if (prop == nullptr || prop->Kind == PropKind::Ignored) return nullptr;
    auto& made = FMade[prop];
    if (made) return made.get();

    FBindings.push_back(std::make_unique<Binding>(Binding{prop, &FInfo}));
    made = std::make_unique<TsbClassProperty>();
    made->Name = String(prop->Name);
    made->Kind = ScriptKindOf(*prop, made->TypeName);
    made->Context = FBindings.back().get();
    made->Get = [](TsbMethodCall& call) {
        const auto& b = *static_cast<const Binding*>(call.Context);
        return PropToVariant(*b.Prop, b.Prop->Get(ScriptInstance(call, *b.Class)));
    };
    if (!prop->IsReadOnly()) {
        made->Set = [](TsbMethodCall& call) {
            const auto& b = *static_cast<const Binding*>(call.Context);
            Persistent& object = ScriptInstance(call, *b.Class);
            b.Prop->Set(object, VariantToProp(*b.Prop, call.Args.back()));
            return Variant::Null();
        };
    }
    return made.get();
}

TsbReflectedClass& AddReflectedClass(TsbScript& script, const ClassInfo& info)
{
    if (auto* existing = dynamic_cast<TsbReflectedClass*>(script.FindLocal(info.Name())))
        if (&existing->Info() == &info) return *existing;
    auto item = std::make_unique<TsbReflectedClass>(info);
    return static_cast<TsbReflectedClass&>(script.Add(std::move(item)));
}

} // namespace vl
