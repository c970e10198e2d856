// The generic grammar engine: a language is an XML grammar document (embedded into the binary) that
// this engine walks over the source text with backtracking, writing the intermediate tree (IL)
// that the compiler turns into items, statements and expressions.
//
// Grammar document: root `language` (attribute `text` = language name) with `parser` (tokenizer
// settings, `keywords`, `errors` with `err1`... messages), `types`, and one element per rule;
// `program` is the start rule. Rule bodies use `char`, `keyword`, `ident`, `anyident` (an
// identifier or a keyword: member names after "."), `number`, `string`, `vlstring`, `eol`,
// `sequence`, `switch`, `optionalswitch`, `loop`, `optionalloop`, `optional` and references to
// rules by name, with the attributes `text`, `skip`, `add`, `addtext`, `node` and `err`.
#pragma once

#include "base/string.h"
#include "script/lexer.h"

#include <map>
#include <memory>
#include <vector>

namespace vl {

// One element of the IL: a name, the matched (or decoded) text and its source offset.
struct IlNode
{
    StringView Name; // a name from the grammar document (alive as long as the process)
    String Text;
    size_t Pos = 0;
    size_t End = 0; // offset after the match (wrapping nodes only)
    std::vector<IlNode> Children;
};

struct TsbGrammarElement
{
    enum class Kind
    {
        Char,
        Keyword,
        Ident,
        AnyIdent,
        Number,
        StringLit,
        VlString,
        Eol,
        Sequence,
        Switch,
        OptionalSwitch,
        Loop,
        OptionalLoop,
        Optional,
        RuleRef
    };
    Kind Type = Kind::Sequence;
    String Name;
    String Text;
    String Add, AddText, Node, Err;
    bool Skip = true;
    const TsbGrammarElement* Rule = nullptr; // RuleRef target
    std::vector<TsbGrammarElement> Children;
};

// A parsed language definition.
class TsbGrammar
{
public:
    // Throws Exception "Invalid language definition" when the document is malformed.
    explicit TsbGrammar(StringView xml);

    const String& LanguageName() const { return FName; }
    const TsbParserSettings& Settings() const { return FSettings; }
    const TsbGrammarElement& StartRule() const { return *FStart; }
    bool DeclareVars() const { return FDeclareVars; }
    String ErrorText(StringView key) const;
    // Language type name -> engine type name (e.g. "int" -> "integer"); the name itself if none.
    String MapType(StringView name) const;

private:
    String FName;
    TsbParserSettings FSettings;
    bool FDeclareVars = true;
    std::map<String, String> FErrors;
    std::map<String, String> FTypes;
    std::map<String, std::unique_ptr<TsbGrammarElement>> FRules;
    const TsbGrammarElement* FStart = nullptr;
};

// The grammar of a language by name (compared without case), parsed once; nullptr when none.
const TsbGrammar* FindGrammar(StringView language);

// Runs the grammar over a text. On failure Error holds the message and ErrorPos the offset.
class TsbGrammarEngine
{
public:
    TsbGrammarEngine(const TsbGrammar& grammar, StringView text);

    bool Parse(IlNode& root);
    const String& Error() const { return FError; }
    size_t ErrorPos() const { return FErrorPos; }
    const TsbParser& Parser() const { return FParser; }

private:
    bool Match(const TsbGrammarElement& e, IlNode& out);
    bool MatchBody(const TsbGrammarElement& e, IlNode& out);
    bool MatchToken(const TsbGrammarElement& e, IlNode& out);
    void Fail(StringView message, size_t pos);

    const TsbGrammar& FGrammar;
    TsbParser FParser;
    size_t FDepth = 0;
    bool FFailed = false;
    String FError;
    size_t FErrorPos = 0;
};

} // namespace vl
