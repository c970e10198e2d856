// Message formatting with %s and %d.
#include "base/format.h"

namespace vl {

String Format(StringView pattern, std::initializer_list<FormatArg> args)
{
    String out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            out.push_back(c);
            continue;
        }
        const char16_t kind = pattern[++i];
        if (kind == u'%') {
            out.push_back(u'%');
        } else if ((kind == u's' || kind == u'd') && next != args.end()) {
            if (const auto* text = std::get_if<StringView>(&*next))
                out += *text;
            else
                out += IntToStr(std::get<int64_t>(*next));
            ++next;
        } else {
            out.push_back(c);
            out.push_back(kind);
        }
    }
    return out;
}

} // namespace vl
