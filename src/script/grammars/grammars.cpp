// The table of embedded grammars. A language without an entry reports "Language '%s' not found".
#include "script/grammars/grammars.h"

namespace vl {

std::span<const EmbeddedGrammar> EmbeddedGrammars()
{
    static const EmbeddedGrammar grammars[] = {
        {u"PascalScript", PascalScriptGrammar},
    };
    return grammars;
}

} // namespace vl
