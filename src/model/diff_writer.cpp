// Attribute text of Diff.
#include "model/diff_writer.h"

#include "base/number_text.h"
#include "model/units.h"
#include "template/xml_escape.h"

#include <cmath>

namespace vl {

void DiffWriter::Begin(StringView name)
{
    FOut += u' ';
    FOut += name;
    FOut += u"=\"";
}

void DiffWriter::Float(StringView name, double value, double other)
{
    if (std::fabs(value - other) > CoordinateTolerance) WriteFloat(name, value);
}

void DiffWriter::Int(StringView name, int64_t value, int64_t other)
{
    if (value != other) WriteInt(name, value);
}

void DiffWriter::Bool(StringView name, bool value, bool other)
{
    if (value != other) WriteInt(name, value ? 1 : 0);
}

void DiffWriter::Text(StringView name, StringView value, StringView other)
{
    if (value != other) WriteText(name, value);
}

void DiffWriter::WriteFloat(StringView name, double value)
{
    Begin(name);
    FOut += FloatToStr(value);
    FOut += u'"';
}

void DiffWriter::WriteInt(StringView name, int64_t value)
{
    Begin(name);
    FOut += IntToStr(value);
    FOut += u'"';
}

void DiffWriter::WriteText(StringView name, StringView value)
{
    Begin(name);
    AppendXMLEscaped(FOut, value);
    FOut += u'"';
}

} // namespace vl
