// Highlights of text views: a condition that, while true for the current output, gives the view
// another font and fill colour.
#pragma once

#include "model/font.h"
#include "platform/component/class_info.h"

namespace vl {

class TvlxHighlight : public Persistent
{
public:
    TvlxHighlight();
    TvlxHighlight(const TvlxHighlight&) = delete;
    TvlxHighlight& operator=(const TvlxHighlight&) = delete;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    // Recomputed for every output from Condition.
    bool Active() const { return FActive; }
    void SetActive(bool value) { FActive = value; }
    const String& Condition() const { return FCondition; } // an expression
    void SetCondition(const String& value) { FCondition = value; }
    TColor Color() const { return FColor; } // fill while active; clNone: none
    void SetColor(TColor value) { FColor = value; }
    const TvlxFont& Font() const { return FFont; }
    TvlxFont& MutableFont() { return FFont; }
    void SetFont(const TvlxFont& value) { FFont.Assign(value); }

    // Templates carry a highlight only when its condition is not blank.
    bool IsStored() const;

private:
    bool FActive = false;
    String FCondition;
    TColor FColor = clNone;
    TvlxFont FFont;
};

} // namespace vl
