// Non-visual report objects (dataset adapters and the like): they take no part in output and
// sit on the report's data page at a designer position, which is all they publish of geometry.
#pragma once

#include "model/component.h"

namespace vl {

class TvlxDialogComponent : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

} // namespace vl
