// The report's option groups and their published properties.
#include "model/report_options.h"

#include "base/date_time.h"
#include "platform/clock.h"
#include "platform/component/class_builder.h"

namespace vl {

namespace {

double NowDays()
{
    return DateTimeOf(SystemClock().Now());
}

// Copies a whole option group when `source` is one of the same class.
template <class T>
bool CopyFrom(T& target, const Persistent& source)
{
    const auto* other = dynamic_cast<const T*>(&source);
    if (other == nullptr) return false;
    target = *other;
    return true;
}

} // namespace

// ---- Engine options

const ClassInfo& TvlxEngineOptions::StaticClass()
{
    using T = TvlxEngineOptions;
    static const ClassInfo info =
        DescribeClass<T, Persistent>(u"TvlxEngineOptions")
            .Prop<&T::ConvertNulls>(u"ConvertNulls", true)
            .Prop<&T::DoublePass>(u"DoublePass", false)
            .Prop<&T::MaxMemSize>(u"MaxMemSize", 10)
            .Prop<&T::PrintIfEmpty>(u"PrintIfEmpty", true)
            .Prop<&T::NewSilentMode>(u"NewSilentMode", TvlxSilentMode::simMessageBoxes)
            // A view of NewSilentMode: read from older templates, never written.
            .Prop<&T::SilentMode, &T::SetSilentMode>(u"SilentMode", false)
            .NotStored()
            .Prop<&T::TempDir>(u"TempDir")
            .Prop<&T::UseFileCache>(u"UseFileCache", false)
            .Prop<&T::IgnoreDevByZero>(u"IgnoreDevByZero", false)
            .Build();
    return info;
}

void TvlxEngineOptions::Assign(const Persistent& source)
{
    if (!CopyFrom(*this, source)) Persistent::Assign(source);
}

void TvlxEngineOptions::Clear()
{
    ConvertNulls = true;
    IgnoreDevByZero = false;
    DoublePass = false;
}

// ---- Report options

TvlxReportOptions::TvlxReportOptions()
    : CreateDate(NowDays())
    , LastChange(CreateDate)
{}

const ClassInfo& TvlxReportOptions::StaticClass()
{
    using T = TvlxReportOptions;
    static const ClassInfo info = DescribeClass<T, Persistent>(u"TvlxReportOptions")
                                      .Prop<&T::Author>(u"Author")
                                      .Prop<&T::Compressed>(u"Compressed", false)
                                      .Prop<&T::ConnectionName>(u"ConnectionName")
                                      .Prop<&T::CreateDate>(u"CreateDate")
                                      .Prop<&T::Description>(u"Description")
                                      .Prop<&T::InitString>(u"InitString")
                                      .Prop<&T::Name>(u"Name")
                                      .Prop<&T::LastChange>(u"LastChange")
                                      .Prop<&T::Password>(u"Password")
                                      .Prop<&T::VersionBuild>(u"VersionBuild")
                                      .Prop<&T::VersionMajor>(u"VersionMajor")
                                      .Prop<&T::VersionMinor>(u"VersionMinor")
                                      .Prop<&T::VersionRelease>(u"VersionRelease")
                                      .Build();
    return info;
}

void TvlxReportOptions::Assign(const Persistent& source)
{
    if (!CopyFrom(*this, source)) Persistent::Assign(source);
}

void TvlxReportOptions::Clear()
{
    *this = TvlxReportOptions();
}

// ---- Preview and print options

const ClassInfo& TvlxPreviewOptions::StaticClass()
{
    using T = TvlxPreviewOptions;
    static const ClassInfo info = DescribeClass<T, Persistent>(u"TvlxPreviewOptions")
                                      .Prop<&T::AllowEdit>(u"AllowEdit", true)
                                      .Prop<&T::DoubleBuffered>(u"DoubleBuffered", true)
                                      .Prop<&T::Maximized>(u"Maximized", true)
                                      .Prop<&T::MDIChild>(u"MDIChild", false)
                                      .Prop<&T::Modal>(u"Modal", true)
                                      .Prop<&T::OutlineExpand>(u"OutlineExpand", true)
                                      .Prop<&T::OutlineVisible>(u"OutlineVisible", false)
                                      .Prop<&T::OutlineWidth>(u"OutlineWidth", 120)
                                      .Prop<&T::PagesInCache>(u"PagesInCache", 50)
                                      .Prop<&T::ShowCaptions>(u"ShowCaptions", false)
                                      .Prop<&T::ThumbnailVisible>(u"ThumbnailVisible", false)
                                      .Prop<&T::Zoom>(u"Zoom")
                                      .Prop<&T::ZoomMode>(u"ZoomMode", TvlxZoomMode::zmDefault)
                                      .Build();
    return info;
}

void TvlxPreviewOptions::Assign(const Persistent& source)
{
    if (!CopyFrom(*this, source)) Persistent::Assign(source);
}

const ClassInfo& TvlxPrintOptions::StaticClass()
{
    using T = TvlxPrintOptions;
    static const ClassInfo info = DescribeClass<T, Persistent>(u"TvlxPrintOptions")
                                      .Prop<&T::Copies>(u"Copies", 1)
                                      .Prop<&T::Collate>(u"Collate", true)
                                      .Prop<&T::PageNumbers>(u"PageNumbers")
                                      .Prop<&T::Printer>(u"Printer")
                                      .Prop<&T::PrintMode>(u"PrintMode", TvlxPrintMode::pmDefault)
                                      .Prop<&T::PrintPages>(u"PrintPages", TvlxPrintPages::ppAll)
                                      .Prop<&T::Reverse>(u"Reverse", false)
                                      .Prop<&T::ShowDialog>(u"ShowDialog", true)
                                      .Build();
    return info;
}

void TvlxPrintOptions::Assign(const Persistent& source)
{
    if (!CopyFrom(*this, source)) Persistent::Assign(source);
}

} // namespace vl
