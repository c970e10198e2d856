// The alias dictionary of the prepared-page store.
#include "layout/preview_dictionary.h"

#include "platform/unicode/text_case.h"

namespace vl {

size_t TvlxDictionary::NoCaseHash::operator()(const String& s) const
{
    return HashText(s);
}

bool TvlxDictionary::NoCaseEqual::operator()(const String& a, const String& b) const
{
    return SameText(a, b);
}

void TvlxDictionary::Add(const String& name, const String& sourceName, TvlxComponent* object)
{
    auto [it, added] = FNames.try_emplace(name, FSourceNames.size());
    if (!added) {
        FSourceNames[it->second] = {sourceName, object, {}};
        return;
    }
    FSourceNames.push_back({sourceName, object, {}});
    FOrder.push_back(name);
}

String
TvlxDictionary::AddUnique(const String& base, const String& sourceName, TvlxComponent* object)
{
    String name = CreateUniqueName(base);
    Add(name, sourceName, object);
    return name;
}

String TvlxDictionary::CreateUniqueName(const String& base) const
{
    auto used = [&](int64_t n) { return FNames.contains(base + IntToStr(n)); };
    int64_t n = 10000;
    while (n > 1 && !used(n))
        n /= 2;
    while (used(n))
        ++n;
    return base + IntToStr(n);
}

const TvlxSourceEntry* TvlxDictionary::Find(StringView name) const
{
    auto it = FNames.find(String(name));
    return it == FNames.end() ? nullptr : &FSourceNames[it->second];
}

TvlxSourceEntry* TvlxDictionary::Find(StringView name)
{
    auto it = FNames.find(String(name));
    return it == FNames.end() ? nullptr : &FSourceNames[it->second];
}

TvlxComponent* TvlxDictionary::GetObject(StringView name) const
{
    const TvlxSourceEntry* entry = Find(name);
    return entry != nullptr ? entry->Object : nullptr;
}

String TvlxDictionary::GetSourceName(StringView name) const
{
    const TvlxSourceEntry* entry = Find(name);
    return entry != nullptr ? entry->SourceName : String();
}

void TvlxDictionary::Clear()
{
    FNames.clear();
    FSourceNames.clear();
    FOrder.clear();
}

} // namespace vl
