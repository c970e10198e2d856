// Font lookup over fontconfig, with the two caches that make repeated lookups free: one by
// requested name and style, one by the file and face index fontconfig answers.
#include "platform/fonts/font_lookup.h"

#include "base/exception.h"
#include "platform/unicode/text_case.h"

#include <fontconfig/fontconfig.h>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <unordered_map>

namespace vl {

namespace {

struct LookupKey
{
    String Name; // case-folded
    uint8_t Style;
    bool operator==(const LookupKey&) const = default;
};

struct LookupKeyHash
{
    size_t operator()(const LookupKey& key) const
    {
        return std::hash<String>()(key.Name) * 31 + key.Style;
    }
};

struct PatternDeleter
{
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

class FontRegistry
{
public:
    FontRegistry()
    {
        if (!FcInit()) throw Exception("The font configuration cannot be loaded");
    }
    // Releases fontconfig's caches at exit, so leak checkers see a clean process.
    ~FontRegistry() { FcFini(); }
    FontRegistry(const FontRegistry&) = delete;
    FontRegistry& operator=(const FontRegistry&) = delete;

    const FontFace& Find(StringView familyName, uint8_t style)
    {
        style &= fsBold | fsItalic;
        LookupKey key{LowerCase(familyName), style};
        if (auto it = FByName.find(key); it != FByName.end()) return *it->second;
        const FontFace* face = Match(familyName, style);
        if (!face->HasOutlines() && !SameText(familyName, FallbackFontName))
            face = &Find(FallbackFontName, style);
        FByName.emplace(std::move(key), face);
        return *face;
    }

private:
    const FontFace* Match(StringView familyName, uint8_t style)
    {
        PatternPtr pattern(FcPatternCreate());
        std::string family = ToUtf8(familyName);
        FcPatternAddString(
            pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(
            pattern.get(), FC_WEIGHT, (style & fsBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(
            pattern.get(), FC_SLANT, (style & fsItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
        FcChar8* file = nullptr;
        int index = 0;
        if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
            throw Exception("No font is installed for " + family);
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
        return &Load(reinterpret_cast<const char*>(file), index);
    }

    const FontFace& Load(const std::string& path, int index)
    {
        auto key = std::make_pair(path, index);
        if (auto it = FByFile.find(key); it != FByFile.end()) return *it->second;
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in) throw Exception("The font file " + path + " cannot be read");
        auto face = std::make_unique<FontFace>(std::move(bytes).str(), index, path);
        return *FByFile.emplace(key, std::move(face)).first->second;
    }

    std::unordered_map<LookupKey, const FontFace*, LookupKeyHash> FByName;
    std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> FByFile;
};

FontRegistry& Registry()
{
    static FontRegistry registry;
    return registry;
}

} // namespace

const FontFace& FindFontFace(StringView familyName, uint8_t style)
{
    return Registry().Find(familyName, style);
}

} // namespace vl
