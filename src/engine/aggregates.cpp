// Aggregates: the scan that makes one accumulator per aggregate call in a footer-like band, the
// accumulators themselves, and the answers to the calls.
#include "engine/aggregates.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "base/number_text.h"
#include "engine/aggregate_scan_internal.h"
#include "model/band_kinds.h"
#include "model/bracket_scan.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/unicode/text_case.h"
#include "script/script.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace vl {

namespace {

constexpr int64_t CountInvisibleBandsFlag = 1;
constexpr int64_t DontResetFlag = 2;

// A vertical band's text view that came from one of these bands prints for it.
bool PrintsTotals(const TvlxComponent* band)
{
    return dynamic_cast<const TvlxReportSummary*>(band) != nullptr ||
           dynamic_cast<const TvlxPageFooter*>(band) != nullptr ||
           dynamic_cast<const TvlxFooter*>(band) != nullptr ||
           dynamic_cast<const TvlxGroupFooter*>(band) != nullptr;
}

// The band in which a text view prints.
TvlxBand* PrintingBand(TvlxCustomMemoView& view)
{
    TvlxComponent* parent = view.Parent();
    while (parent != nullptr && !parent->IsBand())
        parent = parent->Parent();
    auto* band = static_cast<TvlxBand*>(parent);
    TvlxComponent* original = view.FOriginalBand.Get();
    if (band != nullptr && band->FVertical && original != nullptr && PrintsTotals(original))
        return static_cast<TvlxBand*>(original);
    return band;
}

const void* ScriptObjectOf(const TvlxBand* band)
{
    return static_cast<const Persistent*>(band);
}

} // namespace

TvlxAggregateFunction AggregateFunctionOf(StringView name)
{
    const StringView trimmed = TrimmedText(name);
    if (SameText(trimmed, u"SUM")) return TvlxAggregateFunction::agSum;
    if (SameText(trimmed, u"AVG")) return TvlxAggregateFunction::agAvg;
    if (SameText(trimmed, u"MIN")) return TvlxAggregateFunction::agMin;
    if (SameText(trimmed, u"MAX")) return TvlxAggregateFunction::agMax;
    return TvlxAggregateFunction::agCount;
}

// ---- TvlxAggregateItem

TvlxAggregateItem::TvlxAggregateItem(TvlxReport& report,
                                     TvlxAggregateFunction function,
                                     TvlxBand* band)
    : FAggregateFunction(function)
    , FBand(band)
    , FReport(report)
{}

void TvlxAggregateItem::Combine(Variant& value, const Variant& v) const
{
    if (value.IsNull()) {
        value = v;
        return;
    }
    if (v.IsNull()) return;
    switch (FAggregateFunction) {
    case TvlxAggregateFunction::agSum:
    case TvlxAggregateFunction::agAvg:
        value = VarAdd(value, v);
        break;
    case TvlxAggregateFunction::agMin:
        if (VarCompare(v, value) == VarRelation::Less) value = v;
        break;
    case TvlxAggregateFunction::agMax:
        if (VarCompare(v, value) == VarRelation::Greater) value = v;
        break;
    case TvlxAggregateFunction::agCount:
        break;
    }
}

bool TvlxAggregateItem::Counts() const
{
    return FBand == nullptr || FBand->Visible() || FCountInvisibleBands;
}

Variant TvlxAggregateItem::Evaluate()
{
    if (FAggregateFunction == TvlxAggregateFunction::agCount) return Variant::Null();
    FReport.FCurObject = FMemoName;
    if (!FCompileTried) {
        FCompileTried = true;
        Compile();
    }
    Variant v = FCompiled != nullptr ? CallCompiled() : FReport.Calc(FExpression);
    // Booleans count as 1 and 0 (in arithmetic True would be -1).
    if (v.IsBoolean()) v = Variant(int32_t(v.BoolValue() ? 1 : 0));
    return v;
}

void TvlxAggregateItem::Compile()
{
    // A whole name (a field, a variable) is resolved by Calc each time, like everywhere else;
    // anything else is compiled once and afterwards only called.
    Variant resolved;
    if (FAggregateFunction == TvlxAggregateFunction::agCount ||
        FReport.Evaluator().ResolveName(FExpression, resolved))
        return;
    String error;
    FCompiled = FReport.Evaluator().Cache().Find(FExpression, FReport.Script(), error);
}

Variant TvlxAggregateItem::CallCompiled()
{
    TsbScript& script = FReport.Script();
    TsbScript* running = script.ProgRunning();
    TsbScript& scope = running != nullptr ? *running : script;
    const bool wasMain = script.IsMainProgram();
    script.SetMainProgram(false);
    struct PutBack
    {
        TsbScript& Script;
        bool WasMain;
        ~PutBack() { Script.SetMainProgram(WasMain); }
    } putBack{script, wasMain};
    try {
        return scope.CallProc(*FCompiled, {});
    } catch (const ELimitExceeded&) {
        throw;
    } catch (const Exception&) {
        // Calc again for the report's handling of the error (its text in the error list, a
        // division by zero that the options ignore).
    }
    return FReport.Calc(FExpression);
}

void TvlxAggregateItem::Calc()
{
    if (Counts()) Take(Evaluate());
}

void TvlxAggregateItem::Take(const Variant& v)
{
    const bool counted = !(FAggregateFunction == TvlxAggregateFunction::agAvg && v.IsNull());
    try {
        if (FVColumn >= 1) {
            if (FVColumn > limits::AggregateMaxVerticalColumn)
                throw ELimitExceeded(Format(u"More than %d vertical columns for one total",
                                            {int64_t(limits::AggregateMaxVerticalColumn)}));
            const auto column = static_cast<size_t>(FVColumn);
            if (FItemsArray.size() <= column) {
                FItemsArray.resize(column + 1, Variant::Null());
                FItemsCountArray.resize(column + 1, 0);
            }
            FItemsCountArray[column] += counted ? 1 : 0;
            Combine(FItemsArray[column], v);
            FCanWithdraw = false;
            return;
        }
        if (FKeeping) {
            FTempItemsCount += counted ? 1 : 0;
            Combine(FTempItemsValue, v);
            FCanWithdraw = false;
            return;
        }
        Variant value = FItemsValue;
        Combine(value, v);
        FLastValue = FItemsValue;
        FLastCount = FItemsCount;
        FItemsValue = value;
        FItemsCount += counted ? 1 : 0;
    } catch (const ELimitExceeded&) {
        throw;
    } catch (const Exception& e) {
        // Values that do not combine (a text among numbers) are named after the view.
        throw Exception(FMemoName + u": " + e.Message());
    }
    FLastTaken = v;
    FLastTakenCounted = counted;
    FCanWithdraw = true;
    FWithdrawn = false;
}

void TvlxAggregateItem::DeleteValue()
{
    if (!FCanWithdraw) return;
    FItemsValue = FLastValue;
    FItemsCount = FLastCount;
    FCanWithdraw = false;
    FWithdrawn = true;
}

void TvlxAggregateItem::RestoreValue()
{
    if (!FWithdrawn) return;
    FWithdrawn = false;
    if (FKeeping) {
        FTempItemsCount += FLastTakenCounted ? 1 : 0;
        Combine(FTempItemsValue, FLastTaken);
        return;
    }
    FLastValue = FItemsValue;
    FLastCount = FItemsCount;
    FItemsCount += FLastTakenCounted ? 1 : 0;
    Combine(FItemsValue, FLastTaken);
    FCanWithdraw = true;
}

void TvlxAggregateItem::Reset()
{
    if (FDontReset && (FItemsCount > 0 || !FItemsArray.empty())) return;
    StartOver();
}

void TvlxAggregateItem::StartOver()
{
    // A value that went into a printed total can no longer be withdrawn; a withdrawn one still
    // waits to be taken again (on the page its block moved to).
    FItemsCount = 0;
    FItemsValue = Variant::Null();
    FLastCount = 0;
    FLastValue = Variant::Null();
    FItemsArray.clear();
    FItemsCountArray.clear();
    FCanWithdraw = false;
}

void TvlxAggregateItem::ClearValue()
{
    StartOver();
    FWithdrawn = false;
    FKeeping = false;
    FTempItemsCount = 0;
    FTempItemsValue = Variant::Null();
}

void TvlxAggregateItem::StartKeep()
{
    if (!FIsPageFooter || FKeeping) return;
    FKeeping = true;
    FTempItemsCount = 0;
    FTempItemsValue = Variant::Null();
}

void TvlxAggregateItem::EndKeep()
{
    if (!FIsPageFooter || !FKeeping) return;
    FKeeping = false;
    if (FTempItemsCount == 0 && FTempItemsValue.IsNull()) return;
    FItemsCount += FTempItemsCount;
    Combine(FItemsValue, FTempItemsValue);
    FTempItemsCount = 0;
    FTempItemsValue = Variant::Null();
    FCanWithdraw = false;
}

Variant TvlxAggregateItem::Value() const
{
    Variant value = FItemsValue;
    int32_t count = FItemsCount;
    if (!FItemsArray.empty()) {
        const bool inRange = FVColumn >= 0 && static_cast<size_t>(FVColumn) < FItemsArray.size();
        value = inRange ? FItemsArray[size_t(FVColumn)] : Variant::Null();
        count = inRange ? FItemsCountArray[size_t(FVColumn)] : 0;
    }
    Variant result;
    switch (FAggregateFunction) {
    case TvlxAggregateFunction::agAvg:
        result =
            value.IsNull() || count == 0 ? Variant::Null() : VarDivFloat(value, Variant(count));
        break;
    case TvlxAggregateFunction::agCount:
        result = Variant(count);
        break;
    default:
        result = value;
        break;
    }
    return result.IsNull() ? Variant(int32_t(0)) : result;
}

// ---- The scan of text views

// Finds the calls of one expression, following report variables. Each variable's value is
// scanned once per scan and remembered; one expression visits each variable once, so variables
// that name each other, or one another many times over, cost no more than their texts.
class TvlxAggregateList::Scan
{
public:
    explicit Scan(TvlxReport& report)
        : FReport(report)
    {
        TvlxVariables& variables = report.Variables();
        for (size_t i = 0; i < variables.Count(); ++i) {
            const TvlxVariable& variable = variables.Item(i);
            if (FTexts.contains(variable.Name())) continue; // the first of a name counts
            String text;
            const Variant value = variable.Value();
            if (!value.IsNull()) {
                try {
                    text = value.ToText();
                } catch (const Exception&) {
                    // A value without text form (an array) holds no calls.
                }
            }
            FTexts.emplace(variable.Name(), std::move(text));
        }
    }

    void Calls(StringView expression, std::vector<String>& calls)
    {
        AggregateScanResult direct = Direct(expression);
        calls.insert(calls.end(), direct.Calls.begin(), direct.Calls.end());
        std::unordered_set<String, TextHash, TextEqual> visited;
        std::vector<String> pending = std::move(direct.Variables);
        while (!pending.empty()) {
            const String name = std::move(pending.back());
            pending.pop_back();
            if (!visited.insert(name).second) continue;
            const AggregateScanResult& found = OfVariable(name);
            calls.insert(calls.end(), found.Calls.begin(), found.Calls.end());
            pending.insert(pending.end(), found.Variables.begin(), found.Variables.end());
        }
    }

private:
    bool IsVariable(StringView name) const { return FTexts.find(name) != FTexts.end(); }

    // A text that is exactly a variable's name stands for the variable; a field reference holds
    // no calls; anything else is scanned word by word.
    AggregateScanResult Direct(StringView text) const
    {
        AggregateScanResult result;
        if (IsVariable(text)) {
            result.Variables.emplace_back(text);
            return result;
        }
        TvlxDataSet* dataSet = nullptr;
        String field;
        FReport.GetDatasetAndField(text, dataSet, field);
        if (dataSet != nullptr && !field.empty()) return result;
        ScanAggregateText(
            text, [this](StringView word) { return IsVariable(word); }, result);
        return result;
    }

    const AggregateScanResult& OfVariable(const String& name)
    {
        auto found = FScans.find(name);
        if (found == FScans.end())
            found = FScans.emplace(name, Direct(FTexts.find(name)->second)).first;
        return found->second;
    }

    TvlxReport& FReport;
    std::unordered_map<String, String, TextHash, TextEqual> FTexts;
    std::unordered_map<String, AggregateScanResult, TextHash, TextEqual> FScans;
};

// ---- TvlxAggregateList

TvlxAggregateList::TvlxAggregateList(TvlxReport& report)
    : FReport(report)
{}

TvlxAggregateList::~TvlxAggregateList() = default;

void TvlxAggregateList::Clear()
{
    FByBand.clear();
    FSharedByBand.clear();
    FByParent.clear();
    FPageFooterItems.clear();
    FList.clear();
}

void TvlxAggregateList::AddItems(TvlxReportPage& page)
{
    Scan scan(FReport);
    std::vector<String> calls;
    const auto scanChain = [&](TvlxBand* band, TvlxBand& defaultBand) {
        for (; band != nullptr; band = band->Child()) {
            for (const auto& child : band->Objects()) {
                auto* view = dynamic_cast<TvlxCustomMemoView*>(child.get());
                if (view == nullptr || !view->AllowExpressions()) continue;
                const String& delimiters = view->ExpressionDelimiters();
                const size_t comma = delimiters.find(u',');
                const StringView open = StringView(delimiters).substr(0, comma);
                const StringView close =
                    comma == String::npos ? StringView() : StringView(delimiters).substr(comma + 1);
                if (open.empty()) continue;
                const String text = view->Text();
                calls.clear();
                BracketSpan span;
                for (size_t at = 0; FindBracketed(text, at, open, close, span); at = span.End)
                    scan.Calls(span.Expression, calls);
                for (const String& call : calls)
                    AddItem(call, *view, defaultBand);
            }
        }
    };
    // Data levels nest at most six deep, so the recursion is shallow.
    const std::function<void(TvlxBand&)> scanDataBand = [&](TvlxBand& band) {
        scanChain(band.FFooter, band);
        if (band.FGroup != nullptr)
            for (TvlxBand* header : band.FGroup->FSubBands)
                scanChain(header->FFooter, band);
        if (band.FVertical) scanChain(&band, band);
        for (TvlxBand* detail : band.FSubBands)
            scanDataBand(*detail);
    };
    for (TvlxBand* band : page.FSubBands)
        scanDataBand(*band);
    for (TvlxBand* band : page.FVSubBands)
        scanDataBand(*band);
    if (page.FSubBands.empty()) return;
    TvlxBand& first = *page.FSubBands.front();
    scanChain(page.FindBand<TvlxPageFooter>(), first);
    scanChain(page.FindBand<TvlxColumnFooter>(), first);
    scanChain(page.FindBand<TvlxReportSummary>(), first);
}

void TvlxAggregateList::AddItem(StringView call, TvlxCustomMemoView& view, TvlxBand& defaultBand)
{
    const AggregateCallParts parts = SplitAggregateCall(call);
    const TvlxAggregateFunction function = AggregateFunctionOf(parts.Name);
    const size_t first = function == TvlxAggregateFunction::agCount ? 0 : 1;
    const auto argument = [&](size_t i) {
        return i < parts.Arguments.size() ? StringView(parts.Arguments[i]) : StringView();
    };

    TvlxBand* band = &defaultBand;
    if (!argument(first).empty()) {
        if (auto* named = dynamic_cast<TvlxBand*>(FReport.FindComponent(argument(first))))
            band = named;
    }
    int32_t flags = 0;
    const StringView flagsText = argument(first + 1);
    if (!flagsText.empty() && !TryStrToInt(flagsText, flags))
        throw EConvertError(Format(u"'%s' is not a valid integer value", {String(flagsText)}));

    auto item = std::make_unique<TvlxAggregateItem>(FReport, function, band);
    if (function != TvlxAggregateFunction::agCount) item->FExpression = String(argument(0));
    item->FCountInvisibleBands = (flags & CountInvisibleBandsFlag) != 0;
    item->FDontReset = (flags & DontResetFlag) != 0;
    item->FParentBand = PrintingBand(view);
    item->FIsPageFooter = dynamic_cast<TvlxPageFooter*>(item->FParentBand) != nullptr;
    item->FOriginalName = String(TrimmedText(call));
    item->FMemoName = view.Name();

    ItemList& siblings = FByParent[item->FParentBand];
    for (const TvlxAggregateItem* other : siblings) {
        if (other->FAggregateFunction == item->FAggregateFunction && other->FBand == band &&
            other->FCountInvisibleBands == item->FCountInvisibleBands &&
            other->FDontReset == item->FDontReset &&
            SameText(other->FExpression, item->FExpression) &&
            SameText(other->FOriginalName, item->FOriginalName))
            return;
    }
    siblings.push_back(item.get());
    FByBand[band].push_back(item.get());
    std::vector<ItemList>& shared = FSharedByBand[band];
    const auto sameValue = std::find_if(shared.begin(), shared.end(), [&](const ItemList& list) {
        const TvlxAggregateItem& other = *list.front();
        const auto count = TvlxAggregateFunction::agCount;
        return (other.FAggregateFunction == count) == (item->FAggregateFunction == count) &&
               SameText(other.FExpression, item->FExpression);
    });
    if (sameValue != shared.end())
        sameValue->push_back(item.get());
    else
        shared.push_back({item.get()});
    if (item->FIsPageFooter) FPageFooterItems.push_back(item.get());
    FList.push_back(std::move(item));
}

void TvlxAggregateList::AddValue(TvlxBand& band, int32_t vColumn)
{
    const auto found = FSharedByBand.find(&band);
    if (found == FSharedByBand.end()) return;
    // Items of one expression share its value: it is evaluated once per record.
    for (const ItemList& shared : found->second) {
        bool evaluated = false;
        Variant value;
        for (TvlxAggregateItem* item : shared) {
            item->FVColumn = vColumn;
            if (!item->Counts()) continue;
            if (!evaluated) {
                value = item->Evaluate();
                evaluated = true;
            }
            item->Take(value);
        }
    }
}

void TvlxAggregateList::DeleteValue(TvlxBand& band)
{
    const auto found = FByBand.find(&band);
    if (found == FByBand.end()) return;
    for (TvlxAggregateItem* item : found->second)
        item->DeleteValue();
}

void TvlxAggregateList::RestoreValue(TvlxBand& band)
{
    const auto found = FByBand.find(&band);
    if (found == FByBand.end()) return;
    for (TvlxAggregateItem* item : found->second)
        item->RestoreValue();
}

void TvlxAggregateList::Reset(TvlxBand& parentBand)
{
    const auto found = FByParent.find(&parentBand);
    if (found == FByParent.end()) return;
    for (TvlxAggregateItem* item : found->second)
        item->Reset();
}

void TvlxAggregateList::ClearValues()
{
    for (const auto& item : FList)
        item->ClearValue();
}

void TvlxAggregateList::StartKeep()
{
    for (TvlxAggregateItem* item : FPageFooterItems)
        item->StartKeep();
}

void TvlxAggregateList::EndKeep()
{
    for (TvlxAggregateItem* item : FPageFooterItems)
        item->EndKeep();
}

Variant TvlxAggregateList::GetValue(TvlxBand* parentBand,
                                    int32_t vColumn,
                                    StringView name,
                                    StringView expression,
                                    const Variant& band,
                                    int64_t flags)
{
    const auto found = FByParent.find(parentBand);
    if (found == FByParent.end()) return Variant::Null();
    const TvlxAggregateFunction function = AggregateFunctionOf(name);
    const StringView trimmed = TrimmedText(expression);
    const void* named = band.IsObject() ? band.ObjectValue() : nullptr;
    const bool countInvisible = (flags & CountInvisibleBandsFlag) != 0;
    const bool dontReset = (flags & DontResetFlag) != 0;
    for (TvlxAggregateItem* item : found->second) {
        if (item->FAggregateFunction != function || !SameText(item->FExpression, trimmed)) continue;
        if (named != nullptr && ScriptObjectOf(item->FBand) != named) continue;
        if (item->FCountInvisibleBands != countInvisible || item->FDontReset != dontReset) continue;
        item->FVColumn = vColumn;
        return item->Value();
    }
    return Variant::Null();
}

Variant TvlxAggregateList::GetValue(TvlxBand* parentBand, StringView complexName, int32_t vColumn)
{
    const auto found = FByParent.find(parentBand);
    if (found == FByParent.end()) return Variant::Null();
    const StringView trimmed = TrimmedText(complexName);
    for (TvlxAggregateItem* item : found->second) {
        if (!SameText(item->FOriginalName, trimmed)) continue;
        item->FVColumn = vColumn;
        return item->Value();
    }
    return Variant::Null();
}

} // namespace vl
