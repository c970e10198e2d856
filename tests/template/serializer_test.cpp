#include "base/stream.h"
#include "model/component.h"
#include "platform/component/class_builder.h"
#include "template/prop_data.h"
#include "template/xml_document.h"
#include "template/xml_serializer.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

// Small report classes standing in for the real ones: a report, a band with a dataset reference
// and a text view with font, alignment and text.
class SReport : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info = DescribeClass<SReport, TvlxComponent>(u"TSReport")
                                          .Prop<&SReport::FTitle>(u"Title")
                                          .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsReport() const override { return true; }
    String FTitle;
};

class SBand : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<SBand, TvlxReportComponent>(u"TSBand")
                .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
                .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
                .Prop<&TvlxComponent::Height, &TvlxComponent::SetHeight>(u"Height")
                .Prop<&SBand::FDataSet>(u"DataSet")
                .Prop<&SBand::FRows>(u"RowCount", 0)
                .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentLink<Component> FDataSet;
    int32_t FRows = 0;
};

class SMemo : public TvlxReportComponent, public XMLTextObject
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<SMemo, TvlxReportComponent>(u"TSMemo")
                .Prop<&SMemo::FAlign>(u"Align", TvlxAlign::baNone)
                .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
                .Prop<&TvlxComponent::Width, &TvlxComponent::SetWidth>(u"Width")
                .Prop<&TvlxComponent::Font, &TvlxComponent::SetFont>(u"Font")
                .Prop<&TvlxComponent::ParentFont, &TvlxComponent::SetParentFont>(u"ParentFont",
                                                                                 true)
                .Prop<&SMemo::FTag2>(u"TagStr")
                .Prop<&SMemo::FValue>(u"Value")
                .Prop<&SMemo::FLines>(u"Lines")
                .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsView() const override { return true; }
    TvlxAlign Align() const override { return FAlign; }
    String XMLText() const override { return FText.Text(); }
    void SetXMLText(StringView text) override { FText.SetText(text); }

    TvlxAlign FAlign = TvlxAlign::baNone;
    String FTag2;
    Variant FValue;
    StringList FLines;
    StringList FText;
};

struct Fixture
{
    Fixture()
    {
        Registry.Register(SReport::StaticClass());
        Registry.Register(SBand::StaticClass());
        Registry.Register(SMemo::StaticClass());
    }

    // Reads `xml` into Report; returns the errors.
    std::vector<String> Load(std::string_view xml)
    {
        MemoryStream stream{std::string(xml)};
        TvlxXMLSerializer s(Registry);
        s.SetStream(&stream);
        s.ReadRootComponent(*Report);
        return s.Errors();
    }

    std::string Save()
    {
        MemoryStream stream;
        TvlxXMLSerializer s(Registry);
        s.SetStream(&stream);
        s.WriteRootComponent(*Report, true);
        return stream.Bytes();
    }

    template <class T>
    T* Find(StringView name)
    {
        return dynamic_cast<T*>(Report->FindObject(name));
    }

    ClassRegistry Registry;
    Component DataModule;
    SReport* Report = [this] {
        auto r = std::make_unique<SReport>();
        return static_cast<SReport*>(DataModule.InsertOwned(std::move(r)));
    }();
};

constexpr std::string_view Header = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

TEST(XMLSerializer, AttributesConvertByPropertyKind)
{
    Fixture f;
    auto errors = f.Load(std::string(Header) + R"(<TSReport Name="Ignored" Title="A &#38; B">
  <TSBand Name="Band1" Top="100">
    <TSMemo Name="Memo1" Left="10,5" Width=" 1 000.25" Font.Name="Courier" Font.Style="1"
            Align="3" TagStr="x" TagStr="y" Text="one&#13;&#10;two" Value="v&#34;"/>
    <TSMemo Name="Memo2" Align="baCenter" l="4.5" t="7" Lines.Text="a&#13;&#10;b"/>
  </TSBand>
</TSReport>)");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(f.Report->Name(), u"");
    EXPECT_EQ(f.Report->FTitle, u"A & B");
    auto* m1 = f.Find<SMemo>(u"memo1");
    auto* m2 = f.Find<SMemo>(u"Memo2");
    ASSERT_TRUE(m1 && m2);
    EXPECT_EQ(m1->Left(), 10.5);
    EXPECT_EQ(m1->Width(), 1000.25);
    EXPECT_EQ(m1->Font().Name(), u"Courier");
    EXPECT_TRUE(m1->Font().Style().Contains(TFontStyle::fsBold));
    EXPECT_FALSE(m1->ParentFont());
    EXPECT_EQ(m1->FTag2, u"y"); // the later of two equal attributes wins
    EXPECT_EQ(m1->FText.Lines(), (std::vector<String>{u"one", u"two"}));
    EXPECT_EQ(m1->FValue.StringValue(), u"v\"");
    EXPECT_EQ(m1->FAlign, TvlxAlign::baCenter);
    EXPECT_EQ(m2->FAlign, TvlxAlign::baCenter);
    EXPECT_EQ(m2->Left(), 4.5);
    EXPECT_EQ(m2->Top(), 7);
    EXPECT_EQ(m2->FLines.Lines(), (std::vector<String>{u"a", u"b"}));
    EXPECT_EQ(m1->Parent()->Top(), 100);
    EXPECT_EQ(m1->Owner(), f.Report);
    EXPECT_FALSE(m1->IsLoading());
}

TEST(XMLSerializer, BadAttributesCostOnlyThemselves)
{
    Fixture f;
    auto errors = f.Load(std::string(Header) + R"(<TSReport>
  <TSBand Name="Band1" RowCount="many" Top="1x" Height="5">
    <TSMemo Name="Memo1" Align="7" Align="baNowhere" Font.Nothing.Name="x" Lines.Name="q"
            Unknown="1" vlComponentStyle="1" Left="3"/>
  </TSBand>
</TSReport>)");
    std::vector<String> expected{u"'1x' is not a valid floating point value",
                                 u"'many' is not a valid integer value",
                                 u"Invalid property value"};
    EXPECT_EQ(errors, expected);
    auto* band = f.Find<SBand>(u"Band1");
    auto* memo = f.Find<SMemo>(u"Memo1");
    ASSERT_TRUE(band && memo);
    EXPECT_EQ(band->Height(), 5);
    EXPECT_EQ(band->FRows, 0);
    EXPECT_EQ(memo->FAlign, TvlxAlign::baNone);
    EXPECT_EQ(memo->Left(), 3);
}

TEST(XMLSerializer, UnknownClassIsReportedOnceAndItsSubtreeSkipped)
{
    Fixture f;
    auto errors = f.Load(std::string(Header) + R"(<TSReport>
  <TSBand Name="Band1">
    <NotAClass Name="X1"><TSMemo Name="Inner"/></NotAClass>
    <NotAClass Name="X2"/>
    <TSMemo Name="Memo1"/>
  </TSBand>
</TSReport>)");
    EXPECT_EQ(errors, std::vector<String>{u"Cannot find class NotAClass"});
    EXPECT_EQ(f.Report->FindObject(u"Inner"), nullptr);
    EXPECT_NE(f.Report->FindObject(u"Memo1"), nullptr);
    EXPECT_EQ(f.Find<SBand>(u"Band1")->ObjectCount(), 1u);
}

TEST(XMLSerializer, ReferencesResolveAfterReadingThroughTheReportAndItsOwner)
{
    Fixture f;
    auto adapter = std::make_unique<Component>();
    adapter->SetName(u"Orders");
    Component* orders = f.DataModule.InsertOwned(std::move(adapter));
    auto errors = f.Load(std::string(Header) + R"(<TSReport>
  <TSBand Name="Band1" DataSet="orders"/>
  <TSBand Name="Band2" DataSet="Band3"/>
  <TSBand Name="Band3" DataSet="Missing"/>
</TSReport>)");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(f.Find<SBand>(u"Band1")->FDataSet.Get(), orders);
    EXPECT_EQ(f.Find<SBand>(u"Band2")->FDataSet.Get(), f.Report->FindObject(u"Band3"));
    EXPECT_EQ(f.Find<SBand>(u"Band3")->FDataSet.Get(), nullptr);
}

TEST(XMLSerializer, ExistingObjectsOfTheSameNameAreReused)
{
    Fixture f;
    f.Load(std::string(Header) + R"(<TSReport><TSBand Name="Band1" Top="1"/></TSReport>)");
    auto* band = f.Find<SBand>(u"Band1");
    f.Load(std::string(Header) + R"(<TSReport><TSBand Name="BAND1" Top="2"/></TSReport>)");
    EXPECT_EQ(f.Report->ObjectCount(), 1u);
    EXPECT_EQ(band->Top(), 2);
}

TEST(XMLSerializer, SelfReferenceAndDeepNestingStayBounded)
{
    Fixture f;
    std::string xml(Header);
    xml += R"(<TSReport><TSBand Name="B" DataSet="B">)";
    for (int i = 0; i < 200; ++i)
        xml += "<TSMemo Name=\"M" + std::to_string(i) + "\">";
    for (int i = 0; i < 200; ++i)
        xml += "</TSMemo>";
    xml += "</TSBand></TSReport>";
    EXPECT_TRUE(f.Load(xml).empty());
    auto* band = f.Find<SBand>(u"B");
    EXPECT_EQ(band->FDataSet.Get(), band);
    EXPECT_EQ(f.Report->AllObjects().size(), 201u);
}

TEST(XMLSerializer, WrittenTemplateReadsBackUnchanged)
{
    Fixture f;
    f.Load(std::string(Header) + R"(<TSReport Title="T &#60;1&#62;">
  <TSBand Name="Band1" Top="10,25" Height="30" RowCount="3" DataSet="Band1">
    <TSMemo Name="Memo1" Left="1.5" Width="20" Align="baRight" Font.Size="12" TagStr="a&#34;b"
            Text="l1&#13;&#10;l2" Lines.Text="x"/>
    <TSMemo Name="Memo2"/>
  </TSBand>
</TSReport>)");
    std::string first = f.Save();
    Fixture g;
    MemoryStream stream(first);
    TvlxXMLSerializer s(g.Registry);
    s.SetStream(&stream);
    s.ReadRootComponent(*g.Report);
    EXPECT_TRUE(s.Errors().empty());
    EXPECT_EQ(g.Save(), first);
    EXPECT_NE(first.find("Font.Size=\"12\""), std::string::npos);
    EXPECT_NE(first.find("Align=\"baRight\""), std::string::npos);
    // A following font is not written: ParentFont keeps its default.
    EXPECT_NE(first.find("Memo2\" Left=\"0\" Width=\"0\" Font.Name=\"Arial\" Value"),
              std::string::npos);
}

TEST(XMLSerializer, SingleObjectStrings)
{
    Fixture f;
    TvlxXMLSerializer s(f.Registry);
    TvlxComponent* memo = s.ReadComponentStr(f.Report, u"  TSMemo Name=\"M\" Left=\"2\" ");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Parent(), f.Report);
    EXPECT_EQ(memo->Left(), 2);
    EXPECT_EQ(s.ReadComponentStr(f.Report, u"   "), nullptr);
    EXPECT_THROW(s.ReadComponentStr(f.Report, u"Nope a=\"1\""), Exception);
    // Variants, string lists and the text are written even when empty.
    EXPECT_EQ(s.WriteComponentStr(*memo),
              u"TSMemo Left=\"2\" Width=\"0\" Font.Name=\"Arial\" Value=\"\" Lines.Text=\"\" "
              u"Text=\"\"");
}

// ---- Property data blocks

class Holder : public Component, public CustomPropData
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info = DescribeClass<Holder, Component>(u"THolder")
                                          .Prop<&Holder::FNumber>(u"Number", 0)
                                          .Prop<&Holder::FRatio>(u"Ratio")
                                          .Prop<&Holder::FWord>(u"Word")
                                          .Prop<&Holder::FFlag>(u"Flag", false)
                                          .Prop<&Holder::FAlign>(u"Align", TvlxAlign::baNone)
                                          .Prop<&Holder::FStyle>(u"Style")
                                          .Prop<&Holder::FLines>(u"Lines")
                                          .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer&) override
    {
        if (name != u"Values") return false;
        Values.clear();
        if (reader.ReadType() != PropDataType::vaList) throw EReadError(u"list");
        while (!reader.EndOfList())
            Values.push_back(reader.ReadValue());
        return true;
    }
    void WriteCustomProps(PropDataWriter& writer) const override
    {
        if (Custom.empty()) return;
        writer.WriteName(u"Values");
        writer.WriteListBegin();
        for (const auto& step : Custom)
            step(writer);
        writer.WriteListEnd();
    }
    int32_t FNumber = 0;
    double FRatio = 0;
    String FWord;
    bool FFlag = false;
    TvlxAlign FAlign = TvlxAlign::baNone;
    TFontStyles FStyle;
    StringList FLines;
    std::vector<Variant> Values;
    std::vector<void (*)(PropDataWriter&)> Custom;
};

TEST(PropData, EveryTypeByteRoundTrips)
{
    Holder h;
    h.Custom = {
        [](PropDataWriter& w) { w.WriteInteger(-5); },                   // 2
        [](PropDataWriter& w) { w.WriteInteger(-300); },                 // 3
        [](PropDataWriter& w) { w.WriteInteger(70000); },                // 4
        [](PropDataWriter& w) { w.WriteExtended(-2.5); },                // 5
        [](PropDataWriter& w) { w.WriteString("abc"); },                 // 6
        [](PropDataWriter& w) { w.WriteIdent("haCenter"); },             // 7
        [](PropDataWriter& w) { w.WriteBoolean(false); },                // 8
        [](PropDataWriter& w) { w.WriteBoolean(true); },                 // 9
        [](PropDataWriter& w) { w.WriteString(std::string(300, 'x')); }, // 12
        [](PropDataWriter& w) { w.WriteNil(); },                         // 13
        [](PropDataWriter& w) { w.WriteSingle(0.5f); },                  // 15
        [](PropDataWriter& w) { w.WriteCurrencyScaled(12345); },         // 16
        [](PropDataWriter& w) { w.WriteDate(45000.25); },                // 17
        [](PropDataWriter& w) { w.WriteWideString(u"w\u00e9"); },        // 18
        [](PropDataWriter& w) { w.WriteInteger(int64_t(1) << 40); },     // 19
        [](PropDataWriter& w) { w.WriteUtf8String(u"\u010d"); },         // 20
        [](PropDataWriter& w) { w.WriteDouble(1e300); },                 // 21
    };
    std::string block = SavePropData(h);
    Holder back;
    TvlxXMLSerializer s;
    ApplyPropData(back, HexToBytes(BytesToHex(block)), s);
    ASSERT_EQ(back.Values.size(), 17u);
    EXPECT_EQ(back.Values[0].ToText(), u"-5");
    EXPECT_EQ(back.Values[1].ToText(), u"-300");
    EXPECT_EQ(back.Values[2].ToText(), u"70000");
    EXPECT_EQ(back.Values[3].ToText(), u"-2.5");
    EXPECT_EQ(back.Values[4].StringValue(), u"abc");
    EXPECT_EQ(back.Values[5].StringValue(), u"haCenter");
    EXPECT_FALSE(back.Values[6].ToBool());
    EXPECT_TRUE(back.Values[7].ToBool());
    EXPECT_EQ(back.Values[8].StringValue().size(), 300u);
    EXPECT_TRUE(back.Values[9].IsNull());
    EXPECT_EQ(back.Values[10].ToText(), u"0.5");
    EXPECT_TRUE(back.Values[11].IsCurrency());
    EXPECT_EQ(back.Values[11].ToText(), u"1.2345");
    EXPECT_TRUE(back.Values[12].IsDate());
    EXPECT_EQ(back.Values[13].StringValue(), u"w\u00e9");
    EXPECT_EQ(back.Values[14].ToText(), u"1099511627776");
    EXPECT_EQ(back.Values[15].StringValue(), u"\u010d");
    EXPECT_EQ(back.Values[16].ToText(), u"1E300");
}

TEST(PropData, PublishedPropertiesAndTruncation)
{
    PropDataWriter w;
    w.WriteName(u"Number");
    w.WriteInteger(-7);
    w.WriteName(u"Ratio");
    w.WriteExtended(0.125);
    w.WriteName(u"Word");
    w.WriteUtf8String(u"hi");
    w.WriteName(u"Flag");
    w.WriteBoolean(true);
    w.WriteName(u"Align");
    w.WriteIdent("baClient");
    w.WriteName(u"Style");
    w.WriteSet({u"fsBold", u"fsUnderline"});
    w.WriteName(u"Unknown");
    w.WriteBinary("\x01\x02");
    w.WriteName(u"Lines");
    w.WriteListBegin();
    w.WriteString("a");
    w.WriteWideString(u"b");
    w.WriteListEnd();
    w.WriteName(u"Number");
    w.WriteInteger(100000);
    std::string block = w.Bytes();

    Holder h;
    TvlxXMLSerializer s;
    ApplyPropData(h, block, s);
    EXPECT_EQ(h.FNumber, 100000);
    EXPECT_EQ(h.FRatio, 0.125);
    EXPECT_EQ(h.FWord, u"hi");
    EXPECT_TRUE(h.FFlag);
    EXPECT_EQ(h.FAlign, TvlxAlign::baClient);
    EXPECT_EQ(h.FStyle.Mask(), 5u);
    EXPECT_EQ(h.FLines.Lines(), (std::vector<String>{u"a", u"b"}));

    // Cut anywhere: what came before stays, nothing crashes.
    for (size_t cut = 0; cut < block.size(); ++cut) {
        SCOPED_TRACE(cut);
        Holder part;
        ApplyPropData(part, std::string_view(block).substr(0, cut), s);
        EXPECT_TRUE(part.FNumber == 0 || part.FNumber == -7 || part.FNumber == 100000);
    }
}

TEST(PropData, AttributeCarriesTheBlockAsHex)
{
    Fixture f;
    EXPECT_EQ(BytesToHex("\x01\xAB"), u"01AB");
    EXPECT_EQ(HexToBytes(u"01ab"), std::string("\x01\xAB"));
    EXPECT_EQ(HexToBytes(u"01XX02"), std::string("\x01"));
    Holder h;
    TvlxXMLSerializer s;
    PropDataWriter w;
    w.WriteName(u"Number");
    w.WriteInteger(42);
    s.XMLToObj(u"PropData=\"" + BytesToHex(w.Bytes()) + u"\"", h);
    EXPECT_EQ(h.FNumber, 42);
}

} // namespace
} // namespace vl
