// The cache of compiled report expressions (`TvlxExpressionCache`): each distinct text is
// wrapped into a one-line function of the report's language, compiled once into a private script
// whose parent is the script that asks, and afterwards only called.
#pragma once

#include "base/string.h"
#include "base/variant.h"
#include "platform/unicode/text_case.h"
#include "script/script.h"

#include <memory>
#include <unordered_map>

namespace vl {

class TvlxExpressionCache
{
public:
    TvlxExpressionCache();
    ~TvlxExpressionCache();

    // Forgets every compiled function and takes the language for the next ones.
    void Clear(StringView language);
    void SetCaseSensitive(bool value) { FCaseSensitive = value; }

    // The compiled function of expr, compiling it on a miss with `parent` as the private script's
    // parent (everything the report's script knows is visible). On a compile failure, returns
    // nullptr and sets error to "Error in expression '<expr>': <message>".
    TsbProcVariable* Find(StringView expr, TsbScript& parent, String& error);
    size_t Count() const { return FCount; }

    // The wrapper of one expression in a language ("" when the language has none).
    static String Wrapper(StringView language, StringView expr, size_t index);

private:
    std::unique_ptr<TsbScript> FScript;
    String FLanguage = u"PascalScript";
    bool FCaseSensitive = false;
    size_t FCount = 0;
    std::unordered_map<String, TsbProcVariable*, TextHash, TextEqual> FByText;
    std::unordered_map<String, TsbProcVariable*> FByExactText;
};

} // namespace vl
