// Building the shift tree of a band once per run and moving the objects down it after some of
// them grew (band preparation, band_prepare.cpp).
#include "engine/shift_tree.h"

#include "model/band_kinds.h"
#include "model/units.h"
#include "model/view.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace vl {

namespace {

bool Overlap(double start1, double end1, double start2, double end2)
{
    return start1 < end2 - CoordinateTolerance && start2 < end1 - CoordinateTolerance;
}

bool OverlapVertically(const TvlxRect& a, const TvlxRect& b)
{
    return Overlap(a.Top, a.Bottom, b.Top, b.Bottom);
}

// Objects are ordered by their top as the text "%9.2f" gives it, like the bands of a page: the
// text, not the number, decides, and tops that print alike keep their band order.
std::string TopKey(double top)
{
    char text[64];
    std::snprintf(text, sizeof text, "%9.2f", top);
    return text;
}

// The objects that take part: the design objects, without those the engine added for one output.
size_t OriginalObjectCount(const TvlxBand& band)
{
    if (band.FOriginalObjectsCount < 0) return band.ObjectCount();
    return std::min(band.ObjectCount(), static_cast<size_t>(band.FOriginalObjectsCount));
}

TvlxShiftMode ShiftModeOf(const TvlxReportComponent& obj)
{
    const auto* view = dynamic_cast<const TvlxView*>(&obj);
    return view != nullptr ? view->ShiftMode() : TvlxShiftMode::smAlways;
}

struct TreeNode
{
    TvlxReportComponent* Object; // nullptr for the root above every object
    TvlxRect Bounds;             // absolute
    std::vector<TvlxReportComponent*>* Children;
};

// True when an object between nodes i and j (in top order) lies vertically between them and
// overlaps the horizontal stretch they share: then it, not i, is the one j sits below.
bool SeparatedByAnother(const std::vector<TreeNode>& nodes, size_t i, size_t j)
{
    const TvlxRect& upper = nodes[i].Bounds;
    const TvlxRect& lower = nodes[j].Bounds;
    const double left = std::max(upper.Left, lower.Left);
    const double right = std::min(upper.Right, lower.Right);
    for (size_t k = j - 1; k > i; --k) {
        const TvlxRect& between = nodes[k].Bounds;
        if (!OverlapVertically(between, upper) && !OverlapVertically(between, lower) &&
            Overlap(between.Left, between.Right, left, right))
            return true;
    }
    return false;
}

// Per object of one shifting pass: what its parents pass on, counted once all of them are done.
struct ShiftNode
{
    TvlxReportComponent* Object;
    double Incoming = 0; // sum of the amounts passed on by its parents
    double ParentBottom = -std::numeric_limits<double>::infinity(); // lowest parent bottom
    int32_t Pending = 0;                                            // parents not done yet
    bool Reached = false;
};

// Applies everything the parents passed on to `node`; gives the amount it passes on in turn.
double ShiftOne(ShiftNode& node)
{
    TvlxReportComponent& obj = *node.Object;
    double passed = obj.FShiftAmount;
    switch (ShiftModeOf(obj)) {
    case TvlxShiftMode::smAlways:
        obj.SetTop(obj.Top() + node.Incoming);
        passed += node.Incoming;
        break;
    case TvlxShiftMode::smDontShift:
        passed += node.Incoming;
        break;
    case TvlxShiftMode::smWhenOverlapped:
        // Moves only when an object above (not the band) now reaches into it, and only to that
        // object's bottom.
        if (node.ParentBottom > obj.Top()) {
            passed += node.ParentBottom - obj.Top();
            obj.SetTop(node.ParentBottom);
        }
        break;
    }
    obj.FShiftAmount = 0;
    return passed;
}

} // namespace

void BuildShiftTree(TvlxBand& band)
{
    const size_t count = OriginalObjectCount(band);
    std::vector<std::pair<std::string, TvlxReportComponent*>> sorted;
    sorted.reserve(count);
    for (size_t i = 0; i < band.ObjectCount(); ++i) {
        auto* obj = dynamic_cast<TvlxReportComponent*>(band.Object(i));
        if (obj == nullptr) continue;
        obj->FShiftChildren.clear();
        if (i < count) sorted.emplace_back(TopKey(obj->Top()), obj);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.first < b.first;
    });

    // A root one pixel high just above the band, as wide as the band, parents the topmost ones.
    std::vector<TvlxReportComponent*> top;
    std::vector<TreeNode> nodes;
    nodes.reserve(sorted.size() + 1);
    const double bandLeft = band.AbsLeft();
    const double bandTop = band.AbsTop() - 2;
    nodes.push_back({nullptr, {bandLeft, bandTop, bandLeft + band.Width(), bandTop + 1}, &top});
    for (const auto& [key, obj] : sorted)
        nodes.push_back({obj, obj->GetRealBounds(), &obj->FShiftChildren});

    for (size_t i = 0; i < nodes.size(); ++i) {
        const TvlxRect& upper = nodes[i].Bounds;
        for (size_t j = i + 1; j < nodes.size(); ++j) {
            const TvlxRect& lower = nodes[j].Bounds;
            if (OverlapVertically(upper, lower) || !(upper.Top < lower.Top)) continue;
            if (!Overlap(upper.Left, upper.Right, lower.Left, lower.Right)) continue;
            if (SeparatedByAnother(nodes, i, j)) continue;
            nodes[i].Children->push_back(nodes[j].Object);
        }
    }
    band.FShiftChildren = std::move(top);
}

// Every object is settled once, after all objects it hangs below (Kahn's order over the tree).
// This gives the same positions as pushing each amount down every path of the tree, where an
// object below several others receives each one's amount, without walking the paths one by
// one: their number grows exponentially with the rows of a grid of cells.
void ShiftObjects(TvlxBand& band)
{
    const size_t count = OriginalObjectCount(band);
    std::vector<ShiftNode> nodes;
    nodes.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (auto* obj = dynamic_cast<TvlxReportComponent*>(band.Object(i))) nodes.push_back({obj});
    std::vector<std::pair<const TvlxReportComponent*, ShiftNode*>> index;
    index.reserve(nodes.size());
    for (ShiftNode& node : nodes)
        index.emplace_back(node.Object, &node);
    std::sort(index.begin(), index.end(), [](const auto& a, const auto& b) {
        return std::less<>()(a.first, b.first);
    });
    auto find = [&](const TvlxReportComponent* obj) -> ShiftNode* {
        auto it = std::lower_bound(
            index.begin(), index.end(), obj, [](const auto& entry, const TvlxReportComponent* o) {
                return std::less<>()(entry.first, o);
            });
        return it != index.end() && it->first == obj ? it->second : nullptr;
    };

    // Count each reachable object's parents.
    std::vector<ShiftNode*> stack;
    auto reach = [&](const std::vector<TvlxReportComponent*>& children) {
        for (TvlxReportComponent* child : children) {
            ShiftNode* node = find(child);
            if (node == nullptr) continue;
            ++node->Pending;
            if (!node->Reached) {
                node->Reached = true;
                stack.push_back(node);
            }
        }
    };
    reach(band.FShiftChildren);
    while (!stack.empty()) {
        ShiftNode* node = stack.back();
        stack.pop_back();
        reach(node->Object->FShiftChildren);
    }

    // The band passes nothing on: it does not grow here, and it pushes nothing down by its edge.
    for (TvlxReportComponent* child : band.FShiftChildren) {
        ShiftNode* node = find(child);
        if (node != nullptr && --node->Pending == 0) stack.push_back(node);
    }
    while (!stack.empty()) {
        ShiftNode* node = stack.back();
        stack.pop_back();
        const double passed = ShiftOne(*node);
        const double bottom = node->Object->Top() + node->Object->Height();
        for (TvlxReportComponent* child : node->Object->FShiftChildren) {
            ShiftNode* below = find(child);
            if (below == nullptr) continue;
            below->Incoming += passed;
            below->ParentBottom = std::max(below->ParentBottom, bottom);
            if (--below->Pending == 0) stack.push_back(below);
        }
    }
}

} // namespace vl
