// The report's option groups: engine settings, descriptive data, and the preview and printing
// settings that templates carry. Each group is an owned sub-object of the report, written in
// templates as dotted attributes ("EngineOptions.ConvertNulls").
//
// Only the engine options change what this system does; the preview and print options are
// stored and loaded so that a template keeps them, nothing more.
#pragma once

#include "base/string.h"
#include "platform/component/class_info.h"
#include "platform/component/string_list.h"

#include <array>
#include <cstdint>
#include <span>

namespace vl {

// What PrepareReport and template loading do with collected errors.
enum class TvlxSilentMode
{
    simMessageBoxes, // show a message box (no user here: nothing is shown)
    simSilent,       // drop them; the caller sees a False result
    simReThrow       // raise them as one Exception (the generator's setting)
};
inline constexpr std::array<StringView, 3> SilentModeNames{
    u"simMessageBoxes", u"simSilent", u"simReThrow"};
constexpr std::span<const StringView> EnumNames(TvlxSilentMode)
{
    return SilentModeNames;
}

class TvlxEngineOptions : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override; // copies every option, public ones included

    // Resets only ConvertNulls (True), IgnoreDevByZero and DoublePass (False); the rest stays.
    void Clear();

    // Boolean view of NewSilentMode: True <=> simSilent; assigning False gives simMessageBoxes.
    bool SilentMode() const { return NewSilentMode == TvlxSilentMode::simSilent; }
    void SetSilentMode(bool value)
    {
        NewSilentMode = value ? TvlxSilentMode::simSilent : TvlxSilentMode::simMessageBoxes;
    }

    bool ConvertNulls = true;
    bool DoublePass = false;
    int32_t MaxMemSize = 10; // megabytes for the prepared-page store
    bool PrintIfEmpty = true;
    TvlxSilentMode NewSilentMode = TvlxSilentMode::simMessageBoxes;
    String TempDir;
    bool UseFileCache = false;
    bool IgnoreDevByZero = false;
    // Public, not stored in templates.
    bool DestroyForms = true;
    bool EnableThreadSafe = false;
    bool UseGlobalDataSetList = true;
};

class TvlxReportOptions : public Persistent
{
public:
    // CreateDate and LastChange start as the current local date-time.
    TvlxReportOptions();

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;
    // Back to the state of a new object (dates: now).
    void Clear();

    String Author;
    bool Compressed = false; // stored only: templates are plain XML here
    String ConnectionName;
    double CreateDate = 0; // days since 30 December 1899
    StringList Description;
    String InitString;
    String Name;
    double LastChange = 0; // days since 30 December 1899
    String Password;       // a template with a password is refused (nobody can enter it)
    String VersionBuild;
    String VersionMajor;
    String VersionMinor;
    String VersionRelease;
};

enum class TvlxZoomMode
{
    zmDefault,
    zmWholePage,
    zmPageWidth,
    zmManyPages
};
inline constexpr std::array<StringView, 4> ZoomModeNames{
    u"zmDefault", u"zmWholePage", u"zmPageWidth", u"zmManyPages"};
constexpr std::span<const StringView> EnumNames(TvlxZoomMode)
{
    return ZoomModeNames;
}

class TvlxPreviewOptions : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;
    void Clear() { *this = TvlxPreviewOptions(); }

    bool AllowEdit = true;
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int32_t OutlineWidth = 120;
    int32_t PagesInCache = 50;
    bool ShowCaptions = false;
    bool ThumbnailVisible = false;
    double Zoom = 1;
    TvlxZoomMode ZoomMode = TvlxZoomMode::zmDefault;
};

enum class TvlxPrintPages
{
    ppAll,
    ppOdd,
    ppEven
};
inline constexpr std::array<StringView, 3> PrintPagesNames{u"ppAll", u"ppOdd", u"ppEven"};
constexpr std::span<const StringView> EnumNames(TvlxPrintPages)
{
    return PrintPagesNames;
}

enum class TvlxPrintMode
{
    pmDefault,
    pmSplit,
    pmJoin,
    pmScale
};
inline constexpr std::array<StringView, 4> PrintModeNames{
    u"pmDefault", u"pmSplit", u"pmJoin", u"pmScale"};
constexpr std::span<const StringView> EnumNames(TvlxPrintMode)
{
    return PrintModeNames;
}

class TvlxPrintOptions : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;
    void Clear() { *this = TvlxPrintOptions(); }

    int32_t Copies = 1;
    bool Collate = true;
    String PageNumbers;
    String Printer;
    TvlxPrintMode PrintMode = TvlxPrintMode::pmDefault;
    TvlxPrintPages PrintPages = TvlxPrintPages::ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
};

} // namespace vl
