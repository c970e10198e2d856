// The process-wide class registry.
#include "platform/component/class_registry.h"

#include <algorithm>

namespace vl {

ClassRegistry& ClassRegistry::Global()
{
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::Register(const ClassInfo& cls)
{
    auto [it, added] = FByName.try_emplace(cls.Name(), &cls);
    if (!added) {
        if (it->second == &cls) return;
        std::replace(FOrder.begin(), FOrder.end(), it->second, &cls);
        it->second = &cls;
        return;
    }
    FOrder.push_back(&cls);
}

const ClassInfo* ClassRegistry::Find(StringView name) const
{
    auto it = FByName.find(name);
    return it == FByName.end() ? nullptr : it->second;
}

} // namespace vl
