// Drawing wrapped memo lines onto a raster surface: every line keeps its 600 dpi width and the
// block its 600 dpi height (Wysiwyg), at any rotation.
#include "layout/text_layout.h"
#include "platform/canvas/raster_surface.h"
#include "platform/fonts/font_lookup.h"

#include <cmath>
#include <numbers>
#include <span>

namespace vl {

namespace {

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// Spreads `units` (of one sign) over `values` by halving: the first half (floor(count / 2)
// elements, at least one) takes floor(units / 2), the second the rest; a single unit lands on the
// last element of the first half.
void SpreadHalving(std::span<int> values, int units, int sign)
{
    if (units == 0 || values.empty()) return;
    if (values.size() == 1) {
        values[0] += sign * units;
        return;
    }
    size_t half = std::max<size_t>(1, values.size() / 2);
    if (units == 1) {
        values[half - 1] += sign;
        return;
    }
    SpreadHalving(values.first(half), units / 2, sign);
    SpreadHalving(values.subspan(half), units - units / 2, sign);
}

// Adds `difference` to `values` so that their sum grows by exactly that much, evenly.
void Spread(std::span<int> values, int difference)
{
    if (values.empty() || difference == 0) return;
    int count = static_cast<int>(values.size());
    int magnitude = std::abs(difference), sign = difference < 0 ? -1 : 1;
    if (magnitude >= count) {
        for (int& v : values)
            v += difference / count;
        magnitude = std::abs(difference % count);
    }
    SpreadHalving(values, magnitude, sign);
}

bool IsBlank(char16_t c)
{
    return c == 32 || c == 160;
}

} // namespace

// Draws line `index` with its cell's top-left corner at (x, y) in the available width.
void TvlxDrawText::DrawLine(
    RasterSurface& canvas, size_t index, THAlign align, int x, int y, int width)
{
    const LayoutLine& line = FLines[index];
    const size_t count = line.Text.size();
    double angle = FRotation * std::numbers::pi / 180;
    double c = std::cos(angle), s = std::sin(angle);

    // 1. The 600 dpi width and the device advances, run by run.
    MeasureLine(line.Text, line.Tags, FWidths);
    int measured = 0;
    for (int w : FWidths)
        measured += w;
    int spacingDevice = Round(FCharSpacing * FScaleX);
    std::vector<int> advances(count);
    for (size_t start = 0, end = 0; start < count; start = end) {
        end = start + 1;
        while (end < count && line.Tags[end].SameFormat(line.Tags[start]))
            ++end;
        const TvlxHTMLTag& tag = line.Tags[start];
        Face(tag.Style).CharAdvances(StringView(line.Text).substr(start, end - start),
                                     Round(tag.Size * FScaleY * ScrPPI / 72),
                                     std::span<int>(advances).subspan(start, end - start));
    }
    int total = 0;
    for (int& a : advances)
        total += a += spacingDevice;

    // 2.-3. Target width and the difference to spread.
    int target = FWysiwyg ? Round((measured - Round(FCharSpacing * K)) / K * FScaleX)
                          : total - spacingDevice;
    int difference = target + spacingDevice - total;

    // 4. Alignment along the (rotated) baseline.
    bool emphasised = (line.Tags.front().Style & 3) != 0;
    int free = width - target;
    if (align == THAlign::haRight) {
        ++free;
        x += Round(free * c) - (emphasised && FRotation == 0 ? 2 : 1);
        y -= Round(free * s);
    } else if (align == THAlign::haCenter) {
        x += Round(free / 2.0 * c);
        y -= Round(free / 2.0 * s);
    }

    // 5.-6. Justification over the blanks, or the Wysiwyg difference over every advance.
    size_t blanks = 0;
    if (align == THAlign::haBlock)
        for (char16_t ch : line.Text)
            blanks += IsBlank(ch) ? 1 : 0;
    if (blanks > 0) {
        int extra = std::abs(width) + spacingDevice - total;
        int each = extra / int(blanks), rest = extra % int(blanks);
        for (size_t i = 0, seen = 0; i < count; ++i)
            if (IsBlank(line.Text[i])) advances[i] += each + (int(seen++) < rest ? 1 : 0);
    } else {
        Spread(advances, difference);
    }

    // 7. Run by run: each run in its own style, colour and size.
    uint32_t flags =
        (FClipped ? uint32_t(toClipped) : 0) | (FRTLReading ? uint32_t(toRightToLeft) : 0);
    for (size_t start = 0; start < count;) {
        size_t end = start + 1;
        while (end < count && line.Tags[end].SameFormat(line.Tags[start]))
            ++end;
        const TvlxHTMLTag& tag = line.Tags[start];
        int offset = Round(tag.AddY * tag.Size * FScaleY);
        DeviceFont font{&Face(tag.Style),
                        Round(tag.Size * FScaleY * ScrPPI / 72),
                        tag.Style,
                        tag.Color,
                        FRotation * 10};
        std::span<const int> runAdvances(advances.data() + start, end - start);
        canvas.TextOut(x + Round(offset * s),
                       y + Round(offset * c),
                       font,
                       StringView(line.Text).substr(start, end - start),
                       FWysiwyg ? runAdvances : std::span<const int>(),
                       flags,
                       FScaledRect);
        int runWidth = 0;
        for (int a : runAdvances)
            runWidth += a;
        x += Round(runWidth * c);
        y -= Round(runWidth * s);
        start = end;
    }
}

void TvlxDrawText::DrawText(RasterSurface& canvas, THAlign hAlign, TVAlign vAlign)
{
    if (FLines.empty()) return;
    const int n = static_cast<int>(FLines.size());
    double angle = FRotation * std::numbers::pi / 180;
    double sn = std::sin(angle), cs = std::cos(angle);
    double absSin = std::abs(sn), absCos = std::abs(cs);

    // The block's height at 600 dpi scaled to the device, and the step from line to line.
    int blockHeight = Round((FLineSpacing * K * n + FH600 * n) / K * FScaleY);
    int deviceHeight = Round(FFontSize * FScaleY * ScrPPI / 72);
    int step = Round(FLineSpacing * FScaleY) + deviceHeight;
    std::vector<int> steps(size_t(std::max(0, n - 1)), step);
    if (FWysiwyg) Spread(steps, blockHeight - n * step);

    const IntRect& r = FScaledRect;
    int x = r.Left, y = r.Top, width = r.Width(), room = r.Height();
    bool rightAngle = FRotation % 90 == 0;
    if (rightAngle) {
        switch (FRotation) {
        case 90:
            x = r.Left, y = r.Bottom, width = r.Height(), room = r.Width();
            break;
        case 180:
            x = r.Right, y = r.Bottom;
            break;
        case 270:
            x = r.Right, y = r.Top, width = r.Height(), room = r.Width();
            break;
        default:
            break;
        }
        int extra = room - blockHeight;
        if (vAlign == TVAlign::vaBottom) {
            x += Round(extra * sn);
            y += Round(extra * cs);
        } else if (vAlign == TVAlign::vaCenter) {
            x += Round(extra / 2.0 * sn);
            y += Round(extra / 2.0 * cs);
        }
    } else {
        width = Round((r.Width() - absSin * blockHeight) / absCos);
        int far = 0;
        if (FRotation < 90) {
            x = r.Left, y = r.Top + Round(absSin * width);
            far = r.Bottom - y - Round(absCos * blockHeight);
        } else if (FRotation < 180) {
            x = r.Left + Round(absCos * width), y = r.Bottom;
            far = r.Height() - Round(absCos * blockHeight + absSin * width);
        } else if (FRotation < 270) {
            x = r.Right, y = r.Bottom - Round(absSin * width);
            far = y - r.Top - Round(absCos * blockHeight);
        } else {
            x = r.Left + Round(absSin * blockHeight), y = r.Top;
            far = r.Height() - Round(absSin * width + absCos * blockHeight);
        }
        // The block moves straight down (or up for the angles that turn it over) by the
        // height left between it and the far edge.
        int extra = (blockHeight + far) - blockHeight;
        int move = vAlign == TVAlign::vaBottom   ? extra
                   : vAlign == TVAlign::vaCenter ? Round(extra / 2.0)
                                                 : 0;
        y += (FRotation > 90 && FRotation < 270) ? -move : move;
    }

    int indent = Round(FParagraphGap * FScaleX);
    for (int i = 0; i < n; ++i) {
        const LayoutLine& line = FLines[size_t(i)];
        THAlign align = hAlign;
        if (align == THAlign::haBlock && (line.Flags & lfLast))
            align = FRTLReading ? THAlign::haRight : THAlign::haLeft;
        int lineIndent =
            (line.Flags & lfFirst) && (hAlign == THAlign::haLeft || hAlign == THAlign::haBlock)
                ? indent
                : 0;
        // The indent runs along the baseline, so rotated paragraphs indent the same way.
        DrawLine(canvas,
                 size_t(i),
                 align,
                 x + Round(lineIndent * cs),
                 y - Round(lineIndent * sn),
                 width - lineIndent);
        if (i + 1 < n) {
            x += Round(steps[size_t(i)] * sn);
            y += Round(steps[size_t(i)] * cs);
        }
    }
}

} // namespace vl
