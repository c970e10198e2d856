// The error family of the system. Every failure is an exception whose class name and message make
// the one error line the driver writes ("ClassName: message").
#pragma once

#include "base/string.h"

#include <exception>
#include <source_location>
#include <string>

namespace vl {

// The base class; the program's own checks raise it directly, so their line reads "Exception: ...".
class Exception : public std::exception
{
public:
    explicit Exception(String message);
    explicit Exception(std::string_view utf8Message)
        : Exception(FromUtf8(utf8Message))
    {}
    explicit Exception(const char* utf8Message)
        : Exception(FromUtf8(utf8Message))
    {}

    const String& Message() const { return FMessage; }
    void SetMessage(String message);
    const char* what() const noexcept override { return FUtf8.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

private:
    String FMessage;
    std::string FUtf8;
};

// Text that does not convert to a value.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EConvertError"; }
};

// Stream and file failures.
class EStreamError : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EStreamError"; }
};

// A file that cannot be opened.
class EFOpenError : public EStreamError
{
public:
    using EStreamError::EStreamError;
    const char* ClassName() const override { return "EFOpenError"; }
};

// A file that cannot be created.
class EFCreateError : public EStreamError
{
public:
    using EStreamError::EStreamError;
    const char* ClassName() const override { return "EFCreateError"; }
};

// A read that fails or ends early.
class EReadError : public EStreamError
{
public:
    using EStreamError::EStreamError;
    const char* ClassName() const override { return "EReadError"; }
};

// A write that fails.
class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
    const char* ClassName() const override { return "EWriteError"; }
};

// Memory exhausted.
class EOutOfMemory : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EOutOfMemory"; }
};

// Input-driven work past a bound of base/limits.h.
class ELimitExceeded : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "ELimitExceeded"; }
};

// A broken invariant: a bug, never bad input.
class EInternalError : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInternalError"; }
};

// Checks an invariant of the code itself; stays on in release builds.
void Expects(bool condition,
             const char* what,
             std::source_location where = std::source_location::current());

} // namespace vl
