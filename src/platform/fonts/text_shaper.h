// Shaping one line of text into glyph indexes of a face, in visual order (HarfBuzz over the bidi
// runs of bidi.h). The PDF writer writes these glyph indexes into page content and records their
// advances; the raster surface draws them.
#pragma once

#include "base/string.h"
#include "platform/fonts/font_face.h"

#include <cstdint>
#include <vector>

namespace vl {

struct ShapedGlyph
{
    uint32_t Glyph = 0;   // glyph index of the face (0 = missing)
    int32_t Advance = 0;  // device units at the requested em, rounded half to even
    int32_t XOffset = 0;  // device units, right of the pen position
    int32_t YOffset = 0;  // device units, above the baseline
    uint32_t Cluster = 0; // UTF-16 offset of the first character the glyph stands for
};

// Shapes `text` for `face` at `emPx`: itemized by direction (base direction right to left when
// `rightToLeft`) and by script, runs in visual order, each shaped as a whole. The glyph count may
// differ from the character count (ligatures, marks). Shaped lines are cached per face,
// direction and text in design units, so a text repeated in many cells is shaped once; the cache
// holds at most limits::ShapedLineCacheEntries lines and starts over when full.
std::vector<ShapedGlyph>
ShapeLine(const FontFace& face, int emPx, StringView text, bool rightToLeft);

// The number of lines the shaping cache holds now (for tests of its bound).
size_t ShapedLineCacheSize();

} // namespace vl
