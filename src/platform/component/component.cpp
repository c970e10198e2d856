// Named components, their naming scopes and free notification.
#include "platform/component/component.h"

#include "base/exception.h"
#include "base/format.h"
#include "platform/component/class_builder.h"

namespace vl {

void ComponentLinkBase::Attach(Component* target)
{
    FTarget = target;
    if (target == nullptr) return;
    FPrev = nullptr;
    FNext = target->FLinks;
    if (FNext != nullptr) FNext->FPrev = this;
    target->FLinks = this;
}

void ComponentLinkBase::Detach()
{
    if (FTarget == nullptr) return;
    if (FPrev != nullptr)
        FPrev->FNext = FNext;
    else
        FTarget->FLinks = FNext;
    if (FNext != nullptr) FNext->FPrev = FPrev;
    FTarget = nullptr;
    FPrev = FNext = nullptr;
}

const ClassInfo& Component::StaticClass()
{
    // Name is written by the serializer as the object's own first attribute, never as a
    // published property.
    static const ClassInfo info = DescribeClass<Component, Persistent>(u"TComponent")
                                      .Prop<&Component::Name, &Component::SetName>(u"Name")
                                      .NotStored()
                                      .Prop<&Component::FTag>(u"Tag", 0)
                                      .Build();
    return info;
}

Component::~Component()
{
    // Free notification: every reference to this component becomes empty.
    while (FLinks != nullptr)
        FLinks->Detach();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
    // Members whose memory is elsewhere leave the scope; owned ones go with it.
    for (Component* c : FSlots)
        if (c != nullptr) c->FOwner = nullptr;
    FSlots.clear();
    FNames.clear();
    FOwned.clear();
}

void Component::SetName(const String& name)
{
    if (name == FName) return;
    if (FOwner != nullptr && !name.empty()) {
        Component* other = FOwner->FindComponent(name);
        if (other != nullptr && other != this)
            throw Exception(Format(u"A component named %s already exists", {name}));
    }
    if (FOwner != nullptr) FOwner->UnindexName(this);
    FName = name;
    if (FOwner != nullptr) FOwner->IndexName(this);
}

void Component::InsertComponent(Component* component)
{
    Expects(component != nullptr && component != this, "InsertComponent of another component");
    if (component->FOwner == this) return;
    if (!component->FName.empty() && FindComponent(component->FName) != nullptr)
        throw Exception(Format(u"A component named %s already exists", {component->FName}));
    if (component->FOwner != nullptr) component->FOwner->RemoveComponent(component);
    component->FOwner = this;
    component->FOwnerSlot = FSlots.size();
    FSlots.push_back(component);
    IndexName(component);
}

void Component::RemoveComponent(Component* component)
{
    if (component == nullptr || component->FOwner != this) return;
    UnindexName(component);
    FSlots[component->FOwnerSlot] = nullptr;
    ++FSlotHoles;
    component->FOwner = nullptr;
    if (FSlotHoles > 16 && FSlotHoles * 2 > FSlots.size()) CompactSlots();
}

Component* Component::InsertOwned(std::unique_ptr<Component> component)
{
    Component* c = component.get();
    InsertComponent(c);
    FOwned.push_back(std::move(component));
    return c;
}

Component* Component::FindComponent(StringView name) const
{
    if (name.empty()) return nullptr;
    auto it = FNames.find(name);
    return it == FNames.end() ? nullptr : it->second;
}

std::vector<Component*> Component::Components() const
{
    std::vector<Component*> list;
    list.reserve(ComponentCount());
    for (Component* c : FSlots)
        if (c != nullptr) list.push_back(c);
    return list;
}

void Component::IndexName(Component* component)
{
    if (!component->FName.empty()) FNames.emplace(component->FName, component);
}

void Component::UnindexName(Component* component)
{
    auto it = FNames.find(component->FName);
    if (it != FNames.end() && it->second == component) FNames.erase(it);
}

void Component::CompactSlots()
{
    size_t out = 0;
    for (Component* c : FSlots) {
        if (c == nullptr) continue;
        c->FOwnerSlot = out;
        FSlots[out++] = c;
    }
    FSlots.resize(out);
    FSlotHoles = 0;
}

} // namespace vl
