// The band engine: turns a loaded report and its datasets into prepared pages.
//
// The road through it: Run builds the band tree of every report page (band_tree.h), runs the
// pages (once, or once per record of the report's DataSet, and twice for a double pass), and for
// each page run walks the top-level data bands over their datasets and, per record, their detail
// bands (data_band_run.cpp). Every band is printed through ShowBand at CurY (show_band.cpp); a
// band that does not fit starts a new column or output page (page_flow.cpp).
//
// Contract:
// - Positions are pixels; CurY is measured from the top of the printable area of the current
//   output page, CurX from its left edge.
// - The engine does not own the report or the prepared-page store; the report owns both and
//   outlives the engine's work. Printed bands reach the store as copies (AddObject); template
//   objects are changed while a band is printed and put back right after (AfterPrint), and the
//   report reloads the whole template after the run.
// - Misplaced bands and dataset conflicts go to the report's error list and Run returns False
//   without printing. Errors raised while a band is printed end the run; Finalize still runs.
// - The run checks the report's Terminated between records, page runs and report records;
//   what is already prepared stays.
#pragma once

#include "base/string.h"
#include "engine/aggregates.h"
#include "layout/header_list.h"
#include "layout/preview_pages.h"
#include "model/custom_engine.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace vl {

class ClassInfo;
class TvlxBand;
class TvlxComponent;
class TvlxDataBand;
class TvlxDataSet;
class TvlxGroupHeader;
class TvlxReport;
class TvlxReportPage;
class TvlxSubreport;

class TvlxEngine : public TvlxCustomEngine, public TvlxPreviewPagesHost
{
public:
    TvlxEngine(TvlxReport& report, TvlxCustomPreviewPages& previewPages);
    ~TvlxEngine() override;
    TvlxEngine(const TvlxEngine&) = delete;
    TvlxEngine& operator=(const TvlxEngine&) = delete;

    // ---- The run
    // Initialize, then the pages (twice for a double pass), then Finalize; False when the band
    // tree or the datasets are wrong (see the report's Errors) or the run was cancelled.
    bool Run() override;
    bool Running() const override { return FRunning; }
    // Builds the band trees and checks the datasets; True when the report's Errors stay empty.
    bool Initialize();
    // Finalises the report's datasets and finishes the store; ends Running.
    void Finalize();
    // Ends the run at the next check (sets the report's Terminated).
    void StopReport();

    // ---- Printing, also for scripts that build a page themselves (OnManualBuild)
    // Prints `band` (and its child chain) at CurY; nothing for nullptr.
    void ShowBand(TvlxBand* band);
    // The first band of class `bandClass` on the current page.
    void ShowBand(const ClassInfo& bandClass);
    // The report object named `bandName`, when it is a band.
    void ShowBandByName(StringView bandName);
    void NewPage();
    void NewColumn();
    void EndPage();
    void BreakAllKeep();

    // ---- Measures (pixels)
    // Column header and page header, each with its chain of child bands.
    double HeaderHeight() const;
    // Column footer plus page footer (child bands not counted).
    double FooterHeight() const;
    double GetPageHeight() const;
    // Space left below CurY for bands; 1000000 on an endless page.
    double FreeSpace() const;

    // ---- State
    int32_t CurColumn() const { return FCurColumn; }
    int32_t CurVColumn() const { return FCurVColumn; }
    double CurX() const { return FCurX; }
    double CurY() const override { return FCurY; }
    void SetCurX(double value) { FCurX = value; }
    void SetCurY(double value) { FCurY = value; }
    bool DoublePass() const override;
    bool FinalPass() const override { return FFinalPass; }
    double PageWidth() const { return FPageWidth; }
    double PageHeight() const { return FPageHeight; }
    bool SecondScriptCall() const { return FSecondScriptCall; }
    // Objects told about every printed data record (OnNotify); not owned.
    std::vector<TvlxComponent*>& NotifyList() { return FNotifyList; }
    TvlxCustomPreviewPages& PreviewPages() const { return FPreviewPages; }
    TvlxReport& Report() const { return FReport; }

    // ---- TvlxCustomEngine
    void ClearPreparedPages() override;
    void ClearNotifyList() override { FNotifyList.clear(); }
    double StartDate() const override { return FStartDate; }
    double StartTime() const override { return FStartTime; }
    int32_t LogicalPage() const override;
    int32_t PhysicalPage() const override;
    int32_t LogicalTotalPages() const override;
    int32_t TotalPages() const override { return FTotalPages; }
    int32_t CurLine() const override { return FCurLine; }
    int32_t CurLineThrough() const override { return FCurLineThrough; }
    // Answered by the aggregate of the band being printed (aggregates.h); Null when none matches.
    Variant GetAggregateValue(StringView name,
                              StringView expression,
                              const Variant& band,
                              int64_t flags) override;
    const void* OutlineObject() const override;

    // ---- TvlxPreviewPagesHost (the store asks the engine about the run)
    bool EngineRunning() const override { return FRunning; }
    bool Terminated() const override;
    void SetTerminated(bool value) override;

private:
    // ---- engine.cpp: the passes and the page runs
    void CheckDataSets();
    // The dialog step: False when OnRunDialogs cancelled the run.
    bool RunDialogs();
    void RunPasses();
    void RunReportPages();
    void RunAllPages();
    void RunReportPage(TvlxReportPage& page);
    void RunPageOnce(TvlxReportPage& page);
    void ShowPageObjects(TvlxReportPage& page);

    // ---- data_band_run.cpp: data bands over their datasets
    void RunDataBands(const std::vector<TvlxBand*>& bands);
    void RunDataBand(TvlxBand& band, TvlxDataSet& dataSet);
    // Data-band columns after a record printed at `rowStart`: the next record goes beside it,
    // or below the tallest record of the full row.
    void CloseColumnRecord(TvlxDataBand& band, double rowStart);
    // Closes the open row of a multi-column band as if it were full; nothing when no row is open.
    void CloseColumnRow(TvlxDataBand& band);

    // ---- groups.cpp: group headers and footers of a data band (levels from 0, outer first)
    // `knownValue`, when given, is the condition value of level `fromLevel` already computed
    // for this record: a condition is evaluated once per record and level.
    void StartGroups(TvlxDataBand& band,
                     size_t fromLevel,
                     bool atStart,
                     const Variant* knownValue = nullptr);
    // Before a later record: closes and restarts the outermost group whose condition changed;
    // True when one did.
    bool CheckGroups(TvlxDataBand& band, TvlxDataSet& dataSet);
    // Footers from the innermost level down to `toLevel`.
    void ShowGroupFooters(TvlxDataBand& band, size_t toLevel);
    Variant GroupValue(TvlxGroupHeader& header);
    // Collapses or expands the drill-down groups of the band's chain (drill names, visibility).
    void ApplyDrillDown(TvlxDataBand& band);
    // Repeated-text suppression of the band's text views starts again.
    static void ResetSuppressed(TvlxBand& band);

    // True when `container` (a page or a data band) has a detail record to print, at any depth.
    bool HasPrintableDetail(TvlxComponent& container,
                            const std::vector<TvlxBand*>& subBands,
                            bool printAnyway);

    // ---- show_band.cpp: one band at CurY
    void OutputBand(TvlxBand& band);
    // Copies the placed band to the store (during page start only when the page lacks it).
    void StoreBand(TvlxBand& band);
    bool IsMultiColumnDataBand(const TvlxBand& band) const;

    // ---- band_prepare.cpp: before and after a band is placed
    // Events, the views' data, growth and shifting, the band's final height.
    void PrepareBand(TvlxBand& band);
    // Puts the band and its objects back to their design state.
    void UnprepareBand(TvlxBand& band);

    // ---- band_split.cpp: a band that does not fit in FreeSpace
    // Either splits the band across columns and pages (True: its parts are stored and CurY is
    // below the last one) or moves on to the next column or page (False: the band is still to
    // be placed). Throws Exception when a split places nothing on page after page.
    bool MakeRoomForBand(TvlxBand& band);
    void SplitBand(TvlxBand& band);
    // Suppressed repeated values are forgotten and the band is prepared again, so that they
    // print at the top of the new column or page.
    void ReprintSuppressedValues(TvlxBand& band);

    // ---- subreports.cpp
    // Runs the band's visible subreports that print on their parent into the band while it is
    // prepared; nothing while the band is itself printed into a collector.
    void RunSubreportsOnParent(TvlxBand& band);
    // Runs the band's visible subreports that print on their own, after the band was placed;
    // the engine continues where the furthest one ended.
    void RunSubreportsAfterBand(TvlxBand& band);

    // Copies a placed band into the output collector FOutputTo (instead of the store).
    void CopyToCollector(TvlxBand& band);
    // Prints the data bands of a subreport's page from CurX/CurY; throws ELimitExceeded when
    // subreports nest deeper than limits::SubreportMaxNesting.
    void RunSubreportPage(TvlxSubreport& subreport);
    // Frees the objects added to the band past FOriginalObjectsCount and resets the count; does
    // nothing when none were added. Safe to call more than once.
    void FreeTemporaryObjects(TvlxBand& band);

    // ---- vertical_bands.cpp
    // The horizontal band whose objects the vertical bands are being printed into.
    bool IsVerticalMaster(const TvlxBand& band) const { return &band == FVMasterBand; }
    // Before `band` (a horizontal band with objects moved into vertical bands) is prepared: runs
    // the page's vertical bands, which copy their objects into `band` column by column.
    void StartVerticalMaster(TvlxBand& band);
    void RunVerticalDataBands(const std::vector<TvlxBand*>& bands);
    void RunVerticalDataBand(TvlxDataBand& band, TvlxDataSet& dataSet);
    // One column of the current vertical master: a vertical band's objects copied into it at
    // CurX; a column that does not fit to the right goes to the next output page.
    void ShowVerticalBand(TvlxBand& band);
    // Stores the placed vertical master page by page, one segment of FVPageList per page.
    void StoreVerticalMaster(TvlxBand& band);
    // After the master was un-prepared: its copies are freed and the engine leaves vertical mode.
    void EndVerticalMaster(TvlxBand& band);

    // ---- page_flow.cpp: output pages, columns, page start and end
    void StartPage();
    void AddOutputPage();
    double ChainHeight(const TvlxBand* band) const;
    // Outline entries: the page's at the top of each output page, a band's at its top after it
    // was shown. A band's entry opens a level (True) that its data band or group closes; a band
    // invisible when shown makes no entry and opens no level.
    void AddPageOutline();
    bool AddBandOutline(TvlxBand& band);
    // Pastes the block cut for a keep at (x, CurY) of the new page or column and continues below.
    void MoveKeptBlock(double x);
    // Shows `band` and its child chain again at the top of a continuation page or column, each
    // band marked Overflow while it prints.
    void ReprintBand(TvlxBand& band);
    // Endless pages: the store's paper of the page being run, and the finished output page
    // frozen at its own size (see FPageEndY).
    void UpdateEndlessDimensions(double width, double height);
    void FreezeEndlessPage();

    // ---- keeping.cpp
    // Starts keeping the output from store position `position` (-1: from here) with `band`;
    // nothing while a keep is active or before the first record of the page run.
    void StartKeep(TvlxBand* band, int32_t position = -1);
    // Ends the keep when `band` started it.
    void EndKeep(const TvlxBand* band);

    TvlxReport& FReport;
    TvlxCustomPreviewPages& FPreviewPages;
    std::vector<TvlxComponent*> FNotifyList;
    TvlxAggregateList FAggregates;

    bool FRunning = false;
    bool FFinalPass = true;
    bool FSecondScriptCall = false;
    int32_t FTotalPages = 0;
    double FStartDate = 0;
    double FStartTime = 0;

    // Position
    int32_t FCurColumn = 1;
    int32_t FCurVColumn = 0;
    double FCurX = 0;
    double FCurY = 0;
    double FPageWidth = 0;
    double FPageHeight = 0;
    double FFirstColumnY = 0;
    double FPageCurX = 0;
    double FPrevFooterHeight = 0;
    // Where the page footer of the output page just ended finishes (its content, the column
    // footer and the page footer): the height an endless page takes.
    double FPageEndY = 0;
    // Where the current row of a multi-column data band began: store position and CurY.
    int32_t FRowStartPosition = 0;
    double FRowStartY = 0;
    int32_t FCurLine = 0;
    int32_t FCurLineThrough = 0;

    // Page run
    TvlxReportPage* FPage = nullptr;
    TvlxBand* FCurBand = nullptr;
    TvlxBand* FLastBandOnPage = nullptr;
    TvlxBand* FStartNewPageBand = nullptr;
    TvlxHeaderList FHeaderList;
    bool FFirstReportPage = false;
    bool FIsFirstBand = false;
    bool FIsFirstPage = false;
    bool FIsLastPage = false;
    bool FTitlePrinted = false;
    bool FCallFromAddPage = false;
    bool FCallFromEndPage = false;
    bool FCallFromPHeader = false;
    // Set while a page or column starts or ends: bands are then placed without a fit check and
    // stored only when the page does not hold them yet.
    bool FInPageStart = false;
    // Set while bands of a page column's start or end are shown: no fit check, always stored.
    bool FPlaceDirectly = false;
    bool FDontShowHeaders = false;
    // While set, printed bands are copied into this collector (a subreport printing on its
    // parent) instead of being stored; not owned.
    TvlxBand* FOutputTo = nullptr;
    // The horizontal band being printed with its vertical bands; not owned.
    TvlxBand* FVMasterBand = nullptr;
    // ---- Subreports and vertical bands
    // Nesting of subreports being printed (RunSubreportPage).
    size_t FSubreportDepth = 0;
    // Headers of vertical bands re-printed at the left of each page to the right.
    TvlxHeaderList FVHeaderList;
    // The master's object count at the start of each output page of its vertical bands; the
    // objects from one entry to the next go on one page.
    std::vector<size_t> FVPageList;
    // Store page and CurX when the vertical master began.
    int32_t FVMasterPage = -1;
    double FVMasterCurX = 0;
    // Set while vertical headers are shown again on a new page: they never page themselves.
    bool FShowingVHeaders = false;
    // Names and record numbers of the master records being printed (drill-down names).
    std::vector<std::pair<String, int32_t>> FHBandNamesTree;
    // Group headers whose outline entry is open until their footers are processed.
    std::vector<const TvlxBand*> FOutlineGroups;

    // Keeping (keeping.cpp): the block from FKeepPosition on moves along at a break.
    bool FKeeping = false;
    TvlxBand* FKeepBand = nullptr;
    double FKeepCurY = 0;
    int32_t FKeepPosition = 0; // store position where the kept block begins
    int32_t FKeepOutline = 0;
    int32_t FKeepAnchor = 0;
    // The kept block began with a data header (KeepHeader); a footer is being shown.
    bool FKeepHeader = false;
    bool FKeepFooter = false;
    // Store position before the last record of the data band, for KeepFooter.
    int32_t FKeepFooterPosition = 0;
};

} // namespace vl
