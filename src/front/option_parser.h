// A small command-line option parser. Options have a short form (start character and one letter,
// "-i") and a long form (start string and a name, "--input"); switches carry no value, value
// options carry a string or an integer. Parsing walks the words once, lets each option in
// registration order try to consume words from the front, and collects every word no option
// takes. It never reports an error: a word it does not recognise simply lands in `LeftList`.
#pragma once

#include "base/string.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vl {

using StringList = std::vector<String>;
using OptionValue = std::variant<bool, int32_t, String>;

class TOptionParser;

class TOption
{
public:
    // The short letter compares with case, the long name without.
    TOption(char16_t shortForm, String longForm)
        : TOption(shortForm, std::move(longForm), true, false)
    {}
    TOption(char16_t shortForm, String longForm, bool shortCaseSensitive, bool longCaseSensitive);
    virtual ~TOption() = default;
    TOption(const TOption&) = delete;
    TOption& operator=(const TOption&) = delete;

    // Consumes words from the front of `words`; true when the option took at least its own word.
    virtual bool TryMatch(StringList& words) = 0;
    virtual OptionValue Value() const = 0;
    virtual void SetValue(const OptionValue& value) = 0;

    char16_t ShortForm() const { return FShort; }    // 0: no short form
    const String& LongForm() const { return FLong; } // empty: no long form
    bool ShortCaseSensitive() const { return FShortSens; }
    bool LongCaseSensitive() const { return FLongSens; }
    const String& Explanation() const { return FExplanation; }
    void SetExplanation(String text) { FExplanation = std::move(text); }
    bool WasSpecified() const { return FWasSpecified; }

    // Width of "-x, --name" (or the part that exists) in the help listing.
    int GetOptionWidth() const;
    // Appends this option's help entry, explanation aligned at column optWidth + 4.
    void WriteExplanation(int optWidth, std::string& out) const;

protected:
    friend class TOptionParser;

    // Whether the first word is exactly this option's short or long switch.
    bool MatchesSwitch(const String& word) const;

    char16_t FShort;
    String FLong;
    bool FShortSens;
    bool FLongSens;
    String FExplanation;
    bool FWasSpecified = false;
    TOptionParser* FParser = nullptr;
};

class TBoolOption : public TOption
{
public:
    using TOption::TOption;
    bool TryMatch(StringList& words) override;
    OptionValue Value() const override { return FWasSpecified; }
    void SetValue(const OptionValue&) override {} // a switch is only ever set by matching
    bool TurnedOn() const { return FWasSpecified; }
};

class TValueOption : public TOption
{
public:
    using TOption::TOption;
    bool TryMatch(StringList& words) override;
    virtual bool AcceptValue(const String& value) = 0;
};

class TIntegerOption : public TValueOption
{
public:
    using TValueOption::TValueOption;
    bool AcceptValue(const String& value) override;
    OptionValue Value() const override { return FValue; }
    void SetValue(const OptionValue& value) override;
    int32_t IntValue() const { return FValue; }

private:
    int32_t FValue = 0;
};

class TStringOption : public TValueOption
{
public:
    using TValueOption::TValueOption;
    bool AcceptValue(const String& value) override;
    OptionValue Value() const override { return FValue; }
    void SetValue(const OptionValue& value) override;
    const String& StringValue() const { return FValue; }

private:
    String FValue;
};

class TOptionParser
{
public:
    // Parses the given words (the program's arguments without the program path).
    explicit TOptionParser(StringList params);
    virtual ~TOptionParser();
    TOptionParser(const TOptionParser&) = delete;
    TOptionParser& operator=(const TOptionParser&) = delete;

    // Takes ownership of `option` and returns it.
    template <class T>
    T* AddOption(std::unique_ptr<T> option)
    {
        T* raw = option.get();
        raw->FParser = this;
        FOptions.push_back(std::move(option));
        return raw;
    }

    // Parses from the start of the parameters again; may be called more than once.
    void ParseOptions();
    // The aligned help listing of all options.
    std::string Explanations() const;

    const StringList& LeftList() const { return FLeftList; }
    size_t OptionsCount() const { return FOptions.size(); }
    TOption& Option(size_t index) const { return *FOptions[index]; }
    char16_t ShortOptionStart() const { return FShortOptionChar; }
    void SetShortOptionStart(char16_t c) { FShortOptionChar = c; }
    const String& LongOptionStart() const { return FLongOptionString; }
    void SetLongOptionStart(String s) { FLongOptionString = std::move(s); }

private:
    StringList FParams;
    std::vector<std::unique_ptr<TOption>> FOptions;
    StringList FLeftList;
    char16_t FShortOptionChar = u'-';
    String FLongOptionString = u"--";
};

// Breaks `text` into lines of at most `maxCol` characters after a space, hyphen or tab; text inside
// quote characters (' or ") is never broken. A word longer than a line stays whole.
StringList WrapText(StringView text, size_t maxCol);

} // namespace vl
