// Saving and loading the prepared-page store, and editing whole output pages.
#include "base/number_text.h"
#include "base/stream.h"
#include "layout/preview_pages.h"
#include "layout/preview_pages_internal.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/units.h"
#include "platform/component/class_registry.h"
#include "platform/unicode/text_case.h"
#include "template/prop_data.h"
#include "template/xml_serializer.h"

#include <algorithm>
#include <unordered_map>

namespace vl {
namespace {

constexpr StringView ReportName = u"report";
constexpr StringView SourcePagesName = u"sourcepages";
constexpr StringView DictionaryName = u"dictionary";
constexpr StringView PictureCacheName = u"picturecache";

// The report properties a saved store carries.
constexpr StringView SavedReportProps[] = {u"DotMatrixReport",
                                           u"PreviewOptions.OutlineVisible",
                                           u"PreviewOptions.OutlineWidth",
                                           u"ReportOptions.Name"};

// A new object of the registered class `name`; nullptr when there is none or it is no report
// object.
std::unique_ptr<TvlxComponent> CreateByName(StringView name)
{
    const ClassInfo* cls = ClassRegistry::Global().Find(name);
    if (cls == nullptr) return nullptr;
    std::unique_ptr<Persistent> made = cls->Create();
    auto* object = dynamic_cast<TvlxComponent*>(made.get());
    if (object == nullptr) return nullptr;
    made.release();
    return std::unique_ptr<TvlxComponent>(object);
}

// Appends copies of `from`'s entries to `to`, their pages moved by `shift`; iterative, since the
// tree may come from a file.
void CopyOutline(const TvlxXMLItem& from, TvlxXMLItem& to, int32_t shift)
{
    std::vector<std::pair<const TvlxXMLItem*, TvlxXMLItem*>> stack{{&from, &to}};
    while (!stack.empty()) {
        auto [source, target] = stack.back();
        stack.pop_back();
        for (int32_t i = 0; i < source->Count(); ++i) {
            const TvlxXMLItem& entry = (*source)[i];
            TvlxXMLItem& copy = target->Add(entry.Name());
            copy.SetText(entry.Text());
            int32_t page = 0;
            TryStrToInt(entry.Attribute(u"page"), page);
            copy.SetAttribute(u"page", IntToStr(page + shift));
            stack.push_back({&entry, &copy});
        }
    }
}

} // namespace

void TvlxPreviewPages::WriteReportItems()
{
    TvlxXMLSerializer serializer;
    TvlxXMLItem& root = FXMLDoc.Root();
    if (FReport != nullptr) {
        TvlxXMLItem all;
        all.SetText(serializer.ObjToXML(*FReport));
        TvlxXMLItem& item = root.FindItem(ReportName).Add(FReport->ClassType().Name());
        for (StringView name : SavedReportProps)
            if (std::optional<StringView> value = all.FindAttribute(name))
                item.SetText(item.Text() + u" " + String(name) + u"=\"" + String(*value) + u"\"");
    }
    TvlxXMLItem& sources = root.FindItem(SourcePagesName);
    for (const auto& page : FSourcePages)
        serializer.WriteRootComponent(*page, true, &sources.Add());
    TvlxXMLItem& dictionary = root.FindItem(DictionaryName);
    for (const String& alias : FDictionary.Names())
        dictionary.Add(alias).SetAttribute(u"name", FDictionary.GetSourceName(alias));
    TvlxXMLItem& pictures = root.FindItem(PictureCacheName);
    for (const std::string& bytes : FPictureCache)
        pictures.Add(u"item").SetText(u"data=\"" + BytesToHex(bytes) + u"\"");
}

void TvlxPreviewPages::DropSavedItems()
{
    TvlxXMLItem& root = FXMLDoc.Root();
    for (StringView name : {ReportName, SourcePagesName, DictionaryName, PictureCacheName})
        if (int index = root.Find(name); index >= 0) root.Delete(index);
}

void TvlxPreviewPages::SaveToStream(Stream& stream)
{
    WriteReportItems();
    try {
        FXMLDoc.SaveToStream(stream);
    } catch (const std::exception&) {
        DropSavedItems(); // the store stays as it was, whatever the stream did
        throw;
    }
    DropSavedItems();
}

void TvlxPreviewPages::SaveToFile(const std::string& fileName)
{
    FileStream file(fileName, FileStream::Mode::Create);
    SaveToStream(file);
}

void TvlxPreviewPages::LoadFromStream(Stream& stream, bool allowPartialLoading)
{
    Clear();
    FAllowPartialLoading = allowPartialLoading;
    FXMLDoc.LoadFromStream(stream, allowPartialLoading);
    ReadReportItems();
}

bool TvlxPreviewPages::LoadFromFile(const std::string& fileName, bool exceptionIfNotFound)
{
    std::unique_ptr<FileStream> file;
    // A missing file is an answer, not an error, unless the caller says otherwise.
    try {
        file = std::make_unique<FileStream>(fileName, FileStream::Mode::OpenRead);
    } catch (const EFOpenError&) {
        if (exceptionIfNotFound) throw;
        return false;
    }
    Clear();
    FTempStream = std::move(file);
    FAllowPartialLoading = true;
    FXMLDoc.LoadFromStream(*FTempStream, true);
    ReadReportItems();
    return true;
}

void TvlxPreviewPages::ReadReportItems()
{
    TvlxXMLItem& root = FXMLDoc.Root();
    if (root.Name() != u"preparedreport") root.SetName(u"preparedreport");
    FPagesItem = &RootChild(u"previewpages");
    FOutline = std::make_unique<TvlxOutline>(RootChild(u"outline"), FCurPage);
    TvlxXMLSerializer serializer;

    if (int index = root.Find(ReportName); index >= 0 && FReport != nullptr)
        if (root[index].Count() > 0) {
            for (StringView name : SavedReportProps)
                if (std::optional<StringView> value = root[index][0].FindAttribute(name))
                    serializer.XMLToObj(String(name) + u"=\"" + String(*value) + u"\"", *FReport);
        }

    if (int index = root.Find(SourcePagesName); index >= 0) {
        TvlxXMLItem& sources = root[index];
        for (int32_t i = 0; i < sources.Count(); ++i) {
            std::unique_ptr<TvlxComponent> page = CreateByName(sources[i].Name());
            if (page != nullptr && page->IsPage()) {
                serializer.ReadRootComponent(*page, &sources[i]);
            } else {
                // The index of every later source page must stay what the page names say.
                AddError(u"Cannot find class " + sources[i].Name());
                page = std::make_unique<TvlxReportPage>();
            }
            FSourcePages.push_back(std::move(page));
        }
    }

    if (int index = root.Find(DictionaryName); index >= 0) {
        std::vector<std::unordered_map<String, TvlxComponent*>> byName(FSourcePages.size());
        for (size_t k = 0; k < FSourcePages.size(); ++k)
            for (TvlxComponent* obj : FSourcePages[k]->AllObjects())
                byName[k].emplace(UpperCase(obj->Name()), obj);
        TvlxXMLItem& dictionary = root[index];
        for (int32_t i = 0; i < dictionary.Count(); ++i) {
            const String sourceName = dictionary[i].Attribute(u"name");
            TvlxComponent* obj = nullptr;
            size_t dot = sourceName.find(u'.');
            int32_t k = -1;
            if (sourceName.starts_with(u"Page") && dot != String::npos &&
                TryStrToInt(StringView(sourceName).substr(4, dot - 4), k) && k >= 0 &&
                static_cast<size_t>(k) < FSourcePages.size()) {
                auto found =
                    byName[static_cast<size_t>(k)].find(UpperCase(sourceName.substr(dot + 1)));
                if (found != byName[static_cast<size_t>(k)].end()) obj = found->second;
            }
            // An alias without its object is left out: stored elements of it then read as
            // class names and are reported by the serializer.
            if (obj == nullptr) continue;
            const String& alias = dictionary[i].Name();
            FDictionary.Add(alias, sourceName, obj);
            FDictionary.Find(alias)->BaseName = SourceBaseName(*obj);
            obj->FAliasName = alias;
        }
    }

    if (int index = root.Find(PictureCacheName); index >= 0) {
        TvlxXMLItem& pictures = root[index];
        for (int32_t i = 0; i < pictures.Count(); ++i)
            FPictureCache.push_back(HexToBytes(pictures[i].Attribute(u"data")));
    }
    for (const String& error : serializer.Errors())
        AddError(error);
    DropSavedItems();
    FCurPage = Count() - 1;
}

// ---- Editing whole pages

void TvlxPreviewPages::AddEmptyPage(int32_t index)
{
    if (index < 0 || index >= Count()) return;
    ClearCache();
    auto item = std::make_unique<TvlxXMLItem>();
    item->SetName((*FPagesItem)[index].Name());
    FPagesItem->InsertItem(index, std::move(item));
}

void TvlxPreviewPages::DeletePage(int32_t index)
{
    if (Count() < 2 || index < 0 || index >= Count()) return;
    ClearCache();
    FPagesItem->Delete(index);
    if (FCurPage >= Count()) FCurPage = Count() - 1;
}

void TvlxPreviewPages::ModifyPage(int32_t index, TvlxComponent& page)
{
    if (index < 0 || index >= Count()) return;
    auto item = std::make_unique<TvlxXMLItem>();
    TvlxXMLSerializer serializer;
    serializer.WriteRootComponent(page, true, item.get());
    // `page` may be a rebuilt page of the cache: the cache goes only after it was written.
    ClearCache();
    FPagesItem->Delete(index);
    FPagesItem->InsertItem(index, std::move(item));
}

void TvlxPreviewPages::UpdatePageDimensions(TvlxComponent& page, double width, double height)
{
    auto source = std::find_if(FSourcePages.begin(), FSourcePages.end(), [&](const auto& p) {
        return p.get() == &page || p->FOriginalComponent.Get() == &page;
    });
    if (source == FSourcePages.end()) return;
    auto* copy = dynamic_cast<TvlxReportPage*>(source->get());
    if (copy == nullptr) return;
    copy->SetSizeAndDimensions(CustomPaperSize, width / PixelsPerMm, height / PixelsPerMm);
    ClearCache(); // pages rebuilt before now carry the old size
}

void TvlxPreviewPages::AddFrom(TvlxCustomPreviewPages& other)
{
    auto* from = dynamic_cast<TvlxPreviewPages*>(&other);
    if (from == nullptr || from == this) return;
    ClearCache();
    const int32_t shift = Count();
    TvlxXMLSerializer serializer;
    for (int32_t i = 0; i < from->Count(); ++i) {
        TvlxComponent* page = from->Page(i);
        auto item = std::make_unique<TvlxXMLItem>();
        serializer.WriteRootComponent(*page, true, item.get());
        FPagesItem->AddItem(std::move(item));
    }
    from->ClearCache();
    TvlxXMLItem& anchors = from->RootChild(u"anchors");
    for (int32_t i = 0; i < anchors.Count(); ++i) {
        TvlxXMLItem& copy = RootChild(u"anchors").Add(u"item");
        copy.SetText(anchors[i].Text());
        int32_t page = 0;
        TryStrToInt(anchors[i].Attribute(u"page"), page);
        copy.SetAttribute(u"page", IntToStr(page + shift));
    }
    CopyOutline(from->RootChild(u"outline"), RootChild(u"outline"), shift);
    const int32_t savedPage = from->FCurPage;
    from->FCurPage = from->Count() - 1;
    FLastY = from->GetLastY(0);
    from->FCurPage = savedPage;
    FCurPage = Count() - 1;
}

} // namespace vl
