// Value encoding for attribute texts.
#include "template/xml_value.h"

#include "base/number_text.h"
#include "template/xml_escape.h"

namespace vl {

String ValueToXML(const Variant& value, const FormatSettings& fs)
{
    // Every integer width is written: a value that happens to need 64 bits (or is unsigned) must
    // not silently vanish from the document.
    if (value.IsInteger()) return IntToStr(value.IntValue());
    if (value.IsFloat()) return FloatToStr(value.FloatValue(), fs);
    if (value.IsCurrency())
        return FloatToStr(static_cast<double>(value.CurrencyScaled()) / CurrencyScale, fs);
    if (value.IsDate()) return FormatDatePicture(fs.ShortDateFormat, value.FloatValue(), fs);
    if (value.IsString()) return XMLEscape(value.StringValue());
    if (value.IsBoolean()) return value.BoolValue() ? u"1" : u"0";
    return String();
}

} // namespace vl
