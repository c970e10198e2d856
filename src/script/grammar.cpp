// Reading grammar documents and walking them over source text.
#include "script/grammar.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "platform/unicode/text_case.h"
#include "script/grammars/grammars.h"

#include <algorithm>

namespace vl {

namespace {

[[noreturn]] void InvalidDefinition()
{
    throw Exception(u"Invalid language definition");
}

// The grammar documents are our own embedded texts, so this reader knows only what they use:
// elements, attributes in single or double quotes, the five predefined entities, comments and
// the XML declaration. Anything else is an invalid definition.
struct XmlElement
{
    String Name;
    std::map<String, String> Attrs;
    std::vector<XmlElement> Children;
    String Attr(StringView key) const
    {
        const auto it = Attrs.find(String(key));
        return it == Attrs.end() ? String() : it->second;
    }
};

class GrammarXmlReader
{
public:
    explicit GrammarXmlReader(StringView text)
        : FText(text)
    {}

    XmlElement ReadDocument()
    {
        SkipMisc();
        XmlElement root = ReadElement(0);
        SkipMisc();
        if (FPos != FText.size()) InvalidDefinition();
        return root;
    }

private:
    void SkipBlanks()
    {
        while (FPos < FText.size() && FText[FPos] <= u' ')
            ++FPos;
    }

    void SkipMisc()
    {
        for (;;) {
            SkipBlanks();
            if (FText.substr(FPos, 4) == u"<!--") {
                const size_t end = FText.find(u"-->", FPos);
                if (end == StringView::npos) InvalidDefinition();
                FPos = end + 3;
            } else if (FText.substr(FPos, 2) == u"<?") {
                const size_t end = FText.find(u"?>", FPos);
                if (end == StringView::npos) InvalidDefinition();
                FPos = end + 2;
            } else {
                return;
            }
        }
    }

    String ReadName()
    {
        const size_t start = FPos;
        while (FPos < FText.size() && FText[FPos] > u' ' && FText[FPos] != u'=' &&
               FText[FPos] != u'>' && FText[FPos] != u'/')
            ++FPos;
        if (start == FPos) InvalidDefinition();
        return String(FText.substr(start, FPos - start));
    }

    String Unescape(StringView raw)
    {
        String out;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != u'&') {
                out.push_back(raw[i]);
                continue;
            }
            const size_t semi = raw.find(u';', i);
            if (semi == StringView::npos) InvalidDefinition();
            const StringView entity = raw.substr(i + 1, semi - i - 1);
            if (entity == u"lt")
                out.push_back(u'<');
            else if (entity == u"gt")
                out.push_back(u'>');
            else if (entity == u"amp")
                out.push_back(u'&');
            else if (entity == u"quot")
                out.push_back(u'"');
            else if (entity == u"apos")
                out.push_back(u'\'');
            else
                InvalidDefinition();
            i = semi;
        }
        return out;
    }

    XmlElement ReadElement(size_t depth)
    {
        if (depth > 200 || FPos >= FText.size() || FText[FPos] != u'<') InvalidDefinition();
        ++FPos;
        XmlElement e;
        e.Name = ReadName();
        for (;;) {
            SkipBlanks();
            if (FPos >= FText.size()) InvalidDefinition();
            if (FText.substr(FPos, 2) == u"/>") {
                FPos += 2;
                return e;
            }
            if (FText[FPos] == u'>') {
                ++FPos;
                break;
            }
            String key = ReadName();
            SkipBlanks();
            if (FPos >= FText.size() || FText[FPos] != u'=') InvalidDefinition();
            ++FPos;
            SkipBlanks();
            if (FPos >= FText.size() || (FText[FPos] != u'"' && FText[FPos] != u'\''))
                InvalidDefinition();
            const char16_t quote = FText[FPos++];
            const size_t end = FText.find(quote, FPos);
            if (end == StringView::npos) InvalidDefinition();
            e.Attrs[std::move(key)] = Unescape(FText.substr(FPos, end - FPos));
            FPos = end + 1;
        }
        for (;;) {
            SkipMisc();
            if (FText.substr(FPos, 2) == u"</") {
                FPos += 2;
                if (ReadName() != e.Name) InvalidDefinition();
                SkipBlanks();
                if (FPos >= FText.size() || FText[FPos] != u'>') InvalidDefinition();
                ++FPos;
                return e;
            }
            e.Children.push_back(ReadElement(depth + 1));
        }
    }

    StringView FText;
    size_t FPos = 0;
};

using Kind = TsbGrammarElement::Kind;

const std::map<String, Kind>& ElementKinds()
{
    static const std::map<String, Kind> kinds = {
        {u"char", Kind::Char},
        {u"keyword", Kind::Keyword},
        {u"ident", Kind::Ident},
        {u"anyident", Kind::AnyIdent},
        {u"number", Kind::Number},
        {u"string", Kind::StringLit},
        {u"vlstring", Kind::VlString},
        {u"eol", Kind::Eol},
        {u"sequence", Kind::Sequence},
        {u"switch", Kind::Switch},
        {u"optionalswitch", Kind::OptionalSwitch},
        {u"loop", Kind::Loop},
        {u"optionalloop", Kind::OptionalLoop},
        {u"optional", Kind::Optional},
    };
    return kinds;
}

TsbGrammarElement BuildElement(const XmlElement& x, bool isRule)
{
    TsbGrammarElement e;
    e.Name = x.Name;
    const auto& kinds = ElementKinds();
    const auto it = kinds.find(x.Name);
    e.Type = isRule ? Kind::Sequence : it != kinds.end() ? it->second : Kind::RuleRef;
    e.Text = x.Attr(u"text");
    e.Add = x.Attr(u"add");
    e.AddText = x.Attr(u"addtext");
    e.Node = x.Attr(u"node");
    e.Err = x.Attr(u"err");
    e.Skip = x.Attr(u"skip") != u"0";
    if (e.Type == Kind::Char && e.Text.size() != 1) InvalidDefinition();
    for (const auto& child : x.Children)
        e.Children.push_back(BuildElement(child, false));
    return e;
}

void ResolveRefs(TsbGrammarElement& e,
                 const std::map<String, std::unique_ptr<TsbGrammarElement>>& rules)
{
    if (e.Type == Kind::RuleRef) {
        const auto it = rules.find(e.Name);
        if (it == rules.end()) InvalidDefinition();
        e.Rule = it->second.get();
    }
    for (auto& child : e.Children)
        ResolveRefs(child, rules);
}

std::pair<String, String> SplitPair(const String& text)
{
    const size_t comma = text.find(u',');
    if (comma == String::npos) return {text, String()};
    return {text.substr(0, comma), text.substr(comma + 1)};
}

} // namespace

TsbGrammar::TsbGrammar(StringView xml)
{
    const XmlElement root = GrammarXmlReader(xml).ReadDocument();
    if (root.Name != u"language") InvalidDefinition();
    FName = root.Attr(u"text");
    for (const auto& section : root.Children) {
        if (section.Name == u"parser") {
            for (const auto& s : section.Children) {
                const String text = s.Attr(u"text");
                if (s.Name == u"commentline1") {
                    FSettings.CommentLine1 = text;
                } else if (s.Name == u"commentline2") {
                    FSettings.CommentLine2 = text;
                } else if (s.Name == u"commentblock1") {
                    std::tie(FSettings.CommentBlock1Open, FSettings.CommentBlock1Close) =
                        SplitPair(text);
                } else if (s.Name == u"commentblock2") {
                    std::tie(FSettings.CommentBlock2Open, FSettings.CommentBlock2Close) =
                        SplitPair(text);
                } else if (s.Name == u"stringquotes") {
                    if (text.size() != 1) InvalidDefinition();
                    FSettings.StringQuote = text[0];
                } else if (s.Name == u"hexsequence") {
                    FSettings.HexSequence = text;
                } else if (s.Name == u"specstrchar") {
                    FSettings.BackslashEscapes = text == u"1";
                } else if (s.Name == u"casesensitive") {
                    FSettings.CaseSensitive = text == u"1";
                } else if (s.Name == u"declarevars") {
                    FDeclareVars = text != u"0";
                } else if (s.Name == u"skipeol") {
                    FSettings.SkipEol = text != u"0";
                } else if (s.Name == u"skipchar") {
                    FSettings.JoinChar = text.empty() ? 0 : text[0];
                } else if (s.Name == u"keywords") {
                    for (const auto& k : s.Children)
                        FSettings.Keywords.push_back(k.Name);
                } else if (s.Name == u"errors") {
                    for (const auto& err : s.Children)
                        FErrors[err.Name] = err.Attr(u"text");
                }
            }
        } else if (section.Name == u"types") {
            for (const auto& t : section.Children)
                FTypes[AsciiLowerCase(t.Name)] = t.Attr(u"text");
        } else {
            FRules[section.Name] = std::make_unique<TsbGrammarElement>(BuildElement(section, true));
        }
    }
    if (!FSettings.CaseSensitive)
        for (auto& k : FSettings.Keywords)
            k = AsciiLowerCase(k);
    std::sort(FSettings.Keywords.begin(), FSettings.Keywords.end());
    for (auto& [name, rule] : FRules)
        ResolveRefs(*rule, FRules);
    const auto start = FRules.find(u"program");
    if (start == FRules.end()) InvalidDefinition();
    FStart = start->second.get();
}

String TsbGrammar::ErrorText(StringView key) const
{
    const auto it = FErrors.find(String(key));
    return it == FErrors.end() ? String(key) : it->second;
}

String TsbGrammar::MapType(StringView name) const
{
    const auto it = FTypes.find(AsciiLowerCase(name));
    return it == FTypes.end() ? String(name) : it->second;
}

const TsbGrammar* FindGrammar(StringView language)
{
    // Parsed on first use and kept for the process (the grammars are constant data).
    static std::map<String, std::unique_ptr<TsbGrammar>> parsed;
    for (const auto& embedded : EmbeddedGrammars()) {
        if (!SameText(embedded.Language, language)) continue;
        auto& slot = parsed[String(embedded.Language)];
        if (!slot) slot = std::make_unique<TsbGrammar>(embedded.Xml);
        return slot.get();
    }
    return nullptr;
}

TsbGrammarEngine::TsbGrammarEngine(const TsbGrammar& grammar, StringView text)
    : FGrammar(grammar)
    , FParser(text, grammar.Settings())
{}

bool TsbGrammarEngine::Parse(IlNode& root)
{
    root.Name = u"program";
    if (Match(FGrammar.StartRule(), root)) return true;
    if (!FFailed) {
        FParser.SkipSpaces();
        Fail(u"Statement expected", FParser.Position());
    }
    return false;
}

void TsbGrammarEngine::Fail(StringView message, size_t pos)
{
    if (FFailed) return;
    FFailed = true;
    FError = String(message);
    FErrorPos = pos;
}

bool TsbGrammarEngine::Match(const TsbGrammarElement& e, IlNode& out)
{
    if (FFailed) return false;
    if (++FDepth > limits::ScriptMaxGrammarDepth) {
        Fail(Format(u"Source nested too deeply (more than %d grammar levels)",
                    {static_cast<int64_t>(limits::ScriptMaxGrammarDepth)}),
             FParser.Position());
        --FDepth;
        return false;
    }
    const size_t start = FParser.Position();
    const size_t mark = out.Children.size();
    bool ok;
    if (!e.Node.empty()) {
        if (e.Skip) FParser.SkipSpaces();
        IlNode wrap;
        wrap.Name = e.Node;
        wrap.Pos = FParser.Position();
        ok = MatchBody(e, wrap);
        wrap.End = FParser.Position();
        if (ok) out.Children.push_back(std::move(wrap));
    } else {
        ok = MatchBody(e, out);
    }
    --FDepth;
    if (ok) return true;
    FParser.SetPosition(start);
    out.Children.resize(mark);
    if (!e.Err.empty() && !FFailed) {
        if (e.Skip) FParser.SkipSpaces();
        Fail(FGrammar.ErrorText(e.Err), FParser.Position());
    }
    return false;
}

bool TsbGrammarEngine::MatchToken(const TsbGrammarElement& e, IlNode& out)
{
    if (e.Skip) FParser.SkipSpaces();
    const size_t pos = FParser.Position();
    String text;
    bool ok = false;
    switch (e.Type) {
    case Kind::Char:
        ok = FParser.ReadChar(e.Text[0], e.Skip);
        text = e.Text;
        break;
    case Kind::Keyword:
        ok = FParser.ReadKeyword(e.Text);
        text = e.Text;
        break;
    case Kind::Ident:
        ok = FParser.ReadIdent(text);
        break;
    case Kind::AnyIdent:
        ok = FParser.ReadWord(text);
        break;
    case Kind::Number:
        ok = FParser.ReadNumber(text);
        break;
    case Kind::StringLit:
        ok = FParser.ReadString(text);
        break;
    case Kind::VlString:
        ok = FParser.ReadVlString(text);
        break;
    case Kind::Eol:
        ok = FParser.ReadEol();
        break;
    default:
        Expects(false, "not a token element");
    }
    if (!ok || e.Add.empty()) return ok;
    if (e.Type == Kind::VlString) {
        // Written as the call Get('text'): a designator whose one node is Get with one argument.
        IlNode str{u"string", std::move(text), pos, 0, {}};
        IlNode expr{u"expr", String(), pos, 0, {}};
        expr.Children.push_back(std::move(str));
        IlNode call{u"call", String(), pos, 0, {}};
        call.Children.push_back(std::move(expr));
        IlNode designator{u"designator", String(), pos, 0, {}};
        designator.Children.push_back(IlNode{u"node", u"Get", pos, 0, {}});
        designator.Children.push_back(std::move(call));
        out.Children.push_back(std::move(designator));
        return true;
    }
    out.Children.push_back(
        IlNode{e.Add, e.AddText.empty() ? std::move(text) : e.AddText, pos, 0, {}});
    return true;
}

bool TsbGrammarEngine::MatchBody(const TsbGrammarElement& e, IlNode& out)
{
    switch (e.Type) {
    case Kind::RuleRef: {
        const size_t pos = FParser.Position();
        if (!Match(*e.Rule, out)) return false;
        if (!e.Add.empty()) out.Children.push_back(IlNode{e.Add, e.AddText, pos, 0, {}});
        return true;
    }
    case Kind::Sequence: {
        const size_t pos = FParser.Position();
        for (const auto& child : e.Children)
            if (!Match(child, out)) return false;
        if (!e.Add.empty()) out.Children.push_back(IlNode{e.Add, e.AddText, pos, 0, {}});
        return true;
    }
    case Kind::Switch:
    case Kind::OptionalSwitch:
        for (const auto& child : e.Children)
            if (Match(child, out)) return true;
        return e.Type == Kind::OptionalSwitch && !FFailed;
    case Kind::Optional: {
        const size_t before = FParser.Position();
        const size_t mark = out.Children.size();
        for (const auto& child : e.Children) {
            if (!Match(child, out)) {
                FParser.SetPosition(before);
                out.Children.resize(mark);
                return !FFailed;
            }
        }
        return true;
    }
    case Kind::Loop:
    case Kind::OptionalLoop: {
        size_t rounds = 0;
        for (;;) {
            const size_t before = FParser.Position();
            const size_t mark = out.Children.size();
            if (rounds > 0 && !e.Text.empty() && !FParser.ReadChar(e.Text[0])) break;
            bool all = true;
            for (const auto& child : e.Children) {
                if (!Match(child, out)) {
                    all = false;
                    break;
                }
            }
            if (!all || (FParser.Position() == before && rounds > 0)) {
                FParser.SetPosition(before);
                out.Children.resize(mark);
                break;
            }
            ++rounds;
        }
        if (FFailed) return false;
        return rounds > 0 || e.Type == Kind::OptionalLoop;
    }
    default:
        return MatchToken(e, out);
    }
}

} // namespace vl
