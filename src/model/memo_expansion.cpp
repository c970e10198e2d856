// Memo text expansion: the text a memo prints for one output, and the placeholders resolved when
// the prepared pages are output.
#include "model/memo_expansion.h"

#include "base/string.h"
#include "model/bracket_scan.h"
#include "model/memo_view.h"
#include "request/dataset_adapter.h"
#include "template/report_variables.h"

namespace vl {

namespace {

constexpr StringView TotalPagesMacro = u"[TotalPages#]";
constexpr StringView CopyNameMacro = u"[CopyName#]";

char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool SameAscii(StringView a, StringView b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

TvlxFormatKind InlineKind(char16_t c)
{
    switch (AsciiUpper(c)) {
    case u'N':
        return TvlxFormatKind::fkNumeric;
    case u'D':
    case u'T':
        return TvlxFormatKind::fkDateTime;
    case u'B':
        return TvlxFormatKind::fkBoolean;
    default:
        return TvlxFormatKind::fkText;
    }
}

// HideZeros hides a value that is not text and equals 0 (False and 0.0 included, Null not).
bool IsHiddenZero(const Variant& value)
{
    if (value.IsString() || value.IsNull() || value.IsEmpty() || value.IsArray() ||
        value.IsObject())
        return false;
    return VarEquals(value, Variant(int32_t{0}));
}

} // namespace

bool SplitInlineFormat(StringView text, StringView& expression, TvlxFormat& format)
{
    size_t mark = text.find(u" #");
    if (mark == StringView::npos) return false;
    StringView picture = text.substr(mark + 2);
    if (picture.find(u')') != StringView::npos) return false;
    expression = text.substr(0, mark);
    format.SetKind(picture.empty() ? TvlxFormatKind::fkText : InlineKind(picture[0]));
    String formatStr(picture.empty() ? picture : picture.substr(1));
    format.SetDecimalSeparator(String());
    format.SetThousandSeparator(String());
    if (format.Kind() == TvlxFormatKind::fkNumeric) {
        for (char16_t& c : formatStr) {
            if (c == u',' || c == u'-' || c == u'.') {
                format.SetDecimalSeparator(String(1, c));
                c = u'.';
            }
        }
    }
    format.SetFormatStr(formatStr);
    return true;
}

bool ReplacePlaceholder(String& text, StringView placeholder, StringView replacement)
{
    if (placeholder.empty() || text.size() < placeholder.size()) return false;
    String out;
    size_t copied = 0;
    bool found = false;
    for (size_t i = 0; i + placeholder.size() <= text.size();) {
        if (SameAscii(StringView(text).substr(i, placeholder.size()), placeholder)) {
            out.append(text, copied, i - copied);
            out.append(replacement);
            i += placeholder.size();
            copied = i;
            found = true;
        } else {
            ++i;
        }
    }
    if (!found) return false;
    out.append(text, copied, String::npos);
    text = std::move(out);
    return true;
}

// ---- The memo's part of GetData

void TvlxCustomMemoView::GetMemoData()
{
    TvlxViewHost* host = Host();
    if (IsDataField()) {
        SetText(DataFieldText());
    } else if (FAllowExpressions) {
        SetText(ExpandExpressions(Text()));
    }
    if (host != nullptr) host->SetCurrentValue(Value);

    FHighlight.SetActive(false);
    if (!FHighlight.Condition().empty() && host != nullptr) {
        FHighlight.SetActive(host->CalcExpression(FHighlight.Condition()).ToBool());
    }

    if (FSuppressRepeated) {
        String text = Text();
        if (FLastValue.IsString() && FLastValue.StringValue() == text) {
            SetText(String());
        } else {
            FLastValue = Variant(std::move(text));
        }
    }

    if (TvlxCustomMemoView* flow = FlowTo()) {
        InitPart();
        DrawPart();
        flow->SetText(FPartMemo);
        flow->SetAllowExpressions(false);
    }
}

String TvlxCustomMemoView::DataFieldText()
{
    TvlxDataSet& dataSet = *DataSet();
    const String& field = DataField();
    if (dataSet.IsBlobField(field)) {
        StringList lines;
        dataSet.AssignBlobTo(field, lines);
        return lines.Text();
    }
    Value = dataSet.FieldValue(field);
    if (FHideZeros && IsHiddenZero(Value)) return String();
    if (FDisplayFormat.Kind() != TvlxFormatKind::fkText) return FormatData(Value, FDisplayFormat);
    return dataSet.FieldDisplayText(field);
}

String TvlxCustomMemoView::ExpandExpressions(const String& text)
{
    size_t comma = FExpressionDelimiters.find(u',');
    StringView delimiters = FExpressionDelimiters;
    StringView open = delimiters.substr(0, comma);
    StringView close = comma == String::npos ? StringView() : delimiters.substr(comma + 1);
    if (open.empty() || text.find(open) == String::npos) return text;

    String out;
    size_t copied = 0;
    BracketSpan span;
    while (FindBracketed(text, copied, open, close, span)) {
        out.append(text, copied, span.Start - copied);
        out += ExpandExpression(span.Expression);
        copied = span.End;
    }
    out.append(text, copied, String::npos);
    return out;
}

String TvlxCustomMemoView::ExpandExpression(StringView text)
{
    StringView expression = text;
    TvlxFormat inlineFormat;
    const TvlxFormat& format =
        SplitInlineFormat(text, expression, inlineFormat) ? inlineFormat : FDisplayFormat;

    if (SameAscii(expression, u"TOTALPAGES#")) {
        Value = Variant(TotalPagesMacro);
    } else if (SameAscii(expression, u"COPYNAME#")) {
        Value = Variant(CopyNameMacro);
    } else {
        TvlxViewHost* host = Host();
        Value = host != nullptr ? host->CalcExpression(expression) : Variant::Null();
    }
    if (FHideZeros && IsHiddenZero(Value)) return String();
    return FormatData(Value, format);
}

// ---- Output of prepared pages

void TvlxCustomMemoView::ResetSuppress()
{
    FLastValue = Variant(String());
}

void TvlxCustomMemoView::ExtractMacros()
{
    if (!FAllowExpressions) return;
    String text = Text();
    if (text.find(u'[') == String::npos) return;
    bool changed = ReplacePlaceholder(text, TotalPagesMacro, IntToStr(FTotalPages));
    if (ReplacePlaceholder(text, CopyNameMacro, CopyNameText())) changed = true;
    if (changed) SetText(text);
}

String TvlxCustomMemoView::CopyNameText() const
{
    String name = u"CopyName" + IntToStr(FCopyNo);
    TvlxVariables& globals = GlobalVariables();
    if (globals.IndexOf(name) < 0) return String();
    return globals.Value(name).ToText();
}

} // namespace vl
