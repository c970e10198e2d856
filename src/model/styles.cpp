// Styles of text views.
#include "model/styles.h"

#include "model/memo_view.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"
#include "platform/unicode/text_case.h"
#include "template/xml_document.h"
#include "template/xml_serializer.h"

namespace vl {

const ClassInfo& TvlxStyles::StaticClass()
{
    static const ClassInfo info = DescribeClass<TvlxStyles, Persistent>(u"TvlxStyles")
                                      .Prop<&TvlxStyles::Name, &TvlxStyles::SetName>(u"Name")
                                      .Build();
    return info;
}

const ClassInfo& TvlxStyleItem::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxStyleItem, Persistent>(u"TvlxStyleItem")
            .Prop<&TvlxStyleItem::Name, &TvlxStyleItem::SetName>(u"Name")
            .Prop<&TvlxStyleItem::Color, &TvlxStyleItem::SetColor>(u"Color", clNone)
            .Prop<&TvlxStyleItem::Font, &TvlxStyleItem::SetFont>(u"Font")
            .Prop<&TvlxStyleItem::Frame, &TvlxStyleItem::SetFrame>(u"Frame")
            .Build();
    return info;
}

void TvlxStyleItem::Assign(const Persistent& source)
{
    const auto* item = dynamic_cast<const TvlxStyleItem*>(&source);
    if (item == nullptr) return Persistent::Assign(source);
    SetName(item->FName);
    FColor = item->FColor;
    FFont.Assign(item->FFont);
    FFrame.Assign(item->FFrame);
}

void TvlxStyleItem::SetName(const String& value)
{
    if (FCollection != nullptr) {
        TvlxStyleItem* other = FCollection->Find(value);
        if (other != nullptr && other != this) throw Exception(ResourceText(u"clDupName"));
    }
    FName = value;
}

TvlxStyleItem& TvlxStyles::Add()
{
    auto item = std::make_unique<TvlxStyleItem>();
    item->FCollection = this;
    FItems.push_back(std::move(item));
    return *FItems.back();
}

void TvlxStyles::Delete(size_t index)
{
    if (index < FItems.size()) FItems.erase(FItems.begin() + std::ptrdiff_t(index));
}

TvlxStyleItem* TvlxStyles::Find(StringView name) const
{
    for (const auto& item : FItems)
        if (SameText(item->Name(), name)) return item.get();
    return nullptr;
}

String TvlxStyles::CreateUniqueName() const
{
    for (int64_t n = 1;; ++n) {
        String name = u"Style" + IntToStr(n);
        if (Find(name) == nullptr) return name;
    }
}

void TvlxStyles::Assign(const TvlxStyles& source)
{
    if (&source == this) return;
    FName = source.FName;
    FItems.clear();
    for (const auto& item : source.FItems)
        Add().Assign(*item);
}

void TvlxStyles::Apply(TvlxComponent& report) const
{
    for (TvlxComponent* c : report.AllObjects()) {
        auto* memo = dynamic_cast<TvlxCustomMemoView*>(c);
        if (memo == nullptr || memo->Style().empty()) continue;
        if (const TvlxStyleItem* item = Find(memo->Style()))
            memo->ApplyStyle(*item);
        else
            memo->SetStyle(String());
    }
}

void TvlxStyles::SaveToXMLItem(TvlxXMLItem& item) const
{
    item.Clear();
    item.SetName(u"style");
    item.SetAttribute(u"Name", FName);
    TvlxXMLSerializer writer;
    for (const auto& style : FItems) {
        TvlxXMLItem& child = item.Add(u"item");
        child.SetText(writer.ObjToXML(*style));
    }
}

void TvlxStyles::LoadFromXMLItem(const TvlxXMLItem& item)
{
    FItems.clear();
    FName = item.Attribute(u"Name");
    TvlxXMLSerializer reader;
    for (int i = 0; i < item.Count(); ++i) {
        const TvlxXMLItem& child = item[i];
        if (!SameText(child.Name(), u"item")) continue;
        reader.XMLToObj(child.Text(), Add());
    }
}

} // namespace vl
