// The program entry: wires the process's arguments and standard handles to the driver.
#include "base/exception.h"
#include "front/generator_driver.h"

#include <csignal>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A reader that goes away must turn into a write error, not end the process silently.
    std::signal(SIGPIPE, SIG_IGN);

    vl::StringList args;
    for (int i = 1; i < argc; ++i)
        args.push_back(vl::FromUtf8(argv[i]));
    std::string exeName = argc > 0 ? argv[0] : "vlgen";
    if (const auto slash = exeName.rfind('/'); slash != std::string::npos)
        exeName.erase(0, slash + 1);

    vl::HandleStream input(STDIN_FILENO);
    vl::HandleStream output(STDOUT_FILENO);
    std::string error;
    const int status = vl::RunGenerator(args, exeName, {input, output, error});
    if (!error.empty()) {
        // The error line is the whole of standard error; nothing else is ever written there.
        vl::HandleStream errorStream(STDERR_FILENO);
        try {
            errorStream.Write(error);
        } catch (const vl::Exception&) { // nowhere left to report a failing error line
        }
    }
    return status;
}
