// Every bound on work that input can drive, in one place. Each is generous for real reports and
// exists so that a hostile or broken request ends with a clear error instead of exhausting the
// stack or memory. The error names the bound.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vl::limits {

// Nesting of arrays and objects in the request JSON.
inline constexpr size_t JsonMaxDepth = 512;

// Nesting of elements in a template XML document (the root counts as level 1). Reading is
// iterative; the bound protects everything that walks the item tree recursively afterwards.
inline constexpr size_t XmlMaxDepth = 512;

// Size of the request itself; larger input is refused before it is parsed.
inline constexpr size_t RequestMaxBytes = size_t(4) << 30;

// Lines kept by the shaping cache (font, direction, text); it starts over when full, so memory
// stays bounded however many distinct texts a report shapes.
inline constexpr size_t ShapedLineCacheEntries = 65536;

// Faces of a font collection the TrueType subsetter looks through for the wanted face; past it
// the font is embedded whole.
inline constexpr size_t TrueTypeMaxFaces = 256;

// Bytes that all "stream" values of one request may inflate to, together; compressed data can
// grow a thousandfold, so a small request could otherwise ask for any amount of memory.
inline constexpr size_t InflateMaxBytes = size_t(512) << 20;

// Largest size (in UTF-16 code units) of a wide string table field, from "string_N" or the
// string-size option; the size only bounds the values, so it is generous.
inline constexpr int32_t WideStringFieldMaxSize = (int32_t(1) << 30) - 1;

// Script engine. Grammar recursion (rule calls while parsing; one pair of round brackets costs
// about ten) and the depth of one expression tree bound the compiler's and the evaluator's
// stack; call depth bounds recursion of script procedures; the step budget ends a script that
// loops for ever (statements and loop rounds of one program run).
inline constexpr size_t ScriptMaxGrammarDepth = 4000;
inline constexpr size_t ExpressionMaxDepth = 1000;
inline constexpr size_t ScriptMaxCallDepth = 400;
inline constexpr uint64_t ScriptMaxSteps = 200'000'000;
// Calc inside Calc (report variables holding expressions that name other variables); a variable
// that names itself would otherwise recurse without end.
inline constexpr size_t ExpressionMaxCalcNesting = 64;

// Strings and arrays that a script sizes itself (SetLength, VarArrayCreate): at most this many
// characters or elements, so a wild length fails clearly instead of exhausting memory.
inline constexpr int64_t ScriptMaxSizedLength = int64_t(1) << 20;

// Links of one request that name the same detail table (without case). Each link re-sorts the
// whole detail, so repeated members of "links" could otherwise cost a full sort apiece; a table
// follows one master, so real requests link each detail once.
inline constexpr int32_t LinksMaxPerDetail = 16;

// Bytes of text or blob data in one column of a table (cells keep 32-bit end offsets). Request
// text is at most the request's size, but numbers can grow when written as text ("1e14").
inline constexpr size_t TableColumnMaxBytes = UINT32_MAX;

// Pixels of one decoded image (4 bytes each, so 256 MiB at the bound). Decoders check declared
// sizes against it before they take any pixel memory, which also disarms decompression bombs.
inline constexpr uint64_t ImageMaxPixels = uint64_t(1) << 26;
// Scans of one progressive JPEG: each scan passes over the whole coefficient buffer, so a small
// file of many tiny scans would cost time out of all proportion to its size.
inline constexpr int JpegMaxScans = 500;
// Bytes of one picture a view reads from a file or stream (a template's FileLink, a data field).
inline constexpr size_t PictureMaxBytes = size_t(256) << 20;
// Bytes of one ancillary PNG chunk (text, profiles) that the decoder keeps in memory.
inline constexpr size_t PngMaxChunkBytes = size_t(8) << 20;

// Page columns of a report page: each one gets a listed position, so a wild count would take
// memory out of all proportion to the template.
inline constexpr int32_t PageMaxColumns = 1000;

// Columns or pages in a row on which a band being split places nothing (a band that starts low
// on a page, or has a gap taller than a page, leaves a few); past it the band can never be
// placed and the run ends instead of adding empty pages for ever.
inline constexpr int32_t BandSplitMaxEmptyParts = 100;

// Subreports printed inside subreports. Links never loop (the model refuses them), but a chain
// through many pages nests the engine's band printing once per level, on the stack.
inline constexpr size_t SubreportMaxNesting = 64;

// Vertical-band columns for which one total keeps a value of its own (columns count from 1);
// each column takes memory in every total of the band, so past it the run ends.
inline constexpr int32_t AggregateMaxVerticalColumn = 1000;

} // namespace vl::limits
