// The report classes, enumerations and constants that report scripts see.
#include "model/script_classes.h"

#include "base/exception.h"
#include "base/format.h"
#include "engine/engine.h"
#include "layout/preview_pages.h"
#include "model/band.h"
#include "model/band_kinds.h"
#include "model/component.h"
#include "model/data_band.h"
#include "model/display_format.h"
#include "model/font.h"
#include "model/frame.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/shape_view.h"
#include "model/styles.h"
#include "model/units.h"
#include "model/view.h"
#include "platform/component/class_registry.h"
#include "platform/unicode/text_case.h"
#include "request/dataset_adapter.h"
#include "script/reflected_class.h"
#include "template/report_variables.h"

#include <array>
#include <cmath>
#include <unordered_set>

namespace vl {

namespace {

using K = TsbVarType;

// ---- Values

Variant ObjectOrNil(const Persistent* object)
{
    return Variant::FromObject(object);
}

Variant Done()
{
    return Variant::Null();
}

const String& ArgText(const TsbMethodCall& call, size_t index, String& buffer)
{
    const Variant& v = call.Args[index];
    if (v.IsString()) return v.StringValue();
    buffer = v.ToText();
    return buffer;
}

String Text(const TsbMethodCall& call, size_t index)
{
    return call.Args[index].ToText();
}

// An object argument of class T, or nullptr for nil; another class is refused.
template <class T>
T* ObjectArg(const TsbMethodCall& call, size_t index)
{
    const Variant& v = call.Args[index];
    if (!v.IsObject()) {
        if (v.IsNull() || (v.IsInteger() && v.IntValue() == 0)) return nullptr;
        throw Exception(u"Class type required");
    }
    auto* object = const_cast<Persistent*>(static_cast<const Persistent*>(v.ObjectValue()));
    if (!object->ClassType().InheritsFrom(T::StaticClass()))
        throw Exception(u"Invalid class typecast");
    return static_cast<T*>(object);
}

// ---- Classes from reflection

void AddClassClosure(TsbScript& script,
                     const ClassInfo& info,
                     std::unordered_set<const ClassInfo*>& done)
{
    for (const ClassInfo* c = &info; c != nullptr; c = c->Parent()) {
        if (!done.insert(c).second) return;
        AddReflectedClass(script, *c);
        for (const PropInfo& prop : c->Props())
            if (prop.ObjectClass) AddClassClosure(script, prop.ObjectClass(), done);
    }
}

TsbClassItem& ClassItem(TsbScript& script, const ClassInfo& info)
{
    TsbClassItem* item = script.FindClass(info.Name());
    Expects(item != nullptr, "report script classes are registered before their members");
    return *item;
}

TsbClassProperty& AddProperty(TsbClassItem& cls,
                              StringView name,
                              K kind,
                              StringView typeName,
                              TsbMethodProc get,
                              TsbMethodProc set = nullptr,
                              size_t indexCount = 0,
                              bool isDefault = false)
{
    TsbClassProperty p;
    p.Name = String(name);
    p.Kind = kind;
    p.TypeName = String(typeName);
    p.IndexCount = indexCount;
    p.Get = get;
    p.Set = set;
    return cls.AddProperty(std::move(p), isDefault);
}

// ---- TStrings

void SetListLines(StringList& list, std::vector<String> lines)
{
    // A memo's list re-splits its text; every list keeps its own line rules that way.
    list.SetLines(std::move(lines));
}

size_t LineIndex(const StringList& list, const Variant& index, bool allowEnd)
{
    const int64_t i = index.ToInt64();
    const auto count = static_cast<int64_t>(list.Count());
    if (i < 0 || i > count || (i == count && !allowEnd))
        throw Exception(Format(u"List index out of bounds (%d)", {i}));
    return static_cast<size_t>(i);
}

void AddStringsMembers(TsbScript& script)
{
    TsbClassItem& cls = ClassItem(script, StringList::StaticClass());
    cls.AddMethod(
        u"function Add(const S: string): Integer",
        [](TsbMethodCall& call) {
            StringList& list = ScriptInstance<StringList>(call);
            list.Add(Text(call, 0));
            return Variant(static_cast<int32_t>(list.Count() - 1));
        },
        nullptr);
    cls.AddMethod(
        u"procedure Clear",
        [](TsbMethodCall& call) {
            ScriptInstance<StringList>(call).Clear();
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"procedure Delete(Index: Integer)",
        [](TsbMethodCall& call) {
            StringList& list = ScriptInstance<StringList>(call);
            std::vector<String> lines = list.Lines();
            lines.erase(lines.begin() +
                        static_cast<ptrdiff_t>(LineIndex(list, call.Args[0], false)));
            SetListLines(list, std::move(lines));
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"function IndexOf(const S: string): Integer",
        [](TsbMethodCall& call) {
            const StringList& list = ScriptInstance<StringList>(call);
            String buffer;
            const String& text = ArgText(call, 0, buffer);
            for (size_t i = 0; i < list.Count(); ++i)
                if (SameText(list[i], text)) return Variant(static_cast<int32_t>(i));
            return Variant(int32_t(-1));
        },
        nullptr);
    cls.AddMethod(
        u"procedure Insert(Index: Integer; const S: string)",
        [](TsbMethodCall& call) {
            StringList& list = ScriptInstance<StringList>(call);
            std::vector<String> lines = list.Lines();
            const size_t at = LineIndex(list, call.Args[0], true);
            lines.insert(lines.begin() + static_cast<ptrdiff_t>(at), Text(call, 1));
            SetListLines(list, std::move(lines));
            return Done();
        },
        nullptr);
    AddProperty(cls, u"Count", K::vtInt, u"Integer", [](TsbMethodCall& call) {
        return Variant(static_cast<int32_t>(ScriptInstance<StringList>(call).Count()));
    });
    AddProperty(
        cls,
        u"Strings",
        K::vtString,
        u"String",
        [](TsbMethodCall& call) {
            const StringList& list = ScriptInstance<StringList>(call);
            return Variant(list[LineIndex(list, call.Args[0], false)]);
        },
        [](TsbMethodCall& call) {
            StringList& list = ScriptInstance<StringList>(call);
            std::vector<String> lines = list.Lines();
            lines[LineIndex(list, call.Args[0], false)] = call.Args[1].ToText();
            SetListLines(list, std::move(lines));
            return Done();
        },
        1,
        true);
    AddProperty(
        cls,
        u"Text",
        K::vtString,
        u"String",
        [](TsbMethodCall& call) { return Variant(ScriptInstance<StringList>(call).Text()); },
        [](TsbMethodCall& call) {
            ScriptInstance<StringList>(call).SetText(call.Args[0].ToText());
            return Done();
        });
}

// ---- Components, views, the report

void AddComponentMembers(TsbScript& script)
{
    TsbClassItem& cls = ClassItem(script, TvlxComponent::StaticClass());
    cls.AddMethod(
        u"function FindObject(s: String): TvlxComponent",
        [](TsbMethodCall& call) {
            return ObjectOrNil(ScriptInstance<TvlxComponent>(call).FindObject(Text(call, 0)));
        },
        nullptr);
    cls.AddMethod(
        u"procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)",
        [](TsbMethodCall& call) {
            ScriptInstance<TvlxComponent>(call).SetBounds(call.Args[0].ToDouble(),
                                                          call.Args[1].ToDouble(),
                                                          call.Args[2].ToDouble(),
                                                          call.Args[3].ToDouble());
            return Done();
        },
        nullptr);
    // Read-only: moving objects between containers while the engine walks them is not offered.
    AddProperty(cls, u"Parent", K::vtClass, u"TvlxComponent", [](TsbMethodCall& call) {
        return ObjectOrNil(ScriptInstance<TvlxComponent>(call).Parent());
    });
    AddProperty(cls, u"Page", K::vtClass, u"TvlxComponent", [](TsbMethodCall& call) {
        return ObjectOrNil(ScriptInstance<TvlxComponent>(call).Page());
    });
    AddProperty(cls, u"AbsLeft", K::vtFloat, u"Extended", [](TsbMethodCall& call) {
        return Variant(ScriptInstance<TvlxComponent>(call).AbsLeft());
    });
    AddProperty(cls, u"AbsTop", K::vtFloat, u"Extended", [](TsbMethodCall& call) {
        return Variant(ScriptInstance<TvlxComponent>(call).AbsTop());
    });

    // True while a band is printed again at the top of a continuation page or column.
    AddProperty(
        ClassItem(script, TvlxBand::StaticClass()),
        u"Overflow",
        K::vtBool,
        u"Boolean",
        [](TsbMethodCall& call) { return Variant(ScriptInstance<TvlxBand>(call).Overflow); });

    ClassItem(script, TvlxStretcheable::StaticClass())
        .AddMethod(
            u"function CalcHeight: Extended",
            [](TsbMethodCall& call) {
                return Variant(ScriptInstance<TvlxStretcheable>(call).CalcHeight());
            },
            nullptr);

    TsbClassItem& memo = ClassItem(script, TvlxCustomMemoView::StaticClass());
    memo.AddMethod(
        u"function CalcWidth: Extended",
        [](TsbMethodCall& call) {
            return Variant(ScriptInstance<TvlxCustomMemoView>(call).CalcWidth());
        },
        nullptr);
    const TsbMethodProc getText = [](TsbMethodCall& call) {
        return Variant(ScriptInstance<TvlxCustomMemoView>(call).Text());
    };
    const TsbMethodProc setText = [](TsbMethodCall& call) {
        ScriptInstance<TvlxCustomMemoView>(call).SetText(call.Args[0].ToText());
        return Done();
    };
    AddProperty(memo, u"Text", K::vtString, u"String", getText, setText);
    AddProperty(memo, u"AnsiText", K::vtString, u"String", getText, setText);
    AddProperty(
        memo, u"Lines", K::vtClass, TvlxWideStrings::StaticClass().Name(), [](TsbMethodCall& call) {
            return ObjectOrNil(&ScriptInstance<TvlxCustomMemoView>(call).MutableMemo());
        });
}

void AddReportMembers(TsbScript& script)
{
    TsbClassItem& cls = ClassItem(script, TvlxReport::StaticClass());
    cls.AddMethod(
        u"function Calc(const Expr: String): Variant",
        [](TsbMethodCall& call) {
            TvlxReport& report = ScriptInstance<TvlxReport>(call);
            return report.Evaluator().Calc(Text(call, 0), &call.Script, true);
        },
        nullptr);
    cls.AddMethod(
        u"function GetDataset(const Alias: String): TvlxDataset",
        [](TsbMethodCall& call) {
            return ObjectOrNil(ScriptInstance<TvlxReport>(call).GetDataset(Text(call, 0)));
        },
        nullptr);
    // Loading a template would free the objects the running preparation walks.
    cls.AddMethod(
        u"function LoadFromFile(const FileName: String): Boolean",
        [](TsbMethodCall&) -> Variant {
            throw Exception(u"A report script cannot load a template (Report.LoadFromFile)");
        },
        nullptr);
    // Nothing to show: the generator has no preview window.
    cls.AddMethod(
        u"procedure ShowReport",
        [](TsbMethodCall& call) {
            ScriptInstance<TvlxReport>(call);
            return Done();
        },
        nullptr);
    AddProperty(
        cls,
        u"Terminated",
        K::vtBool,
        u"Boolean",
        [](TsbMethodCall& call) { return Variant(ScriptInstance<TvlxReport>(call).Terminated()); },
        [](TsbMethodCall& call) {
            ScriptInstance<TvlxReport>(call).SetTerminated(call.Args[0].ToBool());
            return Done();
        });
    AddProperty(cls, u"Variables", K::vtClass, u"TvlxVariables", [](TsbMethodCall& call) {
        return ObjectOrNil(&ScriptInstance<TvlxReport>(call).Variables());
    });
    AddProperty(cls, u"Styles", K::vtClass, u"TvlxStyles", [](TsbMethodCall& call) {
        return ObjectOrNil(ScriptInstance<TvlxReport>(call).Styles());
    });

    TsbClassItem& vars = ClassItem(script, TvlxVariables::StaticClass());
    AddProperty(
        vars,
        u"Variables",
        K::vtVariant,
        u"Variant",
        [](TsbMethodCall& call) {
            return ScriptInstance<TvlxVariables>(call).Value(Text(call, 0));
        },
        [](TsbMethodCall& call) {
            ScriptInstance<TvlxVariables>(call).SetValue(Text(call, 0), call.Args[1]);
            return Done();
        },
        1,
        true);
}

// ---- Datasets

TvlxDataSet& DataSetOf(TsbMethodCall& call)
{
    return ScriptInstance<TvlxDataSet>(call);
}

void AddDataSetMembers(TsbScript& script)
{
    TsbClassItem& cls = ClassItem(script, TvlxDataSet::StaticClass());
    struct Step
    {
        StringView Declaration;
        TsbMethodProc Proc;
    };
    const Step steps[] = {
        {u"procedure Open",
         [](TsbMethodCall& c) {
             DataSetOf(c).Open();
             return Done();
         }},
        {u"procedure Close",
         [](TsbMethodCall& c) {
             DataSetOf(c).Close();
             return Done();
         }},
        {u"procedure First",
         [](TsbMethodCall& c) {
             DataSetOf(c).First();
             return Done();
         }},
        {u"procedure Next",
         [](TsbMethodCall& c) {
             DataSetOf(c).Next();
             return Done();
         }},
        {u"procedure Prior",
         [](TsbMethodCall& c) {
             DataSetOf(c).Prior();
             return Done();
         }},
        {u"function Eof: Boolean", [](TsbMethodCall& c) { return Variant(DataSetOf(c).Eof()); }},
        {u"function FieldsCount: Integer",
         [](TsbMethodCall& c) { return Variant(DataSetOf(c).FieldsCount()); }},
        {u"function HasField(const fName: String): Boolean",
         [](TsbMethodCall& c) { return Variant(DataSetOf(c).HasField(Text(c, 0))); }},
        {u"function IsBlobField(const fName: String): Boolean",
         [](TsbMethodCall& c) { return Variant(DataSetOf(c).IsBlobField(Text(c, 0))); }},
        {u"function RecordCount: Integer",
         [](TsbMethodCall& c) { return Variant(DataSetOf(c).RecordCount()); }},
        {u"procedure GetFieldList(List: TStrings)",
         [](TsbMethodCall& c) {
             TvlxDataSet& ds = DataSetOf(c);
             if (StringList* list = ObjectArg<StringList>(c, 0)) ds.GetFieldList(*list);
             return Done();
         }},
    };
    for (const Step& s : steps)
        cls.AddMethod(s.Declaration, s.Proc, nullptr);

    AddProperty(cls, u"RecNo", K::vtInt, u"Integer", [](TsbMethodCall& c) {
        return Variant(DataSetOf(c).RecNo());
    });
    AddProperty(
        cls,
        u"DisplayText",
        K::vtString,
        u"String",
        [](TsbMethodCall& c) { return Variant(DataSetOf(c).FieldDisplayText(Text(c, 0))); },
        nullptr,
        1);
    AddProperty(
        cls,
        u"DisplayWidth",
        K::vtInt,
        u"Integer",
        [](TsbMethodCall& c) { return Variant(DataSetOf(c).FieldDisplayWidth(Text(c, 0))); },
        nullptr,
        1);
    AddProperty(
        cls,
        u"FieldType",
        K::vtInt,
        u"Integer",
        [](TsbMethodCall& c) {
            return Variant(static_cast<int32_t>(DataSetOf(c).FieldCategory(Text(c, 0))));
        },
        nullptr,
        1);
    AddProperty(
        cls,
        u"Value",
        K::vtVariant,
        u"Variant",
        [](TsbMethodCall& c) { return DataSetOf(c).FieldValue(Text(c, 0)); },
        nullptr,
        1,
        true);
}

// ---- Engine and outline

// The engine of an "Engine" member call that changes the run: only while the engine runs.
TvlxEngine& RunningEngine(TsbMethodCall& call, StringView member)
{
    auto* engine = dynamic_cast<TvlxEngine*>(&ScriptInstance<TvlxCustomEngine>(call));
    if (engine == nullptr || !engine->Running())
        throw Exception(Format(u"Engine.%s can be called only while the report runs", {member}));
    return *engine;
}

TvlxPreviewPages& StoreOf(TvlxEngine& engine)
{
    auto* store = dynamic_cast<TvlxPreviewPages*>(&engine.PreviewPages());
    if (store == nullptr) throw Exception(u"The engine's page store keeps no anchors");
    return *store;
}

void AddEngineMembers(TsbScript& script)
{
    TsbClassItem& cls = ClassItem(script, TvlxCustomEngine::StaticClass());
    cls.AddMethod(
        u"procedure AddAnchor(const Text: String)",
        [](TsbMethodCall& c) {
            StoreOf(RunningEngine(c, u"AddAnchor")).AddAnchor(Text(c, 0));
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"procedure NewPage",
        [](TsbMethodCall& c) {
            RunningEngine(c, u"NewPage").NewPage();
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"procedure NewColumn",
        [](TsbMethodCall& c) {
            RunningEngine(c, u"NewColumn").NewColumn();
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"procedure ShowBand(Band: TvlxBand)",
        [](TsbMethodCall& c) {
            TvlxEngine& engine = RunningEngine(c, u"ShowBand");
            engine.ShowBand(ObjectArg<TvlxBand>(c, 0));
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"procedure StopReport",
        [](TsbMethodCall& c) {
            TvlxCustomEngine& engine = ScriptInstance<TvlxCustomEngine>(c);
            if (auto* e = dynamic_cast<TvlxEngine*>(&engine)) e->StopReport();
            return Done();
        },
        nullptr);
    cls.AddMethod(
        u"function FreeSpace: Extended",
        [](TsbMethodCall& c) { return Variant(RunningEngine(c, u"FreeSpace").FreeSpace()); },
        nullptr);
    cls.AddMethod(
        u"function GetAnchorPage(const Text: String): Integer",
        [](TsbMethodCall& c) {
            auto* engine = dynamic_cast<TvlxEngine*>(&ScriptInstance<TvlxCustomEngine>(c));
            if (engine == nullptr) return Variant(int32_t(1));
            return Variant(StoreOf(*engine).GetAnchorPage(Text(c, 0)));
        },
        nullptr);

    TsbClassItem& outline = ClassItem(script, TvlxCustomOutline::StaticClass());
    outline.AddMethod(
        u"procedure AddItem(const Text: String)",
        [](TsbMethodCall& c) {
            // The entry stands at the engine's current position, as the engine's own entries do.
            double top = 0;
            if (const void* host = c.Script.HostObject())
                top = static_cast<const TvlxReport*>(host)->PreviewPages().Host()->CurY();
            ScriptInstance<TvlxCustomOutline>(c).AddItem(Text(c, 0),
                                                         static_cast<int32_t>(std::nearbyint(top)));
            return Done();
        },
        nullptr);
    outline.AddMethod(
        u"procedure LevelRoot",
        [](TsbMethodCall& c) {
            ScriptInstance<TvlxCustomOutline>(c).LevelRoot();
            return Done();
        },
        nullptr);
    outline.AddMethod(
        u"procedure LevelUp",
        [](TsbMethodCall& c) {
            ScriptInstance<TvlxCustomOutline>(c).LevelUp();
            return Done();
        },
        nullptr);
}

// ---- Enumerations and constants

struct Enumeration
{
    StringView TypeName;
    std::span<const StringView> Names;
    bool IsSet; // set members are bit values (1, 2, 4, ...)
};

constexpr std::array<StringView, 3> FieldTypeNames{u"fftNumeric", u"fftString", u"fftBoolean"};

void AddEnumerations(TsbScript& script)
{
    const Enumeration enums[] = {
        {u"TvlxStretchMode", EnumNames(TvlxStretchMode{}), false},
        {u"TvlxShiftMode", EnumNames(TvlxShiftMode{}), false},
        {u"TvlxDuplexMode", EnumNames(TDuplexMode{}), false},
        {u"TvlxAlign", EnumNames(TvlxAlign{}), false},
        {u"TvlxFrameStyle", EnumNames(TvlxFrameStyle{}), false},
        {u"TvlxFrameTypes", EnumNames(TvlxFrameType{}), true},
        {u"TvlxHAlign", EnumNames(THAlign{}), false},
        {u"TvlxVAlign", EnumNames(TVAlign{}), false},
        {u"TvlxRestrictions", EnumNames(TvlxRestriction{}), true},
        {u"TvlxShapeKind", EnumNames(TvlxShapeKind{}), false},
        {u"TvlxFieldType", FieldTypeNames, false},
        {u"TvlxFormatKind", EnumNames(TvlxFormatKind{}), false},
    };
    for (const Enumeration& e : enums) {
        script.AddType(e.TypeName, K::vtEnum);
        for (size_t i = 0; i < e.Names.size(); ++i) {
            const int32_t value = e.IsSet ? int32_t(1) << i : static_cast<int32_t>(i);
            script.AddConst(e.Names[i], e.TypeName, Variant(value));
        }
    }

    struct Unit
    {
        StringView Name;
        double Value;
    };
    const Unit units[] = {
        {u"PixelsPerMm", PixelsPerMm},
        {u"PixelsPerCm", PixelsPerCm},
        {u"PixelsPerTenthInch", PixelsPerTenthInch},
        {u"PixelsPerInch", double(PixelsPerInch)},
        {u"DotMatrixCharWidth", DotMatrixCharWidth},
        {u"DotMatrixCharHeight", double(DotMatrixCharHeight)},
    };
    for (const Unit& u : units)
        script.AddConst(u.Name, u"Extended", Variant(u.Value));
    script.AddConst(u"clTransparent", u"TColor", Variant(static_cast<int32_t>(clNone)));
}

} // namespace

void RegisterReportScript(TsbScript& script)
{
    std::unordered_set<const ClassInfo*> done;
    for (const ClassInfo* info : ClassRegistry::Global().Classes())
        AddClassClosure(script, *info, done);
    // The model's classes and the ones scripts name, whether or not the process registered them.
    ClassRegistry model;
    RegisterModelClasses(model);
    for (const ClassInfo* info : model.Classes())
        AddClassClosure(script, *info, done);
    const ClassInfo* named[] = {
        &TvlxReport::StaticClass(),
        &TvlxCustomMemoView::StaticClass(),
        &TvlxDataBand::StaticClass(),
        &TvlxDataSet::StaticClass(),
        &TvlxCustomEngine::StaticClass(),
        &TvlxCustomOutline::StaticClass(),
        &TvlxVariables::StaticClass(),
        &TvlxStyles::StaticClass(),
        &WideStringList::StaticClass(),
    };
    for (const ClassInfo* info : named)
        AddClassClosure(script, *info, done);

    AddStringsMembers(script);
    AddComponentMembers(script);
    AddReportMembers(script);
    AddDataSetMembers(script);
    AddEngineMembers(script);
    AddEnumerations(script);
    script.AddObject(u"vlxGlobalVariables",
                     static_cast<const Persistent*>(&GlobalVariables()),
                     TvlxVariables::StaticClass().Name());
}

void RegisterReportScriptModule()
{
    RegisterScriptModule(RegisterReportScript);
}

} // namespace vl
