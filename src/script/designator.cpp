// Run-time evaluation and assignment of designator chains.
#include "script/designator.h"

#include "base/format.h"

#include <array>

namespace vl {

namespace {

[[noreturn]] void IndexOutOfBounds()
{
    throw EVariantError(u"Variant or safe array index out of bounds");
}

Variant* ArrayElement(Variant& array, const Variant& index)
{
    if (!array.IsArray()) throw EVariantError(u"Variant is not an array");
    auto& data = array.MutableArray();
    const int64_t i = index.ToInt64() - data.LowBound;
    if (i < 0 || i >= static_cast<int64_t>(data.Items.size())) IndexOutOfBounds();
    return &data.Items[static_cast<size_t>(i)];
}

} // namespace

TsbDesignator::TsbDesignator(TsbScript& script)
    : FScript(script)
{}

TsbDesignator::~TsbDesignator() = default;

TsbVarType TsbDesignator::Kind() const
{
    return FLinks.empty() ? TsbVarType::vtVariant : FLinks.back().ResultKind;
}

const String& TsbDesignator::TypeName() const
{
    static const String none;
    return FLinks.empty() ? none : FLinks.back().ResultType;
}

TsbCustomVariable* TsbDesignator::SingleItem() const
{
    if (FLinks.size() == 1 && FLinks[0].Kind == LinkKind::Item) return FLinks[0].Item;
    return nullptr;
}

bool TsbDesignator::Assignable() const
{
    if (FLinks.empty()) return false;
    const Link& last = FLinks.back();
    if (last.Kind == LinkKind::Property) return last.Property->Set != nullptr;
    if (FLinks[0].Kind != LinkKind::Item || FLinks[0].Item->ReadOnly() ||
        FLinks[0].Item->ItemKind() != TsbItemKind::Variable)
        return false;
    for (size_t i = 1; i < FLinks.size(); ++i) {
        const LinkKind k = FLinks[i].Kind;
        if (k != LinkKind::ArrayIndex && !(k == LinkKind::StringIndex && i + 1 == FLinks.size()))
            return false;
    }
    return true;
}

Variant TsbDesignator::CallLink(Link& link, const Variant& instance)
{
    const std::vector<TsbParam>* params = nullptr;
    size_t required = 0;
    bool macro = false;
    if (link.Kind == LinkKind::Proc) {
        auto& proc = static_cast<TsbProcVariable&>(*link.Item);
        params = &proc.Params;
        required = proc.RequiredCount();
    } else {
        auto& method = static_cast<TsbMethodHelper&>(*link.Item);
        params = &method.Params;
        required = method.RequiredCount();
        macro = method.IsMacro();
    }
    (void)required;
    // Calls with few parameters (nearly all) keep their arguments on the stack.
    constexpr size_t InlineArgs = 4;
    std::array<Variant, InlineArgs> inlineArgs;
    std::vector<Variant> heapArgs;
    const size_t count = params->size();
    if (count > InlineArgs) heapArgs.resize(count);
    const std::span<Variant> args = count > InlineArgs
                                        ? std::span<Variant>(heapArgs)
                                        : std::span<Variant>(inlineArgs.data(), count);
    size_t given = 0;
    if (macro) {
        for (const auto& text : link.ArgTexts)
            if (given < count) args[given++] = Variant(text);
    } else {
        for (auto& arg : link.Args)
            if (given < count) args[given++] = arg->Value();
    }
    for (size_t i = given; i < count; ++i)
        args[i] = macro && (*params)[i].Default.IsNull() ? Variant(String())
                  : macro                                ? Variant((*params)[i].Default.ToText())
                                                         : (*params)[i].Default;

    Variant result;
    if (link.Kind == LinkKind::Proc) {
        result = FScript.CallProc(static_cast<TsbProcVariable&>(*link.Item), args);
    } else {
        auto& method = static_cast<TsbMethodHelper&>(*link.Item);
        TsbScript* running = FScript.ProgRunning();
        TsbMethodCall call{method.UpperName,
                           instance.IsObject() ? instance.ObjectValue() : nullptr,
                           args,
                           running ? *running : FScript,
                           method.Context};
        result = method.Proc(call);
    }
    if (!macro) {
        for (size_t i = 0; i < link.Args.size() && i < params->size(); ++i) {
            if (!(*params)[i].ByRef) continue;
            TsbDesignator* target = link.Args[i]->SingleDesignator();
            if (target && target->Assignable()) target->Assign(args[i]);
        }
    }
    return result;
}

Variant TsbDesignator::Value()
{
    return EvalLinks(FLinks.size());
}

Variant TsbDesignator::EvalLinks(size_t count)
{
    Variant cur;
    for (size_t n = 0; n < count; ++n) {
        Link& link = FLinks[n];
        switch (link.Kind) {
        case LinkKind::Item:
            cur = link.Item->Value();
            break;
        case LinkKind::WithObject:
            cur = *link.WithSlot;
            break;
        case LinkKind::Method:
        case LinkKind::Proc:
            cur = CallLink(link, cur);
            break;
        case LinkKind::Property: {
            if (!cur.IsObject()) throw Exception(u"Class type required");
            std::vector<Variant> indexes;
            for (auto& arg : link.Args)
                indexes.push_back(arg->Value());
            TsbMethodCall call{
                link.Property->Name, cur.ObjectValue(), indexes, FScript, link.Property->Context};
            cur = link.Property->Get(call);
            break;
        }
        case LinkKind::StringIndex: {
            const String text = cur.ToText();
            const int64_t i = link.Args[0]->Value().ToInt64();
            cur = i >= 1 && i <= static_cast<int64_t>(text.size())
                      ? Variant(String(1, text[static_cast<size_t>(i - 1)]))
                      : Variant(String());
            break;
        }
        case LinkKind::ArrayIndex:
            for (auto& arg : link.Args) {
                Variant element = *ArrayElement(cur, arg->Value());
                cur = std::move(element);
            }
            break;
        }
    }
    return cur;
}

void TsbDesignator::Assign(const Variant& value)
{
    Link& last = FLinks.back();
    if (last.Kind == LinkKind::Property) {
        const Variant instance = EvalLinks(FLinks.size() - 1);
        if (!instance.IsObject()) throw Exception(u"Class type required");
        std::vector<Variant> args;
        for (auto& arg : last.Args)
            args.push_back(arg->Value());
        args.push_back(value);
        TsbMethodCall call{
            last.Property->Name, instance.ObjectValue(), args, FScript, last.Property->Context};
        last.Property->Set(call);
        return;
    }
    Variant* target = &FLinks[0].Item->MutableValue();
    for (size_t i = 1; i < FLinks.size(); ++i) {
        Link& link = FLinks[i];
        if (link.Kind == LinkKind::StringIndex) {
            String text = target->ToText();
            const int64_t at = link.Args[0]->Value().ToInt64();
            if (at < 1 || at > static_cast<int64_t>(text.size()))
                throw Exception(Format(u"String index out of bounds: %d", {at}));
            const String c = value.ToText();
            if (c.size() != 1) throw Exception(u"Incompatible types");
            text[static_cast<size_t>(at - 1)] = c[0];
            *target = Variant(std::move(text));
            return;
        }
        for (auto& arg : link.Args) {
            const Variant index = arg->Value();
            target = ArrayElement(*target, index);
        }
    }
    *target = value;
}

} // namespace vl
