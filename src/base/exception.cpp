// The base exception and invariant checks.
#include "base/exception.h"

namespace vl {

Exception::Exception(String message)
    : FMessage(std::move(message))
    , FUtf8(ToUtf8(FMessage))
{}

void Exception::SetMessage(String message)
{
    FMessage = std::move(message);
    FUtf8 = ToUtf8(FMessage);
}

void Expects(bool condition, const char* what, std::source_location where)
{
    if (condition) return;
    throw EInternalError(std::string("Internal error: ") + what + " (" + where.file_name() + ":" +
                         std::to_string(where.line()) + ")");
}

} // namespace vl
