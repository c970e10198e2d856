// The alias dictionary of the prepared-page store: short names (m1, b1, ...) under which stored
// objects refer to their source copies.
#pragma once

#include "base/string.h"
#include "model/component.h"

#include <unordered_map>
#include <vector>

namespace vl {

// One source object: where it came from and the text that rebuilds it.
struct TvlxSourceEntry
{
    String SourceName;     // "Page" + source page index + "." + object name
    TvlxComponent* Object; // the source copy; owned by its source page
    String BaseName;       // class name + the copy's attribute text (the class name alone
                           // for classes that store complete descriptions)
};

// Aliases map to source entries; aliases are compared without case.
class TvlxDictionary
{
public:
    // Registers `name` for a source object; an alias already present is replaced.
    void Add(const String& name, const String& sourceName, TvlxComponent* object);
    // A new alias from `base` (CreateUniqueName), registered and returned.
    String AddUnique(const String& base, const String& sourceName, TvlxComponent* object);
    // The first free `base` + N: N starts at 10000 and halves while base + N is free, then counts
    // up, so names taken in sequence come out base1, base2, ... after about 14 probes.
    String CreateUniqueName(const String& base) const;
    // nullptr / empty text / nullptr for an unknown alias.
    TvlxComponent* GetObject(StringView name) const;
    String GetSourceName(StringView name) const;
    const TvlxSourceEntry* Find(StringView name) const;
    TvlxSourceEntry* Find(StringView name);
    void Clear();

    // Aliases in the order they were added, for saving.
    const std::vector<String>& Names() const { return FOrder; }

private:
    struct NoCaseHash
    {
        size_t operator()(const String& s) const;
    };
    struct NoCaseEqual
    {
        bool operator()(const String& a, const String& b) const;
    };

    std::unordered_map<String, size_t, NoCaseHash, NoCaseEqual> FNames; // alias -> entry index
    std::vector<TvlxSourceEntry> FSourceNames;
    std::vector<String> FOrder;
};

} // namespace vl
