// The band classes other than data bands: what each one publishes and the few properties of its
// own. Their meaning to the engine is given by their band number (band.h).
#pragma once

#include "base/variant.h"
#include "model/band.h"

namespace vl {

// Band 0: once, at the start of the page run.
class TvlxReportTitle : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// Band 1: once, after the last data of the page run.
class TvlxReportSummary : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// Band 2: at the top of every output page.
class TvlxPageHeader : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    bool FPrintOnFirstPage = true;
};

// Band 3: at the bottom of every output page.
class TvlxPageFooter : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    bool FPrintOnFirstPage = true;
    bool FPrintOnLastPage = true;
};

// Band 4: before the first record of the data band below it.
class TvlxHeader : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Printed again at the top of every continuation page or column.
    bool FReprintOnNewPage = false;
};

// Band 5: after the last record of the data band above it.
class TvlxFooter : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// Band 12: when the group condition changes.
class TvlxGroupHeader : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Expression; the group breaks when its value differs from the one at the previous record.
    String FCondition;
    // The whole group is kept on one page.
    bool FKeepTogether = false;
    bool FReprintOnNewPage = false;
    // With StartNewPage, logical page numbers restart at each group.
    bool FResetPageNumbers = false;
    // Collapsible groups.
    bool FDrillDown = false;
    bool FExpandDrillDown = false;
    bool FShowFooterIfDrillDown = false;
    bool FShowChildIfDrillDown = false;
    String FDrillName;

    // The condition's value at the previous record.
    Variant FLastValue;

    // A collapsible group also stores its drill name on prepared pages.
    String Diff(TvlxComponent& other) override;
};

// Band 13: at the end of a group.
class TvlxGroupFooter : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Not printed for a group of one record.
    bool FHideIfSingleDataRecord = false;
};

// Band 14: right after its parent band.
class TvlxChild : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// Band 15: at the top of every page column.
class TvlxColumnHeader : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// Band 16: at the bottom of every page column.
class TvlxColumnFooter : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// Band 17: once per output page; under the content, or over it with PrintOnTop.
class TvlxOverlay : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    bool FPrintOnTop = false;
};

// The engine's carrier band for objects placed directly on a page and for the output of
// subreports; never part of a template's band tree.
class TvlxNullBand : public TvlxBand
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Publishes no geometry, so its position is added to the full description.
    String AllDiff(TvlxComponent* other) override;
};

} // namespace vl
