// Pages: the report's direct children. Report pages hold bands and are printed; the data page
// holds the non-visual data objects; dialog pages exist only so that templates naming them load.
#pragma once

#include "model/component.h"

namespace vl {

class TvlxPage : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsPage() const override { return true; }
};

// The container of non-visual data objects; it takes no part in output.
class TvlxDataPage : public TvlxPage
{
public:
    TvlxDataPage();

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// A dialog form of the interactive designer: loaded and kept, never shown. Positions of objects
// on it are relative to it (AbsLeft and AbsTop stop here).
class TvlxDialogPage : public TvlxPage
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsDialogPage() const override { return true; }

    // The form's caption.
    String FCaption;
};

} // namespace vl
