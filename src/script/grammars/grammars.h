// The grammar documents compiled into the binary, one per script language.
#pragma once

#include "base/string.h"

#include <span>

namespace vl {

struct EmbeddedGrammar
{
    StringView Language; // the name a template's ScriptLanguage selects (compared without case)
    StringView Xml;      // the grammar document
};

std::span<const EmbeddedGrammar> EmbeddedGrammars();

// The documents themselves (one file per language beside this one).
extern const StringView PascalScriptGrammar;

} // namespace vl
