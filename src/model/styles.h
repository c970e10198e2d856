// Styles: named sets of fill colour, font and frame that text views take by name. The report
// owns one TvlxStyles collection; templates carry it in the report's property data ("Style") and
// it has an XML form of its own: <style Name="..."><item Name="..." Color="..." .../></style>.
#pragma once

#include "model/font.h"
#include "model/frame.h"
#include "platform/component/class_info.h"

#include <memory>
#include <vector>

namespace vl {

class TvlxComponent;
class TvlxStyles;
class TvlxXMLItem;

class TvlxStyleItem : public Persistent
{
public:
    TvlxStyleItem() = default;
    TvlxStyleItem(const TvlxStyleItem&) = delete;
    TvlxStyleItem& operator=(const TvlxStyleItem&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    const String& Name() const { return FName; }
    // Throws Exception (resource "clDupName") when another item of the collection has the name
    // (without case).
    void SetName(const String& value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    const TvlxFont& Font() const { return FFont; }
    TvlxFont& MutableFont() { return FFont; }
    void SetFont(const TvlxFont& value) { FFont.Assign(value); }
    const TvlxFrame& Frame() const { return FFrame; }
    TvlxFrame& MutableFrame() { return FFrame; }
    void SetFrame(const TvlxFrame& value) { FFrame.Assign(value); }

private:
    friend class TvlxStyles;
    TvlxStyles* FCollection = nullptr;
    String FName;
    TColor FColor = clNone;
    TvlxFont FFont;
    TvlxFrame FFrame;
};

// A Persistent so that report scripts can hold it ("Report.Styles").
class TvlxStyles : public Persistent
{
public:
    TvlxStyles() = default;
    TvlxStyles(const TvlxStyles&) = delete;
    TvlxStyles& operator=(const TvlxStyles&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    using Persistent::Assign;

    const String& Name() const { return FName; }
    void SetName(const String& value) { FName = value; }

    size_t Count() const { return FItems.size(); }
    TvlxStyleItem& operator[](size_t index) const { return *FItems[index]; }
    // A new unnamed item at the end.
    TvlxStyleItem& Add();
    void Delete(size_t index);
    void Clear() { FItems.clear(); }
    // The item named `name` (without case), or nullptr.
    TvlxStyleItem* Find(StringView name) const;
    // "Style" followed by the smallest unused number from 1.
    String CreateUniqueName() const;
    void Assign(const TvlxStyles& source);

    // Applies the styles to every text view of `report` again: a Style naming an item takes it,
    // a Style naming no item is cleared.
    void Apply(TvlxComponent& report) const;

    // The XML form: the item becomes "style" with attribute Name and one child "item" per style
    // item holding its attribute text. Loading replaces all items; bad attributes are skipped.
    void SaveToXMLItem(TvlxXMLItem& item) const;
    void LoadFromXMLItem(const TvlxXMLItem& item);

private:
    String FName;
    std::vector<std::unique_ptr<TvlxStyleItem>> FItems;
};

} // namespace vl
