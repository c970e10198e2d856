// The classes of the object model that templates can name, registered at start-up.
#pragma once

namespace vl {

class ClassRegistry;

// Registers the model's classes in their fixed order; registering twice changes nothing.
void RegisterModelClasses(ClassRegistry& registry);

} // namespace vl
