// The edit-mask picture language.
#include "base/format_mask_text.h"

#include <cwctype>
#include <vector>

namespace vl {

namespace {

bool IsPlaceholder(char16_t c)
{
    switch (c) {
    case u'0':
    case u'9':
    case u'#':
    case u'L':
    case u'l':
    case u'A':
    case u'a':
    case u'C':
    case u'c':
        return true;
    default:
        return false;
    }
}

char16_t ApplyCase(char16_t c, int caseMode)
{
    // Case changes of masks apply to the letters a mask can require; Basic Latin and Latin-1 cover
    // them without a locale.
    if (caseMode > 0 && c < 0x100) return static_cast<char16_t>(std::towupper(c));
    if (caseMode < 0 && c < 0x100) return static_cast<char16_t>(std::towlower(c));
    return c;
}

} // namespace

String FormatMaskText(StringView editMask, StringView value, const FormatSettings& settings)
{
    // Split off the sections (the last two ";" outside escapes).
    StringView mask = editMask;
    bool valueHasLiterals = true;
    char16_t blank = u'_';
    std::vector<size_t> semicolons;
    for (size_t i = 0; i < editMask.size(); ++i) {
        if (editMask[i] == u'\\')
            ++i;
        else if (editMask[i] == u';')
            semicolons.push_back(i);
    }
    if (semicolons.size() >= 2) {
        const size_t first = semicolons[semicolons.size() - 2];
        const size_t second = semicolons.back();
        mask = editMask.substr(0, first);
        valueHasLiterals = editMask.substr(first + 1, second - first - 1) != u"0";
        if (second + 1 < editMask.size()) blank = editMask[second + 1];
    } else if (semicolons.size() == 1) {
        mask = editMask.substr(0, semicolons[0]);
        valueHasLiterals = editMask.substr(semicolons[0] + 1) != u"0";
    }

    String out;
    size_t next = 0; // position in value
    int caseMode = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char16_t c = mask[i];
        if (c == u'>' || c == u'<') {
            if (c == u'<' && i + 1 < mask.size() && mask[i + 1] == u'>') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = c == u'>' ? 1 : -1;
            }
            continue;
        }
        if (c == u'!') continue;
        if (IsPlaceholder(c)) {
            out.push_back(next < value.size() ? ApplyCase(value[next], caseMode) : blank);
            ++next;
            continue;
        }
        char16_t literal = c;
        if (c == u'\\' && i + 1 < mask.size())
            literal = mask[++i];
        else if (c == u':')
            literal = settings.TimeSeparator;
        else if (c == u'/')
            literal = settings.DateSeparator;
        out.push_back(literal);
        if (valueHasLiterals) ++next;
    }
    return out;
}

} // namespace vl
