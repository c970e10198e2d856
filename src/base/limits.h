// Every bound on work that input can drive, in one place. Each is generous for real reports and
// exists so that a hostile or broken request ends with a clear error instead of exhausting the
// stack or memory. The error names the bound.
#pragma once

#include <cstddef>

namespace vl::limits {

// Nesting of arrays and objects in the request JSON.
inline constexpr size_t JsonMaxDepth = 512;

// Size of the request itself; larger input is refused before it is parsed.
inline constexpr size_t RequestMaxBytes = size_t(4) << 30;

// Lines kept by the shaping cache (font, direction, text); it starts over when full, so memory
// stays bounded however many distinct texts a report shapes.
inline constexpr size_t ShapedLineCacheEntries = 65536;

// Faces of a font collection the TrueType subsetter looks through for the wanted face; past it
// the font is embedded whole.
inline constexpr size_t TrueTypeMaxFaces = 256;

} // namespace vl::limits
