// TrueType subsetting for embedded PDF fonts. The subset keeps every glyph index of the face and
// only empties the outlines of glyphs the document does not use, so the glyph indexes written in
// page content stay valid and no table other than "glyf", "loca" and "post" changes meaning.
//
// The result is one face, even when the source is a collection: the face whose full name is the
// wanted name; when none matches, the face the font service shaped with (the report's face name
// may have been substituted, e.g. "Arial" by "Liberation Sans"), or else the last face. Bitmap,
// device-metric and signature tables
// ("EBLC", "EBDT", "hdmx", "VDMX", "DSIG") are dropped; "post" becomes a 32-byte version 3.0
// table without glyph names; the directory is sorted by tag while the tables keep their source
// order; every table checksum and the whole-file checksum are recomputed for the new bytes.
//
// Any error makes SubsetTrueType throw; SubsetOrWholeFont turns that into the unchanged file,
// which is always a correct (if larger) font to embed.
#pragma once

#include "base/string.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// The full name looked for inside a collection: the report font's face name (a few Japanese
// face names are first translated to their English full names) with " Bold" and/or " Italic"
// appended for the style.
String WantedFaceName(StringView faceName, bool bold, bool italic);

// What the subsetter saw; only tests and diagnostics read it.
struct TrueTypeSubsetInfo
{
    uint32_t FaceIndex = 0;                      // face of the source file that was used
    std::vector<uint16_t> KeptGlyphs;            // ascending
    std::vector<std::string> ChecksumMismatches; // "Table ID "name" checksum error. 1 2"
};

// The subset of the font file holding `usedGlyphs` (glyph 0 and the components of composite
// glyphs are added). `wantedFaceName` picks the face of a collection (see WantedFaceName);
// `shapedFace` is the collection index of the face the font service shaped with, when known. Throws
// Exception ("TrueType font format error", "Unknown font collection version", "Unsupported Index to
// Location format", "Unknown IndexToLoc value", "Glyph table not found"), EReadError for data that
// ends early, or ELimitExceeded for a collection with more than limits::TrueTypeMaxFaces faces. A
// table checksum that does not match is not an error: it is recorded in `info` and the subset gets
// correct checksums.
std::string SubsetTrueType(std::string_view fontFile,
                           StringView wantedFaceName,
                           std::optional<uint32_t> shapedFace,
                           std::span<const uint16_t> usedGlyphs,
                           TrueTypeSubsetInfo* info = nullptr);

// SubsetTrueType, or a copy of `fontFile` when subsetting fails for any reason.
std::string SubsetOrWholeFont(std::string_view fontFile,
                              StringView wantedFaceName,
                              std::optional<uint32_t> shapedFace,
                              std::span<const uint16_t> usedGlyphs);

} // namespace vl
