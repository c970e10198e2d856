// The small tag language of memo texts ("<b>", "<font color=red>", "<sub>", ...) and the record of
// formatting every visible character carries, so that a text cut at a page end can be continued
// with its formatting restored.
#pragma once

#include "base/string.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vl {

enum class TvlxSubType : uint8_t
{
    stNormal,
    stSubscript,
    stSuperscript,
};

// Formatting of one visible character.
struct TvlxHTMLTag
{
    int32_t Position = 0; // 1-based position of the character in the source text, tags included
    int32_t Size = 0;     // points
    uint8_t Style = 0;    // FontStyleBits
    uint32_t Color = 0;   // report colour (red in the low byte)
    int8_t AddY = 0;      // 1 for subscript: the run moves down by its size
    TvlxSubType SubType = TvlxSubType::stNormal;
    bool DontWRAP = false; // inside <nowrap>: its blanks are no break positions
    bool Small = false;    // Size differs from the default size
    bool Default = true;   // same formatting as the previous visible character: no new run

    // The formatting that makes runs (position and wrapping excluded).
    bool SameFormat(const TvlxHTMLTag& other) const
    {
        return Size == other.Size && Style == other.Style && Color == other.Color &&
               AddY == other.AddY && SubType == other.SubType;
    }
};

// The records of one line, one per UTF-16 unit of its text.
using TvlxHTMLTags = std::vector<TvlxHTMLTag>;

// The tag parser and its state, which carries from one source line to the next.
class TvlxHTMLTagsList
{
public:
    // Starts over with the measuring font's formatting as the default; positions count from 1.
    void Reset(int32_t size, uint8_t style, uint32_t color);

    // Removes the recognised tags from `line` and appends one record per remaining unit to
    // `tags`. With `allowTags` off nothing is a tag and every record has the defaults. A line
    // that becomes empty gets the text " " and one record, and the result is true.
    bool ExpandHTMLTags(String& line, TvlxHTMLTags& tags, bool allowTags);
    // Moves the position counter over text that yields no records (the line break).
    void SkipPositions(int32_t count) { FPosition += count; }

private:
    bool TryTag(StringView rest, size_t& length);
    bool NameIsFirst(size_t nameIndex, StringView rest) const;
    void NoteKept(char16_t upper);
    TvlxHTMLTag Current() const;

    int32_t FDefaultSize = 0;
    uint8_t FDefaultStyle = 0;
    uint32_t FDefaultColor = 0;
    int32_t FSize = 0;
    uint8_t FStyle = 0;
    uint32_t FColor = 0;
    int8_t FAddY = 0;
    TvlxSubType FSubType = TvlxSubType::stNormal;
    bool FNoWrap = false;
    int32_t FPosition = 1;
    std::optional<TvlxHTMLTag> FPrevious;
    // Per line: the upper-cased tail of the kept text and which tag names it already holds.
    String FKeptTail;
    uint32_t FSeenNames = 0;
};

// The colour of a font tag's value: a quoted "#RRGGBB" or a colour name without its "cl"
// prefix. None for anything else.
std::optional<uint32_t> FontTagColor(StringView value);

// `text` with every recognised tag removed (lines stay as they are).
String DeleteTags(StringView text);

} // namespace vl
