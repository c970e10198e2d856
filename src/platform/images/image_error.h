// The error every image decoder raises for data it cannot read: a broken, truncated or
// unsupported image. Sizes past the bounds of base/limits.h raise ELimitExceeded instead.
#pragma once

#include "base/exception.h"

namespace vl {

class EInvalidGraphic : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInvalidGraphic"; }
};

} // namespace vl
