#include "front/generator_options.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

StringList Words(std::initializer_list<const char*> words)
{
    StringList list;
    for (const char* w : words)
        list.push_back(FromUtf8(w));
    return list;
}

std::string Joined(const StringList& list)
{
    std::string out;
    for (const auto& w : list)
        out += (out.empty() ? "" : " ") + ToUtf8(w);
    return out;
}

} // namespace

TEST(OptionParser, MatchesTheGeneratorOptionsAsTheCommandLineGivesThem)
{
    const struct
    {
        std::initializer_list<const char*> Args;
        bool Help;
        bool Version;
        const char* Input; // nullptr: not specified
        int32_t StringSize;
        const char* Left;
    } cases[] = {
        {{"--HELP"}, true, false, nullptr, 8000, ""},
        {{"--Help"}, true, false, nullptr, 8000, ""},
        {{"-?"}, true, false, nullptr, 8000, ""},
        {{"-I", "x"}, false, false, nullptr, 8000, "-I x"},
        {{"--help=yes", "-?x"}, false, false, nullptr, 8000, "--help=yes -?x"},
        {{"-ifile"}, false, false, "file", 8000, ""},
        {{"-i", "file"}, false, false, "file", 8000, ""},
        {{"--input", "file"}, false, false, "file", 8000, ""},
        {{"--input=file"}, false, false, "file", 8000, ""},
        {{"--INPUT=file"}, false, false, "file", 8000, ""},
        {{"--input="}, false, false, "", 8000, ""},
        {{"--input"}, false, false, "", 8000, ""},
        {{"-i"}, false, false, "", 8000, ""},
        {{"--inputs", "x"}, false, false, nullptr, 8000, "--inputs x"},
        {{"--input", "--output"}, false, false, "--output", 8000, ""},
        {{"-input"}, false, false, "nput", 8000, ""},
        {{"-i", "a", "-i", "b"}, false, false, "b", 8000, ""},
        {{"-s", "12"}, false, false, nullptr, 12, ""},
        {{"-s12"}, false, false, nullptr, 12, ""},
        {{"--string-size", "12"}, false, false, nullptr, 12, ""},
        {{"--string-size=12"}, false, false, nullptr, 12, ""},
        {{"--string-size=$10"}, false, false, nullptr, 16, ""},
        {{"--string-size=-5"}, false, false, nullptr, -5, ""},
        {{"--string-size", "abc"}, false, false, nullptr, 8000, "--string-size abc"},
        {{"-s", "abc"}, false, false, nullptr, 8000, "-s abc"},
        {{"--string-size=abc"}, false, false, nullptr, 8000, "--string-size=abc"},
        {{"--version", "-?"}, true, true, nullptr, 8000, ""},
        {{"stray.txt", "--verbose"}, false, false, nullptr, 8000, "stray.txt --verbose"},
    };
    for (const auto& c : cases) {
        TVLGeneratorOptions options(Words(c.Args));
        options.ParseOptions();
        SCOPED_TRACE(Joined(Words(c.Args)));
        EXPECT_EQ(options.OptionHelp->WasSpecified(), c.Help);
        EXPECT_EQ(options.OptionVersion->WasSpecified(), c.Version);
        EXPECT_EQ(options.OptionInput_FileName->WasSpecified(), c.Input != nullptr);
        if (c.Input) {
            EXPECT_EQ(ToUtf8(options.OptionInput_FileName->StringValue()), c.Input);
        }
        EXPECT_EQ(options.StringFieldSize(), c.StringSize);
        EXPECT_EQ(Joined(options.LeftList()), c.Left);
    }
}

TEST(OptionParser, ParsingTwiceStartsAgainFromTheParameters)
{
    TVLGeneratorOptions options(Words({"stray", "-i", "f"}));
    options.ParseOptions();
    options.ParseOptions();
    EXPECT_EQ(Joined(options.LeftList()), "stray");
    EXPECT_EQ(ToUtf8(options.OptionInput_FileName->StringValue()), "f");
}

TEST(OptionParser, ShortSeparateValueFallsBackToEmptyWhenTheNextWordIsRefused)
{
    // The integer option refuses "abc" and also the empty value, so both words travel on; a
    // string option accepts the next word whatever it is.
    TOptionParser parser(Words({"-n", "abc"}));
    auto* number = parser.AddOption(std::make_unique<TIntegerOption>(u'n', u""));
    parser.ParseOptions();
    EXPECT_FALSE(number->WasSpecified());
    EXPECT_EQ(Joined(parser.LeftList()), "-n abc");
}

TEST(OptionParser, HelpListingAlignsExplanationsAndWrapsLongOnes)
{
    TOptionParser parser(StringList{});
    parser.AddOption(std::make_unique<TBoolOption>(u'a', u"alpha"))->SetExplanation(u"Short");
    parser.AddOption(std::make_unique<TBoolOption>(0, u"beta-gamma"))
        ->SetExplanation(u"A long explanation that certainly needs more than one line of the "
                         u"listing to be shown, \"quoted text stays together\" at the end");
    parser.AddOption(std::make_unique<TBoolOption>(u'c', u""))->SetExplanation(u"Only a letter");
    // Widths: "-a, --alpha" 11, "--beta-gamma" 12, "-c" 2: explanations start at column 16 and
    // wrap at 77 - 12 = 65 characters.
    EXPECT_EQ(parser.Explanations(),
              "  -a, --alpha   Short\n"
              "  --beta-gamma  A long explanation that certainly needs more than one line of the\n"
              "                listing to be shown, \"quoted text stays together\" at the end\n"
              "  -c            Only a letter\n");
}

TEST(OptionParser, LineEndingAtTheLastColumnGetsNoLineBreak)
{
    TOptionParser parser(StringList{});
    // Width 4 ("-x, --" is not possible; "-x" alone is 2, long "--yy" is 4): take --yy, so the
    // explanation starts at column 8 and a 72-character line ends exactly at column 80.
    parser.AddOption(std::make_unique<TBoolOption>(0, u"yy"))->SetExplanation(String(72, u'x'));
    EXPECT_EQ(parser.Explanations(), "  --yy  " + std::string(72, 'x'));
}

TEST(WrapText, BreaksAfterBlanksHyphensAndTabsButNotInsideQuotes)
{
    const struct
    {
        const char* Text;
        size_t Width;
        const char* Expected; // lines joined with '|'
    } cases[] = {
        {"one two three", 7, "one two |three"},
        {"one two three", 6, "one |two |three"},
        {"well-known words", 6, "well-|known |words"},
        {"'a b c d' e", 3, "'a b c d' |e"},
        {"unbreakableword x", 4, "unbreakableword |x"},
        {"", 5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        std::string joined;
        for (const auto& line : WrapText(FromUtf8(c.Text), c.Width))
            joined += (joined.empty() ? "" : "|") + ToUtf8(line);
        EXPECT_EQ(joined, c.Expected);
    }
}

} // namespace vl
