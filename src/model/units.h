// Units and colours of the report object model. Positions and sizes of report objects are
// floating-point screen pixels at 96 per inch; paper sizes and margins are millimetres; these
// constants are the only conversion factors.
#pragma once

#include <cstdint>

namespace vl {

inline constexpr double PixelsPerMm = 3.77953;
inline constexpr double PixelsPerCm = 37.7953;
inline constexpr double PixelsPerTenthInch = 9.6;
inline constexpr int PixelsPerInch = 96;
inline constexpr double DotMatrixCharWidth = 9.6;
inline constexpr int DotMatrixCharHeight = 17;

// Colours are 32-bit values with red in the low byte, then green, then blue.
using TColor = int32_t;
inline constexpr TColor clNone = 0x1FFFFFFF; // no colour: transparent
inline constexpr TColor clBlack = 0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clWhite = 0xFFFFFF;

// Two coordinates differ when they are further apart than this (Diff, alignment, the engine's
// overlap and fit tests).
inline constexpr double CoordinateTolerance = 0.0001;

} // namespace vl
