// Named components and the references between them: the container that report objects, data
// modules and dataset adapters live in.
//
// Contract:
// - A component's owner is its naming scope: the owner finds its components by name (without
//   case, through a hash index) and refuses two components of one name. Ownership of memory is
//   separate: whoever holds the std::unique_ptr owns the component (a report object's tree
//   parent; the owner itself for components handed over with InsertOwned).
// - References to components elsewhere are ComponentLink<T> values. When a component is
//   destroyed every link that points at it becomes empty (free notification), so no reference
//   ever dangles. Attaching and detaching a link is O(1) (an intrusive list per target).
// - An owner that goes first releases its remaining components from its scope; they live on
//   without an owner.
#pragma once

#include "platform/component/class_info.h"
#include "platform/unicode/text_case.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vl {

class Component;

// The untyped part of ComponentLink: a node in its target's list of links.
class ComponentLinkBase
{
public:
    ComponentLinkBase() = default;
    ComponentLinkBase(const ComponentLinkBase&) = delete;
    ComponentLinkBase& operator=(const ComponentLinkBase&) = delete;
    ~ComponentLinkBase() { Detach(); }

    Component* Target() const { return FTarget; }

protected:
    void Attach(Component* target);
    void Detach();

private:
    friend class Component;
    Component* FTarget = nullptr;
    ComponentLinkBase* FPrev = nullptr;
    ComponentLinkBase* FNext = nullptr;
};

// A reference to a component that empties itself when the component is destroyed.
template <class T>
class ComponentLink : public ComponentLinkBase
{
public:
    using Type = T;

    ComponentLink() = default;
    ComponentLink(T* target) { Attach(target); }
    ComponentLink(const ComponentLink& other)
        : ComponentLinkBase()
    {
        Attach(other.Get());
    }
    ComponentLink& operator=(const ComponentLink& other)
    {
        Set(other.Get());
        return *this;
    }
    ComponentLink& operator=(T* target)
    {
        Set(target);
        return *this;
    }

    T* Get() const { return static_cast<T*>(Target()); }
    void Set(T* target)
    {
        if (target == Get()) return;
        Detach();
        Attach(target);
    }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Target() != nullptr; }
};

class Component : public Persistent
{
public:
    Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    ~Component() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    const String& Name() const { return FName; }
    // Renames the component. Throws Exception ("A component named %s already exists") when the
    // owner has another component of that name (without case).
    virtual void SetName(const String& name);
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t tag) { FTag = tag; }

    Component* Owner() const { return FOwner; }
    // Adds `component` to this scope (removing it from its previous owner's). Throws like SetName
    // when its name is taken here.
    void InsertComponent(Component* component);
    void RemoveComponent(Component* component);
    // Takes the memory of `component` as well; it is destroyed with this owner (even when it
    // has moved to another scope meanwhile).
    Component* InsertOwned(std::unique_ptr<Component> component);
    // The component of this scope named `name` (without case), or nullptr.
    Component* FindComponent(StringView name) const;
    // The components of this scope in the order they joined it.
    std::vector<Component*> Components() const;
    size_t ComponentCount() const { return FSlots.size() - FSlotHoles; }

    // Load-time state: set by the template reader while it applies attributes.
    bool IsLoading() const { return FLoading; }
    void SetLoading(bool loading) { FLoading = loading; }
    // Called once the reader has resolved every reference of a load.
    virtual void Loaded() { FLoading = false; }

private:
    friend class ComponentLinkBase;
    void IndexName(Component* component);
    void UnindexName(Component* component);
    void CompactSlots();

    String FName;
    int32_t FTag = 0;
    bool FLoading = false;
    Component* FOwner = nullptr;
    size_t FOwnerSlot = 0;          // index in FOwner->FSlots
    std::vector<Component*> FSlots; // scope members in joining order; nullptr = left
    size_t FSlotHoles = 0;          // nullptr entries in FSlots
    std::unordered_map<String, Component*, TextHash, TextEqual> FNames; // non-empty names
    std::vector<std::unique_ptr<Component>> FOwned;
    ComponentLinkBase* FLinks = nullptr; // links that point at this component
};

} // namespace vl
