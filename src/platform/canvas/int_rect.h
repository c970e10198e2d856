// A rectangle of whole device pixels; Right and Bottom are exclusive edges.
#pragma once

namespace vl {

struct IntRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const IntRect&) const = default;
};

} // namespace vl
