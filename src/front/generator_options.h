// The program's own option set and its fixed texts.
#pragma once

#include "front/option_parser.h"

namespace vl {

inline constexpr std::string_view ProgramBanner = "VL generator 0.4.1";
inline constexpr int32_t DefaultStringFieldSize = 8000;

class TVLGeneratorOptions : public TOptionParser
{
public:
    explicit TVLGeneratorOptions(StringList params);

    TBoolOption* OptionHelp;
    TBoolOption* OptionVersion;
    TStringOption* OptionInput_FileName;
    TStringOption* OptionOutput_FileName;
    TIntegerOption* OptionStringFieldSize;

    // The size given to request fields of type "string": the option's value, else 8000.
    int32_t StringFieldSize() const;
};

// The help text; `exeName` is the running executable's file name without its path.
std::string HelpText(const TVLGeneratorOptions& options, std::string_view exeName);

} // namespace vl
