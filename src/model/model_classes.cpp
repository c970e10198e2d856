// The object model's class registrations, in the order of its start-up.
#include "model/model_classes.h"

#include "model/report.h"
#include "platform/component/class_registry.h"

namespace vl {

void RegisterModelClasses(ClassRegistry& registry)
{
    registry.Register(TvlxReport::StaticClass());
}

} // namespace vl
