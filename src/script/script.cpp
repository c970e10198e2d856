// The item table of a script, its built-in items, calls of script procedures and the run state.
#include "script/script.h"

#include "base/format.h"
#include "base/limits.h"
#include "platform/unicode/text_case.h"
#include "script/compiler_internal.h"
#include "script/functions.h"
#include "script/statements.h"

#include <algorithm>

namespace vl {

namespace {

std::vector<TsbRegisterProc>& Modules()
{
    // The function library comes first, whatever registers later at start-up.
    static std::vector<TsbRegisterProc> modules{RegisterSysFunctions, RegisterReportFunctions};
    return modules;
}

// Restores what a procedure call changed, on every path out of it.
class CallFrame
{
public:
    CallFrame(TsbScript& program, TsbProcVariable& proc)
        : FProgram(program)
        , FProc(proc)
        , FWasExecuting(proc.Executing)
        , FPrevRunning(program.ProgRunning())
        , FSavedFlags(program.Flags())
    {
        size_t& depth = program.CallDepth();
        if (depth >= limits::ScriptMaxCallDepth)
            throw ELimitExceeded(Format(u"Script calls nested too deeply (more than %d levels)",
                                        {static_cast<int64_t>(limits::ScriptMaxCallDepth)}));
        ++depth;
        if (FWasExecuting) {
            // A recursive call: the outer call's locals and parameters come back afterwards.
            for (const auto& item : proc.Locals().Items())
                FSaved.push_back(item->StoredValue());
        }
        proc.Executing = true;
        program.SetProgRunning(&proc.Locals());
        program.Flags() = {};
    }
    ~CallFrame()
    {
        --FProgram.CallDepth();
        FProgram.Flags() = FSavedFlags;
        FProgram.SetProgRunning(FPrevRunning);
        FProc.Executing = FWasExecuting;
        if (FWasExecuting) {
            const auto& items = FProc.Locals().Items();
            for (size_t i = 0; i < FSaved.size() && i < items.size(); ++i)
                items[i]->SetValue(std::move(FSaved[i]));
        }
    }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;

private:
    TsbScript& FProgram;
    TsbProcVariable& FProc;
    bool FWasExecuting;
    TsbScript* FPrevRunning;
    TsbRunFlags FSavedFlags;
    std::vector<Variant> FSaved;
};

struct BuiltinType
{
    StringView Name;
    TsbVarType Kind;
};

constexpr BuiltinType BuiltinTypes[] = {
    {u"Byte", TsbVarType::vtInt},
    {u"Word", TsbVarType::vtInt},
    {u"Integer", TsbVarType::vtInt},
    {u"Longint", TsbVarType::vtInt},
    {u"Cardinal", TsbVarType::vtInt},
    {u"TColor", TsbVarType::vtInt},
    {u"TAlphaColor", TsbVarType::vtInt},
    {u"Int64", TsbVarType::vtInt64},
    {u"Boolean", TsbVarType::vtBool},
    {u"Real", TsbVarType::vtFloat},
    {u"Single", TsbVarType::vtFloat},
    {u"Double", TsbVarType::vtFloat},
    {u"Extended", TsbVarType::vtFloat},
    {u"Currency", TsbVarType::vtFloat},
    {u"TDate", TsbVarType::vtFloat},
    {u"TTime", TsbVarType::vtFloat},
    {u"TDateTime", TsbVarType::vtFloat},
    {u"Char", TsbVarType::vtChar},
    {u"String", TsbVarType::vtString},
    {u"Variant", TsbVarType::vtVariant},
    {u"Pointer", TsbVarType::vtVariant},
    {u"Array", TsbVarType::vtArray},
    {u"Constructor", TsbVarType::vtConstructor},
};

struct TagConstant
{
    StringView Name;
    TVarType Code;
};

constexpr TagConstant TagConstants[] = {
    {u"varEmpty", varEmpty},       {u"varNull", varNull},         {u"varSmallint", varSmallint},
    {u"varInteger", varInteger},   {u"varSingle", varSingle},     {u"varDouble", varDouble},
    {u"varCurrency", varCurrency}, {u"varDate", varDate},         {u"varOleStr", varOleStr},
    {u"varDispatch", varDispatch}, {u"varError", varError},       {u"varBoolean", varBoolean},
    {u"varVariant", varVariant},   {u"varUnknown", varUnknown},   {u"varShortInt", varShortInt},
    {u"varByte", varByte},         {u"varWord", varWord},         {u"varLongWord", varLongWord},
    {u"varInt64", varInt64},       {u"varStrArg", varStrArg},     {u"varString", varString},
    {u"varAny", varAny},           {u"varTypeMask", varTypeMask}, {u"varArray", varArray},
    {u"varByRef", varByRef},
};
static_assert(std::size(TagConstants) == 25);

} // namespace

// ---- items ----

TsbCustomVariable::TsbCustomVariable(TsbItemKind itemKind,
                                     StringView name,
                                     TsbVarType kind,
                                     StringView typeName)
    : FItemKind(itemKind)
    , FName(name)
    , FKind(kind)
    , FTypeName(typeName)
{}

TsbCustomVariable::~TsbCustomVariable() = default;

void TsbCustomVariable::SetValueCallback(TsbValueProc proc, void* context)
{
    FCallback = proc;
    FCallbackContext = context;
}

Variant TsbCustomVariable::Value() const
{
    return FCallback ? FCallback(FCallbackContext, FName) : FValue;
}

TsbMethodHelper::TsbMethodHelper(StringView name, TsbVarType kind, StringView typeName)
    : TsbCustomVariable(TsbItemKind::Method, name, kind, typeName)
    , UpperName(UpperCase(name))
{
    SetReadOnly(true);
}

size_t TsbMethodHelper::RequiredCount() const
{
    return static_cast<size_t>(
        std::count_if(Params.begin(), Params.end(), [](const TsbParam& p) { return !p.Optional; }));
}

TsbProcVariable::TsbProcVariable(StringView name,
                                 TsbVarType kind,
                                 StringView typeName,
                                 TsbScript& program)
    : TsbCustomVariable(TsbItemKind::Proc, name, kind, typeName)
    , FLocals(std::make_unique<TsbScript>())
{
    SetReadOnly(true);
    FLocals->SetParent(&program);
}

TsbProcVariable::~TsbProcVariable() = default;

size_t TsbProcVariable::RequiredCount() const
{
    return static_cast<size_t>(
        std::count_if(Params.begin(), Params.end(), [](const TsbParam& p) { return !p.Optional; }));
}

TsbClassItem::TsbClassItem(StringView name, StringView parentName)
    : TsbCustomVariable(TsbItemKind::Class, name, TsbVarType::vtClass, name)
    , FParentName(parentName)
{
    SetReadOnly(true);
}

TsbClassItem::~TsbClassItem() = default;

TsbClassProperty& TsbClassItem::AddProperty(TsbClassProperty property, bool isDefault)
{
    FProperties.push_back(std::make_unique<TsbClassProperty>(std::move(property)));
    if (isDefault) FDefault = FProperties.back().get();
    return *FProperties.back();
}

TsbMethodHelper& TsbClassItem::AddMethod(StringView declaration, TsbMethodProc proc, void* context)
{
    FMethods.push_back(ParseMethodDeclaration(declaration, nullptr));
    FMethods.back()->Proc = proc;
    FMethods.back()->Context = context;
    return *FMethods.back();
}

const TsbClassProperty* TsbClassItem::FindProperty(StringView name) const
{
    for (auto it = FProperties.rbegin(); it != FProperties.rend(); ++it)
        if (SameText((*it)->Name, name)) return it->get();
    return nullptr;
}

TsbMethodHelper* TsbClassItem::FindMethod(StringView name) const
{
    for (auto it = FMethods.rbegin(); it != FMethods.rend(); ++it)
        if (SameText((*it)->Name(), name)) return it->get();
    return nullptr;
}

// ---- the script ----

TsbScript::TsbScript()
    : FStepsLeft(limits::ScriptMaxSteps)
    , FStepBudget(limits::ScriptMaxSteps)
{}

TsbScript::~TsbScript() = default;

TsbCustomVariable* TsbScript::FindLocal(StringView name) const
{
    const auto it = FIndex.find(name);
    if (it == FIndex.end() || it->second.empty()) return nullptr;
    return it->second.back();
}

TsbCustomVariable* TsbScript::Find(StringView name) const
{
    for (const TsbScript* s = this; s; s = s->FParent) {
        const auto it = s->FIndex.find(name);
        if (it != s->FIndex.end() && !it->second.empty()) return it->second.back();
    }
    if (!FIsBuiltin) {
        const TsbScript& builtin = BuiltinScript();
        const auto it = builtin.FIndex.find(name);
        if (it != builtin.FIndex.end() && !it->second.empty()) return it->second.back();
    }
    return nullptr;
}

TsbClassItem* TsbScript::FindClass(StringView name) const
{
    TsbCustomVariable* item = Find(name);
    return item && item->ItemKind() == TsbItemKind::Class ? static_cast<TsbClassItem*>(item)
                                                          : nullptr;
}

const std::vector<std::unique_ptr<TsbCustomVariable>>& TsbScript::Items() const
{
    return FItems;
}

TsbCustomVariable& TsbScript::Add(std::unique_ptr<TsbCustomVariable> item)
{
    TsbCustomVariable& ref = *item;
    if (!ref.Owner()) ref.SetOwner(FOwnerMark);
    FIndex[ref.Name()].push_back(&ref);
    FItems.push_back(std::move(item));
    return ref;
}

void TsbScript::Remove(TsbCustomVariable* item)
{
    const auto it = FIndex.find(StringView(item->Name()));
    if (it != FIndex.end()) std::erase(it->second, item);
    std::erase_if(FItems, [item](const auto& p) { return p.get() == item; });
}

void TsbScript::Clear()
{
    FStatements.clear();
    FIndex.clear();
    FItems.clear();
}

void TsbScript::ClearItems(const void* owner)
{
    for (auto& [name, list] : FIndex)
        std::erase_if(list, [owner](const TsbCustomVariable* v) { return v->Owner() == owner; });
    std::erase_if(FItems, [owner](const auto& p) { return p->Owner() == owner; });
}

TsbCustomVariable& TsbScript::AddType(StringView name, TsbVarType kind)
{
    return Add(std::make_unique<TsbCustomVariable>(TsbItemKind::Type, name, kind, name));
}

TsbCustomVariable& TsbScript::AddConst(StringView name, StringView typeName, Variant value)
{
    auto item = std::make_unique<TsbCustomVariable>(
        TsbItemKind::Constant, name, KindOfTypeName(this, typeName), typeName);
    item->SetValue(std::move(value));
    item->SetReadOnly(true);
    return Add(std::move(item));
}

TsbCustomVariable& TsbScript::AddVariable(StringView name, StringView typeName, Variant value)
{
    auto item = std::make_unique<TsbCustomVariable>(
        TsbItemKind::Variable, name, KindOfTypeName(this, typeName), typeName);
    item->SetValue(std::move(value));
    return Add(std::move(item));
}

TsbCustomVariable& TsbScript::AddObject(StringView name, const void* object, StringView className)
{
    auto item = std::make_unique<TsbCustomVariable>(
        TsbItemKind::Object, name, TsbVarType::vtClass, className);
    item->SetValue(Variant::FromObject(object));
    item->SetReadOnly(true);
    return Add(std::move(item));
}

TsbClassItem& TsbScript::AddClass(StringView name, StringView parentName)
{
    return static_cast<TsbClassItem&>(Add(std::make_unique<TsbClassItem>(name, parentName)));
}

TsbMethodHelper& TsbScript::AddMethod(StringView declaration,
                                      TsbMethodProc proc,
                                      void* context,
                                      StringView category,
                                      StringView description)
{
    auto method = ParseMethodDeclaration(declaration, this);
    method->Proc = proc;
    method->Context = context;
    method->Category = category;
    method->Description = description;
    return static_cast<TsbMethodHelper&>(Add(std::move(method)));
}

void TsbScript::AddRTTI()
{
    if (FRTTIAdded) return;
    FRTTIAdded = true;
    for (TsbRegisterProc proc : Modules())
        proc(*this);
}

void RegisterScriptModule(TsbRegisterProc proc)
{
    auto& modules = Modules();
    if (std::find(modules.begin(), modules.end(), proc) == modules.end()) modules.push_back(proc);
}

TsbScript& TsbScript::Root()
{
    TsbScript* s = this;
    while (s->FParent)
        s = s->FParent;
    return *s;
}

void TsbScript::ResetStepBudget(uint64_t steps)
{
    TsbScript& root = Root();
    root.FStepBudget = steps;
    root.FStepsLeft = steps;
}

void TsbScript::Step()
{
    TsbScript& root = Root();
    if (root.FStepsLeft == 0)
        throw ELimitExceeded(Format(u"Script stopped after %d steps: it does not seem to end",
                                    {static_cast<int64_t>(root.FStepBudget)}));
    --root.FStepsLeft;
}

void TsbScript::SetInstanceOf(InstanceOfProc proc, void* context)
{
    FInstanceOf = proc;
    FInstanceOfContext = context;
}

bool TsbScript::InstanceOf(const void* object, StringView className)
{
    TsbScript& root = Root();
    return root.FInstanceOf && root.FInstanceOf(root.FInstanceOfContext, object, className);
}

bool TsbScript::Compile()
{
    FErrorMsg.clear();
    FErrorPos.clear();
    return CompileScript(*this);
}

void TsbScript::Execute()
{
    TsbScript* prev = ProgRunning();
    const bool wasMain = FMainProgram;
    FMainProgram = true;
    SetProgRunning(this);
    Flags() = {};
    struct Restore
    {
        TsbScript& S;
        TsbScript* Prev;
        bool WasMain;
        ~Restore()
        {
            S.Flags() = {};
            S.SetProgRunning(Prev);
            S.SetMainProgram(WasMain);
        }
    } restore{*this, prev, wasMain};
    RunStatements(FStatements, *this);
}

bool TsbScript::Run()
{
    if (!Compile()) return false;
    Execute();
    return true;
}

Variant TsbScript::CallFunction(StringView name, std::span<Variant> params)
{
    TsbCustomVariable* item = Find(name);
    if (item && item->ItemKind() == TsbItemKind::Proc)
        return CallProc(static_cast<TsbProcVariable&>(*item), params);
    if (item && item->ItemKind() == TsbItemKind::Method) {
        auto& method = static_cast<TsbMethodHelper&>(*item);
        std::vector<Variant> args(params.begin(), params.end());
        for (size_t i = args.size(); i < method.Params.size(); ++i)
            args.push_back(method.Params[i].Default);
        TsbMethodCall call{method.UpperName, nullptr, args, *this, method.Context};
        Variant result = method.Proc(call);
        for (size_t i = 0; i < params.size(); ++i)
            params[i] = args[i];
        return result;
    }
    throw Exception(Format(u"Undeclared identifier: '%s'", {name}));
}

Variant TsbScript::CallProc(TsbProcVariable& proc, std::span<Variant> args)
{
    CallFrame frame(*this, proc);
    for (size_t i = 0; i < proc.ParamItems.size(); ++i)
        proc.ParamItems[i]->SetValue(i < args.size() ? args[i] : proc.Params[i].Default);
    if (proc.ResultItem) proc.ResultItem->SetValue(Variant());
    RunStatements(proc.Statements, *this);
    for (size_t i = 0; i < proc.ParamItems.size() && i < args.size(); ++i)
        if (proc.Params[i].ByRef) args[i] = proc.ParamItems[i]->Value();
    return proc.ResultItem ? proc.ResultItem->Value() : Variant::Null();
}

bool TsbScript::DoEvent(StringView name, std::span<Variant> args)
{
    if (name.empty()) return false;
    TsbCustomVariable* item = FindLocal(name);
    if (!item || item->ItemKind() != TsbItemKind::Proc) return false;
    auto& proc = static_cast<TsbProcVariable&>(*item);
    if (proc.HasResult) throw Exception(u"Event handler must be a procedure");
    CallProc(proc, args);
    return true;
}

String TsbScript::LinePos(size_t pos) const
{
    const auto it = std::upper_bound(FLineStarts.begin(), FLineStarts.end(), pos);
    const size_t line = static_cast<size_t>(it - FLineStarts.begin());
    const size_t column = pos - (line ? *(it - 1) : 0) + 1;
    return IntToStr(static_cast<int64_t>(std::max<size_t>(line, 1))) + u":" +
           IntToStr(static_cast<int64_t>(column));
}

TsbVarType KindOfTypeName(const TsbScript* scope, StringView typeName)
{
    const TsbCustomVariable* item = scope ? scope->Find(typeName) : BuiltinScript().Find(typeName);
    if (item && item->ItemKind() == TsbItemKind::Type) return item->Kind();
    return TsbVarType::vtClass;
}

const TsbScript& BuiltinScript()
{
    static const std::unique_ptr<TsbScript> builtin = [] {
        auto s = std::make_unique<TsbScript>();
        s->FIsBuiltin = true;
        for (const auto& t : BuiltinTypes)
            s->AddType(t.Name, t.Kind);
        s->AddConst(u"True", u"Boolean", Variant(true));
        s->AddConst(u"False", u"Boolean", Variant(false));
        s->AddConst(u"nil", u"Variant", Variant(int32_t(0)));
        s->AddConst(u"Null", u"Variant", Variant::Null());
        for (const auto& c : TagConstants)
            s->AddConst(c.Name, u"Integer", Variant(static_cast<int32_t>(c.Code)));
        return s;
    }();
    return *builtin;
}

} // namespace vl
