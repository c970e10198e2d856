// Registration of the view classes.
#include "model/view_classes.h"

#include "model/frame.h"
#include "model/highlight.h"
#include "model/line_view.h"
#include "model/memo_view.h"
#include "model/picture_view.h"
#include "model/shape_view.h"
#include "model/styles.h"

namespace vl {

void RegisterViewClasses(ClassRegistry& registry)
{
    registry.Register(TvlxCustomMemoView::StaticClass());
    registry.Register(TvlxFrame::StaticClass());
    registry.Register(TvlxHighlight::StaticClass());
    registry.Register(TvlxLineView::StaticClass());
    registry.Register(TvlxMemoView::StaticClass());
    registry.Register(TvlxPictureView::StaticClass());
    registry.Register(TvlxShapeView::StaticClass());
    registry.Register(TvlxSysMemoView::StaticClass());
    registry.Register(TvlxStyleItem::StaticClass());
    registry.Register(TvlxCustomLineView::StaticClass());
}

} // namespace vl
