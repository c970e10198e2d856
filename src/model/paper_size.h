// The paper table: standard paper codes and their sizes. Code 256 means a custom size.
#pragma once

#include <cstdint>
#include <optional>

namespace vl {

inline constexpr int32_t CustomPaperSize = 256;

// Width and height of a paper, millimetres, portrait.
struct PaperDimensions
{
    double WidthMm = 0;
    double HeightMm = 0;
};

// The size of paper `code`, or nothing for a code the table lacks.
std::optional<PaperDimensions> FindPaperSize(int32_t code);

} // namespace vl
