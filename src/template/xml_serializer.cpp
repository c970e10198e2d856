// Template XML <-> report objects through class descriptions.
#include "template/xml_serializer.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/number_text.h"
#include "platform/component/string_list.h"
#include "template/prop_data.h"
#include "template/xml_document.h"
#include "template/xml_escape.h"

#include <cmath>
#include <unordered_map>

namespace vl {

double TemplateTextToFloat(StringView text)
{
    const FormatSettings& fs = DefaultFormatSettings();
    String s;
    s.reserve(text.size());
    for (char16_t c : text) {
        if (c == u' ') continue;
        s += (c == u'.' || c == u',') ? fs.DecimalSeparator : c;
    }
    double value = 0;
    if (!TryTextToFloat(s, value, fs))
        throw EConvertError(Format(u"'%s' is not a valid floating point value", {text}));
    return value;
}

namespace {

int64_t TemplateTextToInt(StringView text)
{
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(Format(u"'%s' is not a valid integer value", {text}));
    return value;
}

// Text of a string list as written: less one final CR LF.
String ListText(const StringList& list)
{
    String text = list.Text();
    if (text.size() >= 2 && text.ends_with(u"\r\n")) text.resize(text.size() - 2);
    return text;
}

// Old-format documents carry UTF-8 bytes read as 8-bit characters.
String DecodeOldUtf8(StringView text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text)
        bytes += char(c);
    return FromUtf8(bytes);
}

void AppendAttribute(String& out, StringView add, StringView name, StringView value)
{
    out += u' ';
    out += add;
    out += name;
    out += u"=\"";
    out += value;
    out += u'"';
}

// A Variant as attribute text: Booleans as "1"/"0", strings escaped, Null and Empty empty.
String VariantToXML(const Variant& v, const FormatSettings& fs)
{
    if (v.IsEmpty() || v.IsNull() || v.IsArray() || v.IsObject()) return {};
    if (v.IsBoolean()) return v.ToBool(fs) ? u"1" : u"0";
    if (v.IsString()) return XMLEscape(v.StringValue());
    return v.ToText(fs);
}

} // namespace

TvlxXMLSerializer::TvlxXMLSerializer(ClassRegistry& registry)
    : FRegistry(registry)
{}

std::vector<String> TvlxXMLSerializer::Errors() const
{
    return {FErrors.begin(), FErrors.end()};
}

// ---- Reading attributes

void TvlxXMLSerializer::XMLToObj(StringView s, Persistent& obj)
{
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        while (i < n && s[i] <= u' ') // line breaks of hand-written templates count as spaces
            ++i;
        size_t eq = s.find(u'=', i);
        if (eq == StringView::npos || eq + 1 >= n) return;
        StringView name = s.substr(i, eq - i);
        while (!name.empty() && name.back() == u' ')
            name.remove_suffix(1);
        if (name.empty()) return;
        size_t open = s.find(u'"', eq);
        if (open == StringView::npos) return;
        size_t close = s.find(u'"', open + 1);
        if (close == StringView::npos) close = n;
        StringView value = s.substr(open + 1, close - open - 1);
        i = close + 1;
        // One bad attribute costs only itself.
        try {
            ApplyAttribute(obj, name, value);
        } catch (const Exception& e) {
            AddError(e.Message());
        }
    }
}

void TvlxXMLSerializer::ApplyAttribute(Persistent& root, StringView name, StringView value)
{
    Persistent* obj = &root;
    // Dotted names walk owned sub-objects; a component that is no such property ends the walk
    // and the rest of the name is taken whole (and then matches nothing).
    for (size_t dot = name.find(u'.'); dot != StringView::npos && dot + 1 < name.size();
         dot = name.find(u'.')) {
        const PropInfo* prop = obj->ClassType().FindProp(name.substr(0, dot));
        if (prop == nullptr) break;
        if (!IsObjectKind(prop->Kind) || prop->Kind == PropKind::ComponentRef) return;
        Persistent* sub = PropObject(prop->Get(*obj));
        if (sub == nullptr) return;
        obj = sub;
        name.remove_prefix(dot + 1);
    }

    if (name == u"PropData") {
        ApplyPropData(*obj, HexToBytes(value), *this);
        return;
    }
    auto* component = dynamic_cast<TvlxComponent*>(obj);
    if (component != nullptr && name.size() == 1) {
        switch (name[0]) {
        case u'l':
            component->SetLeft(TemplateTextToFloat(value));
            return;
        case u't':
            component->SetTop(TemplateTextToFloat(value));
            return;
        case u'w':
            component->SetWidth(TemplateTextToFloat(value));
            return;
        case u'h':
            component->SetHeight(TemplateTextToFloat(value));
            return;
        default:
            break;
        }
    }
    if (auto* text = dynamic_cast<XMLTextObject*>(obj)) {
        if (name == u"x" || name == u"u" || name == u"Text") {
            String plain = XMLUnescape(value);
            if (FOldFormat && name != u"x") plain = DecodeOldUtf8(plain);
            text->SetXMLText(plain);
            return;
        }
    }
    if (name == u"Text") {
        if (auto* list = dynamic_cast<StringList*>(obj)) {
            list->SetText(XMLUnescape(value));
            return;
        }
    }
    if (component != nullptr && component->IsReport() && name == u"Name") return;

    const PropInfo* prop = obj->ClassType().FindProp(name);
    if (prop == nullptr || prop->IsReadOnly()) return;
    ApplyProp(*obj, *prop, value);
}

void TvlxXMLSerializer::ApplyProp(Persistent& obj, const PropInfo& prop, StringView value)
{
    switch (prop.Kind) {
    case PropKind::Integer:
    case PropKind::Char:
    case PropKind::WideChar:
    case PropKind::Set:
        prop.Set(obj, TemplateTextToInt(value));
        return;
    case PropKind::Enum: {
        int32_t number = 0;
        int64_t ordinal = TryStrToInt(value, number) ? number : prop.EnumValue(value);
        if (ordinal < 0) throw EConvertError(u"Invalid property value");
        prop.Set(obj, ordinal);
        return;
    }
    case PropKind::Float:
        prop.Set(obj, TemplateTextToFloat(value));
        return;
    case PropKind::Text:
        prop.Set(obj, XMLUnescape(value));
        return;
    case PropKind::VariantValue:
        prop.Set(obj, Variant(XMLUnescape(value)));
        return;
    case PropKind::ComponentRef:
        FFixups.push_back({&obj, &prop, XMLUnescape(value)});
        return;
    default:
        return;
    }
}

// ---- References

Component* TvlxXMLSerializer::FindReference(StringView name)
{
    if (FOwner == nullptr) return nullptr;
    size_t dot = name.find(u'.');
    if (dot != StringView::npos) {
        // Container.Component: the container is a component next to the owner (a data module
        // of the owner's owner), each further "." one level deeper.
        Component* scope = FOwner->Owner();
        Component* found = nullptr;
        while (scope != nullptr) {
            StringView part = name.substr(0, dot);
            found = scope->FindComponent(part);
            if (found == nullptr && SameText(scope->Name(), part)) found = scope;
            if (found == nullptr || dot == StringView::npos) break;
            name.remove_prefix(dot + 1);
            dot = name.find(u'.');
            scope = found;
            if (dot == StringView::npos) return scope->FindComponent(name);
        }
        return nullptr;
    }
    if (Component* c = FOwner->FindComponent(name)) return c;
    if (FOwner->Owner() != nullptr) return FOwner->Owner()->FindComponent(name);
    return nullptr;
}

void TvlxXMLSerializer::FixupReferences()
{
    if (FFixups.empty()) return;
    // One index of the owner's objects (first of a name wins, as FindObject finds it).
    std::unordered_map<StringView, TvlxComponent*, TextHash, TextEqual> objects;
    if (auto* tree = dynamic_cast<TvlxComponent*>(FOwner)) {
        for (TvlxComponent* c : tree->AllObjects())
            if (!c->Name().empty()) objects.emplace(c->Name(), c);
    }
    std::vector<TvlxFixupItem> fixups = std::move(FFixups);
    FFixups.clear();
    for (const TvlxFixupItem& f : fixups) {
        Component* found = nullptr;
        auto it = objects.find(f.Value);
        if (it != objects.end())
            found = it->second;
        else
            found = FindReference(f.Value);
        if (found == nullptr) continue;
        try {
            f.Prop->Set(*f.Obj, static_cast<Persistent*>(found));
        } catch (const Exception& e) {
            AddError(e.Message());
        }
    }
}

void TvlxXMLSerializer::CopyFixupList(std::vector<TvlxFixupItem>& list) const
{
    list.insert(list.end(), FFixups.begin(), FFixups.end());
}

// ---- Reading trees

void TvlxXMLSerializer::ReadRootComponent(TvlxComponent& root, TvlxXMLItem* item)
{
    if (FOwner == nullptr) FOwner = &root;
    TvlxXMLDocument document;
    if (item == nullptr) {
        Expects(FStream != nullptr, "ReadRootComponent reads from a stream");
        document.LoadFromStream(*FStream, false);
        FOldFormat = document.OldVersion();
        item = &document.Root();
    }
    FRead.clear();
    ReadItem(*item, nullptr, &root);
    FixupReferences();
    for (TvlxComponent* c : FRead) {
        c->SetLoading(false);
        if (!c->IsReport()) c->Loaded();
    }
    FRead.clear();
}

void TvlxXMLSerializer::ReadItem(const TvlxXMLItem& item,
                                 TvlxComponent* parent,
                                 TvlxComponent* root)
{
    bool inherited = SameText(item.Name(), u"inherited");
    const ClassInfo* cls = inherited ? nullptr : FRegistry.Find(item.Name());
    if (!inherited && cls == nullptr) {
        AddError(u"Cannot find class " + item.Name());
        return;
    }
    TvlxComponent* obj = root;
    if (parent != nullptr) {
        String name = item.Attribute(u"Name");
        obj = FOwner != nullptr && !name.empty()
                  ? dynamic_cast<TvlxComponent*>(FOwner->FindComponent(name))
                  : nullptr;
        if (obj == nullptr) {
            if (inherited) return;
            try {
                obj = TvlxComponent::Create(*cls, parent);
            } catch (const Exception& e) {
                AddError(e.Message());
                return;
            }
        }
    }
    obj->SetLoading(true);
    XMLToObj(item.Text(), *obj);
    FRead.push_back(obj);
    for (int i = 0; i < item.Count(); ++i)
        ReadItem(item[i], obj, nullptr);
}

TvlxComponent* TvlxXMLSerializer::ReadComponentStr(Component* root, StringView s, bool dontFixup)
{
    while (!s.empty() && s.front() <= u' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() <= u' ')
        s.remove_suffix(1);
    if (s.empty()) return nullptr;
    size_t space = s.find(u' ');
    StringView className = s.substr(0, space);
    StringView attributes = space == StringView::npos ? StringView() : s.substr(space + 1);
    const ClassInfo* cls = FRegistry.Find(className);
    if (cls == nullptr) throw Exception(u"Cannot find class " + String(className));
    if (FOwner == nullptr) FOwner = root;
    TvlxComponent* obj = TvlxComponent::Create(*cls, root);
    obj->SetLoading(true);
    XMLToObj(attributes, *obj);
    if (dontFixup)
        FFixups.clear();
    else
        FixupReferences();
    obj->SetLoading(false);
    if (!obj->IsReport()) obj->Loaded();
    return obj;
}

void TvlxXMLSerializer::ReadPersistentStr(Component* root, Persistent& obj, StringView s)
{
    if (FOwner == nullptr) FOwner = root;
    XMLToObj(s, obj);
    FixupReferences();
}

// ---- Writing

String
TvlxXMLSerializer::ObjToXML(const Persistent& obj, StringView add, const Persistent* ancestor)
{
    String out;
    const FormatSettings& fs = DefaultFormatSettings();
    for (const PropInfo& prop : obj.ClassType().Props()) {
        if (prop.Kind == PropKind::Ignored || !prop.IsStored(obj)) continue;
        PropValue v = prop.Get(obj);
        std::optional<PropValue> a;
        if (ancestor != nullptr && &ancestor->ClassType() == &obj.ClassType())
            a = prop.Get(*ancestor);
        else if (ancestor != nullptr)
            if (const PropInfo* ap = ancestor->ClassType().FindProp(prop.Name))
                a = ap->Get(*ancestor);
        switch (prop.Kind) {
        case PropKind::Integer:
        case PropKind::Char:
        case PropKind::WideChar:
        case PropKind::Enum:
        case PropKind::Set: {
            int64_t n = PropOrdinal(v);
            bool write = FSerializeDefaultValues ||
                         (a ? n != PropOrdinal(*a) : !prop.Default || n != *prop.Default);
            if (!write) break;
            AppendAttribute(out,
                            add,
                            prop.Name,
                            prop.Kind == PropKind::Enum ? String(prop.EnumName(n)) : IntToStr(n));
            break;
        }
        case PropKind::Float: {
            double d = PropFloat(v);
            if (!FSerializeDefaultValues && a && std::fabs(d - PropFloat(*a)) < 0.000001) break;
            AppendAttribute(out, add, prop.Name, FloatToStr(d, fs));
            break;
        }
        case PropKind::Text: {
            const String& s = PropString(v);
            bool write = FSerializeDefaultValues || (a ? s != PropString(*a) : !s.empty());
            if (write) AppendAttribute(out, add, prop.Name, XMLEscape(s));
            break;
        }
        case PropKind::VariantValue: {
            String s = VariantToXML(PropVariant(v), fs);
            if (a && s == VariantToXML(PropVariant(*a), fs)) break;
            AppendAttribute(out, add, prop.Name, s);
            break;
        }
        case PropKind::ComponentRef: {
            auto* ref = dynamic_cast<Component*>(PropObject(v));
            auto* aref = a ? dynamic_cast<Component*>(PropObject(*a)) : nullptr;
            if (ref == nullptr) {
                if (aref != nullptr) AppendAttribute(out, add, prop.Name, u"nil");
                break;
            }
            String name = ref->Name();
            const auto* self = dynamic_cast<const Component*>(&obj);
            Component* scope = FOwner != nullptr ? FOwner : (self ? self->Owner() : nullptr);
            if (ref->Owner() != nullptr && ref->Owner() != scope && ref != scope &&
                !ref->Owner()->Name().empty())
                name = ref->Owner()->Name() + u"." + name;
            if (a && aref != nullptr && SameText(aref->Name(), ref->Name())) break;
            AppendAttribute(out, add, prop.Name, XMLEscape(name));
            break;
        }
        case PropKind::Strings: {
            const auto* list = static_cast<const StringList*>(PropObject(v));
            const auto* alist = a ? dynamic_cast<const StringList*>(PropObject(*a)) : nullptr;
            if (alist != nullptr && list->Lines() == alist->Lines()) break;
            out += u' ';
            out += add;
            out += prop.Name;
            out += u".Text=\"";
            out += XMLEscape(ListText(*list));
            out += u'"';
            break;
        }
        case PropKind::SubObject: {
            const Persistent* sub = PropObject(v);
            if (sub == nullptr) break;
            const Persistent* asub = a ? PropObject(*a) : nullptr;
            out += ObjToXML(*sub, String(add) + String(prop.Name) + u".", asub);
            break;
        }
        default:
            break;
        }
    }
    if (const auto* text = dynamic_cast<const XMLTextObject*>(&obj)) {
        String t = text->XMLText();
        const auto* atext = dynamic_cast<const XMLTextObject*>(ancestor);
        if (atext == nullptr || atext->XMLText() != t) {
            if (t.ends_with(u"\r\n")) t.resize(t.size() - 2);
            AppendAttribute(out, add, u"Text", XMLEscape(t));
        }
    }
    AppendPropData(out, obj, add, ancestor);
    return out;
}

void TvlxXMLSerializer::AppendPropData(String& out,
                                       const Persistent& obj,
                                       StringView add,
                                       const Persistent* ancestor)
{
    std::string block = SavePropData(obj);
    if (block.empty()) return;
    if (ancestor != nullptr && SavePropData(*ancestor) == block) return;
    AppendAttribute(out, add, u"PropData", BytesToHex(block));
}

void TvlxXMLSerializer::WriteRootComponent(TvlxComponent& root,
                                           bool saveChildren,
                                           TvlxXMLItem* item,
                                           bool streaming)
{
    if (FOwner == nullptr) FOwner = &root;
    if (item != nullptr) {
        WriteItem(*item, root, true, saveChildren, streaming);
        return;
    }
    Expects(FStream != nullptr, "WriteRootComponent writes to a stream");
    TvlxXMLDocument document;
    document.SetAutoIndent(true);
    WriteItem(document.Root(), root, true, saveChildren, streaming);
    document.SaveToStream(*FStream);
}

void TvlxXMLSerializer::WriteItem(
    TvlxXMLItem& item, TvlxComponent& obj, bool isRoot, bool saveChildren, bool streaming)
{
    item.SetName(obj.IsAncestor && !streaming ? String(u"inherited")
                                              : String(obj.ClassType().Name()));
    String text;
    if (!isRoot) AppendAttribute(text, {}, u"Name", XMLEscape(obj.Name()));
    text += ObjToXML(obj);
    item.SetText(std::move(text));
    if (!saveChildren) return;
    for (const auto& child : obj.Objects())
        WriteItem(item.Add(), *child, false, true, streaming);
}

String TvlxXMLSerializer::WriteComponentStr(const TvlxComponent& c)
{
    return String(c.ClassType().Name()) + ObjToXML(c);
}

} // namespace vl
