// HarfBuzz shaping of bidi runs, with the per-text cache that makes repeated cell texts cheap.
#include "platform/fonts/text_shaper.h"

#include "base/limits.h"
#include "platform/fonts/bidi.h"

#include <cmath>
#include <hb.h>
#include <memory>
#include <unordered_map>

namespace vl {

namespace {

struct CacheKey
{
    const FontFace* Face;
    bool RightToLeft;
    String Text;
    bool operator==(const CacheKey&) const = default;
};

struct CacheKeyHash
{
    size_t operator()(const CacheKey& key) const
    {
        size_t h = std::hash<String>()(key.Text);
        h ^= std::hash<const void*>()(key.Face) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        return h * 2 + (key.RightToLeft ? 1 : 0);
    }
};

using ShapeCache = std::unordered_map<CacheKey, std::vector<ShapedGlyph>, CacheKeyHash>;

ShapeCache& Cache()
{
    static ShapeCache cache;
    return cache;
}

struct BufferDeleter
{
    void operator()(hb_buffer_t* b) const { hb_buffer_destroy(b); }
};

hb_buffer_t* SharedBuffer()
{
    static std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
    return buffer.get();
}

char32_t CodePointAt(StringView text, size_t i, size_t& units)
{
    char16_t c = text[i];
    units = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        units = 2;
        return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    return c;
}

struct ScriptSegment
{
    int32_t Start, Length;
    hb_script_t Script;
};

// Splits a run where the script changes; common and inherited characters (blanks, digits,
// punctuation, marks) join the segment around them.
std::vector<ScriptSegment> SplitByScript(StringView text, const BidiRun& run)
{
    std::vector<ScriptSegment> segments;
    hb_unicode_funcs_t* funcs = hb_unicode_funcs_get_default();
    hb_script_t current = HB_SCRIPT_COMMON;
    int32_t start = run.Start;
    for (size_t i = size_t(run.Start); i < size_t(run.Start + run.Length);) {
        size_t units = 1;
        hb_script_t script = hb_unicode_script(funcs, CodePointAt(text, i, units));
        bool neutral = script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED ||
                       script == HB_SCRIPT_UNKNOWN;
        if (!neutral && script != current) {
            if (current != HB_SCRIPT_COMMON) {
                segments.push_back({start, int32_t(i) - start, current});
                start = int32_t(i);
            }
            current = script;
        }
        i += units;
    }
    segments.push_back({start, run.Start + run.Length - start, current});
    return segments;
}

void ShapeSegment(const FontFace& face,
                  StringView text,
                  const ScriptSegment& segment,
                  bool rightToLeft,
                  std::vector<ShapedGlyph>& out)
{
    hb_buffer_t* buffer = SharedBuffer();
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf16(buffer,
                        reinterpret_cast<const uint16_t*>(text.data()),
                        static_cast<int>(text.size()),
                        static_cast<unsigned>(segment.Start),
                        segment.Length);
    hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, segment.Script);
    hb_buffer_set_language(buffer, hb_language_get_default());
    hb_shape(static_cast<hb_font_t*>(face.ShapingFont()), buffer, nullptr, 0);
    unsigned count = 0;
    hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned g = 0; g < count; ++g)
        out.push_back({info[g].codepoint,
                       pos[g].x_advance,
                       pos[g].x_offset,
                       pos[g].y_offset,
                       info[g].cluster});
}

std::vector<ShapedGlyph> ShapeUnits(const FontFace& face, StringView text, bool rightToLeft)
{
    std::vector<ShapedGlyph> glyphs;
    glyphs.reserve(text.size());
    for (const BidiRun& run : VisualRuns(text, rightToLeft)) {
        std::vector<ScriptSegment> segments = SplitByScript(text, run);
        if (run.RightToLeft) {
            for (auto it = segments.rbegin(); it != segments.rend(); ++it)
                ShapeSegment(face, text, *it, true, glyphs);
        } else {
            for (const ScriptSegment& segment : segments)
                ShapeSegment(face, text, segment, false, glyphs);
        }
    }
    return glyphs;
}

} // namespace

std::vector<ShapedGlyph>
ShapeLine(const FontFace& face, int emPx, StringView text, bool rightToLeft)
{
    ShapeCache& cache = Cache();
    CacheKey key{&face, rightToLeft, String(text)};
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() >= limits::ShapedLineCacheEntries) cache.clear();
        auto shaped = ShapeUnits(face, text, rightToLeft);
        it = cache.emplace(std::move(key), std::move(shaped)).first;
    }
    std::vector<ShapedGlyph> result = it->second;
    for (ShapedGlyph& g : result) {
        g.Advance = face.Scale(g.Advance, emPx);
        g.XOffset = face.Scale(g.XOffset, emPx);
        g.YOffset = face.Scale(g.YOffset, emPx);
    }
    return result;
}

size_t ShapedLineCacheSize()
{
    return Cache().size();
}

} // namespace vl
