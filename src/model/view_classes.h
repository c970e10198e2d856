// Registration of the view classes (and their sub-objects) in the class registry, so templates
// can name them.
#pragma once

#include "platform/component/class_registry.h"

namespace vl {

// Registers, in the object model's order: TvlxCustomMemoView, TvlxFrame, TvlxHighlight,
// TvlxLineView, TvlxMemoView, TvlxPictureView, TvlxShapeView, TvlxSysMemoView, TvlxStyleItem,
// TvlxCustomLineView.
void RegisterViewClasses(ClassRegistry& registry);

} // namespace vl
