// The class description of the engine seam (scripts see the engine through it).
#include "model/custom_engine.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxCustomEngine::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxCustomEngine, Persistent>(u"TvlxCustomEngine").Build();
    return info;
}

} // namespace vl
