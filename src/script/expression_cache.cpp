// Compiling report expressions once, as one-line functions of the report's language.
#include "script/expression_cache.h"

#include "base/format.h"

namespace vl {

TvlxExpressionCache::TvlxExpressionCache()
    : FScript(std::make_unique<TsbScript>())
{}

TvlxExpressionCache::~TvlxExpressionCache() = default;

void TvlxExpressionCache::Clear(StringView language)
{
    FByText.clear();
    FByExactText.clear();
    FCount = 0;
    FScript = std::make_unique<TsbScript>();
    FLanguage = String(language);
    FScript->SetSyntaxType(FLanguage);
}

String TvlxExpressionCache::Wrapper(StringView language, StringView expr, size_t index)
{
    const String name = u"vl3f" + IntToStr(static_cast<int64_t>(index));
    if (SameText(language, u"PascalScript"))
        return u"function " + name + u": Variant; begin Result := " + String(expr) +
               u" end; begin end.";
    if (SameText(language, u"C++Script"))
        return u"Variant " + name + u"() { return " + String(expr) + u"; } {}";
    if (SameText(language, u"BasicScript"))
        return u"function " + name + u"\r\nreturn " + String(expr) + u"\r\nend function";
    if (SameText(language, u"JScript"))
        return u"function " + name + u"() { return " + String(expr) + u"; }";
    return String();
}

TsbProcVariable* TvlxExpressionCache::Find(StringView expr, TsbScript& parent, String& error)
{
    // Nearly every call repeats a text exactly as it was compiled: an exact match costs a plain
    // hash, no case folding. Only compiled texts are keys there, so it is right in both modes.
    if (const auto it = FByExactText.find(String(expr)); it != FByExactText.end())
        return it->second;
    if (!FCaseSensitive) {
        const auto it = FByText.find(expr);
        if (it != FByText.end()) return it->second;
    }
    // A macro function evaluating its texts from inside a cached function passes that function's
    // locals, which live in this cache: the cache keeps its parent then, never a cycle.
    bool inside = false;
    for (const TsbScript* s = &parent; s && !inside; s = s->Parent())
        inside = s == FScript.get();
    if (!inside) FScript->SetParent(&parent);
    FScript->SetSyntaxType(FLanguage);
    const size_t index = FCount;
    FScript->SetLines(Wrapper(FLanguage, expr, index));
    if (!FScript->Compile()) {
        error = u"Error in expression '" + String(expr) + u"': " + FScript->ErrorMsg();
        return nullptr;
    }
    TsbCustomVariable* item = FScript->FindLocal(u"vl3f" + IntToStr(static_cast<int64_t>(index)));
    if (!item || item->ItemKind() != TsbItemKind::Proc) {
        error = u"Error in expression '" + String(expr) + u"': " +
                Format(u"Language '%s' not found", {FLanguage});
        return nullptr;
    }
    ++FCount;
    auto* proc = static_cast<TsbProcVariable*>(item);
    FByExactText.emplace(String(expr), proc);
    if (!FCaseSensitive) FByText.emplace(String(expr), proc);
    return proc;
}

} // namespace vl
