// Declaration strings of registered functions: "function Copy(s: String; from, count: Integer):
// String", "procedure Inc(var i: Integer; incr: Integer = 1)", "macrofunction IIF(...)".
#include "base/format.h"
#include "platform/unicode/text_case.h"
#include "script/compiler_internal.h"
#include "script/lexer.h"

namespace vl {

namespace {

[[noreturn]] void Malformed(StringView declaration)
{
    throw Exception(Format(u"Invalid method declaration: %s", {declaration}));
}

const TsbParserSettings& DeclarationSettings()
{
    static const TsbParserSettings settings = [] {
        TsbParserSettings s;
        s.Keywords = {u"const", u"var"};
        return s;
    }();
    return settings;
}

Variant ReadDefault(TsbParser& p, const TsbScript* scope)
{
    String text;
    const bool negative = p.ReadChar(u'-');
    if (p.ReadNumber(text)) {
        Variant value;
        if (!NumberTokenValue(text, value)) return Variant::Null();
        return negative ? VarNeg(value) : value;
    }
    if (!negative && p.ReadString(text)) return Variant(text);
    if (!negative && p.ReadWord(text)) {
        const TsbCustomVariable* item = scope ? scope->Find(text) : BuiltinScript().Find(text);
        if (item && item->ItemKind() == TsbItemKind::Constant) return item->StoredValue();
        return Variant::Null();
    }
    return Variant::Null();
}

} // namespace

std::unique_ptr<TsbMethodHelper> ParseMethodDeclaration(StringView declaration,
                                                        const TsbScript* scope)
{
    TsbParser p(declaration, DeclarationSettings());
    String word, name;
    if (!p.ReadWord(word) || !p.ReadWord(name)) Malformed(declaration);
    const String lead = AsciiLowerCase(word);
    const bool macro = lead.starts_with(u"macro");
    const StringView kind = macro ? StringView(lead).substr(5) : StringView(lead);
    if (kind != u"function" && kind != u"procedure") Malformed(declaration);
    const bool isFunction = kind == u"function";

    std::vector<TsbParam> params;
    if (p.ReadChar(u'(') && !p.ReadChar(u')')) {
        for (;;) {
            bool byRef = false;
            if (p.ReadKeyword(u"var"))
                byRef = true;
            else
                p.ReadKeyword(u"const");
            std::vector<String> names;
            String paramName;
            do {
                if (!p.ReadWord(paramName)) Malformed(declaration);
                names.push_back(paramName);
            } while (p.ReadChar(u','));
            String typeName;
            if (!p.ReadChar(u':') || !p.ReadWord(typeName)) Malformed(declaration);
            Variant defaultValue = Variant::Null();
            const bool hasDefault = p.ReadChar(u'=');
            if (hasDefault) defaultValue = ReadDefault(p, scope);
            for (size_t i = 0; i < names.size(); ++i) {
                TsbParam param;
                param.Name = names[i];
                param.TypeName = typeName;
                param.Kind = KindOfTypeName(scope, typeName);
                param.ByRef = byRef;
                if (hasDefault && i + 1 == names.size()) {
                    param.Default = defaultValue;
                    param.Optional = !defaultValue.IsNull();
                }
                params.push_back(std::move(param));
            }
            if (p.ReadChar(u')')) break;
            if (!p.ReadChar(u';')) Malformed(declaration);
        }
    }
    String resultType;
    if (isFunction) {
        const size_t colon = declaration.rfind(u':');
        if (colon == StringView::npos) Malformed(declaration);
        TsbParser r(declaration.substr(colon + 1), DeclarationSettings());
        if (!r.ReadWord(resultType)) Malformed(declaration);
    }
    auto method = std::make_unique<TsbMethodHelper>(
        name, isFunction ? KindOfTypeName(scope, resultType) : TsbVarType::vtVariant, resultType);
    method->Params = std::move(params);
    method->HasResult = isFunction;
    method->SetMacro(macro);
    return method;
}

} // namespace vl
