// Line views: a straight line with optional arrow heads, stroked with the frame's colour, style
// and width. A line that is not diagonal is horizontal or vertical, whichever its size favours.
#pragma once

#include "model/view.h"

namespace vl {

class TvlxCustomLineView : public TvlxStretcheable
{
public:
    TvlxCustomLineView();

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    bool Diagonal() const { return FDiagonal; }
    void SetDiagonal(bool v) { FDiagonal = v; }
    bool ArrowStart() const { return FArrowStart; }
    void SetArrowStart(bool v) { FArrowStart = v; }
    bool ArrowEnd() const { return FArrowEnd; }
    void SetArrowEnd(bool v) { FArrowEnd = v; }
    int32_t ArrowLength() const { return FArrowLength; } // pixels
    void SetArrowLength(int32_t v) { FArrowLength = v; }
    int32_t ArrowWidth() const { return FArrowWidth; } // pixels
    void SetArrowWidth(int32_t v) { FArrowWidth = v; }
    bool ArrowSolid() const { return FArrowSolid; }
    void SetArrowSolid(bool v) { FArrowSolid = v; }

    // The designer's creation flags: non-zero makes the line diagonal; 2 and 4 add the end
    // arrow, 3 and 4 the start arrow.
    void ApplyDesignFlags(int32_t flags);
    // A line that is not diagonal becomes vertical (Width 0, frame {ftLeft}) when Width <=
    // Height, else horizontal (Height 0, frame {ftTop}).
    void Normalize();

    // Nothing is drawn when the frame colour is clNone or its width is 0.
    void Draw(RasterSurface& canvas,
              double scaleX,
              double scaleY,
              double offsetX,
              double offsetY) override;

private:
    bool FDiagonal = false;
    bool FArrowStart = false;
    bool FArrowEnd = false;
    int32_t FArrowLength = 20;
    int32_t FArrowWidth = 5;
    bool FArrowSolid = false;
};

class TvlxLineView : public TvlxCustomLineView
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

} // namespace vl
