// The prepared-page store: what the band engine fills with copies of printed bands and views, and
// what an export filter walks page by page and object by object.
//
// Storage form. The store is one XML document (root "preparedreport"). For every design page the
// engine runs, a source page is kept: a copy of the page and its objects, each copy registered
// in the dictionary under a short alias (m1, b1, ...). A printed object is stored as one element
// named by that alias whose attributes are only the properties in which it differs from its
// source copy (TvlxComponent::Diff) - typically position, height and text - so a row costs a few
// short attribute strings. Objects without a source copy are stored as class name plus complete
// attribute text. Reading a page back (Page(i)) rebuilds real objects from source copies plus
// differences; rebuilt pages are cached, most recently used first.
//
// Memory. With Options.UseFileCache, page elements other than the last leave memory for the
// document's temporary file once Options.MaxMemSize megabytes of new XML have been stored, and
// come back on demand; the temporary file has no name in the file system.
//
// Ownership: the store owns its document, source pages and rebuilt pages; the report, the host and
// an export filter are borrowed. Page(i) stays valid until the next Page call, the next change of
// the store, or ClearCache.
//
// Errors: stored XML that names unknown classes or aliases, or pages that do not exist, adds the
// problem to the report's error list and leaves the object out; it never throws from a rebuild.
#pragma once

#include "base/exception.h"
#include "base/stream.h"
#include "base/string.h"
#include "layout/preview_dictionary.h"
#include "layout/preview_outline.h"
#include "model/component.h"
#include "template/xml_document.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vl {

class Clock;
class RasterSurface;
class TvlxCustomExportFilter;
class TvlxReport;
class TvlxXMLSerializer;

// Raised when the report is terminated during an export; the walk ends quietly.
class EExportTerminated : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EExportTerminated"; }
};

enum class TvlxAddPageAction
{
    apWriteOver,
    apAdd
};

// What the store asks of the engine and report that use it. Every method has the answer of "no
// engine run": the store works without a host (tests, a store loaded from a file).
class TvlxPreviewPagesHost
{
public:
    virtual ~TvlxPreviewPagesHost() = default;

    // True while the engine fills the store (rebuilt pages are then not reused from the cache).
    virtual bool EngineRunning() const { return false; }
    // A two-pass report, and whether the pass running is its last (the only one otherwise).
    virtual bool DoublePass() const { return false; }
    virtual bool FinalPass() const { return true; }
    // The engine's current position on the page, pixels.
    virtual double CurY() const { return 0; }
    // The engine's total page count ("TotalPages#").
    virtual int32_t TotalPages() const { return 0; }
    // The report's terminated flag.
    virtual bool Terminated() const { return false; }
    virtual void SetTerminated(bool value) { (void)value; }
    // Runs the filter's OnBeginExport script procedure, if any.
    virtual void BeginExport(TvlxCustomExportFilter& filter) { (void)filter; }
    // True: a failed export raises its error report; false: the error report is dropped.
    virtual bool ReThrowErrors() const { return true; }
};

// Settings the report and engine hand the store before a run.
struct TvlxPreviewPagesOptions
{
    bool UseFileCache = false;       // move old page XML to a temporary file
    int32_t MaxMemSize = 10;         // megabytes of new XML before a move
    std::string TempDir;             // folder of the temporary file (UTF-8); empty: the system's
    int32_t PagesInCache = 50;       // rebuilt pages kept
    bool PictureCacheInFile = false; // accepted; pictures are kept in memory
    bool MirrorMargins = false;      // unused here: each page carries its own
};

// Paper size of an output page, whole pixels.
struct TvlxPageSize
{
    int32_t Width = 0;
    int32_t Height = 0;
};

// The operations the engine and the exporter call; TvlxPreviewPages is the store.
class TvlxCustomPreviewPages
{
public:
    virtual ~TvlxCustomPreviewPages() = default;

    virtual void Clear() = 0;
    virtual void Initialize() = 0;
    virtual void AddObject(TvlxComponent& obj) = 0;
    virtual void AddPage(TvlxComponent& page) = 0;
    virtual void AddSourcePage(TvlxComponent& page) = 0;
    virtual void AddToSourcePage(TvlxComponent& obj) = 0;
    virtual void BeginPass() = 0;
    virtual void ClearFirstPassPages() = 0;
    virtual void CutObjects(int32_t position) = 0;
    virtual void Finish() = 0;
    virtual void IncLogicalPageNumber() = 0;
    virtual void ResetLogicalPageNumber() = 0;
    virtual void PasteObjects(double x, double y) = 0;
    virtual void ShiftAnchors(int32_t from, int32_t newTop) = 0;
    virtual int32_t AddPicture(TvlxComponent& picture) = 0;
    virtual bool BandExists(const TvlxComponent& band) = 0;
    virtual int32_t GetCurPosition() = 0;
    virtual int32_t GetAnchorCurPosition() = 0;
    virtual double GetLastY(double columnPosition = 0) = 0;
    virtual int32_t GetLogicalPageNo() = 0;
    virtual int32_t GetLogicalTotalPages() = 0;
    virtual void AddEmptyPage(int32_t index) = 0;
    virtual void DeletePage(int32_t index) = 0;
    virtual void ModifyPage(int32_t index, TvlxComponent& page) = 0;
    // Gives the source copy of design page `page` custom paper of `width` x `height` pixels
    // (margins included); every output page rebuilt from that copy takes the size, pages
    // replaced by ModifyPage keep their own.
    virtual void UpdatePageDimensions(TvlxComponent& page, double width, double height) = 0;
    virtual void AddFrom(TvlxCustomPreviewPages& other) = 0;
    virtual void LoadFromStream(Stream& stream, bool allowPartialLoading = false) = 0;
    virtual void SaveToStream(Stream& stream) = 0;
    // False when the file does not exist and `exceptionIfNotFound` is off.
    virtual bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false) = 0;
    virtual void SaveToFile(const std::string& fileName) = 0;
    // Walks the pages for `filter`; false when it did not run to the end (see the .cpp).
    virtual bool Export(TvlxCustomExportFilter& filter) = 0;

    virtual int32_t Count() = 0;
    // The rebuilt output page `index` (nullptr out of range); owned by the store.
    virtual TvlxComponent* Page(int32_t index) = 0;
    // Paper of output page `index`; (0, 0) out of range.
    virtual TvlxPageSize PageSize(int32_t index) = 0;

    TvlxAddPageAction AddPageAction() const { return FAddPageAction; }
    void SetAddPageAction(TvlxAddPageAction value) { FAddPageAction = value; }
    int32_t CurPage() const { return FCurPage; }
    void SetCurPage(int32_t value) { FCurPage = value; }
    int32_t CurPreviewPage() const { return FCurPreviewPage; }
    void SetCurPreviewPage(int32_t value) { FCurPreviewPage = value; }
    int32_t FirstPage() const { return FFirstPage; }
    void SetFirstPage(int32_t value) { FFirstPage = value; }
    TvlxCustomOutline& Outline() { return *FOutline; }

    TvlxPreviewPagesHost* Host() const { return FHost; }
    void SetHost(TvlxPreviewPagesHost* host) { FHost = host != nullptr ? host : &FNoHost; }
    TvlxReport* Report() const { return FReport; }

    TvlxPreviewPagesOptions Options;
    // The clock that dates an export; nullptr: the system clock. Not owned.
    Clock* ExportClock = nullptr;

protected:
    explicit TvlxCustomPreviewPages(TvlxReport* report)
        : FReport(report)
    {}

    TvlxReport* FReport;                    // not owned; may be nullptr
    TvlxPreviewPagesHost FNoHost;           // the answers without an engine
    TvlxPreviewPagesHost* FHost = &FNoHost; // never nullptr
    std::unique_ptr<TvlxCustomOutline> FOutline;
    TvlxAddPageAction FAddPageAction = TvlxAddPageAction::apAdd;
    int32_t FCurPage = -1;       // current output page index; -1 when none
    int32_t FCurPreviewPage = 0; // page a preview would show
    int32_t FFirstPage = 0;      // first page of this report when several are appended
};

class TvlxPreviewPages : public TvlxCustomPreviewPages
{
public:
    explicit TvlxPreviewPages(TvlxReport* report = nullptr);
    ~TvlxPreviewPages() override;

    void Clear() override;
    void Initialize() override;
    void AddObject(TvlxComponent& obj) override;
    void AddPage(TvlxComponent& page) override;
    void AddSourcePage(TvlxComponent& page) override;
    void AddToSourcePage(TvlxComponent& obj) override;
    void BeginPass() override;
    void ClearFirstPassPages() override;
    void CutObjects(int32_t position) override;
    void Finish() override;
    void IncLogicalPageNumber() override;
    void ResetLogicalPageNumber() override;
    void PasteObjects(double x, double y) override;
    void ShiftAnchors(int32_t from, int32_t newTop) override;
    int32_t AddPicture(TvlxComponent& picture) override;
    bool BandExists(const TvlxComponent& band) override;
    int32_t GetCurPosition() override;
    int32_t GetAnchorCurPosition() override;
    double GetLastY(double columnPosition = 0) override;
    int32_t GetLogicalPageNo() override;
    int32_t GetLogicalTotalPages() override;
    void AddEmptyPage(int32_t index) override;
    void DeletePage(int32_t index) override;
    void ModifyPage(int32_t index, TvlxComponent& page) override;
    void UpdatePageDimensions(TvlxComponent& page, double width, double height) override;
    void AddFrom(TvlxCustomPreviewPages& other) override;
    void LoadFromStream(Stream& stream, bool allowPartialLoading = false) override;
    void SaveToStream(Stream& stream) override;
    bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false) override;
    void SaveToFile(const std::string& fileName) override;
    bool Export(TvlxCustomExportFilter& filter) override;

    int32_t Count() override;
    TvlxComponent* Page(int32_t index) override;
    TvlxPageSize PageSize(int32_t index) override;

    // Anchors: named positions that page references resolve.
    void AddAnchor(const String& text);
    // The last anchor of that text (without case), or nullptr.
    TvlxXMLItem* FindAnchor(StringView text);
    // The anchor's page + 1; 1 when absent.
    int32_t GetAnchorPage(StringView text);

    // Frees the rebuilt pages.
    void ClearCache();

    // ---- Inspection (tests, tools)
    TvlxXMLDocument& XMLDoc() { return FXMLDoc; }
    TvlxXMLItem& PagesItem() { return *FPagesItem; }
    const TvlxDictionary& Dictionary() const { return FDictionary; }
    size_t SourcePageCount() const { return FSourcePages.size(); }
    TvlxComponent& SourcePage(size_t index) const { return *FSourcePages.at(index); }
    // Bytes of XML stored since the last move to the temporary file.
    int64_t XMLSize() const { return FXMLSize; }
    // The filled height carried over from an appended report.
    double LastY() const { return FLastY; }
    void SetLastY(double value) { FLastY = value; }

private:
    struct CachedPage
    {
        int32_t Index;
        std::unique_ptr<TvlxComponent> Page;
    };

    TvlxXMLItem& RootChild(StringView name);
    // The element of the current output page, loaded; nullptr when there is none.
    TvlxXMLItem* CurPageItem();
    TvlxXMLItem& LogicalItem();
    bool InFinalPassOfTwo() const;
    void UnloadOldPages();
    void AddObjectTo(TvlxXMLItem& parent, TvlxComponent& obj, bool complete, bool finalPass);
    TvlxComponent* MakeSourceCopy(TvlxComponent& design, TvlxComponent& parent, size_t pageIndex);
    void RegisterSourceCopy(TvlxComponent& copy, TvlxComponent& design, size_t pageIndex);
    String SourceBaseName(TvlxComponent& copy) const;
    std::unique_ptr<TvlxComponent> RebuildPage(TvlxXMLItem& pageItem);
    void
    RebuildObjects(const TvlxXMLItem& item, TvlxComponent& parent, TvlxXMLSerializer& serializer);
    // A rebuilt picture view takes its image from the picture cache by its ImageIndex.
    void RestorePicture(TvlxComponent& obj);
    void AddError(const String& text);
    void ExportPage(TvlxCustomExportFilter& filter, int32_t index);
    void ExportObject(TvlxCustomExportFilter& filter, TvlxComponent& obj);
    // A text view's output-time state: highlight font, page count, copy number, placeholders.
    void PrepareTextForOutput(TvlxComponent& obj);
    // Adds `message` to the report's errors and raises the error report when the host says so.
    void ReportExportError(const String& message);
    // The elements only a saved store has: written before saving, read and dropped after loading.
    void WriteReportItems();
    void ReadReportItems();
    void DropSavedItems();

    TvlxXMLDocument FXMLDoc;
    TvlxXMLItem* FPagesItem;
    std::vector<std::unique_ptr<TvlxComponent>> FSourcePages;
    TvlxDictionary FDictionary;
    std::vector<CachedPage> FPageCache;     // most recently used first
    std::vector<std::string> FPictureCache; // image bytes of picture views, by ImageIndex
    int64_t FXMLSize = 0;
    int32_t FFirstPageIndex = -1;
    int32_t FFirstObjectIndex = 0;
    int32_t FFirstOutlineIndex = 0;
    int32_t FLogicalPageN = 0;
    int32_t FCopyNo = 0;
    double FLastY = 0;
    std::unique_ptr<RasterSurface> FScratch; // where auto-width text views settle their width
    std::unique_ptr<Stream> FTempStream;
    bool FAllowPartialLoading = false;
};

} // namespace vl
