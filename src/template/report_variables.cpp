// The variable list with its categories.
#include "template/report_variables.h"

#include "platform/component/class_builder.h"
#include "platform/unicode/text_case.h"
#include "template/xml_document.h"
#include "template/xml_serializer.h"

namespace vl {

namespace {

constexpr size_t MaxCategoryName = 255;

bool IsHeader(const TvlxVariable& v)
{
    return !v.Name().empty() && v.Name()[0] == u' ';
}

} // namespace

TvlxVariable::TvlxVariable()
    : FValue(Variant::Null())
{}

TvlxVariable::TvlxVariable(String name, Variant value)
    : FName(std::move(name))
    , FValue(std::move(value))
{}

const ClassInfo& TvlxVariable::StaticClass()
{
    static const ClassInfo info = DescribeClass<TvlxVariable, Persistent>(u"TvlxVariable")
                                      .Prop<&TvlxVariable::Name, &TvlxVariable::SetName>(u"Name")
                                      .Prop<&TvlxVariable::Value, &TvlxVariable::SetValue>(u"Value")
                                      .Build();
    return info;
}

const ClassInfo& TvlxVariables::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxVariables, Persistent>(u"TvlxVariables").Build();
    return info;
}

void TvlxVariable::Assign(const Persistent& source)
{
    if (const auto* other = dynamic_cast<const TvlxVariable*>(&source)) {
        FName = other->FName;
        FValue = other->FValue;
        return;
    }
    Persistent::Assign(source);
}

TvlxVariable& TvlxVariables::Add()
{
    FItems.push_back(std::make_unique<TvlxVariable>());
    return *FItems.back();
}

TvlxVariable& TvlxVariables::Insert(size_t index)
{
    if (index > FItems.size()) index = FItems.size();
    return **FItems.insert(FItems.begin() + static_cast<ptrdiff_t>(index),
                           std::make_unique<TvlxVariable>());
}

void TvlxVariables::Delete(size_t index)
{
    if (index < FItems.size()) FItems.erase(FItems.begin() + static_cast<ptrdiff_t>(index));
}

int TvlxVariables::IndexOf(StringView name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (SameText(FItems[i]->Name(), name)) return static_cast<int>(i);
    return -1;
}

Variant TvlxVariables::Value(StringView name) const
{
    const int i = IndexOf(name);
    return i >= 0 ? FItems[i]->Value() : Variant::Null();
}

void TvlxVariables::SetValue(StringView name, const Variant& value)
{
    const int i = IndexOf(name);
    if (i >= 0) {
        FItems[i]->SetValue(value);
        return;
    }
    TvlxVariable& v = Add();
    v.SetName(String(name));
    v.SetValue(value);
}

int TvlxVariables::CategoryIndex(StringView category) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        const String& name = FItems[i]->Name();
        if (IsHeader(*FItems[i]) && SameText(StringView(name).substr(1), category))
            return static_cast<int>(i);
    }
    return -1;
}

void TvlxVariables::AddVariable(StringView category, StringView name, const Variant& value)
{
    if (const int existing = IndexOf(name); existing >= 0) {
        FItems[existing]->SetValue(value);
        return;
    }
    const int header = CategoryIndex(category);
    if (header < 0) return;
    size_t end = static_cast<size_t>(header) + 1;
    while (end < FItems.size() && !IsHeader(*FItems[end]))
        ++end;
    TvlxVariable& v = Insert(end);
    v.SetName(String(name));
    v.SetValue(value);
}

void TvlxVariables::DeleteVariable(StringView name)
{
    if (const int i = IndexOf(name); i >= 0) Delete(static_cast<size_t>(i));
}

void TvlxVariables::DeleteCategory(StringView category)
{
    const int header = CategoryIndex(category);
    if (header < 0) return;
    size_t end = static_cast<size_t>(header) + 1;
    while (end < FItems.size() && !IsHeader(*FItems[end]))
        ++end;
    FItems.erase(FItems.begin() + header, FItems.begin() + static_cast<ptrdiff_t>(end));
}

void TvlxVariables::GetCategoriesList(StringList& list, bool clearList) const
{
    if (clearList) list.Clear();
    for (const auto& v : FItems)
        if (IsHeader(*v)) list.Add(v->Name().substr(1, MaxCategoryName));
}

void TvlxVariables::GetVariablesList(StringView category, StringList& list) const
{
    list.Clear();
    size_t i = 0;
    if (!category.empty()) {
        const int header = CategoryIndex(category);
        if (header < 0) return;
        i = static_cast<size_t>(header) + 1;
    }
    for (; i < FItems.size(); ++i) {
        const TvlxVariable& v = *FItems[i];
        if (v.Name().empty() || IsHeader(v)) break;
        list.Add(v.Name());
    }
}

void TvlxVariables::Assign(const TvlxVariables& source)
{
    if (&source == this) return;
    FItems.clear();
    for (const auto& v : source.FItems)
        FItems.push_back(std::make_unique<TvlxVariable>(v->Name(), v->Value()));
}

void TvlxVariables::LoadFromStream(Stream& stream)
{
    Clear();
    TvlxXMLDocument document;
    document.LoadFromStream(stream, false);
    if (SameText(document.Root().Name(), u"variables"))
        LoadFromXMLItem(document.Root(), document.OldVersion());
}

void TvlxVariables::LoadFromFile(const std::string& fileName)
{
    FileStream file(fileName, FileStream::Mode::OpenRead);
    LoadFromStream(file);
}

void TvlxVariables::LoadFromXMLItem(const TvlxXMLItem& item, bool oldXMLFormat)
{
    Clear();
    TvlxXMLSerializer serializer;
    serializer.SetOldFormat(oldXMLFormat);
    for (int i = 0; i < item.Count(); ++i) {
        const TvlxXMLItem& child = item[i];
        if (!SameText(child.Name(), u"item")) continue;
        serializer.XMLToObj(child.Text(), Add());
    }
}

void TvlxVariables::SaveToStream(Stream& stream) const
{
    TvlxXMLDocument document;
    document.SetAutoIndent(true);
    TvlxXMLItem& root = document.Root();
    root.SetName(u"variables");
    TvlxXMLSerializer serializer;
    for (const auto& v : FItems) {
        String text = serializer.ObjToXML(*v);
        // Value is a Variant, which the serializer writes whatever it holds.
        if (!text.empty() && text.front() == u' ') text.erase(0, 1);
        root.Add(u"item").SetText(std::move(text));
    }
    document.SaveToStream(stream);
}

void TvlxVariables::SaveToFile(const std::string& fileName) const
{
    FileStream file(fileName, FileStream::Mode::Create);
    SaveToStream(file);
}

int TvlxArray::IndexOf(const Variant& key) const
{
    return FItems.IndexOf(key.ToText());
}

Variant TvlxArray::Value(const Variant& key) const
{
    return FItems.Value(key.ToText());
}

void TvlxArray::SetValue(const Variant& key, const Variant& value)
{
    FItems.SetValue(key.ToText(), value);
}

TvlxVariables& GlobalVariables()
{
    static TvlxVariables variables;
    return variables;
}

} // namespace vl
