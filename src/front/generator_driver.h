// The program's top level: options, help and version, the input and output streams, the request
// pipeline, and the one error line.
#pragma once

#include "base/stream.h"
#include "front/option_parser.h"

#include <string>

namespace vl {

struct ConsoleStreams
{
    Stream& Input;      // standard input
    Stream& Output;     // standard output
    std::string& Error; // receives the error line, if any
};

// Runs one request as the command line says; returns the exit status (0 on success, 1 after an
// error, whose line "ClassName: message\n" is left in `console.Error`). The document reaches the
// output only when the whole run has succeeded.
int RunGenerator(const StringList& args, std::string_view exeName, ConsoleStreams console);

} // namespace vl
