// Template loading and saving of the report: the report-level load with its kept options, the
// data page, the report's own lists in the property data block, and the combined error.
#include "base/exception.h"
#include "model/report.h"
#include "platform/component/class_registry.h"
#include "template/prop_data.h"
#include "template/xml_escape.h"

#include <mutex>

namespace vl {

namespace {

// Taken around template reading when a report's EnableThreadSafe is set.
std::mutex& TemplateReadingLock()
{
    static std::mutex lock;
    return lock;
}

bool InheritsFromClassNamed(const TvlxComponent& c, StringView name)
{
    for (const ClassInfo* cls = &c.ClassType(); cls != nullptr; cls = cls->Parent())
        if (SameText(cls->Name(), name)) return true;
    return false;
}

// Non-visual components (template datasets and the like) live on the data page.
bool IsNonVisual(const TvlxComponent& c)
{
    return InheritsFromClassNamed(c, u"TvlxDialogComponent");
}

bool IsIntegerType(PropDataType t)
{
    return t == PropDataType::vaInt8 || t == PropDataType::vaInt16 || t == PropDataType::vaInt32 ||
           t == PropDataType::vaInt64;
}

// Reads one of the report's lists: a list of items, each a list holding one attribute text that
// is applied to a new item through the serializer (so references resolve with all the others);
// or a collection whose items are property sequences. Throws EReadError for other shapes.
template <class MakeItem>
void ReadListProp(PropDataReader& reader, TvlxXMLSerializer& serializer, MakeItem makeItem)
{
    if (reader.PeekType() == PropDataType::vaCollection) {
        reader.ReadType();
        while (!reader.EndOfList()) {
            if (IsIntegerType(reader.PeekType())) reader.ReadInteger(); // item index
            Persistent& item = makeItem();
            String attributes;
            while (!reader.EndOfList()) {
                const String name = reader.ReadName();
                const Variant value = reader.ReadValue();
                attributes += name + u"=\"" + XMLEscape(value.ToText()) + u"\" ";
            }
            serializer.XMLToObj(attributes, item);
        }
        return;
    }
    if (reader.ReadType() != PropDataType::vaList) throw EReadError(u"Invalid property list");
    while (!reader.EndOfList()) {
        if (reader.ReadType() != PropDataType::vaList) throw EReadError(u"Invalid property list");
        const String attributes = reader.ReadString();
        serializer.XMLToObj(attributes, makeItem());
        while (!reader.EndOfList())
            reader.SkipValue();
    }
}

// Writes a list of items as attribute texts (see ReadListProp).
template <class ItemAt>
void WriteListProp(PropDataWriter& writer,
                   StringView name,
                   TvlxXMLSerializer& serializer,
                   size_t count,
                   ItemAt itemAt)
{
    if (count == 0) return;
    writer.WriteName(name);
    writer.WriteListBegin();
    for (size_t i = 0; i < count; ++i) {
        String text = serializer.ObjToXML(itemAt(i));
        if (!text.empty() && text.front() == u' ') text.erase(0, 1);
        writer.WriteListBegin();
        writer.WriteUtf8String(text);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

} // namespace

bool TvlxReport::ReadCustomProp(StringView name,
                                PropDataReader& reader,
                                TvlxXMLSerializer& serializer)
{
    if (name == u"Datasets") {
        FDataSets.Clear();
        ReadListProp(reader, serializer, [this]() -> Persistent& { return FDataSets.Add(); });
        return true;
    }
    if (name == u"Variables") {
        FVariables.Clear();
        ReadListProp(reader, serializer, [this]() -> Persistent& { return FVariables.Add(); });
        return true;
    }
    if (name == u"Style") {
        FStyles.Clear();
        ReadListProp(reader, serializer, [this]() -> Persistent& { return FStyles.Add(); });
        return true;
    }
    return false;
}

void TvlxReport::WriteCustomProps(PropDataWriter& writer) const
{
    TvlxXMLSerializer serializer;
    serializer.SetOwner(const_cast<TvlxReport*>(this));
    WriteListProp(
        writer, u"Datasets", serializer, FDataSets.Count(), [this](size_t i) -> auto& {
            return FDataSets.Item(i);
        });
    WriteListProp(
        writer, u"Variables", serializer, FVariables.Count(), [this](size_t i) -> auto& {
            return FVariables.Item(i);
        });
    WriteListProp(
        writer, u"Style", serializer, FStyles.Count(), [this](size_t i) -> auto& {
            return FStyles[i];
        });
}

void TvlxReport::ReadTemplate(Stream& stream)
{
    std::unique_lock<std::mutex> lock(TemplateReadingLock(), std::defer_lock);
    if (FEngineOptions.EnableThreadSafe) lock.lock();
    Clear();
    TvlxXMLSerializer serializer;
    serializer.SetOwner(this);
    serializer.SetStream(&stream);
    try {
        serializer.ReadRootComponent(*this);
    } catch (const Exception& e) {
        // What was read before a syntax error stays; the error joins the others.
        FErrors.Add(e.Message());
    }
    for (const String& e : serializer.Errors())
        FErrors.Add(e);
}

void TvlxReport::LoadFromStream(Stream& stream)
{
    LoadTemplate(stream);
    ReportErrors();
}

void TvlxReport::LoadTemplate(Stream& stream)
{
    FErrors.Clear();
    // Settings of the program, not of the template: a load keeps them.
    const TvlxEngineOptions engineOptions = FEngineOptions;
    const TvlxPreviewOptions previewOptions = FPreviewOptions;
    const String iniFile = IniFile;
    const bool oldStyleProgress = OldStyleProgress;
    const bool showProgress = ShowProgress;
    const bool storeInDFM = StoreInDFM;

    ReadTemplate(stream);
    CheckDataPage();

    const TvlxEngineOptions loadedEngine = FEngineOptions;
    FEngineOptions = engineOptions;
    FEngineOptions.ConvertNulls = loadedEngine.ConvertNulls;
    FEngineOptions.IgnoreDevByZero = loadedEngine.IgnoreDevByZero;
    FEngineOptions.DoublePass = loadedEngine.DoublePass;
    const TvlxPreviewOptions loadedPreview = FPreviewOptions;
    FPreviewOptions = previewOptions;
    FPreviewOptions.OutlineExpand = loadedPreview.OutlineExpand;
    FPreviewOptions.OutlineVisible = loadedPreview.OutlineVisible;
    FPreviewOptions.OutlineWidth = loadedPreview.OutlineWidth;
    FPreviewOptions.ThumbnailVisible = loadedPreview.ThumbnailVisible;
    FPreviewOptions.PagesInCache = loadedPreview.PagesInCache;
    IniFile = iniFile;
    OldStyleProgress = oldStyleProgress;
    ShowProgress = showProgress;
    StoreInDFM = storeInDFM;

    // Nobody can answer a password question here; the reload of a run has it emptied.
    if (!FReloading && !FReportOptions.Password.empty())
        FErrors.Add(u"Templates protected by a password are not supported");
}

void TvlxReport::SaveToStream(Stream& stream, bool saveChildren, bool saveDefaultValues)
{
    TvlxXMLSerializer serializer;
    serializer.SetOwner(this);
    serializer.SetStream(&stream);
    serializer.SetSerializeDefaultValues(saveDefaultValues);
    serializer.WriteRootComponent(*this, saveChildren);
}

bool TvlxReport::ReportErrors()
{
    if (FErrors.Empty()) return true;
    // A message box has no user to show it to here: simMessageBoxes drops the text as simSilent.
    if (FEngineOptions.NewSilentMode == TvlxSilentMode::simReThrow)
        throw Exception(CombinedErrorText(FErrors));
    return false;
}

void TvlxReport::CheckDataPage()
{
    const ClassInfo* dataPageClass = ClassRegistry::Global().Find(u"TvlxDataPage");
    if (dataPageClass == nullptr) return; // no page classes registered: nothing to create
    for (const auto& child : Objects())
        if (child->ClassType().InheritsFrom(*dataPageClass)) return;

    TvlxComponent* page = TvlxComponent::Create(*dataPageClass, this);
    if (FindComponent(u"Data") == nullptr)
        page->SetName(u"Data");
    else
        page->CreateUniqueName();
    MoveChild(page, 0);

    const std::vector<TvlxComponent*> all = AllObjects();
    double left = 60;
    for (TvlxComponent* c : all) {
        if (c == page || !IsNonVisual(*c)) continue;
        c->SetParent(page);
        c->SetTop(20);
        c->SetLeft(left);
        left += 64;
    }
}

} // namespace vl
