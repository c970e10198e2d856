// The tokenizer of the script languages (`TsbParser`): it reads one token kind at a time at the
// current position, as the grammar engine asks for it, and restores the position when the kind
// does not match. The language's settings come from its grammar's header.
#pragma once

#include "base/string.h"

#include <vector>

namespace vl {

struct TsbParserSettings
{
    String CommentLine1 = u"//";
    String CommentLine2;
    String CommentBlock1Open = u"{", CommentBlock1Close = u"}";
    String CommentBlock2Open = u"(*", CommentBlock2Close = u"*)";
    char16_t StringQuote = u'\'';
    String HexSequence = u"$";
    bool BackslashEscapes = false;
    bool CaseSensitive = false;
    bool SkipEol = true;          // line ends are white space
    char16_t JoinChar = 0;        // a line end right after it is white space (BasicScript "_")
    std::vector<String> Keywords; // compared as CaseSensitive says
};

// Positions are 0-based offsets into the text; LinePos turns one into "line:column" (1-based).
class TsbParser
{
public:
    TsbParser(StringView text, const TsbParserSettings& settings);

    size_t Position() const { return FPos; }
    void SetPosition(size_t pos) { FPos = pos; }
    bool AtEnd() const { return FPos >= FText.size() - 1; }
    char16_t Current() const { return FText[FPos]; }

    // White space and comments before the next token; false when a block comment is not closed
    // (the position is then at its opener).
    void SkipSpaces();
    bool UnclosedComment() const { return FUnclosedComment; }

    // Each reader skips white space first, reads its token kind or leaves the position unchanged.
    bool ReadIdent(String& name); // not a keyword
    bool ReadWord(String& name);  // identifier characters, keywords included
    bool ReadKeyword(StringView word);
    bool ReadNumber(String& text);  // the token text, hex prefix normalised to "$"
    bool ReadString(String& value); // the decoded value
    bool ReadChar(char16_t c, bool skipSpaces = true);
    bool ReadEol();
    // Angle-bracket text after "<": up to the matching ">" at depth zero (which is not consumed).
    bool ReadVlString(String& text);

    bool IsKeyword(StringView word) const;
    String LinePos(size_t pos) const;
    // Line and column (1-based) of a position.
    void LineColumn(size_t pos, size_t& line, size_t& column) const;

private:
    bool IsIdentStart(char16_t c) const;
    bool IsIdentChar(char16_t c) const;
    bool StartsWith(StringView token) const;
    bool SkipComment();
    bool ReadQuotedPart(String& value);

    String FText; // source plus a terminating zero
    size_t FPos = 0;
    std::vector<size_t> FLineStarts;
    const TsbParserSettings& FSettings;
    bool FUnclosedComment = false;
};

// A literal's value from its token text: Integer within 0..2147483647, else Int64; text that does
// not read as a 64-bit integer is read as Double with "." as separator. False when nothing reads.
class Variant;
bool NumberTokenValue(StringView text, Variant& value);

} // namespace vl
