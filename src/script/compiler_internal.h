// The second pass of the compiler (IL -> items, statements, expressions) and the parser of
// registration declarations; used by script.cpp only.
#pragma once

#include "script/script.h"

#include <memory>

namespace vl {

// Parses Lines with the script's grammar and builds it into the script; false with ErrorMsg and
// ErrorPos set on failure.
bool CompileScript(TsbScript& script);

// "function Name(params): Type" and the other declaration forms of AddMethod. Parameter kinds and
// constant defaults are looked up in scope (may be null). Throws Exception when malformed.
std::unique_ptr<TsbMethodHelper> ParseMethodDeclaration(StringView declaration,
                                                        const TsbScript* scope);

} // namespace vl
