// The request pipeline in its fixed order: read the request, build and register the tables, link
// them, load the template, set the variables, prepare the report and export it as PDF.
#pragma once

#include "base/stream.h"

#include <cstdint>
#include <string>

namespace vl {

// Runs one request read from `input`; returns the finished PDF document. Throws at the first
// problem, leaving nothing behind.
std::string RunRequestPipeline(Stream& input, int32_t stringFieldSize);

} // namespace vl
