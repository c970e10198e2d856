// The engine's resource table.
#include "model/resources.h"

#include <array>

namespace vl {

namespace {

struct ResourceEntry
{
    StringView Key;
    StringView Text;
};

constexpr std::array<ResourceEntry, 7> Resources{{
    {u"clDSNotExist", u"Dataset \"%s\" does not exist"},
    {u"clDSNotIncl", u"(dataset is not included in Report.DataSets)"},
    {u"clErrors", u"The following error(s) have occured:"},
    {u"enBandPos", u"Incorrect band position:"},
    {u"enUnconnGFooter", u"No group header for"},
    {u"enUnconnGroup", u"No data band for the group"},
    {u"enUnconnHeader", u"Unconnected header/footer"},
}};

} // namespace

String ResourceText(StringView key)
{
    for (const ResourceEntry& e : Resources) {
        if (e.Key != key) continue;
        StringView text = e.Text;
        if (!text.empty() && text.front() == u'!') text.remove_prefix(1);
        return String(text);
    }
    return String(key);
}

} // namespace vl
