#include "platform/component/class_builder.h"
#include "platform/component/class_registry.h"
#include "platform/component/component.h"
#include "platform/component/string_list.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

enum class Shade
{
    shLight,
    shDark,
    shGrey
};
constexpr std::array<StringView, 3> ShadeNames{u"shLight", u"shDark", u"shGrey"};
constexpr std::span<const StringView> EnumNames(Shade)
{
    return ShadeNames;
}

class Pen : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override
    {
        const auto* pen = dynamic_cast<const Pen*>(&source);
        if (pen == nullptr) return Persistent::Assign(source);
        FWidth = pen->FWidth;
    }
    double FWidth = 1;
};

const ClassInfo& Pen::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<Pen, Persistent>(u"TPen").Prop<&Pen::FWidth>(u"Width").Build();
    return info;
}

class Sample : public Component
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    int32_t Count() const { return FCount; }
    void SetCount(int32_t value)
    {
        if (value < 0) throw EConvertError(u"negative");
        FCount = value;
    }
    bool IsCaptionStored() const { return FCaption != u"none"; }

    bool FFlag = true;
    int32_t FCount = 0;
    Shade FShade = Shade::shLight;
    EnumSet<Shade> FShades;
    double FRatio = 0;
    String FCaption;
    Variant FValue;
    ComponentLink<Sample> FBuddy;
    Pen FPen;
    StringList FLines;
    WideStringList FWide;
};

const ClassInfo& Sample::StaticClass()
{
    static const ClassInfo info = DescribeClass<Sample, Component>(u"TSample")
                                      .Prop<&Sample::FFlag>(u"Flag", true)
                                      .Prop<&Sample::Count, &Sample::SetCount>(u"Count", 0)
                                      .Prop<&Sample::FShade>(u"Shade", Shade::shLight)
                                      .Prop<&Sample::FShades>(u"Shades")
                                      .Prop<&Sample::FRatio>(u"Ratio")
                                      .Prop<&Sample::FCaption>(u"Caption")
                                      .StoredIf<&Sample::IsCaptionStored>()
                                      .Prop<&Sample::FValue>(u"Value")
                                      .Prop<&Sample::FBuddy>(u"Buddy")
                                      .Prop<&Sample::FPen>(u"Pen")
                                      .Prop<&Sample::FLines>(u"Lines")
                                      .Prop<&Sample::FWide>(u"Wide")
                                      .Build();
    return info;
}

class DerivedSample : public Sample
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    int32_t FExtra = 7;
};

const ClassInfo& DerivedSample::StaticClass()
{
    static const ClassInfo info = DescribeClass<DerivedSample, Sample>(u"TDerivedSample")
                                      .Prop<&DerivedSample::FExtra>(u"Extra", 7)
                                      .Redeclare(u"Count", 3)
                                      .Build();
    return info;
}

TEST(ClassInfo, BaseClassPropertiesComeFirstInDeclarationOrder)
{
    const ClassInfo& cls = DerivedSample::StaticClass();
    std::vector<String> names;
    for (const PropInfo& p : cls.Props())
        names.emplace_back(p.Name);
    std::vector<String> expected{u"Name",
                                 u"Tag",
                                 u"Flag",
                                 u"Count",
                                 u"Shade",
                                 u"Shades",
                                 u"Ratio",
                                 u"Caption",
                                 u"Value",
                                 u"Buddy",
                                 u"Pen",
                                 u"Lines",
                                 u"Wide",
                                 u"Extra"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(cls.Parent(), &Sample::StaticClass());
    EXPECT_TRUE(cls.InheritsFrom(Component::StaticClass()));
    EXPECT_FALSE(Sample::StaticClass().InheritsFrom(cls));
    EXPECT_EQ(cls.FindProp(u"count")->Default, 3);                   // redeclared here
    EXPECT_EQ(Sample::StaticClass().FindProp(u"COUNT")->Default, 0); // base unchanged
}

TEST(ClassInfo, KindsFollowTheMemberTypes)
{
    struct Case
    {
        StringView Name;
        PropKind Kind;
    };
    const Case cases[] = {{u"Flag", PropKind::Enum},
                          {u"Count", PropKind::Integer},
                          {u"Shade", PropKind::Enum},
                          {u"Shades", PropKind::Set},
                          {u"Ratio", PropKind::Float},
                          {u"Caption", PropKind::Text},
                          {u"Value", PropKind::VariantValue},
                          {u"Buddy", PropKind::ComponentRef},
                          {u"Pen", PropKind::SubObject},
                          {u"Lines", PropKind::Strings},
                          {u"Wide", PropKind::WideStrings},
                          {u"Tag", PropKind::Integer}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Name));
        const PropInfo* p = Sample::StaticClass().FindProp(c.Name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Kind, c.Kind);
    }
    EXPECT_EQ(Sample::StaticClass().FindProp(u"Flag")->EnumName(1), u"True");
    EXPECT_EQ(Sample::StaticClass().FindProp(u"Shade")->EnumValue(u"SHGREY"), 2);
    EXPECT_EQ(Sample::StaticClass().FindProp(u"Shade")->EnumValue(u"shBlue"), -1);
    EXPECT_EQ(Sample::StaticClass().FindProp(u"Missing"), nullptr);
}

TEST(ClassInfo, GetAndSetThroughDescriptions)
{
    Sample s;
    const ClassInfo& cls = s.ClassType();
    cls.FindProp(u"Flag")->Set(s, int64_t(0));
    cls.FindProp(u"Count")->Set(s, int64_t(12));
    cls.FindProp(u"Shade")->Set(s, int64_t(2));
    cls.FindProp(u"Shades")->Set(s, int64_t(5));
    cls.FindProp(u"Ratio")->Set(s, 2.5);
    cls.FindProp(u"Caption")->Set(s, String(u"hello"));
    cls.FindProp(u"Value")->Set(s, Variant(u"v"));
    EXPECT_FALSE(s.FFlag);
    EXPECT_EQ(s.FCount, 12);
    EXPECT_EQ(s.FShade, Shade::shGrey);
    EXPECT_TRUE(s.FShades.Contains(Shade::shLight) && s.FShades.Contains(Shade::shGrey));
    EXPECT_EQ(s.FRatio, 2.5);
    EXPECT_EQ(s.FCaption, u"hello");
    EXPECT_EQ(PropOrdinal(cls.FindProp(u"Count")->Get(s)), 12);
    EXPECT_EQ(PropString(cls.FindProp(u"Caption")->Get(s)), u"hello");
    EXPECT_EQ(PropObject(cls.FindProp(u"Pen")->Get(s)), &s.FPen);

    // Sub-objects are reached mutable through Get, so dotted paths can be walked.
    auto* pen = static_cast<Pen*>(PropObject(cls.FindProp(u"Pen")->Get(s)));
    pen->ClassType().FindProp(u"Width")->Set(*pen, 3.0);
    EXPECT_EQ(s.FPen.FWidth, 3.0);
}

TEST(ClassInfo, ValuesOutsideTheTypeAreRefusedAndNothingIsStored)
{
    Sample s;
    const ClassInfo& cls = s.ClassType();
    struct Case
    {
        StringView Prop;
        PropValue Value;
    };
    const Case cases[] = {{u"Shade", int64_t(3)},
                          {u"Shade", int64_t(-1)},
                          {u"Flag", int64_t(2)},
                          {u"Shades", int64_t(8)},
                          {u"Count", String(u"12")},
                          {u"Count", int64_t(-4)}, // the setter's own check
                          {u"Pen", static_cast<Persistent*>(&s.FLines)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Prop));
        EXPECT_THROW(cls.FindProp(c.Prop)->Set(s, c.Value), EConvertError);
    }
    EXPECT_EQ(s.FShade, Shade::shLight);
    EXPECT_TRUE(s.FFlag);
    EXPECT_TRUE(s.FShades.Empty());
    EXPECT_EQ(s.FCount, 0);
}

TEST(ClassInfo, StoredConditionAndReadOnlyName)
{
    Sample s;
    const PropInfo* caption = s.ClassType().FindProp(u"Caption");
    EXPECT_TRUE(caption->IsStored(s));
    s.FCaption = u"none";
    EXPECT_FALSE(caption->IsStored(s));
    EXPECT_FALSE(s.ClassType().FindProp(u"Name")->IsStored(s));
    EXPECT_TRUE(s.ClassType().FindProp(u"Tag")->IsStored(s));
}

TEST(ClassInfo, FactoryCreatesTheDescribedClass)
{
    std::unique_ptr<Persistent> made = DerivedSample::StaticClass().Create();
    ASSERT_NE(dynamic_cast<DerivedSample*>(made.get()), nullptr);
    EXPECT_EQ(&made->ClassType(), &DerivedSample::StaticClass());
    EXPECT_THROW(Persistent::StaticClass().Create(), Exception);
}

TEST(ComponentLink, EmptiesWhenTheTargetIsDestroyed)
{
    auto target = std::make_unique<Sample>();
    Sample a;
    Sample b;
    a.FBuddy = target.get();
    b.ClassType().FindProp(u"Buddy")->Set(b, static_cast<Persistent*>(target.get()));
    ComponentLink<Sample> copy = a.FBuddy;
    EXPECT_EQ(b.FBuddy.Get(), target.get());
    target.reset();
    EXPECT_EQ(a.FBuddy.Get(), nullptr);
    EXPECT_EQ(b.FBuddy.Get(), nullptr);
    EXPECT_EQ(copy.Get(), nullptr);
    EXPECT_EQ(PropObject(a.ClassType().FindProp(u"Buddy")->Get(a)), nullptr);
}

TEST(ComponentLink, ALinkDestroyedFirstLeavesTheTargetConsistent)
{
    Sample target;
    {
        ComponentLink<Sample> first(&target);
        ComponentLink<Sample> second(&target);
        ComponentLink<Sample> third(&target);
    }
    ComponentLink<Sample> later(&target);
    EXPECT_EQ(later.Get(), &target);
}

TEST(Component, NamesAreUniqueInTheOwnerWithoutCase)
{
    Component owner;
    auto* a = static_cast<Sample*>(owner.InsertOwned(std::make_unique<Sample>()));
    auto* b = static_cast<Sample*>(owner.InsertOwned(std::make_unique<Sample>()));
    a->SetName(u"Orders");
    EXPECT_EQ(owner.FindComponent(u"ORDERS"), a);
    EXPECT_THROW(b->SetName(u"orders"), Exception);
    EXPECT_EQ(b->Name(), u"");
    a->SetName(u"Items");
    EXPECT_EQ(owner.FindComponent(u"orders"), nullptr);
    b->SetName(u"orders");
    EXPECT_EQ(owner.FindComponent(u"Orders"), b);
    EXPECT_EQ(owner.ComponentCount(), 2u);
}

TEST(Component, ScopesSurviveManyRemovalsAndKeepJoiningOrder)
{
    Component owner;
    std::vector<std::unique_ptr<Sample>> members;
    for (int i = 0; i < 100; ++i) {
        members.push_back(std::make_unique<Sample>());
        members.back()->SetName(u"C" + IntToStr(i));
        owner.InsertComponent(members.back().get());
    }
    for (int i = 0; i < 100; i += 2)
        members[size_t(i)].reset();
    std::vector<Component*> left = owner.Components();
    ASSERT_EQ(left.size(), 50u);
    EXPECT_EQ(left.front()->Name(), u"C1");
    EXPECT_EQ(left.back()->Name(), u"C99");
    EXPECT_EQ(owner.FindComponent(u"c51"), members[51].get());
    EXPECT_EQ(owner.FindComponent(u"c50"), nullptr);
}

TEST(Component, AnOwnerThatGoesFirstReleasesItsMembers)
{
    auto member = std::make_unique<Sample>();
    {
        Component owner;
        owner.InsertComponent(member.get());
        EXPECT_EQ(member->Owner(), &owner);
    }
    EXPECT_EQ(member->Owner(), nullptr);
}

TEST(StringList, TextSplitsAtEveryBreakAndJoinsWithCrLf)
{
    struct Case
    {
        StringView Text;
        std::vector<String> Lines;
    };
    const Case cases[] = {{u"", {}},
                          {u"a", {u"a"}},
                          {u"a\r\n", {u"a"}},
                          {u"a\r\nb\rc\nd", {u"a", u"b", u"c", u"d"}},
                          {u"\n\n", {u"", u""}},
                          {u"a\n\rb", {u"a", u"", u"b"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        StringList list;
        list.SetText(c.Text);
        EXPECT_EQ(list.Lines(), c.Lines);
    }
    StringList list;
    list.SetText(u"x\ny");
    EXPECT_EQ(list.Text(), u"x\r\ny\r\n");
}

TEST(ClassRegistry, FindsByNameWithoutCase)
{
    ClassRegistry registry;
    registry.Register(Sample::StaticClass());
    registry.Register(Sample::StaticClass());
    registry.Register(DerivedSample::StaticClass());
    EXPECT_EQ(registry.Find(u"tsample"), &Sample::StaticClass());
    EXPECT_EQ(registry.Find(u"TDERIVEDSAMPLE"), &DerivedSample::StaticClass());
    EXPECT_EQ(registry.Find(u"NotAClass"), nullptr);
    EXPECT_EQ(registry.Classes().size(), 2u);
}

} // namespace
} // namespace vl
