// The report object tree: tree operations, names, geometry, font following and alignment.
#include "model/component.h"

#include "base/exception.h"
#include "base/format.h"
#include "model/diff_writer.h"
#include "model/report.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"
#include "platform/unicode/text_case.h"
#include "request/dataset_adapter.h"
#include "template/xml_document.h"
#include "template/xml_serializer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

namespace vl {

const ClassInfo& TvlxComponent::StaticClass()
{
    // Subclasses publish their own choice of the geometry, font and state properties.
    static const ClassInfo info =
        DescribeClass<TvlxComponent, Component>(u"TvlxComponent")
            .Prop<&TvlxComponent::Description, &TvlxComponent::SetDescription>(u"Description")
            .Build();
    return info;
}

TvlxComponent::TvlxComponent()
{
    FFont.SetListener(this);
}

TvlxComponent::~TvlxComponent()
{
    FFont.SetListener(nullptr);
    // Inherited children are freed here as well: their parent goes.
    std::vector<std::unique_ptr<TvlxComponent>> children = std::move(FObjects);
    for (auto& child : children) {
        child->FParent = nullptr;
        child.reset();
    }
}

TvlxComponent* TvlxComponent::Create(const ClassInfo& cls, Component* owner)
{
    std::unique_ptr<Persistent> made = cls.Create();
    auto* object = dynamic_cast<TvlxComponent*>(made.get());
    if (object == nullptr)
        throw Exception(Format(u"Class %s is not a report object", {cls.Name()}));
    made.release();
    std::unique_ptr<TvlxComponent> owned(object);
    if (auto* parent = dynamic_cast<TvlxComponent*>(owner)) {
        if (TvlxComponent* report = parent->Report()) report->InsertComponent(object);
        return parent->AddChild(std::move(owned));
    }
    Expects(owner != nullptr, "a created report object has a parent or an owner");
    owner->InsertOwned(std::move(owned));
    return object;
}

// ---- Tree

void TvlxComponent::SetParent(TvlxComponent* parent)
{
    if (parent == FParent) return;
    Expects(FParent != nullptr && parent != nullptr, "SetParent moves between two parents");
    for (const TvlxComponent* p = parent; p != nullptr; p = p->FParent)
        Expects(p != this, "an object cannot move into its own subtree");
    parent->AddChild(FParent->TakeChild(this));
}

TvlxComponent* TvlxComponent::AddChild(std::unique_ptr<TvlxComponent> child)
{
    return InsertChild(FObjects.size(), std::move(child));
}

TvlxComponent* TvlxComponent::InsertChild(size_t index, std::unique_ptr<TvlxComponent> child)
{
    Expects(child != nullptr && child->FParent == nullptr, "a new child has no parent");
    TvlxComponent* c = child.get();
    c->FParent = this;
    FObjects.insert(FObjects.begin() + std::ptrdiff_t(std::min(index, FObjects.size())),
                    std::move(child));
    // A following font is refreshed from the new parent.
    c->SetParentFont(c->FParentFont);
    return c;
}

std::unique_ptr<TvlxComponent> TvlxComponent::TakeChild(TvlxComponent* child)
{
    auto it = std::find_if(
        FObjects.begin(), FObjects.end(), [child](const auto& p) { return p.get() == child; });
    Expects(it != FObjects.end(), "TakeChild of a child");
    std::unique_ptr<TvlxComponent> taken = std::move(*it);
    FObjects.erase(it);
    taken->FParent = nullptr;
    return taken;
}

void TvlxComponent::MoveChild(TvlxComponent* child, size_t index)
{
    std::unique_ptr<TvlxComponent> taken = TakeChild(child);
    taken->FParent = this;
    FObjects.insert(FObjects.begin() + std::ptrdiff_t(std::min(index, FObjects.size())),
                    std::move(taken));
}

const std::vector<TvlxComponent*>& TvlxComponent::AllObjects()
{
    FAllObjects.clear();
    // Iterative pre-order walk: deep trees cost no stack.
    std::vector<std::pair<const TvlxComponent*, size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->FObjects.size()) {
            stack.pop_back();
            continue;
        }
        TvlxComponent* child = node->FObjects[next++].get();
        FAllObjects.push_back(child);
        stack.emplace_back(child, 0);
    }
    return FAllObjects;
}

TvlxComponent* TvlxComponent::FindObject(StringView name)
{
    for (TvlxComponent* c : AllObjects())
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

TvlxComponent* TvlxComponent::Page() const
{
    for (const TvlxComponent* c = this; c != nullptr; c = c->FParent)
        if (c->IsPage()) return const_cast<TvlxComponent*>(c);
    return nullptr;
}

TvlxComponent* TvlxComponent::Report() const
{
    for (const TvlxComponent* c = this; c != nullptr; c = c->FParent)
        if (c->IsReport()) return const_cast<TvlxComponent*>(c);
    return nullptr;
}

double TvlxComponent::AbsLeft() const
{
    double sum = 0;
    for (const TvlxComponent* c = this; c != nullptr; c = c->FParent) {
        sum += c->FLeft;
        if (c->FParent != nullptr && c->FParent->IsDialogPage()) break;
    }
    return sum;
}

double TvlxComponent::AbsTop() const
{
    double sum = 0;
    for (const TvlxComponent* c = this; c != nullptr; c = c->FParent) {
        sum += c->FTop;
        if (c->FParent != nullptr && c->FParent->IsDialogPage()) break;
    }
    return sum;
}

// ---- Geometry

bool TvlxComponent::CanMove() const
{
    return !(IsDesigning && FRestrictions.Contains(TvlxRestriction::rfDontMove));
}

bool TvlxComponent::CanSize() const
{
    return !(IsDesigning && FRestrictions.Contains(TvlxRestriction::rfDontSize));
}

void TvlxComponent::SetLeft(double value)
{
    if (CanMove()) FLeft = value;
}

void TvlxComponent::SetTop(double value)
{
    if (CanMove()) FTop = value;
}

void TvlxComponent::SetWidth(double value)
{
    if (CanSize()) FWidth = value;
}

void TvlxComponent::SetHeight(double value)
{
    if (CanSize()) FHeight = value;
}

void TvlxComponent::SetBounds(double left, double top, double width, double height)
{
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

// ---- Font

void TvlxComponent::SetFont(const TvlxFont& font)
{
    FFont.Assign(font);
    FParentFont = false;
}

void TvlxComponent::SetParentFont(bool value)
{
    if (value && FParent != nullptr) FFont.Assign(FParent->FFont);
    FParentFont = value;
}

void TvlxComponent::FontChanged(TvlxFont&)
{
    FParentFont = false;
    RefreshFollowingChildren();
}

void TvlxComponent::RefreshFollowingChildren()
{
    for (auto& child : FObjects)
        if (child->FParentFont) child->SetParentFont(true);
}

// ---- Names

void TvlxComponent::SetName(const String& name)
{
    if (SameText(name, Name())) return;
    if (!name.empty()) {
        if (TvlxComponent* report = Report()) {
            Component* other = report->FindComponent(name);
            if (other != nullptr && other != this) throw Exception(ResourceText(u"prDupl"));
        }
    }
    if (IsAncestor) throw Exception(Format(ResourceText(u"clCantRen"), {Name()}));
    Component::SetName(name);
}

void TvlxComponent::CreateUniqueName()
{
    std::unordered_set<String, TextHash, TextEqual> taken;
    TvlxComponent* scope = Report();
    if (scope == nullptr) scope = FParent;
    if (scope != nullptr)
        for (TvlxComponent* c : scope->AllObjects())
            taken.insert(c->Name());
    const String& stem = BaseName();
    for (int64_t n = 1;; ++n) {
        String candidate = stem + IntToStr(n);
        if (!taken.contains(candidate)) {
            SetName(candidate);
            return;
        }
    }
}

const String& TvlxComponent::BaseName() const
{
    if (FBaseName.empty()) {
        FBaseName = String(ClassType().Name());
        for (StringView part : {StringView(u"Tvlx"), StringView(u"View")}) {
            size_t at = FBaseName.find(part);
            if (at != String::npos) FBaseName.erase(at, part.size());
        }
    }
    return FBaseName;
}

// ---- Operations

String TvlxComponent::GetDescription() const
{
    return String(ClassType().Name());
}

void TvlxComponent::Clear()
{
    std::vector<std::unique_ptr<TvlxComponent>> children = std::move(FObjects);
    FObjects.clear();
    for (auto& child : children) {
        if (child->IsAncestor) {
            child->Clear();
            FObjects.push_back(std::move(child));
        } else {
            child->FParent = nullptr;
            child.reset();
        }
    }
}

void TvlxComponent::Loaded()
{
    Component::Loaded();
}

namespace {

// Sort key of a view in the alignment list: "1" + Left as "%9.2f", or "0" + |Left| for a
// negative Left. Compared as text, as the alignment rules require.
std::string AlignKey(double left)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%c%9.2f", left >= 0 ? '1' : '0', std::fabs(left));
    return buffer;
}

bool OverlapVertically(const TvlxComponent& a, const TvlxComponent& b)
{
    double aTop = a.AbsTop();
    double bTop = b.AbsTop();
    bool below = aTop >= bTop + b.Height() - CoordinateTolerance;
    bool above = aTop + a.Height() <= bTop + CoordinateTolerance;
    return !below && !above;
}

} // namespace

void TvlxComponent::AlignChildren()
{
    // Equal keys keep the later child first: a sorted insert places a new entry before the
    // equal ones already listed.
    std::vector<std::pair<std::string, TvlxComponent*>> list;
    for (auto it = FObjects.rbegin(); it != FObjects.rend(); ++it)
        if ((*it)->IsView()) list.emplace_back(AlignKey((*it)->Left()), it->get());
    std::stable_sort(
        list.begin(), list.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // Left pass.
    for (size_t i = 0; i < list.size(); ++i) {
        TvlxComponent& e = *list[i].second;
        TvlxAlign align = e.Align();
        if (align != TvlxAlign::baLeft && align != TvlxAlign::baWidth) continue;
        TvlxComponent* neighbour = nullptr;
        for (size_t j = i; j-- > 0;) {
            TvlxComponent& v = *list[j].second;
            if (!OverlapVertically(v, e)) continue;
            if (align == TvlxAlign::baWidth && v.Left() > e.Left()) continue;
            neighbour = &v;
            break;
        }
        e.SetLeft(neighbour != nullptr ? neighbour->Left() + neighbour->Width() : 0);
    }

    // Right pass.
    for (size_t i = list.size(); i-- > 0;) {
        TvlxComponent& e = *list[i].second;
        TvlxAlign align = e.Align();
        if (align != TvlxAlign::baRight && align != TvlxAlign::baWidth) continue;
        TvlxComponent* neighbour = nullptr;
        for (size_t j = i + 1; j < list.size(); ++j) {
            TvlxComponent& v = *list[j].second;
            if (!OverlapVertically(v, e)) continue;
            if (align == TvlxAlign::baWidth && v.Left() + v.Width() < e.Left() + e.Width())
                continue;
            neighbour = &v;
            break;
        }
        double right = neighbour != nullptr ? neighbour->Left() : FWidth;
        if (align == TvlxAlign::baRight)
            e.SetLeft(right - e.Width());
        else
            e.SetWidth(right - e.Left());
    }

    for (auto& child : FObjects) {
        if (!child->IsView()) continue;
        switch (child->Align()) {
        case TvlxAlign::baCenter:
            child->SetLeft((FWidth - child->Width()) / 2);
            break;
        case TvlxAlign::baBottom:
            child->SetTop(FHeight - child->Height());
            break;
        case TvlxAlign::baClient:
            child->SetBounds(0, 0, FWidth, FHeight);
            break;
        default:
            break;
        }
    }
}

// ---- Copies and differences

namespace {

// Copies `source` (with its children when `children`) into `target` through an XML item, the
// way templates are written and read.
void CopyThroughXML(TvlxComponent& target,
                    const TvlxComponent& source,
                    bool children,
                    bool streaming)
{
    TvlxXMLDocument document;
    {
        TvlxXMLSerializer writer;
        writer.SetSerializeDefaultValues(true);
        // Writing does not change the source; the writer's interface is not const.
        writer.WriteRootComponent(
            const_cast<TvlxComponent&>(source), children, &document.Root(), streaming);
    }
    target.Clear();
    TvlxComponent* report = target.Report();
    TvlxXMLSerializer reader;
    reader.SetOwner(report != nullptr ? report : &target);
    reader.ReadRootComponent(target, &document.Root());
    if (auto* r = dynamic_cast<TvlxReport*>(report))
        for (const String& error : reader.Errors())
            r->Errors().Add(error);
}

TvlxFindDataSetFn FindDataSetHook = nullptr;

} // namespace

void TvlxComponent::Assign(const Persistent& source)
{
    const auto* component = dynamic_cast<const TvlxComponent*>(&source);
    if (component == nullptr) return Persistent::Assign(source);
    if (component == this) return;
    CopyThroughXML(*this, *component, false, false);
}

void TvlxComponent::AssignAll(const TvlxComponent& source, bool streaming)
{
    if (&source == this) return;
    CopyThroughXML(*this, source, true, streaming);
}

String TvlxComponent::Diff(TvlxComponent& other)
{
    DiffWriter d;
    d.Float(u"l", FLeft, other.FLeft);
    if (IsBand())
        d.WriteFloat(u"t", FTop);
    else
        d.Float(u"t", FTop, other.FTop);
    if (!IsAutoWidth()) d.Float(u"w", FWidth, other.FWidth);
    d.Float(u"h", FHeight, other.FHeight);
    d.Bool(u"Visible", FVisible, other.FVisible);
    if (!FParentFont) {
        const TvlxFont& f = FFont;
        const TvlxFont& o = other.FFont;
        d.Text(u"Font.Name", f.Name(), o.Name());
        d.Int(u"Font.Size", f.Size(), o.Size());
        d.Int(u"Font.Color", f.Color(), o.Color());
        d.Int(u"Font.Style", f.Style().Mask(), o.Style().Mask());
        d.Int(u"Font.Charset", f.Charset(), o.Charset());
    }
    d.Bool(u"ParentFont", FParentFont, other.FParentFont);
    d.Int(u"Tag", Tag(), other.Tag());
    return d.Take();
}

String TvlxComponent::AllDiff(TvlxComponent* other)
{
    TvlxXMLSerializer writer;
    String text = writer.ObjToXML(*this);
    if (other != nullptr) {
        text += u' ';
        text += Diff(*other);
    }
    return text;
}

void SetFindDataSetHook(TvlxFindDataSetFn fn)
{
    FindDataSetHook = fn;
}

TvlxDataSet* FindDataSet(const TvlxComponent& context, StringView name)
{
    if (name.empty()) return nullptr;
    if (FindDataSetHook != nullptr) return FindDataSetHook(context, name);
    return FindDataSetByUserName(name, context.Report(), nullptr);
}

// ---- Report components

const ClassInfo& TvlxReportComponent::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxReportComponent, TvlxComponent>(u"TvlxReportComponent").Build();
    return info;
}

void TvlxReportComponent::BeforePrint()
{
    FOriginalRect = Bounds();
}

void TvlxReportComponent::AfterPrint()
{
    SetBounds(FOriginalRect.Left, FOriginalRect.Top, FOriginalRect.Width, FOriginalRect.Height);
}

TvlxRect TvlxReportComponent::GetRealBounds() const
{
    double left = AbsLeft();
    double top = AbsTop();
    return {left, top, left + Width(), top + Height()};
}

} // namespace vl
