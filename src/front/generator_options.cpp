// The five options of the generator and the help text.
#include "front/generator_options.h"

namespace vl {

TVLGeneratorOptions::TVLGeneratorOptions(StringList params)
    : TOptionParser(std::move(params))
{
    OptionHelp = AddOption(std::make_unique<TBoolOption>(u'?', u"help"));
    OptionHelp->SetExplanation(u"Show this help");
    OptionVersion = AddOption(std::make_unique<TBoolOption>(0, u"version"));
    OptionVersion->SetExplanation(u"Show program version (and related info)");
    OptionInput_FileName = AddOption(std::make_unique<TStringOption>(u'i', u"input"));
    OptionInput_FileName->SetExplanation(u"Input file name, STDIN if not specified");
    OptionOutput_FileName = AddOption(std::make_unique<TStringOption>(u'o', u"output"));
    OptionOutput_FileName->SetExplanation(u"Output file name, STDOUT if not specified");
    OptionStringFieldSize = AddOption(std::make_unique<TIntegerOption>(u's', u"string-size"));
    OptionStringFieldSize->SetExplanation(u"Maximum string field size, 8000 if not specified");
}

int32_t TVLGeneratorOptions::StringFieldSize() const
{
    return OptionStringFieldSize->WasSpecified() ? OptionStringFieldSize->IntValue()
                                                 : DefaultStringFieldSize;
}

std::string HelpText(const TVLGeneratorOptions& options, std::string_view exeName)
{
    std::string text;
    text += ProgramBanner;
    text += "\nGenerate PDF report using Vellum engine\n\nNO warranty; use at own risk.\n\n";
    text += "Usage: ";
    text += exeName;
    text += " [options]\nValid options are: \n";
    text += options.Explanations();
    return text;
}

} // namespace vl
