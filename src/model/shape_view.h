// Shape views: rectangles, rounded rectangles, ellipses, triangles, diamonds and diagonals,
// outlined with the frame's colour, style and width and filled with Color and BrushStyle.
#pragma once

#include "model/view.h"

namespace vl {

enum class TvlxShapeKind
{
    skRectangle,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiamond,
    skDiagonal1,
    skDiagonal2
};
inline constexpr std::array<StringView, 7> ShapeKindNames{u"skRectangle",
                                                          u"skRoundRectangle",
                                                          u"skEllipse",
                                                          u"skTriangle",
                                                          u"skDiamond",
                                                          u"skDiagonal1",
                                                          u"skDiagonal2"};
constexpr std::span<const StringView> EnumNames(TvlxShapeKind)
{
    return ShapeKindNames;
}

class TvlxShapeView : public TvlxView
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    TvlxShapeKind Shape() const { return FShape; }
    void SetShape(TvlxShapeKind v) { FShape = v; }
    // Corner ellipse of a round rectangle: Curve x 10 pixels wide (scaled); 0 gives a quarter
    // of the smaller side.
    int32_t Curve() const { return FCurve; }
    void SetCurve(int32_t v) { FCurve = v; }

    void Draw(RasterSurface& canvas,
              double scaleX,
              double scaleY,
              double offsetX,
              double offsetY) override;
    String Diff(TvlxComponent& other) override;

private:
    TvlxShapeKind FShape = TvlxShapeKind::skRectangle;
    int32_t FCurve = 0;
};

} // namespace vl
