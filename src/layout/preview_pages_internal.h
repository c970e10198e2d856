// Helpers shared by the files of the prepared-page store.
#pragma once

#include "base/string.h"
#include "model/component.h"

#include <memory>

namespace vl {

class TvlxXMLItem;

namespace preview {

// Page elements whose content is a complete serialized page rather than stored differences.
bool IsCompletePageName(StringView name);
// A new object of `like`'s class, without parent or owner.
std::unique_ptr<TvlxComponent> CreateLike(const TvlxComponent& like);
// Copies the published properties of `source` into `target` (same class), children excluded.
void CopyProperties(TvlxComponent& target, const TvlxComponent& source);
// The complete attribute text of `obj`, followed by its differences from `source` when given.
String StoredAllDiff(TvlxComponent& obj, TvlxComponent* source);
// The attributes an object placed on a page is stored with: its differences from its source
// copy; outside the final pass only the component-level ones (position, size, visibility, font,
// tag), since only the final pass is exported.
String StoredDiff(TvlxComponent& obj, TvlxComponent& source, bool finalPass);
// The attribute "name" of `item` as a number; `fallback` when absent or no number.
double FloatAttribute(const TvlxXMLItem& item, StringView name, double fallback);
// A float as attribute text that the template reader reads back exactly.
String FloatText(double value);

} // namespace preview
} // namespace vl
