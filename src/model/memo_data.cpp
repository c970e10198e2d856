// The text of a text view for one output. Expanding bracketed expressions, data fields, the
// highlight, suppression of repeated values and flowing into FlowTo belong here; until they are
// built a view prints its template text as it is.
#include "model/memo_view.h"

namespace vl {

void TvlxCustomMemoView::GetMemoData() {}

} // namespace vl
