// The typed builder that writes a class description in a few readable lines:
//
//   const ClassInfo& TvlxLineView::StaticClass()
//   {
//       static const ClassInfo info =
//           DescribeClass<TvlxLineView, TvlxCustomLineView>(u"TvlxLineView")
//               .Prop<&TvlxLineView::FDiagonal>(u"Diagonal", false)
//               .Prop<&TvlxLineView::ArrowEnd, &TvlxLineView::SetArrowEnd>(u"ArrowEnd", false)
//               .Prop<&TvlxLineView::FArrowWidth>(u"ArrowWidth", 5)
//               .StoredIf<&TvlxLineView::IsArrowWidthStored>()
//               .Build();
//       return info;
//   }
//
// Prop<member> reads and writes a data member; Prop<getter, setter> goes through accessors
// (Prop<getter> alone is read-only). The C++ type picks the kind (PropTraits below); a type with
// no kind fails to compile. Enumerations need a function `EnumNames(E)` found by argument-
// dependent lookup that gives one name per enumerator. Get and Set are captureless lambdas, so
// they are plain function pointers; private members work because the pointers are taken inside
// the class's own StaticClass.
#pragma once

#include "base/exception.h"
#include "platform/component/class_info.h"
#include "platform/component/component.h"
#include "platform/component/enum_set.h"
#include "platform/component/string_list.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace vl {

inline constexpr std::array<StringView, 2> BoolNames{u"False", u"True"};

namespace component_detail {

template <class>
inline constexpr bool AlwaysFalse = false;

[[noreturn]] void ThrowInvalidValue();

inline int64_t CheckedOrdinal(const PropValue& v, size_t count)
{
    int64_t n = PropOrdinal(v);
    if (n < 0 || uint64_t(n) >= count) ThrowInvalidValue();
    return n;
}

// Kind of an owned sub-object type.
template <class V>
constexpr PropKind ObjectKindOf()
{
    if constexpr (std::is_base_of_v<WideStringList, V>)
        return PropKind::WideStrings;
    else if constexpr (std::is_base_of_v<StringList, V>)
        return PropKind::Strings;
    else
        return PropKind::SubObject;
}

} // namespace component_detail

// How a C++ type maps to a property kind and to PropValue.
template <class V, class = void>
struct PropTraits
{
    static_assert(component_detail::AlwaysFalse<V>, "this type cannot be a published property");
};

template <>
struct PropTraits<bool>
{
    static constexpr PropKind Kind = PropKind::Enum;
    static std::span<const StringView> Names() { return BoolNames; }
    static PropValue ToValue(bool v) { return int64_t(v); }
    static bool From(const PropValue& v) { return component_detail::CheckedOrdinal(v, 2) != 0; }
    static int64_t DefaultOf(bool v) { return v; }
};

template <>
struct PropTraits<int32_t>
{
    static constexpr PropKind Kind = PropKind::Integer;
    static std::span<const StringView> Names() { return {}; }
    static PropValue ToValue(int32_t v) { return int64_t(v); }
    static int32_t From(const PropValue& v) { return int32_t(PropOrdinal(v)); }
    static int64_t DefaultOf(int64_t v) { return v; }
};

template <>
struct PropTraits<char16_t>
{
    static constexpr PropKind Kind = PropKind::WideChar;
    static std::span<const StringView> Names() { return {}; }
    static PropValue ToValue(char16_t v) { return int64_t(v); }
    static char16_t From(const PropValue& v) { return char16_t(PropOrdinal(v)); }
    static int64_t DefaultOf(char16_t v) { return v; }
};

template <class E>
struct PropTraits<E, std::enable_if_t<std::is_enum_v<E>>>
{
    static constexpr PropKind Kind = PropKind::Enum;
    static std::span<const StringView> Names() { return EnumNames(E{}); }
    static PropValue ToValue(E v) { return int64_t(v); }
    static E From(const PropValue& v)
    {
        return E(component_detail::CheckedOrdinal(v, Names().size()));
    }
    static int64_t DefaultOf(E v) { return int64_t(v); }
};

template <class E>
struct PropTraits<EnumSet<E>>
{
    static constexpr PropKind Kind = PropKind::Set;
    static std::span<const StringView> Names() { return EnumNames(E{}); }
    static PropValue ToValue(EnumSet<E> v) { return int64_t(v.Mask()); }
    static EnumSet<E> From(const PropValue& v)
    {
        int64_t n = PropOrdinal(v);
        uint64_t all = (uint64_t(1) << Names().size()) - 1;
        if (n < 0 || (uint64_t(n) & ~all) != 0) component_detail::ThrowInvalidValue();
        return EnumSet<E>::FromMask(uint32_t(n));
    }
    static int64_t DefaultOf(EnumSet<E> v) { return v.Mask(); }
};

template <>
struct PropTraits<double>
{
    static constexpr PropKind Kind = PropKind::Float;
    static std::span<const StringView> Names() { return {}; }
    static PropValue ToValue(double v) { return v; }
    static double From(const PropValue& v) { return PropFloat(v); }
};

template <>
struct PropTraits<String>
{
    static constexpr PropKind Kind = PropKind::Text;
    static std::span<const StringView> Names() { return {}; }
    static PropValue ToValue(const String& v) { return v; }
    static const String& From(const PropValue& v) { return PropString(v); }
};

template <>
struct PropTraits<Variant>
{
    static constexpr PropKind Kind = PropKind::VariantValue;
    static std::span<const StringView> Names() { return {}; }
    static PropValue ToValue(const Variant& v) { return v; }
    static Variant From(const PropValue& v) { return PropVariant(v); }
};

// A reference to a component: a ComponentLink member, or a pointer through accessors.
template <class C>
struct ComponentRefTraits
{
    static constexpr PropKind Kind = PropKind::ComponentRef;
    static std::span<const StringView> Names() { return {}; }
    static const ClassInfo& ObjectClass() { return C::StaticClass(); }
    static PropValue ToValue(const C* v) { return static_cast<Persistent*>(const_cast<C*>(v)); }
    static C* From(const PropValue& v)
    {
        Persistent* p = PropObject(v);
        if (p == nullptr) return nullptr;
        C* c = dynamic_cast<C*>(p);
        if (c == nullptr) component_detail::ThrowInvalidValue();
        return c;
    }
};

template <class C>
struct PropTraits<ComponentLink<C>> : ComponentRefTraits<C>
{
    static PropValue ToValue(const ComponentLink<C>& v)
    {
        return ComponentRefTraits<C>::ToValue(v.Get());
    }
};

template <class C>
struct PropTraits<C*, std::enable_if_t<std::is_base_of_v<Component, C>>> : ComponentRefTraits<C>
{
};

// An owned sub-object (font, frame, options, string list), by value.
template <class V>
struct PropTraits<V, std::enable_if_t<std::is_base_of_v<Persistent, V>>>
{
    static constexpr PropKind Kind = component_detail::ObjectKindOf<V>();
    static std::span<const StringView> Names() { return {}; }
    static const ClassInfo& ObjectClass() { return V::StaticClass(); }
    static PropValue ToValue(const V& v) { return static_cast<Persistent*>(const_cast<V*>(&v)); }
    static const V& From(const PropValue& v)
    {
        const V* p = dynamic_cast<const V*>(PropObject(v));
        if (p == nullptr) component_detail::ThrowInvalidValue();
        return *p;
    }
};

// An owned sub-object held through a unique_ptr (never null once constructed).
template <class V>
struct PropTraits<std::unique_ptr<V>> : PropTraits<V>
{
    static PropValue ToValue(const std::unique_ptr<V>& v)
    {
        return static_cast<Persistent*>(v.get());
    }
};

namespace component_detail {

// Stores a converted value into a data member of any supported type.
template <class V>
void Store(V& member, const PropValue& v)
{
    if constexpr (std::is_base_of_v<ComponentLinkBase, V>)
        member.Set(PropTraits<V>::From(v));
    else if constexpr (std::is_base_of_v<Persistent, V>)
        member.Assign(PropTraits<V>::From(v));
    else if constexpr (requires { typename V::element_type; })
        member->Assign(PropTraits<V>::From(v));
    else
        member = PropTraits<V>::From(v);
}

template <class M>
struct MemberType;
template <class C, class V>
struct MemberType<V C::*>
{
    using Type = V;
};

template <class G>
struct GetterType;
template <class C, class R>
struct GetterType<R (C::*)() const>
{
    using Type = std::remove_cvref_t<R>;
};

} // namespace component_detail

template <class T, class Base>
class ClassBuilder
{
public:
    explicit ClassBuilder(StringView name)
        : FName(name)
    {}

    // Prop<&T::FMember>(name[, default]) or Prop<&T::Getter, &T::Setter>(name[, default]).
    template <auto A, auto B = nullptr>
    ClassBuilder& Prop(StringView name)
    {
        FProps.push_back(MakeProp<A, B>(name));
        return *this;
    }
    template <auto A, auto B = nullptr, class D>
    ClassBuilder& Prop(StringView name, D def)
    {
        PropInfo info = MakeProp<A, B>(name);
        using V = typename decltype(ValueTypeOf<A>())::type;
        static_assert(IsOrdinalKind(PropTraits<V>::Kind), "only ordinals declare a default");
        info.Default = PropTraits<V>::DefaultOf(def);
        FProps.push_back(info);
        return *this;
    }
    // The stored condition of the property added last: a const member function giving bool.
    template <auto Fn>
    ClassBuilder& StoredIf()
    {
        Expects(!FProps.empty(), "StoredIf follows a Prop");
        FProps.back().Stored = [](const Persistent& o) { return (static_cast<const T&>(o).*Fn)(); };
        return *this;
    }
    // The property added last is never stored (computed or written by other means).
    ClassBuilder& NotStored()
    {
        Expects(!FProps.empty(), "NotStored follows a Prop");
        FProps.back().Stored = [](const Persistent&) { return false; };
        return *this;
    }
    // A base class property with a different declared default in this class.
    template <class D>
    ClassBuilder& Redeclare(StringView name, D def)
    {
        FRedeclared.push_back({name, int64_t(def)});
        return *this;
    }

    ClassInfo Build()
    {
        std::vector<PropInfo> props;
        const ClassInfo* parent = nullptr;
        if constexpr (!std::is_void_v<Base>) {
            static_assert(std::is_base_of_v<Base, T>);
            parent = &Base::StaticClass();
            props.assign(parent->Props().begin(), parent->Props().end());
        }
        for (const PropInfo& own : FProps) {
            PropInfo* same = Find(props, own.Name);
            if (same != nullptr)
                *same = own; // republished with new accessors: keeps the base position
            else
                props.push_back(own);
        }
        for (const auto& [name, def] : FRedeclared) {
            PropInfo* p = Find(props, name);
            Expects(p != nullptr, "Redeclare names a base property");
            p->Default = def;
        }
        ClassInfo::Factory factory = nullptr;
        if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
            factory = []() -> std::unique_ptr<Persistent> { return std::make_unique<T>(); };
        return ClassInfo(FName, parent, factory, std::move(props));
    }

private:
    template <class V>
    struct TypeTag
    {
        using type = V;
    };

    template <auto A>
    static constexpr auto ValueTypeOf()
    {
        if constexpr (std::is_member_object_pointer_v<decltype(A)>)
            return TypeTag<typename component_detail::MemberType<decltype(A)>::Type>{};
        else
            return TypeTag<typename component_detail::GetterType<decltype(A)>::Type>{};
    }

    template <auto A, auto B>
    static PropInfo MakeProp(StringView name)
    {
        using V = typename decltype(ValueTypeOf<A>())::type;
        using Tr = PropTraits<V>;
        PropInfo info;
        info.Name = name;
        info.Kind = Tr::Kind;
        info.EnumNames = Tr::Names();
        if constexpr (IsObjectKind(Tr::Kind)) info.ObjectClass = &Tr::ObjectClass;
        if constexpr (std::is_member_object_pointer_v<decltype(A)>) {
            static_assert(std::is_same_v<decltype(B), std::nullptr_t>, "a member has no setter");
            info.Get = [](const Persistent& o) -> PropValue {
                return Tr::ToValue(static_cast<const T&>(o).*A);
            };
            info.Set = [](Persistent& o, const PropValue& v) {
                component_detail::Store(static_cast<T&>(o).*A, v);
            };
        } else {
            info.Get = [](const Persistent& o) -> PropValue {
                return Tr::ToValue((static_cast<const T&>(o).*A)());
            };
            if constexpr (!std::is_same_v<decltype(B), std::nullptr_t>)
                info.Set = [](Persistent& o, const PropValue& v) {
                    (static_cast<T&>(o).*B)(Tr::From(v));
                };
        }
        return info;
    }

    static PropInfo* Find(std::vector<PropInfo>& props, StringView name)
    {
        for (PropInfo& p : props)
            if (PropNameEqual()(p.Name, name)) return &p;
        return nullptr;
    }

    StringView FName;
    std::vector<PropInfo> FProps;
    std::vector<std::pair<StringView, int64_t>> FRedeclared;
};

template <class T, class Base>
ClassBuilder<T, Base> DescribeClass(StringView name)
{
    return ClassBuilder<T, Base>(name);
}

} // namespace vl
