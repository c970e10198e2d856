// The report object tree: every template object (the report, its pages, bands and views) is a
// TvlxComponent; bands and views are TvlxReportComponents with the printing hooks the engine calls.
//
// Contract:
// - A parent owns its children (std::unique_ptr in Objects(), template order); every other
//   reference between objects is a ComponentLink that empties when its target goes.
// - The report that contains an object is its naming scope (its Owner): names are unique in the
//   report without regard to case, and FindComponent on the report finds any of its objects by
//   name in constant time. Objects joined to a tree only through AddChild are not in a scope.
// - Geometry is in pixels at 96 per inch (model/units.h); Left and Top are relative to the parent.
// - Roles (page, dialog page, report, view) are told by the small virtual Is... queries, so this
//   level needs no knowledge of the classes that build on it.
#pragma once

#include "model/font.h"
#include "platform/component/class_info.h"
#include "platform/component/component.h"
#include "platform/component/enum_set.h"

#include <array>
#include <memory>
#include <vector>

namespace vl {

class TvlxDataSet;

enum class TvlxRestriction
{
    rfDontModify,
    rfDontSize,
    rfDontMove,
    rfDontDelete,
    rfDontEdit
};
inline constexpr std::array<StringView, 5> RestrictionNames{
    u"rfDontModify", u"rfDontSize", u"rfDontMove", u"rfDontDelete", u"rfDontEdit"};
constexpr std::span<const StringView> EnumNames(TvlxRestriction)
{
    return RestrictionNames;
}
using TvlxRestrictions = EnumSet<TvlxRestriction>;

// csContainer (1), csPreviewVisible (2), csDefaultDiff (4).
enum class TvlxComponentStyle
{
    csContainer,
    csPreviewVisible,
    csDefaultDiff
};
inline constexpr std::array<StringView, 3> ComponentStyleNames{
    u"csContainer", u"csPreviewVisible", u"csDefaultDiff"};
constexpr std::span<const StringView> EnumNames(TvlxComponentStyle)
{
    return ComponentStyleNames;
}
using TvlxComponentStyles = EnumSet<TvlxComponentStyle>;

// Alignment of a view inside its container.
enum class TvlxAlign
{
    baNone,
    baLeft,
    baRight,
    baCenter,
    baWidth,
    baBottom,
    baClient
};
inline constexpr std::array<StringView, 7> AlignNames{
    u"baNone", u"baLeft", u"baRight", u"baCenter", u"baWidth", u"baBottom", u"baClient"};
constexpr std::span<const StringView> EnumNames(TvlxAlign)
{
    return AlignNames;
}

// Bounds of an object in pixels.
struct TvlxBounds
{
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// A rectangle in pixels by its edges.
struct TvlxRect
{
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

class TvlxComponent : public Component, public FontChangeListener
{
public:
    TvlxComponent();
    ~TvlxComponent() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Creation as templates and the engine do it. When `owner` is a TvlxComponent the new object
    // becomes its last child (owned by it) and joins the naming scope of the report that
    // contains `owner`; otherwise `owner` takes it as an owned component and it has no parent.
    // Throws Exception for an abstract class or one that is no report object.
    static TvlxComponent* Create(const ClassInfo& cls, Component* owner);
    template <class T>
    static T* Create(Component* owner)
    {
        return static_cast<T*>(Create(T::StaticClass(), owner));
    }

    // ---- Tree
    TvlxComponent* Parent() const { return FParent; }
    // Moves the object from its parent to the end of `parent`'s children; both must exist (an
    // object joins or leaves a tree with AddChild / TakeChild, which carry the memory).
    virtual void SetParent(TvlxComponent* parent);
    TvlxComponent* AddChild(std::unique_ptr<TvlxComponent> child);
    TvlxComponent* InsertChild(size_t index, std::unique_ptr<TvlxComponent> child);
    std::unique_ptr<TvlxComponent> TakeChild(TvlxComponent* child);
    // Moves a child to position `index` among its siblings.
    void MoveChild(TvlxComponent* child, size_t index);

    const std::vector<std::unique_ptr<TvlxComponent>>& Objects() const { return FObjects; }
    virtual const std::vector<std::unique_ptr<TvlxComponent>>& ContainerObjects() const
    {
        return FObjects;
    }
    size_t ObjectCount() const { return FObjects.size(); }
    TvlxComponent* Object(size_t index) const { return FObjects[index].get(); }
    // All descendants in depth-first pre-order, without the object itself; rebuilt on every call
    // and valid until the next call on the same object.
    const std::vector<TvlxComponent*>& AllObjects();
    // The first object of AllObjects named `name` (without case), or nullptr.
    TvlxComponent* FindObject(StringView name);

    // Nearest ancestor-or-self that is a page / the report, or nullptr.
    TvlxComponent* Page() const;
    TvlxComponent* Report() const;
    virtual bool IsPage() const { return false; }
    virtual bool IsDialogPage() const { return false; }
    virtual bool IsReport() const { return false; }
    virtual bool IsView() const { return false; }
    virtual bool IsBand() const { return false; }
    // True for a text view whose width follows its text (its width is left out of Diff).
    virtual bool IsAutoWidth() const { return false; }
    // Alignment inside the container; only views align.
    virtual TvlxAlign Align() const { return TvlxAlign::baNone; }

    // Position relative to the top object (or to a dialog page), pixels.
    double AbsLeft() const;
    double AbsTop() const;

    // ---- Geometry (pixels). While designing, moves obey rfDontMove and resizes rfDontSize.
    double Left() const { return FLeft; }
    double Top() const { return FTop; }
    double Width() const { return FWidth; }
    double Height() const { return FHeight; }
    virtual void SetLeft(double value);
    virtual void SetTop(double value);
    virtual void SetWidth(double value);
    virtual void SetHeight(double value);
    void SetBounds(double left, double top, double width, double height);
    TvlxBounds Bounds() const { return {FLeft, FTop, FWidth, FHeight}; }

    // ---- Font
    const TvlxFont& Font() const { return FFont; }
    // The font itself, for changes that the font-changed handler then spreads to children.
    TvlxFont& MutableFont() { return FFont; }
    // Copies `font` and stops following the parent.
    virtual void SetFont(const TvlxFont& font);
    bool ParentFont() const { return FParentFont; }
    // True copies the parent's font first (when there is a parent).
    virtual void SetParentFont(bool value);
    // The font-changed handler: stops following the parent and refreshes following children.
    void FontChanged(TvlxFont& font) override;

    // ---- Names
    // Same name without case: nothing. Taken in the report: Exception(resource "prDupl"). An
    // inherited object: Exception(resource "clCantRen" with the old name).
    void SetName(const String& name) override;
    // Names the object BaseName + the smallest free number from 1 in its report (or, without a
    // report, in its parent's subtree).
    void CreateUniqueName();
    // Stem of generated names: the class name without its first "Tvlx" and its first "View".
    const String& BaseName() const;
    void SetBaseName(const String& name) { FBaseName = name; }

    // ---- State
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value) { FVisible = value; }
    TvlxRestrictions Restrictions() const { return FRestrictions; }
    void SetRestrictions(TvlxRestrictions value) { FRestrictions = value; }
    const String& Description() const { return FDescription; }
    void SetDescription(const String& value) { FDescription = value; }
    int32_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int32_t value) { FGroupIndex = value; }
    TvlxComponentStyles vlComponentStyle() const { return FComponentStyle; }

    bool IsDesigning = false;
    bool IsPrinting = false;
    bool IsWriting = false;
    bool IsAncestor = false;
    // Short name under which the prepared-page store refers to the source copy.
    String FAliasName;
    // Design object <-> its copy on a source page of the prepared-page store.
    ComponentLink<TvlxComponent> FOriginalComponent;
    // Bounds saved by BeforePrint and put back by AfterPrint.
    TvlxBounds FOriginalRect;
    // For an object moved into a vertical band: the band it came from.
    ComponentLink<TvlxComponent> FOriginalBand;

    // ---- Operations that subclasses extend
    // Display name for designers.
    virtual String GetDescription() const;
    // Aligns the direct children that are views by their Align.
    virtual void AlignChildren();
    virtual void AddSourceObjects() {}
    virtual void BeforeStartReport() {}
    // Frees every child in list order, except inherited ones, which stay and are cleared.
    virtual void Clear();
    // The engine's notification about each printed data record.
    virtual void OnNotify(TvlxComponent* sender) { (void)sender; }
    void Loaded() override;

    // ---- Copies and differences
    // Copies `source`'s published state through the template writer and reader (defaults
    // included); a report object source leaves this object without children.
    void Assign(const Persistent& source) override;
    // The same with the source's children, created anew under this object.
    void AssignAll(const TvlxComponent& source, bool streaming = false);
    // The attribute text of the properties in which this object differs from `other` (" l=\"5\""
    // ...), read back by the template reader; the prepared-page store keeps objects in this form.
    // Non-const: text views advance their paragraph-break flags once written.
    virtual String Diff(TvlxComponent& other);
    // The complete attribute text as the template writer produces it, followed by a space and
    // Diff(*other) when `other` is given.
    virtual String AllDiff(TvlxComponent* other);

protected:
    void SetComponentStyle(TvlxComponentStyles value) { FComponentStyle = value; }

private:
    bool CanMove() const;
    bool CanSize() const;
    void RefreshFollowingChildren();

    TvlxComponent* FParent = nullptr;
    std::vector<std::unique_ptr<TvlxComponent>> FObjects;
    std::vector<TvlxComponent*> FAllObjects;
    double FLeft = 0;
    double FTop = 0;
    double FWidth = 0;
    double FHeight = 0;
    TvlxFont FFont;
    bool FParentFont = true;
    bool FVisible = true;
    TvlxRestrictions FRestrictions;
    String FDescription;
    int32_t FGroupIndex = 0;
    TvlxComponentStyles FComponentStyle{TvlxComponentStyle::csPreviewVisible};
    mutable String FBaseName;
};

// Finds a dataset adapter by its user name (without case) for the data-bound properties of
// `context`: through the lookup the report installs (its DataSets, or the global list when its
// engine options say so); without one, in the global dataset list. nullptr when absent.
using TvlxFindDataSetFn = TvlxDataSet* (*)(const TvlxComponent& context, StringView name);
void SetFindDataSetHook(TvlxFindDataSetFn fn);
TvlxDataSet* FindDataSet(const TvlxComponent& context, StringView name);

// Base of bands and views: script hooks and the printing hooks the engine calls.
class TvlxReportComponent : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Names of script procedures run at those moments.
    String FOnAfterData;
    String FOnAfterPrint;
    String FOnBeforePrint;
    String FOnPreviewClick;
    String FOnPreviewDblClick;
    // How far the object has grown while its band was prepared, pixels.
    double FShiftAmount = 0;
    // Objects directly below this one that move when it grows; rebuilt by the engine for each
    // band preparation, not owned.
    std::vector<TvlxReportComponent*> FShiftChildren;

    // Saves the bounds in FOriginalRect.
    virtual void BeforePrint();
    virtual void GetData() {}
    // Puts back the bounds saved by BeforePrint.
    virtual void AfterPrint();
    virtual String GetComponentText() { return {}; }
    // The absolute rectangle of the object.
    virtual TvlxRect GetRealBounds() const;
};

} // namespace vl
