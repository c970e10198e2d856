// Finding an installed face by the family name and style a template gives ("Arial", bold).
// Fontconfig resolves the name, so the Windows family names of templates reach their metric-
// compatible stand-ins ("Arial" -> Liberation Sans, "Times New Roman" -> Liberation Serif,
// "Courier New" -> Liberation Mono); an unknown name resolves to fontconfig's default face, never
// to an error. A face without TrueType outlines is replaced by the face for "Arial", as a face
// without outline metrics is measured as Arial.
#pragma once

#include "base/string.h"
#include "platform/fonts/font_face.h"

#include <cstdint>

namespace vl {

// The face for `familyName` in the bold and italic bits of `style` (underline and strike-out are
// drawn, not looked up). The result lives until the end of the process; lookups are cached by
// name (without case) and style, faces by file and index. Throws Exception only when not even
// the fallback face can be loaded (a machine without fonts).
const FontFace& FindFontFace(StringView familyName, uint8_t style);

// The face name the fallback uses when a face has no outline data.
inline constexpr char16_t FallbackFontName[] = u"Arial";

} // namespace vl
