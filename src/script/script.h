// The script engine (`TsbScript`): a table of named items (types, constants, variables, objects,
// classes, registered functions, script procedures) plus, once compiled, a program's statements.
// Every computed value of a report passes through it: the report's script program and every
// expression (each compiled as a one-line function, see expression_cache.h).
//
// Contract:
// - Names compare without case. An item added later under an existing name is found first; a
//   lookup searches the script's own table, then each parent in turn, then the built-in table
//   (type names, True/False/nil/Null, the var* tag constants).
// - Compile parses Lines with the grammar of SyntaxType (see grammar.h) into an IL tree and builds
//   items, statements and expression trees from it. It never throws for bad source: it returns
//   false with ErrorMsg and ErrorPos ("line:column", 1-based). Compiling again adds to the same
//   table (the expression cache accumulates one function per expression that way).
// - Execute runs the main block; run-time failures propagate as exceptions (vl::Exception and its
//   subclasses), except those a try ... except handles.
// - Bounds (base/limits.h): grammar recursion and expression depth at compile time, call depth and
//   a step budget at run time; the last two raise ELimitExceeded, which try ... except does not
//   handle, so a script that loops for ever ends its run with a clear error.
// - Items are owned by their script; every other reference is a plain pointer into it.
#pragma once

#include "base/string.h"
#include "base/variant.h"
#include "platform/unicode/text_case.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace vl {

// Static kinds, used only for compile-time checks (the numbers are fixed).
enum class TsbVarType
{
    vtInt = 0,
    vtBool = 1,
    vtFloat = 2,
    vtChar = 3,
    vtString = 4,
    vtClass = 5,
    vtArray = 6,
    vtVariant = 7,
    vtEnum = 8,
    vtConstructor = 9,
    vtInt64 = 10
};

enum class TsbItemKind
{
    Variable,
    Constant,
    Type,
    Class,
    Method, // registered function or procedure (TsbMethodHelper)
    Proc,   // script procedure or function (TsbProcVariable)
    Object
};

class TsbScript;
class TsbStatement;
class TsbClassItem;

// One call of a registered function, procedure, method or property accessor.
struct TsbMethodCall
{
    StringView Name;         // upper-cased (one callback may serve a group of functions)
    const void* Instance;    // the object for class members, nullptr otherwise
    std::span<Variant> Args; // by position; by-reference arguments are written back after the call
    TsbScript& Script;       // the script that runs (macro functions evaluate their texts there)
    void* Context;           // what the registration passed
};
using TsbMethodProc = Variant (*)(TsbMethodCall& call);
// Host value callback of an item: when set, reading the item calls it.
using TsbValueProc = Variant (*)(void* context, StringView name);

struct TsbParam
{
    String Name;
    String TypeName;
    TsbVarType Kind = TsbVarType::vtVariant;
    bool ByRef = false;
    bool Optional = false; // has a default other than Null
    Variant Default;
};

class TsbCustomVariable
{
public:
    TsbCustomVariable(TsbItemKind itemKind, StringView name, TsbVarType kind, StringView typeName);
    virtual ~TsbCustomVariable();
    TsbCustomVariable(const TsbCustomVariable&) = delete;
    TsbCustomVariable& operator=(const TsbCustomVariable&) = delete;

    TsbItemKind ItemKind() const { return FItemKind; }
    const String& Name() const { return FName; }
    TsbVarType Kind() const { return FKind; }
    const String& TypeName() const { return FTypeName; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    bool IsMacro() const { return FMacro; }
    void SetMacro(bool value) { FMacro = value; }
    size_t Pos() const { return FPos; }
    void SetPos(size_t pos) { FPos = pos; }
    const void* Owner() const { return FOwner; }
    void SetOwner(const void* owner) { FOwner = owner; }
    void SetValueCallback(TsbValueProc proc, void* context);

    Variant Value() const;
    const Variant& StoredValue() const { return FValue; }
    Variant& MutableValue() { return FValue; }
    void SetValue(Variant value) { FValue = std::move(value); }

private:
    TsbItemKind FItemKind;
    String FName;
    TsbVarType FKind;
    String FTypeName;
    bool FReadOnly = false;
    bool FMacro = false;
    size_t FPos = 0;
    const void* FOwner = nullptr;
    TsbValueProc FCallback = nullptr;
    void* FCallbackContext = nullptr;
    Variant FValue;
};

// A registered function or procedure (also a class's method).
class TsbMethodHelper : public TsbCustomVariable
{
public:
    TsbMethodHelper(StringView name, TsbVarType kind, StringView typeName);

    std::vector<TsbParam> Params;
    bool HasResult = false;
    TsbMethodProc Proc = nullptr;
    void* Context = nullptr;
    String Category;
    String Description;
    String UpperName;
    size_t RequiredCount() const;
};

// A procedure or function declared by a script program.
class TsbProcVariable : public TsbCustomVariable
{
public:
    TsbProcVariable(StringView name, TsbVarType kind, StringView typeName, TsbScript& program);
    ~TsbProcVariable() override;

    TsbScript& Locals() { return *FLocals; }
    std::vector<TsbParam> Params;
    std::vector<TsbCustomVariable*> ParamItems; // in Locals
    TsbCustomVariable* ResultItem = nullptr;    // functions only
    bool HasResult = false;
    std::vector<std::unique_ptr<TsbStatement>> Statements;
    bool Executing = false;
    size_t RequiredCount() const;

private:
    std::unique_ptr<TsbScript> FLocals;
};

// A property of a registered class. Get receives the indexes as Args; Set receives the indexes
// followed by the new value. Set nullptr: read-only.
struct TsbClassProperty
{
    String Name;
    TsbVarType Kind = TsbVarType::vtVariant;
    String TypeName;
    size_t IndexCount = 0;
    TsbMethodProc Get = nullptr;
    TsbMethodProc Set = nullptr;
    void* Context = nullptr;
};

// A class visible to scripts: its properties and methods, and an optional default indexed
// property. The report registers its classes here (through reflection, later); a subclass may
// override FindProperty/FindMethod to answer from another description.
class TsbClassItem : public TsbCustomVariable
{
public:
    TsbClassItem(StringView name, StringView parentName);
    ~TsbClassItem() override;

    const String& ParentName() const { return FParentName; }
    TsbClassProperty& AddProperty(TsbClassProperty property, bool isDefault = false);
    TsbMethodHelper& AddMethod(StringView declaration, TsbMethodProc proc, void* context);

    virtual const TsbClassProperty* FindProperty(StringView name) const;
    virtual TsbMethodHelper* FindMethod(StringView name) const;
    const TsbClassProperty* DefaultProperty() const { return FDefault; }

private:
    String FParentName;
    std::vector<std::unique_ptr<TsbClassProperty>> FProperties;
    std::vector<std::unique_ptr<TsbMethodHelper>> FMethods;
    const TsbClassProperty* FDefault = nullptr;
};

// Run-time state of one program run (kept on the outermost script).
struct TsbRunFlags
{
    bool Break = false;
    bool Continue = false;
    bool Exit = false;
};

class TsbScript
{
public:
    TsbScript();
    ~TsbScript();
    TsbScript(const TsbScript&) = delete;
    TsbScript& operator=(const TsbScript&) = delete;

    const String& Lines() const { return FLines; }
    void SetLines(String text) { FLines = std::move(text); }
    const String& SyntaxType() const { return FSyntaxType; }
    void SetSyntaxType(String language) { FSyntaxType = std::move(language); }
    TsbScript* Parent() const { return FParent; }
    void SetParent(TsbScript* parent) { FParent = parent; }

    bool Compile();
    void Execute(); // throws what the program raises
    bool Run();     // Compile, then Execute when it compiled
    const String& ErrorMsg() const { return FErrorMsg; }
    const String& ErrorPos() const { return FErrorPos; }
    bool HasStatements() const { return !FStatements.empty(); }

    // Lookup (see the file comment). nullptr when the name is unknown.
    TsbCustomVariable* Find(StringView name) const;
    TsbCustomVariable* FindLocal(StringView name) const;
    TsbClassItem* FindClass(StringView name) const;

    TsbCustomVariable& Add(std::unique_ptr<TsbCustomVariable> item);
    void Remove(TsbCustomVariable* item);
    void Clear();
    // Items added while the owner mark is set belong to that owner; ClearItems removes them.
    void SetOwnerMark(const void* owner) { FOwnerMark = owner; }
    void ClearItems(const void* owner);

    TsbCustomVariable& AddType(StringView name, TsbVarType kind);
    TsbCustomVariable& AddConst(StringView name, StringView typeName, Variant value);
    TsbCustomVariable& AddVariable(StringView name, StringView typeName, Variant value);
    TsbCustomVariable& AddObject(StringView name, const void* object, StringView className);
    TsbClassItem& AddClass(StringView name, StringView parentName);
    // Declaration strings: "function Name(a, b: Integer; var s: String; x: Variant = 0): Type",
    // "procedure ...", "macrofunction ...". Throws Exception for a malformed declaration.
    TsbMethodHelper& AddMethod(StringView declaration,
                               TsbMethodProc proc,
                               void* context = nullptr,
                               StringView category = {},
                               StringView description = {});
    // Lets every registration module (see RegisterScriptModule) add its items; once per script.
    void AddRTTI();

    // Calls a script procedure or function (or a registered method) by name; by-reference
    // arguments are written back into params. Throws Exception when the name is not callable.
    Variant CallFunction(StringView name, std::span<Variant> params);
    Variant CallProc(TsbProcVariable& proc, std::span<Variant> args);

    // The outermost script of the parent chain, which keeps the run state.
    TsbScript& Root();
    TsbRunFlags& Flags() { return Root().FFlags; }
    // The program currently running (a procedure's locals while it runs), for Calc and Get.
    TsbScript* ProgRunning() { return Root().FProgRunning; }
    void SetProgRunning(TsbScript* script) { Root().FProgRunning = script; }
    bool IsMainProgram() const { return FMainProgram; }
    void SetMainProgram(bool value) { FMainProgram = value; }

    // The step budget of one run: every statement and loop round costs one step.
    void ResetStepBudget(uint64_t steps);
    void Step();
    size_t& CallDepth() { return Root().FCallDepth; }
    size_t CurrentPos() const { return FCurrentPos; }
    void SetCurrentPos(size_t pos) { FCurrentPos = pos; }

    // The object this script belongs to (a report), for registered members that need more than
    // their instance; kept on the root, nullptr when none.
    const void* HostObject() { return Root().FHostObject; }
    void SetHostObject(const void* host) { FHostObject = host; }

    // Object identity -> "is this object of class C or a descendant" (the report answers; the
    // default says no).
    using InstanceOfProc = bool (*)(void* context, const void* object, StringView className);
    void SetInstanceOf(InstanceOfProc proc, void* context);
    bool InstanceOf(const void* object, StringView className);

    // Statements of the main block (filled by the compiler).
    std::vector<std::unique_ptr<TsbStatement>>& Statements() { return FStatements; }
    // Source positions of the text being compiled.
    String LinePos(size_t pos) const;

    const std::vector<std::unique_ptr<TsbCustomVariable>>& Items() const;

    // Calls the event procedure Name of this script (not its parents) with args; by-reference
    // parameters are written back into args. False (nothing done) when Name is empty or is not
    // a script procedure; a function raises "Event handler must be a procedure".
    bool DoEvent(StringView name, std::span<Variant> args);

    // Where units named in "uses" are looked up (the template's folder); empty refuses units.
    const String& UnitFolder() const { return FUnitFolder; }
    void SetUnitFolder(String folder) { FUnitFolder = std::move(folder); }

private:
    friend bool CompileScript(TsbScript& script);
    friend const TsbScript& BuiltinScript();

    String FLines;
    String FSyntaxType = u"PascalScript";
    TsbScript* FParent = nullptr;
    String FErrorMsg;
    String FErrorPos;
    std::vector<std::unique_ptr<TsbCustomVariable>> FItems;
    // name (without case) -> items, the latest last
    std::unordered_map<String, std::vector<TsbCustomVariable*>, TextHash, TextEqual> FIndex;
    const void* FOwnerMark = nullptr;
    bool FRTTIAdded = false;
    std::vector<std::unique_ptr<TsbStatement>> FStatements;
    std::vector<size_t> FLineStarts;
    String FUnitFolder;
    bool FIsBuiltin = false;
    // Run state (meaningful on the root).
    TsbRunFlags FFlags;
    TsbScript* FProgRunning = nullptr;
    bool FMainProgram = false;
    uint64_t FStepsLeft = 0;
    uint64_t FStepBudget = 0;
    size_t FCallDepth = 0;
    size_t FCurrentPos = 0;
    const void* FHostObject = nullptr;
    InstanceOfProc FInstanceOf = nullptr;
    void* FInstanceOfContext = nullptr;
};

// A registration module adds its types, classes, constants and functions to a script; modules
// run in the order they were registered (program start-up order).
using TsbRegisterProc = void (*)(TsbScript& script);
void RegisterScriptModule(TsbRegisterProc proc);

// The static kind of a registered type name (unknown names are Class).
TsbVarType KindOfTypeName(const TsbScript* scope, StringView typeName);

// The built-in items every lookup ends with (types, constants), shared by all scripts.
const TsbScript& BuiltinScript();

} // namespace vl
