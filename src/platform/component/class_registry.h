// The process-wide map from class names to class descriptions, through which the template
// reader creates objects from element names. Each subsystem registers its classes explicitly at
// start-up (RegisterModelClasses and the like); there are no global constructors.
#pragma once

#include "platform/component/class_info.h"
#include "platform/unicode/text_case.h"

#include <unordered_map>
#include <vector>

namespace vl {

class ClassRegistry
{
public:
    // The registry of the process.
    static ClassRegistry& Global();

    // Registers `cls` under its name; registering the same description again does nothing, and a
    // different class under a taken name replaces it (a later unit overrides an earlier one).
    void Register(const ClassInfo& cls);
    // The class named `name` (without case), or nullptr.
    const ClassInfo* Find(StringView name) const;
    // Classes in registration order.
    const std::vector<const ClassInfo*>& Classes() const { return FOrder; }

private:
    std::unordered_map<StringView, const ClassInfo*, TextHash, TextEqual> FByName;
    std::vector<const ClassInfo*> FOrder;
};

} // namespace vl
