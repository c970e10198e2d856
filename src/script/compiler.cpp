// The second pass: walks the IL that the grammar engine wrote and builds items, statements,
// designators and expression trees, with the semantic checks and their messages.
#include "base/exception.h"
#include "base/format.h"
#include "base/stream.h"
#include "platform/unicode/text_case.h"
#include "script/compiler_internal.h"
#include "script/designator.h"
#include "script/grammar.h"
#include "script/statements.h"

namespace vl {

namespace {

using K = TsbVarType;
using LinkKind = TsbDesignator::LinkKind;

bool Is(const IlNode& n, StringView name)
{
    return n.Name == name;
}

const IlNode* Child(const IlNode& n, StringView name)
{
    for (const auto& c : n.Children)
        if (c.Name == name) return &c;
    return nullptr;
}

bool IsNumericKind(K kind)
{
    return kind == K::vtInt || kind == K::vtInt64 || kind == K::vtFloat || kind == K::vtVariant;
}

class Compiler
{
public:
    Compiler(TsbScript& program, const TsbGrammar& grammar, StringView source)
        : FProgram(program)
        , FGrammar(grammar)
        , FSource(source)
        , FScope(&program)
    {}

    void CompileProgram(const IlNode& root, TsbStatementList& main);

private:
    [[noreturn]] void Error(StringView message, size_t pos)
    {
        throw TsbCompileError{String(message), pos};
    }

    void CompileDeclarations(const IlNode& node, TsbStatementList* statements);
    void CompileUses(const IlNode& node);
    void CompileConst(const IlNode& node);
    void CompileVar(const IlNode& node,
                    std::vector<TsbCustomVariable*>* made,
                    bool byRef,
                    std::vector<TsbParam>* params);
    void CompileProc(const IlNode& node, bool isFunction);
    void CheckRedeclared(const String& name, size_t pos);
    Variant ArrayValue(const IlNode& arrayNode, size_t dim, const IlNode& typeNode);

    void CompileStatements(const IlNode& parent, TsbStatementList& out);
    void CompileStatement(const IlNode& node, TsbStatementList& out);

    std::unique_ptr<TsbExpression> CompileExpression(const IlNode& expr);
    void AddExprItems(const IlNode& expr, TsbExpression& e);
    std::unique_ptr<TsbDesignator> CompileDesignator(const IlNode& node);
    std::unique_ptr<TsbExpression> DesignatorExpression(const IlNode& node);
    void ResolveCall(TsbDesignator::Link& link,
                     const std::vector<TsbParam>& params,
                     size_t required,
                     bool macro,
                     const IlNode* call,
                     size_t pos);
    void
    CheckAssignment(K target, const String& targetType, const TsbExpression& value, size_t pos);

    TsbScript& FProgram;
    const TsbGrammar& FGrammar;
    StringView FSource;
    TsbScript* FScope;
    struct WithEntry
    {
        String ClassName;
        const Variant* Slot;
    };
    std::vector<WithEntry> FWith;
    size_t FUnitDepth = 0;
};

void Compiler::CompileProgram(const IlNode& root, TsbStatementList& main)
{
    CompileDeclarations(root, &main);
}

void Compiler::CompileDeclarations(const IlNode& node, TsbStatementList* statements)
{
    for (const auto& c : node.Children) {
        if (Is(c, u"uses"))
            CompileUses(c);
        else if (Is(c, u"const"))
            CompileConst(c);
        else if (Is(c, u"var"))
            CompileVar(c, nullptr, false, nullptr);
        else if (Is(c, u"procedure"))
            CompileProc(c, false);
        else if (Is(c, u"function"))
            CompileProc(c, true);
        else if (Is(c, u"compound") && statements)
            CompileStatements(c, *statements);
    }
}

void Compiler::CompileUses(const IlNode& node)
{
    for (const auto& file : node.Children) {
        const String& name = file.Text;
        const bool plainName = !name.empty() && name.find(u'/') == String::npos &&
                               name.find(u'\\') == String::npos &&
                               name.find(u"..") == String::npos && name.find(u':') == String::npos;
        if (FProgram.UnitFolder().empty() || !plainName || FUnitDepth >= 8)
            Error(Format(u"Unit '%s' not found: units are read only from the template's folder",
                         {name}),
                  file.Pos);
        String text;
        try {
            FileStream stream(ToUtf8(FProgram.UnitFolder() + u"/" + name),
                              FileStream::Mode::OpenRead);
            const auto bytes = stream.ReadAll(size_t(16) << 20);
            text = FromUtf8(
                std::string_view(reinterpret_cast<const char*>(bytes.Data()), bytes.Size()));
        } catch (const Exception&) {
            Error(Format(u"Unit '%s' not found", {name}), file.Pos);
        }
        TsbGrammarEngine engine(FGrammar, text);
        IlNode unit;
        if (!engine.Parse(unit))
            Error(Format(u"Unit '%s': %s at %s",
                         {name, engine.Error(), engine.Parser().LinePos(engine.ErrorPos())}),
                  file.Pos);
        // A unit's declarations join the program; positions inside it are its own, so errors
        // name the unit instead.
        try {
            ++FUnitDepth;
            Compiler unitCompiler(FProgram, FGrammar, text);
            unitCompiler.FUnitDepth = FUnitDepth;
            TsbStatementList ignored;
            unitCompiler.CompileDeclarations(unit, &ignored);
            --FUnitDepth;
        } catch (const TsbCompileError& e) {
            Error(Format(u"Unit '%s': %s", {name, e.Message}), file.Pos);
        }
    }
}

void Compiler::CheckRedeclared(const String& name, size_t pos)
{
    if (FScope->FindLocal(name)) Error(u"Identifier redeclared: " + name, pos);
}

void Compiler::CompileConst(const IlNode& node)
{
    const IlNode* name = Child(node, u"name");
    const IlNode* expr = Child(node, u"expr");
    CheckRedeclared(name->Text, name->Pos);
    auto e = CompileExpression(*expr);
    Variant value = e->Value();
    auto item = std::make_unique<TsbCustomVariable>(
        TsbItemKind::Constant, name->Text, e->Kind(), e->TypeName());
    item->SetValue(std::move(value));
    item->SetReadOnly(true);
    item->SetPos(name->Pos);
    FScope->Add(std::move(item));
}

Variant Compiler::ArrayValue(const IlNode& typeIl, size_t dim, const IlNode& typeNode)
{
    std::vector<const IlNode*> dims;
    for (const auto& c : typeIl.Children)
        if (Is(c, u"dim")) dims.push_back(&c);
    if (dim >= dims.size()) return Variant();
    const IlNode& d = *dims[dim];
    std::vector<const IlNode*> bounds;
    for (const auto& c : d.Children)
        if (Is(c, u"expr")) bounds.push_back(&c);
    int64_t low = 0, high;
    if (bounds.size() == 2) {
        low = CompileExpression(*bounds[0])->Value().ToInt64();
        high = CompileExpression(*bounds[1])->Value().ToInt64();
    } else {
        high = CompileExpression(*bounds[0])->Value().ToInt64() - 1;
    }
    if (high - low >= (int64_t(1) << 24)) Error(u"Array too large", d.Pos);
    Variant array = Variant::Array(low, high);
    if (dim + 1 < dims.size())
        for (auto& element : array.MutableArray().Items)
            element = ArrayValue(typeIl, dim + 1, typeNode);
    return array;
}

void Compiler::CompileVar(const IlNode& node,
                          std::vector<TsbCustomVariable*>* made,
                          bool byRef,
                          std::vector<TsbParam>* params)
{
    const IlNode* type = Child(node, u"type");
    const bool isArray = Child(node, u"array") != nullptr;
    const String typeName = FGrammar.MapType(type->Text);
    const TsbCustomVariable* typeItem = FScope->Find(typeName);
    if (!typeItem ||
        (typeItem->ItemKind() != TsbItemKind::Type && typeItem->ItemKind() != TsbItemKind::Class))
        Error(u"Unknown type: " + typeName, type->Pos);
    const K kind = isArray ? K::vtArray : KindOfTypeName(FScope, typeName);
    Variant initial = Variant::Null();
    if (isArray) initial = Child(node, u"dim") ? ArrayValue(node, 0, *type) : Variant::Array(0, -1);
    std::unique_ptr<TsbExpression> init;
    if (const IlNode* initNode = Child(node, u"init")) {
        init = CompileExpression(initNode->Children.at(0));
        CheckAssignment(kind, typeName, *init, initNode->Pos);
        initial = init->Value();
    }
    std::vector<const IlNode*> names;
    for (const auto& c : node.Children)
        if (Is(c, u"name")) names.push_back(&c);
    for (size_t i = 0; i < names.size(); ++i) {
        const IlNode* name = names[i];
        CheckRedeclared(name->Text, name->Pos);
        auto item =
            std::make_unique<TsbCustomVariable>(TsbItemKind::Variable, name->Text, kind, typeName);
        item->SetValue(initial);
        item->SetPos(name->Pos);
        TsbCustomVariable& added = FScope->Add(std::move(item));
        if (made) made->push_back(&added);
        if (params) {
            TsbParam p;
            p.Name = name->Text;
            p.TypeName = typeName;
            p.Kind = kind;
            p.ByRef = byRef;
            if (init && i + 1 == names.size()) {
                p.Default = initial;
                p.Optional = !initial.IsNull();
            }
            params->push_back(std::move(p));
        }
    }
}

void Compiler::CompileProc(const IlNode& node, bool isFunction)
{
    const IlNode* name = Child(node, u"name");
    CheckRedeclared(name->Text, name->Pos);
    String resultType;
    K resultKind = K::vtVariant;
    if (isFunction) {
        const IlNode* result = Child(node, u"result");
        resultType = FGrammar.MapType(result->Text);
        const TsbCustomVariable* typeItem = FScope->Find(resultType);
        if (!typeItem || (typeItem->ItemKind() != TsbItemKind::Type &&
                          typeItem->ItemKind() != TsbItemKind::Class))
            Error(u"Unknown type: " + resultType, result->Pos);
        resultKind = KindOfTypeName(FScope, resultType);
    }
    auto owned = std::make_unique<TsbProcVariable>(name->Text, resultKind, resultType, *FScope);
    TsbProcVariable& proc = *owned;
    proc.HasResult = isFunction;
    proc.SetPos(name->Pos);
    FScope->Add(std::move(owned)); // before the body, so that it can call itself

    TsbScript* outer = FScope;
    FScope = &proc.Locals();
    struct RestoreScope
    {
        Compiler& C;
        TsbScript* Outer;
        ~RestoreScope() { C.FScope = Outer; }
    } restore{*this, outer};

    if (const IlNode* params = Child(node, u"params")) {
        for (const auto& param : params->Children) {
            const bool byRef = Child(param, u"byref") != nullptr;
            CompileVar(*Child(param, u"var"), &proc.ParamItems, byRef, &proc.Params);
        }
    }
    if (isFunction) {
        auto result = std::make_unique<TsbCustomVariable>(
            TsbItemKind::Variable, u"Result", resultKind, resultType);
        proc.ResultItem = &FScope->Add(std::move(result));
    }
    CompileDeclarations(node, &proc.Statements);
}

void Compiler::CompileStatements(const IlNode& parent, TsbStatementList& out)
{
    for (const auto& c : parent.Children)
        CompileStatement(c, out);
}

void Compiler::CheckAssignment(K target,
                               const String& targetType,
                               const TsbExpression& value,
                               size_t pos)
{
    const K source = value.Kind();
    if ((target == K::vtInt || target == K::vtInt64) && source == K::vtFloat)
        Error(u"Incompatible types", pos);
    if (!KindsCompatible(target, targetType, source, value.TypeName(), *FScope))
        Error(u"Incompatible types", pos);
}

void Compiler::CompileStatement(const IlNode& node, TsbStatementList& out)
{
    const size_t pos = node.Pos;
    if (Is(node, u"compound")) {
        auto s = std::make_unique<TsbCompoundStmt>(FProgram, pos);
        CompileStatements(node, s->Body);
        out.push_back(std::move(s));
    } else if (Is(node, u"assign")) {
        auto s = std::make_unique<TsbAssignStmt>(FProgram, pos);
        const IlNode& target = node.Children.at(0);
        s->Target = DesignatorExpression(target);
        TsbDesignator* d = s->Target->SingleDesignator();
        if (!d->Assignable()) Error(u"Left side cannot be assigned to", target.Pos);
        s->Source = CompileExpression(node.Children.at(1));
        CheckAssignment(d->Kind(), d->TypeName(), *s->Source, node.Children.at(1).Pos);
        out.push_back(std::move(s));
    } else if (Is(node, u"callstmt")) {
        auto s = std::make_unique<TsbCallStmt>(FProgram, pos);
        s->Call = DesignatorExpression(node.Children.at(0));
        out.push_back(std::move(s));
    } else if (Is(node, u"if")) {
        auto s = std::make_unique<TsbIfStmt>(FProgram, pos);
        s->Condition = CompileExpression(*Child(node, u"expr"));
        CompileStatements(*Child(node, u"then"), s->Then);
        if (const IlNode* e = Child(node, u"else")) CompileStatements(*e, s->Else);
        out.push_back(std::move(s));
    } else if (Is(node, u"case")) {
        auto s = std::make_unique<TsbCaseStmt>(FProgram, pos);
        s->Value = CompileExpression(*Child(node, u"expr"));
        for (const auto& c : node.Children) {
            if (Is(c, u"selector")) {
                TsbCaseStmt::Selector selector;
                std::vector<TsbSetNode::Member> members;
                const IlNode* set = Child(c, u"set");
                for (const auto& m : set->Children) {
                    TsbSetNode::Member member;
                    if (Is(m, u"range")) {
                        member.Low = CompileExpression(m.Children.at(0));
                        member.High = CompileExpression(m.Children.at(1));
                    } else {
                        member.Low = CompileExpression(m);
                    }
                    members.push_back(std::move(member));
                }
                selector.Set = std::make_unique<TsbSetNode>(std::move(members), set->Pos);
                CompileStatements(*Child(c, u"body"), selector.Body);
                s->Selectors.push_back(std::move(selector));
            } else if (Is(c, u"else")) {
                CompileStatements(c, s->Else);
            }
        }
        out.push_back(std::move(s));
    } else if (Is(node, u"repeat")) {
        auto s = std::make_unique<TsbRepeatStmt>(FProgram, pos);
        CompileStatements(*Child(node, u"body"), s->Body);
        s->Until = CompileExpression(*Child(node, u"expr"));
        out.push_back(std::move(s));
    } else if (Is(node, u"while")) {
        auto s = std::make_unique<TsbWhileStmt>(FProgram, pos);
        s->Condition = CompileExpression(*Child(node, u"expr"));
        CompileStatements(*Child(node, u"body"), s->Body);
        out.push_back(std::move(s));
    } else if (Is(node, u"for")) {
        auto s = std::make_unique<TsbForStmt>(FProgram, pos);
        const IlNode* var = Child(node, u"var");
        TsbCustomVariable* item = FScope->Find(var->Text);
        if (!item) Error(u"Undeclared identifier: '" + var->Text + u"'", var->Pos);
        if (item->ItemKind() != TsbItemKind::Variable || !IsNumericKind(item->Kind()))
            Error(u"For loop variable must be numeric variable", var->Pos);
        s->Variable = item;
        std::vector<const IlNode*> exprs;
        for (const auto& c : node.Children)
            if (Is(c, u"expr")) exprs.push_back(&c);
        s->From = CompileExpression(*exprs.at(0));
        s->To = CompileExpression(*exprs.at(1));
        s->Down = Child(node, u"downto") != nullptr;
        CompileStatements(*Child(node, u"body"), s->Body);
        out.push_back(std::move(s));
    } else if (Is(node, u"try")) {
        auto s = std::make_unique<TsbTryStmt>(FProgram, pos);
        CompileStatements(*Child(node, u"body"), s->Body);
        const IlNode* handler = Child(node, u"finally");
        s->IsFinally = handler != nullptr;
        if (!handler) handler = Child(node, u"except");
        CompileStatements(*handler, s->Handler);
        TsbScript& root = FProgram.Root();
        s->ClassNameItem = root.FindLocal(u"ExceptionClassName");
        s->MessageItem = root.FindLocal(u"ExceptionMessage");
        if (!s->ClassNameItem)
            s->ClassNameItem = &root.AddVariable(u"ExceptionClassName", u"String", Variant(u""));
        if (!s->MessageItem)
            s->MessageItem = &root.AddVariable(u"ExceptionMessage", u"String", Variant(u""));
        out.push_back(std::move(s));
    } else if (Is(node, u"break")) {
        out.push_back(std::make_unique<TsbFlowStmt>(FProgram, pos, TsbFlowStmt::Kind::Break));
    } else if (Is(node, u"continue")) {
        out.push_back(std::make_unique<TsbFlowStmt>(FProgram, pos, TsbFlowStmt::Kind::Continue));
    } else if (Is(node, u"exit")) {
        out.push_back(std::make_unique<TsbFlowStmt>(FProgram, pos, TsbFlowStmt::Kind::Exit));
    } else if (Is(node, u"with")) {
        auto s = std::make_unique<TsbWithStmt>(FProgram, pos);
        const size_t withDepth = FWith.size();
        for (const auto& c : node.Children) {
            if (!Is(c, u"designator")) continue;
            auto e = DesignatorExpression(c);
            if (e->Kind() != K::vtClass) Error(u"Class type required", c.Pos);
            s->Slots.push_back(std::make_unique<Variant>());
            FWith.push_back({e->TypeName(), s->Slots.back().get()});
            s->Objects.push_back(std::move(e));
        }
        try {
            CompileStatements(*Child(node, u"body"), s->Body);
        } catch (...) {
            FWith.resize(withDepth);
            throw;
        }
        FWith.resize(withDepth);
        out.push_back(std::move(s));
    }
}

std::unique_ptr<TsbExpression> Compiler::CompileExpression(const IlNode& expr)
{
    auto e = std::make_unique<TsbExpression>(*FScope);
    AddExprItems(expr, *e);
    if (auto error = e->Finalize()) throw *error;
    if (expr.End > expr.Pos && expr.End <= FSource.size())
        e->SetSource(String(FSource.substr(expr.Pos, expr.End - expr.Pos)));
    return e;
}

void Compiler::AddExprItems(const IlNode& expr, TsbExpression& e)
{
    for (const auto& item : expr.Children) {
        if (Is(item, u"number")) {
            Variant value;
            if (!NumberTokenValue(item.Text, value))
                Error(Format(u"'%s' is not a valid floating point value", {item.Text}), item.Pos);
            e.AddConst(std::move(value), item.Pos);
        } else if (Is(item, u"string")) {
            e.AddConst(Variant(item.Text), item.Pos);
        } else if (Is(item, u"operator")) {
            e.AddOperator(item.Text, item.Pos);
        } else if (Is(item, u"designator")) {
            e.AddDesignator(CompileDesignator(item), item.Pos);
        } else if (Is(item, u"set")) {
            std::vector<TsbSetNode::Member> members;
            for (const auto& m : item.Children) {
                TsbSetNode::Member member;
                if (Is(m, u"range")) {
                    member.Low = CompileExpression(m.Children.at(0));
                    member.High = CompileExpression(m.Children.at(1));
                } else {
                    member.Low = CompileExpression(m);
                }
                members.push_back(std::move(member));
            }
            e.AddSet(std::move(members), item.Pos);
        } else if (Is(item, u"expr")) {
            AddExprItems(item, e);
        }
    }
}

std::unique_ptr<TsbExpression> Compiler::DesignatorExpression(const IlNode& node)
{
    auto e = std::make_unique<TsbExpression>(*FScope);
    e->AddDesignator(CompileDesignator(node), node.Pos);
    if (auto error = e->Finalize()) throw *error;
    return e;
}

void Compiler::ResolveCall(TsbDesignator::Link& link,
                           const std::vector<TsbParam>& params,
                           size_t required,
                           bool macro,
                           const IlNode* call,
                           size_t pos)
{
    size_t count = 0;
    if (call) {
        for (const auto& arg : call->Children) {
            if (!Is(arg, u"expr")) continue;
            ++count;
            if (macro) {
                String text(FSource.substr(arg.Pos, arg.End - arg.Pos));
                while (!text.empty() && text.back() <= u' ')
                    text.pop_back();
                link.ArgTexts.push_back(std::move(text));
            } else {
                auto e = CompileExpression(arg);
                if (count <= params.size() && params[count - 1].ByRef) {
                    TsbDesignator* d = e->SingleDesignator();
                    if (!d || !d->Assignable()) Error(u"Variable required", arg.Pos);
                }
                link.Args.push_back(std::move(e));
            }
        }
    }
    if (count < required) Error(u"Not enough actual parameters", call ? call->Pos : pos);
    if (count > params.size()) Error(u"Too many actual parameters", call ? call->Pos : pos);
}

std::unique_ptr<TsbDesignator> Compiler::CompileDesignator(const IlNode& node)
{
    auto d = std::make_unique<TsbDesignator>(*FScope);
    auto& links = d->Links();
    const auto& parts = node.Children;
    size_t i = 0;
    while (i < parts.size() && Is(parts[i], u"addr"))
        ++i;
    if (i >= parts.size()) Error(u"Identifier expected", node.Pos);
    const IlNode& first = parts[i++];
    const IlNode* call = i < parts.size() && Is(parts[i], u"call") ? &parts[i] : nullptr;

    // Members of enclosing with-objects come first, innermost first.
    bool resolved = false;
    for (auto it = FWith.rbegin(); it != FWith.rend() && !resolved; ++it) {
        const TsbClassItem* cls = FScope->FindClass(it->ClassName);
        for (; cls && !resolved; cls = FScope->FindClass(cls->ParentName())) {
            const TsbClassProperty* prop = cls->FindProperty(first.Text);
            TsbMethodHelper* method = prop ? nullptr : cls->FindMethod(first.Text);
            if (!prop && !method) {
                if (cls->ParentName().empty() || SameText(cls->ParentName(), cls->Name())) break;
                continue;
            }
            TsbDesignator::Link with{LinkKind::WithObject};
            with.WithSlot = it->Slot;
            with.ResultKind = K::vtClass;
            with.ResultType = it->ClassName;
            links.push_back(std::move(with));
            TsbDesignator::Link member{prop ? LinkKind::Property : LinkKind::Method};
            member.Pos = first.Pos;
            if (prop) {
                member.Property = prop;
                member.ResultKind = prop->Kind;
                member.ResultType = prop->TypeName;
                if (prop->IndexCount > 0) {
                    if (i >= parts.size() || !Is(parts[i], u"index"))
                        Error(u"Index required", first.Pos);
                    for (const auto& arg : parts[i].Children)
                        member.Args.push_back(CompileExpression(arg));
                    ++i;
                }
            } else {
                member.Item = method;
                member.ResultKind = method->Kind();
                member.ResultType = method->TypeName();
                ResolveCall(member,
                            method->Params,
                            method->RequiredCount(),
                            method->IsMacro(),
                            call,
                            first.Pos);
                if (call) ++i;
            }
            links.push_back(std::move(member));
            resolved = true;
        }
    }

    if (!resolved) {
        TsbCustomVariable* item = FScope->Find(first.Text);
        if (!item) {
            if (FGrammar.DeclareVars())
                Error(u"Undeclared identifier: '" + first.Text + u"'", first.Pos);
            item = &FProgram.AddVariable(first.Text, u"Variant", Variant::Null());
        }
        TsbDesignator::Link link{LinkKind::Item};
        link.Item = item;
        link.Pos = first.Pos;
        link.ResultKind = item->Kind();
        link.ResultType = item->TypeName();
        switch (item->ItemKind()) {
        case TsbItemKind::Method: {
            auto& method = static_cast<TsbMethodHelper&>(*item);
            link.Kind = LinkKind::Method;
            ResolveCall(
                link, method.Params, method.RequiredCount(), method.IsMacro(), call, first.Pos);
            if (call) ++i;
            break;
        }
        case TsbItemKind::Proc: {
            auto& proc = static_cast<TsbProcVariable&>(*item);
            link.Kind = LinkKind::Proc;
            ResolveCall(link, proc.Params, proc.RequiredCount(), false, call, first.Pos);
            if (call) ++i;
            break;
        }
        case TsbItemKind::Type:
        case TsbItemKind::Class:
            if (call) {
                // A type cast: the argument's value seen as the named type.
                std::vector<TsbParam> one(1);
                link.Kind = LinkKind::Method;
                static TsbMethodHelper cast(u"__Cast", K::vtVariant, u"");
                if (!cast.Proc) {
                    cast.Params.resize(1);
                    cast.Proc = [](TsbMethodCall& c) { return c.Args[0]; };
                }
                link.Item = &cast;
                ResolveCall(link, cast.Params, 1, false, call, first.Pos);
                link.ResultKind =
                    item->ItemKind() == TsbItemKind::Class ? K::vtClass : item->Kind();
                link.ResultType = item->Name();
                ++i;
            }
            break;
        default:
            break;
        }
        links.push_back(std::move(link));
    }

    for (; i < parts.size(); ++i) {
        const IlNode& part = parts[i];
        const K kind = links.back().ResultKind;
        const String typeName = links.back().ResultType;
        if (Is(part, u"node")) {
            if (kind == K::vtString || kind == K::vtChar)
                Error(u"Strings doesn't have properties or methods", part.Pos);
            const TsbClassItem* cls = kind == K::vtClass ? FScope->FindClass(typeName) : nullptr;
            if (!cls) Error(u"Class type required", part.Pos);
            const TsbClassProperty* prop = nullptr;
            TsbMethodHelper* method = nullptr;
            for (size_t guard = 0; cls && !prop && !method && guard < 64; ++guard) {
                prop = cls->FindProperty(part.Text);
                method = prop ? nullptr : cls->FindMethod(part.Text);
                if (!prop && !method)
                    cls =
                        cls->ParentName().empty() ? nullptr : FScope->FindClass(cls->ParentName());
            }
            if (!prop && !method) Error(u"Undeclared identifier: '" + part.Text + u"'", part.Pos);
            TsbDesignator::Link member{prop ? LinkKind::Property : LinkKind::Method};
            member.Pos = part.Pos;
            if (prop) {
                member.Property = prop;
                member.ResultKind = prop->Kind;
                member.ResultType = prop->TypeName;
                if (prop->IndexCount > 0) {
                    if (i + 1 >= parts.size() || !Is(parts[i + 1], u"index"))
                        Error(u"Index required", part.Pos);
                    ++i;
                    for (const auto& arg : parts[i].Children)
                        member.Args.push_back(CompileExpression(arg));
                }
            } else {
                member.Item = method;
                member.ResultKind = method->Kind();
                member.ResultType = method->TypeName();
                const IlNode* args =
                    i + 1 < parts.size() && Is(parts[i + 1], u"call") ? &parts[i + 1] : nullptr;
                ResolveCall(member,
                            method->Params,
                            method->RequiredCount(),
                            method->IsMacro(),
                            args,
                            part.Pos);
                if (args) ++i;
            }
            links.push_back(std::move(member));
        } else if (Is(part, u"index")) {
            TsbDesignator::Link link{LinkKind::ArrayIndex};
            link.Pos = part.Pos;
            for (const auto& arg : part.Children)
                link.Args.push_back(CompileExpression(arg));
            if (link.Args.empty()) Error(u"Expression expected", part.Pos);
            if (kind == K::vtString || kind == K::vtChar) {
                link.Kind = LinkKind::StringIndex;
                link.ResultKind = K::vtChar;
                link.ResultType = u"Char";
            } else if (kind == K::vtClass) {
                const TsbClassItem* cls = FScope->FindClass(typeName);
                const TsbClassProperty* prop = nullptr;
                for (size_t guard = 0; cls && !prop && guard < 64; ++guard) {
                    prop = cls->DefaultProperty();
                    if (!prop)
                        cls = cls->ParentName().empty() ? nullptr
                                                        : FScope->FindClass(cls->ParentName());
                }
                if (!prop)
                    Error(Format(u"Class %s does not have a default property", {typeName}),
                          part.Pos);
                link.Kind = LinkKind::Property;
                link.Property = prop;
                link.ResultKind = prop->Kind;
                link.ResultType = prop->TypeName;
            } else if (kind != K::vtArray && kind != K::vtVariant) {
                Error(u"Array type required", part.Pos);
            }
            links.push_back(std::move(link));
        } else if (Is(part, u"call")) {
            bool any = false;
            for (const auto& arg : part.Children)
                any = any || Is(arg, u"expr");
            if (any) Error(u"Too many actual parameters", part.Pos);
        }
    }
    return d;
}

} // namespace

bool CompileScript(TsbScript& script)
{
    const TsbGrammar* grammar = nullptr;
    try {
        grammar = FindGrammar(script.SyntaxType());
    } catch (const Exception& e) {
        script.FErrorMsg = e.Message();
        script.FErrorPos = u"1:1";
        return false;
    }
    if (!grammar) {
        script.FErrorMsg = Format(u"Language '%s' not found", {script.SyntaxType()});
        script.FErrorPos = u"1:1";
        return false;
    }
    const String source = script.Lines();
    TsbGrammarEngine engine(*grammar, source);
    script.FLineStarts.assign(1, 0);
    for (size_t i = 0; i < source.size(); ++i)
        if (source[i] == u'\n') script.FLineStarts.push_back(i + 1);
    IlNode il;
    if (!engine.Parse(il)) {
        script.FErrorMsg = engine.Error();
        script.FErrorPos = engine.Parser().LinePos(engine.ErrorPos());
        return false;
    }
    if (!script.Parent() && !script.FindLocal(u"ExceptionMessage")) {
        script.AddVariable(u"ExceptionClassName", u"String", Variant(u""));
        script.AddVariable(u"ExceptionMessage", u"String", Variant(u""));
    }
    // Items made before a failure stay out: everything added by this compile is removed again.
    const size_t itemsBefore = script.Items().size();
    TsbStatementList main;
    try {
        Compiler compiler(script, *grammar, source);
        compiler.CompileProgram(il, main);
    } catch (const TsbCompileError& e) {
        script.FErrorMsg = e.Message;
        script.FErrorPos = engine.Parser().LinePos(e.Pos);
        while (script.Items().size() > itemsBefore)
            script.Remove(script.Items().back().get());
        return false;
    } catch (const Exception& e) {
        // Raised while evaluating constants and initial values at compile time.
        script.FErrorMsg = e.Message();
        script.FErrorPos = u"1:1";
        while (script.Items().size() > itemsBefore)
            script.Remove(script.Items().back().get());
        return false;
    }
    script.FStatements = std::move(main);
    return true;
}

} // namespace vl
