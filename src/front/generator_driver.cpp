// The main sequence: parse the command line, answer help or version, open the streams, run the
// pipeline and turn any failure into the error line.
#include "front/generator_driver.h"

#include "base/exception.h"
#include "base/limits.h"
#include "front/generator_options.h"
#include "model/model_classes.h"
#include "platform/component/class_registry.h"
#include "request/request_pipeline.h"

#include <memory>
#include <new>

namespace vl {

namespace {

void RunMainSequence(const StringList& args, std::string_view exeName, ConsoleStreams console)
{
    TVLGeneratorOptions options(args);
    options.ParseOptions();
    if (options.OptionHelp->WasSpecified()) {
        console.Output.Write(HelpText(options, exeName));
        return;
    }
    if (options.OptionVersion->WasSpecified()) {
        console.Output.Write(std::string(ProgramBanner) + "\n");
        return;
    }
    const int32_t stringSize = options.StringFieldSize();

    std::unique_ptr<FileStream> inputFile;
    if (options.OptionInput_FileName->WasSpecified())
        inputFile = std::make_unique<FileStream>(
            ToUtf8(options.OptionInput_FileName->StringValue()), FileStream::Mode::OpenRead);
    // The output file is created before any input is read, so a failed run leaves it empty.
    std::unique_ptr<FileStream> outputFile;
    if (options.OptionOutput_FileName->WasSpecified())
        outputFile = std::make_unique<FileStream>(
            ToUtf8(options.OptionOutput_FileName->StringValue()), FileStream::Mode::Create);

    Stream& input = inputFile ? *inputFile : console.Input;
    Stream& output = outputFile ? *outputFile : console.Output;
    const std::string document = RunRequestPipeline(input, stringSize);
    output.Write(document);
}

} // namespace

int RunGenerator(const StringList& args, std::string_view exeName, ConsoleStreams console)
{
    auto fail = [&](std::string_view className, std::string_view message) {
        console.Error.assign(className);
        console.Error += ": ";
        console.Error += message;
        console.Error += "\n";
        return 1;
    };
    try {
        RegisterModelClasses(ClassRegistry::Global());
        RunMainSequence(args, exeName, console);
        return 0;
    } catch (const Exception& e) {
        return fail(e.ClassName(), e.what());
    } catch (const std::bad_alloc&) {
        return fail("EOutOfMemory", "Out of memory");
    } catch (const std::exception& e) {
        return fail("Exception", e.what());
    }
}

} // namespace vl
